#include "app/Programme.h"
#include "commun/classeur_essai.h"
#include "outils/captures/scenario.h"
#include "rider/profil.h"
#include "soutien/messages_factices.h"
#include "ui/Equipes.h"
#include "ui/ProfilCoureur.h"
#include "ui/RadarProfil.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zarvo;
using namespace Qt::Literals::StringLiterals;

namespace {
QJsonObject controleDans(const QJsonObject &capture, const QString &fenetre, const QString &nom,
    const QJsonValue &index = QJsonValue())
{
    for (const QJsonValue &f : capture[u"fenetres"].toArray()) {
        if (f[u"nom"].toString() != fenetre)
            continue;
        for (const QJsonValue &c : f[u"controles"].toArray())
            if (c[u"nom"].toString() == nom && c[u"index"] == index)
                return c.toObject();
    }
    return {};
}
} // namespace

class TestCaptures : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.remettreAZero();
        m_dossier = std::make_unique<QTemporaryDir>();
        QFile f(m_dossier->filePath(u"base.xls"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        m_programme = std::make_unique<app::Programme>(
            m_messages,
            [this] {
                auto t = std::make_unique<sheet::TableurMemoire>();
                t->deposer(m_dossier->filePath(u"base.xls"_s), essai::classeurOrdinaire());
                return t;
            },
            m_dossier->path());
        m_programme->demarrer();
        m_scenario
            = std::make_unique<outils::Scenario>(*m_programme, m_messages, QDir(m_dossier->path()));
    }
    void cleanup()
    {
        m_scenario.reset();
        m_programme.reset();
    }

    // Une capture écrit l'image des fenêtres montrées et leur description, avec les boîtes
    // montrées depuis la précédente.
    void capture()
    {
        const QString script = u"capture avant\nouvrir "_s + m_dossier->filePath(u"base.xls"_s)
            + u"\nreponse Non\nclic Quit\ncapture apres\n"_s;
        const auto issue = m_scenario->jouer(script);
        QVERIFY2(issue.code == 0, qPrintable(issue.message));
        QCOMPARE(issue.fichiers.size(), 4);
        auto lire = [&](const QString &nom) {
            QFile f(m_dossier->filePath(nom + u".json"_s));
            return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object()
                                               : QJsonObject();
        };
        const QJsonObject avant = lire(u"avant"_s), apres = lire(u"apres"_s);
        QVERIFY(avant[u"IndexLibres"].isNull());
        QCOMPARE(controleDans(avant, u"FileOpen"_s, u"File"_s)[u"elements"].toArray().size(), 1);
        QCOMPARE(apres[u"IndexLibres"].toInt(), 40);
        const QJsonArray messages = apres[u"messages"].toArray();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0][u"boutons"].toString(), u"OuiNon"_s);
        QCOMPARE(messages[0][u"reponse"].toString(), u"Non"_s);
        QCOMPARE(messages[0][u"texte"].toString(), ui::texteConfirmationQuitter());
        const QImage image(m_dossier->filePath(u"apres.png"_s));
        QCOMPARE(image.width(), m_programme->equipes()->width());
    }

    // Le graphique du profil enregistré en SVG (lu par un programme indépendant, rsvg-convert)
    // et en PNG, sous le nom du coureur proposé.
    void imageDuProfil()
    {
        const QString svg = m_dossier->filePath(u"profil.svg"_s), png = svg + u".png"_s;
        const auto issue = m_scenario->jouer(u"ouvrir "_s + m_dossier->filePath(u"base.xls"_s)
            + u"\nefface rech\ntape rech Mo\nclic Coureur 1\nclic Profil\nfichier "_s + svg
            + u"\nclic Enregistrer\nfichier "_s + png + u"\nclic Enregistrer\ncapture profil"_s);
        QVERIFY2(issue.code == 0, qPrintable(issue.message));
        ui::Equipes *e = m_programme->equipes();
        QFile capture(m_dossier->filePath(u"profil.json"_s));
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

    void echecs_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("action inconnue") << u"saute Quit"_s << 2 << u"action inconnue"_s;
        QTest::newRow("contrôle inconnu") << u"clic Nulle"_s << 2 << u"contrôle inconnu"_s;
        QTest::newRow("index absent") << u"clic Free 3"_s << 2 << u"contrôle inconnu"_s;
        QTest::newRow("touche inconnue")
            << u"touche FileToOpen Echap"_s << 2 << u"touche inconnue"_s;
        QTest::newRow("réponse inconnue") << u"reponse Peut-être"_s << 2 << u"réponse inconnue"_s;
        QTest::newRow("fermer sans fenêtre principale")
            << u"fermer"_s << 2 << u"fenêtre principale"_s;
        QTest::newRow("boîte sans réponse préparée")
            << u"# rien de choisi\nclic OUVRIR\ncapture jamais"_s << 1
            << u"Veillez à choisir un fichier!!"_s;
        QTest::newRow("réponse qui n'est pas un bouton")
            << u"reponse Oui\nclic OUVRIR"_s << 1 << u"impossible"_s;
        QTest::newRow("attente déçue")
            << u"attend OUVRIR texte OUVRIR FEUILLE XLS\nattend OUVRIR texte FERMER"_s << 3
            << u"attendu « FERMER », trouvé « OUVRIR FEUILLE XLS »"_s;
        QTest::newRow("message attendu absent")
            << u"attend message Bonjour"_s << 3 << u"(aucun message)"_s;
    }
    void echecs()
    {
        QFETCH(QString, script);
        QFETCH(int, code);
        QFETCH(QString, message);
        const auto issue = m_scenario->jouer(script, u"essai.txt"_s);
        QCOMPARE(issue.code, code);
        QVERIFY2(issue.message.contains(message), qPrintable(issue.message));
        QVERIFY(issue.message.startsWith(u"essai.txt, ligne "_s));
        QVERIFY(!QFile::exists(m_dossier->filePath(u"jamais.png"_s)));
    }

private:
    ui::MessagesFactices m_messages;
    std::unique_ptr<QTemporaryDir> m_dossier;
    std::unique_ptr<app::Programme> m_programme;
    std::unique_ptr<outils::Scenario> m_scenario;
};

QTEST_MAIN(TestCaptures)
#include "test_captures.moc"
