#pragma once

#include "soutien/messages_factices.h"

#include <QDir>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace zarvo::app {
class Programme;
}
namespace zarvo::sheet {
class Application;
}

namespace zarvo::outils {

/// Issue d'un scénario : 0 réussi, 1 boîte de message sans réponse préparée, 2 action ou
/// contrôle inconnu (ou fichier à ouvrir introuvable, écriture impossible), 3 attente déçue.
struct IssueScenario
{
    int code = 0;
    QString message; ///< en français, vide si réussi
    QStringList fichiers; ///< fichiers écrits par les captures
};

/**
 * Joue un scénario sur les vraies fenêtres d'un programme, une action par ligne ("#" ouvre
 * un commentaire) :
 *   ouvrir CHEMIN              choisit le fichier dans le sélecteur puis clique OUVRIR
 *   clic NOM [INDEX]           clique un contrôle (ou l'élément INDEX d'un tableau)
 *   tape NOM [INDEX] TEXTE     tape TEXTE à la fin du texte, touche par touche
 *   efface NOM [INDEX]         tout sélectionner puis Suppr
 *   touche NOM [INDEX] TOUCHE  Gauche, Droite, Haut, Bas, Entree, Tab, une lettre ou un
 *                              chiffre, précédés ou non de Ctrl+, Maj+, Alt+ (Ctrl+Maj+Z)
 *   touche TOUCHE              la même chose au contrôle qui a le clavier (touche Ctrl+Z)
 *   choisir NOM TEXTE          choisit la première ligne d'une liste qui contient TEXTE
 *   doubleclic NOM TEXTE       la même chose, puis double-clic sur cette ligne
 *   reponse BOUTON             OK, Oui, Non ou Annuler pour la prochaine boîte de message
 *   fichier [CHEMIN]           chemin rendu à la prochaine question de fichier (rien : renonce)
 *   fermer                     ferme par son cadre la fenêtre principale (ou le sélecteur)
 *   demarrer CHEMIN            comme « zarvoedit CHEMIN » (le sélecteur caché d'abord)
 *   ecris CHEMIN [TEXTE]       écrit TEXTE dans le fichier (dossiers créés), comme un autre
 *                              programme le ferait ; supprime CHEMIN : fichier ou dossier
 *   navigateur absent|present  le navigateur (jamais lancé) échoue ou réussit à s'ouvrir
 *   finsession [muette]        la session du bureau se ferme (muette : sans question permise)
 *   capture NOM                écrit NOM.png et NOM.json dans le dossier de sortie
 *   attend …                   vérifie ce que l'utilisateur voit ou ce qui est enregistré
 *                              (voir le README : contrôles, messages, cases du classeur)
 * Les contrôles se trouvent par leur nom (objectName) et leur propriété "index" dans les
 * fenêtres montrées : tout gestionnaire branché plus tard est joignable sans rien changer ici.
 */
class Scenario
{
public:
    /// lecteur : le moteur qui relit les classeurs enregistrés (attend cellule).
    Scenario(app::Programme &programme, ui::MessagesFactices &messages, const QDir &sortie,
        std::function<std::unique_ptr<sheet::Application>()> lecteur = {});

    /// nomFichier : nommé dans les messages d'échec.
    IssueScenario jouer(const QString &texte, const QString &nomFichier = {});

    /// Description d'une capture (ce que NOM.json contient).
    QJsonObject decrire();

private:
    QWidget *trouver(const QString &nom, int index) const;
    QList<QWidget *> fenetresMontrees() const;
    /// Messages montrés depuis le dernier relevé, gardés pour la capture et pour attend.
    void releverMessages();
    /// Ligne « attend … » hors contrôles : ce qui manque (vide si satisfaite), rien si la
    /// ligne vise un contrôle.
    std::optional<QString> attendre(const QString &arguments);

    app::Programme &m_programme;
    ui::MessagesFactices &m_messages;
    QDir m_sortie;
    std::function<std::unique_ptr<sheet::Application>()> m_lecteur;
    QList<ui::MessagesFactices::Message> m_pourCapture; // depuis la capture précédente
    QStringList m_montres; // textes des messages, dans l'ordre
    qsizetype m_verifies = 0; // ceux déjà pris par attend message
    QString m_classeur; // dernier classeur ouvert, lu par attend cellule
    QString m_session; // issue du dernier finsession : finie ou retenue
    QStringList m_ouvertes; // pages demandées au navigateur, pas encore vérifiées
    bool m_navigateur = true; // faux : le navigateur ne s'ouvre pas
};

} // namespace zarvo::outils
