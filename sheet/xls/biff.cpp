#include "sheet/xls/biff.h"

#include "sheet/erreur.h"
#include "sheet/xls/conteneur.h"
#include "sheet/xls/octets.h"

#include <algorithm>
#include <cmath>
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

constexpr std::uint16_t versionBiff8 = 0x0600;
constexpr int profondeurMax = 16;
constexpr int nbColonnesMax = 256;

/// Caractères d'une chaîne BIFF8 non continuée : 8 bits (Latin-1) ou 16 bits.
QString caracteres(const char *p, int nb, bool seize)
{
    if (!seize)
        return QString::fromLatin1(p, nb);
    QString s(nb, Qt::Uninitialized);
    for (int i = 0; i < nb; ++i)
        s[i] = QChar(char16_t(lire16(p + 2 * i)));
    return s;
}

/**
 * Lecture des données d'un enregistrement et de ses CONTINUE comme d'un seul morceau.
 * Les octets bruts (en-têtes, runs, phonétique) passent d'un segment à l'autre tels quels ;
 * des caractères qui reprennent dans un nouveau segment y sont précédés d'un octet d'option
 * neuf qui peut faire passer de 8 à 16 bits ou l'inverse.
 */
class LecteurContinu
{
public:
    LecteurContinu(const QByteArray &flux, const std::vector<Enregistrement> &enr,
        std::size_t premier, std::size_t dernier, QString quoi)
        : m_flux(flux.constData())
        , m_quoi(std::move(quoi))
    {
        for (std::size_t i = premier; i <= dernier; ++i)
            m_segments.push_back({ enr[i].debutDonnees(), enr[i].longueur });
    }

    bool fini()
    {
        while (m_seg < m_segments.size() && m_pos >= m_segments[m_seg].second) {
            ++m_seg;
            m_pos = 0;
        }
        return m_seg >= m_segments.size();
    }

    void brut(char *dest, std::uint32_t nb)
    {
        while (nb > 0) {
            if (fini())
                tronque();
            const auto &[debut, longueur] = m_segments[m_seg];
            const std::uint32_t morceau = std::min(nb, std::uint32_t(longueur) - m_pos);
            if (dest) {
                std::memcpy(dest, m_flux + debut + m_pos, morceau);
                dest += morceau;
            }
            m_pos += morceau;
            nb -= morceau;
        }
    }
    QByteArray brut(std::uint32_t nb)
    {
        // Borné par ce qui reste : un compte absurde n'alloue rien.
        if (nb > reste())
            tronque();
        QByteArray r(qsizetype(nb), Qt::Uninitialized);
        brut(r.data(), nb);
        return r;
    }
    std::uint8_t u8()
    {
        char c;
        brut(&c, 1);
        return std::uint8_t(c);
    }
    std::uint16_t u16()
    {
        char c[2];
        brut(c, 2);
        return lire16(c);
    }
    std::uint32_t u32()
    {
        char c[4];
        brut(c, 4);
        return lire32(c);
    }

    QString chaine(int nb, bool seize)
    {
        QString r;
        r.reserve(std::min<qsizetype>(nb, reste()));
        while (nb > 0) {
            if (m_seg < m_segments.size() && m_pos >= m_segments[m_seg].second) {
                if (!fini()) {
                    // Reprise des caractères dans un CONTINUE : nouvel octet d'option.
                    const std::uint8_t option = u8();
                    if (option > 1)
                        abime(QStringLiteral("%1 : octet d'option invalide dans un CONTINUE")
                                  .arg(m_quoi));
                    seize = option == 1;
                }
            }
            if (fini())
                tronque();
            const auto &[debut, longueur] = m_segments[m_seg];
            const std::uint32_t dispo = (std::uint32_t(longueur) - m_pos) / (seize ? 2 : 1);
            if (dispo == 0)
                abime(
                    QStringLiteral("%1 : caractère coupé entre deux enregistrements").arg(m_quoi));
            const int morceau = int(std::min<std::uint32_t>(std::uint32_t(nb), dispo));
            r += caracteres(m_flux + debut + m_pos, morceau, seize);
            m_pos += std::uint32_t(morceau) * (seize ? 2 : 1);
            nb -= morceau;
        }
        return r;
    }

private:
    std::uint64_t reste() const
    {
        std::uint64_t r = 0;
        for (std::size_t i = m_seg; i < m_segments.size(); ++i)
            r += m_segments[i].second - (i == m_seg ? m_pos : 0);
        return r;
    }
    [[noreturn]] void tronque() const
    {
        abime(QStringLiteral("%1 : données tronquées").arg(m_quoi));
    }

