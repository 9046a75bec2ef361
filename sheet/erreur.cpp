#include "sheet/erreur.h"

namespace zarvo::sheet {

QString texteErreur(const ErreurClasseur &e)
{
    const QString &d = e.detail();
    const QString phrase = d.left(1).toUpper() + d.mid(1) + u'.';
    switch (e.operation()) {
    case Operation::Ouvrir:
        return QStringLiteral("Le classeur « %1 » ne peut pas être utilisé.").arg(e.fichier())
            + QChar(13) + phrase;
    case Operation::Enregistrer:
        return QStringLiteral("Impossible d'enregistrer « %1 » : %2. Le fichier d'origine n'a "
                              "pas été modifié.")
            .arg(e.fichier(), d);
    case Operation::Aucune:
        break;
    }
    return phrase;
}

} // namespace zarvo::sheet
