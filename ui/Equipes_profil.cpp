// Le bouton « Profil » du cadre des équipes et la fenêtre du profil qu'il ouvre : elle suit le
// coureur du panneau (NumLigne) et chaque relâchement de touche dans ses cases.
#include "model/conversions.h"
#include "ui/Equipes.h"
#include "ui/ProfilCoureur.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace zarvo::ui {

void Equipes::brancherProfil()
{
    // Place libre du cadre, à droite des boutons de classement.
    m_Profil = new QPushButton(QStringLiteral("Profil"), m_Equipe);
    nommer(m_Profil, QStringLiteral("Profil"), QStringLiteral("bouton"));
    placer(m_Profil, QRect(8640, 800, 1215, 375));
    m_Profil->setToolTip(QStringLiteral("Profil du coureur affiché en image (Ctrl+P)"));
    connect(m_Profil, &QPushButton::clicked, this, &Equipes::Profil_Click);
    auto *raccourci = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
    connect(raccourci, &QShortcut::activated, this, &Equipes::Profil_Click);
    // Après le gestionnaire du panneau : la table tient déjà la frappe.
    connect(this, &Equipes::toucheNote, this, &Equipes::actualiserProfil);
    connect(m_NumLigne, &QLineEdit::textChanged, this, &Equipes::actualiserProfil);
}

void Equipes::Profil_Click()
{
    if (m_profil == nullptr)
        m_profil = new ProfilCoureur(m_donnees, m_messages, this);
    m_profil->show();
    m_profil->raise();
    m_profil->activateWindow();
    actualiserProfil();
}

void Equipes::actualiserProfil()
{
    if (m_profil == nullptr || !m_profil->isVisible())
        return; // fermée, elle se remet à jour quand on la rouvre
    QString notes[34];
    for (int c = 1; c <= 33; ++c)
        if (QLineEdit *e = m_Note[c])
            notes[c] = e->text();
    m_profil->actualiser(int(plancher(lireNombre(m_NumLigne->text()).value_or(0))), notes);
}

} // namespace zarvo::ui
