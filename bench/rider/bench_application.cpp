// Application des modifications avec les 972 coureurs et les 41 équipes marqués, sur le
// tableur en mémoire, à côté d'une référence : les mêmes écritures de cases faites
// directement par l'interface du tableur, sans relèvement ni progression.
#include "classeur_jeu/application.h"
#include "model/donnees.h"
#include "sheet/adresse.h"
#include "soutien/memoire.h"

#include "commun/rapport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>
#include <random>

using namespace zarvo;

namespace {

const QString chemin = QStringLiteral("/bench/base.xls");

Donnees baseMarquee()
{
    std::mt19937 g(7);
    Donnees d;
    d.Colonnes = colonnesFeuilleCoureurs();
    for (int i = 2; i <= 973; ++i) {
        d.TabCoureurs(i, 0) = Cellule::nombre(975 - i);
        d.TabCoureurs(i, 1) = Cellule::nombre(i);
        d.TabCoureurs(i, 2) = Cellule::texte(QStringLiteral("Coureur%1").arg(g() % 500));
        d.TabCoureurs(i, 3) = Cellule::texte(QStringLiteral("Prenom"));
        for (int c = 4; c <= 35; ++c)
            d.TabCoureurs(i, c) = Cellule::nombre(50 + g() % 35);
        d.TabCoureurs(i, 36) = Cellule::nombre(1);
    }
    for (int k = 1; k <= 41; ++k) {
        d.TabEquipes(k, 0) = Cellule::nombre(k);
        for (int c = 1; c <= 6; ++c)
            d.TabEquipes(k, c) = Cellule::nombre(c);
        d.TabEquipes(k, 7) = Cellule::nombre(1);
    }
    return d;
}

sheet::TableurMemoire::ClasseurMemoire classeurVide()
{
    sheet::TableurMemoire::ClasseurMemoire c;
    c.ordre = QStringList { QStringLiteral("DYN_cyclist"), QStringLiteral("DYN_team") };
    c.feuilles[c.ordre[0]];
    c.feuilles[c.ordre[1]];
    return c;
}

void BM_Application(benchmark::State &etat)
{
    const Donnees source = baseMarquee();
    Donnees d;
    std::optional<sheet::TableurMemoire> tableur;
    for (auto _ : etat) {
        // Préparation et destruction du tour précédent hors mesure ; le relèvement change
        // les tables : chaque tour repart d'elles.
        etat.PauseTiming();
        d = source;
        tableur.emplace();
        tableur->deposer(chemin, classeurVide());
        sheet::Classeur &classeur = tableur->ouvrir(chemin);
        etat.ResumeTiming();
        const ResultatApplication r = appliquerModifications(
            d, classeur, [](const QString &t) { benchmark::DoNotOptimize(t); });
        benchmark::DoNotOptimize(r);
        if (r.erreur || r.nbEcritures != 972 * 33 + 41 * 6)
            etat.SkipWithError("application incomplète");
    }
}

void BM_EcrituresSeulesReference(benchmark::State &etat)
{
    const Donnees source = baseMarquee();
    std::optional<sheet::TableurMemoire> tableur;
    for (auto _ : etat) {
        etat.PauseTiming();
        tableur.emplace();
        tableur->deposer(chemin, classeurVide());
        sheet::Classeur &classeur = tableur->ouvrir(chemin);
        etat.ResumeTiming();
        sheet::Feuille &fc = classeur.feuille(QStringLiteral("DYN_cyclist"));
        for (int i = 2; i <= 973; ++i)
            for (int c = 1; c <= 33; ++c)
                fc.plage(sheet::texteAdresse(975 - i, c))->ecrire(source.TabCoureurs(i, c));
        sheet::Feuille &fe = classeur.feuille(QStringLiteral("DYN_team"));
        for (int k = 1; k <= 41; ++k)
            for (int c = 1; c <= 6; ++c)
                fe.plage(sheet::texteAdresse(k, c))->ecrire(source.TabEquipes(k, c));
    }
}

BENCHMARK(BM_Application)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EcrituresSeulesReference)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    mesure::RapportTemps rapport;
    benchmark::RunSpecifiedBenchmarks(&rapport);
    if (rapport.ms("BM_Application") > 0)
        std::printf("\nApplication, 972 coureurs et 41 équipes marqués (tableur en mémoire) : "
                    "%.2f ms ; mêmes écritures seules : %.2f ms ; surcoût de l'application : "
                    "%.0f %% ; objectif < 100 ms\n",
            rapport.ms("BM_Application"), rapport.ms("BM_EcrituresSeulesReference"),
            100.0
                * (rapport.ms("BM_Application") / rapport.ms("BM_EcrituresSeulesReference") - 1.0));
    benchmark::Shutdown();
}
