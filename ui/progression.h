#pragma once

#include <QString>

namespace zarvo::ui {

/**
 * Fenêtre de progression vue par la fenêtre principale (mise en œuvre : la fenêtre maj de
 * l'application). Non modale : l'appelant continue son travail pendant qu'elle est montrée.
 */
class Progression
{
public:
    virtual ~Progression() = default;
    virtual void montrer() = 0;
    /// Remplace le texte de l'étiquette et la repeint tout de suite.
    virtual void etape(const QString &texte) = 0;
    virtual void cacher() = 0;
};

} // namespace zarvo::ui
