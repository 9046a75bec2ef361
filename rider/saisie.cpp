#include "rider/saisie.h"

#include "classeur_jeu/disposition.h"
#include "model/conversions.h"

namespace zarvo {

GenreChamp genreChampCoureur(int colonne)
{
    if (colonne == col::Nom || colonne == col::Prenom)
        return GenreChamp::Texte;
    if (colonne >= col::PremiereCarac)
        return GenreChamp::Caracteristique;
    return GenreChamp::Nombre;
}

GenreChamp genreChampEquipe(int colonne)
{
    return colonne == colEq::Id || colonne == colEq::Division || colonne == colEq::Pays
        ? GenreChamp::Nombre
        : GenreChamp::Texte;
}

std::optional<Cellule> celluleSaisie(const QString &texte, GenreChamp genre, const QLocale &langue)
{
    if (genre == GenreChamp::Texte)
        return Cellule::texte(texte);
    // Un nombre tapé reste un nombre : sinon le tri le classerait après tous les nombres et
    // l'équipe d'un coureur ne se retrouverait plus par sa valeur.
    if (const auto n = lireNombre(texte, langue))
        return Cellule::nombre(*n);
    if (genre == GenreChamp::Caracteristique)
        return std::nullopt;
    return Cellule::texte(texte);
}

bool caseCaracteristiqueEnErreur(int colonne, const QString &texte, const QLocale &langue)
{
    return genreChampCoureur(colonne) == GenreChamp::Caracteristique && !texte.isEmpty()
        && !lireNombre(texte, langue);
}

} // namespace zarvo
