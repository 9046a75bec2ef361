#include "sheet/xls/enregistrements.h"

#include "sheet/erreur.h"
#include "sheet/xls/octets.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace zarvo::sheet::xls {

namespace {

[[noreturn]] void abime(const QString &raison)
{
    throw ErreurClasseur(GenreErreur::Abime, raison);
}

/// Caractères d'une chaîne BIFF8 d'un seul tenant : 8 bits (Latin-1) ou 16 bits.
QString caracteres(const char *p, int nb, bool seize)
{
    if (!seize)
        return QString::fromLatin1(p, nb);
    QString s(nb, Qt::Uninitialized);
    for (int i = 0; i < nb; ++i)
        s[i] = QChar(char16_t(lire16(p + 2 * i)));
    return s;
}

/**
 * Lecture des données d'un enregistrement et de ses CONTINUE comme d'un seul morceau.
 * Les octets bruts (en-têtes, runs, phonétique) passent d'un segment à l'autre tels quels ;
 * des caractères qui reprennent dans un nouveau segment y sont précédés d'un octet d'option
 * neuf qui peut faire passer de 8 à 16 bits ou l'inverse.
 */
class LecteurContinu
{
public:
    LecteurContinu(const QByteArray &flux, const std::vector<Enregistrement> &enr,
        std::size_t premier, std::size_t dernier, QString quoi)
        : m_flux(flux.constData())
        , m_quoi(std::move(quoi))
    {
        for (std::size_t i = premier; i <= dernier; ++i)
            m_segments.push_back({ enr[i].debutDonnees(), enr[i].longueur });
    }

    bool fini()
    {
        while (m_seg < m_segments.size() && m_pos >= m_segments[m_seg].second) {
            ++m_seg;
            m_pos = 0;
        }
        return m_seg >= m_segments.size();
    }

    void brut(char *dest, std::uint32_t nb)
    {
        while (nb > 0) {
            if (fini())
                tronque();
            const auto &[debut, longueur] = m_segments[m_seg];
            const std::uint32_t morceau = std::min(nb, std::uint32_t(longueur) - m_pos);
            if (dest) {
                std::memcpy(dest, m_flux + debut + m_pos, morceau);
                dest += morceau;
            }
            m_pos += morceau;
            nb -= morceau;
        }
    }
    QByteArray brut(std::uint32_t nb)
    {
        // Borné par ce qui reste : un compte absurde n'alloue rien.
        if (nb > reste())
            tronque();
        QByteArray r(qsizetype(nb), Qt::Uninitialized);
        brut(r.data(), nb);
        return r;
    }
    std::uint8_t u8()
    {
        char c[1];
        return std::uint8_t(*suivants(c, 1));
    }
    std::uint16_t u16()
    {
        char c[2];
        return lire16(suivants(c, 2));
    }
    std::uint32_t u32()
    {
        char c[4];
        return lire32(suivants(c, 4));
    }
    /// Octets qui restent, dans tous les segments.
    std::uint64_t reste() const
    {
        std::uint64_t r = 0;
        for (std::size_t i = m_seg; i < m_segments.size(); ++i)
            r += m_segments[i].second - (i == m_seg ? m_pos : 0);
        return r;
    }

