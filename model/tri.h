#pragma once

#include "model/tableau.h"

namespace zarvo {

/**
 * Le tri unique du programme. Réordonne en place les lignes premiereLigne..derniereLigne
 * selon la colonne cle ; seules les colonnes premiereColonne..derniereColonne voyagent avec
 * leur ligne. croissant != 0 : ordre croissant, les clés égales sortent dans l'ordre inverse
 * de celui qu'elles avaient ; croissant == 0 : décroissant, les clés égales gardent leur ordre.
 * Résultat identique au tri par sélection d'origine, en O(n log n).
 */
void TriTableau(Tableau &tableau, int cle, int premiereLigne, int derniereLigne,
    int premiereColonne, int derniereColonne, int croissant);

} // namespace zarvo
