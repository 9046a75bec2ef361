#!/usr/bin/python3
"""Fabrique rk-avale-libreoffice.xls à partir de tests/data/classeurs/mini-libreoffice.xls :
la longueur du premier RK de DYN_cyclist suivi d'une autre case est agrandie pour couvrir
aussi cette case (deux octets changés, rien d'autre). Un lecteur qui ne juge pas la longueur
d'une case lit la case avalée comme vide ; le nôtre doit refuser la feuille.

    tests/data/refus/abimer.py   (depuis la racine du dépôt)
"""

import os
import struct

import olefile

ICI = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(ICI, "..", "classeurs", "mini-libreoffice.xls")
CIBLE = os.path.join(ICI, "rk-avale-libreoffice.xls")
CASES = {0x0203, 0x027E, 0x00FD, 0x0201, 0x0204, 0x0205, 0x00BD, 0x00BE}


def enregistrements(flux, debut):
    pos = debut
    while pos + 4 <= len(flux):
        ident, longueur = struct.unpack_from("<HH", flux, pos)
        yield pos, ident, longueur
        pos += 4 + longueur
        if ident == 0x000A:
            return


def main():
    octets = open(SOURCE, "rb").read()
    flux = olefile.OleFileIO(octets).openstream("Workbook").read()
    feuilles = {}
    for pos, ident, longueur in enregistrements(flux, 0):
        if ident == 0x0085:
            debut, = struct.unpack_from("<I", flux, pos + 4)
            n = flux[pos + 10]
            feuilles[flux[pos + 12:pos + 12 + n].decode("latin-1")] = debut
    liste = list(enregistrements(flux, feuilles["DYN_cyclist"]))
    for (pos, ident, longueur), (_, suivant, lsuivant) in zip(liste, liste[1:]):
        enr = flux[pos:pos + 14]
        if ident == 0x027E and longueur == 10 and suivant in CASES and octets.count(enr) == 1:
            place = octets.index(enr)
            abime = bytearray(octets)
            struct.pack_into("<H", abime, place + 2, 10 + 4 + lsuivant)
            open(CIBLE, "wb").write(bytes(abime))
            print(f"{os.path.basename(CIBLE)} : RK à l'octet {pos} du flux, longueur "
                  f"{10 + 4 + lsuivant} au lieu de 10")
            return
    raise SystemExit("aucun RK suivi d'une case dans DYN_cyclist")


if __name__ == "__main__":
    main()
