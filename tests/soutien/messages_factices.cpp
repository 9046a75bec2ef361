#include "soutien/messages_factices.h"

namespace zarvo::ui {

Reponse MessagesFactices::afficher(const QString &texte, Boutons boutons)
{
    Message m { texte, boutons, plusPrudente(boutons) };
    if (m_file.isEmpty()) {
        m_imprevus << QStringLiteral("message sans réponse préparée : « %1 »").arg(texte);
    } else if (const Reponse r = m_file.dequeue(); reponsePossible(boutons, r)) {
        m.reponse = r;
    } else {
        m_imprevus << QStringLiteral("réponse %1 impossible (boutons %2) : « %3 »")
                          .arg(nomReponse(r), nomBoutons(boutons), texte);
    }
    m_messages << m;
    return m.reponse;
}

std::optional<QString> MessagesFactices::fichierAEnregistrer(
    const QString &, const QString &propose, const QString &)
{
    if (m_fichiers.isEmpty()) {
        m_imprevus << QStringLiteral("fichier demandé sans réponse préparée : « %1 »").arg(propose);
        m_demandes.append({ propose, QString() });
        return std::nullopt;
    }
    const QString chemin = m_fichiers.dequeue();
    m_demandes.append({ propose, chemin });
    return chemin.isEmpty() ? std::nullopt : std::optional(chemin);
}

void MessagesFactices::remettreAZero()
{
    m_file.clear();
    m_fichiers.clear();
    m_demandes.clear();
    m_messages.clear();
    m_imprevus.clear();
}

} // namespace zarvo::ui
