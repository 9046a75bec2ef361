#include "model/tri.h"
#include "reference/tri_selection.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <random>

using namespace zarvo;

namespace {

Cellule caseAuHasard(std::mt19937 &g)
{
    static const QStringList textes { QStringLiteral("Dupont"), QStringLiteral("dupont"),
        QStringLiteral("Éric"), QStringLiteral("Zola"), QStringLiteral("zola"),
        QStringLiteral("Ébène"), QStringLiteral("a"), QStringLiteral("75"),
        QStringLiteral("Ângelo"), QStringLiteral("Martin") };
    switch (std::uniform_int_distribution<int>(0, 5)(g)) {
    case 0:
        return Cellule();
    case 1:
    case 2:
        return Cellule::nombre(std::uniform_int_distribution<int>(-3, 6)(g) * 0.5);
    default:
        return Cellule::texte(
            textes[std::uniform_int_distribution<int>(0, int(textes.size()) - 1)(g)]);
    }
}

Tableau tableauAuHasard(std::mt19937 &g, int l0, int l1, int c0, int c1)
{
    Tableau t(l0, l1, c0, c1);
    int marque = 0;
    for (int l = l0; l <= l1; ++l)
        for (int c = c0; c <= c1; ++c)
            t(l, c) = (c == c0) ? Cellule::nombre(++marque) : caseAuHasard(g);
    return t;
}

Tableau exemple(std::initializer_list<std::pair<double, const char16_t *>> lignes)
{
    Tableau t(1, int(lignes.size()), 0, 2);
    int l = 1;
    for (const auto &[cle, nom] : lignes) {
        t(l, 0) = Cellule::nombre(l);
        t(l, 1) = Cellule::nombre(cle);
        t(l, 2) = Cellule::texte(QString::fromUtf16(nom));
        ++l;
    }
    return t;
}

} // namespace

TEST(TriTableau, IdentiqueAuTriParSelectionSurDixMilleTableaux)
{
    std::mt19937 g(20261206);
    for (int essai = 0; essai < 10000; ++essai) {
        const int l0 = std::uniform_int_distribution<int>(0, 3)(g);
        const int l1 = l0 + std::uniform_int_distribution<int>(0, 25)(g);
        const int c0 = std::uniform_int_distribution<int>(0, 2)(g);
        const int c1 = c0 + std::uniform_int_distribution<int>(1, 5)(g);
        Tableau t = tableauAuHasard(g, l0, l1, c0, c1);
        // sous-plages au hasard, clé dans la plage des colonnes ou non
        const int a = std::uniform_int_distribution<int>(l0, l1)(g);
        const int b = std::uniform_int_distribution<int>(a, l1)(g);
        const int ca = std::uniform_int_distribution<int>(c0, c1)(g);
        const int cb = std::uniform_int_distribution<int>(ca, c1)(g);
        const int cle = std::uniform_int_distribution<int>(c0, c1)(g);
        const int sens = std::uniform_int_distribution<int>(0, 2)(g) == 0 ? 0 : -1;
        Tableau attendu = t;
        reference::triSelection(attendu, cle, a, b, ca, cb, sens);
        TriTableau(t, cle, a, b, ca, cb, sens);
        ASSERT_EQ(t, attendu) << "essai " << essai << " clé " << cle << " lignes " << a << ".." << b
                              << " colonnes " << ca << ".." << cb << " sens " << sens;
    }
}

TEST(TriTableau, CroissantInverseLesEgauxDecroissantLesGarde)
{
    Tableau t = exemple({ { 5, u"a" }, { 3, u"b" }, { 5, u"c" }, { 3, u"d" } });
    TriTableau(t, 1, 1, 4, 0, 2, -1);
    EXPECT_EQ(t(1, 2).valeurTexte(), QStringLiteral("d"));
    EXPECT_EQ(t(2, 2).valeurTexte(), QStringLiteral("b"));
    EXPECT_EQ(t(3, 2).valeurTexte(), QStringLiteral("c"));
    EXPECT_EQ(t(4, 2).valeurTexte(), QStringLiteral("a"));

    Tableau u = exemple({ { 5, u"a" }, { 3, u"b" }, { 5, u"c" }, { 3, u"d" } });
    TriTableau(u, 1, 1, 4, 0, 2, 0);
    EXPECT_EQ(u(1, 2).valeurTexte(), QStringLiteral("a"));
    EXPECT_EQ(u(2, 2).valeurTexte(), QStringLiteral("c"));
    EXPECT_EQ(u(3, 2).valeurTexte(), QStringLiteral("b"));
    EXPECT_EQ(u(4, 2).valeurTexte(), QStringLiteral("d"));
}

TEST(TriTableau, ColonneHorsPlageResteEnPlace)
{
    Tableau t(1, 3, 0, 7);
    for (int l = 1; l <= 3; ++l) {
        t(l, 5) = Cellule::texte(QString(QChar(u'D' - l))); // C, B, A
        t(l, 7) = Cellule::nombre(l * 10);
    }
    TriTableau(t, 5, 1, 3, 0, 6, -1);
    EXPECT_EQ(t(1, 5).valeurTexte(), QStringLiteral("A"));
    for (int l = 1; l <= 3; ++l)
        EXPECT_EQ(t(l, 7).valeurNombre(), l * 10);
}

TEST(TriTableau, OrdreDesCles)
{
    // nombres par valeur, vide = 0 face aux nombres, puis textes par code (É après z)
    Tableau t(1, 7, 0, 0);
    t(1, 0) = Cellule::texte(QStringLiteral("Éric"));
    t(2, 0) = Cellule::texte(QStringLiteral("zoe"));
    t(3, 0) = Cellule::nombre(1);
    t(4, 0) = Cellule();
    t(5, 0) = Cellule::texte(QStringLiteral("Zoe"));
    t(6, 0) = Cellule::nombre(-2);
    t(7, 0) = Cellule::texte(QStringLiteral("1"));
    TriTableau(t, 0, 1, 7, 0, 0, -1);
    EXPECT_EQ(t(1, 0), Cellule::nombre(-2));
    EXPECT_EQ(t(2, 0), Cellule());
    EXPECT_EQ(t(3, 0), Cellule::nombre(1));
    EXPECT_EQ(t(4, 0), Cellule::texte(QStringLiteral("1")));
    EXPECT_EQ(t(5, 0), Cellule::texte(QStringLiteral("Zoe")));
    EXPECT_EQ(t(6, 0), Cellule::texte(QStringLiteral("zoe")));
    EXPECT_EQ(t(7, 0), Cellule::texte(QStringLiteral("Éric")));
}

TEST(TriTableau, IndiceHorsBornesEchoueSansRienToucher)
{
    Tableau t = exemple({ { 2, u"a" }, { 1, u"b" } });
    const Tableau avant = t;
    EXPECT_THROW(TriTableau(t, 1, 1, 3, 0, 2, -1), std::out_of_range);
    EXPECT_THROW(TriTableau(t, 9, 1, 2, 0, 2, -1), std::out_of_range);
    EXPECT_EQ(t, avant);
}
