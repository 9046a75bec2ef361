#pragma once

#include "model/cellule.h"

#include <QLocale>
#include <QString>

#include <optional>

namespace zarvo {

/// Genre d'un champ saisi dans une case du panneau ou de la fiche d'équipe.
enum class GenreChamp {
    Texte, ///< noms, abréviation, suffixe mail : toujours gardés en texte
    Nombre, ///< ids, date, points : nombre si la saisie se lit comme un nombre, sinon texte
    Caracteristique, ///< caractéristiques et potentiels : nombre, ou rien n'est gardé
};

/// Genre de la colonne c (1 à 33) de TabCoureurs.
GenreChamp genreChampCoureur(int colonne);

/// Genre de la colonne c (1 à 6) de TabEquipes.
GenreChamp genreChampEquipe(int colonne);

/**
 * Cellule à ranger pour un texte tapé (non vide) dans un champ du genre donné : le nombre lu
 * dans la forme de la langue s'il y en a un, sinon le texte tel que tapé ; rien pour une
 * caractéristique qui ne se lit pas comme un nombre (la table garde alors sa valeur).
 */
std::optional<Cellule> celluleSaisie(
    const QString &texte, GenreChamp genre, const QLocale &langue = QLocale());

/// Une case de caractéristique qui tient un texte non vide qui n'est pas un nombre.
bool caseCaracteristiqueEnErreur(
    int colonne, const QString &texte, const QLocale &langue = QLocale());

} // namespace zarvo
