#pragma once

// Petites bases inventées pour les tests des listes et du panneau.
#include "model/donnees.h"

#include <QString>

#include <stdexcept>

namespace zarvo::essai {

/// Remplit les tables ligne après ligne, comme un classeur chargé (lignes suivantes vides).
struct Base
{
    Donnees d;
    int prochainCoureur = base::premiereLigneCoureur;
    int prochaineEquipe = base::premiereLigneEquipe;

    /// Ajoute un coureur ; caractéristiques et potentiels à `carac`, notes de chargement fixées.
    int coureur(double id, const QString &nom, const Cellule &equipe, double carac = 60,
        const QString &prenom = QStringLiteral("Jean"))
    {
        const int r = prochainCoureur++;
        Tableau &t = d.TabCoureurs;
        t(r, 0) = Cellule::nombre(r);
        t(r, 1) = Cellule::nombre(id);
        t(r, 2) = Cellule::texte(nom);
        t(r, 3) = Cellule::texte(prenom);
        t(r, 4) = equipe;
        for (int c = 5; c <= 9; ++c)
            t(r, c) = Cellule::nombre(c);
        for (int c = 10; c <= 35; ++c)
            t(r, c) = Cellule::nombre(carac);
        t(r, 36) = Cellule::nombre(0);
        return r;
    }
    int coureur(double id, const QString &nom, double equipe, double carac = 60)
    {
        return coureur(id, nom, Cellule::nombre(equipe), carac);
    }

    int equipe(double id, const QString &nom, const QString &abrev, double division = 1)
    {
        const int k = prochaineEquipe++;
        Tableau &t = d.TabEquipes;
        t(k, 0) = Cellule::nombre(k);
        t(k, 1) = Cellule::nombre(id);
        t(k, 2) = Cellule::texte(nom);
        t(k, 3) = Cellule::nombre(division);
        t(k, 4) = Cellule::nombre(33);
        t(k, 5) = Cellule::texte(abrev);
        t(k, 6) = Cellule::texte(QStringLiteral("equipe.example"));
        t(k, 7) = Cellule::nombre(0);
        if (id == base::idEquipeLibres)
            d.IndexLibres = k;
        return k;
    }
};

/// Ligne actuelle du coureur d'id donné (les listes trient la table).
inline int ligneDe(const Donnees &d, double id)
{
    for (int r = base::premiereLigneCoureur; r <= base::derniereLigneCoureur; ++r) {
        const Cellule &c = d.TabCoureurs(r, 1);
        if (c.estNombre() && c.valeurNombre() == id)
            return r;
    }
    throw std::runtime_error("coureur introuvable");
}

/// Nom à numéro fixe sur trois chiffres, pour que l'ordre des noms suive le numéro.
inline QString nomNumerote(const QString &racine, int i)
{
    return racine + QString::number(i).rightJustified(3, u'0');
}

} // namespace zarvo::essai
