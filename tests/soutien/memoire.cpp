#include "soutien/memoire.h"

#include "sheet/adresse.h"
#include "sheet/erreur.h"
#include "sheet/valeur.h"

#include <QFileInfo>

#include <algorithm>

namespace zarvo::sheet {

using namespace Qt::StringLiterals;

class PlageMemoire : public Plage
{
public:
    PlageMemoire(TableurMemoire &app, TableurMemoire::Cases &cases, Adresse a)
        : m_app(app)
        , m_cases(cases)
        , m_a(a)
    { }
    Cellule valeur() const override
    {
        const auto it = m_cases.find({ m_a.ligne1, m_a.colonne1 });
        return it == m_cases.end() ? Cellule() : it->second;
    }
    Tableau valeurs() const override
    {
        Tableau t(1, m_a.nbLignes(), 1, m_a.nbColonnes());
        for (const auto &[pos, c] : m_cases) {
            if (pos.first >= m_a.ligne1 && pos.first <= m_a.ligne2 && pos.second >= m_a.colonne1
                && pos.second <= m_a.colonne2)
                t(pos.first - m_a.ligne1 + 1, pos.second - m_a.colonne1 + 1) = c;
        }
        return t;
    }
    void ecrire(const Cellule &valeur) override;

private:
    TableurMemoire &m_app;
    TableurMemoire::Cases &m_cases;
    Adresse m_a;
};

class FeuilleMemoire : public Feuille
{
public:
    FeuilleMemoire(TableurMemoire &app, QString nom, TableurMemoire::Cases &cases)
        : m_app(app)
        , m_nom(std::move(nom))
        , m_cases(cases)
    { }
    QString nom() const override { return m_nom; }
    std::unique_ptr<Plage> plage(const QString &adresse) override
    {
        return std::make_unique<PlageMemoire>(m_app, m_cases, lireAdresse(adresse));
    }

private:
    TableurMemoire &m_app;
    QString m_nom;
    TableurMemoire::Cases &m_cases;
};

class ClasseurOuvert : public Classeur
{
public:
    ClasseurOuvert(TableurMemoire &app, QString chemin)
        : m_app(app)
        , m_chemin(std::move(chemin))
        , m_travail(app.m_fichiers.value(m_chemin))
    {
        for (const QString &nom : m_travail.ordre)
            m_feuilles.emplace(
                nom, std::make_unique<FeuilleMemoire>(app, nom, m_travail.feuilles[nom]));
    }
    QStringList nomsFeuilles() const override { return m_travail.ordre; }
    Feuille &feuille(const QString &nom) override
    {
        // Comme le moteur : la casse du nom ne compte pas.
        const auto it = std::find_if(m_feuilles.begin(), m_feuilles.end(),
            [&](const auto &f) { return f.first.compare(nom, Qt::CaseInsensitive) == 0; });
        if (it == m_feuilles.end())
            throw ErreurClasseur(GenreErreur::FeuilleAbsente, u"pas de feuille « %1 »"_s.arg(nom))
                .situee(Operation::Ouvrir, QFileInfo(m_chemin).fileName());
        return *it->second;
    }
    bool estModifie() const override { return m_modifie; }
    bool estOuvert() const override { return m_ouvert; }
    Fermeture fermer(const QuestionEnregistrer &question) override
    {
        if (!m_ouvert)
            return {};
        if (m_modifie) {
            // Comme le moteur : sans question, ou sur une réponse inattendue, le classeur reste.
            const Reponse r = question
                ? question(texteQuestionEnregistrer(QFileInfo(m_chemin).fileName()))
                : Reponse::Annuler;
            if (r != Reponse::Oui && r != Reponse::Non)
                return { false, {} };
            if (r == Reponse::Oui) {
                ++m_travail.enregistrements;
                m_app.m_fichiers[m_chemin] = m_travail;
            }
        }
        m_ouvert = false;
        return {};
    }
    void marquerModifie() { m_modifie = true; }

private:
    TableurMemoire &m_app;
    QString m_chemin;
    TableurMemoire::ClasseurMemoire m_travail;
    std::map<QString, std::unique_ptr<FeuilleMemoire>> m_feuilles;
    bool m_modifie = false;
    bool m_ouvert = true;
};

void PlageMemoire::ecrire(const Cellule &valeur)
{
    if (!m_a.estUneCase())
        throw ErreurClasseur(GenreErreur::AdresseInvalide, u"plage de plus d'une case"_s);
    ++m_app.m_nbEcritures;
    // Même limite que le moteur : le format ne tient pas plus long dans une case.
    constexpr int longueurMaxTexte = 32767;
    if (valeur.estTexte() && valeur.valeurTexte().size() > longueurMaxTexte)
        throw ErreurClasseur(GenreErreur::TexteTropLong,
            u"case %1 : texte trop long"_s.arg(texteAdresse(m_a.ligne1, m_a.colonne1)));
    if (m_app.m_echecEcriture != 0 && m_app.m_nbEcritures == m_app.m_echecEcriture)
        throw ErreurClasseur(GenreErreur::EcritureImpossible,
            u"case %1 : échec simulé"_s.arg(texteAdresse(m_a.ligne1, m_a.colonne1)));
    const Cellule posee = valeurPosee(valeur);
    if (posee.estVide())
        m_cases.erase({ m_a.ligne1, m_a.colonne1 });
    else
        m_cases[{ m_a.ligne1, m_a.colonne1 }] = posee;
    static_cast<ClasseurOuvert *>(m_app.m_actif.get())->marquerModifie();
}

void TableurMemoire::deposer(const QString &chemin, ClasseurMemoire classeur)
{
    m_fichiers.insert(chemin, std::move(classeur));
}

Classeur &TableurMemoire::ouvrir(const QString &chemin)
{
    if (!m_fichiers.contains(chemin))
        throw ErreurClasseur(GenreErreur::Fichier, u"fichier introuvable"_s)
            .situee(Operation::Ouvrir, QFileInfo(chemin).fileName());
    if (m_actif && m_actif->estOuvert())
        throw ErreurClasseur(GenreErreur::Usage, u"un classeur est déjà ouvert"_s);
    m_actif = std::make_unique<ClasseurOuvert>(*this, chemin);
    return *m_actif;
}

Classeur *TableurMemoire::classeurActif()
{
    return m_actif && m_actif->estOuvert() ? m_actif.get() : nullptr;
}

Fermeture TableurMemoire::quitter(const QuestionEnregistrer &question)
{
    if (Classeur *c = classeurActif())
        return c->fermer(question);
    return {};
}

TableurMemoire::~TableurMemoire() = default;

} // namespace zarvo::sheet
