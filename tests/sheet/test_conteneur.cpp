#include "aide_gtest.h"
#include "sheet/aide_xls.h"
#include "sheet/erreur.h"
#include "sheet/xls/conteneur.h"
#include "sheet/xls/octets.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zarvo::sheet;
using namespace zarvo::sheet::xls;

namespace {

// olefile en mode strict : contenu d'un flux, ou code non nul si le fichier est refusé.
const char *const scriptOlefile = R"(
import olefile, sys
o = olefile.OleFileIO(sys.argv[1], raise_defects=olefile.DEFECT_INCORRECT)
sys.stdout.buffer.write(o.openstream(sys.argv[2]).read())
)";

QStringList fichiersComposes()
{
    return aide::classeurs(QStringLiteral("fuzz/corpus"))
        + aide::classeurs(QStringLiteral("tests/data/classeurs"));
}

TEST(Conteneur, chaqueFluxEgaleCeQueLitOlefile)
{
    const QStringList fichiers = fichiersComposes();
    ASSERT_GE(fichiers.size(), 4);
    for (const QString &f : fichiers) {
        const Conteneur c = Conteneur::lire(aide::lireFichier(f));
        int nbFlux = 0;
        for (std::size_t i = 0; i < c.entrees().size(); ++i) {
            const EntreeRepertoire &e = c.entrees()[i];
            if (e.type != EntreeRepertoire::Flux || e.parent != 0)
                continue;
            ++nbFlux;
            const auto s = aide::lancer(
                aide::python, { QStringLiteral("-c"), QString::fromUtf8(scriptOlefile), f, e.nom });
            ASSERT_EQ(s.code, 0) << f.toStdString() << " " << s.erreurs.toStdString();
            EXPECT_EQ(c.lireFlux(int(i)), s.sortie)
                << f.toStdString() << " " << e.nom.toStdString();
        }
        EXPECT_GE(nbFlux, 2) << f.toStdString();
        EXPECT_GE(c.chercherFlux(QStringLiteral("workbook")), 1) << f.toStdString();
    }
}

// ---- Refus : une retouche précise d'un fichier valide, et le message attendu ----

struct Retouche
{
    const char *nom;
    std::function<void(QByteArray &, const Conteneur &)> abimer;
    const char *message;
};

void PrintTo(const Retouche &r, std::ostream *os)
{
    *os << r.nom;
}

// Position du secteur s dans un fichier à secteurs de 512 octets.
qsizetype secteur(std::uint32_t s)
{
    return qsizetype(s + 1) * 512;
}
qsizetype entree(const Conteneur &c, int i)
{
    Q_UNUSED(c);
    const std::uint32_t premier = lire32(c.octets().constData() + 48);
    return secteur(premier) + 128 * i; // les quatre premières entrées sont dans le 1er secteur
}
qsizetype entreeFat(const Conteneur &c, std::uint32_t s)
{
    const std::uint32_t fat0 = lire32(c.octets().constData() + 76);
    return secteur(fat0) + 4 * qsizetype(s);
}
int workbook(const Conteneur &c)
{
    return c.chercherFlux(QStringLiteral("Workbook"));
}
void poser32(QByteArray &o, qsizetype p, std::uint32_t v)
{
    ecrire32(o.data() + p, v);
}

class Refus : public ::testing::TestWithParam<Retouche>
{ };

