#pragma once

#include "model/cellule.h"

#include <QList>

#include <functional>
#include <map>
#include <optional>
#include <tuple>

namespace zarvo {

/// Table touchée par une modification.
enum class TableModif { Coureurs, Equipes };

/**
 * Une case changée. La ligne se retrouve par la colonne 0 (ligne de la feuille) : les tris
 * déplacent les lignes et l'id comme le nom peuvent eux-mêmes être modifiés.
 */
struct Modif
{
    TableModif table = TableModif::Coureurs;
    int ligneFeuille = 0;
    int colonne = 0;
    Cellule avant, apres;
};

/// Une action de l'utilisateur : relâchement de touche dans une case, échange du champion.
struct Pas
{
    QList<Modif> modifs;
    bool saisie = false; ///< relâchement dans une case du panneau ou de la fiche
    bool fusion = false; ///< suite de la saisie du pas précédent, dans la même case
};

/// Une case dont la valeur diffère de celle de la dernière application (ou du chargement).
struct Attente
{
    Modif modif; ///< avant : valeur de départ ; apres : valeur actuelle
    quint64 ordre = 0; ///< rang du premier changement, pour l'ordre de la revue
};

/**
 * Journal des modifications : ce qui attend d'être appliqué, case par case, et les pas
 * d'annulation transmis à qui s'est branché sur surPas. Les notes et le salaire ne sont pas
 * notés : ils suivent les caractéristiques.
 */
class Journal
{
public:
    /// Reçoit chaque pas noté (la pile d'annulation de la fenêtre s'y branche). Il reste à
    /// sa place quand les données sont remplacées (chargement) : seul le contenu est copié.
    std::function<void(const Pas &)> surPas;

    Journal() = default;
    Journal(const Journal &autre)
        : m_etat(autre.m_etat)
    { }
    Journal &operator=(const Journal &autre)
    {
        m_etat = autre.m_etat;
        return *this;
    }

    /// Note une action ; les cases restées égales sont oubliées, un pas vide n'est pas transmis.
    void noter(Pas pas);
    /// Une valeur remise par une annulation : l'attente suit, aucun pas n'est créé.
    void remettre(const Modif &m);
    /// La saisie en cours est close : le prochain relâchement ouvre un nouveau pas.
    void finirSaisie() { m_etat.saisie.reset(); }

    /// Cases en attente, dans l'ordre de leur premier changement.
    QList<Attente> enAttente() const;
    int nbEnAttente() const { return int(m_etat.attente.size()); }

    /// Application réussie : plus rien n'attend ; `releves` sont les potentiels qu'elle a relevés.
    void apresApplication(QList<Modif> releves);
    const QList<Modif> &releves() const { return m_etat.releves; }

private:
    using Cle = std::tuple<int, int, int>;
    static Cle cle(const Modif &m) { return { int(m.table), m.ligneFeuille, m.colonne }; }
    void suivre(const Modif &m);

    struct Etat
    {
        std::map<Cle, Attente> attente;
        quint64 compteur = 0;
        QList<Modif> releves;
        std::optional<Cle> saisie;
    } m_etat;
};

} // namespace zarvo
