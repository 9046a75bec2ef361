// Le programme : sélecteur → chargement → fenêtre principale → fin, classeurs refusés ; depuis
// le programme entier, ApplyCour (la fenêtre maj se montre, suit la progression et disparaît,
// réussite ou échec), HTML, ligne de commande, dossier retenu, fin de la session du bureau.
#include "app/FileOpen.h"
#include "app/Programme.h"
#include "app/maj.h"
#include "commun/aide_fenetres.h"
#include "commun/classeur_essai.h"
#include "commun/fichiers.h"
#include "ui/Equipes.h"

#include "sheet/xls/application_xls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

using namespace zarvo;
using namespace zarvo::app;
using namespace essai;
using namespace Qt::Literals::StringLiterals;

class TestProgramme : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.remettreAZero();
        m_dossier = std::make_unique<QTemporaryDir>();
        m_base = m_dossier->filePath(u"Ma base.xls.xls"_s);
        QVERIFY(ecrireFichier(m_base, "octets"));
        m_dernier = nullptr;
        m_programme = std::make_unique<Programme>(m_messages, fabrique(), m_dossier->path());
        m_programme->demarrer();
        m_apparitions.n = 0;
        m_programme->progression().installEventFilter(&m_apparitions);
    }
    void cleanup()
    {
        VERIFIER_MESSAGES_SOLDES(m_messages);
        m_programme.reset();
    }

    void fermerLeSelecteurAvantToutClasseurTermine()
    {
        QSignalSpy fin(m_programme.get(), &Programme::termine);
        m_programme->selecteur().close();
        QCOMPARE(fin.size(), 1);
        QVERIFY(m_programme->estTermine());
    }

    void majRepeintSonEtiquette()
    {
        maj &m = m_programme->progression();
        m.montrer();
        QVERIFY(m.isVisible());
        QVERIFY(!m.isModal());
        CompteurEvenements compteur(QEvent::Paint);
        m.application()->installEventFilter(&compteur);
        for (int i = 1; i <= 3; ++i) {
            m.etape(u"Ligne %1"_s.arg(i));
            // Sans rendre la main à la boucle d'événements.
            QCOMPARE(compteur.n, i);
            QCOMPARE(m.application()->text(), u"Ligne %1"_s.arg(i));
        }
        m.cacher();
        QVERIFY(!m.isVisible());
    }

    // Le vrai moteur refuse : message nommant le fichier et la raison, retour au sélecteur,
    // fichier intact, aucun descripteur resté ouvert dessus, sélecteur encore utilisable.
    void refusDuMoteurXls_data()
    {
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<QString>("copieDe");
        QTest::addColumn<QString>("raison");
        const QString refus = QStringLiteral(ZARVO_SOURCE_DIR "/tests/data/refus/");
        QTest::newRow("texte renommé en .xls")
            << QByteArray("Nom;Prénom\nA;B\n") << QString() << u"pas un classeur"_s;
        QTest::newRow("protégé par mot de passe")
            << QByteArray() << refus + u"motdepasse-libreoffice.xls"_s << u"mot de passe"_s;
        QTest::newRow("une case avale la suivante")
            << QByteArray() << refus + u"rk-avale-libreoffice.xls"_s
            << u"longueur 24 au lieu de 10"_s;
    }
    void refusDuMoteurXls()
    {
        QFETCH(QByteArray, octets);
        QFETCH(QString, copieDe);
        QFETCH(QString, raison);
        const QString chemin = m_dossier->filePath(u"refus.xls"_s);
        if (!copieDe.isEmpty())
            octets = lireFichier(copieDe);
        QVERIFY(ecrireFichier(chemin, octets));
        const QString demo = m_dossier->filePath(u"demo.xls"_s);
        QVERIFY(QFile::copy(QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls"), demo));
        ui::MessagesFactices messages;
        Programme p(
            messages, [] { return sheet::creerApplicationXls(); }, m_dossier->path());
        p.demarrer();
        QVERIFY(p.selecteur().selectionnerFichier(chemin));
        messages.repondre(Reponse::Ok);
        QTest::mouseClick(p.selecteur().OUVRIR(), Qt::LeftButton);
        QCOMPARE(messages.messages().size(), 1);
        const QString texte = messages.messages()[0].texte;
        QVERIFY2(texte.contains(u"refus.xls"_s) && texte.contains(raison), qPrintable(texte));
        VERIFIER_MESSAGES_SOLDES(messages);
        QCOMPARE(p.equipes(), nullptr);
        QVERIFY(p.selecteur().isVisible());
        const QString canonique = QFileInfo(chemin).canonicalFilePath();
        const QStringList fds
            = QDir(u"/proc/self/fd"_s)
                  .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        QVERIFY(!fds.isEmpty());
        for (const QString &fd : fds)
            QVERIFY2(QFile::symLinkTarget(u"/proc/self/fd/"_s + fd) != canonique, qPrintable(fd));
        QCOMPARE(lireFichier(chemin), octets);

        // Le sélecteur reste utilisable : un bon classeur s'ouvre ensuite.
        QVERIFY(p.selecteur().selectionnerFichier(demo));
        QTest::mouseClick(p.selecteur().OUVRIR(), Qt::LeftButton);
        QVERIFY(p.equipes() != nullptr && p.equipes()->isVisible());
        QVERIFY(!p.selecteur().isVisible());
        VERIFIER_MESSAGES_SOLDES(messages);
    }

    // Le jeu réexporte la base pendant la session : le fichier n'est plus celui qui a été lu.
    void fichierRemplacePendantLaSession_data()
    {
        QTest::addColumn<bool>("remplacer");
        QTest::newRow("Oui : le classeur modifié le remplace") << true;
        QTest::newRow("Non : retour à l'éditeur, tout intact") << false;
    }
    void fichierRemplacePendantLaSession()
    {
        QFETCH(bool, remplacer);
        const QString chemin = m_dossier->filePath(u"partie.xls"_s);
        QVERIFY(QFile::copy(QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls"), chemin));
        ui::MessagesFactices messages;
        Programme p(
            messages, [] { return sheet::creerApplicationXls(); }, m_dossier->path());
        p.demarrer();
        QVERIFY(p.selecteur().selectionnerFichier(chemin));
        QTest::mouseClick(p.selecteur().OUVRIR(), Qt::LeftButton);
        QVERIFY(p.equipes() != nullptr);
        sheet::Classeur *c = p.tableur()->classeurActif();
        c->feuille(u"DYN_team"_s).plage(u"B2"_s)->ecrire(Cellule::texte(u"Renommée"_s));
        const QByteArray autre = lireFichier(
            QStringLiteral(ZARVO_SOURCE_DIR "/tests/data/classeurs/mini-libreoffice.xls"));
        QVERIFY(ecrireFichier(chemin + u".tmp"_s, autre));
        QVERIFY(QFile::remove(chemin) && QFile::rename(chemin + u".tmp"_s, chemin));

        messages.repondre(Reponse::Oui); // vraiment quitter
        messages.repondre(Reponse::Oui); // enregistrer
        messages.repondre(remplacer ? Reponse::Oui : Reponse::Non);
        QTest::mouseClick(p.equipes()->Quit(), Qt::LeftButton);
        const auto vus = messages.prendreMessages();
        VERIFIER_MESSAGES_SOLDES(messages);
        QCOMPARE(vus.size(), 3);
        QCOMPARE(vus[2].boutons, Boutons::OuiNon);
        QVERIFY2(
            vus[2].texte.startsWith(
                u"Le fichier « partie.xls » a été modifié ou remplacé par un autre programme"_s),
            qPrintable(vus[2].texte));
        // Non : comme Annuler, rien d'enregistré, l'éditeur et chaque modification sont là.
        QCOMPARE(p.estTermine(), remplacer);
        QCOMPARE(p.equipes()->isVisible(), !remplacer);
        QCOMPARE(lireFichier(chemin) == autre, !remplacer);
        auto relue = sheet::creerApplicationXls();
        sheet::Classeur &lu = remplacer ? relue->ouvrir(chemin) : *c;
        QCOMPARE(lu.feuille(u"DYN_team"_s).plage(u"B2"_s)->valeur(), Cellule::texte(u"Renommée"_s));
    }

    void appliquer()
    {
        QVERIFY(ouvrirEtAfficherVernier());
        m_messages.repondre(Reponse::Ok);
        QTest::mouseClick(m_programme->equipes()->ApplyCour(), Qt::LeftButton);

        QCOMPARE(m_apparitions.n, 1);
        QVERIFY(!m_programme->progression().isVisible());
        QCOMPARE(m_programme->progression().application()->text(),
            u"Mise à jour des données : Equipe 41sur 41"_s);
        const auto vus = m_messages.prendreMessages();
        QCOMPARE(vus.size(), 1);
        QVERIFY(vus[0].texte.startsWith(u" 2 potentiels étaient"_s));
        QVERIFY(vus[0].texte.endsWith(u"\rVernier (14) - "_s));
        QCOMPARE(vus[0].boutons, Boutons::Ok);
        QCOMPARE(m_dernier->nbEcritures(), 33);
    }

    void appliquerEchecDitLaLigneEtCacheMaj()
    {
        QVERIFY(ouvrirEtAfficherVernier());
        m_dernier->echouerEcriture(1);
        m_messages.repondre(Reponse::Ok);
        m_messages.repondre(Reponse::Ok);
        QTest::mouseClick(m_programme->equipes()->ApplyCour(), Qt::LeftButton);

        QCOMPARE(m_apparitions.n, 1);
        QVERIFY(!m_programme->progression().isVisible());
        const auto vus = m_messages.prendreMessages();
        // L'échec d'abord, puis le relèvement déjà fait en mémoire.
        QCOMPARE(vus.size(), 2);
        QVERIFY2(vus[0].texte.contains(u"« Vernier » (ligne 2 de la feuille DYN_cyclist)"_s),
            qPrintable(vus[0].texte));
        QVERIFY(vus[1].texte.startsWith(u" 2 potentiels"_s));
        // Rien n'est perdu : une nouvelle application écrit tout.
        m_dernier->echouerEcriture(0);
        QTest::mouseClick(m_programme->equipes()->ApplyCour(), Qt::LeftButton);
        QVERIFY(m_messages.prendreMessages().isEmpty());
        sheet::Feuille &f = m_dernier->classeurActif()->feuille(u"DYN_cyclist"_s);
        QCOMPARE(f.plage(u"M2"_s)->valeur(), Cellule::nombre(71));
    }

    // Réussi : le message nomme le dossier ; Oui demande le sommaire à l'ouvreur (remplacé,
    // aucun navigateur), Non ne demande rien, un ouvreur en échec est annoncé.
    void exporterDansLeDossierCourant_data()
    {
        QTest::addColumn<Reponse>("reponse");
        QTest::addColumn<bool>("ouvreurReussit");
        QTest::newRow("Oui") << Reponse::Oui << true;
        QTest::newRow("Non") << Reponse::Non << true;
        QTest::newRow("Oui, navigateur absent") << Reponse::Oui << false;
    }
    void exporterDansLeDossierCourant()
    {
        QFETCH(Reponse, reponse);
        QFETCH(bool, ouvreurReussit);
        QList<QUrl> ouvertes;
        m_programme->definirOuvreur([&](const QUrl &u) {
            ouvertes << u;
            return ouvreurReussit;
        });
        QVERIFY(ouvrirEtAfficherVernier());
        QTemporaryDir travail;
        const QString avant = QDir::currentPath();
        QVERIFY(QDir::setCurrent(travail.path()));
        m_messages.repondre(reponse);
        if (!ouvreurReussit)
            m_messages.repondre(Reponse::Ok);
        QTest::mouseClick(m_programme->equipes()->HTML(), Qt::LeftButton);
        QDir::setCurrent(avant);
        const QStringList exports = dossiersExport(travail.path());
        QCOMPARE(exports.size(), 1);
        const QString dossier = travail.filePath(exports[0]);
        QVERIFY(lireFichier(dossier + u"/sommaire.html"_s)
                    .contains("Caract\xE9ristiques de la Db Ma base</i>"));
        QVERIFY(lireFichier(dossier + u"/FA.html"_s).contains(">Abeloos</font>"));
        const auto vus = m_messages.prendreMessages();
        QCOMPARE(vus.size(), ouvreurReussit ? 1 : 2);
        QVERIFY2(vus[0].texte.contains(QChar(13) + dossier + QChar(13)), qPrintable(vus[0].texte));
        QCOMPARE(ouvertes.size(), reponse == Reponse::Oui ? 1 : 0);
        QVERIFY(ouvertes.isEmpty()
            || ouvertes[0] == QUrl::fromLocalFile(dossier + u"/sommaire.html"_s));
        QVERIFY(ouvreurReussit || vus[1].texte.contains(u"sommaire.html"_s));
    }

    // « zarvoedit FICHIER » : ouvert tout de suite, ou refusé et le sélecteur revient dans le
    // dossier du fichier, avec le message que le sélecteur aurait donné.
    void ligneDeCommande_data()
    {
        QTest::addColumn<bool>("accepte");
        QTest::newRow("classeur ouvert") << true;
        QTest::newRow("classeur refusé") << false;
    }
    void ligneDeCommande()
    {
        QFETCH(bool, accepte);
        const QString sous = m_dossier->filePath(u"sous"_s);
        QVERIFY(QDir().mkdir(sous));
        const QString chemin = accepte ? m_base : sous + u"/refus.xls"_s;
        QVERIFY(accepte || ecrireFichier(chemin, "x"));
        if (!accepte)
            m_messages.repondre(Reponse::Ok);
        m_programme->selecteur().hide();
        m_programme->demarrer(chemin);
        QCOMPARE(m_programme->equipes() != nullptr, accepte);
        QCOMPARE(m_programme->selecteur().isVisible(), !accepte);
        QCOMPARE(m_programme->selecteur().dossier(), QFileInfo(chemin).absolutePath());
        QCOMPARE(m_programme->selecteur().FileToOpen()->text(), chemin);
        const auto vus = m_messages.prendreMessages();
        QCOMPARE(vus.size(), accepte ? 0 : 1);
        QVERIFY(accepte || vus[0].texte.contains(u"refus.xls"_s));
    }

    // Le sélecteur part du dossier du dernier classeur ouvert, s'il existe encore ; sinon du
    // dossier courant. Sans réglages, rien n'est retenu.
    void dossierRetenu_data()
    {
        QTest::addColumn<bool>("avecReglages");
        QTest::addColumn<bool>("dossierSupprime");
        QTest::newRow("retenu") << true << false;
        QTest::newRow("supprimé depuis") << true << true;
        QTest::newRow("sans réglages") << false << false;
    }
    void dossierRetenu()
    {
        QFETCH(bool, avecReglages);
        QFETCH(bool, dossierSupprime);
        QTemporaryDir courant;
        QSettings reglages(courant.filePath(u"zarvoedit.conf"_s), QSettings::IniFormat);
        QSettings *r = avecReglages ? &reglages : nullptr;
        Programme(m_messages, fabrique(), courant.path(), r).demarrer(m_base);
        if (dossierSupprime)
            QVERIFY(m_dossier->remove());
        Programme second(m_messages, fabrique(), courant.path(), r);
        QCOMPARE(second.selecteur().dossier(),
            avecReglages && !dossierSupprime ? m_dossier->path() : courant.path());
    }

    // La session du bureau se ferme : la question d'enregistrement n'est posée que pour un
    // classeur écrit et pas enregistré, et si la session permet de questionner ; Annuler la
    // retient, Non la laisse finir.
    void finDeSession_data()
    {
        QTest::addColumn<bool>("ecrit");
        QTest::addColumn<bool>("interaction");
        QTest::addColumn<QList<Reponse>>("reponses");
        QTest::addColumn<bool>("finit");
        QTest::newRow("rien d'écrit") << false << true << QList<Reponse> {} << true;
        QTest::newRow("sans droit de questionner") << true << false << QList<Reponse> {} << true;
        QTest::newRow("Annuler") << true << true << QList<Reponse> { Reponse::Annuler } << false;
        QTest::newRow("Non") << true << true << QList<Reponse> { Reponse::Non } << true;
    }
    void finDeSession()
    {
        QFETCH(bool, ecrit);
        QFETCH(bool, interaction);
        QFETCH(QList<Reponse>, reponses);
        QFETCH(bool, finit);
        QVERIFY(ouvrirEtAfficherVernier());
        if (ecrit) {
            m_messages.repondre(Reponse::Ok);
            QTest::mouseClick(m_programme->equipes()->ApplyCour(), Qt::LeftButton);
            m_messages.prendreMessages();
        }
        for (Reponse r : reponses)
            m_messages.repondre(r);
        QCOMPARE(m_programme->finDeSession([&] { return interaction; }), finit);
        const auto vus = m_messages.prendreMessages();
        QCOMPARE(vus.size(), reponses.size());
        QVERIFY(vus.isEmpty() || vus[0].boutons == Boutons::OuiNonAnnuler);
        // Retenue, la session laisse l'éditeur tel quel ; finie, le classeur est fermé.
        QCOMPARE(m_programme->equipes()->isVisible(), !finit || !ecrit || !interaction);
        QCOMPARE(m_programme->estTermine(), finit && ecrit && interaction);
    }

    void exportImpossibleAnnonce()
    {
        QVERIFY(ouvrirEtAfficherVernier());
        QTemporaryDir parent;
        // Dossier courant supprimé après y être entré : aucune création possible, même root.
        const QString lieu = parent.filePath(u"disparu"_s);
        QVERIFY(QDir().mkdir(lieu));
        const QString avant = QDir::currentPath();
        QVERIFY(QDir::setCurrent(lieu));
        QVERIFY(QDir().rmdir(lieu));
        m_messages.repondre(Reponse::Ok);
        QTest::mouseClick(m_programme->equipes()->HTML(), Qt::LeftButton);
        QDir::setCurrent(avant);

        const auto vus = m_messages.prendreMessages();
        QCOMPARE(vus.size(), 1);
        QVERIFY2(vus[0].texte.contains(u"n'existe plus"_s), qPrintable(vus[0].texte));
        QCOMPARE(contenuDossier(parent.path()), QStringList());
    }

private:
    FabriqueTableur fabrique()
    {
        return [this] {
            auto t = std::make_unique<TableurMemoire>();
            t->deposer(m_base, classeurOrdinaire());
            m_dernier = t.get();
            return t;
        };
    }

    // Ouvre le classeur par le sélecteur et marque Vernier (ligne 2 de la feuille) comme un
    // coureur affiché : Montagne 71 et Vallons 71 dépassent leurs potentiels 63 et 65.
    bool ouvrirEtAfficherVernier()
    {
        if (!m_programme->selecteur().selectionnerFichier(m_base))
            return false;
        QTest::mouseClick(m_programme->selecteur().OUVRIR(), Qt::LeftButton);
        if (m_programme->equipes() == nullptr)
            return false;
        Donnees &d = m_programme->equipes()->donnees();
        d.TabCoureurs(972, 36) = Cellule::nombre(1);
        return d.TabCoureurs(972, 2) == Cellule::texte(u"Vernier"_s);
    }

    ui::MessagesFactices m_messages;
    std::unique_ptr<QTemporaryDir> m_dossier;
    QString m_base;
    TableurMemoire *m_dernier = nullptr;
    std::unique_ptr<Programme> m_programme;
    CompteurEvenements m_apparitions { QEvent::Show };
};

QTEST_MAIN(TestProgramme)
#include "test_programme.moc"
