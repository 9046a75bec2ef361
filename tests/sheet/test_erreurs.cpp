#include "aide_gtest.h"
#include "sheet/aide_xls.h"
#include "sheet/biff_synthetique.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"
#include "sheet/xls/classeur_xls.h"
#include "sheet/xls/enregistrements.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <concepts>
#include <functional>

#include <sys/stat.h>

using namespace zarvo;
using namespace zarvo::sheet;
using namespace zarvo::sheet::xls;
using namespace aide;
using namespace biff;
using namespace Qt::StringLiterals;

namespace {

using Situation = std::function<void(Application &, const QString &base)>;
using O = QByteArray &;
using C = const Conteneur &;

QByteArray feuille(const QByteArray &cases, const QByteArray &globaux = {})
{
    return classeur(globaux, { { u"F"_s, cases } });
}

// Ce qui doit être refusé : une situation, un flux Workbook dont on lit la feuille, ou une
// retouche de lo_mini.xls dont on lit le fichier composé.
struct Refus
{
    template<typename F>
    requires std::invocable<F, Application &, const QString &> Refus(F f)
        : faire(f)
    { }
    Refus(const QByteArray &flux)
        : faire([flux](Application &, const QString &) { ClasseurBiff::lire(flux).lireFeuille(0); })
    { }
    template<typename F>
    requires std::invocable<F, O, C> Refus(F abimer)
        : faire([abimer](Application &, const QString &) {
            QByteArray o = lireFichier(source(u"fuzz/corpus/lo_mini.xls"_s));
            abimer(o, Conteneur::lire(o));
            Conteneur::lire(o);
        })
    { }
    Situation faire;
};

// Le genre de chaque refus (et le détail quand c'est lui qui renseigne) : fichiers refusés du
// dépôt, objets du système, flux et fichiers composés abîmés, fautes d'écriture ; « base.xls »
// est une copie de mini-libreoffice.xls. Tous les refus des lecteurs sont ici.
TEST(Erreurs, ChaqueRefusDitSonGenre)
{
    const auto lu = [](const char *n) { return lireFichier(source(QString::fromUtf8(n))); };
    const auto ouvrir = [](const QByteArray &octets, const QString &f = {}) -> Situation {
        return [=](Application &app, const QString &b) {
            if (!octets.isNull())
                ecrireFichier(b, octets);
            if (Classeur &c = app.ouvrir(b); !f.isEmpty())
                c.feuille(f);
        };
    };
    // Ce que le chemin désigne n'est pas un fichier : refusé sans attendre ni tout lire.
    const auto objet = [](std::function<bool(const QString &)> preparer) -> Situation {
        return [=](Application &app, const QString &b) {
            ASSERT_TRUE(QFile::remove(b) && preparer(b));
            app.ouvrir(b);
        };
    };
    const auto lien = [&](const char *cible) {
        return objet([=](const QString &c) { return QFile::link(QString::fromUtf8(cible), c); });
    };
    // Écrit puis, après la faute sur le disque, enregistre (sans faute : le refus vient avant).
    const auto ecrire = [](const QString &adresse, const Cellule &v,
                            std::function<void(const QString &)> faute = {}) -> Situation {
        return [=](Application &app, const QString &b) {
            auto &x = dynamic_cast<xls::ClasseurXls &>(app.ouvrir(b));
            x.feuille(u"DYN_team"_s).plage(adresse)->ecrire(v);
            faute(b);
            x.enregistrer({});
        };
    };
    const Cellule un = Cellule::nombre(1);
    using enum GenreErreur;
    const QByteArray deuxChaines = sst(2, { chaine(u"Éric"_s) + chaine(u"Ωmega"_s, true) });
    const QByteArray mulblank03 = enr(0x00BE, u16(0) + u16(1) + u16(0) + u16(0) + u16(0) + u16(3));
    // Nom de 200 caractères dans un BOUNDSHEET de 10 octets, qui pointe sur une vraie feuille.
    const auto nomTronque = [](std::size_t p) {
        return enr(0x0085, u32(std::uint32_t(p)) + u8(0) + u8(0) + u8(200) + u8(0) + "ab");
    };
    const QByteArray boundsheetTronque
        = classeur(nomTronque(classeur(nomTronque(0), {}).size()), {}) + bof(0x0010) + eof();
    struct Cas
    {
        const char *nom;
        Refus refus;
        GenreErreur genre = GenreErreur::Abime;
        const char *detail = "";
    };
    const Cas tous[] = {
        { "absent", [](Application &app, const QString &b) { app.ouvrir(b + u"x"_s); },
            Fichier, "« base.xls" },
        { "vide", ouvrir(""), PasUnClasseur },
        { "unOctet", ouvrir("x"), PasUnClasseur },
        { "texte", ouvrir("id;nom\n1;Dupont\n"), PasUnClasseur },
        { "xlsx", ouvrir(lu("tests/data/refus/xlsx-renomme.xls")), PasUnClasseur },
        { "excel95", ouvrir(lu("tests/data/refus/biff5-gnumeric.xls")), AncienExcel },
        { "biffSansConteneur", ouvrir(QByteArray("\x09\x04\x06\x00\x00\x00\x10\x00", 8)),
            AncienExcel },
        { "motDePasse", ouvrir(lu("tests/data/refus/motdepasse-libreoffice.xls")), Chiffre },
        { "fifo", objet([](const QString &c) { return ::mkfifo(QFile::encodeName(c), 0644) == 0; }),
            Fichier, "« base.xls » ne peut pas être utilisé.\rC'est un tube nommé" },
        { "peripherique", lien("/dev/zero"), Fichier, "périphérique" },
        { "dossier", objet([](const QString &c) { return QDir().mkdir(c); }), Fichier, "dossier" },
        { "lienCasse", lien("/nulle/part.xls"), Fichier, "/nulle/part.xls" },
        { "caseAvalee", ouvrir(lu("tests/data/refus/rk-avale-libreoffice.xls"), u"DYN_cyclist"_s) },
        { "sansFeuille", ouvrir({}, u"DYN_rider"_s), FeuilleAbsente },
        { "dejaOuvert", [](Application &app, const QString &b) { app.ouvrir(b), app.ouvrir(b); },
            Usage },
        { "adresse", ecrire(u"A0"_s, un), AdresseInvalide },
        { "texteTropLong", ecrire(u"B3"_s, Cellule::texte(QString(32768, u'x'))), TexteTropLong },
        { "changeSurLeDisque",
            ecrire(u"B3"_s, un, [](const QString &b) { ecrireFichier(b, "x"); }),
            FichierChange },
        { "enregistrementTropLong",
            [](Application &, const QString &) { xls::enregistrement(0, QByteArray(8225, 0)); },
            EcritureImpossible },
        { "biff5", classeur({}, { { u"F"_qs, {} } }, 0x0500), AncienExcel },
        { "biff3", QByteArray(enr(0x0209, u16(0) + u16(0x10)) + eof()), AncienExcel },
        { "boundsheetHorsBof", classeur({}, { { u"F"_qs, {} } }, 0x0600, 4) },
        { "boundsheetTronque", boundsheetTronque },
        { "enregistrementTronque", feuille({}).chopped(2) },
        { "eofManquant", feuille({}).chopped(4) },
        { "horsDeToutSousFlux", QByteArray(feuille({}) + number(0, 0, 1)) },
        { "sstTronquee", feuille({}, sst(1, { u16(50) + u8(0) + "abc" })) },
        { "octetOptionInvalide", feuille({}, sst(1, { u16(4) + u8(0) + "ab", u8(7) + "cd" })) },
        { "mulrkCompteIncoherent",
            feuille(enr(0x00BD, u16(0) + u16(1) + u16(0) + u32(2) + u16(0) + u32(2) + u16(5))) },
        { "mulblankLongueurImpaire",
            feuille(enr(0x00BE, u16(0) + u16(0) + u16(0) + u8(0) + u16(0))) },
        { "formuleTropLongue", feuille(formula(0, 0, f64(1), 40, 3)) },
        // Jamais lue comme une case vide : indécodable, la feuille est refusée.
        { "formuleExcel4TropLongue", feuille(sousNumero(formula(0, 0, f64(1), 40, 3), 0x0406)) },
        { "formuleExcel3Tronquee", feuille(enr(0x0206, cellule(0, 0) + f64(1))) },
        { "xfHorsTable", feuille(number(0, 0, 1, 16)) },
        { "sstHorsTable", feuille(labelsst(0, 0, 2), deuxChaines) },
        { "sansSst", feuille(labelsst(0, 0, 0)) },
        { "numberTronque", feuille(enr(0x0203, cellule(0, 0) + u32(0))), Abime,
            "longueur 10 au lieu de 14" },
        // Un enregistrement plus long que son genre avale les suivants : refus, pas de cases
        // lues vides.
        { "rkQuiAvaleLaCaseSuivante",
            feuille(enr(0x027E, cellule(0, 0) + u32(2) + number(0, 1, 1))) },
        { "labelsstTropLong", feuille(enr(0x00FD, cellule(0, 0) + u32(0) + u32(0)), deuxChaines) },
        { "blankTropLong", feuille(enr(0x0201, cellule(0, 0) + u32(0))) },
        // Le BLANK de 9 octets est lu, puis le doublon vu.
        { "bourrageTolere", feuille(enr(0x0201, cellule(0, 0) + u8(0) + u16(0)) + number(0, 0, 1)) },
        { "boolerrTropLong", feuille(enr(0x0205, cellule(0, 0) + u8(1) + u8(0) + u32(0))) },
        { "labelPlusLongQueSonTexte",
            feuille(enr(0x0204, cellule(0, 0) + u16(2) + u8(0) + "abcdef")) },
        { "auDelaDuMaximum", feuille(enr(0x0867, QByteArray(8225, '\0')) + number(5, 0, 1)), Abime,
            "8225 octets de données" },
        { "labelTronque", feuille(enr(0x0204, cellule(0, 0) + u16(30) + u8(0) + "ab")) },
        { "nombreNonFini", feuille(number(0, 0, std::nan(""))) },
        { "mulrkInfini", // RK aux bits d'exposant pleins : +infini
            feuille(
                enr(0x00BD, u16(0) + u16(0) + u16(0) + u32(0x7FF00000) + u16(0) + u32(2) + u16(1))) },
        { "caseEnDouble", feuille(number(4, 4, 1) + rk(4, 4, 2)) },
        { "suitesQuiSeChevauchent", feuille(mulblank03 + number(0, 2, 1)) },
        { "colonneHorsLimites", feuille(number(0, 300, 1)) },
        { "stringManquant", feuille(formula(0, 0, resultatSpecial(0)) + number(1, 0, 1)) },
        { "stringManquantEnFin", feuille(formula(0, 0, resultatSpecial(0))) },
        // L'écriture lit sa plage pour savoir quelles cases en dépendent.
        { "shrfmlaTronque", feuille(formula(0, 0, f64(1)) + enr(0x04BC, u16(0) + u16(0) + u8(0))) },
        { "shrfmlaJetonsAuDela",
            feuille(formula(0, 0, f64(1)) + enr(0x04BC, QByteArray(8, '\0') + u16(9) + u8(3))) },
        { "codeErreurInconnu", feuille(enr(0x0205, cellule(0, 0) + u8(0x99) + u8(1))) },
        { "booleenInvalide", feuille(enr(0x0205, cellule(0, 0) + u8(2) + u8(0))) },
        { "enTeteTronque", [](O o, C) { o.truncate(300); } },
        { "ordreDesOctets", [](O o, C) { o[28] = 0; } },
        { "tailleSecteur", [](O o, C) { o[30] = 10; } },
        { "miniSecteur", [](O o, C) { o[32] = 7; } },
        { "aucuneFat", [](O o, C) { poser32(o, 44, 0); } },
        { "fatDemesuree", [](O o, C) { poser32(o, 44, 0x7FFFFFFF); } },
        { "secteurFatHorsFichier", [](O o, C) { poser32(o, 76, 5000); } },
        { "repertoireHorsFichier", [](O o, C) { poser32(o, 48, 4000); } },
        { "chaineEnBoucle",
            [](O o, C c) {
                const std::uint32_t s = c.entrees()[std::size_t(workbook(c))].premierSecteur;
                poser32(o, entreeFat(c, s), s);
            } },
        { "secteurPartage",
            [](O o, C c) {
                // Le flux Workbook finit sur la chaîne du répertoire, longueur totale inchangée.
                const auto chaine = c.chaineFlux(workbook(c));
                const std::size_t secteursRepertoire = c.entrees().size() / 4;
                poser32(o, entreeFat(c, chaine[chaine.size() - 1 - secteursRepertoire]),
                    lire32(o.constData() + 48));
            } },
        { "tailleDeFluxTropGrande",
            [](O o, C c) {
                poser32(o, entree(c, workbook(c)) + 120, 900000);
            } },
        { "tailleDeFluxIncoherente",
            [](O o, C c) {
                const auto e = c.entrees()[std::size_t(workbook(c))];
                poser32(o, entree(c, workbook(c)) + 120, std::uint32_t(e.taille + 2048));
            } },
        { "longueurDeNomImpaire",
            [](O o, C c) { o[entree(c, workbook(c)) + 64] = 17; } },
        { "nomTropLong",
            [](O o, C c) { o[entree(c, workbook(c)) + 64] = 66; } },
        { "nomSansZeroFinal",
            [](O o, C c) { o[entree(c, workbook(c)) + 16] = 'x'; } },
        { "typeInconnu",
            [](O o, C c) { o[entree(c, workbook(c)) + 66] = 9; } },
        { "enfantHorsRepertoire",
            [](O o, C c) { poser32(o, entree(c, 0) + 76, 5000); } },
        { "arbreEnBoucle",
            [](O o, C c) {
                const qsizetype e = entree(c, int(c.entrees()[0].enfant));
                poser32(o, e + 68, c.entrees()[0].enfant);
            } },
        { "miniFatIncoherente", [](O o, C) { poser32(o, 64, 3); } },
        // Gnumeric et olefile refusent un compte de DIFAT sans chaîne : nous aussi.
        { "difatSansChaine", [](O o, C) { poser32(o, 72, 1); } },
        // Compte sans chaîne : refusé dès qu'un flux (ici les résumés) vit dans le mini-flux.
        { "miniFatSansChaine",
            [](O o, C) { poser32(o, 60, Conteneur::finDeChaine); } },
        // Ni marque, ni chaîne : l'entrée du secteur de FAT dit autre chose que l'en-tête.
        { "secteurFatLibre",
            [](O o, C c) {
                const std::uint32_t fat0 = lire32(c.octets().constData() + 76);
                poser32(o, entreeFat(c, fat0), Conteneur::secteurLibre);
            } },
        { "fichierCoupe", [](O o, C) { o.truncate(o.size() - 1536); } }
    };
    for (const Cas &cas : tous) {
        SCOPED_TRACE(cas.nom);
        QTemporaryDir dossier;
        const QString base = dossier.filePath(u"base.xls"_s);
        ASSERT_TRUE(QFile::copy(source(u"tests/data/classeurs/mini-libreoffice.xls"_s), base));
        try {
            cas.refus.faire(*creerApplicationXls(), base);
            ADD_FAILURE() << "aucun refus";
        } catch (const ErreurClasseur &e) {
            EXPECT_EQ(e.genre(), cas.genre) << e.detail().toStdString();
            EXPECT_TRUE(texteErreur(e).contains(QString::fromUtf8(cas.detail)))
                << texteErreur(e).toStdString();
        }
    }
}

// La phrase lue : le fichier nommé une fois, même quand l'erreur est rattachée deux fois.
TEST(Erreurs, UnePhraseParOperation)
{
    const ErreurClasseur introuvable(GenreErreur::Fichier, u"fichier introuvable"_s);
    const std::pair<ErreurClasseur, QString> tous[] = {
        { introuvable.situee(Operation::Ouvrir, u"base.xls"_s).situee(Operation::Ouvrir, u"x"_s),
            u"Le classeur « base.xls » ne peut pas être utilisé.\rFichier introuvable."_s },
        { introuvable.situee(Operation::Enregistrer, u"base.xls"_s),
            u"Impossible d'enregistrer « base.xls » : fichier introuvable. Le fichier d'origine "
            u"n'a pas été modifié."_s },
        { introuvable, u"Fichier introuvable."_s },
    };
    for (const auto &[erreur, phrase] : tous)
        EXPECT_EQ(texteErreur(erreur), phrase);
}

} // namespace
