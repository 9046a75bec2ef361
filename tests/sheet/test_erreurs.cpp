#include "aide_gtest.h"
#include "sheet/aide_xls.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"
#include "sheet/xls/classeur_xls.h"
#include "sheet/xls/enregistrements.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace zarvo;
using namespace zarvo::sheet;
using namespace Qt::StringLiterals;

namespace {

// Le genre de chaque refus, sur les fichiers refusés du dépôt et les fautes que l'on sait jouer ;
// « base.xls » est une copie de mini-libreoffice.xls.
TEST(Erreurs, ChaqueRefusDitSonGenre)
{
    using Situation = std::function<void(Application &, const QString &base)>;
    const auto lu
        = [](const char *n) { return aide::lireFichier(aide::source(QString::fromUtf8(n))); };
    const auto ouvrir = [](const QByteArray &octets, const QString &feuille = {}) -> Situation {
        return [=](Application &app, const QString &b) {
            if (!octets.isNull())
                aide::ecrireFichier(b, octets);
            if (Classeur &c = app.ouvrir(b); !feuille.isEmpty())
                c.feuille(feuille);
        };
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
    const std::tuple<const char *, Situation, GenreErreur> tous[] = {
        { "absent", [](Application &app, const QString &b) { app.ouvrir(b + u"x"_s); },
            GenreErreur::Fichier },
        { "vide", ouvrir(""), GenreErreur::PasUnClasseur },
        { "xlsx", ouvrir(lu("tests/data/refus/xlsx-renomme.xls")), GenreErreur::PasUnClasseur },
        { "excel95", ouvrir(lu("tests/data/refus/biff5-gnumeric.xls")), GenreErreur::AncienExcel },
        { "motDePasse", ouvrir(lu("tests/data/refus/motdepasse-libreoffice.xls")),
            GenreErreur::Chiffre },
        { "caseAvalee", ouvrir(lu("tests/data/refus/rk-avale-libreoffice.xls"), u"DYN_cyclist"_s),
            GenreErreur::Abime },
        { "sansFeuille", ouvrir({}, u"DYN_rider"_s), GenreErreur::FeuilleAbsente },
        { "dejaOuvert", [](Application &app, const QString &b) { app.ouvrir(b), app.ouvrir(b); },
            GenreErreur::Usage },
        { "adresse", ecrire(u"A0"_s, un), GenreErreur::AdresseInvalide },
        { "texteTropLong", ecrire(u"B3"_s, Cellule::texte(QString(32768, u'x'))),
            GenreErreur::TexteTropLong },
        { "changeSurLeDisque",
            ecrire(u"B3"_s, un, [](const QString &b) { aide::ecrireFichier(b, "x"); }),
            GenreErreur::FichierChange },
        { "enregistrementTropLong",
            [](Application &, const QString &) { xls::enregistrement(0, QByteArray(8225, 0)); },
            GenreErreur::EcritureImpossible },
    };
    for (const auto &[nom, situation, genre] : tous) {
        SCOPED_TRACE(nom);
        QTemporaryDir dossier;
        const QString base = dossier.filePath(u"base.xls"_s);
        ASSERT_TRUE(
            QFile::copy(aide::source(u"tests/data/classeurs/mini-libreoffice.xls"_s), base));
        try {
            situation(*creerApplicationXls(), base);
            ADD_FAILURE() << "aucun refus";
        } catch (const ErreurClasseur &e) {
            EXPECT_EQ(e.genre(), genre) << e.detail().toStdString();
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
