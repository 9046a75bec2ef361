#pragma once

#include "model/donnees.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace zarvo {

/// Ce que l'échange du champion demande à la fenêtre.
struct ResultatChampion
{
    QStringList messages; ///< à montrer dans l'ordre (bouton OK seul)
    std::optional<QString> note1; ///< nouveau texte de Note(1) ; absent si rien n'a changé
    bool echange = false; ///< les ids ont été échangés
};

/// L'avertissement montré avant chaque échange (retours à la ligne : caractère 13).
QString avertissementChampion();

/// Refus quand aucune liste n'a trouvé le détenteur de l'id 327 (ou qu'il l'a perdu).
QString messageChampionIntrouvable();

/// Refus quand l'id du coureur affiché n'est pas un nombre.
QString messageIdIllisible();

/**
 * Clic sur CDM : le coureur de la ligne `numLigne` prend l'id 327 et le détenteur actuel
 * (IndexChampion) reçoit la partie entière de l'ancien id ; les deux lignes sont marquées.
 * Rien n'est écrit si aucun coureur n'est affiché, si IndexChampion ne désigne pas une ligne
 * d'id 327, ou si l'id du coureur affiché n'est pas un nombre.
 */
ResultatChampion CDM_Click(Donnees &d, int numLigne, const QLocale &langue = QLocale());

} // namespace zarvo
