#include "aide_gtest.h"
#include "sheet/erreur.h"
#include "sheet/xls/biff_ecriture.h"
#include "sheet/xls/octets.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

using namespace zarvo::sheet;
using namespace zarvo::sheet::xls;
using namespace zarvo::sheet::xls::ecriture;
using namespace Qt::StringLiterals;

namespace zarvo::sheet::xls {
// Égalité de contenu, pour comparer une table relue à celle écrite.
bool operator==(const ChaineSst &a, const ChaineSst &b)
{
    return a.texte == b.texte && a.runs == b.runs && a.phonetique == b.phonetique;
}
} // namespace zarvo::sheet::xls

namespace {

TEST(CodageRk, RkQuandCEstExactSinonNumber)
{
    struct Cas
    {
        double valeur;
        std::optional<std::uint32_t> attendu; // forme RK fixée par le format, rien : NUMBER
    };
    const Cas tous[] = {
        // entiers sur 30 bits : (n << 2) | 2
        { 0.0, 0x2u },
        { 1.0, 0x6u },
        { -1.0, 0xFFFFFFFEu },
        { 75.0, 75u * 4 + 2 },
        { 536870911.0, 0x7FFFFFFEu },
        { -536870912.0, 0x80000002u },
        // hors des 30 bits mais poids faibles du double nuls : forme flottante
        { 536870912.0, 0x41C00000u },
        { 0.5, 0x3FE00000u },
        { -0.0, 0x80000000u },
        // centièmes : (n << 2) | 3
        { 1.23, 123u * 4 + 3 },
        { 0.01, 1u * 4 + 3 },
        { -12.5, 0xC0290000u },
        // rien d'exact : NUMBER
        { 1.0 / 3.0, std::nullopt },
        { 1e300, std::nullopt },
        { 0.1 + 0.2, std::nullopt },
        { 1234567890.123, std::nullopt },
        { std::numeric_limits<double>::infinity(), std::nullopt },
        { std::nan(""), std::nullopt },
    };
    for (const Cas &c : tous) {
        SCOPED_TRACE(c.valeur);
        const auto rk = encoderRk(c.valeur);
        ASSERT_EQ(rk.has_value(), c.attendu.has_value());
        if (!std::isfinite(c.valeur))
            continue;
        const QByteArray r = caseNombre(4, 2, 21, c.valeur);
        EXPECT_EQ(lire16(r.constData()), c.attendu ? id::rk : id::number);
        if (rk) {
            EXPECT_EQ(*rk, *c.attendu);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(valeurRk(*rk)),
                std::bit_cast<std::uint64_t>(c.valeur));
        } else {
            EXPECT_EQ(lireDouble(r.constData() + 10), c.valeur);
        }
    }
}

TEST(Limites, TropLongRefuseAvecMessage)
{
    EXPECT_NO_THROW(enregistrement(id::continuation, QByteArray(tailleMaxDonneesBiff8, 'a')));
    EXPECT_THROW(enregistrement(id::continuation, QByteArray(tailleMaxDonneesBiff8 + 1, 'a')),
        ErreurClasseur);
    EXPECT_NO_THROW(verifierLongueurTexte(QString(longueurMaxTexte, u'é')));
    try {
        verifierLongueurTexte(QString(longueurMaxTexte + 1, u'a'));
        ADD_FAILURE() << "texte de 32768 caractères accepté";
    } catch (const ErreurClasseur &e) {
        EXPECT_EQ(e.genre(), GenreErreur::TexteTropLong) << e.detail().toStdString();
    }
    // Dans la table, seul le compte sur 16 bits borne (une chaîne lue peut dépasser une case).
    EXPECT_THROW(ecrireSst({ { QString(0x10000, u'x'), {}, {} } }, 1, 0), ErreurClasseur);
    // Un écart de DBCELL qui ne tient pas sur 16 bits, ou qui recule, est refusé.
    EXPECT_THROW(dbcell({ 1000, { 1010 } }, 1100), ErreurClasseur);
    EXPECT_THROW(dbcell({ 1000, { 1020, 1020 + 70000 } }, 80000), ErreurClasseur);
}

// --- SST : relue par un décodeur qui suit les règles du format et vérifie le découpage ------

struct Relu
{
    std::uint32_t total = 0;
    std::vector<ChaineSst> chaines;
    std::vector<qint64> positions; // position dans le flux de l'en-tête de chaque chaîne
    std::vector<std::pair<qint64, int>> debutsEnregistrements; // position, taille des données
};