    const char *m_flux;
    QString m_quoi;
    std::vector<std::pair<std::uint32_t, std::uint16_t>> m_segments;
    std::size_t m_seg = 0;
    std::uint32_t m_pos = 0;
};

/// Vue bornée sur les données d'un enregistrement de case.
class Donnees
{
public:
    Donnees(const char *p, std::uint32_t n)
        : m_p(p)
        , m_n(n)
    { }
    std::uint32_t taille() const { return m_n; }
    void exiger(std::uint32_t fin) const
    {
        if (fin > m_n)
            throw std::out_of_range("enregistrement");
    }
    std::uint8_t u8(std::uint32_t o) const
    {
        exiger(o + 1);
        return std::uint8_t(m_p[o]);
    }
    std::uint16_t u16(std::uint32_t o) const
    {
        exiger(o + 2);
        return lire16(m_p + o);
    }
    std::uint32_t u32(std::uint32_t o) const
    {
        exiger(o + 4);
        return lire32(m_p + o);
    }
    double f64(std::uint32_t o) const
    {
        exiger(o + 8);
        return lireDouble(m_p + o);
    }
    /// Chaîne XLUnicodeString (compte sur 16 bits, options, caractères) ; rend la fin.
    std::uint32_t chaine(std::uint32_t o, QString &texte, std::uint8_t *options = nullptr) const
    {
        const int nb = u16(o);
        const std::uint8_t opt = u8(o + 2);
        const bool seize = opt & 0x01;
        const std::uint32_t fin = o + 3 + std::uint32_t(nb) * (seize ? 2 : 1);
        exiger(fin);
        texte = caracteres(m_p + o + 3, nb, seize);
        if (options)
            *options = opt;
        return fin;
    }

private:
    const char *m_p;
    std::uint32_t m_n;
};

} // namespace

