// Redessin du profil du coureur après un relâchement de touche dans le panneau, à côté de la
// référence mesurée dans la même exécution : le relâchement et ce qu'il repeint du panneau,
// fenêtre du profil fermée.
// Base de la taille du jeu (972 coureurs), fenêtres réelles hors écran.
#include "base_synthetique.h"
#include "soutien/messages_factices.h"
#include "ui/Equipes.h"
#include "ui/ProfilCoureur.h"
#include "ui/RadarProfil.h"

#include "commun/rapport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <benchmark/benchmark.h>

using namespace zarvo;

namespace {

struct Fenetres
{
    ui::MessagesFactices messages;
    ui::Equipes equipes { messages };
    Fenetres()
    {
        equipes.donnees() = mesure::baseSynthetique();
        DescriptionBouton b;
        b.tag = QStringLiteral("500");
        equipes.creerCoureur(1, b);
        equipes.show();
        QCoreApplication::processEvents(); // exposée : repaint() peint vraiment
        equipes.Coureur_Click(1);
    }
    // Une frappe dans la case Montagne : le texte change à chaque tour, puis la touche monte.
    void taper(int i)
    {
        QLineEdit *note = equipes.Note()[12];
        note->setText(QString::number(60 + i % 30));
        QKeyEvent relache(QEvent::KeyRelease, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
        QApplication::sendEvent(note, &relache);
    }
    // Ce que la frappe a changé est peint, comme la boucle d'événements le ferait.
    static void peindre()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::sendPostedEvents();
    }
};

Fenetres *fenetres = nullptr;

void BM_ToucheDuPanneauReference(benchmark::State &etat)
{
    if (auto *p = fenetres->equipes.fenetreProfil())
        p->hide();
    int i = 0;
    for (auto _ : etat) {
        fenetres->taper(++i);
        fenetres->peindre();
    }
}

void BM_ToucheAvecProfil(benchmark::State &etat)
{
    fenetres->equipes.Profil_Click();
    QCoreApplication::processEvents();
    int i = 0;
    for (auto _ : etat) {
        fenetres->taper(++i);
        fenetres->peindre();
    }
    if (fenetres->equipes.fenetreProfil()->dessin().caracteristiques.points[1].valeur
        != 60 + i % 30)
        etat.SkipWithError("le profil n'a pas suivi la frappe");
}

void BM_RedessinDuProfilSeul(benchmark::State &etat)
{
    fenetres->equipes.Profil_Click();
    QCoreApplication::processEvents();
    QString notes[34];
    for (int c = 1; c <= 33; ++c)
        notes[c] = fenetres->equipes.Note()[c]->text();
    const int ligne = fenetres->equipes.NumLigne()->text().toInt();
    for (auto _ : etat) {
        fenetres->equipes.fenetreProfil()->actualiser(ligne, notes);
        // Le pire cas : tout le graphique repeint, pas seulement ce qui a changé.
        fenetres->peindre();
        fenetres->equipes.fenetreProfil()->Graphique()->repaint();
    }
}

BENCHMARK(BM_ToucheDuPanneauReference)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToucheAvecProfil)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_RedessinDuProfilSeul)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    Fenetres f;
    fenetres = &f;
    mesure::RapportObjectif rapport("BM_ToucheDuPanneauReference/process_time", 5.0);
    benchmark::RunSpecifiedBenchmarks(&rapport);
    rapport.afficher();
    benchmark::Shutdown();
}
