#include "ui/Equipes.h"

#include "classeur_jeu/application.h"
#include "classeur_jeu/disposition.h"
#include "export/html.h"
#include "rider/annulation.h"
#include "rider/panneau.h"
#include "sheet/erreur.h"
#include "sheet/tableur.h"
#include "ui/Revue.h"
#include "ui/messages.h"
#include "ui/progression.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <QUrl>

namespace zarvo::ui {

namespace {

const QColor rouge(255, 0, 0);
const QColor bleu(0, 0, 255);
const QColor vert(0, 128, 0);
const QColor orange(255, 128, 0);

QLabel *etiquette(
    QWidget *parent, const QString &nom, const QString &texte, const QRect &twips, int index = -1)
{
    auto *l = new QLabel(texte, parent);
    nommer(l, nom, QStringLiteral("etiquette"), index);
    placer(l, twips);
    return l;
}

QLineEdit *caseTexte(QWidget *parent, const QString &nom, const QString &texte, const QRect &twips,
    const QString &infobulle = {}, int index = -1)
{
    auto *c = new QLineEdit(parent);
    afficherTexte(c, texte);
    nommer(c, nom, QStringLiteral("case"), index);
    placer(c, twips);
    c->setToolTip(infobulle);
    // Cases du dessin : bordure fine, pas de marge qui mangerait un texte de 17 pixels.
    c->setTextMargins(0, 0, 0, 0);
    return c;
}

QPushButton *bouton(QWidget *parent, const QString &nom, const QString &texte, const QRect &twips,
    const QString &infobulle = {}, int index = -1)
{
    auto *b = new QPushButton(texte, parent);
    nommer(b, nom, QStringLiteral("bouton"), index);
    placer(b, twips);
    b->setToolTip(infobulle);
    return b;
}

QPushButton *boutonImage(QWidget *parent, const QString &nom, const QString &image,
    const QRect &twips, const QString &infobulle)
{
    QPushButton *b = bouton(parent, nom, {}, twips, infobulle);
    b->setIcon(QIcon(image));
    b->setIconSize(b->size() - QSize(6, 6));
    return b;
}

/// Cadre au titre rouge ; le titre seul change de couleur, pas le texte des contrôles du cadre.
class Cadre : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter p(this);
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        option.palette.setColor(QPalette::WindowText, rouge);
        option.textColor = rouge;
        p.drawComplexControl(QStyle::CC_GroupBox, option);
    }
};

QGroupBox *cadre(QWidget *parent, const QString &nom, const QString &titre, const QRect &twips)
{
    auto *g = new Cadre(titre, parent);
    nommer(g, nom, QStringLiteral("cadre"));
    placer(g, twips);
    g->setProperty(propriete::couleurTexte, rouge);
    return g;
}

} // namespace

QString texteConfirmationQuitter()
{
    return QStringLiteral("voulez vous vraiment quitter ?") + QChar(13)
        + QStringLiteral(" (Si vous n'avez pas pensé à appliquer les modifications, elle seront "
                         "perdues.)");
}

Equipes::Equipes(ServiceMessages &messages, QWidget *parent)
    : QWidget(parent)
    , m_messages(messages)
{
    nommer(this, QStringLiteral("Equipes"), QStringLiteral("fenetre"));
    policeDeFenetre(this);
    setWindowTitle(QStringLiteral("Les Equipes et coureurs"));
    setWindowIcon(QIcon(QStringLiteral(":/images/icone.svg")));
    setFixedSize(twipsEnPixels(11475), twipsEnPixels(7950));
    setProperty(propriete::twips, QRect(0, 0, 11475, 7950));

    construireCadreEquipe();
    construireCadreCoureurs();

    m_NumLigne
        = caseTexte(this, QStringLiteral("NumLigne"), QStringLiteral("0"), QRect(0, 0, 495, 285));
    m_NumLigne->hide();
    m_NumEq = caseTexte(this, QStringLiteral("NumEq"), QStringLiteral("0"), QRect(0, 0, 495, 285));
    m_NumEq->hide();

    connect(m_Quit, &QPushButton::clicked, this, &Equipes::Quit_Click);
    connect(m_ApplyCour, &QPushButton::clicked, this, &Equipes::ApplyCour_Click);
    connect(m_HTML, &QPushButton::clicked, this, &Equipes::HTML_Click);
    brancherListes();
    brancherAnnulation();
    brancherProfil();
}

