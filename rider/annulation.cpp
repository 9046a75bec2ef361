#include "rider/annulation.h"

#include "model/conversions.h"
#include "rider/formules.h"

#include <QUndoCommand>

#include <algorithm>

namespace zarvo {

namespace {

class CommandePas : public QUndoCommand
{
public:
    CommandePas(Annulation &a, Pas pas, bool dejaFait)
        : m_annulation(a)
        , m_pas(std::move(pas))
        , m_dejaFait(dejaFait)
    { }
    // Seules les saisies se fusionnent, et seulement quand le journal dit qu'elles se suivent.
    int id() const override { return m_pas.saisie ? 1 : -1; }
    bool mergeWith(const QUndoCommand *autre) override
    {
        const Pas &suite = static_cast<const CommandePas *>(autre)->m_pas;
        if (!suite.fusion)
            return false;
        Modif &m = m_pas.modifs.first();
        m.apres = suite.modifs.first().apres;
        // « 57 » → « 5 » → « 57 » : rien à annuler, la pile l'oublie.
        setObsolete(m.avant == m.apres);
        return true;
    }
    void undo() override { m_annulation.poser(m_pas.modifs, true); }
    void redo() override
    {
        // Poussée après coup : la valeur est déjà dans la table.
        if (std::exchange(m_dejaFait, false))
            return;
        m_annulation.poser(m_pas.modifs, false);
    }

private:
    Annulation &m_annulation;
    Pas m_pas;
    bool m_dejaFait;
};

} // namespace

int ligneDeFeuille(const Tableau &t, int ligneFeuille)
{
    for (int r = t.premiereLigne(); r <= t.derniereLigne(); ++r)
        if (t(r, base::colLigneFeuille).estNombre()
            && t(r, base::colLigneFeuille).valeurNombre() == ligneFeuille)
            return r;
    return 0;
}

Annulation::Annulation(Donnees &d, const QLocale &langue)
    : m_donnees(d)
    , m_langue(langue)
{
    m_donnees.Modifications.surPas
        = [this](const Pas &p) { m_pile.push(new CommandePas(*this, p, true)); };
}

Annulation::~Annulation()
{
    m_donnees.Modifications.surPas = nullptr;
}

Remise Annulation::annuler()
{
    m_remise = {};
    m_pile.undo();
    return std::exchange(m_remise, {});
}

Remise Annulation::refaire()
{
    m_remise = {};
    m_pile.redo();
    return std::exchange(m_remise, {});
}

Remise Annulation::revenir(const QList<Attente> &choisies)
{
    // Un id rendu ne doit jamais se retrouver chez deux coureurs : l'id en attente chez un
    // autre coureur qui porte la valeur rendue (l'autre moitié d'un échange) revient avec lui.
    QList<Attente> cases = choisies;
    const QList<Attente> attente = m_donnees.Modifications.enAttente();
    const auto estId
        = [](const Modif &m) { return m.table == TableModif::Coureurs && m.colonne == 1; };
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const Modif m = cases[i].modif;
        if (!estId(m))
            continue;
        for (const Attente &a : attente)
            if (estId(a.modif) && a.modif.apres == m.avant
                && std::none_of(cases.cbegin(), cases.cend(), [&](const Attente &c) {
                       return c.modif.ligneFeuille == a.modif.ligneFeuille && estId(c.modif);
                   }))
                cases << a;
    }
    Pas pas;
    for (const Attente &a : cases)
        pas.modifs << Modif { a.modif.table, a.modif.ligneFeuille, a.modif.colonne, a.modif.apres,
            a.modif.avant };
    m_remise = {};
    if (!pas.modifs.isEmpty())
        m_pile.push(new CommandePas(*this, pas, false));
    return std::exchange(m_remise, {});
}

void Annulation::poser(const QList<Modif> &modifs, bool versAvant)
{
    Journal &j = m_donnees.Modifications;
    j.finirSaisie(); // une frappe après une annulation ouvre un nouveau pas
    for (qsizetype i = 0; i < modifs.size(); ++i) {
        const Modif &m = modifs[versAvant ? modifs.size() - 1 - i : i];
        const bool coureur = m.table == TableModif::Coureurs;
        Tableau &t = coureur ? m_donnees.TabCoureurs : m_donnees.TabEquipes;
        const int r = ligneDeFeuille(t, m.ligneFeuille);
        if (r == 0)
            continue;
        const Cellule valeur = versAvant ? m.avant : m.apres;
        j.remettre({ m.table, m.ligneFeuille, m.colonne, t(r, m.colonne), valeur });
        t(r, m.colonne) = valeur;
        t(r, coureur ? base::colModifCoureur : base::colModifEquipe) = Cellule::nombre(1);
        (coureur ? m_remise.coureurs : m_remise.equipes) << r;
        if (!coureur)
            continue;
        if (m.colonne == col::Montagne || m.colonne == col::Vallons) {
            // Les notes suivent comme après une frappe dans la case.
            const auto mo = valeurNumerique(t(r, col::Montagne), m_langue);
            const auto val = valeurNumerique(t(r, col::Vallons), m_langue);
            if (mo && val) {
                t(r, base::colNote5050) = Cellule::nombre(plancher(notePanneau5050(*mo, *val)));
                t(r, base::colNote8020) = Cellule::nombre(plancher(notePanneau8020(*mo, *val)));
            }
        }
        if (m.colonne == col::Id && valeurNumerique(valeur, m_langue) == double(base::idChampion))
            m_donnees.IndexChampion = r; // le détenteur du 327 suit l'échange annulé
    }
}

} // namespace zarvo
