#include "app/Programme.h"

#include "app/FileOpen.h"
#include "app/maj.h"
#include "classeur_jeu/chargement.h"
#include "sheet/erreur.h"
#include "ui/Equipes.h"
#include "ui/messages.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QSessionManager>
#include <QSettings>

#include <cstdio>

namespace zarvo::app {

namespace {
const QString cleDernierDossier = QStringLiteral("selecteur/dernierDossier");

QString dossierInitial(const QSettings *reglages, const QString &dossierDepart)
{
    const QString dernier = reglages ? reglages->value(cleDernierDossier).toString() : QString();
    return !dernier.isEmpty() && dossierLisible(dernier) ? dernier : dossierDepart;
}
} // namespace

Programme::Programme(ui::ServiceMessages &messages, FabriqueTableur fabrique,
    const QString &dossierDepart, QSettings *reglages)
    : m_messages(messages)
    , m_fabrique(std::move(fabrique))
    , m_reglages(reglages)
    , m_selecteur(std::make_unique<FileOpen>(messages, dossierInitial(reglages, dossierDepart)))
    , m_maj(std::make_unique<maj>())
{
    connect(m_selecteur.get(), &FileOpen::ouvrir, this, &Programme::ouvrirClasseur);
    connect(m_selecteur.get(), &FileOpen::ferme, this, [this] {
        // Fermer le sélecteur avant tout classeur finit simplement le programme.
        if (!m_equipes)
            finir();
    });
    if (auto *g = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(g, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &s) {
            if (!finDeSession([&s] { return s.allowsInteraction(); }))
                s.cancel();
            s.release();
        });
}

Programme::~Programme()
{
    m_equipes.reset();
    m_tableur.reset();
}

void Programme::demarrer(const QString &fichier)
{
    if (!fichier.isEmpty()) {
        // Comme choisi dans le sélecteur : refusé, il y revient, dans le dossier du fichier.
        const QFileInfo fi(fichier);
        if (dossierLisible(fi.absolutePath()))
            m_selecteur->selectionnerFichier(fi.absoluteFilePath());
        if (ouvrirClasseur(fi.absoluteFilePath()))
            return;
    }
    m_selecteur->show();
}

bool Programme::finDeSession(const std::function<bool()> &demanderInteraction)
{
    const sheet::Classeur *c = m_tableur ? m_tableur->classeurActif() : nullptr;
    if (!m_equipes || m_termine || c == nullptr || !c->estModifie())
        return true;
    // Sans droit de questionner, rien n'est enregistré sans l'avis de l'utilisateur.
    if (!demanderInteraction())
        return true;
    return m_equipes->Quitter();
}

bool Programme::ouvrirClasseur(const QString &chemin)
{
    if (m_equipes)
        return false;
    Donnees donnees;
    QList<DescriptionBouton> boutons;
    try {
        m_tableur = m_fabrique();
        boutons = chargerClasseur(*m_tableur, chemin, donnees);
    } catch (const sheet::ErreurClasseur &e) {
        m_tableur.reset();
        m_messages.afficher(sheet::texteErreur(e), Boutons::Ok);
        return false;
    } catch (const std::exception &e) {
        // Échec imprévu du moteur : même issue ; son texte, technique et anglais, va sur la
        // sortie d'erreur, pas dans la fenêtre.
        std::fprintf(stderr, "zarvoedit : %s\n", e.what());
        if (m_tableur && m_tableur->classeurActif())
            m_tableur->classeurActif()->fermer([](const QString &) { return Reponse::Non; });
        m_tableur.reset();
        m_messages.afficher(
            sheet::texteErreur(sheet::ErreurClasseur(sheet::GenreErreur::Imprevu,
                QStringLiteral("erreur imprévue du programme, décrite sur sa sortie d'erreur"))
                                   .situee(sheet::Operation::Ouvrir, QFileInfo(chemin).fileName())),
            Boutons::Ok);
        return false;
    }

    m_equipes = std::make_unique<ui::Equipes>(m_messages);
    ui::Equipes &f = *m_equipes;
    f.NumLigne()->setText(QStringLiteral("0"));
    f.NumEq()->setText(QStringLiteral("0"));
    f.donnees() = std::move(donnees);
    f.definirTableur(m_tableur.get());
    f.definirProgression(m_maj.get());
    // Nom de la base de l'export HTML : la sélection de la liste File, lue au moment du clic.
    // Un fichier de la ligne de commande que la liste ne propose pas (autre extension) garde
    // son nom.
    f.definirFichierChoisi([this, nom = QFileInfo(chemin).fileName()] {
        const QList<QListWidgetItem *> choisis = m_selecteur->File()->selectedItems();
        return choisis.isEmpty() ? nom : choisis.first()->text();
    });
    f.creerBoutonsEquipes(boutons);
    if (m_ouvreur)
        f.definirOuvreur(m_ouvreur);
    connect(&f, &ui::Equipes::termine, this, &Programme::finir);
    if (m_reglages) {
        m_reglages->setValue(cleDernierDossier, QFileInfo(chemin).absolutePath());
        m_reglages->sync();
    }
    m_selecteur->hide();
    f.show();
    return true;
}

void Programme::finir()
{
    if (m_termine)
        return;
    m_termine = true;
    m_selecteur->hide();
    m_maj->hide();
    emit termine();
}

} // namespace zarvo::app