Relu relireSst(const QByteArray &octets, qint64 debut)
{
    struct Morceau
    {
        qint64 position;
        QByteArray donnees;
    };
    std::vector<Morceau> morceaux;
    for (qsizetype p = 0; p < octets.size();) {
        const auto type = lire16(octets.constData() + p);
        const auto taille = lire16(octets.constData() + p + 2);
        EXPECT_EQ(type, morceaux.empty() ? id::sst : id::continuation);
        EXPECT_LE(taille, tailleMaxDonneesBiff8);
        morceaux.push_back({ debut + p, octets.mid(p + 4, taille) });
        p += 4 + taille;
    }
    Relu r;
    for (const auto &m : morceaux)
        r.debutsEnregistrements.push_back({ m.position, int(m.donnees.size()) });
    std::size_t m = 0;
    int o = 8;
    const auto reste = [&] { return int(morceaux[m].donnees.size()) - o; };
    const auto suivant = [&] {
        ++m;
        o = 0;
        if (m >= morceaux.size())
            throw std::runtime_error("SST tronquée");
    };
    const char *d = morceaux[0].donnees.constData();
    r.total = lire32(d);
    const std::uint32_t nb = lire32(d + 4);
    for (std::uint32_t i = 0; i < nb; ++i) {
        if (reste() == 0)
            suivant();
        const char *p = morceaux[m].donnees.constData() + o;
        const int cch = lire16(p);
        const int options = std::uint8_t(p[2]);
        const bool riche = options & 0x08, phon = options & 0x04;
        int large = options & 0x01;
        const int entete = 3 + (riche ? 2 : 0) + (phon ? 4 : 0);
        if (reste() < entete + (cch > 0 ? (large ? 2 : 1) : 0))
            throw std::runtime_error("en-tête ou premier caractère séparé");
        r.positions.push_back(morceaux[m].position + 4 + o);
        const int nbRuns = riche ? lire16(p + 3) : 0;
        const int tailleExt = phon ? int(lire32(p + 3 + (riche ? 2 : 0))) : 0;
        o += entete;
        ChaineSst c;
        for (int lu = 0; lu < cch;) {
            if (reste() == 0) {
                if (!c.texte.isEmpty() && c.texte.back().isHighSurrogate())
                    throw std::runtime_error("paire de substitution coupée");
                suivant();
                large = std::uint8_t(morceaux[m].donnees[o++]) & 1;
            }
            const char *q = morceaux[m].donnees.constData() + o;
            if (large) {
                if (reste() < 2)
                    throw std::runtime_error("caractère coupé");
                c.texte.append(QChar(lire16(q)));
                o += 2;
            } else {
                c.texte.append(QChar(char16_t(std::uint8_t(*q))));
                o += 1;
            }
            ++lu;
        }
        for (int k = 0; k < nbRuns; ++k) {
            if (reste() == 0)
                suivant();
            if (reste() < 4)
                throw std::runtime_error("run coupé");
            c.runs.append(morceaux[m].donnees.mid(o, 4));
            o += 4;
        }
        for (int k = 0; k < tailleExt; ++k) {
            if (reste() == 0)
                suivant();
            c.phonetique.append(morceaux[m].donnees[o++]);
        }
        r.chaines.push_back(c);
    }
    EXPECT_EQ(m + 1, morceaux.size()) << "enregistrement en trop après la dernière chaîne";
    return r;
}

QByteArray runs(int n)
{
    QByteArray r;
    for (int i = 0; i < n; ++i) {
        char b[4];
        ecrire16(b, std::uint16_t(i * 3));
        ecrire16(b + 2, std::uint16_t(5 + i % 4));
        r.append(b, 4);
    }
    return r;
}

QString texteLong(int n, char16_t base)
{
    QString t;
    for (int i = 0; i < n; ++i)
        t.append(QChar(char16_t(base + i % 26)));
    return t;
}

