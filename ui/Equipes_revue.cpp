// Annuler, refaire et la revue des modifications en attente : la pile et les lignes viennent
// de la logique (rider/annulation.h, rider/revue.h), la fenêtre remontre ce qui a changé.
#include "model/conversions.h"
#include "rider/annulation.h"
#include "teams/equipes.h"
#include "ui/Equipes.h"
#include "ui/Revue.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace zarvo::ui {

namespace {

const QKeySequence toucheRevue(Qt::CTRL | Qt::Key_M);
const QList<QKeySequence> touchesAnnuler { QKeySequence(Qt::CTRL | Qt::Key_Z) };
const QList<QKeySequence> touchesRefaire { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
    QKeySequence(Qt::CTRL | Qt::Key_Y) };

} // namespace

bool estRaccourciAnnulation(const QKeyEvent &e)
{
    const QKeySequence s(e.keyCombination());
    return touchesAnnuler.contains(s) || touchesRefaire.contains(s);
}

void Equipes::brancherAnnulation()
{
    m_annulation = std::make_unique<Annulation>(m_donnees);
    m_Modifs = new QPushButton(texteBoutonModifs(0), m_Equipe);
    nommer(m_Modifs, QStringLiteral("Modifs"), QStringLiteral("bouton"));
    placer(m_Modifs, QRect(6720, 800, 1815, 375));
    m_Modifs->setToolTip(QStringLiteral("Voir et annuler les modifications pas encore "
                                        "appliquées (Ctrl+M) ; Ctrl+Z annule, Ctrl+Maj+Z refait"));
    connect(m_Modifs, &QPushButton::clicked, this, &Equipes::Modifs_Click);

    // Raccourcis de tout le programme : ils valent aussi dans la fenêtre de la revue.
    auto raccourci = [this](const QList<QKeySequence> &touches, auto slot) {
        auto *s = new QShortcut(this);
        s->setKeys(touches);
        s->setContext(Qt::ApplicationShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    raccourci(touchesAnnuler, &Equipes::Annuler);
    raccourci(touchesRefaire, &Equipes::Refaire);
    raccourci({ toucheRevue }, &Equipes::Modifs_Click);
    connect(&m_annulation->pile(), &QUndoStack::indexChanged, this, &Equipes::majModifs);

    m_revue = std::make_unique<Revue>();
    connect(this, &Equipes::termine, m_revue.get(), &QWidget::hide);
    connect(m_revue.get(), &Revue::annuler, this,
        [this](const QList<Attente> &cases) { remontrer(m_annulation->revenir(cases)); });
    connect(m_revue.get(), &Revue::montrer, this, [this](TableModif table, int ligneFeuille) {
        if (table == TableModif::Coureurs) {
            if (const int r = ligneDeFeuille(m_donnees.TabCoureurs, ligneFeuille))
                montrerCoureur(r);
        } else if (const int r = ligneDeFeuille(m_donnees.TabEquipes, ligneFeuille)) {
            appliquerListe(zarvo::Chargeq_Click(m_donnees, r));
        }
        activateWindow();
        raise();
    });
}

void Equipes::Modifs_Click()
{
    majModifs();
    m_revue->remplir(lignesRevue(m_donnees));
    m_revue->show();
    m_revue->raise();
    m_revue->activateWindow();
}

void Equipes::Annuler()
{
    remontrer(m_annulation->annuler());
}

void Equipes::Refaire()
{
    remontrer(m_annulation->refaire());
}

void Equipes::remontrer(const Remise &r)
{
    // Comme après un clic : cases, notes et salaire ; les listes à l'écran ne bougent pas.
    const int ligne = m_NumLigne->text().toInt();
    if (ligne != 0 && r.coureurs.contains(ligne))
        montrerCoureur(ligne);
    const int equipe = m_NumEq->text().toInt();
    if (equipe != 0 && r.equipes.contains(equipe))
        for (int k = 1; k <= 6; ++k)
            if (QLineEdit *e = m_Careq[k])
                e->setText(texteCellule(m_donnees.TabEquipes(equipe, k)));
    majModifs();
}

void Equipes::majModifs()
{
    m_Modifs->setText(texteBoutonModifs(m_donnees.Modifications.nbEnAttente()));
    if (m_revue && m_revue->isVisible())
        m_revue->remplir(lignesRevue(m_donnees));
}

} // namespace zarvo::ui