double valeurRk(std::uint32_t rk)
{
    double v;
    if (rk & 0x02) {
        v = double(std::int32_t(rk) >> 2);
    } else {
        const std::uint64_t bits = std::uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return (rk & 0x01) ? v / 100.0 : v;
}

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

Cellule FeuilleBiff::valeur(const Case &c, int colonne) const
{
    switch (c.genre) {
    case Case::Genre::Nombre:
        return Cellule::nombre(c.nombre);
    case Case::Genre::MulRk:
        return Cellule::nombre(valeurRk(lire32(
            m_flux.constData() + c.donnees + 4 + 6 * std::uint32_t(colonne - c.colonne) + 2)));
    case Case::Genre::Sst:
        return Cellule::texte((*m_sst)[c.index].texte);
    case Case::Genre::Texte:
        return Cellule::texte(m_textes[c.index]);
    case Case::Genre::Vide:
        break;
    }
    return {};
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
    const std::uint32_t pas = c.genre == Case::Genre::MulRk ? 6 : 2;
    return lire16(m_flux.constData() + c.donnees + 4 + pas * std::uint32_t(colonne - c.colonne));
}

QByteArray ClasseurBiff::donnees(std::size_t index) const
{
    const Enregistrement &e = m_enregistrements.at(index);
    return m_flux.mid(e.debutDonnees(), e.longueur);
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
        if (n - pos < 4)
            abime(QStringLiteral("enregistrement tronqué en fin de classeur"));
        Enregistrement e { lire16(d + pos), lire16(d + pos + 2), pos };
        // Des écrivains mettent des FORMULA au format BIFF8 sous le numéro d'Excel 3 ou 4 :
        // ce sont des formules, lues et réécrites comme telles (octets d'origine gardés).
        if (e.id == id::formulaBiff3 || e.id == id::formulaBiff4)
            e.id = id::formula;
        if (e.longueur > n - pos - 4)
            abime(QStringLiteral("enregistrement tronqué en fin de classeur"));
        const std::size_t index = c.m_enregistrements.size();
        if (profondeur == 0) {
            if (e.id != id::bof) {
                if (c.m_sousFlux.empty() && estAncienBof(e.id))
                    refuserAncienExcel();
                abime(QStringLiteral("enregistrement hors de toute feuille (BOF attendu)"));
            }
            const auto bof = Bof::lire(d + e.debutDonnees(), e.longueur);
            if (!bof)
                abime(QStringLiteral("enregistrement BOF trop court"));
            SousFlux s;
            s.version = bof->version;
            s.genre = bof->genre;
            s.premier = index;
            c.m_sousFlux.push_back(s);
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
            if (e.longueur < 8)
                abime(QStringLiteral("BOUNDSHEET tronqué"));
            FeuilleDeclaree f;
            const std::uint32_t position = lire32(p);
            f.visibilite = std::uint8_t(p[4]) & 0x03;
            f.type = std::uint8_t(p[5]);
            f.enregistrement = i;
            const int nb = std::uint8_t(p[6]);
            const bool seize = std::uint8_t(p[7]) & 0x01;
            if (8 + nb * (seize ? 2 : 1) > e.longueur)
                abime(QStringLiteral("BOUNDSHEET tronqué"));
            f.nom = caracteres(p + 8, nb, seize);
            const auto it
                = std::find_if(m_sousFlux.begin() + 1, m_sousFlux.end(), [&](const SousFlux &s) {
                      return m_enregistrements[s.premier].position == position;
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
            lireSst(i, dernier); // ses CONTINUE ne portent rien d'autre
            break;
        }
        default:
            break;
        }
    }
}

void ClasseurBiff::lireSst(std::size_t premier, std::size_t dernier)
{
    const QString quoi = QStringLiteral("table des chaînes (SST)");
    LecteurContinu l(m_flux, m_enregistrements, premier, dernier, quoi);
    l.u32(); // total des références : sans usage
    l.u32(); // nombre de chaînes déclaré : pas fiable, on lit jusqu'au bout
    while (!l.fini()) {
        ChaineSst s;
        const int nb = l.u16();
        const std::uint8_t options = l.u8();
        const bool seize = options & 0x01;
        const bool phonetique = options & 0x04;
        const bool riche = options & 0x08;
        const std::uint16_t nbRuns = riche ? l.u16() : 0;
        const std::uint32_t taillePhon = phonetique ? l.u32() : 0;
        s.texte = l.chaine(nb, seize);
        if (nbRuns > 0)
            s.runs = l.brut(std::uint32_t(nbRuns) * 4);
        if (taillePhon > 0)
            s.phonetique = l.brut(taillePhon);
        m_sst->push_back(std::move(s));
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
    void resultatTexte(std::size_t i);
    [[gnu::always_inline]] inline void decoder(std::size_t i);
    void suite(std::size_t i, const Donnees &r);
    Case boolerr(const Enregistrement &e, const Donnees &r);
    Case formule(const Enregistrement &e, const Donnees &r);
    [[gnu::always_inline]] inline void longueurExacte(
        const Enregistrement &e, std::uint32_t attendue) const;
    [[gnu::always_inline]] inline Case nombre(const Enregistrement &e, double v) const;
    [[gnu::always_inline]] inline Case texte(const QString &t);
    [[gnu::always_inline]] inline void verifierXf(const Enregistrement &e, std::uint16_t xf) const;
    [[gnu::always_inline]] inline EnTeteCase enTete(const Enregistrement &e) const;
    [[gnu::always_inline]] inline void ajouter(
        std::size_t i, const EnTeteCase &t, std::uint16_t derniere, Case c);
    void ajouter(std::size_t i, Case c)
    {
        const EnTeteCase t = enTete(m_enr[i]);
        ajouter(i, t, t.colonne, c);
    }

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
        .arg(lire16(m_d + e.position), 4, 16, QLatin1Char('0'))
        .arg(e.position);
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
    try {
        decoder(i);
    } catch (const std::out_of_range &) {
        abime(QStringLiteral("%1 : enregistrement tronqué").arg(quoi(e)));
    }
}

/// Le STRING qui porte le résultat texte de la FORMULA précédente.
void LecteurCases::resultatTexte(std::size_t i)
{
    const Enregistrement &e = m_enr[i];
    QString t;
    try {
        // Un long résultat peut se poursuivre dans des CONTINUE.
        std::size_t fin = i;
        while (fin + 1 < m_dernier && m_enr[fin + 1].id == id::continuation)
            ++fin;
        LecteurContinu l(m_flux, m_enr, i, fin, quoi(e));
        const int nb = l.u16();
        const bool seize = l.u8() & 0x01;
        t = l.chaine(nb, seize); // les CONTINUE qui suivent ne portent rien d'autre
    } catch (const std::out_of_range &) {
        abime(QStringLiteral("%1 : enregistrement tronqué").arg(quoi(e)));
    }
    Case &c = cases[m_formuleTexte];
    c.genre = Case::Genre::Texte;
    c.index = std::uint32_t(textes.size());
    textes.push_back(t);
    c.chaineFormule = std::uint32_t(i);
    m_formuleTexte = aucune;
}

/// Un enregistrement de case ; les autres passent. Lève std::out_of_range si tronqué.
void LecteurCases::decoder(std::size_t i)
{
    const Enregistrement &e = m_enr[i];
    const Donnees r(m_d + e.debutDonnees(), e.longueur);
    switch (e.id) {
    case id::number:
        longueurExacte(e, 14);
        ajouter(i, nombre(e, r.f64(6)));
        break;
    case id::rk:
        longueurExacte(e, 10);
        ajouter(i, nombre(e, valeurRk(r.u32(6))));
        break;
    case id::mulrk:
    case id::mulblank:
        suite(i, r);
        break;
    case id::labelsst: {
        longueurExacte(e, 10);
        const std::uint32_t isst = r.u32(6);
        if (isst >= m_nbSst)
            abime(QStringLiteral("%1 : index de chaîne hors de la table").arg(quoi(e)));
        Case c;
        c.genre = Case::Genre::Sst;
        c.index = isst;
        ajouter(i, c);
        break;
    }
    case id::label:
    case id::rstring: {
        QString t;
        const std::uint32_t fin = r.chaine(6, t);
        longueurExacte(e, e.id == id::rstring ? fin + 2 + 4 * std::uint32_t(r.u16(fin)) : fin);
        ajouter(i, texte(t));
        break;
    }
    case id::blank:
        longueurExacte(e, 6);
        ajouter(i, Case());
        break;
    case id::boolerr:
        longueurExacte(e, 8);
        ajouter(i, boolerr(e, r));
        break;
    case id::formula:
        ajouter(i, formule(e, r));
        break;
    default:
        break;
    }
}

/// MULRK ou MULBLANK : une seule entrée pour la suite de colonnes ; chaque valeur est vérifiée
/// ici et relue de l'enregistrement à la demande.
void LecteurCases::suite(std::size_t i, const Donnees &r)
{
    const Enregistrement &e = m_enr[i];
    const bool rk = e.id == id::mulrk;
    const std::uint32_t pas = rk ? 6 : 2;
    if (r.taille() < 6 || (r.taille() - 6) % pas != 0)
        abime(QStringLiteral("%1 : longueur incohérente").arg(quoi(e)));
    const std::uint32_t nb = (r.taille() - 6) / pas;
    const EnTeteCase t = enTete(e);
    const std::uint16_t derniere = r.u16(r.taille() - 2);
    if (nb == 0 || derniere < t.colonne || std::uint32_t(derniere - t.colonne + 1) != nb)
        abime(QStringLiteral("%1 : nombre d'entrées incohérent avec les colonnes").arg(quoi(e)));
    for (std::uint32_t k = 0; k < nb; ++k) {
        const std::uint32_t o = 4 + k * pas;
        verifierXf(e, r.u16(o));
        if (rk && !std::isfinite(valeurRk(r.u32(o + 2))))
            abime(QStringLiteral("%1 : nombre non fini").arg(quoi(e)));
    }
    Case c;
    c.genre = rk ? Case::Genre::MulRk : Case::Genre::Vide;
    ajouter(i, t, derniere, c);
}

/// BOOLERR : un booléen (lu comme 1 ou 0) ou un code d'erreur (lu comme son texte).
Case LecteurCases::boolerr(const Enregistrement &e, const Donnees &r)
{
    const std::uint8_t v = r.u8(6);
    if (r.u8(7)) {
        const QString t = texteErreur(v);
        if (t.isEmpty())
            abime(QStringLiteral("%1 : code d'erreur inconnu").arg(quoi(e)));
        return texte(t);
    }
    if (v > 1)
        abime(QStringLiteral("%1 : booléen invalide").arg(quoi(e)));
    return nombre(e, v);
}

/// FORMULA : son résultat en cache ; un résultat texte attend le STRING qui suit.
Case LecteurCases::formule(const Enregistrement &e, const Donnees &r)
{
    const std::uint32_t jetons = r.u16(20);
    if (22 + jetons > r.taille())
        abime(QStringLiteral("%1 : formule plus longue que son enregistrement").arg(quoi(e)));
    if (r.u16(12) != 0xFFFF)
        return nombre(e, r.f64(6));
    const std::uint8_t genre = r.u8(6), v = r.u8(8);
    switch (genre) {
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

EnTeteCase LecteurCases::enTete(const Enregistrement &e) const
{
    const auto t = EnTeteCase::lire(m_d + e.debutDonnees(), e.longueur);
    if (!t)
        throw std::out_of_range("enregistrement");
    return *t;
}

void LecteurCases::ajouter(std::size_t i, const EnTeteCase &t, std::uint16_t derniere, Case c)
{
    const Enregistrement &e = m_enr[i];
    if (derniere >= nbColonnesMax)
        abime(QStringLiteral("%1 : colonne hors limites").arg(quoi(e)));
    verifierXf(e, t.xf);
    c.ligne = t.ligne;
    c.colonne = t.colonne;
    c.derniere = derniere;
    c.xf = t.xf;
    c.enregistrement = std::uint32_t(i);
    c.donnees = e.debutDonnees();
    cases.push_back(c);
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
