// Le sélecteur de classeur : fichiers proposés sans égard à la casse, sélection suivie au
// clavier, double-clic, dossier illisible ; le reste se joue dans tests/scenarios/selecteur.txt.
#include "app/FileOpen.h"
#include "commun/aide_fenetres.h"
#include "commun/fichiers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace zarvo;
using namespace zarvo::app;
using namespace Qt::Literals::StringLiterals;

namespace {

QStringList textes(QListWidget *l)
{
    QStringList t;
    for (int i = 0; i < l->count(); ++i)
        t << l->item(i)->text();
    return t;
}

QListWidgetItem *dossierNomme(QListWidget *dir, const QString &nom)
{
    for (int i = 0; i < dir->count(); ++i)
        if (dir->item(i)->text().trimmed() == nom)
            return dir->item(i);
    return nullptr;
}

} // namespace

class TestSelecteur : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.remettreAZero();
        m_dossier = std::make_unique<QTemporaryDir>();
        const QDir d(m_dossier->path());
        QVERIFY(d.mkdir(u"saison"_s));
        QVERIFY(d.mkdir(u"rangement.xls"_s));
        for (const QString &nom : { u"beta.xls"_s, u"Alpha.XLS"_s, u"gamma.xlsx"_s,
                 u"copie.xls.bak"_s, u"saison/ancienne.xls"_s })
            QVERIFY(essai::ecrireFichier(d.filePath(nom)));
        m_fenetre = std::make_unique<FileOpen>(m_messages, d.path());
        m_fenetre->show();
        m_ouvrir = std::make_unique<QSignalSpy>(m_fenetre.get(), &FileOpen::ouvrir);
    }
    void cleanup()
    {
        VERIFIER_MESSAGES_SOLDES(m_messages);
        m_ouvrir.reset();
        m_fenetre.reset();
        m_dossier.reset();
    }

    void fichiersProposesSansEgardALaCasse()
    {
        QCOMPARE(textes(m_fenetre->File()), (QStringList { u"Alpha.XLS"_s, u"beta.xls"_s }));
        QCOMPARE(m_fenetre->dossier(), QDir::cleanPath(m_dossier->path()));
        // Le chemin depuis la racine, puis les sous-dossiers.
        QCOMPARE(m_fenetre->Dir()->item(0)->text(), QDir::rootPath());
        QVERIFY(dossierNomme(m_fenetre->Dir(), u"saison"_s) != nullptr);
        QVERIFY(dossierNomme(m_fenetre->Dir(), u"rangement.xls"_s) != nullptr);
        QVERIFY(!m_fenetre->Drv()->currentText().isEmpty());
        // Les premières lettres tapées choisissent le dossier (le décalage n'est que dessiné).
        m_fenetre->Dir()->setFocus();
        QTest::keyClicks(m_fenetre->Dir(), u"ra"_s);
        QCOMPARE(m_fenetre->Dir()->currentItem()->text(), u"rangement.xls"_s);
    }

    void selectionAuClavierSuivieParFileToOpen()
    {
        m_fenetre->File()->setFocus();
        QTest::keyClick(m_fenetre->File(), Qt::Key_Down);
        if (m_fenetre->File()->selectedItems().isEmpty())
            QTest::keyClick(m_fenetre->File(), Qt::Key_Space);
        QCOMPARE(m_fenetre->File()->selectedItems().size(), 1);
        const QString premier = m_fenetre->File()->selectedItems().first()->text();
        QCOMPARE(m_fenetre->FileToOpen()->text(), m_dossier->filePath(premier));
        QTest::keyClick(m_fenetre->File(), premier == u"Alpha.XLS" ? Qt::Key_Down : Qt::Key_Up);
        const QString second = m_fenetre->File()->selectedItems().first()->text();
        QVERIFY(second != premier);
        QCOMPARE(m_fenetre->FileToOpen()->text(), m_dossier->filePath(second));
        QTest::mouseClick(m_fenetre->OUVRIR(), Qt::LeftButton);
        QCOMPARE(m_ouvrir->size(), 1);
        QCOMPARE(m_ouvrir->at(0).at(0).toString(), m_dossier->filePath(second));
    }

    void doubleClicSurUnFichierOuvre()
    {
        QListWidget *l = m_fenetre->File();
        const QRect r = l->visualItemRect(l->item(1));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(m_ouvrir->size(), 1);
        QCOMPARE(m_ouvrir->at(0).at(0).toString(), m_dossier->filePath(u"beta.xls"_s));
    }

    void dossierIllisibleLaisseLeSelecteurUtilisable()
    {
        QListWidgetItem *saison = dossierNomme(m_fenetre->Dir(), u"saison"_s);
        QVERIFY(saison);
        // Le dossier disparaît entre l'affichage de la liste et le choix.
        QVERIFY(QDir(m_dossier->filePath(u"saison"_s)).removeRecursively());
        m_messages.repondre(Reponse::Ok);
        m_fenetre->Dir()->setCurrentItem(saison);
        QTest::keyClick(m_fenetre->Dir(), Qt::Key_Return);
        QCOMPARE(m_messages.messages().size(), 1);
        QVERIFY(m_messages.messages()[0].texte.startsWith(u"Impossible de lire le dossier « "_s));
        QVERIFY(m_messages.messages()[0].texte.contains(u"saison"_s));
        QCOMPARE(m_fenetre->dossier(), QDir::cleanPath(m_dossier->path()));
        QVERIFY(m_fenetre->selectionnerFichier(m_dossier->filePath(u"beta.xls"_s)));
        QTest::mouseClick(m_fenetre->OUVRIR(), Qt::LeftButton);
        QCOMPARE(m_ouvrir->size(), 1);
    }

private:
    ui::MessagesFactices m_messages;
    std::unique_ptr<QTemporaryDir> m_dossier;
    std::unique_ptr<FileOpen> m_fenetre;
    std::unique_ptr<QSignalSpy> m_ouvrir;
};

QTEST_MAIN(TestSelecteur)
#include "test_selecteur.moc"
