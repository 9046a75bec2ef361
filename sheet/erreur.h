#pragma once

#include <QString>

#include <stdexcept>

namespace zarvo::sheet {

/// Ce qui a fait échouer le moteur : les tests et le programme en décident sans lire le texte.
enum class GenreErreur {
    PasUnClasseur, ///< pas un fichier composé, ou sans classeur Excel dedans
    AncienExcel, ///< classeur d'une version antérieure à Excel 97
    Chiffre, ///< protégé par un mot de passe
    FeuilleAbsente,
    Abime, ///< enregistrement ou structure incohérents
    ContenuInattendu, ///< classeur sain que le programme ne sait pas utiliser
    TexteTropLong,
    EcritureImpossible, ///< écriture refusée pour ne pas abîmer le classeur, ou trop grand
    Fichier, ///< côté système : absent, lecture seule, pas un fichier ordinaire, disque plein…
    FichierChange, ///< modifié ou remplacé sur le disque par un autre programme
    AdresseInvalide,
    Usage, ///< appel hors de propos : classeur déjà ouvert, ou déjà fermé
    Imprevu, ///< exception d'ailleurs, dont le détail va sur la sortie d'erreur
};

/// Ce que faisait le programme : la phrase montrée en dépend.
enum class Operation { Aucune, Ouvrir, Enregistrer };

/**
 * L'unique genre d'échec du moteur de classeur : un genre, et un détail en français écrit
 * comme un morceau de phrase (minuscule, sans point final). Le fichier et l'opération sont
 * posés une fois, à la frontière ; la phrase lue par l'utilisateur vient de texteErreur().
 */
class ErreurClasseur : public std::runtime_error
{
public:
    ErreurClasseur(GenreErreur genre, const QString &detail)
        : std::runtime_error(detail.toStdString())
        , m_genre(genre)
        , m_detail(detail)
    { }
    GenreErreur genre() const { return m_genre; }
    const QString &detail() const { return m_detail; }
    const QString &fichier() const { return m_fichier; }
    Operation operation() const { return m_operation; }
    /// La même erreur rattachée à un fichier ; déjà rattachée, elle reste telle quelle (le
    /// fichier n'est nommé qu'une fois).
    ErreurClasseur situee(Operation operation, const QString &fichier) const
    {
        ErreurClasseur e = *this;
        if (e.m_operation == Operation::Aucune) {
            e.m_operation = operation;
            e.m_fichier = fichier;
        }
        return e;
    }

private:
    GenreErreur m_genre;
    QString m_detail;
    QString m_fichier;
    Operation m_operation = Operation::Aucune;
};

/// La phrase montrée à l'utilisateur, composée une seule fois, le fichier nommé une fois.
QString texteErreur(const ErreurClasseur &e);

} // namespace zarvo::sheet
