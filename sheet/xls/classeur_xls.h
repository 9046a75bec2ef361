#pragma once

#include "sheet/tableur.h"
#include "sheet/xls/biff.h"
#include "sheet/xls/conteneur.h"

#include <map>
#include <memory>
#include <optional>

namespace zarvo::sheet::xls {

class ApplicationXls;
class FeuilleXls;

/**
 * Classeur .xls ouvert : garde le fichier d'origine (conteneur) et le modèle de son flux
 * Workbook, dont l'écriture pourra rapiécer les enregistrements touchés.
 */
class ClasseurXls : public Classeur
{
public:
    ClasseurXls(QString chemin, Conteneur conteneur, int entreeWorkbook, ClasseurBiff biff);
    ~ClasseurXls() override;

    QStringList nomsFeuilles() const override;
    Feuille &feuille(const QString &nom) override;
    bool estModifie() const override { return m_modifie; }
    Fermeture fermer(const QuestionEnregistrer &question) override;
    bool estOuvert() const override { return m_ouvert; }

    const QString &chemin() const { return m_chemin; }
    /// Nom du fichier, pour les messages.
    QString nomFichier() const;
    const Conteneur &conteneur() const { return m_conteneur; }
    int entreeWorkbook() const { return m_entreeWorkbook; }
    const ClasseurBiff &biff() const { return m_biff; }

private:
    QString m_chemin;
    Conteneur m_conteneur;
    int m_entreeWorkbook;
    ClasseurBiff m_biff;
    std::map<int, std::unique_ptr<FeuilleXls>> m_feuilles; ///< par index de feuille déclarée
    bool m_modifie = false;
    bool m_ouvert = true;
};

/// Feuille lue à la première demande ; ses cases restent en mémoire.
class FeuilleXls : public Feuille
{
public:
    FeuilleXls(ClasseurXls &classeur, QString nom, FeuilleBiff cases);
    QString nom() const override { return m_nom; }
    std::unique_ptr<Plage> plage(const QString &adresse) override;
    const FeuilleBiff &cases() const { return m_cases; }
    ClasseurXls &classeur() { return m_classeur; }

private:
    ClasseurXls &m_classeur;
    QString m_nom;
    FeuilleBiff m_cases;
};

/// Ouvre un fichier en mémoire (pour le fuzzeur et les tests) : mêmes vérifications et mêmes
/// messages que l'ouverture du fichier `chemin` (qui n'est pas lu).
std::unique_ptr<ClasseurXls> ouvrirOctets(const QByteArray &octets, const QString &chemin);

/// Taille au-delà de laquelle un fichier n'est pas chargé.
constexpr qint64 tailleFichierMax = 256LL * 1024 * 1024;

} // namespace zarvo::sheet::xls
