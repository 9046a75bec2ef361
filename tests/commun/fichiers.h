#pragma once

// Petites aides sur les fichiers des tests : lire, écrire, lister un dossier.
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

namespace essai {

/// Octets du fichier ; un texte reconnaissable s'il est illisible.
inline QByteArray lireFichier(const QString &chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : "(illisible : " + chemin.toUtf8() + ")";
}

inline bool ecrireFichier(const QString &chemin, const QByteArray &octets = {})
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size();
}

/// Tout ce que contient le dossier, sous-dossiers compris, en chemins relatifs triés.
inline QStringList contenuDossier(const QString &chemin)
{
    QStringList l;
    QDirIterator it(chemin, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
        QDirIterator::Subdirectories);
    while (it.hasNext())
        l << QDir(chemin).relativeFilePath(it.next());
    l.sort();
    return l;
}

} // namespace essai
