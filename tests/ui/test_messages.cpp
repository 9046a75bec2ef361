// Le service des messages : la vraie boîte Qt, et le faux des tests qui relève les imprévus.
#include "soutien/messages_factices.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace zarvo;
using namespace zarvo::ui;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(zarvo::Boutons)
Q_DECLARE_METATYPE(zarvo::Reponse)

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    // Une boîte sans réponse préparée, ou avec une réponse qui n'est pas l'un de ses boutons,
    // est relevée et reçoit la réponse la plus prudente.
    void questionImprevue_data()
    {
        QTest::addColumn<Boutons>("boutons");
        QTest::addColumn<bool>("avecReponse");
        QTest::addColumn<Reponse>("preparee");
        QTest::addColumn<Reponse>("donnee");
        QTest::newRow("Oui/Non/Annuler sans réponse")
            << Boutons::OuiNonAnnuler << false << Reponse::Ok << Reponse::Annuler;
        QTest::newRow("Annuler là où il n'y a que Oui/Non")
            << Boutons::OuiNon << true << Reponse::Annuler << Reponse::Non;
        QTest::newRow("Oui à une simple information")
            << Boutons::Ok << true << Reponse::Oui << Reponse::Ok;
    }
    void questionImprevue()
    {
        QFETCH(Boutons, boutons);
        QFETCH(bool, avecReponse);
        QFETCH(Reponse, preparee);
        QFETCH(Reponse, donnee);
        MessagesFactices m;
        if (avecReponse)
            m.repondre(preparee);
        QCOMPARE(m.afficher(u"Supprimer ?"_s, boutons), donnee);
        QCOMPARE(m.imprevus().size(), 1);
        QVERIFY(m.imprevus().first().contains(u"Supprimer ?"_s));
        QVERIFY(m.messages().first().imprevu);
    }

    void boiteQt_data()
    {
        QTest::addColumn<Boutons>("boutons");
        QTest::addColumn<QStringList>("libelles");
        QTest::addColumn<QString>("clic");
        QTest::addColumn<Reponse>("attendue");
        QTest::newRow("OK") << Boutons::Ok << QStringList { u"OK"_s } << u"OK"_s << Reponse::Ok;
        QTest::newRow("Oui/Non, Non")
            << Boutons::OuiNon << QStringList { u"Non"_s, u"Oui"_s } << u"Non"_s << Reponse::Non;
        QTest::newRow("Oui/Non/Annuler, Annuler")
            << Boutons::OuiNonAnnuler << QStringList { u"Annuler"_s, u"Non"_s, u"Oui"_s }
            << u"Annuler"_s << Reponse::Annuler;
    }
    void boiteQt()
    {
        QFETCH(Boutons, boutons);
        QFETCH(QStringList, libelles);
        QFETCH(QString, clic);
        QFETCH(Reponse, attendue);
        QString titre, texte;
        QStringList vus;
        bool sansIcone = false;
        // La vraie boîte est modale : on l'inspecte et on clique depuis la boucle d'événements.
        QTimer::singleShot(0, [&] {
            auto *boite = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!boite)
                return;
            titre = boite->windowTitle();
            texte = boite->text();
            sansIcone = boite->icon() == QMessageBox::NoIcon;
            for (QAbstractButton *b : boite->buttons()) {
                vus << b->text();
                if (b->text() == clic)
                    b->click();
            }
        });
        MessagesQt m;
        const Reponse r = m.afficher(u"première ligne"_s + QChar(13) + u"seconde"_s, boutons);
        vus.sort();
        QCOMPARE(titre, u"Zarvoedit"_s);
        QCOMPARE(texte, u"première ligne\nseconde"_s);
        QVERIFY(sansIcone);
        QCOMPARE(vus, libelles);
        QCOMPARE(r, attendue);
    }
};

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
