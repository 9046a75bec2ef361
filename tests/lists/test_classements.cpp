#include "aide_donnees.h"
#include "aide_gtest.h"
#include "lists/classements.h"
#include "rider/panneau.h"
#include "teams/equipes.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::Base;
using essai::fr;
using essai::legendes;
using essai::ligneDe;

namespace {

using Classement = ResultatListe (*)(Donnees &, const QLocale &);

struct Membre
{
    const char *nom;
    Classement clic;
    int colonne;
};
const Membre membres[] = {
    { "Best5050", Best5050_Click, 34 },
    { "Best8020", Best8020_Click, 35 },
    { "CLM", CLM_Click, 18 },
    { "Grimpeurs", Grimpeurs_Click, 12 },
    { "Sprinteurs", Sprinteurs_Click, 30 },
};

// Base de 120 coureurs aux notes variées, plus un meilleur par colonne ("Top" + colonne).
Base baseClassement()
{
    Base b;
    b.equipe(5, u"Cinq"_s, u"CIN"_s);
    for (int i = 0; i < 120; ++i)
        b.coureur(1000 + i, essai::nomNumerote(u"Coureur"_s, i), 5, 40 + (i * 7) % 30);
    for (const Membre &m : membres) {
        const int r = b.coureur(m.colonne, u"Top"_s + QString::number(m.colonne), 5, 20);
        b.d.TabCoureurs(r, m.colonne) = Cellule::nombre(99);
    }
    return b;
}

} // namespace

TEST(Classements, CinqMembres)
{
    for (const Membre &m : membres) {
        SCOPED_TRACE(m.nom);
        Base b = baseClassement();
        b.d.ListeLignes = { 0, 7, 9 };
        b.d.IndexChampion = 5;
        const ResultatListe r = m.clic(b.d, fr);
        ASSERT_EQ(r.boutons.size(), 50);
        const QString premier = u"Top"_s + QString::number(m.colonne);
        EXPECT_EQ(r.boutons[0].legende, u"1-"_s + premier);
        EXPECT_EQ(r.boutons[0].infobulle, u"1-Jean "_s + premier);
        EXPECT_EQ(r.boutons[0].tag, u"2"_s);
        EXPECT_TRUE(r.boutons[49].legende.startsWith(u"50-"_s));
        EXPECT_TRUE(r.boutons[49].infobulle.startsWith(u"50-Jean "_s));
        EXPECT_EQ(r.boutons[49].tag, u"51"_s);
        // Scores décroissants le long de la liste.
        for (int k = 1; k < 50; ++k)
            EXPECT_GE(comparerCellules(
                          b.d.TabCoureurs(k + 1, m.colonne), b.d.TabCoureurs(k + 2, m.colonne)),
                0)
                << k;
        EXPECT_FALSE(r.cdmVisible);
        EXPECT_FALSE(r.rechtext.has_value());
        EXPECT_TRUE(r.careq.isEmpty());
        EXPECT_EQ(r.numEq, 0);
        EXPECT_EQ(b.d.ListeLignes, QVector<int>({ 0, 7, 9 }));
        EXPECT_EQ(b.d.IndexChampion, 5);
    }
}

TEST(Classements, Disposition)
{
    Base b = baseClassement();
    const ResultatListe r = CLM_Click(b.d, fr);
    struct P
    {
        int rang, gauche, haut;
    };
    for (const P p : { P { 1, 50, 220 }, P { 17, 50, 5660 }, P { 18, 1625, 220 },
             P { 34, 1625, 5660 }, P { 35, 3200, 220 }, P { 50, 3200, 5320 } }) {
        EXPECT_EQ(r.boutons[p.rang - 1].gauche, p.gauche) << p.rang;
        EXPECT_EQ(r.boutons[p.rang - 1].haut, p.haut) << p.rang;
        EXPECT_EQ(r.boutons[p.rang - 1].hauteur, 405) << p.rang;
    }
}

TEST(Classements, EgalitesParNomCapitalesDAbord)
{
    Base b;
    for (const QString &nom : { u"bernard"_s, u"Émile"_s, u"Zola"_s, u"Bernard"_s, u"Abel"_s })
        b.coureur(nom.size(), nom, 5, 70);
    b.coureur(99, u"Zz"_s, 5, 80);
    const ResultatListe premier = Grimpeurs_Click(b.d, fr);
    EXPECT_EQ(legendes(premier).mid(0, 6),
        QStringList(
            { u"1-Zz"_s, u"2-Abel"_s, u"3-Bernard"_s, u"4-Zola"_s, u"5-bernard"_s, u"6-Émile"_s }));
    // Le même classement deux fois : la même liste.
    EXPECT_EQ(legendes(Grimpeurs_Click(b.d, fr)), legendes(premier));
}

TEST(Classements, MoinsDe50LignesRemplies)
{
    Base b;
    for (int i = 0; i < 10; ++i)
        b.coureur(i, essai::nomNumerote(u"C"_s, i), 5, 50 + i);
    const ResultatListe r = Sprinteurs_Click(b.d, fr);
    ASSERT_EQ(r.boutons.size(), 50);
    EXPECT_EQ(r.boutons[0].legende, u"1-C009"_s);
    EXPECT_EQ(r.boutons[9].legende, u"10-C000"_s);
    EXPECT_EQ(r.boutons[10].legende, u"11-"_s);
    EXPECT_EQ(r.boutons[10].infobulle, u"11- "_s);
    EXPECT_EQ(r.boutons[49].legende, u"50-"_s);
    EXPECT_EQ(r.boutons[49].tag, u"51"_s);
}

// Le drapeau d'écriture reste sur son coureur à travers les tris de toutes les listes.
TEST(Classements, DrapeauxSuiventLeurLigne)
{
    Base b = baseClassement();
    b.equipe(61, u"Libres"_s, u"FA"_s, 3);
    Coureur_Click(b.d, ligneDe(b.d, 1042), fr);
    const auto verifier = [&](const char *apres) {
        for (int r = 2; r <= 973; ++r)
            EXPECT_EQ(valeurNumerique(b.d.TabCoureurs(r, 36)) == 1.0, r == ligneDe(b.d, 1042))
                << apres << " " << r;
    };
    for (const Membre &m : membres) {
        m.clic(b.d, fr);
        verifier(m.nom);
        Free_Click(b.d, 1, fr);
        verifier("libres");
    }
    Chargeq_Click(b.d, 1, fr);
    verifier("équipe");
}
