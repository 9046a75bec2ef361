#pragma once

#include "teams/liste.h"

#include <QLocale>

namespace zarvo {

/// Nombre de boutons d'un classement, quel que soit le contenu de la table.
constexpr int tailleClassement = 50;

/**
 * Classement des 50 premiers selon la colonne `colonne` de TabCoureurs : table triée par nom
 * puis par la colonne décroissante, boutons des lignes 2 à 51 numérotés "k-". ListeLignes et
 * IndexChampion ne changent pas ; le compteur de la recherche non plus ; CDM est caché.
 */
ResultatListe classement(Donnees &d, int colonne, const QLocale &langue = QLocale());

ResultatListe Best5050_Click(Donnees &d, const QLocale &langue = QLocale());
ResultatListe Best8020_Click(Donnees &d, const QLocale &langue = QLocale());
ResultatListe CLM_Click(Donnees &d, const QLocale &langue = QLocale());
ResultatListe Grimpeurs_Click(Donnees &d, const QLocale &langue = QLocale());
ResultatListe Sprinteurs_Click(Donnees &d, const QLocale &langue = QLocale());

} // namespace zarvo
