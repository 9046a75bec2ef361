#pragma once

#include <QString>
#include <QStringList>

namespace zarvo::app {

/// Ce que demande la ligne de commande « zarvoedit [FICHIER.xls] ».
struct LigneCommande
{
    bool lancer = true; ///< faux : écrire `sortie` et finir avec `code`, sans fenêtre
    int code = 0;
    QString sortie; ///< aide, version ou erreur (en français)
    bool surErreur = false; ///< `sortie` va sur la sortie d'erreur
    QString fichier; ///< classeur à ouvrir tout de suite, vide : le sélecteur
};

/// Lit les arguments (le premier est le programme) ; nom et version : ceux de l'application.
LigneCommande lireLigneCommande(const QStringList &arguments);

} // namespace zarvo::app
