#include "outils/captures/scenario.h"

#include "app/FileOpen.h"
#include "app/Programme.h"
#include "app/maj.h"
#include "model/conversions.h"
#include "model/donnees.h"
#include "sheet/erreur.h"
#include "sheet/tableur.h"
#include "soutien/messages_factices.h"
#include "ui/Equipes.h"
#include "ui/Revue.h"
#include "ui/controles.h"
#include "ui/messages.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace zarvo::outils {

using namespace ui;

namespace {

struct Echec
{
    int code;
    QString message;
};

std::optional<Qt::Key> lireTouche(const QString &nom);

/// « Ctrl+Maj+Z » : modificateurs Ctrl, Maj, Alt puis une touche nommée, une lettre ou un
/// chiffre.
std::optional<QKeyCombination> lireCombinaison(const QString &texte)
{
    QStringList parties = texte.split(u'+');
    const QString nom = parties.takeLast();
    Qt::KeyboardModifiers mods;
    for (const QString &m : parties) {
        if (m.compare(u"Ctrl", Qt::CaseInsensitive) == 0)
            mods |= Qt::ControlModifier;
        else if (m.compare(u"Maj", Qt::CaseInsensitive) == 0)
            mods |= Qt::ShiftModifier;
        else if (m.compare(u"Alt", Qt::CaseInsensitive) == 0)
            mods |= Qt::AltModifier;
        else
            return std::nullopt;
    }
    if (const auto t = lireTouche(nom))
        return QKeyCombination(mods, *t);
    if (nom.size() == 1 && nom[0].isLetterOrNumber() && nom[0].unicode() < 0x80)
        return QKeyCombination(mods, Qt::Key(nom[0].toUpper().unicode()));
    return std::nullopt;
}

std::optional<Qt::Key> lireTouche(const QString &nom)
{
    static const QList<std::pair<QString, Qt::Key>> touches {
        { QStringLiteral("Gauche"), Qt::Key_Left },
        { QStringLiteral("Droite"), Qt::Key_Right },
        { QStringLiteral("Haut"), Qt::Key_Up },
        { QStringLiteral("Bas"), Qt::Key_Down },
        { QStringLiteral("Entree"), Qt::Key_Return },
        { QStringLiteral("Tab"), Qt::Key_Tab },
    };
    for (const auto &[texte, touche] : touches)
        if (nom.compare(texte, Qt::CaseInsensitive) == 0)
            return touche;
    return std::nullopt;
}

/// Une touche pressée puis relâchée, avec son texte, comme au clavier.
void taperCaractere(QWidget *w, QChar c)
{
    const int code = c == u' ' ? int(Qt::Key_Space)
        : c.isLetterOrNumber() ? int(c.toUpper().unicode())
                               : int(Qt::Key_unknown);
    QKeyEvent appui(QEvent::KeyPress, code, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &appui);
    QKeyEvent relache(QEvent::KeyRelease, code, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &relache);
}

QString texteDe(const QWidget *w)
{
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        return b->text();
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    if (auto *g = qobject_cast<const QGroupBox *>(w))
        return g->title();
    if (auto *c = qobject_cast<const QComboBox *>(w))
        return c->currentText();
    if (auto *l = qobject_cast<const QListWidget *>(w))
        return l->selectedItems().isEmpty() ? QString() : l->selectedItems().first()->text();
    return {};
}

QColor fondDe(const QWidget *w)
{
    const QVariant v = w->property(propriete::couleurFond);
    if (v.isValid())
        return v.value<QColor>();
    if (qobject_cast<const QAbstractButton *>(w))
        return w->palette().color(QPalette::Button);
    if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QListWidget *>(w))
        return w->palette().color(QPalette::Base);
    return w->palette().color(w->backgroundRole());
}

QJsonValue ouNul(int v)
{
    return v < 0 ? QJsonValue() : QJsonValue(v);
}

