// Les clics et relâchements de la fenêtre atteignent la logique des listes, du panneau, de la
// fiche, du champion, des classements et de la recherche, et les contrôles montrent ses résultats.
#include "aide_donnees.h"
#include "commun/aide_fenetres.h"
#include "ui/Equipes.h"

#include <QGroupBox>
#include <QLabel>
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
    // Un meilleur par colonne classée, faible partout ailleurs.
    for (int c : { 12, 18, 30, 34, 35 }) {
        const int r = b.coureur(2000 + c, u"Top"_s + QString::number(c), 7, 10);
        b.d.TabCoureurs(r, c) = Cellule::nombre(99);
    }
    return b.d;
}

} // namespace

class TestEquipesListes : public QObject
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

    void listeEquipeEtPanneau()
    {
        Equipes &f = *m_fenetre;
        QTest::mouseClick(f.Chargeq()[1], Qt::LeftButton);
        QCOMPARE(f.Coureur().indices(), (QList<int> { 0, 1, 2, 3 }));
        QCOMPARE(f.Coureur()[1]->text(), u"Anquetil"_s);
        QCOMPARE(f.Coureur()[2]->property("twips").toRect(), QRect(50, 560, 1575, 405));
        QCOMPARE(f.Careq()[2]->text(), u"Cinq"_s);
        QCOMPARE(f.NumEq()->text(), u"1"_s);
        QVERIFY(!f.CDM()->isHidden());
        QCOMPARE(f.rechtext()->text(), u" nombre de coureurs trouvés : 0"_s);

        QTest::mouseClick(f.Coureur()[3], Qt::LeftButton);
        QCOMPARE(f.Note()[2]->text(), u"Coppi"_s);
        QCOMPARE(f.NumLigne()->text(), f.Coureur()[3]->property("tag").toString());
        const int ligne = f.NumLigne()->text().toInt();
        QCOMPARE(f.Car5050()->text(), u"75"_s);
        QCOMPARE(f.Salaire()->text(), u"Moy : 75\nSalaire :41000 €"_s);

        // Frappe dans Montagne : la table reçoit le nombre, les notes suivent.
        f.Note()[12]->clear();
        QTest::keyClicks(f.Note()[12], u"85"_s);
        QCOMPARE(f.donnees().TabCoureurs(ligne, 12), Cellule::nombre(85));
        QCOMPARE(f.Car5050()->text(), u"80"_s);

        // Un texte illisible : couleur d'erreur, table intacte ; de nouveau un nombre : plus
        // d'erreur.
        f.Note()[14]->clear();
        QTest::keyClicks(f.Note()[14], u"x"_s);
        QVERIFY(f.Note()[14]->palette().color(QPalette::Base)
            != f.Note()[15]->palette().color(QPalette::Base));
        QCOMPARE(f.donnees().TabCoureurs(ligne, 14), Cellule::nombre(75));
        QTest::keyClick(f.Note()[14], Qt::Key_Backspace);
        QTest::keyClicks(f.Note()[14], u"95"_s);
        QCOMPARE(f.Note()[14]->palette().color(QPalette::Base),
            f.Note()[15]->palette().color(QPalette::Base));
        QCOMPARE(f.donnees().TabCoureurs(ligne, 14), Cellule::nombre(95));

        // Un potentiel, case posée sur la fenêtre hors des cadres.
        f.Note()[23]->clear();
        QTest::keyClicks(f.Note()[23], u"88"_s);
        QCOMPARE(f.donnees().TabCoureurs(ligne, 23), Cellule::nombre(88));

        // Fiche d'équipe : la frappe va dans la ligne de NumEq, marquée.
        QTest::keyClicks(f.Careq()[5], u"X"_s);
        QCOMPARE(f.donnees().TabEquipes(1, 5), Cellule::texte(u"CINX"_s));
        QCOMPARE(f.donnees().TabEquipes(1, 7), Cellule::nombre(1));
    }

    void messagesSansChoix()
    {
        Equipes &f = *m_fenetre;
        f.Note()[5]->clear();
        m_messages.repondre(Reponse::Ok);
        QTest::keyClicks(f.Note()[5], u"1"_s);
        QCOMPARE(f.Note()[5]->text(), QString());
        m_messages.repondre(Reponse::Ok);
        f.Careq()[2]->clear();
        QTest::keyClicks(f.Careq()[2], u"a"_s);
        const auto m = m_messages.prendreMessages();
        QCOMPARE(m.size(), 2);
        QCOMPARE(m[0].texte, u"Choisissez un coureur!!"_s);
        QCOMPARE(m[1].texte, u"choisissez une équipe"_s);
    }

    void championEchange()
    {
        Equipes &f = *m_fenetre;
        QTest::mouseClick(f.Chargeq()[1], Qt::LeftButton);
        QTest::mouseClick(f.Coureur()[2], Qt::LeftButton); // Bobet, id 1
        m_messages.repondre(Reponse::Ok);
        QTest::mouseClick(f.CDM(), Qt::LeftButton);
        const auto m = m_messages.prendreMessages();
        QCOMPARE(m.size(), 1);
        QVERIFY(m[0].texte.startsWith(u"Attention, cette commande inverse l'id de 2 coureurs"_s));
        QCOMPARE(f.Note()[1]->text(), u"327"_s);
        QCOMPARE(f.donnees().TabCoureurs(essai::ligneDe(f.donnees(), 327), 2),
            Cellule::texte(u"Bobet"_s));
    }

    void cinqClassements_data()
    {
        QTest::addColumn<QString>("bouton");
        QTest::addColumn<QString>("premier");
        QTest::newRow("50/50") << u"Best5050"_s << u"1-Top34"_s;
        QTest::newRow("80/20") << u"Best8020"_s << u"1-Top35"_s;
        QTest::newRow("CLM") << u"CLM"_s << u"1-Top18"_s;
        QTest::newRow("grimpeurs") << u"Grimpeurs"_s << u"1-Top12"_s;
        QTest::newRow("sprinteurs") << u"Sprinteurs"_s << u"1-Top30"_s;
    }
    void cinqClassements()
    {
        QFETCH(QString, bouton);
        QFETCH(QString, premier);
        Equipes &f = *m_fenetre;
        QTest::mouseClick(f.Free()[1], Qt::LeftButton);
        QTest::mouseClick(f.findChild<QPushButton *>(bouton), Qt::LeftButton);
        QCOMPARE(f.Coureur().borneHaute(), 50);
        QCOMPARE(f.Coureur()[1]->text(), premier);
        QVERIFY(f.CDM()->isHidden());
        QCOMPARE(f.Careq()[1]->text(), QString()); // fiche des libres effacée
        QCOMPARE(f.NumEq()->text(), u"0"_s);
    }

    void recherche()
    {
        Equipes &f = *m_fenetre;
        QTest::mouseClick(f.Grimpeurs(), Qt::LeftButton);
        f.rech()->clear();
        QTest::keyClicks(f.rech(), u"co"_s);
        QVERIFY(!f.CDM()->isHidden());
        // Les 50 boutons du classement sont détruits, pas seulement oubliés.
        QCOMPARE(f.Coureur().indices(), (QList<int> { 0, 1 }));
        QCOMPARE(f.findChildren<QPushButton *>(u"Coureur"_s).size(), 2);
        QCOMPARE(f.Coureur()[1]->text(), u"Coppi"_s);
        QCOMPARE(f.rechtext()->text(), u" nombre de coureurs trouvés : 1"_s);
        // Texte vidé : compteur à 973, boutons précédents gardés.
        QTest::keyClick(f.rech(), Qt::Key_Backspace);
        QTest::keyClick(f.rech(), Qt::Key_Backspace);
        QCOMPARE(f.rechtext()->text(), u" nombre de coureurs trouvés : 973"_s);
        QCOMPARE(f.Coureur()[1]->text(), u"Coppi"_s);
    }

    void longueListeDefile()
    {
        Equipes &f = *m_fenetre;
        QTest::mouseClick(f.Free()[2], Qt::LeftButton);
        QCOMPARE(f.Coureur().borneHaute(), 84);
        QPushButton *dernier = f.Coureur()[84];
        QCOMPARE(dernier->property("twips").toRect(), QRect(3200, 10750, 1575, 270));
        auto *zone = f.CaracCoureur()->findChild<QScrollArea *>();
        QVERIFY(zone != nullptr);
        QCoreApplication::processEvents(); // la barre se montre à la mise en page suivante
        QVERIFY(zone->verticalScrollBar()->isVisible());
        QVERIFY(!zone->widget()->autoFillBackground()); // le cadre et son titre restent visibles
        // Amené en vue, le bouton est dans la partie visible et répond au clic.
        zone->ensureWidgetVisible(dernier);
        const QRect vu(dernier->mapTo(zone->viewport(), QPoint(0, 0)), dernier->size());
        QVERIFY(vu.top() >= 0 && vu.bottom() < zone->viewport()->height());
        QVERIFY(vu.left() < zone->viewport()->width());
        QCOMPARE(zone->horizontalScrollBar()->value(), 0); // jamais de glissement de côté
        QTest::mouseClick(dernier, Qt::LeftButton);
        QCOMPARE(f.Note()[2]->text(), essai::nomNumerote(u"Libre"_s, 150));

        // Une liste courte ensuite : plus rien à faire défiler.
        QTest::mouseClick(f.Chargeq()[2], Qt::LeftButton);
        QCOMPARE(zone->verticalScrollBar()->maximum(), 0);
        QCoreApplication::processEvents();
        QVERIFY(!zone->verticalScrollBar()->isVisible());
    }

private:
    MessagesFactices m_messages;
    std::unique_ptr<Equipes> m_fenetre;
};

QTEST_MAIN(TestEquipesListes)
#include "test_equipes_listes.moc"
