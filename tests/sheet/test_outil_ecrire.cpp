#include "aide_ecriture.h"
#include "aide_gtest.h"
#include "outils/classeur/affectation.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace aide_ecriture;
using zarvo::outils::lireAffectation;

namespace {

struct CasAffectation
{
    const char *texte;
    bool valide;
    const char *adresse;
    Cellule valeur;
};

class Affectation : public ::testing::TestWithParam<CasAffectation>
{ };

TEST_P(Affectation, Lecture)
{
    const CasAffectation c = GetParam();
    const auto a = lireAffectation(QString::fromUtf8(c.texte));
    ASSERT_EQ(a.has_value(), c.valide) << c.texte;
    if (a) {
        EXPECT_EQ(a->adresse, QString::fromUtf8(c.adresse));
        EXPECT_EQ(a->valeur, c.valeur);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Textes, Affectation,
    ::testing::Values(CasAffectation { "M5=n:75", true, "M5", Cellule::nombre(75) },
                      CasAffectation { "A1=n:-1.5e3", true, "A1", Cellule::nombre(-1500) },
                      CasAffectation { "B2=t:Dupont", true, "B2", Cellule::texte(QStringLiteral("Dupont")) },
                      CasAffectation { "B2=t:75", true, "B2", Cellule::texte(QStringLiteral("75")) },
                      CasAffectation { "B2=75", true, "B2", Cellule::texte(QStringLiteral("75")) },
                      CasAffectation { "B2=a=b", true, "B2", Cellule::texte(QStringLiteral("a=b")) },
                      CasAffectation { "B2=t:Deux\\nlignes\\t\\\\", true, "B2", Cellule::texte(QStringLiteral("Deux\nlignes\t\\")) },
                      CasAffectation { "C3=v:", true, "C3", Cellule() },
                      CasAffectation { "C3=", true, "C3", Cellule() },
                      CasAffectation { "C3=v:x", false, "", Cellule() },
                      CasAffectation { "C3=n:", false, "", Cellule() },
                      CasAffectation { "C3=n:7,5", false, "", Cellule() },
                      CasAffectation { "C3=n: 7", false, "", Cellule() },
                      CasAffectation { "C3=n:inf", false, "", Cellule() },
                      CasAffectation { "C3=t:fin\\", false, "", Cellule() },
                      CasAffectation { "A1:B2=n:1", false, "", Cellule() },
                      CasAffectation { "IW1=n:1", false, "", Cellule() },
                      CasAffectation { "=n:1", false, "", Cellule() },
                      CasAffectation { "M5", false, "", Cellule() }));

struct Sortie
{
    int code;
    QString sortie, erreurs;
};

Sortie classeur(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(ZARVO_BINARY_DIR "/bin/classeur"), args);
    p.waitForFinished(60000);
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
             QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError()) };
}

TEST(OutilEcrire, EcritPuisRelit)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("base.xls"));
    ASSERT_TRUE(QFile::copy(source(QStringLiteral("tests/data/classeurs/mini-libreoffice.xls")), chemin));
    const Sortie e = classeur({ QStringLiteral("ecrire"), chemin, QStringLiteral("DYN_cyclist"),
                                QStringLiteral("B2=n:75"), QStringLiteral("C2=t:Dupont"), QStringLiteral("D2=v:"),
                                QStringLiteral("E2=12.5"), QStringLiteral("F2= 12"), QStringLiteral("Z900=t:Łódź") });
    ASSERT_EQ(e.code, 0) << e.erreurs.toStdString();
    const Sortie l = classeur({ QStringLiteral("lire"), QStringLiteral("--types"), chemin,
                                QStringLiteral("DYN_cyclist"), QStringLiteral("B2:F2") });
    EXPECT_EQ(l.sortie, QStringLiteral("n:75\tt:Dupont\tv:\tn:12.5\tt: 12\n"));
    EXPECT_EQ(classeur({ QStringLiteral("lire"), chemin, QStringLiteral("DYN_cyclist"), QStringLiteral("Z900") }).sortie,
              QStringLiteral("Łódź\n"));
}

TEST(OutilEcrire, SortieLaisseLOriginal)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("base.xls"));
    const QString autre = dossier.filePath(QStringLiteral("autre.xls"));
    ASSERT_TRUE(QFile::copy(source(QStringLiteral("tests/data/classeurs/mini-gnumeric.xls")), chemin));
    const QByteArray avant = lireFichier(chemin);
    const Sortie e = classeur({ QStringLiteral("ecrire"), QStringLiteral("--sortie"), autre, chemin,
                                QStringLiteral("DYN_team"), QStringLiteral("A2=n:61") });
    ASSERT_EQ(e.code, 0) << e.erreurs.toStdString();
    EXPECT_EQ(lireFichier(chemin), avant);
    EXPECT_EQ(classeur({ QStringLiteral("lire"), QStringLiteral("--types"), autre, QStringLiteral("DYN_team"), QStringLiteral("A2") }).sortie,
              QStringLiteral("n:61\n"));
}

struct CasErreur
{
    const char *nom;
    QStringList args; // FICHIER remplacé par le classeur copié
    int code;
};

class OutilErreurs : public ::testing::TestWithParam<CasErreur>
{ };

TEST_P(OutilErreurs, CodeEtMessageSansToucherAuFichier)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("base.xls"));
    ASSERT_TRUE(QFile::copy(source(QStringLiteral("tests/data/classeurs/mini-libreoffice.xls")), chemin));
    const QByteArray avant = lireFichier(chemin);
    QStringList args { QStringLiteral("ecrire") };
    for (const QString &a : GetParam().args)
        args << (a == QStringLiteral("FICHIER") ? chemin : a);
    const Sortie s = classeur(args);
    EXPECT_EQ(s.code, GetParam().code) << s.erreurs.toStdString();
    EXPECT_FALSE(s.erreurs.isEmpty());
    EXPECT_EQ(lireFichier(chemin), avant);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, OutilErreurs,
    ::testing::Values(
        CasErreur { "SansEcriture", { QStringLiteral("FICHIER"), QStringLiteral("DYN_team") }, 2 },
        CasErreur { "EcritureInvalide", { QStringLiteral("FICHIER"), QStringLiteral("DYN_team"), QStringLiteral("A1=n:x") }, 2 },
        CasErreur { "FeuilleAbsente", { QStringLiteral("FICHIER"), QStringLiteral("Nulle"), QStringLiteral("A1=n:1") }, 1 },
        CasErreur { "TexteTropLong", { QStringLiteral("FICHIER"), QStringLiteral("DYN_team"), QStringLiteral("A1=t:") + QString(32768, u'a') }, 1 }),
    [](const auto &info) { return std::string(info.param.nom); });

} // namespace
