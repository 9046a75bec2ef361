#include "classeur_jeu/chargement.h"

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

void lireCoureurs(sheet::Feuille &feuille, Donnees &d)
{
    // Le bloc rendu a toujours la taille demandée : les cases absentes y sont vides.
    const Tableau bloc = feuille.plage(disposition::blocCoureurs())->valeurs();
    Tableau &t = d.TabCoureurs;
    // La ligne 1 nomme, dans la revue des modifications, les champs sans étiquette au panneau.
    for (int c = 1; c <= disposition::derniereColonneCoureur; ++c)
        d.EntetesCoureurs << texteCellule(bloc(1, c));
    for (int r = base::premiereLigneCoureur; r <= base::derniereLigneCoureur; ++r) {
        t(r, 0) = Cellule::nombre(r);
        for (int c = 1; c <= disposition::derniereColonneCoureur; ++c)
            t(r, c) = bloc(r, c);
        // Une valeur qui n'est pas un nombre laisse la note vide plutôt qu'une note fausse.
        const auto mo = valeurNumerique(bloc(r, col::Montagne));
        const auto val = valeurNumerique(bloc(r, col::Vallons));
        t(r, base::colNote5050)
            = mo && val ? Cellule::nombre(noteChargement5050(*mo, *val)) : Cellule();
        t(r, base::colNote8020)
            = mo && val ? Cellule::nombre(noteChargement8020(*mo, *val)) : Cellule();
        t(r, base::colModifCoureur) = Cellule::nombre(0);
    }
    TriTableau(t, col::Nom, base::premiereLigneCoureur, base::derniereLigneCoureur, 0, 36, 1);
}

void lireEquipes(sheet::Feuille &feuille, Donnees &d)
{
    const QString liste = ListeEquipes();
    Tableau &t = d.TabEquipes;
    int j = base::premiereLigneEquipe;
    // Les en-têtes nomment dans la revue les champs que la fiche ne titre pas.
    for (int c = 1; c <= disposition::derniereColonneEquipe; ++c)
        d.EntetesEquipes << texteCellule(feuille.plage(lettresColonne(c) + u'1')->valeur());
    for (int i = 1; i <= disposition::nbLignesFeuilleEquipes; ++i) {
        const Cellule id = feuille.plage(lettresColonne(colEq::Id) + QString::number(i))->valeur();
        // Les tirets autour de l'id : 1 ne doit pas se trouver dans 11.
        if (!liste.contains(u'-' + texteCellule(id) + u'-'))
            continue;
        if (j > base::derniereLigneEquipe)
            throw ErreurClasseur(sheet::GenreErreur::ContenuInattendu,
                QStringLiteral("la feuille %1 liste plus de %2 équipes (ligne %3)")
                    .arg(disposition::feuilleEquipes())
                    .arg(base::derniereLigneEquipe)
                    .arg(i));
        t(j, 0) = Cellule::nombre(i);
        for (int c = 1; c <= disposition::derniereColonneEquipe; ++c)
            t(j, c) = feuille.plage(lettresColonne(c) + QString::number(i))->valeur();
        ++j;
    }
    TriTableau(t, colEq::Abrev, base::premiereLigneEquipe, base::derniereLigneEquipe, 0,
        disposition::derniereColonneEquipe, 1);
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
        lireCoureurs(classeur.feuille(disposition::feuilleCoureurs()), d);
        lireEquipes(classeur.feuille(disposition::feuilleEquipes()), d);
    } catch (const ErreurClasseur &e) {
        // Rien n'a été écrit : refermer sans enregistrer ne touche pas au fichier.
        if (sheet::Classeur *ouvert = tableur.classeurActif())
            ouvert->fermer([](const QString &) { return Reponse::Non; });
        throw e.situee(sheet::Operation::Ouvrir, QFileInfo(chemin).fileName());
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
        const auto id = valeurNumerique(t(ligne, colEq::Id));
        const auto division = divisionEquipe(t(ligne, colEq::Division));
        const bool libres = !t(ligne, colEq::Id).estVide() && id == base::idEquipeLibres;
        if (libres)
            d.IndexLibres = ligne;
        if (libres || !division)
            continue;
        const bool premiere = *division == 1;
        int &gauche = premiere ? gauche1 : gauche2;
        boutons << DescriptionBouton { texteCellule(t(ligne, colEq::Abrev)),
            texteCellule(t(ligne, colEq::Nom)), QString::number(ligne), gauche,
            premiere ? 240 : 480, 0,
            premiere ? disposition::couleurDivision1 : disposition::couleurDivision2 };
        gauche += 500;
    }
    return boutons;
}

} // namespace zarvo
