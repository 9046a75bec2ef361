#include "aide_donnees.h"
#include "aide_gtest.h"
#include "lists/recherche.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::Base;
using essai::fr;
using essai::legendes;

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
        { u"DU"_s, { u"DUPONT"_s, u"Durand"_s, u"dubois"_s } },
        { u"dUr"_s, { u"Durand"_s } },
        { u"e"_s, { u"Eto"_s } }, // sans l'accent, É ne répond pas
        { u"é"_s, { u"Édouard"_s, u"Étienne"_s, u"élodie"_s } },
        { u"œ"_s, { u"Œuvray"_s } },
        { u"rand"_s, {} }, // au milieu du nom : non
        { u"du "_s, {} }, // le texte n'est pas rogné
        { u"Mardus"_s, {} },
        { u"12"_s, { u"12,5"_s, u"1234"_s } },
        { u"12,"_s, { u"12,5"_s } },
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
