#pragma once

// Fabrique de flux Workbook BIFF8 pour les tests : assez pour poser un cas précis
// (un enregistrement abîmé, une chaîne coupée à un endroit voulu) qu'aucun tableur n'écrit.

#include <QByteArray>
#include <QList>
#include <QString>

#include <bit>
#include <cstdint>
#include <utility>

namespace biff {

/// Entier de `n` octets, poids faible d'abord.
inline QByteArray le(std::uint64_t v, int n)
{
    QByteArray r;
    for (int i = 0; i < n; ++i)
        r += char((v >> (8 * i)) & 0xFF);
    return r;
}
inline const auto u8 = [](int v) -> QByteArray { return le(std::uint64_t(v), 1); };
inline const auto u16 = [](int v) -> QByteArray { return le(std::uint64_t(v), 2); };
inline const auto u32 = [](std::uint32_t v) -> QByteArray { return le(v, 4); };
inline const auto f64
    = [](double d) -> QByteArray { return le(std::bit_cast<std::uint64_t>(d), 8); };
inline const auto enr
    = [](int id, const QByteArray &d) -> QByteArray { return u16(id) + u16(int(d.size())) + d; };
inline const auto bof = [](int genre, int version = 0x0600) -> QByteArray {
    return enr(0x0809, u16(version) + u16(genre) + QByteArray(12, '\0'));
};
inline const auto eof = []() -> QByteArray { return enr(0x000A, {}); };
/// Caractères 8 bits (Latin-1) ou 16 bits, sans en-tête.
inline const auto car8 = [](const QString &s) -> QByteArray { return s.toLatin1(); };
inline const auto car16 = [](const QString &s) -> QByteArray {
    QByteArray r;
    for (QChar c : s)
        r += u16(c.unicode());
    return r;
};
/// XLUnicodeString : compte 16 bits, options, caractères.
inline const auto chaine = [](const QString &s, bool seize = false) -> QByteArray {
    return u16(int(s.size())) + u8(seize ? 1 : 0) + (seize ? car16(s) : car8(s));
};
inline const auto cellule = [](int ligne, int colonne, int xf = 0) -> QByteArray {
    return u16(ligne) + u16(colonne) + u16(xf);
};
inline const auto number = [](int l, int c, double v, int xf = 0) -> QByteArray {
    return enr(0x0203, cellule(l, c, xf) + f64(v));
};
inline const auto rk = [](int l, int c, std::uint32_t v) -> QByteArray {
    return enr(0x027E, cellule(l, c) + u32(v));
};
inline const auto labelsst = [](int l, int c, std::uint32_t isst) -> QByteArray {
    return enr(0x00FD, cellule(l, c) + u32(isst));
};
/// FORMULA : valeur en cache (8 octets), jetons de longueur `cce` (déclarée) et `reels` octets.
inline const auto formula
    = [](int l, int c, const QByteArray &valeur, int cce = 3, int reels = 3) -> QByteArray {
    return enr(
        0x0006, cellule(l, c) + valeur + u16(0) + u32(0) + u16(cce) + QByteArray(reels, '\x1E'));
};
/// Le même enregistrement sous un autre numéro (FORMULA d'Excel 3 ou 4, par exemple).
inline const auto sousNumero
    = [](QByteArray r, int id) -> QByteArray { return r.replace(0, 2, u16(id)); };
inline const auto resultatSpecial = [](int genre, int v = 0) -> QByteArray {
    return u8(genre) + u8(0) + u8(v) + u8(0) + u8(0) + u8(0) + u16(0xFFFF);
};

/**
 * Classeur complet : globaux (BOF, 16 XF, `globaux`, un BOUNDSHEET par feuille, EOF) puis les
 * feuilles (BOF de feuille, enregistrements, EOF). Les positions des BOUNDSHEET sont calculées,
 * `decalage` en décale une (pour les tests de refus).
 */
inline QByteArray classeur(const QByteArray &globaux,
    const QList<std::pair<QString, QByteArray>> &feuilles, int bofGlobaux = 0x0600,
    int decalage = 0)
{
    QByteArray debut = bof(0x0005, bofGlobaux);
    for (int i = 0; i < 16; ++i)
        debut += enr(0x00E0, QByteArray(20, '\0'));
    debut += globaux;
    int tailleGlobaux = int(debut.size()) + int(eof().size());
    for (const auto &f : feuilles)
        tailleGlobaux += 4 + 8 + int(f.first.size());
    QByteArray corps, declarations;
    for (const auto &f : feuilles) {
        const auto position = std::uint32_t(tailleGlobaux + corps.size() + decalage);
        declarations += enr(0x0085,
            u32(position) + u8(0) + u8(0) + u8(int(f.first.size())) + u8(0) + car8(f.first));
        corps += bof(0x0010) + f.second + eof();
        decalage = 0;
    }
    return debut + declarations + eof() + corps;
}

/// SST : compte total, compte déclaré, puis données (le premier morceau) et ses CONTINUE.
inline QByteArray sst(int declare, const QList<QByteArray> &morceaux)
{
    QByteArray r = enr(
        0x00FC, u32(std::uint32_t(declare)) + u32(std::uint32_t(declare)) + morceaux.value(0));
    for (int i = 1; i < morceaux.size(); ++i)
        r += enr(0x003C, morceaux[i]);
    return r;
}

} // namespace biff
