#include "sheet/xls/remplacement_fichier.h"

#include "model/systeme.h"
#include "sheet/erreur.h"

#include <QFileInfo>
#include <QSaveFile>

namespace zarvo::sheet::xls {

namespace {

[[noreturn]] void echec(const QString &chemin, const QString &etape)
{
    throw ErreurClasseur(QStringLiteral("Impossible d'enregistrer « %1 » : %2. Le fichier "
                                        "d'origine n'a pas été modifié.")
                             .arg(QFileInfo(chemin).fileName(), etape));
}

} // namespace

void remplacerFichier(const QString &chemin, const QByteArray &contenu,
    const EnveloppeEcriture &enveloppe, bool doitExister)
{
    const QFileInfo info(chemin);
    if (doitExister && !info.exists())
        echec(chemin, QStringLiteral("le fichier n'existe plus à cet endroit"));
    QSaveFile fichier(chemin);
    // Jamais d'écriture directe dans l'original, même si le dossier refuse le fichier temporaire.
    fichier.setDirectWriteFallback(false);
    if (!fichier.open(QIODevice::WriteOnly))
        echec(chemin,
            QStringLiteral("impossible de créer un fichier temporaire dans le dossier « %1 »")
                .arg(info.absolutePath()));
    std::unique_ptr<QIODevice> enveloppee;
    QIODevice *sortie = &fichier;
    if (enveloppe) {
        enveloppee = enveloppe(fichier);
        sortie = enveloppee.get();
    }
    // Par morceaux : une erreur en cours de route (disque plein) est vue tout de suite.
    constexpr qsizetype morceau = 1 << 16;
    for (qsizetype fait = 0; fait < contenu.size();) {
        const qsizetype n = std::min(morceau, contenu.size() - fait);
        const qint64 ecrit = sortie->write(contenu.constData() + fait, n);
        if (ecrit <= 0) {
            fichier.cancelWriting();
            echec(chemin, QStringLiteral("l'écriture s'est interrompue après %1 octets").arg(fait));
        }
        fait += ecrit;
    }
    enveloppee.reset();
    // commit() vide les tampons, synchronise sur le disque puis renomme ; s'il échoue, le
    // fichier temporaire est effacé par QSaveFile.
    if (!fichier.commit())
        echec(chemin, QStringLiteral("le fichier écrit n'a pas pu remplacer l'original"));
    // Le renommage n'est durable qu'une fois le dossier lui-même synchronisé.
    systeme::synchroniserDossierDe(chemin);
}

} // namespace zarvo::sheet::xls
