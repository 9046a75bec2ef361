// Export HTML complet de la base de démonstration, à côté d'une référence
// mesurée dans la même exécution : l'écriture seule des mêmes octets dans les mêmes fichiers
// d'un dossier neuf. La différence est le coût de la construction et de l'encodage des pages.
#include "export/html.h"

#include <QFile>
#include <QTemporaryDir>

#include "classeur_jeu/chargement.h"
#include "sheet/xls/application_xls.h"

#include "commun/rapport.h"

#include <benchmark/benchmark.h>

#include <cstdio>

#include <sys/stat.h>

using namespace zarvo;

namespace {

const QLocale fr(QLocale::French, QLocale::France);
const QDateTime debut(QDate(2026, 12, 5), QTime(4, 5, 9));

/// La base de démonstration, chargée par le moteur .xls depuis une copie.
Donnees baseDeDemo()
{
    QTemporaryDir dossier;
    const QString copie = dossier.filePath(QStringLiteral("demo.xls"));
    Donnees d;
    if (QFile::copy(QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls"), copie)) {
        auto app = sheet::creerApplicationXls();
        chargerClasseur(*app, copie, d);
    }
    return d;
}

/// Chaque tour mesure `ecrire`, qui rend le dossier neuf qu'il a rempli ; le dossier du tour
/// précédent est effacé hors mesure. Un dossier vide rendu = refus.
template<typename F>
void dansDossiersNeufs(benchmark::State &etat, F ecrire)
{
    QTemporaryDir travail;
    qint64 n = 0;
    QString precedent;
    for (auto _ : etat) {
        etat.PauseTiming();
        if (!precedent.isEmpty())
            QDir(precedent).removeRecursively();
        etat.ResumeTiming();
        precedent = ecrire(QDir(travail.path()), n++);
        if (precedent.isEmpty())
            etat.SkipWithError("écriture refusée");
    }
}

void BM_ExportComplet(benchmark::State &etat)
{
    const Donnees d = baseDeDemo();
    dansDossiersNeufs(etat, [&](const QDir &travail, qint64 n) {
        // Une seconde de plus à chaque tour : un nom neuf, sans chercher de suffixe.
        const ResultatExport r
            = exporterHTML(d, QStringLiteral("demo.xls"), travail, debut.addSecs(n), fr);
        return r.reussi ? r.dossier : QString();
    });
}

void BM_PagesEnMemoireSeules(benchmark::State &etat)
{
    const Donnees d = baseDeDemo();
    for (auto _ : etat) {
        qsizetype taille = 0;
        for (const PageHTML &p : pagesHTML(d, QStringLiteral("demo"), fr))
            taille += encoderWindows1252(p.texte).size();
        benchmark::DoNotOptimize(taille);
    }
}

void BM_EcritureSeuleReference(benchmark::State &etat)
{
    QList<std::pair<QString, QByteArray>> fichiers;
    for (const PageHTML &p : pagesHTML(baseDeDemo(), QStringLiteral("demo"), fr))
        fichiers.append({ p.nom, encoderWindows1252(p.texte) });
    dansDossiersNeufs(etat, [&](const QDir &travail, qint64 n) {
        const QString dossier = travail.filePath(QStringLiteral("ref%1").arg(n));
        ::mkdir(QFile::encodeName(dossier).constData(), 0777);
        for (const auto &[nom, octets] : fichiers) {
            QFile f(dossier + u'/' + nom);
            if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)
                || f.write(octets) != octets.size())
                return QString();
        }
        return dossier;
    });
}

BENCHMARK(BM_ExportComplet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagesEnMemoireSeules)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EcritureSeuleReference)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    mesure::RapportTemps rapport;
    benchmark::RunSpecifiedBenchmarks(&rapport);
    if (rapport.ms("BM_ExportComplet") > 0)
        std::printf("\nExport HTML complet (%s) : %.2f ms ; "
                    "écriture seule des mêmes fichiers : %.2f ms ; pages en mémoire seules : "
                    "%.2f ms ; objectif < 50 ms\n",
            "exemples/demo.xls", rapport.ms("BM_ExportComplet"),
            rapport.ms("BM_EcritureSeuleReference"), rapport.ms("BM_PagesEnMemoireSeules"));
    benchmark::Shutdown();
}
