#include "sheet/xls/conteneur.h"

#include "sheet/erreur.h"
#include "sheet/xls/octets.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace zarvo::sheet::xls {

namespace {

[[noreturn]] void refuser(GenreErreur genre, const QString &raison)
{
    throw ErreurClasseur(genre, raison);
}

[[noreturn]] void refuserStructure(const QString &detail)
{
    refuser(GenreErreur::Abime, QStringLiteral("fichier composé OLE2 abîmé (%1)").arg(detail));
}

constexpr char signatureOle[8] = { '\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1' };
constexpr int tailleEntree = 128;
constexpr int entreesDifatEnTete = 109;

std::uint64_t arrondiHaut(std::uint64_t a, std::uint64_t b)
{
    return (a + b - 1) / b;
}

/// Suit une chaîne ; la longueur bornée par `limite` arrête toute boucle.
std::vector<std::uint32_t> suivreChaine(const std::vector<std::uint32_t> &table,
    std::uint32_t debut, std::uint64_t limite, const QString &quoi)
{
    std::vector<std::uint32_t> chaine;
    std::uint32_t s = debut;
    while (s != Conteneur::finDeChaine) {
        if (s >= limite || s >= table.size())
            refuserStructure(QStringLiteral("%1 : secteur hors du fichier").arg(quoi));
        if (chaine.size() >= limite)
            refuserStructure(QStringLiteral("%1 : chaîne en boucle").arg(quoi));
        chaine.push_back(s);
        s = table[s];
    }
    return chaine;
}

/// Marque les secteurs déjà attribués : un secteur pris deux fois trahit une boucle ou un
/// recouvrement, qu'une écriture en place transformerait en perte de données.
class Attribution
{
public:
    explicit Attribution(std::uint64_t nb)
        : m_pris(nb, false)
    { }
    void prendre(std::uint32_t s, const QString &quoi)
    {
        if (s >= m_pris.size())
            refuserStructure(QStringLiteral("%1 : secteur hors du fichier").arg(quoi));
        if (m_pris[s])
            refuserStructure(QStringLiteral("%1 : secteur utilisé deux fois").arg(quoi));
        m_pris[s] = true;
    }
    void prendre(const std::vector<std::uint32_t> &chaine, const QString &quoi)
    {
        for (std::uint32_t s : chaine)
            prendre(s, quoi);
    }

private:
    std::vector<bool> m_pris;
};

} // namespace

void refuserAncienExcel()
{
    refuser(GenreErreur::AncienExcel,
        QStringLiteral("classeur d'une version d'Excel antérieure à Excel 97 (Excel 5, 95 ou "
                       "plus ancien)"));
}

bool EntreeRepertoire::dansMiniFlux() const
{
    return type == Flux && taille < Conteneur::seuilMiniFlux;
}

namespace {

/// Refuse ce qui n'est pas un fichier composé avant toute lecture : le message dit ce que le
/// fichier est, quand on le reconnaît (.xlsx renommé, Excel d'avant 97).
void verifierSignature(const char *d, std::uint64_t n)
{
    if (n >= 4 && std::memcmp(d, "PK\x03\x04", 4) == 0)
        refuser(GenreErreur::PasUnClasseur,
            QStringLiteral("c'est un classeur Excel 2007 ou plus récent (.xlsx) renommé, "
                           "pas un classeur Excel 97-2003"));
    if (n < 8 || std::memcmp(d, signatureOle, 8) != 0) {
        if (n >= 4 && d[0] == 0x09 && (d[1] == 0x00 || d[1] == 0x02 || d[1] == 0x04))
            refuserAncienExcel();
        refuser(GenreErreur::PasUnClasseur,
            QStringLiteral("ce n'est pas un classeur Excel 97-2003 (fichier composé OLE2 "
                           "attendu)"));
    }
    if (n < 512)
        refuserStructure(QStringLiteral("en-tête tronqué"));
}

} // namespace

/// Une lecture en cours : le fichier, ses secteurs déjà attribués et le conteneur qui se remplit.
/// Chaque étape suppose les précédentes faites, dans l'ordre de lire().
struct Conteneur::Lecture
{
    Lecture(Conteneur &conteneur, const QByteArray &octets)
        : c(conteneur)
        , d(octets.constData())
        , n(std::uint64_t(octets.size()))
    { }

    Conteneur &c;
    const char *d;
    std::uint64_t n;
    std::uint64_t ss = 0, nbSecteurs = 0;
    std::optional<Attribution> pris;

