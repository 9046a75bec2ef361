#include "aide_gtest.h"
#include "sheet/aide_xls.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

using namespace zarvo;
using namespace zarvo::sheet;
using namespace Qt::StringLiterals;

// Les valeurs lues des classeurs du dépôt sont jugées par tests/outils/test_classeurs.py (JSON
// attendus, xlrd), les blocs décalés par test_outil_ecrire (lire B2:F2) et le lecteur zarvo de
// test_classeurs.py, les promesses de l'interface par test_contrat_tableur ; ici, les fichiers
// refusés.

namespace {

QString messageDe(const std::function<void()> &f)
{
    try {
        f();
    } catch (const ErreurClasseur &e) {
        return e.fichier() + u" : "_s + e.detail();
    }
    return u"(aucune erreur)"_s;
}

TEST(ApplicationXls, fichierRefuseNommeLeFichierEtLaRaison)
{
    // Les fichiers de tests/data/refus ont été faits par de vrais tableurs.
    const auto refus = [](const char *nom) {
        return aide::lireFichier(aide::source(u"tests/data/refus/"_s + QLatin1String(nom)));
    };
    // Ce que le chemin désigne : des octets, ou un objet du système préparé par une commande.
    const auto lien = [](const char *cible) {
        return [cible](const QString &c) { return QFile::link(QString::fromUtf8(cible), c); };
    };
    const auto fifo = [](const QString &c) { return ::mkfifo(QFile::encodeName(c), 0644) == 0; };
    const auto dossier = [](const QString &c) { return QDir().mkdir(c); };
    using Preparer = std::function<bool(const QString &)>;
    const std::tuple<const char *, QByteArray, Preparer, const char *> tous[] = {
        { "absent", {}, {}, "fichier introuvable" },
        { "vide", "", {}, "le fichier est vide" },
        { "unOctet", "x", {}, "pas un classeur Excel 97-2003" },
        { "texte", "id;nom\n1;Dupont\n", {}, "pas un classeur Excel 97-2003" },
        { "xlsx", refus("xlsx-renomme.xls"), {}, ".xlsx" },
        { "excel95", refus("biff5-gnumeric.xls"), {}, "antérieure à Excel 97" },
        { "biffSansConteneur", QByteArray("\x09\x04\x06\x00\x00\x00\x10\x00", 8), {},
            "antérieure à Excel 97" },
        { "motDePasse", refus("motdepasse-libreoffice.xls"), {}, "mot de passe" },
        // Ce qui n'est pas un fichier est refusé tout de suite, sans attendre ni tout lire.
        { "fifo", {}, fifo, "c'est un tube nommé (FIFO), pas un fichier" },
        { "peripherique", {}, lien("/dev/zero"),
            "c'est un périphérique, pas un fichier (le lien mène à « /dev/zero »)" },
        { "dossier", {}, dossier, "c'est un dossier, pas un fichier" },
        { "lienCasse", {}, lien("/nulle/part.xls"),
            "fichier introuvable : le lien mène à « /nulle/part.xls », qui n'existe pas" },
    };
    for (const auto &[nom, contenu, preparer, raison] : tous) {
        SCOPED_TRACE(nom);
        QTemporaryDir dossierEssai;
        const QString chemin = dossierEssai.filePath(u"base été.xls"_s);
        if (preparer) {
            ASSERT_TRUE(preparer(chemin));
        } else if (!contenu.isNull()) {
            ASSERT_TRUE(aide::ecrireFichier(chemin, contenu));
        }
        auto app = creerApplicationXls();
        const QString m = messageDe([&] { app->ouvrir(chemin); });
        EXPECT_TRUE(m.startsWith(u"base été.xls : "_s)) << m.toStdString();
        EXPECT_TRUE(m.contains(QString::fromUtf8(raison))) << m.toStdString();
        EXPECT_EQ(app->classeurActif(), nullptr);
    }
}

} // namespace
