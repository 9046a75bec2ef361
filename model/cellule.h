#pragma once

#include <QString>

#include <cmath>
#include <compare>

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
        c.m_genre = Genre::Nombre;
        c.m_nombre = valeur == 0.0 ? 0.0 : valeur; // -0 et 0 ne font qu'un
        return c;
    }
    static Cellule texte(const QString &valeur)
    {
        // Copie construite, pas affectée : l'affectation de QString n'est pas en ligne.
        return valeur.isEmpty() ? Cellule() : Cellule(valeur);
    }

    Genre genre() const { return m_genre; }
    bool estVide() const { return m_genre == Genre::Vide; }
    bool estNombre() const { return m_genre == Genre::Nombre; }
    bool estTexte() const { return m_genre == Genre::Texte; }

    double valeurNombre() const { return m_nombre; }
    const QString &valeurTexte() const { return m_texte; }

    /// Égalité stricte de contenu (genre et valeur), pour les tests et les comparaisons de
    /// classeurs.
    bool operator==(const Cellule &autre) const;

private:
    explicit Cellule(const QString &texte)
        : m_genre(Genre::Texte)
        , m_texte(texte)
    { }
    [[noreturn]] static void nonFini();

    Genre m_genre = Genre::Vide;
    double m_nombre = 0.0;
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