    QString chaine(int nb, bool seize)
    {
        // Cas courant : toute la chaîne dans l'enregistrement en cours, une seule allocation.
        const std::uint32_t octets = std::uint32_t(nb) * (seize ? 2 : 1);
        if (nb > 0 && m_seg < m_segments.size() && m_pos < m_segments[m_seg].second
            && octets <= m_segments[m_seg].second - m_pos) {
            QString r = caracteres(m_flux + m_segments[m_seg].first + m_pos, nb, seize);
            m_pos += octets;
            return r;
        }
        QString r;
        r.reserve(std::min<qsizetype>(nb, reste()));
        while (nb > 0) {
            if (m_seg < m_segments.size() && m_pos >= m_segments[m_seg].second) {
                if (!fini()) {
                    // Reprise des caractères dans un CONTINUE : nouvel octet d'option.
                    const std::uint8_t option = u8();
                    if (option > 1)
                        abime(QStringLiteral("%1 : octet d'option invalide dans un CONTINUE")
                                  .arg(m_quoi));
                    seize = option == 1;
                }
            }
            if (fini())
                tronque();
            const auto &[debut, longueur] = m_segments[m_seg];
            const std::uint32_t dispo = (std::uint32_t(longueur) - m_pos) / (seize ? 2 : 1);
            if (dispo == 0)
                abime(
                    QStringLiteral("%1 : caractère coupé entre deux enregistrements").arg(m_quoi));
            const int morceau = int(std::min<std::uint32_t>(std::uint32_t(nb), dispo));
            r += caracteres(m_flux + debut + m_pos, morceau, seize);
            m_pos += std::uint32_t(morceau) * (seize ? 2 : 1);
            nb -= morceau;
        }
        return r;
    }

private:
    /// Les `nb` octets suivants : lus en place s'ils tiennent dans le segment en cours (le cas
    /// de presque tous les en-têtes de chaîne), sinon recopiés dans `tampon`.
    const char *suivants(char *tampon, std::uint32_t nb)
    {
        if (m_seg < m_segments.size() && m_pos + nb <= m_segments[m_seg].second) {
            const char *p = m_flux + m_segments[m_seg].first + m_pos;
            m_pos += nb;
            return p;
        }
        brut(tampon, nb);
        return tampon;
    }
    [[noreturn]] void tronque() const
    {
        abime(QStringLiteral("%1 : données tronquées").arg(m_quoi));
    }

    const char *m_flux;
    QString m_quoi;
    std::vector<std::pair<std::uint32_t, std::uint16_t>> m_segments;
    std::size_t m_seg = 0;
    std::uint32_t m_pos = 0;
};

/// Texte d'une case LABEL ou RSTRING (XLUnicodeString après l'en-tête) ; rend sa fin.
std::optional<std::uint32_t> texteCase(const char *d, std::uint32_t n, QString &texte)
{
    if (n < 9)
        return std::nullopt;
    const int nb = lire16(d + 6);
    const bool seize = d[8] & 0x01;
    const std::uint32_t fin = 9 + std::uint32_t(nb) * (seize ? 2 : 1);
    if (fin > n)
        return std::nullopt;
    texte = caracteres(d + 9, nb, seize);
    return fin;
}

} // namespace

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

QByteArray Blank::ecrire() const
{
    QByteArray d(taille, Qt::Uninitialized);
    t.ecrireDans(d.data());
    return enregistrement(id::blank, d);
}

std::optional<Label> Label::lire(const char *d, std::uint32_t n)
{
    Label l;
    const auto fin = texteCase(d, n, l.texte);
    if (!fin)
        return std::nullopt;
    l.t = EnTeteCase::verifie(d);
    l.taille = *fin;
    return l;
}

std::optional<RString> RString::lire(const char *d, std::uint32_t n)
{
    RString l;
    const auto fin = texteCase(d, n, l.texte);
    if (!fin || *fin + 2 > n)
        return std::nullopt;
    l.t = EnTeteCase::verifie(d);
    l.taille = *fin + 2 + ChaineSst::tailleRun * std::uint32_t(lire16(d + *fin));
    return l;
}

std::optional<BoundSheet> BoundSheet::lire(const char *d, std::uint32_t n)
{
    if (n < 8)
        return std::nullopt;
    BoundSheet b { lire32(d), std::uint8_t(std::uint8_t(d[4]) & 0x03), std::uint8_t(d[5]), {} };
    const int nb = std::uint8_t(d[6]);
    const bool seize = std::uint8_t(d[7]) & 0x01;
    if (8 + nb * (seize ? 2 : 1) > int(n))
        return std::nullopt;
    b.nom = caracteres(d + 8, nb, seize);
    return b;
}

void BoundSheet::placer(char *d, std::uint32_t position)
{
    ecrire32(d, position);
}

