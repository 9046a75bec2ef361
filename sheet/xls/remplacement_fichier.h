#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>

namespace zarvo::sheet::xls {

/**
 * Appareil par lequel passent les octets écrits dans le fichier temporaire. Par défaut le
 * fichier lui-même ; les tests l'enveloppent pour faire échouer l'écriture en plein milieu.
 */
using EnveloppeEcriture = std::function<std::unique_ptr<QIODevice>(QIODevice &fichier)>;

/**
 * Remplace le fichier `chemin` par `contenu` sans jamais laisser un fichier à moitié écrit :
 * les octets vont dans un fichier temporaire du même dossier, synchronisé sur le disque, puis
 * renommé par-dessus l'original en gardant ses permissions. Tout échec lève ErreurClasseur
 * (texte en français nommant le fichier et l'étape) ; l'original reste alors identique à
 * l'octet et le fichier temporaire est supprimé.
 */
void remplacerFichier(
    const QString &chemin, const QByteArray &contenu, const EnveloppeEcriture &enveloppe = {});

} // namespace zarvo::sheet::xls
