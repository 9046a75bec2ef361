#include "ui/ProfilCoureur.h"

#include "teams/equipes.h"
#include "ui/RadarProfil.h"
#include "ui/controles.h"
#include "ui/messages.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSvgGenerator>

namespace zarvo::ui {

namespace {

QPushButton *boutonProfil(QWidget *parent, const QString &nom, const QString &texte,
    const QRect &twips, const QString &infobulle)
{
    auto *b = new QPushButton(texte, parent);
    nommer(b, nom, QStringLiteral("bouton"));
    placer(b, twips);
    b->setToolTip(infobulle);
    return b;
}

QVariantList valeurs(const SerieProfil &s, bool dessin)
{
    QVariantList l;
    for (const PointProfil &p : s.points)
        l << (dessin ? QVariant(p.dessin) : p.valeur ? QVariant(*p.valeur) : QVariant());
    return l;
}

QVariantList axesMarques(const SerieProfil &s, bool PointProfil::*marque)
{
    QVariantList l;
    for (int k = 0; k < profil::nbAxes; ++k)
        if (s.points[std::size_t(k)].*marque)
            l << k;
    return l;
}

// Ce que montre le graphique, pour le JSON des captures.
QVariantMap etatDe(const DessinProfil &d)
{
    QVariantList series;
    for (const SerieProfil *s : { &d.caracteristiques, &d.potentiels,
             d.comparee ? &*d.comparee : nullptr, d.moyenne ? &*d.moyenne : nullptr }) {
        if (s == nullptr || !d.coureur)
            continue;
        series << QVariantMap { { QStringLiteral("nom"), s->nom },
            { QStringLiteral("valeurs"), valeurs(*s, false) },
            { QStringLiteral("dessin"), valeurs(*s, true) },
            { QStringLiteral("bornes"), axesMarques(*s, &PointProfil::borne) },
            { QStringLiteral("gardes"), axesMarques(*s, &PointProfil::garde) } };
    }
    return { { QStringLiteral("titre"), d.titre }, { QStringLiteral("coureur"), d.coureur },
        { QStringLiteral("axes"), d.axes },
        { QStringLiteral("echelle"), QVariantList { d.minimum, d.maximum } },
        { QStringLiteral("series"), series }, { QStringLiteral("remarque"), d.remarque } };
}

} // namespace

ProfilCoureur::ProfilCoureur(const Donnees &donnees, ServiceMessages &messages, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_donnees(donnees)
    , m_messages(messages)
{
    nommer(this, QStringLiteral("ProfilCoureur"), QStringLiteral("fenetre"));
    policeDeFenetre(this);
    setWindowTitle(QStringLiteral("Profil du coureur"));
    setFixedSize(twipsEnPixels(10800), twipsEnPixels(8300));
    setProperty(propriete::twips, QRect(0, 0, 10800, 8300));

    m_Graphique = new RadarProfil(this);
    nommer(m_Graphique, QStringLiteral("Graphique"), QStringLiteral("graphique"));
    placer(m_Graphique, QRect(0, 0, 10800, 7380));

    m_Remarque = new QLabel(this);
    nommer(m_Remarque, QStringLiteral("Remarque"), QStringLiteral("etiquette"));
    placer(m_Remarque, QRect(120, 7400, 10560, 315));

    m_Comparer = boutonProfil(this, QStringLiteral("Comparer"), QStringLiteral("Comparer"),
        QRect(120, 7800, 1215, 375),
        QStringLiteral("Garder ce coureur en contour bleu pour le comparer aux suivants"));
    m_SansComparaison
        = boutonProfil(this, QStringLiteral("SansComparaison"), QStringLiteral("Sans comparaison"),
            QRect(1440, 7800, 1815, 375), QStringLiteral("Retirer le coureur comparé"));
    m_MoyenneEquipe = new QCheckBox(QStringLiteral("Moyenne de l'équipe"), this);
    nommer(m_MoyenneEquipe, QStringLiteral("MoyenneEquipe"), QStringLiteral("coche"));
    placer(m_MoyenneEquipe, QRect(3480, 7800, 2400, 375));
    m_MoyenneEquipe->setToolTip(
        QStringLiteral("Moyenne des caractéristiques des coureurs de son équipe, en pointillés"));
    m_Enregistrer = boutonProfil(this, QStringLiteral("Enregistrer"),
        QStringLiteral("Enregistrer l'image…"), QRect(8400, 7800, 2280, 375),
        QStringLiteral("Enregistrer le profil en image PNG ou SVG"));

    connect(m_Comparer, &QPushButton::clicked, this, &ProfilCoureur::Comparer_Click);
    connect(m_SansComparaison, &QPushButton::clicked, this, &ProfilCoureur::SansComparaison_Click);
    connect(m_MoyenneEquipe, &QCheckBox::toggled, this, &ProfilCoureur::redessiner);
    connect(m_Enregistrer, &QPushButton::clicked, this, &ProfilCoureur::Enregistrer_Click);
    redessiner();
}

ProfilCoureur::~ProfilCoureur() = default;

void ProfilCoureur::actualiser(int numLigne, const QString (&notes)[34])
{
    m_numLigne = numLigne;
    std::copy(std::begin(notes), std::end(notes), std::begin(m_notes));
    redessiner();
}

void ProfilCoureur::redessiner()
{
    DemandeProfil q;
    q.numLigne = m_numLigne;
    q.notes = &m_notes;
    q.ligneComparee = ligneDeFeuille(m_donnees, m_feuilleComparee);
    if (m_donnees.TabCoureurs.contient(m_numLigne, col::Id)) {
        EquipeDuCoureur e = equipeDuCoureur(m_donnees, m_numLigne);
        q.nomEquipe = e.nom;
        if (m_MoyenneEquipe->isChecked())
            q.lignesEquipe = std::move(e.lignes);
    }
    m_dessin = dessinProfil(m_donnees, q);
    m_Graphique->definir(m_dessin);
    m_Graphique->setProperty("etat", etatDe(m_dessin));
    m_Remarque->setText(m_dessin.remarque);
    m_Comparer->setEnabled(m_dessin.coureur);
    m_Enregistrer->setEnabled(m_dessin.coureur);
}

void ProfilCoureur::Comparer_Click()
{
    if (!m_donnees.TabCoureurs.contient(m_numLigne, base::colLigneFeuille))
        return;
    m_feuilleComparee = m_donnees.TabCoureurs(m_numLigne, base::colLigneFeuille);
    redessiner();
}

void ProfilCoureur::SansComparaison_Click()
{
    m_feuilleComparee = Cellule();
    redessiner();
}

void ProfilCoureur::Enregistrer_Click()
{
    const auto chemin
        = m_messages.fichierAEnregistrer(QStringLiteral("Enregistrer l'image du profil"),
            nomImagePropose(m_dessin), QStringLiteral("Images PNG (*.png);;Images SVG (*.svg)"));
    if (chemin && !enregistrer(*chemin))
        m_messages.afficher(QStringLiteral("Impossible d'enregistrer l'image dans « %1 ».")
                                .arg(QDir::toNativeSeparators(*chemin)));
}

bool ProfilCoureur::enregistrer(const QString &chemin)
{
    // Écrit à côté puis renommé : jamais une image à moitié écrite.
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QRect zone(QPoint(0, 0), m_Graphique->size());
    if (imageSvg(chemin)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&f);
        // 96 points par pouce, le pixel des navigateurs et de rsvg : l'image garde sa taille.
        svg.setResolution(96);
        svg.setSize(zone.size());
        svg.setViewBox(zone);
        svg.setTitle(m_dessin.titre);
        QPainter p(&svg);
        RadarProfil::peindre(p, zone, m_dessin);
    } else {
        QImage image(zone.size(), QImage::Format_RGB32);
        QPainter p(&image);
        RadarProfil::peindre(p, zone, m_dessin);
        p.end();
        if (!image.save(&f, "PNG"))
            return false;
    }
    return f.commit();
}

} // namespace zarvo::ui
