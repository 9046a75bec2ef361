#include "aide_donnees.h"
#include "aide_gtest.h"
#include "rider/panneau.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::Base;
using essai::fr;

namespace {

// Deux coureurs ; X avec Montagne 71, Vallons 71 et les notes que le chargement leur donne.
struct Panneau
{
    Base b;
    int x, y;
    Panneau()
    {
        x = b.coureur(1, u"Xavier"_s, 5, 70);
        y = b.coureur(2, u"Yvon"_s, 5, 65);
        Tableau &t = b.d.TabCoureurs;
        t(x, 12) = Cellule::nombre(71);
        t(x, 14) = Cellule::nombre(71);
        t(x, 34) = Cellule::nombre(70); // notes du chargement : 70,5 va au pair 70
        t(x, 35) = Cellule::nombre(71);
    }
    // Clic puis frappe : la case reçoit le texte, la touche est relâchée.
    ResultatNote taper(AffichageCoureur &a, int index, const QString &texte)
    {
        a.notes[index] = texte;
        return Note_KeyUp(b.d, a.numLigne, index, a.notes, fr);
    }
};

} // namespace

TEST(Panneau, ClicMontreLaLigneEtLaMarque)
{
    Panneau p;
    Tableau &t = p.b.d.TabCoureurs;
    t(p.x, 6) = Cellule::nombre(74.9);
    t(p.x, 9) = Cellule::vide();
    const AffichageCoureur a = Coureur_Click(p.b.d, p.x, fr);
    EXPECT_EQ(a.numLigne, p.x);
    EXPECT_EQ(a.notes[1], u"1"_s);
    EXPECT_EQ(a.notes[2], u"Xavier"_s);
    EXPECT_EQ(a.notes[6], u"74,9"_s);
    EXPECT_EQ(a.notes[9], QString());
    EXPECT_EQ(a.notes[33], u"70"_s);
    EXPECT_EQ(t(p.x, 36), Cellule::nombre(1));
    EXPECT_EQ(t(p.y, 36), Cellule::nombre(0));
    // Notes stockées (chargement : 70,5 va au pair 70), potentiels et salaire calculés.
    EXPECT_EQ(a.etiquettes.car5050, u"70"_s);
    EXPECT_EQ(a.etiquettes.car8020, u"71"_s);
    EXPECT_EQ(a.etiquettes.pot5050, u"70"_s);
    EXPECT_EQ(a.etiquettes.salaire, u"Moy : 70,22\rSalaire :21000 €"_s);
}

TEST(Panneau, ParcoursAutreCoureurPuisRetour)
{
    Panneau p;
    AffichageCoureur a = Coureur_Click(p.b.d, p.x, fr);
    ASSERT_EQ(a.etiquettes.car5050, u"70"_s); // note du chargement (Mo 71 / Val 71)
    // Une touche sans effet (flèche) dans le nom suffit : la formule du panneau donne 71.
    EXPECT_EQ(p.taper(a, 2, a.notes[2]).etiquettes.car5050, u"71"_s);
    EXPECT_EQ(p.b.d.TabCoureurs(p.x, 34), Cellule::nombre(71));
    p.taper(a, 12, u"8"_s);
    p.taper(a, 12, u"80"_s);
    Coureur_Click(p.b.d, p.y, fr);
    const AffichageCoureur retour = Coureur_Click(p.b.d, p.x, fr);
    EXPECT_EQ(retour.notes[12], u"80"_s);
    EXPECT_EQ(p.b.d.TabCoureurs(p.x, 12), Cellule::nombre(80)); // un nombre, pas le texte "80"
    EXPECT_EQ(retour.etiquettes.car5050, u"76"_s); // round(40 + 35,5) = 76 stocké
    EXPECT_EQ(retour.etiquettes.car8020, u"78"_s); // round(64 + 14,2)
}

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
        { 8, u"1990"_s, Cellule::nombre(1990), false },
        { 9, u"12,5"_s, Cellule::nombre(12.5), false },
        { 9, u"beaucoup"_s, Cellule::texte(u"beaucoup"_s), false },
        { 2, u"123"_s, Cellule::texte(u"123"_s), false },
        { 3, u"Élie"_s, Cellule::texte(u"Élie"_s), false },
        { 3, u"2"_s, Cellule::texte(u"2"_s), false },
        { 12, u"75,5"_s, Cellule::nombre(75.5), false },
        { 12, u"75.5"_s, Cellule(), true }, // pas un nombre en français
        { 13, u"abc"_s, Cellule(), true }, { 33, u"7a"_s, Cellule(), true },
        { 14, QString(), Cellule(), false }, // vider ne vide jamais le champ
    };
    for (const Cas &c : cas) {
        Panneau p;
        AffichageCoureur a = Coureur_Click(p.b.d, p.x, fr);
        const Cellule avant = p.b.d.TabCoureurs(p.x, c.index);
        const Cellule note5050 = p.b.d.TabCoureurs(p.x, 34);
        const ResultatNote r = p.taper(a, c.index, c.tape);
        const Cellule attendue = c.attendue.estVide() ? avant : c.attendue;
        EXPECT_EQ(p.b.d.TabCoureurs(p.x, c.index), attendue)
            << c.index << " " << c.tape.toStdString();
        EXPECT_EQ(r.erreur, c.erreur) << c.index << " " << c.tape.toStdString();
        EXPECT_EQ(p.b.d.TabCoureurs(p.x, 36), Cellule::nombre(1));
        if (c.attendue.estVide()) {
            // Ni formule ni étiquette quand rien n'est rangé.
            EXPECT_FALSE(r.etiquettes.car5050 || r.etiquettes.salaire) << c.index;
            EXPECT_EQ(p.b.d.TabCoureurs(p.x, 34), note5050);
        }
    }
}

TEST(Panneau, CaseEnErreurBloqueLesFormules)
{
    Panneau p;
    AffichageCoureur a = Coureur_Click(p.b.d, p.x, fr);
    EXPECT_TRUE(p.taper(a, 14, u"soixante"_s).erreur);
    // Ailleurs, la frappe est rangée mais les notes dépendant de Vallons ne tournent pas.
    const ResultatNote r = p.taper(a, 2, u"Xavi"_s);
    EXPECT_EQ(p.b.d.TabCoureurs(p.x, 2), Cellule::texte(u"Xavi"_s));
    EXPECT_FALSE(r.etiquettes.car5050.has_value());
    EXPECT_TRUE(r.etiquettes.pot5050.has_value());
    EXPECT_EQ(p.b.d.TabCoureurs(p.x, 34), Cellule::nombre(70));
    // De nouveau un nombre : plus d'erreur, les formules repartent.
    const ResultatNote r2 = p.taper(a, 14, u"75"_s);
    EXPECT_FALSE(r2.erreur);
    EXPECT_EQ(r2.etiquettes.car5050, u"73"_s);
    // Un texte venu du classeur s'affiche aussi en erreur.
    p.b.d.TabCoureurs(p.y, 20) = Cellule::texte(u"n/a"_s);
    const AffichageCoureur ay = Coureur_Click(p.b.d, p.y, fr);
    EXPECT_TRUE(ay.erreurs[20]);
    EXPECT_FALSE(ay.erreurs[21]);
    EXPECT_EQ(ay.etiquettes.salaire, QString()); // pas le salaire du coureur précédent
}
