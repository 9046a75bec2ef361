// Chaque clic de liste et chaque relâchement de touche du panneau et de la fiche, sur une base
// de la taille du classeur, à côté du tri par sélection d'origine d'une liste (référence).
#include "bench/base_synthetique.h"
#include "commun/rapport.h"
#include "reference/tri_selection.h"
#include "rider/panneau.h"
#include "teams/equipes.h"

#include <benchmark/benchmark.h>

using namespace zarvo;

namespace {

const QLocale fr(QLocale::French, QLocale::France);

void BM_Chargeq_Click(benchmark::State &etat)
{
    Donnees d = mesure::donneesDeMesure();
    int k = 1;
    for (auto _ : etat) {
        k = k % 40 + 1;
        if (k == d.IndexLibres)
            k = k % 40 + 1;
        benchmark::DoNotOptimize(Chargeq_Click(d, k, fr));
    }
}

void BM_Free_Click(benchmark::State &etat)
{
    Donnees d = mesure::donneesDeMesure();
    const int x = int(etat.range(0));
    for (auto _ : etat)
        benchmark::DoNotOptimize(Free_Click(d, x, fr));
}

void BM_Coureur_Click(benchmark::State &etat)
{
    Donnees d = mesure::donneesDeMesure();
    int r = 2;
    for (auto _ : etat) {
        r = r == 973 ? 2 : r + 1;
        benchmark::DoNotOptimize(Coureur_Click(d, r, fr));
    }
}

void BM_Note_KeyUp(benchmark::State &etat)
{
    Donnees d = mesure::donneesDeMesure();
    AffichageCoureur a = Coureur_Click(d, 500, fr);
    int i = 0;
    for (auto _ : etat) {
        a.notes[12] = i++ % 2 ? QStringLiteral("74,9") : QStringLiteral("75");
        benchmark::DoNotOptimize(Note_KeyUp(d, 500, 12, a.notes, fr));
    }
}

void BM_Careq_KeyUp(benchmark::State &etat)
{
    Donnees d = mesure::donneesDeMesure();
    int i = 0;
    for (auto _ : etat) {
        const QString texte = i++ % 2 ? QStringLiteral("Equipe") : QStringLiteral("Equip");
        benchmark::DoNotOptimize(Careq_KeyUp(d, 3, 2, texte, fr));
    }
}

void BM_TriSelectionReference(benchmark::State &etat)
{
    Donnees d = mesure::donneesDeMesure();
    for (auto _ : etat) {
        reference::triSelection(d.TabCoureurs, 2, 2, 973, 0, 36, -1);
        benchmark::DoNotOptimize(d.TabCoureurs);
    }
}

BENCHMARK(BM_Chargeq_Click)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Free_Click)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Coureur_Click)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Note_KeyUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Careq_KeyUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TriSelectionReference)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    mesure::RapportObjectif rapport("BM_TriSelectionReference", 5.0);
    benchmark::RunSpecifiedBenchmarks(&rapport);
    rapport.afficher();
    benchmark::Shutdown();
}
