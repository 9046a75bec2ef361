#pragma once

#include <QByteArray>

#include <cstdint>
#include <cstring>

namespace zarvo::sheet::xls {

/// Lectures et écritures petit-boutiennes ; l'appelant a déjà vérifié les bornes.
inline std::uint16_t lire16(const char *p)
{
    const auto *o = reinterpret_cast<const unsigned char *>(p);
    return std::uint16_t(o[0] | (o[1] << 8));
}
inline std::uint32_t lire32(const char *p)
{
    const auto *o = reinterpret_cast<const unsigned char *>(p);
    return std::uint32_t(o[0]) | (std::uint32_t(o[1]) << 8) | (std::uint32_t(o[2]) << 16)
        | (std::uint32_t(o[3]) << 24);
}
inline std::uint64_t lire64(const char *p)
{
    return std::uint64_t(lire32(p)) | (std::uint64_t(lire32(p + 4)) << 32);
}
inline double lireDouble(const char *p)
{
    const std::uint64_t bits = lire64(p);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}
inline void ecrire16(char *p, std::uint16_t v)
{
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}
inline void ecrire32(char *p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}
inline void ecrire64(char *p, std::uint64_t v)
{
    ecrire32(p, std::uint32_t(v));
    ecrire32(p + 4, std::uint32_t(v >> 32));
}
/// Ajouts petit-boutiens au bout d'un enregistrement en construction.
inline void ajouter16(QByteArray &o, std::uint16_t v)
{
    char b[2];
    ecrire16(b, v);
    o.append(b, 2);
}
inline void ajouter32(QByteArray &o, std::uint32_t v)
{
    char b[4];
    ecrire32(b, v);
    o.append(b, 4);
}

} // namespace zarvo::sheet::xls
