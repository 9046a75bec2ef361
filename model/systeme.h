#pragma once

#include <QString>

namespace zarvo::systeme {

/**
 * Les seuls appels au système hors de Qt, réunis ici : Qt n'offre ni la synchronisation d'un
 * dossier ni une création de dossier qui distingue « existe déjà » d'un vrai refus. Chaque
 * appel a sa voie Qt seule, prise hors POSIX (Windows, par exemple).
 */

/// Issue de la création d'un dossier neuf.
struct CreationDossier
{
    enum Etat { Cree, Existe, Refuse } etat = Refuse;
    QString raison; ///< texte du système quand le dossier est refusé
};

/// Crée le dossier `chemin` sans jamais réutiliser un dossier existant.
CreationDossier creerDossierNeuf(const QString &chemin);

/// Rend durable sur le disque le renommage d'un fichier (synchronise son dossier) ; sans effet
/// là où le système ne le permet pas ou le fait lui-même.
void synchroniserDossierDe(const QString &cheminFichier);

} // namespace zarvo::systeme
