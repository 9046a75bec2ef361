#pragma once

#include "model/cellule.h"

namespace zarvo::sheet {

/**
 * Ce que devient une valeur posée dans une case par programme : un texte qui se lit comme un
 * nombre simple en forme anglaise (signe facultatif, chiffres, "." et chiffres facultatifs,
 * exposant facultatif, rien d'autre) devient ce nombre ; tout autre valeur reste telle quelle.
 */
Cellule valeurPosee(const Cellule &valeur);

} // namespace zarvo::sheet
