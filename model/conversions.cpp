#include "model/conversions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace zarvo {

QString texteNombre(double valeur, const QLocale &langue)
{
    QLocale l = langue;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    if (valeur == std::floor(valeur) && std::fabs(valeur) < 1e15)
        return l.toString(static_cast<qlonglong>(valeur));
    return l.toString(valeur, 'g', 15);
}

QString texteCellule(const Cellule &c, const QLocale &langue)
{
    switch (c.genre()) {
    case Cellule::Genre::Vide:
        return {};
    case Cellule::Genre::Texte:
        return c.valeurTexte();
    case Cellule::Genre::Nombre:
        return texteNombre(c.valeurNombre(), langue);
    }
    return {};
}

std::optional<double> lireNombre(const QString &texte, const QLocale &langue)
{
    const QString t = texte.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // Seuls chiffres, signes, séparateurs et exposant : écarte "nan", "inf" et les mots.
    for (const QChar ch : t) {
        if (!(ch.isDigit() || ch == u'+' || ch == u'-' || ch == u'e' || ch == u'E'
                || ch == langue.decimalPoint().front() || ch == langue.groupSeparator().front()))
            return std::nullopt;
    }
    bool ok = false;
    const double v = langue.toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<double> valeurNumerique(const Cellule &c, const QLocale &langue)
{
    switch (c.genre()) {
    case Cellule::Genre::Vide:
        return 0.0;
    case Cellule::Genre::Nombre:
        return c.valeurNombre();
    case Cellule::Genre::Texte:
        return lireNombre(c.valeurTexte(), langue);
    }
    return std::nullopt;
}

double plancher(double x)
{
    return std::floor(x);
}

double arrondi(double x)
{
    const double r = std::round(x); // moitié loin de zéro
    if (std::fabs(x - std::trunc(x)) == 0.5)
        return 2.0 * std::round(x / 2.0);
    return r;
}

double arrondi2(double x)
{
    if (!std::isfinite(x))
        return x;
    // Chiffres décimaux de la valeur affichée (15 significatifs), puis arrondi au pair.
    char tampon[64];
    const auto res
        = std::to_chars(tampon, tampon + sizeof tampon, x, std::chars_format::scientific, 14);
    std::string s(tampon, res.ptr);
    const auto posE = s.find('e');
    const int exposant = std::atoi(s.c_str() + posE + 1);
    std::string chiffres;
    bool negatif = false;
    for (std::size_t i = 0; i < posE; ++i) {
        if (s[i] == '-')
            negatif = true;
        else if (s[i] >= '0' && s[i] <= '9')
            chiffres += s[i];
    }
    // valeur = 0.chiffres × 10^(exposant+1) ; on garde (exposant + 1 + 2) chiffres.
    const int garde = exposant + 3;
    if (garde < 0)
        return 0.0;
    if (garde >= int(chiffres.size()))
        return x;
    std::string tete = chiffres.substr(0, std::size_t(garde));
    const std::string reste = chiffres.substr(std::size_t(garde));
    const bool plusMoitie = reste[0] > '5'
        || (reste[0] == '5' && reste.find_first_not_of('0', 1) != std::string::npos);
    const bool moitie = reste[0] == '5' && reste.find_first_not_of('0', 1) == std::string::npos;
    long long entier = tete.empty() ? 0 : std::stoll(tete);
    if (plusMoitie || (moitie && (entier % 2 != 0)))
        ++entier;
    const double v = double(entier) / 100.0; // entier compte des centièmes
    return negatif ? -v : v;
}

} // namespace zarvo
