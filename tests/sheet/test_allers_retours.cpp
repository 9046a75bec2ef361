#include "aide_ecriture.h"
#include "aide_gtest.h"
#include "sheet/adresse.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace aide_ecriture;

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
        const int entree = c.chercherFlux(QStringLiteral("Workbook"));
        const ClasseurBiff biff = ClasseurBiff::lire(c.lireFlux(entree));
        const Ecritures ecr = ecrituresAuHasard(biff, 120, graine++);
        const QByteArray neuf = ecrireClasseur(c, entree, biff, ecr).conteneur.octets();

        const QString base = dossier.filePath(QFileInfo(fichier).completeBaseName());
        ASSERT_TRUE(aide::ecrireFichier(base + QStringLiteral(".xls"), neuf));
        ASSERT_TRUE(aide::ecrireFichier(base + QStringLiteral(".orig.xls"), octets));
        QJsonArray liste;
        for (const auto &[k, cases] : ecr)
            for (const auto &[p, v] : cases)
                liste.append(QJsonObject { { QStringLiteral("feuille"), biff.feuilles()[k].nom },
                    { QStringLiteral("adresse"),
                        zarvo::sheet::texteAdresse(p.first + 1, p.second + 1) },
                    { QStringLiteral("genre"),
                        v.estNombre()      ? QStringLiteral("nombre")
                            : v.estTexte() ? QStringLiteral("texte")
                                           : QStringLiteral("vide") },
                    { QStringLiteral("valeur"),
                        v.estNombre() ? QString::number(v.valeurNombre(), 'g', 17)
                                      : v.valeurTexte() } });
        ASSERT_TRUE(aide::ecrireFichier(
            base + QStringLiteral(".ecritures.json"), QJsonDocument(liste).toJson()));
    }
    QProcess juge;
    juge.setProcessChannelMode(QProcess::MergedChannels);
    // La langue française des tests n'est pas installée : Gnumeric s'en plaindrait sur sa
    // sortie d'erreur, qui doit rester vide pour juger le fichier.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    juge.setProcessEnvironment(env);
    juge.start(QStringLiteral("/usr/bin/python3"),
        { source(QStringLiteral("tests/sheet/allers_retours.py")), dossier.path() });
    ASSERT_TRUE(juge.waitForFinished(900000));
    const QString sortie = QString::fromUtf8(juge.readAll());
    EXPECT_EQ(juge.exitCode(), 0) << sortie.toStdString();
}

} // namespace
