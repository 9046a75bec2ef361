#include "aide_gtest.h"
#include "sheet/aide_xls.h"
#include "sheet/erreur.h"
#include "sheet/xls/conteneur.h"
#include "sheet/xls/octets.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace zarvo::sheet;
using namespace zarvo::sheet::xls;
using namespace Qt::StringLiterals;

namespace {

// Les flux lus sont jugés ailleurs : le Workbook de chaque classeur du dépôt par ses valeurs
// (test_classeurs.py), tous les flux de lo_mini, gn_mini et demo par olefile après un
// remplacement (test_conteneur_ecriture). Ici, les refus.

// ---- Refus : une retouche précise d'un fichier valide, et le message attendu ----

// Position du secteur s dans un fichier à secteurs de 512 octets.
qsizetype secteur(std::uint32_t s)
{
    return qsizetype(s + 1) * 512;
}
qsizetype entree(const Conteneur &c, int i)
{
    const std::uint32_t premier = lire32(c.octets().constData() + 48);
    return secteur(premier) + 128 * i; // les quatre premières entrées sont dans le 1er secteur
}
qsizetype entreeFat(const Conteneur &c, std::uint32_t s)
{
    const std::uint32_t fat = lire32(c.octets().constData() + 76 + 4 * (s / 128));
    return secteur(fat) + 4 * qsizetype(s % 128);
}
int workbook(const Conteneur &c)
{
    return c.chercherFlux(u"Workbook"_s);
}
void poser32(QByteArray &o, qsizetype p, std::uint32_t v)
{
    ecrire32(o.data() + p, v);
}

TEST(Conteneur, chaqueIncoherenceDonneSonMessage)
{
    using Abimer = std::function<void(QByteArray &, const Conteneur &)>;
    const std::tuple<const char *, Abimer, const char *> tous[] = {

        { "enTeteTronque", [](QByteArray &o, const Conteneur &) { o.truncate(300); },
            "en-tête tronqué" },
        { "ordreDesOctets", [](QByteArray &o, const Conteneur &) { o[28] = 0; },
            "ordre des octets" },
        { "tailleSecteur", [](QByteArray &o, const Conteneur &) { o[30] = 10; },
            "taille de secteur" },
        { "miniSecteur", [](QByteArray &o, const Conteneur &) { o[32] = 7; }, "mini-secteur" },
        { "aucuneFat", [](QByteArray &o, const Conteneur &) { poser32(o, 44, 0); },
            "secteurs de FAT" },
        { "fatDemesuree", [](QByteArray &o, const Conteneur &) { poser32(o, 44, 0x7FFFFFFF); },
            "secteurs de FAT" },
        { "secteurFatHorsFichier", [](QByteArray &o, const Conteneur &) { poser32(o, 76, 5000); },
            "hors du fichier" },
        { "repertoireHorsFichier", [](QByteArray &o, const Conteneur &) { poser32(o, 48, 4000); },
            "hors du fichier" },
        { "chaineEnBoucle",
            [](QByteArray &o, const Conteneur &c) {
                const std::uint32_t s = c.entrees()[std::size_t(workbook(c))].premierSecteur;
                poser32(o, entreeFat(c, s), s);
            },
            "en boucle" },
        { "secteurPartage",
            [](QByteArray &o, const Conteneur &c) {
                // Le flux Workbook finit sur la chaîne du répertoire, longueur totale inchangée.
                const auto chaine = c.chaineFlux(workbook(c));
                const std::size_t secteursRepertoire = c.entrees().size() / 4;
                poser32(o, entreeFat(c, chaine[chaine.size() - 1 - secteursRepertoire]),
                    lire32(o.constData() + 48));
            },
            "utilisé deux fois" },
        { "tailleDeFluxTropGrande",
            [](QByteArray &o, const Conteneur &c) {
                poser32(o, entree(c, workbook(c)) + 120, 900000);
            },
            "plus grand que le fichier" },
        { "tailleDeFluxIncoherente",
            [](QByteArray &o, const Conteneur &c) {
                const auto e = c.entrees()[std::size_t(workbook(c))];
                poser32(o, entree(c, workbook(c)) + 120, std::uint32_t(e.taille + 2048));
            },
            "taille incohérente" },
        { "longueurDeNomImpaire",
            [](QByteArray &o, const Conteneur &c) { o[entree(c, workbook(c)) + 64] = 17; },
            "longueur de nom" },
        { "nomTropLong",
            [](QByteArray &o, const Conteneur &c) { o[entree(c, workbook(c)) + 64] = 66; },
            "longueur de nom" },
        { "nomSansZeroFinal",
            [](QByteArray &o, const Conteneur &c) { o[entree(c, workbook(c)) + 16] = 'x'; },
            "zéro final" },
        { "typeInconnu",
            [](QByteArray &o, const Conteneur &c) { o[entree(c, workbook(c)) + 66] = 9; },
            "type d'entrée" },
        { "enfantHorsRepertoire",
            [](QByteArray &o, const Conteneur &c) { poser32(o, entree(c, 0) + 76, 5000); },
            "hors du répertoire" },
        { "arbreEnBoucle",
            [](QByteArray &o, const Conteneur &c) {
                const qsizetype e = entree(c, int(c.entrees()[0].enfant));
                poser32(o, e + 68, c.entrees()[0].enfant);
            },
            "en boucle" },
        { "miniFatIncoherente", [](QByteArray &o, const Conteneur &) { poser32(o, 64, 3); },
            "mini-FAT" },
        // Gnumeric et olefile refusent un compte de DIFAT sans chaîne : nous aussi.
        { "difatSansChaine", [](QByteArray &o, const Conteneur &) { poser32(o, 72, 1); }, "DIFAT" },
        // Compte sans chaîne : refusé dès qu'un flux (ici les résumés) vit dans le mini-flux.
        { "miniFatSansChaine",
            [](QByteArray &o, const Conteneur &) { poser32(o, 60, Conteneur::finDeChaine); },
            "pas de mini-FAT" },
        // Ni marque, ni chaîne : l'entrée du secteur de FAT dit autre chose que l'en-tête.
        { "secteurFatLibre",
            [](QByteArray &o, const Conteneur &c) {
                const std::uint32_t fat0 = lire32(c.octets().constData() + 76);
                poser32(o, entreeFat(c, fat0), Conteneur::secteurLibre);
            },
            "non marqué" },
        { "fichierCoupe", [](QByteArray &o, const Conteneur &) { o.truncate(o.size() - 1536); },
            "fichier" }
    };
    const QByteArray sain = aide::lireFichier(aide::source(u"fuzz/corpus/lo_mini.xls"_s));
    const Conteneur c = Conteneur::lire(sain);
    ASSERT_EQ(c.tailleSecteur(), 512);
    ASSERT_LT(workbook(c), 4);
    for (const auto &[nom, abimer, message] : tous) {
        SCOPED_TRACE(nom);
        QByteArray abime = sain;
        abimer(abime, c);
        try {
            Conteneur::lire(abime);
            ADD_FAILURE() << "fichier abîmé accepté";
        } catch (const ErreurClasseur &e) {
            EXPECT_TRUE(e.detail().contains(QString::fromUtf8(message)))
                << e.detail().toStdString();
        }
    }
}

// ---- Écarts que d'autres écrivains font et que tous les lecteurs acceptent ----

// Secteurs de FAT chaînés comme des données (chacun vers le suivant, le dernier en fin de
// chaîne) : le fichier se lit, et sa réécriture porte les marques prescrites. La racine
// renommée et la FAT d'un seul secteur sont jugées par les classeurs dérivés du dépôt.
TEST(Conteneur, ecartsAcceptesPuisCorrigesALaReecriture)
{
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
