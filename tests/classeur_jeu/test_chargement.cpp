#include "classeur_jeu/chargement.h"

#include "aide_gtest.h"
#include "commun/classeur_essai.h"
#include "model/conversions.h"
#include "sheet/erreur.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace essai;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString chemin = u"/donnees/base.xls"_s;

struct Charge
{
    TableurMemoire tableur;
    Donnees d;
    QList<DescriptionBouton> boutons;
    explicit Charge(TableurMemoire::ClasseurMemoire c)
    {
        tableur.deposer(chemin, std::move(c));
        boutons = chargerClasseur(tableur, chemin, d);
    }
};

} // namespace

TEST(Chargement, CoureursTriesParNomAvecLeurLigneEtLeursNotes)
{
    Charge ch(classeurOrdinaire());
    const Tableau &tc = ch.d.TabCoureurs;
    // 967 lignes vides d'abord (le vide passe devant), puis les noms dans l'ordre.
    for (int r = 2; r <= 968; ++r)
        ASSERT_TRUE(tc(r, 2).estVide()) << r;
    const QStringList noms { u"Abeloos"_s, u"Moreau"_s, u"Moreau"_s, u"Vernier"_s, u"Zanetti"_s };
    for (int i = 0; i < noms.size(); ++i)
        EXPECT_EQ(tc(969 + i, 2).valeurTexte(), noms[i]);
    // Les deux Moreau sortent dans l'ordre que le tri donne aux clés égales : inversé.
    EXPECT_EQ(tc(970, 0), Cellule::nombre(5));
    EXPECT_EQ(tc(971, 0), Cellule::nombre(4));
    EXPECT_EQ(tc(973, 0), Cellule::nombre(973)); // la dernière ligne de la feuille est lue
    // Vernier : Montagne 71, Vallons 71 → 70 (70,5 au pair) et 71.
    EXPECT_EQ(tc(972, 1), Cellule::nombre(101));
    EXPECT_EQ(tc(972, 34), Cellule::nombre(70));
    EXPECT_EQ(tc(972, 35), Cellule::nombre(71));
    for (int r = 2; r <= 973; ++r)
        ASSERT_EQ(tc(r, 36), Cellule::nombre(0)) << r;
    // Les 33 colonnes voyagent avec leur ligne.
    EXPECT_EQ(tc(969, 3).valeurTexte(), u"Jan"_s);
    EXPECT_EQ(tc(969, 33), Cellule::nombre(83));
}

TEST(Chargement, EquipesListeesTrieesParAbreviationEtLeursBoutons)
{
    Charge ch(classeurOrdinaire());
    const Tableau &te = ch.d.TabEquipes;
    // 7 équipes gardées (13, les ids vides et la ligne 75 non) : 34 lignes vides devant.
    for (int j = 1; j <= 34; ++j)
        ASSERT_TRUE(te(j, 5).estVide()) << j;
    const QStringList abr { u"ALP"_s, u"BET"_s, u"CON"_s, u"DER"_s, u"DEU"_s, u"FA"_s, u"ONZ"_s };
    const int lignes[] = { 6, 8, 7, 74, 4, 5, 2 };
    for (int i = 0; i < abr.size(); ++i) {
        EXPECT_EQ(te(35 + i, 5).valeurTexte(), abr[i]);
        EXPECT_EQ(te(35 + i, 0), Cellule::nombre(lignes[i])) << abr[i].toStdString();
        EXPECT_EQ(te(35 + i, 7), Cellule::nombre(0));
    }
    EXPECT_EQ(te(39, 6).valeurTexte(), u"deu.velo"_s);
    EXPECT_EQ(ch.d.IndexLibres, 40);
    // Boutons : les deux premières divisions seulement.
    using B = std::tuple<QString, QString, QString, int, int, std::optional<unsigned>>;
    const QList<B> attendus {
        { u"ALP"_s, u"Alpha Vélo"_s, u"35"_s, 550, 240, disposition::couleurDivision1 },
        { u"BET"_s, u"Bêta Cyclisme"_s, u"36"_s, 550, 480, disposition::couleurDivision2 },
        { u"DER"_s, u"Dernière ligne"_s, u"38"_s, 1050, 240, disposition::couleurDivision1 },
        { u"DEU"_s, u"Les Deux"_s, u"39"_s, 1050, 480, disposition::couleurDivision2 },
        { u"ONZ"_s, u"Équipe Onze"_s, u"41"_s, 1550, 240, disposition::couleurDivision1 },
    };
    QList<B> lus;
    for (const DescriptionBouton &b : ch.boutons)
        lus << B { b.legende, b.infobulle, b.tag, b.gauche, b.haut, b.couleur };
    EXPECT_EQ(lus, attendus);
}

