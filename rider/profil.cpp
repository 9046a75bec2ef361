#include "rider/profil.h"

#include "classeur_jeu/disposition.h"
#include "model/conversions.h"

#include <algorithm>

namespace zarvo {

namespace {

// Colonne de l'axe k : la caractéristique (paire) ou son potentiel (impaire suivante).
int colonneAxe(int k, bool potentiel)
{
    return 10 + 2 * k + (potentiel ? 1 : 0);
}

// Une case vide n'est pas un 0 sur le radar : l'axe est absent.
std::optional<double> nombreDe(const Cellule &c, const QLocale &langue)
{
    return c.estVide() ? std::nullopt : valeurNumerique(c, langue);
}

} // namespace

PointProfil pointProfil(std::optional<double> valeur)
{
    PointProfil p;
    p.valeur = valeur;
    if (valeur) {
        p.dessin = std::clamp(*valeur, profil::minimum, profil::maximum);
        p.borne = p.dessin != *valeur;
    }
    return p;
}

QString texteAucunCoureur()
{
    return QStringLiteral("Aucun coureur affiché : choisissez un coureur dans une liste.");
}

QString nomCoureur(const Donnees &d, int ligne, const QLocale &langue)
{
    return texteCellule(d.TabCoureurs(ligne, col::Nom), langue) + u' '
        + texteCellule(d.TabCoureurs(ligne, col::Prenom), langue);
}

SerieProfil serieCoureur(
    const Donnees &d, int ligne, bool potentiels, const QString (*notes)[34], const QLocale &langue)
{
    SerieProfil s;
    s.nom = potentiels ? QStringLiteral("Potentiels") : QStringLiteral("Caractéristiques");
    for (int k = 0; k < profil::nbAxes; ++k) {
        const int c = colonneAxe(k, potentiels);
        PointProfil &p = s.points[std::size_t(k)];
        p = pointProfil(nombreDe(d.TabCoureurs(ligne, c), langue));
        // La frappe d'un non-nombre ne range rien : l'axe reste au dernier nombre, marqué.
        p.garde = notes != nullptr && !lireNombre((*notes)[c], langue);
    }
    return s;
}

SerieProfil serieMoyenne(
    const Donnees &d, const QVector<int> &lignes, const QString &nomEquipe, const QLocale &langue)
{
    SerieProfil s;
    s.nom = QStringLiteral("Moyenne de %1 (%2)").arg(nomEquipe).arg(lignes.size());
    for (int k = 0; k < profil::nbAxes; ++k) {
        double somme = 0;
        int n = 0;
        for (int r : lignes)
            if (const auto v = nombreDe(d.TabCoureurs(r, colonneAxe(k, false)), langue)) {
                somme += *v;
                ++n;
            }
        s.points[std::size_t(k)] = pointProfil(n > 0 ? std::optional(somme / n) : std::nullopt);
    }
    return s;
}

DessinProfil dessinProfil(const Donnees &d, const DemandeProfil &demande, const QLocale &langue)
{
    DessinProfil des;
    des.axes = nomsCaracteristiques();
    const int r = demande.numLigne;
    if (!d.TabCoureurs.contient(r, col::Id)) {
        des.titre = texteAucunCoureur();
        return des;
    }
    des.coureur = true;
    const Tableau &t = d.TabCoureurs;
    des.nom = nomCoureur(d, r, langue);
    des.titre = des.nom + QStringLiteral(" — ") + demande.nomEquipe + QStringLiteral(" — 50/50 : ")
        + texteCellule(t(r, base::colNote5050), langue) + QStringLiteral(" — 80/20 : ")
        + texteCellule(t(r, base::colNote8020), langue);
    des.caracteristiques = serieCoureur(d, r, false, demande.notes, langue);
    des.potentiels = serieCoureur(d, r, true, demande.notes, langue);
    if (t.contient(demande.ligneComparee, 1)) {
        des.comparee = serieCoureur(d, demande.ligneComparee, false, nullptr, langue);
        des.comparee->nom
            = QStringLiteral("Comparé : ") + nomCoureur(d, demande.ligneComparee, langue);
    }
    if (demande.lignesEquipe) {
        if (demande.lignesEquipe->isEmpty())
            des.remarque
                = QStringLiteral("L'équipe du coureur n'a aucun coureur : pas de moyenne.");
        else
            des.moyenne = serieMoyenne(d, *demande.lignesEquipe, demande.nomEquipe, langue);
    }
    return des;
}

int ligneDeFeuille(const Donnees &d, const Cellule &ligneFeuille)
{
    if (ligneFeuille.estVide())
        return 0;
    for (int r = base::premiereLigneCoureur; r <= base::derniereLigneCoureur; ++r)
        if (d.TabCoureurs(r, base::colLigneFeuille) == ligneFeuille)
            return r;
    return 0;
}

QString nomImagePropose(const DessinProfil &dessin)
{
    // Seuls les caractères refusés par un système de fichiers courant sont retirés.
    QString nom = dessin.nom;
    static const QString interdits = QStringLiteral("/\\:*?\"<>|");
    nom.removeIf([](QChar c) { return interdits.contains(c) || c.unicode() < 32; });
    return (nom.trimmed().isEmpty() ? QStringLiteral("profil") : nom.trimmed())
        + QStringLiteral(".png");
}

bool imageSvg(const QString &chemin)
{
    return chemin.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
}

} // namespace zarvo
