// Gestionnaires des listes, du panneau du coureur, de la fiche d'équipe, du champion, des
// classements et de la recherche : chacun appelle la logique et applique ce qu'elle renvoie.
#include "classeur_jeu/disposition.h"
#include "lists/classements.h"
#include "lists/recherche.h"
#include "model/conversions.h"
#include "rider/champion.h"
#include "teams/equipes.h"
#include "ui/Equipes.h"
#include "ui/messages.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace zarvo::ui {

namespace {

// Zone des boutons coureurs : de la gauche du cadre jusqu'au panneau (Note(2) commence à 4800),
// sur toute la hauteur du cadre.
constexpr int largeurZoneCoureurs = 4800, hauteurZoneCoureurs = 6135;
// Sa barre de défilement ne peut pas être posée dans la zone : ses 15 pixels couvriraient la
// troisième colonne (droite à 4775). Elle prend la place libre à droite de la zone, entre
// « Né le » (bas à 1695) et Salaire (haut à 3960), sans rien couvrir.
const QRect placeBarreCoureurs(largeurZoneCoureurs, 1740, 225, 2175);

// Texte décimal d'une case cachée ou d'une étiquette de bouton ; 0 s'il est illisible.
int entierDe(const QString &texte)
{
    return int(plancher(lireNombre(texte).value_or(0)));
}

int entierDe(const QWidget *w)
{
    if (const auto *e = qobject_cast<const QLineEdit *>(w))
        return entierDe(e->text());
    return w ? entierDe(w->property(propriete::tag).toString()) : 0;
}

// Case de caractéristique illisible : fond d'erreur tant qu'elle ne tient pas un nombre.
void marquerErreur(QLineEdit *e, bool erreur)
{
    e->setProperty("erreur", erreur);
    QPalette p = e->palette();
    p.setColor(QPalette::Base,
        erreur ? QColor(255, 176, 176) : QApplication::palette(e).color(QPalette::Base));
    e->setPalette(p);
}

} // namespace

void Equipes::brancherListes()
{
    // Une longue liste (la seconde des libres descend à 10750 twips) dépasse le cadre : la zone
    // des boutons défile, et dedans les positions restent celles du cadre.
    m_defilementCoureurs = new QScrollArea(m_CaracCoureur);
    nommer(m_defilementCoureurs, QStringLiteral("zoneCoureurs"), QStringLiteral("defilement"));
    placer(m_defilementCoureurs, QRect(0, 0, largeurZoneCoureurs, hauteurZoneCoureurs));
    m_defilementCoureurs->setFrameShape(QFrame::NoFrame);
    m_defilementCoureurs->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_defilementCoureurs->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_defilementCoureurs->viewport()->setAutoFillBackground(false);
    auto *interieur = new QWidget;
    interieur->setObjectName(QStringLiteral("listeCoureurs"));
    interieur->setProperty(propriete::twips, QRect(0, 0, largeurZoneCoureurs, hauteurZoneCoureurs));
    m_defilementCoureurs->setWidget(interieur);
    // setWidget rend l'intérieur opaque : il cacherait le bord et le titre du cadre.
    interieur->setAutoFillBackground(false);
    definirZoneCoureurs(interieur);
    // La barre montrée double la barre cachée de la zone (qui suit aussi la molette).
    m_barreCoureurs = new QScrollBar(Qt::Vertical, m_CaracCoureur);
    nommer(m_barreCoureurs, QStringLiteral("barreCoureurs"), QStringLiteral("defilement"));
    placer(m_barreCoureurs, placeBarreCoureurs);
    QScrollBar *cachee = m_defilementCoureurs->verticalScrollBar();
    connect(cachee, &QScrollBar::rangeChanged, m_barreCoureurs, [this, cachee](int min, int max) {
        m_barreCoureurs->setRange(min, max);
        m_barreCoureurs->setPageStep(cachee->pageStep());
        m_barreCoureurs->setSingleStep(cachee->singleStep());
        m_barreCoureurs->setVisible(max > min);
    });
    connect(cachee, &QScrollBar::valueChanged, m_barreCoureurs, &QScrollBar::setValue);
    connect(m_barreCoureurs, &QScrollBar::valueChanged, cachee, &QScrollBar::setValue);
    m_barreCoureurs->hide();
    ajusterZoneCoureurs();

    connect(this, &Equipes::clicChargeq, this, &Equipes::Chargeq_Click);
    connect(this, &Equipes::clicFree, this, &Equipes::Free_Click);
    connect(this, &Equipes::clicCoureur, this, &Equipes::Coureur_Click);
    connect(this, &Equipes::toucheNote, this, &Equipes::Note_KeyUp);
    connect(this, &Equipes::toucheCareq, this, &Equipes::Careq_KeyUp);
    connect(this, &Equipes::toucheRech, this, &Equipes::rech_KeyUp);
    connect(m_CDM, &QPushButton::clicked, this, &Equipes::CDM_Click);
    connect(m_Best5050, &QPushButton::clicked, this, &Equipes::Best5050_Click);
    connect(m_Best8020, &QPushButton::clicked, this, &Equipes::Best8020_Click);
    connect(m_CLM, &QPushButton::clicked, this, &Equipes::CLM_Click);
    connect(m_Grimpeurs, &QPushButton::clicked, this, &Equipes::Grimpeurs_Click);
    connect(m_Sprinteurs, &QPushButton::clicked, this, &Equipes::Sprinteurs_Click);
}