TEST(Chargement, DivisionEtIdEnTexteSeLisentCommeDesNombres)
{
    Charge ch(classeur({},
        {
            { 1, t(u"61"_s), u"Libres"_s, n(2), u"FA"_s },
            { 2, t(u"11"_s), u"Texte"_s, t(u"2"_s), u"TXT"_s },
            { 3, n(12), u"Sans division"_s, Cellule(), u"SAN"_s },
        }));
    ASSERT_EQ(ch.boutons.size(), 1);
    EXPECT_EQ(ch.boutons[0].legende, u"TXT"_s);
    EXPECT_EQ(ch.boutons[0].haut, 480);
    EXPECT_EQ(texteCellule(ch.d.TabEquipes(ch.d.IndexLibres, 1)), u"61"_s);
    // 41 équipes listées passent (la 42e est refusée plus bas).
    QList<Equipe> equipes;
    for (int i = 1; i <= 41; ++i)
        equipes << Equipe { i + 10, n(1), u"Double"_s, n(1), u"D%1"_s.arg(i, 2, 10, QChar(u'0')) };
    const Charge quaranteEtUne(classeur({}, equipes));
    EXPECT_EQ(quaranteEtUne.boutons.size(), 41);
    EXPECT_EQ(quaranteEtUne.boutons.last().gauche, 550 + 40 * 500);
}

struct CasRefus
{
    const char *nom;
    std::function<TableurMemoire::ClasseurMemoire()> classeur; ///< vide : fichier absent
    sheet::GenreErreur genre;
};

class Refus : public ::testing::TestWithParam<CasRefus>
{ };

TEST_P(Refus, MessageFermetureSansEnregistrerDonneesIntactes)
{
    const CasRefus &cas = GetParam();
    TableurMemoire tableur;
    if (cas.classeur)
        tableur.deposer(chemin, cas.classeur());
    Donnees d;
    d.IndexLibres = 17;
    d.TabCoureurs(2, 2) = t(u"Témoin"_s);
    try {
        chargerClasseur(tableur, chemin, d);
        FAIL() << "classeur accepté";
    } catch (const sheet::ErreurClasseur &e) {
        EXPECT_EQ(e.fichier(), u"base.xls"_s);
        EXPECT_EQ(e.genre(), cas.genre) << e.detail().toStdString();
    }
    EXPECT_EQ(tableur.classeurActif(), nullptr);
    EXPECT_EQ(d.IndexLibres, 17);
    EXPECT_EQ(d.TabCoureurs(2, 2).valeurTexte(), u"Témoin"_s);
    if (cas.classeur) {
        EXPECT_EQ(tableur.fichier(chemin).enregistrements, 0);
    }
}

TableurMemoire::ClasseurMemoire sansFeuille(const QString &nom)
{
    auto c = classeurOrdinaire();
    c.ordre.removeAll(nom);
    c.feuilles.remove(nom);
    return c;
}

INSTANTIATE_TEST_SUITE_P(Chargement, Refus,
    ::testing::Values(CasRefus { "absent", {}, sheet::GenreErreur::Fichier },
        CasRefus { "sans_feuille_equipes", [] { return sansFeuille(u"DYN_team"_s); },
            sheet::GenreErreur::FeuilleAbsente },
        CasRefus { "sans_feuille_coureurs", [] { return sansFeuille(u"DYN_cyclist"_s); },
            sheet::GenreErreur::FeuilleAbsente },
        CasRefus { "quarante_deux_equipes",
            [] {
                QList<Equipe> e;
                for (int i = 1; i <= 42; ++i)
                    e << Equipe { i, n(1 + i % 3), u"Trop"_s, n(1), u"T"_s };
                return classeur({}, e);
            },
            sheet::GenreErreur::ContenuInattendu }),
    [](const auto &info) { return std::string(info.param.nom); });
