#include "sheet/xls/ecrivain_classeur.h"

#include "sheet/adresse.h"
#include "sheet/erreur.h"
#include "sheet/xls/biff_ecriture.h"
#include "sheet/xls/octets.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace zarvo::sheet::xls {

using namespace ecriture;

namespace {

constexpr int tailleRow = 4 + 16;
constexpr int lignesParBloc = 32;

QString nomCase(int ligne, int colonne)
{
    return texteAdresse(ligne + 1, colonne + 1);
}

/// Enregistrement complet (en-tête compris) tel qu'il est dans le flux d'origine.
QByteArray brut(const ClasseurBiff &b, std::size_t i)
{
    const Enregistrement &e = b.enregistrements()[i];
    return b.flux().mid(e.position, 4 + e.longueur);
}

const char *donneesDe(const ClasseurBiff &b, std::size_t i)
{
    return b.flux().constData() + b.enregistrements()[i].debutDonnees();
}

/// Index de l'enregistrement d'une formule qui la rattache à une autre (SHRFMLA, ARRAY, TABLE),
/// parmi ceux qui la suivent.
std::optional<std::size_t> ancrage(const ClasseurBiff &b, std::size_t formule)
{
    const auto &enr = b.enregistrements();
    for (std::size_t i = formule + 1; i < enr.size() && suitUneFormule(enr[i].id); ++i)
        if (enr[i].id == id::shrfmla || enr[i].id == id::array || enr[i].id == id::table)
            return i;
    return std::nullopt;
}

/// Case désignée par une formule réduite à un renvoi (ptgExp) vers une formule partagée ou
/// matricielle.
std::optional<std::pair<int, int>> renvoiExp(const ClasseurBiff &b, std::size_t formule)
{
    return xls::renvoiExp(donneesDe(b, formule), b.enregistrements()[formule].longueur);
}

std::optional<QString> refusFormule(const ClasseurBiff &b, const FeuilleBiff &cases, int ligne,
    int colonne, const EcrituresFeuille &ecrites)
{
    const Case *c = cases.chercher(ligne, colonne);
    if (!c || b.enregistrements()[c->enregistrement].id != id::formula)
        return std::nullopt;
    const auto sorte = [&](std::size_t ancre) -> std::optional<QString> {
        switch (b.enregistrements()[ancre].id) {
        case id::array:
            return QStringLiteral("une formule matricielle");
        case id::table:
            return QStringLiteral("une table de données");
        default:
            return std::nullopt;
        }
    };
    if (const auto ancre = ancrage(b, c->enregistrement)) {
        if (const auto s = sorte(*ancre))
            return QStringLiteral("elle porte %1").arg(*s);
        // Formule partagée : les autres cases qui y renvoient encore seraient vidées.
        // Le lecteur a vérifié la longueur du SHRFMLA ; un flux construit à la main ne l'est
        // pas forcément.
        const auto plage
            = ShrFmla::lire(donneesDe(b, *ancre), b.enregistrements()[*ancre].longueur);
        if (!plage)
            return QStringLiteral("sa formule partagée est tronquée");
        int dependantes = 0;
        for (auto it = cases.depuis(plage->l1, 0);
             it != cases.cases().end() && it->ligne <= plage->l2; ++it) {
            if (it->colonne < plage->c1 || it->colonne > plage->c2
                || (it->ligne == ligne && it->colonne == colonne)
                || ecrites.count({ it->ligne, it->colonne }))
                continue;
            if (b.enregistrements()[it->enregistrement].id == id::formula
                && renvoiExp(b, it->enregistrement) == std::pair { ligne, colonne })
                ++dependantes;
        }
        if (dependantes > 0)
            return QStringLiteral("elle porte la formule partagée de %1 autre(s) case(s), qui "
                                  "perdraient leur formule")
                .arg(dependantes);
        return std::nullopt;
    }
    if (const auto cible = renvoiExp(b, c->enregistrement)) {
        const Case *a = cases.chercher(cible->first, cible->second);
        if (a && b.enregistrements()[a->enregistrement].id == id::formula)
            if (const auto ancre = ancrage(b, a->enregistrement))
                if (const auto s = sorte(*ancre))
                    return QStringLiteral("elle fait partie d'%1 ancrée en %2")
                        .arg(*s, nomCase(cible->first, cible->second));
    }
    return std::nullopt;
}

const SousFlux &sousFluxDe(const ClasseurBiff &b, std::size_t feuille)
{
    return b.sousFlux().at(b.feuilles().at(feuille).sousFlux);
}

} // namespace

