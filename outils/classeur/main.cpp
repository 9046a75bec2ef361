// classeur : lit un classeur .xls par l'interface du tableur, pour les développeurs.
#include "outils/classeur/affectation.h"
#include "outils/classeur/texte.h"
#include "sheet/adresse.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <map>

using namespace zarvo;

namespace {

constexpr int codeLigneDeCommande = 2;
constexpr int codeClasseur = 1;

void sortie(const QString &texte)
{
    const QByteArray o = texte.toUtf8();
    std::fwrite(o.constData(), 1, std::size_t(o.size()), stdout);
}

void erreur(const QString &texte)
{
    std::fputs((texte + u'\n').toUtf8().constData(), stderr);
}

const char *const usage
    = "Usage :\n"
      "  classeur feuilles FICHIER\n"
      "  classeur lire [--types] FICHIER FEUILLE PLAGE\n"
      "  classeur ecrire [--sortie AUTRE.xls] FICHIER FEUILLE CELLULE=VALEUR...\n"
      "    VALEUR : n:75 (nombre), t:Dupont (texte), v: (vide), sinon texte\n";

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

/// Écrit les valeurs par l'interface du tableur puis ferme en répondant Oui à la question.
/// Avec --sortie, le classeur est d'abord copié : l'original n'est jamais ouvert en écriture.
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
    std::vector<outils::Affectation> affectations;
    for (const QString &a : args.mid(2)) {
        const auto lue = outils::lireAffectation(a);
        if (!lue)
            return mauvaiseLigne(QStringLiteral("Écriture invalide « %1 ».").arg(a));
        affectations.push_back(*lue);
    }
    QString fichier = args[0];
    if (!sortieAutre.isEmpty()) {
        if (QFileInfo(sortieAutre).absoluteFilePath() == QFileInfo(fichier).absoluteFilePath())
            return mauvaiseLigne(QStringLiteral("--sortie doit nommer un autre fichier."));
        if (!QFileInfo::exists(fichier))
            throw sheet::ErreurClasseur(
                QStringLiteral("Impossible d'ouvrir « %1 » : fichier introuvable.")
                    .arg(QFileInfo(fichier).fileName()));
        if ((QFile::exists(sortieAutre) && !QFile::remove(sortieAutre))
            || !QFile::copy(fichier, sortieAutre))
            throw sheet::ErreurClasseur(
                QStringLiteral("Impossible d'écrire « %1 ».").arg(sortieAutre));
        fichier = sortieAutre;
    }
    auto app = sheet::creerApplicationXls();
    sheet::Classeur &c = app->ouvrir(fichier);
    sheet::Feuille &f = c.feuille(args[1]);
    for (const auto &a : affectations)
        f.plage(a.adresse)->ecrire(a.valeur);
    const sheet::Fermeture fin = c.fermer([](const QString &) { return Reponse::Oui; });
    if (!fin.fermee)
        throw sheet::ErreurClasseur(fin.erreur);
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
        erreur(e.message());
        return codeClasseur;
    }
}
