#include "model/conversions.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;

namespace {
const QLocale fr(QLocale::French, QLocale::France);
const QLocale us(QLocale::English, QLocale::UnitedStates);
} // namespace

TEST(Conversions, CaseVersTexte)
{
    struct Cas
    {
        Cellule c;
        QLocale l;
        const char *attendu;
    };
    const Cas cas[] = {
        { Cellule(), fr, "" },
        { Cellule::nombre(75), fr, "75" },
        { Cellule::nombre(-3), fr, "-3" },
        { Cellule::nombre(1234567), fr, "1234567" },
        { Cellule::nombre(74.9), fr, "74,9" },
        { Cellule::nombre(1234.5678), fr, "1234,5678" }, // plus de six chiffres
        { Cellule::nombre(74.9), us, "74.9" },
        { Cellule::nombre(0.1 + 0.2), fr, "0,3" },
        { Cellule::texte(u"Dupont"_s), fr, "Dupont" },
    };
    for (const Cas &c : cas)
        EXPECT_EQ(texteCellule(c.c, c.l), QString::fromUtf8(c.attendu)) << c.attendu;
}

TEST(Conversions, TexteVersNombre)
{
    EXPECT_EQ(lireNombre(u"74,9"_s, fr), 74.9);
    EXPECT_EQ(lireNombre(u" 12 "_s, fr), 12.0);
    EXPECT_EQ(lireNombre(u"-5"_s, fr), -5.0);
    EXPECT_FALSE(lireNombre(u"74.9x"_s, fr));
    EXPECT_FALSE(lireNombre(u"nan"_s, us));
    EXPECT_FALSE(lireNombre(u"inf"_s, us));
    EXPECT_FALSE(lireNombre(u""_s, fr));
    EXPECT_FALSE(lireNombre(u"abc"_s, fr));
    EXPECT_EQ(valeurNumerique(Cellule(), fr), 0.0);
}

TEST(Conversions, ArrondisAuPair)
{
    const std::pair<double, double> entiers[]
        = { { 72.5, 72 }, { 73.5, 74 }, { 70.5, 70 }, { 71.5, 72 }, { -2.5, -2 }, { 70.8, 71 } };
    for (auto [x, r] : entiers)
        EXPECT_EQ(arrondi(x), r) << x;
    // Décision : l'arrondi à deux décimales porte sur la valeur décimale affichée.
    const std::pair<double, double> deux[]
        = { { 71.115, 71.12 }, { 71.125, 71.12 }, { 71.135, 71.14 }, { 71.1111111, 71.11 },
              { 82, 82 }, { 0.005, 0 }, { -1.235, -1.24 }, { 75.111111, 75.11 } };
    for (auto [x, r] : deux)
        EXPECT_EQ(arrondi2(x), r) << x;
}

// Le genre d'une cellule se déduit de ses champs : chaque forme doit se relire telle quelle.
TEST(Cellule, GenreEtValeurs)
{
    struct Cas
    {
        Cellule c;
        Cellule::Genre genre;
        double nombre;
        const char *texte;
    };
    const Cas cas[] = {
        { Cellule(), Cellule::Genre::Vide, 0, "" },
        { Cellule::texte({}), Cellule::Genre::Vide, 0, "" },
        { Cellule::nombre(0), Cellule::Genre::Nombre, 0, "" },
        { Cellule::nombre(-0.0), Cellule::Genre::Nombre, 0, "" },
        { Cellule::nombre(-1e308), Cellule::Genre::Nombre, -1e308, "" },
        { Cellule::nombre(5e-324), Cellule::Genre::Nombre, 5e-324, "" },
        { Cellule::texte(u"Ézé"_s), Cellule::Genre::Texte, 0, "Ézé" },
    };
    for (const Cas &c : cas) {
        EXPECT_EQ(c.c.genre(), c.genre) << c.nombre;
        EXPECT_EQ(c.c.estVide(), c.genre == Cellule::Genre::Vide);
        EXPECT_EQ(c.c.valeurNombre(), c.nombre);
        EXPECT_EQ(std::signbit(c.c.valeurNombre()), c.nombre < 0) << "-0 gardé";
        EXPECT_EQ(c.c.valeurTexte(), QString::fromUtf8(c.texte));
    }
    EXPECT_EQ(Cellule::nombre(-0.0), Cellule::nombre(0));
    EXPECT_FALSE(Cellule() == Cellule::nombre(0));
    EXPECT_THROW(Cellule::nombre(std::nan("")), std::invalid_argument);
    EXPECT_THROW(Cellule::nombre(-HUGE_VAL), std::invalid_argument);
}
