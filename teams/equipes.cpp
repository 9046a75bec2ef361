#include "teams/equipes.h"

#include "classeur_jeu/disposition.h"
#include "rider/saisie.h"

namespace zarvo {

namespace {

QStringList ficheEquipe(const Donnees &d, int ligne, const QLocale &langue)
{
    QStringList fiche;
    for (int k = colEq::Id; k <= disposition::derniereColonneEquipe; ++k)
        fiche << texteCellule(d.TabEquipes(ligne, k), langue);
    return fiche;
}

// Coureurs d'une équipe : on compare les parties entières ; un id illisible ne retient rien.
auto dansEquipe(const Donnees &d, std::optional<double> id, const QLocale &langue)
{
    return [&d, id, &langue](
               int r) { return id && partieEntiere(d.TabCoureurs(r, col::Equipe), langue) == id; };
}

void parcourirEquipe(Donnees &d, std::optional<double> id, const QLocale &langue)
{
    parcourir(d, dansEquipe(d, id, langue), langue);
}

} // namespace

ResultatListe Chargeq_Click(Donnees &d, int ligneEquipe, const QLocale &langue)
{
    ResultatListe res;
    res.rechtext = texteCompteur(0); // le compteur appartient à la recherche
    trierParNom(d);
    parcourirEquipe(d, partieEntiere(d.TabEquipes(ligneEquipe, colEq::Id), langue), langue);
    res.boutons = boutonsCoureurs(d, d.ListeLignes.mid(1), disposition::Equipe, false, langue);
    res.careq = ficheEquipe(d, ligneEquipe, langue);
    res.numEq = ligneEquipe;
    d.Modifications.finirSaisie();
    return res;
}

ResultatListe Free_Click(Donnees &d, int x, const QLocale &langue)
{
    ResultatListe res;
    trierParNom(d);
    // Sans équipe 61, IndexLibres vaut 0 : on parcourt quand même (IndexChampion) sans rien
    // retenir, plutôt que de lire hors de la table.
    const bool libresConnus = d.TabEquipes.contient(d.IndexLibres, colEq::Id);
    parcourirEquipe(d,
        libresConnus ? partieEntiere(d.TabEquipes(d.IndexLibres, colEq::Id), langue) : std::nullopt,
        langue);
    const int n = int(d.ListeLignes.size()) - 1;
    const QVector<int> lignes = x == 1 ? positionsListe(d, 1, tailleListeLibres1)
                                       : positionsListe(d, tailleListeLibres1 + 1, n);
    res.boutons = boutonsCoureurs(d, lignes, disposition::Libres, false, langue);
    if (libresConnus) {
        res.careq = ficheEquipe(d, d.IndexLibres, langue);
        res.numEq = d.IndexLibres;
        d.Modifications.finirSaisie();
    }
    return res;
}

EquipeDuCoureur equipeDuCoureur(const Donnees &d, int ligne, const QLocale &langue)
{
    EquipeDuCoureur e;
    const std::optional<double> id = partieEntiere(d.TabCoureurs(ligne, col::Equipe), langue);
    e.nom = texteCellule(d.TabCoureurs(ligne, col::Equipe), langue);
    for (int k = base::premiereLigneEquipe; k <= base::derniereLigneEquipe; ++k)
        if (id && partieEntiere(d.TabEquipes(k, colEq::Id), langue) == id) {
            e.nom = texteCellule(d.TabEquipes(k, colEq::Nom), langue);
            break;
        }
    e.lignes = trouver(d, dansEquipe(d, id, langue), langue).lignes;
    return e;
}

QString messageChoisirEquipe()
{
    return QStringLiteral("choisissez une équipe");
}

std::optional<QString> Careq_KeyUp(
    Donnees &d, int numEq, int index, const QString &texte, const QLocale &langue)
{
    if (index < colEq::Id || index > disposition::derniereColonneEquipe)
        return std::nullopt; // le drapeau (colonne suivante) ne s'écrit jamais par la fiche
    if (numEq == 0)
        return messageChoisirEquipe();
    if (texte.isEmpty())
        return std::nullopt; // une case vidée n'est jamais rangée
    if (const auto cellule = celluleSaisie(texte, genreChampEquipe(index), langue)) {
        const Cellule avant = d.TabEquipes(numEq, index);
        d.TabEquipes(numEq, index) = *cellule;
        d.Modifications.noter({ { { TableModif::Equipes,
                                    int(d.TabEquipes(numEq, base::colLigneFeuille).valeurNombre()),
                                    index, avant, *cellule } },
            true });
        d.TabEquipes(numEq, base::colModifEquipe) = Cellule::nombre(1);
    }
    return std::nullopt;
}

} // namespace zarvo
