#include "sheet/xls/biff.h"

#include "sheet/erreur.h"
#include "sheet/xls/conteneur.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace zarvo::sheet::xls {

namespace {

[[noreturn]] void refuser(GenreErreur genre, const QString &raison)
{
    throw ErreurClasseur(genre, raison);
}

[[noreturn]] void abime(const QString &raison)
{
    refuser(GenreErreur::Abime, raison);
}

/// L'enregistrement lu, ou le refus du classeur comme abîmé.
template<typename T>
T exiger(std::optional<T> &&lu, const QString &raison)
{
    if (!lu)
        abime(raison);
    return std::move(*lu);
}

constexpr std::uint16_t versionBiff8 = 0x0600;
constexpr int profondeurMax = 16;
constexpr int nbColonnesMax = 256;

} // namespace

QString texteErreur(std::uint8_t code)
{
    static constexpr std::pair<std::uint8_t, const char16_t *> erreurs[] = { { 0x00, u"#NULL!" },
        { 0x07, u"#DIV/0!" }, { 0x0F, u"#VALUE!" }, { 0x17, u"#REF!" }, { 0x1D, u"#NAME?" },
        { 0x24, u"#NUM!" }, { 0x2A, u"#N/A" }, { 0x2B, u"#GETTING_DATA" } };
    for (const auto &[c, texte] : erreurs)
        if (c == code)
            return QString::fromUtf16(texte);
    return {};
}

FeuilleBiff::FeuilleBiff(QByteArray flux, std::vector<Case> cases, std::vector<QString> textes,
    std::shared_ptr<const std::vector<ChaineSst>> sst)
    : m_flux(std::move(flux))
    , m_cases(std::move(cases))
    , m_textes(std::move(textes))
    , m_sst(std::move(sst))
{ }

namespace {

/// Les nombres d'une suite MULRK lus un à un, à partir de son entrée `k`.
class NombresRk
{
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Cellule;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Cellule;

    NombresRk() = default;
    NombresRk(const char *donnees, std::uint32_t k)
        : m_d(donnees)
        , m_k(k)
    { }
    Cellule operator*() const { return Cellule::nombre(valeurRk(MulRk::rk(m_d, m_k))); }
    NombresRk &operator++()
    {
        ++m_k;
        return *this;
    }
    NombresRk operator++(int)
    {
        NombresRk avant = *this;
        ++m_k;
        return avant;
    }
    NombresRk operator+(std::uint32_t n) const { return { m_d, m_k + n }; }
    bool operator==(const NombresRk &) const = default;

private:
    const char *m_d = nullptr;
    std::uint32_t m_k = 0;
};

} // namespace

Cellule FeuilleBiff::valeur(const Case &c, int colonne) const
{
    switch (c.genre) {
    case Case::Genre::Nombre:
        return Cellule::nombre(c.nombre);
    case Case::Genre::MulRk:
        return *NombresRk(m_flux.constData() + c.donnees, std::uint32_t(colonne - c.colonne));
    case Case::Genre::Sst:
        return Cellule::texte((*m_sst)[c.index].texte);
    case Case::Genre::Texte:
        return Cellule::texte(m_textes[c.index]);
    case Case::Genre::Vide:
        break;
    }
    return {};
}

Tableau FeuilleBiff::valeurs(int l1, int c1, int l2, int c2) const
{
    // Chaque case est construite une fois, à sa place, dans l'ordre des enregistrements (qui
    // est celui des lignes).
    const std::size_t largeur = std::size_t(c2 - c1 + 1),
                      total = std::size_t(l2 - l1 + 1) * largeur;
    std::vector<Cellule> v;
    v.reserve(total);
    for (auto it = depuis(l1, 0); it != m_cases.end() && it->ligne <= l2; ++it) {
        const Case &c = *it;
        const int de = std::max<int>(c.colonne, c1), a = std::min<int>(c.derniere, c2);
        if (de > a || c.genre == Case::Genre::Vide)
            continue;
        v.resize(std::size_t(c.ligne - l1) * largeur + std::size_t(de - c1)); // cases vides
        if (c.genre == Case::Genre::MulRk) {
            // D'un bloc : la place est vérifiée une fois pour la suite, pas à chaque case.
            const NombresRk premier(m_flux.constData() + c.donnees, std::uint32_t(de - c.colonne));
            v.insert(v.end(), premier, premier + std::uint32_t(a - de + 1));
        } else {
            v.push_back(valeur(c, de));
        }
    }
    v.resize(total);
    return Tableau(1, l2 - l1 + 1, 1, c2 - c1 + 1, std::move(v));
}

