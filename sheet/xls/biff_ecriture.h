#pragma once

#include "sheet/xls/biff.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace zarvo::sheet::xls {

/**
 * Briques d'écriture BIFF8 : enregistrements de cases, table des chaînes partagées et ses
 * CONTINUE, EXTSST et DBCELL. Rien ici ne lit un classeur : ce sont des fonctions
 * pures qui rendent des octets d'enregistrements complets (en-tête compris).
 */
namespace ecriture {

/// Plus long texte qu'une case peut tenir.
constexpr int longueurMaxTexte = 32767;
/// Format de case par défaut (« Normal ») des classeurs BIFF8.
constexpr std::uint16_t xfParDefaut = 15;

/// Valeur RK qui redonne exactement `v` (même bits), ou rien si `v` n'est pas codable en RK.
std::optional<std::uint32_t> encoderRk(double v);

/// Case nombre : RK si le nombre s'y code exactement, NUMBER sinon.
QByteArray caseNombre(int ligne, int colonne, std::uint16_t xf, double v);
/// Case texte renvoyant à la chaîne partagée d'indice `indice`.
QByteArray caseSst(int ligne, int colonne, std::uint16_t xf, std::uint32_t indice);
/// Case vide qui ne garde que son format.
QByteArray caseVide(int ligne, int colonne, std::uint16_t xf);

/// Le refus d'un texte trop long, écrit une fois pour toutes ses causes.
QString texteTropLong(qsizetype longueur);
/// Refuse (TexteTropLong) un texte trop long pour une case.
void verifierLongueurTexte(const QString &texte);

/// SST découpée en SST + CONTINUE, et l'EXTSST qui l'accompagne.
struct SstEcrite
{
    QByteArray sst; ///< SST puis ses CONTINUE, en-têtes compris
    QByteArray extsst; ///< enregistrement EXTSST complet
};

/**
 * Écrit la table des chaînes. `debut` est la position dans le flux où la SST commencera :
 * l'EXTSST y renvoie. `total` : nombre de renvois aux chaînes dans tout le classeur.
 * Règles de découpage : l'en-tête d'une chaîne et son premier caractère restent dans le même
 * enregistrement, et une paire de substitution (caractère hors du plan multilingue de base)
 * n'est jamais coupée ; une suite de caractères reprise dans un CONTINUE y reçoit un octet
 * d'options neuf ; un run n'est jamais coupé ; les données phonétiques se coupent où il faut.
 * Une chaîne venue du fichier peut dépasser la limite d'une case : elle repasse telle quelle.
 */
SstEcrite ecrireSst(const std::vector<ChaineSst> &chaines, std::uint32_t total, qint64 debut);

/// Données d'un bloc de lignes pour son DBCELL.
struct BlocLignes
{
    qint64 premiereLigne = 0; ///< position dans le flux du premier ROW du bloc
    std::vector<qint64> premieresCases; ///< par ROW du bloc : position de sa première case
};

/// DBCELL d'un bloc qui sera écrit à la position `position` du flux.
QByteArray dbcell(const BlocLignes &bloc, qint64 position);

} // namespace ecriture
} // namespace zarvo::sheet::xls
