// Appels POSIX du programme, chacun avec sa voie Qt seule (voir systeme.h).
#include "model/systeme.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(Q_OS_UNIX) && __has_include(<unistd.h>)
#define ZARVO_POSIX 1
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
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

QString nomGenre(Genre g)
{
    switch (g) {
    case Genre::Absent:
    case Genre::LienCasse:
        return QStringLiteral("un fichier absent");
    case Genre::Ordinaire:
        return QStringLiteral("un fichier");
    case Genre::Dossier:
        return QStringLiteral("un dossier");
    case Genre::Tube:
        return QStringLiteral("un tube nommé (FIFO)");
    case Genre::Peripherique:
        return QStringLiteral("un périphérique");
    case Genre::Prise:
        return QStringLiteral("une prise de communication (socket)");
    case Genre::Autre:
        break;
    }
    return QStringLiteral("un objet spécial du système");
}

QString raisonDerniereErreur()
{
    const int e = errno;
    switch (e) {
    case 0:
        return {};
    case ENOSPC:
        return QStringLiteral("le disque est plein");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("le quota de disque est atteint");
#endif
    case EROFS:
        return QStringLiteral("le disque est en lecture seule");
    case EACCES:
    case EPERM:
        return QStringLiteral("droits insuffisants");
    case EIO:
        return QStringLiteral("erreur d'entrée-sortie du disque");
    case EFBIG:
        return QStringLiteral("fichier trop grand pour ce disque");
    default:
        return QString::fromLocal8Bit(std::strerror(e));
    }
}

#ifdef ZARVO_POSIX

namespace {

Genre genreDe(mode_t m)
{
    if (S_ISREG(m))
        return Genre::Ordinaire;
    if (S_ISDIR(m))
        return Genre::Dossier;
    if (S_ISFIFO(m))
        return Genre::Tube;
    if (S_ISCHR(m) || S_ISBLK(m))
        return Genre::Peripherique;
    if (S_ISSOCK(m))
        return Genre::Prise;
    return Genre::Autre;
}

QString nomProprietaire(std::uint32_t uid)
{
    const passwd *p = ::getpwuid(uid_t(uid));
    return p ? QString::fromLocal8Bit(p->pw_name) : QString::number(uid);
}

QString nomGroupe(std::uint32_t gid)
{
    const group *g = ::getgrgid(gid_t(gid));
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(gid);
}

Identite identiteDe(const struct stat &s)
{
    return { std::uint64_t(s.st_dev), std::uint64_t(s.st_ino), true };
}

} // namespace

Genre genre(const QString &chemin)
{
    const QByteArray c = QFile::encodeName(chemin);
    struct stat s
    { };
    if (::stat(c.constData(), &s) == 0)
        return genreDe(s.st_mode);
    return ::lstat(c.constData(), &s) == 0 && S_ISLNK(s.st_mode) ? Genre::LienCasse : Genre::Absent;
}

std::optional<std::pair<Identite, Attributs>> etat(const QString &chemin)
{
    struct stat s
    { };
    if (::stat(QFile::encodeName(chemin).constData(), &s) != 0)
        return std::nullopt;
    return std::pair { identiteDe(s),
        Attributs {
            std::uint32_t(s.st_uid), std::uint32_t(s.st_gid), std::uint32_t(s.st_mode & 07777) } };
}

