#pragma once

#include "model/cellule.h"
#include "model/tableau.h"
#include "sheet/xls/enregistrements.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace zarvo::sheet::xls {

/**
 * Le flux Workbook d'un classeur BIFF8, découpé en enregistrements bruts.
 *
 * Le modèle garde le flux d'origine tel quel et ne décrit que la place de chaque
 * enregistrement : un écrivain peut ainsi recopier octet pour octet tout enregistrement qu'il
 * ne touche pas, et ne réécrire que ceux qu'il change. Toute incohérence lève ErreurClasseur
 * avec la raison en français, sans nom de fichier.
 *
 * Ce qui est vérifié à l'ouverture : le découpage de tout le flux, l'imbrication BOF/EOF,
 * la version BIFF8 du classeur, l'absence de FILEPASS, chaque BOUNDSHEET (qui doit tomber sur
 * le BOF d'un sous-flux) et la table SST. Les cases d'une feuille ne sont lues et jugées que
 * lorsqu'on la demande (lireFeuille) : une feuille que l'éditeur n'utilise pas n'est jamais
 * jugée.
 */

/// Sous-flux de premier niveau, de son BOF à son EOF (un graphique imbriqué en fait partie).
struct SousFlux
{
    std::uint16_t genre
        = 0; ///< champ dt du BOF : 0x0005 globaux, 0x0010 feuille, 0x0020 graphique…
    std::uint16_t version = 0; ///< 0x0600 pour BIFF8
    std::size_t premier = 0, dernier = 0; ///< index du BOF et de l'EOF dans enregistrements()
};

/// Feuille déclarée par un BOUNDSHEET des globaux.
struct FeuilleDeclaree
{
    QString nom;
    std::uint8_t visibilite = 0; ///< 0 visible, 1 masquée, 2 très masquée
    std::uint8_t type = 0; ///< 0 feuille de calcul, 1 macros, 2 graphique, 6 module VB
    std::size_t enregistrement = 0; ///< index du BOUNDSHEET
    std::size_t sousFlux = 0; ///< index dans sousFlux()
    bool estFeuilleDeCalcul() const { return type == 0; }
};

/**
 * Une case, ou une suite de cases d'une même ligne (MULRK, MULBLANK), tenue par un
 * enregistrement ; numéros à partir de 0, comme dans le fichier. Forme compacte : la valeur
 * se reconstitue par FeuilleBiff::valeur.
 */
struct Case
{
    enum class Genre : std::uint8_t { Vide, Nombre, Sst, Texte, MulRk };
    static constexpr std::uint32_t sansChaine = 0xFFFFFFFF;

    std::uint16_t ligne = 0;
    std::uint16_t colonne = 0; ///< première colonne
    std::uint16_t derniere = 0; ///< dernière colonne (égale à la première hors MULRK/MULBLANK)
    std::uint16_t xf = 0; ///< format de la première case (FeuilleBiff::xf pour les autres)
    std::uint32_t enregistrement = 0; ///< index dans enregistrements()
    std::uint32_t donnees = 0; ///< début des données de l'enregistrement dans le flux
    /// FORMULA à résultat texte : index du STRING qui porte ce résultat, sinon sansChaine.
    std::uint32_t chaineFormule = sansChaine;
    Genre genre = Genre::Vide;
    // L'un ou l'autre selon le genre : 32 octets par case au lieu de 40.
    union {
        double nombre = 0; ///< Nombre (booléens en 1 ou 0, résultats de formule compris)
        std::uint32_t index; ///< Sst : index dans la SST ; Texte : dans les textes de la feuille
    };
    bool tient(int l, int c) const { return l == ligne && c >= colonne && c <= derniere; }
};

