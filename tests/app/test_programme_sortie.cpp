// Application et export depuis le programme entier : le nom de la base vient de la liste
// des fichiers du sélecteur, la fenêtre maj suit la progression puis disparaît.
#include "app/FileOpen.h"
#include "app/Programme.h"
#include "app/maj.h"
#include "commun/classeur_essai.h"
#include "ui/Equipes.h"
#include "ui/messages.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace zarvo;
using namespace zarvo::app;
using namespace essai;

class TestProgrammeSortie : public QObject
{
    Q_OBJECT

private slots:
    void exportNommeDApresLeFichierChoisiEtApplication()
    {
        QTemporaryDir dossier;
        QVERIFY(dossier.isValid());
        const QString nomFichier = QStringLiteral("Ma base.xls.xls");
        const QString chemin = dossier.filePath(nomFichier);
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("octets");
        f.close();
        TableurMemoire *tableur = nullptr;
        ui::MessagesFactices messages;
        Programme p(
            messages,
            [&] {
                auto t = std::make_unique<TableurMemoire>();
                t->deposer(chemin, classeurOrdinaire());
                tableur = t.get();
                return t;
            },
            dossier.path());
        p.demarrer();
        QVERIFY(p.selecteur().selectionnerFichier(chemin));
        QTest::mouseClick(p.selecteur().OUVRIR(), Qt::LeftButton);
        ui::Equipes *e = p.equipes();
        QVERIFY(e != nullptr);

        // Export dans le dossier courant, nom de la base tiré de la liste File.
        QTemporaryDir travail;
        const QString avant = QDir::currentPath();
        QVERIFY(QDir::setCurrent(travail.path()));
        QTest::mouseClick(e->HTML(), Qt::LeftButton);
        QDir::setCurrent(avant);
        const QStringList exports
            = QDir(travail.path()).entryList({ QStringLiteral("exportHTML_du_*") }, QDir::Dirs);
        QCOMPARE(exports.size(), 1);
        QFile sommaire(travail.filePath(exports[0] + QStringLiteral("/sommaire.html")));
        QVERIFY(sommaire.open(QIODevice::ReadOnly));
        QVERIFY(sommaire.readAll().contains("Caract\xE9ristiques de la Db Ma base</i>"));

        // Application : le coureur affiché est réécrit, maj a compté puis a disparu.
        Donnees &d = e->donnees();
        d.TabCoureurs(2, 36) = Cellule::nombre(1);
        QTest::mouseClick(e->ApplyCour(), Qt::LeftButton);
        QCOMPARE(tableur->nbEcritures(), 33);
        QVERIFY(!p.progression().isVisible());
        QCOMPARE(p.progression().application()->text(),
            QStringLiteral("Mise à jour des données : Equipe 41sur 41"));
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(messages.imprevus().isEmpty());
    }
};

QTEST_MAIN(TestProgrammeSortie)
#include "test_programme_sortie.moc"
