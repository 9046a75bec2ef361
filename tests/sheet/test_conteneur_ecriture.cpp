#include "aide_gtest.h"
#include "sheet/aide_xls.h"
#include "sheet/erreur.h"
#include "sheet/xls/conteneur.h"
#include "sheet/xls/octets.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace zarvo::sheet;
using namespace zarvo::sheet::xls;

namespace {

// olefile strict : « nom taille md5 » de chaque flux, une ligne par flux.
const char *const scriptOlefile = R"(
import hashlib, olefile, sys
o = olefile.OleFileIO(sys.argv[1], raise_defects=olefile.DEFECT_INCORRECT)
for chemin in sorted(o.listdir()):
    d = o.openstream(chemin).read()
    print('/'.join(chemin), len(d), hashlib.md5(d).hexdigest())
)";

using Flux = std::map<QString, QByteArray>;

Flux fluxDe(const Conteneur &c)
{
    Flux r;
    for (std::size_t i = 0; i < c.entrees().size(); ++i)
        if (c.entrees()[i].type == EntreeRepertoire::Flux && c.entrees()[i].parent == 0)
            r[c.entrees()[i].nom] = c.lireFlux(int(i));
    return r;
}

QByteArray contenu(qsizetype taille, char graine)
{
    QByteArray r(taille, Qt::Uninitialized);
    for (qsizetype i = 0; i < taille; ++i)
        r[i] = char(graine + i * 7 + (i >> 9));
    return r;
}

struct Cas
{
    const char *nom;
    const char *fichier; // dans le dépôt
    const char *flux;
    qsizetype taille; // -1 : même taille que l'ancien
};

void PrintTo(const Cas &c, std::ostream *os)
{
    *os << c.nom;
}

class Remplacement : public ::testing::TestWithParam<Cas>
{ };

