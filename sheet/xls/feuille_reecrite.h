#pragma once

#include "model/cellule.h"
#include "sheet/erreur.h"
#include "sheet/xls/biff.h"
#include "sheet/xls/plan_sst.h"
#include "sheet/xls/refus_ecriture.h"
#include "sheet/xls/suites_cases.h"

#include <QByteArray>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace zarvo::sheet::xls {

struct LigneFeuille
{
    QByteArray row; ///< ROW, vide si la ligne n'en a pas
    std::optional<int> bloc; ///< bloc d'origine
    std::vector<Unite> unites;
};

struct Bornes
{
    std::uint32_t l1 = 0, l2 = 0; ///< [l1, l2)
    std::uint16_t c1 = 0, c2 = 0;
    bool vide() const { return l2 <= l1 || c2 <= c1; }
    void inclure(int l, int c)
    {
        if (vide()) {
            *this = { std::uint32_t(l), std::uint32_t(l + 1), std::uint16_t(c),
                std::uint16_t(c + 1) };
            return;
        }
        l1 = std::min<std::uint32_t>(l1, l);
        l2 = std::max<std::uint32_t>(l2, l + 1);
        c1 = std::min<std::uint16_t>(c1, c);
        c2 = std::max<std::uint16_t>(c2, c + 1);
    }
};

/// Réécriture d'une feuille touchée : avant la table des cases, la table, après.
class FeuilleReecrite
{
public:
    FeuilleReecrite(const ClasseurBiff &b, std::size_t feuille, const EcrituresFeuille &ecr,
        PlanSst &sst, const FeuilleBiff *lue)
        : m_b(b)
        , m_s(b.sousFluxDe(feuille))
    {
        decouper();
        std::optional<FeuilleBiff> relue;
        if (!lue)
            relue = b.lireFeuille(feuille);
        const FeuilleBiff &cases = lue ? *lue : *relue;
        for (const auto &[pos, v] : ecr) {
            if (const auto refus = refusFormule(b, cases, pos.first, pos.second, ecr))
                throw ecritureRefusee(b, feuille, pos.first, pos.second, *refus);
            poser(feuille, pos.first, pos.second, v, sst);
        }
    }

    QByteArray ecrire(qint64 debut) const;

private:
    std::uint16_t hauteurParDefaut() const;
    void decouper();
    void poser(std::size_t feuille, int ligne, int colonne, const Cellule &v, PlanSst &sst);

    const ClasseurBiff &m_b;
    const SousFlux &m_s;
    std::size_t m_debutTable = 0, m_finTable = 0; ///< [début, fin) des enregistrements de la table
    QByteArray m_orphelins; ///< enregistrements de la table qui ne suivent aucune case
    std::map<int, LigneFeuille> m_lignes;
    bool m_avaitDbcell = false;
    bool m_avaitRow = false;
    bool m_tableVide = false;
    std::optional<Bornes> m_creees; ///< bornes des cases créées
};

/// Format (XF) que prend une case créée là où il n'y en avait pas : celui de sa ligne, sinon
/// celui de sa colonne, sinon le format par défaut.
std::uint16_t formatNouvelleCase(
    const ClasseurBiff &biff, std::size_t feuille, int ligne, int colonne);

} // namespace zarvo::sheet::xls