    // Un secteur de structure (FAT, répertoire…) doit être entier dans le fichier.
    const char *secteurEntier(std::uint32_t s, const QString &quoi) const
    {
        if ((std::uint64_t(s) + 2) * ss > n)
            refuserStructure(QStringLiteral("%1 : secteur tronqué en fin de fichier").arg(quoi));
        return d + (std::uint64_t(s) + 1) * ss;
    }

    void lireEnTete();
    void lireListeFat();
    void lireFat();
    void verifierMarques(
        const std::vector<std::uint32_t> &liste, std::uint32_t marque, const QString &quoi) const;
    void lireRepertoire();
    void lireEntree(const char *e, std::uint64_t i);
    void verifierArbre();
    void lireMiniFlux();
    void lireMiniFat();
    void verifierFlux();
};

/// Version et tailles : tout le reste de la lecture en dépend.
void Conteneur::Lecture::lireEnTete()
{
    const int version = lire16(d + 26);
    const int decalage = lire16(d + 30);
    if (lire16(d + 28) != 0xFFFE)
        refuserStructure(QStringLiteral("ordre des octets inconnu"));
    if (version == 3 && decalage == 9)
        c.m_tailleSecteur = 512;
    else if (version == 4 && decalage == 12)
        c.m_tailleSecteur = 4096;
    else
        refuserStructure(
            QStringLiteral("version %1 ou taille de secteur non prise en charge").arg(version));
    c.m_version = version;
    if (lire16(d + 32) != 6)
        refuserStructure(QStringLiteral("taille de mini-secteur inattendue"));
    if (lire32(d + 56) != seuilMiniFlux)
        refuserStructure(QStringLiteral("seuil du mini-flux inattendu"));
    if (version == 3 && lire32(d + 40) != 0)
        refuserStructure(QStringLiteral("nombre de secteurs de répertoire non nul en version 3"));

    ss = std::uint64_t(c.m_tailleSecteur);
    if (n < ss)
        refuserStructure(QStringLiteral("en-tête tronqué"));
    nbSecteurs = arrondiHaut(n - ss, ss);
    c.m_nbSecteurs = std::uint32_t(nbSecteurs);
    pris.emplace(nbSecteurs);
}

/// Secteurs de la FAT, par l'en-tête puis la chaîne DIFAT.
void Conteneur::Lecture::lireListeFat()
{
    const QString quoiFat = QStringLiteral("FAT");
    const QString quoiDifat = QStringLiteral("DIFAT");
    const std::uint32_t nbFat = lire32(d + 44);
    if (nbFat == 0 || nbFat > nbSecteurs)
        refuserStructure(QStringLiteral("nombre de secteurs de FAT incohérent"));
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(nbFat, entreesDifatEnTete); ++i) {
        const std::uint32_t s = lire32(d + 76 + 4 * i);
        pris->prendre(s, quoiFat);
        c.m_secteursFat.push_back(s);
    }
    // Un compte de DIFAT sans chaîne reste refusé : libgsf (Gnumeric) et olefile le refusent.
    const std::uint32_t nbDifat = lire32(d + 72);
    std::uint32_t difat = lire32(d + 68);
    const std::uint32_t parSecteurDifat = std::uint32_t(ss / 4 - 1);
    while (c.m_secteursFat.size() < nbFat) {
        if (c.m_secteursDifat.size() >= nbDifat)
            refuserStructure(QStringLiteral("DIFAT plus courte que la FAT déclarée"));
        pris->prendre(difat, quoiDifat);
        c.m_secteursDifat.push_back(difat);
        const char *p = secteurEntier(difat, quoiDifat);
        for (std::uint32_t i = 0; i < parSecteurDifat && c.m_secteursFat.size() < nbFat; ++i) {
            const std::uint32_t s = lire32(p + 4 * i);
            pris->prendre(s, quoiFat);
            c.m_secteursFat.push_back(s);
        }
        difat = lire32(p + 4 * parSecteurDifat);
    }
    if (c.m_secteursDifat.size() != nbDifat)
        refuserStructure(QStringLiteral("nombre de secteurs de DIFAT incohérent"));
    if (nbDifat > 0 && difat != finDeChaine && difat != secteurLibre)
        refuserStructure(QStringLiteral("DIFAT plus longue que déclaré"));
}

/// La FAT elle-même, puis les marques de ses propres secteurs.
void Conteneur::Lecture::lireFat()
{
    c.m_fat.reserve(c.m_secteursFat.size() * (ss / 4));
    for (std::uint32_t s : c.m_secteursFat) {
        const char *p = secteurEntier(s, QStringLiteral("FAT"));
        for (std::uint64_t i = 0; i < ss / 4; ++i)
            c.m_fat.push_back(lire32(p + 4 * i));
    }
    if (c.m_fat.size() < nbSecteurs)
        refuserStructure(QStringLiteral("FAT trop courte pour la taille du fichier"));
    verifierMarques(c.m_secteursFat, secteurFat, QStringLiteral("FAT"));
    verifierMarques(c.m_secteursDifat, secteurDifat, QStringLiteral("DIFAT"));
}

