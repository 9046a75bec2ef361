#pragma once

#include "rider/profil.h"

#include <QPixmap>
#include <QWidget>

class QPainter;

namespace zarvo::ui {

/**
 * Le radar du profil, peint d'après un DessinProfil : toile de l'échelle fixe, douze axes,
 * caractéristiques pleines, potentiels, comparé et moyenne en contours, points hors échelle
 * ou gardés marqués, légende à droite. L'écran, l'image PNG et le SVG passent par peindre().
 */
class RadarProfil : public QWidget
{
public:
    explicit RadarProfil(QWidget *parent = nullptr);

    void definir(const DessinProfil &dessin);
    /// Peint `dessin` dans `zone` (fond compris).
    static void peindre(QPainter &p, const QRectF &zone, const DessinProfil &dessin);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    /// Fond, toile de l'échelle, graduations et noms des axes : ce qui ne suit pas la frappe.
    static void peindreToile(QPainter &p, const QRectF &zone, const DessinProfil &dessin);
    /// Titre, courbes, marques et légende.
    static void peindreCourbes(QPainter &p, const QRectF &zone, const DessinProfil &dessin);

    DessinProfil m_dessin;
    QPixmap m_toile;
};

} // namespace zarvo::ui
