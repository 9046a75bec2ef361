#pragma once

#include "model/donnees.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace zarvo {

/// Les douze caractéristiques, dans l'ordre et sous les noms des lignes du panneau.
const QStringList &nomsCaracteristiques();

/// Textes des étiquettes dérivées ; une valeur absente laisse l'étiquette telle quelle (au clic,
/// tout est donné : ce qui ne se calcule pas est vide).
struct Etiquettes
{
    std::optional<QString> car5050, pot5050, car8020, pot8020, salaire;
};

/// Ce que montre le panneau après un clic sur un bouton coureur.
struct AffichageCoureur
{
    QString notes[34]; ///< textes des cases Note(1..33) ; l'élément 0 ne sert pas
    bool erreurs[34] = {}; ///< cases de caractéristique à montrer en couleur d'erreur
    int numLigne = 0; ///< nouvelle valeur de NumLigne
    Etiquettes etiquettes;
};

/// Ce qu'un relâchement de touche dans une case du panneau demande à la fenêtre.
struct ResultatNote
{
    std::optional<QString> message; ///< à montrer (bouton OK seul)
    bool viderCase = false; ///< vider la case tapée
    bool erreur = false; ///< couleur d'erreur de la case tapée
    Etiquettes etiquettes;
};

/// Message montré quand on tape sans coureur affiché.
QString messageChoisirCoureur();

/**
 * Clic sur un bouton coureur dont l'étiquette porte la ligne `ligne` de TabCoureurs : les 33
 * champs, les notes telles que stockées, potentiels et salaire calculés sur les cases ; la
 * ligne est marquée pour l'écriture.
 */
AffichageCoureur Coureur_Click(Donnees &d, int ligne, const QLocale &langue = QLocale());

/**
 * Relâchement d'une touche dans la case `index` (1 à 33), `notes` étant les textes des 33 cases
 * tels qu'ils sont à ce moment, `numLigne` la ligne affichée (0 : aucune).
 */
ResultatNote Note_KeyUp(Donnees &d, int numLigne, int index, const QString (&notes)[34],
    const QLocale &langue = QLocale());

} // namespace zarvo
