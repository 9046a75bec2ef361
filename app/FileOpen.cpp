#include "app/FileOpen.h"

#include "ui/controles.h"
#include "ui/messages.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyledItemDelegate>

namespace zarvo::app {

using namespace ui;

namespace {
constexpr int roleChemin = Qt::UserRole;
constexpr int roleProfondeur = Qt::UserRole + 1;

/// Décale chaque dossier selon sa profondeur au dessin seulement : le texte de l'élément reste
/// le nom nu, que la recherche au clavier (premières lettres tapées) compare.
class DelegueDossiers : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text.prepend(QString(2 * index.data(roleProfondeur).toInt(), u' '));
    }
};
} // namespace

bool dossierLisible(const QString &chemin)
{
    const QFileInfo fi(chemin);
    return fi.exists() && fi.isDir() && fi.isReadable() && fi.isExecutable();
}

QString texteAucunFichier()
{
    return QStringLiteral("Veillez à choisir un fichier!!");
}

FileOpen::FileOpen(ServiceMessages &messages, const QString &dossierDepart, QWidget *parent)
    : QWidget(parent)
    , m_messages(messages)
{
    nommer(this, QStringLiteral("FileOpen"), QStringLiteral("fenetre"));
    policeDeFenetre(this);
    setWindowTitle(QStringLiteral("Ouvrir un fichier"));
    setWindowIcon(QIcon(QStringLiteral(":/images/icone.svg")));
    setFixedSize(twipsEnPixels(6705), twipsEnPixels(3345));
    setProperty(propriete::twips, QRect(0, 0, 6705, 3345));

    m_OUVRIR = new QPushButton(QStringLiteral("OUVRIR FEUILLE XLS"), this);
    nommer(m_OUVRIR, QStringLiteral("OUVRIR"), QStringLiteral("bouton"));
    placer(m_OUVRIR, 1320, 2400, 4095, 495);
    police(m_OUVRIR, 12, true, true, QStringLiteral("MS Sans Serif"));
    couleurFond(m_OUVRIR, palette().color(QPalette::Midlight));

    m_Dir = new QListWidget(this);
    nommer(m_Dir, QStringLiteral("Dir"), QStringLiteral("dossiers"));
    placer(m_Dir, 240, 720, 4455, 1440);
    m_Dir->setItemDelegate(new DelegueDossiers(m_Dir));

    m_File = new QListWidget(this);
    nommer(m_File, QStringLiteral("File"), QStringLiteral("fichiers"));
    placer(m_File, 4800, 360, 1815, 1845);

    m_Drv = new QComboBox(this);
    nommer(m_Drv, QStringLiteral("Drv"), QStringLiteral("lecteurs"));
    placer(m_Drv, 240, 360, 4455, 315);

    m_FileToOpen = new QLineEdit(QStringLiteral("Text1"), this);
    nommer(m_FileToOpen, QStringLiteral("FileToOpen"), QStringLiteral("case"));
    placer(m_FileToOpen, 1560, 2880, 3615, 375);
    m_FileToOpen->hide();

    setTabOrder(m_OUVRIR, m_Dir);
    setTabOrder(m_Dir, m_File);
    setTabOrder(m_File, m_Drv);

    const QString depart = QFileInfo(dossierDepart).absoluteFilePath();
    m_dossier = dossierLisible(depart) ? QDir::cleanPath(depart) : QDir::rootPath();
    remplirLecteurs();
    remplirDossiers();
    remplirFichiers();

    connect(m_OUVRIR, &QPushButton::clicked, this, &FileOpen::OUVRIR_Click);
    connect(m_Drv, &QComboBox::activated, this, &FileOpen::Drv_Change);
    connect(m_Dir, &QListWidget::itemActivated, this, &FileOpen::Dir_Change);
    // La sélection, par la souris comme par le clavier, fait le chemin à ouvrir.
    connect(m_File, &QListWidget::itemSelectionChanged, this, &FileOpen::File_Click);
    connect(m_File, &QListWidget::itemActivated, this, &FileOpen::OUVRIR_Click);
}

