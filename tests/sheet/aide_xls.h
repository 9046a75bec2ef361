#pragma once

// Aides des tests du moteur .xls : classeurs du dépôt, programmes externes, écritures au hasard
// (graine fixe) et contrôle indépendant de la structure d'une feuille réécrite (ordre des
// cases, ROW, DIMENSIONS, INDEX et DBCELL), que les autres lecteurs ne regardent pas.

#include "commun/fichiers.h"
#include "sheet/valeur.h"
#include "sheet/xls/biff.h"
#include "sheet/xls/conteneur.h"
#include "sheet/xls/ecrivain_classeur.h"
#include "sheet/xls/enregistrements.h"
#include "sheet/xls/octets.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace aide {

using namespace zarvo;
using namespace zarvo::sheet;
using namespace zarvo::sheet::xls;
using essai::ecrireFichier;
using essai::lireFichier;

inline QString source(const QString &chemin)
{
    return QStringLiteral(ZARVO_SOURCE_DIR "/") + chemin;
}

/// Classeurs de tests/data/classeurs, chemins complets triés.
inline QStringList classeursDeTest()
{
    QStringList r;
    const QDir d(source(QStringLiteral("tests/data/classeurs")));
    for (const QString &nom : d.entryList({ QStringLiteral("*.xls") }, QDir::Files, QDir::Name))
        r << d.filePath(nom);
    return r;
}

struct Sortie
{
    int code = -1;
    QByteArray sortie, erreurs;
};

/// Lance un programme et attend sa fin (deux minutes au plus).
inline Sortie lancer(const QString &programme, const QStringList &args)
{
    QProcess p;
    p.start(programme, args);
    if (!p.waitForFinished(120000))
        return {};
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
        p.readAllStandardError() };
}

/// Le flux Workbook d'un classeur, lu.
inline ClasseurBiff ouvrir(const QString &chemin)
{
    const Conteneur c = Conteneur::lire(lireFichier(chemin));
    return ClasseurBiff::lire(c.lireFlux(c.chercherFlux(QStringLiteral("Workbook"))));
}

// Retouches d'un fichier composé à secteurs de 512 octets : entrée i du répertoire (les quatre
// premières sont dans son 1er secteur), entrée de FAT du secteur s.
inline qsizetype secteur(std::uint32_t s)
{
    return qsizetype(s + 1) * 512;
}
inline qsizetype entree(const Conteneur &c, int i)
{
    return secteur(lire32(c.octets().constData() + 48)) + 128 * i;
}
inline qsizetype entreeFat(const Conteneur &c, std::uint32_t s)
{
    return secteur(lire32(c.octets().constData() + 76 + 4 * (s / 128))) + 4 * qsizetype(s % 128);
}
inline int workbook(const Conteneur &c)
{
    return c.chercherFlux(QStringLiteral("Workbook"));
}
inline void poser32(QByteArray &o, qsizetype p, std::uint32_t v)
{
    ecrire32(o.data() + p, v);
}

/// Ligne, première et dernière colonne d'un enregistrement de case.
inline std::tuple<int, int, int> bornesCase(const ClasseurBiff &b, std::size_t i)
{
    const char *d = b.pointeur(i);
    const auto t = b.enregistrements()[i].id;
    const int c1 = lire16(d + 2);
    return { lire16(d), c1,
        t == id::mulrk || t == id::mulblank ? lire16(d + b.enregistrements()[i].longueur - 2)
                                            : c1 };
}

/**
 * Structure des feuilles de calcul réécrites (`reecrites`), sans rien emprunter à l'écrivain :
 * cases rangées, ROW et DIMENSIONS qui les couvrent, INDEX vers des DBCELL qui mènent chacun
 * à la première case de chaque ligne de son bloc.
 */