void verifierEcriture(const ClasseurBiff &biff, std::size_t feuille, const FeuilleBiff &cases,
    int ligne, int colonne, const Cellule &valeur, const EcrituresFeuille &deja)
{
    std::optional<QString> refus;
    if (valeur.estTexte() && valeur.valeurTexte().size() > longueurMaxTexte)
        refus = QStringLiteral("texte trop long (%1 caractères, %2 au plus)")
                    .arg(valeur.valeurTexte().size())
                    .arg(longueurMaxTexte);
    else
        refus = refusFormule(biff, cases, ligne, colonne, deja);
    if (refus)
        throw ErreurClasseur(
            QStringLiteral("Écriture refusée dans la case %1 de « %2 » : %3.")
                .arg(nomCase(ligne, colonne), biff.feuilles().at(feuille).nom, *refus));
}

std::uint16_t formatNouvelleCase(
    const ClasseurBiff &biff, std::size_t feuille, int ligne, int colonne)
{
    const SousFlux &s = sousFluxDe(biff, feuille);
    const auto &enr = biff.enregistrements();
    std::optional<std::uint16_t> deColonne;
    for (const auto [i, premierNiveau] : ParcoursSousFlux(enr, s.premier, s.dernier)) {
        if (!premierNiveau)
            continue;
        const char *d = donneesDe(biff, i);
        if (enr[i].id == id::row)
            if (const auto r = Row::lire(d, enr[i].longueur); r && r->ligne == ligne)
                if (const auto xf = r->formatPropre())
                    return *xf;
        if (enr[i].id == id::colInfo)
            if (const auto c = ColInfo::lire(d, enr[i].longueur);
                c && colonne >= c->premiere && colonne <= c->derniere)
                deColonne = c->xf;
    }
    const std::uint16_t xf = deColonne.value_or(xfParDefaut);
    return xf < biff.nbXf() ? xf : xfParDefaut;
}

