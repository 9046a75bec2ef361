// Chaque clic de classement et chaque relâchement de touche dans la recherche, sur une base de la
// taille du classeur, à côté des deux tris par sélection d'origine d'un classement (référence).
#include "bench/base_synthetique.h"
#include "commun/rapport.h"
#include "lists/classements.h"
#include "lists/recherche.h"
#include "reference/tri_selection.h"

#include <benchmark/benchmark.h>

using namespace zarvo;

namespace {

const QLocale fr(QLocale::French, QLocale::France);

template<ResultatListe (*Clic)(Donnees &, const QLocale &)>
void BM_Classement(benchmark::State &etat)
{
    Donnees d = mesure::donneesDeMesure();
    for (auto _ : etat)
        benchmark::DoNotOptimize(Clic(d, fr));
}

void BM_rech_KeyUp(benchmark::State &etat)
{
    Donnees d = mesure::donneesDeMesure();
    // Une frappe après l'autre : "m", "ma", "mar"… puis l'effacement.
    const QString mot = QStringLiteral("maberro");
    int i = 0;
    for (auto _ : etat) {
        const QString texte = mot.left(i++ % (mot.size() + 1));
        benchmark::DoNotOptimize(rech_KeyUp(d, texte, fr));
    }
}

void BM_DeuxTrisSelectionReference(benchmark::State &etat)
{
    Donnees d = mesure::donneesDeMesure();
    for (auto _ : etat) {
        reference::triSelection(d.TabCoureurs, 2, 2, 973, 0, 36, -1);
        reference::triSelection(d.TabCoureurs, 34, 2, 973, 0, 36, 0);
        benchmark::DoNotOptimize(d.TabCoureurs);
    }
}

BENCHMARK(BM_Classement<Best5050_Click>)->Name("Best5050_Click")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Classement<Best8020_Click>)->Name("Best8020_Click")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Classement<CLM_Click>)->Name("CLM_Click")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Classement<Grimpeurs_Click>)->Name("Grimpeurs_Click")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Classement<Sprinteurs_Click>)->Name("Sprinteurs_Click")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_rech_KeyUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeuxTrisSelectionReference)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    mesure::RapportObjectif rapport("BM_DeuxTrisSelectionReference", 5.0);
    benchmark::RunSpecifiedBenchmarks(&rapport);
    rapport.afficher();
    benchmark::Shutdown();
}
