// Le chemin entier d'une modification, comme un utilisateur le prend : choisir le classeur,
// une équipe, un coureur, taper une caractéristique et un id d'équipe, renommer l'équipe,
// sacrer le coureur champion, appliquer, quitter (Oui), enregistrer (Oui ou Non). Puis relire
// le fichier : exactement les cases attendues ont changé.
#include "app/FileOpen.h"
#include "app/Programme.h"
#include "commun/aide_fenetres.h"
#include "commun/fichiers.h"
#include "model/conversions.h"
#include "sheet/adresse.h"
#include "sheet/xls/application_xls.h"
#include "ui/Equipes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <map>

using namespace zarvo;
using namespace zarvo::app;
using namespace Qt::StringLiterals;
using essai::lireFichier;

namespace {

/// Cases non vides d'un classeur : (feuille, adresse) → valeur.
using Contenu = std::map<std::pair<QString, QString>, Cellule>;

/// Relecture par notre moteur : toutes les feuilles, un bloc large.
Contenu contenuMoteur(const QString &chemin)
{
    Contenu r;
    auto app = sheet::creerApplicationXls();
    sheet::Classeur &c = app->ouvrir(chemin);
    for (const QString &nom : c.nomsFeuilles()) {
        const Tableau t = c.feuille(nom).plage(u"A1:BZ1200"_s)->valeurs();
        for (int l = 1; l <= t.derniereLigne(); ++l)
            for (int k = 1; k <= t.derniereColonne(); ++k)
                if (!t(l, k).estVide())
                    r[{ nom, sheet::texteAdresse(l, k) }] = t(l, k);
    }
    c.fermer([](const QString &) { return Reponse::Non; });
    return r;
}

/// Relecture par LibreOffice (outils/lecteurs), pour plusieurs fichiers d'un lancement.
QList<Contenu> contenuLibreOffice(const QStringList &chemins)
{
    QProcess p;
    p.setWorkingDirectory(QStringLiteral(ZARVO_SOURCE_DIR));
    p.start(u"/usr/bin/python3"_s,
        QStringList {
            u"-c"_s,
            QStringLiteral(
                "import sys, json; sys.path.insert(0, 'outils/lecteurs'); "
                "import lecteurs; print(json.dumps(lecteurs.lire_libreoffice(sys.argv[1:])))"),
        } + chemins);
    if (!p.waitForFinished(400000) || p.exitCode() != 0) {
        qWarning() << p.readAllStandardError();
        return {};
    }
    const QJsonObject tout = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    QList<Contenu> r;
    for (const QString &chemin : chemins) {
        Contenu c;
        for (const QJsonValue &f : tout.value(chemin).toObject().value(u"feuilles").toArray()) {
            const QString nom = f.toObject().value(u"nom").toString();
            const QJsonObject cases = f.toObject().value(u"cases").toObject();
            for (auto it = cases.begin(); it != cases.end(); ++it) {
                const QJsonArray v = it.value().toArray();
                c[{ nom, it.key() }] = v.at(0).toString() == u"nombre"
                    ? Cellule::nombre(v.at(1).toDouble())
                    : Cellule::texte(v.at(1).toString());
            }
        }
        r << c;
    }
    return r;
}

/// Cases qui diffèrent (valeur d'après, vide si la case a disparu).
Contenu ecarts(const Contenu &avant, const Contenu &apres)
{
    Contenu r;
    for (const auto &[cle, v] : apres)
        if (!avant.contains(cle) || !(avant.at(cle) == v))
            r[cle] = v;
    for (const auto &[cle, v] : avant)
        if (!apres.contains(cle))
            r[cle] = Cellule();
    return r;
}

QString decrire(const Contenu &c)
{
    QStringList l;
    for (const auto &[cle, v] : c)
        l << cle.first + u'!' + cle.second + u'='
                + (v.estTexte() ? u'"' + v.valeurTexte() + u'"' : texteCellule(v));
    return l.join(u", "_s);
}

void taper(QLineEdit *e, const QString &texte)
{
    e->setFocus();
    e->selectAll();
    // keyClicks ne connaît que l'ASCII : une lettre accentuée passe par son code de touche.
    for (const QChar c : texte) {
        if (c.unicode() < 0x80)
            QTest::keyClick(e, char(c.unicode()));
        else
            QTest::sendKeyEvent(
                QTest::Click, e, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
}

} // namespace

class TestBoutEnBout : public QObject
{
    Q_OBJECT

private slots:
    void cheminEntier_data()
    {
        QTest::addColumn<bool>("enregistrer");
        QTest::newRow("oui") << true;
        QTest::newRow("non") << false;
    }

    void cheminEntier()
    {
        QFETCH(bool, enregistrer);
        QTemporaryDir dossier;
        QVERIFY(dossier.isValid());
        const QString chemin = dossier.filePath(u"partie.xls"_s);
        const QString demo = QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls");
        QVERIFY(QFile::copy(demo, chemin));
        const QByteArray octetsAvant = lireFichier(chemin);
        const Contenu avant = contenuMoteur(chemin);

        ui::MessagesFactices messages;
        Programme p(
            messages, [] { return sheet::creerApplicationXls(); }, dossier.path());
        p.demarrer();
        QVERIFY(p.selecteur().selectionnerFichier(chemin));
        QTest::mouseClick(p.selecteur().OUVRIR(), Qt::LeftButton);
        ui::Equipes *e = p.equipes();
        QVERIFY2(e != nullptr, qPrintable(messages.messages().value(0).texte));
        Donnees &d = e->donnees();

        // Une équipe, puis l'un de ses coureurs qui n'est pas déjà champion.
        const auto ligneDe = [](QWidget *w) { return w->property("tag").toString().toInt(); };
        int bouton = 0;
        for (int k : e->Chargeq().indices()) {
            if (k == 0 || bouton != 0)
                continue;
            QTest::mouseClick(e->Chargeq()[k], Qt::LeftButton);
            for (int i : e->Coureur().indices())
                if (i > 0 && bouton == 0
                    && !(d.TabCoureurs(ligneDe(e->Coureur()[i]), 1) == Cellule::nombre(327)))
                    bouton = i;
        }
        QVERIFY2(bouton > 0, "aucune équipe n'a de coureur à sacrer");
        const int ligneEquipe = e->NumEq()->text().toInt();
        QVERIFY(ligneEquipe > 0);
        QTest::mouseClick(e->Coureur()[bouton], Qt::LeftButton);
        const int r = e->NumLigne()->text().toInt();
        QVERIFY(r >= 2);
        const Cellule ligneR = d.TabCoureurs(r, 0);
        const Cellule idR = d.TabCoureurs(r, 1);
        QVERIFY(d.IndexChampion >= 2);
        const Cellule ligneChampion = d.TabCoureurs(d.IndexChampion, 0);
        QVERIFY(valeurNumerique(d.TabCoureurs(r, 13)).value_or(0) < 99);
        const int ligneFeuilleEquipe = int(d.TabEquipes(ligneEquipe, 0).valeurNombre());
        // Id d'une autre équipe que celle du coureur.
        Cellule autreId;
        for (int k : e->Chargeq().indices()) {
            if (k == 0)
                continue;
            const Cellule id = d.TabEquipes(ligneDe(e->Chargeq()[k]), 1);
            if (autreId.estVide() && !(id == d.TabCoureurs(r, 4)))
                autreId = id;
        }
        QVERIFY(autreId.estNombre());

        taper(e->Note()[12], u"99"_s);
        taper(e->Note()[4], texteCellule(autreId));
        taper(e->Careq()[2], u"Équipe renommée"_s);
        messages.repondre(Reponse::Ok); // avertissement du champion
        QTest::mouseClick(e->CDM(), Qt::LeftButton);
        QCOMPARE(d.TabCoureurs(r, 1), Cellule::nombre(327));
        QCOMPARE(e->Note()[1]->text(), u"327"_s);
        messages.repondre(Reponse::Ok); // compte rendu : un potentiel relevé
        QTest::mouseClick(e->ApplyCour(), Qt::LeftButton);
        messages.repondre(Reponse::Oui); // vraiment quitter
        messages.repondre(enregistrer ? Reponse::Oui : Reponse::Non);
        QTest::mouseClick(e->Quit(), Qt::LeftButton);
        QVERIFY(p.estTermine());
        const auto vus = messages.prendreMessages();
        VERIFIER_MESSAGES_SOLDES(messages);
        QVERIFY(vus.size() >= 2);

        // Attendu, tiré du fichier d'avant : les cases tapées, l'échange des ids, le nom de
        // l'équipe, et pour les deux lignes marquées chaque potentiel plus bas (parties
        // entières) que sa caractéristique, mis à la valeur de celle-ci.
        const QString cy = u"DYN_cyclist"_s, te = u"DYN_team"_s;
        const int wR = int(ligneR.valeurNombre()), wC = int(ligneChampion.valeurNombre());
        Contenu attendu {
            { { cy, sheet::texteAdresse(wR, 12) }, Cellule::nombre(99) },
            { { cy, sheet::texteAdresse(wR, 4) }, autreId },
            { { cy, sheet::texteAdresse(wR, 1) }, Cellule::nombre(327) },
            { { cy, sheet::texteAdresse(wC, 1) }, idR },
            { { te, sheet::texteAdresse(ligneFeuilleEquipe, 2) },
                Cellule::texte(u"Équipe renommée"_s) },
        };
        int releves = 0;
        for (int w : { wR, wC }) {
            for (int j = 10; j <= 32; j += 2) {
                const auto caseAvant = [&](int col) {
                    const auto cle = std::make_pair(cy, sheet::texteAdresse(w, col));
                    return attendu.contains(cle)
                        ? attendu.at(cle)
                        : (avant.contains(cle) ? avant.at(cle) : Cellule());
                };
                const auto carac = valeurNumerique(caseAvant(j));
                const auto pot = valeurNumerique(caseAvant(j + 1));
                if (carac && pot && std::floor(*carac) > std::floor(*pot)) {
                    attendu[{ cy, sheet::texteAdresse(w, j + 1) }] = caseAvant(j);
                    ++releves;
                }
            }
        }
        QVERIFY(releves >= 1); // au moins le Montagne tapé
        QVERIFY2(
            vus[1].texte.startsWith(u" %1 potentiels"_s.arg(releves)), qPrintable(vus[1].texte));

        if (!enregistrer) {
            QCOMPARE(lireFichier(chemin), octetsAvant);
            return;
        }
        const Contenu parNous = ecarts(avant, contenuMoteur(chemin));
        QVERIFY2(parNous == attendu, qPrintable(decrire(parNous) + u" ≠ "_s + decrire(attendu)));
        // LibreOffice, lecteur indépendant, voit les mêmes changements et rien d'autre.
        const QString copieAvant = dossier.filePath(u"avant.xls"_s);
        QVERIFY(QFile::copy(demo, copieAvant));
        const QList<Contenu> lo = contenuLibreOffice({ copieAvant, chemin });
        QCOMPARE(lo.size(), 2);
        QVERIFY(!lo[0].empty());
        const Contenu parLibreOffice = ecarts(lo[0], lo[1]);
        QVERIFY2(parLibreOffice == attendu,
            qPrintable(decrire(parLibreOffice) + u" ≠ "_s + decrire(attendu)));
    }
};

QTEST_MAIN(TestBoutEnBout)
#include "test_bout_en_bout.moc"
