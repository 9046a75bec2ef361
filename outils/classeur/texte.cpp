#include "outils/classeur/texte.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <utility>

namespace zarvo::outils {

QString texteExact(double valeur)
{
    char tampon[64];
    // to_chars sans précision : la forme la plus courte qui se relit exactement.
    const auto r = std::to_chars(tampon, tampon + sizeof tampon, valeur);
    return QString::fromLatin1(tampon, r.ptr - tampon);
}

namespace {

// Caractère et lettre qui le remplace après la barre oblique, dans les deux sens.
constexpr std::pair<char16_t, char16_t> echappements[]
    = { { u'\t', u't' }, { u'\n', u'n' }, { u'\r', u'r' }, { u'\\', u'\\' } };

} // namespace

QString texteEchappe(const QString &texte)
{
    QString r;
    r.reserve(texte.size());
    for (const QChar c : texte) {
        const auto e = std::find_if(std::begin(echappements), std::end(echappements),
            [&](const auto &p) { return p.first == c.unicode(); });
        if (e == std::end(echappements)) {
            r += c;
        } else {
            r += u'\\';
            r += QChar(e->second);
        }
    }
    return r;
}

std::optional<QString> texteDesechappe(const QString &texte)
{
    QString r;
    r.reserve(texte.size());
    for (qsizetype i = 0; i < texte.size(); ++i) {
        if (texte[i] != u'\\') {
            r += texte[i];
            continue;
        }
        if (++i >= texte.size())
            return std::nullopt;
        const auto e = std::find_if(std::begin(echappements), std::end(echappements),
            [&](const auto &p) { return p.second == texte[i].unicode(); });
        if (e == std::end(echappements))
            return std::nullopt;
        r += QChar(e->first);
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
