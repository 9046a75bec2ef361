#include "model/notes.h"

#include "model/conversions.h"

namespace zarvo {

double noteChargement5050(double mo, double val)
{
    return arrondi(mo * 0.5 + plancher(val * 0.5));
}

double noteChargement8020(double mo, double val)
{
    return arrondi(mo * 0.8 + plancher(val * 0.2));
}

} // namespace zarvo