inline void controlerStructure(const ClasseurBiff &b, const Ecritures &reecrites)
{
    const auto &enr = b.enregistrements();
    std::map<std::uint32_t, std::size_t> parPosition;
    for (std::size_t i = 0; i < enr.size(); ++i)
        parPosition[enr[i].position] = i;
    for (const auto &[k, ecr] : reecrites) {
        const FeuilleDeclaree &f = b.feuilles()[k];
        SCOPED_TRACE(f.nom.toStdString());
        const SousFlux &s = b.sousFlux()[f.sousFlux];
        std::optional<std::size_t> indexEnr, defCol, dims;
        std::map<int, std::size_t> rows;
        std::map<int, std::pair<int, int>> colonnes; // par ligne : première, dernière + 1
        int nbDbcell = 0, ligneAvant = -1, colonneAvant = -1;
        for (const auto [i, premierNiveau] : ParcoursSousFlux(enr, s.premier, s.dernier)) {
            const auto t = enr[i].id;
            if (!premierNiveau)
                continue;
            if (t == id::index)
                indexEnr = i;
            else if (t == id::defColWidth)
                defCol = i;
            else if (t == id::dimensions)
                dims = i;
            nbDbcell += t == id::dbcell;
            if (t == id::row)
                rows[lire16(b.pointeur(i))] = i;
            if (!estCase(t))
                continue;
            const auto [l, c1, c2] = bornesCase(b, i);
            EXPECT_TRUE(l > ligneAvant || (l == ligneAvant && c1 > colonneAvant))
                << "case dans le désordre à l'octet " << enr[i].position;
            EXPECT_TRUE(c2 > c1 || (t != id::mulrk && t != id::mulblank)) << "suite d'une case";
            ligneAvant = l;
            colonneAvant = c2;
            auto &cc = colonnes.try_emplace(l, c1, c2 + 1).first->second;
            cc = { std::min(cc.first, c1), std::max(cc.second, c2 + 1) };
        }
        if (colonnes.empty())
            continue;
        for (const auto &[l, cc] : colonnes) {
            if (const auto r = rows.find(l); r != rows.end()) {
                EXPECT_LE(lire16(b.pointeur(r->second) + 2), cc.first) << "ROW " << l;
                EXPECT_GE(lire16(b.pointeur(r->second) + 4), cc.second) << "ROW " << l;
            }
            if (dims) {
                EXPECT_LE(lire16(b.pointeur(*dims) + 8), cc.first) << "DIMENSIONS " << l;
                EXPECT_GE(lire16(b.pointeur(*dims) + 10), cc.second) << "DIMENSIONS " << l;
            }
        }
        const std::uint32_t premiere = colonnes.begin()->first, fin = colonnes.rbegin()->first + 1;
        if (dims) {
            EXPECT_LE(lire32(b.pointeur(*dims)), premiere);
            EXPECT_GE(lire32(b.pointeur(*dims) + 4), fin);
        }
        if (!indexEnr)
            continue;
        const char *x = b.pointeur(*indexEnr);
        EXPECT_LE(lire32(x + 4), premiere);
        EXPECT_GE(lire32(x + 8), fin);
        if (defCol) {
            EXPECT_EQ(lire32(x + 12), enr[*defCol].position);
        }
        const int nb = (int(enr[*indexEnr].longueur) - 16) / 4;
        EXPECT_EQ(nb, nbDbcell);
        for (int j = 0; j < nb; ++j) {
            const auto p = parPosition.find(lire32(x + 16 + 4 * j));
            ASSERT_TRUE(p != parPosition.end() && enr[p->second].id == id::dbcell);
            const char *db = b.pointeur(p->second);
            const auto row = parPosition.find(enr[p->second].position - lire32(db));
            ASSERT_TRUE(row != parPosition.end() && enr[row->second].id == id::row);
            // Chaque écart mène à la première case de la ligne du ROW correspondant.
            std::uint32_t pos = enr[row->second].position + 20;
            for (int e = 0; e < (int(enr[p->second].longueur) - 4) / 2; ++e) {
                pos += lire16(db + 4 + 2 * e);
                const int ligne = lire16(b.pointeur(row->second + std::size_t(e)));
                if (!colonnes.count(ligne))
                    continue;
                const auto c = parPosition.find(pos);
                ASSERT_TRUE(c != parPosition.end() && estCase(enr[c->second].id))
                    << "DBCELL vers autre chose qu'une case, ligne " << ligne;
                EXPECT_EQ(std::get<0>(bornesCase(b, c->second)), ligne);
                EXPECT_EQ(std::get<1>(bornesCase(b, c->second)), colonnes[ligne].first);
            }
        }
    }
}