Equipes::~Equipes() = default;

void Equipes::construireCadreEquipe()
{
    m_Equipe = cadre(
        this, QStringLiteral("Equipe"), QStringLiteral("Equipes"), QRect(25, 0, 11415, 1815));
    m_Equipe->setToolTip(QStringLiteral(
        "For J = 2 To 43 'chargement de toutes les equipes et création d'un bouton"));
    QWidget *f = m_Equipe;

    QLabel *gs1 = etiquette(
        f, QStringLiteral("EtiqGS1"), QStringLiteral("GS1 :"), QRect(120, 240, 495, 255));
    couleurTexte(gs1, bleu);
    police(gs1, 9.75, true);
    QLabel *gs2
        = etiquette(f, QStringLiteral("EtiqGS2"), QStringLiteral("GS2"), QRect(120, 480, 495, 255));
    couleurTexte(gs2, vert);
    police(gs2, 9.75, true);

    QPushButton *modele = bouton(
        f, QStringLiteral("Chargeq"), QStringLiteral("AAA"), QRect(600, 480, 500, 220), {}, 0);
    police(modele, 8.25, true);
    modele->hide();
    m_Chargeq.inserer(0, modele);

    const QRect posFree[] = { QRect(120, 840, 1425, 315), QRect(1600, 840, 1425, 315) };
    for (int i = 1; i <= 2; ++i) {
        QPushButton *b = bouton(f, QStringLiteral("Free"), QStringLiteral("Free Agents %1").arg(i),
            posFree[i - 1], QStringLiteral("Voir les Free agents"), i);
        couleurFond(b, QColor(255, 255, 192));
        police(b, 8.25, true);
        connect(b, &QPushButton::clicked, this, [this, i] { emit clicFree(i); });
        m_Free.inserer(i, b);
    }

    m_CLM = boutonImage(f, QStringLiteral("CLM"), QStringLiteral(":/images/clm.svg"),
        QRect(3240, 800, 615, 375), QStringLiteral("50 meilleurs en CLM"));
    m_Grimpeurs
        = boutonImage(f, QStringLiteral("Grimpeurs"), QStringLiteral(":/images/grimpeurs.svg"),
            QRect(3960, 800, 615, 375), QStringLiteral("50 meilleurs grimpeurs"));
    m_Sprinteurs
        = boutonImage(f, QStringLiteral("Sprinteurs"), QStringLiteral(":/images/sprinteurs.svg"),
            QRect(4680, 800, 615, 375), QStringLiteral("50 meilleurs sprinteurs"));
    m_Best5050 = boutonImage(f, QStringLiteral("Best5050"), QStringLiteral(":/images/best5050.svg"),
        QRect(5400, 800, 495, 375), QStringLiteral("50 meilleurs 50/50 Mo/Val (courses type LBL)"));
    m_Best8020 = boutonImage(f, QStringLiteral("Best8020"), QStringLiteral(":/images/best8020.svg"),
        QRect(6000, 800, 495, 375),
        QStringLiteral("50 meilleurs 80/20 Mo/Val (courses type Zurich)"));

    police(
        etiquette(f, QStringLiteral("EtiqId"), QStringLiteral("Id :"), QRect(120, 1320, 255, 375)),
        12, true);

    struct CaseEquipe
    {
        int index;
        QRect pos;
        const char16_t *texte;
        const char16_t *infobulle;
    };
    const CaseEquipe cases[] = {
        { colEq::Id, QRect(370, 1320, 495, 360), u"IdEq", u"Id equipe" },
        { colEq::Nom, QRect(960, 1320, 5055, 360), u"Nom de l'equipe", u"Nom de l'equipe" },
        { colEq::Mail, QRect(6310, 1320, 2415, 420), u"monequipe.com", u"Suffixe mail" },
        { colEq::Abrev, QRect(8760, 1320, 855, 375), u"RAC", u"abbréviation équipe" },
        { colEq::Division, QRect(10120, 1320, 255, 420), u"1", u"division de l'equipe" },
        { colEq::Pays, QRect(11040, 1320, 255, 420), u"1", u"Id Pays de l'équipe." },
    };
    for (const CaseEquipe &c : cases) {
        QLineEdit *e = caseTexte(f, QStringLiteral("Careq"), QString::fromUtf16(c.texte), c.pos,
            QString::fromUtf16(c.infobulle), c.index);
        couleurTexte(e, rouge);
        if (c.index == colEq::Nom)
            police(e, 14.25, true, true, QStringLiteral("Times New Roman"));
        else if (c.index != colEq::Id)
            police(e, 12, true);
        e->installEventFilter(this);
        m_Careq.inserer(c.index, e);
        if (c.index == colEq::Nom)
            police(etiquette(f, QStringLiteral("EtiqArobase"), QStringLiteral("@"),
                       QRect(6000, 1320, 375, 375)),
                13.5, true);
        if (c.index == colEq::Abrev)
            police(etiquette(f, QStringLiteral("EtiqGS"), QStringLiteral(" GS "),
                       QRect(9600, 1320, 615, 375)),
                13.5, true);
        if (c.index == colEq::Division)
            police(etiquette(f, QStringLiteral("EtiqPays"), QStringLiteral("Pays"),
                       QRect(10440, 1320, 615, 375)),
                12, true);
    }
}

