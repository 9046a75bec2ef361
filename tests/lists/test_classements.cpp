#include "aide_donnees.h"
#include "aide_gtest.h"
#include "lists/classements.h"
#include "lists/recherche.h"
#include "rider/panneau.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::Base;
using essai::fr;
using essai::legendes;

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

} // namespace

// 120 coureurs aux notes variées, plus un meilleur par colonne ("Top" + colonne) ; le coureur
// affiché garde son drapeau d'écriture à travers les tris.
TEST(Classements, CinqMembres)
{
    Base b;
    b.equipe(5, u"Cinq"_s, u"CIN"_s);
    for (int i = 0; i < 120; ++i)
        b.coureur(1000 + i, essai::nomNumerote(u"Coureur"_s, i), 5, 40 + (i * 7) % 30);
    for (const Membre &m : membres)
        b.d.TabCoureurs(
            b.coureur(m.colonne, u"Top"_s + QString::number(m.colonne), 5, 20), m.colonne)
            = Cellule::nombre(99);
    Coureur_Click(b.d, essai::ligneDe(b.d, 1042), fr);
    b.d.ListeLignes = { 0, 7, 9 };
    b.d.IndexChampion = 5;
    for (const Membre &m : membres) {
        SCOPED_TRACE(m.nom);
        const ResultatListe r = m.clic(b.d, fr);
        ASSERT_EQ(r.boutons.size(), 50);
        const QString premier = u"Top"_s + QString::number(m.colonne);
        EXPECT_EQ(r.boutons[0].legende, u"1-"_s + premier);
        EXPECT_EQ(r.boutons[0].infobulle, u"1-Jean "_s + premier);
        EXPECT_EQ(r.boutons[0].tag, u"2"_s);
        EXPECT_TRUE(r.boutons[49].legende.startsWith(u"50-"_s));
        EXPECT_EQ(r.boutons[49].tag, u"51"_s);
        for (const auto &[rang, gauche, haut] : { std::array { 1, 50, 220 }, { 17, 50, 5660 },
                 { 18, 1625, 220 }, { 35, 3200, 220 }, { 50, 3200, 5320 } })
            EXPECT_EQ(std::tuple(r.boutons[rang - 1].gauche, r.boutons[rang - 1].haut,
                          r.boutons[rang - 1].hauteur),
                std::tuple(gauche, haut, 405))
                << rang;
        EXPECT_FALSE(r.cdmVisible || r.rechtext.has_value() || !r.careq.isEmpty() || r.numEq);
        EXPECT_EQ(b.d.ListeLignes, QVector<int>({ 0, 7, 9 }));
        EXPECT_EQ(b.d.IndexChampion, 5);
        for (int l = 2; l <= 973; ++l)
            ASSERT_EQ(b.d.TabCoureurs(l, 36) == Cellule::nombre(1),
                b.d.TabCoureurs(l, 1) == Cellule::nombre(1042))
                << l;
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
    // Moins de 50 lignes remplies : les rangs suivants restent, sans nom.
    EXPECT_EQ(premier.boutons[6].legende, u"7-"_s);
    EXPECT_EQ(premier.boutons[6].infobulle, u"7- "_s);
    EXPECT_EQ(premier.boutons[49].legende, u"50-"_s);
}

TEST(Recherche, CasseAccentsPrefixe)
{
    Base b;
    const QString noms[] = { u"Durand"_s, u"DUPONT"_s, u"dubois"_s, u"Étienne"_s, u"Eto"_s,
        u"Édouard"_s, u"Mardu"_s, u"élodie"_s, u"Œuvray"_s };
    for (int i = 0; i < int(std::size(noms)); ++i)
        b.coureur(i, noms[i], 5);
    // Noms tenus comme nombres, ou vides.
    for (const Cellule &nom : { Cellule::nombre(1234), Cellule::nombre(12.5), Cellule::vide() })
        b.d.TabCoureurs(b.coureur(20, u"x"_s, 5), 2) = nom;
    struct Cas
    {
        QString texte;
        QStringList trouves; // dans l'ordre des noms (codes de caractères)
    };
    const Cas cas[] = {
        { u"du"_s, { u"DUPONT"_s, u"Durand"_s, u"dubois"_s } },
        { u"DU"_s, { u"DUPONT"_s, u"Durand"_s, u"dubois"_s } }, { u"dUr"_s, { u"Durand"_s } },
        { u"e"_s, { u"Eto"_s } }, // sans l'accent, É ne répond pas
        { u"é"_s, { u"Édouard"_s, u"Étienne"_s, u"élodie"_s } }, { u"œ"_s, { u"Œuvray"_s } },
        { u"rand"_s, {} }, // au milieu du nom : non
        { u"du "_s, {} }, // le texte n'est pas rogné
        { u"Mardus"_s, {} }, { u"12"_s, { u"12,5"_s, u"1234"_s } }, { u"12,"_s, { u"12,5"_s } },
        { u" "_s, {} }, // un nom vide ne répond jamais
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(c.texte.toStdString());
        const ResultatListe r = rech_KeyUp(b.d, c.texte, fr);
        EXPECT_EQ(legendes(r), c.trouves);
        EXPECT_EQ(
            r.rechtext, u" nombre de coureurs trouvés : "_s + QString::number(c.trouves.size()));
        EXPECT_EQ(b.d.ListeLignes.size(), c.trouves.size() + 1);
        EXPECT_TRUE(r.cdmVisible && r.remplacerBoutons);
    }
}

TEST(Recherche, CinquanteEtCinquanteEtUn)
{
    Base b;
    for (int i = 1; i <= 50; ++i)
        b.coureur(i, essai::nomNumerote(u"Ab"_s, i), 5);
    b.coureur(51, u"Ac"_s, 5);
    b.coureur(327, u"Zidane"_s, 5);
    const ResultatListe r50 = rech_KeyUp(b.d, u"ab"_s, fr);
    ASSERT_EQ(r50.boutons.size(), 50);
    // Disposition des listes d'équipe, troisième colonne jusqu'au 50e.
    EXPECT_EQ(r50.boutons[49].gauche, 3200);
    EXPECT_EQ(r50.boutons[49].haut, 6680);
    EXPECT_EQ(r50.boutons[49].infobulle, u"Jean Ab050"_s);

    b.d.IndexChampion = 0;
    const ResultatListe r51 = rech_KeyUp(b.d, u"a"_s, fr);
    EXPECT_TRUE(r51.boutons.isEmpty() && r51.remplacerBoutons); // les précédents s'en vont
    EXPECT_EQ(r51.rechtext, u" nombre de coureurs trouvés : 51"_s);
    EXPECT_EQ(b.d.ListeLignes.size(), 52); // tous les trouvés, même sans bouton
    EXPECT_EQ(b.d.IndexChampion, essai::ligneDe(b.d, 327)); // parcours de toute la table
}
