#include "sheet/xls/refus_ecriture.h"

#include "sheet/adresse.h"
#include "sheet/erreur.h"
#include "sheet/xls/biff_ecriture.h"

// La politique de refus des écritures : ce qui abîmerait le classeur n'est pas écrit.

namespace zarvo::sheet::xls {

QString nomCase(int ligne, int colonne)
{
    return texteAdresse(ligne + 1, colonne + 1);
}

ErreurClasseur ecritureRefusee(const ClasseurBiff &biff, std::size_t feuille, int ligne,
    int colonne, const QString &raison, GenreErreur genre)
{
    return ErreurClasseur(genre,
        QStringLiteral("écriture refusée dans la case %1 de « %2 » : %3")
            .arg(nomCase(ligne, colonne), biff.feuilles().at(feuille).nom, raison));
}

namespace {

/// Index de l'enregistrement d'une formule qui la rattache à une autre (SHRFMLA, ARRAY, TABLE),
/// parmi ceux qui la suivent.
std::optional<std::size_t> ancrage(const ClasseurBiff &b, std::size_t formule)
{
    const auto &enr = b.enregistrements();
    for (std::size_t i = formule + 1; i < enr.size() && suitUneFormule(enr[i].id); ++i)
        if (enr[i].id == id::shrfmla || enr[i].id == id::array || enr[i].id == id::table)
            return i;
    return std::nullopt;
}

/// Case désignée par une formule réduite à un renvoi (ptgExp) vers une formule partagée ou
/// matricielle.
std::optional<std::pair<int, int>> renvoiExp(const ClasseurBiff &b, std::size_t formule)
{
    return xls::renvoiExp(b.pointeur(formule), b.enregistrements()[formule].longueur);
}

} // namespace

std::optional<QString> refusFormule(const ClasseurBiff &b, const FeuilleBiff &cases, int ligne,
    int colonne, const EcrituresFeuille &ecrites)
{
    const Case *c = cases.chercher(ligne, colonne);
    if (!c || b.enregistrements()[c->enregistrement].id != id::formula)
        return std::nullopt;
    const auto sorte = [&](std::size_t ancre) -> std::optional<QString> {
        switch (b.enregistrements()[ancre].id) {
        case id::array:
            return QStringLiteral("une formule matricielle");
        case id::table:
            return QStringLiteral("une table de données");
        default:
            return std::nullopt;
        }
    };
    if (const auto ancre = ancrage(b, c->enregistrement)) {
        if (const auto s = sorte(*ancre))
            return QStringLiteral("elle porte %1").arg(*s);
        // Formule partagée : les autres cases qui y renvoient encore seraient vidées.
        // Le lecteur a vérifié la longueur du SHRFMLA ; un flux construit à la main ne l'est
        // pas forcément.
        const auto plage = ShrFmla::lire(b.pointeur(*ancre), b.enregistrements()[*ancre].longueur);
        if (!plage)
            return QStringLiteral("sa formule partagée est tronquée");
        int dependantes = 0;
        for (auto it = cases.depuis(plage->l1, 0);
             it != cases.cases().end() && it->ligne <= plage->l2; ++it) {
            if (it->colonne < plage->c1 || it->colonne > plage->c2
                || (it->ligne == ligne && it->colonne == colonne)
                || ecrites.count({ it->ligne, it->colonne }))
                continue;
            if (b.enregistrements()[it->enregistrement].id == id::formula
                && renvoiExp(b, it->enregistrement) == std::pair { ligne, colonne })
                ++dependantes;
        }
        if (dependantes > 0)
            return QStringLiteral("elle porte la formule partagée de %1 autre(s) case(s), qui "
                                  "perdraient leur formule")
                .arg(dependantes);
        return std::nullopt;
    }
    if (const auto cible = renvoiExp(b, c->enregistrement)) {
        const Case *a = cases.chercher(cible->first, cible->second);
        if (a && b.enregistrements()[a->enregistrement].id == id::formula)
            if (const auto ancre = ancrage(b, a->enregistrement))
                if (const auto s = sorte(*ancre))
                    return QStringLiteral("elle fait partie d'%1 ancrée en %2")
                        .arg(*s, nomCase(cible->first, cible->second));
    }
    return std::nullopt;
}

void verifierEcriture(const ClasseurBiff &biff, std::size_t feuille, const FeuilleBiff &cases,
    int ligne, int colonne, const Cellule &valeur, const EcrituresFeuille &deja)
{
    if (valeur.estTexte() && valeur.valeurTexte().size() > ecriture::longueurMaxTexte)
        throw ecritureRefusee(biff, feuille, ligne, colonne,
            ecriture::texteTropLong(valeur.valeurTexte().size()), GenreErreur::TexteTropLong);
    if (const auto refus = refusFormule(biff, cases, ligne, colonne, deja))
        throw ecritureRefusee(biff, feuille, ligne, colonne, *refus);
    // Sans aucun format, une case neuve n'aurait rien de valable à désigner.
    if (biff.nbXf() == 0)
        throw ecritureRefusee(biff, feuille, ligne, colonne,
            QStringLiteral("le classeur n'a aucun format de case"), GenreErreur::ContenuInattendu);
}

} // namespace zarvo::sheet::xls
