#include "model/cellule.h"

#include <cmath>
#include <stdexcept>

namespace zarvo {

Cellule Cellule::nombre(double valeur)
{
    if (!std::isfinite(valeur))
        throw std::invalid_argument("Cellule::nombre : valeur non finie");
    Cellule c;
    c.m_genre = Genre::Nombre;
    c.m_nombre = valeur == 0.0 ? 0.0 : valeur; // -0 et 0 ne font qu'un
    return c;
}

Cellule Cellule::texte(const QString &valeur)
{
    Cellule c;
    if (valeur.isEmpty())
        return c;
    c.m_genre = Genre::Texte;
    c.m_texte = valeur;
    return c;
}

bool Cellule::operator==(const Cellule &autre) const
{
    if (m_genre != autre.m_genre)
        return false;
    switch (m_genre) {
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
