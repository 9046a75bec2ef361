// Application des modifications au classeur, sur le tableur en mémoire.
#include "classeur_jeu/application.h"

#include "sheet/adresse.h"
#include "soutien/memoire.h"

#include "aide_donnees.h"
#include "aide_gtest.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::fr;
using sheet::TableurMemoire;

namespace {

const QString chemin = u"/classeurs/base.xls"_s;
const QString cyclist = u"DYN_cyclist"_s;
const QString team = u"DYN_team"_s;

Cellule n(double v)
{
    return Cellule::nombre(v);
}
Cellule tx(const QString &v)
{
    return Cellule::texte(v);
}

/**
 * Une base pleine : la ligne de table i vient de la ligne de feuille 975 - i (comme après
 * un tri), caractéristiques 60 + …, potentiels égaux : rien à relever tant qu'un test ne
 * touche pas une paire. Le classeur tient les mêmes valeurs, à leurs lignes de feuille.
 */
struct Banc
{
    Donnees d;
    TableurMemoire tableur;
    TableurMemoire::ClasseurMemoire origine;
    sheet::Classeur *classeur = nullptr;
    QStringList etiquettes;

    Banc()
    {
        d.Colonnes = colonnesFeuilleCoureurs();
        origine.ordre = QStringList { cyclist, team };
        for (int i = base::premiereLigneCoureur; i <= base::derniereLigneCoureur; ++i) {
            Tableau &tc = d.TabCoureurs;
            tc(i, 0) = n(975 - i);
            tc(i, 1) = n(1000 + i);
            tc(i, 2) = tx(u"Nom%1"_s.arg(i));
            tc(i, 3) = tx(u"Prénom"_s);
            for (int c = 4; c <= 33; ++c)
                tc(i, c) = n(c >= 10 ? 60 + (c - 10) / 2 : c);
            tc(i, 34) = n(70);
            tc(i, 35) = n(71);
            tc(i, 36) = n(0);
            for (int c = 1; c <= 33; ++c)
                origine.feuilles[cyclist][{ 975 - i, c }] = tc(i, c);
        }
        for (int k = base::premiereLigneEquipe; k <= base::derniereLigneEquipe; ++k) {
            Tableau &te = d.TabEquipes;
            te(k, 0) = n(80 - k);
            te(k, 1) = n(k);
            te(k, 2) = tx(u"Equipe %1"_s.arg(k));
            for (int c = 3; c <= 6; ++c)
                te(k, c) = n(c);
            te(k, 7) = n(0);
            for (int c = 1; c <= 6; ++c)
                origine.feuilles[team][{ 80 - k, c }] = te(k, c);
        }
        tableur.deposer(chemin, origine);
        classeur = &tableur.ouvrir(chemin);
    }

    ResultatApplication appliquer()
    {
        etiquettes.clear();
        return appliquerModifications(
            d, *classeur, [this](const QString &e) { etiquettes << e; }, fr);
    }

    Cellule caseFeuille(const QString &f, int ligne, int colonne)
    {
        return classeur->feuille(f).plage(sheet::texteAdresse(ligne, colonne))->valeur();
    }

    /// Toutes les cases d'une feuille, relues par l'interface.
    TableurMemoire::Cases contenu(const QString &f)
    {
        TableurMemoire::Cases r;
        const Tableau v = classeur->feuille(f).plage(u"A1:AK980"_s)->valeurs();
        for (int l = 1; l <= v.derniereLigne(); ++l)
            for (int c = 1; c <= v.derniereColonne(); ++c)
                if (!v(l, c).estVide())
                    r[{ l, c }] = v(l, c);
        return r;
    }

    void marquer(int i) { d.TabCoureurs(i, 36) = n(1); }
};

} // namespace

// Une paire caractéristique / potentiel d'un coureur marqué : ce que devient le potentiel.
struct CasPaire
{
    const char *nom;
    Cellule carac, pot;
    Cellule potApres; ///< dans la table et dans la case de la feuille
    int releves;
};

