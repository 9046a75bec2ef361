#include "rider/champion.h"

#include "classeur_jeu/disposition.h"
#include "model/conversions.h"

namespace zarvo {

QString avertissementChampion()
{
    const QChar cr(13);
    return QStringLiteral("Attention, cette commande inverse l'id de 2 coureurs ") + cr
        + QStringLiteral(" donc si vous inversez un champion de france avec le champion du monde,")
        + cr
        + QStringLiteral("  le champion du monde actuel deviendra champion de france (ex: "
                         "Castravel=> champion de france)");
}

QString messageChampionIntrouvable()
{
    return QStringLiteral("Le champion du monde actuel (id 327) n'a pas été trouvé : affichez "
                          "d'abord une équipe, les coureurs libres ou une recherche qui le "
                          "contient. Aucun id n'a été changé.");
}

QString messageIdIllisible()
{
    return QStringLiteral("L'id de ce coureur n'est pas un nombre : corrigez-le avant d'en faire "
                          "le champion du monde. Aucun id n'a été changé.");
}

ResultatChampion CDM_Click(Donnees &d, int numLigne, const QLocale &langue)
{
    ResultatChampion res;
    if (numLigne == 0)
        return res;
    Tableau &t = d.TabCoureurs;
    const int c = d.IndexChampion;
    // La ligne tenue peut ne jamais avoir été trouvée ou avoir perdu l'id par une saisie.
    const bool championValide = t.contient(c, col::Id)
        && valeurNumerique(t(c, col::Id), langue) == double(base::idChampion);
    if (!championValide) {
        res.messages << messageChampionIntrouvable();
        return res;
    }
    const Cellule ancien = t(numLigne, col::Id);
    const auto ancienId = ancien.estVide() ? std::nullopt : valeurNumerique(ancien, langue);
    if (!ancienId) {
        res.messages << messageIdIllisible();
        return res;
    }
    res.messages << avertissementChampion();
    const Cellule ancienChampion = t(c, col::Id);
    t(numLigne, col::Id) = Cellule::nombre(base::idChampion);
    t(numLigne, base::colModifCoureur) = Cellule::nombre(1);
    t(c, col::Id) = Cellule::nombre(plancher(*ancienId));
    t(c, base::colModifCoureur) = Cellule::nombre(1);
    d.IndexChampion = numLigne;
    // Un seul pas pour les deux coureurs : annuler rend à chacun son id.
    d.Modifications.noter(
        { { { TableModif::Coureurs, int(t(numLigne, base::colLigneFeuille).valeurNombre()), col::Id,
                ancien, t(numLigne, col::Id) },
            { TableModif::Coureurs, int(t(c, base::colLigneFeuille).valeurNombre()), col::Id,
                ancienChampion, t(c, col::Id) } } });
    res.note1 = texteCellule(t(numLigne, col::Id), langue);
    res.echange = true;
    return res;
}

} // namespace zarvo
