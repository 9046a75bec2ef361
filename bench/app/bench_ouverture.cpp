// Ouverture du classeur de démonstration : du clic sur OUVRIR à la fenêtre principale montrée,
// à côté de deux références mesurées dans la même exécution (lecture brute du fichier, et le
// chargement des tables sans aucune fenêtre).

#include "app/FileOpen.h"
#include "app/Programme.h"
#include "classeur_jeu/chargement.h"
#include "commun/classeur_essai.h"
#include "soutien/messages_factices.h"
#include "ui/Equipes.h"

#include "sheet/xls/application_xls.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace zarvo;

namespace {

const QString demo = QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls");

/// Un dossier avec une copie du classeur de démo (jamais l'original).
struct Copie
{
    QTemporaryDir dossier;
    QString chemin = dossier.filePath(QStringLiteral("demo.xls"));
    Copie() { QFile::copy(demo, chemin); }
};

void fermerSansEnregistrer(sheet::Application *t)
{
    if (t)
        t->quitter([](const QString &) { return Reponse::Non; });
}

/// Mesure du clic sur OUVRIR jusqu'à la fenêtre principale montrée et peinte une fois.
void mesurerOuverture(benchmark::State &etat, const app::FabriqueTableur &fabrique,
    const QString &dossier, const QString &chemin)
{
    for (auto _ : etat) {
        etat.PauseTiming();
        ui::MessagesFactices messages;
        auto programme = std::make_unique<app::Programme>(messages, fabrique, dossier);
        programme->demarrer();
        programme->selecteur().selectionnerFichier(chemin);
        QCoreApplication::processEvents();
        etat.ResumeTiming();

        programme->selecteur().OUVRIR()->click();
        QCoreApplication::processEvents(); // exposition et première peinture

        etat.PauseTiming();
        if (programme->equipes() == nullptr || !programme->equipes()->isVisible()) {
            etat.SkipWithError("la fenêtre principale ne s'est pas montrée");
            break;
        }
        fermerSansEnregistrer(programme->tableur());
        programme.reset();
        etat.ResumeTiming();
    }
}

void BM_Memoire_OuvrirJusquaFenetre(benchmark::State &etat)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("base.xls"));
    QFile(chemin).open(QIODevice::WriteOnly);
    const auto classeur = essai::classeurOrdinaire();
    mesurerOuverture(
        etat,
        [&] {
            auto t = std::make_unique<sheet::TableurMemoire>();
            t->deposer(chemin, classeur);
            return t;
        },
        dossier.path(), chemin);
}
BENCHMARK(BM_Memoire_OuvrirJusquaFenetre)->Unit(benchmark::kMillisecond);

void BM_Demo_LectureBruteDuFichier(benchmark::State &etat)
{
    Copie copie;
    for (auto _ : etat) {
        QFile f(copie.chemin);
        f.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(f.readAll());
    }
}
BENCHMARK(BM_Demo_LectureBruteDuFichier)->Unit(benchmark::kMillisecond);

void BM_Demo_ChargementSansFenetre(benchmark::State &etat)
{
    Copie copie;
    for (auto _ : etat) {
        auto tableur = sheet::creerApplicationXls();
        Donnees d;
        benchmark::DoNotOptimize(chargerClasseur(*tableur, copie.chemin, d));
        fermerSansEnregistrer(tableur.get());
    }
}
BENCHMARK(BM_Demo_ChargementSansFenetre)->Unit(benchmark::kMillisecond);

void BM_Demo_OuvrirJusquaFenetre(benchmark::State &etat)
{
    Copie copie;
    mesurerOuverture(
        etat, [] { return sheet::creerApplicationXls(); }, copie.dossier.path(), copie.chemin);
}
BENCHMARK(BM_Demo_OuvrirJusquaFenetre)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
