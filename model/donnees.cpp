#include "model/donnees.h"

#include <stdexcept>

namespace zarvo {

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
