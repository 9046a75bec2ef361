// Journal des modifications, annuler et refaire : chaque cas fait des actions de l'utilisateur
// par la logique des fenêtres, puis juge la table, l'attente et la pile.
#include "rider/annulation.h"

#include "lists/classements.h"
#include "rider/application.h"
#include "rider/champion.h"
#include "rider/panneau.h"
#include "sheet/memoire.h"
#include "teams/equipes.h"

#include "aide_donnees.h"
#include "aide_gtest.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zarvo;
using namespace Qt::StringLiterals;
using essai::fr;

namespace {

// Zulu, Bravo et le champion Alpha : l'ordre des noms n'est pas celui des lignes.
struct Essai
{
    essai::Base b;
    Donnees &d = b.d;
    Annulation annulation { b.d, fr };
    AffichageCoureur panneau;
    int equipe;
    Essai()
    {
        b.coureur(10, u"Zulu"_s, 5);
        b.coureur(11, u"Bravo"_s, 5);
        b.coureur(base::idChampion, u"Alpha"_s, 6);
        equipe = b.equipe(5, u"Cinq"_s, u"CIN"_s);
        b.equipe(6, u"Six"_s, u"SIX"_s);
    }
    int ligne(const QString &nom) const
    {
        for (int r = base::premiereLigneCoureur; r <= base::derniereLigneCoureur; ++r)
            if (d.TabCoureurs(r, 2) == Cellule::texte(nom))
                return r;
        return 0;
    }
    const Cellule &v(const QString &nom, int col) const { return d.TabCoureurs(ligne(nom), col); }
    // Relâchement dans une case du panneau, le coureur cliqué d'abord s'il n'y est pas.
    void tape(const QString &nom, int col, const QString &texte)
    {
        if (panneau.numLigne != ligne(nom))
            panneau = Coureur_Click(d, ligne(nom), fr);
        panneau.notes[col] = texte;
        Note_KeyUp(d, panneau.numLigne, col, panneau.notes, fr);
    }
    int attente() const { return d.Modifications.nbEnAttente(); }
};

Cellule n(double x)
{
    return Cellule::nombre(x);
}

struct CasJournal
{
    const char *nom;
    std::function<void(Essai &)> faire;
    int attente, pas; ///< après faire
    std::function<void(Essai &)> juger;
};

const CasJournal cas[] = {
    { "relachements_fusionnes",
        [](Essai &e) { e.tape(u"Zulu"_s, 12, u"7"_s), e.tape(u"Zulu"_s, 12, u"75"_s); }, 1, 1,
        [](Essai &e) {
            e.annulation.annuler();
            EXPECT_EQ(e.v(u"Zulu"_s, 12), n(60)); // pas « 7 » : la saisie entière
            EXPECT_EQ(e.attente(), 0);
        } },
    { "retour_au_depart",
        [](Essai &e) { e.tape(u"Zulu"_s, 12, u"6"_s), e.tape(u"Zulu"_s, 12, u"60"_s); }, 0, 0,
        [](Essai &) {} },
    { "clic_entre_deux_saisies",
        [](Essai &e) {
            e.tape(u"Zulu"_s, 12, u"70"_s);
            e.panneau = Coureur_Click(e.d, e.ligne(u"Bravo"_s), fr); // clic ailleurs, puis retour
            e.tape(u"Zulu"_s, 12, u"80"_s);
        },
        1, 2,
        [](Essai &e) {
            e.annulation.annuler();
            EXPECT_EQ(e.v(u"Zulu"_s, 12), n(70));
        } },
    { "case_du_coureur_annulee_puis_refaite", [](Essai &e) { e.tape(u"Zulu"_s, 2, u"Zorro"_s); }, 1,
        1,
        [](Essai &e) {
            e.annulation.annuler();
            EXPECT_EQ(e.v(u"Zulu"_s, 1), n(10));
            EXPECT_EQ(e.attente(), 0);
            EXPECT_EQ(e.d.TabCoureurs(e.ligne(u"Zulu"_s), 36), n(1)); // le drapeau reste
            e.annulation.refaire();
            EXPECT_EQ(e.d.TabCoureurs(e.ligne(u"Zorro"_s), 1), n(10));
            EXPECT_EQ(e.attente(), 1);
        } },
    { "fiche_d_equipe",
        [](Essai &e) {
            Careq_KeyUp(e.d, e.equipe, 2, u"C"_s, fr);
            Careq_KeyUp(e.d, e.equipe, 2, u"Cq"_s, fr);
        },
        1, 1,
        [](Essai &e) {
            EXPECT_EQ(e.annulation.annuler().equipes, QList<int> { e.equipe });
            EXPECT_EQ(e.d.TabEquipes(e.equipe, 2), Cellule::texte(u"Cinq"_s));
            e.annulation.refaire();
            EXPECT_EQ(e.d.TabEquipes(e.equipe, 2), Cellule::texte(u"Cq"_s));
        } },
    { "echange_du_champion_les_deux_coureurs",
        [](Essai &e) {
            e.d.IndexChampion = e.ligne(u"Alpha"_s);
            CDM_Click(e.d, e.ligne(u"Zulu"_s), fr);
        },
        2, 1,
        [](Essai &e) {
            e.annulation.annuler();
            EXPECT_EQ(e.v(u"Zulu"_s, 1), n(10));
            EXPECT_EQ(e.v(u"Alpha"_s, 1), n(base::idChampion));
            EXPECT_EQ(e.d.IndexChampion, e.ligne(u"Alpha"_s));
            e.annulation.refaire();
            EXPECT_EQ(e.v(u"Zulu"_s, 1), n(base::idChampion));
            EXPECT_EQ(e.v(u"Alpha"_s, 1), n(10));
        } },
    { "apres_un_classement_puis_une_liste_d_equipe",
        [](Essai &e) {
            e.tape(u"Bravo"_s, 12, u"99"_s);
            Best5050_Click(e.d, fr);
            e.tape(u"Zulu"_s, 3, u"Jeanne"_s);
            Chargeq_Click(e.d, e.equipe, fr);
        },
        2, 2,
        [](Essai &e) {
            ASSERT_NE(e.ligne(u"Zulu"_s), 2); // les tris l'ont déplacé
            e.annulation.annuler();
            EXPECT_EQ(e.v(u"Zulu"_s, 3), Cellule::texte(u"Jean"_s));
            e.annulation.annuler();
            EXPECT_EQ(e.v(u"Bravo"_s, 12), n(60));
            for (const QString &autre : { u"Zulu"_s, u"Alpha"_s })
                EXPECT_EQ(e.v(autre, 12), n(60)) << autre.toStdString();
            EXPECT_EQ(e.v(u"Alpha"_s, 3), Cellule::texte(u"Jean"_s));
        } },
    { "les_notes_suivent_la_caracteristique", [](Essai &e) { e.tape(u"Zulu"_s, 12, u"90"_s); }, 1,
        1,
        [](Essai &e) {
            ASSERT_NE(e.v(u"Zulu"_s, 34), n(60));
            e.annulation.annuler();
            EXPECT_EQ(e.v(u"Zulu"_s, 34), n(60));
            EXPECT_EQ(e.v(u"Zulu"_s, 35), n(60));
        } },
    { "une_ligne_de_la_revue",
        [](Essai &e) {
            e.tape(u"Zulu"_s, 12, u"90"_s);
            e.tape(u"Zulu"_s, 14, u"91"_s);
        },
        2, 2,
        [](Essai &e) {
            e.annulation.revenir({ e.d.Modifications.enAttente().first() });
            EXPECT_EQ(e.v(u"Zulu"_s, 12), n(60));
            EXPECT_EQ(e.v(u"Zulu"_s, 14), n(91));
            EXPECT_EQ(e.attente(), 1);
            e.annulation.annuler(); // Ctrl+Z rend la ligne annulée
            EXPECT_EQ(e.v(u"Zulu"_s, 12), n(90));
        } },
    { "annulee_puis_appliquee", [](Essai &e) { e.tape(u"Zulu"_s, 12, u"90"_s); }, 1, 1,
        [](Essai &e) {
            e.annulation.annuler();
            sheet::TableurMemoire tableur;
            tableur.deposer(u"/b.xls"_s, { { u"DYN_cyclist"_s, u"DYN_team"_s }, {}, 0 });
            e.d.Colonnes = colonnesFeuilleCoureurs();
            ASSERT_FALSE(appliquerModifications(e.d, tableur.ouvrir(u"/b.xls"_s), {}, fr).erreur);
            const int ligneFeuille = int(e.v(u"Zulu"_s, 0).valeurNombre());
            EXPECT_EQ(tableur.classeurActif()
                          ->feuille(u"DYN_cyclist"_s)
                          .plage(u"L%1"_s.arg(ligneFeuille))
                          ->valeur(),
                n(60));
            EXPECT_EQ(e.attente(), 0);
        } },
};

void PrintTo(const CasJournal &c, std::ostream *os)
{
    *os << c.nom;
}

class Journal : public ::testing::TestWithParam<CasJournal>
{ };

TEST_P(Journal, AnnulerRefaire)
{
    Essai e;
    GetParam().faire(e);
    EXPECT_EQ(e.attente(), GetParam().attente);
    EXPECT_EQ(e.annulation.pile().count(), GetParam().pas);
    GetParam().juger(e);
}

INSTANTIATE_TEST_SUITE_P(Cas, Journal, ::testing::ValuesIn(cas),
    [](const auto &info) { return std::string(info.param.nom); });

} // namespace
