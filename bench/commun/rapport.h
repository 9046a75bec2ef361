#pragma once

// Rapporteur console qui retient le temps réel de chaque mesure, pour afficher à la fin le
// rapport entre la nôtre et sa référence de la même exécution.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace zarvo::mesure {

class RapportTemps : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs)
            m_temps[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    /// Temps réel par itération (dans l'unité de la mesure), 0 si elle n'a pas tourné.
    double temps(const std::string &nom) const
    {
        const auto it = m_temps.find(nom);
        return it == m_temps.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> m_temps;
};

} // namespace zarvo::mesure
