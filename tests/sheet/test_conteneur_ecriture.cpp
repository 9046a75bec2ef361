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
using namespace Qt::StringLiterals;

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

/// Remplace le flux `nom` de `fichier` (du dépôt) par `taille` octets (-1 : même taille) ; juge
/// le résultat par notre lecteur, olefile strict et gsf.
void remplacerEtJuger(const char *fichier, const QString &nom, qsizetype taille)
{
    const QByteArray origine = aide::lireFichier(aide::source(QString::fromUtf8(fichier)));
    ASSERT_FALSE(origine.isEmpty());
    const Conteneur avant = Conteneur::lire(origine);
    const int index = avant.chercherFlux(nom);
    ASSERT_GE(index, 1);
    if (taille < 0)
        taille = qsizetype(avant.entrees()[std::size_t(index)].taille);
    const QByteArray neuf = contenu(taille, 'a');

    const QByteArray resultat = remplacerFlux(origine, nom, neuf);

    // Notre lecteur : le flux remplacé, les autres intacts.
    const Conteneur apres = Conteneur::lire(resultat);
    Flux attendu = fluxDe(avant);
    attendu[nom] = neuf;
    EXPECT_EQ(fluxDe(apres), attendu);
    EXPECT_GE(resultat.size(), origine.size() - 511);
    ASSERT_EQ(apres.entrees().size(), avant.entrees().size());
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
    const QString chemin = dossier.filePath(u"remplace.xls"_s);
    ASSERT_TRUE(aide::ecrireFichier(chemin, resultat));
    const auto ole = aide::lancer(
        u"/usr/bin/python3"_s, { u"-c"_s, QString::fromUtf8(scriptOlefile), chemin });
    ASSERT_EQ(ole.code, 0) << ole.erreurs.toStdString();
    QString nous;
    for (const auto &[n, d] : attendu)
        nous += u"%1 %2 %3\n"_s.arg(n).arg(d.size()).arg(
            QString::fromLatin1(QCryptographicHash::hash(d, QCryptographicHash::Md5).toHex()));
    EXPECT_EQ(QString::fromUtf8(ole.sortie), nous); // les deux triés par nom

    const auto gsf = aide::lancer(u"gsf"_s, { u"list"_s, chemin });
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

TEST(Remplacement, fluxRemplaceLeResteIdentiqueEtOraclesDAccord)
{
    const QString workbook = u"Workbook"_s, resume = u"\x05SummaryInformation"_s;
    const std::tuple<const char *, const char *, QString, qsizetype> tous[] = {
        { "memeTaille", "fuzz/corpus/lo_mini.xls", workbook, -1 },
        { "plusCourt", "fuzz/corpus/lo_mini.xls", workbook, 5000 },
        { "plusLong", "fuzz/corpus/gn_mini.xls", workbook, 70000 },
        { "difat", "fuzz/corpus/lo_mini.xls", workbook, 8 * 1024 * 1024 },
        { "versMiniFlux", "fuzz/corpus/lo_mini.xls", workbook, 1000 },
        { "seuilExact", "fuzz/corpus/gn_mini.xls", workbook, 4096 },
        { "sousLeSeuil", "fuzz/corpus/gn_mini.xls", workbook, 4095 },
        { "miniQuiGrandit", "fuzz/corpus/lo_mini.xls", resume, 3000 },
        { "miniVersSecteurs", "fuzz/corpus/gn_mini.xls", resume, 10000 },
        { "fluxVide", "fuzz/corpus/lo_mini.xls", workbook, 0 },
        { "classeurDeDemo", "exemples/demo.xls", workbook, 400000 },
    };
    for (const auto &[cas, fichier, nom, taille] : tous) {
        SCOPED_TRACE(cas);
        remplacerEtJuger(fichier, nom, taille);
    }
}

TEST(Remplacement, refusClairs)
{
    const QByteArray origine = aide::lireFichier(aide::source(u"fuzz/corpus/lo_mini.xls"_s));
    EXPECT_THROW(remplacerFlux(origine, u"Book"_s, "x"), ErreurClasseur);
    EXPECT_THROW(remplacerFlux("pas un classeur", u"Workbook"_s, "x"), ErreurClasseur);
}

// Secteurs de FAT chaînés comme des données (chacun vers le suivant, le dernier en fin de
// chaîne) : le fichier se lit, et sa réécriture porte les marques prescrites. La racine
// renommée et la FAT d'un seul secteur sont jugées par les classeurs dérivés du dépôt.
TEST(Conteneur, ecartsAcceptesPuisCorrigesALaReecriture)
{
    using aide::entreeFat, aide::poser32, aide::workbook;
    const QByteArray sain
        = aide::lireFichier(aide::source(u"tests/data/classeurs/base-libreoffice.xls"_s));
    const Conteneur c = Conteneur::lire(sain);
    const auto secteurFat
        = [](const QByteArray &o, std::uint32_t i) { return lire32(o.constData() + 76 + 4 * i); };
    const std::uint32_t nbFat = lire32(sain.constData() + 44);
    ASSERT_GE(nbFat, 3u);
    QByteArray chainee = sain;
    for (std::uint32_t i = 0; i < nbFat; ++i)
        poser32(chainee, entreeFat(c, secteurFat(sain, i)),
            i + 1 < nbFat ? secteurFat(sain, i + 1) : Conteneur::finDeChaine);
    const QByteArray flux = c.lireFlux(workbook(c));
    const Conteneur lu = Conteneur::lire(chainee);
    EXPECT_EQ(lu.lireFlux(workbook(lu)), flux);
    const QByteArray r = remplacerFlux(chainee, u"Workbook"_s, flux + "x");
    const Conteneur reecrit = Conteneur::lire(r);
    for (std::uint32_t i = 0; i < lire32(r.constData() + 44); ++i)
        EXPECT_EQ(
            lire32(r.constData() + entreeFat(reecrit, secteurFat(r, i))), Conteneur::secteurFat);
    // Mini-FAT annoncée sans chaîne, rien dans le mini-flux : le compte réécrit est le vrai.
    const QByteArray m
        = aide::lireFichier(aide::source(u"tests/data/classeurs/mini-fat-vide-gnumeric.xls"_s));
    ASSERT_EQ(lire32(m.constData() + 64), 1u);
    const Conteneur cm = Conteneur::lire(m);
    const QByteArray rm = remplacerFlux(m, u"Workbook"_s, cm.lireFlux(workbook(cm)) + "x");
    EXPECT_EQ(lire32(rm.constData() + 64), 0u);
}

} // namespace
