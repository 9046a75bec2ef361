#pragma once

// Aides des tests d'écriture : classeurs du dépôt, écritures au hasard (graine fixe), contrôle
// indépendant de la structure d'un flux réécrit (INDEX, DBCELL, ROW, DIMENSIONS, ordre des cases).

#include "sheet/aide_xls.h"
#include "sheet/valeur.h"
#include "sheet/xls/biff.h"
#include "sheet/xls/biff_ecriture.h"
#include "sheet/xls/conteneur.h"
#include "sheet/xls/ecrivain_classeur.h"
#include "sheet/xls/octets.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace aide_ecriture {

using namespace zarvo;
using namespace zarvo::sheet::xls;
using namespace Qt::StringLiterals;

using aide::lireFichier;
using aide::source;

inline QStringList classeursDeTest()
{
    return aide::classeurs(u"tests/data/classeurs"_s);
}

inline std::string nomTest(const QString &chemin)
{
    std::string n = QFileInfo(chemin).completeBaseName().toStdString();
    for (char &c : n)
        if (c == '-')
            c = '_';
    return n;
}

/// Le flux Workbook d'un classeur, lu.
inline ClasseurBiff ouvrir(const QString &chemin)
{
    const Conteneur c = Conteneur::lire(lireFichier(chemin));
    return ClasseurBiff::lire(c.lireFlux(c.chercherFlux(u"Workbook"_s)));
}

using Valeurs = std::map<std::pair<int, int>, Cellule>;

/// Cases non vides d'une feuille.
inline Valeurs valeursFeuille(const ClasseurBiff &b, std::size_t feuille)
{
    Valeurs v;
    const FeuilleBiff cases = b.lireFeuille(feuille);
    for (const Case &c : cases.cases())
        for (int col = c.colonne; col <= c.derniere; ++col)
            if (const Cellule x = cases.valeur(c, col); !x.estVide())
                v[{ c.ligne, col }] = x;
    return v;
}

/// Mêmes enregistrements à l'octet dans la feuille, hormis les positions de l'INDEX, décalées
/// d'autant que la feuille.
inline bool memesEnregistrements(const ClasseurBiff &a, const ClasseurBiff &b, std::size_t feuille)
{
    const SousFlux &sa = a.sousFlux()[a.feuilles()[feuille].sousFlux];
    const SousFlux &sb = b.sousFlux()[b.feuilles()[feuille].sousFlux];
    if (sa.dernier - sa.premier != sb.dernier - sb.premier)
        return false;
    const qint64 decalage = qint64(b.enregistrements()[sb.premier].position)
        - a.enregistrements()[sa.premier].position;
    for (std::size_t i = 0; i <= sa.dernier - sa.premier; ++i) {
        const auto type = a.enregistrements()[sa.premier + i].id;
        QByteArray da = a.donnees(sa.premier + i);
        for (int o = 12; type == id::index && o + 4 <= da.size(); o += 4)
            if (const std::uint32_t p = lire32(da.constData() + o))
                ecrire32(da.data() + o, std::uint32_t(p + decalage));
        if (type != b.enregistrements()[sb.premier + i].id || da != b.donnees(sb.premier + i))
            return false;
    }
    return true;
}

/**
 * Dans une feuille réécrite, tout enregistrement d'origine qui ne tient pas une case écrite se
 * retrouve à l'octet et dans le même ordre (hors INDEX, DBCELL, DIMENSIONS et ROW, que
 * l'écriture peut refaire). Rend le premier enregistrement perdu, ou -1.
 */
