#include "lists/classements.h"

#include "model/tri.h"
#include "rider/formules.h"

namespace zarvo {

ResultatListe classement(Donnees &d, int colonne, const QLocale &langue)
{
    ResultatListe res;
    res.cdmVisible = false;
    // Le tri décroissant garde l'ordre des égaux : à score égal, l'ordre des noms.
    trierParNom(d);
    TriTableau(d.TabCoureurs, colonne, base::premiereLigneCoureur, base::derniereLigneCoureur, 0,
        base::colModifCoureur, 0);
    QVector<int> lignes;
    for (int k = 1; k <= tailleClassement; ++k)
        lignes.append(base::premiereLigneCoureur + k - 1);
    res.boutons = boutonsCoureurs(d, lignes, disposition::Classement, true, langue);
    return res;
}

ResultatListe Best5050_Click(Donnees &d, const QLocale &langue)
{
    return classement(d, base::colNote5050, langue);
}
ResultatListe Best8020_Click(Donnees &d, const QLocale &langue)
{
    return classement(d, base::colNote8020, langue);
}
ResultatListe CLM_Click(Donnees &d, const QLocale &langue)
{
    return classement(d, col::CLM, langue);
}
ResultatListe Grimpeurs_Click(Donnees &d, const QLocale &langue)
{
    return classement(d, col::Montagne, langue);
}
ResultatListe Sprinteurs_Click(Donnees &d, const QLocale &langue)
{
    return classement(d, col::Sprint, langue);
}

} // namespace zarvo
