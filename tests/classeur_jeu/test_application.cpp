// Application des modifications au classeur, sur le tableur en mémoire.
#include "classeur_jeu/application.h"

#include "commun/classeur_essai.h"

#include "aide_donnees.h"
#include "aide_gtest.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zarvo;
using namespace Qt::StringLiterals;
using ::essai::n;
using ::essai::t;
using sheet::TableurMemoire;
using zarvo::essai::fr;

namespace {

const QString chemin = u"/classeurs/base.xls"_s;
const QString cyclist = u"DYN_cyclist"_s;
const QString team = u"DYN_team"_s;

/// Base pleine : la ligne de table i vient de la ligne de feuille 975 - i (comme après un tri),
/// caractéristiques 60 + …, potentiels égaux ; le classeur tient les mêmes valeurs.
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
        Tableau &tc = d.TabCoureurs;
        for (int i = base::premiereLigneCoureur; i <= base::derniereLigneCoureur; ++i) {
            tc(i, 0) = n(975 - i);
            tc(i, 1) = n(1000 + i);
            tc(i, 2) = t(u"Nom%1"_s.arg(i));
            tc(i, 3) = t(u"Prénom"_s);
            for (int c = 4; c <= 33; ++c)
                tc(i, c) = n(c >= 10 ? 60 + (c - 10) / 2 : c);
            tc(i, 34) = n(70);
            tc(i, 35) = n(71);
            tc(i, 36) = n(0);
            for (int c = 1; c <= 33; ++c)
                origine.feuilles[cyclist][{ 975 - i, c }] = tc(i, c);
        }
        Tableau &te = d.TabEquipes;
        for (int k = base::premiereLigneEquipe; k <= base::derniereLigneEquipe; ++k) {
            te(k, 0) = n(80 - k);
            te(k, 1) = n(k);
            te(k, 2) = t(u"Equipe %1"_s.arg(k));
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

    /// Toutes les cases non vides d'une feuille, relues par l'interface.
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

    void marquer(int i, const std::initializer_list<std::pair<int, Cellule>> &cases = {})
    {
        for (const auto &[c, v] : cases)
            d.TabCoureurs(i, c) = v;
        d.TabCoureurs(i, 36) = n(1);
    }
    void marquerEquipe(int k, int c, const Cellule &v)
    {
        d.TabEquipes(k, c) = v;
        d.TabEquipes(k, 7) = n(1);
    }
};

struct Ecrite
{
    const QString &feuille;
    int ligne, colonne;
    Cellule valeur;
};

struct CasApplication
{
    const char *nom;
    std::function<void(Banc &)> preparer;
    const char16_t *erreur; ///< morceau attendu du message d'échec ; nul : réussite
    int nbPotentiels, nbEcritures;
    const char16_t *liste;
    std::vector<Ecrite> ecrites; ///< seules cases de feuille changées
    int etiquettes = 972 + 41;
};

// Coureur 57 marqué (ligne de feuille 918), paire Montagne / potentiel posée : ce que devient
// le potentiel, dans la table et dans la feuille.
CasApplication paire(
    const char *nom, const Cellule &carac, const Cellule &pot, const Cellule &apres)
{
    const bool releve = !(apres == pot);
    return { nom,
        [=](Banc &b) {
            b.marquer(57, { { 12, carac }, { 13, pot } });
        },
        nullptr, releve ? 1 : 0, 33, releve ? u"Nom57 (12) - " : u"",
        { { cyclist, 918, 12, carac }, { cyclist, 918, 13, apres } } };
}

const CasApplication casApplication[] = {
    paire("releve", n(75), n(70), n(75)),
    paire("planchersEgaux", n(75.4), n(75), n(75)),
    paire("potentielDecimal", n(75), n(75.9), n(75.9)),
    // Le potentiel prend la valeur telle qu'elle est tenue, sans plancher.
    paire("valeurNonArrondie", n(76.2), n(75.9), n(76.2)),
    paire("potentielPlusHaut", n(70), n(75), n(75)),
    // Un potentiel vide compte 0 ; une caractéristique vide est écrite vide.
    paire("potentielVide", n(75), Cellule(), n(75)),
    paire("caracVide", Cellule(), n(70), n(70)),
    // Un texte qui se lit comme un nombre est comparé et recopié tel quel.
    paire("texteNombre", t(u"75,5"_s), n(70), t(u"75,5"_s)),
    // Non numérique : la paire n'est pas comparée, ses cases sont écrites quand même.
    paire("caracNonNumerique", t(u"abc"_s), n(70), n(70)),
    paire("potNonNumerique", n(75), t(u"n/a"_s), t(u"n/a"_s)),
    // Deux colonnes relevées : comptées deux fois, le coureur cité une fois, dernière colonne.
    { "deuxColonnes",
        [](Banc &b) {
            b.marquer(100, { { 2, t(u"Lefèvre"_s) }, { 12, n(80) }, { 20, n(90) } });
        },
        nullptr, 2, 33, u"Lefèvre (20) - ",
        { { cyclist, 875, 2, t(u"Lefèvre"_s) }, { cyclist, 875, 12, n(80) },
            { cyclist, 875, 13, n(80) }, { cyclist, 875, 20, n(90) },
            { cyclist, 875, 21, n(90) } } },
    // Non marqué : ni relevé, ni écrit. Une équipe marquée : ses six cases.
    { "seulesLesLignesMarquees",
        [](Banc &b) {
            b.d.TabCoureurs(3, 12) = n(80);
            b.d.TabCoureurs(3, 33) = n(99);
            b.marquer(10, { { 33, n(95) } });
            b.marquerEquipe(5, 2, t(u"Nouveau nom"_s));
            b.d.TabEquipes(5, 6) = t(u"neuf.fr"_s);
        },
        nullptr, 0, 33 + 6, u"",
        { { cyclist, 965, 33, n(95) }, { team, 75, 2, t(u"Nouveau nom"_s) },
            { team, 75, 6, t(u"neuf.fr"_s) } } },
    // Une seconde application réécrit les lignes marquées, sans rien relever de plus.
    { "secondeApplication",
        [](Banc &b) {
            b.marquer(200, { { 14, n(88) } });
            b.marquer(201);
            b.appliquer();
        },
        nullptr, 0, 66, u"", { { cyclist, 775, 14, n(88) }, { cyclist, 775, 15, n(88) } } },
    // Refus du tableur à la 7e case du deuxième coureur marqué : le passage s'arrête là, le
    // relèvement déjà fait en mémoire est signalé, rien n'est écrit plus loin.
    { "ecritureRefusee",
        [](Banc &b) {
            b.marquer(10);
            b.marquer(30, { { 2, t(u"Dupré"_s) }, { 12, n(90) } });
            b.marquer(40, { { 5, n(77) } });
            b.marquerEquipe(2, 2, t(u"Plus loin"_s));
            b.tableur.echouerEcriture(33 + 7);
        },
        u"« Dupré » (ligne 945 de la feuille DYN_cyclist) :\rCase G945 : échec simulé", 1, 33 + 6,
        u"Dupré (12) - ", { { cyclist, 945, 2, t(u"Dupré"_s) } }, 30 - 2 },
    // Le tableur répond de nouveau : tout est écrit.
    { "repriseApresRefus",
        [](Banc &b) {
            b.marquer(30, { { 12, n(90) }, { 10, n(61.5) } });
            b.marquer(40, { { 5, n(77) } });
            b.tableur.echouerEcriture(7);
            b.appliquer();
            b.tableur.echouerEcriture(0);
        },
        nullptr, 0, 66, u"",
        { { cyclist, 945, 10, n(61.5) }, { cyclist, 945, 11, n(61.5) }, { cyclist, 945, 12, n(90) },
            { cyclist, 945, 13, n(90) }, { cyclist, 935, 5, n(77) } } },
    { "sansFeuilleDesEquipes",
        [](Banc &b) {
            b.origine.ordre = QStringList { cyclist };
            b.origine.feuilles.remove(team);
            b.classeur->fermer([](const QString &) { return Reponse::Non; });
            b.tableur.deposer(chemin, b.origine);
            b.classeur = &b.tableur.ouvrir(chemin);
            b.marquer(2);
            b.marquerEquipe(9, 2, t(u"Sans feuille"_s));
        },
        u"l'équipe « Sans feuille » (ligne 71 de la feuille DYN_team)", 0, 33, u"", {}, 972 + 8 },
};

class Application : public ::testing::TestWithParam<CasApplication>
{ };

TEST_P(Application, TableEtFeuilles)
{
    const CasApplication &cas = GetParam();
    Banc b;
    cas.preparer(b);
    const ResultatApplication r = b.appliquer();

    EXPECT_EQ(r.erreur.has_value(), cas.erreur != nullptr);
    if (cas.erreur && r.erreur) {
        EXPECT_TRUE(r.erreur->contains(QString::fromUtf16(cas.erreur))) << r.erreur->toStdString();
    }
    EXPECT_EQ(r.nbPotentiels, cas.nbPotentiels);
    EXPECT_EQ(r.nbEcritures, cas.nbEcritures);
    EXPECT_EQ(r.liste, QString::fromUtf16(cas.liste));
    if (cas.nbPotentiels > 0) {
        EXPECT_EQ(r.compteRendu,
            u" %1 potentiels étaient inférieurs à la carac correspondante.\rCes potentiels ont "
            u"été mis au niveau de la note pour éviter les problèmes lors de l'import excel."
            u"\r\rles cyclistes concernés sont : \r"_s.arg(cas.nbPotentiels)
                + r.liste);
    } else {
        EXPECT_FALSE(r.compteRendu);
    }
    // Le relevé d'un potentiel est aussi fait dans la table.
    for (const Ecrite &e : cas.ecrites)
        if (e.feuille == cyclist) {
            EXPECT_EQ(b.d.TabCoureurs(975 - e.ligne, e.colonne), e.valeur) << e.ligne;
        }
    for (const QString &f : b.origine.ordre) {
        TableurMemoire::Cases attendu = b.origine.feuilles[f];
        for (const Ecrite &e : cas.ecrites)
            if (e.feuille == f)
                attendu[{ e.ligne, e.colonne }] = e.valeur;
        std::erase_if(attendu, [](const auto &c) { return c.second.estVide(); });
        EXPECT_EQ(b.contenu(f), attendu) << f.toStdString();
    }
    ASSERT_EQ(b.etiquettes.size(), cas.etiquettes);
    EXPECT_EQ(b.etiquettes.first(), u"Mise à jour des données : Coureur 2sur 973"_s);
    if (cas.etiquettes == 972 + 41) {
        EXPECT_EQ(b.etiquettes.last(), u"Mise à jour des données : Equipe 41sur 41"_s);
    }
}

INSTANTIATE_TEST_SUITE_P(Cas, Application, ::testing::ValuesIn(casApplication),
    [](const auto &info) { return std::string(info.param.nom); });

// Retour à la ligne après chaque 8e coureur cité, jusqu'au 64e ; le reste ensemble à la fin.
TEST(Application, RetoursChariotDuCompteRendu)
{
    for (auto [cites, retours] : { std::pair { 7, 0 }, { 8, 1 }, { 64, 8 }, { 65, 8 } }) {
        Banc b;
        for (int k = 0; k < cites; ++k)
            b.marquer(2 + 2 * k, { { 30, n(99) } });
        const QStringList morceaux = b.appliquer().liste.split(QChar(u'\r'));
        ASSERT_EQ(morceaux.size() - 1, retours) << cites;
        for (int m = 0; m < retours; ++m)
            EXPECT_EQ(morceaux[m].count(u" - "_s), 8) << cites;
        EXPECT_EQ(morceaux.last().count(u" - "_s), cites - 8 * retours) << cites;
    }
}

} // namespace