inline long enregistrementPerdu(
    const ClasseurBiff &a, const ClasseurBiff &b, std::size_t feuille, const EcrituresFeuille &ecr)
{
    using namespace ecriture;
    const SousFlux &sa = a.sousFlux()[a.feuilles()[feuille].sousFlux];
    const SousFlux &sb = b.sousFlux()[b.feuilles()[feuille].sousFlux];
    const auto &ea = a.enregistrements();
    std::size_t j = sb.premier;
    bool apresFormuleEcrite = false;
    for (std::size_t i = sa.premier; i <= sa.dernier; ++i) {
        const auto t = ea[i].id;
        const QByteArray d = a.donnees(i);
        if (t == id::index || t == id::dbcell || t == id::dimensions || t == id::row)
            continue;
        if (estCase(t) && d.size() >= 6) {
            const int l = lire16(d.constData()), c1 = lire16(d.constData() + 2);
            const int c2
                = (t == id::mulrk || t == id::mulblank) ? lire16(d.constData() + d.size() - 2) : c1;
            const auto it = ecr.lower_bound({ l, c1 });
            apresFormuleEcrite = false;
            if (it != ecr.end() && it->first.first == l && it->first.second <= c2) {
                apresFormuleEcrite = t == id::formula;
                continue;
            }
        } else if (apresFormuleEcrite
            && (t == id::string || t == id::continuation || t == id::shrfmla)) {
            continue;
        } else {
            apresFormuleEcrite = false;
        }
        while (j <= sb.dernier && !(b.enregistrements()[j].id == t && b.donnees(j) == d))
            ++j;
        if (j > sb.dernier)
            return long(i - sa.premier);
        ++j;
    }
    return -1;
}

/**
 * Contrôle de la structure des feuilles de calcul, sans rien emprunter à l'écrivain. INDEX et
 * DBCELL ne sont jugés que dans les feuilles réécrites : ceux que d'autres écrivains laissent
 * dans les feuilles non touchées suivent leurs propres idées (Gnumeric vise le BOF).
 */
