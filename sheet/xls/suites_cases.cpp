#include "sheet/xls/suites_cases.h"

#include "sheet/xls/enregistrements.h"

#include <tuple>

// Le découpage des suites MULRK/MULBLANK autour d'une case réécrite.

namespace zarvo::sheet::xls {

std::uint16_t formatDansUnite(const Unite &u, int colonne)
{
    const char *d = donneesDe(u.principal);
    if (u.type == id::mulrk)
        return MulRk::xf(d, std::uint32_t(colonne - u.col1));
    if (u.type == id::mulblank)
        return MulBlank::xf(d, std::uint32_t(colonne - u.col1));
    return EnTeteCase::lire(d, std::uint32_t(u.principal.size()) - tailleEnTete).value().xf;
}

std::optional<Unite> morceau(const Unite &u, int ligne, int de, int a)
{
    if (de > a)
        return std::nullopt;
    const char *d = donneesDe(u.principal);
    Unite m;
    m.col1 = de;
    m.col2 = a;
    std::tie(m.type, m.principal) = u.type == id::mulrk
        ? MulRk::morceau(d, u.col1, ligne, de, a)
        : MulBlank::morceau(d, u.col1, ligne, de, a);
    return m;
}

} // namespace zarvo::sheet::xls