QJsonObject decrireControle(const QWidget *w)
{
    QJsonObject o;
    o[u"nom"] = w->objectName();
    o[u"index"] = ouNul(indexDe(w));
    o[u"genre"] = w->property(propriete::genre).toString();
    o[u"texte"] = texteDe(w);
    o[u"infobulle"] = w->toolTip();
    o[u"tag"] = w->property(propriete::tag).toString();
    const QVariant t = w->property(propriete::twips);
    const QRect r = t.isValid() ? t.toRect()
                                : QRect(w->x() * twipsParPixel, w->y() * twipsParPixel,
                                    w->width() * twipsParPixel, w->height() * twipsParPixel);
    o[u"gauche"] = r.x();
    o[u"haut"] = r.y();
    o[u"largeur"] = r.width();
    o[u"hauteur"] = r.height();
    o[u"pixels"]
        = QStringLiteral("%1,%2,%3,%4").arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height());
    o[u"visible"] = !w->isHidden();
    o[u"couleurFond"] = fondDe(w).name();
    o[u"conteneur"] = w->parentWidget() ? w->parentWidget()->objectName() : QString();
    // Un graphique décrit ce qu'il dessine (séries, valeurs, échelle).
    if (const QVariant etat = w->property("etat"); etat.isValid())
        o[u"etat"] = QJsonValue::fromVariant(etat);
    if (auto *l = qobject_cast<const QListWidget *>(w)) {
        QJsonArray elements;
        for (int i = 0; i < l->count(); ++i)
            elements << l->item(i)->text();
        o[u"elements"] = elements;
    } else if (auto *c = qobject_cast<const QComboBox *>(w)) {
        QJsonArray elements;
        for (int i = 0; i < c->count(); ++i)
            elements << c->itemText(i);
        o[u"elements"] = elements;
    }
    return o;
}

/// Découpe "NOM [INDEX] RESTE" : l'index n'est pris que si le contrôle est un tableau.
struct Cible
{
    QString nom;
    int index = -1;
    QString reste;
};

} // namespace

Scenario::Scenario(app::Programme &programme, MessagesFactices &messages, const QDir &sortie,
    std::function<std::unique_ptr<sheet::Application>()> lecteur)
    : m_programme(programme)
    , m_messages(messages)
    , m_sortie(sortie)
    , m_lecteur(std::move(lecteur))
{
    // Jamais de navigateur lancé : la page demandée est notée (attend ouverture) et dite.
    m_programme.definirOuvreur([this](const QUrl &page) {
        m_ouvertes << page.toLocalFile();
        std::fputs(
            qPrintable(QStringLiteral("Ouverture demandée : %1\n").arg(page.toString())), stderr);
        return m_navigateur;
    });
}

void Scenario::releverMessages()
{
    for (const MessagesFactices::Message &m : m_messages.prendreMessages()) {
        m_pourCapture << m;
        m_montres << m.texte;
    }
}

