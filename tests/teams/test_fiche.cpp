#include "aide_donnees.h"
#include "aide_gtest.h"
#include "teams/equipes.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::Base;
using essai::fr;

TEST(FicheEquipe, SansEquipeAffichee)
{
    Base b;
    const int k = b.equipe(5, u"Cinq"_s, u"CIN"_s);
    const Tableau avant = b.d.TabEquipes;
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(Careq_KeyUp(b.d, 0, i, u"X"_s, fr), u"choisissez une équipe"_s) << i;
    EXPECT_EQ(b.d.TabEquipes, avant);
    EXPECT_EQ(b.d.TabEquipes(k, 7), Cellule::nombre(0));
}

TEST(FicheEquipe, RegleDesNombres)
{
    struct Cas
    {
        int colonne;
        QString tape;
        Cellule attendue;
    };
    const Cas cas[] = {
        { 1, u"13"_s, Cellule::nombre(13) },
        { 1, u" 13 "_s, Cellule::nombre(13) },
        { 1, u"13,5"_s, Cellule::nombre(13.5) }, // forme française
        { 1, u"13.5"_s, Cellule::texte(u"13.5"_s) }, // pas un nombre en français : gardé tel quel
        { 1, u"abc"_s, Cellule::texte(u"abc"_s) },
        { 3, u"2"_s, Cellule::nombre(2) },
        { 4, u"44"_s, Cellule::nombre(44) },
        { 2, u"2024"_s, Cellule::texte(u"2024"_s) }, // un nom reste un texte
        { 5, u"123"_s, Cellule::texte(u"123"_s) },
        { 6, u"1"_s, Cellule::texte(u"1"_s) },
    };
    for (const Cas &c : cas) {
        Base b;
        const int k = b.equipe(5, u"Cinq"_s, u"CIN"_s);
        EXPECT_FALSE(Careq_KeyUp(b.d, k, c.colonne, c.tape, fr));
        EXPECT_EQ(b.d.TabEquipes(k, c.colonne), c.attendue)
            << c.colonne << " " << c.tape.toStdString();
        EXPECT_EQ(b.d.TabEquipes(k, 7), Cellule::nombre(1));
    }
}

TEST(FicheEquipe, EffacementLettreParLettre)
{
    Base b;
    const int k = b.equipe(5, u"Cinq"_s, u"CIN"_s);
    for (const QString &t : { u"Ab"_s, u"A"_s, QString() })
        EXPECT_FALSE(Careq_KeyUp(b.d, k, 2, t, fr));
    EXPECT_EQ(b.d.TabEquipes(k, 2), Cellule::texte(u"A"_s));
    EXPECT_EQ(b.d.TabEquipes(k, 7), Cellule::nombre(1));

    // Une case vidée d'emblée ne marque pas la ligne.
    const int k2 = b.equipe(6, u"Six"_s, u"SIX"_s);
    Careq_KeyUp(b.d, k2, 5, QString(), fr);
    EXPECT_EQ(b.d.TabEquipes(k2, 7), Cellule::nombre(0));
    EXPECT_EQ(b.d.TabEquipes(k2, 5), Cellule::texte(u"SIX"_s));
}
