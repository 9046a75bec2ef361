// Écrire les 972 × 33 cases des coureurs puis enregistrer le classeur, face à LibreOffice qui
// ouvre et enregistre le même classeur sans fenêtre, mesurés dans la même exécution.
#include "commun/rapport.h"
#include "sheet/adresse.h"
#include "sheet/xls/application_xls.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace zarvo;

namespace {

const QString classeurMesure = QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls");

void copier(const QString &de, const QString &vers)
{
    QFile::remove(vers);
    if (!QFile::copy(de, vers))
        throw std::runtime_error("copie impossible");
}

void EcrireEtEnregistrer(benchmark::State &etat)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("demo.xls"));
    std::vector<QString> adresses;
    for (int l = 2; l <= 973; ++l)
        for (int c = 1; c <= 33; ++c)
            adresses.push_back(sheet::texteAdresse(l, c));
    for (auto _ : etat) {
        etat.PauseTiming();
        copier(classeurMesure, chemin);
        auto app = sheet::creerApplicationXls();
        sheet::Classeur &classeur = app->ouvrir(chemin);
        sheet::Feuille &f = classeur.feuille(QStringLiteral("DYN_cyclist"));
        const Tableau t = f.plage(QStringLiteral("A1:AG973"))->valeurs();
        etat.ResumeTiming();
        // Comme l'application des modifications : une écriture par case, valeur telle que tenue.
        std::size_t i = 0;
        for (int l = 2; l <= 973; ++l)
            for (int c = 1; c <= 33; ++c)
                f.plage(adresses[i++])->ecrire(t(l, c));
        const sheet::Fermeture fin = classeur.fermer([](const QString &) { return Reponse::Oui; });
        if (!fin.fermee)
            etat.SkipWithError("enregistrement refusé");
    }
}

void LibreOfficeOuvreEtEnregistre(benchmark::State &etat)
{
    QTemporaryDir dossier;
    const QString profil = QStringLiteral("-env:UserInstallation=file://")
        + dossier.filePath(QStringLiteral("profil"));
    const QString sortie = dossier.filePath(QStringLiteral("sortie"));
    const QString entree = dossier.filePath(QStringLiteral("demo.xls"));
    copier(classeurMesure, entree);
    const auto lancer = [&] {
        QProcess p;
        p.start(QStringLiteral("soffice"),
            { profil, QStringLiteral("--headless"), QStringLiteral("--norestore"),
                QStringLiteral("--convert-to"), QStringLiteral("xls"), QStringLiteral("--outdir"),
                sortie, entree });
        return p.waitForFinished(300000) && p.exitCode() == 0
            && QFile::exists(sortie + QStringLiteral("/demo.xls"));
    };
    // Premier lancement hors mesure : il crée le profil.
    if (!lancer()) {
        etat.SkipWithError("soffice indisponible");
        return;
    }
    for (auto _ : etat)
        if (!lancer())
            etat.SkipWithError("soffice a échoué");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("EcrireEtEnregistrer", EcrireEtEnregistrer)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(20);
    benchmark::RegisterBenchmark("LibreOfficeOuvreEtEnregistre", LibreOfficeOuvreEtEnregistre)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    zarvo::mesure::RapportObjectif rapport(
        "LibreOfficeOuvreEtEnregistre/iterations:3/real_time", 50);
    benchmark::RunSpecifiedBenchmarks(&rapport);
    return rapport.afficher() ? 0 : 1;
}
