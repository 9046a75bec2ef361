#include "sheet/erreur.h"
#include "sheet/xls/conteneur.h"
#include "sheet/xls/octets.h"

#include <algorithm>
#include <cstring>

namespace zarvo::sheet::xls {

namespace {

constexpr std::uint32_t entreesDifatEnTete = 109;
constexpr qsizetype tailleFluxMax = 1LL << 30;

std::uint64_t arrondiHaut(std::uint64_t a, std::uint64_t b)
{
    return (a + b - 1) / b;
}

} // namespace

/**
 * Écriture en place d'un flux. Travaille sur une copie des octets et des tables du conteneur
 * déjà vérifié ; les secteurs nouveaux sont toujours ajoutés en fin de fichier, de sorte
 * qu'aucun octet appartenant à un autre flux ne peut être touché.
 */
class EcrivainConteneur
{
public:
    explicit EcrivainConteneur(const Conteneur &c)
        : m_c(c)
        , m_o(c.m_octets)
        , m_ss(std::uint32_t(c.m_tailleSecteur))
        , m_nbSecteurs(c.m_nbSecteurs)
        , m_fat(c.m_fat)
        , m_miniFat(c.m_miniFat)
        , m_secteursFat(c.m_secteursFat)
        , m_secteursDifat(c.m_secteursDifat)
        , m_chaineMiniFat(c.m_chaineMiniFat)
        , m_chaineMiniFlux(c.m_chaineMiniFlux)
        , m_racine(c.m_entrees[0])
    {
        // Un dernier secteur partiel est complété : les ajouts restent alignés.
        m_o.resize(qsizetype(m_nbSecteurs + 1) * m_ss, '\0');
        m_nbMini = std::uint32_t(arrondiHaut(m_racine.taille, Conteneur::tailleMiniSecteur));
    }

    QByteArray remplacer(int index, const QByteArray &contenu)
    {
        EntreeRepertoire entree = m_c.m_entrees[std::size_t(index)];
        const bool ancienMini = entree.taille > 0 && entree.dansMiniFlux();
        const bool ancienGrand = entree.taille > 0 && !entree.dansMiniFlux();
        const std::vector<std::uint32_t> ancien = m_c.chaineFlux(index);
        const std::uint64_t n = std::uint64_t(contenu.size());
        const bool nouveauMini = n > 0 && n < Conteneur::seuilMiniFlux;
        const bool nouveauGrand = n >= Conteneur::seuilMiniFlux;

        std::vector<std::uint32_t> chaine;
        if (nouveauGrand) {
            const std::size_t besoin = std::size_t(arrondiHaut(n, m_ss));
            if (ancienGrand)
                chaine.assign(ancien.begin(), ancien.begin() + std::min(besoin, ancien.size()));
            while (chaine.size() < besoin)
                chaine.push_back(ajouterSecteur());
            for (std::size_t i = 0; i < chaine.size(); ++i)
                m_fat[chaine[i]] = i + 1 < chaine.size() ? chaine[i + 1] : Conteneur::finDeChaine;
            for (std::size_t i = 0; i < chaine.size(); ++i) {
                char *p = secteur(chaine[i]);
                const std::uint64_t morceau = std::min<std::uint64_t>(m_ss, n - i * m_ss);
                std::memcpy(p, contenu.constData() + i * m_ss, morceau);
                std::memset(p + morceau, 0, m_ss - morceau);
            }
        } else if (nouveauMini) {
            const std::size_t besoin = std::size_t(arrondiHaut(n, Conteneur::tailleMiniSecteur));
            if (ancienMini)
                chaine.assign(ancien.begin(), ancien.begin() + std::min(besoin, ancien.size()));
            while (chaine.size() < besoin)
                chaine.push_back(ajouterMiniSecteur());
            for (std::size_t i = 0; i < chaine.size(); ++i)
                m_miniFat[chaine[i]]
                    = i + 1 < chaine.size() ? chaine[i + 1] : Conteneur::finDeChaine;
            for (std::size_t i = 0; i < chaine.size(); ++i) {
                char *p = miniSecteur(chaine[i]);
                const std::uint64_t morceau = std::min<std::uint64_t>(
                    Conteneur::tailleMiniSecteur, n - i * Conteneur::tailleMiniSecteur);
                std::memcpy(p, contenu.constData() + i * Conteneur::tailleMiniSecteur, morceau);
                std::memset(p + morceau, 0, Conteneur::tailleMiniSecteur - morceau);
            }
        }

        // Ce que l'ancien flux n'a pas rendu à la nouvelle chaîne est libéré et effacé.
        const std::size_t repris
            = (ancienGrand && nouveauGrand) || (ancienMini && nouveauMini) ? chaine.size() : 0;
        for (std::size_t i = repris; i < ancien.size(); ++i) {
            if (ancienGrand) {
                m_fat[ancien[i]] = Conteneur::secteurLibre;
                std::memset(secteur(ancien[i]), 0, m_ss);
            } else {
                m_miniFat[ancien[i]] = Conteneur::secteurLibre;
                std::memset(miniSecteur(ancien[i]), 0, Conteneur::tailleMiniSecteur);
            }
        }

        entree.premierSecteur = chaine.empty() ? Conteneur::finDeChaine : chaine.front();
        entree.taille = n;
        ecrireTables();
        ecrireEntree(index, entree);
        if (m_miniFluxChange)
            ecrireEntree(0, m_racine);
        return m_o;
    }

private:
    char *secteur(std::uint32_t s) { return m_o.data() + qsizetype(s + 1) * m_ss; }
    char *miniSecteur(std::uint32_t m)
    {
        const std::uint64_t position = std::uint64_t(m) * Conteneur::tailleMiniSecteur;
        return secteur(m_chaineMiniFlux[position / m_ss]) + position % m_ss;
    }

