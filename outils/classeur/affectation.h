#pragma once

#include "model/cellule.h"

#include <QString>

#include <optional>

namespace zarvo::outils {

/// Une écriture demandée à `classeur ecrire` : « CELLULE=VALEUR ».
struct Affectation
{
    QString adresse;
    Cellule valeur;
};

/**
 * Lit « CELLULE=VALEUR » : `n:75` un nombre ("." décimal), `t:Dupont` un texte, `v:` une case
 * vidée ; sans préfixe, un texte (que le tableur soumet à sa règle du nombre). Les textes
 * acceptent les échappements de `classeur lire` (\t, \n, \r, \\). Rien si c'est mal formé.
 */
std::optional<Affectation> lireAffectation(const QString &texte);

} // namespace zarvo::outils
