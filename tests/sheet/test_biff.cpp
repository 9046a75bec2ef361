#include "aide_gtest.h"
#include "sheet/biff_synthetique.h"
#include "sheet/erreur.h"
#include "sheet/xls/biff.h"
#include "sheet/xls/octets.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace zarvo::sheet;
using namespace zarvo::sheet::xls;
using namespace biff;

namespace {

Cellule n(double v)
{
    return Cellule::nombre(v);
}
Cellule tx(const QString &s)
{
    return Cellule::texte(s);
}

FeuilleBiff lireUneFeuille(const QByteArray &globaux, const QByteArray &cases)
{
    return ClasseurBiff::lire(classeur(globaux, { { u"F"_qs, cases } })).lireFeuille(0);
}

// NUMBER, RK (centièmes compris), LABELSST, RSTRING, BLANK, MULBLANK et enregistrements inconnus
// sont lus dans les classeurs du dépôt et jugés par leurs JSON (test_classeurs.py) ; ici ce que
// LibreOffice et Gnumeric n'écrivent pas ou rarement.
TEST(ClasseurBiff, chaqueEnregistrementDeCaseDonneSaValeur)
{
    struct Attendu
    {
        int ligne, colonne; // à partir de 0
        Cellule valeur;
    };
    struct Cas
    {
        const char *nom;
        QByteArray cases;
        std::vector<Attendu> attendu;
    };
    const Cas tous[] = {
        { "label8et16bits",
            enr(0x0204, cellule(0, 0) + chaine(u"Zoë"_qs))
                + enr(0x0204, cellule(0, 1) + chaine(u"Ševčík"_qs, true)),
            { { 0, 0, tx(u"Zoë"_qs) }, { 0, 1, tx(u"Ševčík"_qs) } } },
        { "booleensEtErreurs",
            enr(0x0205, cellule(0, 0) + u8(1) + u8(0)) + enr(0x0205, cellule(0, 1) + u8(0) + u8(0))
                + enr(0x0205, cellule(0, 2) + u8(0x2A) + u8(1))
                + enr(0x0205, cellule(0, 3) + u8(0x07) + u8(1)),
            { { 0, 0, n(1) }, { 0, 1, n(0) }, { 0, 2, tx(u"#N/A"_qs) },
                { 0, 3, tx(u"#DIV/0!"_qs) } } },
        { "formules",
            formula(0, 0, f64(5)) + formula(0, 1, resultatSpecial(1, 1))
                + formula(0, 2, resultatSpecial(2, 0x0F)) + formula(0, 3, resultatSpecial(3))
                + formula(0, 4, resultatSpecial(0)) + enr(0x04BC, QByteArray(10, '\0'))
                + enr(0x0207, chaine(u"calculé"_qs)),
            { { 0, 0, n(5) }, { 0, 1, n(1) }, { 0, 2, tx(u"#VALUE!"_qs) }, { 0, 3, {} },
                { 0, 4, tx(u"calculé"_qs) } } },
        { "formulesSousLesNumerosDExcel4Et3", // disposition BIFF8, résultats en cache
            sousNumero(formula(0, 0, f64(7.5)), 0x0406)
                + sousNumero(formula(0, 1, resultatSpecial(0)), 0x0206)
                + enr(0x0207, chaine(u"calculé"_qs)),
            { { 0, 0, n(7.5) }, { 0, 1, tx(u"calculé"_qs) } } },
        { "graphiqueImbrique", // ses cases ne sont pas celles de la feuille
            number(0, 0, 1) + bof(0x0020) + number(0, 0, 99) + number(5, 5, 99) + eof()
                + number(1, 0, 2),
            { { 0, 0, n(1) }, { 1, 0, n(2) } } },
        { "resultatTexteContinue",
            formula(0, 0, resultatSpecial(0)) + enr(0x0207, u16(4) + u8(0) + car8(u"ab"_qs))
                + enr(0x003C, u8(1) + car16(u"Ωé"_qs)),
            { { 0, 0, tx(u"abΩé"_qs) } } },
    };
    for (const Cas &cas : tous) {
        SCOPED_TRACE(cas.nom);
        const FeuilleBiff f = lireUneFeuille({}, cas.cases);
        std::size_t nbCases = 0;
        for (const Case &c : f.cases())
            nbCases += std::size_t(c.derniere - c.colonne + 1);
        EXPECT_EQ(nbCases, cas.attendu.size());
        for (const Attendu &a : cas.attendu) {
            const Case *c = f.chercher(a.ligne, a.colonne);
            ASSERT_NE(c, nullptr) << a.ligne << "," << a.colonne;
            EXPECT_EQ(f.valeur(*c, a.colonne), a.valeur) << a.ligne << "," << a.colonne;
        }
    }
}

TEST(ClasseurBiff, suiteMulrkTenueParUnSeulEnregistrementAvecUnFormatParColonne)
{
    // MULRK des colonnes 1 et 2 de la ligne 3 : 7 (entier) au format 5, 1,5 (double) au format 6.
    const QByteArray mulrk = enr(
        0x00BD, u16(3) + u16(1) + u16(5) + u32((7u << 2) | 2) + u16(6) + u32(0x3FF80000u) + u16(2));
    const FeuilleBiff f = lireUneFeuille({}, number(0, 0, 1) + mulrk + number(3, 3, 9));
    const Case *c = f.chercher(3, 2);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(f.chercher(3, 1), c);
    EXPECT_EQ(f.valeur(*c, 1), n(7));
    EXPECT_EQ(f.valeur(*c, 2), n(1.5));
    EXPECT_EQ(f.xf(*c, 1), 5);
    EXPECT_EQ(f.xf(*c, 2), 6);
    EXPECT_EQ(f.valeur(*f.chercher(3, 3), 3), n(9));
    EXPECT_EQ(f.chercher(3, 0), nullptr);
    EXPECT_EQ(f.chercher(3, 4), nullptr);
}

// Ce que l'écrivain ne fait pas : des comptes faux, l'octet d'option qui change de largeur au
// milieu d'une chaîne. Runs et phonétique coupés : relus dans test_biff_ecriture.
TEST(ClasseurBiff, tableDesChainesSuiviePardelaLesContinue)
{
    const std::tuple<const char *, QByteArray, QStringList> tous[] = {
        { "compteDeclareTropGrand", sst(99, { chaine(u"a"_qs) + chaine(u"b"_qs) }),
            { u"a"_qs, u"b"_qs } },
        { "compteDeclareTropPetit", sst(1, { chaine(u"a"_qs) + chaine(u"b"_qs) + chaine(u"c"_qs) }),
            { u"a"_qs, u"b"_qs, u"c"_qs } },
        { "bascule8vers16",
            sst(2, { u16(5) + u8(0) + car8(u"abc"_qs), u8(1) + car16(u"ΩΩ"_qs) + chaine(u"z"_qs) }),
            { u"abcΩΩ"_qs, u"z"_qs } },
        { "bascule16vers8", sst(1, { u16(4) + u8(1) + car16(u"ΩΩ"_qs), u8(0) + car8(u"éé"_qs) }),
            { u"ΩΩéé"_qs } },
    };
    for (const auto &[nom, table, textes] : tous) {
        SCOPED_TRACE(nom);
        const ClasseurBiff c = ClasseurBiff::lire(classeur(table, { { u"F"_qs, {} } }));
        ASSERT_EQ(int(c.sst().size()), textes.size());
        for (int i = 0; i < textes.size(); ++i)
            EXPECT_EQ(c.sst()[std::size_t(i)].texte, textes[i]) << i;
    }
}

TEST(ClasseurBiff, feuilleNonLueNonJugee)
{
    // Une feuille abîmée que l'on ne demande pas n'empêche pas de lire les autres.
    const ClasseurBiff c = ClasseurBiff::lire(classeur(
        {}, { { u"Bonne"_qs, number(0, 0, 42) }, { u"Abimee"_qs, enr(0x00BD, u16(0) + u16(0)) } }));
    ASSERT_EQ(c.chercherFeuille(u"bonne"_qs), 0);
    const FeuilleBiff bonne = c.lireFeuille(0);
    EXPECT_EQ(bonne.valeur(*bonne.chercher(0, 0), 0), n(42));
    EXPECT_THROW(c.lireFeuille(1), ErreurClasseur);
}

} // namespace
