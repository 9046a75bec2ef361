#pragma once

#include "rider/profil.h"

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
    DessinProfil m_dessin;
};

} // namespace zarvo::ui
