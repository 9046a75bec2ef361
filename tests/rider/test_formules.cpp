#include "rider/formules.h"

#include "aide_gtest.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;

namespace {
const QLocale fr(QLocale::French, QLocale::France);
}

TEST(Formules, NotesChargementEtPanneau)
{
    struct Cas
    {
        double mo, val, charge5050, charge8020, panneau5050, panneau8020;
    };
    const Cas cas[] = {
        { 75, 70, 72, 74, 72, 74 }, // 72.5 va au pair 72
        { 71, 71, 70, 71, 71, 71 }, // 35.5 + 35 = 70.5 au chargement, 71 au panneau
        { 70, 74, 72, 70, 72, 71 }, // 56 + floor(14.8) = 70 au chargement, 70.8 au panneau
        { 73, 70, 72, 72, 72, 72 }, // 71.5 va à 72
        { 74.9, 70, 72, 74, 72, 73 }, // 74.9 compte 74 au panneau
    };
    for (const Cas &c : cas) {
        EXPECT_EQ(noteChargement5050(c.mo, c.val), c.charge5050) << c.mo << "/" << c.val;
        EXPECT_EQ(noteChargement8020(c.mo, c.val), c.charge8020) << c.mo << "/" << c.val;
        EXPECT_EQ(notePanneau5050(c.mo, c.val), c.panneau5050) << c.mo << "/" << c.val;
        EXPECT_EQ(notePanneau8020(c.mo, c.val), c.panneau8020) << c.mo << "/" << c.val;
    }
}

TEST(Formules, MoyenneEtTranches)
{
    struct Cas
    {
        double end, mo, res, rec, clm, spr;
        const char *texte;
    };
    const Cas cas[] = {
        { 70, 80, 70, 70, 60, 50, "Moy : 71,11\rSalaire :21000 €" },
        { 75, 60, 72, 74, 70, 82, "Moy : 75,11\rSalaire :41000 €" }, // le profil sprint gagne
        { 90, 90, 90, 69, 60, 0, "Moy : 82\rSalaire :151000 €" }, // A = 369 exactement
        { 80, 80, 80, 62, 0, 0, "Moy : 67,11\rSalaire :8500 €" },
        { 60, 60, 60, 76, 0, 0, "Moy : 56,89\rSalaire :5000 €" },
        { 60, 60, 60, 72, -1.5, 0, "Moy : 55,78\rSalaire :15000 €" }, // floor(-1.5) = -2
        { 63, 63, 63, 63, 0, 0, "Moy : 56\rSalaire :15000 €" }, // 252 : 56 exactement
    };
    for (const Cas &c : cas)
        EXPECT_EQ(texteSalaire(moyenneCoureur(c.end, c.mo, c.res, c.rec, c.clm, c.spr), fr),
            QString::fromUtf8(c.texte));
    const std::pair<double, const char *> bornes[] = {
        { 82, "151000 €" },
        { 81.99, "81000 €" },
        { 76, "81000 €" },
        { 75.99, "41000 €" },
        { 72, "41000 €" },
        { 68, "21000 €" },
        { 65, "8500 €" },
        { 60, "7500 €" },
        { 59.9, "5000 €" },
        { 56.01, "5000 €" },
        { 56, "15000 €" },
        { -4, "15000 €" },
    };
    for (auto [m, t] : bornes)
        EXPECT_EQ(trancheSalaire(m), QString::fromUtf8(t)) << m;
}
