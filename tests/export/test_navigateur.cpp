// Les pages exportées de la base de démonstration, ouvertes par un vrai navigateur (Chromium sans
// écran) : chaque lien du sommaire mène à un fichier du dossier, les coureurs de l'équipe
// sont dans le texte de sa page, les caractères lus comme Windows-1252.
#include "export/html.h"

#include "model/conversions.h"

#include "aide_gtest.h"
#include "classeur_jeu/chargement.h"
#include "sheet/xls/application_xls.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;

namespace {

const QLocale fr(QLocale::French, QLocale::France);

/// DOM de la page après chargement par Chromium ; vide si échec. Sur une machine très
/// chargée Chromium échoue parfois à démarrer : trois essais, chacun avec un profil neuf.
QString domRendu(const QString &fichier, const QString &profil)
{
    const QString chromium = QStandardPaths::findExecutable(u"chromium"_s);
    if (chromium.isEmpty()) {
        ADD_FAILURE() << "chromium introuvable (paquet Debian chromium)";
        return {};
    }
    static int lancement = 0;
    QString erreurs;
    for (int essai = 1; essai <= 3; ++essai) {
        QProcess p;
        p.start(chromium,
            { u"--headless"_s, u"--no-sandbox"_s, u"--disable-gpu"_s,
                u"--disable-background-networking"_s, u"--disable-component-update"_s,
                u"--disable-sync"_s, u"--no-first-run"_s,
                u"--user-data-dir=%1%2"_s.arg(profil).arg(++lancement), u"--dump-dom"_s,
                QUrl::fromLocalFile(fichier).toString() });
        if (!p.waitForFinished(120000)) {
            p.kill();
            p.waitForFinished();
        }
        const QString dom = QString::fromUtf8(p.readAllStandardOutput());
        if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0
            && dom.contains(u"</html>"_s))
            return dom;
        erreurs += u"essai %1 : code %2 : %3\n"_s.arg(essai)
                       .arg(p.exitCode())
                       .arg(QString::fromUtf8(p.readAllStandardError()));
    }
    ADD_FAILURE() << fichier.toStdString() << "\n" << erreurs.toStdString();
    return {};
}

/// La base de démonstration, chargée par le moteur .xls depuis une copie.
Donnees baseDeDemo()
{
    QTemporaryDir dossier;
    const QString copie = dossier.filePath(u"demo.xls"_s);
    Donnees d;
    if (!QFile::copy(QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls"), copie)) {
        ADD_FAILURE() << "exemples/demo.xls introuvable";
        return d;
    }
    auto app = sheet::creerApplicationXls();
    chargerClasseur(*app, copie, d);
    return d;
}

} // namespace

TEST(ExportNavigateur, SommaireEtPagesSOuvrent)
{
    QTemporaryDir travail;
    ASSERT_TRUE(travail.isValid());
    const Donnees d = baseDeDemo();
    const ResultatExport r = exporterHTML(
        d, u"demo.xls"_s, QDir(travail.path()), QDateTime(QDate(2026, 12, 5), QTime(4, 5, 9)), fr);
    ASSERT_TRUE(r.reussi) << r.erreur.toStdString();
    const QDir dossier(r.dossier);
    const QString profil = travail.filePath(u"profil"_s);

    // Sommaire : chaque lien mène à un fichier du dossier, toutes les pages sont liées.
    const QString sommaire = domRendu(dossier.filePath(u"sommaire.html"_s), profil);
    ASSERT_FALSE(sommaire.isEmpty());
    EXPECT_TRUE(sommaire.contains(QString::fromUtf8("Caractéristiques de la Db demo")));
    QStringList liens;
    static const QRegularExpression href(u"href=\"([^\"]*)\""_s);
    for (auto it = href.globalMatch(sommaire); it.hasNext();)
        liens << it.next().captured(1);
    liens.sort();
    QStringList pages = dossier.entryList({ u"*.html"_s }, QDir::Files, QDir::Name);
    pages.removeAll(u"sommaire.html"_s);
    EXPECT_EQ(liens, pages);

    // Une page d'équipe et celle des libres : leurs coureurs (par nom, un nom pouvant être
    // porté dans deux équipes), aucun autre ; les références numériques redeviennent leurs
    // caractères.
    int ligne = 0;
    for (const QString &lien : liens)
        if (ligne == 0 && lien.startsWith(u"Equipe"_s))
            ligne = lien.mid(6).chopped(5).toInt();
    ASSERT_GT(ligne, 0);
    for (const Cellule &equipe : { d.TabEquipes(ligne, 1), Cellule::nombre(61) }) {
        const QString nomPage
            = equipe == Cellule::nombre(61) ? u"FA.html"_s : u"Equipe%1.html"_s.arg(ligne);
        SCOPED_TRACE(nomPage.toStdString());
        const QString page = domRendu(dossier.filePath(nomPage), profil);
        ASSERT_FALSE(page.isEmpty());
        QSet<QString> siens, autres;
        for (int c = 2; c <= 973; ++c)
            (egalesAuTri(d.TabCoureurs(c, 4), equipe) ? siens : autres)
                .insert(texteCellule(d.TabCoureurs(c, 2), fr));
        EXPECT_FALSE(siens.isEmpty());
        for (const QString &nom : siens)
            EXPECT_TRUE(page.contains(u'>' + nom + u'<')) << nom.toStdString();
        for (const QString &nom : autres - siens)
            EXPECT_FALSE(page.contains(u'>' + nom + u'<')) << nom.toStdString();
        EXPECT_TRUE(page.contains(u"href=\"sommaire.html\""_s));
    }
}