void verifierSst(const std::vector<ChaineSst> &chaines)
{
    const qint64 debut = 1234;
    const SstEcrite e = ecrireSst(chaines, 4321, debut);
    const Relu r = relireSst(e.sst, debut);
    EXPECT_EQ(r.total, 4321u);
    ASSERT_EQ(r.chaines.size(), chaines.size());
    for (std::size_t i = 0; i < chaines.size(); ++i)
        EXPECT_EQ(r.chaines[i], chaines[i]) << "chaîne " << i;

    // EXTSST : un paquet par groupe de chaînes, qui pointe sur l'en-tête de sa première.
    ASSERT_EQ(lire16(e.extsst.constData()), id::extsst);
    const int tailleExt = lire16(e.extsst.constData() + 2);
    ASSERT_EQ(tailleExt, e.extsst.size() - 4);
    const int parPaquet = lire16(e.extsst.constData() + 4);
    EXPECT_GE(parPaquet, 8);
    const int nbPaquets = (tailleExt - 2) / 8;
    EXPECT_LE(nbPaquets, 128);
    EXPECT_EQ(nbPaquets, (int(chaines.size()) + parPaquet - 1) / parPaquet);
    for (int k = 0; k < nbPaquets; ++k) {
        const char *p = e.extsst.constData() + 6 + 8 * k;
        const qint64 ib = lire32(p);
        EXPECT_EQ(ib, r.positions[std::size_t(k) * std::size_t(parPaquet)]) << "paquet " << k;
        // Le décalage se compte depuis le début de l'enregistrement qui contient la chaîne.
        qint64 debutEnr = -1;
        for (const auto &[pos, taille] : r.debutsEnregistrements)
            if (ib >= pos + 4 && ib < pos + 4 + taille)
                debutEnr = pos;
        EXPECT_EQ(lire16(p + 4), ib - debutEnr) << "paquet " << k;
    }
}

std::vector<ChaineSst> beaucoupDeCourtes(int n)
{
    std::vector<ChaineSst> v;
    for (int i = 0; i < n; ++i)
        v.push_back({ u"Coureur n°%1 Ærø"_s.arg(i), {}, {} });
    return v;
}

/// La première chaîne laisse exactement `libre` octets dans l'enregistrement SST.
std::vector<ChaineSst> libreEnFin(int libre)
{
    return { { texteLong(tailleMaxDonneesBiff8 - 8 - 3 - libre, u'a'), {}, {} },
        { u"xyz"_s, {}, {} }, { texteLong(3, u'Ж'), runs(2), {} },
        { u"é"_s, {}, QByteArray(10, 'p') },
        { texteLong(tailleMaxDonneesBiff8 - 6, u'Ж'), runs(3), QByteArray(3, 'q') },
        { u"fin"_s, runs(1), {} } };
}

std::vector<ChaineSst> bordsDEnregistrement()
{
    // Tailles choisies pour que des en-têtes, des caractères larges et des runs tombent sur la
    // limite des 8224 octets.
    std::vector<ChaineSst> v;
    for (int k = 0; k < 40; ++k) {
        v.push_back({ texteLong(8224 - 8 - 3 - k, u'a'), {}, {} });
        v.push_back({ texteLong(k + 1, u'Ж'), runs(k % 3), {} });
        v.push_back({ texteLong(4100 - k, u'ア'), runs(2), QByteArray(k * 7 + 1, char(k)) });
    }
    return v;
}

std::vector<ChaineSst> horsPlanDeBase()
{
    // Avant les paires, 0 à 3 caractères : la limite d'enregistrement tombe à chaque place
    // d'une paire, en-tête compris.
    std::vector<ChaineSst> v;
    for (int avant = 0; avant < 4; ++avant)
        for (int k = 0; k < 4; ++k) {
            v.push_back({ texteLong(tailleMaxDonneesBiff8 / 2 - 8 - avant - k, u'Ж'), {}, {} });
            v.push_back({ QString(avant, u'é') + QString(u"🚲𝄞😀𠀋"_s).repeated(2100 + k), {}, {} });
        }
    return v;
}

TEST(Sst, RelueALIdentiqueEtBienDecoupee)
{
    const std::pair<const char *, std::vector<ChaineSst>> tables[] = {
        { "vide", {} },
        { "simples", { { u"Dupont"_s, {}, {} }, { u"Éric"_s, {}, {} }, { QString(), {}, {} } } },
        { "horsLatin1", { { u"Łukasz Żółć 東京"_s, {}, {} } } },
        { "longueMax8bits", { { texteLong(longueurMaxTexte, u'a'), {}, {} } } },
        { "longueMax16bits", { { texteLong(longueurMaxTexte, u'Ω'), runs(5), {} } } },
        { "plusLongueQuUneCase", { { texteLong(longueurMaxTexte + 3, u'a'), {}, {} } } },
        { "richeEtPhonetique",
            { { u"Tour"_s, runs(2), QByteArray::fromHex("0100aabbccdd") },
                { u"b"_s, {}, QByteArray(20000, 'p') } } },
        { "milliers", beaucoupDeCourtes(5000) },
        { "bords", bordsDEnregistrement() },
        { "horsPlanDeBase", horsPlanDeBase() },
    };
    for (const auto &[nom, chaines] : tables) {
        SCOPED_TRACE(nom);
        verifierSst(chaines);
    }
    for (int libre : { 0, 1, 2, 3, 4, 5, 6, 9 }) {
        SCOPED_TRACE(libre);
        verifierSst(libreEnFin(libre));
    }
}

} // namespace
