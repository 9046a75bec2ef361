#pragma once

#include "model/donnees.h"

#include <QList>
#include <QLocale>
#include <QUndoStack>

namespace zarvo {

/// Lignes des tables que des valeurs remises ont touchées : la fenêtre remontre celles qu'elle
/// affiche.
struct Remise
{
    QList<int> coureurs, equipes;
};

/**
 * Annuler et refaire sur la pile de Qt : chaque pas du journal des données devient une
 * commande (les relâchements successifs d'une même case n'en font qu'une). Une valeur remise
 * retrouve sa ligne par la colonne 0, quel que soit l'ordre de la table ; la note 50/50 et
 * 80/20 suivent Montagne et Vallons ; les drapeaux d'écriture restent posés.
 */
class Annulation
{
public:
    explicit Annulation(Donnees &d, const QLocale &langue = QLocale());
    ~Annulation();
    Annulation(const Annulation &) = delete;
    Annulation &operator=(const Annulation &) = delete;

    QUndoStack &pile() { return m_pile; }
    Remise annuler();
    Remise refaire();
    /// Rend leur valeur de départ aux cases en attente données : un pas de plus, annulable.
    /// L'id d'un coureur revient avec l'autre moitié de son échange (jamais deux fois le même).
    Remise revenir(const QList<Attente> &choisies);

    /// Pose l'une des deux valeurs de chaque modification (pour les commandes de la pile).
    void poser(const QList<Modif> &modifs, bool versAvant);

private:
    Donnees &m_donnees;
    QLocale m_langue;
    QUndoStack m_pile;
    Remise m_remise;
};

/// Ligne de la table dont la colonne 0 vaut `ligneFeuille`, 0 si aucune.
int ligneDeFeuille(const Tableau &t, int ligneFeuille);

} // namespace zarvo
