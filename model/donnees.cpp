#include "model/donnees.h"

#include "model/conversions.h"

#include <stdexcept>

namespace zarvo {

std::optional<int> divisionEquipe(const Cellule &c)
{
    const auto v = valeurNumerique(c);
    if (v && (*v == 1 || *v == 2))
        return int(*v);
    return std::nullopt;
}

int lettresColonne(int numero, char16_t *dest)
{
    if (numero < 1 || numero > 256)
        throw std::out_of_range("lettresColonne : numéro hors de 1..256");
    int n = 0;
    if (numero > 26)
        dest[n++] = char16_t(u'A' + (numero - 1) / 26 - 1);
    dest[n++] = char16_t(u'A' + (numero - 1) % 26);
    return n;
}

QString lettresColonne(int numero)
{
    char16_t t[2];
    return QString::fromUtf16(t, lettresColonne(numero, t));
}

QStringList colonnesFeuilleCoureurs()
{
    QStringList l { QStringLiteral("A") };
    for (int n = 1; n <= 33; ++n)
        l << lettresColonne(n);
    return l;
}

} // namespace zarvo
