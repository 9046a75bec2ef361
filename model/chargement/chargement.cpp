#include "model/chargement/chargement.h"

#include "model/conversions.h"
#include "model/notes.h"
#include "model/tri.h"
#include "sheet/erreur.h"
#include "sheet/tableur.h"

#include <QFileInfo>

namespace zarvo {

QString ListeEquipes()
{
    return QStringLiteral("-1-2-3-4-5-6-7-8-9-10-11-12-14-15-16-17-18-19-20-21-22-25-26-27-28-36-"
                          "63-64-65-67-68-70-72-73-74-75-81-83-85-201-61-");
}

namespace {

using sheet::ErreurClasseur;

QString messageInutilisable(const QString &chemin, const QString &raison)
{
    return QStringLiteral("Le classeur « %1 » ne peut pas être utilisé.")
               .arg(QFileInfo(chemin).fileName())
        + QChar(13) + raison;
}

void lireCoureurs(sheet::Feuille &feuille, Donnees &d)
{
    const Tableau bloc = feuille.plage(QStringLiteral("A1:AG973"))->valeurs();
    if (bloc.nbLignes() < base::derniereLigneCoureur || bloc.nbColonnes() < 33)
        throw ErreurClasseur(QStringLiteral("Le bloc A1:AG973 de DYN_cyclist est incomplet."));
    Tableau &t = d.TabCoureurs;
    // La ligne 1 nomme, dans la revue des modifications, les champs sans étiquette au panneau.
    for (int c = 1; c <= 33; ++c)
        d.EntetesCoureurs << texteCellule(bloc(1, c));
    for (int r = base::premiereLigneCoureur; r <= base::derniereLigneCoureur; ++r) {
        t(r, 0) = Cellule::nombre(r);
        for (int c = 1; c <= 33; ++c)
            t(r, c) = bloc(r, c);
        // Une valeur qui n'est pas un nombre laisse la note vide plutôt qu'une note fausse.
        const auto mo = valeurNumerique(bloc(r, 12));
        const auto val = valeurNumerique(bloc(r, 14));
        t(r, base::colNote5050)
            = mo && val ? Cellule::nombre(noteChargement5050(*mo, *val)) : Cellule();
        t(r, base::colNote8020)
            = mo && val ? Cellule::nombre(noteChargement8020(*mo, *val)) : Cellule();
        t(r, base::colModifCoureur) = Cellule::nombre(0);
    }
    TriTableau(t, 2, base::premiereLigneCoureur, base::derniereLigneCoureur, 0, 36, 1);
}

void lireEquipes(sheet::Feuille &feuille, Donnees &d)
{
    const QString liste = ListeEquipes();
    Tableau &t = d.TabEquipes;
    int j = base::premiereLigneEquipe;
    for (int i = 1; i <= nbLignesFeuilleEquipes; ++i) {
        const Cellule id = feuille.plage(QStringLiteral("A%1").arg(i))->valeur();
        // Les tirets autour de l'id : 1 ne doit pas se trouver dans 11.
        if (!liste.contains(u'-' + texteCellule(id) + u'-'))
            continue;
        if (j > base::derniereLigneEquipe)
            throw ErreurClasseur(
                QStringLiteral("La feuille DYN_team liste plus de %1 équipes (ligne %2).")
                    .arg(base::derniereLigneEquipe)
                    .arg(i));
        t(j, 0) = Cellule::nombre(i);
        for (int c = 1; c <= 6; ++c)
            t(j, c) = feuille.plage(lettresColonne(c) + QString::number(i))->valeur();
        ++j;
    }
    TriTableau(t, 5, base::premiereLigneEquipe, base::derniereLigneEquipe, 0, 6, 1);
    // Le tri ne déplace pas les drapeaux : avec moins de 41 équipes, les lignes remplies
    // arriveraient sans le leur. Toutes les lignes partent donc à 0.
    for (int ligne = base::premiereLigneEquipe; ligne <= base::derniereLigneEquipe; ++ligne)
        t(ligne, base::colModifEquipe) = Cellule::nombre(0);
}

} // namespace

QList<DescriptionBouton> chargerClasseur(
    sheet::Application &tableur, const QString &chemin, Donnees &donnees)
{
    Donnees d;
    try {
        sheet::Classeur &classeur = tableur.ouvrir(chemin);
        d.Colonnes = colonnesFeuilleCoureurs();
        tableur.definirCalcul(sheet::calculManuel);
        lireCoureurs(classeur.feuille(QStringLiteral("DYN_cyclist")), d);
        lireEquipes(classeur.feuille(QStringLiteral("DYN_team")), d);
    } catch (const ErreurClasseur &e) {
        // Rien n'a été écrit : refermer sans enregistrer ne touche pas au fichier.
        if (sheet::Classeur *ouvert = tableur.classeurActif())
            ouvert->fermer([](const QString &) { return Reponse::Non; });
        throw ErreurClasseur(messageInutilisable(chemin, e.message()));
    }
    QList<DescriptionBouton> boutons = boutonsEquipes(d);
    donnees = std::move(d);
    return boutons;
}

QList<DescriptionBouton> boutonsEquipes(Donnees &d)
{
    QList<DescriptionBouton> boutons;
    int gauche1 = 550, gauche2 = 550;
    d.IndexLibres = 0;
    const Tableau &t = d.TabEquipes;
    for (int ligne = base::premiereLigneEquipe; ligne <= base::derniereLigneEquipe; ++ligne) {
        const auto id = valeurNumerique(t(ligne, 1));
        const auto division = divisionEquipe(t(ligne, 3));
        const bool libres = !t(ligne, 1).estVide() && id == base::idEquipeLibres;
        if (libres)
            d.IndexLibres = ligne;
        if (libres || !division)
            continue;
        const bool premiere = *division == 1;
        int &gauche = premiere ? gauche1 : gauche2;
        boutons << DescriptionBouton { texteCellule(t(ligne, 5)), texteCellule(t(ligne, 2)),
            QString::number(ligne), gauche, premiere ? 240 : 480, 0,
            premiere ? couleurDivision1 : couleurDivision2 };
        gauche += 500;
    }
    return boutons;
}

} // namespace zarvo
