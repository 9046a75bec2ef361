#pragma once

#include "model/donnees.h"

#include <QList>
#include <QLocale>
#include <QString>

namespace zarvo {

/// Une ligne de la fenêtre « Modifications en attente ».
struct LigneRevue
{
    QString texte;
    TableModif table = TableModif::Coureurs;
    int ligneFeuille = 0; ///< coureur ou équipe de la ligne (0 : titre d'une section)
    bool titre = false; ///< ligne qui nomme un coureur ou une équipe
    bool annulable = false; ///< ligne d'une case en attente
    Attente attente; ///< cette case, si annulable
};

/// Légende du bouton de la fenêtre principale : le nombre de cases en attente.
QString texteBoutonModifs(int nbEnAttente);

/// Nom d'un champ tel que le panneau ou la fiche l'étiquette, sinon l'en-tête de la feuille.
QString nomChamp(const Donnees &d, TableModif table, int colonne);

/**
 * Lignes de la revue : les cases en attente regroupées par coureur ou équipe (dans l'ordre du
 * premier changement), chacune avec son champ, sa valeur de départ et sa valeur actuelle ;
 * puis les potentiels relevés par la dernière application, marqués appliqués.
 */
QList<LigneRevue> lignesRevue(const Donnees &d, const QLocale &langue = QLocale());

} // namespace zarvo
