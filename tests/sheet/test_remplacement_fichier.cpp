#include "aide_gtest.h"
#include "appareil_defaillant.h"
#include "sheet/erreur.h"
#include "sheet/xls/remplacement_fichier.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zarvo::sheet;
using namespace zarvo::sheet::xls;

namespace {

QByteArray contenu(int n, char graine)
{
    QByteArray b(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        b[i] = char(graine + i * 7);
    return b;
}

QByteArray lire(const QString &chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void deposer(const QString &chemin, const QByteArray &octets)
{
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(octets), octets.size());
}

QStringList contenuDossier(const QString &dossier)
{
    return QDir(dossier).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(RemplacementFichier, RemplaceEtGardeLesPermissions)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("base équipe.xls"));
    deposer(chemin, contenu(5000, 'a'));
    ASSERT_EQ(::chmod(QFile::encodeName(chemin).constData(), 0640), 0);
    const QByteArray neuf = contenu(300000, 'z');
    remplacerFichier(chemin, neuf);
    EXPECT_EQ(lire(chemin), neuf);
    struct stat st
    { };
    ASSERT_EQ(::stat(QFile::encodeName(chemin).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(contenuDossier(dossier.path()), QStringList { QStringLiteral("base équipe.xls") });
}

class EchecEnCours : public ::testing::TestWithParam<qint64>
{ };

TEST_P(EchecEnCours, OriginalIntactEtTemporaireSupprime)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("classeur.xls"));
    const QByteArray origine = contenu(70000, 'o');
    deposer(chemin, origine);
    const qint64 limite = GetParam();
    try {
        remplacerFichier(chemin, contenu(200000, 'n'),
            [limite](QIODevice &f) { return std::make_unique<AppareilDefaillant>(f, limite); });
        FAIL() << "l'échec d'écriture n'a pas été signalé";
    } catch (const ErreurClasseur &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("« classeur.xls »")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("n'a pas été modifié")))
            << e.message().toStdString();
    }
    EXPECT_EQ(lire(chemin), origine);
    EXPECT_EQ(contenuDossier(dossier.path()), QStringList { QStringLiteral("classeur.xls") });
}

INSTANTIATE_TEST_SUITE_P(
    Limites, EchecEnCours, ::testing::Values(0, 1, 65535, 65536, 65537, 199999));

TEST(RemplacementFichier, FichierDisparuRefuse)
{
    QTemporaryDir dossier;
    EXPECT_THROW(
        remplacerFichier(dossier.filePath(QStringLiteral("absent.xls")), "x"), ErreurClasseur);
    EXPECT_TRUE(contenuDossier(dossier.path()).isEmpty());
}

/**
 * Dossier où l'on ne peut pas écrire. Sous root les droits ne bloquent rien : l'essai se fait
 * alors dans un processus fils qui a pris l'identité de « nobody ».
 */
TEST(RemplacementFichier, DossierEnLectureSeule)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("classeur.xls"));
    const QByteArray origine = contenu(9000, 'r');
    deposer(chemin, origine);
    const QByteArray d = QFile::encodeName(dossier.path());
    const QByteArray f = QFile::encodeName(chemin);
    constexpr uid_t personne = 65534;
    const bool root = ::geteuid() == 0;
    if (root) {
        // Le fichier lui-même reste modifiable : seul le dossier refuse le temporaire.
        ASSERT_EQ(::chown(f.constData(), personne, personne), 0);
        ASSERT_EQ(::chmod(d.constData(), 0755), 0);
    } else {
        ASSERT_EQ(::chmod(d.constData(), 0555), 0);
    }
    const auto essayer = [&]() -> int {
        try {
            remplacerFichier(chemin, contenu(20000, 'w'));
            return 1;
        } catch (const ErreurClasseur &e) {
            return e.message().contains(QStringLiteral("fichier temporaire")) ? 0 : 2;
        }
    };
    int issue = -1;
    if (root) {
        const pid_t fils = ::fork();
        ASSERT_GE(fils, 0);
        if (fils == 0) {
            if (::setgid(personne) != 0 || ::setuid(personne) != 0)
                ::_exit(3);
            ::_exit(essayer());
        }
        int statut = 0;
        ASSERT_EQ(::waitpid(fils, &statut, 0), fils);
        ASSERT_TRUE(WIFEXITED(statut));
        issue = WEXITSTATUS(statut);
    } else {
        issue = essayer();
        ::chmod(d.constData(), 0755);
    }
    EXPECT_EQ(issue, 0) << "1 : enregistrement accepté, 2 : mauvais message, 3 : setuid";
    EXPECT_EQ(lire(chemin), origine);
    EXPECT_EQ(contenuDossier(dossier.path()), QStringList { QStringLiteral("classeur.xls") });
}

} // namespace
