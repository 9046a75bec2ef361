// Pilote les vraies fenêtres hors écran et en écrit des captures (PNG et JSON).
//   captures DOSSIER                      tournée fixe sur une copie du classeur de démo
//   captures --scenario FICHIER DOSSIER   joue un scénario (voir scenario.h)

#include "app/Programme.h"
#include "outils/captures/scenario.h"
#include "sheet/xls/application_xls.h"
#include "soutien/messages_factices.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>

#include <cstdio>

namespace {

void dire(const QString &texte)
{
    std::fputs(qPrintable(texte + u'\n'), stderr);
}

QString demoSource()
{
    // Trouvé depuis les sources, quel que soit le dossier courant.
    const QString candidats[] = {
        QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/../../exemples/demo.xls"),
    };
    for (const QString &c : candidats)
        if (QFile::exists(c))
            return c;
    return {};
}

/// La tournée fixe ; les étapes des autres parties du programme s'y ajoutent.
QString tournee(const QString &classeur)
{
    return QStringLiteral("capture 01-selecteur\n"
                          "ouvrir %1\n"
                          "capture 02-equipes\n"
                          "clic Chargeq 1\n"
                          "capture 03-liste-equipe\n"
                          "clic Coureur 2\n"
                          "capture 04-coureur\n"
                          "efface Note 12\n"
                          "tape Note 12 81\n"
                          "capture 05-coureur-modifie\n"
                          "clic Free 2\n"
                          "capture 06-libres-2\n"
                          "clic Grimpeurs\n"
                          "capture 07-classement-grimpeurs\n"
                          "efface rech\n"
                          "tape rech ma\n"
                          "capture 08-recherche\n"
                          "reponse Non\n"
                          "clic HTML\n"
                          "clic Chargeq 1\n"
                          "clic Coureur 2\n"
                          "efface Note 12\n"
                          "tape Note 12 99\n"
                          "# compte rendu, et le message d'une écriture refusée s'il y en a une\n"
                          "reponse OK\n"
                          "reponse OK\n"
                          "clic ApplyCour\n"
                          "capture 09-application\n"
                          "# la revue des modifications : une case changée puis le bouton\n"
                          "efface Note 14\n"
                          "tape Note 14 95\n"
                          "clic Modifs\n"
                          "capture 11-revue\n"
                          "clic Fermer\n"
                          "# le profil du coureur, comparé au précédent, moyenne de l'équipe\n"
                          "clic Profil\n"
                          "clic Comparer\n"
                          "clic Coureur 3\n"
                          "clic MoyenneEquipe\n"
                          "tape Note 10 x\n"
                          "capture 12-profil\n")
        .arg(classeur);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);

    QString script, sortie;
    bool estTournee = false;
    QTemporaryDir copie;
    // Le dossier de sortie se lit depuis le dossier courant de l'appelant.
    const QString origine = QDir::currentPath();
    if (args.size() == 3 && args[0] == u"--scenario") {
        QFile f(args[1]);
        if (!f.open(QIODevice::ReadOnly)) {
            dire(QStringLiteral("Impossible de lire le scénario « %1 ».").arg(args[1]));
            return 2;
        }
        script = QString::fromUtf8(f.readAll());
        sortie = args[2];
    } else if (args.size() == 1 && !args[0].startsWith(u"--")) {
        const QString source = demoSource();
        if (source.isEmpty()) {
            dire(QStringLiteral("Classeur de démonstration exemples/demo.xls introuvable."));
            return 2;
        }
        const QString cible = copie.filePath(QStringLiteral("demo.xls"));
        if (!copie.isValid() || !QFile::copy(source, cible)) {
            dire(QStringLiteral("Impossible de copier le classeur de démonstration."));
            return 2;
        }
        QDir::setCurrent(copie.path());
        script = tournee(cible);
        estTournee = true;
        sortie = args[0];
    } else {
        dire(QStringLiteral("Usage : captures DOSSIER\n"
                            "        captures --scenario FICHIER DOSSIER"));
        return 2;
    }
    const QDir dossierSortie(QDir(origine).absoluteFilePath(sortie));
    if (!QDir().mkpath(dossierSortie.path())) {
        dire(QStringLiteral("Impossible de créer le dossier « %1 ».").arg(sortie));
        return 2;
    }

    zarvo::ui::MessagesFactices messages;
    zarvo::app::Programme programme(
        messages, [] { return zarvo::sheet::creerApplicationXls(); }, QDir::currentPath());
    programme.demarrer();
    zarvo::outils::Scenario scenario(
        programme, messages, dossierSortie, [] { return zarvo::sheet::creerApplicationXls(); });
    const zarvo::outils::IssueScenario issue
        = scenario.jouer(script, estTournee ? QString() : args[1]);
    QStringList fichiers = issue.fichiers;
    // Le sommaire de l'export HTML de la tournée (fait dans la copie), rendu par Chromium.
    const QStringList exports
        = QDir::current().entryList({ QStringLiteral("exportHTML_du_*") }, QDir::Dirs);
    if (estTournee && issue.code == 0 && !exports.isEmpty()) {
        const QString image = dossierSortie.filePath(QStringLiteral("10-sommaire-html.png"));
        const QString sommaire
            = QDir::current().filePath(exports.first() + QStringLiteral("/sommaire.html"));
        QProcess chromium;
        chromium.start(QStringLiteral("chromium"),
            { QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                QStringLiteral("--disable-gpu"), QStringLiteral("--disable-background-networking"),
                QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                QStringLiteral("--no-first-run"), QStringLiteral("--hide-scrollbars"),
                QStringLiteral("--user-data-dir=") + copie.filePath(QStringLiteral("profil")),
                QStringLiteral("--window-size=1024,900"), QStringLiteral("--screenshot=") + image,
                QUrl::fromLocalFile(sommaire).toString() });
        if (chromium.waitForFinished(120000) && chromium.exitCode() == 0 && QFile::exists(image))
            fichiers << image;
        else
            dire(QStringLiteral("Chromium n'a pas rendu le sommaire de l'export HTML."));
    }
    for (const QString &f : fichiers)
        std::printf("%s\n", qPrintable(f));
    if (issue.code != 0)
        dire(issue.message);
    return issue.code;
}
