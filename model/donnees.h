#pragma once

#include "model/journal.h"
#include "model/tableau.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace zarvo {

/// Bornes fixes de la base du jeu.
namespace base {
/// Colonne 0 des deux tables : la ligne de feuille d'où vient la ligne de table.
constexpr int colLigneFeuille = 0;
constexpr int premiereLigneCoureur = 2;
constexpr int derniereLigneCoureur = 973;
constexpr int nbCoureurs = 972;
constexpr int colNote5050 = 34;
constexpr int colNote8020 = 35;
constexpr int colModifCoureur = 36;
constexpr int premiereLigneEquipe = 1;
constexpr int derniereLigneEquipe = 41;
constexpr int colModifEquipe = 7;
constexpr int idEquipeLibres = 61;
constexpr int idChampion = 327;
} // namespace base

/**
 * Les valeurs communes à tout le programme, possédées par la fenêtre principale et passées
 * par référence : tables des coureurs et des équipes et valeurs qui les accompagnent.
 */
struct Donnees
{
    Tableau TabCoureurs { base::premiereLigneCoureur, base::derniereLigneCoureur, 0, 36 };
    Tableau TabEquipes { base::premiereLigneEquipe, base::derniereLigneEquipe, 0, 7 };
    int IndexLibres = 0; ///< ligne de TabEquipes de l'équipe 61, 0 si absente
    int IndexChampion = 0; ///< ligne de TabCoureurs de l'id 327, 0 si jamais trouvée
    QVector<int> ListeLignes { 0 }; ///< élément 0 jamais utilisé
    QStringList Colonnes; ///< lettres des colonnes 0..33 ("A", "A" … "AG")
    QStringList EntetesCoureurs; ///< ligne 1 de DYN_cyclist, colonnes A … AG (vide si non lue)
    QStringList EntetesEquipes; ///< ligne 1 de DYN_team, colonnes A … F (vide si non lue)
    Journal Modifications; ///< ce qui attend d'être appliqué, et les pas d'annulation
};

/**
 * Division d'une équipe (1 ou 2) lue dans sa case, un texte qui se lit comme un nombre
 * compris ; rien pour toute autre valeur. La seule lecture de la division : une équipe qui a
 * son bouton est aussi publiée par l'export.
 */
std::optional<int> divisionEquipe(const Cellule &c);

/// Lettres de colonne "A" … "IV" pour un numéro 1 … 256.
QString lettresColonne(int numero);
/// Les mêmes lettres écrites dans `dest` (deux places au plus) ; renvoie leur nombre.
int lettresColonne(int numero, char16_t *dest);

/// Colonnes : élément 0 "A", puis "A" … "AG".
QStringList colonnesFeuilleCoureurs();

} // namespace zarvo
