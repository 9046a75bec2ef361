#pragma once

#include "teams/liste.h"

#include <QLocale>
#include <QString>

#include <optional>

namespace zarvo {

/// Nombre de coureurs libres de la première liste ; la seconde prend tous les autres.
constexpr int tailleListeLibres1 = 66;

/**
 * Clic sur le bouton d'une équipe dont l'étiquette porte la ligne `ligneEquipe` de TabEquipes :
 * table triée par nom, coureurs dont la partie entière de l'id d'équipe égale celle de
 * l'équipe, fiche de l'équipe, NumEq.
 */
ResultatListe Chargeq_Click(Donnees &d, int ligneEquipe, const QLocale &langue = QLocale());

/**
 * Clic sur Free(x), x = 1 ou 2 : les 66 premiers coureurs libres par nom, ou tous les suivants.
 * Sans équipe 61 dans le classeur, aucune liste et aucune fiche ; NumEq reste 0.
 */
ResultatListe Free_Click(Donnees &d, int x, const QLocale &langue = QLocale());

/// L'équipe d'un coureur : son nom et ses coureurs, comme sa liste d'équipe les retient.
struct EquipeDuCoureur
{
    QString nom; ///< nom de l'équipe ; sans équipe de cet id, l'id tel qu'il est écrit
    QVector<int> lignes; ///< lignes de TabCoureurs, dans l'ordre de la table
};

/// Équipe du coureur de la ligne `ligne` de TabCoureurs (la table n'est ni triée ni changée).
EquipeDuCoureur equipeDuCoureur(const Donnees &d, int ligne, const QLocale &langue = QLocale());

/// Message montré quand on tape dans la fiche sans équipe affichée.
QString messageChoisirEquipe();

/**
 * Relâchement d'une touche dans Careq(index), index 1 à 6, `texte` le texte de la case,
 * `numEq` la ligne de l'équipe affichée (0 : aucune). Renvoie le message à montrer, s'il y en a.
 */
std::optional<QString> Careq_KeyUp(
    Donnees &d, int numEq, int index, const QString &texte, const QLocale &langue = QLocale());

} // namespace zarvo