void Equipes::construireCadreCoureurs()
{
    m_CaracCoureur = cadre(this, QStringLiteral("CaracCoureur"), QStringLiteral("Coureurs"),
        QRect(25, 1800, 11415, 6135));
    QWidget *f = m_CaracCoureur;
    m_zoneCoureurs = f;

    QPushButton *modele = bouton(f, QStringLiteral("Coureur"), QStringLiteral("Cycliste"),
        QRect(5280, 120, 1575, 405), {}, 0);
    couleurFond(modele, palette().color(QPalette::Light));
    police(modele, 8.25, true, false, QStringLiteral("Times New Roman"));
    modele->hide();
    m_Coureur.inserer(0, modele);

    auto note = [this](QWidget *parent, int c, const QRect &pos, const char16_t *texte,
                    const char16_t *infobulle = u"") {
        QLineEdit *e = caseTexte(parent, QStringLiteral("Note"), QString::fromUtf16(texte), pos,
            QString::fromUtf16(infobulle), c);
        e->installEventFilter(this);
        m_Note.inserer(c, e);
        return e;
    };

    for (int c : { 2, 3 }) {
        QLineEdit *e = note(f, c, QRect(4800, c == 2 ? 480 : 960, 2775, 405),
            c == 2 ? u"NOM" : u"Prénom", c == 2 ? u"nom du coureur" : u"Prénom du coureur");
        couleurTexte(e, rouge);
        police(e, 12, true);
    }
    etiquette(f, QStringLiteral("EtiqNeLe"), QStringLiteral("Né le"), QRect(4800, 1440, 615, 255));
    note(f, 6, QRect(5520, 1440, 255, 285), u"jour", u"jour de naissance");
    etiquette(f, QStringLiteral("EtiqBarre1"), QStringLiteral("/"), QRect(5880, 1440, 135, 255));
    note(f, 7, QRect(6000, 1440, 375, 285), u"mois", u"mois de naissance");
    etiquette(f, QStringLiteral("EtiqBarre2"), QStringLiteral("/"), QRect(6480, 1440, 135, 255));
    note(f, 8, QRect(6600, 1440, 615, 285), u"année", u"année de naissance");
    etiquette(f, QStringLiteral("IdCoureur"), QStringLiteral("IdCoureur :"),
        QRect(5280, 1800, 1215, 255));
    note(f, 1, QRect(6600, 1800, 615, 285), u"Id", u"Id unique du coureur");
    etiquette(f, QStringLiteral("EtiqIdEquipe"), QStringLiteral("Id Equipe :"),
        QRect(5280, 2160, 1215, 255));
    note(f, 4, QRect(6720, 2160, 495, 285), u"Id Equipe", u"Id de l'equipe du coureur");
    etiquette(f, QStringLiteral("EtiqPointsUCI"), QStringLiteral("Points UCI:"),
        QRect(5160, 2520, 1215, 255));
    police(note(f, 9, QRect(6360, 2520, 855, 285), u"UCI", u"nb de points UCI du coureur"), 9.75,
        true);
    etiquette(
        f, QStringLiteral("EtiqIdPays"), QStringLiteral("Id Pays :"), QRect(5160, 2880, 1215, 255));
    note(f, 5, QRect(6360, 2880, 855, 285), u"Pays", u"Id Pays du coureur");

    couleurTexte(etiquette(f, QStringLiteral("EtiqCarac"), QStringLiteral("CARAC"),
                     QRect(9120, 120, 855, 255)),
        vert);
    couleurTexte(etiquette(f, QStringLiteral("EtiqPotentiel"), QStringLiteral("POTENTIEL"),
                     QRect(10050, 120, 1335, 255)),
        orange);

    for (int k = 0; k < 12; ++k) {
        const int haut = 480 + 360 * k;
        QLabel *l = etiquette(f, QStringLiteral("EtiqCaracteristique"),
            nomsCaracteristiques().at(k), QRect(7680, haut, 3615, 255), k);
        couleurTexte(l, bleu);
        police(l, 9.75, true, true);
    }
    for (int k = 0; k < 12; ++k) {
        // La ligne « Resistance » appartient à la fenêtre elle-même, au même endroit.
        const bool surFenetre = k == 6;
        QWidget *parent = surFenetre ? static_cast<QWidget *>(this) : f;
        const int dx = surFenetre ? 25 : 0, dy = surFenetre ? 1800 : 0;
        const int haut = 480 + 360 * k + dy;
        couleurTexte(note(parent, 10 + 2 * k, QRect(9120 + dx, haut, 735, 285), u"0"), vert);
        couleurTexte(note(parent, 11 + 2 * k, QRect(10200 + dx, haut, 735, 285), u"0"), orange);
    }

    auto note5050
        = [&](const QString &nom, const QString &texte, int haut, const QString &infobulle) {
              QLabel *l = etiquette(f, nom, texte, QRect(7680, haut, 1575, 255));
              couleurTexte(l, bleu);
              police(l, 9.75, true, true);
              l->setToolTip(infobulle);
          };
    note5050(QStringLiteral("Etiq5050"), QStringLiteral("50/50-Mo/Val"), 4800,
        QStringLiteral("Note pour les courses type LBL"));
    note5050(QStringLiteral("Etiq8020"), QStringLiteral("80/20-Mo/Val"), 5160,
        QStringLiteral("Note pour les courses de type Zurich"));
    auto valeur = [&](const QString &nom, int gauche, int haut, const QColor &c) {
        QLabel *l = etiquette(f, nom, QStringLiteral("0"), QRect(gauche, haut, 1095, 255));
        couleurTexte(l, c);
        return l;
    };
    m_Car5050 = valeur(QStringLiteral("Car5050"), 9120, 4800, vert);
    m_Pot5050 = valeur(QStringLiteral("Pot5050"), 10200, 4800, orange);
    m_Car8020 = valeur(QStringLiteral("Car8020"), 9120, 5160, vert);
    m_Pot8020 = valeur(QStringLiteral("Pot8020"), 10200, 5160, orange);

    m_Salaire = etiquette(
        f, QStringLiteral("Salaire"), QStringLiteral("0"), QRect(4920, 3960, 2655, 615));
    couleurTexte(m_Salaire, bleu);
    police(m_Salaire, 12);
    m_Salaire->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_Salaire->setToolTip(QStringLiteral("Salaire estimé (hors points UCI)"));

    m_recherche = cadre(f, QStringLiteral("recherche"),
        QStringLiteral("Recherche par debut du nom"), QRect(4920, 4570, 2655, 885));
    m_recherche->setToolTip(QStringLiteral("Le résultat s'affiche si moins 50 résultats"));
    m_rech = caseTexte(m_recherche, QStringLiteral("rech"), QStringLiteral("Nom à chercher"),
        QRect(120, 240, 2415, 285),
        QStringLiteral("Tapez le début du nom. Les résultats s'affichent si le nb de coureurs "
                       "trouvé est inférieur à 50"));
    m_rech->installEventFilter(this);
    m_rechtext = etiquette(m_recherche, QStringLiteral("rechtext"),
        QStringLiteral("Nombre de coureurs trouvé : 0"), QRect(120, 600, 2415, 255));
    couleurTexte(m_rechtext, vert);

    m_HTML
        = bouton(f, QStringLiteral("HTML"), QStringLiteral("HTML"), QRect(4920, 5520, 1815, 495));
    couleurFond(m_HTML, QColor(0, 128, 0));
    police(m_HTML, 12, true, false, QStringLiteral("Times New Roman"));
    m_ApplyCour = bouton(f, QStringLiteral("ApplyCour"),
        QStringLiteral("Appliquer les modifications "), QRect(6720, 5520, 2895, 495),
        QStringLiteral("Applique les modifications sur la feuille excel. "));
    couleurFond(m_ApplyCour, QColor(128, 128, 255));
    police(m_ApplyCour, 8.25, true, true, QStringLiteral("Verdana"));
    m_Quit = bouton(f, QStringLiteral("Quit"), QStringLiteral("Quitter"),
        QRect(9600, 5520, 1695, 495),
        QStringLiteral("Choisissez oui sur quitter, ensuite excel vous proposera de sauver ou non "
                       "la feuille excel"));
    couleurFond(m_Quit, QColor(255, 128, 0));
    police(m_Quit, 15.75, true, true, QStringLiteral("Verdana"));

    m_CDM = boutonImage(this, QStringLiteral("CDM"), QStringLiteral(":/images/cdm.svg"),
        QRect(5640, 5040, 975, 615), QStringLiteral("Faire de ce coureur le Championdu monde"));
    couleurFond(m_CDM, QColor(255, 255, 255));
}

