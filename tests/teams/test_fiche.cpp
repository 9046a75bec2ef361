#include "aide_donnees.h"
#include "aide_gtest.h"
#include "teams/equipes.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::fr;

// Frappes successives dans une case de la fiche : ce que la table range et si la ligne est marquée.
TEST(FicheEquipe, RegleDesNombres)
{
    struct Cas
    {
        int colonne;
        QStringList frappes;
        Cellule attendue;
        bool marquee = true;
    };
    const Cas cas[] = {
        { 1, { u" 13 "_s }, Cellule::nombre(13) },
        { 1, { u"13,5"_s }, Cellule::nombre(13.5) }, // forme française
        { 1, { u"13.5"_s }, Cellule::texte(u"13.5"_s) }, // pas un nombre en français : tel quel
        { 3, { u"2"_s }, Cellule::nombre(2) },
        { 4, { u"44"_s }, Cellule::nombre(44) },
        { 2, { u"2024"_s }, Cellule::texte(u"2024"_s) }, // un nom reste un texte
        { 5, { u"123"_s }, Cellule::texte(u"123"_s) },
        { 6, { u"1"_s }, Cellule::texte(u"1"_s) },
        // Effacée lettre par lettre, la case garde sa dernière lettre ; vidée d'emblée, rien.
        { 2, { u"Ab"_s, u"A"_s, QString() }, Cellule::texte(u"A"_s) },
        { 5, { QString() }, Cellule::texte(u"CIN"_s), false },
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(std::to_string(c.colonne) + " " + c.frappes.join(u'|').toStdString());
        essai::Base b;
        const int k = b.equipe(5, u"Cinq"_s, u"CIN"_s);
        for (const QString &t : c.frappes)
            EXPECT_FALSE(Careq_KeyUp(b.d, k, c.colonne, t, fr));
        EXPECT_EQ(b.d.TabEquipes(k, c.colonne), c.attendue);
        EXPECT_EQ(b.d.TabEquipes(k, 7), Cellule::nombre(c.marquee ? 1 : 0));
    }
}
