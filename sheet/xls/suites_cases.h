#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace zarvo::sheet::xls {

/// Une case ou une suite de cases d'une ligne, avec les enregistrements qui la suivent.
struct Unite
{
    int col1 = 0, col2 = 0;
    std::uint16_t type = 0;
    QByteArray principal; ///< l'enregistrement de la case, en-tête compris
    QByteArray suite; ///< enregistrements rattachés (STRING, SHRFMLA…), tels quels
};

/// Format (XF) de la case `colonne` d'une unité.
std::uint16_t formatDansUnite(const Unite &u, int colonne);

/// Morceau [de, a] d'une suite MULRK/MULBLANK ; une seule case redevient RK ou BLANK.
std::optional<Unite> morceau(const Unite &u, int ligne, int de, int a);

} // namespace zarvo::sheet::xls