void Equipes::ajusterZoneCoureurs()
{
    if (!m_defilementCoureurs)
        return;
    int bas = 0;
    for (int i : m_Coureur.indices())
        if (i > 0)
            bas = std::max(bas, m_Coureur[i]->property(propriete::twips).toRect().bottom() + 1);
    // Jamais moins que le cadre : un bouton posé sans passer par une liste reste visible.
    const int hauteur = twipsEnPixels(std::max(bas, hauteurZoneCoureurs));
    // Toute la largeur de la partie visible : la barre est dehors, rien ne passe dessous.
    m_zoneCoureurs->resize(twipsEnPixels(largeurZoneCoureurs), hauteur);
    m_defilementCoureurs->verticalScrollBar()->setValue(0);
}

void Equipes::appliquerListe(const ResultatListe &r)
{
    EffaceCarac();
    for (int c : m_Note.indices())
        marquerErreur(m_Note[c], false);
    m_CDM->setVisible(r.cdmVisible);
    if (r.rechtext)
        m_rechtext->setText(*r.rechtext);
    if (r.remplacerBoutons) {
        detruireCoureurs();
        for (int j = 1; j <= r.boutons.size(); ++j)
            creerCoureur(j, r.boutons[j - 1]);
        ajusterZoneCoureurs();
    }
    for (int k = 1; k <= r.careq.size(); ++k)
        if (QLineEdit *e = m_Careq[k])
            afficherTexte(e, r.careq[k - 1]);
    m_NumEq->setText(QString::number(r.numEq));
}

void Equipes::appliquerEtiquettes(const Etiquettes &e)
{
    if (e.car5050)
        m_Car5050->setText(*e.car5050);
    if (e.pot5050)
        m_Pot5050->setText(*e.pot5050);
    if (e.car8020)
        m_Car8020->setText(*e.car8020);
    if (e.pot8020)
        m_Pot8020->setText(*e.pot8020);
    if (e.salaire)
        m_Salaire->setText(texteAffiche(*e.salaire));
}

void Equipes::Chargeq_Click(int index)
{
    const int ligne = entierDe(m_Chargeq[index]);
    if (!m_donnees.TabEquipes.contient(ligne, colEq::Id))
        return; // seul le chargement crée ces boutons : une étiquette fausse ne liste rien
    appliquerListe(zarvo::Chargeq_Click(m_donnees, ligne));
}

void Equipes::Free_Click(int index)
{
    appliquerListe(zarvo::Free_Click(m_donnees, index));
}

void Equipes::Coureur_Click(int index)
{
    const int ligne = entierDe(m_Coureur[index]);
    if (m_donnees.TabCoureurs.contient(ligne, col::Id))
        montrerCoureur(ligne);
}

void Equipes::montrerCoureur(int ligne)
{
    const AffichageCoureur a = zarvo::Coureur_Click(m_donnees, ligne);
    for (int c = 1; c <= 33; ++c)
        if (QLineEdit *e = m_Note[c]) {
            afficherTexte(e, a.notes[c]);
            marquerErreur(e, a.erreurs[c]);
        }
    m_NumLigne->setText(QString::number(a.numLigne));
    appliquerEtiquettes(a.etiquettes);
}

void Equipes::Note_KeyUp(int index, int)
{
    QString notes[34];
    for (int c = 1; c <= 33; ++c)
        if (QLineEdit *e = m_Note[c])
            notes[c] = e->text();
    const ResultatNote r = zarvo::Note_KeyUp(m_donnees, entierDe(m_NumLigne), index, notes);
    if (r.message)
        m_messages.afficher(*r.message);
    QLineEdit *e = m_Note[index];
    if (r.viderCase)
        afficherTexte(e, QString());
    marquerErreur(e, r.erreur);
    appliquerEtiquettes(r.etiquettes);
}

void Equipes::Careq_KeyUp(int index, int)
{
    if (const auto message
        = zarvo::Careq_KeyUp(m_donnees, entierDe(m_NumEq), index, m_Careq[index]->text()))
        m_messages.afficher(*message);
}

void Equipes::CDM_Click()
{
    const ResultatChampion r = zarvo::CDM_Click(m_donnees, entierDe(m_NumLigne));
    for (const QString &m : r.messages)
        m_messages.afficher(m);
    if (r.note1)
        afficherTexte(m_Note[1], *r.note1);
}

void Equipes::Best5050_Click()
{
    appliquerListe(zarvo::Best5050_Click(m_donnees));
}
void Equipes::Best8020_Click()
{
    appliquerListe(zarvo::Best8020_Click(m_donnees));
}
void Equipes::CLM_Click()
{
    appliquerListe(zarvo::CLM_Click(m_donnees));
}
void Equipes::Grimpeurs_Click()
{
    appliquerListe(zarvo::Grimpeurs_Click(m_donnees));
}
void Equipes::Sprinteurs_Click()
{
    appliquerListe(zarvo::Sprinteurs_Click(m_donnees));
}

void Equipes::rech_KeyUp(int)
{
    appliquerListe(zarvo::rech_KeyUp(m_donnees, m_rech->text()));
}

} // namespace zarvo::ui