TEST_P(Refus, messageClairSansPlantage)
{
    const QByteArray sain
        = aide::lireFichier(aide::source(QStringLiteral("fuzz/corpus/lo_mini.xls")));
    const Conteneur c = Conteneur::lire(sain);
    ASSERT_EQ(c.tailleSecteur(), 512);
    ASSERT_LT(workbook(c), 4);
    QByteArray abime = sain;
    GetParam().abimer(abime, c);
    try {
        Conteneur::lire(abime);
        FAIL() << "fichier abîmé accepté";
    } catch (const ErreurClasseur &e) {
        EXPECT_TRUE(e.message().contains(QString::fromUtf8(GetParam().message)))
            << e.message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Retouches, Refus,
    ::testing::Values(
        Retouche { "texte", [](QByteArray &o, const Conteneur &) { o = "id;nom\n1;Dupont\n"; },
            "pas un classeur Excel 97-2003" },
        Retouche { "xlsxRenomme",
            [](QByteArray &o, const Conteneur &) { o.replace(0, 4, "PK\x03\x04"); }, ".xlsx" },
        Retouche { "biffSansConteneur",
            [](QByteArray &o, const Conteneur &) {
                o = QByteArray("\x09\x04\x06\x00\x00\x00\x10\x00", 8);
            },
            "antérieure à Excel 97" },
        Retouche { "enTeteTronque", [](QByteArray &o, const Conteneur &) { o.truncate(300); },
            "en-tête tronqué" },
        Retouche { "ordreDesOctets", [](QByteArray &o, const Conteneur &) { o[28] = 0; },
            "ordre des octets" },
        Retouche { "tailleSecteur", [](QByteArray &o, const Conteneur &) { o[30] = 10; },
            "taille de secteur" },
        Retouche {
            "miniSecteur", [](QByteArray &o, const Conteneur &) { o[32] = 7; }, "mini-secteur" },
        Retouche { "aucuneFat", [](QByteArray &o, const Conteneur &) { poser32(o, 44, 0); },
            "secteurs de FAT" },
        Retouche { "fatDemesuree",
            [](QByteArray &o, const Conteneur &) { poser32(o, 44, 0x7FFFFFFF); },
            "secteurs de FAT" },
        Retouche { "secteurFatHorsFichier",
            [](QByteArray &o, const Conteneur &) { poser32(o, 76, 5000); }, "hors du fichier" },
        Retouche { "repertoireHorsFichier",
            [](QByteArray &o, const Conteneur &) { poser32(o, 48, 4000); }, "hors du fichier" },
        Retouche { "chaineEnBoucle",
            [](QByteArray &o, const Conteneur &c) {
                const std::uint32_t s = c.entrees()[std::size_t(workbook(c))].premierSecteur;
                poser32(o, entreeFat(c, s), s);
            },
            "en boucle" },
        Retouche { "secteurPartage",
            [](QByteArray &o, const Conteneur &c) {
                // Le flux Workbook finit sur la chaîne du répertoire, longueur totale inchangée.
                const auto chaine = c.chaineFlux(workbook(c));
                const std::size_t secteursRepertoire = c.entrees().size() / 4;
                poser32(o, entreeFat(c, chaine[chaine.size() - 1 - secteursRepertoire]),
                    lire32(o.constData() + 48));
            },
            "utilisé deux fois" },
        Retouche { "tailleDeFluxTropGrande",
            [](QByteArray &o, const Conteneur &c) {
                poser32(o, entree(c, workbook(c)) + 120, 900000);
            },
            "plus grand que le fichier" },
        Retouche { "tailleDeFluxIncoherente",
            [](QByteArray &o, const Conteneur &c) {
                const auto e = c.entrees()[std::size_t(workbook(c))];
                poser32(o, entree(c, workbook(c)) + 120, std::uint32_t(e.taille + 2048));
            },
            "taille incohérente" },
        Retouche { "longueurDeNomImpaire",
            [](QByteArray &o, const Conteneur &c) { o[entree(c, workbook(c)) + 64] = 17; },
            "longueur de nom" },
        Retouche { "nomTropLong",
            [](QByteArray &o, const Conteneur &c) { o[entree(c, workbook(c)) + 64] = 66; },
            "longueur de nom" },
        Retouche { "nomSansZeroFinal",
            [](QByteArray &o, const Conteneur &c) { o[entree(c, workbook(c)) + 16] = 'x'; },
            "zéro final" },
        Retouche { "typeInconnu",
            [](QByteArray &o, const Conteneur &c) { o[entree(c, workbook(c)) + 66] = 9; },
            "type d'entrée" },
        Retouche { "enfantHorsRepertoire",
            [](QByteArray &o, const Conteneur &c) { poser32(o, entree(c, 0) + 76, 5000); },
            "hors du répertoire" },
        Retouche { "arbreEnBoucle",
            [](QByteArray &o, const Conteneur &c) {
                const qsizetype e = entree(c, int(c.entrees()[0].enfant));
                poser32(o, e + 68, c.entrees()[0].enfant);
            },
            "en boucle" },
        Retouche { "miniFatIncoherente",
            [](QByteArray &o, const Conteneur &) { poser32(o, 64, 3); }, "mini-FAT" },
        Retouche { "fichierCoupe",
            [](QByteArray &o, const Conteneur &) { o.truncate(o.size() - 1536); }, "fichier" }),
    [](const auto &info) { return std::string(info.param.nom); });

} // namespace