QPushButton *Equipes::copierModele(
    TableauControles<QPushButton> &tableau, int index, const DescriptionBouton &d, QWidget *parent)
{
    QPushButton *modele = tableau[0];
    Q_ASSERT(modele != nullptr && index >= 1);
    delete tableau.retirer(index);
    auto *b = new QPushButton(d.legende, parent);
    nommer(b, modele->objectName(), modele->property(propriete::genre).toString(), index);
    b->setFont(modele->font());
    const QVariant fond = modele->property(propriete::couleurFond);
    if (d.couleur)
        couleurFond(b, couleurRgb(*d.couleur));
    else if (fond.isValid())
        couleurFond(b, fond.value<QColor>());
    const QRect t = modele->property(propriete::twips).toRect();
    placer(b, QRect(d.gauche, d.haut, t.width(), d.hauteur > 0 ? d.hauteur : t.height()));
    b->setToolTip(d.infobulle);
    b->setProperty(propriete::tag, d.tag);
    tableau.inserer(index, b);
    b->show();
    return b;
}

void Equipes::creerBoutonsEquipes(const QList<DescriptionBouton> &boutons)
{
    for (int i : m_Chargeq.indices())
        if (i > 0)
            delete m_Chargeq.retirer(i);
    // Le modèle prend la teinte d'origine, puis chaque couleur juste avant sa copie.
    couleurFond(m_Chargeq[0], couleurRgb(disposition::couleurModeleEquipe));
    int k = 1;
    for (const DescriptionBouton &d : boutons) {
        if (d.couleur)
            couleurFond(m_Chargeq[0], couleurRgb(*d.couleur));
        QPushButton *b = copierModele(m_Chargeq, k, d, m_Equipe);
        const int index = k;
        connect(b, &QPushButton::clicked, this, [this, index] { emit clicChargeq(index); });
        ++k;
    }
}

