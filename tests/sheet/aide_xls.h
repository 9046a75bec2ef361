#pragma once

// Aides communes aux tests du moteur .xls : fichiers du dépôt et programmes externes.

#include "commun/fichiers.h"

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace aide {

inline QString source(const QString &chemin)
{
    return QStringLiteral(ZARVO_SOURCE_DIR "/") + chemin;
}

using essai::ecrireFichier;
using essai::lireFichier;

/// Classeurs d'un dossier du dépôt, chemins complets triés.
inline QStringList classeurs(const QString &dossier)
{
    QStringList r;
    const QDir d(source(dossier));
    for (const QString &nom : d.entryList({ QStringLiteral("*.xls") }, QDir::Files, QDir::Name))
        r << d.filePath(nom);
    return r;
}

struct Sortie
{
    int code = -1;
    QByteArray sortie, erreurs;
};

/// Lance un programme et attend sa fin (deux minutes au plus).
inline Sortie lancer(const QString &programme, const QStringList &args)
{
    QProcess p;
    p.start(programme, args);
    Sortie s;
    if (!p.waitForFinished(120000))
        return s;
    s.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    s.sortie = p.readAllStandardOutput();
    s.erreurs = p.readAllStandardError();
    return s;
}

/// Le python de Debian, qui a xlrd et olefile.
inline const QString python = QStringLiteral("/usr/bin/python3");

} // namespace aide
