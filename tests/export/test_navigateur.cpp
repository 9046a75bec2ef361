// Les pages exportées de la démo, ouvertes par un vrai navigateur (Chromium sans écran) : les
// liens du sommaire mènent aux fichiers du dossier, chaque page lue en Windows-1252 porte ses
// coureurs et aucun autre.
#include "export/html.h"

#include "classeur_jeu/chargement.h"
#include "classeur_jeu/disposition.h"
#include "model/conversions.h"
#include "sheet/xls/application_xls.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;

namespace {

// Sur une machine chargée Chromium échoue parfois à démarrer : trois essais, profil neuf.
QString domRendu(const QString &fichier, const QString &profil)
{
    static int lancement = 0;
    for (int essai = 1; essai <= 3; ++essai) {
        QProcess p;
        p.start(u"chromium"_s,
            { u"--headless"_s, u"--no-sandbox"_s, u"--disable-gpu"_s, u"--no-first-run"_s,
                u"--disable-background-networking"_s, u"--disable-component-update"_s,
                u"--user-data-dir=%1%2"_s.arg(profil).arg(++lancement), u"--dump-dom"_s,
                QUrl::fromLocalFile(fichier).toString() });
        p.waitForFinished(120000);
        const QString dom = QString::fromUtf8(p.readAllStandardOutput());
        if (dom.contains(u"</html>"_s))
            return dom;
        ADD_FAILURE() << "essai " << essai << " : " << p.readAllStandardError().toStdString();
    }
    return {};
}

} // namespace

TEST(ExportNavigateur, SommaireEtPagesDansChromium)
{
    const QLocale fr(QLocale::French, QLocale::France);
    QTemporaryDir travail;
    const QString copie = travail.filePath(u"demo.xls"_s);
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls"), copie));
    Donnees d;
    chargerClasseur(*sheet::creerApplicationXls(), copie, d);
    const ResultatExport r = exporterHTML(
        d, u"demo.xls"_s, QDir(travail.path()), QDateTime(QDate(2026, 12, 5), QTime(4, 5)), fr);
    ASSERT_TRUE(r.reussi) << r.erreur.toStdString();
    const QDir dossier(r.dossier);
    const QString profil = travail.filePath(u"profil"_s);

    const QString sommaire = domRendu(dossier.filePath(u"sommaire.html"_s), profil);
    EXPECT_TRUE(sommaire.contains(u"Caractéristiques de la Db demo"_s));
    QStringList liens;
    static const QRegularExpression href(u"href=\"([^\"]*)\""_s);
    for (auto it = href.globalMatch(sommaire); it.hasNext();)
        liens << it.next().captured(1);
    liens.sort();
    QStringList pages = dossier.entryList({ u"*.html"_s }, QDir::Files, QDir::Name);
    pages.removeAll(u"sommaire.html"_s);
    ASSERT_EQ(liens, pages);

    // Une page d'équipe et celle des libres ; un même nom peut être porté dans deux équipes.
    const int ligne = liens.filter(u"Equipe"_s).first().mid(6).chopped(5).toInt();
    for (const Cellule &equipe : { d.TabEquipes(ligne, colEq::Id), Cellule::nombre(61) }) {
        const QString nomPage
            = equipe == Cellule::nombre(61) ? u"FA.html"_s : u"Equipe%1.html"_s.arg(ligne);
        SCOPED_TRACE(nomPage.toStdString());
        const QString page = domRendu(dossier.filePath(nomPage), profil);
        QSet<QString> siens, autres;
        for (int c = base::premiereLigneCoureur; c <= base::derniereLigneCoureur; ++c)
            (egalesAuTri(d.TabCoureurs(c, col::Equipe), equipe) ? siens : autres)
                .insert(texteCellule(d.TabCoureurs(c, col::Nom), fr));
        EXPECT_FALSE(siens.isEmpty());
        for (const QString &nom : siens)
            EXPECT_TRUE(page.contains(u'>' + nom + u'<')) << nom.toStdString();
        for (const QString &nom : autres - siens)
            EXPECT_FALSE(page.contains(u'>' + nom + u'<')) << nom.toStdString();
    }
}
