#include "app/Programme.h"
#include "ui/messages.h"

#include "sheet/xls/application_xls.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarvoedit"));
    // La fin passe par Quitter ou par la fermeture du sélecteur, jamais par une fenêtre cachée.
    QApplication::setQuitOnLastWindowClosed(false);

    zarvo::ui::MessagesQt messages;
    zarvo::app::Programme programme(
        messages, [] { return zarvo::sheet::creerApplicationXls(); }, QDir::currentPath());
    QObject::connect(&programme, &zarvo::app::Programme::termine, &application, &QApplication::quit,
        Qt::QueuedConnection);
    programme.demarrer();
    return application.exec();
}
