#include "model/tableau.h"

#include <numeric>
#include <stdexcept>
#include <string>

namespace zarvo {

Tableau::Tableau(int premiereLigne, int derniereLigne, int premiereColonne, int derniereColonne)
    : m_l0(premiereLigne)
    , m_l1(derniereLigne)
    , m_c0(premiereColonne)
    , m_c1(derniereColonne)
{
    if (m_l1 < m_l0 - 1 || m_c1 < m_c0 - 1)
        throw std::invalid_argument("Tableau : bornes incohérentes");
    m_cases.resize(std::size_t(nbLignes()) * std::size_t(nbColonnes()));
    m_physique.resize(std::size_t(nbLignes()));
    std::iota(m_physique.begin(), m_physique.end(), 0);
}

Tableau::Tableau(int premiereLigne, int derniereLigne, int premiereColonne, int derniereColonne,
    std::vector<Cellule> cases)
    : Tableau(premiereLigne, premiereLigne - 1, premiereColonne, derniereColonne)
{
    const int nbL = derniereLigne - premiereLigne + 1;
    if (nbL < 0 || cases.size() != std::size_t(nbL) * std::size_t(nbColonnes()))
        throw std::invalid_argument("Tableau : nombre de cases incohérent avec les bornes");
    m_l1 = derniereLigne;
    m_cases = std::move(cases);
    m_physique.resize(std::size_t(nbL));
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
