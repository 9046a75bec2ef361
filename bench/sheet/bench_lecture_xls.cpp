// Chargement du classeur de démonstration tel que l'éditeur le fait (ouverture, bloc
// "A1:AG973" de DYN_cyclist en une lecture, puis les 74 × 6 cases de DYN_team une par une),
// par notre moteur et par FreeXL (lecteur C de Debian) dans la même exécution.
#include "sheet/adresse.h"
#include "sheet/xls/application_xls.h"

#include <benchmark/benchmark.h>
#include <freexl.h>

#include <QString>

#include <cstdio>
#include <stdexcept>

using namespace zarvo;

namespace {

const char *const demo = ZARVO_SOURCE_DIR "/exemples/demo.xls";

void BM_MoteurXls(benchmark::State &etat)
{
    for (auto _ : etat) {
        auto app = sheet::creerApplicationXls();
        sheet::Classeur &c = app->ouvrir(QString::fromUtf8(demo));
        app->definirCalcul(sheet::calculManuel);
        const Tableau coureurs
            = c.feuille(QStringLiteral("DYN_cyclist")).plage(QStringLiteral("A1:AG973"))->valeurs();
        benchmark::DoNotOptimize(coureurs);
        sheet::Feuille &equipes = c.feuille(QStringLiteral("DYN_team"));
        for (int l = 1; l <= 74; ++l)
            for (int col = 1; col <= 6; ++col) {
                const Cellule v = equipes.plage(sheet::texteAdresse(l, col))->valeur();
                benchmark::DoNotOptimize(v);
            }
        app->quitter([](const QString &) { return Reponse::Non; });
    }
}
BENCHMARK(BM_MoteurXls)->Unit(benchmark::kMillisecond);

// Même travail par FreeXL : mêmes lectures, valeurs rendues dans les mêmes cellules.
// FreeXL refuse une case hors des dimensions de la feuille : elle est vide.
struct Dimensions
{
    unsigned lignes = 0;
    unsigned short colonnes = 0;
};

Dimensions selectionner(const void *h, unsigned feuille)
{
    freexl_select_active_worksheet(h, static_cast<unsigned short>(feuille));
    Dimensions d;
    freexl_worksheet_dimensions(h, &d.lignes, &d.colonnes);
    return d;
}

Cellule celluleFreeXL(const void *h, const Dimensions &d, unsigned l, unsigned short col)
{
    if (l >= d.lignes || col >= d.colonnes)
        return {};
    FreeXL_CellValue v;
    if (freexl_get_cell_value(h, l, col, &v) != FREEXL_OK)
        throw std::runtime_error("freexl_get_cell_value");
    switch (v.type) {
    case FREEXL_CELL_INT:
        return Cellule::nombre(v.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return Cellule::nombre(v.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return Cellule::texte(QString::fromUtf8(v.value.text_value));
    default:
        return {};
    }
}

unsigned feuilleFreeXL(const void *h, const char *nom)
{
    unsigned nb = 0;
    freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &nb);
    for (unsigned i = 0; i < nb; ++i) {
        const char *n = nullptr;
        if (freexl_get_worksheet_name(h, static_cast<unsigned short>(i), &n) == FREEXL_OK && n
            && std::string(n) == nom)
            return i;
    }
    throw std::runtime_error(nom);
}

void BM_FreeXL(benchmark::State &etat)
{
    for (auto _ : etat) {
        const void *h = nullptr;
        if (freexl_open(demo, &h) != FREEXL_OK)
            throw std::runtime_error("freexl_open");
        const Dimensions dc = selectionner(h, feuilleFreeXL(h, "DYN_cyclist"));
        Tableau coureurs(1, 973, 1, 33);
        for (unsigned l = 0; l < 973; ++l)
            for (unsigned short col = 0; col < 33; ++col)
                coureurs(int(l) + 1, col + 1) = celluleFreeXL(h, dc, l, col);
        benchmark::DoNotOptimize(coureurs);
        const Dimensions de = selectionner(h, feuilleFreeXL(h, "DYN_team"));
        for (unsigned l = 0; l < 74; ++l)
            for (unsigned short col = 0; col < 6; ++col) {
                const Cellule v = celluleFreeXL(h, de, l, col);
                benchmark::DoNotOptimize(v);
            }
        freexl_close(h);
    }
}
BENCHMARK(BM_FreeXL)->Unit(benchmark::kMillisecond);

// Temps réel et temps processeur : sur une machine partagée, le temps réel compte aussi
// l'attente des autres processus ; le rapport est donné pour les deux.
class Rapport : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs) {
            const double enMs = benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond)
                / benchmark::GetTimeUnitMultiplier(r.time_unit);
            (r.benchmark_name() == "BM_FreeXL" ? m_ref : m_nous)
                = { r.GetAdjustedRealTime() * enMs, r.GetAdjustedCPUTime() * enMs };
        }
    }
    bool afficher() const
    {
        std::printf("\n%-22s %12s %12s\n", "chargement", "réel (ms)", "processeur (ms)");
        std::printf("%-22s %12.2f %12.2f\n", "moteur .xls", m_nous.first, m_nous.second);
        std::printf("%-22s %12.2f %12.2f\n", "FreeXL", m_ref.first, m_ref.second);
        if (m_ref.first <= 0 || m_ref.second <= 0)
            return false;
        std::printf("rapport moteur / FreeXL : %.2f (réel), %.2f (processeur)\n",
            m_nous.first / m_ref.first, m_nous.second / m_ref.second);
        const bool tenu = m_nous.second < 20.0 && m_nous.second <= m_ref.second;
        std::printf("objectif (moins de 20 ms, pas plus lent que FreeXL) : %s\n",
            tenu ? "tenu" : "NON TENU");
        return tenu;
    }

private:
    std::pair<double, double> m_nous, m_ref;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    Rapport rapport;
    benchmark::RunSpecifiedBenchmarks(&rapport);
    const bool tenu = rapport.afficher();
    benchmark::Shutdown();
    return tenu ? 0 : 1;
}
