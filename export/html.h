#pragma once

#include "model/donnees.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QList>
#include <QLocale>
#include <QString>

namespace zarvo {

/// Nom de la base montré au sommaire : le nom du fichier sans aucun ".xls" (casse comprise).
QString NomBase(const QString &nomFichier);

/**
 * Nom du dossier d'export : "exportHTML du " + date courte de la langue + "-" + heure "h"
 * minute "m" seconde "s", sans zéros de tête ; blancs changés en "_", "/" en "-".
 */
QString DossierExport(const QDateTime &maintenant, const QLocale &langue = QLocale());

/// Une page du site, texte complet avant encodage (fins de ligne CRLF comprises).
struct PageHTML
{
    QString nom; ///< "sommaire.html", "Equipe7.html", "FA.html"
    QString texte;
};

/**
 * Les pages du site dans l'ordre d'écriture : le sommaire, une page par équipe de division 1
 * puis 2 dans l'ordre de TabEquipes, puis FA.html. Les valeurs sont échappées pour HTML.
 */
QList<PageHTML> pagesHTML(
    const Donnees &d, const QString &nomBase, const QLocale &langue = QLocale());

/// Texte → octets Windows-1252 ; un caractère hors de ce jeu devient "&#N;".
QByteArray encoderWindows1252(const QString &texte);

/// Issue d'un export.
struct ResultatExport
{
    bool reussi = false;
    QString dossier; ///< chemin complet du dossier créé (vide en cas d'échec)
    QString erreur; ///< message en français quand l'export a échoué
};

/// Question posée après un export réussi : le dossier créé, et faut-il ouvrir son sommaire.
QString texteExportReussi(const ResultatExport &r);

/**
 * Écrit le site dans un nouveau dossier de dossierTravail. Un dossier du même nom n'est jamais
 * réutilisé : le nom reçoit "_2", "_3"… En cas d'échec, le dossier commencé est supprimé.
 * Lit les tables seulement.
 */
ResultatExport exporterHTML(const Donnees &d, const QString &nomFichier, const QDir &dossierTravail,
    const QDateTime &maintenant, const QLocale &langue = QLocale());

} // namespace zarvo
