#include "model/tableau.h"

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
}

void Tableau::horsBornes(int ligne, int colonne) const
{
    throw std::out_of_range("Tableau : case (" + std::to_string(ligne) + ", "
        + std::to_string(colonne) + ") hors des bornes (" + std::to_string(m_l0) + ".."
        + std::to_string(m_l1) + ", " + std::to_string(m_c0) + ".." + std::to_string(m_c1) + ")");
}

} // namespace zarvo