namespace {

/// Table des chaînes après écriture : les anciennes d'abord, à leur place, puis les nouvelles.
class PlanSst
{
public:
    explicit PlanSst(const ClasseurBiff &b)
        : m_nbAnciennes(b.sst().size())
    {
        for (std::size_t i = 0; i < b.sst().size(); ++i) {
            const auto &c = b.sst()[i];
            if (c.runs.isEmpty() && c.phonetique.isEmpty() && !m_simples.contains(c.texte))
                m_simples.insert(c.texte, std::uint32_t(i));
        }
    }
    std::uint32_t indice(const QString &texte)
    {
        const auto it = m_simples.constFind(texte);
        if (it != m_simples.constEnd())
            return *it;
        const auto i = std::uint32_t(m_nbAnciennes + m_nouvelles.size());
        m_nouvelles.push_back(texte);
        m_simples.insert(texte, i);
        return i;
    }
    const std::vector<QString> &nouvelles() const { return m_nouvelles; }
    std::int64_t ecartTotal = 0; ///< renvois gagnés moins renvois perdus

private:
    std::size_t m_nbAnciennes;
    QHash<QString, std::uint32_t> m_simples;
    std::vector<QString> m_nouvelles;
};

QByteArray nouvelleCase(int ligne, int colonne, std::uint16_t xf, const Cellule &v, PlanSst &sst)
{
    if (v.estNombre())
        return caseNombre(ligne, colonne, xf, v.valeurNombre());
    if (v.estTexte()) {
        verifierLongueurTexte(v.valeurTexte());
        ++sst.ecartTotal;
        return caseSst(ligne, colonne, xf, sst.indice(v.valeurTexte()));
    }
    return caseVide(ligne, colonne, xf);
}

/// Une case ou une suite de cases d'une ligne, avec les enregistrements qui la suivent.
struct Unite
{
    int col1 = 0, col2 = 0;
    std::uint16_t type = 0;
    QByteArray principal; ///< l'enregistrement de la case, en-tête compris
    QByteArray suite; ///< enregistrements rattachés (STRING, SHRFMLA…), tels quels
};

std::uint16_t formatDansUnite(const Unite &u, int colonne)
{
    const char *d = u.principal.constData() + 4;
    if (u.type == id::mulrk)
        return lire16(d + 4 + 6 * (colonne - u.col1));
    if (u.type == id::mulblank)
        return lire16(d + 4 + 2 * (colonne - u.col1));
    return lire16(d + 4);
}

/// Morceau [de, a] d'une suite MULRK/MULBLANK ; une seule case redevient RK ou BLANK.
std::optional<Unite> morceau(const Unite &u, int ligne, int de, int a)
{
    if (de > a)
        return std::nullopt;
    const bool rk = u.type == id::mulrk;
    const int pas = rk ? 6 : 2;
    const char *d = u.principal.constData() + 4;
    Unite m;
    m.col1 = de;
    m.col2 = a;
    QByteArray donnees;
    char b[2];
    const auto ajouter16 = [&](int v) {
        ecrire16(b, std::uint16_t(v));
        donnees.append(b, 2);
    };
    ajouter16(ligne);
    ajouter16(de);
    donnees.append(d + 4 + pas * (de - u.col1), pas * (a - de + 1));
    if (de == a) {
        m.type = rk ? id::rk : id::blank;
    } else {
        m.type = u.type;
        ajouter16(a);
    }
    m.principal = enregistrement(m.type, donnees);
    return m;
}

struct LigneFeuille
{
    QByteArray row; ///< ROW, vide si la ligne n'en a pas
    std::optional<int> bloc; ///< bloc d'origine
    std::vector<Unite> unites;
};

struct Bornes
{
    std::uint32_t l1 = 0, l2 = 0; ///< [l1, l2)
    std::uint16_t c1 = 0, c2 = 0;
    bool vide() const { return l2 <= l1 || c2 <= c1; }
    void inclure(int l, int c)
    {
        if (vide()) {
            *this = { std::uint32_t(l), std::uint32_t(l + 1), std::uint16_t(c),
                std::uint16_t(c + 1) };
            return;
        }
        l1 = std::min<std::uint32_t>(l1, l);
        l2 = std::max<std::uint32_t>(l2, l + 1);
        c1 = std::min<std::uint16_t>(c1, c);
        c2 = std::max<std::uint16_t>(c2, c + 1);
    }
};

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
    char *d = row.data() + 4;
    Row r = *Row::lire(d, Row::taille); // gardé par le découpage : au moins 16 octets
    if (colonne < r.premiere || r.fin <= r.premiere)
        r.premiere = std::uint16_t(colonne);
    if (colonne >= r.fin)
        r.fin = std::uint16_t(colonne + 1);
    r.ecrireDans(d);
}

/// Réécriture d'une feuille touchée : avant la table des cases, la table, après.
class FeuilleReecrite
{
public:
    FeuilleReecrite(const ClasseurBiff &b, std::size_t feuille, const EcrituresFeuille &ecr,
        PlanSst &sst, const FeuilleBiff *lue)
        : m_b(b)
        , m_s(sousFluxDe(b, feuille))
    {
        decouper();
        std::optional<FeuilleBiff> relue;
        if (!lue)
            relue = b.lireFeuille(feuille);
        const FeuilleBiff &cases = lue ? *lue : *relue;
        for (const auto &[pos, v] : ecr) {
            if (const auto refus = refusFormule(b, cases, pos.first, pos.second, ecr))
                throw ErreurClasseur(
                    QStringLiteral("Écriture refusée dans la case %1 de « %2 » : %3.")
                        .arg(nomCase(pos.first, pos.second), b.feuilles()[feuille].nom, *refus));
            poser(feuille, pos.first, pos.second, v, sst);
        }
    }

