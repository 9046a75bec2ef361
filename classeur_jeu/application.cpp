#include "classeur_jeu/application.h"

#include "classeur_jeu/disposition.h"
#include "model/conversions.h"
#include "sheet/erreur.h"

namespace zarvo {

namespace {

using disposition::derniereColonneCoureur;
using disposition::derniereColonneEquipe;

bool estMarquee(const Cellule &drapeau)
{
    return egalesAuTri(drapeau, Cellule::nombre(1));
}

/// Lettre de la colonne j : Colonnes si la table est remplie, sinon la règle des lettres.
QString lettre(const Donnees &d, int j)
{
    return j < d.Colonnes.size() ? d.Colonnes.at(j) : lettresColonne(j);
}

/// Écrit une ligne de table dans une feuille, une case par colonne 1..derniere.
void ecrireLigne(sheet::Feuille &f, const Donnees &d, const Tableau &t, int ligne, int derniere,
    const QLocale &langue, int &nbEcritures)
{
    const QString numero = texteCellule(t(ligne, base::colLigneFeuille), langue);
    for (int c = 1; c <= derniere; ++c) {
        f.plage(lettre(d, c) + numero)->ecrire(t(ligne, c));
        ++nbEcritures;
    }
}

QString texteEchec(const QString &quoi, const QString &feuille, const Cellule &ligneFeuille,
    const QString &raison, const QLocale &langue)
{
    return QStringLiteral("L'application des modifications s'est arrêtée sur %1 (ligne %2 de la "
                          "feuille %3) :\r%4\rLes modifications restent en mémoire : vous pouvez "
                          "appliquer à nouveau.")
        .arg(quoi, texteCellule(ligneFeuille, langue), feuille, raison);
}

} // namespace

QString texteProgressionCoureur(int ligne)
{
    return QStringLiteral("Mise à jour des données : Coureur ") + QString::number(ligne)
        + QStringLiteral("sur ") + QString::number(base::derniereLigneCoureur);
}

QString texteProgressionEquipe(int ligne)
{
    return QStringLiteral("Mise à jour des données : Equipe ") + QString::number(ligne)
        + QStringLiteral("sur ") + QString::number(base::derniereLigneEquipe);
}

QString texteCompteRendu(int nbPotentiels, const QString &liste)
{
    // Blanc de tête des nombres positifs, comme l'affiche le programme d'origine.
    const QString nombre
        = (nbPotentiels >= 0 ? QStringLiteral(" ") : QString()) + QString::number(nbPotentiels);
    return nombre + QStringLiteral(" potentiels étaient inférieurs à la carac correspondante.\r")
        + QStringLiteral("Ces potentiels ont été mis au niveau de la note pour éviter les "
                         "problèmes lors de l'import excel.\r\r")
        + QStringLiteral("les cyclistes concernés sont : \r") + liste;
}

ResultatApplication appliquerModifications(Donnees &d, sheet::Classeur &classeur,
    const RappelProgression &progression, const QLocale &langue)
{
    ResultatApplication res;
    Tableau &tc = d.TabCoureurs;
    Tableau &te = d.TabEquipes;
    const auto avancer = [&](const QString &texte) {
        if (progression)
            progression(texte);
    };
    QList<Modif> releves;
    const auto finir = [&] {
        // Réussie, elle vide l'attente ; interrompue, tout reste à appliquer.
        if (!res.erreur)
            d.Modifications.apresApplication(std::move(releves));
        if (res.nbPotentiels > 0)
            res.compteRendu = texteCompteRendu(res.nbPotentiels, res.liste);
        return res;
    };

    // La feuille n'est demandée qu'à la première ligne marquée : sans rien à écrire, rien
    // n'échoue. Un échec s'arrête là et dit quelle ligne il a touchée.
    const auto ecrireMarquee
        = [&](sheet::Feuille *&feuille, const QString &nomFeuille, const Tableau &t, int ligne,
              int derniereColonne, const QString &quoi) {
              try {
                  if (!feuille)
                      feuille = &classeur.feuille(nomFeuille);
                  ecrireLigne(*feuille, d, t, ligne, derniereColonne, langue, res.nbEcritures);
                  return true;
              } catch (const sheet::ErreurClasseur &e) {
                  res.erreur = texteEchec(quoi, nomFeuille, t(ligne, base::colLigneFeuille),
                      sheet::texteErreur(e), langue);
                  return false;
              }
          };
    sheet::Feuille *coureurs = nullptr;
    for (int i = base::premiereLigneCoureur; i <= base::derniereLigneCoureur; ++i) {
        int derniereRelevee = 0;
        if (estMarquee(tc(i, base::colModifCoureur))) {
            for (int j = col::PremiereCarac; j <= col::DerniereCarac; j += 2) {
                const auto carac = valeurNumerique(tc(i, j), langue);
                const auto pot = valeurNumerique(tc(i, j + 1), langue);
                // Une valeur qui n'est pas un nombre : pas de comparaison pour cette paire.
                if (carac && pot && plancher(*carac) > plancher(*pot)) {
                    releves << Modif { TableModif::Coureurs,
                        int(tc(i, base::colLigneFeuille).valeurNombre()), j + 1, tc(i, j + 1),
                        tc(i, j) };
                    tc(i, j + 1) = tc(i, j);
                    ++res.nbPotentiels;
                    derniereRelevee = j;
                }
            }
            // Listé avant l'écriture : si elle échoue, le relèvement déjà fait en mémoire ne
            // serait plus signalé au passage suivant.
            if (derniereRelevee != 0) {
                ++res.nbCoureursListes;
                res.liste += texteCellule(tc(i, col::Nom), langue) + QStringLiteral(" (")
                    + QString::number(derniereRelevee) + QStringLiteral(") - ");
                if (res.nbCoureursListes % 8 == 0 && res.nbCoureursListes <= 64)
                    res.liste += QChar(u'\r');
            }
            if (!ecrireMarquee(coureurs, disposition::feuilleCoureurs(), tc, i,
                    derniereColonneCoureur,
                    QStringLiteral("le coureur « %1 »").arg(texteCellule(tc(i, col::Nom), langue))))
                return finir();
        }
        avancer(texteProgressionCoureur(i));
    }

    sheet::Feuille *equipes = nullptr;
    for (int k = base::premiereLigneEquipe; k <= base::derniereLigneEquipe; ++k) {
        if (estMarquee(te(k, base::colModifEquipe))) {
            if (!ecrireMarquee(equipes, disposition::feuilleEquipes(), te, k, derniereColonneEquipe,
                    QStringLiteral("l'équipe « %1 »").arg(texteCellule(te(k, colEq::Nom), langue))))
                return finir();
        }
        avancer(texteProgressionEquipe(k));
    }
    return finir();
}

} // namespace zarvo
