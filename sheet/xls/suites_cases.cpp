#include "sheet/xls/suites_cases.h"

#include "sheet/xls/enregistrements.h"
#include "sheet/xls/octets.h"

// Le découpage des suites MULRK/MULBLANK autour d'une case réécrite.

namespace zarvo::sheet::xls {

std::uint16_t formatDansUnite(const Unite &u, int colonne)
{
    const char *d = u.principal.constData() + 4;
    if (u.type == id::mulrk)
        return lire16(d + 4 + 6 * (colonne - u.col1));
    if (u.type == id::mulblank)
        return lire16(d + 4 + 2 * (colonne - u.col1));
    return lire16(d + 4);
}

std::optional<Unite> morceau(const Unite &u, int ligne, int de, int a)
{
    if (de > a)
        return std::nullopt;
    const bool rk = u.type == id::mulrk;
    const int pas = rk ? 6 : 2;
    const char *d = u.principal.constData() + 4;
    Unite m;
    m.col1 = de;
    m.col2 = a;
    QByteArray donnees;
    char b[2];
    const auto ajouter16 = [&](int v) {
        ecrire16(b, std::uint16_t(v));
        donnees.append(b, 2);
    };
    ajouter16(ligne);
    ajouter16(de);
    donnees.append(d + 4 + pas * (de - u.col1), pas * (a - de + 1));
    if (de == a) {
        m.type = rk ? id::rk : id::blank;
    } else {
        m.type = u.type;
        ajouter16(a);
    }
    m.principal = enregistrement(m.type, donnees);
    return m;
}

} // namespace zarvo::sheet::xls
