#pragma once

#include "sheet/tableur.h"
#include "ui/Equipes.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QSettings;

namespace zarvo::ui {
class ServiceMessages;
} // namespace zarvo::ui

namespace zarvo::app {

class FileOpen;
class maj;

/// Crée une application tableur neuve (le moteur .xls, ou un tableur en mémoire en test).
using FabriqueTableur = std::function<std::unique_ptr<sheet::Application>()>;

/**
 * Le déroulement du programme : le sélecteur, l'ouverture et le chargement du classeur,
 * la fenêtre principale, la fin. Un classeur inutilisable donne un message et ramène au
 * sélecteur, le tableur refermé sans rien enregistrer.
 */
class Programme : public QObject
{
    Q_OBJECT

public:
    /**
     * `dossierDepart` : dossier du sélecteur quand `reglages` ne donne pas un dossier lisible.
     * `reglages` : où se souvenir du dossier du dernier classeur ouvert ; nullptr : nulle part
     * (les tests et les captures ne touchent jamais aux réglages de l'utilisateur).
     */
    Programme(ui::ServiceMessages &messages, FabriqueTableur fabrique, const QString &dossierDepart,
        QSettings *reglages = nullptr);
    ~Programme() override;

    /// Montre le sélecteur ; avec un fichier, l'ouvre d'abord comme s'il y était choisi.
    void demarrer(const QString &fichier = {});

    /**
     * La session du bureau se ferme. Classeur écrit et pas enregistré : si
     * `demanderInteraction` le permet, la question d'enregistrement de Quitter est posée.
     * Faux : l'utilisateur a annulé (ou l'enregistrement a échoué), la session doit attendre.
     */
    bool finDeSession(const std::function<bool()> &demanderInteraction);

    FileOpen &selecteur() { return *m_selecteur; }
    maj &progression() { return *m_maj; }
    /// Fenêtre principale, nullptr tant qu'aucun classeur n'est chargé.
    ui::Equipes *equipes() const { return m_equipes.get(); }
    sheet::Application *tableur() const { return m_tableur.get(); }
    bool estTermine() const { return m_termine; }
    /// Qui ouvre le sommaire d'un export dans le navigateur (les tests, les captures).
    void definirOuvreur(ui::Equipes::OuvreurUrl o) { m_ouvreur = std::move(o); }

public slots:
    /// Ouvre et charge le classeur, montre la fenêtre principale ; faux : retour au sélecteur.
    bool ouvrirClasseur(const QString &chemin);

signals:
    /// Le programme est fini (classeur fermé, ou sélecteur fermé avant tout classeur).
    void termine();

private:
    void finir();

    ui::ServiceMessages &m_messages;
    FabriqueTableur m_fabrique;
    QSettings *m_reglages;
    ui::Equipes::OuvreurUrl m_ouvreur;
    std::unique_ptr<sheet::Application> m_tableur;
    std::unique_ptr<FileOpen> m_selecteur;
    std::unique_ptr<maj> m_maj;
    std::unique_ptr<ui::Equipes> m_equipes; // détruite avant le tableur qu'elle désigne
    bool m_termine = false;
};

} // namespace zarvo::app
