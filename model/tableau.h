#pragma once

#include "model/cellule.h"

#include <vector>

namespace zarvo {

/**
 * Tableau à deux dimensions de cellules, bornes incluses sur les deux axes,
 * adressé (ligne, colonne). Tout accès hors bornes lève std::out_of_range.
 */
class Tableau
{
public:
    Tableau() = default;
    Tableau(int premiereLigne, int derniereLigne, int premiereColonne, int derniereColonne);
    /// Tableau dont les cases sont déjà rangées ligne après ligne ; lève std::invalid_argument
    /// si leur nombre ne répond pas aux bornes.
    Tableau(int premiereLigne, int derniereLigne, int premiereColonne, int derniereColonne,
        std::vector<Cellule> cases);

    int premiereLigne() const { return m_l0; }
    int derniereLigne() const { return m_l1; }
    int premiereColonne() const { return m_c0; }
    int derniereColonne() const { return m_c1; }
    int nbLignes() const { return m_l1 - m_l0 + 1; }
    int nbColonnes() const { return m_c1 - m_c0 + 1; }
    bool contient(int ligne, int colonne) const
    {
        return ligne >= m_l0 && ligne <= m_l1 && colonne >= m_c0 && colonne <= m_c1;
    }

    const Cellule &operator()(int ligne, int colonne) const
    {
        return m_cases[index(ligne, colonne)];
    }
    Cellule &operator()(int ligne, int colonne) { return m_cases[index(ligne, colonne)]; }

    /// Égalité de contenu, case par case, avec les mêmes bornes.
    bool operator==(const Tableau &autre) const;

    /**
     * Réordonne les lignes premiere..premiere+n-1 : la ligne premiere+i reçoit l'ancienne ligne
     * premiere+ordre[i]. Toutes les colonnes voyagent ; coût en O(n), aucune case déplacée.
     */
    void permuterLignes(int premiere, const std::vector<int> &ordre);

private:
    std::size_t index(int ligne, int colonne) const
    {
        if (!contient(ligne, colonne)) [[unlikely]]
            horsBornes(ligne, colonne);
        return std::size_t(m_physique[std::size_t(ligne - m_l0)]) * std::size_t(m_c1 - m_c0 + 1)
            + std::size_t(colonne - m_c0);
    }
    [[noreturn]] void horsBornes(int ligne, int colonne) const;

    int m_l0 = 1, m_l1 = 0, m_c0 = 1, m_c1 = 0;
    std::vector<Cellule> m_cases;
    // Ligne logique → ligne physique : un tri de lignes entières ne déplace que ces indices.
    std::vector<int> m_physique;
};

} // namespace zarvo
