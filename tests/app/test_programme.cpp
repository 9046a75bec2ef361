#include "app/FileOpen.h"
#include "app/Programme.h"
#include "app/maj.h"
#include "commun/classeur_essai.h"
#include "sheet/erreur.h"
#include "ui/Equipes.h"
#include "ui/messages.h"

#include "sheet/xls/application_xls.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zarvo;
using namespace zarvo::app;
using namespace essai;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(std::function<TableurMemoire::ClasseurMemoire()>)

namespace {
using Fabrication = std::function<TableurMemoire::ClasseurMemoire()>;

/// Compte les peintures d'un widget.
class CompteurPeintures : public QObject
{
public:
    int n = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++n;
        return false;
    }
};
} // namespace

class TestProgramme : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.remettreAZero();
        m_dossier = std::make_unique<QTemporaryDir>();
        m_contenu = classeurOrdinaire();
        for (const char *nom : { "base.xls", "autre.xls" }) {
            QFile f(m_dossier->filePath(QString::fromUtf8(nom)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("octets du fichier sur le disque");
        }
        m_dernier = nullptr;
        m_programme = std::make_unique<Programme>(
            m_messages,
            [this] {
                auto t = std::make_unique<TableurMemoire>();
                t->deposer(m_dossier->filePath(u"base.xls"_s), m_contenu);
                m_dernier = t.get();
                return t;
            },
            m_dossier->path());
        m_programme->demarrer();
    }
    void cleanup()
    {
        QVERIFY2(m_messages.imprevus().isEmpty(), qPrintable(m_messages.imprevus().join(u'\n')));
        QCOMPARE(m_messages.reponsesEnAttente(), 0);
        m_programme.reset();
    }

    void chargementMontreLaFenetrePrincipale()
    {
        FileOpen &s = m_programme->selecteur();
        QVERIFY(s.selectionnerFichier(m_dossier->filePath(u"base.xls"_s)));
        QTest::mouseClick(s.OUVRIR(), Qt::LeftButton);
        ui::Equipes *e = m_programme->equipes();
        QVERIFY(e != nullptr);
        QVERIFY(e->isVisible());
        QVERIFY(!s.isVisible());
        QCOMPARE(e->tableur(), m_programme->tableur());
        QCOMPARE(e->NumLigne()->text(), u"0"_s);
        QCOMPARE(e->NumEq()->text(), u"0"_s);
        QCOMPARE(e->donnees().IndexLibres, 40);
        QCOMPARE(e->donnees().TabCoureurs(969, 2).valeurTexte(), u"Abeloos"_s);
        QCOMPARE(e->Chargeq().indices(), (QList<int> { 0, 1, 2, 3, 4, 5 }));
        const QStringList legendes { u"ALP"_s, u"BET"_s, u"DER"_s, u"DEU"_s, u"ONZ"_s };
        const QList<QColor> couleurs { QColor(143, 174, 245), QColor(143, 245, 74),
            QColor(143, 174, 245), QColor(143, 245, 74), QColor(143, 174, 245) };
        for (int k = 1; k <= 5; ++k) {
            QPushButton *b = e->Chargeq()[k];
            QCOMPARE(b->text(), legendes[k - 1]);
            QCOMPARE(b->property(ui::propriete::couleurFond).value<QColor>(), couleurs[k - 1]);
            QVERIFY(b->isVisible());
        }
        QCOMPARE(
            e->Chargeq()[5]->property(ui::propriete::twips).toRect(), QRect(1550, 240, 500, 220));
        QCOMPARE(e->Chargeq()[4]->property(ui::propriete::tag).toString(), u"39"_s);
        // Rien n'a été écrit.
        QCOMPARE(m_dernier->nbEcritures(), 0);
    }

    void classeurRefuseRameneAuSelecteur_data()
    {
        QTest::addColumn<QString>("fichier");
        QTest::addColumn<Fabrication>("contenu");
        QTest::addColumn<QString>("raison");
        QTest::newRow("illisible pour le moteur")
            << u"autre.xls"_s << Fabrication(classeurOrdinaire) << u"introuvable"_s;
        QTest::newRow("feuille des équipes absente") << u"base.xls"_s << Fabrication([] {
            auto c = classeurOrdinaire();
            c.ordre.removeAll(u"DYN_team"_s);
            c.feuilles.remove(u"DYN_team"_s);
            return c;
        }) << u"DYN_team"_s;
        QTest::newRow("42 équipes listées") << u"base.xls"_s << Fabrication([] {
            QList<Equipe> e;
            for (int i = 1; i <= 42; ++i)
                e << Equipe { i, n(11), u"Onze"_s, n(1), u"ONZ"_s };
            return classeur({}, e);
        }) << u"plus de 41 équipes"_s;
    }
    void classeurRefuseRameneAuSelecteur()
    {
        QFETCH(QString, fichier);
        QFETCH(Fabrication, contenu);
        QFETCH(QString, raison);
        m_contenu = contenu();
        const QString chemin = m_dossier->filePath(fichier);
        FileOpen &s = m_programme->selecteur();
        QVERIFY(s.selectionnerFichier(chemin));
        m_messages.repondre(Reponse::Ok);
        QTest::mouseClick(s.OUVRIR(), Qt::LeftButton);

        QCOMPARE(m_messages.messages().size(), 1);
        const QString texte = m_messages.messages()[0].texte;
        QVERIFY2(texte.contains(fichier) && texte.contains(raison), qPrintable(texte));
        QCOMPARE(m_messages.messages()[0].boutons, Boutons::Ok);
        QCOMPARE(m_programme->equipes(), nullptr);
        QCOMPARE(m_programme->tableur(), nullptr);
        QVERIFY(s.isVisible());
        QVERIFY(!m_programme->estTermine());
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("octets du fichier sur le disque"));

        // Le sélecteur reste utilisable : un bon classeur s'ouvre ensuite.
        m_contenu = classeurOrdinaire();
        QVERIFY(s.selectionnerFichier(m_dossier->filePath(u"base.xls"_s)));
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

    void quitterApresChargement_data()
    {
        QTest::addColumn<bool>("parLeCadre");
        QTest::newRow("bouton Quitter") << false;
        QTest::newRow("cadre de la fenêtre") << true;
    }
    void quitterApresChargement()
    {
        QFETCH(bool, parLeCadre);
        QVERIFY(m_programme->ouvrirClasseur(m_dossier->filePath(u"base.xls"_s)));
        ui::Equipes *e = m_programme->equipes();
        sheet::Classeur *c = m_programme->tableur()->classeurActif();
        c->feuille(u"DYN_team"_s).plage(u"B2"_s)->ecrire(t(u"Renommée"_s));
        QSignalSpy fin(m_programme.get(), &Programme::termine);
        // D'abord Annuler à la question d'enregistrement : rien ne bouge.
        m_messages.repondre(Reponse::Oui);
        m_messages.repondre(Reponse::Annuler);
        parLeCadre ? (void)e->close() : QTest::mouseClick(e->Quit(), Qt::LeftButton);
        QCOMPARE(fin.size(), 0);
        QVERIFY(e->isVisible());
        QVERIFY(m_programme->tableur()->classeurActif() != nullptr);
        // Puis Oui, Oui : enregistré, fini.
        m_messages.repondre(Reponse::Oui);
        m_messages.repondre(Reponse::Oui);
        parLeCadre ? (void)e->close() : QTest::mouseClick(e->Quit(), Qt::LeftButton);
        QCOMPARE(fin.size(), 1);
        QVERIFY(!e->isVisible());
        QVERIFY(!m_programme->selecteur().isVisible());
        const auto &surDisque = m_dernier->fichier(m_dossier->filePath(u"base.xls"_s));
        QCOMPARE(surDisque.enregistrements, 1);
        QCOMPARE(surDisque.feuilles[u"DYN_team"_s].at({ 2, 2 }).valeurTexte(), u"Renommée"_s);
    }

    void majRepeintSonEtiquette()
    {
        maj &m = m_programme->progression();
        m.montrer();
        QVERIFY(m.isVisible());
        QVERIFY(!m.isModal());
        CompteurPeintures compteur;
        m.application()->installEventFilter(&compteur);
        for (int i = 1; i <= 3; ++i) {
            m.etape(QStringLiteral("Ligne %1").arg(i));
            // Sans rendre la main à la boucle d'événements.
            QCOMPARE(compteur.n, i);
            QCOMPARE(m.application()->text(), QStringLiteral("Ligne %1").arg(i));
        }
        QVERIFY(m.application()->isVisible());
        m.cacher();
        QVERIFY(!m.isVisible());
    }

    void classeurDeDemo()
    {
        const QString source = QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls");
        QVERIFY(QFile::exists(source));
        QVERIFY(QFile::copy(source, m_dossier->filePath(u"demo.xls"_s)));
        const QByteArray avant = [&] {
            QFile f(source);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        ui::MessagesFactices messages;
        Programme p(
            messages, [] { return sheet::creerApplicationXls(); }, m_dossier->path());
        p.demarrer();
        QVERIFY(p.selecteur().selectionnerFichier(m_dossier->filePath(u"demo.xls"_s)));
        QTest::mouseClick(p.selecteur().OUVRIR(), Qt::LeftButton);
        QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.messages().value(0).texte));
        QVERIFY(p.equipes() != nullptr && p.equipes()->isVisible());
        const Donnees &d = p.equipes()->donnees();
        QVERIFY(d.IndexLibres > 0);
        QCOMPARE(d.TabEquipes(d.IndexLibres, 1), Cellule::nombre(61));
        // Des équipes dans les deux divisions, et des coureurs rangés par nom.
        int div1 = 0, div2 = 0;
        for (int k : p.equipes()->Chargeq().indices()) {
            if (k == 0)
                continue;
            const int ligne = p.equipes()->Chargeq()[k]->property(ui::propriete::tag).toInt();
            const double div = d.TabEquipes(ligne, 3).valeurNombre();
            (div == 1 ? div1 : div2)++;
            QVERIFY(div == 1 || div == 2);
            QVERIFY(d.TabEquipes(ligne, 1) != Cellule::nombre(61));
        }
        QVERIFY(div1 > 0 && div2 > 0);
        for (int r = 3; r <= 973; ++r)
            QVERIFY(comparerCellules(d.TabCoureurs(r - 1, 2), d.TabCoureurs(r, 2)) <= 0);
        messages.repondre(Reponse::Oui);
        QTest::mouseClick(p.equipes()->Quit(), Qt::LeftButton);
        QVERIFY(p.estTermine());
        QFile f(m_dossier->filePath(u"demo.xls"_s));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), avant);
    }

    void refusDuMoteurXls_data()
    {
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<QString>("copieDe");
        QTest::addColumn<QString>("raison");
        const QString refus = QStringLiteral(ZARVO_SOURCE_DIR "/tests/data/refus/");
        QTest::newRow("texte renommé en .xls")
            << QByteArray("Nom;Prénom\nA;B\n") << QString() << u"pas un classeur"_s;
        QTest::newRow("fichier vide") << QByteArray() << QString() << u"pas un classeur"_s;
        QTest::newRow("octets au hasard")
            << QByteArray::fromHex("d0cf11e0a1b11ae1000000000000000000000000") << QString()
            << u"abîmé"_s;
        QTest::newRow("classeur Excel 95")
            << QByteArray() << refus + u"biff5-gnumeric.xls"_s << u"antérieure à Excel 97"_s;
        QTest::newRow(".xlsx renommé")
            << QByteArray() << refus + u"xlsx-renomme.xls"_s << u"(.xlsx)"_s;
        QTest::newRow("protégé par mot de passe")
            << QByteArray() << refus + u"motdepasse-libreoffice.xls"_s << u"mot de passe"_s;
    }
    void refusDuMoteurXls()
    {
        QFETCH(QByteArray, octets);
        QFETCH(QString, copieDe);
        const QString chemin = m_dossier->filePath(u"refus.xls"_s);
        if (!copieDe.isEmpty()) {
            QVERIFY(QFile::exists(copieDe));
            QVERIFY(QFile::copy(copieDe, chemin));
            QFile f(chemin);
            QVERIFY(f.open(QIODevice::ReadOnly));
            octets = f.readAll();
        } else {
            QFile f(chemin);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(octets);
        }
        ui::MessagesFactices messages;
        Programme p(
            messages, [] { return sheet::creerApplicationXls(); }, m_dossier->path());
        p.demarrer();
        QVERIFY(p.selecteur().selectionnerFichier(chemin));
        messages.repondre(Reponse::Ok);
        QTest::mouseClick(p.selecteur().OUVRIR(), Qt::LeftButton);
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY2(messages.messages()[0].texte.contains(u"refus.xls"_s),
            qPrintable(messages.messages()[0].texte));
        QFETCH(QString, raison);
        QVERIFY2(messages.messages()[0].texte.contains(raison),
            qPrintable(messages.messages()[0].texte));
        QVERIFY(messages.imprevus().isEmpty());
        QCOMPARE(p.equipes(), nullptr);
        QVERIFY(p.selecteur().isVisible());
        // Aucun descripteur de fichier ne reste ouvert sur le classeur refusé.
        const QString canonique = QFileInfo(chemin).canonicalFilePath();
        const QStringList fds
            = QDir(u"/proc/self/fd"_s)
                  .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        QVERIFY(!fds.isEmpty());
        for (const QString &fd : fds)
            QVERIFY2(QFile::symLinkTarget(u"/proc/self/fd/"_s + fd) != canonique, qPrintable(fd));
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), octets);
    }

private:
    ui::MessagesFactices m_messages;
    std::unique_ptr<QTemporaryDir> m_dossier;
    TableurMemoire::ClasseurMemoire m_contenu;
    TableurMemoire *m_dernier = nullptr;
    std::unique_ptr<Programme> m_programme;
};

QTEST_MAIN(TestProgramme)
#include "test_programme.moc"
