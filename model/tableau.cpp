#include "model/tableau.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <string>

namespace zarvo {

namespace {

/// Nombre de cases pour ces bornes ; lève std::invalid_argument si elles sont incohérentes.
std::size_t nbCases(int l0, int l1, int c0, int c1)
{
    if (l1 < l0 - 1 || c1 < c0 - 1)
        throw std::invalid_argument("Tableau : bornes incohérentes");
    return std::size_t(l1 - l0 + 1) * std::size_t(c1 - c0 + 1);
}

} // namespace

Tableau::Tableau(int premiereLigne, int derniereLigne, int premiereColonne, int derniereColonne)
    : Tableau(premiereLigne, derniereLigne, premiereColonne, derniereColonne,
        std::vector<Cellule>(
            nbCases(premiereLigne, derniereLigne, premiereColonne, derniereColonne)))
{ }

Tableau::Tableau(int premiereLigne, int derniereLigne, int premiereColonne, int derniereColonne,
    std::vector<Cellule> cases)
    : m_l0(premiereLigne)
    , m_l1(derniereLigne)
    , m_c0(premiereColonne)
    , m_c1(derniereColonne)
    , m_cases(std::move(cases))
    , m_physique(std::size_t(std::max(0, nbLignes())))
{
    if (m_cases.size() != nbCases(m_l0, m_l1, m_c0, m_c1))
        throw std::invalid_argument("Tableau : nombre de cases incohérent avec les bornes");
    std::iota(m_physique.begin(), m_physique.end(), 0);
}

bool Tableau::operator==(const Tableau &autre) const
{
    if (m_l0 != autre.m_l0 || m_l1 != autre.m_l1 || m_c0 != autre.m_c0 || m_c1 != autre.m_c1)
        return false;
    for (int l = m_l0; l <= m_l1; ++l)
        for (int c = m_c0; c <= m_c1; ++c)
            if (!((*this)(l, c) == autre(l, c)))
                return false;
    return true;
}

void Tableau::permuterLignes(int premiere, const std::vector<int> &ordre)
{
    const int n = int(ordre.size());
    if (n == 0)
        return;
    (void)index(premiere, m_c0);
    (void)index(premiere + n - 1, m_c0);
    const auto debut = m_physique.begin() + (premiere - m_l0);
    const std::vector<int> avant(debut, debut + n);
    for (int i = 0; i < n; ++i)
        debut[i] = avant[std::size_t(ordre[std::size_t(i)])];
}

void Tableau::horsBornes(int ligne, int colonne) const
{
    throw std::out_of_range("Tableau : case (" + std::to_string(ligne) + ", "
        + std::to_string(colonne) + ") hors des bornes (" + std::to_string(m_l0) + ".."
        + std::to_string(m_l1) + ", " + std::to_string(m_c0) + ".." + std::to_string(m_c1) + ")");
}

} // namespace zarvo
