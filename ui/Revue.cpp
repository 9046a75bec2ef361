#include "ui/Revue.h"

#include "ui/controles.h"

#include <QListWidget>
#include <QPushButton>

namespace zarvo::ui {

Revue::Revue(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    nommer(this, QStringLiteral("Revue"), QStringLiteral("fenetre"));
    policeDeFenetre(this);
    setWindowTitle(QStringLiteral("Modifications en attente"));
    setFixedSize(twipsEnPixels(7200), twipsEnPixels(4935));
    setProperty(propriete::twips, QRect(0, 0, 7200, 4935));

    m_Lignes = new QListWidget(this);
    nommer(m_Lignes, QStringLiteral("Lignes"), QStringLiteral("liste"));
    placer(m_Lignes, QRect(120, 120, 6960, 4200));
    m_Lignes->setToolTip(QStringLiteral("Double-clic : montrer ce coureur ou cette équipe"));

    auto bouton = [this](const QString &nom, const QString &texte, int gauche, int largeur,
                      const QString &infobulle) {
        auto *b = new QPushButton(texte, this);
        nommer(b, nom, QStringLiteral("bouton"));
        placer(b, QRect(gauche, 4440, largeur, 375));
        b->setToolTip(infobulle);
        return b;
    };
    m_AnnulerLigne = bouton(QStringLiteral("AnnulerLigne"), QStringLiteral("Annuler la ligne"), 120,
        1815, QStringLiteral("Rend à cette case sa valeur de départ"));
    m_AnnulerGroupe = bouton(QStringLiteral("AnnulerGroupe"),
        QStringLiteral("Annuler le coureur / l'équipe"), 2040, 2655,
        QStringLiteral("Rend leur valeur de départ à toutes les cases de ce coureur ou de cette "
                       "équipe"));
    m_AnnulerTout = bouton(QStringLiteral("AnnulerTout"), QStringLiteral("Tout annuler"), 4800,
        1215, QStringLiteral("Rend leur valeur de départ à toutes les cases en attente"));
    QPushButton *fermer = bouton(QStringLiteral("Fermer"), QStringLiteral("Fermer"), 6120, 960,
        QStringLiteral("Ferme cette fenêtre ; les modifications restent en attente"));

    connect(m_AnnulerLigne, &QPushButton::clicked, this, [this] { emit annuler(choisies(false)); });
    connect(m_AnnulerGroupe, &QPushButton::clicked, this, [this] { emit annuler(choisies(true)); });
    connect(m_AnnulerTout, &QPushButton::clicked, this, [this] {
        QList<Attente> toutes;
        for (const LigneRevue &l : m_lignes)
            if (l.annulable)
                toutes << l.attente;
        emit annuler(toutes);
    });
    connect(fermer, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_Lignes, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        const LigneRevue &l = m_lignes.value(m_Lignes->row(item));
        if (l.ligneFeuille != 0)
            emit montrer(l.table, l.ligneFeuille);
    });
}

void Revue::remplir(const QList<LigneRevue> &lignes)
{
    const int choisie = m_Lignes->currentRow();
    m_lignes = lignes;
    m_Lignes->clear();
    bool annulable = false;
    for (const LigneRevue &l : lignes) {
        auto *item = new QListWidgetItem(l.texte, m_Lignes);
        QFont f = item->font();
        f.setBold(l.titre);
        item->setFont(f);
        annulable = annulable || l.annulable;
    }
    // La ligne suivante prend la place de celle qu'on vient d'annuler.
    m_Lignes->setCurrentRow(std::min(choisie, int(m_Lignes->count()) - 1));
    for (QPushButton *b : { m_AnnulerLigne, m_AnnulerGroupe, m_AnnulerTout })
        b->setEnabled(annulable);
}

QList<Attente> Revue::choisies(bool groupe) const
{
    const int r = m_Lignes->currentRow();
    if (r < 0 || r >= m_lignes.size())
        return {};
    const LigneRevue &choisie = m_lignes[r];
    QList<Attente> cases;
    for (const LigneRevue &l : m_lignes)
        if (l.annulable
            && (groupe || choisie.titre
                    ? l.table == choisie.table && l.ligneFeuille == choisie.ligneFeuille
                    : &l == &choisie))
            cases << l.attente;
    return cases;
}

} // namespace zarvo::ui
