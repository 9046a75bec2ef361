#pragma once

#include "classeur_jeu/disposition.h"
#include "model/bouton.h"
#include "model/donnees.h"

#include <QList>
#include <QString>

namespace zarvo::sheet {
class Application;
}

namespace zarvo {

/// Les ids des 41 équipes que le programme gère, chacun entre tirets.
QString ListeEquipes();

/**
 * Ouvre le classeur et remplit les valeurs communes, dans l'ordre : ouverture, Colonnes,
 * calcul manuel, lecture du bloc "A1:AG973" de DYN_cyclist en une seule requête, notes de
 * chargement, tri par nom, équipes de DYN_team case par case, tri par abréviation.
 *
 * Renvoie les boutons d'équipe à créer (boutonsEquipes) ; IndexLibres est alors posé.
 *
 * Un classeur inutilisable (illisible, protégé, feuille absente, plus de 41 équipes listées…)
 * lève sheet::ErreurClasseur rattachée à l'ouverture de ce fichier (sa phrase :
 * sheet::texteErreur) ; le classeur,
 * s'il a été ouvert, est alors refermé sans enregistrer et `donnees` n'a pas changé.
 */
QList<DescriptionBouton> chargerClasseur(
    sheet::Application &tableur, const QString &chemin, Donnees &donnees);

/**
 * Boutons d'équipe à créer, dans l'ordre de TabEquipes : un par équipe de division 1 ou 2,
 * sauf l'équipe 61 ; note au passage IndexLibres (0 si l'équipe 61 manque).
 */
QList<DescriptionBouton> boutonsEquipes(Donnees &donnees);

} // namespace zarvo
