// Tri de la table des coureurs (972 × 37) par nom puis par note décroissante, à côté du tri
// par sélection d'origine mesuré dans la même exécution ; affiche le rapport des deux.
#include "model/tri.h"
#include "reference/tri_selection.h"

#include "commun/rapport.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <random>

using namespace zarvo;

namespace {

Tableau tableCoureurs()
{
    std::mt19937 g(42);
    const char16_t *noms[] = { u"Martin", u"Bernard", u"Dubois", u"Thomas", u"Robert", u"Richard",
        u"Petit", u"Durand", u"Leroy", u"Moreau", u"Simon", u"Laurent", u"Lefèvre", u"Michel",
        u"Garcia", u"Étienne", u"Rossi", u"Novak" };
    Tableau t(2, 973, 0, 36);
    for (int r = 2; r <= 973; ++r) {
        t(r, 0) = Cellule::nombre(r);
        t(r, 2) = Cellule::texte(QString::fromUtf16(noms[g() % 18]) + QString::number(g() % 40));
        for (int c = 10; c <= 35; ++c)
            t(r, c) = Cellule::nombre(50 + g() % 35);
        t(r, 36) = Cellule::nombre(0);
    }
    return t;
}

template<typename Tri>
void deuxTris(benchmark::State &etat, Tri tri)
{
    const Tableau source = tableCoureurs();
    Tableau t;
    for (auto _ : etat) {
        etat.PauseTiming();
        t = source; // copie et destruction hors mesure
        etat.ResumeTiming();
        tri(t, 2, 2, 973, 0, 36, -1);
        tri(t, 34, 2, 973, 0, 36, 0);
        benchmark::DoNotOptimize(t);
    }
}

void BM_TriTableau(benchmark::State &etat)
{
    deuxTris(etat, TriTableau);
}
void BM_TriSelectionReference(benchmark::State &etat)
{
    deuxTris(etat, reference::triSelection);
}

BENCHMARK(BM_TriTableau)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TriSelectionReference)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    mesure::RapportTemps rapport;
    benchmark::RunSpecifiedBenchmarks(&rapport);
    if (rapport.ms("BM_TriTableau") > 0)
        std::printf("\nTriTableau (nom puis note) : %.1f µs ; tri par sélection : %.1f µs ; "
                    "rapport : %.1f fois plus rapide\n",
            rapport.ms("BM_TriTableau") * 1000, rapport.ms("BM_TriSelectionReference") * 1000,
            rapport.ms("BM_TriSelectionReference") / rapport.ms("BM_TriTableau"));
    benchmark::Shutdown();
}
