#pragma once

#include "model/cellule.h"
#include "sheet/xls/biff.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

namespace zarvo::sheet::xls {

/// Table des chaînes après écriture : les anciennes d'abord, à leur place, puis les nouvelles.
class PlanSst
{
public:
    explicit PlanSst(const ClasseurBiff &b)
        : m_nbAnciennes(b.sst().size())
    {
        for (std::size_t i = 0; i < b.sst().size(); ++i) {
            const auto &c = b.sst()[i];
            if (c.runs.isEmpty() && c.phonetique.isEmpty() && !m_simples.contains(c.texte))
                m_simples.insert(c.texte, std::uint32_t(i));
        }
    }
    std::uint32_t indice(const QString &texte)
    {
        const auto it = m_simples.constFind(texte);
        if (it != m_simples.constEnd())
            return *it;
        const auto i = std::uint32_t(m_nbAnciennes + m_nouvelles.size());
        m_nouvelles.push_back(texte);
        m_simples.insert(texte, i);
        return i;
    }
    const std::vector<QString> &nouvelles() const { return m_nouvelles; }
    std::int64_t ecartTotal = 0; ///< renvois gagnés moins renvois perdus

private:
    std::size_t m_nbAnciennes;
    QHash<QString, std::uint32_t> m_simples;
    std::vector<QString> m_nouvelles;
};

/// Enregistrement d'une case écrite : RK ou NUMBER, LABELSST (chaîne prise dans `sst`), BLANK.
QByteArray nouvelleCase(int ligne, int colonne, std::uint16_t xf, const Cellule &v, PlanSst &sst);

} // namespace zarvo::sheet::xls
