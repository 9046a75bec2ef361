#include "app/LigneCommande.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTranslator>

namespace zarvo::app {

namespace {

/// Les titres que QCommandLineParser écrit lui-même, en français (Qt n'en livre pas ici).
class TitresFrancais : public QTranslator
{
public:
    QString translate(const char *contexte, const char *source, const char *, int) const override
    {
        if (qstrcmp(contexte, "QCommandLineParser") != 0)
            return {};
        static const std::pair<const char *, const char16_t *> titres[] = {
            { "Usage: %1", u"Utilisation : %1" },
            { "Options:", u"Options :" },
            { "Arguments:", u"Arguments :" },
            { "[options]", u"[options]" },
            { "Unknown option '%1'.", u"Option inconnue : « %1 »." },
            { "Unknown options: %1.", u"Options inconnues : %1." },
            { "Unexpected value after '%1'.", u"Valeur inattendue après « %1 »." },
            { "Missing value after '%1'.", u"Valeur manquante après « %1 »." },
        };
        for (const auto &[anglais, francais] : titres)
            if (qstrcmp(source, anglais) == 0)
                return QString::fromUtf16(francais);
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

LigneCommande lireLigneCommande(const QStringList &arguments)
{
    TitresFrancais titres;
    QCoreApplication::installTranslator(&titres);
    LigneCommande l;
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Éditeur de la base d'un jeu de gestion d'équipe cycliste exportée dans un classeur "
        "Excel 97-2003 (.xls)."));
    const QCommandLineOption aide({ QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Affiche cette aide et quitte."));
    const QCommandLineOption version({ QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("Affiche la version et quitte."));
    p.addOption(aide);
    p.addOption(version);
    p.addPositionalArgument(QStringLiteral("FICHIER.xls"),
        QStringLiteral("Classeur à ouvrir tout de suite ; sans lui, le sélecteur de classeur "
                       "s'ouvre dans le dossier du dernier classeur ouvert."),
        QStringLiteral("[FICHIER.xls]"));
    const QString nom = QStringLiteral("zarvoedit");
    if (!p.parse(arguments) || p.positionalArguments().size() > 1) {
        l.lancer = false;
        l.code = 2;
        l.surErreur = true;
        l.sortie
            = (p.positionalArguments().size() > 1 ? QStringLiteral("Un seul classeur à la fois.")
                                                  : p.errorText())
            + QStringLiteral("\nVoir « %1 --help ».\n").arg(nom);
    } else if (p.isSet(aide)) {
        l.lancer = false;
        l.sortie = p.helpText();
    } else if (p.isSet(version)) {
        l.lancer = false;
        l.sortie = nom + u' ' + QCoreApplication::applicationVersion() + u'\n';
    } else {
        l.fichier = p.positionalArguments().value(0);
    }
    QCoreApplication::removeTranslator(&titres);
    return l;
}

} // namespace zarvo::app
