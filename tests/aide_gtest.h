#pragma once

// Affichage lisible des types Qt dans les messages de GoogleTest.
#include <QString>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
