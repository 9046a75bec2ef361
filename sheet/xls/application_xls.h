#pragma once

#include "sheet/tableur.h"

#include <memory>

namespace zarvo::sheet {

/**
 * Le moteur de classeur natif : ouvre un fichier .xls (Excel 97-2003, BIFF8) et en lit les
 * cases derrière l'interface du tableur. Un seul classeur ouvert à la fois.
 *
 * Refus (ErreurClasseur rattachée à l'ouverture du fichier, genre selon la cause) : fichier absent
 * ou illisible, fichier qui n'est pas un fichier composé, classeur antérieur à Excel 97 ou .xlsx
 * renommé, classeur protégé par mot de passe, feuille absente, enregistrements tronqués ou
 * incohérents.
 */
std::unique_ptr<Application> creerApplicationXls();

} // namespace zarvo::sheet
