#pragma once

// Transcription directe du tri par sélection d'origine (balayage complet par ligne de sortie,
// copie de travail de toute la table) : référence des tests et des mesures, jamais du programme.
#include "model/tableau.h"

#include <vector>

namespace zarvo::reference {

inline void triSelection(Tableau &t, int cle, int l0, int l1, int c0, int c1, int croissant)
{
    const Tableau copie = t;
    std::vector<bool> pris(std::size_t(l1 - l0 + 1), false);
    for (int i = l0; i <= l1; ++i) {
        int candidat = -1;
        for (int j = l0; j <= l1; ++j) {
            if (pris[std::size_t(j - l0)])
                continue;
            if (candidat < 0 || comparerCellules(copie(j, cle), copie(candidat, cle)) <= 0)
                candidat = j;
        }
        const int cible = croissant != 0 ? i : l0 + l1 - i;
        for (int k = c0; k <= c1; ++k)
            t(cible, k) = copie(candidat, k);
        pris[std::size_t(candidat - l0)] = true;
    }
}

} // namespace zarvo::reference
