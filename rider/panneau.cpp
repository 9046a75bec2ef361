#include "rider/panneau.h"

#include "model/conversions.h"
#include "rider/formules.h"
#include "rider/saisie.h"

namespace zarvo {

QString messageChoisirCoureur()
{
    return QStringLiteral("Choisissez un coureur!!");
}

namespace {

// Potentiels et salaire, communs au clic et au relâchement.
void potentielsEtSalaire(const Derivees &der, Etiquettes &e, const QLocale &langue)
{
    if (der.pot5050)
        e.pot5050 = texteNombre(*der.pot5050, langue);
    if (der.pot8020)
        e.pot8020 = texteNombre(*der.pot8020, langue);
    e.salaire = der.salaire;
}

} // namespace

const QStringList &nomsCaracteristiques()
{
    static const QStringList noms { QStringLiteral("Plaine"), QStringLiteral("Montagne"),
        QStringLiteral("Vallons"), QStringLiteral("Descente"), QStringLiteral("CLM"),
        QStringLiteral("Endurance"), QStringLiteral("Resistance"), QStringLiteral("Recuperation"),
        QStringLiteral("Pavés"), QStringLiteral("Agilité"), QStringLiteral("Sprint"),
        QStringLiteral("Accélération") };
    return noms;
}

AffichageCoureur Coureur_Click(Donnees &d, int ligne, const QLocale &langue)
{
    Tableau &t = d.TabCoureurs;
    AffichageCoureur a;
    for (int c = 1; c <= 33; ++c) {
        a.notes[c] = texteCellule(t(ligne, c), langue);
        a.erreurs[c] = caseCaracteristiqueEnErreur(c, a.notes[c], langue);
    }
    a.numLigne = ligne;
    d.Modifications.finirSaisie(); // revenir à une case, c'est une nouvelle modification
    t(ligne, base::colModifCoureur) = Cellule::nombre(1);
    // Juste après le clic, les notes sont celles stockées (celles du chargement tant que le
    // panneau ne les a pas recalculées).
    a.etiquettes.car5050 = texteCellule(t(ligne, base::colNote5050), langue);
    a.etiquettes.car8020 = texteCellule(t(ligne, base::colNote8020), langue);
    potentielsEtSalaire(calculerDerivees(a.notes, langue), a.etiquettes, langue);
    // Un autre coureur : ce qui ne se calcule pas est vidé plutôt que laissé au précédent.
    for (auto *e : { &a.etiquettes.pot5050, &a.etiquettes.pot8020, &a.etiquettes.salaire })
        if (!*e)
            *e = QString();
    return a;
}

ResultatNote Note_KeyUp(
    Donnees &d, int numLigne, int index, const QString (&notes)[34], const QLocale &langue)
{
    ResultatNote res;
    if (index < 1 || index > 33)
        return res; // seules les 33 cases du panneau arrivent ici
    if (numLigne == 0) {
        res.message = messageChoisirCoureur();
        res.viderCase = true;
        return res;
    }
    Tableau &t = d.TabCoureurs;
    t(numLigne, base::colModifCoureur) = Cellule::nombre(1);
    const QString &texte = notes[index];
    if (texte.isEmpty())
        return res; // vider une case ne vide jamais le champ
    const auto cellule = celluleSaisie(texte, genreChampCoureur(index), langue);
    if (!cellule) {
        // Caractéristique illisible : la table garde sa valeur, pas de formule dessus.
        res.erreur = true;
        return res;
    }
    const Cellule avant = t(numLigne, index);
    t(numLigne, index) = *cellule;
    d.Modifications.noter(
        { { { TableModif::Coureurs, int(t(numLigne, base::colLigneFeuille).valeurNombre()), index,
              avant, *cellule } },
            true });

    const Derivees der = calculerDerivees(notes, langue);
    if (der.car5050) {
        res.etiquettes.car5050 = texteNombre(*der.car5050, langue);
        t(numLigne, base::colNote5050) = Cellule::nombre(plancher(*der.car5050));
    }
    if (der.car8020) {
        res.etiquettes.car8020 = texteNombre(*der.car8020, langue);
        t(numLigne, base::colNote8020) = Cellule::nombre(plancher(*der.car8020));
    }
    potentielsEtSalaire(der, res.etiquettes, langue);
    return res;
}

} // namespace zarvo
