#include "aide_gtest.h"
#include "appareil_defaillant.h"
#include "commun/personne.h"
#include "sheet/aide_xls.h"
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

using namespace aide;
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

const QuestionEnregistrer oui = [](const QString &) { return Reponse::Oui; };

Cellule lire(Classeur &c, const QString &feuille, const QString &adresse)
{
    return c.feuille(feuille).plage(adresse)->valeur();
}

xls::ClasseurXls &ouvrirModifie(Application &app, const Copie &copie)
{
    auto &x = dynamic_cast<xls::ClasseurXls &>(app.ouvrir(copie.chemin));
    x.feuille(u"DYN_cyclist"_s).plage(u"B7"_s)->ecrire(Cellule::texte(u"Ærø"_s));
    return x;
}

// Ce que la réponse décide et la relecture des valeurs : test_contrat_tableur. Ici le disque.
TEST(Ecrire, EnregistrerPuisSousUnAutreNom)
{
    Copie copie;
    auto app = creerApplicationXls();
    xls::ClasseurXls &x = ouvrirModifie(*app, copie);
    x.enregistrer();
    EXPECT_FALSE(x.estModifie());
    EXPECT_EQ(copie.fichiers().size(), 1);
    // Sous un autre nom : le fichier ouvert ne bouge plus.
    const QByteArray enregistre = copie.octets();
    EXPECT_NE(enregistre, copie.origine);
    x.feuille(u"DYN_cyclist"_s).plage(u"A2"_s)->ecrire(Cellule::nombre(61));
    const QString autre = copie.dossier.filePath(u"autre.xls"_s);
    x.enregistrer(autre);
    EXPECT_EQ(copie.octets(), enregistre);
    EXPECT_EQ(
        lire(creerApplicationXls()->ouvrir(autre), u"DYN_cyclist"_s, u"A2"_s), Cellule::nombre(61));
}

/**
 * L'enregistrement (coupé après `limite` octets) ou sa copie de secours qui ne s'écrit pas :
 * rien n'est enregistré, le classeur reste ouvert avec ses valeurs ; réparé, il s'enregistre,
 * la copie (une par session, le classeur tel qu'ouvert) reste ou s'écrit ; la session suivante
 * la remplace.
 */
TEST(Echec, RienNEstPerduPuisReprise)
{
    using Action = std::function<void(const QString &sauvegarde, xls::ClasseurXls &)>;
    struct Cas
    {
        std::string nom;
        Action abimer, reparer;
        QString texte1, texte2;
        bool copieGardee; // la copie d'avant l'échec reste (écrite) ou est écrite à la reprise
    };
    const auto coupe = [](qint64 limite) -> Action {
        return [limite](const QString &, xls::ClasseurXls &x) {
            x.definirEnveloppe([limite, n = 0](QIODevice &f) mutable {
                return std::make_unique<AppareilDefaillant>(f, ++n == 1 ? 1 << 30 : limite);
            });
        };
    };
    const Action temoin = [](const QString &s, xls::ClasseurXls &x) {
        x.definirEnveloppe({});
        aide::ecrireFichier(s, "témoin");
    };
    const QString nomDuFichier = u"« base équipe.xls »"_s, pasModifie = u"n'a pas été modifié"_s;
    const QString copieDe = u"copie de secours « base équipe.sauvegarde.xls »"_s;
    std::vector<Cas> tous {
        { "nom_pris_par_un_dossier", [](const QString &s, auto &) { QDir().mkdir(s); },
            [](const QString &s, auto &) { QDir().rmdir(s); }, copieDe, pasModifie, false },
        { "copie_sur_disque_plein",
            [](const QString &, xls::ClasseurXls &x) {
                x.definirEnveloppe(
                    [](QIODevice &f) { return std::make_unique<AppareilDefaillant>(f, 100); });
            },
            temoin, copieDe, pasModifie, false },
    };
    for (const qint64 limite :
        { qint64(0), qint64(65535), qint64(65536), Copie().origine.size() - 1 })
        tous.push_back({ "coupe_a_" + std::to_string(limite), coupe(limite), temoin, nomDuFichier,
            pasModifie, true });
    for (const Cas &cas : tous) {
        SCOPED_TRACE(cas.nom);
        Copie copie;
        const QString sauvegarde = copie.dossier.filePath(u"base équipe.sauvegarde.xls"_s);
        auto app = creerApplicationXls();
        xls::ClasseurXls &x = ouvrirModifie(*app, copie);
        cas.abimer(sauvegarde, x);
        const Fermeture f = x.fermer(oui);
        EXPECT_FALSE(f.fermee);
        const QString erreur = f.erreur ? texteErreur(*f.erreur) : QString();
        EXPECT_TRUE(erreur.contains(cas.texte1) && erreur.contains(cas.texte2))
            << erreur.toStdString();
        EXPECT_TRUE(x.estOuvert() && x.estModifie());
        EXPECT_EQ(lire(x, u"DYN_cyclist"_s, u"B7"_s), Cellule::texte(u"Ærø"_s));
        EXPECT_EQ(copie.octets(), copie.origine);
        if (cas.copieGardee) {
            EXPECT_EQ(lireFichier(sauvegarde), copie.origine);
        }
        cas.reparer(sauvegarde, x);
        EXPECT_TRUE(x.fermer(oui).fermee);
        EXPECT_EQ(lireFichier(sauvegarde), cas.copieGardee ? "témoin" : copie.origine);
        // La session suivante remplace la copie par le classeur tel qu'elle l'a ouvert.
        const QByteArray premiereSession = copie.octets();
        auto suivante = creerApplicationXls();
        EXPECT_EQ(lire(suivante->ouvrir(copie.chemin), u"DYN_cyclist"_s, u"B7"_s),
            Cellule::texte(u"Ærø"_s));
        Classeur &c = *suivante->classeurActif();
        c.feuille(u"DYN_team"_s).plage(u"B3"_s)->ecrire(Cellule::texte(u"Deux"_s));
        EXPECT_TRUE(c.fermer(oui).fermee);
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
