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
// le classeur « base.xls » est une copie de mini-libreoffice.xls.
TEST(Erreurs, ChaqueRefusDitSonGenre)
{
    using Situation = std::function<void(Application &, const QString &base)>;
    const auto fichier = [](const char *nom, const QString &feuille = {}) -> Situation {
        return [=](Application &app, const QString &) {
            Classeur &c = app.ouvrir(aide::source(QString::fromUtf8(nom)));
            if (!feuille.isEmpty())
                c.feuille(feuille);
        };
    };
    const auto ecrire = [](const QString &adresse, const Cellule &v) -> Situation {
        return [=](Application &app, const QString &base) {
            app.ouvrir(base).feuille(u"DYN_team"_s).plage(adresse)->ecrire(v);
        };
    };
    const auto enregistrerApres = [](const std::function<void(const QString &)> &faute) {
        return [=](Application &app, const QString &base) {
            auto &x = dynamic_cast<xls::ClasseurXls &>(app.ouvrir(base));
            x.feuille(u"DYN_team"_s).plage(u"B3"_s)->ecrire(Cellule::texte(u"Un"_s));
            faute(base);
            x.enregistrer({});
        };
    };
    const std::tuple<const char *, Situation, GenreErreur> tous[] = {
        { "absent", [](Application &app, const QString &b) { app.ouvrir(b + u"x"_s); },
            GenreErreur::Fichier },
        { "vide",
            [](Application &app, const QString &b) {
                aide::ecrireFichier(b, "");
                app.ouvrir(b);
            },
            GenreErreur::PasUnClasseur },
        { "xlsx", fichier("tests/data/refus/xlsx-renomme.xls"), GenreErreur::PasUnClasseur },
        { "excel95", fichier("tests/data/refus/biff5-gnumeric.xls"), GenreErreur::AncienExcel },
        { "motDePasse", fichier("tests/data/refus/motdepasse-libreoffice.xls"),
            GenreErreur::Chiffre },
        { "caseAvalee", fichier("tests/data/refus/rk-avale-libreoffice.xls", u"DYN_cyclist"_s),
            GenreErreur::Abime },
        { "coupe",
            [](Application &app, const QString &b) {
                aide::ecrireFichier(b, aide::lireFichier(b).chopped(1536));
                app.ouvrir(b);
            },
            GenreErreur::Abime },
        { "sansFeuille", fichier("tests/data/classeurs/mini-libreoffice.xls", u"DYN_rider"_s),
            GenreErreur::FeuilleAbsente },
        { "adresse", ecrire(u"A0"_s, Cellule::nombre(1)), GenreErreur::AdresseInvalide },
        { "texteTropLong", ecrire(u"B3"_s, Cellule::texte(QString(32768, u'x'))),
            GenreErreur::TexteTropLong },
        { "enregistrementTropLong",
            [](Application &, const QString &) { xls::enregistrement(0, QByteArray(8225, 0)); },
            GenreErreur::EcritureImpossible },
        { "dejaOuvert",
            [](Application &app, const QString &b) {
                app.ouvrir(b);
                app.ouvrir(b);
            },
            GenreErreur::Usage },
        { "disparu", enregistrerApres([](const QString &b) { QFile::remove(b); }),
            GenreErreur::Fichier },
        { "changeSurLeDisque",
            enregistrerApres([](const QString &b) { aide::ecrireFichier(b, "autre"); }),
            GenreErreur::FichierChange },
    };
    for (const auto &[nom, situation, genre] : tous) {
        SCOPED_TRACE(nom);
        QTemporaryDir dossier;
        const QString base = dossier.filePath(u"base.xls"_s);
        ASSERT_TRUE(
            QFile::copy(aide::source(u"tests/data/classeurs/mini-libreoffice.xls"_s), base));
        auto app = creerApplicationXls();
        try {
            situation(*app, base);
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
