#include "teams/liste.h"

#include "model/tri.h"

#include <algorithm>

namespace zarvo {

QVector<DescriptionBouton> boutonsCoureurs(const Donnees &d, const QVector<int> &lignes,
    const Disposition &disp, bool numeroter, const QLocale &langue)
{
    QVector<DescriptionBouton> boutons;
    boutons.reserve(lignes.size());
    int gauche = disposition::gauche, haut = disposition::haut;
    for (int j = 1; j <= lignes.size(); ++j) {
        const int r = lignes[j - 1];
        const QString nom = texteCellule(d.TabCoureurs(r, col::Nom), langue);
        const QString prenom = texteCellule(d.TabCoureurs(r, col::Prenom), langue);
        const QString rang = numeroter ? QString(QString::number(j) + u'-') : QString();
        DescriptionBouton b;
        b.legende = rang + nom;
        b.infobulle = rang + prenom + u' ' + nom;
        b.tag = QString::number(r);
        b.gauche = gauche;
        b.haut = haut;
        b.hauteur = disp.hauteur;
        boutons.append(b);
        haut += disp.pas;
        if (j == disp.rupture1 || j == disp.rupture2) {
            gauche += disposition::largeurColonne;
            haut = disposition::haut;
        }
    }
    return boutons;
}

QString texteCompteur(int n)
{
    return QStringLiteral(" nombre de coureurs trouvés : ") + QString::number(n);
}

std::optional<double> partieEntiere(const Cellule &c, const QLocale &langue)
{
    const auto v = valeurNumerique(c, langue);
    if (!v || c.estVide())
        return std::nullopt;
    return plancher(*v);
}

void trierParNom(Donnees &d)
{
    TriTableau(d.TabCoureurs, col::Nom, base::premiereLigneCoureur, base::derniereLigneCoureur, 0,
        base::colModifCoureur, -1);
}

QVector<int> positionsListe(const Donnees &d, int premiere, int derniere)
{
    const int n = int(d.ListeLignes.size()) - 1;
    premiere = std::max(premiere, 1);
    derniere = std::min(derniere, n);
    if (premiere > derniere)
        return {};
    return d.ListeLignes.mid(premiere, derniere - premiere + 1);
}

} // namespace zarvo
