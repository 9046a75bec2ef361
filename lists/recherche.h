#pragma once

#include "teams/liste.h"

#include <QLocale>
#include <QString>

namespace zarvo {

/// Au-delà de ce nombre de coureurs trouvés, la recherche ne montre que le compte.
constexpr int maxRecherche = 50;

/// Le nom commence-t-il par le texte cherché, casse ignorée selon la langue (accents comptés) ?
bool nomCommencePar(
    const Cellule &nom, const QString &texteMajuscule, const QLocale &langue = QLocale());

/**
 * Relâchement d'une touche dans rech, `texte` le texte de la case tel quel. Texte vide : le
 * compteur repasse à 973 et les boutons précédents restent. Sinon la table est triée par nom,
 * ListeLignes reçoit tous les coureurs trouvés et au plus 50 boutons sont montrés.
 */
ResultatListe rech_KeyUp(Donnees &d, const QString &texte, const QLocale &langue = QLocale());

} // namespace zarvo
