// classeur : lit un classeur .xls par l'interface du tableur, pour les développeurs.
#include "outils/classeur/texte.h"
#include "sheet/adresse.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"

#include <QCoreApplication>
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

const char *const usage = "Usage :\n"
                          "  classeur feuilles FICHIER\n"
                          "  classeur lire [--types] FICHIER FEUILLE PLAGE\n";

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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList args = application.arguments().mid(1);
    // Une commande par nom ; d'autres (écriture) viendront s'ajouter ici.
    const std::map<QString, std::function<int(const QStringList &)>> commandes {
        { QStringLiteral("feuilles"), feuilles },
        { QStringLiteral("lire"), lire },
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
