#pragma once

#include "model/cellule.h"
#include "sheet/erreur.h"
#include "sheet/xls/biff.h"

#include <QString>

#include <map>
#include <optional>
#include <utility>

namespace zarvo::sheet::xls {

/// Valeurs posées dans une feuille, par (ligne, colonne) comptées à partir de 0. Une valeur
/// vide vide la case en gardant son format.
using EcrituresFeuille = std::map<std::pair<int, int>, Cellule>;

/// Nom d'une case (« B7 ») à partir de sa ligne et de sa colonne comptées depuis 0.
QString nomCase(int ligne, int colonne);

/**
 * Raison de refuser d'écrire dans une case qui porte une formule : formule matricielle, table
 * de données, ou formule partagée dont d'autres cases, non réécrites (`ecrites`), dépendent
 * encore. Rien si l'écriture ne détruit rien.
 */
std::optional<QString> refusFormule(const ClasseurBiff &b, const FeuilleBiff &cases, int ligne,
    int colonne, const EcrituresFeuille &ecrites);

/**
 * Refuse (ErreurClasseur) une écriture qui abîmerait le classeur : texte trop long, case qui
 * porte une formule partagée dont d'autres cases dépendent encore, case d'une formule
 * matricielle ou d'une table. `deja` : écritures déjà acceptées dans cette feuille.
 */
void verifierEcriture(const ClasseurBiff &biff, std::size_t feuille, const FeuilleBiff &cases,
    int ligne, int colonne, const Cellule &valeur, const EcrituresFeuille &deja);

/// L'erreur d'une écriture refusée pour `raison`.
ErreurClasseur ecritureRefusee(const ClasseurBiff &biff, std::size_t feuille, int ligne,
    int colonne, const QString &raison, GenreErreur genre = GenreErreur::EcritureImpossible);

} // namespace zarvo::sheet::xls
