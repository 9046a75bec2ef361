#include "aide_gtest.h"
#include "sheet/aide_xls.h"
#include "sheet/biff_synthetique.h"
#include "sheet/erreur.h"
#include "sheet/xls/feuille_reecrite.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace aide;
using namespace Qt::StringLiterals;

namespace {

/// Flux réécrit, relu par verifierFlux (cases écrites, toutes les autres et leur format, les
/// feuilles non touchées à l'octet) ; sa structure et son EXTSST contrôlés à part, et le recalcul
/// demandé aux tableurs par un seul RECALCID à zéro.
ClasseurBiff reecrire(const ClasseurBiff &o, const Ecritures &ecr)
{
    FluxRelu r = verifierFlux(o, reconstruireFlux(o, ecr), ecr);
    controlerStructure(r.biff, ecr);
    controlerExtSst(r.biff);
    int nb = 0;
    for (std::size_t i = r.biff.sousFlux()[0].premier; i <= r.biff.sousFlux()[0].dernier; ++i)
        if (r.biff.enregistrements()[i].id == id::recalcId) {
            ++nb;
            EXPECT_EQ(lire32(r.biff.pointeur(i) + 4), 0u);
        }
    EXPECT_EQ(nb, 1);
    return std::move(r.biff);
}

const QString base = source(u"tests/data/classeurs/base-libreoffice.xls"_s);

TEST(Reecriture, CasesAuHasardEtBordsDansChaqueClasseur)
{
    // Les écritures au hasard visent les cases existantes, les suites, le vide et le bas de la
    // feuille ; restent les bords.
    const std::pair<std::pair<int, int>, Cellule> bords[] = {
        { { 2, 0 }, Cellule::nombre(-4) },
        { { 2, 32 }, Cellule::texte(u"東京"_s) },
        { { 5, 200 }, Cellule::nombre(1) },
        { { 65535, 255 }, Cellule::nombre(1e300) },
        { { 7, 7 }, Cellule::texte(QString(20000, u'ж')) },
    };
    for (const QString &fichier : classeursDeTest()) {
        SCOPED_TRACE(fichier.toStdString());
        const ClasseurBiff o = ouvrir(fichier);
        EXPECT_EQ(reconstruireFlux(o, {}), o.flux());
        const Ecritures ecr = ecrituresAuHasard(o, 150, 20261206);
        ASSERT_EQ(ecr.size(), 2u);
        EXPECT_NO_THROW(reecrire(o, ecr));
        const auto k = std::size_t(o.chercherFeuille(u"DYN_cyclist"_s));
        for (const auto &[p, v] : bords) {
            SCOPED_TRACE(p.first);
            EXPECT_NO_THROW(reecrire(o, { { k, { { p, v } } } }));
        }
    }
}

// Ce que le moteur ne connaît pas reste : derrière un ROW comme derrière une case réécrite,
// dans une suite coupée ou non.
TEST(Reecriture, EnregistrementsInconnusGardes)
{
    using namespace biff;
    const QByteArray inconnus[] = { enr(0x0099, u16(7)), enr(0x0098, u16(8)), enr(0x0097, {}) };
    const QByteArray row = enr(0x0208, u16(0) + u16(0) + u16(3) + QByteArray(10, 0));
    const QByteArray mulblank = enr(0x00BE, u16(1) + u16(0) + u16(0) + u16(0) + u16(0) + u16(2));
    const ClasseurBiff o = ClasseurBiff::lire(classeur({},
        { { u"F"_s,
            row + inconnus[0] + number(0, 0, 1) + inconnus[1] + mulblank + inconnus[2] } }));
    for (const auto &[ligne, colonne] : { std::pair { 0, 0 }, { 1, 1 } }) {
        const QByteArray r
            = reconstruireFlux(o, { { 0, { { { ligne, colonne }, Cellule::nombre(5) } } } });
        for (const QByteArray &e : inconnus)
            EXPECT_TRUE(r.contains(e)) << ligne << " " << e.toHex().toStdString();
    }
}

TEST(Reecriture, AncreDeFormulePartageeRefuseeSesMembresEcrits)
{
    const ClasseurBiff o = ouvrir(base);
    const auto f = std::size_t(o.chercherFeuille(u"Statistiques"_s));
    const FeuilleBiff cases = o.lireFeuille(f);
    const auto &enr = o.enregistrements();
    const auto ancre = std::find_if(cases.cases().begin(), cases.cases().end(), [&](const Case &c) {
        return enr[c.enregistrement].id == id::formula
            && enr[c.enregistrement + 1].id == id::shrfmla;
    });
    ASSERT_NE(ancre, cases.cases().end()) << "le classeur de base n'a plus de formule partagée";
    try {
        verifierEcriture(o, f, cases, ancre->ligne, ancre->colonne, Cellule::nombre(1), {});
        ADD_FAILURE() << "ancre de formule partagée écrite";
    } catch (const ErreurClasseur &e) {
        EXPECT_TRUE(e.detail().contains(u"formule partagée"_s)) << e.detail().toStdString();
    }
    const EcrituresFeuille une { { { ancre->ligne, ancre->colonne }, Cellule::nombre(1) } };
    EXPECT_THROW(reconstruireFlux(o, { { f, une } }), ErreurClasseur);
    // Une case qui y renvoie s'écrit, elle.
    const Case &membre = *cases.depuis(ancre->ligne + 1, ancre->colonne);
    EXPECT_NO_THROW(
        verifierEcriture(o, f, cases, membre.ligne, membre.colonne, Cellule::nombre(2), {}));
    EXPECT_NO_THROW(
        reecrire(o, { { f, { { { membre.ligne, membre.colonne }, Cellule::nombre(2) } } } }));
}

// FORMULA sous les numéros d'Excel 3 et 4 : écrasée, elle emporte son résultat texte (STRING).
TEST(Reecriture, FormulesAnciennesEcraseesAvecLeurResultat)
{
    const ClasseurBiff o
        = ouvrir(source(u"tests/data/classeurs/formules-anciennes-gnumeric.xls"_s));
    const auto nbString = [](const ClasseurBiff &b) {
        return std::count_if(b.enregistrements().begin(), b.enregistrements().end(),
            [](const Enregistrement &e) { return e.id == id::string; });
    };
    ASSERT_GT(nbString(o), 0);
    Ecritures ecr;
    for (std::size_t k = 0; k < o.feuilles().size(); ++k) {
        if (!o.feuilles()[k].estFeuilleDeCalcul())
            continue;
        const FeuilleBiff f = o.lireFeuille(k);
        for (const Case &c : f.cases())
            if (o.enregistrements()[c.enregistrement].id == id::formula)
                ecr[k][{ c.ligne, c.colonne }] = Cellule::nombre(c.ligne);
    }
    ASSERT_GE(ecr.size(), 2u);
    EXPECT_EQ(nbString(reecrire(o, ecr)), 0);
}

TEST(Reecriture, CaseCreeeAuFormatDeSaColonne)
{
    const ClasseurBiff o = ouvrir(source(u"tests/data/classeurs/clairseme-libreoffice.xls"_s));
    const auto k = std::size_t(o.chercherFeuille(u"DYN_cyclist"_s));
    const std::uint16_t xf = formatNouvelleCase(o, k, 60000, 250);
    EXPECT_LT(xf, o.nbXf());
    const ClasseurBiff relu = reecrire(o, { { k, { { { 60000, 250 }, Cellule::nombre(3) } } } });
    const FeuilleBiff f = relu.lireFeuille(k);
    ASSERT_NE(f.chercher(60000, 250), nullptr);
    EXPECT_EQ(f.xf(*f.chercher(60000, 250), 250), xf);
}

} // namespace
