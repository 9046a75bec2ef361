#include "model/cellule.h"

#include <cmath>
#include <stdexcept>

namespace zarvo {

void Cellule::nonFini()
{
    throw std::invalid_argument("Cellule::nombre : valeur non finie");
}

bool Cellule::operator==(const Cellule &autre) const
{
    if (genre() != autre.genre())
        return false;
    switch (genre()) {
    case Genre::Vide:
        return true;
    case Genre::Nombre:
        return m_nombre == autre.m_nombre;
    case Genre::Texte:
        return m_texte == autre.m_texte;
    }
    return false;
}

namespace {
int comparerNombres(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}
} // namespace

int comparerCellules(const Cellule &a, const Cellule &b)
{
    using G = Cellule::Genre;
    const G ga = a.genre(), gb = b.genre();
    if (ga == G::Texte && gb == G::Texte) {
        const int r = QString::compare(a.valeurTexte(), b.valeurTexte(), Qt::CaseSensitive);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    if (ga == G::Texte) // texte face à nombre ou vide ("" < tout texte non vide)
        return 1;
    if (gb == G::Texte)
        return -1;
    // nombres et vides : le vide vaut 0
    return comparerNombres(a.valeurNombre(), b.valeurNombre());
}

} // namespace zarvo

// Les tableaux du chargement en tiennent des dizaines de milliers : sa taille compte.
static_assert(sizeof(void *) != 8 || sizeof(zarvo::Cellule) == 32);
