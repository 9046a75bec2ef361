#pragma once

// Appareil d'écriture qui laisse passer `limite` octets vers sa cible puis refuse tout :
// provoque un échec d'écriture au milieu d'un enregistrement.
#include <QIODevice>

#include <algorithm>

class AppareilDefaillant : public QIODevice
{
public:
    AppareilDefaillant(QIODevice &cible, qint64 limite)
        : m_cible(cible)
        , m_reste(limite)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *d, qint64 n) override
    {
        if (m_reste <= 0)
            return -1;
        const qint64 k = std::min(n, m_reste);
        m_reste -= k;
        return m_cible.write(d, k);
    }

private:
    QIODevice &m_cible;
    qint64 m_reste;
};
