#include "aide_gtest.h"
#include "sheet/adresse.h"
#include "sheet/aide_xls.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace aide;
using namespace Qt::StringLiterals;

namespace {

/**
 * Pour chaque classeur de test : quelques centaines de cases au hasard dans les deux feuilles,
 * enregistrement, puis jugement par xlrd, Gnumeric et LibreOffice (tests/sheet/allers_retours.py) :
 * les cases écrites ont leur nouvelle valeur, toutes les autres de toutes les feuilles leur
 * ancienne ; le conteneur passe olefile strict et gsf. Notre lecteur est jugé par
 * test_ecrivain_classeur et test_classeur_ecriture.
 */
TEST(AllersRetours, LecteursIndependants)
{
    QTemporaryDir dossier;
    ASSERT_TRUE(dossier.isValid());
    unsigned graine = 1;
    for (const QString &fichier : classeursDeTest()) {
        const QByteArray octets = lireFichier(fichier);
        const Conteneur c = Conteneur::lire(octets);
        const int entree = c.chercherFlux(u"Workbook"_s);
        const ClasseurBiff biff = ClasseurBiff::lire(c.lireFlux(entree));
        Ecritures ecr = ecrituresAuHasard(biff, 120, graine++);
        // Longs textes hors du plan de base, décalés de 0 à 3 caractères : les limites des
        // CONTINUE de la SST tombent à chaque place d'une paire de substitution.
        if (const int equipes = biff.chercherFeuille(u"DYN_team"_s); equipes >= 0)
            for (int k = 0; k < 8; ++k)
                ecr[std::size_t(equipes)][{ 300 + k, 1 }] = Cellule::texte(
                    QString(k % 4, u'é') + (k < 4 ? u"🚲"_s : u"𝄞😀𠀋"_s).repeated(4200 - k));
        const QByteArray neuf = ecrireClasseur(c, entree, biff, ecr).conteneur.octets();

        const QString base = dossier.filePath(QFileInfo(fichier).completeBaseName());
        ASSERT_TRUE(aide::ecrireFichier(base + u".xls"_s, neuf));
        ASSERT_TRUE(aide::ecrireFichier(base + u".orig.xls"_s, octets));
        QJsonArray liste;
        for (const auto &[k, cases] : ecr)
            for (const auto &[p, v] : cases)
                liste.append(QJsonObject { { u"feuille"_s, biff.feuilles()[k].nom },
                    { u"adresse"_s, zarvo::sheet::texteAdresse(p.first + 1, p.second + 1) },
                    { u"genre"_s,
                        v.estNombre()      ? u"nombre"_s
                            : v.estTexte() ? u"texte"_s
                                           : u"vide"_s },
                    { u"valeur"_s,
                        v.estNombre() ? QString::number(v.valeurNombre(), 'g', 17)
                                      : v.valeurTexte() } });
        ASSERT_TRUE(
            aide::ecrireFichier(base + u".ecritures.json"_s, QJsonDocument(liste).toJson()));
    }
    QProcess juge;
    juge.setProcessChannelMode(QProcess::MergedChannels);
    // La langue française des tests n'est pas installée : Gnumeric s'en plaindrait sur sa
    // sortie d'erreur, qui doit rester vide pour juger le fichier.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    env.insert(u"LANG"_s, u"C.UTF-8"_s);
    juge.setProcessEnvironment(env);
    juge.start(
        u"/usr/bin/python3"_s, { source(u"tests/sheet/allers_retours.py"_s), dossier.path() });
    ASSERT_TRUE(juge.waitForFinished(900000));
    const QString sortie = QString::fromUtf8(juge.readAll());
    EXPECT_EQ(juge.exitCode(), 0) << sortie.toStdString();
}

} // namespace
