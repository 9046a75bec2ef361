#include "aide_ecriture.h"
#include "aide_gtest.h"
#include "sheet/erreur.h"
#include "sheet/xls/conteneur_ecriture.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace aide_ecriture;
using namespace zarvo::sheet;

namespace {

/// Empreinte de chaque flux vue par olefile en mode strict (programme que nous n'avons pas
/// écrit), après le contrôle complet du conteneur par lecteurs.py (olefile strict et gsf list).
QJsonObject fluxVusDeLExterieur(const QString &fichier, QString *erreur)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
        { source(QStringLiteral("outils/lecteurs/lecteurs.py")), QStringLiteral("conteneur"),
            fichier });
    p.waitForFinished(120000);
    if (p.exitCode() != 0) {
        *erreur = QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    const char *script = "import hashlib,json,olefile,sys\n"
                         "o=olefile.OleFileIO(sys.argv[1],raise_defects=olefile.DEFECT_POTENTIAL)\n"
                         "print(json.dumps({'/'.join(n):hashlib.sha256(o.openstream(n).read())"
                         ".hexdigest() for n in o.listdir()}))\n";
    p.start(QStringLiteral("/usr/bin/python3"),
        { QStringLiteral("-c"), QString::fromLatin1(script), fichier });
    p.waitForFinished(120000);
    if (p.exitCode() != 0) {
        *erreur = QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QString empreinte(const QByteArray &b)
{
    return QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex());
}

QByteArray octetsAuHasard(qsizetype n, unsigned graine)
{
    QByteArray b(n, Qt::Uninitialized);
    std::uint32_t x = graine;
    for (qsizetype i = 0; i < n; ++i) {
        x = x * 1664525u + 1013904223u;
        b[i] = char(x >> 24);
    }
    return b;
}

TEST(ConteneurEcriture, MemeContenuMemesOctets)
{
    for (const QString &fichier : classeursDeTest()) {
        const QByteArray octets = lireFichier(fichier);
        const Conteneur c = Conteneur::lire(octets);
        const int e = c.chercherFlux(QStringLiteral("Workbook"));
        EXPECT_EQ(EcrivainConteneur::remplacerFlux(c, e, c.lireFlux(e)).octets(), octets)
            << fichier.toStdString();
    }
}

struct CasTaille
{
    const char *nom;
    qsizetype taille; // < 0 : taille d'origine moins |taille|
};

class Tailles : public ::testing::TestWithParam<CasTaille>
{ };

TEST_P(Tailles, LesLecteursStrictsVoientLeNouveauFluxEtLesAutresIntacts)
{
    const QString fichier = source(QStringLiteral("tests/data/classeurs/mini-libreoffice.xls"));
    const Conteneur c = Conteneur::lire(lireFichier(fichier));
    const int e = c.chercherFlux(QStringLiteral("Workbook"));
    const qsizetype ancienne = c.lireFlux(e).size();
    const qsizetype taille
        = GetParam().taille < 0 ? ancienne + GetParam().taille : GetParam().taille;
    const QByteArray contenu = octetsAuHasard(taille, 7);
    const QByteArray neuf = EcrivainConteneur::remplacerFlux(c, e, contenu).octets();
    EXPECT_EQ(neuf.size() % 512, 0);
    // Le début (en-tête mis à part) et les secteurs des autres flux ne bougent pas.
    const Conteneur relu = Conteneur::lire(neuf);
    EXPECT_EQ(relu.lireFlux(e), contenu);

    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("c.xls"));
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(neuf);
    f.close();
    QString erreur;
    const QJsonObject vus = fluxVusDeLExterieur(chemin, &erreur);
    ASSERT_TRUE(erreur.isEmpty()) << erreur.toStdString();
    for (std::size_t i = 1; i < c.entrees().size(); ++i) {
        const auto &en = c.entrees()[i];
        if (en.type != EntreeRepertoire::Flux)
            continue;
        const QByteArray attendu = int(i) == e ? contenu : c.lireFlux(int(i));
        EXPECT_EQ(vus.value(en.nom).toString(), empreinte(attendu)) << en.nom.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Flux, Tailles,
    ::testing::Values(CasTaille { "plusCourt", -1500 }, CasTaille { "seuilMiniFlux", 4096 },
        CasTaille { "unOctetDePlus", 6452 }, CasTaille { "centKio", 100 * 1024 },
        // plus de 109 secteurs de FAT : la DIFAT doit apparaître
        CasTaille { "huitMio", 8 * 1024 * 1024 }),
    [](const auto &info) { return std::string(info.param.nom); });

TEST(ConteneurEcriture, MiniFluxRefuse)
{
    const Conteneur c = Conteneur::lire(
        lireFichier(source(QStringLiteral("tests/data/classeurs/mini-gnumeric.xls"))));
    const int e = c.chercherFlux(QStringLiteral("Workbook"));
    EXPECT_THROW(EcrivainConteneur::remplacerFlux(c, e, QByteArray(4095, 'a')), ErreurClasseur);
    EXPECT_THROW(EcrivainConteneur::remplacerFlux(c, 0, QByteArray(5000, 'a')), ErreurClasseur);
}

} // namespace