class Paire : public ::testing::TestWithParam<CasPaire>
{ };

TEST_P(Paire, ReleveOuLaisse)
{
    const CasPaire &cas = GetParam();
    Banc b;
    const int i = 57;
    const int ligneFeuille = 975 - i;
    b.d.TabCoureurs(i, 12) = cas.carac;
    b.d.TabCoureurs(i, 13) = cas.pot;
    b.marquer(i);

    const ResultatApplication r = b.appliquer();

    EXPECT_FALSE(r.erreur);
    EXPECT_EQ(r.nbPotentiels, cas.releves);
    EXPECT_EQ(r.compteRendu.has_value(), cas.releves > 0);
    EXPECT_EQ(b.d.TabCoureurs(i, 13), cas.potApres);
    // Les 33 cases de la ligne de feuille (colonne 0) sont écrites quoi qu'il arrive.
    EXPECT_EQ(r.nbEcritures, 33);
    EXPECT_EQ(b.caseFeuille(cyclist, ligneFeuille, 12), cas.carac);
    EXPECT_EQ(b.caseFeuille(cyclist, ligneFeuille, 13), cas.potApres);
}

INSTANTIATE_TEST_SUITE_P(Application, Paire,
    ::testing::Values(CasPaire { "releve", n(75), n(70), n(75), 1 },
        CasPaire { "planchersEgaux", n(75.4), n(75), n(75), 0 },
        CasPaire { "potentielDecimal", n(75), n(75.9), n(75.9), 0 },
        // Le potentiel prend la valeur telle qu'elle est tenue, sans plancher.
        CasPaire { "valeurNonArrondie", n(76.2), n(75.9), n(76.2), 1 },
        CasPaire { "potentielPlusHaut", n(70), n(75), n(75), 0 },
        // Un potentiel vide compte 0 ; une caractéristique vide est écrite vide.
        CasPaire { "potentielVide", n(75), Cellule(), n(75), 1 },
        CasPaire { "caracVide", Cellule(), n(70), n(70), 0 },
        // Un texte qui se lit comme un nombre est comparé et recopié tel quel.
        CasPaire { "texteNombre", tx(u"75,5"_s), n(70), tx(u"75,5"_s), 1 },
        // Non numérique : la paire n'est pas comparée, ses cases sont écrites quand même.
        CasPaire { "caracNonNumerique", tx(u"abc"_s), n(70), n(70), 0 },
        CasPaire { "potNonNumerique", n(75), tx(u"n/a"_s), tx(u"n/a"_s), 0 }),
    [](const auto &info) { return std::string(info.param.nom); });

TEST(Application, CompteRenduDesPotentielsReleves)
{
    Banc b;
    b.d.TabCoureurs(57, 2) = tx(u"Lefèvre"_s);
    b.d.TabCoureurs(57, 12) = n(75);
    b.marquer(57);
    const ResultatApplication r = b.appliquer();
    ASSERT_TRUE(r.compteRendu);
    EXPECT_EQ(*r.compteRendu,
        u" 1 potentiels étaient inférieurs à la carac correspondante.\r"
        u"Ces potentiels ont été mis au niveau de la note pour éviter les problèmes lors de "
        u"l'import excel.\r\r"
        u"les cyclistes concernés sont : \rLefèvre (12) - "_s);

    // Deux colonnes relevées : comptées deux fois, le coureur cité une fois, dernière colonne.
    Banc b2;
    b2.d.TabCoureurs(100, 12) = n(80);
    b2.d.TabCoureurs(100, 20) = n(90);
    b2.marquer(100);
    const ResultatApplication r2 = b2.appliquer();
    EXPECT_EQ(r2.nbPotentiels, 2);
    EXPECT_EQ(r2.nbCoureursListes, 1);
    EXPECT_EQ(r2.liste, u"Nom100 (20) - "_s);
    EXPECT_TRUE(r2.compteRendu->startsWith(u" 2 potentiels"_s));
    EXPECT_EQ(b2.d.TabCoureurs(100, 13), n(80));
    EXPECT_EQ(b2.d.TabCoureurs(100, 21), n(90));
}

