// Les boutons ApplyCour et HTML de la fenêtre principale : la fenêtre montre ce que rend la
// logique (progression, messages), rien de plus.
#include "sheet/memoire.h"
#include "ui/Equipes.h"
#include "ui/messages.h"
#include "ui/progression.h"

#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace zarvo;
using namespace zarvo::ui;
using sheet::TableurMemoire;

namespace {

const QString chemin = QStringLiteral("/classeurs/base.xls");

/// Fenêtre de progression factice : la trace de ce que la fenêtre principale lui demande.
class ProgressionTrace : public Progression
{
public:
    void montrer() override
    {
        ++montree;
        visible = true;
    }
    void etape(const QString &texte) override
    {
        // Une étape n'a de sens que fenêtre montrée.
        if (!visible)
            ++etapesCachee;
        etapes << texte;
    }
    void cacher() override
    {
        ++cachee;
        visible = false;
    }
    int montree = 0, cachee = 0, etapesCachee = 0;
    bool visible = false;
    QStringList etapes;
};

struct Banc
{
    MessagesFactices messages;
    ProgressionTrace progression;
    TableurMemoire tableur;
    Equipes fenetre { messages };

    Banc()
    {
        TableurMemoire::ClasseurMemoire c;
        c.ordre = { QStringLiteral("DYN_cyclist"), QStringLiteral("DYN_team") };
        c.feuilles[c.ordre[0]];
        c.feuilles[c.ordre[1]];
        tableur.deposer(chemin, c);
        tableur.ouvrir(chemin);
        fenetre.definirTableur(&tableur);
        fenetre.definirProgression(&progression);
        Donnees &d = fenetre.donnees();
        d.Colonnes = colonnesFeuilleCoureurs();
        for (int i = 2; i <= 973; ++i) {
            d.TabCoureurs(i, 0) = Cellule::nombre(i);
            d.TabCoureurs(i, 36) = Cellule::nombre(0);
        }
        // Un coureur affiché dont le potentiel de Montagne est plus bas que sa valeur.
        d.TabCoureurs(40, 2) = Cellule::texte(QStringLiteral("Abeille"));
        d.TabCoureurs(40, 4) = Cellule::nombre(61);
        d.TabCoureurs(40, 12) = Cellule::nombre(75);
        d.TabCoureurs(40, 13) = Cellule::nombre(70);
        d.TabCoureurs(40, 36) = Cellule::nombre(1);
    }

    Cellule caseFeuille(const QString &adresse)
    {
        return tableur.classeurActif()
            ->feuille(QStringLiteral("DYN_cyclist"))
            .plage(adresse)
            ->valeur();
    }
};

QStringList dossiersExport(const QString &lieu)
{
    return QDir(lieu).entryList({ QStringLiteral("exportHTML_du_*") }, QDir::Dirs);
}

} // namespace

class TestEquipesSortie : public QObject
{
    Q_OBJECT

private slots:
    void appliquerMontreProgressionEtCompteRendu()
    {
        Banc b;
        b.messages.repondre(Reponse::Ok);
        QTest::mouseClick(b.fenetre.ApplyCour(), Qt::LeftButton);

        QCOMPARE(b.progression.montree, 1);
        QCOMPARE(b.progression.cachee, 1);
        QCOMPARE(b.progression.etapesCachee, 0);
        QCOMPARE(b.progression.etapes.size(), 972 + 41);
        QCOMPARE(b.progression.etapes.last(),
            QStringLiteral("Mise à jour des données : Equipe 41sur 41"));
        const auto messages = b.messages.prendreMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].texte.startsWith(QStringLiteral(" 1 potentiels étaient")));
        QVERIFY(messages[0].texte.endsWith(QStringLiteral("\rAbeille (12) - ")));
        QCOMPARE(messages[0].boutons, Boutons::Ok);
        QCOMPARE(b.caseFeuille(QStringLiteral("M40")), Cellule::nombre(75));
        QVERIFY(b.messages.imprevus().isEmpty());
    }

    void appliquerEchecDitLaLigneEtCacheLaProgression()
    {
        Banc b;
        b.tableur.echouerEcriture(1);
        b.messages.repondre(Reponse::Ok);
        b.messages.repondre(Reponse::Ok);
        QTest::mouseClick(b.fenetre.ApplyCour(), Qt::LeftButton);

        QCOMPARE(b.progression.cachee, 1);
        QVERIFY(!b.progression.visible);
        const auto messages = b.messages.prendreMessages();
        // L'échec d'abord, puis le relèvement déjà fait en mémoire.
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages[0].texte.contains(
            QStringLiteral("« Abeille » (ligne 40 de la feuille DYN_cyclist)")));
        QVERIFY(messages[1].texte.startsWith(QStringLiteral(" 1 potentiels")));
        // Rien n'est perdu : une nouvelle application écrit tout.
        b.tableur.echouerEcriture(0);
        QTest::mouseClick(b.fenetre.ApplyCour(), Qt::LeftButton);
        QVERIFY(b.messages.prendreMessages().isEmpty());
        QVERIFY(b.messages.imprevus().isEmpty());
        QCOMPARE(b.caseFeuille(QStringLiteral("M40")), Cellule::nombre(75));
        QCOMPARE(b.caseFeuille(QStringLiteral("B40")), Cellule::texte(QStringLiteral("Abeille")));
    }

    void exporterDansLeDossierCourant()
    {
        Banc b;
        QTemporaryDir travail;
        QVERIFY(travail.isValid());
        const QString avant = QDir::currentPath();
        QVERIFY(QDir::setCurrent(travail.path()));
        b.fenetre.definirFichierChoisi([] { return QStringLiteral("Ma base.xls"); });
        QTest::mouseClick(b.fenetre.HTML(), Qt::LeftButton);
        QDir::setCurrent(avant);

        QVERIFY(b.messages.prendreMessages().isEmpty());
        QVERIFY(b.messages.imprevus().isEmpty());
        const QStringList dossiers = dossiersExport(travail.path());
        QCOMPARE(dossiers.size(), 1);
        QFile sommaire(travail.filePath(dossiers[0] + QStringLiteral("/sommaire.html")));
        QVERIFY(sommaire.open(QIODevice::ReadOnly));
        QVERIFY(sommaire.readAll().contains("de la Db Ma base</i>"));
        QFile libres(travail.filePath(dossiers[0] + QStringLiteral("/FA.html")));
        QVERIFY(libres.open(QIODevice::ReadOnly));
        QVERIFY(libres.readAll().contains(">Abeille</font>"));
    }

    void exportImpossibleAnnonce()
    {
        Banc b;
        QTemporaryDir parent;
        QVERIFY(parent.isValid());
        // Dossier courant supprimé après y être entré : aucune création possible, même root.
        const QString lieu = parent.filePath(QStringLiteral("disparu"));
        QVERIFY(QDir().mkdir(lieu));
        const QString avant = QDir::currentPath();
        QVERIFY(QDir::setCurrent(lieu));
        QVERIFY(QDir().rmdir(lieu));
        b.messages.repondre(Reponse::Ok);
        QTest::mouseClick(b.fenetre.HTML(), Qt::LeftButton);
        QDir::setCurrent(avant);

        const auto messages = b.messages.prendreMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].texte.contains(QStringLiteral("n'existe plus")));
        QVERIFY(b.messages.imprevus().isEmpty());
        QVERIFY(QDir(parent.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }
};

QTEST_MAIN(TestEquipesSortie)
#include "test_equipes_sortie.moc"
