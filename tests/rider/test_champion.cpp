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
    int y = b.coureur(151, u"Yvon"_s, 7);
    Monde() { b.d.IndexChampion = champion; }
    double id(int ligne) const { return b.d.TabCoureurs(ligne, 1).valeurNombre(); }
    bool marque(int ligne) const { return b.d.TabCoureurs(ligne, 36) == Cellule::nombre(1); }
};

} // namespace

TEST(Champion, EchangeDesIds)
{
    Monde m;
    const ResultatChampion r = CDM_Click(m.b.d, m.x, fr);
    EXPECT_EQ(m.id(m.x), 327);
    EXPECT_EQ(m.id(m.champion), 150);
    EXPECT_TRUE(m.marque(m.x) && m.marque(m.champion));
    EXPECT_FALSE(m.marque(m.y));
    EXPECT_EQ(m.b.d.IndexChampion, m.x);
    EXPECT_EQ(r.note1, u"327"_s);
    // Deux fois de suite : le nouveau champion cède à son tour.
    CDM_Click(m.b.d, m.y, fr);
    EXPECT_EQ(m.id(m.y), 327);
    EXPECT_EQ(m.id(m.x), 151);
    EXPECT_EQ(m.b.d.IndexChampion, m.y);
    // Un id retapé en forme française garde sa partie entière.
    m.b.d.TabCoureurs(m.champion, 1) = Cellule::texte(u"150,7"_s);
    CDM_Click(m.b.d, m.champion, fr);
    EXPECT_EQ(m.b.d.TabCoureurs(m.y, 1), Cellule::nombre(150));
}

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
