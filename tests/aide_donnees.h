#pragma once

// Petites bases inventées pour les tests de la logique (listes, panneau, export).
#include "model/donnees.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <ostream>
#include <stdexcept>

namespace zarvo {

/// Case lisible dans les messages de GoogleTest.
inline void PrintTo(const Cellule &c, std::ostream *os)
{
    if (c.estVide())
        *os << "(vide)";
    else if (c.estNombre())
        *os << c.valeurNombre();
    else
        *os << '"' << c.valeurTexte().toStdString() << '"';
}

} // namespace zarvo

namespace zarvo::essai {

inline const QLocale fr(QLocale::French, QLocale::France);

/// Coureur de la ligne r : colonne 5 à 1, caractéristiques 70, potentiels 72, notes vides.
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
    if (id == base::idEquipeLibres)
        d.IndexLibres = k;
}

/// Remplit les tables ligne après ligne, comme un classeur chargé (lignes suivantes vides).
struct Base
{
    Donnees d;
    int prochainCoureur = base::premiereLigneCoureur;
    int prochaineEquipe = base::premiereLigneEquipe;

    /// Ajoute un coureur ; caractéristiques, potentiels et notes de chargement à `carac`.
    int coureur(double id, const QString &nom, const Cellule &equipe, double carac = 60)
    {
        const int r = prochainCoureur++;
        poserCoureur(d, r, id, nom, QStringLiteral("Jean"), equipe);
        for (int c = 5; c <= 35; ++c)
            d.TabCoureurs(r, c) = Cellule::nombre(c < 10 ? c : carac);
        return r;
    }
    int coureur(double id, const QString &nom, double equipe, double carac = 60)
    {
        return coureur(id, nom, Cellule::nombre(equipe), carac);
    }

    int equipe(double id, const QString &nom, const QString &abrev, double division = 1)
    {
        const int k = prochaineEquipe++;
        poserEquipe(
            d, k, id, nom, Cellule::nombre(division), abrev, QStringLiteral("equipe.example"));
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

/// Légendes des boutons rendus par une liste.
template<class Resultat>
QStringList legendes(const Resultat &r)
{
    QStringList l;
    for (const auto &b : r.boutons)
        l << b.legende;
    return l;
}

} // namespace zarvo::essai
