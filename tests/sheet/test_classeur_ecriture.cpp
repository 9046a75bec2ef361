#include "aide_ecriture.h"
#include "aide_gtest.h"
#include "appareil_defaillant.h"
#include "commun/personne.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"
#include "sheet/xls/classeur_xls.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

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
    /// Fichiers du dossier hors copie de secours (jugée à part) : un reste se verrait ici.
    QStringList fichiers() const
    {
        QStringList l
            = QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        l.removeAll(u"base équipe.sauvegarde.xls"_s);
        return l;
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

// Ce que la réponse décide, et la relecture des valeurs : test_contrat_tableur. Ici, ce que le
// moteur fait du disque : rien sans Oui, une copie de secours avec.
TEST(Fermer, LeDisqueSelonLaReponse)
{
    for (const Reponse reponse : { Reponse::Oui, Reponse::Non, Reponse::Annuler }) {
        const bool enregistre = reponse == Reponse::Oui;
        SCOPED_TRACE(enregistre ? "Oui" : "Non ou Annuler");
        Copie copie;
        auto app = creerApplicationXls();
        Classeur &c = app->ouvrir(copie.chemin);
        c.feuille(u"DYN_team"_s).plage(u"B3"_s)->ecrire(Cellule::texte(u"Équipe « Ω »"_s));
        Question q { reponse, {} };
        EXPECT_FALSE(c.fermer(q.fonction()).erreur);
        EXPECT_EQ(copie.octets() == copie.origine, !enregistre);
        // Oui : la copie de secours, octet pour octet le classeur tel qu'ouvert.
        EXPECT_EQ(copie.fichiers().size(), 1);
        const QString sauvegarde = copie.dossier.filePath(u"base équipe.sauvegarde.xls"_s);
        EXPECT_EQ(QFile::exists(sauvegarde), enregistre);
        if (enregistre) {
            EXPECT_EQ(lireFichier(sauvegarde), copie.origine);
        }
    }
}

TEST(Ecrire, ValeursPoseesBlocReluEtFormatGarde)
{
    Copie copie;
    auto app = creerApplicationXls();
    Classeur &c = app->ouvrir(copie.chemin);
    Feuille &f = c.feuille(u"DYN_cyclist"_s);
    const Tableau avant = f.plage(u"A1:AG973"_s)->valeurs();
    f.plage(u"B2"_s)->ecrire(Cellule::texte(u"1e3"_s));
    f.plage(u"D2"_s)->ecrire(Cellule());
    // Les valeurs posées et relues : test_contrat_tableur ; ici, les cases voisines intactes.
    const Tableau apres = f.plage(u"A1:AG973"_s)->valeurs();
    EXPECT_EQ(apres(2, 1), avant(2, 1));
    EXPECT_EQ(apres(973, 33), avant(973, 33));

    // Après l'enregistrement, la case vidée garde son format et le classeur n'est plus modifié
    // (droits et propriétaire rendus : Enregistrer.FautesDeFichier).
    auto *x = dynamic_cast<xls::ClasseurXls *>(&c);
    ASSERT_NE(x, nullptr);
    const int k = x->biff().chercherFeuille(u"DYN_cyclist"_s);
    const xls::FeuilleBiff avantD2 = x->biff().lireFeuille(std::size_t(k));
    const std::uint16_t xfD2 = avantD2.xf(*avantD2.chercher(1, 3), 3);
    x->enregistrer();
    EXPECT_FALSE(c.estModifie());
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
        const QString erreur = f.erreur ? texteErreur(*f.erreur) : QString();
        EXPECT_TRUE(erreur.contains(u"« base équipe.xls »"_s)) << erreur.toStdString();
        EXPECT_TRUE(erreur.contains(u"n'a pas été modifié"_s)) << erreur.toStdString();
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
        const QString erreur = f.erreur ? texteErreur(*f.erreur) : QString();
        EXPECT_TRUE(erreur.contains(u"copie de secours « base équipe.sauvegarde.xls »"_s)
            && erreur.contains(u"n'a pas été modifié"_s))
            << erreur.toStdString();
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

/**
 * Fautes autour du fichier à l'enregistrement. La copie reçoit ses droits (et « nobody » pour
 * propriétaire si `aPersonne`) avant l'ouverture ; `pendant` joue un autre programme entre
 * l'ouverture et l'enregistrement. Les cas `sousPersonne` se jouent sous « nobody » (sous
 * root les droits ne bloquent rien) ; l'essai rend le numéro du premier contrôle manqué.
 */
TEST(Enregistrer, FautesDeFichier)
{
    const auto remplacer = [](Copie &c) { // un autre classeur renommé par-dessus
        aide::ecrireFichier(
            c.chemin + u".tmp"_s, lireFichier(source(u"tests/data/classeurs/mini-gnumeric.xls"_s)));
        QFile::remove(c.chemin);
        QFile::rename(c.chemin + u".tmp"_s, c.chemin);
    };
    const auto reecrire = [](Copie &c) { // même fichier, un octet changé sur place
        QFile f(c.chemin);
        f.open(QIODevice::ReadWrite);
        f.seek(f.size() - 1);
        f.write("\x01");
    };
    const bool root = ::geteuid() == 0;
    struct Cas
    {
        const char *nom;
        std::function<void(Copie &)> pendant;
        QList<Reponse> reponses;
        bool sousPersonne, aPersonne;
        int droits, droitsDossier; // 0 : inchangés
        bool fermee, enregistre;
        const char *texte; ///< dans les questions, l'erreur ou l'avertissement
    };
    const Cas tous[] = {
        { "remplaceOui", remplacer, { Reponse::Oui, Reponse::Oui }, false, false, 0, 0, true, true,
            "Le fichier « base équipe.xls » a été modifié ou remplacé par un autre programme" },
        { "reecritNon", reecrire, { Reponse::Oui, Reponse::Non }, false, false, 0, 0, false, false,
            "Voulez-vous le remplacer par le classeur modifié ?" },
        { "disparu", [](Copie &c) { QFile::remove(c.chemin); }, { Reponse::Oui }, false, false, 0,
            0, false, false, "n'existe plus" },
        { "proprietaireEtDroitsRendus", {}, { Reponse::Oui }, false, root, 0444, 0, true, true,
            "" },
        { "lectureSeule", {}, { Reponse::Oui }, true, true, 0444, 0777, false, false,
            "« base équipe.xls » : le fichier est en lecture seule" },
        { "dossierEnLectureSeule", {}, { Reponse::Oui }, true, true, 0, root ? 0755 : 0555, false,
            false, "fichier temporaire dans le dossier" },
        // Il faut un fichier d'un autre propriétaire : root seulement.
        { "proprietaireNonRendu", {}, { Reponse::Oui }, true, false, root ? 0666 : 0, 0777, true,
            true, "a été enregistré, mais n'a pas pu retrouver le propriétaire root" },
    };
    for (const Cas &cas : tous) {
        SCOPED_TRACE(cas.nom);
        if (!root && cas.sousPersonne && !cas.aPersonne && cas.enregistre)
            continue;
        Copie copie;
        const QByteArray chemin = QFile::encodeName(copie.chemin);
        const QByteArray dossier = QFile::encodeName(copie.dossier.path());
        if (cas.aPersonne)
            ::chown(chemin.constData(), essai::personne, essai::personne);
        if (cas.droits)
            ::chmod(chemin.constData(), mode_t(cas.droits));
        if (cas.droitsDossier)
            ::chmod(dossier.constData(), mode_t(cas.droitsDossier));
        const auto jouer = [&]() -> int {
            auto app = creerApplicationXls();
            xls::ClasseurXls &x = ouvrirModifie(*app, copie);
            if (cas.pendant)
                cas.pendant(copie);
            const QByteArray avantFermer = copie.octets();
            const auto nbFichiers = copie.fichiers().size();
            QStringList textes;
            QList<Boutons> boutons;
            QList<Reponse> reponses = cas.reponses;
            const Fermeture f = x.fermer([&](const QuestionPosee &q) {
                textes << q.texte;
                boutons << q.boutons;
                return reponses.isEmpty() ? Reponse::Annuler : reponses.takeFirst();
            });
            struct stat st
            { };
            ::stat(chemin.constData(), &st);
            const uid_t proprietaire = cas.aPersonne ? essai::personne : 0;
            const bool controles[] = {
                f.fermee == cas.fermee,
                (textes << (f.erreur ? texteErreur(*f.erreur) : QString()) << f.avertissement)
                    .join(u'|')
                    .contains(QString::fromUtf8(cas.texte)),
                reponses.isEmpty(),
                boutons.size() < 2 || boutons[1] == Boutons::OuiNon,
                x.estOuvert() != cas.fermee && x.estModifie() != cas.fermee,
                (copie.octets() != avantFermer) == cas.enregistre,
                copie.fichiers().size() == nbFichiers,
                !cas.droits || !cas.enregistre || int(st.st_mode & 07777) == cas.droits,
                !root || !cas.enregistre || (st.st_uid == proprietaire && st.st_gid == proprietaire)
                    || cas.sousPersonne,
                !cas.enregistre
                    || lire(creerApplicationXls()->ouvrir(copie.chemin), u"DYN_cyclist"_s, u"B7"_s)
                        == Cellule::texte(u"Ærø"_s),
            };
            for (std::size_t k = 0; k < std::size(controles); ++k)
                if (!controles[k])
                    return int(k) + 1;
            return 0;
        };
        EXPECT_EQ(cas.sousPersonne ? essai::sousPersonne(jouer) : jouer(), 0)
            << "premier contrôle manqué (99 : setuid, 96 : exception)";
        ::chmod(dossier.constData(), 0755);
    }
}

} // namespace
