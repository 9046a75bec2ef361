#include "sheet/xls/plan_sst.h"

#include "sheet/xls/biff_ecriture.h"

namespace zarvo::sheet::xls {

using namespace ecriture;

QByteArray nouvelleCase(int ligne, int colonne, std::uint16_t xf, const Cellule &v, PlanSst &sst)
{
    if (v.estNombre())
        return caseNombre(ligne, colonne, xf, v.valeurNombre());
    if (v.estTexte()) {
        verifierLongueurTexte(v.valeurTexte());
        ++sst.ecartTotal;
        return caseSst(ligne, colonne, xf, sst.indice(v.valeurTexte()));
    }
    return caseVide(ligne, colonne, xf);
}

} // namespace zarvo::sheet::xls