/// Les cases d'une feuille, triées par (ligne, colonne), sans chevauchement.
class FeuilleBiff
{
public:
    FeuilleBiff(QByteArray flux, std::vector<Case> cases, std::vector<QString> textes,
        std::shared_ptr<const std::vector<ChaineSst>> sst);
    const std::vector<Case> &cases() const { return m_cases; }
    /// Entrée qui tient (ligne, colonne) à partir de 0, nullptr si aucun enregistrement.
    const Case *chercher(int ligne, int colonne) const;
    /// Première entrée qui tient une position >= (ligne, colonne).
    std::vector<Case>::const_iterator depuis(int ligne, int colonne) const;
    /// Valeur lue de la case `colonne` d'une entrée : nombre, texte ou vide.
    Cellule valeur(const Case &c, int colonne) const;
    /// Valeurs des lignes l1..l2 et colonnes c1..c2 (à partir de 0), en tableau adressé à
    /// partir de (1, 1).
    Tableau valeurs(int l1, int c1, int l2, int c2) const;
    /// Format (index XF) de la case `colonne` d'une entrée.
    std::uint16_t xf(const Case &c, int colonne) const;

private:
    QByteArray m_flux;
    std::vector<Case> m_cases;
    std::vector<QString> m_textes;
    std::shared_ptr<const std::vector<ChaineSst>> m_sst;
};

class ClasseurBiff
{
public:
    /// Découpe et vérifie le flux Workbook. Lève ErreurClasseur.
    static ClasseurBiff lire(const QByteArray &flux);

    const QByteArray &flux() const { return m_flux; }
    const std::vector<Enregistrement> &enregistrements() const { return m_enregistrements; }
    /// Début des données d'un enregistrement dans le flux, sans copie.
    const char *pointeur(std::size_t index) const
    {
        return m_flux.constData() + m_enregistrements[index].debutDonnees();
    }
    /// Enregistrement complet (en-tête compris) tel qu'il est dans le flux.
    QByteArray brut(std::size_t index) const
    {
        const Enregistrement &e = m_enregistrements[index];
        return m_flux.mid(e.position, tailleEnTete + e.longueur);
    }
    /// Octets nuls qui suivent le dernier EOF (bourrage de certains écrivains), gardés tels quels.
    std::uint32_t tailleBourrage() const
    {
        return std::uint32_t(m_flux.size()) - m_finEnregistrements;
    }

    const std::vector<SousFlux> &sousFlux() const { return m_sousFlux; }
    const std::vector<FeuilleDeclaree> &feuilles() const { return m_feuilles; }
    const std::vector<ChaineSst> &sst() const { return *m_sst; }
    /// Total des renvois aux chaînes déclaré par la SST (0 sans SST).
    std::uint32_t totalSst() const { return m_totalSst; }
    /// Index du SST et du dernier de ses CONTINUE ; absent si le classeur n'a pas de SST.
    std::optional<std::pair<std::size_t, std::size_t>> enregistrementsSst() const
    {
        return m_sstEnregistrements;
    }
    int nbXf() const { return m_nbXf; }

    /// Sous-flux d'une feuille déclarée (index dans feuilles()).
    const SousFlux &sousFluxDe(std::size_t feuille) const
    {
        return m_sousFlux.at(m_feuilles.at(feuille).sousFlux);
    }
    /// Index dans feuilles() de la feuille de calcul de ce nom (casse ignorée), -1 sinon.
    int chercherFeuille(const QString &nom) const;
    /// Lit et vérifie les cases d'une feuille de calcul (index dans feuilles()).
    FeuilleBiff lireFeuille(std::size_t feuille) const;

private:
    ClasseurBiff() = default;
    void lireGlobaux();

    QByteArray m_flux;
    std::vector<Enregistrement> m_enregistrements;
    std::uint32_t m_finEnregistrements = 0;
    std::vector<SousFlux> m_sousFlux;
    std::vector<FeuilleDeclaree> m_feuilles;
    std::shared_ptr<std::vector<ChaineSst>> m_sst = std::make_shared<std::vector<ChaineSst>>();
    std::optional<std::pair<std::size_t, std::size_t>> m_sstEnregistrements;
    std::uint32_t m_totalSst = 0;
    int m_nbXf = 0;
};

/// Valeur d'un nombre RK (entier sur 30 bits ou double tronqué, éventuellement divisé par 100).
inline double valeurRk(std::uint32_t rk)
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

/// Vrai si valeurRk(rk) est fini : seul un double tronqué aux bits d'exposant pleins ne l'est
/// pas. Sans conversion ni division, pour les longues suites de nombres.
constexpr bool rkFini(std::uint32_t rk)
{
    return (rk & 0x02) || (rk & 0x7FF00000u) != 0x7FF00000u;
}

/// Texte d'un code d'erreur de case ("#N/A", "#DIV/0!"…), vide si le code est inconnu.
QString texteErreur(std::uint8_t code);

} // namespace zarvo::sheet::xls
