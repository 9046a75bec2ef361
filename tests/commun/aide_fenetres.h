#pragma once

// Aides des tests de fenêtres (Qt Test) : messages soldés, compte des événements.
#include "soutien/messages_factices.h"

#include <QTest>

/// Aucune question imprévue, aucune réponse préparée restée sans boîte.
#define VERIFIER_MESSAGES_SOLDES(m)                                                                \
    do {                                                                                           \
        QVERIFY2((m).imprevus().isEmpty(), qPrintable((m).imprevus().join(u'\n')));                \
        QCOMPARE((m).reponsesEnAttente(), 0);                                                      \
    } while (false)

/// Compte les événements d'un genre reçus par les objets qu'il surveille.
class CompteurEvenements : public QObject
{
public:
    explicit CompteurEvenements(QEvent::Type genre)
        : m_genre(genre)
    { }
    int n = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        n += e->type() == m_genre;
        return false;
    }

private:
    QEvent::Type m_genre;
};