TEST(Application, SeulesLesLignesMarqueesSontEcrites)
{
    Banc b;
    // Coureur non marqué dont le potentiel est bas : ni changé, ni écrit, ni cité.
    b.d.TabCoureurs(3, 12) = n(80);
    b.d.TabCoureurs(3, 13) = n(50);
    // Coureur affiché seulement, et une équipe modifiée : réécrits tels quels.
    b.marquer(10);
    b.d.TabEquipes(5, 2) = tx(u"Nouveau nom"_s);
    b.d.TabEquipes(5, 7) = n(1);
    const Tableau avant = b.d.TabCoureurs;

    const ResultatApplication r = b.appliquer();

    EXPECT_FALSE(r.erreur);
    EXPECT_FALSE(r.compteRendu);
    EXPECT_EQ(r.nbEcritures, 33 + 6);
    EXPECT_EQ(b.tableur.nbEcritures(), 33 + 6);
    EXPECT_EQ(b.d.TabCoureurs, avant);
    // Feuille des coureurs inchangée (la ligne réécrite porte les mêmes valeurs), colonnes
    // 0 et 34 à 36 jamais écrites ; feuille des équipes : seul le nom de la ligne 80 - 5.
    EXPECT_EQ(b.contenu(cyclist), b.origine.feuilles[cyclist]);
    auto attendu = b.origine.feuilles[team];
    attendu[{ 75, 2 }] = tx(u"Nouveau nom"_s);
    EXPECT_EQ(b.contenu(team), attendu);
    EXPECT_TRUE(b.classeur->estModifie());
}

TEST(Application, RetoursChariotApresLes8e16eJusquau64e)
{
    const std::pair<int, int> cas[]
        = { { 7, 0 }, { 8, 1 }, { 9, 1 }, { 16, 2 }, { 63, 7 }, { 64, 8 }, { 65, 8 }, { 80, 8 } };
    for (auto [concernes, retours] : cas) {
        SCOPED_TRACE(concernes);
        Banc b;
        for (int k = 0; k < concernes; ++k) {
            const int i = 2 + 3 * k; // des lignes non concernées entre les concernées
            b.d.TabCoureurs(i, 30) = n(99);
            b.marquer(i);
            b.marquer(i + 1);
        }
        const ResultatApplication r = b.appliquer();
        const QStringList morceaux = r.liste.split(QChar(u'\r'));
        EXPECT_EQ(r.nbCoureursListes, concernes);
        EXPECT_EQ(r.liste.count(u" (30) - "_s), concernes);
        EXPECT_EQ(morceaux.size() - 1, retours);
        // Huit entrées par morceau jusqu'au 64e, le reste ensemble à la fin.
        for (int m = 0; m < retours; ++m)
            EXPECT_EQ(morceaux[m].count(u" - "_s), 8);
        EXPECT_EQ(morceaux.last().count(u" - "_s), concernes - 8 * retours);
    }
}

TEST(Application, DeuxApplicationsEcriventLesMemesLignes)
{
    Banc b;
    b.d.TabCoureurs(200, 14) = n(88);
    b.marquer(200);
    b.marquer(201);

    const ResultatApplication r1 = b.appliquer();
    const auto apres1 = b.contenu(cyclist);
    const ResultatApplication r2 = b.appliquer();

    EXPECT_EQ(r1.nbPotentiels, 1);
    EXPECT_TRUE(r1.compteRendu);
    EXPECT_EQ(r2.nbEcritures, r1.nbEcritures);
    EXPECT_EQ(b.tableur.nbEcritures(), 2 * 66);
    EXPECT_EQ(r2.nbPotentiels, 0);
    EXPECT_FALSE(r2.compteRendu);
    EXPECT_EQ(b.contenu(cyclist), apres1);
    EXPECT_EQ(b.caseFeuille(cyclist, 775, 15), n(88));
}

