// Application des modifications au classeur, sur le tableur en mémoire.
#include "rider/application.h"

#include "model/conversions.h"
#include "sheet/adresse.h"
#include "sheet/memoire.h"

#include "aide_gtest.h"

#include <gtest/gtest.h>

using namespace zarvo;
using sheet::TableurMemoire;

namespace zarvo {
void PrintTo(const Cellule &c, std::ostream *os)
{
    if (c.estVide())
        *os << "(vide)";
    else if (c.estNombre())
        *os << c.valeurNombre();
    else
        *os << '"' << c.valeurTexte().toStdString() << '"';
}
} // namespace zarvo

namespace {

const QLocale fr(QLocale::French, QLocale::France);
const QString chemin = QStringLiteral("/classeurs/base.xls");
const QString cyclist = QStringLiteral("DYN_cyclist");
const QString team = QStringLiteral("DYN_team");

QString s(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

/**
 * Une base pleine : la ligne de table i vient de la ligne de feuille 975 - i (comme après
 * un tri), caractéristiques 60 + …, potentiels égaux : rien à relever tant qu'un test ne
 * touche pas une paire.
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
        for (int i = base::premiereLigneCoureur; i <= base::derniereLigneCoureur; ++i) {
            d.TabCoureurs(i, 0) = Cellule::nombre(975 - i);
            d.TabCoureurs(i, 1) = Cellule::nombre(1000 + i);
            d.TabCoureurs(i, 2) = Cellule::texte(QStringLiteral("Nom%1").arg(i));
            d.TabCoureurs(i, 3) = Cellule::texte(s("Prénom"));
            for (int c = 4; c <= 33; ++c)
                d.TabCoureurs(i, c) = Cellule::nombre(c >= 10 ? 60 + (c - 10) / 2 : c);
            d.TabCoureurs(i, 34) = Cellule::nombre(70);
            d.TabCoureurs(i, 35) = Cellule::nombre(71);
            d.TabCoureurs(i, 36) = Cellule::nombre(0);
        }
        for (int k = base::premiereLigneEquipe; k <= base::derniereLigneEquipe; ++k) {
            d.TabEquipes(k, 0) = Cellule::nombre(80 - k);
            d.TabEquipes(k, 1) = Cellule::nombre(k);
            d.TabEquipes(k, 2) = Cellule::texte(QStringLiteral("Equipe %1").arg(k));
            for (int c = 3; c <= 6; ++c)
                d.TabEquipes(k, c) = Cellule::nombre(c);
            d.TabEquipes(k, 7) = Cellule::nombre(0);
        }
        // Le classeur tient les mêmes valeurs que les tables, à leurs lignes de feuille.
        origine.ordre = QStringList { cyclist, team };
        for (int i = base::premiereLigneCoureur; i <= base::derniereLigneCoureur; ++i)
            for (int c = 1; c <= 33; ++c)
                origine.feuilles[cyclist][{ 975 - i, c }] = d.TabCoureurs(i, c);
        for (int k = base::premiereLigneEquipe; k <= base::derniereLigneEquipe; ++k)
            for (int c = 1; c <= 6; ++c)
                origine.feuilles[team][{ 80 - k, c }] = d.TabEquipes(k, c);
        tableur.deposer(chemin, origine);
        classeur = &tableur.ouvrir(chemin);
    }

    ResultatApplication appliquer()
    {
        etiquettes.clear();
        return appliquerModifications(
            d, *classeur, [this](const QString &t) { etiquettes << t; }, fr);
    }

    Cellule caseFeuille(const QString &f, int ligne, int colonne)
    {
        return classeur->feuille(f).plage(sheet::texteAdresse(ligne, colonne))->valeur();
    }

    /// Toutes les cases d'une feuille, relues par l'interface (lignes 1..80, A..AK).
    TableurMemoire::Cases contenu(const QString &f)
    {
        TableurMemoire::Cases r;
        const Tableau t = classeur->feuille(f).plage(QStringLiteral("A1:AK980"))->valeurs();
        for (int l = 1; l <= t.derniereLigne(); ++l)
            for (int c = 1; c <= t.derniereColonne(); ++c)
                if (!t(l, c).estVide())
                    r[{ l, c }] = t(l, c);
        return r;
    }

    void marquer(int i) { d.TabCoureurs(i, 36) = Cellule::nombre(1); }
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
    // La case de la caractéristique est écrite quoi qu'il arrive, le potentiel aussi.
    EXPECT_EQ(r.nbEcritures, 33);
    EXPECT_EQ(b.caseFeuille(cyclist, ligneFeuille, 12), cas.carac);
    EXPECT_EQ(b.caseFeuille(cyclist, ligneFeuille, 13), cas.potApres);
}

INSTANTIATE_TEST_SUITE_P(Application, Paire,
    ::testing::Values(
        CasPaire { "releve", Cellule::nombre(75), Cellule::nombre(70), Cellule::nombre(75), 1 },
        CasPaire {
            "planchersEgaux", Cellule::nombre(75.4), Cellule::nombre(75), Cellule::nombre(75), 0 },
        CasPaire { "potentielDecimal", Cellule::nombre(75), Cellule::nombre(75.9),
            Cellule::nombre(75.9), 0 },
        // Le potentiel prend la valeur telle qu'elle est tenue, sans plancher.
        CasPaire { "valeurNonArrondie", Cellule::nombre(76.2), Cellule::nombre(75.9),
            Cellule::nombre(76.2), 1 },
        CasPaire {
            "potentielPlusHaut", Cellule::nombre(70), Cellule::nombre(75), Cellule::nombre(75), 0 },
        // Un potentiel vide compte 0.
        CasPaire { "potentielVide", Cellule::nombre(75), Cellule(), Cellule::nombre(75), 1 },
        CasPaire { "caracVide", Cellule(), Cellule::nombre(70), Cellule::nombre(70), 0 },
        // Un texte qui se lit comme un nombre est comparé et recopié tel quel.
        CasPaire { "texteNombre", Cellule::texte(QStringLiteral("75,5")), Cellule::nombre(70),
            Cellule::texte(QStringLiteral("75,5")), 1 },
        // Non numérique : la paire n'est pas comparée, ses cases sont écrites quand même.
        CasPaire { "caracNonNumerique", Cellule::texte(QStringLiteral("abc")), Cellule::nombre(70),
            Cellule::nombre(70), 0 },
        CasPaire { "potNonNumerique", Cellule::nombre(75), Cellule::texte(QStringLiteral("n/a")),
            Cellule::texte(QStringLiteral("n/a")), 0 }),
    [](const auto &info) { return std::string(info.param.nom); });

TEST(Application, UnPotentielReleveEtSonMessage)
{
    Banc b;
    b.d.TabCoureurs(57, 2) = Cellule::texte(s("Lefèvre"));
    b.d.TabCoureurs(57, 12) = Cellule::nombre(75);
    b.d.TabCoureurs(57, 13) = Cellule::nombre(70);
    b.marquer(57);

    const ResultatApplication r = b.appliquer();

    ASSERT_TRUE(r.compteRendu);
    EXPECT_EQ(*r.compteRendu,
        s(" 1 potentiels étaient inférieurs à la carac correspondante.\r"
          "Ces potentiels ont été mis au niveau de la note pour éviter les problèmes lors de "
          "l'import excel.\r\r"
          "les cyclistes concernés sont : \rLefèvre (12) - "));
    EXPECT_EQ(b.caseFeuille(cyclist, 975 - 57, 13), Cellule::nombre(75)); // colonne M
}

TEST(Application, DeuxColonnesCompteesDeuxFoisListeesUneFois)
{
    Banc b;
    b.d.TabCoureurs(100, 12) = Cellule::nombre(80);
    b.d.TabCoureurs(100, 20) = Cellule::nombre(90);
    b.marquer(100);

    const ResultatApplication r = b.appliquer();

    EXPECT_EQ(r.nbPotentiels, 2);
    EXPECT_EQ(r.nbCoureursListes, 1);
    EXPECT_EQ(r.liste, QStringLiteral("Nom100 (20) - "));
    EXPECT_TRUE(r.compteRendu->startsWith(QStringLiteral(" 2 potentiels")));
    EXPECT_EQ(b.d.TabCoureurs(100, 13), Cellule::nombre(80));
    EXPECT_EQ(b.d.TabCoureurs(100, 21), Cellule::nombre(90));
}

TEST(Application, SeulesLesLignesMarqueesSontEcrites)
{
    Banc b;
    // Coureur non marqué dont le potentiel est bas : ni changé, ni écrit, ni cité.
    b.d.TabCoureurs(3, 12) = Cellule::nombre(80);
    b.d.TabCoureurs(3, 13) = Cellule::nombre(50);
    // Coureur affiché seulement, et une équipe modifiée : réécrits tels quels.
    b.marquer(10);
    b.d.TabEquipes(5, 2) = Cellule::texte(s("Nouveau nom"));
    b.d.TabEquipes(5, 7) = Cellule::nombre(1);
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
    attendu[{ 75, 2 }] = Cellule::texte(s("Nouveau nom"));
    EXPECT_EQ(b.contenu(team), attendu);
    EXPECT_TRUE(b.classeur->estModifie());
}

TEST(Application, EcritALaLigneDeFeuilleDeLaColonneZero)
{
    Banc b;
    b.d.TabCoureurs(20, 5) = Cellule::nombre(44);
    b.d.TabCoureurs(20, 3) = Cellule::texte(QStringLiteral("Jean-Luc"));
    b.d.TabCoureurs(20, 9) = Cellule();
    b.marquer(20);

    ASSERT_FALSE(b.appliquer().erreur);

    EXPECT_EQ(b.caseFeuille(cyclist, 955, 5), Cellule::nombre(44)); // E955, pas E20
    EXPECT_EQ(b.caseFeuille(cyclist, 955, 3), Cellule::texte(QStringLiteral("Jean-Luc")));
    EXPECT_EQ(b.caseFeuille(cyclist, 955, 9), Cellule()); // I955 vidée
    EXPECT_EQ(b.caseFeuille(cyclist, 20, 5), Cellule::nombre(5));
}

TEST(Application, RetoursChariotApresLes8e16eJusquau64e)
{
    struct Cas
    {
        int concernes;
        int retours;
    };
    const Cas cas[] = { { 7, 0 }, { 8, 1 }, { 9, 1 }, { 16, 2 }, { 63, 7 }, { 64, 8 }, { 65, 8 },
        { 72, 8 }, { 80, 8 } };
    for (const Cas &c : cas) {
        Banc b;
        for (int n = 0; n < c.concernes; ++n) {
            const int i = 2 + 3 * n; // des lignes non concernées entre les concernées
            b.d.TabCoureurs(i, 30) = Cellule::nombre(99);
            b.marquer(i);
            b.marquer(i + 1);
        }
        const ResultatApplication r = b.appliquer();
        const QStringList morceaux = r.liste.split(QChar(u'\r'));
        EXPECT_EQ(r.nbCoureursListes, c.concernes);
        EXPECT_EQ(r.liste.count(QStringLiteral(" (30) - ")), c.concernes);
        EXPECT_EQ(morceaux.size() - 1, c.retours) << c.concernes << " concernés";
        // Huit entrées par morceau jusqu'au 64e, le reste ensemble à la fin.
        for (int m = 0; m < c.retours; ++m)
            EXPECT_EQ(morceaux[m].count(QStringLiteral(" - ")), 8) << c.concernes;
        EXPECT_EQ(morceaux.last().count(QStringLiteral(" - ")), c.concernes - 8 * c.retours);
    }
    Banc b;
    for (int n = 0; n < 9; ++n) {
        b.d.TabCoureurs(2 + n, 12) = Cellule::nombre(99);
        b.marquer(2 + n);
    }
    EXPECT_EQ(b.appliquer().liste,
        QStringLiteral("Nom2 (12) - Nom3 (12) - Nom4 (12) - Nom5 (12) - Nom6 (12) - Nom7 (12) - "
                       "Nom8 (12) - Nom9 (12) - \rNom10 (12) - "));
}

TEST(Application, DeuxApplicationsEcriventLesMemesLignes)
{
    Banc b;
    b.d.TabCoureurs(200, 14) = Cellule::nombre(88);
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
    EXPECT_EQ(b.caseFeuille(cyclist, 775, 15), Cellule::nombre(88));
}

TEST(Application, ProgressionAChaqueLigne)
{
    Banc b;
    const ResultatApplication r = b.appliquer();

    EXPECT_EQ(r.nbEcritures, 0);
    EXPECT_EQ(b.tableur.nbEcritures(), 0);
    EXPECT_FALSE(r.compteRendu);
    ASSERT_EQ(b.etiquettes.size(), 972 + 41);
    EXPECT_EQ(b.etiquettes.first(), s("Mise à jour des données : Coureur 2sur 973"));
    EXPECT_EQ(b.etiquettes.at(57 - 2), s("Mise à jour des données : Coureur 57sur 973"));
    EXPECT_EQ(b.etiquettes.at(971), s("Mise à jour des données : Coureur 973sur 973"));
    EXPECT_EQ(b.etiquettes.at(972), s("Mise à jour des données : Equipe 1sur 41"));
    EXPECT_EQ(b.etiquettes.last(), s("Mise à jour des données : Equipe 41sur 41"));
}

TEST(Application, EcritureRefuseeArreteEtGardeTout)
{
    Banc b;
    b.d.TabCoureurs(30, 2) = Cellule::texte(s("Dupré"));
    b.d.TabCoureurs(30, 12) = Cellule::nombre(90);
    b.d.TabCoureurs(30, 10) = Cellule::nombre(61.5);
    b.marquer(10);
    b.marquer(30);
    b.marquer(40);
    b.d.TabCoureurs(40, 5) = Cellule::nombre(77);
    b.d.TabEquipes(2, 7) = Cellule::nombre(1);
    b.tableur.echouerEcriture(33 + 7); // 7e case du deuxième coureur marqué

    const ResultatApplication r = b.appliquer();

    ASSERT_TRUE(r.erreur);
    EXPECT_TRUE(r.erreur->contains(s("« Dupré »"))) << r.erreur->toStdString();
    EXPECT_TRUE(r.erreur->contains(s("ligne 945 de la feuille DYN_cyclist")));
    EXPECT_TRUE(r.erreur->contains(QStringLiteral("G945"))); // raison donnée par le tableur
    EXPECT_EQ(r.nbEcritures, 33 + 6);
    // Le relèvement fait avant l'échec est signalé, sinon il serait perdu au passage suivant.
    ASSERT_TRUE(r.compteRendu);
    EXPECT_TRUE(r.liste.contains(s("Dupré (12) - ")));
    // Le passage s'est arrêté : rien après la ligne qui a échoué.
    EXPECT_EQ(b.etiquettes.size(), 30 - 2);
    EXPECT_EQ(b.caseFeuille(cyclist, 935, 5), Cellule::nombre(5));

    // Le tableur répond de nouveau : tout est écrit, table comprise.
    const Tableau tablesApresEchec = b.d.TabCoureurs;
    b.tableur.echouerEcriture(0);
    const ResultatApplication r2 = b.appliquer();
    EXPECT_FALSE(r2.erreur);
    EXPECT_EQ(r2.nbEcritures, 3 * 33 + 6);
    EXPECT_EQ(b.d.TabCoureurs, tablesApresEchec);
    EXPECT_EQ(b.caseFeuille(cyclist, 945, 13), Cellule::nombre(90));
    EXPECT_EQ(b.caseFeuille(cyclist, 945, 11), Cellule::nombre(61.5));
    EXPECT_EQ(b.caseFeuille(cyclist, 935, 5), Cellule::nombre(77));
}

TEST(Application, FeuilleDesEquipesAbsente)
{
    Banc b;
    b.origine.ordre = QStringList { cyclist };
    b.origine.feuilles.remove(team);
    b.classeur->fermer([](const QString &) { return Reponse::Non; });
    b.tableur.deposer(chemin, b.origine);
    b.classeur = &b.tableur.ouvrir(chemin);
    b.marquer(2);
    b.d.TabEquipes(9, 2) = Cellule::texte(QStringLiteral("Sans feuille"));
    b.d.TabEquipes(9, 7) = Cellule::nombre(1);

    const ResultatApplication r = b.appliquer();

    ASSERT_TRUE(r.erreur);
    EXPECT_TRUE(
        r.erreur->contains(s("l'équipe « Sans feuille » (ligne 71 de la feuille DYN_team)")))
        << r.erreur->toStdString();
    EXPECT_EQ(r.nbEcritures, 33);
}
