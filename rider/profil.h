#pragma once

#include "model/donnees.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

#include "rider/panneau.h"

#include <array>
#include <optional>

namespace zarvo {

namespace profil {
constexpr int nbAxes = 12;
/// Échelle fixe, la même pour tous les coureurs : deux images se comparent d'un coup d'œil.
constexpr double minimum = 0, maximum = 100;
} // namespace profil

/// Un point d'un axe du profil.
struct PointProfil
{
    std::optional<double> valeur; ///< valeur lue, non bornée ; absente : dessinée au centre
    double dessin = profil::minimum; ///< position sur l'échelle fixe
    bool borne = false; ///< hors de l'échelle : dessiné au bord
    bool garde = false; ///< la case du panneau n'est pas un nombre : dernier nombre rangé
    bool operator==(const PointProfil &) const = default;
};

/// Une courbe du profil : son nom (légende) et ses douze points.
struct SerieProfil
{
    QString nom;
    std::array<PointProfil, profil::nbAxes> points;
};

/// Point d'une valeur sur l'échelle fixe : les valeurs hors échelle sont ramenées au bord.
PointProfil pointProfil(std::optional<double> valeur);

/// Ce que la fenêtre demande : tout vient des tables, sauf les textes des cases du panneau.
struct DemandeProfil
{
    int numLigne = 0; ///< NumLigne : ligne de TabCoureurs du coureur affiché, 0 : aucun
    /// Textes des cases Note(1..33) ; une caractéristique qui ne s'y lit pas est « gardée ».
    const QString (*notes)[34] = nullptr;
    int ligneComparee = 0; ///< ligne du coureur épinglé par « Comparer », 0 : aucun
    QString nomEquipe; ///< équipe du coureur affiché, pour le titre
    /// Moyenne demandée : les lignes des coureurs de son équipe, comme la liste les donne.
    std::optional<QVector<int>> lignesEquipe;
};

/// Tout ce qu'il faut pour dessiner le radar ; aucune fenêtre n'y ajoute de calcul.
struct DessinProfil
{
    bool coureur = false; ///< faux : aucun coureur affiché, le titre le dit, pas de courbe
    QString nom; ///< "NOM Prénom" du coureur affiché
    QString titre;
    QStringList axes;
    double minimum = profil::minimum, maximum = profil::maximum;
    SerieProfil caracteristiques, potentiels;
    std::optional<SerieProfil> comparee, moyenne;
    QString remarque; ///< une moyenne impossible se dit ici
};

/// Texte du titre quand le panneau ne montre aucun coureur.
QString texteAucunCoureur();

/// "NOM Prénom" d'une ligne de TabCoureurs.
QString nomCoureur(const Donnees &d, int ligne, const QLocale &langue = QLocale());

/**
 * Caractéristiques (potentiels = faux) ou potentiels d'une ligne de TabCoureurs, lus dans la
 * table ; avec `notes`, un axe dont la case n'est pas un nombre garde la valeur rangée.
 */
SerieProfil serieCoureur(const Donnees &d, int ligne, bool potentiels,
    const QString (*notes)[34] = nullptr, const QLocale &langue = QLocale());

/**
 * Moyenne des caractéristiques des lignes données, axe par axe, sur les seuls coureurs qui y
 * ont un nombre ; un axe sans aucun nombre est absent.
 */
SerieProfil serieMoyenne(const Donnees &d, const QVector<int> &lignes, const QString &nomEquipe,
    const QLocale &langue = QLocale());

/// Le dessin du profil pour l'état du panneau et des choix de la fenêtre.
DessinProfil dessinProfil(
    const Donnees &d, const DemandeProfil &demande, const QLocale &langue = QLocale());

/// Ligne actuelle de TabCoureurs dont la colonne 0 (ligne de feuille) vaut `ligneFeuille`.
int ligneDeFeuille(const Donnees &d, const Cellule &ligneFeuille);

/// Nom de fichier proposé pour l'image : le nom du coureur sans caractère interdit, ".png".
QString nomImagePropose(const DessinProfil &dessin);

/// Vrai si le chemin choisi demande du SVG (extension .svg), sinon l'image est un PNG.
bool imageSvg(const QString &chemin);

} // namespace zarvo
