#pragma once

#include "sheet/tableur.h"
#include "sheet/xls/biff.h"
#include "sheet/xls/conteneur.h"
#include "sheet/xls/ecrivain_classeur.h"
#include "sheet/xls/remplacement_fichier.h"

#include <map>
#include <memory>
#include <optional>

namespace zarvo::sheet::xls {

class ApplicationXls;
class FeuilleXls;

/**
 * Classeur .xls ouvert : garde le fichier d'origine (conteneur) et le modèle de son flux
 * Workbook, dont l'écriture pourra rapiécer les enregistrements touchés.
 */
class ClasseurXls : public Classeur
{
public:
    ClasseurXls(QString chemin, Conteneur conteneur, int entreeWorkbook, ClasseurBiff biff);
    ~ClasseurXls() override;

    QStringList nomsFeuilles() const override;
    Feuille &feuille(const QString &nom) override;
    bool estModifie() const override { return m_modifie; }
    Fermeture fermer(const QuestionEnregistrer &question) override;
    bool estOuvert() const override { return m_ouvert; }

    /// Nom du fichier, pour les messages.
    QString nomFichier() const;
    const Conteneur &conteneur() const { return m_conteneur; }
    int entreeWorkbook() const { return m_entreeWorkbook; }
    const ClasseurBiff &biff() const { return m_biff; }

    /**
     * Pose une valeur dans une case (règle du nombre appliquée) et marque le classeur modifié ;
     * rien ne touche le disque. Refus (ErreurClasseur) : voir verifierEcriture().
     */
    void ecrire(std::size_t feuille, int ligne, int colonne, const Cellule &valeur);
    /// Valeur posée et pas encore enregistrée à (ligne, colonne) comptées à partir de 0.
    const Cellule *valeurEnAttente(std::size_t feuille, int ligne, int colonne) const;
    /// Valeurs posées dans une feuille et pas encore enregistrées.
    const EcrituresFeuille *ecritures(std::size_t feuille) const;
    /**
     * Enregistre dans `chemin` (par défaut le fichier du classeur) sans jamais laisser de
     * fichier abîmé. Lève ErreurClasseur ; en cas d'échec le classeur reste modifié. Le
     * fichier du classeur qui n'est plus celui qui a été lu (un autre programme l'a remplacé)
     * n'est remplacé qu'avec l'accord de `confirmer` ; sans lui, refus.
     */
    Remplacement enregistrer(
        const QString &chemin = {}, const ConfirmerRemplacement &confirmer = {});
    /// Le fichier tel qu'il a été lu à l'ouverture (ou au dernier enregistrement).
    void definirFichierLu(systeme::Identite identite) { m_identite = identite; }
    /**
     * Avant le premier enregistrement accepté à la fermeture, le fichier tel qu'il a été lu
     * est écrit à côté, sous ce nom (le précédent est remplacé). Échec : rien n'est enregistré.
     */
    QString cheminCopieDeSecours() const;
    /// Pour les tests : appareil par lequel passent les octets enregistrés.
    void definirEnveloppe(EnveloppeEcriture enveloppe) { m_enveloppe = std::move(enveloppe); }

private:
    void ecrireCopieDeSecours();

    Ecritures m_ecritures;
    EnveloppeEcriture m_enveloppe;
    systeme::Identite m_identite; ///< du fichier lu, avec les octets de m_conteneur
    QString m_chemin;
    Conteneur m_conteneur;
    int m_entreeWorkbook;
    ClasseurBiff m_biff;
    std::map<int, std::unique_ptr<FeuilleXls>> m_feuilles; ///< par index de feuille déclarée
    bool m_modifie = false;
    bool m_ouvert = true;
    QByteArray m_octetsLus; ///< le fichier tel qu'ouvert, pour la copie de secours
    bool m_copieFaite = false;
};

/// Feuille lue à la première demande ; ses cases restent en mémoire.
class FeuilleXls : public Feuille
{
public:
    FeuilleXls(ClasseurXls &classeur, std::size_t index, QString nom, FeuilleBiff cases);
    QString nom() const override { return m_nom; }
    std::unique_ptr<Plage> plage(const QString &adresse) override;
    const FeuilleBiff &cases() const { return m_cases; }
    ClasseurXls &classeur() { return m_classeur; }
    std::size_t index() const { return m_index; }
    /// Après un enregistrement : les cases relues du fichier écrit.
    void recharger(FeuilleBiff cases) { m_cases = std::move(cases); }

private:
    ClasseurXls &m_classeur;
    std::size_t m_index;
    QString m_nom;
    FeuilleBiff m_cases;
};

/// Ouvre un fichier en mémoire (pour le fuzzeur et les tests) : mêmes vérifications et mêmes
/// messages que l'ouverture du fichier `chemin` (qui n'est pas lu).
std::unique_ptr<ClasseurXls> ouvrirOctets(const QByteArray &octets, const QString &chemin);

/// Question posée quand le fichier à remplacer n'est plus celui qui a été lu.
QString texteQuestionRemplacer(const QString &nomFichier);

/// Taille au-delà de laquelle un fichier n'est pas chargé.
constexpr qint64 tailleFichierMax = 256LL * 1024 * 1024;

} // namespace zarvo::sheet::xls
