#include "sheet/memoire.h"
#include "ui/Equipes.h"
#include "ui/messages.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace zarvo;
using namespace zarvo::ui;
using namespace Qt::Literals::StringLiterals;

using sheet::TableurMemoire;

namespace {

/// Le contrôle nommé, d'index donné (-1 : hors tableau) ; nullptr s'il n'y en a pas un seul.
QWidget *controle(QWidget *fenetre, const QString &nom, int index = -1)
{
    QWidget *trouve = nullptr;
    int n = 0;
    for (QWidget *w : fenetre->findChildren<QWidget *>(nom))
        if (indexDe(w) == index) {
            trouve = w;
            ++n;
        }
    return n == 1 ? trouve : nullptr;
}

QString texteDe(QWidget *w)
{
    if (auto *b = qobject_cast<QPushButton *>(w))
        return b->text();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    if (auto *g = qobject_cast<QGroupBox *>(w))
        return g->title();
    return {};
}

TableurMemoire::ClasseurMemoire petitClasseur()
{
    TableurMemoire::ClasseurMemoire c;
    c.ordre = { QStringLiteral("DYN_cyclist"), QStringLiteral("DYN_team") };
    c.feuilles[QStringLiteral("DYN_cyclist")][{ 2, 2 }] = Cellule::texte(QStringLiteral("Abeille"));
    c.feuilles[QStringLiteral("DYN_team")][{ 1, 1 }] = Cellule::nombre(1);
    return c;
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
    }
    void cleanup()
    {
        QVERIFY2(m_messages.imprevus().isEmpty(), qPrintable(m_messages.imprevus().join(u'\n')));
        QCOMPARE(m_messages.reponsesEnAttente(), 0);
        m_fenetre.reset();
    }

