#pragma once

#include "model/donnees.h"
#include "sheet/tableur.h"

#include <QLocale>
#include <QString>

#include <functional>
#include <optional>

namespace zarvo {

/// Reçoit le texte de l'étiquette de progression, une fois par ligne parcourue.
using RappelProgression = std::function<void(const QString &etiquette)>;

/// Ce que l'application des modifications laisse à montrer.
struct ResultatApplication
{
    int nbPotentiels = 0; ///< potentiels relevés pendant ce passage
    int nbCoureursListes = 0; ///< coureurs cités dans le compte rendu
    QString liste; ///< entrées "Nom (colonne) - ", retour chariot après la 8e, 16e … 64e
    int nbEcritures = 0; ///< cases écrites avec succès
    /// Compte rendu des potentiels relevés ; absent si aucun ne l'a été.
    std::optional<QString> compteRendu;
    /// Échec d'écriture : le passage s'est arrêté là ; les tables gardent tout.
    std::optional<QString> erreur;
};

/**
 * Copie dans le classeur chaque ligne marquée de TabCoureurs (33 cases) et de TabEquipes
 * (6 cases), adressées par Colonnes et la colonne 0, après avoir relevé au niveau de la
 * caractéristique tout potentiel dont la partie entière est plus basse. Une valeur comparée
 * qui n'est pas un nombre fait sauter la vérification de cette paire, sa case est écrite
 * quand même. La première écriture refusée arrête le passage avec un message en français.
 * Les drapeaux ne sont jamais effacés : un second passage réécrit les mêmes lignes.
 */
ResultatApplication appliquerModifications(Donnees &d, sheet::Classeur &classeur,
    const RappelProgression &progression = {}, const QLocale &langue = QLocale());

/// Texte du compte rendu pour un nombre de potentiels relevés et la liste des coureurs.
QString texteCompteRendu(int nbPotentiels, const QString &liste);

/// Textes de l'étiquette de progression pour une ligne de TabCoureurs, de TabEquipes.
QString texteProgressionCoureur(int ligne);
QString texteProgressionEquipe(int ligne);

} // namespace zarvo
