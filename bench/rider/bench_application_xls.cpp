// Application des modifications avec les 972 coureurs et les 41 équipes marqués, puis
// enregistrement, sur le vrai moteur .xls et une copie du classeur de démonstration. Référence
// dans la même exécution : le même enregistrement après une seule écriture de case.
#include "classeur_jeu/application.h"
#include "classeur_jeu/chargement.h"
#include "sheet/xls/application_xls.h"

#include "commun/rapport.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using namespace zarvo;

namespace {

const QString demo = QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls");

/// Copie neuve du classeur, ouverte et chargée, tout marqué ; hors mesure.
struct Preparation
{
    QTemporaryDir dossier;
    std::unique_ptr<sheet::Application> app;
    sheet::Classeur *classeur = nullptr;
    Donnees d;

    bool preparer(int n)
    {
        const QString chemin = dossier.filePath(QStringLiteral("demo%1.xls").arg(n));
        if (!QFile::copy(demo, chemin))
            return false;
        app = sheet::creerApplicationXls();
        d = Donnees();
        chargerClasseur(*app, chemin, d);
        classeur = app->classeurActif();
        for (int i = base::premiereLigneCoureur; i <= base::derniereLigneCoureur; ++i)
            d.TabCoureurs(i, base::colModifCoureur) = Cellule::nombre(1);
        for (int k = base::premiereLigneEquipe; k <= base::derniereLigneEquipe; ++k)
            d.TabEquipes(k, base::colModifEquipe) = Cellule::nombre(1);
        return classeur != nullptr;
    }
};

Reponse oui(const QString &)
{
    return Reponse::Oui;
}

/// Chaque tour mesure `faire` sur une copie neuve préparée hors mesure ; faux = refus.
template<typename F>
void surCopieNeuve(benchmark::State &etat, F faire)
{
    Preparation p;
    int n = 0;
    for (auto _ : etat) {
        etat.PauseTiming();
        if (!p.preparer(n++)) {
            etat.SkipWithError("classeur de démonstration introuvable");
            break;
        }
        etat.ResumeTiming();
        if (!faire(p))
            etat.SkipWithError("application ou enregistrement refusé");
    }
}

void BM_ApplicationEtEnregistrement(benchmark::State &etat)
{
    surCopieNeuve(etat, [](Preparation &p) {
        const ResultatApplication r = appliquerModifications(p.d, *p.classeur);
        return !r.erreur && p.classeur->fermer(oui).fermee;
    });
}

void BM_EnregistrementSeulReference(benchmark::State &etat)
{
    surCopieNeuve(etat, [](Preparation &p) {
        p.classeur->feuille(QStringLiteral("DYN_team"))
            .plage(QStringLiteral("B2"))
            ->ecrire(Cellule::texte(QStringLiteral("Renommée")));
        return p.classeur->fermer(oui).fermee;
    });
}

BENCHMARK(BM_ApplicationEtEnregistrement)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnregistrementSeulReference)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    mesure::RapportTemps rapport;
    benchmark::RunSpecifiedBenchmarks(&rapport);
    if (rapport.ms("BM_ApplicationEtEnregistrement") > 0)
        std::printf(
            "\nApplication (972 coureurs et 41 équipes marqués) puis enregistrement, moteur "
            ".xls, classeur de démonstration : %.2f ms ; enregistrement après une seule "
            "écriture : %.2f ms ; objectif < 100 ms ensemble\n",
            rapport.ms("BM_ApplicationEtEnregistrement"),
            rapport.ms("BM_EnregistrementSeulReference"));
    benchmark::Shutdown();
}
