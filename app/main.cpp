#include "app/Programme.h"
#include "ui/messages.h"

#if __has_include("sheet/xls/application_xls.h")
#include "sheet/xls/application_xls.h"
#define ZARVO_MOTEUR_XLS 1
#endif

#include "sheet/erreur.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarvoedit"));
    // La fin passe par Quitter ou par la fermeture du sélecteur, jamais par une fenêtre cachée.
    QApplication::setQuitOnLastWindowClosed(false);

    zarvo::ui::MessagesQt messages;
    zarvo::app::FabriqueTableur fabrique = []() -> std::unique_ptr<zarvo::sheet::Application> {
#ifdef ZARVO_MOTEUR_XLS
        return zarvo::sheet::creerApplicationXls();
#else
        throw zarvo::sheet::ErreurClasseur(
            QStringLiteral("Le moteur de classeur .xls manque à cette construction."));
#endif
    };
    zarvo::app::Programme programme(messages, fabrique, QDir::currentPath());
    QObject::connect(&programme, &zarvo::app::Programme::termine, &application, &QApplication::quit,
        Qt::QueuedConnection);
    programme.demarrer();
    return application.exec();
}
