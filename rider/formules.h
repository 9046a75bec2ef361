#pragma once

#include "classeur_jeu/disposition.h"
#include "model/cellule.h"
#include "model/notes.h"

#include <QLocale>
#include <QString>

#include <optional>

namespace zarvo {

// Notes du chargement (noteChargement5050, noteChargement8020) : model/notes.h.

/// Notes du panneau (et potentiels, mêmes poids) : round(a×floor(Mo) + b×floor(Val)).
double notePanneau5050(double mo, double val);
double notePanneau8020(double mo, double val);

/// Moyenne : max(A, B) / 4.5, A profil montagne, B profil sprint.
double moyenneCoureur(double endurance, double montagne, double resistance, double recuperation,
    double clm, double sprint);

/// Tranche de salaire ("151000 €" … "15000 €") d'après la moyenne non arrondie.
QString trancheSalaire(double moyenne);

/// Texte de l'étiquette Salaire : "Moy : " arrondi2 + CR + "Salaire :" + tranche.
QString texteSalaire(double moyenne, const QLocale &langue = QLocale());

/// Valeurs dérivées du panneau, calculées depuis les textes des 33 cases (index 1..33).
struct Derivees
{
    std::optional<double> car5050, car8020; ///< notes du panneau (touche relâchée)
    std::optional<double> pot5050, pot8020;
    std::optional<QString> salaire; ///< absent si une case nécessaire n'est pas un nombre
};

/**
 * Calcule les dérivées depuis les textes des cases du panneau (textes[c] pour c = 1..33,
 * lus dans la forme de la langue). Une valeur manque quand l'une de ses cases n'est pas un nombre.
 */
Derivees calculerDerivees(const QString (&textes)[34], const QLocale &langue = QLocale());

} // namespace zarvo
