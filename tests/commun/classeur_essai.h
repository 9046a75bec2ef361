#pragma once

// Petits classeurs inventés pour les tests, déposés dans un tableur en mémoire.

#include "sheet/memoire.h"

#include <QString>

namespace essai {

using zarvo::Cellule;
using zarvo::sheet::TableurMemoire;

inline Cellule n(double v)
{
    return Cellule::nombre(v);
}
inline Cellule t(const QString &v)
{
    return Cellule::texte(v);
}

struct Coureur
{
    int ligne; ///< ligne de la feuille
    int id;
    QString nom, prenom;
    int equipe;
    double montagne = 70, vallons = 70;
};

struct Equipe
{
    int ligne;
    Cellule id;
    QString nom;
    Cellule division;
    QString abreviation;
};

/// Un classeur aux deux feuilles, coureurs et équipes donnés, entête en ligne 1.
inline TableurMemoire::ClasseurMemoire classeur(
    const QList<Coureur> &coureurs, const QList<Equipe> &equipes)
{
    TableurMemoire::ClasseurMemoire c;
    c.ordre = { QStringLiteral("DYN_cyclist"), QStringLiteral("DYN_team") };
    auto &fc = c.feuilles[QStringLiteral("DYN_cyclist")];
    for (int col = 1; col <= 33; ++col)
        fc[{ 1, col }] = t(QStringLiteral("col%1").arg(col));
    for (const Coureur &r : coureurs) {
        fc[{ r.ligne, 1 }] = n(r.id);
        fc[{ r.ligne, 2 }] = t(r.nom);
        fc[{ r.ligne, 3 }] = t(r.prenom);
        fc[{ r.ligne, 4 }] = n(r.equipe);
        fc[{ r.ligne, 5 }] = n(9);
        for (int col = 6; col <= 33; ++col)
            fc[{ r.ligne, col }] = n(50 + col);
        fc[{ r.ligne, 12 }] = n(r.montagne);
        fc[{ r.ligne, 14 }] = n(r.vallons);
    }
    auto &fe = c.feuilles[QStringLiteral("DYN_team")];
    for (const Equipe &e : equipes) {
        if (!e.id.estVide())
            fe[{ e.ligne, 1 }] = e.id;
        fe[{ e.ligne, 2 }] = t(e.nom);
        if (!e.division.estVide())
            fe[{ e.ligne, 3 }] = e.division;
        fe[{ e.ligne, 4 }] = n(7);
        fe[{ e.ligne, 5 }] = t(e.abreviation);
        fe[{ e.ligne, 6 }] = t(e.abreviation.toLower() + QStringLiteral(".velo"));
    }
    return c;
}

/// Classeur ordinaire : quelques coureurs, des équipes des deux divisions, l'équipe 61.
inline TableurMemoire::ClasseurMemoire classeurOrdinaire()
{
    return classeur(
        {
            { 2, 101, QStringLiteral("Vernier"), QStringLiteral("Paul"), 11, 71, 71 },
            { 3, 102, QStringLiteral("Abeloos"), QStringLiteral("Jan"), 61, 75, 70 },
            { 4, 327, QStringLiteral("Moreau"), QStringLiteral("Luc"), 2, 70, 74 },
            { 5, 104, QStringLiteral("Moreau"), QStringLiteral("Yves"), 2, 73, 70 },
            { 973, 105, QStringLiteral("Zanetti"), QStringLiteral("Dario"), 11, 60, 65 },
        },
        {
            { 1, Cellule(), QStringLiteral("id"), Cellule(), QStringLiteral("abbr") },
            { 2, n(11), QStringLiteral("Équipe Onze"), n(1), QStringLiteral("ONZ") },
            { 3, n(13), QStringLiteral("Équipe Treize"), n(1), QStringLiteral("TRE") },
            { 4, n(2), QStringLiteral("Les Deux"), n(2), QStringLiteral("DEU") },
            { 5, n(61), QStringLiteral("Sans équipe"), n(1), QStringLiteral("FA") },
            { 6, n(1), QStringLiteral("Alpha Vélo"), n(1), QStringLiteral("ALP") },
            { 7, n(63), QStringLiteral("Continentale"), n(3), QStringLiteral("CON") },
            { 8, n(201), QStringLiteral("Bêta Cyclisme"), n(2), QStringLiteral("BET") },
            { 74, n(5), QStringLiteral("Dernière ligne"), n(1), QStringLiteral("DER") },
            { 75, n(6), QStringLiteral("Hors des 74"), n(1), QStringLiteral("HOR") },
        });
}

} // namespace essai