    QByteArray ecrire(qint64 debut) const;

private:
    std::uint16_t hauteurParDefaut() const;
    void decouper();
    void poser(std::size_t feuille, int ligne, int colonne, const Cellule &v, PlanSst &sst);

    const ClasseurBiff &m_b;
    const SousFlux &m_s;
    std::size_t m_debutTable = 0, m_finTable = 0; ///< [début, fin) des enregistrements de la table
    QByteArray m_orphelins; ///< enregistrements de la table qui ne suivent aucune case
    std::map<int, LigneFeuille> m_lignes;
    bool m_avaitDbcell = false;
    bool m_avaitRow = false;
    bool m_tableVide = false;
    std::optional<Bornes> m_creees; ///< bornes des cases créées
};

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
        const char *d = donneesDe(m_b, i);
        if (const auto r = e.id == id::row ? Row::lire(d, e.longueur) : std::nullopt) {
            auto &l = m_lignes[r->ligne];
            l.row = brut(m_b, i);
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
            u.col2
                = (e.id == id::mulrk || e.id == id::mulblank) ? lire16(d + e.longueur - 2) : u.col1;
            u.principal = brut(m_b, i);
            derniereLigne = &m_lignes[c->ligne];
            derniereLigne->unites.push_back(std::move(u));
            derniere = &derniereLigne->unites.back();
        } else if (derniere) {
            derniere->suite += brut(m_b, i);
        } else {
            m_orphelins += brut(m_b, i);
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
            for (qsizetype p = 0; p + 4 <= ancienne.suite.size();) {
                const auto t = lire16(ancienne.suite.constData() + p);
                const int l = 4 + lire16(ancienne.suite.constData() + p + 2);
                if (!suitUneFormule(t))
                    n.suite += ancienne.suite.mid(p, l);
                p += l;
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
            if (const auto h = DefaultRowHeight::lire(donneesDe(m_b, i), enr[i].longueur))
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
        const char *d = donneesDe(m_b, i);
        if (premierNiveau && e.id == id::index)
            if (const auto x = Index::lire(d, e.longueur)) {
                lignesIndex = { x->premiere, x->fin, 0, 1 };
                placeIndex = out.size();
                out += QByteArray(4 + 16 + 4 * nbDbcell, '\0');
                return;
            }
        if (premierNiveau && e.id == id::defColWidth)
            posDefColWidth = pos();
        if (premierNiveau && e.id == id::dimensions && m_creees)
            if (const auto x = Dimensions::lire(d, e.longueur)) {
                Bornes b { x->l1, x->l2, x->c1, x->c2 };
                b.inclure(m_creees->l1, m_creees->c1);
                b.inclure(int(m_creees->l2) - 1, m_creees->c2 - 1);
                QByteArray n = brut(m_b, i);
                Dimensions { b.l1, b.l2, b.c1, b.c2 }.ecrireDans(n.data() + 4);
                out += n;
                return;
            }
        out += brut(m_b, i);
    };

    std::vector<qint64> dbcells;
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
                dbcells.push_back(pos());
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
        const QByteArray n
            = index(lignesIndex.l1, lignesIndex.l2, posDefColWidth.value_or(0), dbcells);
        out.replace(placeIndex, n.size(), n);
    }
    return out;
}

QByteArray recalcId()
{
    QByteArray d(8, '\0');
    ecrire16(d.data(), id::recalcId);
    // Moteur 0 : les tableurs recalculent toutes les formules à l'ouverture.
    return enregistrement(id::recalcId, d);
}

} // namespace

