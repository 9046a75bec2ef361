#include "aide_donnees.h"
#include "aide_gtest.h"
#include "rider/champion.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::fr;

namespace {

struct Monde
{
    essai::Base b;
    int champion = b.coureur(327, u"Castravel"_s, 5);
    int x = b.coureur(150, u"Xavier"_s, 5);
    Monde() { b.d.IndexChampion = champion; }
};

} // namespace

// L'échange lui-même est joué par le scénario de l'équipe et du panneau ; ici les refus, sur
// des tables qu'aucune frappe ne produit.
TEST(Champion, Refus)
{
    struct Cas
    {
        const char *quoi;
        void (*preparer)(Monde &);
        QString message;
    };
    const Cas cas[] = {
        { "jamais trouvé", [](Monde &m) { m.b.d.IndexChampion = 0; },
            messageChampionIntrouvable() },
        { "id perdu par une saisie",
            [](Monde &m) { m.b.d.TabCoureurs(m.champion, 1) = Cellule::nombre(328); },
            messageChampionIntrouvable() },
        { "ligne hors table", [](Monde &m) { m.b.d.IndexChampion = 1000; },
            messageChampionIntrouvable() },
        { "id texte", [](Monde &m) { m.b.d.TabCoureurs(m.x, 1) = Cellule::texte(u"abc"_s); },
            messageIdIllisible() },
        { "id vide", [](Monde &m) { m.b.d.TabCoureurs(m.x, 1) = Cellule::vide(); },
            messageIdIllisible() },
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(c.quoi);
        Monde m;
        c.preparer(m);
        const Donnees avant = m.b.d;
        const ResultatChampion r = CDM_Click(m.b.d, m.x, fr);
        EXPECT_EQ(r.messages, QStringList { c.message });
        EXPECT_FALSE(r.echange || r.note1);
        EXPECT_EQ(m.b.d.TabCoureurs, avant.TabCoureurs);
        EXPECT_EQ(m.b.d.IndexChampion, avant.IndexChampion);
    }
}
