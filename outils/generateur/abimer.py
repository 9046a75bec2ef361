#!/usr/bin/python3
"""Fait tests/data/refus/rk-avale-libreoffice.xls de tests/data/classeurs/mini-libreoffice.xls :
le premier RK de DYN_cyclist suivi d'une autre case reçoit une longueur qui couvre aussi cette
case (deux octets changés). Un lecteur qui ne juge pas la longueur d'une case lit la case avalée
comme vide."""

import os
import struct

import olefile

DONNEES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "data")
octets = open(os.path.join(DONNEES, "classeurs", "mini-libreoffice.xls"), "rb").read()
flux = olefile.OleFileIO(octets).openstream("Workbook").read()


def enregistrements(pos):
    while pos + 4 <= len(flux):
        ident, longueur = struct.unpack_from("<HH", flux, pos)
        yield pos, ident, longueur
        pos += 4 + longueur


feuilles = {flux[p + 12:p + 12 + flux[p + 10]]: struct.unpack_from("<I", flux, p + 4)[0]
            for p, i, _ in enregistrements(0) if i == 0x0085}
liste = list(enregistrements(feuilles[b"DYN_cyclist"]))
for (p, i, n), (_, suivant, lsuivant) in zip(liste, liste[1:]):
    enr = flux[p:p + 14]
    if i == 0x027E and n == 10 and suivant in (0x0203, 0x027E, 0x00FD, 0x0201, 0x00BD, 0x00BE) \
            and octets.count(enr) == 1:
        abime = bytearray(octets)
        struct.pack_into("<H", abime, octets.index(enr) + 2, 10 + 4 + lsuivant)
        open(os.path.join(DONNEES, "refus", "rk-avale-libreoffice.xls"), "wb").write(abime)
        break
