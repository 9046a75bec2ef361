#include "sheet/xls/enregistrements.h"

#include "sheet/erreur.h"
#include "sheet/xls/octets.h"

#include <QString>

namespace zarvo::sheet::xls {

bool estCase(std::uint16_t t)
{
    switch (t) {
    case id::number:
    case id::rk:
    case id::labelsst:
    case id::label:
    case id::rstring:
    case id::blank:
    case id::boolerr:
    case id::formula:
    case id::mulrk:
    case id::mulblank:
        return true;
    default:
        return false;
    }
}

bool suitUneFormule(std::uint16_t t)
{
    return t == id::string || t == id::continuation || t == id::shrfmla || t == id::array
        || t == id::table;
}

bool estAncienBof(std::uint16_t t)
{
    return t == id::bofBiff2 || t == id::bofBiff3 || t == id::bofBiff4;
}

QByteArray enregistrement(std::uint16_t type, const QByteArray &donnees)
{
    if (donnees.size() > tailleMaxDonneesBiff8)
        throw ErreurClasseur(GenreErreur::EcritureImpossible,
            QStringLiteral("enregistrement trop long (%1 octets) pour le format du classeur")
                .arg(donnees.size()));
    QByteArray r(4, Qt::Uninitialized);
    ecrire16(r.data(), type);
    ecrire16(r.data() + 2, std::uint16_t(donnees.size()));
    r.append(donnees);
    return r;
}

std::optional<Bof> Bof::lire(const char *d, std::uint32_t n)
{
    if (n < 4)
        return std::nullopt;
    return Bof { lire16(d), lire16(d + 2) };
}

std::optional<Row> Row::lire(const char *d, std::uint32_t n)
{
    if (n < taille)
        return std::nullopt;
    return Row { lire16(d), lire16(d + 2), lire16(d + 4), lire16(d + 6), lire16(d + 12),
        lire16(d + 14) };
}

std::optional<std::uint16_t> Row::formatPropre() const
{
    // fGhostDirty : la ligne porte un format ; ixfe sur 12 bits.
    if (options & 0x80)
        return std::uint16_t(xf & 0x0FFF);
    return std::nullopt;
}

void Row::ecrireDans(char *d) const
{
    ecrire16(d, ligne);
    ecrire16(d + 2, premiere);
    ecrire16(d + 4, fin);
    ecrire16(d + 6, hauteur);
    ecrire16(d + 12, options);
    ecrire16(d + 14, xf);
}

QByteArray Row::ecrire() const
{
    QByteArray d(taille, '\0');
    ecrireDans(d.data());
    return enregistrement(id::row, d);
}

std::optional<ColInfo> ColInfo::lire(const char *d, std::uint32_t n)
{
    if (n < 10)
        return std::nullopt;
    return ColInfo { lire16(d), lire16(d + 2), lire16(d + 6) };
}

std::optional<Dimensions> Dimensions::lire(const char *d, std::uint32_t n)
{
    if (n < 14)
        return std::nullopt;
    return Dimensions { lire32(d), lire32(d + 4), lire16(d + 8), lire16(d + 10) };
}

void Dimensions::ecrireDans(char *d) const
{
    ecrire32(d, l1);
    ecrire32(d + 4, l2);
    ecrire16(d + 8, c1);
    ecrire16(d + 10, c2);
}

std::optional<Index> Index::lire(const char *d, std::uint32_t n)
{
    if (n < 16)
        return std::nullopt;
    return Index { lire32(d + 4), lire32(d + 8) };
}

void Index::decaler(char *d, std::uint32_t n, std::int64_t decalage)
{
    for (std::uint32_t o = 12; o + 4 <= n; o += 4)
        if (lire32(d + o) != 0)
            ecrire32(d + o, std::uint32_t(lire32(d + o) + decalage));
}

std::optional<DefaultRowHeight> DefaultRowHeight::lire(const char *d, std::uint32_t n)
{
    if (n < 4)
        return std::nullopt;
    return DefaultRowHeight { lire16(d + 2) };
}

std::optional<ShrFmla> ShrFmla::lire(const char *d, std::uint32_t n)
{
    // Plage (6 octets), réservé, nombre d'usages, longueur des jetons, jetons.
    if (n < 10 || 10 + std::uint32_t(lire16(d + 8)) > n)
        return std::nullopt;
    return ShrFmla { lire16(d), lire16(d + 2), std::uint8_t(d[4]), std::uint8_t(d[5]) };
}

std::optional<std::pair<int, int>> renvoiExp(const char *d, std::uint32_t n)
{
    if (n < 22 + 5 || lire16(d + 20) != 5 || d[22] != 0x01)
        return std::nullopt;
    return std::pair<int, int> { lire16(d + 23), lire16(d + 25) };
}

} // namespace zarvo::sheet::xls
