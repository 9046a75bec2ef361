#include "app/LigneCommande.h"
#include "app/Programme.h"
#include "ui/messages.h"

#include "sheet/xls/application_xls.h"

#include <QApplication>
#include <QDir>
#include <QSettings>

#include <cstdio>

namespace {
void nommerApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Zarvoedit"));
    QCoreApplication::setApplicationName(QStringLiteral("Zarvoedit"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZARVO_VERSION));
}
} // namespace

int main(int argc, char *argv[])
{
    zarvo::app::LigneCommande ligne;
    {
        // L'aide et la version s'écrivent sans écran : une application console d'abord.
        QCoreApplication console(argc, argv);
        nommerApplication();
        ligne = zarvo::app::lireLigneCommande(QCoreApplication::arguments());
    }
    if (!ligne.lancer) {
        std::fputs(qPrintable(ligne.sortie), ligne.surErreur ? stderr : stdout);
        return ligne.code;
    }

    QApplication application(argc, argv);
    nommerApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zarvoedit.Zarvoedit"));
    // La fin passe par Quitter ou par la fermeture du sélecteur, jamais par une fenêtre cachée.
    QApplication::setQuitOnLastWindowClosed(false);

    QSettings reglages;
    zarvo::ui::MessagesQt messages;
    zarvo::app::Programme programme(
        messages, [] { return zarvo::sheet::creerApplicationXls(); }, QDir::currentPath(),
        &reglages);
    QObject::connect(&programme, &zarvo::app::Programme::termine, &application, &QApplication::quit,
        Qt::QueuedConnection);
    programme.demarrer(ligne.fichier);
    return application.exec();
}
