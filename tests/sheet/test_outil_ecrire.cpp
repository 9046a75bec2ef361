#include "aide_ecriture.h"
#include "aide_gtest.h"
#include "outils/classeur/affectation.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace aide_ecriture;
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
        { "B2=t:Dupont", "B2", Cellule::texte(QStringLiteral("Dupont")) },
        { "B2=t:75", "B2", Cellule::texte(QStringLiteral("75")) },
        { "B2=75", "B2", Cellule::texte(QStringLiteral("75")) },
        { "B2=a=b", "B2", Cellule::texte(QStringLiteral("a=b")) },
        { "B2=t:Deux\\nlignes\\t\\\\", "B2", Cellule::texte(QStringLiteral("Deux\nlignes\t\\")) },
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
    const QString chemin = dossier.filePath(QStringLiteral("base.xls"));
    const QString autre = dossier.filePath(QStringLiteral("autre.xls"));
    ASSERT_TRUE(
        QFile::copy(source(QStringLiteral("tests/data/classeurs/mini-libreoffice.xls")), chemin));
    const auto e = classeur({ QStringLiteral("ecrire"), chemin, QStringLiteral("DYN_cyclist"),
        QStringLiteral("B2=n:75"), QStringLiteral("C2=t:Dupont"), QStringLiteral("D2=v:"),
        QStringLiteral("E2=12.5"), QStringLiteral("F2= 12"), QStringLiteral("Z900=t:Łódź") });
    ASSERT_EQ(e.code, 0) << e.erreurs.toStdString();
    EXPECT_EQ(classeur({ QStringLiteral("lire"), QStringLiteral("--types"), chemin,
                           QStringLiteral("DYN_cyclist"), QStringLiteral("B2:F2") })
                  .sortie,
        "n:75\tt:Dupont\tv:\tn:12.5\tt: 12\n");
    EXPECT_EQ(classeur({ QStringLiteral("lire"), chemin, QStringLiteral("DYN_cyclist"),
                           QStringLiteral("Z900") })
                  .sortie,
        u"Łódź\n"_qs.toUtf8());

    const QByteArray avant = lireFichier(chemin);
    const auto s = classeur({ QStringLiteral("ecrire"), QStringLiteral("--sortie"), autre, chemin,
        QStringLiteral("DYN_team"), QStringLiteral("A2=n:61") });
    ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
    EXPECT_EQ(lireFichier(chemin), avant);
    EXPECT_EQ(classeur({ QStringLiteral("lire"), QStringLiteral("--types"), autre,
                           QStringLiteral("DYN_team"), QStringLiteral("A2") })
                  .sortie,
        "n:61\n");
}

TEST(OutilEcrire, CodeEtMessageSansToucherAuFichier)
{
    // FICHIER : une copie d'un classeur ; TEXTE : un fichier qui n'en est pas un.
    const std::tuple<const char *, QStringList, int> tous[] = {
        { "sansEcriture", { u"ecrire"_qs, u"FICHIER"_qs, u"DYN_team"_qs }, 2 },
        { "ecritureInvalide", { u"ecrire"_qs, u"FICHIER"_qs, u"DYN_team"_qs, u"A1=n:x"_qs }, 2 },
        { "plageInvalide", { u"lire"_qs, u"FICHIER"_qs, u"DYN_team"_qs, u"A0"_qs }, 2 },
        { "feuilleAbsente", { u"ecrire"_qs, u"FICHIER"_qs, u"Nulle"_qs, u"A1=n:1"_qs }, 1 },
        { "pasUnClasseur", { u"feuilles"_qs, u"TEXTE"_qs }, 1 },
    };
    for (const auto &[nom, modele, code] : tous) {
        SCOPED_TRACE(nom);
        QTemporaryDir dossier;
        const QString chemin = dossier.filePath(QStringLiteral("base.xls"));
        const QString texte = dossier.filePath(QStringLiteral("texte.xls"));
        ASSERT_TRUE(QFile::copy(
            source(QStringLiteral("tests/data/classeurs/mini-libreoffice.xls")), chemin));
        ASSERT_TRUE(aide::ecrireFichier(texte, "id;nom\n"));
        const QByteArray avant = lireFichier(chemin);
        QStringList args = modele;
        args.replaceInStrings(QStringLiteral("FICHIER"), chemin);
        args.replaceInStrings(QStringLiteral("TEXTE"), texte);
        const auto s = classeur(args);
        EXPECT_EQ(s.code, code) << s.erreurs.toStdString();
        EXPECT_FALSE(s.erreurs.isEmpty());
        EXPECT_EQ(lireFichier(chemin), avant);
    }
}

} // namespace