namespace {

/// « \r » et « \n » écrits dans le scénario ; des guillemets autour sont ôtés.
QString texteAttendu(QString t)
{
    if (t.size() >= 2 && t.startsWith(u'"') && t.endsWith(u'"'))
        t = t.mid(1, t.size() - 2);
    return t.replace(QStringLiteral("\\r"), QStringLiteral("\r"))
        .replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

/// Une valeur de la description d'un contrôle, en texte ; un tableau, ses éléments joints par
/// « | ».
QString enTexte(const QJsonValue &v)
{
    if (v.isArray()) {
        QStringList l;
        for (const QJsonValue &e : v.toArray())
            l << enTexte(e);
        return l.join(QStringLiteral(" | "));
    }
    if (v.isObject())
        return QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
    if (v.isBool())
        return v.toBool() ? QStringLiteral("oui") : QStringLiteral("non");
    if (v.isNull() || v.isUndefined())
        return QStringLiteral("(rien)");
    return v.toVariant().toString();
}

/// « etat.series.0.gardes » : un chemin dans la description.
QJsonValue suivre(QJsonValue v, const QString &chemin)
{
    for (const QString &pas : chemin.split(u'.')) {
        bool estIndice = false;
        const int i = pas.toInt(&estIndice);
        v = estIndice && v.isArray() ? v.toArray().at(i) : v.toObject().value(pas);
    }
    return v;
}

} // namespace

std::optional<QString> Scenario::attendre(const QString &arguments)
{
    static const QRegularExpression blancs(QStringLiteral("\\s+"));
    const QString quoi = arguments.section(blancs, 0, 0);
    const QString reste = arguments.section(blancs, 1).trimmed();
    auto ecart = [](const QString &attendu, const QString &trouve) {
        const auto lisible = [](QString t) { return t.replace(u'\r', QStringLiteral("\\r")); };
        return attendu == trouve ? QString()
                                 : QStringLiteral("attendu « %1 », trouvé « %2 »")
                                       .arg(lisible(attendu), lisible(trouve));
    };
    if (quoi == u"message") {
        // Le prochain message montré et pas encore vérifié ; « contient » : une partie.
        releverMessages();
        const bool partie = reste.startsWith(QStringLiteral("contient "));
        const QString attendu = texteAttendu(partie ? reste.mid(9).trimmed() : reste);
        if (m_verifies >= m_montres.size())
            return ecart(attendu, QStringLiteral("(aucun message)"));
        const QString vu = m_montres[m_verifies++];
        return partie && vu.contains(attendu) ? QString() : ecart(attendu, vu);
    }
    if (quoi == u"aucun" && reste == u"message") {
        releverMessages();
        return m_verifies >= m_montres.size()
            ? QString()
            : ecart(QStringLiteral("(aucun message)"), m_montres[m_verifies]);
    }
    if (quoi == u"ouverture") {
        // La dernière page demandée au navigateur depuis l'attente précédente, qui existe.
        const QStringList pages = std::exchange(m_ouvertes, {});
        return ecart(reste,
            pages.isEmpty()                   ? QStringLiteral("aucune")
                : QFile::exists(pages.last()) ? QFileInfo(pages.last()).fileName()
                                              : pages.last() + QStringLiteral(" (absente)"));
    }
    if (quoi == u"session")
        return ecart(reste, m_session);
    if (quoi == u"placement") {
        // Chaque contrôle placé en twips l'est par l'unique conversion en pixels.
        for (QWidget *f : fenetresMontrees())
            for (QWidget *w : f->findChildren<QWidget *>()) {
                const QVariant t = w->property(propriete::twips);
                if (t.isValid() && w->geometry() != twipsEnPixels(t.toRect()))
                    return QStringLiteral("« %1 » hors de sa place").arg(w->objectName());
            }
        return QString();
    }
    if (reste == u"entiers") {
        // Chaque élément du tableau, amené en vue dans sa zone qui défile, s'y voit entier,
        // sans glissement de côté, et aucun autre contrôle montré ne le couvre.
        QStringList fautifs;
        for (QWidget *f : fenetresMontrees())
            for (QWidget *w : f->findChildren<QWidget *>(quoi)) {
                QScrollArea *zone = nullptr;
                for (QWidget *p = w->parentWidget(); p && !zone; p = p->parentWidget())
                    zone = qobject_cast<QScrollArea *>(p);
                if (w->isHidden() || zone == nullptr)
                    continue;
                zone->ensureWidgetVisible(w, 0, 0);
                const auto dans
                    = [f](QWidget *x) { return QRect(x->mapTo(f, QPoint()), x->size()); };
                bool couvert = !dans(zone->viewport()).contains(dans(w))
                    || zone->horizontalScrollBar()->value() != 0;
                for (QWidget *autre : f->findChildren<QWidget *>())
                    couvert = couvert
                        || (autre->isVisible() && autre->property(propriete::genre).isValid()
                            && !zone->isAncestorOf(autre) && !autre->isAncestorOf(w)
                            && dans(autre).intersects(dans(w)));
                if (couvert)
                    fautifs << QString::number(indexDe(w));
            }
        return fautifs.isEmpty()
            ? QString()
            : QStringLiteral("%1 %2 caché ou couvert").arg(quoi, fautifs.join(u' '));
    }
    if (quoi == u"IndexChampion" || quoi == u"IndexLibres" || quoi == u"termine")
        return ecart(reste, enTexte(decrire().value(quoi)));
    if (quoi == u"fichier") {
        // fichier A identique B : octet pour octet.
        const QStringList mots = reste.split(blancs);
        QFile a(mots.value(0)), b(mots.value(2));
        if (mots.size() != 3 || mots[1] != u"identique")
            throw Echec { 2, QStringLiteral("attendu : fichier A identique B.") };
        if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
            return QStringLiteral("« %1 » ou « %2 » illisible").arg(mots[0], mots[2]);
        return a.readAll() == b.readAll()
            ? QString()
            : QStringLiteral("« %1 » différent de « %2 »").arg(mots[0], mots[2]);
    }
    if (quoi == u"ecarts") {
        // ecarts REFERENCE N : le classeur ouvert diffère de REFERENCE en N cases exactement.
        const QStringList mots = reste.split(blancs);
        if (mots.size() != 2 || !m_lecteur || m_classeur.isEmpty())
            throw Echec { 2,
                QStringLiteral("attendu : ecarts REFERENCE N, après un classeur ouvert.") };
        QStringList differentes;
        try {
            auto app = m_lecteur();
            sheet::Classeur &a = app->ouvrir(m_classeur);
            auto app2 = m_lecteur();
            sheet::Classeur &b = app2->ouvrir(QFileInfo(mots[0]).absoluteFilePath());
            QStringList feuilles = a.nomsFeuilles();
            for (const QString &f : b.nomsFeuilles())
                if (!feuilles.contains(f))
                    feuilles << f;
            for (const QString &f : feuilles) {
                const auto bloc = [&](sheet::Classeur &c) {
                    return c.nomsFeuilles().contains(f)
                        ? c.feuille(f).plage(QStringLiteral("A1:BZ1200"))->valeurs()
                        : Tableau(1, 1200, 1, 78);
                };
                const Tableau ta = bloc(a), tb = bloc(b);
                for (int l = 1; l <= ta.derniereLigne(); ++l)
                    for (int k = 1; k <= ta.derniereColonne(); ++k)
                        if (!(ta(l, k) == tb(l, k)))
                            differentes << f + u'!' + lettresColonne(k) + QString::number(l) + u'='
                                    + texteCellule(ta(l, k), QLocale());
            }
        } catch (const sheet::ErreurClasseur &e) {
            return sheet::texteErreur(e);
        }
        return differentes.size() == mots[1].toInt()
            ? QString()
            : QStringLiteral("attendu %1 cases changées, trouvé %2 : %3")
                  .arg(mots[1])
                  .arg(differentes.size())
                  .arg(differentes.mid(0, 12).join(QStringLiteral(", ")));
    }
    if (quoi == u"cellule") {
        // cellule [CLASSEUR] FEUILLE ADRESSE = VALEUR, relue par le moteur.
        QStringList mots = reste.section(u'=', 0, 0).trimmed().split(blancs);
        const QString attendu = texteAttendu(reste.section(u'=', 1).trimmed());
        const QString classeur = mots.size() == 3 ? mots.takeFirst() : m_classeur;
        if (mots.size() != 2 || !m_lecteur || classeur.isEmpty())
            throw Echec { 2,
                QStringLiteral("attendu : cellule [CLASSEUR] FEUILLE ADRESSE = VALEUR, après "
                               "un classeur ouvert.") };
        QString trouve;
        try {
            auto app = m_lecteur();
            sheet::Classeur &c = app->ouvrir(QFileInfo(classeur).absoluteFilePath());
            trouve = texteCellule(c.feuille(mots[0]).plage(mots[1])->valeur(), QLocale());
            c.fermer([](const sheet::QuestionPosee &) { return Reponse::Non; });
        } catch (const sheet::ErreurClasseur &e) {
            trouve = sheet::texteErreur(e);
        }
        return ecart(attendu, trouve);
    }
    return std::nullopt; // un contrôle : vu par jouer(), qui sait les trouver
}

QList<QWidget *> Scenario::fenetresMontrees() const
{
    QList<QWidget *> fenetres { &m_programme.selecteur() };
    if (m_programme.equipes()) {
        fenetres << m_programme.equipes();
        // Ses fenêtres filles (profil du coureur…), juste après elle.
        for (QWidget *w :
            m_programme.equipes()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (w->isWindow() && w->property(propriete::genre).toString() == u"fenetre")
                fenetres << w;
    }
    if (m_programme.equipes() && m_programme.equipes()->revue()
        && !fenetres.contains(m_programme.equipes()->revue()))
        fenetres << m_programme.equipes()->revue();
    fenetres << &m_programme.progression();
    fenetres.removeIf([](QWidget *w) { return !w->isVisible(); });
    return fenetres;
}

QWidget *Scenario::trouver(const QString &nom, int index) const
{
    for (QWidget *f : fenetresMontrees()) {
        if (f->objectName() == nom && index < 0)
            return f;
        for (QWidget *w : f->findChildren<QWidget *>(nom))
            if (indexDe(w) == index && w->property(propriete::genre).isValid())
                return w;
    }
    return nullptr;
}

QJsonObject Scenario::decrire()
{
    QJsonObject racine;
    QJsonArray fenetres;
    for (QWidget *f : fenetresMontrees()) {
        QJsonObject fo = decrireControle(f);
        fo[u"titre"] = f->windowTitle();
        QList<QWidget *> controles;
        for (QWidget *w : f->findChildren<QWidget *>())
            if (w->property(propriete::genre).isValid() && !w->objectName().isEmpty()
                && w->window() == f) // ceux d'une fenêtre fille sont décrits avec elle
                controles << w;
        // Ordre stable : par nom puis par index.
        std::stable_sort(controles.begin(), controles.end(), [](QWidget *a, QWidget *b) {
            if (a->objectName() != b->objectName())
                return a->objectName() < b->objectName();
            return indexDe(a) < indexDe(b);
        });
        QJsonArray liste;
        for (QWidget *w : controles)
            liste << decrireControle(w);
        fo[u"controles"] = liste;
        fenetres << fo;
    }
    racine[u"fenetres"] = fenetres;

    QJsonArray messages;
    releverMessages();
    for (const MessagesFactices::Message &m : std::exchange(m_pourCapture, {})) {
        QJsonObject mo;
        mo[u"texte"] = m.texte;
        mo[u"boutons"] = nomBoutons(m.boutons);
        mo[u"reponse"] = nomReponse(m.reponse);
        messages << mo;
    }
    racine[u"messages"] = messages;
    QJsonArray fichiers;
    for (const auto &[propose, reponse] : m_messages.prendreFichiers())
        fichiers << QJsonObject { { QStringLiteral("propose"), propose },
            { QStringLiteral("reponse"), reponse } };
    racine[u"fichiers"] = fichiers;

    if (const Equipes *e = m_programme.equipes()) {
        const Donnees &d = e->donnees();
        racine[u"IndexChampion"] = d.IndexChampion;
        racine[u"IndexLibres"] = d.IndexLibres;
        QJsonArray lignes;
        for (int l : d.ListeLignes)
            lignes << l;
        racine[u"ListeLignes"] = lignes;
    } else {
        racine[u"IndexChampion"] = QJsonValue();
        racine[u"IndexLibres"] = QJsonValue();
        racine[u"ListeLignes"] = QJsonValue();
    }
    racine[u"termine"] = m_programme.estTermine();
    return racine;
}

IssueScenario Scenario::jouer(const QString &texte, const QString &nomFichier)
{
    IssueScenario issue;
    const QStringList lignes = texte.split(u'\n');
    try {
        for (int numero = 1; numero <= lignes.size(); ++numero) {
            QString ligne = lignes[numero - 1];
            ligne.remove(u'\r');
            if (ligne.trimmed().isEmpty() || ligne.trimmed().startsWith(u'#'))
                continue;
            const QString ou
                = (nomFichier.isEmpty() ? QString() : nomFichier + QStringLiteral(", "))
                + QStringLiteral("ligne %1 : ").arg(numero);
            static const QRegularExpression blancs(QStringLiteral("\\s+"));
            const QString propre = ligne.trimmed();
            const qsizetype coupure = propre.indexOf(blancs);
            const QString action = coupure < 0 ? propre : propre.left(coupure);
            const QString arguments = coupure < 0 ? QString() : propre.mid(coupure).trimmed();

            auto cible = [&](bool avecReste) {
                Cible c;
                QStringList mots = arguments.split(u' ');
                c.nom = mots.value(0);
                if (c.nom.isEmpty())
                    throw Echec { 2, ou + QStringLiteral("nom de contrôle manquant.") };
                QString reste = arguments.mid(c.nom.size());
                if (reste.startsWith(u' '))
                    reste.remove(0, 1);
                bool estNombre = false;
                const int index = mots.value(1).toInt(&estNombre);
                if (estNombre && trouver(c.nom, index) != nullptr) {
                    c.index = index;
                    reste = reste.mid(mots.value(1).size());
                    if (reste.startsWith(u' '))
                        reste.remove(0, 1);
                }
                c.reste = reste;
                if (!avecReste && !c.reste.trimmed().isEmpty())
                    throw Echec { 2,
                        ou + QStringLiteral("contrôle inconnu : « %1 ».").arg(arguments) };
                return c;
            };
            auto controle = [&](const Cible &c) {
                QWidget *w = trouver(c.nom, c.index);
                if (w == nullptr)
                    throw Echec { 2,
                        ou
                            + (c.index >= 0
                                    ? QStringLiteral("contrôle inconnu : « %1(%2) ».")
                                          .arg(c.nom)
                                          .arg(c.index)
                                    : QStringLiteral("contrôle inconnu : « %1 ».").arg(c.nom)) };
                return w;
            };
            auto saisie = [&](QWidget *w) {
                w->activateWindow();
                w->setFocus(Qt::OtherFocusReason);
                return w;
            };

            if (action == u"attend") {
                std::optional<QString> manque;
                try {
                    manque = attendre(arguments);
                } catch (const Echec &e) {
                    throw Echec { e.code, ou + e.message };
                }
                if (!manque) {
                    // NOM [INDEX] PROPRIETE [VALEUR], ou NOM [INDEX] absent.
                    const QStringList mots = arguments.split(blancs);
                    if (mots.last() == u"absent" && mots.size() <= 3) {
                        const int index = mots.size() == 3 ? mots[1].toInt() : -1;
                        manque = trouver(mots[0], index) == nullptr
                            ? QString()
                            : QStringLiteral("« %1 » montré, attendu absent").arg(arguments);
                    } else {
                        const Cible c = cible(true);
                        const QString propriete = c.reste.section(u' ', 0, 0);
                        const QString attendu = texteAttendu(c.reste.section(u' ', 1));
                        QWidget *w = controle(c);
                        QJsonObject o = decrireControle(w);
                        o[u"titre"] = w->windowTitle();
                        const QJsonValue v = suivre(o, propriete);
                        manque = propriete.isEmpty() || v.isUndefined()
                            ? QStringLiteral("propriété inconnue : « %1 »").arg(propriete)
                            : enTexte(v) == attendu
                            ? QString()
                            : QStringLiteral("%1 : attendu « %2 », trouvé « %3 »")
                                  .arg(propriete, attendu, enTexte(v));
                    }
                }
                if (!manque->isEmpty())
                    throw Echec { 3, ou + QStringLiteral("%1 — %2").arg(propre, *manque) };
            } else if (action == u"ouvrir") {
                const QString chemin = QFileInfo(arguments).absoluteFilePath();
                if (arguments.isEmpty() || !m_programme.selecteur().isVisible()
                    || !m_programme.selecteur().selectionnerFichier(chemin))
                    throw Echec { 2,
                        ou
                            + QStringLiteral("impossible de choisir « %1 » dans le sélecteur.")
                                  .arg(arguments) };
                m_classeur = chemin;
                QTest::mouseClick(m_programme.selecteur().OUVRIR(), Qt::LeftButton);
            } else if (action == u"demarrer") {
                // Comme « zarvoedit CHEMIN » : ouvert tout de suite, ou le sélecteur revient.
                m_classeur = QFileInfo(arguments).absoluteFilePath();
                m_programme.selecteur().hide();
                m_programme.demarrer(m_classeur);
            } else if (action == u"ecris" || action == u"supprime") {
                // Un autre programme touche au dossier pendant la session.
                const QStringList mots = arguments.split(u' ');
                const QFileInfo fi(mots[0]);
                QFile f(fi.absoluteFilePath());
                const bool fait = action == u"supprime"
                    ? (fi.isDir() ? QDir(fi.absoluteFilePath()).removeRecursively() : f.remove())
                    : QDir().mkpath(fi.absolutePath()) && f.open(QIODevice::WriteOnly)
                        && f.write(mots.mid(1).join(u' ').toUtf8()) >= 0;
                if (arguments.isEmpty() || !fait)
                    throw Echec { 2, ou + QStringLiteral("impossible : « %1 ».").arg(propre) };
            } else if (action == u"navigateur") {
                m_navigateur = arguments != u"absent";
            } else if (action == u"finsession") {
                // La session du bureau se ferme ; « muette » : sans droit de questionner.
                const bool questionner = arguments != u"muette";
                m_session = m_programme.finDeSession([questionner] { return questionner; })
                    ? QStringLiteral("finie")
                    : QStringLiteral("retenue");
            } else if (action == u"clic") {
                QWidget *w = controle(cible(false));
                if (auto *b = qobject_cast<QAbstractButton *>(w))
                    b->click();
                else
                    QTest::mouseClick(w, Qt::LeftButton);
            } else if (action == u"tape") {
                const Cible c = cible(true);
                QWidget *w = saisie(controle(c));
                if (auto *e = qobject_cast<QLineEdit *>(w))
                    e->end(false);
                for (QChar ch : c.reste)
                    taperCaractere(w, ch);
            } else if (action == u"efface") {
                QWidget *w = saisie(controle(cible(false)));
                QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(w, Qt::Key_Delete);
            } else if (action == u"touche" && !arguments.contains(u' ')
                && lireCombinaison(arguments)) {
                // Sans contrôle : au contrôle qui a le clavier, comme au clavier.
                QWidget *w = QApplication::focusWidget();
                if (w == nullptr && m_programme.equipes() && m_programme.equipes()->isVisible())
                    w = m_programme.equipes();
                if (w == nullptr)
                    throw Echec { 2, ou + QStringLiteral("aucune fenêtre n'a le clavier.") };
                const QKeyCombination k = *lireCombinaison(arguments);
                // Un raccourci ne joue que dans la fenêtre active : attendre qu'elle le soit.
                w->window()->activateWindow();
                if (!QTest::qWaitForWindowActive(w->window(), 1000))
                    throw Echec { 2, ou + QStringLiteral("la fenêtre ne devient pas active.") };
                QTest::keyClick(w, k.key(), k.keyboardModifiers());
            } else if (action == u"touche") {
                const Cible c = cible(true);
                const auto touche = lireCombinaison(c.reste.trimmed());
                if (!touche)
                    throw Echec { 2,
                        ou + QStringLiteral("touche inconnue : « %1 ».").arg(c.reste.trimmed()) };
                QTest::keyClick(saisie(controle(c)), touche->key(), touche->keyboardModifiers());
            } else if (action == u"choisir" || action == u"doubleclic") {
                // Première ligne d'une liste qui contient le texte donné.
                const Cible c = cible(true);
                auto *liste = qobject_cast<QListWidget *>(controle(c));
                const QString texte = c.reste.trimmed();
                const auto trouvees = liste ? liste->findItems(texte, Qt::MatchContains)
                                            : QList<QListWidgetItem *>();
                if (texte.isEmpty() || trouvees.isEmpty())
                    throw Echec { 2,
                        ou + QStringLiteral("aucune ligne « %1 » dans « %2 ».").arg(texte, c.nom) };
                liste->setCurrentItem(trouvees.first());
                if (action == u"doubleclic") {
                    // À la souris, comme l'utilisateur : chaque fenêtre y répond à sa façon.
                    liste->scrollToItem(trouvees.first());
                    const QPoint p = liste->visualItemRect(trouvees.first()).center();
                    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, p);
                    QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, p);
                }
            } else if (action == u"reponse") {
                const auto r = lireReponse(arguments);
                if (!r)
                    throw Echec { 2,
                        ou + QStringLiteral("réponse inconnue : « %1 ».").arg(arguments) };
                m_messages.repondre(*r);
            } else if (action == u"fichier") {
                m_messages.repondreFichier(
                    arguments.isEmpty() ? QString() : QFileInfo(arguments).absoluteFilePath());
            } else if (action == u"fermer") {
                // Par le cadre : la fenêtre principale, ou le sélecteur avant tout classeur.
                if (m_programme.equipes() && m_programme.equipes()->isVisible())
                    m_programme.equipes()->close();
                else
                    m_programme.selecteur().close();
            } else if (action == u"capture") {
                if (arguments.isEmpty() || arguments.contains(u'/'))
                    throw Echec { 2,
                        ou + QStringLiteral("nom de capture invalide : « %1 ».").arg(arguments) };
                QCoreApplication::processEvents();
                const QList<QWidget *> fenetres = fenetresMontrees();
                QList<QPixmap> images;
                int largeur = 1, hauteur = 0;
                for (QWidget *f : fenetres) {
                    images << f->grab();
                    largeur = std::max(largeur, images.last().width());
                    hauteur += images.last().height() + (hauteur > 0 ? 8 : 0);
                }
                QImage planche(largeur, std::max(hauteur, 1), QImage::Format_RGB32);
                planche.fill(QColor(96, 96, 96));
                QPainter p(&planche);
                int y = 0;
                for (const QPixmap &im : images) {
                    p.drawPixmap(0, y, im);
                    y += im.height() + 8;
                }
                p.end();
                const QString png = m_sortie.filePath(arguments + QStringLiteral(".png"));
                const QString json = m_sortie.filePath(arguments + QStringLiteral(".json"));
                QSaveFile fj(json);
                if (!planche.save(png) || !fj.open(QIODevice::WriteOnly)
                    || fj.write(QJsonDocument(decrire()).toJson()) < 0 || !fj.commit())
                    throw Echec { 2, ou + QStringLiteral("impossible d'écrire « %1 ».").arg(png) };
                issue.fichiers << png << json;
            } else {
                throw Echec { 2, ou + QStringLiteral("action inconnue : « %1 ».").arg(action) };
            }
            if (!m_messages.imprevus().isEmpty())
                throw Echec { 1, ou + m_messages.imprevus().first() };
        }
    } catch (const Echec &e) {
        issue.code = e.code;
        issue.message = e.message;
    }
    return issue;
}

} // namespace zarvo::outils