    std::uint32_t nouveauSecteur()
    {
        if (m_o.size() + m_ss > tailleFluxMax)
            throw ErreurClasseur(GenreErreur::EcritureImpossible,
                QStringLiteral("le classeur deviendrait trop gros"));
        const std::uint32_t s = m_nbSecteurs++;
        m_o.append(QByteArray(m_ss, '\0'));
        return s;
    }

    /// Secteur ajouté en fin de fichier, la FAT (et la DIFAT) agrandie pour le couvrir.
    std::uint32_t ajouterSecteur()
    {
        const std::uint32_t s = nouveauSecteur();
        const std::uint32_t parDifat = m_ss / 4 - 1;
        for (;;) {
            bool change = false;
            if (m_fat.size() < m_nbSecteurs) {
                m_secteursFat.push_back(nouveauSecteur());
                m_fat.resize(m_fat.size() + m_ss / 4, Conteneur::secteurLibre);
                change = true;
            }
            if (m_secteursFat.size() > entreesDifatEnTete + m_secteursDifat.size() * parDifat) {
                m_secteursDifat.push_back(nouveauSecteur());
                change = true;
            }
            if (!change)
                break;
        }
        marquerTables();
        m_fat[s] = Conteneur::finDeChaine;
        return s;
    }

    /// Mini-secteur ajouté au bout du mini-flux, mini-FAT et chaîne du mini-flux agrandies.
    std::uint32_t ajouterMiniSecteur()
    {
        const std::uint32_t m = m_nbMini++;
        // Le mini-flux d'origine peut dépasser sa mini-FAT (voire n'en avoir aucune) : la
        // mini-FAT grandit jusqu'à couvrir le nouveau mini-secteur.
        while (m >= m_miniFat.size()) {
            const std::uint32_t s = ajouterSecteur();
            if (m_chaineMiniFat.empty())
                m_premierMiniFat = s;
            else
                m_fat[m_chaineMiniFat.back()] = s;
            m_chaineMiniFat.push_back(s);
            m_miniFat.resize(m_miniFat.size() + m_ss / 4, Conteneur::secteurLibre);
        }
        m_racine.taille = std::uint64_t(m_nbMini) * Conteneur::tailleMiniSecteur;
        while (m_chaineMiniFlux.size() < arrondiHaut(m_racine.taille, m_ss)) {
            const std::uint32_t s = ajouterSecteur();
            if (m_chaineMiniFlux.empty())
                m_racine.premierSecteur = s;
            else
                m_fat[m_chaineMiniFlux.back()] = s;
            m_chaineMiniFlux.push_back(s);
        }
        m_miniFluxChange = true;
        return m;
    }

    /// Les marques que le format prescrit, même si l'origine chaînait ces secteurs autrement.
    void marquerTables()
    {
        for (std::uint32_t f : m_secteursFat)
            m_fat[f] = Conteneur::secteurFat;
        for (std::uint32_t d : m_secteursDifat)
            m_fat[d] = Conteneur::secteurDifat;
    }