std::vector<Case>::const_iterator FeuilleBiff::depuis(int ligne, int colonne) const
{
    // Les suites ne se chevauchent pas : ordonnées par première comme par dernière colonne.
    return std::lower_bound(m_cases.begin(), m_cases.end(), std::pair(ligne, colonne),
        [](const Case &c, const std::pair<int, int> &p) {
            return std::pair<int, int>(c.ligne, c.derniere) < p;
        });
}

const Case *FeuilleBiff::chercher(int ligne, int colonne) const
{
    const auto it = depuis(ligne, colonne);
    if (it == m_cases.end() || it->ligne != ligne || it->colonne > colonne)
        return nullptr;
    return &*it;
}

std::uint16_t FeuilleBiff::xf(const Case &c, int colonne) const
{
    if (c.colonne == c.derniere)
        return c.xf;
    const char *d = m_flux.constData() + c.donnees;
    const auto k = std::uint32_t(colonne - c.colonne);
    return c.genre == Case::Genre::MulRk ? MulRk::xf(d, k) : MulBlank::xf(d, k);
}

ClasseurBiff ClasseurBiff::lire(const QByteArray &flux)
{
    ClasseurBiff c;
    c.m_flux = flux;
    const char *d = flux.constData();
    const std::uint32_t n = std::uint32_t(flux.size());

    // Découpage de tout le flux et imbrication BOF/EOF.
    std::uint32_t pos = 0;
    int profondeur = 0;
    c.m_enregistrements.reserve(n / 16);
    while (pos < n) {
        if (profondeur == 0 && !c.m_sousFlux.empty()
            && std::all_of(d + pos, d + n, [](char o) { return o == 0; }))
            break; // bourrage final
        if (n - pos < tailleEnTete)
            abime(QStringLiteral("enregistrement tronqué en fin de classeur"));
        Enregistrement e = Enregistrement::enTete(d, pos);
        // Des écrivains mettent des FORMULA au format BIFF8 sous le numéro d'Excel 3 ou 4 :
        // ce sont des formules, lues et réécrites comme telles (octets d'origine gardés).
        if (e.id == id::formulaBiff3 || e.id == id::formulaBiff4)
            e.id = id::formula;
        if (e.longueur > n - pos - tailleEnTete)
            abime(QStringLiteral("enregistrement tronqué en fin de classeur"));
        const std::size_t index = c.m_enregistrements.size();
        if (profondeur == 0) {
            if (e.id != id::bof) {
                if (c.m_sousFlux.empty() && estAncienBof(e.id))
                    refuserAncienExcel();
                abime(QStringLiteral("enregistrement hors de toute feuille (BOF attendu)"));
            }
            const Bof bof = exiger(Bof::lire(d + e.debutDonnees(), e.longueur),
                QStringLiteral("enregistrement BOF trop court"));
            c.m_sousFlux.push_back({ bof.genre, bof.version, index, 0 });
        }
        if (e.id == id::bof && ++profondeur > profondeurMax)
            abime(QStringLiteral("sous-flux imbriqués trop profondément"));
        if (e.id == id::eof && --profondeur == 0)
            c.m_sousFlux.back().dernier = index;
        c.m_enregistrements.push_back(e);
        pos = e.fin();
    }
    c.m_finEnregistrements = pos;
    if (c.m_sousFlux.empty())
        abime(QStringLiteral("flux Workbook vide"));
    if (profondeur != 0)
        abime(QStringLiteral("classeur tronqué : feuille sans fin (EOF manquant)"));

    const SousFlux &globaux = c.m_sousFlux.front();
    if (globaux.version != versionBiff8) {
        if (globaux.version < versionBiff8)
            refuserAncienExcel();
        abime(QStringLiteral("version de classeur inconnue"));
    }
    if (globaux.genre != genre::globaux)
        abime(QStringLiteral("le classeur ne commence pas par ses données globales"));
    c.lireGlobaux();
    return c;
}

