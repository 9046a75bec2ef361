#include "aide_donnees.h"
#include "aide_gtest.h"
#include "rider/panneau.h"
#include "teams/equipes.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::Base;
using essai::fr;
using essai::ligneDe;
using essai::nomNumerote;

namespace {

// Base : équipe 5 de n coureurs, libres (équipe 61) au nombre de `libres`, un coureur d'équipe 7.
struct Cas
{
    Base b;
    int ligne5 = 0, ligne7 = 0;
    Cas(int n, int libres, bool avecLibres = true)
    {
        ligne5 = b.equipe(5, u"Cinq"_s, u"CIN"_s);
        ligne7 = b.equipe(7, u"Sept"_s, u"SEP"_s, 2);
        if (avecLibres)
            b.equipe(61, u"Libres"_s, u"FA"_s, 3);
        // Ajoutés à l'envers : la liste doit remettre l'ordre des noms.
        for (int i = n; i >= 1; --i)
            b.coureur(1000 + i, nomNumerote(u"Equipier"_s, i), 5);
        for (int i = libres; i >= 1; --i)
            b.coureur(2000 + i, nomNumerote(u"Libre"_s, i), 61);
        b.coureur(327, u"Champion"_s, 7);
    }
};

struct Position
{
    int j, gauche, haut;
};

void verifierPositions(
    const QVector<DescriptionBouton> &boutons, const std::vector<Position> &pos, int hauteur)
{
    for (const Position &p : pos) {
        ASSERT_LE(p.j, boutons.size());
        const DescriptionBouton &b = boutons[p.j - 1];
        EXPECT_EQ(b.gauche, p.gauche) << "bouton " << p.j;
        EXPECT_EQ(b.haut, p.haut) << "bouton " << p.j;
        EXPECT_EQ(b.hauteur, hauteur) << "bouton " << p.j;
    }
}

} // namespace

TEST(ListeEquipe, Disposition)
{
    Cas c31(31, 0);
    const ResultatListe r31 = Chargeq_Click(c31.b.d, c31.ligne5, fr);
    ASSERT_EQ(r31.boutons.size(), 31);
    verifierPositions(r31.boutons,
        { { 1, 50, 220 }, { 15, 50, 4980 }, { 16, 1625, 220 }, { 30, 1625, 4980 },
            { 31, 3200, 220 } },
        405);
}

TEST(ListeEquipe, ContenuDesBoutonsEtFiche)
{
    Cas c(3, 2);
    Donnees &d = c.b.d;
    d.TabEquipes(c.ligne5, 4) = Cellule::nombre(12.5);
    const ResultatListe r = Chargeq_Click(d, c.ligne5, fr);
    ASSERT_EQ(r.boutons.size(), 3);
    for (int j = 0; j < 3; ++j) {
        const DescriptionBouton &b = r.boutons[j];
        const QString attendu = nomNumerote(u"Equipier"_s, j + 1);
        EXPECT_EQ(b.legende, attendu);
        EXPECT_EQ(b.infobulle, u"Jean "_s + attendu);
        // L'étiquette désigne la ligne du coureur montré, et ListeLignes suit l'affichage.
        const int ligne = b.tag.toInt();
        EXPECT_EQ(d.TabCoureurs(ligne, 2).valeurTexte(), attendu);
        EXPECT_EQ(d.ListeLignes.value(j + 1), ligne);
    }
    EXPECT_EQ(d.ListeLignes.size(), 4);
    EXPECT_TRUE(r.cdmVisible);
    EXPECT_TRUE(r.remplacerBoutons);
    EXPECT_EQ(r.rechtext, u" nombre de coureurs trouvés : 0"_s);
    EXPECT_EQ(r.careq,
        QStringList({ u"5"_s, u"Cinq"_s, u"1"_s, u"12,5"_s, u"CIN"_s, u"equipe.example"_s }));
    EXPECT_EQ(r.numEq, c.ligne5);

    // Équipe sans coureur : les boutons précédents disparaissent, la fiche s'affiche.
    Cas vide(0, 0);
    const ResultatListe rv = Chargeq_Click(vide.b.d, vide.ligne5, fr);
    EXPECT_TRUE(rv.boutons.isEmpty());
    EXPECT_TRUE(rv.remplacerBoutons);
    EXPECT_EQ(rv.careq.value(1), u"Cinq"_s);
    EXPECT_EQ(vide.b.d.ListeLignes, QVector<int>({ 0 }));
}

TEST(ListeEquipe, NomsEgauxPermutentAChaqueListe)
{
    Base b;
    const int k = b.equipe(5, u"Cinq"_s, u"CIN"_s);
    b.coureur(1, u"Durand"_s, 5);
    b.coureur(2, u"Arnaud"_s, 5);
    b.coureur(3, u"Durand"_s, 5);
    QStringList ordres;
    for (int fois = 0; fois < 3; ++fois) {
        Chargeq_Click(b.d, k, fr);
        QString ordre;
        for (int j = 1; j < b.d.ListeLignes.size(); ++j)
            ordre += texteCellule(b.d.TabCoureurs(b.d.ListeLignes[j], 1));
        ordres << ordre;
    }
    EXPECT_EQ(ordres, QStringList({ u"231"_s, u"213"_s, u"231"_s }));
}