QPushButton *Equipes::creerCoureur(int index, const DescriptionBouton &description)
{
    QPushButton *b = copierModele(m_Coureur, index, description, m_zoneCoureurs);
    connect(b, &QPushButton::clicked, this, [this, index] { emit clicCoureur(index); });
    return b;
}

void Equipes::detruireCoureurs()
{
    for (int i : m_Coureur.indices())
        if (i > 0)
            delete m_Coureur.retirer(i);
}

void Equipes::EffaceCarac()
{
    for (int c = 1; c <= m_Note.borneHaute(); ++c)
        if (QLineEdit *e = m_Note[c])
            afficherTexte(e, QString());
    for (int k = 1; k <= m_Careq.borneHaute(); ++k)
        if (QLineEdit *e = m_Careq[k])
            afficherTexte(e, QString());
    m_NumLigne->setText(QStringLiteral("0"));
    m_NumEq->setText(QStringLiteral("0"));
}

void Equipes::Quit_Click()
{
    if (m_messages.afficher(texteConfirmationQuitter(), Boutons::OuiNon) == Reponse::Oui)
        Quitter();
}

void Equipes::ApplyCour_Click()
{
    sheet::Classeur *classeur = m_tableur ? m_tableur->classeurActif() : nullptr;
    if (!classeur) {
        m_messages.afficher(QStringLiteral(
            "Aucun classeur n'est ouvert : les modifications ne peuvent pas être appliquées."));
        return;
    }
    if (m_progression)
        m_progression->montrer();
    // Cachée à la fin quoi qu'il arrive, échec compris.
    const auto cacher = qScopeGuard([this] {
        if (m_progression)
            m_progression->cacher();
    });
    const ResultatApplication r
        = appliquerModifications(m_donnees, *classeur, [this](const QString &texte) {
              if (m_progression)
                  m_progression->etape(texte);
          });
    if (r.erreur)
        m_messages.afficher(*r.erreur);
    if (r.compteRendu)
        m_messages.afficher(*r.compteRendu);
    majModifs();
}

