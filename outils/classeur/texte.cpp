#include "outils/classeur/texte.h"

#include <charconv>

namespace zarvo::outils {

QString texteExact(double valeur)
{
    char tampon[64];
    // to_chars sans précision : la forme la plus courte qui se relit exactement.
    const auto r = std::to_chars(tampon, tampon + sizeof tampon, valeur);
    return QString::fromLatin1(tampon, r.ptr - tampon);
}

QString texteEchappe(const QString &texte)
{
    QString r;
    r.reserve(texte.size());
    for (const QChar c : texte) {
        switch (c.unicode()) {
        case u'\t':
            r += u"\\t";
            break;
        case u'\n':
            r += u"\\n";
            break;
        case u'\r':
            r += u"\\r";
            break;
        case u'\\':
            r += u"\\\\";
            break;
        default:
            r += c;
        }
    }
    return r;
}

QString texteCase(const Cellule &c, bool types)
{
    switch (c.genre()) {
    case Cellule::Genre::Nombre:
        return (types ? QStringLiteral("n:") : QString()) + texteExact(c.valeurNombre());
    case Cellule::Genre::Texte:
        return (types ? QStringLiteral("t:") : QString()) + texteEchappe(c.valeurTexte());
    case Cellule::Genre::Vide:
        break;
    }
    return types ? QStringLiteral("v:") : QString();
}

} // namespace zarvo::outils
