// ApplyCour et HTML depuis le programme entier : la fenêtre maj se montre, suit la progression
// et disparaît, réussite ou échec ; les messages passent par le service ; le nom de la base
// vient de la liste des fichiers du sélecteur ; un export impossible est annoncé.
#include "app/FileOpen.h"
#include "app/Programme.h"
#include "app/maj.h"
#include "commun/aide_fenetres.h"
#include "commun/classeur_essai.h"
#include "commun/fichiers.h"
#include "ui/Equipes.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace zarvo;
using namespace zarvo::app;
using namespace essai;
using namespace Qt::Literals::StringLiterals;

class TestProgrammeSortie : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.remettreAZero();
        m_dossier = std::make_unique<QTemporaryDir>();
        m_chemin = m_dossier->filePath(u"Ma base.xls.xls"_s);
        QVERIFY(ecrireFichier(m_chemin, "octets"));
        m_programme = std::make_unique<Programme>(
            m_messages,
            [this] {
                auto t = std::make_unique<TableurMemoire>();
                t->deposer(m_chemin, classeurOrdinaire());
                m_tableur = t.get();
                return t;
            },
            m_dossier->path());
        m_programme->demarrer();
        QVERIFY(m_programme->selecteur().selectionnerFichier(m_chemin));
        QTest::mouseClick(m_programme->selecteur().OUVRIR(), Qt::LeftButton);
        QVERIFY(m_programme->equipes() != nullptr);
        m_apparitions.n = 0;
        m_programme->progression().installEventFilter(&m_apparitions);
        // Vernier (ligne 2 de la feuille), affiché : Montagne 71 et Vallons 71 dépassent
        // leurs potentiels 63 et 65.
        Donnees &d = m_programme->equipes()->donnees();
        QCOMPARE(d.TabCoureurs(972, 2).valeurTexte(), u"Vernier"_s);
        d.TabCoureurs(972, 36) = Cellule::nombre(1);
    }
    void cleanup()
    {
        VERIFIER_MESSAGES_SOLDES(m_messages);
        m_programme.reset();
    }

    void appliquer()
    {
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
        QCOMPARE(m_tableur->nbEcritures(), 33);
    }

    void appliquerEchecDitLaLigneEtCacheMaj()
    {
        m_tableur->echouerEcriture(1);
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
        m_tableur->echouerEcriture(0);
        QTest::mouseClick(m_programme->equipes()->ApplyCour(), Qt::LeftButton);
        QVERIFY(m_messages.prendreMessages().isEmpty());
        sheet::Feuille &f = m_tableur->classeurActif()->feuille(u"DYN_cyclist"_s);
        QCOMPARE(f.plage(u"M2"_s)->valeur(), Cellule::nombre(71));
    }

    void exporterDansLeDossierCourant()
    {
        QTemporaryDir travail;
        const QString avant = QDir::currentPath();
        QVERIFY(QDir::setCurrent(travail.path()));
        QTest::mouseClick(m_programme->equipes()->HTML(), Qt::LeftButton);
        QDir::setCurrent(avant);
        const QStringList exports = dossiersExport(travail.path());
        QCOMPARE(exports.size(), 1);
        const QString dossier = travail.filePath(exports[0]);
        QVERIFY(lireFichier(dossier + u"/sommaire.html"_s)
                    .contains("Caract\xE9ristiques de la Db Ma base</i>"));
        QVERIFY(lireFichier(dossier + u"/FA.html"_s).contains(">Abeloos</font>"));
    }

    void exportImpossibleAnnonce()
    {
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
    ui::MessagesFactices m_messages;
    std::unique_ptr<QTemporaryDir> m_dossier;
    QString m_chemin;
    TableurMemoire *m_tableur = nullptr;
    std::unique_ptr<Programme> m_programme;
    CompteurEvenements m_apparitions { QEvent::Show };
};

QTEST_MAIN(TestProgrammeSortie)
#include "test_programme_sortie.moc"