void Equipes::HTML_Click()
{
    const QString fichier = m_fichierChoisi ? m_fichierChoisi() : QString();
    const ResultatExport r
        = exporterHTML(m_donnees, fichier, QDir::current(), QDateTime::currentDateTime());
    if (!r.reussi) {
        m_messages.afficher(r.erreur);
        return;
    }
    // L'utilisateur apprend où est son site, et peut l'ouvrir tout de suite.
    if (m_messages.afficher(texteExportReussi(r), Boutons::OuiNon) != Reponse::Oui)
        return;
    const QUrl sommaire
        = QUrl::fromLocalFile(QDir(r.dossier).filePath(QStringLiteral("sommaire.html")));
    const bool ouvert = m_ouvreur ? m_ouvreur(sommaire) : QDesktopServices::openUrl(sommaire);
    if (!ouvert)
        m_messages.afficher(QStringLiteral("Le navigateur n'a pas pu ouvrir « %1 ».")
                                .arg(QDir::toNativeSeparators(sommaire.toLocalFile())));
}

bool Equipes::Quitter()
{
    if (m_tableur != nullptr) {
        sheet::Fermeture f;
        try {
            f = m_tableur->quitter([this](const sheet::QuestionPosee &question) {
                return m_messages.afficher(question.texte, question.boutons);
            });
        } catch (const sheet::ErreurClasseur &e) {
            f = { false, e };
        }
        if (!f.fermee) {
            // Annuler, ou enregistrement manqué : on revient à l'éditeur, tout intact.
            if (f.erreur)
                m_messages.afficher(sheet::texteErreur(*f.erreur), Boutons::Ok);
            return false;
        }
        // Enregistré, mais le fichier n'a pas retrouvé son propriétaire ou ses droits.
        if (!f.avertissement.isEmpty())
            m_messages.afficher(f.avertissement, Boutons::Ok);
    }
    m_quitte = true;
    hide();
    emit termine();
    return true;
}

void Equipes::closeEvent(QCloseEvent *event)
{
    // Fermer par le cadre suit le même chemin que le bouton Quitter.
    if (!m_quitte) {
        event->ignore();
        Quit_Click();
        return;
    }
    event->accept();
}

bool Equipes::eventFilter(QObject *objet, QEvent *event)
{
    // Ctrl+Z dans une case annule dans la fenêtre, pas seulement dans le texte de la case.
    if (event->type() == QEvent::ShortcutOverride
        && estRaccourciAnnulation(*static_cast<QKeyEvent *>(event)))
        return true;
    if (event->type() == QEvent::KeyRelease) {
        const auto *touche = static_cast<QKeyEvent *>(event);
        if (!touche->isAutoRepeat()) {
            auto *w = qobject_cast<QLineEdit *>(objet);
            if (w == m_rech)
                emit toucheRech(touche->key());
            else if (w != nullptr && w->objectName() == u"Note")
                emit toucheNote(indexDe(w), touche->key());
            else if (w != nullptr && w->objectName() == u"Careq")
                emit toucheCareq(indexDe(w), touche->key());
        }
    }
    return QWidget::eventFilter(objet, event);
}

} // namespace zarvo::ui
