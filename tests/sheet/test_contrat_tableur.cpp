#include "aide_gtest.h"
#include "model/donnees.h"
#include "sheet/aide_xls.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"
#include "soutien/memoire.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

// Les mêmes promesses, tenues par le moteur .xls et par le tableur en mémoire sur lequel
// tournent les tests des appelants. Le moteur fait foi : le double suit.

using namespace zarvo;
using namespace zarvo::sheet;
using namespace Qt::StringLiterals;

namespace {

const QString modele = aide::source(u"tests/data/classeurs/base-libreoffice.xls"_s);
const QString nomFichier = u"base équipe.xls"_s;

struct MoteurXls
{
    QTemporaryDir dossier;
    QString chemin = dossier.filePath(nomFichier);
    std::unique_ptr<Application> app = creerApplicationXls();
    MoteurXls() { aide::ecrireFichier(chemin, aide::lireFichier(modele)); }
};

struct EnMemoire
{
    QString chemin = u"/en/memoire/"_s + nomFichier;
    std::unique_ptr<TableurMemoire> memoire = std::make_unique<TableurMemoire>();
    Application *app = memoire.get();
    EnMemoire()
    {
        // Le même contenu que le fichier du moteur, relu par lui.
        auto xls = creerApplicationXls();
        Classeur &c = xls->ouvrir(modele);
        TableurMemoire::ClasseurMemoire copie;
        copie.ordre = c.nomsFeuilles();
        for (const QString &nom : copie.ordre) {
            const Tableau t = c.feuille(nom).plage(u"A1:AZ1000"_s)->valeurs();
            for (int l = 1; l <= t.nbLignes(); ++l)
                for (int col = 1; col <= t.nbColonnes(); ++col)
                    if (!t(l, col).estVide())
                        copie.feuilles[nom][{ l, col }] = t(l, col);
        }
        memoire->deposer(chemin, copie);
    }
};

template<class T>
class Contrat : public ::testing::Test
{
protected:
    T tableur;
    Application &app() { return *tableur.app; }
    Classeur &ouvrir() { return app().ouvrir(tableur.chemin); }
    static Cellule lire(Classeur &c, const QString &adresse, const QString &f = u"DYN_cyclist"_s)
    {
        return c.feuille(f).plage(adresse)->valeur();
    }
};

using Tableurs = ::testing::Types<MoteurXls, EnMemoire>;
TYPED_TEST_SUITE(Contrat, Tableurs);

TYPED_TEST(Contrat, OuvrirLireEtRefuser)
{
    Application &app = this->app();
    EXPECT_THROW(app.ouvrir(this->tableur.chemin + u"x"_s), ErreurClasseur);
    EXPECT_EQ(app.classeurActif(), nullptr);
    Classeur &c = this->ouvrir();
    EXPECT_EQ(app.classeurActif(), &c);
    EXPECT_THROW(app.ouvrir(this->tableur.chemin), ErreurClasseur);
    EXPECT_EQ(c.nomsFeuilles(),
        QStringList({ u"Lisez-moi"_s, u"DYN_cyclist"_s, u"DYN_team"_s, u"Statistiques"_s }));
    EXPECT_FALSE(c.estModifie());

    // Le bloc est indexé à partir de 1, sa ligne 1 étant la première demandée.
    const Tableau bloc = c.feuille(u"DYN_cyclist"_s).plage(u"A1:AG973"_s)->valeurs();
    EXPECT_EQ(std::tuple(bloc.premiereLigne(), bloc.derniereLigne(), bloc.premiereColonne(),
                  bloc.derniereColonne()),
        std::tuple(1, 973, 1, 33));
    EXPECT_EQ(bloc(1, 1), Cellule::texte(u"Id"_s));
    EXPECT_EQ(bloc(3, 3), Cellule::texte(u"Paweł"_s));
    EXPECT_EQ(bloc(973, 33), Cellule::nombre(62));
    EXPECT_EQ(c.feuille(u"DYN_cyclist"_s).plage(u"B2:C3"_s)->valeurs()(2, 2), bloc(3, 3));
    EXPECT_EQ(this->lire(c, u"M5"_s), Cellule::nombre(85));
    EXPECT_EQ(this->lire(c, u"B3"_s, u"dyn_team"_s), Cellule::texte(u"Team Sankt Oberwald"_s));
    EXPECT_TRUE(this->lire(c, u"AH2"_s).estVide());

    EXPECT_EQ(&c.feuille(u"dyn_team"_s), &c.feuille(u"DYN_team"_s));
    EXPECT_THROW(c.feuille(u"DYN_rider"_s), ErreurClasseur);
    EXPECT_THROW(c.feuille(u"DYN_team"_s).plage(u"A0"_s), ErreurClasseur);
    EXPECT_THROW(
        c.feuille(u"DYN_team"_s).plage(u"A1:B2"_s)->ecrire(Cellule::nombre(1)), ErreurClasseur);
    // 32 768 caractères ne tiennent pas dans une case : refus, rien ne change.
    EXPECT_THROW(
        c.feuille(u"DYN_team"_s).plage(u"B3"_s)->ecrire(Cellule::texte(QString(32768, u'a'))),
        ErreurClasseur);
    EXPECT_EQ(this->lire(c, u"B3"_s, u"DYN_team"_s), Cellule::texte(u"Team Sankt Oberwald"_s));
    EXPECT_FALSE(c.estModifie());

    // Sans modification, quitter ne demande rien.
    int questions = 0;
    const Fermeture f = app.quitter([&](const QString &) {
        ++questions;
        return Reponse::Annuler;
    });
    EXPECT_TRUE(f.fermee);
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(app.classeurActif(), nullptr);
}

TYPED_TEST(Contrat, ChaqueGenreDeValeurEcritPuisEnregistre)
{
    const QString longue = QString(32767, u'é');
    // Tout en ligne 2 ; la colonne 34 (AH) est hors du bloc que lit le programme.
    const struct
    {
        int colonne;
        Cellule ecrite, lue;
    } tous[] = {
        { 2, Cellule::texte(u"1e3"_s), Cellule::nombre(1000) },
        { 3, Cellule::texte(u"-4.5E-1"_s), Cellule::nombre(-0.45) },
        { 4, Cellule::texte(u" 12"_s), Cellule::texte(u" 12"_s) },
        { 5, Cellule::texte(u"1,5"_s), Cellule::texte(u"1,5"_s) },
        { 6, Cellule::texte(u"Ærø 𝄞"_s), Cellule::texte(u"Ærø 𝄞"_s) },
        { 7, Cellule::nombre(2.5), Cellule::nombre(2.5) },
        { 8, Cellule(), Cellule() },
        { 9, Cellule::texte(longue), Cellule::texte(longue) },
        { 34, Cellule::nombre(5), Cellule::nombre(5) },
    };
    // Relues case par case et par bloc, avant l'enregistrement puis après.
    const auto verifier = [&](Classeur &c) {
        const Tableau bloc = c.feuille(u"DYN_cyclist"_s).plage(u"A2:AH3"_s)->valeurs();
        for (const auto &cas : tous) {
            SCOPED_TRACE(cas.colonne);
            EXPECT_EQ(this->lire(c, lettresColonne(cas.colonne) + u"2"_s), cas.lue);
            EXPECT_EQ(bloc(1, cas.colonne), cas.lue);
        }
    };
    Classeur &c = this->ouvrir();
    ASSERT_FALSE(this->lire(c, u"H2"_s).estVide());
    for (const auto &cas : tous)
        c.feuille(u"DYN_cyclist"_s).plage(lettresColonne(cas.colonne) + u"2"_s)->ecrire(cas.ecrite);
    verifier(c);
    EXPECT_TRUE(c.estModifie());
    EXPECT_TRUE(c.fermer([](const QString &) { return Reponse::Oui; }).fermee);
    Classeur &relu = this->ouvrir();
    EXPECT_FALSE(relu.estModifie());
    verifier(relu);
}

TYPED_TEST(Contrat, LaReponseDecideDeLaFermeture)
{
    const std::optional<Reponse> sansQuestion;
    const struct
    {
        const char *nom;
        std::optional<Reponse> reponse;
        bool parQuitter, fermee, enregistre;
    } tous[] = {
        { "Oui", Reponse::Oui, false, true, true },
        { "Non", Reponse::Non, true, true, false },
        { "Annuler", Reponse::Annuler, false, false, false },
        { "AnnulerEnQuittant", Reponse::Annuler, true, false, false },
        { "ReponseInattendue", Reponse::Ok, false, false, false },
        { "SansQuestion", sansQuestion, true, false, false },
    };
    for (const auto &cas : tous) {
        SCOPED_TRACE(cas.nom);
        TypeParam tableur;
        Application &app = *tableur.app;
        Classeur &c = app.ouvrir(tableur.chemin);
        c.feuille(u"DYN_cyclist"_s).plage(u"M5"_s)->ecrire(Cellule::texte(u"75"_s));
        QStringList posees;
        QuestionEnregistrer question;
        if (cas.reponse)
            question = [&](const QString &t) {
                posees << t;
                return *cas.reponse;
            };
        const Fermeture f = cas.parQuitter ? app.quitter(question) : c.fermer(question);
        EXPECT_EQ(f.fermee, cas.fermee);
        EXPECT_FALSE(f.erreur);
        EXPECT_EQ(posees,
            cas.reponse ? QStringList { u"Voulez-vous enregistrer les modifications apportées à "
                                        u"« base équipe.xls » ?"_s }
                        : QStringList());
        EXPECT_EQ(app.classeurActif() != nullptr, !cas.fermee);
        if (!cas.fermee) {
            // Rien n'est perdu : toujours modifié, la valeur est là, Non ferme ensuite.
            EXPECT_TRUE(c.estModifie());
            EXPECT_EQ(this->lire(c, u"M5"_s), Cellule::nombre(75));
            EXPECT_TRUE(c.fermer([](const QString &) { return Reponse::Non; }).fermee);
        }
        Classeur &relu = app.ouvrir(tableur.chemin);
        EXPECT_EQ(this->lire(relu, u"M5"_s), Cellule::nombre(cas.enregistre ? 75 : 85));
    }
}

} // namespace