    void ecrireTables()
    {
        marquerTables();
        char *entete = m_o.data();
        const std::uint32_t parSecteur = m_ss / 4;
        for (std::size_t i = 0; i < m_secteursFat.size(); ++i)
            for (std::uint32_t k = 0; k < parSecteur; ++k)
                ecrire32(secteur(m_secteursFat[i]) + 4 * k, m_fat[i * parSecteur + k]);
        for (std::size_t i = 0; i < m_chaineMiniFat.size(); ++i)
            for (std::uint32_t k = 0; k < parSecteur; ++k)
                ecrire32(secteur(m_chaineMiniFat[i]) + 4 * k, m_miniFat[i * parSecteur + k]);

        // En-tête : on ne réécrit que ce qui a changé, le reste garde ses octets.
        if (m_secteursFat.size() != m_c.m_secteursFat.size()) {
            ecrire32(entete + 44, std::uint32_t(m_secteursFat.size()));
            for (std::size_t i = m_c.m_secteursFat.size();
                 i < std::min<std::size_t>(m_secteursFat.size(), entreesDifatEnTete); ++i)
                ecrire32(entete + 76 + 4 * i, m_secteursFat[i]);
        }
        if (m_secteursDifat.size() != m_c.m_secteursDifat.size()) {
            ecrire32(entete + 68, m_secteursDifat.front());
            ecrire32(entete + 72, std::uint32_t(m_secteursDifat.size()));
            const std::uint32_t parDifat = parSecteur - 1;
            for (std::size_t d = 0; d < m_secteursDifat.size(); ++d) {
                char *p = secteur(m_secteursDifat[d]);
                for (std::uint32_t k = 0; k < parDifat; ++k) {
                    const std::size_t i = entreesDifatEnTete + d * parDifat + k;
                    ecrire32(p + 4 * k,
                        i < m_secteursFat.size() ? m_secteursFat[i] : Conteneur::secteurLibre);
                }
                ecrire32(p + 4 * parDifat,
                    d + 1 < m_secteursDifat.size() ? m_secteursDifat[d + 1]
                                                   : Conteneur::finDeChaine);
            }
        } else if (!m_secteursDifat.empty()) {
            // Nouvelles entrées dans les secteurs de DIFAT existants.
            const std::uint32_t parDifat = parSecteur - 1;
            for (std::size_t i
                 = std::max<std::size_t>(m_c.m_secteursFat.size(), entreesDifatEnTete);
                 i < m_secteursFat.size(); ++i) {
                const std::size_t j = i - entreesDifatEnTete;
                ecrire32(
                    secteur(m_secteursDifat[j / parDifat]) + 4 * (j % parDifat), m_secteursFat[i]);
            }
        }
        if (m_chaineMiniFat.size() != m_c.m_chaineMiniFat.size()) {
            if (m_c.m_chaineMiniFat.empty())
                ecrire32(entete + 60, m_premierMiniFat);
            ecrire32(entete + 64, std::uint32_t(m_chaineMiniFat.size()));
        }
        // Un compte de mini-FAT de l'origine qui annonçait une structure vide est ramené à zéro.
        if (m_chaineMiniFat.empty() && lire32(entete + 64) != 0) {
            ecrire32(entete + 60, Conteneur::finDeChaine);
            ecrire32(entete + 64, 0);
        }
    }

    void ecrireEntree(int index, const EntreeRepertoire &e)
    {
        constexpr int tailleEntree = 128;
        const std::uint32_t parSecteur = m_ss / tailleEntree;
        char *p = secteur(m_c.m_chaineRepertoire[std::size_t(index) / parSecteur])
            + (std::size_t(index) % parSecteur) * tailleEntree;
        ecrire32(p + 116, e.premierSecteur);
        ecrire64(p + 120, e.taille);
    }

    const Conteneur &m_c;
    QByteArray m_o;
    std::uint32_t m_ss;
    std::uint32_t m_nbSecteurs;
    std::vector<std::uint32_t> m_fat, m_miniFat;
    std::vector<std::uint32_t> m_secteursFat, m_secteursDifat;
    std::vector<std::uint32_t> m_chaineMiniFat, m_chaineMiniFlux;
    EntreeRepertoire m_racine;
    std::uint32_t m_nbMini = 0;
    std::uint32_t m_premierMiniFat = Conteneur::finDeChaine;
    bool m_miniFluxChange = false;
};

QByteArray remplacerFlux(const QByteArray &origine, const QString &nom, const QByteArray &contenu)
{
    if (contenu.size() > tailleFluxMax)
        throw ErreurClasseur(
            GenreErreur::EcritureImpossible, QStringLiteral("flux « %1 » trop gros").arg(nom));
    const Conteneur c = Conteneur::lire(origine);
    const int index = c.chercherFlux(nom);
    if (index < 0)
        throw ErreurClasseur(GenreErreur::PasUnClasseur,
            QStringLiteral("le fichier n'a pas de flux « %1 »").arg(nom));
    const QByteArray resultat = EcrivainConteneur(c).remplacer(index, contenu);

    // Relu avant d'être rendu : jamais un fichier que notre propre lecteur refuserait.
    const Conteneur relu = Conteneur::lire(resultat);
    const int i = relu.chercherFlux(nom);
    if (i != index || relu.lireFlux(i) != contenu)
        throw ErreurClasseur(GenreErreur::EcritureImpossible,
            QStringLiteral("échec de la réécriture du flux « %1 » (vérification)").arg(nom));
    return resultat;
}

} // namespace zarvo::sheet::xls
