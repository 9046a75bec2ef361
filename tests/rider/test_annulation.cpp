// Annuler et refaire : actions de l'utilisateur par la logique des fenêtres, puis la table,
// l'attente et la pile jugées.
#include "rider/annulation.h"

#include "lists/classements.h"
#include "rider/champion.h"
#include "rider/panneau.h"
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
const QString Z = u"Zulu"_s, B = u"Bravo"_s, A = u"Alpha"_s;

struct Essai
{
    essai::Base b;
    Donnees &d = b.d;
    Annulation annulation { b.d, fr };
    AffichageCoureur panneau;
    int equipe = b.equipe(5, u"Cinq"_s, u"CIN"_s);
    Essai()
    {
        b.coureur(10, Z, 5);
        b.coureur(11, B, 5);
        b.coureur(base::idChampion, A, 6);
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
    void tape(const QString &nom, int col, const char *texte)
    {
        if (panneau.numLigne != ligne(nom))
            panneau = Coureur_Click(d, ligne(nom), fr);
        panneau.notes[col] = QString::fromUtf8(texte);
        Note_KeyUp(d, panneau.numLigne, col, panneau.notes, fr);
    }
    int attente() const { return d.Modifications.nbEnAttente(); }
    void annuler() { annulation.annuler(); }
    void refaire() { annulation.refaire(); }
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

void PrintTo(const CasJournal &c, std::ostream *os)
{
    *os << c.nom;
}

// clang-format off
const CasJournal cas[] = {
    { "relachements_fusionnes", [](Essai &e) { e.tape(Z, 12, "7"), e.tape(Z, 12, "75"); }, 1, 1,
        [](Essai &e) {
            e.annuler();
            EXPECT_EQ(e.v(Z, 12), n(60)); // pas « 7 » : la saisie entière
            EXPECT_EQ(e.attente(), 0);
        } },
    { "case_du_coureur_annulee_puis_refaite", [](Essai &e) { e.tape(Z, 2, "Zorro"); }, 1, 1,
        [](Essai &e) {
            e.annuler();
            EXPECT_EQ(e.v(Z, 1), n(10));
            EXPECT_EQ(e.attente(), 0);
            EXPECT_EQ(e.v(Z, 36), n(1)); // le drapeau reste
            e.refaire();
            EXPECT_EQ(e.v(u"Zorro"_s, 1), n(10));
            EXPECT_EQ(e.attente(), 1);
        } },
    { "fiche_d_equipe", [](Essai &e) {
            Careq_KeyUp(e.d, e.equipe, 2, u"C"_s, fr);
            Careq_KeyUp(e.d, e.equipe, 2, u"Cq"_s, fr);
        }, 1, 1,
        [](Essai &e) {
            EXPECT_EQ(e.annulation.annuler().equipes, QList<int> { e.equipe });
            EXPECT_EQ(e.d.TabEquipes(e.equipe, 2), Cellule::texte(u"Cinq"_s));
            e.refaire();
            EXPECT_EQ(e.d.TabEquipes(e.equipe, 2), Cellule::texte(u"Cq"_s));
        } },
    { "echange_du_champion_les_deux_coureurs", [](Essai &e) {
            e.d.IndexChampion = e.ligne(A);
            CDM_Click(e.d, e.ligne(Z), fr);
        }, 2, 1,
        [](Essai &e) {
            e.annuler();
            EXPECT_EQ(e.v(Z, 1), n(10));
            EXPECT_EQ(e.v(A, 1), n(base::idChampion));
            EXPECT_EQ(e.d.IndexChampion, e.ligne(A));
            e.refaire();
            EXPECT_EQ(e.v(Z, 1), n(base::idChampion));
            EXPECT_EQ(e.v(A, 1), n(10));
            // La revue n'en rend qu'une ligne : l'autre moitié de l'échange revient avec elle.
            e.annulation.revenir({ e.d.Modifications.enAttente().first() });
            EXPECT_EQ(e.v(Z, 1), n(10));
            EXPECT_EQ(e.v(A, 1), n(base::idChampion));
        } },
    { "apres_un_classement_puis_une_liste_d_equipe", [](Essai &e) {
            e.tape(B, 12, "99");
            Best5050_Click(e.d, fr);
            e.tape(Z, 3, "Jeanne");
            Chargeq_Click(e.d, e.equipe, fr);
        }, 2, 2,
        [](Essai &e) {
            ASSERT_NE(e.ligne(Z), 2); // les tris l'ont déplacé
            e.annuler();
            EXPECT_EQ(e.v(Z, 3), Cellule::texte(u"Jean"_s));
            e.annuler();
            EXPECT_EQ(e.v(B, 12), n(60));
            EXPECT_EQ(e.v(Z, 12), n(60));
            EXPECT_EQ(e.v(A, 12), n(60));
        } },
    { "les_notes_suivent_la_caracteristique", [](Essai &e) { e.tape(Z, 12, "90"); }, 1, 1,
        [](Essai &e) {
            ASSERT_NE(e.v(Z, 34), n(60));
            e.annuler();
            EXPECT_EQ(e.v(Z, 34), n(60));
            EXPECT_EQ(e.v(Z, 35), n(60));
        } },
};
// clang-format on

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

INSTANTIATE_TEST_SUITE_P(
    Cas, Journal, ::testing::ValuesIn(cas), [](const auto &i) { return std::string(i.param.nom); });

} // namespace
