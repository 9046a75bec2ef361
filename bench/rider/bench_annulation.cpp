// Annuler puis refaire une modification, 2 000 modifications dans le journal, à côté d'un clic
// sur une équipe (référence) de la même exécution. Objectif : moins d'une milliseconde.
#include "bench/base_synthetique.h"
#include "commun/rapport.h"
#include "rider/annulation.h"
#include "rider/panneau.h"
#include "teams/equipes.h"

#include <benchmark/benchmark.h>

using namespace zarvo;

namespace {

const QLocale fr(QLocale::French, QLocale::France);
constexpr int nbModifications = 2000;

void BM_Chargeq_Click(benchmark::State &etat)
{
    Donnees d = mesure::donneesDeMesure();
    for (auto _ : etat)
        benchmark::DoNotOptimize(Chargeq_Click(d, 3, fr));
}

// 2 000 cases différentes, chacune un pas : autant de lignes en attente que de pas.
void BM_AnnulerRefaire(benchmark::State &etat)
{
    Donnees d = mesure::donneesDeMesure();
    Annulation annulation(d, fr);
    for (int i = 0; i < nbModifications; ++i) {
        const int ligne = base::premiereLigneCoureur + i % base::nbCoureurs;
        const int col = 10 + 2 * (i / base::nbCoureurs);
        AffichageCoureur a = Coureur_Click(d, ligne, fr);
        a.notes[col] = QString::number(100 + i % 50);
        Note_KeyUp(d, ligne, col, a.notes, fr);
    }
    if (annulation.pile().count() != nbModifications
        || d.Modifications.nbEnAttente() != nbModifications)
        etat.SkipWithError("journal incomplet");
    for (auto _ : etat) {
        benchmark::DoNotOptimize(annulation.annuler());
        benchmark::DoNotOptimize(annulation.refaire());
    }
}

BENCHMARK(BM_Chargeq_Click)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnnulerRefaire)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    mesure::RapportObjectif rapport("BM_Chargeq_Click", 1.0);
    benchmark::RunSpecifiedBenchmarks(&rapport);
    const bool tenu = rapport.afficher();
    benchmark::Shutdown();
    return tenu ? 0 : 1;
}