/// La liste de l'en-tête fait foi. Certains écrivains chaînent ces secteurs comme des données
/// (fin de chaîne, ou secteur suivant de la liste) au lieu de les marquer : le sens reste sans
/// ambiguïté. Toute autre valeur dit autre chose que l'en-tête.
void Conteneur::Lecture::verifierMarques(
    const std::vector<std::uint32_t> &liste, std::uint32_t marque, const QString &quoi) const
{
    for (std::size_t i = 0; i < liste.size(); ++i) {
        const std::uint32_t v = c.m_fat[liste[i]];
        if (v != marque && v != finDeChaine && (i + 1 >= liste.size() || v != liste[i + 1]))
            refuserStructure(QStringLiteral("secteur de %1 non marqué comme tel").arg(quoi));
    }
}

void Conteneur::Lecture::lireRepertoire()
{
    const QString quoiRep = QStringLiteral("répertoire");
    c.m_chaineRepertoire = suivreChaine(c.m_fat, lire32(d + 48), nbSecteurs, quoiRep);
    if (c.m_chaineRepertoire.empty())
        refuserStructure(QStringLiteral("répertoire vide"));
    pris->prendre(c.m_chaineRepertoire, quoiRep);
    const std::uint64_t parSecteur = ss / tailleEntree;
    const std::uint64_t nbEntrees = c.m_chaineRepertoire.size() * parSecteur;
    c.m_entrees.resize(nbEntrees);
    for (std::uint64_t i = 0; i < nbEntrees; ++i)
        lireEntree(secteurEntier(c.m_chaineRepertoire[i / parSecteur], quoiRep)
                + (i % parSecteur) * tailleEntree,
            i);
}

/// Une entrée de 128 octets ; la racine, seule de son type, vient en premier.
void Conteneur::Lecture::lireEntree(const char *e, std::uint64_t i)
{
    EntreeRepertoire &en = c.m_entrees[i];
    const int type = static_cast<unsigned char>(e[66]);
    if (type == EntreeRepertoire::Inutilisee) {
        if (i == 0)
            refuserStructure(QStringLiteral("entrée racine absente"));
        return;
    }
    if (type != EntreeRepertoire::Stockage && type != EntreeRepertoire::Flux
        && type != EntreeRepertoire::Racine)
        refuserStructure(QStringLiteral("type d'entrée de répertoire inconnu"));
    if ((i == 0) != (type == EntreeRepertoire::Racine))
        refuserStructure(QStringLiteral("entrée racine absente ou en double"));
    en.type = EntreeRepertoire::Type(type);
    // La racine se reconnaît à son type et à sa place ; son nom ne sert à rien et certains
    // écrivains y mettent n'importe quoi (« R » sans zéro final). Les autres noms sont
    // cherchés, donc jugés.
    if (i > 0) {
        const int longueur = lire16(e + 64);
        if (longueur < 2 || longueur > 64 || longueur % 2 != 0)
            refuserStructure(QStringLiteral("longueur de nom invalide dans le répertoire"));
        const int nbCar = longueur / 2 - 1;
        if (lire16(e + 2 * nbCar) != 0)
            refuserStructure(QStringLiteral("nom du répertoire sans zéro final"));
        en.nom.resize(nbCar);
        for (int k = 0; k < nbCar; ++k)
            en.nom[k] = QChar(char16_t(lire16(e + 2 * k)));
    }
    en.gauche = lire32(e + 68);
    en.droite = lire32(e + 72);
    en.enfant = lire32(e + 76);
    en.premierSecteur = lire32(e + 116);
    en.taille = lire64(e + 120);
    if (c.m_version == 3) // les 32 bits hauts n'ont pas de sens en version 3
        en.taille &= 0xFFFFFFFFu;
}

