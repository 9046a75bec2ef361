#include "ui/ProfilCoureur.h"

#include "teams/equipes.h"
#include "ui/controles.h"
#include "ui/messages.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChartView>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPolarChart>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>

namespace zarvo::ui {

namespace {

constexpr double degresParAxe = 360.0 / profil::nbAxes;

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

QLineSeries *courbe(const QColor &couleur, Qt::PenStyle trait)
{
    auto *s = new QLineSeries;
    QPen p(couleur, 2, trait);
    s->setPen(p);
    return s;
}

QScatterSeries *marques(
    const QString &nom, const QColor &couleur, QScatterSeries::MarkerShape forme)
{
    auto *s = new QScatterSeries;
    s->setName(nom);
    s->setColor(couleur);
    s->setMarkerShape(forme);
    s->setMarkerSize(11);
    return s;
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

    m_graphe = new QPolarChart;
    m_graphe->legend()->setAlignment(Qt::AlignRight);
    m_graphe->setBackgroundVisible(false);
    m_graphe->setDropShadowEnabled(false);
    auto *angles = new QCategoryAxis;
    angles->setRange(0, 360);
    angles->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int k = 0; k < profil::nbAxes; ++k)
        angles->append(nomsCaracteristiques()[k], k * degresParAxe);
    auto *echelle = new QValueAxis;
    echelle->setRange(profil::minimum, profil::maximum);
    echelle->setTickCount(6);
    echelle->setLabelFormat(QStringLiteral("%d"));
    m_graphe->addAxis(angles, QPolarChart::PolarOrientationAngular);
    m_graphe->addAxis(echelle, QPolarChart::PolarOrientationRadial);

    // Couleurs du panneau : caractéristiques en vert, potentiels en orange.
    m_car = new QLineSeries;
    m_centre = new QLineSeries;
    m_aire = new QAreaSeries(m_car, m_centre);
    m_aire->setName(QStringLiteral("Caractéristiques"));
    m_aire->setColor(QColor(0, 128, 0, 110));
    m_aire->setBorderColor(QColor(0, 128, 0));
    m_pot = courbe(QColor(255, 128, 0), Qt::SolidLine);
    m_pot->setName(QStringLiteral("Potentiels"));
    m_comparee = courbe(QColor(0, 0, 255), Qt::DashLine);
    m_moyenne = courbe(QColor(96, 96, 96), Qt::DotLine);
    m_bornes = marques(QStringLiteral("Hors échelle (au bord)"), QColor(220, 0, 0),
        QScatterSeries::MarkerShapeTriangle);
    m_gardes = marques(QStringLiteral("Saisie non numérique"), QColor(200, 0, 200),
        QScatterSeries::MarkerShapeRotatedRectangle);
    for (QAbstractSeries *s : std::initializer_list<QAbstractSeries *> {
             m_aire, m_pot, m_comparee, m_moyenne, m_bornes, m_gardes }) {
        m_graphe->addSeries(s);
        s->attachAxis(angles);
        s->attachAxis(echelle);
    }
    // Le graphique possède l'aire, l'aire ses deux bords.
    m_car->setParent(m_aire);
    m_centre->setParent(m_aire);

    m_Graphique = new QChartView(m_graphe, this);
    nommer(m_Graphique, QStringLiteral("Graphique"), QStringLiteral("graphique"));
    placer(m_Graphique, QRect(0, 0, 10800, 7380));
    m_Graphique->setRenderHint(QPainter::Antialiasing);
    m_Graphique->setBackgroundBrush(Qt::white);
    m_Graphique->setCacheMode(QGraphicsView::CacheBackground);

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
    if (m_donnees.TabCoureurs.contient(m_numLigne, 1)) {
        EquipeDuCoureur e = equipeDuCoureur(m_donnees, m_numLigne);
        q.nomEquipe = e.nom;
        if (m_MoyenneEquipe->isChecked())
            q.lignesEquipe = std::move(e.lignes);
    }
    m_dessin = dessinProfil(m_donnees, q);
    appliquer();
}

void ProfilCoureur::remplir(QXYSeries *serie, const std::optional<SerieProfil> &s)
{
    const bool montree = m_dessin.coureur && s.has_value();
    QList<QPointF> points;
    if (montree) {
        for (int k = 0; k <= profil::nbAxes; ++k) // le premier point referme le contour
            points << QPointF(k * degresParAxe, s->points[std::size_t(k % profil::nbAxes)].dessin);
        serie->setName(s->nom);
    }
    serie->replace(points);
    serie->setVisible(montree);
    for (QLegendMarker *m : m_graphe->legend()->markers(serie))
        m->setVisible(montree);
}

void ProfilCoureur::appliquer()
{
    const DessinProfil &d = m_dessin;
    m_graphe->setTitle(d.titre);
    remplir(m_car, d.caracteristiques);
    QList<QPointF> centre;
    for (int k = 0; k <= profil::nbAxes; ++k)
        centre << QPointF(k * degresParAxe, profil::minimum);
    m_centre->replace(centre);
    m_aire->setVisible(d.coureur);
    for (QLegendMarker *m : m_graphe->legend()->markers(m_aire))
        m->setVisible(d.coureur);
    remplir(m_pot, d.potentiels);
    remplir(m_comparee, d.comparee);
    remplir(m_moyenne, d.moyenne);

    // Les points bornés ou gardés sont marqués là où ils sont dessinés.
    QList<QPointF> bornes, gardes;
    for (const SerieProfil *s : { &d.caracteristiques, &d.potentiels,
             d.comparee ? &*d.comparee : nullptr, d.moyenne ? &*d.moyenne : nullptr })
        for (int k = 0; d.coureur && s && k < profil::nbAxes; ++k) {
            const PointProfil &p = s->points[std::size_t(k)];
            if (p.borne)
                bornes << QPointF(k * degresParAxe, p.dessin);
            if (p.garde)
                gardes << QPointF(k * degresParAxe, p.dessin);
        }
    for (auto [serie, points] : { std::pair(m_bornes, &bornes), std::pair(m_gardes, &gardes) }) {
        serie->replace(*points);
        serie->setVisible(!points->isEmpty());
        for (QLegendMarker *m : m_graphe->legend()->markers(serie))
            m->setVisible(!points->isEmpty());
    }

    m_Remarque->setText(d.remarque);
    m_Comparer->setEnabled(d.coureur);
    m_Enregistrer->setEnabled(d.coureur);
    m_Graphique->setProperty("etat", etatDe(d));
}

void ProfilCoureur::Comparer_Click()
{
    if (!m_donnees.TabCoureurs.contient(m_numLigne, 0))
        return;
    m_feuilleComparee = m_donnees.TabCoureurs(m_numLigne, 0);
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
    // Le graphique remet en page titre et légende plus tard, par la boucle d'événements :
    // sans cela une image demandée aussitôt après un changement garderait l'ancien titre.
    QCoreApplication::sendPostedEvents();
    // Écrit à côté puis renommé : jamais une image à moitié écrite.
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (imageSvg(chemin)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&f);
        // 96 points par pouce, le pixel des navigateurs et de rsvg : l'image garde sa taille.
        svg.setResolution(96);
        svg.setSize(m_Graphique->size());
        svg.setViewBox(QRect(QPoint(0, 0), m_Graphique->size()));
        svg.setTitle(m_dessin.titre);
        QPainter p(&svg);
        m_Graphique->render(&p);
    } else if (!m_Graphique->grab().toImage().save(&f, "PNG")) {
        return false;
    }
    return f.commit();
}

} // namespace zarvo::ui
