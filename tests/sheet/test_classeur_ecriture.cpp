#include "aide_ecriture.h"
#include "aide_gtest.h"
#include "appareil_defaillant.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"
#include "sheet/xls/classeur_xls.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace aide_ecriture;
using namespace zarvo::sheet;
using namespace Qt::StringLiterals;

namespace {

/// Copie d'un classeur de test dans un dossier jetable.
struct Copie
{
    QTemporaryDir dossier;
    QString chemin = dossier.filePath(u"base équipe.xls"_s);
    QByteArray origine = lireFichier(source(u"tests/data/classeurs/base-libreoffice.xls"_s));
    Copie() { aide::ecrireFichier(chemin, origine); }
    QByteArray octets() const { return lireFichier(chemin); }
    QStringList fichiers() const
    {
        return QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

/// Question qui répond toujours la même chose et note ce qu'on lui a demandé.
struct Question
{
    Reponse reponse;
    QStringList posees;
    QuestionEnregistrer fonction()
    {
        return [this](const QString &t) {
            posees << t;
            return reponse;
        };
    }
};

Cellule lire(Classeur &c, const QString &feuille, const QString &adresse)
{
    return c.feuille(feuille).plage(adresse)->valeur();
}

xls::ClasseurXls &ouvrirModifie(Application &app, const Copie &copie)
{
    auto *x = dynamic_cast<xls::ClasseurXls *>(&app.ouvrir(copie.chemin));
    if (!x)
        throw std::logic_error("le moteur .xls n'a pas rendu un ClasseurXls");
    x->feuille(u"DYN_cyclist"_s).plage(u"B7"_s)->ecrire(Cellule::texte(u"Ærø"_s));
    return *x;
}

TEST(Fermer, LaQuestionDecide)
{
    struct Cas
    {
        const char *nom;
        Reponse reponse;
        bool fermee, enregistre;
    };
    const Cas tous[] = { { "Oui", Reponse::Oui, true, true }, { "Non", Reponse::Non, true, false },
        { "Annuler", Reponse::Annuler, false, false },
        { "ReponseInattendue", Reponse::Ok, false, false } };
    for (const Cas &cas : tous) {
        SCOPED_TRACE(cas.nom);
        Copie copie;
        auto app = creerApplicationXls();
        Classeur &c = app->ouvrir(copie.chemin);
        c.feuille(u"DYN_cyclist"_s).plage(u"M5"_s)->ecrire(Cellule::texte(u"75"_s));
        c.feuille(u"DYN_team"_s).plage(u"B3"_s)->ecrire(Cellule::texte(u"Équipe « Ω »"_s));
        EXPECT_TRUE(c.estModifie());
        // Relue avant tout enregistrement : la règle du nombre a joué.
        EXPECT_EQ(lire(c, u"DYN_cyclist"_s, u"M5"_s), Cellule::nombre(75));
        Question q { cas.reponse, {} };
        const Fermeture f = c.fermer(q.fonction());
        EXPECT_EQ(q.posees,
            QStringList { QStringLiteral(
                "Voulez-vous enregistrer les modifications apportées à « base équipe.xls » ?") });
        EXPECT_EQ(f.fermee, cas.fermee);
        EXPECT_TRUE(f.erreur.isEmpty()) << f.erreur.toStdString();
        EXPECT_EQ(c.estOuvert(), !cas.fermee);
        EXPECT_EQ(copie.octets() == copie.origine, !cas.enregistre);
        // Oui : la copie de secours, octet pour octet le classeur tel qu'ouvert.
        EXPECT_EQ(copie.fichiers().size(), cas.enregistre ? 2 : 1);
        if (cas.enregistre) {
            EXPECT_EQ(lireFichier(copie.dossier.filePath(u"base équipe.sauvegarde.xls"_s)),
                copie.origine);
        }
        if (!cas.fermee) {
            // Annuler : rien n'est perdu, le classeur reste modifié et se ferme ensuite.
            EXPECT_TRUE(c.estModifie());
            EXPECT_EQ(lire(c, u"DYN_team"_s, u"B3"_s), Cellule::texte(u"Équipe « Ω »"_s));
            Question non { Reponse::Non, {} };
            EXPECT_TRUE(c.fermer(non.fonction()).fermee);
            EXPECT_EQ(copie.octets(), copie.origine);
        } else if (cas.enregistre) {
            auto relue = creerApplicationXls();
            Classeur &r = relue->ouvrir(copie.chemin);
            EXPECT_EQ(lire(r, u"DYN_cyclist"_s, u"M5"_s), Cellule::nombre(75));
            EXPECT_EQ(lire(r, u"DYN_team"_s, u"B3"_s), Cellule::texte(u"Équipe « Ω »"_s));
            EXPECT_FALSE(r.estModifie());
        }
    }
}

TEST(Quitter, FermeDAbordDeLaMemeFacon)
{
    Copie copie;
    auto app = creerApplicationXls();
    Classeur &c = app->ouvrir(copie.chemin);
    c.feuille(u"DYN_team"_s).plage(u"C4"_s)->ecrire(Cellule::nombre(2));
    Question annuler { Reponse::Annuler, {} };
    EXPECT_FALSE(app->quitter(annuler.fonction()).fermee);
    EXPECT_EQ(app->classeurActif(), &c);
    Question oui { Reponse::Oui, {} };
    EXPECT_TRUE(app->quitter(oui.fonction()).fermee);
    EXPECT_EQ(app->classeurActif(), nullptr);
    EXPECT_NE(copie.octets(), copie.origine);
}

TEST(Ecrire, ValeursPoseesBlocReluEtFormatGarde)
{
    Copie copie;
    auto app = creerApplicationXls();
    Classeur &c = app->ouvrir(copie.chemin);
    Feuille &f = c.feuille(u"DYN_cyclist"_s);
    const Tableau avant = f.plage(u"A1:AG973"_s)->valeurs();
    // Le bloc est indexé à partir de 1, sa ligne 1 étant la première demandée.
    EXPECT_EQ(std::tuple(avant.premiereLigne(), avant.derniereLigne(), avant.premiereColonne(),
                  avant.derniereColonne()),
        std::tuple(1, 973, 1, 33));
    EXPECT_EQ(f.plage(u"B2:C3"_s)->valeurs()(2, 2), avant(3, 3));
    f.plage(u"B2"_s)->ecrire(Cellule::texte(u"1e3"_s));
    f.plage(u"C2"_s)->ecrire(Cellule::texte(u" 12"_s));
    f.plage(u"D2"_s)->ecrire(Cellule());
    f.plage(u"AH2"_s)->ecrire(Cellule::nombre(5)); // hors du bloc lu
    const Tableau apres = f.plage(u"A1:AG973"_s)->valeurs();
    EXPECT_EQ(apres(2, 2), Cellule::nombre(1000));
    EXPECT_EQ(apres(2, 3), Cellule::texte(u" 12"_s));
    EXPECT_TRUE(apres(2, 4).estVide());
    EXPECT_EQ(apres(2, 1), avant(2, 1));
    EXPECT_EQ(apres(973, 33), avant(973, 33));

    // Après l'enregistrement, la case vidée garde son format et le classeur n'est plus modifié ;
    // le fichier remplacé garde ses droits.
    ASSERT_EQ(::chmod(QFile::encodeName(copie.chemin).constData(), 0640), 0);
    auto *x = dynamic_cast<xls::ClasseurXls *>(&c);
    ASSERT_NE(x, nullptr);
    const int k = x->biff().chercherFeuille(u"DYN_cyclist"_s);
    const xls::FeuilleBiff avantD2 = x->biff().lireFeuille(std::size_t(k));
    const std::uint16_t xfD2 = avantD2.xf(*avantD2.chercher(1, 3), 3);
    x->enregistrer();
    EXPECT_FALSE(c.estModifie());
    struct stat st
    { };
    ASSERT_EQ(::stat(QFile::encodeName(copie.chemin).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(copie.fichiers().size(), 1);
    const xls::ClasseurBiff o = ouvrir(copie.chemin);
    const xls::FeuilleBiff apresD2 = o.lireFeuille(std::size_t(k));
    const xls::Case *d2 = apresD2.chercher(1, 3);
    ASSERT_NE(d2, nullptr);
    EXPECT_TRUE(apresD2.valeur(*d2, 3).estVide());
    EXPECT_EQ(apresD2.xf(*d2, 3), xfD2);
    EXPECT_EQ(f.plage(u"B2"_s)->valeur(), Cellule::nombre(1000));

    // Sous un autre nom : le fichier ouvert ne bouge plus.
    const QByteArray enregistre = copie.octets();
    f.plage(u"A2"_s)->ecrire(Cellule::nombre(61));
    const QString autre = copie.dossier.filePath(u"autre.xls"_s);
    x->enregistrer(autre);
    EXPECT_EQ(copie.octets(), enregistre);
    auto relue = creerApplicationXls();
    EXPECT_EQ(lire(relue->ouvrir(autre), u"DYN_cyclist"_s, u"A2"_s), Cellule::nombre(61));
}

TEST(Echec, EnPleinEnregistrementLOriginalNeBougePas)
{
    const qint64 taille = Copie().origine.size();
    for (const qint64 limite :
        { qint64(0), qint64(1), qint64(65535), qint64(65536), qint64(65537), taille - 1 }) {
        SCOPED_TRACE(limite);
        Copie copie;
        auto app = creerApplicationXls();
        xls::ClasseurXls &x = ouvrirModifie(*app, copie);
        // La copie de secours passe (première écriture), l'enregistrement échoue.
        int ecritures = 0;
        x.definirEnveloppe([limite, &ecritures](QIODevice &f) {
            return std::make_unique<AppareilDefaillant>(f, ++ecritures == 1 ? 1 << 30 : limite);
        });
        Question oui { Reponse::Oui, {} };
        const Fermeture f = x.fermer(oui.fonction());
        EXPECT_FALSE(f.fermee);
        EXPECT_TRUE(f.erreur.contains(u"« base équipe.xls »"_s)) << f.erreur.toStdString();
        EXPECT_TRUE(f.erreur.contains(u"n'a pas été modifié"_s)) << f.erreur.toStdString();
        EXPECT_TRUE(x.estOuvert());
        EXPECT_TRUE(x.estModifie());
        EXPECT_EQ(copie.octets(), copie.origine);
        const QString sauvegarde = copie.dossier.filePath(u"base équipe.sauvegarde.xls"_s);
        EXPECT_EQ(lireFichier(sauvegarde), copie.origine);
        // L'écriture réparée, le même classeur s'enregistre ; la copie, une par session, reste.
        aide::ecrireFichier(sauvegarde, "témoin");
        x.definirEnveloppe({});
        EXPECT_TRUE(x.fermer(oui.fonction()).fermee);
        EXPECT_EQ(lireFichier(sauvegarde), "témoin");
        auto relue = creerApplicationXls();
        EXPECT_EQ(
            lire(relue->ouvrir(copie.chemin), u"DYN_cyclist"_s, u"B7"_s), Cellule::texte(u"Ærø"_s));
    }
}

/**
 * La copie de secours qui ne s'écrit pas : rien n'est enregistré, le classeur reste ouvert
 * avec ses valeurs posées ; réparée, elle s'écrit (l'ancienne remplacée) avant l'enregistrement,
 * puis la session suivante la remplace.
 */
TEST(CopieDeSecours, EchecPuisReprise)
{
    struct Cas
    {
        const char *nom;
        std::function<void(const QString &sauvegarde, xls::ClasseurXls &)> abimer, reparer;
    };
    const Cas tous[] = {
        { "nom_pris_par_un_dossier", [](const QString &s, auto &) { ASSERT_TRUE(QDir().mkdir(s)); },
            [](const QString &s, auto &) { ASSERT_TRUE(QDir().rmdir(s)); } },
        { "disque_plein",
            [](const QString &, xls::ClasseurXls &x) {
                x.definirEnveloppe(
                    [](QIODevice &f) { return std::make_unique<AppareilDefaillant>(f, 100); });
            },
            [](const QString &s, xls::ClasseurXls &x) {
                x.definirEnveloppe({});
                aide::ecrireFichier(s, "ancienne copie");
            } },
    };
    for (const Cas &cas : tous) {
        SCOPED_TRACE(cas.nom);
        Copie copie;
        const QString sauvegarde = copie.dossier.filePath(u"base équipe.sauvegarde.xls"_s);
        auto app = creerApplicationXls();
        xls::ClasseurXls &x = ouvrirModifie(*app, copie);
        cas.abimer(sauvegarde, x);
        Question oui { Reponse::Oui, {} };
        const Fermeture f = x.fermer(oui.fonction());
        EXPECT_FALSE(f.fermee);
        EXPECT_TRUE(f.erreur.contains(u"copie de secours « base équipe.sauvegarde.xls »"_s)
            && f.erreur.contains(u"Rien n'a été enregistré"_s))
            << f.erreur.toStdString();
        EXPECT_TRUE(x.estOuvert() && x.estModifie());
        EXPECT_EQ(lire(x, u"DYN_cyclist"_s, u"B7"_s), Cellule::texte(u"Ærø"_s));
        EXPECT_EQ(copie.octets(), copie.origine);
        cas.reparer(sauvegarde, x);
        EXPECT_TRUE(x.fermer(oui.fonction()).fermee);
        EXPECT_EQ(lireFichier(sauvegarde), copie.origine);
        // La session suivante remplace la copie par le classeur tel qu'elle l'a ouvert.
        const QByteArray premiereSession = copie.octets();
        ASSERT_NE(premiereSession, copie.origine);
        auto suivante = creerApplicationXls();
        Classeur &c = suivante->ouvrir(copie.chemin);
        c.feuille(u"DYN_team"_s).plage(u"B3"_s)->ecrire(Cellule::texte(u"Deux"_s));
        EXPECT_TRUE(c.fermer(oui.fonction()).fermee);
        EXPECT_EQ(lireFichier(sauvegarde), premiereSession);
    }
}

TEST(Echec, FichierDisparuNonRecree)
{
    Copie copie;
    auto app = creerApplicationXls();
    xls::ClasseurXls &x = ouvrirModifie(*app, copie);
    ASSERT_TRUE(QFile::remove(copie.chemin));
    Question oui { Reponse::Oui, {} };
    const Fermeture f = x.fermer(oui.fonction());
    EXPECT_FALSE(f.fermee);
    EXPECT_TRUE(f.erreur.contains(u"n'existe plus"_s)) << f.erreur.toStdString();
    EXPECT_TRUE(copie.fichiers().isEmpty());
}

/**
 * Dossier où l'on ne peut pas créer le fichier temporaire, le fichier lui-même restant
 * modifiable : rien ne doit s'écrire directement dans l'original. Sous root les droits ne
 * bloquent rien : l'essai se fait alors dans un processus fils sous l'identité de « nobody ».
 */
TEST(Echec, DossierEnLectureSeule)
{
    Copie copie;
    const QByteArray d = QFile::encodeName(copie.dossier.path());
    const QByteArray fichier = QFile::encodeName(copie.chemin);
    const bool root = ::geteuid() == 0;
    constexpr uid_t personne = 65534;
    if (root) {
        ASSERT_EQ(::chown(fichier.constData(), personne, personne), 0);
        ASSERT_EQ(::chmod(d.constData(), 0755), 0);
    } else {
        ASSERT_EQ(::chmod(d.constData(), 0555), 0);
    }
    const auto essayer = [&]() -> int {
        auto app = creerApplicationXls();
        xls::ClasseurXls &x = ouvrirModifie(*app, copie);
        Question oui { Reponse::Oui, {} };
        const Fermeture f = x.fermer(oui.fonction());
        if (f.fermee)
            return 1;
        if (!x.estOuvert() || !x.estModifie() || !f.erreur.contains(u"fichier temporaire"_s))
            return 2;
        return 0;
    };
    int issue = -1;
    if (root) {
        const pid_t fils = ::fork();
        ASSERT_GE(fils, 0);
        if (fils == 0) {
            if (::setgid(personne) != 0 || ::setuid(personne) != 0)
                ::_exit(3);
            ::_exit(essayer());
        }
        int statut = 0;
        ASSERT_EQ(::waitpid(fils, &statut, 0), fils);
        ASSERT_TRUE(WIFEXITED(statut));
        issue = WEXITSTATUS(statut);
    } else {
        issue = essayer();
        ::chmod(d.constData(), 0755);
    }
    EXPECT_EQ(issue, 0) << "1 : enregistré quand même, 2 : état ou message faux, 3 : setuid";
    EXPECT_EQ(copie.octets(), copie.origine);
    EXPECT_EQ(copie.fichiers().size(), 1);
}

} // namespace
