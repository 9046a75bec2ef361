#include "sheet/xls/application_xls.h"

#include "sheet/adresse.h"
#include "sheet/erreur.h"
#include "sheet/xls/classeur_xls.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace zarvo::sheet {

namespace xls {

namespace {

class PlageXls : public Plage
{
public:
    PlageXls(FeuilleXls &feuille, Adresse a)
        : m_feuille(feuille)
        , m_a(a)
    { }

    Cellule valeur() const override
    {
        const FeuilleBiff &f = m_feuille.cases();
        const Case *c = f.chercher(m_a.ligne1 - 1, m_a.colonne1 - 1);
        return c ? f.valeur(*c, m_a.colonne1 - 1) : Cellule();
    }

    Tableau valeurs() const override
    {
        Tableau t(1, m_a.nbLignes(), 1, m_a.nbColonnes());
        const FeuilleBiff &f = m_feuille.cases();
        const int c1 = m_a.colonne1 - 1, c2 = m_a.colonne2 - 1;
        for (auto it = f.depuis(m_a.ligne1 - 1, 0); it != f.cases().end() && it->ligne < m_a.ligne2;
             ++it) {
            if (it->genre == Case::Genre::Vide)
                continue;
            for (int col = std::max<int>(it->colonne, c1); col <= std::min<int>(it->derniere, c2);
                 ++col)
                t(it->ligne + 2 - m_a.ligne1, col - c1 + 1) = f.valeur(*it, col);
        }
        return t;
    }

    void ecrire(const Cellule &) override
    {
        // L'écriture dans le fichier n'existe pas encore : le dire plutôt que perdre la valeur.
        throw ErreurClasseur(
            QStringLiteral("Écriture impossible dans la case %1 de « %2 » : le moteur .xls ne sait "
                           "pas encore modifier un classeur.")
                .arg(texteAdresse(m_a.ligne1, m_a.colonne1), m_feuille.classeur().nomFichier()));
    }

private:
    FeuilleXls &m_feuille;
    Adresse m_a;
};

} // namespace

ClasseurXls::ClasseurXls(QString chemin, Conteneur conteneur, int entreeWorkbook, ClasseurBiff biff)
    : m_chemin(std::move(chemin))
    , m_conteneur(std::move(conteneur))
    , m_entreeWorkbook(entreeWorkbook)
    , m_biff(std::move(biff))
{ }

ClasseurXls::~ClasseurXls() = default;

QString ClasseurXls::nomFichier() const
{
    return QFileInfo(m_chemin).fileName();
}

QStringList ClasseurXls::nomsFeuilles() const
{
    QStringList noms;
    for (const FeuilleDeclaree &f : m_biff.feuilles())
        if (f.estFeuilleDeCalcul())
            noms << f.nom;
    return noms;
}

Feuille &ClasseurXls::feuille(const QString &nom)
{
    const int index = m_biff.chercherFeuille(nom);
    if (index < 0)
        throw ErreurClasseur(
            QStringLiteral("Le classeur « %1 » n'a pas de feuille « %2 ».").arg(nomFichier(), nom));
    auto &place = m_feuilles[index];
    if (!place) {
        const QString vraiNom = m_biff.feuilles()[std::size_t(index)].nom;
        try {
            place = std::make_unique<FeuilleXls>(
                *this, vraiNom, m_biff.lireFeuille(std::size_t(index)));
        } catch (const ErreurClasseur &e) {
            m_feuilles.erase(index);
            throw ErreurClasseur(
                QStringLiteral("Impossible de lire la feuille « %1 » du classeur « %2 » : %3.")
                    .arg(vraiNom, nomFichier(), e.message()));
        }
    }
    return *place;
}

Fermeture ClasseurXls::fermer(const QuestionEnregistrer &)
{
    // Rien n'est jamais modifié tant que l'écriture n'existe pas : fermer suffit.
    m_ouvert = false;
    return {};
}

FeuilleXls::FeuilleXls(ClasseurXls &classeur, QString nom, FeuilleBiff cases)
    : m_classeur(classeur)
    , m_nom(std::move(nom))
    , m_cases(std::move(cases))
{ }

std::unique_ptr<Plage> FeuilleXls::plage(const QString &adresse)
{
    return std::make_unique<PlageXls>(*this, lireAdresse(adresse));
}

std::unique_ptr<ClasseurXls> ouvrirOctets(const QByteArray &octets, const QString &chemin)
{
    try {
        Conteneur c = Conteneur::lire(octets);
        const int entree = c.chercherFlux(QStringLiteral("Workbook"));
        if (entree < 0) {
            if (c.chercherFlux(QStringLiteral("Book")) >= 0)
                throw ErreurClasseur(QStringLiteral(
                    "classeur d'une version d'Excel antérieure à Excel 97 (Excel 5 ou 95)"));
            throw ErreurClasseur(QStringLiteral("le fichier ne contient pas de classeur Excel"));
        }
        ClasseurBiff biff = ClasseurBiff::lire(c.lireFlux(entree));
        return std::make_unique<ClasseurXls>(chemin, std::move(c), entree, std::move(biff));
    } catch (const ErreurClasseur &e) {
        throw ErreurClasseur(QStringLiteral("Impossible d'ouvrir « %1 » : %2.")
                                 .arg(QFileInfo(chemin).fileName(), e.message()));
    }
}

} // namespace xls

namespace {

class ApplicationXls : public Application
{
public:
    Classeur &ouvrir(const QString &chemin) override
    {
        if (m_actif && m_actif->estOuvert())
            throw ErreurClasseur(QStringLiteral("Un classeur est déjà ouvert."));
        const QString nom = QFileInfo(chemin).fileName();
        QFile f(chemin);
        if (!f.exists())
            throw ErreurClasseur(
                QStringLiteral("Impossible d'ouvrir « %1 » : fichier introuvable.").arg(nom));
        if (!f.open(QIODevice::ReadOnly))
            throw ErreurClasseur(
                QStringLiteral("Impossible d'ouvrir « %1 » : lecture refusée.").arg(nom));
        if (f.size() > xls::tailleFichierMax)
            throw ErreurClasseur(
                QStringLiteral("Impossible d'ouvrir « %1 » : fichier trop gros pour un classeur.")
                    .arg(nom));
        const QByteArray octets = f.readAll();
        if (octets.size() != f.size())
            throw ErreurClasseur(
                QStringLiteral("Impossible d'ouvrir « %1 » : lecture incomplète.").arg(nom));
        m_actif = xls::ouvrirOctets(octets, chemin);
        return *m_actif;
    }
    void definirCalcul(int mode) override { m_mode = mode; }
    Classeur *classeurActif() override
    {
        return m_actif && m_actif->estOuvert() ? m_actif.get() : nullptr;
    }
    Fermeture quitter(const QuestionEnregistrer &question) override
    {
        if (Classeur *c = classeurActif())
            return c->fermer(question);
        return {};
    }

private:
    std::unique_ptr<xls::ClasseurXls> m_actif;
    int m_mode = 0;
};

} // namespace

std::unique_ptr<Application> creerApplicationXls()
{
    return std::make_unique<ApplicationXls>();
}

} // namespace zarvo::sheet