/// Arbre : chaque entrée atteinte au plus une fois, par un identifiant valide ; une boucle
/// ferait tourner toute recherche de flux sans fin.
void Conteneur::Lecture::verifierArbre()
{
    const std::size_t nbEntrees = c.m_entrees.size();
    std::vector<bool> vue(nbEntrees, false);
    vue[0] = true;
    std::vector<std::pair<std::uint32_t, int>> pile; // (entrée, parent)
    pile.emplace_back(c.m_entrees[0].enfant, 0);
    while (!pile.empty()) {
        const auto [id, parent] = pile.back();
        pile.pop_back();
        if (id == EntreeRepertoire::aucune)
            continue;
        if (id >= nbEntrees)
            refuserStructure(QStringLiteral("identifiant d'entrée hors du répertoire"));
        if (vue[id])
            refuserStructure(QStringLiteral("arbre du répertoire en boucle"));
        vue[id] = true;
        EntreeRepertoire &en = c.m_entrees[id];
        if (en.type != EntreeRepertoire::Stockage && en.type != EntreeRepertoire::Flux)
            refuserStructure(QStringLiteral("entrée inutilisée dans l'arbre du répertoire"));
        en.parent = parent;
        pile.emplace_back(en.gauche, parent);
        pile.emplace_back(en.droite, parent);
        if (en.type == EntreeRepertoire::Stockage)
            pile.emplace_back(en.enfant, int(id));
    }
}

/// Le mini-flux, porté par la racine : ses secteurs doivent être entiers dans le fichier.
void Conteneur::Lecture::lireMiniFlux()
{
    const EntreeRepertoire &racine = c.m_entrees[0];
    if (racine.taille > n)
        refuserStructure(QStringLiteral("mini-flux plus grand que le fichier"));
    const QString quoiMini = QStringLiteral("mini-flux");
    if (racine.taille > 0) {
        c.m_chaineMiniFlux = suivreChaine(c.m_fat, racine.premierSecteur, nbSecteurs, quoiMini);
        if (c.m_chaineMiniFlux.size() != arrondiHaut(racine.taille, ss))
            refuserStructure(QStringLiteral("chaîne du mini-flux de longueur incohérente"));
        pris->prendre(c.m_chaineMiniFlux, quoiMini);
        for (std::uint32_t s : c.m_chaineMiniFlux)
            secteurEntier(s, quoiMini);
    }
}

void Conteneur::Lecture::lireMiniFat()
{
    const QString quoiMiniFat = QStringLiteral("mini-FAT");
    const std::uint32_t nbMiniFat = lire32(d + 64);
    const std::uint32_t premierMiniFat = lire32(d + 60);
    // Un compte sans chaîne du tout : mini-FAT vide, acceptée tant qu'aucun flux n'y est lu.
    if (nbMiniFat > 0 && premierMiniFat != finDeChaine && premierMiniFat != secteurLibre) {
        c.m_chaineMiniFat = suivreChaine(c.m_fat, premierMiniFat, nbSecteurs, quoiMiniFat);
        if (c.m_chaineMiniFat.size() != nbMiniFat)
            refuserStructure(QStringLiteral("nombre de secteurs de mini-FAT incohérent"));
        pris->prendre(c.m_chaineMiniFat, quoiMiniFat);
        for (std::uint32_t s : c.m_chaineMiniFat) {
            const char *p = secteurEntier(s, quoiMiniFat);
            for (std::uint64_t i = 0; i < ss / 4; ++i)
                c.m_miniFat.push_back(lire32(p + 4 * i));
        }
    }
}

/// Flux : chaîne de la bonne longueur, dans le fichier, sans recouvrement.
void Conteneur::Lecture::verifierFlux()
{
    const std::uint64_t nbMiniSecteurs = std::min<std::uint64_t>(
        arrondiHaut(c.m_entrees[0].taille, tailleMiniSecteur), c.m_miniFat.size());
    Attribution prisMini(nbMiniSecteurs);
    for (std::size_t i = 1; i < c.m_entrees.size(); ++i) {
        const EntreeRepertoire &en = c.m_entrees[i];
        if (en.type != EntreeRepertoire::Flux || en.parent < 0 || en.taille == 0)
            continue;
        const QString quoi = QStringLiteral("flux « %1 »").arg(en.nom);
        if (en.dansMiniFlux()) {
            if (c.m_miniFat.empty())
                refuserStructure(
                    QStringLiteral("%1 : rangé dans le mini-flux, mais le fichier n'a pas de "
                                   "mini-FAT")
                        .arg(quoi));
            const auto chaine = suivreChaine(c.m_miniFat, en.premierSecteur, nbMiniSecteurs, quoi);
            if (chaine.size() != arrondiHaut(en.taille, tailleMiniSecteur))
                refuserStructure(
                    QStringLiteral("%1 : taille incohérente avec sa chaîne").arg(quoi));
            prisMini.prendre(chaine, quoi);
        } else {
            if (en.taille > n)
                refuserStructure(QStringLiteral("%1 : plus grand que le fichier").arg(quoi));
            const auto chaine = suivreChaine(c.m_fat, en.premierSecteur, nbSecteurs, quoi);
            if (chaine.size() != arrondiHaut(en.taille, ss))
                refuserStructure(
                    QStringLiteral("%1 : taille incohérente avec sa chaîne").arg(quoi));
            pris->prendre(chaine, quoi);
            const std::uint64_t reste = en.taille - (chaine.size() - 1) * ss;
            if ((std::uint64_t(chaine.back()) + 1) * ss + reste > n)
                refuserStructure(QStringLiteral("%1 : dépasse la fin du fichier").arg(quoi));
        }
    }
}

