#pragma once

// Petits classeurs inventés pour les tests, déposés dans un tableur en mémoire.

#include "soutien/memoire.h"

#include <QString>

namespace essai {

using namespace Qt::StringLiterals;

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
    c.ordre = { u"DYN_cyclist"_s, u"DYN_team"_s };
    auto &fc = c.feuilles[u"DYN_cyclist"_s];
    for (int col = 1; col <= 33; ++col)
        fc[{ 1, col }] = t(u"col%1"_s.arg(col));
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
    auto &fe = c.feuilles[u"DYN_team"_s];
    for (const Equipe &e : equipes) {
        if (!e.id.estVide())
            fe[{ e.ligne, 1 }] = e.id;
        fe[{ e.ligne, 2 }] = t(e.nom);
        if (!e.division.estVide())
            fe[{ e.ligne, 3 }] = e.division;
        fe[{ e.ligne, 4 }] = n(7);
        fe[{ e.ligne, 5 }] = t(e.abreviation);
        fe[{ e.ligne, 6 }] = t(e.abreviation.toLower() + u".velo"_s);
    }
    return c;
}

/// Classeur ordinaire : quelques coureurs, des équipes des deux divisions, l'équipe 61.
inline TableurMemoire::ClasseurMemoire classeurOrdinaire()
{
    return classeur(
        {
            { 2, 101, u"Vernier"_s, u"Paul"_s, 11, 71, 71 },
            { 3, 102, u"Abeloos"_s, u"Jan"_s, 61, 75, 70 },
            { 4, 327, u"Moreau"_s, u"Luc"_s, 2, 70, 74 },
            { 5, 104, u"Moreau"_s, u"Yves"_s, 2, 73, 70 },
            { 973, 105, u"Zanetti"_s, u"Dario"_s, 11, 60, 65 },
        },
        {
            { 1, Cellule(), u"id"_s, Cellule(), u"abbr"_s },
            { 2, n(11), u"Équipe Onze"_s, n(1), u"ONZ"_s },
            { 3, n(13), u"Équipe Treize"_s, n(1), u"TRE"_s },
            { 4, n(2), u"Les Deux"_s, n(2), u"DEU"_s },
            { 5, n(61), u"Sans équipe"_s, n(1), u"FA"_s },
            { 6, n(1), u"Alpha Vélo"_s, n(1), u"ALP"_s },
            { 7, n(63), u"Continentale"_s, n(3), u"CON"_s },
            { 8, n(201), u"Bêta Cyclisme"_s, n(2), u"BET"_s },
            { 74, n(5), u"Dernière ligne"_s, n(1), u"DER"_s },
            { 75, n(6), u"Hors des 74"_s, n(1), u"HOR"_s },
        });
}

} // namespace essai
