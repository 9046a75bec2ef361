#pragma once

#include "model/cellule.h"

#include <QString>

#include <optional>

namespace zarvo::outils {

/// Nombre sous la forme la plus courte qui se relit en le même double, "." décimal.
QString texteExact(double valeur);

/// Texte avec \t, \n, \r et \\ échappés, pour tenir sur une ligne de tableau.
QString texteEchappe(const QString &texte);
/// Inverse de texteEchappe ; rien pour une barre oblique seule ou suivie d'une autre lettre.
std::optional<QString> texteDesechappe(const QString &texte);

/// Une case pour `classeur lire` : nombre exact, texte échappé, vide comme rien ;
/// avec `types`, préfixée de n:, t: ou v:.
QString texteCase(const Cellule &c, bool types);

} // namespace zarvo::outils
