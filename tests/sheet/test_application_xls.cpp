#include "aide_gtest.h"
#include "outils/classeur/texte.h"
#include "sheet/adresse.h"
#include "sheet/aide_xls.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zarvo;
using namespace zarvo::sheet;

namespace {

QStringList classeursDeTest()
{
    return aide::classeurs(QStringLiteral("tests/data/classeurs"))
        + aide::classeurs(QStringLiteral("fuzz/corpus"));
}

QString messageDe(const std::function<void()> &f)
{
    try {
        f();
    } catch (const ErreurClasseur &e) {
        return e.message();
    }
    return QStringLiteral("(aucune erreur)");
}

// Chaque feuille de chaque classeur, lue par notre moteur et par xlrd (strict).
TEST(LecteursIndependants, xlrdLitLesMemesCases)
{
    const QStringList fichiers = classeursDeTest();
    ASSERT_GE(fichiers.size(), 4);
    const QString plage = QStringLiteral("A1:AH1000"); // une colonne et des lignes de marge
    for (const QString &f : fichiers) {
        auto app = creerApplicationXls();
        Classeur &c = app->ouvrir(f);
        ASSERT_GE(c.nomsFeuilles().size(), 2) << f.toStdString();
        for (const QString &nom : c.nomsFeuilles()) {
            const Tableau t = c.feuille(nom).plage(plage)->valeurs();
            QString nous;
            for (int l = 1; l <= t.nbLignes(); ++l) {
                for (int col = 1; col <= t.nbColonnes(); ++col)
                    nous += (col > 1 ? u"\t" : u"") + outils::texteCase(t(l, col), true);
                nous += u'\n';
            }
            const auto s = aide::lancer(aide::python,
                { aide::source(QStringLiteral("tests/sheet/lecture_xlrd.py")), f, nom, plage });
            ASSERT_EQ(s.code, 0) << f.toStdString() << " " << s.erreurs.toStdString();
            EXPECT_EQ(nous, QString::fromUtf8(s.sortie))
                << f.toStdString() << " / " << nom.toStdString();
        }
    }
}

TEST(ApplicationXls, blocIndexeAPartirDeUnEtEgalAuxCasesIsolees)
{
    auto app = creerApplicationXls();
    Classeur &c = app->ouvrir(aide::source(QStringLiteral("fuzz/corpus/lo_mini.xls")));
    Feuille &f = c.feuille(QStringLiteral("DYN_cyclist"));
    const Tableau t = f.plage(QStringLiteral("A1:AG973"))->valeurs();
    EXPECT_EQ(t.premiereLigne(), 1);
    EXPECT_EQ(t.premiereColonne(), 1);
    EXPECT_EQ(t.nbLignes(), 973);
    EXPECT_EQ(t.nbColonnes(), 33);
    int nonVides = 0;
    for (int l = 1; l <= 973; l += 1)
        for (int col = 1; col <= 33; ++col) {
            if (l > 4 && l < 970 && col > 2)
                continue; // le milieu vide : de quoi rester rapide
            EXPECT_EQ(t(l, col), f.plage(texteAdresse(l, col))->valeur()) << l << "," << col;
            nonVides += !t(l, col).estVide();
        }
    EXPECT_GT(nonVides, 33);
    // Un bloc décalé : sa ligne 1 est la première ligne demandée.
    const Tableau d = f.plage(QStringLiteral("B2:C3"))->valeurs();
    EXPECT_EQ(d(1, 1), t(2, 2));
    EXPECT_EQ(d(2, 2), t(3, 3));
}

struct CasRefus
{
    const char *nom;
    QByteArray contenu; // vide : fichier absent
    const char *message;
};

void PrintTo(const CasRefus &c, std::ostream *os)
{
    *os << c.nom;
}

class RefusFichier : public ::testing::TestWithParam<CasRefus>
{ };

TEST_P(RefusFichier, messageNommeLeFichierEtLaRaison)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("base été.xls"));
    if (!GetParam().contenu.isEmpty()) {
        ASSERT_TRUE(aide::ecrireFichier(chemin, GetParam().contenu));
    }
    auto app = creerApplicationXls();
    const QString m = messageDe([&] { app->ouvrir(chemin); });
    EXPECT_TRUE(m.startsWith(QStringLiteral("Impossible d'ouvrir « base été.xls » : ")))
        << m.toStdString();
    EXPECT_TRUE(m.contains(QString::fromUtf8(GetParam().message))) << m.toStdString();
    EXPECT_EQ(app->classeurActif(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Fichiers, RefusFichier,
    ::testing::Values(CasRefus { "absent", {}, "fichier introuvable" },
        CasRefus { "texte", "id;nom\n1;Dupont\n", "pas un classeur Excel 97-2003" },
        CasRefus {
            "xlsx", QByteArray("PK\x03\x04\x14\x00\x06\x00", 8) + QByteArray(600, 'z'), ".xlsx" },
        CasRefus { "tronque",
            aide::lireFichier(aide::source(QStringLiteral("fuzz/corpus/gn_mini.xls"))).left(2000),
            "fichier" }),
    [](const auto &info) { return std::string(info.param.nom); });

TEST(ApplicationXls, feuilleAbsenteEtEcritureRefuseesClairement)
{
    auto app = creerApplicationXls();
    Classeur &c = app->ouvrir(aide::source(QStringLiteral("fuzz/corpus/gn_mini.xls")));
    EXPECT_EQ(messageDe([&] { c.feuille(QStringLiteral("DYN_rider")); }),
        QStringLiteral("Le classeur « gn_mini.xls » n'a pas de feuille « DYN_rider »."));
    EXPECT_EQ(&c.feuille(QStringLiteral("dyn_team")), &c.feuille(QStringLiteral("DYN_team")));
    auto p = c.feuille(QStringLiteral("DYN_team")).plage(QStringLiteral("B2"));
    const Cellule avant = p->valeur();
    EXPECT_TRUE(messageDe([&] { p->ecrire(Cellule::nombre(3)); }).contains(QStringLiteral("B2")));
    EXPECT_EQ(p->valeur(), avant);
    EXPECT_FALSE(c.estModifie());
    EXPECT_TRUE(messageDe([&] {
        c.feuille(QStringLiteral("DYN_team")).plage(QStringLiteral("A0"));
    }).contains(QStringLiteral("A0")));
}

TEST(ApplicationXls, fermerSansModificationNePosePasDeQuestion)
{
    auto app = creerApplicationXls();
    Classeur &c = app->ouvrir(aide::source(QStringLiteral("fuzz/corpus/lo_mini.xls")));
    app->definirCalcul(calculManuel);
    EXPECT_EQ(app->classeurActif(), &c);
    EXPECT_TRUE(messageDe([&] {
        app->ouvrir(aide::source(QStringLiteral("fuzz/corpus/lo_mini.xls")));
    }).contains(QStringLiteral("déjà ouvert")));
    int questions = 0;
    const Fermeture f = app->quitter([&](const QString &) {
        ++questions;
        return Reponse::Annuler;
    });
    EXPECT_TRUE(f.fermee);
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(app->classeurActif(), nullptr);
}

} // namespace
