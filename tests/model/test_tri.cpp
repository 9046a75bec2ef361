#include "model/tri.h"
#include "reference/tri_selection.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <random>

using namespace zarvo;
using namespace Qt::StringLiterals;

namespace {

Cellule caseAuHasard(std::mt19937 &g)
{
    static const QStringList textes { u"Dupont"_s, u"dupont"_s, u"Éric"_s, u"Zola"_s, u"zola"_s,
        u"Ébène"_s, u"a"_s, u"75"_s, u"Ângelo"_s, u"Martin"_s };
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

TEST(TriTableau, OrdreDesCles)
{
    // nombres par valeur, vide = 0 face aux nombres, puis textes par code (É après z)
    const Cellule ordre[]
        = { Cellule::nombre(-2), Cellule(), Cellule::nombre(1), Cellule::texte(u"1"_s),
              Cellule::texte(u"Zoe"_s), Cellule::texte(u"zoe"_s), Cellule::texte(u"Éric"_s) };
    const int melange[] = { 6, 5, 2, 1, 4, 0, 3 };
    Tableau t(1, 7, 0, 0);
    for (int l = 1; l <= 7; ++l)
        t(l, 0) = ordre[melange[l - 1]];
    TriTableau(t, 0, 1, 7, 0, 0, -1);
    for (int l = 1; l <= 7; ++l)
        EXPECT_EQ(t(l, 0), ordre[l - 1]) << l;
}
