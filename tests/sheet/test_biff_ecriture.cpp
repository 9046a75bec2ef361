#include "aide_gtest.h"
#include "sheet/aide_xls.h"
#include "sheet/biff_synthetique.h"
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

// --- SST : relue par le lecteur du moteur dans un classeur minimal ------------------------

QByteArray runs(int n)
{
    QByteArray r;
    for (int i = 0; i < n; ++i)
        r += biff::u16(i * 3) + biff::u16(5 + i % 4);
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
    // La SST suit le BOF et les 16 XF du classeur de biff_synthetique.h.
    const qint64 debut = 20 + 16 * 24;
    const SstEcrite e = ecrireSst(chaines, 4321, debut);
    const ClasseurBiff c = ClasseurBiff::lire(biff::classeur(e.sst + e.extsst, { { u"F"_s, {} } }));
    EXPECT_EQ(lire32(c.flux().constData() + debut + 4), 4321u);
    ASSERT_EQ(c.sst().size(), chaines.size());
    for (std::size_t i = 0; i < chaines.size(); ++i)
        EXPECT_EQ(c.sst()[i], chaines[i]) << "chaîne " << i;
    // Aucune paire de substitution coupée d'un enregistrement au suivant (xlrd refuserait).
    for (qsizetype p = 0, n; p + 4 < e.sst.size(); p += 4 + n) {
        n = lire16(e.sst.constData() + p + 2);
        EXPECT_TRUE(p + 4 + n == e.sst.size()
            || !QChar::isHighSurrogate(lire16(e.sst.constData() + p + 2 + n)))
            << "à l'octet " << p;
    }

    // EXTSST : au plus 128 paquets d'au moins 8 chaînes.
    ASSERT_EQ(lire16(e.extsst.constData()), id::extsst);
    const int parPaquet = lire16(e.extsst.constData() + 4);
    const int nbPaquets = (int(e.extsst.size()) - 6) / 8;
    EXPECT_GE(parPaquet, 8);
    EXPECT_LE(nbPaquets, 128);
    EXPECT_EQ(nbPaquets, (int(chaines.size()) + parPaquet - 1) / parPaquet);
    aide::controlerExtSst(c);
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
