#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace zarvo::ui {
class ServiceMessages;
}

namespace zarvo::app {

/**
 * Le sélecteur de classeur « Ouvrir un fichier » : lecteurs (racines des volumes montés),
 * dossiers (le chemin puis les sous-dossiers ; double-clic ou Entrée pour y aller), fichiers
 * "*.xls" sans égard à la casse. FileToOpen suit la sélection de la liste des fichiers,
 * quelle que soit la façon de la faire ; un double-clic sur un fichier vaut OUVRIR.
 */
class FileOpen : public QWidget
{
    Q_OBJECT

public:
    FileOpen(
        ui::ServiceMessages &messages, const QString &dossierDepart, QWidget *parent = nullptr);

    QComboBox *Drv() const { return m_Drv; }
    QListWidget *Dir() const { return m_Dir; }
    QListWidget *File() const { return m_File; }
    QPushButton *OUVRIR() const { return m_OUVRIR; }
    QLineEdit *FileToOpen() const { return m_FileToOpen; }

    /// Dossier montré par la liste des dossiers.
    QString dossier() const { return m_dossier; }
    /// Va dans un dossier ; illisible : message, la liste reste où elle était, renvoie faux.
    bool allerDossier(const QString &chemin);
    /// Choisit un fichier comme le ferait l'utilisateur (lecteur, dossier, fichier) ; faux si
    /// le fichier n'est pas proposé.
    bool selectionnerFichier(const QString &chemin);

signals:
    /// OUVRIR avec un fichier choisi : chemin complet.
    void ouvrir(const QString &chemin);
    /// Fenêtre fermée par son cadre.
    void ferme();

public slots:
    void OUVRIR_Click();
    void Drv_Change();
    void Dir_Change(QListWidgetItem *element);
    void File_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void remplirLecteurs();
    void remplirDossiers();
    void remplirFichiers();
    void montrerLecteurCourant();

    ui::ServiceMessages &m_messages;
    QString m_dossier;
    QComboBox *m_Drv = nullptr;
    QListWidget *m_Dir = nullptr;
    QListWidget *m_File = nullptr;
    QPushButton *m_OUVRIR = nullptr;
    QLineEdit *m_FileToOpen = nullptr;
};

/// Vrai pour un dossier qui existe et dont on peut lister le contenu.
bool dossierLisible(const QString &chemin);

/// Message du sélecteur quand aucun fichier n'est choisi.
QString texteAucunFichier();

} // namespace zarvo::app