void ClasseurBiff::lireGlobaux()
{
    const SousFlux &g = m_sousFlux.front();
    const char *d = m_flux.constData();
    // Chiffré : rien d'autre n'a de sens, on refuse avant de lire quoi que ce soit.
    for (std::size_t i = g.premier; i <= g.dernier; ++i)
        if (m_enregistrements[i].id == id::filepass)
            refuser(GenreErreur::Chiffre, QStringLiteral("classeur protégé par un mot de passe"));

    for (const auto [i, premierNiveau] :
        ParcoursSousFlux(m_enregistrements, g.premier, g.dernier)) {
        const Enregistrement &e = m_enregistrements[i];
        if (!premierNiveau)
            continue;
        const char *p = d + e.debutDonnees();
        switch (e.id) {
        case id::xf:
            ++m_nbXf;
            break;
        case id::boundsheet: {
            const BoundSheet b
                = exiger(BoundSheet::lire(p, e.longueur), QStringLiteral("BOUNDSHEET tronqué"));
            FeuilleDeclaree f { b.nom, b.visibilite, b.type, i, 0 };
            const auto it
                = std::find_if(m_sousFlux.begin() + 1, m_sousFlux.end(), [&](const SousFlux &s) {
                      return m_enregistrements[s.premier].position == b.position;
                  });
            if (it == m_sousFlux.end())
                abime(QStringLiteral("la feuille « %1 » ne pointe pas sur un début de feuille")
                          .arg(f.nom));
            f.sousFlux = std::size_t(it - m_sousFlux.begin());
            for (const FeuilleDeclaree &autre : m_feuilles)
                if (autre.sousFlux == f.sousFlux)
                    abime(QStringLiteral("deux feuilles pointent sur les mêmes données"));
            m_feuilles.push_back(f);
            break;
        }
        case id::sst: {
            if (m_sstEnregistrements)
                abime(QStringLiteral("table des chaînes (SST) en double"));
            std::size_t dernier = i;
            while (dernier + 1 < g.dernier && m_enregistrements[dernier + 1].id == id::continuation)
                ++dernier;
            m_sstEnregistrements = std::pair(i, dernier);
            // Ses CONTINUE ne portent rien d'autre.
            m_totalSst = Sst::lire(m_flux, m_enregistrements, i, dernier, *m_sst).total;
            break;
        }
        default:
            break;
        }
    }
}

