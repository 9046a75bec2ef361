// La fenêtre principale : placement des contrôles, EffaceCarac, sortie par Quitter ou par le
// cadre ; les clics et relâchements atteignent la logique des listes, du panneau, des
// classements et de la recherche, et les contrôles montrent ses résultats (la fiche d'équipe
// et le champion : test_bout_en_bout).
#include "aide_donnees.h"
#include "commun/aide_fenetres.h"
#include "soutien/memoire.h"
#include "ui/Equipes.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>

using namespace zarvo;
using namespace zarvo::ui;
using namespace Qt::Literals::StringLiterals;

using sheet::TableurMemoire;

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

    void effaceCarac()
    {
        for (int c = 1; c <= 33; ++c)
            m_fenetre->Note()[c]->setText(QString::number(c * 3));
        for (int k = 1; k <= 6; ++k)
            m_fenetre->Careq()[k]->setText(u"x"_s);
        m_fenetre->NumLigne()->setText(u"57"_s);
        m_fenetre->NumEq()->setText(u"12"_s);
        m_fenetre->Car5050()->setText(u"72"_s);
        m_fenetre->Salaire()->setText(u"Moy : 70\nSalaire :45000 €"_s);
        m_fenetre->creerCoureur(1, { u"Abeille"_s, {}, u"5"_s, 0, 0, 0, {} });

        m_fenetre->EffaceCarac();

        for (int c = 1; c <= 33; ++c)
            QVERIFY2(m_fenetre->Note()[c]->text().isEmpty(), qPrintable(QString::number(c)));
        for (int k = 1; k <= 6; ++k)
            QVERIFY(m_fenetre->Careq()[k]->text().isEmpty());
        QCOMPARE(m_fenetre->NumLigne()->text(), u"0"_s);
        QCOMPARE(m_fenetre->NumEq()->text(), u"0"_s);
        // Les notes, le salaire et la liste des coureurs restent.
        QCOMPARE(m_fenetre->Car5050()->text(), u"72"_s);
        QCOMPARE(m_fenetre->Salaire()->text(), u"Moy : 70\nSalaire :45000 €"_s);
        QVERIFY(m_fenetre->Coureur()[1] != nullptr);
    }

    void quitter_data()
    {
        QTest::addColumn<bool>("modifie");
        QTest::addColumn<QList<int>>("reponses");
        QTest::addColumn<bool>("parLeCadre");
        QTest::addColumn<bool>("fini");
        QTest::addColumn<int>("enregistrements");
        const int oui = int(Reponse::Oui), non = int(Reponse::Non), ann = int(Reponse::Annuler);
        QTest::newRow("Non : rien ne change") << true << QList<int> { non } << false << false << 0;
        QTest::newRow("Oui sans modification : pas de question")
            << false << QList<int> { oui } << false << true << 0;
        // Oui puis Oui, Oui puis Non par Quitter : test_bout_en_bout, sur le vrai moteur.
        QTest::newRow("Oui puis Annuler : retour à l'éditeur")
            << true << QList<int> { oui, ann } << false << false << 0;
        QTest::newRow("cadre, Oui puis Annuler")
            << true << QList<int> { oui, ann } << true << false << 0;
        QTest::newRow("cadre, Oui puis Oui")
            << true << QList<int> { oui, oui } << true << true << 1;
    }
    void quitter()
    {
        QFETCH(bool, modifie);
        QFETCH(QList<int>, reponses);
        QFETCH(bool, parLeCadre);
        QFETCH(bool, fini);
        QFETCH(int, enregistrements);
        TableurMemoire tableur;
        const QString chemin = u"/tmp/base.xls"_s;
        TableurMemoire::ClasseurMemoire contenu;
        contenu.ordre = { u"DYN_cyclist"_s, u"DYN_team"_s };
        contenu.feuilles[u"DYN_cyclist"_s][{ 2, 2 }] = Cellule::texte(u"Abeille"_s);
        contenu.feuilles[u"DYN_team"_s];
        tableur.deposer(chemin, contenu);
        sheet::Classeur &classeur = tableur.ouvrir(chemin);
        if (modifie)
            classeur.feuille(u"DYN_cyclist"_s).plage(u"B2"_s)->ecrire(Cellule::texte(u"Zèbre"_s));
        m_fenetre->definirTableur(&tableur);
        m_fenetre->donnees().TabCoureurs(2, 2) = Cellule::texte(u"Zèbre"_s);
        m_fenetre->Note()[2]->setText(u"Zèbre"_s);
        m_fenetre->show();
        for (int r : reponses)
            m_messages.repondre(Reponse(r));
        QSignalSpy termine(m_fenetre.get(), &Equipes::termine);

        if (parLeCadre)
            m_fenetre->close();
        else
            QTest::mouseClick(m_fenetre->Quit(), Qt::LeftButton);

        const auto vus = m_messages.messages();
        QCOMPARE(vus.size(), reponses.size());
        QCOMPARE(vus[0].texte,
            u"voulez vous vraiment quitter ?\r (Si vous n'avez pas pensé à appliquer les "
            u"modifications, elle seront perdues.)"_s);
        QCOMPARE(vus[0].boutons, Boutons::OuiNon);
        if (vus.size() > 1) {
            QCOMPARE(vus[1].boutons, Boutons::OuiNonAnnuler);
            QCOMPARE(vus[1].texte,
                u"Voulez-vous enregistrer les modifications apportées à « base.xls » ?"_s);
        }
        QCOMPARE(termine.size(), fini ? 1 : 0);
        QCOMPARE(m_fenetre->isVisible(), !fini);
        QCOMPARE(tableur.classeurActif() != nullptr, !fini);
        QCOMPARE(tableur.fichier(chemin).enregistrements, enregistrements);
        const Cellule surDisque = tableur.fichier(chemin).feuilles[u"DYN_cyclist"_s].at({ 2, 2 });
        QCOMPARE(surDisque.valeurTexte(), enregistrements ? u"Zèbre"_s : u"Abeille"_s);
        if (!fini) {
            // Tout est resté en place pour continuer le travail.
            QCOMPARE(m_fenetre->donnees().TabCoureurs(2, 2).valeurTexte(), u"Zèbre"_s);
            QCOMPARE(m_fenetre->Note()[2]->text(), u"Zèbre"_s);
            QCOMPARE(classeur.estModifie(), modifie);
        }
        m_fenetre->definirTableur(nullptr);
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
        // Toute case remplie par le programme montre le début de son texte.
        const auto curseursAZero = [](TableauControles<QLineEdit> &cases) {
            for (int k : cases.indices())
                QVERIFY2(cases[k]->cursorPosition() == 0, qPrintable(cases[k]->text()));
        };
        curseursAZero(f.Careq());

        QTest::mouseClick(f.Coureur()[3], Qt::LeftButton);
        QCOMPARE(f.Note()[2]->text(), u"Coppi"_s);
        curseursAZero(f.Note());
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
        for (int r = 6; r < 6 + n - 6; ++r) // libres passés dans l'équipe 7 (6 coureurs)
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
