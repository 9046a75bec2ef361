#pragma once

#include "model/cellule.h"
#include "sheet/xls/biff.h"
#include "sheet/xls/conteneur.h"

#include <QByteArray>

#include <cstdint>
#include <map>
#include <utility>

namespace zarvo::sheet::xls {

/**
 * Écriture d'un classeur modifié : le flux Workbook est reconstruit à partir des
 * enregistrements lus, recopiés à l'octet près, et seul ce qu'exigent les cases écrites est
 * réécrit (les cases, les suites MULRK/MULBLANK qui les contiennent, les bornes des lignes et
 * de la feuille, la table des chaînes, les index de lignes, la place des feuilles).
 */

/// Valeurs posées dans une feuille, par (ligne, colonne) comptées à partir de 0. Une valeur
/// vide vide la case en gardant son format.
using EcrituresFeuille = std::map<std::pair<int, int>, Cellule>;
/// Écritures d'un classeur, par index de feuille déclarée (ClasseurBiff::feuilles()).
using Ecritures = std::map<std::size_t, EcrituresFeuille>;
/// Feuilles déjà lues du classeur d'origine, par index : elles ne sont pas relues.
using FeuillesLues = std::map<std::size_t, const FeuilleBiff *>;

/// Un flux relu après écriture, et ses feuilles écrites.
struct FluxRelu
{
    ClasseurBiff biff;
    std::map<std::size_t, FeuilleBiff> feuilles;
};

/// Un fichier écrit et relu : son conteneur, son flux Workbook, ses feuilles écrites.
struct ClasseurEcrit
{
    Conteneur conteneur;
    FluxRelu relu;
};

/**
 * Refuse (ErreurClasseur) une écriture qui abîmerait le classeur : texte trop long, case qui
 * porte une formule partagée dont d'autres cases dépendent encore, case d'une formule
 * matricielle ou d'une table. `deja` : écritures déjà acceptées dans cette feuille.
 */
void verifierEcriture(const ClasseurBiff &biff, std::size_t feuille, const FeuilleBiff &cases,
    int ligne, int colonne, const Cellule &valeur, const EcrituresFeuille &deja);

/// Format (XF) que prend une case créée là où il n'y en avait pas : celui de sa ligne, sinon
/// celui de sa colonne, sinon le format par défaut.
std::uint16_t formatNouvelleCase(
    const ClasseurBiff &biff, std::size_t feuille, int ligne, int colonne);

/// Nouveau flux Workbook portant les écritures. Lève ErreurClasseur.
QByteArray reconstruireFlux(
    const ClasseurBiff &biff, const Ecritures &ecritures, const FeuillesLues &lues = {});

/**
 * Relit `flux` avec le lecteur strict et le compare à l'origine : chaque case écrite doit
 * porter sa nouvelle valeur, toute autre case de toute feuille lisible son ancienne valeur et
 * son format, les feuilles non touchées leurs enregistrements à l'octet (hors INDEX, dont les
 * positions suivent la feuille). Lève ErreurClasseur au premier écart.
 */
FluxRelu verifierFlux(const ClasseurBiff &origine, const QByteArray &flux,
    const Ecritures &ecritures, const FeuillesLues &lues = {});

/**
 * Le fichier qui porte les écritures : flux Workbook reconstruit, vérifié, puis remis à la
 * place de l'ancien dans le conteneur (entrée `entree`). Lève ErreurClasseur.
 */
ClasseurEcrit ecrireClasseur(const Conteneur &conteneur, int entree, const ClasseurBiff &biff,
    const Ecritures &ecritures, const FeuillesLues &lues = {});

} // namespace zarvo::sheet::xls
