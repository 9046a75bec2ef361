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

QString lettresColonne(int numero)
{
    if (numero < 1 || numero > 256)
        throw std::out_of_range("lettresColonne : numéro hors de 1..256");
    QString s;
    int n = numero;
    while (n > 0) {
        const int reste = (n - 1) % 26;
        s.prepend(QChar(u'A' + reste));
        n = (n - 1) / 26;
    }
    return s;
}

QStringList colonnesFeuilleCoureurs()
{
    QStringList l { QStringLiteral("A") };
    for (int n = 1; n <= 33; ++n)
        l << lettresColonne(n);
    return l;
}

} // namespace zarvo
