#pragma once

#include <QString>

#include <optional>

namespace zarvo {

/**
 * Ce qu'il faut pour créer un élément d'un tableau de boutons (équipes, coureurs) à partir
 * de son modèle caché : la fenêtre applique cette description telle quelle.
 * Positions en twips, relatives au conteneur des boutons.
 */
struct DescriptionBouton
{
    QString legende;
    QString infobulle;
    QString tag;
    int gauche = 0;
    int haut = 0;
    int hauteur = 0; ///< 0 : hauteur du modèle
    std::optional<unsigned> couleur; ///< 0xRRGGBB ; absent : couleur du modèle

    bool operator==(const DescriptionBouton &) const = default;
};

/// Couleur 0xRRGGBB depuis ses trois composantes.
constexpr unsigned rgb(int rouge, int vert, int bleu)
{
    return (unsigned(rouge) << 16) | (unsigned(vert) << 8) | unsigned(bleu);
}

} // namespace zarvo
