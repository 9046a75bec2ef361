#pragma once

#include "classeur_jeu/disposition.h"
#include "model/bouton.h"
#include "model/conversions.h"
#include "model/donnees.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace zarvo {

/// Disposition d'une liste : pas vertical, hauteur des boutons, boutons après lesquels on passe
/// à la colonne suivante (pas d'autre rupture ensuite : la dernière colonne s'allonge).
struct Disposition
{
    int pas, hauteur, rupture1, rupture2;
};

namespace disposition {
constexpr int gauche = 50, haut = 220, largeurColonne = 1575;
constexpr Disposition Equipe { 340, 405, 15, 30 }; // recouvrement de 65 twips voulu
constexpr Disposition Libres { 270, 270, 22, 44 };
constexpr Disposition Classement { 340, 405, 17, 34 };
} // namespace disposition

/**
 * Le constructeur unique des listes de boutons coureurs : un bouton par ligne de `lignes`,
 * dans l'ordre, étiqueté de sa ligne de TabCoureurs. Avec `numeroter`, légende et infobulle
 * commencent par le rang (1, 2…) suivi de "-".
 */
QVector<DescriptionBouton> boutonsCoureurs(const Donnees &d, const QVector<int> &lignes,
    const Disposition &disp, bool numeroter = false, const QLocale &langue = QLocale());

/**
 * Ce qu'une liste (équipe, libres, classement, recherche) demande à la fenêtre, après
 * EffaceCarac qu'elle fait toujours en premier.
 */
struct ResultatListe
{
    bool cdmVisible = true;
    std::optional<QString> rechtext; ///< nouveau texte du compteur ; absent : inchangé
    bool remplacerBoutons = true; ///< false : les boutons de la liste précédente restent
    QVector<DescriptionBouton> boutons;
    QStringList careq; ///< textes de Careq(1..6) ; vide : les cases restent vides
    int numEq = 0; ///< nouvelle valeur de NumEq
};

/// Texte du compteur de la recherche pour n coureurs.
QString texteCompteur(int n);

/// Partie entière d'une case ; rien pour une case vide ou un texte qui n'est pas un nombre.
std::optional<double> partieEntiere(const Cellule &c, const QLocale &langue = QLocale());

/// Tri de toute la table des coureurs par nom croissant, comme chaque liste le fait d'abord.
void trierParNom(Donnees &d);

/// Ce qu'un parcours trouve : les lignes retenues, dans l'ordre de la table, et la dernière
/// ligne d'id 327 (0 : aucune).
struct Trouvailles
{
    QVector<int> lignes;
    int champion = 0;
};

/// Le parcours de toutes les lignes, sans rien changer : les listes et le profil d'équipe.
template<typename Predicat>
Trouvailles trouver(const Donnees &d, Predicat retenir, const QLocale &langue = QLocale())
{
    Trouvailles t;
    for (int r = base::premiereLigneCoureur; r <= base::derniereLigneCoureur; ++r) {
        if (valeurNumerique(d.TabCoureurs(r, col::Id), langue) == double(base::idChampion))
            t.champion = r;
        if (retenir(r))
            t.lignes.append(r);
    }
    return t;
}

/**
 * Parcours commun des listes d'équipe, des libres et de la recherche : sur toutes les lignes,
 * la dernière ligne d'id 327 devient IndexChampion (gardé s'il n'y en a pas) ; les lignes que
 * `retenir` accepte remplissent ListeLignes (élément 0 inutilisé), dans l'ordre de la table.
 */
template<typename Predicat>
void parcourir(Donnees &d, Predicat retenir, const QLocale &langue = QLocale())
{
    const Trouvailles t = trouver(d, retenir, langue);
    if (t.champion != 0)
        d.IndexChampion = t.champion;
    d.ListeLignes = QVector<int> { 0 } + t.lignes;
}

/// Lignes de ListeLignes des positions premiere..derniere (1 = première trouvée), bornées.
QVector<int> positionsListe(const Donnees &d, int premiere, int derniere);

} // namespace zarvo
