#include "aide_ecriture.h"
#include "aide_gtest.h"
#include "outils/classeur/affectation.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace aide_ecriture;
using namespace Qt::StringLiterals;
using zarvo::outils::lireAffectation;

// L'outil classeur : ses affectations, l'écriture relue, ses codes de sortie. La lecture
// (feuilles, lire --types) est jugée sur tous les classeurs du dépôt par test_classeurs.py.

namespace {

TEST(Affectation, Lecture)
{
    struct Cas
    {
        const char *texte;
        const char *adresse; // nullptr : refusée
        Cellule valeur;
    };
    const Cas tous[] = {
        { "M5=n:75", "M5", Cellule::nombre(75) },
        { "A1=n:-1.5e3", "A1", Cellule::nombre(-1500) },
        { "B2=t:Dupont", "B2", Cellule::texte(u"Dupont"_s) },
        { "B2=t:75", "B2", Cellule::texte(u"75"_s) },
        { "B2=75", "B2", Cellule::texte(u"75"_s) },
        { "B2=a=b", "B2", Cellule::texte(u"a=b"_s) },
        { "B2=t:Deux\\nlignes\\t\\\\", "B2", Cellule::texte(u"Deux\nlignes\t\\"_s) },
        { "C3=v:", "C3", Cellule() },
        { "C3=", "C3", Cellule() },
        { "C3=v:x", nullptr, {} },
        { "C3=n:", nullptr, {} },
        { "C3=n:7,5", nullptr, {} },
        { "C3=n: 7", nullptr, {} },
        { "C3=n:inf", nullptr, {} },
        { "C3=t:fin\\", nullptr, {} },
        { "A1:B2=n:1", nullptr, {} },
        { "IW1=n:1", nullptr, {} },
        { "=n:1", nullptr, {} },
        { "M5", nullptr, {} },
    };
    for (const Cas &c : tous) {
        SCOPED_TRACE(c.texte);
        const auto a = lireAffectation(QString::fromUtf8(c.texte));
        ASSERT_EQ(a.has_value(), c.adresse != nullptr);
        if (a) {
            EXPECT_EQ(a->adresse, QString::fromUtf8(c.adresse));
            EXPECT_EQ(a->valeur, c.valeur);
        }
    }
}

aide::Sortie classeur(const QStringList &args)
{
    return aide::lancer(QStringLiteral(ZARVO_BINARY_DIR "/bin/classeur"), args);
}

TEST(OutilEcrire, EcritPuisRelitEtSortieLaisseLOriginal)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(u"base.xls"_s);
    const QString autre = dossier.filePath(u"autre.xls"_s);
    ASSERT_TRUE(QFile::copy(source(u"tests/data/classeurs/mini-libreoffice.xls"_s), chemin));
    const auto e = classeur({ u"ecrire"_s, chemin, u"DYN_cyclist"_s, u"B2=n:75"_s, u"C2=t:Dupont"_s,
        u"D2=v:"_s, u"E2=12.5"_s, u"F2= 12"_s, u"Z900=t:Łódź"_s });
    ASSERT_EQ(e.code, 0) << e.erreurs.toStdString();
    EXPECT_EQ(classeur({ u"lire"_s, u"--types"_s, chemin, u"DYN_cyclist"_s, u"B2:F2"_s }).sortie,
        "n:75\tt:Dupont\tv:\tn:12.5\tt: 12\n");
    EXPECT_EQ(
        classeur({ u"lire"_s, chemin, u"DYN_cyclist"_s, u"Z900"_s }).sortie, u"Łódź\n"_s.toUtf8());

    const QByteArray avant = lireFichier(chemin);
    const auto s
        = classeur({ u"ecrire"_s, u"--sortie"_s, autre, chemin, u"DYN_team"_s, u"A2=n:61"_s });
    ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
    EXPECT_EQ(lireFichier(chemin), avant);
    EXPECT_EQ(
        classeur({ u"lire"_s, u"--types"_s, autre, u"DYN_team"_s, u"A2"_s }).sortie, "n:61\n");
}