TEST(Application, ProgressionAChaqueLigne)
{
    Banc b;
    const ResultatApplication r = b.appliquer();

    EXPECT_EQ(r.nbEcritures, 0);
    EXPECT_EQ(b.tableur.nbEcritures(), 0);
    EXPECT_FALSE(r.compteRendu);
    ASSERT_EQ(b.etiquettes.size(), 972 + 41);
    EXPECT_EQ(b.etiquettes.first(), u"Mise à jour des données : Coureur 2sur 973"_s);
    EXPECT_EQ(b.etiquettes.at(57 - 2), u"Mise à jour des données : Coureur 57sur 973"_s);
    EXPECT_EQ(b.etiquettes.at(972), u"Mise à jour des données : Equipe 1sur 41"_s);
    EXPECT_EQ(b.etiquettes.last(), u"Mise à jour des données : Equipe 41sur 41"_s);
}

TEST(Application, EcritureRefuseeArreteEtGardeTout)
{
    Banc b;
    b.d.TabCoureurs(30, 2) = tx(u"Dupré"_s);
    b.d.TabCoureurs(30, 12) = n(90);
    b.d.TabCoureurs(30, 10) = n(61.5);
    b.marquer(10);
    b.marquer(30);
    b.marquer(40);
    b.d.TabCoureurs(40, 5) = n(77);
    b.d.TabEquipes(2, 7) = n(1);
    b.tableur.echouerEcriture(33 + 7); // 7e case du deuxième coureur marqué

    const ResultatApplication r = b.appliquer();

    ASSERT_TRUE(r.erreur);
    EXPECT_TRUE(r.erreur->contains(u"« Dupré » (ligne 945 de la feuille DYN_cyclist)"_s))
        << r.erreur->toStdString();
    EXPECT_TRUE(r.erreur->contains(u"G945"_s)); // raison donnée par le tableur
    EXPECT_EQ(r.nbEcritures, 33 + 6);
    // Le relèvement fait avant l'échec est signalé, sinon il serait perdu au passage suivant.
    ASSERT_TRUE(r.compteRendu);
    EXPECT_TRUE(r.liste.contains(u"Dupré (12) - "_s));
    // Le passage s'est arrêté : rien après la ligne qui a échoué.
    EXPECT_EQ(b.etiquettes.size(), 30 - 2);
    EXPECT_EQ(b.caseFeuille(cyclist, 935, 5), n(5));

    // Le tableur répond de nouveau : tout est écrit, table comprise.
    const Tableau tablesApresEchec = b.d.TabCoureurs;
    b.tableur.echouerEcriture(0);
    const ResultatApplication r2 = b.appliquer();
    EXPECT_FALSE(r2.erreur);
    EXPECT_EQ(r2.nbEcritures, 3 * 33 + 6);
    EXPECT_EQ(b.d.TabCoureurs, tablesApresEchec);
    EXPECT_EQ(b.caseFeuille(cyclist, 945, 13), n(90));
    EXPECT_EQ(b.caseFeuille(cyclist, 945, 11), n(61.5));
    EXPECT_EQ(b.caseFeuille(cyclist, 935, 5), n(77));

    // Feuille des équipes absente : l'échec nomme l'équipe.
    Banc sans;
    sans.origine.ordre = QStringList { cyclist };
    sans.origine.feuilles.remove(team);
    sans.classeur->fermer([](const QString &) { return Reponse::Non; });
    sans.tableur.deposer(chemin, sans.origine);
    sans.classeur = &sans.tableur.ouvrir(chemin);
    sans.marquer(2);
    sans.d.TabEquipes(9, 2) = tx(u"Sans feuille"_s);
    sans.d.TabEquipes(9, 7) = n(1);
    const ResultatApplication r3 = sans.appliquer();
    ASSERT_TRUE(r3.erreur);
    EXPECT_TRUE(
        r3.erreur->contains(u"l'équipe « Sans feuille » (ligne 71 de la feuille DYN_team)"_s))
        << r3.erreur->toStdString();
    EXPECT_EQ(r3.nbEcritures, 33);
}
