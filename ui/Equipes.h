#pragma once

#include "model/bouton.h"
#include "model/donnees.h"
#include "rider/panneau.h"
#include "teams/liste.h"
#include "ui/controles.h"

#include <QWidget>

#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QUrl;

namespace zarvo::sheet {
class Application;
}
namespace zarvo {
class Annulation;
struct Remise;
} // namespace zarvo

namespace zarvo::ui {

class ProfilCoureur;
class Progression;
class Revue;
class ServiceMessages;

/**
 * La fenêtre principale « Les Equipes et coureurs ».
 *
 * Elle possède les valeurs communes (donnees()) et reçoit le service des messages, le
 * tableur ouvert et la fenêtre de progression ; la logique reçoit donnees() par référence.
 *
 * Contrôles : chacun porte son nom (objectName), son genre, son index s'il appartient à un
 * tableau (propriété "index") et sa position en twips (propriété "twips"). Les tableaux
 * Chargeq, Coureur, Free, Note et Careq s'adressent par index : Note()[12], Chargeq()[0] est
 * le modèle caché.
 *
 * Ajouter un gestionnaire : déclarer un slot nommé comme l'événement (Chargeq_Click,
 * Note_KeyUp…) et le connecter dans le constructeur, à la suite des autres connexions :
 *   - bouton seul :  connect(CDM(), &QPushButton::clicked, this, &Equipes::CDM_Click);
 *   - tableau :      connect(this, &Equipes::clicChargeq, this, &Equipes::Chargeq_Click);
 *                    connect(this, &Equipes::toucheNote, this, &Equipes::Note_KeyUp);
 * Les signaux de tableau valent pour tous les éléments, y compris ceux créés plus tard.
 *
 * Boutons coureurs : la logique décrit la liste (DescriptionBouton : légende, infobulle, tag,
 * gauche, haut, hauteur ; positions en twips relatives à la zone des coureurs), puis
 *   detruireCoureurs();                      // éléments 1..n, le modèle 0 reste
 *   for (i = 1..n) creerCoureur(i, desc[i]); // copie du modèle Coureur()[0], visible
 * Les copies ont pour parent zoneCoureurs() : le cadre CaracCoureur, sauf si la logique
 * installe sa propre zone qui défile par definirZoneCoureurs().
 */
class Equipes : public QWidget
{
    Q_OBJECT

public:
    explicit Equipes(ServiceMessages &messages, QWidget *parent = nullptr);
    ~Equipes() override;

    Donnees &donnees() { return m_donnees; }
    const Donnees &donnees() const { return m_donnees; }
    ServiceMessages &messages() { return m_messages; }

    /// Tableur dont le classeur est ouvert (nullptr avant le chargement).
    void definirTableur(sheet::Application *tableur) { m_tableur = tableur; }
    sheet::Application *tableur() const { return m_tableur; }
    /// Fenêtre de progression de l'application des modifications (peut manquer).
    void definirProgression(Progression *p) { m_progression = p; }
    Progression *progression() const { return m_progression; }
    /**
     * Nom du fichier sélectionné dans la liste File du sélecteur (sans dossier), lu au moment
     * du clic sur HTML pour le nom de la base.
     */
    void definirFichierChoisi(std::function<QString()> f) { m_fichierChoisi = std::move(f); }
    /// Ouvre une page dans le navigateur (QDesktopServices par défaut) ; faux : échec.
    using OuvreurUrl = std::function<bool(const QUrl &)>;
    void definirOuvreur(OuvreurUrl o) { m_ouvreur = std::move(o); }

    // Tableaux de contrôles.
    TableauControles<QPushButton> &Chargeq() { return m_Chargeq; }
    TableauControles<QPushButton> &Coureur() { return m_Coureur; }
    TableauControles<QPushButton> &Free() { return m_Free; }
    TableauControles<QLineEdit> &Note() { return m_Note; }
    TableauControles<QLineEdit> &Careq() { return m_Careq; }

    // Contrôles seuls.
    QGroupBox *Equipe() const { return m_Equipe; }
    QGroupBox *CaracCoureur() const { return m_CaracCoureur; }
    QGroupBox *recherche() const { return m_recherche; }
    QPushButton *CLM() const { return m_CLM; }
    QPushButton *Grimpeurs() const { return m_Grimpeurs; }
    QPushButton *Sprinteurs() const { return m_Sprinteurs; }
    QPushButton *Best5050() const { return m_Best5050; }
    QPushButton *Best8020() const { return m_Best8020; }
    QPushButton *CDM() const { return m_CDM; }
    QPushButton *HTML() const { return m_HTML; }
    QPushButton *ApplyCour() const { return m_ApplyCour; }
    QPushButton *Quit() const { return m_Quit; }
    QLabel *Car5050() const { return m_Car5050; }
    QLabel *Pot5050() const { return m_Pot5050; }
    QLabel *Car8020() const { return m_Car8020; }
    QLabel *Pot8020() const { return m_Pot8020; }
    /// Deux lignes : le texte du programme, caractère 13 compris, passe par texteAffiche().
    QLabel *Salaire() const { return m_Salaire; }
    QLineEdit *rech() const { return m_rech; }
    QLabel *rechtext() const { return m_rechtext; }
    QLineEdit *NumLigne() const { return m_NumLigne; }
    QLineEdit *NumEq() const { return m_NumEq; }
    /// Bouton de la revue des modifications en attente ; sa légende en donne le nombre.
    QPushButton *Modifs() const { return m_Modifs; }
    /// La fenêtre « Modifications en attente » (créée avec la fenêtre, cachée).
    Revue *revue() const { return m_revue.get(); }
    Annulation &annulation() { return *m_annulation; }
    /// Bouton « Profil » (Ctrl+P) et sa fenêtre, créée au premier clic (nullptr avant).
    QPushButton *Profil() const { return m_Profil; }
    ProfilCoureur *fenetreProfil() const { return m_profil; }