void FileOpen::remplirLecteurs()
{
    QStringList racines;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
        // Un fichier monté seul (/etc/hosts d'un conteneur) n'est pas un lecteur.
        if (v.isValid() && v.isReady() && QFileInfo(v.rootPath()).isDir())
            racines << v.rootPath();
    racines << QStorageInfo(m_dossier).rootPath();
    racines.removeDuplicates();
    racines.sort();
    m_Drv->clear();
    m_Drv->addItems(racines);
    montrerLecteurCourant();
}

void FileOpen::montrerLecteurCourant()
{
    m_Drv->setCurrentIndex(m_Drv->findText(QStorageInfo(m_dossier).rootPath()));
}

void FileOpen::remplirDossiers()
{
    m_Dir->clear();
    // Les dossiers du chemin, de la racine au dossier courant, puis ses sous-dossiers.
    QStringList chemin;
    for (QDir d(m_dossier);;) {
        chemin.prepend(d.absolutePath());
        if (!d.cdUp())
            break;
    }
    int profondeur = 0;
    for (const QString &c : chemin) {
        const QString nom = c == QDir::rootPath() ? c : QFileInfo(c).fileName();
        auto *e = new QListWidgetItem(nom, m_Dir);
        e->setData(roleChemin, c);
        e->setData(roleProfondeur, profondeur);
        ++profondeur;
    }
    m_Dir->setCurrentRow(m_Dir->count() - 1);
    const QFileInfoList sous = QDir(m_dossier).entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &fi : sous) {
        auto *e = new QListWidgetItem(fi.fileName(), m_Dir);
        e->setData(roleChemin, fi.absoluteFilePath());
        e->setData(roleProfondeur, profondeur);
    }
}

void FileOpen::remplirFichiers()
{
    QDir d(m_dossier);
    // Sans QDir::CaseSensitive, le motif ignore la casse : Base.XLS est proposé.
    d.setNameFilters({ QStringLiteral("*.xls") });
    d.setFilter(QDir::Files);
    d.setSorting(QDir::Name | QDir::IgnoreCase);
    m_File->clear();
    m_File->addItems(d.entryList());
    File_Click();
}

bool FileOpen::allerDossier(const QString &chemin)
{
    const QString propre = QDir::cleanPath(QFileInfo(chemin).absoluteFilePath());
    if (!dossierLisible(propre)) {
        m_messages.afficher(QStringLiteral("Impossible de lire le dossier « %1 ».").arg(propre)
            + QChar(13) + QStringLiteral("Choisissez un autre dossier ou un autre lecteur."));
        montrerLecteurCourant();
        return false;
    }
    m_dossier = propre;
    montrerLecteurCourant();
    remplirDossiers();
    remplirFichiers();
    return true;
}

bool FileOpen::selectionnerFichier(const QString &chemin)
{
    const QFileInfo fi(chemin);
    const QString racine = QStorageInfo(fi.absolutePath()).rootPath();
    const int lecteur = m_Drv->findText(racine);
    if (lecteur >= 0 && lecteur != m_Drv->currentIndex()) {
        m_Drv->setCurrentIndex(lecteur);
        Drv_Change();
    }
    if (QDir::cleanPath(fi.absolutePath()) != m_dossier && !allerDossier(fi.absolutePath()))
        return false;
    const auto trouves = m_File->findItems(fi.fileName(), Qt::MatchExactly);
    if (trouves.isEmpty())
        return false;
    m_File->setCurrentItem(trouves.first());
    return true;
}

void FileOpen::Drv_Change()
{
    const QString racine = m_Drv->currentText();
    if (racine.isEmpty() || QStorageInfo(m_dossier).rootPath() == racine)
        return;
    allerDossier(racine);
}

void FileOpen::Dir_Change(QListWidgetItem *element)
{
    if (element != nullptr)
        allerDossier(element->data(roleChemin).toString());
}

void FileOpen::File_Click()
{
    const auto choisis = m_File->selectedItems();
    m_FileToOpen->setText(
        choisis.isEmpty() ? QString() : QDir(m_dossier).filePath(choisis.first()->text()));
}

void FileOpen::OUVRIR_Click()
{
    if (m_File->selectedItems().isEmpty()) {
        m_messages.afficher(texteAucunFichier(), Boutons::Ok);
        return;
    }
    emit ouvrir(m_FileToOpen->text());
}

void FileOpen::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit ferme();
}

} // namespace zarvo::app
