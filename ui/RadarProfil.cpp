#include "ui/RadarProfil.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace zarvo::ui {

namespace {

// Couleurs du panneau : caractéristiques en vert, potentiels en orange.
const QColor vert(0, 128, 0), orange(255, 128, 0), bleu(0, 0, 255), gris(96, 96, 96),
    rouge(220, 0, 0), violet(200, 0, 200), toile(205, 205, 205);
constexpr double hauteurTitre = 34, largeurLegende = 250;

struct Trace
{
    const SerieProfil *serie;
    QPen stylo;
    QBrush fond;
};

// Repère du radar : centre, rayon, et position d'une valeur de l'échelle sur l'axe k.
struct Repere
{
    QPointF centre;
    double rayon;
    double minimum, maximum;
    QPointF direction(int k) const
    {
        const double a = qDegreesToRadians(k * 360.0 / profil::nbAxes);
        return { qSin(a), -qCos(a) }; // premier axe en haut, dans le sens des aiguilles
    }
    QPointF point(int k, double v) const
    {
        return centre + direction(k) * rayon * (v - minimum) / (maximum - minimum);
    }
    QPolygonF contour(const SerieProfil &s) const
    {
        QPolygonF poly;
        for (int k = 0; k < profil::nbAxes; ++k)
            poly << point(k, s.points[std::size_t(k)].dessin);
        return poly;
    }
};

void marque(QPainter &p, const QPointF &c, bool triangle)
{
    QPolygonF forme;
    if (triangle)
        forme << c + QPointF(0, -7) << c + QPointF(6, 5) << c + QPointF(-6, 5);
    else
        forme << c + QPointF(0, -6) << c + QPointF(6, 0) << c + QPointF(0, 6) << c + QPointF(-6, 0);
    p.setPen(QPen(Qt::black, 0.8));
    p.setBrush(triangle ? rouge : violet);
    p.drawPolygon(forme);
}

// Le radar occupe ce que laissent le titre et la légende, avec la place des noms d'axes.
Repere repere(const QRectF &zone, const DessinProfil &d, const QFontMetricsF &fm)
{
    const QRectF radar(zone.left(), zone.top() + hauteurTitre, zone.width() - largeurLegende,
        zone.height() - hauteurTitre);
    const double marge = fm.horizontalAdvance(QStringLiteral("Accélération")) * 0.6 + 12;
    return { radar.center(), std::max(10.0, std::min(radar.width(), radar.height()) / 2 - marge),
        d.minimum, d.maximum };
}

} // namespace

RadarProfil::RadarProfil(QWidget *parent)
    : QWidget(parent)
{ }

void RadarProfil::definir(const DessinProfil &dessin)
{
    m_dessin = dessin;
    update();
}

void RadarProfil::paintEvent(QPaintEvent *)
{
    // La toile ne change qu'avec la taille : peinte une fois, seules les courbes suivent la frappe.
    const qreal ratio = devicePixelRatioF();
    if (m_toile.size() != size() * ratio) {
        m_toile = QPixmap(size() * ratio);
        m_toile.setDevicePixelRatio(ratio);
        QPainter t(&m_toile);
        t.setFont(font());
        t.setRenderHint(QPainter::Antialiasing);
        peindreToile(t, rect(), m_dessin);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, m_toile);
    p.setRenderHint(QPainter::Antialiasing);
    peindreCourbes(p, rect(), m_dessin);
}

void RadarProfil::peindre(QPainter &p, const QRectF &zone, const DessinProfil &d)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    peindreToile(p, zone, d);
    peindreCourbes(p, zone, d);
    p.restore();
}

