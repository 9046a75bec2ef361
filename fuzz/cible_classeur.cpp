// Cible de fuzz : des octets quelconques ouverts comme classeur, puis lus comme l'éditeur
// les lit. Seul ErreurClasseur est une issue permise ; toute autre exception, tout plantage
// ou toute lecture hors bornes est un défaut.
#include "sheet/erreur.h"
#include "sheet/xls/classeur_xls.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace zarvo::sheet;

namespace {

void lireFeuille(xls::ClasseurXls &c, const QString &nom, const QString &bloc)
{
    try {
        Feuille &f = c.feuille(nom);
        const zarvo::Tableau t = f.plage(bloc)->valeurs();
        (void)t;
        f.plage(QStringLiteral("A1"))->valeur();
        f.plage(QStringLiteral("F74"))->valeur();
    } catch (const ErreurClasseur &) { }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *donnees, std::size_t taille)
{
    const QByteArray octets(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    try {
        auto c = xls::ouvrirOctets(octets, QStringLiteral("fuzz.xls"));
        lireFeuille(*c, QStringLiteral("DYN_cyclist"), QStringLiteral("A1:AG973"));
        lireFeuille(*c, QStringLiteral("DYN_team"), QStringLiteral("A1:F74"));
        // Les autres flux aussi : leurs chaînes ont été vérifiées à l'ouverture.
        const auto &entrees = c->conteneur().entrees();
        for (std::size_t i = 0; i < entrees.size(); ++i)
            if (entrees[i].type == xls::EntreeRepertoire::Flux && entrees[i].parent >= 0)
                (void)c->conteneur().lireFlux(int(i));
        // Conteneur accepté : le réécrire, plus long puis sous le seuil du mini-flux, ne doit
        // jamais échouer (remplacerFlux relit et vérifie son résultat).
        const QByteArray flux = c->conteneur().lireFlux(c->entreeWorkbook());
        const QByteArray plusLong = flux + QByteArray(700, 'x');
        for (const QByteArray &neuf : { plusLong, flux.left(100) }) {
            try {
                xls::remplacerFlux(octets, QStringLiteral("Workbook"), neuf);
            } catch (const ErreurClasseur &) {
                std::abort();
            }
        }
    } catch (const ErreurClasseur &) { }
    return 0;
}
