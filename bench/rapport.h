#pragma once

// Rapporteur des mesures d'événements : retient le temps de chaque mesure et affiche à la fin
// chacune face à l'objectif et à la référence mesurée dans la même exécution.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace zarvo::mesure {

class RapportObjectif : public benchmark::ConsoleReporter
{
public:
    RapportObjectif(std::string reference, double objectifMs)
        : m_reference(std::move(reference))
        , m_objectifMs(objectifMs)
    { }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs) {
            // Temps réel par itération, ramené en millisecondes quelle que soit l'unité.
            const double ms = r.GetAdjustedRealTime()
                * benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond)
                / benchmark::GetTimeUnitMultiplier(r.time_unit);
            m_temps.emplace_back(r.benchmark_name(), ms);
        }
    }

    /// Affiche le rapport ; renvoie faux si une mesure dépasse l'objectif.
    bool afficher() const
    {
        double ref = 0;
        for (const auto &[nom, ms] : m_temps)
            if (nom == m_reference)
                ref = ms;
        bool tenu = true;
        std::printf("\n%-34s %12s %12s  %s\n", "événement", "µs", "/ référence", "objectif");
        for (const auto &[nom, ms] : m_temps) {
            if (nom == m_reference)
                continue;
            const bool ok = ms < m_objectifMs;
            tenu = tenu && ok;
            std::printf("%-34s %12.2f %11.4fx  %s %.0f ms\n", nom.c_str(), ms * 1000,
                ref > 0 ? ms / ref : 0.0, ok ? "<" : "DÉPASSE", m_objectifMs);
        }
        std::printf("référence (%s) : %.0f µs\n", m_reference.c_str(), ref * 1000);
        return tenu;
    }

private:
    std::string m_reference;
    double m_objectifMs;
    std::vector<std::pair<std::string, double>> m_temps;
};

} // namespace zarvo::mesure
