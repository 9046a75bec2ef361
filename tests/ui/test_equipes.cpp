// La fenêtre principale : placement des contrôles et défilement des longues listes ; ce que
// l'utilisateur y fait et voit se joue dans tests/scenarios.
#include "aide_donnees.h"
#include "commun/aide_fenetres.h"
#include "soutien/memoire.h"
#include "ui/Equipes.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

using namespace zarvo;
using namespace zarvo::ui;
using namespace Qt::Literals::StringLiterals;

namespace {

// Équipe 5 (3 coureurs, dont le champion), équipe 7, libres : 150 coureurs.
Donnees baseFenetre()
{
    essai::Base b;
    b.equipe(5, u"Cinq"_s, u"CIN"_s);
    b.equipe(7, u"Sept"_s, u"SEP"_s);
    b.equipe(61, u"Libres"_s, u"FA"_s, 3);
    b.coureur(1, u"Bobet"_s, 5, 70);
    b.coureur(327, u"Anquetil"_s, 5, 80);
    b.coureur(3, u"Coppi"_s, 5, 75);
    b.coureur(4, u"Merckx"_s, 7, 90);
    for (int i = 1; i <= 150; ++i)
        b.coureur(1000 + i, essai::nomNumerote(u"Libre"_s, i), 61, 50);
    return b.d;
}

} // namespace

class TestEquipes : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.remettreAZero();
        m_fenetre = std::make_unique<Equipes>(m_messages);
        m_fenetre->donnees() = baseFenetre();
        QList<DescriptionBouton> equipes;
        for (int k = 1; k <= 2; ++k)
            equipes << DescriptionBouton { {}, {}, QString::number(k), 550 + 500 * k, 240, 0, {} };
        m_fenetre->creerBoutonsEquipes(equipes);
        m_fenetre->show();
    }
    void cleanup()
    {
        VERIFIER_MESSAGES_SOLDES(m_messages);
        m_fenetre.reset();
    }

    void conversionTwips()
    {
        const std::pair<int, int> cas[]
            = { { 0, 0 }, { 7, 0 }, { 8, 1 }, { 22, 1 }, { 23, 2 }, { 11475, 765 } };
        for (auto [twips, pixels] : cas)
            QCOMPARE(twipsEnPixels(twips), pixels);
    }

    // Chaque contrôle est placé par l'unique conversion de sa position en twips ; les
    // modèles des tableaux et les cases d'état sont cachés.
    void placementEtModelesCaches()
    {
        const QList<QWidget *> tous = m_fenetre->findChildren<QWidget *>();
        int places = 0;
        for (QWidget *w : tous) {
            const QVariant twips = w->property(propriete::twips);
            if (!twips.isValid())
                continue;
            ++places;
            QVERIFY2(w->geometry() == twipsEnPixels(twips.toRect()), qPrintable(w->objectName()));
        }
        QVERIFY(places > 33 + 6); // au moins les cases Note et Careq
        const QList<QWidget *> caches { m_fenetre->Chargeq()[0], m_fenetre->Coureur()[0],
            m_fenetre->NumLigne(), m_fenetre->NumEq() };
        for (QWidget *cache : caches)
            QVERIFY2(!cache->isVisible(), qPrintable(cache->objectName()));
        QVERIFY(m_fenetre->Note()[23]->isVisible());
        QCOMPARE(m_fenetre->Note()[23]->parentWidget(), m_fenetre.get()); // hors des cadres
        QCOMPARE(m_fenetre->Note().indices().size(), 33);
    }

    // 31 et 100 coureurs dans l'équipe 7 : amené en vue, chaque bouton est entier dans la
    // partie visible de la zone, à gauche de sa barre, qui ne couvre aucun autre contrôle.
    void boutonsCoureursEntiers_data()
    {
        QTest::addColumn<int>("n");
        QTest::newRow("31") << 31;
        QTest::newRow("100") << 100;
    }
    void boutonsCoureursEntiers()
    {
        QFETCH(int, n);
        Equipes &f = *m_fenetre;
        for (int r = 6; r < 6 + n - 1; ++r) // libres passés dans l'équipe 7 (Merckx y est)
            f.donnees().TabCoureurs(r, 4) = Cellule::nombre(7);
        QTest::mouseClick(f.Chargeq()[2], Qt::LeftButton);
        QCOMPARE(f.Coureur().borneHaute(), n);
        QCoreApplication::processEvents();
        auto *zone = f.findChild<QScrollArea *>(u"zoneCoureurs"_s);
        auto *barre = f.findChild<QScrollBar *>(u"barreCoureurs"_s);
        QVERIFY(zone && barre);
        QCOMPARE(barre->isVisible(), n > 47); // la 3e colonne ne dépasse qu'au-delà de 47
        const auto dansFenetre
            = [&f](QWidget *w) { return QRect(w->mapTo(&f, QPoint()), w->size()); };
        const QRect rectBarre = dansFenetre(barre);
        for (QWidget *w : f.findChildren<QWidget *>())
            if (w->isVisible() && w->property("genre").isValid() && !w->isAncestorOf(barre)
                && w != barre && w->parentWidget() != zone->widget())
                QVERIFY2(!dansFenetre(w).intersects(rectBarre), qPrintable(w->objectName()));
        for (int i = 1; i <= n; ++i) {
            zone->ensureWidgetVisible(f.Coureur()[i], 0, 0);
            const QRect vu = dansFenetre(f.Coureur()[i]);
            QVERIFY(dansFenetre(zone->viewport()).contains(vu) && vu.right() < rectBarre.left());
            QCOMPARE(zone->horizontalScrollBar()->value(), 0); // jamais de glissement de côté
        }
        QCOMPARE(barre->value(), zone->verticalScrollBar()->value()); // la barre suit la zone
        QTest::mouseClick(f.Coureur()[n], Qt::LeftButton);
        QCOMPARE(f.Note()[2]->text(), f.Coureur()[n]->text());
        // Une liste courte ensuite : plus rien à faire défiler.
        QTest::mouseClick(f.Chargeq()[1], Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!barre->isVisible());
    }

private:
    MessagesFactices m_messages;
    std::unique_ptr<Equipes> m_fenetre;
};

QTEST_MAIN(TestEquipes)
#include "test_equipes.moc"
