#include "sheet/xls/feuille_reecrite.h"

#include "sheet/erreur.h"
#include "sheet/xls/biff_ecriture.h"

#include <algorithm>

// La réécriture d'une feuille touchée : ses lignes, ses cases, ses bornes et ses index.

namespace zarvo::sheet::xls {

using namespace ecriture;

namespace {

constexpr int lignesParBloc = 32;

QByteArray nouveauRow(int ligne, int colonne, std::uint16_t hauteur)
{
    Row r;
    r.ligne = std::uint16_t(ligne);
    r.premiere = std::uint16_t(colonne);
    r.fin = std::uint16_t(colonne + 1);
    r.hauteur = hauteur;
    r.xf = xfParDefaut;
    return r.ecrire();
}

/// Élargit les colonnes [première, dernière + 1) d'un ROW pour y faire entrer `colonne`.
void elargirRow(QByteArray &row, int colonne)
{
    char *d = donneesDe(row);
    Row r = *Row::lire(d, Row::taille); // gardé par le découpage : au moins 16 octets
    if (colonne < r.premiere || r.fin <= r.premiere)
        r.premiere = std::uint16_t(colonne);
    if (colonne >= r.fin)
        r.fin = std::uint16_t(colonne + 1);
    r.ecrireDans(d);
}

/// Un format hors de la table (classeur abîmé) ne passe pas dans une case neuve : celui par
/// défaut, ou le dernier d'une table plus courte (une table vide est refusée avant l'écriture).
std::uint16_t formatConnu(const ClasseurBiff &biff, std::uint16_t xf)
{
    if (xf < biff.nbXf())
        return xf;
    return xfParDefaut < biff.nbXf() ? xfParDefaut : std::uint16_t(biff.nbXf() - 1);
}

} // namespace

std::uint16_t formatNouvelleCase(
    const ClasseurBiff &biff, std::size_t feuille, int ligne, int colonne)
{
    const SousFlux &s = biff.sousFluxDe(feuille);
    const auto &enr = biff.enregistrements();
    std::optional<std::uint16_t> deColonne;
    for (const auto [i, premierNiveau] : ParcoursSousFlux(enr, s.premier, s.dernier)) {
        if (!premierNiveau)
            continue;
        const char *d = biff.pointeur(i);
        if (enr[i].id == id::row)
            if (const auto r = Row::lire(d, enr[i].longueur); r && r->ligne == ligne)
                if (const auto xf = r->formatPropre())
                    return formatConnu(biff, *xf);
        if (enr[i].id == id::colInfo)
            if (const auto c = ColInfo::lire(d, enr[i].longueur);
                c && colonne >= c->premiere && colonne <= c->derniere)
                deColonne = c->xf;
    }
    return formatConnu(biff, deColonne.value_or(xfParDefaut));
}

void FeuilleReecrite::decouper()
{
    const auto &enr = m_b.enregistrements();
    std::optional<std::size_t> premier, dernier, apresDimensions;
    for (const auto [i, premierNiveau] : ParcoursSousFlux(enr, m_s.premier, m_s.dernier)) {
        const auto t = enr[i].id;
        if (!premierNiveau)
            continue;
        if (estCase(t) || t == id::row || t == id::dbcell) {
            if (!premier && t != id::dbcell)
                premier = i;
            dernier = i;
        } else if (t == id::dimensions) {
            apresDimensions = i + 1;
        }
    }
    if (!premier) {
        m_tableVide = true;
        // Feuille sans case : la table viendra après DIMENSIONS, ou juste avant la fin.
        m_debutTable = m_finTable = apresDimensions.value_or(m_s.dernier);
        return;
    }
    std::size_t fin = *dernier + 1;
    while (fin < m_s.dernier && suitUneFormule(enr[fin].id))
        ++fin;
    m_debutTable = *premier;
    m_finTable = fin;

    int bloc = 0;
    LigneFeuille *derniereLigne = nullptr;
    Unite *derniere = nullptr;
    for (std::size_t i = m_debutTable; i < m_finTable; ++i) {
        const Enregistrement &e = enr[i];
        const char *d = m_b.pointeur(i);
        if (const auto r = e.id == id::row ? Row::lire(d, e.longueur) : std::nullopt) {
            auto &l = m_lignes[r->ligne];
            l.row = m_b.brut(i);
            l.bloc = bloc;
            m_avaitRow = true;
            derniere = nullptr;
        } else if (e.id == id::dbcell) {
            ++bloc;
            m_avaitDbcell = true;
            derniere = nullptr;
        } else if (const auto c = estCase(e.id) ? EnTeteCase::lire(d, e.longueur) : std::nullopt) {
            Unite u;
            u.type = e.id;
            u.col1 = c->colonne;
            u.col2 = u.col1;
            // Suites vérifiées par la lecture de la feuille.
            if (const auto s = e.id == id::mulrk ? MulRk::lire(d, e.longueur) : std::nullopt)
                u.col2 = s->derniere;
            if (const auto s = e.id == id::mulblank ? MulBlank::lire(d, e.longueur) : std::nullopt)
                u.col2 = s->derniere;
            u.principal = m_b.brut(i);
            derniereLigne = &m_lignes[c->ligne];
            derniereLigne->unites.push_back(std::move(u));
            derniere = &derniereLigne->unites.back();
        } else if (derniere) {
            derniere->suite += m_b.brut(i);
        } else {
            m_orphelins += m_b.brut(i);
        }
    }
    // Dans une ligne, les cases vont par colonnes croissantes.
    for (auto &[n, l] : m_lignes)
        std::stable_sort(l.unites.begin(), l.unites.end(),
            [](const Unite &a, const Unite &b) { return a.col1 < b.col1; });
}

void FeuilleReecrite::poser(
    std::size_t feuille, int ligne, int colonne, const Cellule &v, PlanSst &sst)
{
    const auto trouvee = m_lignes.find(ligne);
    if (v.estVide() && trouvee == m_lignes.end())
        return;
    auto &unites = m_lignes[ligne].unites;
    const auto it = std::find_if(unites.begin(), unites.end(),
        [colonne](const Unite &u) { return u.col1 <= colonne && colonne <= u.col2; });
    if (it != unites.end()) {
        const Unite ancienne = *it;
        if (ancienne.type == id::labelsst)
            --sst.ecartTotal;
        Unite n;
        n.type = v.estNombre() ? id::number : v.estTexte() ? id::labelsst : id::blank;
        n.col1 = n.col2 = colonne;
        n.principal = nouvelleCase(ligne, colonne, formatDansUnite(ancienne, colonne), v, sst);
        // Le résultat texte et l'ancrage d'une formule écrasée partent avec elle ; tout autre
        // enregistrement rattaché reste.
        if (ancienne.type == id::formula) {
            for (std::uint32_t p = 0; p + tailleEnTete <= std::uint32_t(ancienne.suite.size());) {
                const Enregistrement r = Enregistrement::enTete(ancienne.suite.constData(), p);
                if (!suitUneFormule(r.id))
                    n.suite += ancienne.suite.mid(r.position, r.fin() - r.position);
                p = r.fin();
            }
        } else {
            n.suite = ancienne.suite;
        }
        std::vector<Unite> remplacement;
        if (ancienne.type == id::mulrk || ancienne.type == id::mulblank) {
            if (auto g = morceau(ancienne, ligne, ancienne.col1, colonne - 1))
                remplacement.push_back(std::move(*g));
            auto d = morceau(ancienne, ligne, colonne + 1, ancienne.col2);
            if (d) {
                d->suite = std::move(n.suite);
                n.suite.clear();
            }
            remplacement.push_back(std::move(n));
            if (d)
                remplacement.push_back(std::move(*d));
        } else {
            remplacement.push_back(std::move(n));
        }
        const auto place = unites.erase(it);
        unites.insert(place, std::make_move_iterator(remplacement.begin()),
            std::make_move_iterator(remplacement.end()));
        return;
    }
    if (v.estVide())
        return; // rien à vider, et aucune case à créer
    Unite n;
    n.type = v.estNombre() ? id::number : id::labelsst;
    n.col1 = n.col2 = colonne;
    n.principal
        = nouvelleCase(ligne, colonne, formatNouvelleCase(m_b, feuille, ligne, colonne), v, sst);
    const auto place = std::find_if(
        unites.begin(), unites.end(), [colonne](const Unite &u) { return u.col1 > colonne; });
    unites.insert(place, std::move(n));
    auto &l = m_lignes[ligne];
    if (!l.row.isEmpty())
        elargirRow(l.row, colonne);
    else if (m_avaitRow || m_tableVide)
        l.row = nouveauRow(ligne, colonne, hauteurParDefaut());
    if (!m_creees)
        m_creees = Bornes {};
    m_creees->inclure(ligne, colonne);
}

std::uint16_t FeuilleReecrite::hauteurParDefaut() const
{
    const auto &enr = m_b.enregistrements();
    for (std::size_t i = m_s.premier; i <= m_s.dernier; ++i)
        if (enr[i].id == id::defaultRowHeight)
            if (const auto h = DefaultRowHeight::lire(m_b.pointeur(i), enr[i].longueur))
                return h->hauteur;
    return 255; // 12,75 points
}

QByteArray FeuilleReecrite::ecrire(qint64 debut) const
{
    const auto &enr = m_b.enregistrements();

    // Blocs de lignes : chaque ligne garde son bloc d'origine, une ligne nouvelle rejoint celui
    // de la ligne qui la précède ; un bloc ne dépasse pas 32 lignes.
    std::vector<std::vector<const LigneFeuille *>> blocs;
    {
        std::optional<int> etiquette;
        for (const auto &[n, l] : m_lignes)
            if (l.bloc) {
                etiquette = l.bloc;
                break;
            }
        std::optional<int> courante;
        for (const auto &[n, l] : m_lignes) {
            if (l.row.isEmpty() && l.unites.empty())
                continue;
            if (l.bloc)
                etiquette = l.bloc;
            if (blocs.empty() || courante != etiquette || blocs.back().size() >= lignesParBloc)
                blocs.emplace_back();
            courante = etiquette;
            blocs.back().push_back(&l);
        }
    }
    int nbDbcell = 0;
    if (m_avaitDbcell)
        for (const auto &bloc : blocs)
            nbDbcell += std::any_of(
                bloc.begin(), bloc.end(), [](const LigneFeuille *l) { return !l->row.isEmpty(); });

    QByteArray out;
    out.reserve(qsizetype(enr[m_s.dernier].fin() - enr[m_s.premier].position) + 4096);
    const auto pos = [&] { return debut + out.size(); };
    qsizetype placeIndex = -1;
    std::optional<qint64> posDefColWidth;
    Bornes lignesIndex;
    const auto recopier = [&](std::size_t i, bool premierNiveau) {
        const Enregistrement &e = enr[i];
        const char *d = m_b.pointeur(i);
        if (premierNiveau && e.id == id::index)
            if (const auto x = Index::lire(d, e.longueur)) {
                lignesIndex = { x->premiere, x->fin, 0, 1 };
                placeIndex = out.size();
                out += QByteArray(tailleEnTete + Index::taille(std::size_t(nbDbcell)), '\0');
                return;
            }
        if (premierNiveau && e.id == id::defColWidth)
            posDefColWidth = pos();
        if (premierNiveau && e.id == id::dimensions && m_creees)
            if (const auto x = Dimensions::lire(d, e.longueur)) {
                Bornes b { x->l1, x->l2, x->c1, x->c2 };
                b.inclure(m_creees->l1, m_creees->c1);
                b.inclure(int(m_creees->l2) - 1, m_creees->c2 - 1);
                QByteArray n = m_b.brut(i);
                Dimensions { b.l1, b.l2, b.c1, b.c2 }.ecrireDans(donneesDe(n));
                out += n;
                return;
            }
        out += m_b.brut(i);
    };

    std::vector<std::uint32_t> dbcells;
    const auto ecrireTable = [&] {
        out += m_orphelins;
        for (const auto &bloc : blocs) {
            BlocLignes b { pos(), {} };
            for (const LigneFeuille *l : bloc)
                out += l->row;
            for (const LigneFeuille *l : bloc) {
                if (!l->row.isEmpty())
                    b.premieresCases.push_back(pos());
                for (const Unite &u : l->unites) {
                    out += u.principal;
                    out += u.suite;
                }
            }
            if (m_avaitDbcell && !b.premieresCases.empty()) {
                dbcells.push_back(std::uint32_t(pos()));
                out += dbcell(b, pos());
            }
        }
    };
    for (const auto [i, premierNiveau] : ParcoursSousFlux(enr, m_s.premier, m_s.dernier)) {
        if (i == m_debutTable)
            ecrireTable();
        if (i < m_debutTable || i >= m_finTable)
            recopier(i, premierNiveau);
    }

    if (placeIndex >= 0) {
        if (m_creees) {
            if (lignesIndex.l2 <= lignesIndex.l1)
                lignesIndex = { m_creees->l1, m_creees->l2, 0, 1 };
            lignesIndex.l1 = std::min(lignesIndex.l1, m_creees->l1);
            lignesIndex.l2 = std::max(lignesIndex.l2, m_creees->l2);
        }
        const QByteArray n = Index::ecrire(
            lignesIndex.l1, lignesIndex.l2, std::uint32_t(posDefColWidth.value_or(0)), dbcells);
        out.replace(placeIndex, n.size(), n);
    }
    return out;
}

} // namespace zarvo::sheet::xls
