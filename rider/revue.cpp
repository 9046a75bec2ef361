#include "rider/revue.h"

#include "classeur_jeu/disposition.h"
#include "model/conversions.h"
#include "rider/annulation.h"
#include "rider/panneau.h"

namespace zarvo {

namespace {

QString valeur(const Cellule &c, const QLocale &langue)
{
    return c.estVide() ? QStringLiteral("(vide)") : texteCellule(c, langue);
}

QString titre(const Donnees &d, TableModif table, int ligneFeuille, const QLocale &langue)
{
    const bool coureur = table == TableModif::Coureurs;
    const Tableau &t = coureur ? d.TabCoureurs : d.TabEquipes;
    const int r = ligneDeFeuille(t, ligneFeuille);
    if (r == 0)
        return QStringLiteral("Ligne %1").arg(ligneFeuille);
    // L'id et le nom actuels : ils ont pu changer eux-mêmes.
    return coureur
        ? QStringLiteral("Coureur %1 : %2 %3")
              .arg(texteCellule(t(r, col::Id), langue), texteCellule(t(r, col::Nom), langue),
                  texteCellule(t(r, col::Prenom), langue))
              .trimmed()
        : QStringLiteral("Équipe %1 : %2")
              .arg(texteCellule(t(r, colEq::Id), langue), texteCellule(t(r, colEq::Nom), langue));
}

QString ligneChamp(const Donnees &d, const Modif &m, const QLocale &langue)
{
    return QStringLiteral("    %1 : %2 → %3")
        .arg(nomChamp(d, m.table, m.colonne), valeur(m.avant, langue), valeur(m.apres, langue));
}

} // namespace

QString texteBoutonModifs(int nbEnAttente)
{
    return QStringLiteral("Modifications (%1)").arg(nbEnAttente);
}

QString nomChamp(const Donnees &d, TableModif table, int colonne)
{
    const auto entete = [&](const QStringList &entetes) {
        const QString e = entetes.value(colonne - 1);
        return e.isEmpty() ? QStringLiteral("Colonne ") + lettresColonne(colonne) : e;
    };
    if (table == TableModif::Equipes) {
        // Les étiquettes de la fiche ; le nom, l'abréviation et le suffixe n'en ont pas.
        switch (colonne) {
        case colEq::Id:
            return QStringLiteral("Id");
        case colEq::Division:
            return QStringLiteral("GS");
        case colEq::Pays:
            return QStringLiteral("Pays");
        default:
            return entete(d.EntetesEquipes);
        }
    }
    if (colonne >= 10 && colonne <= 33) {
        const QString nom = nomsCaracteristiques().at((colonne - 10) / 2);
        return colonne % 2 == 0 ? nom : nom + QStringLiteral(" (potentiel)");
    }
    switch (colonne) {
    case 1:
        return QStringLiteral("IdCoureur");
    case 4:
        return QStringLiteral("Id Equipe");
    case 5:
        return QStringLiteral("Id Pays");
    case 9:
        return QStringLiteral("Points UCI");
    default:
        break;
    }
    // Nom, prénom, jour, mois, année : pas d'étiquette propre au panneau.
    return entete(d.EntetesCoureurs);
}

QList<LigneRevue> lignesRevue(const Donnees &d, const QLocale &langue)
{
    QList<LigneRevue> lignes;
    const QList<Attente> attente = d.Modifications.enAttente();
    // Groupes dans l'ordre de leur premier changement.
    QList<std::pair<TableModif, int>> groupes;
    for (const Attente &a : attente)
        if (!groupes.contains(std::pair(a.modif.table, a.modif.ligneFeuille)))
            groupes << std::pair(a.modif.table, a.modif.ligneFeuille);
    for (const auto &[table, ligneFeuille] : groupes) {
        lignes << LigneRevue { titre(d, table, ligneFeuille, langue), table, ligneFeuille, true,
            false, {} };
        QList<Attente> cases;
        for (const Attente &a : attente)
            if (a.modif.table == table && a.modif.ligneFeuille == ligneFeuille)
                cases << a;
        std::sort(cases.begin(), cases.end(),
            [](const Attente &a, const Attente &b) { return a.modif.colonne < b.modif.colonne; });
        for (const Attente &a : cases)
            lignes << LigneRevue { ligneChamp(d, a.modif, langue), table, ligneFeuille, false, true,
                a };
    }
    if (!d.Modifications.releves().isEmpty())
        lignes << LigneRevue { QStringLiteral("Potentiels relevés par la dernière application :"),
            TableModif::Coureurs, 0, true, false, {} };
    for (const Modif &m : d.Modifications.releves())
        lignes << LigneRevue { titre(d, m.table, m.ligneFeuille, langue) + QStringLiteral(" —")
                + ligneChamp(d, m, langue).mid(3) + QStringLiteral(" (appliqué)"),
            m.table, m.ligneFeuille, false, false, {} };
    return lignes;
}

} // namespace zarvo
