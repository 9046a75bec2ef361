#pragma once

// Petites bases inventées pour les tests de l'export.
#include "model/donnees.h"

#include <QString>

namespace zarvo::essai {

/// Coureur de la ligne r : caractéristiques 70 (potentiel 72) sauf celles qu'on change ensuite.
inline void poserCoureur(
    Donnees &d, int r, double id, const QString &nom, const QString &prenom, const Cellule &equipe)
{
    Tableau &t = d.TabCoureurs;
    t(r, 0) = Cellule::nombre(r);
    t(r, 1) = Cellule::nombre(id);
    t(r, 2) = Cellule::texte(nom);
    t(r, 3) = Cellule::texte(prenom);
    t(r, 4) = equipe;
    t(r, 5) = Cellule::nombre(1);
    for (int c = 10; c <= 33; ++c)
        t(r, c) = Cellule::nombre(c % 2 == 0 ? 70 : 72);
    t(r, 36) = Cellule::nombre(0);
}

inline void poserEquipe(Donnees &d, int k, double id, const QString &nom, const Cellule &division,
    const QString &abrev, const QString &mail)
{
    Tableau &t = d.TabEquipes;
    t(k, 0) = Cellule::nombre(k);
    t(k, 1) = Cellule::nombre(id);
    t(k, 2) = Cellule::texte(nom);
    t(k, 3) = division;
    t(k, 4) = Cellule::nombre(3);
    t(k, 5) = Cellule::texte(abrev);
    t(k, 6) = Cellule::texte(mail);
    t(k, 7) = Cellule::nombre(0);
}

} // namespace zarvo::essai
