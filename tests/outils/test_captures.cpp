// Le graphique du profil enregistré par un scénario en SVG (relu par rsvg-convert) et en PNG,
// sous le nom du coureur proposé : ce qu'une ligne « attend » ne sait pas juger.
#include "app/Programme.h"
#include "commun/classeur_essai.h"
#include "outils/captures/scenario.h"
#include "ui/Equipes.h"
#include "ui/ProfilCoureur.h"
#include "ui/RadarProfil.h"

#include <QImage>
#include <QJsonDocument>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zarvo;
using namespace Qt::Literals::StringLiterals;

class TestCaptures : public QObject
{
    Q_OBJECT

private slots:
    void imageDuProfil()
    {
        QTemporaryDir dossier;
        const QString base = dossier.filePath(u"base.xls"_s);
        QVERIFY(QFile(base).open(QIODevice::WriteOnly));
        ui::MessagesFactices messages;
        app::Programme programme(
            messages,
            [&] {
                auto t = std::make_unique<sheet::TableurMemoire>();
                t->deposer(base, essai::classeurOrdinaire());
                return t;
            },
            dossier.path());
        programme.demarrer();
        outils::Scenario scenario(programme, messages, QDir(dossier.path()));
        const QString svg = dossier.filePath(u"profil.svg"_s), png = svg + u".png"_s;
        const auto issue = scenario.jouer(u"ouvrir "_s + base
            + u"\nefface rech\ntape rech Mo\nclic Coureur 1\nclic Profil\nfichier "_s + svg
            + u"\nclic Enregistrer\nfichier "_s + png + u"\nclic Enregistrer\ncapture profil"_s);
        QVERIFY2(issue.code == 0, qPrintable(issue.message));
        ui::Equipes *e = programme.equipes();
        QFile capture(dossier.filePath(u"profil.json"_s));
        QVERIFY(capture.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(capture.readAll())[u"fichiers"][0][u"propose"].toString(),
            e->Note()[2]->text() + u' ' + e->Note()[3]->text() + u".png"_s);
        const QSize taille = e->fenetreProfil()->Graphique()->size();
        QCOMPARE(QImage(png).size(), taille);
        QCOMPARE(QProcess::execute(u"rsvg-convert"_s, { u"-o"_s, png, svg }), 0);
        const QImage image(png);
        // Au pixel près (tailles en mm).
        QVERIFY2(qAbs(image.width() - taille.width()) <= 1
                && qAbs(image.height() - taille.height()) <= 1,
            qPrintable(u"%1×%2"_s.arg(image.width()).arg(image.height())));
        int vert = 0; // le remplissage des caractéristiques
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                vert += c.green() > c.red() + 40 && c.green() > c.blue() + 40;
            }
        QVERIFY2(vert > 5000, qPrintable(QString::number(vert)));
    }
};

QTEST_MAIN(TestCaptures)
#include "test_captures.moc"
