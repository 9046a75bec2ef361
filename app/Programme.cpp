#include "app/Programme.h"

#include "app/FileOpen.h"
#include "app/maj.h"
#include "model/chargement/chargement.h"
#include "sheet/erreur.h"
#include "ui/Equipes.h"
#include "ui/messages.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>

namespace zarvo::app {

Programme::Programme(
    ui::ServiceMessages &messages, FabriqueTableur fabrique, const QString &dossierDepart)
    : m_messages(messages)
    , m_fabrique(std::move(fabrique))
    , m_selecteur(std::make_unique<FileOpen>(messages, dossierDepart))
    , m_maj(std::make_unique<maj>())
{
    connect(m_selecteur.get(), &FileOpen::ouvrir, this, &Programme::ouvrirClasseur);
    connect(m_selecteur.get(), &FileOpen::ferme, this, [this] {
        // Fermer le sélecteur avant tout classeur finit simplement le programme.
        if (!m_equipes)
            finir();
    });
}

Programme::~Programme()
{
    m_equipes.reset();
    m_tableur.reset();
}

void Programme::demarrer()
{
    m_selecteur->show();
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
        m_messages.afficher(e.message(), Boutons::Ok);
        return false;
    } catch (const std::exception &e) {
        // Échec imprévu du moteur : même issue, avec ce qu'il en dit.
        if (m_tableur && m_tableur->classeurActif())
            m_tableur->classeurActif()->fermer([](const QString &) { return Reponse::Non; });
        m_tableur.reset();
        m_messages.afficher(QStringLiteral("Le classeur « %1 » ne peut pas être utilisé.")
                                .arg(QFileInfo(chemin).fileName())
            + QChar(13) + QString::fromLocal8Bit(e.what()));
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
    f.definirFichierChoisi([this] {
        const QList<QListWidgetItem *> choisis = m_selecteur->File()->selectedItems();
        return choisis.isEmpty() ? QString() : choisis.first()->text();
    });
    f.creerBoutonsEquipes(boutons);
    connect(&f, &ui::Equipes::termine, this, &Programme::finir);
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
