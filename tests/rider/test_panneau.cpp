#include "aide_donnees.h"
#include "aide_gtest.h"
#include "rider/panneau.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::fr;

// Frappe dans une case du panneau : ce que la table range, et l'erreur montrée.
TEST(Panneau, RegleDesNombres)
{
    struct Cas
    {
        int index;
        QString tape;
        Cellule attendue; // vide : la table garde sa valeur d'avant
        bool erreur;
    };
    const Cas cas[] = {
        { 1, u"150"_s, Cellule::nombre(150), false }, { 4, u"7"_s, Cellule::nombre(7), false },
        { 9, u"12,5"_s, Cellule::nombre(12.5), false },
        { 9, u"beaucoup"_s, Cellule::texte(u"beaucoup"_s), false },
        { 2, u"123"_s, Cellule::texte(u"123"_s), false },
        { 3, u"2"_s, Cellule::texte(u"2"_s), false },
        { 12, u"75,5"_s, Cellule::nombre(75.5), false },
        { 12, u"75.5"_s, Cellule(), true }, // pas un nombre en français
        { 10, u"abc"_s, Cellule(), true }, { 33, u"7a"_s, Cellule(), true },
        { 14, QString(), Cellule(), false }, // vider ne vide jamais le champ
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(std::to_string(c.index) + " " + c.tape.toStdString());
        essai::Base b;
        const int x = b.coureur(1, u"Xavier"_s, 5, 70);
        AffichageCoureur a = Coureur_Click(b.d, x, fr);
        const Cellule avant = b.d.TabCoureurs(x, c.index);
        a.notes[c.index] = c.tape;
        const ResultatNote r = Note_KeyUp(b.d, x, c.index, a.notes, fr);
        EXPECT_EQ(b.d.TabCoureurs(x, c.index), c.attendue.estVide() ? avant : c.attendue);
        EXPECT_EQ(r.erreur, c.erreur);
        EXPECT_EQ(b.d.TabCoureurs(x, 36), Cellule::nombre(1));
        // Ni formule ni étiquette quand rien n'est rangé.
        EXPECT_EQ(r.etiquettes.salaire.has_value(), !c.attendue.estVide());
    }
}
