#include "lists/recherche.h"

#include "classeur_jeu/disposition.h"

namespace zarvo {

bool nomCommencePar(const Cellule &nom, const QString &texteMajuscule, const QLocale &langue)
{
    // Comparaison par codes après mise en majuscules : "e" trouve "E" mais pas "É".
    return langue.toUpper(texteCellule(nom, langue)).startsWith(texteMajuscule);
}

ResultatListe rech_KeyUp(Donnees &d, const QString &texte, const QLocale &langue)
{
    ResultatListe res;
    // Le compteur montre d'abord la dernière ligne de la table (973), pas le nombre de coureurs.
    res.rechtext = texteCompteur(base::derniereLigneCoureur);
    if (texte.isEmpty()) {
        res.remplacerBoutons = false;
        return res;
    }
    trierParNom(d);
    const QString cherche = langue.toUpper(texte);
    parcourir(
        d, [&](int r) { return nomCommencePar(d.TabCoureurs(r, col::Nom), cherche, langue); },
        langue);
    const int n = int(d.ListeLignes.size()) - 1;
    res.rechtext = texteCompteur(n);
    if (n <= maxRecherche)
        res.boutons = boutonsCoureurs(d, d.ListeLignes.mid(1), disposition::Equipe, false, langue);
    return res;
}

} // namespace zarvo