Sst Sst::lire(const QByteArray &flux, const std::vector<Enregistrement> &enr, std::size_t premier,
    std::size_t dernier, std::vector<ChaineSst> &chaines)
{
    LecteurContinu l(flux, enr, premier, dernier, QStringLiteral("table des chaînes (SST)"));
    Sst s;
    s.total = l.u32();
    s.nb = l.u32(); // pas fiable : on lit jusqu'au bout
    // Chaque chaîne prend au moins 3 octets : un compte absurde ne réserve pas plus que le flux.
    chaines.reserve(std::size_t(std::min<std::uint64_t>(s.nb, l.reste() / 3)));
    while (!l.fini()) {
        ChaineSst c;
        const int nb = l.u16();
        const std::uint8_t options = l.u8();
        const bool seize = options & 0x01;
        const bool phonetique = options & 0x04;
        const bool riche = options & 0x08;
        const std::uint16_t nbRuns = riche ? l.u16() : 0;
        const std::uint32_t taillePhon = phonetique ? l.u32() : 0;
        c.texte = l.chaine(nb, seize);
        if (nbRuns > 0)
            c.runs = l.brut(std::uint32_t(nbRuns) * ChaineSst::tailleRun);
        if (taillePhon > 0)
            c.phonetique = l.brut(taillePhon);
        chaines.push_back(std::move(c));
    }
    return s;
}

void Sst::changerTotal(char *d, std::uint32_t n, std::uint32_t total)
{
    if (n >= 4)
        ecrire32(d, total);
}

void Sst::ajouterA(QByteArray &o) const
{
    ajouter32(o, total);
    ajouter32(o, nb);
}

void EnTeteChaineSst::ajouterA(QByteArray &o) const
{
    ajouter16(o, nb);
    o.append(char((seize ? 0x01 : 0) | (phonetique ? 0x04 : 0) | (riche ? 0x08 : 0)));
    if (riche)
        ajouter16(o, nbRuns);
    if (phonetique)
        ajouter32(o, taillePhonetique);
}

QByteArray ExtSst::ecrire() const
{
    QByteArray d;
    ajouter16(d, parPaquet);
    for (const Repere &r : reperes) {
        ajouter32(d, r.position);
        ajouter16(d, r.decalage);
        ajouter16(d, 0);
    }
    return enregistrement(id::extsst, d);
}

void ExtSst::decaler(char *d, std::uint32_t n, std::int64_t decalage)
{
    for (std::uint32_t o = 2; o + 8 <= n; o += 8)
        ecrire32(d + o, std::uint32_t(lire32(d + o) + decalage));
}

QString String::lire(const QByteArray &flux, const std::vector<Enregistrement> &enr,
    std::size_t premier, std::size_t dernier, const QString &quoi)
{
    LecteurContinu l(flux, enr, premier, dernier, quoi);
    const int nb = l.u16();
    const bool seize = l.u8() & 0x01;
    return l.chaine(nb, seize); // les CONTINUE qui suivent ne portent rien d'autre
}

QByteArray DbCell::ecrire() const
{
    QByteArray d;
    ajouter32(d, versPremierRow);
    for (const std::uint16_t e : ecarts)
        ajouter16(d, e);
    return enregistrement(id::dbcell, d);
}

QByteArray RecalcId::ecrire() const
{
    QByteArray d(8, '\0');
    ecrire16(d.data(), id::recalcId);
    return enregistrement(id::recalcId, d);
}

void RecalcId::remettreAZero(char *d, std::uint32_t n)
{
    if (n >= 8)
        ecrire32(d + 4, 0);
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

QByteArray Index::ecrire(std::uint32_t premiere, std::uint32_t fin,
    std::uint32_t positionDefColWidth, const std::vector<std::uint32_t> &positionsDbcell)
{
    QByteArray d;
    d.reserve(taille(positionsDbcell.size()));
    ajouter32(d, 0);
    ajouter32(d, premiere);
    ajouter32(d, fin);
    ajouter32(d, positionDefColWidth);
    for (const std::uint32_t p : positionsDbcell)
        ajouter32(d, p);
    return enregistrement(id::index, d);
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
