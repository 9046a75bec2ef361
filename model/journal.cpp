#include "model/journal.h"

#include <algorithm>

namespace zarvo {

void Journal::suivre(const Modif &m)
{
    const auto [it, nouveau] = m_etat.attente.try_emplace(cle(m), Attente { m, 0 });
    if (nouveau)
        it->second.ordre = ++m_etat.compteur;
    it->second.modif.apres = m.apres;
    // Revenue à son point de départ : plus rien n'attend pour cette case.
    if (it->second.modif.avant == it->second.modif.apres)
        m_etat.attente.erase(it);
}

void Journal::noter(Pas pas)
{
    pas.modifs.removeIf([](const Modif &m) { return m.avant == m.apres; });
    if (pas.modifs.isEmpty())
        return; // une flèche ne change rien : la saisie reste ouverte
    for (const Modif &m : pas.modifs)
        suivre(m);
    const std::optional<Cle> ici = pas.saisie && pas.modifs.size() == 1
        ? std::optional(cle(pas.modifs.first()))
        : std::nullopt;
    pas.fusion = ici && m_etat.saisie == ici;
    m_etat.saisie = ici;
    if (surPas)
        surPas(pas);
}

void Journal::remettre(const Modif &m)
{
    if (!(m.avant == m.apres))
        suivre(m);
}

QList<Attente> Journal::enAttente() const
{
    QList<Attente> r;
    for (const auto &[c, a] : m_etat.attente)
        r << a;
    std::sort(
        r.begin(), r.end(), [](const Attente &a, const Attente &b) { return a.ordre < b.ordre; });
    return r;
}

void Journal::apresApplication(QList<Modif> releves)
{
    m_etat.attente.clear();
    m_etat.releves = std::move(releves);
    m_etat.saisie.reset();
}

} // namespace zarvo
