#pragma once

namespace zarvo {

/**
 * Notes calculées au chargement : Round(Mo×0.5 + Int(Val×0.5)) et Round(Mo×0.8 + Int(Val×0.2)),
 * Int sur le seul terme Vallons. Elles vivent ici parce que le chargement (couche modèle) en a
 * besoin ; le panneau du coureur a ses propres formules.
 */
double noteChargement5050(double mo, double val);
double noteChargement8020(double mo, double val);

} // namespace zarvo
