#pragma once

#include "sheet/tableur.h"

#include <QHash>
#include <QMap>

#include <map>
#include <utility>

namespace zarvo::sheet {

/**
 * Tableur en mémoire pour les tests des appelants : mêmes promesses que le moteur .xls,
 * sans fichier. Chaque chemin ouvert doit avoir été déposé avec deposer().
 */
class TableurMemoire : public Application
{
public:
    using Cases = std::map<std::pair<int, int>, Cellule>; ///< (ligne, colonne) à partir de 1

    struct ClasseurMemoire
    {
        QStringList ordre;
        QMap<QString, Cases> feuilles;
        int enregistrements = 0; ///< nombre d'enregistrements réussis
    };

    /// Dépose un classeur à un chemin (remplace celui qui y était).
    void deposer(const QString &chemin, ClasseurMemoire classeur);
    /// Contenu actuel (enregistré) au chemin.
    ClasseurMemoire fichier(const QString &chemin) const { return m_fichiers.value(chemin); }

    /// Fait échouer l'écriture de la n-ième case (à partir de 1) ; 0 : jamais.
    void echouerEcriture(int numero) { m_echecEcriture = numero; }

    Classeur &ouvrir(const QString &chemin) override;
    void definirCalcul(int) override { }
    Classeur *classeurActif() override;
    Fermeture quitter(const QuestionEnregistrer &question) override;

    ~TableurMemoire() override;

private:
    friend class ClasseurOuvert;
    friend class PlageMemoire;
    QHash<QString, ClasseurMemoire> m_fichiers;
    std::unique_ptr<Classeur> m_actif;
    int m_echecEcriture = 0;
    int m_nbEcritures = 0;
};

} // namespace zarvo::sheet
