// Appels POSIX du programme, chacun avec sa voie Qt seule (voir systeme.h).
#include "model/systeme.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_UNIX) && __has_include(<unistd.h>)
#define ZARVO_POSIX 1
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zarvo::systeme {

CreationDossier creerDossierNeuf(const QString &chemin)
{
#ifdef ZARVO_POSIX
    // mkdir dit lui-même si le dossier existait : pas de course entre le test et la création.
    if (::mkdir(QFile::encodeName(chemin).constData(), 0777) == 0)
        return { CreationDossier::Cree, {} };
    const int numero = errno;
    if (numero == EEXIST)
        return { CreationDossier::Existe, {} };
    return { CreationDossier::Refuse, QString::fromLocal8Bit(std::strerror(numero)) };
#else
    if (QFileInfo::exists(chemin))
        return { CreationDossier::Existe, {} };
    if (QDir().mkdir(chemin))
        return { CreationDossier::Cree, {} };
    return { QFileInfo::exists(chemin) ? CreationDossier::Existe : CreationDossier::Refuse,
        QStringLiteral("création refusée par le système") };
#endif
}

void synchroniserDossierDe(const QString &cheminFichier)
{
#ifdef ZARVO_POSIX
    const QByteArray dossier = QFile::encodeName(QFileInfo(cheminFichier).absolutePath());
    const int fd = ::open(dossier.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    // Ailleurs, pas d'équivalent portable : la durée du renommage reste l'affaire du système.
    Q_UNUSED(cheminFichier);
#endif
}

} // namespace zarvo::systeme