TEST_P(Remplacement, fluxRemplaceLeResteIdentiqueEtOraclesDAccord)
{
    const Cas &cas = GetParam();
    const QByteArray origine = aide::lireFichier(aide::source(QString::fromUtf8(cas.fichier)));
    ASSERT_FALSE(origine.isEmpty());
    const Conteneur avant = Conteneur::lire(origine);
    const QString nom = QString::fromUtf8(cas.flux);
    const int index = avant.chercherFlux(nom);
    ASSERT_GE(index, 1);
    const qsizetype taille
        = cas.taille < 0 ? qsizetype(avant.entrees()[std::size_t(index)].taille) : cas.taille;
    const QByteArray neuf = contenu(taille, 'a');

    const QByteArray resultat = remplacerFlux(origine, nom, neuf);

    // Notre lecteur : le flux remplacé, les autres intacts, leurs secteurs inchangés.
    const Conteneur apres = Conteneur::lire(resultat);
    Flux attendu = fluxDe(avant);
    attendu[nom] = neuf;
    EXPECT_EQ(fluxDe(apres), attendu);
    EXPECT_GE(resultat.size(), origine.size() - 511);
    ASSERT_EQ(apres.entrees().size(), avant.entrees().size());
    for (std::size_t i = 1; i < avant.entrees().size(); ++i) {
        if (int(i) == index || avant.entrees()[i].type != EntreeRepertoire::Flux)
            continue;
        EXPECT_EQ(apres.chaineFlux(int(i)), avant.chaineFlux(int(i))) << i;
        EXPECT_EQ(apres.entrees()[i].nom, avant.entrees()[i].nom);
    }
    // Octets du répertoire : seules l'entrée remplacée et la racine (mini-flux) changent,
    // et seulement dans leurs champs de premier secteur et de taille (octets 116 à 127).
    for (std::size_t i = 0; i < avant.entrees().size(); ++i) {
        const QByteArray a = avant.octetsEntree(int(i)), b = apres.octetsEntree(int(i));
        if (i == 0 || int(i) == index) {
            EXPECT_EQ(a.left(116), b.left(116)) << i;
        } else {
            EXPECT_EQ(a, b) << i;
        }
    }
    // Le début du fichier (en-tête hors compteurs) garde ses octets : signature, CLSID, version.
    EXPECT_EQ(resultat.left(44), origine.left(44));
    if (taille > 7 * 1024 * 1024) { // plus de 109 secteurs de FAT : la DIFAT a dû servir
        EXPECT_GE(lire32(resultat.constData() + 72), 1u);
    }

    // olefile strict et gsf : d'accord avec nous.
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("remplace.xls"));
    ASSERT_TRUE(aide::ecrireFichier(chemin, resultat));
    const auto ole = aide::lancer(
        aide::python, { QStringLiteral("-c"), QString::fromUtf8(scriptOlefile), chemin });
    ASSERT_EQ(ole.code, 0) << ole.erreurs.toStdString();
    QString nous;
    for (const auto &[n, d] : attendu)
        nous += QStringLiteral("%1 %2 %3\n")
                    .arg(n)
                    .arg(d.size())
                    .arg(QString::fromLatin1(
                        QCryptographicHash::hash(d, QCryptographicHash::Md5).toHex()));
    QStringList lignesOle = QString::fromUtf8(ole.sortie).split(u'\n', Qt::SkipEmptyParts);
    QStringList lignesNous = nous.split(u'\n', Qt::SkipEmptyParts);
    lignesOle.sort();
    lignesNous.sort();
    EXPECT_EQ(lignesOle, lignesNous);

    const auto gsf = aide::lancer(QStringLiteral("gsf"), { QStringLiteral("list"), chemin });
    ASSERT_EQ(gsf.code, 0);
    EXPECT_TRUE(gsf.erreurs.isEmpty()) << gsf.erreurs.toStdString();
    bool trouve = false;
    for (const QString &ligne : QString::fromUtf8(gsf.sortie).split(u'\n')) {
        const QStringList champs = ligne.simplified().split(u' ');
        if (champs.size() == 3 && champs[2] == nom) {
            trouve = true;
            EXPECT_EQ(champs[1], QString::number(taille)) << ligne.toStdString();
        }
    }
    EXPECT_TRUE(trouve) << gsf.sortie.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Tailles, Remplacement,
    ::testing::Values(Cas { "memeTaille", "fuzz/corpus/lo_mini.xls", "Workbook", -1 },
        Cas { "plusCourt", "fuzz/corpus/lo_mini.xls", "Workbook", 5000 },
        Cas { "plusLong", "fuzz/corpus/gn_mini.xls", "Workbook", 70000 },
        Cas { "difat", "fuzz/corpus/lo_mini.xls", "Workbook", 8 * 1024 * 1024 },
        Cas { "versMiniFlux", "fuzz/corpus/lo_mini.xls", "Workbook", 1000 },
        Cas { "seuilExact", "fuzz/corpus/gn_mini.xls", "Workbook", 4096 },
        Cas { "sousLeSeuil", "fuzz/corpus/gn_mini.xls", "Workbook", 4095 },
        Cas { "miniQuiGrandit", "fuzz/corpus/lo_mini.xls", "\x05SummaryInformation", 3000 },
        Cas { "miniVersSecteurs", "fuzz/corpus/gn_mini.xls", "\x05SummaryInformation", 10000 },
        Cas { "fluxVide", "fuzz/corpus/lo_mini.xls", "Workbook", 0 },
        Cas { "classeurDeDemo", "exemples/demo.xls", "Workbook", 400000 }),
    [](const auto &info) { return std::string(info.param.nom); });

TEST(Remplacement, refusClairs)
{
    const QByteArray origine
        = aide::lireFichier(aide::source(QStringLiteral("fuzz/corpus/lo_mini.xls")));
    EXPECT_THROW(remplacerFlux(origine, QStringLiteral("Book"), "x"), ErreurClasseur);
    EXPECT_THROW(remplacerFlux("pas un classeur", QStringLiteral("Workbook"), "x"), ErreurClasseur);
    // L'origine n'est pas touchée (fonction pure).
    const QByteArray copie = origine;
    remplacerFlux(origine, QStringLiteral("Workbook"), contenu(9000, 'z'));
    EXPECT_EQ(origine, copie);
}

} // namespace
