#pragma once

// Bases inventées pour les tests et les mesures de l'export.
#include "model/donnees.h"

#include <QString>

#include <random>

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

/**
 * Base pleine comme celle du jeu : 41 équipes (20 en GS1, 20 en GS2, la 61 sans division),
 * 972 coureurs répartis, un peu plus de 100 libres.
 */
inline Donnees basePleine()
{
    std::mt19937 g(2026);
    Donnees d;
    d.Colonnes = colonnesFeuilleCoureurs();
    for (int k = 1; k <= 41; ++k) {
        const int id = k == 41 ? base::idEquipeLibres : k;
        poserEquipe(d, k, id, QStringLiteral("Équipe n°%1").arg(id),
            k == 41 ? Cellule() : Cellule::nombre(k <= 20 ? 1 : 2),
            QStringLiteral("E%1").arg(id, 2, 10, QChar(u'0')), QStringLiteral("eq%1.fr").arg(id));
    }
    const char16_t *noms[]
        = { u"Martin", u"Bernard", u"Dubois", u"Thomas", u"Robert", u"Richard", u"Petit", u"Durand",
              u"Leroy", u"Moreau", u"Lefèvre", u"Kowalczyk", u"Øvergaard", u"Łukasz" };
    for (int r = 2; r <= 973; ++r) {
        const int equipe = (r - 2) % 9 == 0 ? base::idEquipeLibres : 1 + int(g() % 40);
        poserCoureur(d, r, r + 1000, QString::fromUtf16(noms[g() % 14]) + QString::number(r),
            QStringLiteral("Prénom"), Cellule::nombre(equipe));
        Tableau &t = d.TabCoureurs;
        t(r, 6) = Cellule::nombre(1 + g() % 28);
        t(r, 7) = Cellule::nombre(1 + g() % 12);
        t(r, 8) = Cellule::nombre(1980 + g() % 20);
        t(r, 9) = Cellule::nombre(g() % 900);
        for (int c = 10; c <= 33; ++c)
            t(r, c) = Cellule::nombre(50 + g() % 35 + (c % 2 == 1 ? 0.5 : 0));
    }
    return d;
}

} // namespace zarvo::essai
