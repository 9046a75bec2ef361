#include "sheet/tableur.h"

namespace zarvo::sheet {

QString texteQuestionEnregistrer(const QString &nomFichier)
{
    return QStringLiteral("Voulez-vous enregistrer les modifications apportées à « %1 » ?")
        .arg(nomFichier);
}

} // namespace zarvo::sheet