int ClasseurBiff::chercherFeuille(const QString &nom) const
{
    for (std::size_t i = 0; i < m_feuilles.size(); ++i)
        if (m_feuilles[i].estFeuilleDeCalcul()
            && m_feuilles[i].nom.compare(nom, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

namespace {

/**
 * Lecture des cases d'une feuille, un enregistrement à la fois. L'état qui passe de l'un à
 * l'autre (la FORMULA qui attend son STRING) vit ici ; les cases pointent dans le flux, rien
 * n'est recopié.
 */
class LecteurCases
{
public:
    LecteurCases(const QByteArray &flux, const std::vector<Enregistrement> &enr, const QString &nom,
        std::size_t dernier, std::size_t nbSst, int nbXf)
        : m_flux(flux)
        , m_d(flux.constData())
        , m_enr(enr)
        , m_nom(nom)
        , m_dernier(dernier)
        , m_nbSst(nbSst)
        , m_nbXf(nbXf)
    { }

    // Les étapes du chemin de chaque case sont forcées en ligne : découpée, la lecture reste
    // aussi rapide qu'en une seule fonction.
    [[gnu::always_inline]] inline void lire(Place place);
    /// Cases triées et sans chevauchement, une fois tous les enregistrements lus.
    void terminer();

    std::vector<Case> cases;
    std::vector<QString> textes;

private:
    static constexpr std::size_t aucune = std::size_t(-1);

    [[gnu::cold]] QString quoi(const Enregistrement &e) const;
    [[noreturn, gnu::cold]] void tronque(const Enregistrement &e) const;
    /// Enregistrement lu, ou refusé comme tronqué.
    template<typename T>
    [[gnu::always_inline]] inline T lu(const Enregistrement &e, std::optional<T> &&r) const
    {
        if (!r)
            tronque(e);
        return std::move(*r);
    }
    void resultatTexte(std::size_t i);
    [[gnu::always_inline]] inline void decoder(std::size_t i);
    template<typename Suite>
    void suite(std::size_t i);
    Case boolerr(const Enregistrement &e, const BoolErr &b);
    Case formule(const Enregistrement &e, const Formula &f);
    [[gnu::always_inline]] inline void longueurExacte(
        const Enregistrement &e, std::uint32_t attendue) const;
    [[gnu::always_inline]] inline Case nombre(const Enregistrement &e, double v) const;
    [[gnu::always_inline]] inline Case texte(const QString &t);
    [[gnu::always_inline]] inline void verifierXf(const Enregistrement &e, std::uint16_t xf) const;
    [[gnu::always_inline]] inline void ajouter(
        std::size_t i, const EnTeteCase &t, std::uint16_t derniere, const Case &c);
    void ajouter(std::size_t i, const EnTeteCase &t, const Case &c) { ajouter(i, t, t.colonne, c); }

    const QByteArray &m_flux;
    const char *m_d;
    const std::vector<Enregistrement> &m_enr;
    const QString &m_nom;
    std::size_t m_dernier, m_nbSst;
    int m_nbXf;
    std::size_t m_formuleTexte = aucune; // case qui attend son STRING
};

// Construit seulement en cas de refus : la lecture reste rapide.
QString LecteurCases::quoi(const Enregistrement &e) const
{
    // Le numéro lu dans le fichier, pas celui qui le remplace (FORMULA d'Excel 3 ou 4).
    return QStringLiteral("feuille « %1 », enregistrement 0x%2 à l'octet %3")
        .arg(m_nom)
        .arg(Enregistrement::enTete(m_d, e.position).id, 4, 16, QLatin1Char('0'))
        .arg(e.position);
}

void LecteurCases::tronque(const Enregistrement &e) const
{
    abime(QStringLiteral("%1 : enregistrement tronqué").arg(quoi(e)));
}

void LecteurCases::lire(Place place)
{
    const std::size_t i = place.index;
    const Enregistrement &e = m_enr[i];
    // Trop long, il avale les enregistrements suivants : leurs cases seraient lues vides.
    if (e.longueur > tailleMaxDonneesBiff8)
        abime(QStringLiteral("%1 : %2 octets de données, plus que les %3 permis")
                  .arg(quoi(e))
                  .arg(e.longueur)
                  .arg(tailleMaxDonneesBiff8));
    if (!place.premierNiveau)
        return; // graphique imbriqué : pas des cases de la feuille
    // Sa plage sert à l'écriture, qui doit pouvoir la lire.
    if (e.id == id::shrfmla && !ShrFmla::lire(m_d + e.debutDonnees(), e.longueur))
        abime(QStringLiteral("%1 : formule partagée (SHRFMLA) tronquée").arg(quoi(e)));
    if (m_formuleTexte != aucune) {
        if (e.id == id::string)
            resultatTexte(i);
        else if (e.id != id::shrfmla && e.id != id::array && e.id != id::table)
            abime(QStringLiteral("%1 : résultat texte de formule (STRING) manquant").arg(quoi(e)));
        return;
    }
    decoder(i);
}

/// Le STRING qui porte le résultat texte de la FORMULA précédente.
void LecteurCases::resultatTexte(std::size_t i)
{
    // Un long résultat peut se poursuivre dans des CONTINUE.
    std::size_t fin = i;
    while (fin + 1 < m_dernier && m_enr[fin + 1].id == id::continuation)
        ++fin;
    const QString t = String::lire(m_flux, m_enr, i, fin, quoi(m_enr[i]));
    Case &c = cases[m_formuleTexte];
    c.genre = Case::Genre::Texte;
    c.index = std::uint32_t(textes.size());
    textes.push_back(t);
    c.chaineFormule = std::uint32_t(i);
    m_formuleTexte = aucune;
}

/// Un enregistrement de case ; les autres passent.
void LecteurCases::decoder(std::size_t i)
{
    const Enregistrement &e = m_enr[i];
    const char *d = m_d + e.debutDonnees();
    const std::uint32_t n = e.longueur;
    switch (e.id) {
    case id::number: {
        longueurExacte(e, Number::taille);
        const Number c = lu(e, Number::lire(d, n));
        ajouter(i, c.t, nombre(e, c.valeur));
        break;
    }
    case id::rk: {
        longueurExacte(e, Rk::taille);
        const Rk c = lu(e, Rk::lire(d, n));
        ajouter(i, c.t, nombre(e, valeurRk(c.valeur)));
        break;
    }
    case id::mulrk:
        suite<MulRk>(i);
        break;
    case id::mulblank:
        suite<MulBlank>(i);
        break;
    case id::labelsst: {
        longueurExacte(e, LabelSst::taille);
        const LabelSst l = lu(e, LabelSst::lire(d, n));
        if (l.valeur >= m_nbSst)
            abime(QStringLiteral("%1 : index de chaîne hors de la table").arg(quoi(e)));
        Case c;
        c.genre = Case::Genre::Sst;
        c.index = l.valeur;
        ajouter(i, l.t, c);
        break;
    }
    case id::label: {
        const Label l = lu(e, Label::lire(d, n));
        longueurExacte(e, l.taille);
        ajouter(i, l.t, texte(l.texte));
        break;
    }
    case id::rstring: {
        const RString l = lu(e, RString::lire(d, n));
        longueurExacte(e, l.taille);
        ajouter(i, l.t, texte(l.texte));
        break;
    }
    case id::blank:
        longueurExacte(e, Blank::taille);
        ajouter(i, lu(e, Blank::lire(d, n)).t, Case());
        break;
    case id::boolerr: {
        longueurExacte(e, BoolErr::taille);
        const BoolErr b = lu(e, BoolErr::lire(d, n));
        ajouter(i, b.t, boolerr(e, b));
        break;
    }
    case id::formula: {
        const Formula f = lu(e, Formula::lire(d, n));
        ajouter(i, f.t, formule(e, f));
        break;
    }
    default:
        break;
    }
}

/// MULRK ou MULBLANK : une seule entrée pour la suite de colonnes ; chaque valeur est vérifiée
/// ici et relue de l'enregistrement à la demande.
template<typename Suite>
void LecteurCases::suite(std::size_t i)
{
    const Enregistrement &e = m_enr[i];
    const char *d = m_d + e.debutDonnees();
    const auto s = Suite::lire(d, e.longueur);
    if (!s)
        abime(QStringLiteral("%1 : longueur incohérente").arg(quoi(e)));
    const std::uint32_t nb = s->nb;
    const EnTeteCase t = s->t;
    const std::uint16_t derniere = s->derniere;
    if (nb == 0 || derniere < t.colonne || std::uint32_t(derniere - t.colonne + 1) != nb)
        abime(QStringLiteral("%1 : nombre d'entrées incohérent avec les colonnes").arg(quoi(e)));
    // Un passage sans branche par entrée ; la faute n'est cherchée en détail que si elle existe.
    bool saine = true;
    for (std::uint32_t k = 0; k < nb; ++k) {
        saine &= Suite::xf(d, k) < m_nbXf;
        if constexpr (Suite::id == id::mulrk)
            saine &= rkFini(MulRk::rk(d, k));
    }
    if (!saine) [[unlikely]]
        for (std::uint32_t k = 0; k < nb; ++k) {
            verifierXf(e, Suite::xf(d, k));
            if constexpr (Suite::id == id::mulrk)
                if (!rkFini(MulRk::rk(d, k)))
                    abime(QStringLiteral("%1 : nombre non fini").arg(quoi(e)));
        }
    Case c;
    c.genre = Suite::id == id::mulrk ? Case::Genre::MulRk : Case::Genre::Vide;
    ajouter(i, t, derniere, c);
}

/// BOOLERR : un booléen (lu comme 1 ou 0) ou un code d'erreur (lu comme son texte).
Case LecteurCases::boolerr(const Enregistrement &e, const BoolErr &b)
{
    if (b.erreur) {
        const QString t = texteErreur(b.valeur);
        if (t.isEmpty())
            abime(QStringLiteral("%1 : code d'erreur inconnu").arg(quoi(e)));
        return texte(t);
    }
    if (b.valeur > 1)
        abime(QStringLiteral("%1 : booléen invalide").arg(quoi(e)));
    return nombre(e, b.valeur);
}

/// FORMULA : son résultat en cache ; un résultat texte attend le STRING qui suit.
Case LecteurCases::formule(const Enregistrement &e, const Formula &f)
{
    if (f.finJetons > e.longueur)
        abime(QStringLiteral("%1 : formule plus longue que son enregistrement").arg(quoi(e)));
    if (f.nombre)
        return nombre(e, *f.nombre);
    const std::uint8_t v = f.valeur;
    switch (f.genre) {
    case 0:
        m_formuleTexte = cases.size();
        return Case();
    case 1:
        if (v > 1)
            abime(QStringLiteral("%1 : booléen invalide").arg(quoi(e)));
        return nombre(e, v);
    case 2:
        if (texteErreur(v).isEmpty())
            abime(QStringLiteral("%1 : code d'erreur inconnu").arg(quoi(e)));
        return texte(texteErreur(v));
    case 3:
        return Case(); // texte vide
    default:
        abime(QStringLiteral("%1 : résultat de formule inconnu").arg(quoi(e)));
    }
}

// Quelques octets de bourrage passent (LibreOffice écrit des BOOLERR de 9 octets) ; dès
// 4 octets de trop, l'excédent peut cacher un enregistrement entier.
void LecteurCases::longueurExacte(const Enregistrement &e, std::uint32_t attendue) const
{
    if (e.longueur < attendue || e.longueur - attendue >= 4)
        abime(QStringLiteral("%1 : longueur %2 au lieu de %3 pour ce genre de case")
                  .arg(quoi(e))
                  .arg(e.longueur)
                  .arg(attendue));
}

Case LecteurCases::nombre(const Enregistrement &e, double v) const
{
    if (!std::isfinite(v))
        abime(QStringLiteral("%1 : nombre non fini").arg(quoi(e)));
    Case c;
    c.genre = Case::Genre::Nombre;
    c.nombre = v;
    return c;
}

// Les textes hors SST de la feuille : la case n'en garde que l'index.
Case LecteurCases::texte(const QString &t)
{
    Case c;
    c.genre = Case::Genre::Texte;
    c.index = std::uint32_t(textes.size());
    textes.push_back(t);
    return c;
}

void LecteurCases::verifierXf(const Enregistrement &e, std::uint16_t xf) const
{
    if (xf >= m_nbXf)
        abime(QStringLiteral("%1 : index de format (XF) hors de la table").arg(quoi(e)));
}

void LecteurCases::ajouter(
    std::size_t i, const EnTeteCase &t, std::uint16_t derniere, const Case &c)
{
    const Enregistrement &e = m_enr[i];
    if (derniere >= nbColonnesMax)
        abime(QStringLiteral("%1 : colonne hors limites").arg(quoi(e)));
    verifierXf(e, t.xf);
    // Champ par champ, à sa place : recopiée d'un bloc, la case passait par la pile, relue
    // en larges morceaux juste après son écriture en petits (la boucle chaude de la lecture).
    Case &n = cases.emplace_back();
    n.ligne = t.ligne;
    n.colonne = t.colonne;
    n.derniere = derniere;
    n.xf = t.xf;
    n.enregistrement = std::uint32_t(i);
    n.donnees = e.debutDonnees();
    n.chaineFormule = c.chaineFormule;
    n.genre = c.genre;
    if (c.genre == Case::Genre::Nombre)
        n.nombre = c.nombre;
    else
        n.index = c.index;
}

void LecteurCases::terminer()
{
    if (m_formuleTexte != aucune)
        abime(QStringLiteral("feuille « %1 » : résultat texte de formule (STRING) manquant")
                  .arg(m_nom));
    // Les écrivains rangent les cases dans l'ordre : on ne trie que si ce n'est pas le cas.
    const auto avant = [](const Case &a, const Case &b) {
        return std::pair(a.ligne, a.colonne) < std::pair(b.ligne, b.colonne);
    };
    if (!std::is_sorted(cases.begin(), cases.end(), avant))
        std::stable_sort(cases.begin(), cases.end(), avant);
    for (std::size_t k = 1; k < cases.size(); ++k)
        if (cases[k].ligne == cases[k - 1].ligne && cases[k].colonne <= cases[k - 1].derniere)
            abime(QStringLiteral("feuille « %1 » : deux enregistrements pour la même case")
                      .arg(m_nom));
}

} // namespace

FeuilleBiff ClasseurBiff::lireFeuille(std::size_t indexFeuille) const
{
    const FeuilleDeclaree &f = m_feuilles.at(indexFeuille);
    const SousFlux &s = m_sousFlux.at(f.sousFlux);
    if (s.version != versionBiff8 || s.genre != genre::feuille)
        refuser(GenreErreur::AncienExcel,
            QStringLiteral("« %1 » n'est pas une feuille de calcul Excel 97").arg(f.nom));
    LecteurCases l(m_flux, m_enregistrements, f.nom, s.dernier, m_sst->size(), m_nbXf);
    l.cases.reserve(s.dernier - s.premier);
    for (const Place place : ParcoursSousFlux(m_enregistrements, s.premier, s.dernier))
        l.lire(place);
    l.terminer();
    return FeuilleBiff(m_flux, std::move(l.cases), std::move(l.textes), m_sst);
}

} // namespace zarvo::sheet::xls
