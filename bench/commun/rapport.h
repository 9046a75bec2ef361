#pragma once

// Rapporteurs console des mesures : retiennent les temps de chaque mesure pour afficher à la
// fin le rapport entre la nôtre et sa référence de la même exécution.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zarvo::mesure {

class RapportTemps : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs) {
            // Ramené en millisecondes quelle que soit l'unité d'affichage de la mesure.
            const double enMs = benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond)
                / benchmark::GetTimeUnitMultiplier(r.time_unit);
            const std::string nom = r.benchmark_name();
            if (!m_temps.count(nom))
                m_ordre.push_back(nom);
            m_temps[nom] = { r.GetAdjustedRealTime() * enMs, r.GetAdjustedCPUTime() * enMs };
        }
    }
    /// Temps réel par itération en ms, 0 si la mesure n'a pas tourné.
    double ms(const std::string &nom) const { return trouver(nom).first; }
    /// Temps processeur par itération en ms : sur une machine partagée, le temps réel compte
    /// aussi l'attente des autres processus.
    double msProcesseur(const std::string &nom) const { return trouver(nom).second; }
    /// Noms des mesures dans l'ordre où elles ont tourné.
    const std::vector<std::string> &noms() const { return m_ordre; }

private:
    std::pair<double, double> trouver(const std::string &nom) const
    {
        const auto it = m_temps.find(nom);
        return it == m_temps.end() ? std::pair(0.0, 0.0) : it->second;
    }
    std::map<std::string, std::pair<double, double>> m_temps;
    std::vector<std::string> m_ordre;
};

/// Chaque mesure face à un objectif en ms et à une référence de la même exécution.
class RapportObjectif : public RapportTemps
{
public:
    RapportObjectif(std::string reference, double objectifMs)
        : m_reference(std::move(reference))
        , m_objectifMs(objectifMs)
    { }

    /// Affiche le rapport ; renvoie faux si une mesure dépasse l'objectif.
    bool afficher() const
    {
        const double ref = ms(m_reference);
        bool tenu = true;
        std::printf("\n%-34s %12s %12s  %s\n", "événement", "µs", "/ référence", "objectif");
        for (const std::string &nom : noms()) {
            if (nom == m_reference)
                continue;
            const bool ok = ms(nom) < m_objectifMs;
            tenu = tenu && ok;
            std::printf("%-34s %12.2f %11.4fx  %s %.0f ms\n", nom.c_str(), ms(nom) * 1000,
                ref > 0 ? ms(nom) / ref : 0.0, ok ? "<" : "DÉPASSE", m_objectifMs);
        }
        std::printf("référence (%s) : %.0f µs\n", m_reference.c_str(), ref * 1000);
        return tenu;
    }

private:
    std::string m_reference;
    double m_objectifMs;
};

} // namespace zarvo::mesure
