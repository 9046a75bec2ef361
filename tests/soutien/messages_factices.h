#pragma once

#include "ui/messages.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <utility>

namespace zarvo::ui {

/**
 * Faux service pour les tests et les scénarios : une file de réponses préparées, la trace de
 * chaque message. Une boîte sans réponse préparée, ou dont la réponse préparée n'est pas
 * l'un de ses boutons, est une question imprévue : elle est notée dans imprevus() et reçoit
 * la réponse la plus prudente (Ok, Non, Annuler selon les boutons).
 */
class MessagesFactices : public ServiceMessages
{
public:
    struct Message
    {
        QString texte;
        Boutons boutons = Boutons::Ok;
        Reponse reponse = Reponse::Ok;
    };

    Reponse afficher(const QString &texte, Boutons boutons) override;
    /// Prend le prochain chemin préparé ; sans chemin préparé, question imprévue.
    std::optional<QString> fichierAEnregistrer(
        const QString &titre, const QString &propose, const QString &filtres) override;

    /// Ajoute une réponse à la file (pour la prochaine boîte).
    void repondre(Reponse r) { m_file.enqueue(r); }
    /// Chemin à rendre à la prochaine question de fichier ; vide : l'utilisateur renonce.
    void repondreFichier(const QString &chemin) { m_fichiers.enqueue(chemin); }
    int reponsesEnAttente() const { return int(m_file.size() + m_fichiers.size()); }
    /// Noms proposés par les questions de fichier depuis le dernier appel, avec la réponse.
    QList<std::pair<QString, QString>> prendreFichiers() { return std::exchange(m_demandes, {}); }
    /// Messages montrés depuis le dernier appel.
    QList<Message> prendreMessages() { return std::exchange(m_messages, {}); }
    /// Textes des questions imprévues (à vérifier vide à la fin de chaque test).
    const QStringList &imprevus() const { return m_imprevus; }
    /// Vide tout, pour repartir propre.
    void remettreAZero();

private:
    QQueue<Reponse> m_file;
    QQueue<QString> m_fichiers;
    QList<std::pair<QString, QString>> m_demandes;
    QList<Message> m_messages;
    QStringList m_imprevus;
};

} // namespace zarvo::ui
