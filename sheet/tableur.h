#pragma once

#include "model/cellule.h"
#include "model/reponse.h"
#include "model/tableau.h"
#include "sheet/erreur.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace zarvo::sheet {

/**
 * Interface du tableur : les opérations dont le programme a besoin, derrière des classes
 * abstraites, pour que tout le programme tourne contre n'importe quelle mise en œuvre
 * (le moteur .xls natif, ou le tableur en mémoire des tests).
 * Tout échec est levé comme ErreurClasseur, avec son genre et un détail en français.
 */

/// Mode de calcul « manuel », seule valeur que le programme passe.
constexpr int calculManuel = -4135;

/// Une question posée pendant la fermeture : son texte et les boutons proposés.
struct QuestionPosee
{
    QuestionPosee(QString t, Boutons b = Boutons::OuiNonAnnuler)
        : texte(std::move(t))
        , boutons(b)
    { }
    QString texte;
    Boutons boutons;
    /// Pour une réponse qui ne regarde que le texte.
    operator const QString &() const { return texte; }
};

/**
 * Questions posées à la fermeture d'un classeur modifié : l'enregistrement (Oui, Non ou
 * Annuler), puis, si le fichier a été remplacé par un autre programme depuis son ouverture,
 * son remplacement (Oui ou Non).
 */
using QuestionEnregistrer = std::function<Reponse(const QuestionPosee &question)>;

/// Issue d'une fermeture.
struct Fermeture
{
    bool fermee = true; ///< faux : le classeur reste ouvert (Annuler, ou échec d'enregistrement)
    std::optional<ErreurClasseur> erreur; ///< l'échec de l'enregistrement, s'il a échoué
    QString avertissement = {}; ///< enregistré, mais avec une réserve (droits non rendus)
};

/// Une case ou un bloc d'une feuille.
class Plage
{
public:
    virtual ~Plage() = default;
    /// Valeur d'une plage d'une seule case.
    virtual Cellule valeur() const = 0;
    /// Valeurs d'un bloc, tableau indexé à partir de 1 : ligne 1 = première ligne du bloc.
    virtual Tableau valeurs() const = 0;
    /**
     * Écrit une valeur dans la case (plage d'une seule case) ; rien ne touche le disque.
     * Un texte qui se lit comme un nombre en forme anglaise (1033) devient ce nombre ;
     * une valeur vide vide la case et garde son format.
     */
    virtual void ecrire(const Cellule &valeur) = 0;
};

/// Une feuille de calcul.
class Feuille
{
public:
    virtual ~Feuille() = default;
    virtual QString nom() const = 0;
    /// Plage par adresse ("A1:AG973" ou "L57") ; adresse invalide : ErreurClasseur.
    virtual std::unique_ptr<Plage> plage(const QString &adresse) = 0;
};

/// Un classeur ouvert.
class Classeur
{
public:
    virtual ~Classeur() = default;
    /// Noms des feuilles, dans l'ordre du classeur.
    virtual QStringList nomsFeuilles() const = 0;
    /// Feuille par son nom ; feuille absente : ErreurClasseur (FeuilleAbsente).
    virtual Feuille &feuille(const QString &nom) = 0;
    /// Vrai si une écriture a eu lieu depuis l'ouverture ou le dernier enregistrement.
    virtual bool estModifie() const = 0;
    /**
     * Ferme le classeur. S'il a été modifié, pose la question
     * « Voulez-vous enregistrer les modifications apportées à « NOM » ? » :
     * Oui enregistre puis ferme, Non ferme sans enregistrer, Annuler laisse le classeur ouvert.
     * Un enregistrement qui échoue laisse le fichier intact et le classeur ouvert et modifié.
     * Un fichier remplacé par un autre programme depuis l'ouverture n'est écrasé qu'après une
     * seconde question (Oui, Non) ; Non laisse tout comme Annuler.
     */
    virtual Fermeture fermer(const QuestionEnregistrer &question) = 0;
    virtual bool estOuvert() const = 0;
};

/// L'application tableur.
class Application
{
public:
    virtual ~Application() = default;
    /// Ouvre un classeur, qui devient le classeur actif. Échec : ErreurClasseur.
    virtual Classeur &ouvrir(const QString &chemin) = 0;
    /// Mode de calcul (le programme passe calculManuel).
    virtual void definirCalcul(int mode) = 0;
    /// Classeur actif, nullptr si aucun.
    virtual Classeur *classeurActif() = 0;
    /**
     * Quitte : ferme d'abord le classeur encore ouvert, de la même façon que fermer().
     * Renvoie l'issue de cette fermeture (fermee faux : l'application reste là).
     */
    virtual Fermeture quitter(const QuestionEnregistrer &question) = 0;
};

/// Texte de la question d'enregistrement pour un fichier.
QString texteQuestionEnregistrer(const QString &nomFichier);

} // namespace zarvo::sheet
