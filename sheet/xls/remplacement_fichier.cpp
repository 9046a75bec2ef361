#include "sheet/xls/remplacement_fichier.h"

#include "model/systeme.h"
#include "sheet/erreur.h"
#include "sheet/xls/classeur_xls.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace zarvo::sheet::xls {

namespace {

[[noreturn]] void echec(
    const QString &chemin, const QString &etape, GenreErreur genre = GenreErreur::Fichier)
{
    throw ErreurClasseur(genre, etape).situee(Operation::Enregistrer, QFileInfo(chemin).fileName());
}

/// L'étape, suivie de la raison donnée par le système quand il en donne une.
QString avecRaison(const QString &etape, const QString &raison)
{
    return raison.isEmpty() ? etape : etape + QStringLiteral(" (") + raison + u')';
}

/// Vrai si le fichier sur le disque n'est plus celui qui a été lu.
bool aChange(const QString &chemin, const FichierLu &lu, const systeme::Identite &identite)
{
    if (lu.identite.connue && identite != lu.identite)
        return true;
    const systeme::Lecture l = systeme::lire(chemin, tailleFichierMax);
    return !l.erreur.isEmpty() || l.tropGros || l.octets != lu.octets;
}

} // namespace

Remplacement remplacerFichier(const QString &chemin, const QByteArray &contenu,
    const EnveloppeEcriture &enveloppe, const FichierLu *lu, const ConfirmerRemplacement &confirmer)
{
    const QFileInfo info(chemin);
    const systeme::Genre genre = systeme::genre(chemin);
    if (genre != systeme::Genre::Ordinaire && genre != systeme::Genre::Absent
        && genre != systeme::Genre::LienCasse)
        echec(chemin, QStringLiteral("c'est %1, pas un fichier").arg(systeme::nomGenre(genre)));
    const auto avant = systeme::etat(chemin);
    if (lu) {
        if (!avant)
            echec(chemin, QStringLiteral("le fichier n'existe plus à cet endroit"));
        if (aChange(chemin, *lu, avant->first)) {
            if (!confirmer)
                echec(chemin,
                    QStringLiteral("un autre programme l'a modifié ou remplacé depuis son "
                                   "ouverture"),
                    GenreErreur::FichierChange);
            if (!confirmer())
                return { false, {} };
        }
    }
    // QSaveFile refuse un fichier en lecture seule : c'est le fichier qu'il faut nommer, pas
    // le dossier.
    if (avant && !info.isWritable())
        echec(chemin, QStringLiteral("le fichier est en lecture seule"));
    QSaveFile fichier(chemin);
    // Jamais d'écriture directe dans l'original, même si le dossier refuse le fichier temporaire.
    fichier.setDirectWriteFallback(false);
    errno = 0;
    if (!fichier.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        echec(chemin,
            avecRaison(QStringLiteral("impossible de créer un fichier temporaire dans le dossier "
                                      "« %1 »")
                           .arg(info.absolutePath()),
                systeme::raisonDerniereErreur()));
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
        errno = 0;
        const qint64 ecrit = sortie->write(contenu.constData() + fait, n);
        if (ecrit <= 0) {
            const QString raison = systeme::raisonDerniereErreur();
            fichier.cancelWriting();
            echec(chemin,
                avecRaison(QStringLiteral("l'écriture s'est interrompue après %1 octets").arg(fait),
                    raison));
        }
        fait += ecrit;
    }
    enveloppee.reset();
    QString avertissement;
    if (avant) {
        const QString manque = systeme::rendreAttributs(int(fichier.handle()), avant->second);
        if (!manque.isEmpty())
            avertissement = QStringLiteral("« %1 » a été enregistré, mais n'a pas pu retrouver %2.")
                                .arg(info.fileName(), manque);
        // Le fichier a pu encore changer pendant l'écriture : ce n'est plus celui qu'on remplace.
        const auto maintenant = systeme::etat(chemin);
        if (!maintenant || maintenant->first != avant->first) {
            fichier.cancelWriting();
            echec(chemin,
                QStringLiteral("un autre programme l'a remplacé pendant l'enregistrement"),
                GenreErreur::FichierChange);
        }
    }
    // commit() vide les tampons, synchronise sur le disque puis renomme ; s'il échoue, le
    // fichier temporaire est effacé par QSaveFile.
    errno = 0;
    if (!fichier.commit())
        echec(chemin,
            avecRaison(QStringLiteral("le fichier écrit n'a pas pu remplacer l'original"),
                systeme::raisonDerniereErreur()));
    systeme::synchroniserDossierDe(chemin);
    return { true, avertissement };
}

} // namespace zarvo::sheet::xls
