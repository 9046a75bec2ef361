#include "aide_ecriture.h"
#include "aide_gtest.h"
#include "appareil_defaillant.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"
#include "sheet/xls/classeur_xls.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace aide_ecriture;
using namespace zarvo::sheet;

namespace {

/// Copie d'un classeur de test dans un dossier jetable.
struct Copie
{
    QTemporaryDir dossier;
    QString chemin = dossier.filePath(QStringLiteral("base équipe.xls"));
    QByteArray origine
        = lireFichier(source(QStringLiteral("tests/data/classeurs/base-libreoffice.xls")));
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
    x->feuille(QStringLiteral("DYN_cyclist"))
        .plage(QStringLiteral("B7"))
        ->ecrire(Cellule::texte(QStringLiteral("Ærø")));
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
        c.feuille(QStringLiteral("DYN_cyclist"))
            .plage(QStringLiteral("M5"))
            ->ecrire(Cellule::texte(QStringLiteral("75")));
        c.feuille(QStringLiteral("DYN_team"))
            .plage(QStringLiteral("B3"))
            ->ecrire(Cellule::texte(QStringLiteral("Équipe « Ω »")));
        EXPECT_TRUE(c.estModifie());
        // Relue avant tout enregistrement : la règle du nombre a joué.
        EXPECT_EQ(
            lire(c, QStringLiteral("DYN_cyclist"), QStringLiteral("M5")), Cellule::nombre(75));
        Question q { cas.reponse, {} };
        const Fermeture f = c.fermer(q.fonction());
        EXPECT_EQ(q.posees,
            QStringList { QStringLiteral(
                "Voulez-vous enregistrer les modifications apportées à « base équipe.xls » ?") });
        EXPECT_EQ(f.fermee, cas.fermee);
        EXPECT_TRUE(f.erreur.isEmpty()) << f.erreur.toStdString();
        EXPECT_EQ(c.estOuvert(), !cas.fermee);
        EXPECT_EQ(copie.octets() == copie.origine, !cas.enregistre);
        EXPECT_EQ(copie.fichiers().size(), 1);
        if (!cas.fermee) {
            // Annuler : rien n'est perdu, le classeur reste modifié et se ferme ensuite.
            EXPECT_TRUE(c.estModifie());
            EXPECT_EQ(lire(c, QStringLiteral("DYN_team"), QStringLiteral("B3")),
                Cellule::texte(QStringLiteral("Équipe « Ω »")));
            Question non { Reponse::Non, {} };
            EXPECT_TRUE(c.fermer(non.fonction()).fermee);
            EXPECT_EQ(copie.octets(), copie.origine);
        } else if (cas.enregistre) {
            auto relue = creerApplicationXls();
            Classeur &r = relue->ouvrir(copie.chemin);
            EXPECT_EQ(
                lire(r, QStringLiteral("DYN_cyclist"), QStringLiteral("M5")), Cellule::nombre(75));
            EXPECT_EQ(lire(r, QStringLiteral("DYN_team"), QStringLiteral("B3")),
                Cellule::texte(QStringLiteral("Équipe « Ω »")));
            EXPECT_FALSE(r.estModifie());
        }
    }
}