    void conversionTwips_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("zéro") << 0 << 0;
        QTest::newRow("sous la moitié") << 7 << 0;
        QTest::newRow("au-dessus de la moitié") << 8 << 1;
        QTest::newRow("un pixel juste") << 15 << 1;
        QTest::newRow("22 reste à 1") << 22 << 1;
        QTest::newRow("23 passe à 2") << 23 << 2;
        QTest::newRow("largeur de la fenêtre") << 11475 << 765;
        QTest::newRow("hauteur de 255") << 255 << 17;
    }
    void conversionTwips()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(twipsEnPixels(twips), pixels);
    }

    void controles_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("genre");
        QTest::addColumn<QString>("conteneur");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("infobulle");
        QTest::addColumn<bool>("visible");
        auto ligne = [](const char *titre, const char *nom, int index, const char *genre,
                         const char *conteneur, QRect r, const QString &texte,
                         const QString &infobulle, bool visible = true) {
            QTest::newRow(titre) << QString::fromUtf8(nom) << index << QString::fromUtf8(genre)
                                 << QString::fromUtf8(conteneur) << r << texte << infobulle
                                 << visible;
        };
        ligne("cadre des équipes", "Equipe", -1, "cadre", "Equipes", QRect(25, 0, 11415, 1815),
            QStringLiteral("Equipes"),
            QStringLiteral(
                "For J = 2 To 43 'chargement de toutes les equipes et création d'un bouton"));
        ligne("modèle des équipes caché", "Chargeq", 0, "bouton", "Equipe",
            QRect(600, 480, 500, 220), QStringLiteral("AAA"), {}, false);
        ligne("Free 2", "Free", 2, "bouton", "Equipe", QRect(1600, 840, 1425, 315),
            QStringLiteral("Free Agents 2"), QStringLiteral("Voir les Free agents"));
        ligne("Best8020", "Best8020", -1, "bouton", "Equipe", QRect(6000, 800, 495, 375), {},
            QStringLiteral("50 meilleurs 80/20 Mo/Val (courses type Zurich)"));
        ligne("nom d'équipe", "Careq", 2, "case", "Equipe", QRect(960, 1320, 5055, 360),
            QStringLiteral("Nom de l'equipe"), QStringLiteral("Nom de l'equipe"));
        ligne("pays d'équipe", "Careq", 4, "case", "Equipe", QRect(11040, 1320, 255, 420),
            QStringLiteral("1"), QStringLiteral("Id Pays de l'équipe."));
        ligne("modèle des coureurs caché", "Coureur", 0, "bouton", "CaracCoureur",
            QRect(5280, 120, 1575, 405), QStringLiteral("Cycliste"), {}, false);
        ligne("année", "Note", 8, "case", "CaracCoureur", QRect(6600, 1440, 615, 285),
            QStringLiteral("année"), QStringLiteral("année de naissance"));
        ligne("Plaine", "Note", 10, "case", "CaracCoureur", QRect(9120, 480, 735, 285),
            QStringLiteral("0"), {});
        ligne("potentiel Accélération", "Note", 33, "case", "CaracCoureur",
            QRect(10200, 4440, 735, 285), QStringLiteral("0"), {});
        ligne("Resistance sur la fenêtre", "Note", 22, "case", "Equipes",
            QRect(9145, 4440, 735, 285), QStringLiteral("0"), {});
        ligne("potentiel Resistance sur la fenêtre", "Note", 23, "case", "Equipes",
            QRect(10225, 4440, 735, 285), QStringLiteral("0"), {});
        ligne("libellé Pavés", "EtiqCaracteristique", 8, "etiquette", "CaracCoureur",
            QRect(7680, 3360, 3615, 255), QStringLiteral("Pavés"), {});
        ligne("recherche", "rech", -1, "case", "recherche", QRect(120, 240, 2415, 285),
            QStringLiteral("Nom à chercher"),
            QStringLiteral("Tapez le début du nom. Les résultats s'affichent si le nb de coureurs "
                           "trouvé est inférieur à 50"));
        ligne("bouton Appliquer", "ApplyCour", -1, "bouton", "CaracCoureur",
            QRect(6720, 5520, 2895, 495), QStringLiteral("Appliquer les modifications "),
            QStringLiteral("Applique les modifications sur la feuille excel. "));
        ligne("CDM sur la fenêtre", "CDM", -1, "bouton", "Equipes", QRect(5640, 5040, 975, 615), {},
            QStringLiteral("Faire de ce coureur le Championdu monde"));
        ligne("NumLigne cachée", "NumLigne", -1, "case", "Equipes", QRect(0, 0, 495, 285),
            QStringLiteral("0"), {}, false);
    }
    void controles()
    {
        QFETCH(QString, nom);
        QFETCH(int, index);
        QFETCH(QString, genre);
        QFETCH(QString, conteneur);
        QFETCH(QRect, twips);
        QFETCH(QString, texte);
        QFETCH(QString, infobulle);
        QFETCH(bool, visible);
        m_fenetre->show();
        QWidget *w = controle(m_fenetre.get(), nom, index);
        QVERIFY(w != nullptr);
        QCOMPARE(w->property(propriete::genre).toString(), genre);
        QCOMPARE(w->parentWidget()->objectName(), conteneur);
        QCOMPARE(w->property(propriete::twips).toRect(), twips);
        QCOMPARE(w->geometry(), twipsEnPixels(twips));
        QCOMPARE(texteDe(w), texte);
        QCOMPARE(w->toolTip(), infobulle);
        QCOMPARE(w->isVisible(), visible);
    }

    void polices_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<int>("index");
        QTest::addColumn<qreal>("points");
        QTest::addColumn<bool>("gras");
        QTest::addColumn<bool>("italique");
        QTest::addColumn<QString>("famille");
        QTest::newRow("Quitter") << u"Quit"_s << -1 << 15.75 << true << true << u"Verdana"_s;
        QTest::newRow("nom d'équipe")
            << u"Careq"_s << 2 << 14.25 << true << true << u"Times New Roman"_s;
        QTest::newRow("libellé de carac")
            << u"EtiqCaracteristique"_s << 0 << 9.75 << true << true << QString();
        QTest::newRow("modèle coureur")
            << u"Coureur"_s << 0 << 8.25 << true << false << u"Times New Roman"_s;
        QTest::newRow("points UCI") << u"Note"_s << 9 << 9.75 << true << false << QString();
    }
    void polices()
    {
        QFETCH(QString, nom);
        QFETCH(int, index);
        QFETCH(qreal, points);
        QFETCH(bool, gras);
        QFETCH(bool, italique);
        QFETCH(QString, famille);
        QWidget *w = controle(m_fenetre.get(), nom, index);
        QVERIFY(w != nullptr);
        QCOMPARE(w->font().pointSizeF(), points);
        QCOMPARE(w->font().bold(), gras);
        QCOMPARE(w->font().italic(), italique);
        if (!famille.isEmpty())
            QCOMPARE(w->font().families().value(0), famille);
    }

    void tableauxAdressesParIndex()
    {
        QList<int> notes;
        for (int c = 1; c <= 33; ++c)
            notes << c;
        QCOMPARE(m_fenetre->Note().indices(), notes);
        QCOMPARE(m_fenetre->Careq().indices(), (QList<int> { 1, 2, 3, 4, 5, 6 }));
        QCOMPARE(m_fenetre->Free().indices(), (QList<int> { 1, 2 }));
        QCOMPARE(m_fenetre->Chargeq().indices(), (QList<int> { 0 }));
        QCOMPARE(m_fenetre->Coureur().indices(), (QList<int> { 0 }));
        for (int c = 1; c <= 33; ++c)
            QCOMPARE(indexDe(m_fenetre->Note()[c]), c);
    }

    void effaceCarac()
    {
        for (int c = 1; c <= 33; ++c)
            m_fenetre->Note()[c]->setText(QString::number(c * 3));
        for (int k = 1; k <= 6; ++k)
            m_fenetre->Careq()[k]->setText(QStringLiteral("x"));
        m_fenetre->NumLigne()->setText(QStringLiteral("57"));
        m_fenetre->NumEq()->setText(QStringLiteral("12"));
        m_fenetre->Car5050()->setText(QStringLiteral("72"));
        m_fenetre->Pot8020()->setText(QStringLiteral("74"));
        m_fenetre->Salaire()->setText(QStringLiteral("Moy : 70\nSalaire :45000 €"));
        m_fenetre->creerCoureur(
            1, { QStringLiteral("Abeille"), {}, QStringLiteral("5"), 0, 0, 0, {} });

        m_fenetre->EffaceCarac();

        for (int c = 1; c <= 33; ++c)
            QVERIFY2(m_fenetre->Note()[c]->text().isEmpty(), qPrintable(QString::number(c)));
        for (int k = 1; k <= 6; ++k)
            QVERIFY(m_fenetre->Careq()[k]->text().isEmpty());
        QCOMPARE(m_fenetre->NumLigne()->text(), u"0"_s);
        QCOMPARE(m_fenetre->NumEq()->text(), u"0"_s);
        QCOMPARE(m_fenetre->Car5050()->text(), u"72"_s);
        QCOMPARE(m_fenetre->Pot8020()->text(), u"74"_s);
        QCOMPARE(m_fenetre->Salaire()->text(), u"Moy : 70\nSalaire :45000 €"_s);
        QVERIFY(m_fenetre->Coureur()[1] != nullptr);
    }

    void boutonsEquipes()
    {
        const QList<DescriptionBouton> boutons {
            { u"AAB"_s, u"Équipe B"_s, u"3"_s, 550, 240, 0, rgb(143, 174, 245) },
            { u"ZZC"_s, u"Équipe C"_s, u"1"_s, 1050, 240, 0, rgb(143, 174, 245) },
            { u"MID"_s, u"Équipe D"_s, u"2"_s, 550, 480, 0, rgb(143, 245, 74) },
        };
        m_fenetre->show();
        // Deux fois : la seconde remplace la première sans doublon.
        m_fenetre->creerBoutonsEquipes(boutons.mid(0, 1));
        m_fenetre->creerBoutonsEquipes(boutons);
        QCOMPARE(m_fenetre->Chargeq().indices(), (QList<int> { 0, 1, 2, 3 }));
        QCOMPARE(m_fenetre->Equipe()->findChildren<QPushButton *>(u"Chargeq"_s).size(), 4);
        for (int k = 1; k <= 3; ++k) {
            const DescriptionBouton &d = boutons[k - 1];
            QPushButton *b = m_fenetre->Chargeq()[k];
            QCOMPARE(b->text(), d.legende);
            QCOMPARE(b->toolTip(), d.infobulle);
            QCOMPARE(b->property(propriete::tag).toString(), d.tag);
            QCOMPARE(b->property(propriete::twips).toRect(), QRect(d.gauche, d.haut, 500, 220));
            QCOMPARE(b->property(propriete::couleurFond).value<QColor>(), couleurRgb(*d.couleur));
            QCOMPARE(b->font(), m_fenetre->Chargeq()[0]->font());
            QVERIFY(b->isVisible());
        }
        QVERIFY(!m_fenetre->Chargeq()[0]->isVisible());
        // Le modèle garde la couleur posée avant la dernière copie.
        QCOMPARE(m_fenetre->Chargeq()[0]->property(propriete::couleurFond).value<QColor>(),
            QColor(143, 245, 74));

        QSignalSpy clics(m_fenetre.get(), &Equipes::clicChargeq);
        QTest::mouseClick(m_fenetre->Chargeq()[2], Qt::LeftButton);
        QCOMPARE(clics.size(), 1);
        QCOMPARE(clics[0][0].toInt(), 2);
    }

    void boutonsCoureurs()
    {
        m_fenetre->show();
        for (int i = 1; i <= 3; ++i)
            m_fenetre->creerCoureur(i,
                { QStringLiteral("Coureur %1").arg(i), QStringLiteral("bulle"),
                    QString::number(10 * i), 120, 120 + 300 * i, i == 3 ? 300 : 0, {} });
        QCOMPARE(m_fenetre->Coureur().indices(), (QList<int> { 0, 1, 2, 3 }));
        QCOMPARE(m_fenetre->Coureur()[2]->property(propriete::twips).toRect(),
            QRect(120, 720, 1575, 405));
        QCOMPARE(m_fenetre->Coureur()[3]->property(propriete::twips).toRect(),
            QRect(120, 1020, 1575, 300));
        // Les boutons coureurs vivent dans la zone qui défile, elle-même dans le cadre.
        QCOMPARE(m_fenetre->Coureur()[1]->parentWidget(), m_fenetre->zoneCoureurs());
        QVERIFY(m_fenetre->CaracCoureur()->isAncestorOf(m_fenetre->zoneCoureurs()));
        QSignalSpy clics(m_fenetre.get(), &Equipes::clicCoureur);
        QTest::mouseClick(m_fenetre->Coureur()[3], Qt::LeftButton);
        QCOMPARE(clics.size(), 1);
        QCOMPARE(clics[0][0].toInt(), 3);

        m_fenetre->detruireCoureurs();
        QCOMPARE(m_fenetre->Coureur().indices(), (QList<int> { 0 }));
        QCOMPARE(m_fenetre->CaracCoureur()->findChildren<QPushButton *>(u"Coureur"_s).size(), 1);
    }

    void toucheRelacheeDonneIndexEtTouche_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<int>("index");
        QTest::newRow("Note 12") << u"Note"_s << 12;
        QTest::newRow("Note 23 sur la fenêtre") << u"Note"_s << 23;
        QTest::newRow("Careq 5") << u"Careq"_s << 5;
        QTest::newRow("rech") << u"rech"_s << -1;
    }
    void toucheRelacheeDonneIndexEtTouche()
    {
        QFETCH(QString, nom);
        QFETCH(int, index);
        m_fenetre->show();
        QSignalSpy notes(m_fenetre.get(), &Equipes::toucheNote);
        QSignalSpy careq(m_fenetre.get(), &Equipes::toucheCareq);
        QSignalSpy rech(m_fenetre.get(), &Equipes::toucheRech);
        auto *e = qobject_cast<QLineEdit *>(controle(m_fenetre.get(), nom, index));
        QVERIFY(e != nullptr);
        // Un coureur et une équipe affichés : la frappe est gardée, sans message.
        m_fenetre->NumLigne()->setText(u"2"_s);
        m_fenetre->NumEq()->setText(u"1"_s);
        e->clear();
        QTest::keyClicks(e, u"7a"_s);
        QCOMPARE(e->text(), u"7a"_s);
        QSignalSpy &attendu = nom == u"Note" ? notes : nom == u"Careq" ? careq : rech;
        QCOMPARE(notes.size() + careq.size() + rech.size(), 2);
        QCOMPARE(attendu.size(), 2);
        QCOMPARE(attendu.last().last().toInt(), int(Qt::Key_A));
        if (index >= 0)
            QCOMPARE(attendu.last().first().toInt(), index);
    }

    void quitter_data()
    {
        QTest::addColumn<bool>("modifie");
        QTest::addColumn<QList<int>>("reponses");
        QTest::addColumn<bool>("parLeCadre");
        QTest::addColumn<bool>("fini");
        QTest::addColumn<int>("enregistrements");
        QTest::addColumn<int>("questions");
        const int oui = int(Reponse::Oui), non = int(Reponse::Non), ann = int(Reponse::Annuler);
        QTest::newRow("Non : rien ne change")
            << true << QList<int> { non } << false << false << 0 << 1;
        QTest::newRow("Oui sans modification : pas de question")
            << false << QList<int> { oui } << false << true << 0 << 1;
        QTest::newRow("Oui puis Oui : enregistré")
            << true << QList<int> { oui, oui } << false << true << 1 << 2;
        QTest::newRow("Oui puis Non : fichier inchangé")
            << true << QList<int> { oui, non } << false << true << 0 << 2;
        QTest::newRow("Oui puis Annuler : retour à l'éditeur")
            << true << QList<int> { oui, ann } << false << false << 0 << 2;
        QTest::newRow("cadre, Non") << true << QList<int> { non } << true << false << 0 << 1;
        QTest::newRow("cadre, Oui puis Annuler")
            << true << QList<int> { oui, ann } << true << false << 0 << 2;
        QTest::newRow("cadre, Oui puis Oui")
            << true << QList<int> { oui, oui } << true << true << 1 << 2;
    }
    void quitter()
    {
        QFETCH(bool, modifie);
        QFETCH(QList<int>, reponses);
        QFETCH(bool, parLeCadre);
        QFETCH(bool, fini);
        QFETCH(int, enregistrements);
        QFETCH(int, questions);
        TableurMemoire tableur;
        const QString chemin = u"/tmp/base.xls"_s;
        tableur.deposer(chemin, petitClasseur());
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
        QCOMPARE(vus.size(), questions);
        QCOMPARE(vus[0].texte, texteConfirmationQuitter());
        QCOMPARE(vus[0].boutons, Boutons::OuiNon);
        if (questions > 1) {
            QCOMPARE(vus[1].boutons, Boutons::OuiNonAnnuler);
            QCOMPARE(vus[1].texte, sheet::texteQuestionEnregistrer(u"base.xls"_s));
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

    void confirmationMotPourMot()
    {
        const QString t = texteConfirmationQuitter();
        QCOMPARE(t,
            u"voulez vous vraiment quitter ?\r (Si vous n'avez pas pensé à appliquer les "
            u"modifications, elle seront perdues.)"_s);
        QCOMPARE(texteAffiche(t).count(u'\n'), 1);
        QVERIFY(!texteAffiche(t).contains(QChar(13)));
    }

private:
    MessagesFactices m_messages;
    std::unique_ptr<Equipes> m_fenetre;
};

QTEST_MAIN(TestEquipes)
#include "test_equipes.moc"
