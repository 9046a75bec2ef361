#pragma once

#include "sheet/xls/conteneur.h"

#include <QByteArray>

namespace zarvo::sheet::xls {

/**
 * Écriture en place dans un fichier composé : remplace le contenu d'un flux et rend le
 * nouveau fichier, sans rien toucher d'autre. Fonction pure (rien sur le disque).
 *
 * Les secteurs de l'ancien flux sont réutilisés dans leur ordre, ceux qui manquent sont
 * ajoutés en fin de fichier (la FAT grandit d'autant, et la DIFAT au-delà de 109 secteurs de
 * FAT) ; les secteurs rendus libres sont remis à zéro. Tout autre flux, stockage, CLSID et
 * entrée du répertoire reste identique à l'octet ; seuls changent l'entrée du flux, l'en-tête
 * et les secteurs de FAT/DIFAT touchés. Le résultat est relu et comparé avant d'être rendu.
 *
 * Seuls les flux rangés en secteurs ordinaires (4096 octets et plus, avant comme après) sont
 * pris en charge : c'est toujours le cas du flux Workbook d'un vrai classeur. Lève
 * ErreurClasseur (raison en français) sinon, ou si le fichier dépasserait la taille permise.
 */
class EcrivainConteneur
{
public:
    /// Le conteneur relu ; ses octets() sont ceux du nouveau fichier.
    static Conteneur remplacerFlux(
        const Conteneur &conteneur, int entree, const QByteArray &contenu);
};

} // namespace zarvo::sheet::xls
