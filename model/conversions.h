#pragma once

#include "model/cellule.h"

#include <QLocale>
#include <QString>

#include <optional>

namespace zarvo {

/**
 * Case → texte, tel que le panneau l'affiche : nombre entier sans décimales, autre nombre
 * dans la forme de la langue (séparateur décimal, sans séparateur de milliers, 15 chiffres
 * significatifs au plus comme un tableur), vide → "".
 */
QString texteCellule(const Cellule &c, const QLocale &langue = QLocale());

/// Nombre → texte selon la même règle que texteCellule.
QString texteNombre(double valeur, const QLocale &langue = QLocale());

/**
 * Texte → nombre dans la forme de la langue de l'utilisateur ; rien si le texte n'est pas
 * un nombre (blancs autour tolérés, pas de NaN ni d'infini).
 */
std::optional<double> lireNombre(const QString &texte, const QLocale &langue = QLocale());

/// Valeur numérique d'une case : nombre tel quel, vide → 0, texte lu par lireNombre.
std::optional<double> valeurNumerique(const Cellule &c, const QLocale &langue = QLocale());

/// Plus grand entier inférieur ou égal.
double plancher(double x);

/// Arrondi à l'entier, une moitié exacte allant au voisin pair.
double arrondi(double x);

/**
 * Arrondi à deux décimales, moitié au pair, sur la valeur décimale que le nombre affiche
 * (15 chiffres significatifs) : 71.115, tenu en binaire comme 71.11499999…, donne 71.12.
 */
double arrondi2(double x);

} // namespace zarvo
