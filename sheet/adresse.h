#pragma once

#include <QString>

namespace zarvo::sheet {

/// Bloc de cases, numéros à partir de 1 (ligne 1..65536, colonne 1..256 soit A..IV).
struct Adresse
{
    int ligne1 = 1, colonne1 = 1, ligne2 = 1, colonne2 = 1;
    bool estUneCase() const { return ligne1 == ligne2 && colonne1 == colonne2; }
    int nbLignes() const { return ligne2 - ligne1 + 1; }
    int nbColonnes() const { return colonne2 - colonne1 + 1; }
    bool operator==(const Adresse &) const = default;
};

/**
 * Lit strictement "L57" ou "A1:AG973" (lettres majuscules A..IV, lignes 1..65536, coin
 * haut-gauche d'abord). Lève ErreurClasseur pour toute autre forme.
 */
Adresse lireAdresse(const QString &texte);

/// Forme texte d'une case, par exemple "L57" (ligne et colonne à partir de 1).
QString texteAdresse(int ligne, int colonne);

} // namespace zarvo::sheet