/// EXTSST : chaque paquet mène à l'en-tête de sa première chaîne, décalage compté depuis le début
/// de l'enregistrement qui la tient.
inline void controlerExtSst(const ClasseurBiff &c)
{
    const auto &enr = c.enregistrements();
    for (std::size_t i = c.sousFlux()[0].premier; i <= c.sousFlux()[0].dernier; ++i) {
        if (enr[i].id != id::extsst)
            continue;
        const char *x = c.pointeur(i);
        const std::size_t parPaquet = lire16(x);
        for (std::size_t k = 0; 10 + 8 * k <= enr[i].longueur; ++k) {
            const char *p = x + 2 + 8 * k;
            const std::uint32_t ib = lire32(p);
            ASSERT_LT(k * parPaquet, c.sst().size());
            ASSERT_LE(ib + 2, std::uint32_t(c.flux().size())) << "paquet " << k;
            EXPECT_EQ(lire16(c.flux().constData() + ib), c.sst()[k * parPaquet].texte.size())
                << "paquet " << k;
            for (const Enregistrement &r : enr)
                if (ib >= r.debutDonnees() && ib < r.fin()) {
                    EXPECT_EQ(lire16(p + 4), ib - r.position) << "paquet " << k;
                }
        }
    }
}

/// Valeurs variées : nombres, textes accentués, hors Latin-1, longs, semblables à des nombres.
inline Cellule valeurAuHasard(std::mt19937 &g)
{
    static const QStringList textes = QStringLiteral(
        "Éloïse Müller-Øster|Çà et là : œuvre « française »|Łódź – Ωμέγα – 東京 – жЖ| 75|7,5|75 "
        "|075|1e5|+3|-.5|12abc|Dupont|Deux mots\nligne")
                                          .split(u'|');
    const auto hasard = [&](int a, int z) { return std::uniform_int_distribution<int>(a, z)(g); };
    switch (hasard(0, 7)) {
    case 0:
        return Cellule::nombre(hasard(-1000, 100000));
    case 1:
        return Cellule::nombre(hasard(-500, 500) / 7.0);
    case 2:
        return Cellule::nombre(hasard(0, 1) ? 1e15 + 0.5 : 1e-300);
    case 3:
    case 4:
        return Cellule::texte(textes[hasard(0, int(textes.size()) - 1)]);
    case 5: {
        QString t;
        for (int i = 0, n = hasard(256, 12000); i < n; ++i)
            t.append(QChar(char16_t(i % 3 == 0 ? u'a' + i % 26
                    : i % 3 == 1               ? u'é'
                                               : u'Ж' + i % 20)));
        return Cellule::texte(t);
    }
    case 6:
        return Cellule::texte(QStringLiteral("Coureur %1").arg(hasard(0, 99999)));
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
    const auto hasard = [&](int a, int z) { return std::uniform_int_distribution<int>(a, z)(g); };
    Ecritures r;
    for (const char *nom : { "DYN_cyclist", "DYN_team" }) {
        const int k = b.chercherFeuille(QString::fromLatin1(nom));
        if (k < 0)
            continue;
        int ligneMax = 0, colonneMax = 0;
        std::vector<std::pair<int, int>> existantes, enSuite;
        const FeuilleBiff feuille = b.lireFeuille(std::size_t(k));
        for (const Case &c : feuille.cases()) {
            const auto t = b.enregistrements()[c.enregistrement].id;
            if (t == id::formula)
                continue; // les formules ont leurs propres tests
            for (int col = c.colonne; col <= c.derniere; ++col)
                (t == id::mulrk || t == id::mulblank ? enSuite : existantes)
                    .push_back({ c.ligne, col });
            ligneMax = std::max<int>(ligneMax, c.ligne);
            colonneMax = std::max<int>(colonneMax, c.derniere);
        }
        for (int i = 0; i < n; ++i) {
            std::pair<int, int> p;
            const int sorte = hasard(0, 9);
            if (sorte < 4 && !existantes.empty())
                p = existantes[std::size_t(hasard(0, int(existantes.size()) - 1))];
            else if (sorte < 6 && !enSuite.empty())
                p = enSuite[std::size_t(hasard(0, int(enSuite.size()) - 1))];
            else if (sorte < 8)
                p = { hasard(0, ligneMax), hasard(0, colonneMax) };
            else
                p = { hasard(ligneMax + 1, 65535), hasard(0, 255) };
            r[std::size_t(k)][p] = sheet::valeurPosee(valeurAuHasard(g));
        }
    }
    return r;
}

} // namespace aide
