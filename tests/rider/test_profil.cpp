// Le dessin du profil, sans fenêtre : échelle fixe, moyenne de l'équipe telle que sa liste la
// donne (le reste est joué par le scénario du profil).
#include "aide_donnees.h"
#include "aide_gtest.h"
#include "rider/profil.h"
#include "teams/equipes.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::fr;

namespace {

std::optional<double> valeur(const SerieProfil &s, int axe)
{
    return s.points[std::size_t(axe)].valeur;
}

} // namespace

TEST(Profil, EchelleFixe)
{
    const std::tuple<std::optional<double>, double, bool> cas[]
        = { { -5, 0, true }, { 55.5, 55.5, false }, { 100, 100, false }, { 130, 100, true },
              { std::nullopt, 0, false } };
    for (const auto &[v, dessin, borne] : cas) {
        const PointProfil p = pointProfil(v);
        EXPECT_EQ(p.valeur, v);
        EXPECT_EQ(p.dessin, dessin) << v.value_or(-1);
        EXPECT_EQ(p.borne, borne) << v.value_or(-1);
    }
}

TEST(Profil, ComparaisonEtMoyenneDeLEquipe)
{
    essai::Base b;
    b.equipe(5, u"Cinq"_s, u"CIN"_s);
    b.equipe(7, u"Sept"_s, u"SEP"_s);
    const int x = b.coureur(1, u"Xavier"_s, 5, 60);
    const int y = b.coureur(2, u"Yvon"_s, Cellule::texte(u"5"_s), 80); // même équipe, en texte
    const int z = b.coureur(3, u"Zoé"_s, 7, 99);
    const int w = b.coureur(4, u"Willy"_s, Cellule::texte(u"sans"_s), 50);
    Tableau &t = b.d.TabCoureurs;
    t(y, 10) = Cellule::vide(); // Plaine : seul Xavier compte
    t(x, 12) = Cellule::texte(u"n/a"_s); // Montagne : seul Yvon compte
    t(y, 12) = Cellule::nombre(90);
    t(x, 14) = Cellule::vide(); // Vallons : personne
    t(y, 14) = Cellule::vide();

    const EquipeDuCoureur e = equipeDuCoureur(b.d, x, fr);
    EXPECT_EQ(e.nom, u"Cinq"_s);
    EXPECT_EQ(e.lignes, (QVector<int> { x, y }));

    DemandeProfil q { x, nullptr, z, e.nom, e.lignes };
    const DessinProfil d = dessinProfil(b.d, q, fr);
    ASSERT_TRUE(d.comparee && d.moyenne);
    EXPECT_EQ(d.comparee->nom, u"Comparé : Zoé Jean"_s);
    EXPECT_EQ(valeur(*d.comparee, 5), 99);
    EXPECT_EQ(d.moyenne->nom, u"Moyenne de Cinq (2)"_s);
    const std::optional<double> moyennes[] = { 60, 90, std::nullopt, 70 };
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(valeur(*d.moyenne, k), moyennes[k]) << k;
    // Une équipe sans coureur (id illisible) : pas de moyenne, et on le dit.
    const EquipeDuCoureur sans = equipeDuCoureur(b.d, w, fr);
    const DessinProfil dw = dessinProfil(b.d, { w, nullptr, 0, sans.nom, sans.lignes }, fr);
    EXPECT_FALSE(dw.moyenne);
    EXPECT_FALSE(dw.remarque.isEmpty());
}
