#include "sheet/erreur.h"
#include "sheet/valeur.h"
#include "sheet/xls/classeur_xls.h"

#include <QDir>
#include <QFileInfo>

// La partie écriture du classeur ouvert : valeurs posées, enregistrement, fermeture.

namespace zarvo::sheet::xls {

void ClasseurXls::ecrire(std::size_t feuille, int ligne, int colonne, const Cellule &valeur)
{
    const auto f = m_feuilles.find(int(feuille));
    if (!m_ouvert || f == m_feuilles.end())
        throw ErreurClasseur(GenreErreur::Usage,
            QStringLiteral("écriture dans le classeur fermé « %1 »").arg(nomFichier()));
    const Cellule posee = sheet::valeurPosee(valeur);
    static const EcrituresFeuille aucune;
    const EcrituresFeuille *deja = ecritures(feuille);
    verifierEcriture(
        m_biff, feuille, f->second->cases(), ligne, colonne, posee, deja ? *deja : aucune);
    m_ecritures[feuille][{ ligne, colonne }] = posee;
    m_modifie = true;
}

const Cellule *ClasseurXls::valeurEnAttente(std::size_t feuille, int ligne, int colonne) const
{
    const auto *e = ecritures(feuille);
    if (!e)
        return nullptr;
    const auto it = e->find({ ligne, colonne });
    return it == e->end() ? nullptr : &it->second;
}

const EcrituresFeuille *ClasseurXls::ecritures(std::size_t feuille) const
{
    const auto it = m_ecritures.find(feuille);
    return it == m_ecritures.end() ? nullptr : &it->second;
}

Remplacement ClasseurXls::enregistrer(const QString &chemin, const ConfirmerRemplacement &confirmer)
{
    const QString cible = chemin.isEmpty() ? m_chemin : chemin;
    // Tout le nouvel état est préparé et vérifié avant de toucher au disque : un échec laisse
    // le fichier et le classeur ouvert tels qu'ils étaient.
    FeuillesLues lues;
    for (const auto &[index, f] : m_feuilles)
        lues.emplace(std::size_t(index), &f->cases());
    std::optional<ClasseurEcrit> ecrit;
    try {
        ecrit = ecrireClasseur(m_conteneur, m_entreeWorkbook, m_biff, m_ecritures, lues);
        // Les cases des feuilles chargées renvoient aux enregistrements du nouveau flux.
        for (const auto &[index, f] : m_feuilles)
            if (!ecrit->relu.feuilles.count(std::size_t(index)))
                ecrit->relu.feuilles.emplace(
                    std::size_t(index), ecrit->relu.biff.lireFeuille(std::size_t(index)));
    } catch (const ErreurClasseur &e) {
        throw e.situee(Operation::Enregistrer, QFileInfo(cible).fileName());
    }
    // Le fichier ouvert doit être encore celui qui a été lu ; un autre nom peut être créé.
    const FichierLu lu { m_conteneur.octets(), m_identite };
    const Remplacement r = remplacerFichier(cible, ecrit->conteneur.octets(), m_enveloppe,
        cible == m_chemin ? &lu : nullptr, confirmer);
    if (!r.fait)
        return r;
    const auto apres = systeme::etat(cible);
    m_identite = apres ? apres->first : systeme::Identite {};
    m_conteneur = std::move(ecrit->conteneur);
    m_biff = std::move(ecrit->relu.biff);
    for (auto &[index, f] : m_feuilles)
        f->recharger(std::move(ecrit->relu.feuilles.at(std::size_t(index))));
    m_ecritures.clear();
    m_chemin = cible; // comme « Enregistrer sous » : le classeur suit désormais ce fichier
    m_modifie = false;
    return r;
}

QString texteQuestionRemplacer(const QString &nomFichier)
{
    return QStringLiteral("Le fichier « %1 » a été modifié ou remplacé par un autre programme "
                          "depuis son ouverture.")
               .arg(nomFichier)
        + QChar(13)
        + QStringLiteral("Voulez-vous le remplacer par le classeur modifié ? (Non : rien n'est "
                         "enregistré, vos modifications restent dans l'éditeur.)");
}

QString ClasseurXls::cheminCopieDeSecours() const
{
    const QFileInfo info(m_chemin);
    QString nom = info.fileName();
    if (nom.endsWith(u".xls", Qt::CaseInsensitive))
        nom.chop(4);
    return info.dir().filePath(nom + QStringLiteral(".sauvegarde.xls"));
}

void ClasseurXls::ecrireCopieDeSecours()
{
    // Une fois par session : la copie garde le classeur d'avant toute la session. Un classeur
    // disparu n'a rien à protéger : l'enregistrement le dira.
    if (m_copieFaite || !QFileInfo::exists(m_chemin))
        return;
    try {
        remplacerFichier(cheminCopieDeSecours(), m_octetsLus, m_enveloppe);
    } catch (const ErreurClasseur &e) {
        // Le classeur est nommé, pas la copie : c'est lui que l'utilisateur enregistre.
        throw ErreurClasseur(e.genre(),
            QStringLiteral("sa copie de secours « %1 » (le classeur tel qu'il a été ouvert) n'a "
                           "pas pu être écrite : %2")
                .arg(QFileInfo(cheminCopieDeSecours()).fileName(), e.detail()))
            .situee(Operation::Enregistrer, nomFichier());
    }
    m_copieFaite = true;
}

Fermeture ClasseurXls::fermer(const QuestionEnregistrer &question)
{
    if (!m_ouvert)
        return {};
    QString avertissement;
    if (m_modifie) {
        // Sans question, ou sur une réponse inattendue, rien n'est perdu : le classeur reste.
        const Reponse r
            = question ? question(texteQuestionEnregistrer(nomFichier())) : Reponse::Annuler;
        if (r == Reponse::Oui) {
            try {
                ecrireCopieDeSecours();
                const Remplacement fait = enregistrer({}, [&] {
                    return question(QuestionPosee {
                               texteQuestionRemplacer(nomFichier()), Boutons::OuiNon })
                        == Reponse::Oui;
                });
                // Non au remplacement : comme Annuler, le classeur reste ouvert et modifié.
                if (!fait.fait)
                    return { false, {} };
                avertissement = fait.avertissement;
            } catch (const ErreurClasseur &e) {
                return { false, e };
            }
        } else if (r != Reponse::Non) {
            return { false, {} };
        }
    }
    m_ecritures.clear();
    m_ouvert = false;
    return { true, {}, avertissement };
}

} // namespace zarvo::sheet::xls
