#include "sheet/xls/ecrivain_classeur.h"

namespace zarvo::sheet::xls {

ClasseurEcrit ecrireClasseur(const Conteneur &conteneur, int entree, const ClasseurBiff &biff,
    const Ecritures &ecritures, const FeuillesLues &lues)
{
    const QByteArray flux = reconstruireFlux(biff, ecritures, lues);
    FluxRelu relu = verifierFlux(biff, flux, ecritures, lues);
    // Le conteneur vérifie lui-même ce qu'il écrit avant de le rendre.
    const QByteArray fichier
        = remplacerFlux(conteneur.octets(), conteneur.entrees().at(std::size_t(entree)).nom, flux);
    return { Conteneur::lire(fichier), std::move(relu) };
}

} // namespace zarvo::sheet::xls