QByteArray reconstruireFlux(
    const ClasseurBiff &biff, const Ecritures &ecritures, const FeuillesLues &lues)
{
    const auto &enr = biff.enregistrements();
    const auto &sf = biff.sousFlux();
    if (sf.empty() || enr.empty())
        throw ErreurClasseur(QStringLiteral("Classeur vide : rien à enregistrer."));

    // Les feuilles touchées d'abord : elles décident des chaînes nouvelles.
    PlanSst sst(biff);
    std::map<std::size_t, std::unique_ptr<FeuilleReecrite>> touchees; // par sous-flux
    for (const auto &[feuille, ecr] : ecritures) {
        if (ecr.empty())
            continue;
        if (feuille >= biff.feuilles().size() || !biff.feuilles()[feuille].estFeuilleDeCalcul())
            throw ErreurClasseur(QStringLiteral("Écriture dans une feuille qui n'existe pas."));
        touchees[biff.feuilles()[feuille].sousFlux] = std::make_unique<FeuilleReecrite>(
            biff, feuille, ecr, sst, lues.count(feuille) ? lues.at(feuille) : nullptr);
    }
    const bool change = !touchees.empty();

    QByteArray out;
    out.reserve(biff.flux().size() + 65536);
    std::map<std::size_t, qsizetype> placesBoundsheet; // index d'enregistrement -> place
    std::vector<qint64> debuts(sf.size());

    // Globaux.
    const SousFlux &g = sf.front();
    const auto plageSst = biff.enregistrementsSst();
    const bool sstNeuve = !sst.nouvelles().empty();
    qint64 decalageSst = 0;
    bool recalcPose = !change;
    for (std::size_t i = g.premier; i <= g.dernier; ++i)
        recalcPose = recalcPose || enr[i].id == id::recalcId; // déjà là : il sera remis à zéro
    const auto poserSst = [&] {
        std::vector<ChaineSst> chaines;
        chaines.reserve(biff.sst().size() + sst.nouvelles().size());
        chaines.insert(chaines.end(), biff.sst().begin(), biff.sst().end());
        for (const auto &t : sst.nouvelles())
            chaines.push_back({ t, {}, {} });
        std::int64_t total = sst.ecartTotal;
        if (plageSst)
            total += lire32(donneesDe(biff, plageSst->first));
        // L'EXTSST suit toujours sa SST.
        const SstEcrite e
            = ecrireSst(chaines, std::uint32_t(std::max<std::int64_t>(total, 0)), out.size());
        out += e.sst;
        out += e.extsst;
    };
    out += biff.flux().left(enr[g.premier].position);
    for (std::size_t i = g.premier; i <= g.dernier; ++i) {
        const auto t = enr[i].id;
        if (!recalcPose
            && (t == id::msoDrawingGroup || t == id::sst || t == id::extsst || i == g.dernier)) {
            out += recalcId();
            recalcPose = true;
        }
        if (t == id::recalcId && change) {
            QByteArray r = brut(biff, i);
            if (r.size() >= 12)
                ecrire32(r.data() + 8, 0);
            out += r;
            continue;
        }
        if (plageSst && i == plageSst->first) {
            if (sstNeuve) {
                poserSst();
            } else {
                decalageSst = qint64(out.size()) - enr[i].position;
                const qsizetype place = out.size();
                for (std::size_t k = plageSst->first; k <= plageSst->second; ++k)
                    out += brut(biff, k);
                const std::int64_t total
                    = std::int64_t(lire32(donneesDe(biff, i))) + sst.ecartTotal;
                ecrire32(out.data() + place + 4, std::uint32_t(std::max<std::int64_t>(total, 0)));
            }
            i = plageSst->second;
            continue;
        }
        if (t == id::extsst) {
            if (!sstNeuve) {
                QByteArray x = brut(biff, i);
                for (int o = 4 + 2; o + 8 <= x.size(); o += 8)
                    ecrire32(x.data() + o, std::uint32_t(lire32(x.constData() + o) + decalageSst));
                out += x;
            }
            continue;
        }
        if (!plageSst && sstNeuve && i == g.dernier)
            poserSst();
        if (t == id::boundsheet)
            placesBoundsheet[i] = out.size();
        out += brut(biff, i);
    }
    debuts[0] = enr[g.premier].position;

    // Les autres sous-flux, dans l'ordre du fichier.
    for (std::size_t k = 1; k < sf.size(); ++k) {
        const SousFlux &s = sf[k];
        out += biff.flux().mid(
            enr[sf[k - 1].dernier].fin(), enr[s.premier].position - enr[sf[k - 1].dernier].fin());
        debuts[k] = out.size();
        const auto t = touchees.find(k);
        if (t != touchees.end()) {
            out += t->second->ecrire(out.size());
            continue;
        }
        const qsizetype place = out.size();
        const qint64 decalage = qint64(place) - enr[s.premier].position;
        out += biff.flux().mid(
            enr[s.premier].position, enr[s.dernier].fin() - enr[s.premier].position);
        // Les positions absolues d'un INDEX recopié suivent la feuille.
        if (decalage != 0 && s.genre == genre::feuille)
            for (const auto [i, premierNiveau] : ParcoursSousFlux(enr, s.premier, s.dernier))
                if (premierNiveau && enr[i].id == id::index
                    && Index::lire(donneesDe(biff, i), enr[i].longueur))
                    Index::decaler(
                        out.data() + place + (enr[i].debutDonnees() - enr[s.premier].position),
                        enr[i].longueur, decalage);
    }
    out += biff.flux().right(biff.tailleBourrage());

    // Place exacte de chaque feuille.
    for (const FeuilleDeclaree &f : biff.feuilles())
        ecrire32(out.data() + placesBoundsheet.at(f.enregistrement) + 4,
            std::uint32_t(debuts.at(f.sousFlux)));
    if (out.size() > 0x7FFFFFFF)
        throw ErreurClasseur(QStringLiteral("Classeur trop grand pour être enregistré."));
    return out;
}

