#include "sheet/xls/application_xls.h"

#include "model/systeme.h"
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
        const int l = m_a.ligne1 - 1, col = m_a.colonne1 - 1;
        if (const Cellule *posee = m_feuille.classeur().valeurEnAttente(m_feuille.index(), l, col))
            return *posee;
        const FeuilleBiff &f = m_feuille.cases();
        const Case *c = f.chercher(l, col);
        return c ? f.valeur(*c, col) : Cellule();
    }

    Tableau valeurs() const override
    {
        Tableau t = m_feuille.cases().valeurs(
            m_a.ligne1 - 1, m_a.colonne1 - 1, m_a.ligne2 - 1, m_a.colonne2 - 1);
        // Les valeurs posées et pas encore enregistrées passent devant celles du fichier.
        if (const auto *posees = m_feuille.classeur().ecritures(m_feuille.index()))
            for (auto it = posees->lower_bound({ m_a.ligne1 - 1, 0 });
                 it != posees->end() && it->first.first < m_a.ligne2; ++it) {
                const int colonne = it->first.second + 1;
                if (colonne >= m_a.colonne1 && colonne <= m_a.colonne2)
                    t(it->first.first + 2 - m_a.ligne1, colonne - m_a.colonne1 + 1) = it->second;
            }
        return t;
    }

    void ecrire(const Cellule &valeur) override
    {
        if (!m_a.estUneCase())
            throw ErreurClasseur(GenreErreur::AdresseInvalide,
                QStringLiteral(
                    "écriture refusée dans « %1 » : la plage %2:%3 n'est pas une seule case")
                    .arg(m_feuille.nom(), texteAdresse(m_a.ligne1, m_a.colonne1),
                        texteAdresse(m_a.ligne2, m_a.colonne2)));
        m_feuille.classeur().ecrire(m_feuille.index(), m_a.ligne1 - 1, m_a.colonne1 - 1, valeur);
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
    , m_octetsLus(m_conteneur.octets())
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
            GenreErreur::FeuilleAbsente, QStringLiteral("pas de feuille « %1 »").arg(nom))
            .situee(Operation::Ouvrir, nomFichier());
    auto &place = m_feuilles[index];
    if (!place) {
        const QString vraiNom = m_biff.feuilles()[std::size_t(index)].nom;
        try {
            place = std::make_unique<FeuilleXls>(
                *this, std::size_t(index), vraiNom, m_biff.lireFeuille(std::size_t(index)));
        } catch (const ErreurClasseur &e) {
            m_feuilles.erase(index);
            // Le lecteur nomme déjà la feuille dans son détail.
            throw e.situee(Operation::Ouvrir, nomFichier());
        }
    }
    return *place;
}

FeuilleXls::FeuilleXls(ClasseurXls &classeur, std::size_t index, QString nom, FeuilleBiff cases)
    : m_classeur(classeur)
    , m_index(index)
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
                refuserAncienExcel();
            throw ErreurClasseur(GenreErreur::PasUnClasseur,
                QStringLiteral("le fichier ne contient pas de classeur Excel"));
        }
        // Vue sur les octets du fichier : le classeur garde le conteneur qui les tient, et
        // un enregistrement remplace les deux ensemble.
        ClasseurBiff biff = ClasseurBiff::lire(c.vueFlux(entree));
        return std::make_unique<ClasseurXls>(chemin, std::move(c), entree, std::move(biff));
    } catch (const ErreurClasseur &e) {
        throw e.situee(Operation::Ouvrir, QFileInfo(chemin).fileName());
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
            throw ErreurClasseur(GenreErreur::Usage, QStringLiteral("un classeur est déjà ouvert"));
        using systeme::Genre;
        const systeme::Lecture l = systeme::lire(chemin, xls::tailleFichierMax);
        const auto refus = [&](const QString &raison, GenreErreur genre = GenreErreur::Fichier) {
            return ErreurClasseur(genre, raison)
                .situee(Operation::Ouvrir, QFileInfo(chemin).fileName());
        };
        const QFileInfo lien(chemin);
        const QString cible = lien.isSymLink()
            ? QStringLiteral(" (le lien mène à « %1 »)").arg(lien.symLinkTarget())
            : QString();
        if (l.genre == Genre::Absent)
            throw refus(QStringLiteral("fichier introuvable"));
        if (l.genre == Genre::LienCasse)
            throw refus(QStringLiteral("fichier introuvable : le lien mène à « %1 », qui "
                                       "n'existe pas")
                            .arg(lien.symLinkTarget()));
        if (l.genre != Genre::Ordinaire)
            throw refus(QStringLiteral("c'est %1, pas un fichier%2")
                            .arg(systeme::nomGenre(l.genre), cible));
        if (!l.erreur.isEmpty())
            throw refus(QStringLiteral("lecture refusée (%1)").arg(l.erreur));
        if (l.tropGros)
            throw refus(QStringLiteral("fichier trop gros pour un classeur"));
        if (l.octets.isEmpty())
            throw refus(QStringLiteral("le fichier est vide"), GenreErreur::PasUnClasseur);
        m_actif = xls::ouvrirOctets(l.octets, chemin);
        m_actif->definirFichierLu(l.identite);
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
