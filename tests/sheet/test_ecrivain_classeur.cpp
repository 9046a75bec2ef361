#include "aide_ecriture.h"
#include "aide_gtest.h"
#include "sheet/erreur.h"
#include "sheet/valeur.h"
#include "sheet/xls/biff_ecriture.h"
#include "sheet/xls/ecrivain_classeur.h"
#include "sheet/xls/feuille_reecrite.h"
#include "sheet/xls/octets.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zarvo;
using namespace zarvo::sheet;
using namespace zarvo::sheet::xls;
using namespace aide_ecriture;
using namespace Qt::StringLiterals;

namespace {

/// Tout ce qu'on attend d'un flux réécrit, vérifié sans passer par verifierFlux.
void controlerFlux(const ClasseurBiff &origine, const QByteArray &flux, const Ecritures &ecr)
{
    const ClasseurBiff relu = ClasseurBiff::lire(flux);
    ASSERT_EQ(relu.feuilles().size(), origine.feuilles().size());
    for (std::size_t k = 0; k < origine.feuilles().size(); ++k) {
        const auto &f = origine.feuilles()[k];
        ASSERT_EQ(relu.feuilles()[k].nom, f.nom);
        const auto e = ecr.find(k);
        if (!f.estFeuilleDeCalcul())
            continue;
        const auto nouveau = valeursFeuille(relu, k);
        auto attendu = valeursFeuille(origine, k);
        for (const auto &[p, v] : e != ecr.end() ? e->second : EcrituresFeuille {}) {
            if (v.estVide())
                attendu.erase(p);
            else
                attendu[p] = v;
        }
        EXPECT_EQ(nouveau.size(), attendu.size()) << f.nom.toStdString();
        for (const auto &[p, v] : attendu) {
            const auto it = nouveau.find(p);
            EXPECT_TRUE(it != nouveau.end() && it->second == v)
                << f.nom.toStdString() << " " << p.first << "," << p.second;
        }
        if (e == ecr.end()) {
            EXPECT_TRUE(memesEnregistrements(origine, relu, k)) << f.nom.toStdString();
        } else {
            EXPECT_EQ(enregistrementPerdu(origine, relu, k, e->second), -1) << f.nom.toStdString();
        }
        // Les cases déjà là gardent leur format.
        const FeuilleBiff a = origine.lireFeuille(k), b = relu.lireFeuille(k);
        for (const Case &c : a.cases()) {
            for (int col = c.colonne; col <= c.derniere; ++col) {
                if (const Case *n = b.chercher(c.ligne, col)) {
                    EXPECT_EQ(b.xf(*n, col), a.xf(c, col))
                        << f.nom.toStdString() << " " << c.ligne << "," << col;
                }
            }
        }
    }
    controlerStructure(relu, ecr);
}

class AllerRetour : public ::testing::TestWithParam<QString>
{ };

TEST_P(AllerRetour, CasesAuHasardDansLesDeuxFeuilles)
{
    const ClasseurBiff o = ouvrir(GetParam());
    const Ecritures ecr = ecrituresAuHasard(o, 150, 20261206);
    ASSERT_EQ(ecr.size(), 2u);
    const QByteArray flux = reconstruireFlux(o, ecr);
    controlerFlux(o, flux, ecr);
    EXPECT_NO_THROW(verifierFlux(o, flux, ecr));
}

TEST_P(AllerRetour, SansEcritureLeFluxEstIdentique)
{
    const ClasseurBiff o = ouvrir(GetParam());
    EXPECT_EQ(reconstruireFlux(o, {}), o.flux());
}

TEST_P(AllerRetour, NombresSeulsGardentLaTableDesChaines)
{
    const ClasseurBiff o = ouvrir(GetParam());
    const int k = o.chercherFeuille(u"DYN_cyclist"_s);
    const Ecritures ecr { { std::size_t(k), { { { 5, 12 }, Cellule::nombre(71.5) } } } };
    const QByteArray flux = reconstruireFlux(o, ecr);
    controlerFlux(o, flux, ecr);
    const ClasseurBiff relu = ClasseurBiff::lire(flux);
    ASSERT_TRUE(relu.enregistrementsSst());
    const auto [p1, d1] = *o.enregistrementsSst();
    const auto [p2, d2] = *relu.enregistrementsSst();
    ASSERT_EQ(d1 - p1, d2 - p2);
    // Seul le nombre total de renvois (4 premiers octets) peut bouger.
    for (std::size_t i = 0; i <= d1 - p1; ++i) {
        QByteArray a = o.donnees(p1 + i), b = relu.donnees(p2 + i);
        if (i == 0) {
            a.remove(0, 4);
            b.remove(0, 4);
        }
        EXPECT_EQ(a, b) << "enregistrement " << i << " de la SST";
    }
}

INSTANTIATE_TEST_SUITE_P(Classeurs, AllerRetour, ::testing::ValuesIn(classeursDeTest()),
    [](const auto &info) { return nomTest(info.param); });

// --- Cas précis sur le classeur de base écrit par LibreOffice ------------------------------

// Les écritures au hasard couvrent les cases existantes, les suites, le vide et le bas de la
// feuille ; restent les bords qu'elles ne visent pas.
TEST(Precis, SeuleLaCaseChange)
{
    struct Cas
    {
        const char *nom;
        int ligne, colonne; // à partir de 0
        Cellule valeur;
    };
    const Cas tous[] = {
        { "premiereColonne", 2, 0, Cellule::nombre(-4) },
        { "derniereColonne", 2, 32, Cellule::texte(u"東京"_s) },
        { "horsPlageADroite", 5, 200, Cellule::nombre(1) },
        { "derniereCase", 65535, 255, Cellule::nombre(1e300) },
        { "texteLong", 7, 7, Cellule::texte(QString(20000, u'ж')) },
    };
    for (const QString &fichier : classeursDeTest()) {
        if (!fichier.contains(u"clairseme"_s) && !fichier.contains(u"base"_s))
            continue;
        const ClasseurBiff o = ouvrir(fichier);
        const int k = o.chercherFeuille(u"DYN_cyclist"_s);
        for (const Cas &c : tous) {
            SCOPED_TRACE(fichier.toStdString() + " " + c.nom);
            const Ecritures ecr { { std::size_t(k),
                { { { c.ligne, c.colonne }, valeurPosee(c.valeur) } } } };
            controlerFlux(o, reconstruireFlux(o, ecr), ecr);
        }
    }
}

TEST(Refus, AncreDeFormulePartagee)
{
    const ClasseurBiff o = ouvrir(source(u"tests/data/classeurs/base-libreoffice.xls"_s));
    // Formule partagée : l'ancre ne s'écrit pas tant que d'autres cases en dépendent.
    bool vue = false;
    for (std::size_t f = 0; f < o.feuilles().size() && !vue; ++f) {
        if (!o.feuilles()[f].estFeuilleDeCalcul())
            continue;
        const FeuilleBiff cases = o.lireFeuille(f);
        for (const Case &c : cases.cases()) {
            const auto &enr = o.enregistrements();
            if (enr[c.enregistrement].id != id::formula || c.enregistrement + 1 >= enr.size()
                || enr[c.enregistrement + 1].id != id::shrfmla)
                continue;
            vue = true;
            const EcrituresFeuille une { { { c.ligne, c.colonne }, Cellule::nombre(1) } };
            try {
                verifierEcriture(o, f, cases, c.ligne, c.colonne, Cellule::nombre(1), {});
                ADD_FAILURE() << "ancre de formule partagée écrite";
            } catch (const ErreurClasseur &e) {
                EXPECT_TRUE(e.detail().contains(u"formule partagée"_s)) << e.detail().toStdString();
            }
            EXPECT_THROW(reconstruireFlux(o, { { f, une } }), ErreurClasseur);
            // Une case qui y renvoie s'écrit, elle.
            const Case &suivante = *(cases.depuis(c.ligne + 1, c.colonne));
            EXPECT_NO_THROW(verifierEcriture(
                o, f, cases, suivante.ligne, suivante.colonne, Cellule::nombre(2), {}));
            const Ecritures membre { { f,
                { { { suivante.ligne, suivante.colonne }, Cellule::nombre(2) } } } };
            controlerFlux(o, reconstruireFlux(o, membre), membre);
            break;
        }
    }
    EXPECT_TRUE(vue) << "le classeur de base n'a plus de formule partagée";
}

// FORMULA sous les numéros d'Excel 3 et 4 : écrasée, elle emporte son résultat texte (STRING),
// comme une FORMULA ordinaire.
TEST(Formules, SousUnAncienNumeroEcraseesAvecLeurResultat)
{
    const ClasseurBiff o
        = ouvrir(source(u"tests/data/classeurs/formules-anciennes-gnumeric.xls"_s));
    const auto nbString = [](const ClasseurBiff &b) {
        return std::count_if(b.enregistrements().begin(), b.enregistrements().end(),
            [](const Enregistrement &e) { return e.id == id::string; });
    };
    ASSERT_GT(nbString(o), 0);
    Ecritures ecr;
    for (std::size_t k = 0; k < o.feuilles().size(); ++k) {
        if (!o.feuilles()[k].estFeuilleDeCalcul())
            continue;
        const FeuilleBiff cases = o.lireFeuille(k);
        for (const Case &c : cases.cases())
            if (o.enregistrements()[c.enregistrement].id == id::formula)
                ecr[k][{ c.ligne, c.colonne }] = Cellule::nombre(c.ligne);
    }
    ASSERT_GE(ecr.size(), 2u);
    const QByteArray flux = reconstruireFlux(o, ecr);
    controlerFlux(o, flux, ecr);
    EXPECT_EQ(nbString(ClasseurBiff::lire(flux)), 0);
}

TEST(Format, CaseCreeePrendLeFormatParDefautOuCeluiDeSaColonne)
{
    const ClasseurBiff o = ouvrir(source(u"tests/data/classeurs/clairseme-libreoffice.xls"_s));
    const int k = o.chercherFeuille(u"DYN_cyclist"_s);
    const std::uint16_t xf = formatNouvelleCase(o, std::size_t(k), 60000, 250);
    EXPECT_LT(xf, o.nbXf());
    const Ecritures ecr { { std::size_t(k), { { { 60000, 250 }, Cellule::nombre(3) } } } };
    const ClasseurBiff relu = ClasseurBiff::lire(reconstruireFlux(o, ecr));
    const FeuilleBiff f = relu.lireFeuille(std::size_t(k));
    const Case *c = f.chercher(60000, 250);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(f.xf(*c, 250), xf);
}

TEST(Recalcul, DemandeALOuverture)
{
    const ClasseurBiff o = ouvrir(source(u"tests/data/classeurs/mini-gnumeric.xls"_s));
    const int k = o.chercherFeuille(u"DYN_team"_s);
    const ClasseurBiff relu = ClasseurBiff::lire(
        reconstruireFlux(o, { { std::size_t(k), { { { 1, 1 }, Cellule::nombre(8) } } } }));
    int nb = 0;
    for (std::size_t i = relu.sousFlux()[0].premier; i <= relu.sousFlux()[0].dernier; ++i)
        if (relu.enregistrements()[i].id == id::recalcId) {
            ++nb;
            EXPECT_EQ(lire32(relu.donnees(i).constData() + 4), 0u);
        }
    EXPECT_EQ(nb, 1);
}

} // namespace
