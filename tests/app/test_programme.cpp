// Le programme, pour ce qu'un scénario (tests/scenarios/programme.txt, session.txt) ne sait pas
// dire : la fenêtre maj repeinte sans rendre la main, une écriture en échec pendant ApplyCour,
// le dossier retenu d'un lancement à l'autre.
#include "app/FileOpen.h"
#include "app/Programme.h"
#include "app/maj.h"
#include "commun/classeur_essai.h"
#include "commun/fichiers.h"
#include "soutien/messages_factices.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace zarvo;
using namespace zarvo::app;
using namespace essai;

/// Compte les événements d'un genre reçus par les objets surveillés.
struct CompteurEvenements : QObject
{
    explicit CompteurEvenements(QEvent::Type g)
        : genre(g)
    { }
    bool eventFilter(QObject *, QEvent *e) override
    {
        n += e->type() == genre;
        return false;
    }
    QEvent::Type genre;
    int n = 0;
};

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
        m_programme = std::make_unique<Programme>(m_messages, fabrique(), m_dossier->path());
        m_programme->demarrer();
    }
    void cleanup()
    {
        // Aucune question imprévue, aucune réponse préparée restée sans boîte.
        QVERIFY2(m_messages.imprevus().isEmpty(), qPrintable(m_messages.imprevus().join(u'\n')));
        QCOMPARE(m_messages.reponsesEnAttente(), 0);
        m_programme.reset();
    }

    void majRepeintSonEtiquette()
    {
        maj &m = m_programme->progression();
        m.montrer();
        QVERIFY(m.isVisible() && !m.isModal());
        CompteurEvenements compteur(QEvent::Paint);
        m.application()->installEventFilter(&compteur);
        for (int i = 1; i <= 3; ++i) {
            m.etape(u"Ligne %1"_s.arg(i));
            QCOMPARE(compteur.n, i); // sans rendre la main à la boucle d'événements
            QCOMPARE(m.application()->text(), u"Ligne %1"_s.arg(i));
        }
        m.cacher();
        QVERIFY(!m.isVisible());
    }

    // L'échec dit la ligne, puis le relèvement déjà fait en mémoire ; maj se montre une fois
    // et disparaît. Rien n'est perdu : une nouvelle application écrit tout.
    void appliquerEchecPuisReussite()
    {
        QVERIFY(ouvrirEtAfficherVernier());
        CompteurEvenements apparitions(QEvent::Show);
        m_programme->progression().installEventFilter(&apparitions);
        m_dernier->echouerEcriture(1);
        m_messages.repondre(Reponse::Ok);
        m_messages.repondre(Reponse::Ok);
        QTest::mouseClick(m_programme->equipes()->ApplyCour(), Qt::LeftButton);
        QCOMPARE(apparitions.n, 1);
        QVERIFY(!m_programme->progression().isVisible());
        const auto vus = m_messages.prendreMessages();
        QCOMPARE(vus.size(), 2);
        QVERIFY2(vus[0].texte.contains(u"« Vernier » (ligne 2 de la feuille DYN_cyclist)"_s),
            qPrintable(vus[0].texte));
        QVERIFY(vus[1].texte.startsWith(u" 2 potentiels étaient"_s));
        m_dernier->echouerEcriture(0);
        QTest::mouseClick(m_programme->equipes()->ApplyCour(), Qt::LeftButton);
        QVERIFY(m_messages.prendreMessages().isEmpty());
        QCOMPARE(m_programme->progression().application()->text(),
            u"Mise à jour des données : Equipe 41sur 41"_s);
        sheet::Feuille &f = m_dernier->classeurActif()->feuille(u"DYN_cyclist"_s);
        QCOMPARE(f.plage(u"M2"_s)->valeur(), Cellule::nombre(71));
    }

    // Une exception imprévue du moteur : une phrase française, rien de son texte anglais.
    void echecImprevuDitEnFrancais()
    {
        Programme p(
            m_messages,
            []() -> std::unique_ptr<sheet::Application> {
                throw std::runtime_error("std::bad_alloc inside");
            },
            m_dossier->path());
        m_messages.repondre(Reponse::Ok);
        p.demarrer(m_base);
        const auto vus = m_messages.prendreMessages();
        QCOMPARE(vus.size(), 1);
        QVERIFY2(vus[0].texte.startsWith(u"Le classeur « Ma base.xls.xls » ne peut pas être "
                                         u"utilisé.\rErreur imprévue du programme"_s)
                && !vus[0].texte.contains(u"std::"_s),
            qPrintable(vus[0].texte));
        QVERIFY(p.equipes() == nullptr && p.selecteur().isVisible());
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
};

QTEST_MAIN(TestProgramme)
#include "test_programme.moc"
