#include "aide_gtest.h"
#include "sheet/adresse.h"
#include "sheet/aide_xls.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zarvo;
using namespace zarvo::sheet;

// Les valeurs lues des classeurs du dépôt sont jugées par tests/outils/test_classeurs.py (JSON
// attendus, xlrd) ; ici, la forme des blocs et les refus.

namespace {

QString messageDe(const std::function<void()> &f)
{
    try {
        f();
    } catch (const ErreurClasseur &e) {
        return e.message();
    }
    return QStringLiteral("(aucune erreur)");
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

TEST(ApplicationXls, fichierRefuseNommeLeFichierEtLaRaison)
{
    // Les fichiers de tests/data/refus ont été faits par de vrais tableurs.
    const auto refus = [](const char *nom) {
        return aide::lireFichier(aide::source(u"tests/data/refus/"_qs + QLatin1String(nom)));
    };
    const std::tuple<const char *, QByteArray, const char *> tous[] = {
        { "absent", {}, "fichier introuvable" },
        { "texte", "id;nom\n1;Dupont\n", "pas un classeur Excel 97-2003" },
        { "xlsx", refus("xlsx-renomme.xls"), ".xlsx" },
        { "excel95", refus("biff5-gnumeric.xls"), "antérieure à Excel 97" },
        { "biffSansConteneur", QByteArray("\x09\x04\x06\x00\x00\x00\x10\x00", 8),
            "antérieure à Excel 97" },
        { "motDePasse", refus("motdepasse-libreoffice.xls"), "mot de passe" },
    };
    for (const auto &[nom, contenu, raison] : tous) {
        SCOPED_TRACE(nom);
        QTemporaryDir dossier;
        const QString chemin = dossier.filePath(QStringLiteral("base été.xls"));
        if (!contenu.isEmpty()) {
            ASSERT_TRUE(aide::ecrireFichier(chemin, contenu));
        }
        auto app = creerApplicationXls();
        const QString m = messageDe([&] { app->ouvrir(chemin); });
        EXPECT_TRUE(m.startsWith(QStringLiteral("Impossible d'ouvrir « base été.xls » : ")))
            << m.toStdString();
        EXPECT_TRUE(m.contains(QString::fromUtf8(raison))) << m.toStdString();
        EXPECT_EQ(app->classeurActif(), nullptr);
    }
}

TEST(ApplicationXls, feuilleAbsenteEtEcritureRefuseesClairement)
{
    auto app = creerApplicationXls();
    Classeur &c = app->ouvrir(aide::source(QStringLiteral("fuzz/corpus/gn_mini.xls")));
    EXPECT_EQ(messageDe([&] { c.feuille(QStringLiteral("DYN_rider")); }),
        QStringLiteral("Le classeur « gn_mini.xls » n'a pas de feuille « DYN_rider »."));
    EXPECT_EQ(&c.feuille(QStringLiteral("dyn_team")), &c.feuille(QStringLiteral("DYN_team")));
    auto p = c.feuille(QStringLiteral("DYN_team")).plage(QStringLiteral("B2"));
    const Cellule avant = p->valeur();
    EXPECT_TRUE(messageDe([&] {
        p->ecrire(Cellule::texte(QString(32768, u'a')));
    }).contains(QStringLiteral("B2")));
    EXPECT_EQ(p->valeur(), avant);
    EXPECT_FALSE(c.estModifie());
    EXPECT_THROW(c.feuille(QStringLiteral("DYN_team"))
                     .plage(QStringLiteral("A1:B2"))
                     ->ecrire(Cellule::nombre(1)),
        ErreurClasseur);
    EXPECT_TRUE(messageDe([&] {
        c.feuille(QStringLiteral("DYN_team")).plage(QStringLiteral("A0"));
    }).contains(QStringLiteral("A0")));
}

TEST(ApplicationXls, quitterSansModificationNePosePasDeQuestion)
{
    auto app = creerApplicationXls();
    const QString chemin = aide::source(QStringLiteral("fuzz/corpus/lo_mini.xls"));
    Classeur &c = app->ouvrir(chemin);
    app->definirCalcul(calculManuel);
    EXPECT_EQ(app->classeurActif(), &c);
    EXPECT_TRUE(messageDe([&] { app->ouvrir(chemin); }).contains(QStringLiteral("déjà ouvert")));
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
