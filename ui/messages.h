#pragma once

#include "model/reponse.h"

#include <QString>

#include <optional>

class QWidget;

namespace zarvo::ui {

/// Titre de toutes les boîtes de message du programme.
QString titreMessages();
/// Texte tel qu'affiché : le caractère 13 du programme devient un vrai retour à la ligne.
QString texteAffiche(const QString &texte);
QString nomBoutons(Boutons b);
QString nomReponse(Reponse r);
/// "OK", "Oui", "Non", "Annuler" (casse ignorée) ; rien sinon.
std::optional<Reponse> lireReponse(const QString &nom);
/// Vrai si la réponse est l'un des boutons proposés.
bool reponsePossible(Boutons b, Reponse r);
/// Réponse d'une boîte fermée sans choix : Ok, Non ou Annuler selon les boutons.
Reponse plusPrudente(Boutons b);

/**
 * Le service unique des boîtes de message : les fenêtres le reçoivent, elles n'appellent
 * jamais QMessageBox elles-mêmes, pour que les tests répondent sans écran ni minuterie.
 */
class ServiceMessages
{
public:
    virtual ~ServiceMessages() = default;
    /// Montre le texte (sans icône, titre "Zarvoedit") et renvoie le bouton choisi.
    virtual Reponse afficher(const QString &texte, Boutons boutons = Boutons::Ok) = 0;
    /**
     * Demande où enregistrer un fichier, `propose` étant le nom proposé et `filtres` ceux
     * d'une boîte de fichiers ("Images PNG (*.png);;…") ; rien si l'utilisateur renonce.
     */
    virtual std::optional<QString> fichierAEnregistrer(
        const QString &titre, const QString &propose, const QString &filtres)
        = 0;
};

/// Mise en œuvre à l'écran, par QMessageBox.
class MessagesQt : public ServiceMessages
{
public:
    explicit MessagesQt(QWidget *parent = nullptr)
        : m_parent(parent)
    { }
    Reponse afficher(const QString &texte, Boutons boutons) override;
    std::optional<QString> fichierAEnregistrer(
        const QString &titre, const QString &propose, const QString &filtres) override;

private:
    QWidget *m_parent;
};

} // namespace zarvo::ui
