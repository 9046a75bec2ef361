// classeur : lit un classeur .xls par l'interface du tableur, pour les développeurs.
#include "outils/classeur/affectation.h"
#include "outils/classeur/texte.h"
#include "sheet/adresse.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"
#include "sheet/xls/classeur_xls.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>

using namespace zarvo;

namespace {

constexpr int codeLigneDeCommande = 2;
constexpr int codeClasseur = 1;

void sortie(const QString &texte)
{
    const QByteArray o = texte.toUtf8();
    std::fwrite(o.constData(), 1, std::size_t(o.size()), stdout);
}

void erreur(QString texte)
{
    // Le retour chariot sépare les lignes d'une boîte de message ; au terminal, il écraserait
    // la première.
    std::fputs((texte.replace(QChar(13), u'\n') + u'\n').toUtf8().constData(), stderr);
}

const char *const usage
    = "Usage :\n"
      "  classeur feuilles FICHIER\n"
      "  classeur lire [--types] FICHIER FEUILLE PLAGE\n"
      "  classeur ecrire [--sortie AUTRE.xls] FICHIER FEUILLE CELLULE=VALEUR|@LISTE...\n"
      "    VALEUR : n:75 (nombre), t:Dupont (texte), v: (vide), sinon texte\n"
      "    @LISTE : fichier de CELLULE=VALEUR, une par ligne, lu après l'ouverture\n";

int mauvaiseLigne(const QString &raison)
{
    erreur(raison);
    std::fputs(usage, stderr);
    return codeLigneDeCommande;
}

int feuilles(const QStringList &args)
{
    if (args.size() != 1)
        return mauvaiseLigne(QStringLiteral("classeur feuilles : un fichier attendu."));
    auto app = sheet::creerApplicationXls();
    sheet::Classeur &c = app->ouvrir(args[0]);
    for (const QString &nom : c.nomsFeuilles())
        sortie(nom + u'\n');
    return 0;
}

int lire(QStringList args)
{
    const bool types = !args.isEmpty() && args.front() == QStringLiteral("--types");
    if (types)
        args.removeFirst();
    if (args.size() != 3)
        return mauvaiseLigne(QStringLiteral("classeur lire : fichier, feuille et plage attendus."));
    try {
        sheet::lireAdresse(args[2]);
    } catch (const sheet::ErreurClasseur &e) {
        return mauvaiseLigne(QStringLiteral("Plage invalide « %1 ».").arg(args[2]));
    }
    auto app = sheet::creerApplicationXls();
    sheet::Classeur &c = app->ouvrir(args[0]);
    const Tableau t = c.feuille(args[1]).plage(args[2])->valeurs();
    QString texte;
    for (int l = 1; l <= t.nbLignes(); ++l) {
        for (int col = 1; col <= t.nbColonnes(); ++col) {
            if (col > 1)
                texte += u'\t';
            texte += outils::texteCase(t(l, col), types);
        }
        texte += u'\n';
    }
    sortie(texte);
    return 0;
}

/// Affectations d'un fichier LISTE, une par ligne (lignes vides ignorées).
std::optional<std::vector<outils::Affectation>> lireListe(const QString &chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw sheet::ErreurClasseur(sheet::GenreErreur::Fichier,
            QStringLiteral("impossible de lire la liste « %1 »").arg(QFileInfo(chemin).fileName()));
    std::vector<outils::Affectation> r;
    for (const QByteArray &ligne : f.readAll().split('\n')) {
        if (ligne.trimmed().isEmpty())
            continue;
        const auto a = outils::lireAffectation(QString::fromUtf8(ligne));
        if (!a) {
            erreur(QStringLiteral("Écriture invalide « %1 ».").arg(QString::fromUtf8(ligne)));
            return std::nullopt;
        }
        r.push_back(*a);
    }
    return r;
}

/**
 * Écrit les valeurs par l'interface du tableur puis enregistre par le moteur : le fichier
 * lu doit être encore là, inchangé. Avec --sortie, le classeur est enregistré sous l'autre
 * nom : l'original n'est jamais ouvert en écriture, et un refus ne laisse aucun fichier.
 * Une LISTE (@LISTE) n'est lue qu'une fois le classeur ouvert : une autre commande peut la
 * produire au fil de l'eau, par un tube.
 */
int ecrire(QStringList args)
{
    QString sortieAutre;
    if (args.size() >= 2 && args.front() == QStringLiteral("--sortie")) {
        args.removeFirst();
        sortieAutre = args.takeFirst();
    }
    if (args.size() < 3)
        return mauvaiseLigne(QStringLiteral(
            "classeur ecrire : fichier, feuille et au moins une CELLULE=VALEUR attendus."));
    for (const QString &a : args.mid(2))
        if (!a.startsWith(u'@') && !outils::lireAffectation(a))
            return mauvaiseLigne(QStringLiteral("Écriture invalide « %1 ».").arg(a));
    const QString &fichier = args[0];
    if (!sortieAutre.isEmpty()
        && QFileInfo(sortieAutre).absoluteFilePath() == QFileInfo(fichier).absoluteFilePath())
        return mauvaiseLigne(QStringLiteral("--sortie doit nommer un autre fichier."));
    auto app = sheet::creerApplicationXls();
    auto &c = dynamic_cast<sheet::xls::ClasseurXls &>(app->ouvrir(fichier));
    sheet::Feuille &f = c.feuille(args[1]);
    for (const QString &a : args.mid(2)) {
        std::vector<outils::Affectation> lues;
        if (a.startsWith(u'@')) {
            const auto liste = lireListe(a.mid(1));
            if (!liste) {
                std::fputs(usage, stderr);
                return codeLigneDeCommande;
            }
            lues = *liste;
        } else {
            lues.push_back(*outils::lireAffectation(a));
        }
        for (const auto &e : lues)
            f.plage(e.adresse)->ecrire(e.valeur);
    }
    const sheet::xls::Remplacement r = c.enregistrer(sortieAutre);
    if (!r.avertissement.isEmpty())
        erreur(r.avertissement);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList args = application.arguments().mid(1);
    // Une commande par nom ; d'autres (écriture) viendront s'ajouter ici.
    const std::map<QString, std::function<int(const QStringList &)>> commandes {
        { QStringLiteral("feuilles"), feuilles },
        { QStringLiteral("lire"), lire },
        { QStringLiteral("ecrire"), ecrire },
    };
    if (args.isEmpty())
        return mauvaiseLigne(QStringLiteral("Commande manquante."));
    const auto it = commandes.find(args.takeFirst());
    if (it == commandes.end())
        return mauvaiseLigne(QStringLiteral("Commande inconnue."));
    try {
        return it->second(args);
    } catch (const sheet::ErreurClasseur &e) {
        erreur(sheet::texteErreur(e));
        return codeClasseur;
    }
}
