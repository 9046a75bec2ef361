#pragma once

#include "model/systeme.h"

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

/// Le fichier tel qu'il a été lu : ce que l'enregistrement s'attend à trouver sur le disque.
struct FichierLu
{
    QByteArray octets;
    systeme::Identite identite;
};

/// Accord pour remplacer un fichier qui n'est plus celui qui a été lu.
using ConfirmerRemplacement = std::function<bool()>;

/// Issue d'un remplacement.
struct Remplacement
{
    bool fait = true; ///< faux : le fichier avait changé et le remplacement a été refusé
    QString avertissement; ///< fait, mais propriétaire ou droits pas tous rendus (en français)
};

/**
 * Remplace le fichier `chemin` par `contenu` sans jamais laisser un fichier à moitié écrit :
 * les octets vont dans un fichier temporaire du même dossier, synchronisé sur le disque, qui
 * reçoit le propriétaire, le groupe et les droits de l'original avant d'être renommé
 * par-dessus lui. Tout échec lève ErreurClasseur (genre Fichier ou FichierChange, rattachée
 * à l'enregistrement du fichier, détail : l'étape et sa raison) ; l'original reste alors identique
 * à l'octet et le fichier temporaire est supprimé.
 *
 * `lu` : le fichier doit exister et être encore celui qui a été lu (même identité, mêmes
 * octets). S'il ne l'est plus, `confirmer` décide : faux, rien n'est écrit (Remplacement::fait
 * faux) ; sans `confirmer`, refus par ErreurClasseur. Sans `lu`, le fichier peut aussi être
 * créé (enregistrement sous un autre nom).
 */
Remplacement remplacerFichier(const QString &chemin, const QByteArray &contenu,
    const EnveloppeEcriture &enveloppe = {}, const FichierLu *lu = nullptr,
    const ConfirmerRemplacement &confirmer = {});

} // namespace zarvo::sheet::xls