TEST(Quitter, FermeDAbordDeLaMemeFacon)
{
    Copie copie;
    auto app = creerApplicationXls();
    Classeur &c = app->ouvrir(copie.chemin);
    c.feuille(QStringLiteral("DYN_team")).plage(QStringLiteral("C4"))->ecrire(Cellule::nombre(2));
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
    Feuille &f = c.feuille(QStringLiteral("DYN_cyclist"));
    const Tableau avant = f.plage(QStringLiteral("A1:AG973"))->valeurs();
    f.plage(QStringLiteral("B2"))->ecrire(Cellule::texte(QStringLiteral("1e3")));
    f.plage(QStringLiteral("C2"))->ecrire(Cellule::texte(QStringLiteral(" 12")));
    f.plage(QStringLiteral("D2"))->ecrire(Cellule());
    f.plage(QStringLiteral("AH2"))->ecrire(Cellule::nombre(5)); // hors du bloc lu
    const Tableau apres = f.plage(QStringLiteral("A1:AG973"))->valeurs();
    EXPECT_EQ(apres(2, 2), Cellule::nombre(1000));
    EXPECT_EQ(apres(2, 3), Cellule::texte(QStringLiteral(" 12")));
    EXPECT_TRUE(apres(2, 4).estVide());
    EXPECT_EQ(apres(2, 1), avant(2, 1));
    EXPECT_EQ(apres(973, 33), avant(973, 33));

    // Après l'enregistrement, la case vidée garde son format et le classeur n'est plus modifié ;
    // le fichier remplacé garde ses droits.
    ASSERT_EQ(::chmod(QFile::encodeName(copie.chemin).constData(), 0640), 0);
    auto *x = dynamic_cast<xls::ClasseurXls *>(&c);
    ASSERT_NE(x, nullptr);
    const int k = x->biff().chercherFeuille(QStringLiteral("DYN_cyclist"));
    const xls::FeuilleBiff avantD2 = x->biff().lireFeuille(std::size_t(k));
    const std::uint16_t xfD2 = avantD2.xf(*avantD2.chercher(1, 3), 3);
    x->enregistrer();
    EXPECT_FALSE(c.estModifie());
    struct stat st
    { };
    ASSERT_EQ(::stat(QFile::encodeName(copie.chemin).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(copie.fichiers().size(), 1);
    const Ouvert o = ouvrir(copie.chemin);
    const xls::FeuilleBiff apresD2 = o.biff.lireFeuille(std::size_t(k));
    const xls::Case *d2 = apresD2.chercher(1, 3);
    ASSERT_NE(d2, nullptr);
    EXPECT_TRUE(apresD2.valeur(*d2, 3).estVide());
    EXPECT_EQ(apresD2.xf(*d2, 3), xfD2);
    EXPECT_EQ(f.plage(QStringLiteral("B2"))->valeur(), Cellule::nombre(1000));

    // Sous un autre nom : le fichier ouvert ne bouge plus.
    const QByteArray enregistre = copie.octets();
    f.plage(QStringLiteral("A2"))->ecrire(Cellule::nombre(61));
    const QString autre = copie.dossier.filePath(QStringLiteral("autre.xls"));
    x->enregistrer(autre);
    EXPECT_EQ(copie.octets(), enregistre);
    auto relue = creerApplicationXls();
    EXPECT_EQ(lire(relue->ouvrir(autre), QStringLiteral("DYN_cyclist"), QStringLiteral("A2")),
        Cellule::nombre(61));
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
        x.definirEnveloppe(
            [limite](QIODevice &f) { return std::make_unique<AppareilDefaillant>(f, limite); });
        Question oui { Reponse::Oui, {} };
        const Fermeture f = x.fermer(oui.fonction());
        EXPECT_FALSE(f.fermee);
        EXPECT_TRUE(f.erreur.contains(QStringLiteral("« base équipe.xls »")))
            << f.erreur.toStdString();
        EXPECT_TRUE(f.erreur.contains(QStringLiteral("n'a pas été modifié")))
            << f.erreur.toStdString();
        EXPECT_TRUE(x.estOuvert());
        EXPECT_TRUE(x.estModifie());
        EXPECT_EQ(copie.octets(), copie.origine);
        EXPECT_EQ(copie.fichiers().size(), 1);
        // L'écriture réparée, le même classeur s'enregistre.
        x.definirEnveloppe({});
        EXPECT_TRUE(x.fermer(oui.fonction()).fermee);
        auto relue = creerApplicationXls();
        EXPECT_EQ(
            lire(relue->ouvrir(copie.chemin), QStringLiteral("DYN_cyclist"), QStringLiteral("B7")),
            Cellule::texte(QStringLiteral("Ærø")));
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
    EXPECT_TRUE(f.erreur.contains(QStringLiteral("n'existe plus"))) << f.erreur.toStdString();
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
        if (!x.estOuvert() || !x.estModifie() || !f.erreur.contains(u"fichier temporaire"_qs))
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
