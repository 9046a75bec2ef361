#include "app/maj.h"

#include "ui/controles.h"

#include <QCoreApplication>
#include <QIcon>
#include <QLabel>

namespace zarvo::app {

using namespace ui;

maj::maj(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    nommer(this, QStringLiteral("maj"), QStringLiteral("fenetre"));
    policeDeFenetre(this);
    setWindowTitle(QStringLiteral("Mise à jour des données modifiées"));
    setWindowIcon(QIcon(QStringLiteral(":/images/icone.svg")));
    setFixedSize(twipsEnPixels(5340), twipsEnPixels(675));
    setProperty(propriete::twips, QRect(0, 0, 5340, 675));
    setWindowModality(Qt::NonModal);
    m_application = new QLabel(this);
    nommer(m_application, QStringLiteral("application"), QStringLiteral("etiquette"));
    placer(m_application, 360, 120, 4695, 375);
}

void maj::montrer()
{
    show();
    raise();
    // L'application des modifications enchaîne sans rendre la main : on laisse la fenêtre
    // apparaître (sans traiter les clics de l'utilisateur) avant qu'elle ne commence.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}

void maj::etape(const QString &texte)
{
    m_application->setVisible(true);
    m_application->setText(texte);
    // repaint() et non update() : l'appelant ne rend pas la main avant la fin.
    m_application->repaint();
}

void maj::cacher()
{
    hide();
}

} // namespace zarvo::app
