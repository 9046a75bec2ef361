#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>

namespace zarvo::systeme {

/**
 * Les seuls appels au système hors de Qt, réunis ici : Qt n'offre ni la synchronisation d'un
 * dossier, ni une création de dossier qui distingue « existe déjà » d'un vrai refus, ni le
 * genre exact d'un chemin (tube, périphérique…), ni l'identité d'un fichier (périphérique et
 * inode), ni une lecture qui ne bloque jamais et ne dépasse jamais un plafond, ni le
 * propriétaire à rendre au fichier remplacé. Chaque appel a sa voie Qt seule, plus pauvre,
 * prise hors POSIX (Windows, par exemple).
 */

/// Issue de la création d'un dossier neuf.
struct CreationDossier
{
    enum Etat { Cree, Existe, Refuse } etat = Refuse;
    QString raison; ///< texte du système quand le dossier est refusé
};

/// Crée le dossier `chemin` sans jamais réutiliser un dossier existant.
CreationDossier creerDossierNeuf(const QString &chemin);

/// Rend durable sur le disque le renommage d'un fichier (synchronise son dossier) ; sans effet
/// là où le système ne le permet pas ou le fait lui-même.
void synchroniserDossierDe(const QString &cheminFichier);

enum class Genre { Absent, LienCasse, Ordinaire, Dossier, Tube, Peripherique, Prise, Autre };

/// Ce qui distingue un fichier d'un autre mis à sa place sous le même nom.
struct Identite
{
    std::uint64_t peripherique = 0, inode = 0;
    bool connue = false; ///< faux là où le système ne la donne pas : seul le contenu compte
    bool operator==(const Identite &) const = default;
};

/// Propriétaire, groupe et droits d'un fichier.
struct Attributs
{
    std::uint32_t proprietaire = 0, groupe = 0, droits = 0;
};

/// Genre du fichier au bout de `chemin` (liens suivis ; un lien sans cible : LienCasse).
Genre genre(const QString &chemin);

/// Ce qu'est un chemin qui n'est pas un fichier ordinaire, en français (« un dossier »…).
QString nomGenre(Genre g);

/// Identité et attributs du fichier au bout de `chemin`, s'il existe.
std::optional<std::pair<Identite, Attributs>> etat(const QString &chemin);

struct Lecture
{
    QByteArray octets;
    Identite identite;
    Genre genre = Genre::Absent;
    bool tropGros = false; ///< plus de `plafond` octets : rien n'est rendu
    QString erreur; ///< raison d'un échec d'ouverture ou de lecture, vide sinon
};

/**
 * Lit un fichier ordinaire, par morceaux, sans jamais attendre (un tube nommé ne bloque pas)
 * ni lire plus de `plafond` + 1 octets, quelle que soit la taille que le fichier annonce. Un
 * chemin qui n'est pas un fichier ordinaire n'est pas lu : `genre` dit ce qu'il est.
 */
Lecture lire(const QString &chemin, qint64 plafond);

/**
 * Rend au fichier ouvert `descripteur` les attributs `a` (propriétaire et groupe d'abord,
 * puis les droits, qu'un changement de propriétaire peut toucher). Rend ce qui n'a pas pu
 * l'être, en français, vide si tout est rendu.
 */
QString rendreAttributs(int descripteur, const Attributs &a);

/// Raison en français du dernier échec d'un appel système (errno), vide s'il n'y en a pas.
QString raisonDerniereErreur();

} // namespace zarvo::systeme