Conteneur Conteneur::lire(const QByteArray &octets)
{
    Conteneur c;
    c.m_octets = octets;
    Lecture l(c, octets);
    verifierSignature(l.d, l.n);
    l.lireEnTete();
    l.lireListeFat();
    l.lireFat();
    l.lireRepertoire();
    l.verifierArbre();
    l.lireMiniFlux();
    l.lireMiniFat();
    l.verifierFlux();
    return c;
}

int Conteneur::chercherFlux(const QString &nom) const
{
    for (std::size_t i = 1; i < m_entrees.size(); ++i) {
        const EntreeRepertoire &en = m_entrees[i];
        if (en.type == EntreeRepertoire::Flux && en.parent == 0
            && en.nom.compare(nom, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QByteArray Conteneur::octetsEntree(int entree) const
{
    const std::size_t parSecteur = std::size_t(m_tailleSecteur) / tailleEntree;
    const std::size_t i = std::size_t(entree);
    if (i >= m_entrees.size())
        refuser(GenreErreur::Abime, QStringLiteral("entrée %1 hors du répertoire").arg(entree));
    const qsizetype position = qsizetype(m_chaineRepertoire[i / parSecteur] + 1) * m_tailleSecteur
        + qsizetype(i % parSecteur) * tailleEntree;
    return m_octets.mid(position, tailleEntree);
}

std::vector<std::uint32_t> Conteneur::chaineFlux(int entree) const
{
    const EntreeRepertoire &en = m_entrees.at(std::size_t(entree));
    // Seuls les flux atteints depuis la racine ont été vérifiés.
    if (en.type != EntreeRepertoire::Flux || en.parent < 0)
        refuser(
            GenreErreur::Abime, QStringLiteral("entrée %1 : pas un flux du classeur").arg(entree));
    if (en.taille == 0)
        return {};
    if (en.dansMiniFlux())
        return suivreChaine(m_miniFat, en.premierSecteur, m_miniFat.size(), en.nom);
    return suivreChaine(m_fat, en.premierSecteur, m_nbSecteurs, en.nom);
}

QByteArray Conteneur::vueFlux(int entree) const
{
    const EntreeRepertoire &en = m_entrees.at(std::size_t(entree));
    const auto chaine = chaineFlux(entree);
    if (en.dansMiniFlux() || chaine.empty())
        return lireFlux(entree);
    for (std::size_t k = 1; k < chaine.size(); ++k)
        if (chaine[k] != chaine[0] + k)
            return lireFlux(entree);
    const std::uint64_t debut = (std::uint64_t(chaine[0]) + 1) * std::uint64_t(m_tailleSecteur);
    if (debut + en.taille > std::uint64_t(m_octets.size()))
        return lireFlux(entree);
    return QByteArray::fromRawData(m_octets.constData() + debut, qsizetype(en.taille));
}

QByteArray Conteneur::lireFlux(int entree) const
{
    const EntreeRepertoire &en = m_entrees.at(std::size_t(entree));
    const auto chaine = chaineFlux(entree);
    QByteArray r(qsizetype(en.taille), Qt::Uninitialized);
    const std::uint64_t ss = std::uint64_t(m_tailleSecteur);
    const std::uint64_t unite = en.dansMiniFlux() ? tailleMiniSecteur : ss;
    std::uint64_t fait = 0;
    for (std::uint32_t s : chaine) {
        const std::uint64_t morceau = std::min(unite, en.taille - fait);
        std::uint64_t position;
        if (en.dansMiniFlux()) {
            const std::uint64_t dansMini = std::uint64_t(s) * tailleMiniSecteur;
            position = (std::uint64_t(m_chaineMiniFlux[dansMini / ss]) + 1) * ss + dansMini % ss;
        } else {
            position = (std::uint64_t(s) + 1) * ss;
        }
        std::memcpy(r.data() + fait, m_octets.constData() + position, morceau);
        fait += morceau;
    }
    return r;
}

} // namespace zarvo::sheet::xls
