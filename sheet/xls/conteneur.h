#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace zarvo::sheet::xls {

/// Le refus d'un classeur d'avant Excel 97, quel que soit l'endroit où il se reconnaît.
[[noreturn]] void refuserAncienExcel();

/**
 * Fichier composé OLE2 (le conteneur d'un classeur .xls) : lecteur strict et écriture en place.
 *
 * Tout se fait sur un tampon d'octets (le fichier entier en mémoire) : rien ne touche le disque
 * ici. Toute incohérence lève ErreurClasseur avec la raison en français, sans nom de fichier
 * (l'appelant, qui connaît le fichier, l'ajoute).
 *
 * Le lecteur vérifie tout avant usage : signature, version et tailles de secteur, chaînes de
 * la FAT, de la DIFAT et de la mini-FAT (cycles, secteurs hors fichier, secteur pris par deux
 * chaînes), identifiants et longueurs de noms du répertoire, arbre du répertoire (cycles,
 * entrée atteinte deux fois), taille de chaque flux contre sa chaîne et le fichier.
 *
 * Il laisse passer ce que d'autres écrivains font et que tous les lecteurs courants lisent sans
 * ambiguïté : secteurs de FAT ou de DIFAT chaînés comme des données (fin de chaîne, ou secteur
 * suivant de la liste de l'en-tête, qui fait foi) au lieu d'être marqués ; nom quelconque pour
 * la racine ; compte de mini-FAT non nul sans aucune chaîne, tant qu'aucun flux n'y est lu.
 * L'écriture remet les marques et le compte prescrits.
 */

/// Une entrée du répertoire.
struct EntreeRepertoire
{
    enum Type : std::uint8_t { Inutilisee = 0, Stockage = 1, Flux = 2, Racine = 5 };
    static constexpr std::uint32_t aucune = 0xFFFFFFFF;

    QString nom;
    Type type = Inutilisee;
    std::uint32_t gauche = aucune, droite = aucune, enfant = aucune;
    std::uint32_t premierSecteur = 0;
    std::uint64_t taille = 0;
    int parent = -1; ///< entrée du stockage qui la contient (-1 : la racine, ou inutilisée)
    bool dansMiniFlux() const; ///< flux de moins de 4096 octets, rangé dans le mini-flux
};

class Conteneur
{
public:
    static constexpr std::uint32_t finDeChaine = 0xFFFFFFFE;
    static constexpr std::uint32_t secteurLibre = 0xFFFFFFFF;
    static constexpr std::uint32_t secteurFat = 0xFFFFFFFD;
    static constexpr std::uint32_t secteurDifat = 0xFFFFFFFC;
    static constexpr std::uint32_t seuilMiniFlux = 4096;
    static constexpr int tailleMiniSecteur = 64;

    /// Lit et vérifie toute la structure. Lève ErreurClasseur à la première incohérence.
    static Conteneur lire(const QByteArray &octets);

    const QByteArray &octets() const { return m_octets; }
    int tailleSecteur() const { return m_tailleSecteur; }
    const std::vector<EntreeRepertoire> &entrees() const { return m_entrees; }

    /// Entrée du flux de ce nom placé directement sous la racine (casse ignorée), -1 sinon.
    int chercherFlux(const QString &nom) const;
    /// Contenu complet d'un flux (index d'une entrée de type Flux).
    QByteArray lireFlux(int entree) const;
    /// Le même contenu, sans copie quand ses secteurs se suivent dans le fichier (le cas
    /// courant) : une vue sur les octets, valable tant que ceux-ci vivent (ce conteneur, ou
    /// celui qui les reçoit en le déplaçant).
    QByteArray vueFlux(int entree) const;

    /// Les 128 octets bruts d'une entrée du répertoire.
    QByteArray octetsEntree(int entree) const;

    /// Chaîne de secteurs (FAT) ou de mini-secteurs (mini-FAT) d'un flux, dans l'ordre.
    std::vector<std::uint32_t> chaineFlux(int entree) const;

private:
    friend class EcrivainConteneur;
    struct Lecture; ///< les étapes de lire(), dans conteneur.cpp
    Conteneur() = default;

    QByteArray m_octets;
    int m_version = 3;
    int m_tailleSecteur = 512;
    std::uint32_t m_nbSecteurs = 0; ///< secteurs après l'en-tête, dernier partiel compris
    std::vector<std::uint32_t> m_fat, m_miniFat;
    std::vector<std::uint32_t> m_secteursFat; ///< secteurs qui portent la FAT, dans l'ordre
    std::vector<std::uint32_t> m_secteursDifat;
    std::vector<std::uint32_t> m_chaineRepertoire, m_chaineMiniFat, m_chaineMiniFlux;
    std::vector<EntreeRepertoire> m_entrees;
};

/**
 * Remplace le contenu du flux `nom` (directement sous la racine) et rend les nouveaux octets
 * du fichier. Fonction pure : `origine` n'est pas touché.
 *
 * Écriture en place : les secteurs de l'ancien flux sont réutilisés dans leur ordre, les
 * secteurs en plus sont ajoutés en fin de fichier (la FAT grandit, et la DIFAT au-delà de 109
 * secteurs de FAT) ; les secteurs rendus libres sont remis à zéro. Le passage du mini-flux
 * (moins de 4096 octets) aux secteurs ordinaires et l'inverse sont pris en charge. Tout autre
 * flux, stockage, CLSID et entrée du répertoire reste identique à l'octet ; seuls changent
 * l'entrée du flux remplacé, l'en-tête, les secteurs de FAT/DIFAT/mini-FAT touchés et, quand
 * le mini-flux grandit, la taille de l'entrée racine.
 *
 * Le résultat est relu et vérifié avant d'être rendu. Lève ErreurClasseur si l'origine est
 * invalide, si le flux n'existe pas ou si le fichier dépasserait la taille permise.
 */
QByteArray remplacerFlux(const QByteArray &origine, const QString &nom, const QByteArray &contenu);

} // namespace zarvo::sheet::xls
