#include "model/tri.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace zarvo {

void TriTableau(Tableau &tableau, int cle, int premiereLigne, int derniereLigne,
                int premiereColonne, int derniereColonne, int croissant)
{
    if (premiereLigne > derniereLigne)
        return;
    // Vérifie les bornes avant de toucher quoi que ce soit.
    (void)tableau(premiereLigne, cle);
    (void)tableau(derniereLigne, cle);
    (void)tableau(premiereLigne, premiereColonne);
    (void)tableau(derniereLigne, derniereColonne);

    const int n = derniereLigne - premiereLigne + 1;
    std::vector<int> ordre(std::size_t(n), 0);
    std::iota(ordre.begin(), ordre.end(), 0);
    // La sélection prend le plus petit, le dernier en cas d'égalité : en croissant les égaux
    // s'inversent ; en décroissant elle remplit par le bas, les égaux gardent leur ordre.
    const bool monte = croissant != 0;
    std::sort(ordre.begin(), ordre.end(), [&](int a, int b) {
        const int c = comparerCellules(tableau(premiereLigne + a, cle), tableau(premiereLigne + b, cle));
        if (c != 0)
            return monte ? c < 0 : c > 0;
        return monte ? a > b : a < b;
    });

    const int nbCol = derniereColonne - premiereColonne + 1;
    if (nbCol <= 0)
        return;
    std::vector<Cellule> copie;
    copie.reserve(std::size_t(n) * std::size_t(nbCol));
    for (int i = 0; i < n; ++i)
        for (int k = premiereColonne; k <= derniereColonne; ++k)
            copie.push_back(std::move(tableau(premiereLigne + i, k)));
    for (int i = 0; i < n; ++i) {
        const std::size_t source = std::size_t(ordre[std::size_t(i)]) * std::size_t(nbCol);
        for (int k = 0; k < nbCol; ++k)
            tableau(premiereLigne + i, premiereColonne + k) = std::move(copie[source + std::size_t(k)]);
    }
}

} // namespace zarvo