TEST(ListeEquipe, PartiesEntieresDesIds)
{
    struct CasId
    {
        Cellule equipeCoureur;
        bool liste;
    };
    const CasId cas[] = {
        { Cellule::nombre(12), true },
        { Cellule::texte(u"12"_s), true },
        { Cellule::nombre(12.9), true },
        { Cellule::texte(u"12,5"_s), true }, // forme de l'utilisateur
        { Cellule::nombre(13), false },
        { Cellule::nombre(11.99), false },
        { Cellule::texte(u"douze"_s), false },
        { Cellule::vide(), false },
    };
    for (const Cellule &idEquipe :
        { Cellule::nombre(12), Cellule::texte(u"12"_s), Cellule::nombre(12.4) }) {
        Base b;
        const int k = b.equipe(0, u"Douze"_s, u"DOU"_s);
        b.d.TabEquipes(k, 1) = idEquipe;
        for (int i = 0; i < int(std::size(cas)); ++i)
            b.coureur(100 + i, nomNumerote(u"C"_s, i), cas[i].equipeCoureur);
        Chargeq_Click(b.d, k, fr);
        QVector<int> trouves;
        for (int j = 1; j < b.d.ListeLignes.size(); ++j)
            trouves << int(b.d.TabCoureurs(b.d.ListeLignes[j], 1).valeurNombre()) - 100;
        QVector<int> attendus;
        for (int i = 0; i < int(std::size(cas)); ++i)
            if (cas[i].liste)
                attendus << i;
        EXPECT_EQ(trouves, attendus) << texteCellule(idEquipe).toStdString();
    }
}

TEST(ListeEquipe, ChampionRetrouveParToutParcours)
{
    Cas c(4, 5);
    Donnees &d = c.b.d;
    const auto listes = {
        +[](Donnees &dd, int k) { return Chargeq_Click(dd, k, fr); },
        +[](Donnees &dd, int) { return Free_Click(dd, 1, fr); },
        +[](Donnees &dd, int) { return Free_Click(dd, 2, fr); },
    };
    for (auto liste : listes) {
        d.IndexChampion = 0;
        liste(d, c.ligne5);
        EXPECT_EQ(d.IndexChampion, ligneDe(d, 327));
    }
    // Sans id 327 dans la table, la dernière valeur est gardée.
    d.TabCoureurs(ligneDe(d, 327), 1) = Cellule::nombre(328);
    d.IndexChampion = 17;
    Chargeq_Click(d, c.ligne5, fr);
    EXPECT_EQ(d.IndexChampion, 17);
}

TEST(Libres, DeuxListes)
{
    struct CasLibres
    {
        int libres, n1, n2;
        std::vector<Position> pos1, pos2;
    };
    const CasLibres cas[] = {
        { 150, 66, 84,
            { { 22, 50, 5890 }, { 23, 1625, 220 }, { 45, 3200, 220 }, { 66, 3200, 5890 } },
            { { 1, 50, 220 }, { 22, 50, 5890 }, { 23, 1625, 220 }, { 44, 1625, 5890 },
                { 45, 3200, 220 }, { 84, 3200, 10750 } } },
        { 66, 66, 0, { { 66, 3200, 5890 } }, {} },
        { 67, 66, 1, {}, { { 1, 50, 220 } } },
        { 30, 30, 0, { { 22, 50, 5890 }, { 23, 1625, 220 }, { 30, 1625, 2110 } }, {} },
        { 0, 0, 0, {}, {} },
    };
    for (const CasLibres &cl : cas) {
        SCOPED_TRACE(cl.libres);
        Cas c(3, cl.libres);
        Donnees &d = c.b.d;
        const ResultatListe r1 = Free_Click(d, 1, fr);
        ASSERT_EQ(r1.boutons.size(), cl.n1);
        verifierPositions(r1.boutons, cl.pos1, 270);
        const ResultatListe r2 = Free_Click(d, 2, fr);
        ASSERT_EQ(r2.boutons.size(), cl.n2);
        verifierPositions(r2.boutons, cl.pos2, 270);
        EXPECT_EQ(d.ListeLignes.size(), cl.libres + 1); // tous les libres, quelle que soit la liste
        if (cl.n2 > 0) { // la seconde liste reprend au 67e
            EXPECT_EQ(r2.boutons[0].legende, nomNumerote(u"Libre"_s, 67));
        }
        EXPECT_EQ(r2.careq.value(0), u"61"_s);
        EXPECT_EQ(r2.numEq, d.IndexLibres);
        EXPECT_FALSE(r2.rechtext.has_value()); // le compteur de la recherche reste tel quel
        EXPECT_TRUE(r2.cdmVisible);
    }
}

TEST(Libres, SansEquipe61)
{
    Cas c(3, 5, false);
    Donnees &d = c.b.d;
    ASSERT_EQ(d.IndexLibres, 0);
    for (int x : { 1, 2 }) {
        d.IndexChampion = 0;
        const ResultatListe r = Free_Click(d, x, fr);
        EXPECT_TRUE(r.boutons.isEmpty());
        EXPECT_TRUE(r.careq.isEmpty());
        EXPECT_EQ(r.numEq, 0);
        EXPECT_EQ(d.IndexChampion, ligneDe(d, 327));
    }
}

TEST(Libres, IdDeLEquipe61SuitLaFiche)
{
    Cas c(3, 5);
    Donnees &d = c.b.d;
    Free_Click(d, 1, fr);
    // L'id des libres changé dans la fiche : la liste suit la table, pas la constante 61.
    ASSERT_FALSE(Careq_KeyUp(d, d.IndexLibres, 1, u"5"_s, fr));
    EXPECT_EQ(Free_Click(d, 1, fr).boutons.size(), 3);
}