inline void controlerStructure(const ClasseurBiff &b, const Ecritures &reecrites)
{
    using namespace ecriture;
    const auto &enr = b.enregistrements();
    std::map<std::uint32_t, std::size_t> parPosition;
    for (std::size_t i = 0; i < enr.size(); ++i)
        parPosition[enr[i].position] = i;
    for (const FeuilleDeclaree &f : b.feuilles()) {
        if (!f.estFeuilleDeCalcul())
            continue;
        SCOPED_TRACE(f.nom.toStdString());
        const SousFlux &s = b.sousFlux()[f.sousFlux];
        ASSERT_EQ(enr[s.premier].id, id::bof);
        std::optional<std::size_t> indexEnr, defCol, dims;
        std::map<int, std::size_t> rows;
        std::map<int, std::pair<int, int>> colonnesParLigne; // première, dernière + 1
        int nbDbcell = 0, ligneAvant = -1, colonneAvant = -1;
        int profondeur = 0;
        for (std::size_t i = s.premier; i <= s.dernier; ++i) {
            profondeur += enr[i].id == id::bof;
            const bool ici = profondeur == 1;
            profondeur -= enr[i].id == id::eof;
            if (!ici)
                continue;
            const QByteArray d = b.donnees(i);
            const auto t = enr[i].id;
            if (t == id::index)
                indexEnr = i;
            else if (t == id::defColWidth)
                defCol = i;
            else if (t == id::dimensions)
                dims = i;
            else if (t == id::dbcell)
                ++nbDbcell;
            else if (t == id::row)
                rows[lire16(d.constData())] = i;
            else if (estCase(t)) {
                const int l = lire16(d.constData()), c1 = lire16(d.constData() + 2);
                const int c2 = (t == id::mulrk || t == id::mulblank)
                    ? lire16(d.constData() + d.size() - 2)
                    : c1;
                EXPECT_GE(l, ligneAvant) << "lignes dans le désordre à l'octet " << enr[i].position;
                if (l == ligneAvant) {
                    EXPECT_GT(c1, colonneAvant) << "colonnes dans le désordre, ligne " << l;
                }
                if (t == id::mulrk || t == id::mulblank) {
                    EXPECT_GT(c2, c1) << "suite d'une seule case";
                }
                ligneAvant = l;
                colonneAvant = c2;
                auto &cc = colonnesParLigne.try_emplace(l, c1, c2 + 1).first->second;
                cc.first = std::min(cc.first, c1);
                cc.second = std::max(cc.second, c2 + 1);
            }
        }
        for (const auto &[l, cc] : colonnesParLigne) {
            const auto r = rows.find(l);
            if (r == rows.end())
                continue;
            const QByteArray d = b.donnees(r->second);
            EXPECT_LE(lire16(d.constData() + 2), cc.first) << "ROW " << l;
            EXPECT_GE(lire16(d.constData() + 4), cc.second) << "ROW " << l;
        }
        if (dims && !colonnesParLigne.empty()) {
            const QByteArray d = b.donnees(*dims);
            EXPECT_LE(lire32(d.constData()), std::uint32_t(colonnesParLigne.begin()->first));
            EXPECT_GT(lire32(d.constData() + 4), std::uint32_t(colonnesParLigne.rbegin()->first));
            for (const auto &[l, cc] : colonnesParLigne) {
                EXPECT_LE(lire16(d.constData() + 8), cc.first) << "DIMENSIONS, ligne " << l;
                EXPECT_GE(lire16(d.constData() + 10), cc.second) << "DIMENSIONS, ligne " << l;
            }
        }
        const auto k = std::size_t(&f - b.feuilles().data());
        if (!indexEnr || !reecrites.count(k))
            continue;
        const QByteArray x = b.donnees(*indexEnr);
        if (!colonnesParLigne.empty()) { // lignes [premiere, fin) : toutes celles qui ont des cases
            EXPECT_LE(lire32(x.constData() + 4), std::uint32_t(colonnesParLigne.begin()->first));
            EXPECT_GT(lire32(x.constData() + 8), std::uint32_t(colonnesParLigne.rbegin()->first));
        }
        if (defCol) {
            EXPECT_EQ(lire32(x.constData() + 12), enr[*defCol].position);
        }
        const int nb = (int(x.size()) - 16) / 4;
        EXPECT_EQ(nb, nbDbcell);
        for (int k = 0; k < nb; ++k) {
            const auto p = parPosition.find(lire32(x.constData() + 16 + 4 * k));
            ASSERT_NE(p, parPosition.end()) << "INDEX vers rien";
            ASSERT_EQ(enr[p->second].id, id::dbcell) << "INDEX ne vise pas un DBCELL";
            const QByteArray db = b.donnees(p->second);
            const auto premierRow
                = parPosition.find(enr[p->second].position - lire32(db.constData()));
            ASSERT_NE(premierRow, parPosition.end());
            ASSERT_EQ(enr[premierRow->second].id, id::row) << "DBCELL ne vise pas un ROW";
            // Chaque écart mène à la première case de la ligne du ROW correspondant.
            std::uint32_t pos = enr[premierRow->second].position + 20;
            for (int j = 0; j < (int(db.size()) - 4) / 2; ++j) {
                pos += lire16(db.constData() + 4 + 2 * j);
                const std::size_t row = premierRow->second + std::size_t(j);
                ASSERT_EQ(enr[row].id, id::row);
                const int ligne = lire16(b.donnees(row).constData());
                if (!colonnesParLigne.count(ligne))
                    continue;
                const auto c = parPosition.find(pos);
                ASSERT_NE(c, parPosition.end()) << "DBCELL vers rien, ligne " << ligne;
                ASSERT_TRUE(estCase(enr[c->second].id))
                    << "DBCELL ne vise pas une case, ligne " << ligne;
                const QByteArray cd = b.donnees(c->second);
                EXPECT_EQ(lire16(cd.constData()), ligne);
                EXPECT_EQ(lire16(cd.constData() + 2), colonnesParLigne[ligne].first)
                    << "ligne " << ligne;
            }
        }
    }
}

