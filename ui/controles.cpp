#include "ui/controles.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace zarvo::ui {

int twipsEnPixels(int twips)
{
    return int(std::lround(double(twips) / twipsParPixel));
}

QRect twipsEnPixels(const QRect &t)
{
    return QRect(twipsEnPixels(t.x()), twipsEnPixels(t.y()), twipsEnPixels(t.width()),
        twipsEnPixels(t.height()));
}

void placer(QWidget *w, const QRect &twips)
{
    w->setProperty(propriete::twips, twips);
    w->setGeometry(twipsEnPixels(twips));
}

void nommer(QWidget *w, const QString &nom, const QString &genre, int index)
{
    w->setObjectName(nom);
    w->setProperty(propriete::genre, genre);
    if (index >= 0)
        w->setProperty(propriete::index, index);
}

void police(QWidget *w, qreal points, bool gras, bool italique, const QString &famille)
{
    QFont f = w->font();
    if (!famille.isEmpty())
        f.setFamilies({ famille });
    f.setPointSizeF(points);
    f.setBold(gras);
    f.setItalic(italique);
    w->setFont(f);
}

void policeDeFenetre(QWidget *fenetre)
{
    static const bool substitutions = [] {
        QFont::insertSubstitution(
            QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(
            QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
        QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
        return true;
    }();
    Q_UNUSED(substitutions);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(8.25);
    fenetre->setFont(f);
}

void couleurFond(QWidget *w, const QColor &c)
{
    w->setProperty(propriete::couleurFond, c);
    QPalette p = w->palette();
    // Un bouton se peint avec Button, une case avec Base, le reste avec Window.
    if (qobject_cast<QPushButton *>(w)) {
        p.setColor(QPalette::Button, c);
    } else if (qobject_cast<QLineEdit *>(w)) {
        p.setColor(QPalette::Base, c);
    } else {
        p.setColor(QPalette::Window, c);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
}

void couleurTexte(QWidget *w, const QColor &c)
{
    w->setProperty(propriete::couleurTexte, c);
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    p.setColor(QPalette::ButtonText, c);
    w->setPalette(p);
}

QColor couleurRgb(unsigned rgb)
{
    return QColor(int((rgb >> 16) & 0xff), int((rgb >> 8) & 0xff), int(rgb & 0xff));
}

int indexDe(const QWidget *w)
{
    const QVariant v = w->property(propriete::index);
    return v.isValid() ? v.toInt() : -1;
}

void afficherTexte(QLineEdit *e, const QString &texte)
{
    e->setText(texte);
    e->setCursorPosition(0);
}

} // namespace zarvo::ui
