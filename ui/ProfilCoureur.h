#pragma once

#include "model/donnees.h"
#include "rider/profil.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace zarvo::ui {

class RadarProfil;
class ServiceMessages;

/**
 * La fenêtre non modale « Profil du coureur » : le radar des douze caractéristiques du coureur
 * du panneau (caractéristiques pleines, potentiels en contour, échelle fixe 0–100), un coureur
 * épinglé par « Comparer », la moyenne de son équipe au choix, l'image enregistrée en PNG ou
 * en SVG. La fenêtre principale l'actualise à chaque clic et relâchement de touche du panneau ;
 * le dessin vient de dessinProfil(), la fenêtre ne fait que l'appliquer au graphique.
 *
 * Le graphique (nom "Graphique") porte dans sa propriété "etat" ce qu'il montre, pour l'outil
 * de captures.
 */
class ProfilCoureur : public QWidget
{
    Q_OBJECT

public:
    ProfilCoureur(const Donnees &donnees, ServiceMessages &messages, QWidget *parent = nullptr);
    ~ProfilCoureur() override;

    /// Le coureur de `numLigne` (0 : aucun), avec les textes des cases Note(1..33).
    void actualiser(int numLigne, const QString (&notes)[34]);
    const DessinProfil &dessin() const { return m_dessin; }
    /// Écrit l'image (SVG si le chemin finit par .svg, sinon PNG) ; faux si l'écriture échoue.
    bool enregistrer(const QString &chemin);

    RadarProfil *Graphique() const { return m_Graphique; }
    QPushButton *Comparer() const { return m_Comparer; }
    QPushButton *SansComparaison() const { return m_SansComparaison; }
    QCheckBox *MoyenneEquipe() const { return m_MoyenneEquipe; }
    QPushButton *Enregistrer() const { return m_Enregistrer; }

public slots:
    void Comparer_Click();
    void SansComparaison_Click();
    void Enregistrer_Click();
    /// Recalcule le dessin depuis les tables et l'applique au graphique.
    void redessiner();

private:
    const Donnees &m_donnees;
    ServiceMessages &m_messages;
    int m_numLigne = 0;
    QString m_notes[34];
    Cellule m_feuilleComparee; ///< colonne 0 du coureur épinglé : elle suit sa ligne aux tris
    DessinProfil m_dessin;

    RadarProfil *m_Graphique = nullptr;
    QLabel *m_Remarque = nullptr;
    QPushButton *m_Comparer = nullptr, *m_SansComparaison = nullptr, *m_Enregistrer = nullptr;
    QCheckBox *m_MoyenneEquipe = nullptr;
};

} // namespace zarvo::ui
