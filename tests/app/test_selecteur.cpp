#include "app/FileOpen.h"
#include "ui/messages.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zarvo;
using namespace zarvo::app;
using namespace Qt::Literals::StringLiterals;

namespace {
void toucher(const QString &chemin)
{
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

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
        const QString d = m_dossier->path();
        for (const char *nom :
            { "beta.xls", "Alpha.XLS", "gamma.xlsx", "notes.txt", "copie.xls.bak" })
            toucher(d + u'/' + QString::fromUtf8(nom));
        QVERIFY(QDir(d).mkdir(u"saison"_s));
        QVERIFY(QDir(d).mkdir(u"rangement.xls"_s));
        toucher(d + u"/saison/ancienne.xls"_s);
        m_fenetre = std::make_unique<FileOpen>(m_messages, d);
        m_fenetre->show();
    }
    void cleanup()
    {
        QVERIFY2(m_messages.imprevus().isEmpty(), qPrintable(m_messages.imprevus().join(u'\n')));
        QCOMPARE(m_messages.reponsesEnAttente(), 0);
        m_fenetre.reset();
        m_dossier.reset();
    }

    void fichiersProposesSansEgardALaCasse()
    {
        QCOMPARE(textes(m_fenetre->File()), (QStringList { u"Alpha.XLS"_s, u"beta.xls"_s }));
        QCOMPARE(m_fenetre->dossier(), QDir::cleanPath(m_dossier->path()));
        // Le dossier courant est le dernier du chemin, suivi de ses sous-dossiers.
        QVERIFY(dossierNomme(m_fenetre->Dir(), u"saison"_s) != nullptr);
        QVERIFY(dossierNomme(m_fenetre->Dir(), u"rangement.xls"_s) != nullptr);
        QCOMPARE(m_fenetre->Dir()->item(0)->text(), QDir::rootPath());
        QVERIFY(m_fenetre->Drv()->count() >= 1);
        QCOMPARE(m_fenetre->Drv()->currentText().isEmpty(), false);
    }

    void ouvrirSansFichierDonneLeMessage()
    {
        QSignalSpy ouvrir(m_fenetre.get(), &FileOpen::ouvrir);
        m_messages.repondre(Reponse::Ok);
        QTest::mouseClick(m_fenetre->OUVRIR(), Qt::LeftButton);
        QCOMPARE(ouvrir.size(), 0);
        QCOMPARE(m_messages.messages().size(), 1);
        QCOMPARE(m_messages.messages()[0].texte, u"Veillez à choisir un fichier!!"_s);
        QCOMPARE(m_messages.messages()[0].boutons, Boutons::Ok);
        QVERIFY(m_fenetre->isVisible());
    }

    void selectionAuClavierSuivieParFileToOpen()
    {
        QSignalSpy ouvrir(m_fenetre.get(), &FileOpen::ouvrir);
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
        QCOMPARE(ouvrir.size(), 1);
        QCOMPARE(ouvrir[0][0].toString(), m_dossier->filePath(second));
    }

    void doubleClicSurUnFichierOuvre()
    {
        QSignalSpy ouvrir(m_fenetre.get(), &FileOpen::ouvrir);
        QListWidget *l = m_fenetre->File();
        const QRect r = l->visualItemRect(l->item(1));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(ouvrir.size(), 1);
        QCOMPARE(ouvrir[0][0].toString(), m_dossier->filePath(u"beta.xls"_s));
    }

    void changerDeDossierVideLaSelection()
    {
        m_fenetre->File()->setCurrentRow(0);
        QCOMPARE(m_fenetre->FileToOpen()->text(), m_dossier->filePath(u"Alpha.XLS"_s));
        QListWidgetItem *saison = dossierNomme(m_fenetre->Dir(), u"saison"_s);
        QVERIFY(saison);
        m_fenetre->Dir()->scrollToItem(saison);
        const QRect r = m_fenetre->Dir()->visualItemRect(saison);
        QTest::mouseClick(m_fenetre->Dir()->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(m_fenetre->dossier(), QDir::cleanPath(m_dossier->path())); // un clic ne suffit pas
        QTest::mouseDClick(m_fenetre->Dir()->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(m_fenetre->dossier(), m_dossier->filePath(u"saison"_s));
        QCOMPARE(textes(m_fenetre->File()), QStringList { u"ancienne.xls"_s });
        QVERIFY(m_fenetre->File()->selectedItems().isEmpty());
        QVERIFY(m_fenetre->FileToOpen()->text().isEmpty());
        m_messages.repondre(Reponse::Ok);
        QSignalSpy ouvrir(m_fenetre.get(), &FileOpen::ouvrir);
        QTest::mouseClick(m_fenetre->OUVRIR(), Qt::LeftButton);
        QCOMPARE(ouvrir.size(), 0);
        QCOMPARE(m_messages.messages().last().texte, u"Veillez à choisir un fichier!!"_s);
        // Et retour au dossier parent par la liste du chemin.
        QListWidget *dir = m_fenetre->Dir();
        QCOMPARE(dir->item(dir->count() - 1)->text().trimmed(), u"saison"_s);
        QCOMPARE(dir->currentRow(), dir->count() - 1);
        dir->setCurrentItem(dir->item(dir->count() - 2));
        QTest::keyClick(m_fenetre->Dir(), Qt::Key_Return);
        QCOMPARE(m_fenetre->dossier(), QDir::cleanPath(m_dossier->path()));
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
        QVERIFY(m_fenetre->isVisible());
        QSignalSpy ouvrir(m_fenetre.get(), &FileOpen::ouvrir);
        QVERIFY(m_fenetre->selectionnerFichier(m_dossier->filePath(u"beta.xls"_s)));
        QTest::mouseClick(m_fenetre->OUVRIR(), Qt::LeftButton);
        QCOMPARE(ouvrir.size(), 1);
    }

    void selectionnerFichierParSonChemin_data()
    {
        QTest::addColumn<QString>("relatif");
        QTest::addColumn<bool>("propose");
        QTest::newRow("dans le dossier") << u"Alpha.XLS"_s << true;
        QTest::newRow("dans un sous-dossier") << u"saison/ancienne.xls"_s << true;
        QTest::newRow("autre extension") << u"gamma.xlsx"_s << false;
        QTest::newRow("absent") << u"rien.xls"_s << false;
    }
    void selectionnerFichierParSonChemin()
    {
        QFETCH(QString, relatif);
        QFETCH(bool, propose);
        const QString chemin = m_dossier->filePath(relatif);
        QCOMPARE(m_fenetre->selectionnerFichier(chemin), propose);
        if (propose)
            QCOMPARE(m_fenetre->FileToOpen()->text(), chemin);
    }

    void fermerParLeCadre()
    {
        QSignalSpy ferme(m_fenetre.get(), &FileOpen::ferme);
        m_fenetre->close();
        QCOMPARE(ferme.size(), 1);
    }

private:
    ui::MessagesFactices m_messages;
    std::unique_ptr<QTemporaryDir> m_dossier;
    std::unique_ptr<FileOpen> m_fenetre;
};

QTEST_MAIN(TestSelecteur)
#include "test_selecteur.moc"