TEST(OutilEcrire, CodeEtMessageSansToucherAuFichier)
{
    // FICHIER : une copie d'un classeur ; TEXTE : un fichier qui n'en est pas un.
    const std::tuple<const char *, QStringList, int> tous[] = {
        { "sansEcriture", { u"ecrire"_s, u"FICHIER"_s, u"DYN_team"_s }, 2 },
        { "ecritureInvalide", { u"ecrire"_s, u"FICHIER"_s, u"DYN_team"_s, u"A1=n:x"_s }, 2 },
        { "plageInvalide", { u"lire"_s, u"FICHIER"_s, u"DYN_team"_s, u"A0"_s }, 2 },
        { "feuilleAbsente", { u"ecrire"_s, u"FICHIER"_s, u"Nulle"_s, u"A1=n:1"_s }, 1 },
        { "pasUnClasseur", { u"feuilles"_s, u"TEXTE"_s }, 1 },
        // Un enregistrement sous un autre nom refusé ne laisse aucun fichier derrière lui.
        { "sortieRefusee",
            { u"ecrire"_s, u"--sortie"_s, u"AUTRE"_s, u"FICHIER"_s, u"Nulle"_s, u"A1=n:1"_s }, 1 },
    };
    for (const auto &[nom, modele, code] : tous) {
        SCOPED_TRACE(nom);
        QTemporaryDir dossier;
        const QString chemin = dossier.filePath(u"base.xls"_s);
        const QString texte = dossier.filePath(u"texte.xls"_s);
        ASSERT_TRUE(QFile::copy(source(u"tests/data/classeurs/mini-libreoffice.xls"_s), chemin));
        ASSERT_TRUE(aide::ecrireFichier(texte, "id;nom\n"));
        const QByteArray avant = lireFichier(chemin);
        QStringList args = modele;
        args.replaceInStrings(u"FICHIER"_s, chemin);
        args.replaceInStrings(u"TEXTE"_s, texte);
        args.replaceInStrings(u"AUTRE"_s, dossier.filePath(u"autre.xls"_s));
        const auto s = classeur(args);
        EXPECT_EQ(s.code, code) << s.erreurs.toStdString();
        EXPECT_FALSE(s.erreurs.isEmpty());
        EXPECT_EQ(lireFichier(chemin), avant);
        EXPECT_EQ(
            essai::contenuDossier(dossier.path()), QStringList({ u"base.xls"_s, u"texte.xls"_s }));
    }
}

/**
 * Refus de l'outil, sans fichier laissé : le classeur remplacé par un autre programme entre
 * l'ouverture et l'enregistrement (la liste d'écritures est un tube : quand on peut l'ouvrir
 * pour y écrire, l'outil a déjà lu le classeur) ; --sortie sur un disque plein (un tmpfs de
 * 64 Kio monté dans un espace de montage à part, root seulement).
 */
TEST(OutilEcrire, RemplaceOuDisquePleinRefusAvecLaRaison)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(u"base.xls"_s), liste = dossier.filePath(u"liste"_s);
    ASSERT_TRUE(QFile::copy(source(u"tests/data/classeurs/mini-libreoffice.xls"_s), chemin));
    ASSERT_EQ(::mkfifo(QFile::encodeName(liste).constData(), 0600), 0);
    QProcess outil;
    outil.start(QStringLiteral(ZARVO_BINARY_DIR "/bin/classeur"),
        { u"ecrire"_s, chemin, u"DYN_team"_s, u"@"_s + liste });
    int fd = -1;
    for (int k = 0; k < 6000 && fd < 0 && outil.state() != QProcess::NotRunning; ++k)
        if ((fd = ::open(QFile::encodeName(liste).constData(), O_WRONLY | O_NONBLOCK)) < 0)
            QThread::msleep(10);
    ASSERT_GE(fd, 0) << outil.readAllStandardError().toStdString();
    const QByteArray autre = lireFichier(source(u"tests/data/classeurs/mini-gnumeric.xls"_s));
    ASSERT_TRUE(aide::ecrireFichier(chemin + u".tmp"_s, autre));
    ASSERT_TRUE(QFile::remove(chemin) && QFile::rename(chemin + u".tmp"_s, chemin));
    ASSERT_EQ(::write(fd, "A2=n:61\n", 8), 8);
    ::close(fd);
    ASSERT_TRUE(outil.waitForFinished(120000));
    EXPECT_EQ(outil.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(outil.readAllStandardError())
                    .contains(u"Impossible d'enregistrer « base.xls » : un autre programme l'a "
                              "modifié ou remplacé depuis son ouverture"_s));
    EXPECT_EQ(lireFichier(chemin), autre);

    if (::geteuid() != 0)
        GTEST_SKIP() << "monter un tmpfs demande root";
    const auto s = aide::lancer(u"unshare"_s,
        { u"-m"_s, u"sh"_s, u"-c"_s,
            u"mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 9; \"$2\" ecrire --sortie "
            "\"$1/sortie.xls\" \"$3\" DYN_team A2=n:61; code=$?; ls -A \"$1\"; exit $code"_s,
            u"sh"_s, dossier.path(), QStringLiteral(ZARVO_BINARY_DIR "/bin/classeur"),
            source(u"tests/data/classeurs/base-libreoffice.xls"_s) });
    if (s.code == 9)
        GTEST_SKIP() << "tmpfs impossible à monter ici : " << s.erreurs.toStdString();
    EXPECT_EQ(s.code, 1) << s.erreurs.toStdString();
    EXPECT_TRUE(s.erreurs.contains("(le disque est plein)")) << s.erreurs.toStdString();
    EXPECT_EQ(s.sortie, QByteArray()) << "fichiers laissés sur le disque plein";
}

} // namespace
