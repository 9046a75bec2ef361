#include "aide_donnees.h"
#include "aide_gtest.h"
#include "lists/recherche.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::Base;
using essai::fr;
using essai::legendes;
using essai::ligneDe;

TEST(Recherche, CasseAccentsPrefixe)
{
    Base b;
    const QString noms[] = { u"Durand"_s, u"DUPONT"_s, u"dubois"_s, u"Étienne"_s, u"Eto"_s,
        u"Édouard"_s, u"Mardu"_s, u"élodie"_s, u"Œuvray"_s };
    for (int i = 0; i < int(std::size(noms)); ++i)
        b.coureur(i, noms[i], 5);
    struct Cas
    {
        QString texte;
        QStringList trouves; // dans l'ordre des noms (codes de caractères)
    };
    const Cas cas[] = {
        { u"du"_s, { u"DUPONT"_s, u"Durand"_s, u"dubois"_s } },
        { u"DU"_s, { u"DUPONT"_s, u"Durand"_s, u"dubois"_s } },
        { u"dUr"_s, { u"Durand"_s } },
        { u"e"_s, { u"Eto"_s } }, // sans l'accent, É ne répond pas
        { u"é"_s, { u"Édouard"_s, u"Étienne"_s, u"élodie"_s } },
        { u"ÉT"_s, { u"Étienne"_s } },
        { u"œ"_s, { u"Œuvray"_s } },
        { u"rand"_s, {} }, // au milieu du nom : non
        { u"du "_s, {} }, // le texte n'est pas rogné
        { u"Mardu"_s, { u"Mardu"_s } },
        { u"Mardus"_s, {} },
    };
    for (const Cas &c : cas) {
        const ResultatListe r = rech_KeyUp(b.d, c.texte, fr);
        EXPECT_EQ(legendes(r), c.trouves) << c.texte.toStdString();
        EXPECT_EQ(
            r.rechtext, u" nombre de coureurs trouvés : "_s + QString::number(c.trouves.size()));
        EXPECT_EQ(b.d.ListeLignes.size(), c.trouves.size() + 1);
        EXPECT_TRUE(r.cdmVisible);
        EXPECT_TRUE(r.remplacerBoutons);
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
    EXPECT_EQ(r50.rechtext, u" nombre de coureurs trouvés : 50"_s);

    b.d.IndexChampion = 0;
    const ResultatListe r51 = rech_KeyUp(b.d, u"a"_s, fr);
    EXPECT_TRUE(r51.boutons.isEmpty());
    EXPECT_TRUE(r51.remplacerBoutons); // les boutons précédents s'en vont
    EXPECT_EQ(r51.rechtext, u" nombre de coureurs trouvés : 51"_s);
    EXPECT_EQ(b.d.ListeLignes.size(), 52); // tous les trouvés, même sans bouton
    EXPECT_EQ(b.d.IndexChampion, ligneDe(b.d, 327)); // le parcours passe sur toute la table
}

TEST(Recherche, NomNombreOuVide)
{
    Base b;
    const int r1 = b.coureur(1, u"x"_s, 5);
    b.d.TabCoureurs(r1, 2) = Cellule::nombre(1234);
    const int r2 = b.coureur(2, u"x"_s, 5);
    b.d.TabCoureurs(r2, 2) = Cellule::nombre(12.5);
    const int r3 = b.coureur(3, u"x"_s, 5);
    b.d.TabCoureurs(r3, 2) = Cellule::vide();
    struct Cas
    {
        QString texte;
        QStringList trouves;
    };
    const Cas cas[] = {
        { u"12"_s, { u"12,5"_s, u"1234"_s } }, { u"12,"_s, { u"12,5"_s } },
        { u"123"_s, { u"1234"_s } }, { u" "_s, {} }, // un nom vide ne répond jamais
    };
    for (const Cas &c : cas)
        EXPECT_EQ(legendes(rech_KeyUp(b.d, c.texte, fr)), c.trouves) << c.texte.toStdString();
}
