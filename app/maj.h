#pragma once

#include "ui/progression.h"

#include <QWidget>

class QLabel;

namespace zarvo::app {

/**
 * Fenêtre de progression « Mise à jour des données modifiées » : non modale ; l'étiquette
 * `application` est repeinte dès que son texte change, car l'application des modifications
 * tourne sans rendre la main à la boucle d'événements.
 */
class maj : public QWidget, public ui::Progression
{
    Q_OBJECT

public:
    explicit maj(QWidget *parent = nullptr);

    QLabel *application() const { return m_application; }

    void montrer() override;
    void etape(const QString &texte) override;
    void cacher() override;

private:
    QLabel *m_application;
};

} // namespace zarvo::app
