// La vraie boîte de message Qt (les scénarios jouent le faux service) : titre, retours à la
// ligne, aucune icône, les boutons demandés et la réponse du bouton cliqué.
#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace zarvo;
using namespace Qt::Literals::StringLiterals;

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void boiteQt()
    {
        const struct
        {
            Boutons boutons;
            QStringList libelles;
            QString clic;
            Reponse attendue;
        } cas[] = {
            { Boutons::Ok, { u"OK"_s }, u"OK"_s, Reponse::Ok },
            { Boutons::OuiNon, { u"Non"_s, u"Oui"_s }, u"Non"_s, Reponse::Non },
            { Boutons::OuiNonAnnuler, { u"Annuler"_s, u"Non"_s, u"Oui"_s }, u"Annuler"_s,
                Reponse::Annuler },
        };
        for (const auto &c : cas) {
            QString titre, texte;
            QStringList vus;
            bool sansIcone = false;
            // La boîte est modale : inspectée et cliquée depuis la boucle d'événements.
            QTimer::singleShot(0, [&] {
                auto *boite = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (!boite)
                    return;
                titre = boite->windowTitle();
                texte = boite->text();
                sansIcone = boite->icon() == QMessageBox::NoIcon;
                for (QAbstractButton *b : boite->buttons()) {
                    vus << b->text();
                    if (b->text() == c.clic)
                        b->click();
                }
            });
            const Reponse r
                = ui::MessagesQt().afficher(u"une"_s + QChar(13) + u"deux"_s, c.boutons);
            vus.sort();
            QCOMPARE(titre, u"Zarvoedit"_s);
            QCOMPARE(texte, u"une\ndeux"_s);
            QVERIFY(sansIcone);
            QCOMPARE(vus, c.libelles);
            QCOMPARE(r, c.attendue);
        }
    }
};

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
