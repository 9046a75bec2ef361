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

// Équipe 5 de n coureurs, libres (équipe 61) au nombre de `libres`, le champion dans l'équipe 7.
struct Cas
{
    Base b;
    int ligne5 = 0;
    Cas(int n, int libres, bool avecLibres = true)
    {
        ligne5 = b.equipe(5, u"Cinq"_s, u"CIN"_s);
        b.equipe(7, u"Sept"_s, u"SEP"_s, 2);
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

// Bouton j (à partir de 1) : {j, gauche, haut}.
void verifierPositions(const ResultatListe &r, const std::vector<std::array<int, 3>> &pos, int h)
{
    for (const auto &[j, gauche, haut] : pos) {
        ASSERT_LE(j, r.boutons.size());
        const DescriptionBouton &b = r.boutons[j - 1];
        EXPECT_EQ(std::tuple(b.gauche, b.haut, b.hauteur), std::tuple(gauche, haut, h)) << j;
    }
}

} // namespace

TEST(ListeEquipe, BoutonsFicheEtDisposition)
{
    Cas c(31, 2);
    Donnees &d = c.b.d;
    d.TabEquipes(c.ligne5, 4) = Cellule::nombre(12.5);
    d.IndexChampion = 0;
    const ResultatListe r = Chargeq_Click(d, c.ligne5, fr);
    ASSERT_EQ(r.boutons.size(), 31);
    for (int j = 0; j < 31; ++j) {
        const QString attendu = nomNumerote(u"Equipier"_s, j + 1);
        EXPECT_EQ(r.boutons[j].legende, attendu);
        EXPECT_EQ(r.boutons[j].infobulle, u"Jean "_s + attendu);
        // L'étiquette désigne la ligne du coureur montré, et ListeLignes suit l'affichage.
        const int ligne = r.boutons[j].tag.toInt();
        EXPECT_EQ(d.TabCoureurs(ligne, 2).valeurTexte(), attendu);
        EXPECT_EQ(d.ListeLignes.value(j + 1), ligne);
    }
    verifierPositions(
        r, { { 1, 50, 220 }, { 15, 50, 4980 }, { 16, 1625, 220 }, { 31, 3200, 220 } }, 405);
    EXPECT_TRUE(r.cdmVisible && r.remplacerBoutons);
    EXPECT_EQ(r.rechtext, u" nombre de coureurs trouvés : 0"_s);
    EXPECT_EQ(r.careq,
        QStringList({ u"5"_s, u"Cinq"_s, u"1"_s, u"12,5"_s, u"CIN"_s, u"equipe.example"_s }));
    EXPECT_EQ(r.numEq, c.ligne5);
    // Le parcours de toute la table retrouve le champion, quelle que soit la liste.
    EXPECT_EQ(d.IndexChampion, ligneDe(d, 327));
    d.IndexChampion = 0;
    Free_Click(d, 2, fr);
    EXPECT_EQ(d.IndexChampion, ligneDe(d, 327));

    // Équipe sans coureur : les boutons précédents disparaissent, la fiche s'affiche.
    Cas vide(0, 0);
    const ResultatListe rv = Chargeq_Click(vide.b.d, vide.ligne5, fr);
    EXPECT_TRUE(rv.boutons.isEmpty() && rv.remplacerBoutons);
    EXPECT_EQ(rv.careq.value(1), u"Cinq"_s);
}

// Parties entières des ids : celui de l'équipe, et celui que porte chaque coureur.
TEST(ListeEquipe, PartiesEntieresDesIds)
{
    const std::pair<Cellule, bool> cas[] = {
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
        QStringList attendus;
        for (int i = 0; i < int(std::size(cas)); ++i) {
            b.coureur(100 + i, nomNumerote(u"C"_s, i), cas[i].first);
            if (cas[i].second)
                attendus << nomNumerote(u"C"_s, i);
        }
        EXPECT_EQ(essai::legendes(Chargeq_Click(b.d, k, fr)), attendus)
            << texteCellule(idEquipe).toStdString();
    }
}

TEST(Libres, DeuxListes)
{
    struct CasLibres
    {
        int libres, n1, n2;
        std::vector<std::array<int, 3>> pos1, pos2;
    };
    const CasLibres cas[] = {
        { 150, 66, 84, { { 1, 50, 220 }, { 23, 1625, 220 }, { 66, 3200, 5890 } },
            { { 1, 50, 220 }, { 44, 1625, 5890 }, { 84, 3200, 10750 } } },
        { 67, 66, 1, {}, { { 1, 50, 220 } } },
        { 30, 30, 0, { { 22, 50, 5890 }, { 30, 1625, 2110 } }, {} },
    };
    for (const CasLibres &cl : cas) {
        SCOPED_TRACE(cl.libres);
        Cas c(3, cl.libres);
        Donnees &d = c.b.d;
        const ResultatListe r1 = Free_Click(d, 1, fr);
        ASSERT_EQ(r1.boutons.size(), cl.n1);
        EXPECT_EQ(r1.boutons[0].legende, nomNumerote(u"Libre"_s, 1));
        verifierPositions(r1, cl.pos1, 270);
        const ResultatListe r2 = Free_Click(d, 2, fr);
        ASSERT_EQ(r2.boutons.size(), cl.n2);
        verifierPositions(r2, cl.pos2, 270);
        EXPECT_EQ(d.ListeLignes.size(), cl.libres + 1); // tous les libres, quelle que soit la liste
        if (cl.n2 > 0) { // la seconde liste reprend au 67e
            EXPECT_EQ(r2.boutons[0].legende, nomNumerote(u"Libre"_s, 67));
        }
        EXPECT_EQ(r2.careq.value(0), u"61"_s);
        EXPECT_EQ(r2.numEq, d.IndexLibres);
        EXPECT_FALSE(r2.rechtext.has_value()); // le compteur de la recherche reste tel quel
    }
    // Sans équipe 61 : rien à lister.
    Cas sans(3, 5, false);
    const ResultatListe r = Free_Click(sans.b.d, 1, fr);
    EXPECT_TRUE(r.boutons.isEmpty() && r.careq.isEmpty());
    // L'id des libres changé dans la fiche : la liste suit la table, pas la constante 61.
    Cas c(3, 5);
    ASSERT_FALSE(Careq_KeyUp(c.b.d, c.b.d.IndexLibres, 1, u"5"_s, fr));
    EXPECT_EQ(Free_Click(c.b.d, 1, fr).boutons.size(), 3);
}

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
