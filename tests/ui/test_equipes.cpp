// La fenêtre principale elle-même : placement des contrôles, boutons d'équipe, EffaceCarac, et
// la sortie par Quitter ou par le cadre.
#include "commun/aide_fenetres.h"
#include "sheet/memoire.h"
#include "ui/Equipes.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace zarvo;
using namespace zarvo::ui;
using namespace Qt::Literals::StringLiterals;

using sheet::TableurMemoire;

class TestEquipes : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.remettreAZero();
        m_fenetre = std::make_unique<Equipes>(m_messages);
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
        m_fenetre->show();
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

    // Chaque bouton est une copie du modèle, qui reçoit sa couleur avant la copie ; un
    // second chargement remplace les boutons sans doublon.
    void boutonsEquipesRemplaces()
    {
        const QList<DescriptionBouton> boutons {
            { u"AAB"_s, u"Équipe B"_s, u"3"_s, 550, 240, 0, rgb(143, 174, 245) },
            { u"MID"_s, u"Équipe D"_s, u"2"_s, 550, 480, 0, rgb(143, 245, 74) },
        };
        m_fenetre->show();
        m_fenetre->creerBoutonsEquipes(boutons.mid(1));
        m_fenetre->creerBoutonsEquipes(boutons);
        QCOMPARE(m_fenetre->Chargeq().indices(), (QList<int> { 0, 1, 2 }));
        QCOMPARE(m_fenetre->Equipe()->findChildren<QPushButton *>(u"Chargeq"_s).size(), 3);
        QCOMPARE(m_fenetre->Chargeq()[1]->text(), u"AAB"_s);
        QCOMPARE(m_fenetre->Chargeq()[1]->font(), m_fenetre->Chargeq()[0]->font());
        QCOMPARE(m_fenetre->Chargeq()[0]->property(propriete::couleurFond).value<QColor>(),
            QColor(143, 245, 74));
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
        QTest::newRow("Oui puis Oui : enregistré")
            << true << QList<int> { oui, oui } << false << true << 1;
        QTest::newRow("Oui puis Non : fichier inchangé")
            << true << QList<int> { oui, non } << false << true << 0;
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

private:
    MessagesFactices m_messages;
    std::unique_ptr<Equipes> m_fenetre;
};

QTEST_MAIN(TestEquipes)
#include "test_equipes.moc"
