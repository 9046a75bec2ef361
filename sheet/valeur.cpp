#include "sheet/valeur.h"

#include <QRegularExpression>

#include <cmath>

namespace zarvo::sheet {

Cellule valeurPosee(const Cellule &valeur)
{
    if (!valeur.estTexte())
        return valeur;
    static const QRegularExpression forme(
        QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    const QString &t = valeur.valeurTexte();
    if (!forme.match(t).hasMatch())
        return valeur;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return valeur;
    return Cellule::nombre(v);
}

} // namespace zarvo::sheet
