#pragma once

#include "model/cellule.h"
#include "sheet/xls/biff.h"
#include "sheet/xls/conteneur.h"
#include "sheet/xls/refus_ecriture.h"

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
