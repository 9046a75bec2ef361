#pragma once

#include <QString>

#include <stdexcept>

namespace zarvo::sheet {

/**
 * L'unique genre d'échec du moteur de classeur, levé à sa frontière : un texte en français
 * que les fenêtres peuvent montrer tel quel.
 */
class ErreurClasseur : public std::runtime_error
{
public:
    explicit ErreurClasseur(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    { }
    const QString &message() const { return m_message; }
    /// Le message repris dans une autre phrase : sans son point final (pas de « .. »).
    QString fragment() const { return m_message.endsWith(u'.') ? m_message.chopped(1) : m_message; }

private:
    QString m_message;
};

} // namespace zarvo::sheet
