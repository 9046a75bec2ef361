#include "outils/classeur/affectation.h"

#include "outils/classeur/texte.h"
#include "sheet/adresse.h"
#include "sheet/erreur.h"

#include <cmath>

namespace zarvo::outils {

std::optional<Affectation> lireAffectation(const QString &texte)
{
    const qsizetype egal = texte.indexOf(u'=');
    if (egal <= 0)
        return std::nullopt;
    Affectation a { texte.left(egal), {} };
    try {
        if (!sheet::lireAdresse(a.adresse).estUneCase())
            return std::nullopt;
    } catch (const sheet::ErreurClasseur &) {
        return std::nullopt;
    }
    const QString valeur = texte.mid(egal + 1);
    if (valeur.startsWith(QStringLiteral("n:"))) {
        bool ok = false;
        const QString n = valeur.mid(2);
        const double v = n.toDouble(&ok);
        if (!ok || !std::isfinite(v) || n.trimmed() != n)
            return std::nullopt;
        a.valeur = Cellule::nombre(v);
    } else if (valeur.startsWith(QStringLiteral("v:"))) {
        if (valeur.size() != 2)
            return std::nullopt;
    } else {
        const auto t
            = texteDesechappe(valeur.startsWith(QStringLiteral("t:")) ? valeur.mid(2) : valeur);
        if (!t)
            return std::nullopt;
        a.valeur = Cellule::texte(*t);
    }
    return a;
}

} // namespace zarvo::outils
