#pragma once

#include "rider/revue.h"

#include <QWidget>

class QKeyEvent;
class QListWidget;
class QPushButton;

namespace zarvo::ui {

/**
 * La fenêtre « Modifications en attente » : une ligne par case modifiée et pas encore
 * appliquée, regroupées par coureur ou équipe. Elle ne touche pas aux données : elle dit quoi
 * annuler ou quoi montrer, la fenêtre principale le fait puis la remplit de nouveau.
 */
class Revue : public QWidget
{
    Q_OBJECT

public:
    explicit Revue(QWidget *parent = nullptr);

    void remplir(const QList<LigneRevue> &lignes);

    QListWidget *Lignes() const { return m_Lignes; }

signals:
    /// Cases à remettre à leur valeur de départ.
    void annuler(const QList<Attente> &cases);
    /// Montrer ce coureur ou cette équipe dans la fenêtre principale.
    void montrer(TableModif table, int ligneFeuille);

private:
    /// Cases en attente de la ligne choisie ; groupe : toutes celles de son coureur, son équipe.
    QList<Attente> choisies(bool groupe) const;

    QList<LigneRevue> m_lignes;
    QListWidget *m_Lignes = nullptr;
    QPushButton *m_AnnulerLigne = nullptr, *m_AnnulerGroupe = nullptr, *m_AnnulerTout = nullptr;
};

/// Ctrl+Z, Ctrl+Maj+Z, Ctrl+Y : raccourcis de la fenêtre, qu'une case ne doit pas garder.
bool estRaccourciAnnulation(const QKeyEvent &e);

} // namespace zarvo::ui
