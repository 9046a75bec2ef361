#pragma once

#include "model/bouton.h"

#include <QString>

namespace zarvo {

/**
 * Disposition du classeur du jeu, en un seul endroit : feuilles, plages lues, colonnes des
 * champs, couleurs des boutons d'équipe. Une colonne de table est celle de la feuille
 * (1 = A) ; la colonne 0 garde la ligne de feuille. Les bornes des tables : base:: (model).
 * Rien ici ne touche au tableur : les couches du modèle lisent leurs colonnes ici sans lui.
 */
namespace disposition {
inline QString feuilleCoureurs()
{
    return QStringLiteral("DYN_cyclist");
}
inline QString feuilleEquipes()
{
    return QStringLiteral("DYN_team");
}
/// Lu d'une seule requête : les en-têtes en ligne 1, puis les coureurs.
inline QString blocCoureurs()
{
    return QStringLiteral("A1:AG973");
}
constexpr int derniereColonneCoureur = 33; ///< AG
constexpr int derniereColonneEquipe = 6; ///< F
/// Lignes de la feuille des équipes examinées, case par case.
constexpr int nbLignesFeuilleEquipes = 74;

/// Couleurs des boutons d'équipe : le modèle (premier bouton, caché), puis chaque division.
constexpr unsigned couleurModeleEquipe = rgb(121, 174, 255);
constexpr unsigned couleurDivision1 = rgb(143, 174, 245);
constexpr unsigned couleurDivision2 = rgb(143, 245, 74);
} // namespace disposition

/// Colonnes des champs d'un coureur.
namespace col {
constexpr int Id = 1, Nom = 2, Prenom = 3, Equipe = 4, Jour = 6, Mois = 7, Annee = 8, Points = 9;
/// Caractéristiques, chacune suivie de son potentiel, de Plaine à la dernière.
constexpr int PremiereCarac = 10, DerniereCarac = 32;
constexpr int Plaine = 10, Montagne = 12, PotMontagne = 13, Vallons = 14, PotVallons = 15, CLM = 18,
              Endurance = 20, Resistance = 22, Recuperation = 24, Sprint = 30;
} // namespace col

/// Colonnes des champs d'une équipe.
namespace colEq {
constexpr int Id = 1, Nom = 2, Division = 3, Pays = 4, Abrev = 5, Mail = 6;
} // namespace colEq

} // namespace zarvo