Lecture lire(const QString &chemin, qint64 plafond)
{
    Lecture r;
    // O_NONBLOCK : ouvrir un tube nommé n'attend pas d'écrivain ; le genre est jugé sur le
    // fichier ouvert, pas sur un nom qui pourrait changer entre-temps.
    const int fd = ::open(
        QFile::encodeName(chemin).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int e = errno;
        r.genre = genre(chemin);
        // Un dossier interdit cache ce qu'il contient : c'est la lecture qui est refusée, pas
        // un fichier qui manque.
        if (r.genre == Genre::Ordinaire
            || (r.genre == Genre::Absent && e != ENOENT && e != ENOTDIR)) {
            r.genre = Genre::Ordinaire;
            errno = e;
            r.erreur = raisonDerniereErreur();
        }
        return r;
    }
    struct stat s
    { };
    if (::fstat(fd, &s) != 0 || (r.genre = genreDe(s.st_mode)) != Genre::Ordinaire) {
        r.erreur = raisonDerniereErreur();
        ::close(fd);
        return r;
    }
    r.identite = identiteDe(s);
    // La taille annoncée plus un octet, qui montre la fin du fichier : le tampon est alloué
    // une fois, sans agrandissement ni recopie.
    const qint64 annonce = std::clamp<qint64>(s.st_size, 0, plafond) + 1;
    r.octets.reserve(qsizetype(annonce));
    constexpr qint64 morceau = 1 << 20;
    for (;;) {
        const qsizetype deja = r.octets.size();
        // Jamais au-delà du plafond + 1 : un fichier qui grandit ou un /proc qui annonce 0
        // octet ne fait pas lire sans fin.
        const qint64 n = std::min(deja < annonce ? annonce - deja : morceau, plafond + 1 - deja);
        if (n <= 0) {
            r.tropGros = true;
            r.octets.clear();
            break;
        }
        r.octets.resize(deja + n);
        const ssize_t lu = ::read(fd, r.octets.data() + deja, std::size_t(n));
        if (lu < 0 && errno == EINTR) {
            r.octets.resize(deja);
            continue;
        }
        if (lu <= 0) {
            r.octets.resize(deja);
            if (lu < 0) {
                r.erreur = raisonDerniereErreur();
                r.octets.clear();
            }
            break;
        }
        r.octets.resize(deja + lu);
    }
    ::close(fd);
    return r;
}

QString rendreAttributs(int descripteur, const Attributs &a)
{
    struct stat s
    { };
    if (::fstat(descripteur, &s) != 0)
        return QStringLiteral("propriétaire et droits inconnus (%1)").arg(raisonDerniereErreur());
    QStringList manque;
    if ((s.st_uid != a.proprietaire || s.st_gid != a.groupe)
        && ::fchown(descripteur, a.proprietaire, a.groupe) != 0) {
        const QString raison = raisonDerniereErreur();
        // Le groupe seul peut encore être rendu (membre du groupe sans être propriétaire).
        const bool groupeRendu
            = s.st_gid == a.groupe || ::fchown(descripteur, uid_t(-1), a.groupe) == 0;
        if (s.st_uid != a.proprietaire)
            manque << QStringLiteral("le propriétaire %1 (%2)")
                          .arg(nomProprietaire(a.proprietaire), raison);
        if (!groupeRendu)
            manque << QStringLiteral("le groupe %1 (%2)").arg(nomGroupe(a.groupe), raison);
    }
    if (::fchmod(descripteur, mode_t(a.droits)) != 0)
        manque << QStringLiteral("les droits %1 (%2)")
                      .arg(a.droits, 4, 8, QLatin1Char('0'))
                      .arg(raisonDerniereErreur());
    return manque.join(QStringLiteral(", "));
}

#else // Forme portable : Qt seul, sans identité ni propriétaire.

Genre genre(const QString &chemin)
{
    const QFileInfo i(chemin);
    if (i.isSymLink() && !i.exists())
        return Genre::LienCasse;
    if (!i.exists())
        return Genre::Absent;
    return i.isDir() ? Genre::Dossier : i.isFile() ? Genre::Ordinaire : Genre::Autre;
}

std::optional<std::pair<Identite, Attributs>> etat(const QString &chemin)
{
    const QFileInfo i(chemin);
    if (!i.exists())
        return std::nullopt;
    return std::pair { Identite {}, Attributs { 0, 0, std::uint32_t(i.permissions()) } };
}

Lecture lire(const QString &chemin, qint64 plafond)
{
    Lecture r;
    r.genre = genre(chemin);
    if (r.genre != Genre::Ordinaire)
        return r;
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) {
        r.erreur = f.errorString();
        return r;
    }
    r.octets = f.read(plafond + 1);
    r.tropGros = r.octets.size() > plafond;
    if (r.tropGros)
        r.octets.clear();
    return r;
}

QString rendreAttributs(int, const Attributs &)
{
    return {};
}

#endif

} // namespace zarvo::systeme
