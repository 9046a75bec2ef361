#include "outils/classeur/affectation.h"

#include "sheet/adresse.h"
#include "sheet/erreur.h"

#include <cmath>

namespace zarvo::outils {

namespace {

std::optional<QString> desechapper(const QString &t)
{
    QString r;
    r.reserve(t.size());
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] != u'\\') {
            r += t[i];
            continue;
        }
        if (++i >= t.size())
            return std::nullopt;
        switch (t[i].unicode()) {
        case u't':
            r += u'\t';
            break;
        case u'n':
            r += u'\n';
            break;
        case u'r':
            r += u'\r';
            break;
        case u'\\':
            r += u'\\';
            break;
        default:
            return std::nullopt;
        }
    }
    return r;
}

} // namespace

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
            = desechapper(valeur.startsWith(QStringLiteral("t:")) ? valeur.mid(2) : valeur);
        if (!t)
            return std::nullopt;
        a.valeur = Cellule::texte(*t);
    }
    return a;
}

} // namespace zarvo::outils
