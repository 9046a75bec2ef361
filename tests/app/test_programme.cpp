// Le programme : sélecteur → chargement → fenêtre principale → fin, classeurs refusés.
#include "app/FileOpen.h"
#include "app/Programme.h"
#include "app/maj.h"
#include "commun/aide_fenetres.h"
#include "commun/classeur_essai.h"
#include "commun/fichiers.h"
#include "model/chargement/chargement.h"
#include "ui/Equipes.h"

#include "sheet/xls/application_xls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace zarvo;
using namespace zarvo::app;
using namespace essai;
using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray surLeDisque = "octets du fichier sur le disque";

} // namespace

class TestProgramme : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.remettreAZero();
        m_dossier = std::make_unique<QTemporaryDir>();
        m_base = m_dossier->filePath(u"base.xls"_s);
        m_contenu = classeurOrdinaire();
        QVERIFY(ecrireFichier(m_base, surLeDisque));
        m_dernier = nullptr;
        m_programme = std::make_unique<Programme>(
            m_messages,
            [this] {
                auto t = std::make_unique<TableurMemoire>();
                t->deposer(m_base, m_contenu);
                m_dernier = t.get();
                return t;
            },
            m_dossier->path());
        m_programme->demarrer();
    }
    void cleanup()
    {
        VERIFIER_MESSAGES_SOLDES(m_messages);
        m_programme.reset();
    }

    // La fenêtre montre ce que le chargement a rendu : tables et boutons d'équipe.
    void chargementMontreLaFenetrePrincipale()
    {
        FileOpen &s = m_programme->selecteur();
        QVERIFY(s.selectionnerFichier(m_base));
        QTest::mouseClick(s.OUVRIR(), Qt::LeftButton);
        ui::Equipes *e = m_programme->equipes();
        QVERIFY(e != nullptr);
        QVERIFY(e->isVisible());
        QVERIFY(!s.isVisible());
        QCOMPARE(e->tableur(), m_programme->tableur());
        QCOMPARE(m_dernier->nbEcritures(), 0);

        TableurMemoire t;
        t.deposer(m_base, m_contenu);
        Donnees d;
        const QList<DescriptionBouton> attendus = chargerClasseur(t, m_base, d);
        QVERIFY(attendus.size() >= 2);
        QCOMPARE(e->donnees().TabCoureurs, d.TabCoureurs);
        QCOMPARE(e->donnees().TabEquipes, d.TabEquipes);
        QCOMPARE(e->donnees().IndexLibres, d.IndexLibres);
        QCOMPARE(e->Chargeq().indices().size(), attendus.size() + 1);
        for (int k = 1; k <= attendus.size(); ++k) {
            const DescriptionBouton &a = attendus[k - 1];
            QPushButton *b = e->Chargeq()[k];
            QCOMPARE(b->text(), a.legende);
            QCOMPARE(b->toolTip(), a.infobulle);
            QCOMPARE(b->property(ui::propriete::tag).toString(), a.tag);
            QCOMPARE(b->property(ui::propriete::twips).toRect(), QRect(a.gauche, a.haut, 500, 220));
            QCOMPARE(b->property(ui::propriete::couleurFond).value<QColor>(),
                ui::couleurRgb(*a.couleur));
            QVERIFY(b->isVisible());
        }
    }

    void classeurRefuseRameneAuSelecteur()
    {
        m_contenu.ordre.removeAll(u"DYN_team"_s);
        m_contenu.feuilles.remove(u"DYN_team"_s);
        FileOpen &s = m_programme->selecteur();
        QVERIFY(s.selectionnerFichier(m_base));
        m_messages.repondre(Reponse::Ok);
        QTest::mouseClick(s.OUVRIR(), Qt::LeftButton);

        const auto vus = m_messages.prendreMessages();
        QCOMPARE(vus.size(), 1);
        QVERIFY2(vus[0].texte.contains(u"base.xls"_s) && vus[0].texte.contains(u"DYN_team"_s),
            qPrintable(vus[0].texte));
        QCOMPARE(m_programme->equipes(), nullptr);
        QCOMPARE(m_programme->tableur(), nullptr);
        QVERIFY(s.isVisible());
        QVERIFY(!m_programme->estTermine());
        QCOMPARE(lireFichier(m_base), surLeDisque);

        // Le sélecteur reste utilisable : un bon classeur s'ouvre ensuite.
        m_contenu = classeurOrdinaire();
        QVERIFY(s.selectionnerFichier(m_base));
        QTest::mouseClick(s.OUVRIR(), Qt::LeftButton);
        QVERIFY(m_programme->equipes() != nullptr);
        QVERIFY(m_programme->equipes()->isVisible());
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
            m.etape(QStringLiteral("Ligne %1").arg(i));
            // Sans rendre la main à la boucle d'événements.
            QCOMPARE(compteur.n, i);
            QCOMPARE(m.application()->text(), QStringLiteral("Ligne %1").arg(i));
        }
        m.cacher();
        QVERIFY(!m.isVisible());
    }

    // Le vrai moteur refuse : message nommant le fichier et la raison, retour au sélecteur,
    // fichier intact et aucun descripteur resté ouvert dessus.
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
    }

private:
    ui::MessagesFactices m_messages;
    std::unique_ptr<QTemporaryDir> m_dossier;
    QString m_base;
    TableurMemoire::ClasseurMemoire m_contenu;
    TableurMemoire *m_dernier = nullptr;
    std::unique_ptr<Programme> m_programme;
};

QTEST_MAIN(TestProgramme)
#include "test_programme.moc"