void RadarProfil::peindreToile(QPainter &p, const QRectF &zone, const DessinProfil &d)
{
    p.fillRect(zone, Qt::white);
    const QFontMetricsF fm(p.font());
    const Repere r = repere(zone, d, fm);

    // La toile : un polygone tous les 20 points d'échelle, un rayon par axe, ses graduations.
    p.setPen(QPen(toile, 1));
    p.setBrush(Qt::NoBrush);
    for (int pas = 1; pas <= 5; ++pas) {
        const double v = d.minimum + (d.maximum - d.minimum) * pas / 5;
        QPolygonF cercle;
        for (int k = 0; k < profil::nbAxes; ++k)
            cercle << r.point(k, v);
        p.drawPolygon(cercle);
    }
    for (int k = 0; k < profil::nbAxes; ++k)
        p.drawLine(r.centre, r.point(k, d.maximum));
    p.setPen(gris);
    for (int pas = 0; pas <= 5; ++pas) {
        const double v = d.minimum + (d.maximum - d.minimum) * pas / 5;
        // Sous la graduation : le nom du premier axe est juste au-dessus de la toile.
        p.drawText(r.point(0, v) + QPointF(4, fm.ascent()), QString::number(v));
    }
    p.setPen(Qt::black);
    for (int k = 0; k < d.axes.size() && k < profil::nbAxes; ++k) {
        // Le nom s'écarte du bout de l'axe du côté où l'axe pointe.
        const QPointF bout = r.centre + r.direction(k) * (r.rayon + 8);
        const double larg = fm.horizontalAdvance(d.axes[k]), haut = fm.height();
        const QPointF dir = r.direction(k);
        const QPointF coin(
            bout.x() - larg / 2 + dir.x() * larg / 2, bout.y() - haut / 2 + dir.y() * haut / 2);
        p.drawText(QRectF(coin, QSizeF(larg + 1, haut)), Qt::AlignCenter, d.axes[k]);
    }
}

void RadarProfil::peindreCourbes(QPainter &p, const QRectF &zone, const DessinProfil &d)
{
    const QFontMetricsF fm(p.font());
    const Repere r = repere(zone, d, fm);
    QFont gras = p.font();
    gras.setBold(true);
    p.save();
    p.setFont(gras);
    p.setPen(Qt::black);
    p.drawText(
        QRectF(zone.left(), zone.top(), zone.width(), hauteurTitre), Qt::AlignCenter, d.titre);
    p.restore();

    QList<Trace> traces;
    if (d.coureur) {
        QColor fond = vert;
        fond.setAlpha(110);
        traces << Trace { &d.caracteristiques, QPen(vert, 1.5), fond };
        traces << Trace { &d.potentiels, QPen(orange, 2), Qt::NoBrush };
        if (d.comparee)
            traces << Trace { &*d.comparee, QPen(bleu, 2, Qt::DashLine), Qt::NoBrush };
        if (d.moyenne)
            traces << Trace { &*d.moyenne, QPen(gris, 2, Qt::DotLine), Qt::NoBrush };
    }
    bool bornes = false, gardes = false;
    for (const Trace &t : traces) {
        p.setPen(t.stylo);
        p.setBrush(t.fond);
        p.drawPolygon(r.contour(*t.serie));
    }
    // Les marques par-dessus toutes les courbes, là où le point est dessiné.
    for (const Trace &t : traces)
        for (int k = 0; k < profil::nbAxes; ++k) {
            const PointProfil &pt = t.serie->points[std::size_t(k)];
            if (pt.borne)
                marque(p, r.point(k, pt.dessin), true);
            if (pt.garde)
                marque(p, r.point(k, pt.dessin), false);
            bornes = bornes || pt.borne;
            gardes = gardes || pt.garde;
        }

    // Légende : un échantillon et un nom par courbe, puis les marques montrées.
    const double x = zone.right() - largeurLegende + 8;
    double y = r.centre.y() - (traces.size() + bornes + gardes) * 22 / 2.0;
    const QRectF texte(0, 0, largeurLegende - 40, 20);
    for (const Trace &t : traces) {
        p.setPen(t.stylo);
        p.setBrush(t.fond);
        p.drawRect(QRectF(x, y + 5, 22, 10));
        p.setPen(Qt::black);
        p.drawText(texte.translated(x + 30, y), Qt::AlignVCenter | Qt::AlignLeft,
            fm.elidedText(t.serie->nom, Qt::ElideRight, texte.width()));
        y += 22;
    }
    for (const auto &[montree, triangle, nom] :
        { std::tuple(bornes, true, QStringLiteral("Hors échelle (au bord)")),
            std::tuple(gardes, false, QStringLiteral("Saisie non numérique")) }) {
        if (!montree)
            continue;
        marque(p, QPointF(x + 11, y + 10), triangle);
        p.setPen(Qt::black);
        p.drawText(texte.translated(x + 30, y), Qt::AlignVCenter | Qt::AlignLeft, nom);
        y += 22;
    }
}

} // namespace zarvo::ui
