#pragma once

#include "sheet/tableur.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace zarvo::ui {
class Equipes;
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
    Programme(
        ui::ServiceMessages &messages, FabriqueTableur fabrique, const QString &dossierDepart);
    ~Programme() override;

    void demarrer();

    FileOpen &selecteur() { return *m_selecteur; }
    maj &progression() { return *m_maj; }
    /// Fenêtre principale, nullptr tant qu'aucun classeur n'est chargé.
    ui::Equipes *equipes() const { return m_equipes.get(); }
    sheet::Application *tableur() const { return m_tableur.get(); }
    bool estTermine() const { return m_termine; }

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
    std::unique_ptr<sheet::Application> m_tableur;
    std::unique_ptr<FileOpen> m_selecteur;
    std::unique_ptr<maj> m_maj;
    std::unique_ptr<ui::Equipes> m_equipes; // détruite avant le tableur qu'elle désigne
    bool m_termine = false;
};

} // namespace zarvo::app