/// Valeurs variées : nombres, textes accentués, hors Latin-1, longs, semblables à des nombres.
inline Cellule valeurAuHasard(std::mt19937 &g)
{
    static const QStringList textes {
        u"Éloïse Müller-Øster"_s,
        u"Çà et là : œuvre « française »"_s,
        u"Łódź – Ωμέγα – 東京 – жЖ"_s,
        u" 75"_s,
        u"7,5"_s,
        u"75 "_s,
        u"075"_s,
        u"1e5"_s,
        u"+3"_s,
        u"-.5"_s,
        u"12abc"_s,
        u"Dupont"_s,
        u"Deux mots\nligne"_s,
    };
    switch (std::uniform_int_distribution<int>(0, 7)(g)) {
    case 0:
        return Cellule::nombre(std::uniform_int_distribution<int>(-1000, 100000)(g));
    case 1:
        return Cellule::nombre(std::uniform_int_distribution<int>(-500, 500)(g) / 7.0);
    case 2:
        return Cellule::nombre(std::uniform_int_distribution<int>(0, 1)(g) ? 1e15 + 0.5 : 1e-300);
    case 3:
    case 4:
        return Cellule::texte(
            textes[std::uniform_int_distribution<int>(0, int(textes.size()) - 1)(g)]);
    case 5: {
        const int n = std::uniform_int_distribution<int>(256, 12000)(g);
        QString t;
        for (int i = 0; i < n; ++i)
            t.append(QChar(char16_t(i % 3 == 0 ? u'a' + i % 26
                    : i % 3 == 1               ? u'é'
                                               : u'Ж' + i % 20)));
        return Cellule::texte(t);
    }
    case 6:
        return Cellule::texte(u"Coureur %1"_s.arg(std::uniform_int_distribution<int>(0, 99999)(g)));
    default:
        return Cellule();
    }
}

/**
 * `n` écritures au hasard dans chacune des feuilles DYN_cyclist et DYN_team : cases existantes,
 * cases de suites MULRK/MULBLANK, places vides dans la plage utilisée et bien au-delà. Les
 * valeurs sont celles que le tableur pose (règle du nombre appliquée).
 */
inline Ecritures ecrituresAuHasard(const ClasseurBiff &b, int n, unsigned graine)
{
    std::mt19937 g(graine);
    Ecritures r;
    for (const QString &nom : { u"DYN_cyclist"_s, u"DYN_team"_s }) {
        const int k = b.chercherFeuille(nom);
        if (k < 0)
            continue;
        const FeuilleBiff cases = b.lireFeuille(std::size_t(k));
        int ligneMax = 0, colonneMax = 0;
        std::vector<std::pair<int, int>> existantes, enSuite;
        for (const Case &c : cases.cases()) {
            const auto t = b.enregistrements()[c.enregistrement].id;
            if (t == id::formula)
                continue; // les formules ont leurs propres tests
            for (int col = c.colonne; col <= c.derniere; ++col)
                (t == id::mulrk || t == id::mulblank ? enSuite : existantes)
                    .push_back({ c.ligne, col });
            ligneMax = std::max<int>(ligneMax, c.ligne);
            colonneMax = std::max<int>(colonneMax, c.derniere);
        }
        auto &e = r[std::size_t(k)];
        const auto hasard
            = [&](int a, int z) { return std::uniform_int_distribution<int>(a, z)(g); };
        for (int i = 0; i < n; ++i) {
            std::pair<int, int> p;
            const int sorte = hasard(0, 9);
            if (sorte < 4 && !existantes.empty()) {
                p = existantes[std::size_t(hasard(0, int(existantes.size()) - 1))];
            } else if (sorte < 6 && !enSuite.empty()) {
                p = enSuite[std::size_t(hasard(0, int(enSuite.size()) - 1))];
            } else if (sorte < 8) {
                p = { hasard(0, ligneMax), hasard(0, colonneMax) };
            } else {
                p = { hasard(ligneMax + 1, 65535), hasard(0, 255) };
            }
            e[p] = zarvo::sheet::valeurPosee(valeurAuHasard(g));
        }
    }
    return r;
}

} // namespace aide_ecriture
