#pragma once

#include <QString>

#include <bit>
#include <cmath>
#include <compare>
#include <cstdint>

namespace zarvo {

/**
 * Valeur d'une case de tableau ou de feuille : vide, nombre (double fini) ou texte.
 * Un texte vide n'existe pas : il devient une case vide, ce qui garde l'ordre du tri total.
 */
class Cellule
{
public:
    enum class Genre { Vide, Nombre, Texte };

    Cellule() = default;
    static Cellule vide() { return {}; }
    /// Lève std::invalid_argument pour un nombre non fini (NaN, infini).
    static Cellule nombre(double valeur)
    {
        if (!std::isfinite(valeur)) [[unlikely]]
            nonFini();
        Cellule c;
        c.m_nombre = valeur + 0.0; // -0 + 0 = +0 : -0 et 0 ne font qu'un
        return c;
    }
    static Cellule texte(const QString &valeur)
    {
        // Copie construite, pas affectée : l'affectation de QString n'est pas en ligne.
        return valeur.isEmpty() ? Cellule() : Cellule(valeur);
    }

    Genre genre() const
    {
        if (!m_texte.isEmpty())
            return Genre::Texte;
        return std::bit_cast<std::uint64_t>(m_nombre) == marqueVide ? Genre::Vide : Genre::Nombre;
    }
    bool estVide() const { return genre() == Genre::Vide; }
    bool estNombre() const { return genre() == Genre::Nombre; }
    bool estTexte() const { return !m_texte.isEmpty(); }

    /// 0 pour une case vide ou un texte.
    double valeurNombre() const
    {
        return std::bit_cast<std::uint64_t>(m_nombre) == marqueVide ? 0.0 : m_nombre;
    }
    const QString &valeurTexte() const { return m_texte; }

    /// Égalité stricte de contenu (genre et valeur), pour les tests et les comparaisons de
    /// classeurs.
    bool operator==(const Cellule &autre) const;

private:
    explicit Cellule(const QString &texte)
        : m_nombre(0.0)
        , m_texte(texte)
    { }
    [[noreturn]] static void nonFini();

    // Le genre se lit dans les deux champs, sans champ à lui : 32 octets au lieu de 40, et les
    // tableaux du chargement en sont d'autant plus légers. Un texte n'est jamais vide ; une case
    // vide porte un NaN, que nombre() refuse partout ailleurs.
    static constexpr std::uint64_t marqueVide = 0x7FF8'0000'0000'0DE1ULL;
    double m_nombre = std::bit_cast<double>(marqueVide);
    QString m_texte;
};

/**
 * Ordre des clés du tri : deux nombres par valeur, deux textes par codes de caractères,
 * un nombre avant tout texte ; une case vide vaut 0 face à un nombre et "" face à un texte.
 * Renvoie <0, 0 ou >0.
 */
int comparerCellules(const Cellule &a, const Cellule &b);

/// Égalité au sens de l'ordre des clés (une case vide égale 0).
inline bool egalesAuTri(const Cellule &a, const Cellule &b)
{
    return comparerCellules(a, b) == 0;
}

} // namespace zarvo