    /// Crée les boutons d'équipe 1..n, copies du modèle Chargeq()[0], dans l'ordre donné.
    void creerBoutonsEquipes(const QList<DescriptionBouton> &boutons);
    /// Crée l'élément index (>= 1) du tableau Coureur, copie du modèle, et le montre.
    QPushButton *creerCoureur(int index, const DescriptionBouton &description);
    /// Détruit les boutons coureurs 1..n (le modèle reste).
    void detruireCoureurs();
    QWidget *zoneCoureurs() const { return m_zoneCoureurs; }
    void definirZoneCoureurs(QWidget *zone) { m_zoneCoureurs = zone; }

    /// Vide le panneau du coureur et la fiche d'équipe ; NumLigne et NumEq à "0".
    void EffaceCarac();

    /// Ferme le classeur (le tableur pose sa question d'enregistrement) ; faux : on reste.
    bool Quitter();

signals:
    void clicChargeq(int index);
    void clicCoureur(int index);
    void clicFree(int index);
    void toucheNote(int index, int touche);
    void toucheCareq(int index, int touche);
    void toucheRech(int touche);
    /// Le classeur est fermé : le programme peut finir.
    void termine();

public slots:
    void Quit_Click();
    /// Copie les lignes marquées dans le classeur, fenêtre de progression montrée.
    void ApplyCour_Click();
    /// Exporte la base en pages HTML dans un nouveau dossier du dossier courant.
    void HTML_Click();

    // Listes, panneau du coureur, fiche d'équipe, champion, classements et recherche : la
    // logique décide, la fenêtre applique (ui/Equipes_listes.cpp).
    void Chargeq_Click(int index);
    void Free_Click(int index);
    void Coureur_Click(int index);
    void Note_KeyUp(int index, int touche);
    void Careq_KeyUp(int index, int touche);
    void CDM_Click();
    void Best5050_Click();
    void Best8020_Click();
    void CLM_Click();
    void Grimpeurs_Click();
    void Sprinteurs_Click();
    void rech_KeyUp(int touche);
    /// Montre la fenêtre du profil du coureur affiché (ui/Equipes_profil.cpp).
    void Profil_Click();

    // Annuler, refaire et la revue des modifications (ui/Equipes_revue.cpp).
    void Modifs_Click();
    void Annuler();
    void Refaire();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *objet, QEvent *event) override;

private:
    void brancherListes();
    void appliquerListe(const ResultatListe &r);
    void appliquerEtiquettes(const Etiquettes &e);
    void ajusterZoneCoureurs();
    void montrerCoureur(int ligne);
    void brancherAnnulation();
    /// Remontre ce que des valeurs remises ont touché et qui est à l'écran ; légende, revue.
    void remontrer(const Remise &r);
    void majModifs();
    void brancherProfil();
    void actualiserProfil();

    void construireCadreEquipe();
    void construireCadreCoureurs();
    QPushButton *copierModele(TableauControles<QPushButton> &tableau, int index,
        const DescriptionBouton &d, QWidget *parent);

    ServiceMessages &m_messages;
    Donnees m_donnees;
    sheet::Application *m_tableur = nullptr;
    Progression *m_progression = nullptr;
    std::function<QString()> m_fichierChoisi;
    OuvreurUrl m_ouvreur;
    bool m_quitte = false;

    TableauControles<QPushButton> m_Chargeq, m_Coureur, m_Free;
    TableauControles<QLineEdit> m_Note, m_Careq;
    QGroupBox *m_Equipe = nullptr, *m_CaracCoureur = nullptr, *m_recherche = nullptr;
    QPushButton *m_CLM = nullptr, *m_Grimpeurs = nullptr, *m_Sprinteurs = nullptr,
                *m_Best5050 = nullptr, *m_Best8020 = nullptr, *m_CDM = nullptr, *m_HTML = nullptr,
                *m_ApplyCour = nullptr, *m_Quit = nullptr;
    QLabel *m_Car5050 = nullptr, *m_Pot5050 = nullptr, *m_Car8020 = nullptr, *m_Pot8020 = nullptr,
           *m_Salaire = nullptr, *m_rechtext = nullptr;
    QLineEdit *m_rech = nullptr, *m_NumLigne = nullptr, *m_NumEq = nullptr;
    QWidget *m_zoneCoureurs = nullptr;
    QScrollArea *m_defilementCoureurs = nullptr;
    QPushButton *m_Modifs = nullptr;
    std::unique_ptr<Annulation> m_annulation;
    std::unique_ptr<Revue> m_revue;
    QPushButton *m_Profil = nullptr;
    ProfilCoureur *m_profil = nullptr;
    QScrollBar *m_barreCoureurs = nullptr;
};

/// Texte exact de la confirmation du bouton Quitter.
QString texteConfirmationQuitter();

} // namespace zarvo::ui
