// Les pages exportées de la base de démonstration, ouvertes par un vrai navigateur (Chromium sans
// écran) : chaque lien du sommaire mène à un fichier du dossier, les coureurs de l'équipe
// sont dans le texte de sa page, les caractères lus comme Windows-1252.
#include "export/html.h"

#include "model/conversions.h"

#include "aide_gtest.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include "model/chargement/chargement.h"
#include "sheet/xls/application_xls.h"

using namespace zarvo;

namespace {

const QLocale fr(QLocale::French, QLocale::France);

/// Un lancement de Chromium sans écran : DOM rendu, vide si échec (raison dans erreur).
QString lancerChromium(
    const QString &chromium, const QString &fichier, const QString &profil, QString &erreur)
{
    QProcess p;
    p.start(chromium,
        { QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
            QStringLiteral("--disable-gpu"), QStringLiteral("--disable-background-networking"),
            QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
            QStringLiteral("--no-first-run"), QStringLiteral("--user-data-dir=") + profil,
            QStringLiteral("--dump-dom"), QUrl::fromLocalFile(fichier).toString() });
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        erreur = QStringLiteral("chromium n'a pas fini");
        return {};
    }
    const QString dom = QString::fromUtf8(p.readAllStandardOutput());
    if (p.exitCode() != 0 || !dom.contains(QStringLiteral("</html>"))) {
        erreur = QStringLiteral("code %1 : %2")
                     .arg(p.exitCode())
                     .arg(QString::fromUtf8(p.readAllStandardError()));
        return {};
    }
    return dom;
}

/// DOM de la page après chargement par Chromium ; vide si échec. Sur une machine très
/// chargée Chromium échoue parfois à démarrer : trois essais, chacun avec un profil neuf.
QString domRendu(const QString &fichier, const QString &profil)
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) {
        ADD_FAILURE() << "chromium introuvable (paquet Debian chromium)";
        return {};
    }
    static int lancement = 0;
    QString erreurs;
    for (int essai = 1; essai <= 3; ++essai) {
        QString erreur;
        const QString dom
            = lancerChromium(chromium, fichier, profil + QString::number(++lancement), erreur);
        if (!dom.isEmpty())
            return dom;
        erreurs += QStringLiteral("essai %1 : %2\n").arg(essai).arg(erreur);
    }
    ADD_FAILURE() << fichier.toStdString() << "\n" << erreurs.toStdString();
    return {};
}

/// La base de démonstration, chargée par le moteur .xls depuis une copie.
Donnees baseDeDemo()
{
    QTemporaryDir dossier;
    const QString copie = dossier.filePath(QStringLiteral("demo.xls"));
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
    const ResultatExport r = exporterHTML(d, QStringLiteral("demo.xls"), QDir(travail.path()),
        QDateTime(QDate(2026, 12, 5), QTime(4, 5, 9)), fr);
    ASSERT_TRUE(r.reussi) << r.erreur.toStdString();
    const QDir dossier(r.dossier);
    const QString profil = travail.filePath(QStringLiteral("profil"));

    // Sommaire : chaque lien mène à un fichier du dossier, toutes les pages sont liées.
    const QString sommaire = domRendu(dossier.filePath(QStringLiteral("sommaire.html")), profil);
    ASSERT_FALSE(sommaire.isEmpty());
    EXPECT_TRUE(sommaire.contains(QString::fromUtf8("Caractéristiques de la Db demo")));
    QSet<QString> liens;
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
    for (auto it = href.globalMatch(sommaire); it.hasNext();)
        liens.insert(it.next().captured(1));
    QSet<QString> pages;
    for (const QString &f : dossier.entryList({ QStringLiteral("*.html") }, QDir::Files))
        if (f != QStringLiteral("sommaire.html"))
            pages.insert(f);
    int exportees = 1; // FA.html
    for (int k = 1; k <= 41; ++k)
        exportees += egalesAuTri(d.TabEquipes(k, 3), Cellule::nombre(1))
            || egalesAuTri(d.TabEquipes(k, 3), Cellule::nombre(2));
    EXPECT_EQ(liens.size(), exportees);
    EXPECT_EQ(liens, pages);

    // Page de l'équipe la plus fournie : tous ses coureurs, aucun autre ; retour au sommaire.
    // Liens parcourus dans un ordre fixe (celui d'un QSet change d'une exécution à l'autre).
    QStringList liensTries = liens.values();
    liensTries.sort();
    int ligne = 0, plus = -1;
    for (const QString &lien : liensTries) {
        const int k = QString(lien)
                          .remove(QStringLiteral("Equipe"))
                          .remove(QStringLiteral(".html"))
                          .toInt();
        int n = 0;
        for (int c = 2; k > 0 && c <= 973; ++c)
            n += egalesAuTri(d.TabCoureurs(c, 4), d.TabEquipes(k, 1));
        if (n > plus) {
            ligne = k;
            plus = n;
        }
    }
    ASSERT_GT(ligne, 0);
    const QString page
        = domRendu(dossier.filePath(QStringLiteral("Equipe%1.html").arg(ligne)), profil);
    ASSERT_FALSE(page.isEmpty());
    // Un nom de famille peut être porté dans plusieurs équipes : on juge par nom.
    QSet<QString> siens, autres;
    for (int c = 2; c <= 973; ++c) {
        const QString nom = texteCellule(d.TabCoureurs(c, 2), fr);
        if (egalesAuTri(d.TabCoureurs(c, 4), d.TabEquipes(ligne, 1)))
            siens.insert(nom);
        else
            autres.insert(nom);
    }
    EXPECT_FALSE(siens.isEmpty());
    for (const QString &nom : siens)
        EXPECT_TRUE(page.contains(u'>' + nom + u'<')) << nom.toStdString();
    for (const QString &nom : autres - siens)
        EXPECT_FALSE(page.contains(u'>' + nom + u'<')) << nom.toStdString();
    EXPECT_TRUE(page.contains(
        QStringLiteral("Les coureurs de l'équipe ") + texteCellule(d.TabEquipes(ligne, 2), fr)));
    EXPECT_TRUE(page.contains(QStringLiteral("href=\"sommaire.html\"")));

    // Page des libres : les références numériques redeviennent leurs caractères.
    const QString libres = domRendu(dossier.filePath(QStringLiteral("FA.html")), profil);
    int nbLibres = 0;
    for (int c = 2; c <= 973; ++c) {
        if (!egalesAuTri(d.TabCoureurs(c, 4), Cellule::nombre(61)))
            continue;
        const QString nom = texteCellule(d.TabCoureurs(c, 2), fr);
        EXPECT_TRUE(libres.contains(u'>' + nom + u'<')) << nom.toStdString();
        ++nbLibres;
    }
    EXPECT_GT(nbLibres, 0);
}
