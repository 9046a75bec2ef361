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
    std::vector<const Cellule *> cles(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        cles[std::size_t(i)] = &tableau(premiereLigne + i, cle);
    std::vector<int> ordre(static_cast<std::size_t>(n));
    std::iota(ordre.begin(), ordre.end(), 0);
    // La sélection prend le plus petit, le dernier en cas d'égalité : en croissant les égaux
    // s'inversent ; en décroissant elle remplit par le bas, les égaux gardent leur ordre.
    const bool monte = croissant != 0;
    std::sort(ordre.begin(), ordre.end(), [&](int a, int b) {
        const int c = comparerCellules(*cles[std::size_t(a)], *cles[std::size_t(b)]);
        if (c != 0)
            return monte ? c < 0 : c > 0;
        return monte ? a > b : a < b;
    });

    if (premiereColonne == tableau.premiereColonne()
        && derniereColonne == tableau.derniereColonne()) {
        tableau.permuterLignes(premiereLigne, ordre);
        return;
    }
    const int nbCol = derniereColonne - premiereColonne + 1;
    if (nbCol <= 0)
        return;
    // Les colonnes d'une ligne sont contiguës : on suit les cycles de la permutation,
    // chaque segment de ligne n'est déplacé qu'une fois.
    auto segment = [&](int i) { return &tableau(premiereLigne + i, premiereColonne); };
    std::vector<Cellule> tampon(static_cast<std::size_t>(nbCol));
    std::vector<bool> place(static_cast<std::size_t>(n), false);
    for (int debut = 0; debut < n; ++debut) {
        if (place[std::size_t(debut)] || ordre[std::size_t(debut)] == debut)
            continue;
        std::move(segment(debut), segment(debut) + nbCol, tampon.begin());
        int i = debut;
        while (ordre[std::size_t(i)] != debut) {
            const int source = ordre[std::size_t(i)];
            std::move(segment(source), segment(source) + nbCol, segment(i));
            place[std::size_t(i)] = true;
            i = source;
        }
        std::move(tampon.begin(), tampon.end(), segment(i));
        place[std::size_t(i)] = true;
    }
}

} // namespace zarvo