namespace {

/// Une case, suites MULRK/MULBLANK dépliées.
struct CaseSeule
{
    std::pair<int, int> position;
    Cellule valeur;
    std::uint16_t xf;
};

std::vector<CaseSeule> casesSeules(const FeuilleBiff &f)
{
    std::vector<CaseSeule> r;
    r.reserve(f.cases().size());
    for (const Case &c : f.cases())
        for (int col = c.colonne; col <= c.derniere; ++col)
            r.push_back({ { c.ligne, col }, f.valeur(c, col), f.xf(c, col) });
    return r;
}

} // namespace

FluxRelu verifierFlux(const ClasseurBiff &origine, const QByteArray &flux,
    const Ecritures &ecritures, const FeuillesLues &lues)
{
    const auto ecart = [](const QString &quoi) {
        return ErreurClasseur(
            QStringLiteral("la relecture du classeur écrit ne redonne pas l'original (%1)")
                .arg(quoi));
    };
    std::optional<ClasseurBiff> relu;
    try {
        relu = ClasseurBiff::lire(flux);
    } catch (const ErreurClasseur &e) {
        throw ecart(e.message());
    }
    const auto &fa = origine.feuilles(), &fb = relu->feuilles();
    std::map<std::size_t, FeuilleBiff> relues;
    if (fa.size() != fb.size())
        throw ecart(QStringLiteral("nombre de feuilles"));
    for (std::size_t i = 0; i < origine.sst().size(); ++i) {
        const auto &a = origine.sst()[i];
        if (i >= relu->sst().size() || a.texte != relu->sst()[i].texte
            || a.runs != relu->sst()[i].runs || a.phonetique != relu->sst()[i].phonetique)
            throw ecart(QStringLiteral("chaîne partagée %1").arg(i));
    }
    for (std::size_t k = 0; k < fa.size(); ++k) {
        if (fa[k].nom != fb[k].nom || fa[k].type != fb[k].type)
            throw ecart(QStringLiteral("feuille %1").arg(k + 1));
        const auto e = ecritures.find(k);
        if (e == ecritures.end() || e->second.empty()) {
            // Feuille non touchée : mêmes enregistrements, à l'octet, hormis les positions de
            // l'INDEX.
            const SousFlux &sa = origine.sousFlux()[fa[k].sousFlux],
                           &sb = relu->sousFlux()[fb[k].sousFlux];
            if (sa.dernier - sa.premier != sb.dernier - sb.premier)
                throw ecart(QStringLiteral("enregistrements de « %1 »").arg(fa[k].nom));
            for (std::size_t i = 0; i <= sa.dernier - sa.premier; ++i) {
                const auto &ra = origine.enregistrements()[sa.premier + i];
                const auto &rb = relu->enregistrements()[sb.premier + i];
                if (ra.id != rb.id || ra.longueur != rb.longueur
                    || (ra.id != id::index
                        && brut(origine, sa.premier + i) != brut(*relu, sb.premier + i)))
                    throw ecart(
                        QStringLiteral("enregistrement %1 de « %2 »").arg(i).arg(fa[k].nom));
            }
            continue;
        }
        std::optional<FeuilleBiff> ancienne;
        if (!lues.count(k))
            ancienne = origine.lireFeuille(k);
        const FeuilleBiff &a = ancienne ? *ancienne : *lues.at(k);
        std::optional<FeuilleBiff> lue;
        try {
            lue = relu->lireFeuille(k);
        } catch (const ErreurClasseur &err) {
            throw ecart(err.message());
        }
        const FeuilleBiff &b = *lue;
        const auto &ecr = e->second;
        const std::vector<CaseSeule> ca = casesSeules(a), cb = casesSeules(b);
        auto ia = ca.begin(), ib = cb.begin();
        while (ia != ca.end() || ib != cb.end()) {
            const bool finA = ia == ca.end(), finB = ib == cb.end();
            const auto p = finA ? ib->position
                : finB          ? ia->position
                                : std::min(ia->position, ib->position);
            const CaseSeule *x = !finA && ia->position == p ? &*ia++ : nullptr;
            const CaseSeule *y = !finB && ib->position == p ? &*ib++ : nullptr;
            const auto w = ecr.find(p);
            const QString ou
                = QStringLiteral("case %1 de « %2 »").arg(nomCase(p.first, p.second), fa[k].nom);
            if (w != ecr.end()) {
                const bool bon = w->second.estVide() ? (!y || y->valeur.estVide())
                                                     : (y && y->valeur == w->second);
                if (!bon || (x && y && x->xf != y->xf))
                    throw ecart(ou);
                continue;
            }
            if (!x || !y || !(x->valeur == y->valeur) || x->xf != y->xf)
                throw ecart(ou);
        }
        for (const auto &[p, v] : ecr)
            if (!v.estVide() && !b.chercher(p.first, p.second))
                throw ecart(QStringLiteral("case %1 de « %2 » absente")
                                .arg(nomCase(p.first, p.second), fa[k].nom));
        relues.emplace(k, std::move(*lue));
    }
    return { std::move(*relu), std::move(relues) };
}

ClasseurEcrit ecrireClasseur(const Conteneur &conteneur, int entree, const ClasseurBiff &biff,
    const Ecritures &ecritures, const FeuillesLues &lues)
{
    const QByteArray flux = reconstruireFlux(biff, ecritures, lues);
    FluxRelu relu = verifierFlux(biff, flux, ecritures, lues);
    // Le conteneur vérifie lui-même ce qu'il écrit avant de le rendre.
    const QByteArray fichier
        = remplacerFlux(conteneur.octets(), conteneur.entrees().at(std::size_t(entree)).nom, flux);
    return { Conteneur::lire(fichier), std::move(relu) };
}

} // namespace zarvo::sheet::xls
