#!/usr/bin/python3
"""Classeurs dérivés : des écarts au format que d'autres écrivains produisent et que tous les
tableurs courants lisent, fabriqués à partir des classeurs committés de tests/data/classeurs/.

    outils/generateur/deriver.py [DOSSIER]     (défaut : tests/data/classeurs)

Bibliothèque standard seulement. Chaque dérivé reçoit son JSON de valeurs attendues, copié de
celui de sa source (et retouché quand le dérivé change une case). Les octets produits sont
toujours les mêmes pour les mêmes sources.
"""

import json
import os
import struct
import sys

sys.dont_write_bytecode = True
from generer import json_attendu, verifier  # noqa: E402  mêmes JSON, même contrôle

FIN, LIBRE, MARQUE_FAT = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD
SS = 512  # toutes les sources ont des secteurs de 512 octets (version 3)


class Ole:
    """Lecture minimale d'un fichier composé (version 3) : FAT, répertoire, flux."""

    def __init__(self, octets):
        self.o = bytearray(octets)
        assert self.o[:8] == bytes.fromhex("D0CF11E0A1B11AE1") and self.u16(30) == 9
        nb_fat = self.u32(44)
        assert nb_fat <= 109, "DIFAT non prise en charge"
        self.secteurs_fat = [self.u32(76 + 4 * i) for i in range(nb_fat)]
        self.fat = []
        for s in self.secteurs_fat:
            self.fat += struct.unpack_from("<128I", self.o, self.pos(s))
        self.entrees = []
        for s in self.chaine(self.u32(48)):
            for k in range(SS // 128):
                self.entrees.append(self.pos(s) + 128 * k)
        mini_fat = b"".join(self.secteur(s) for s in self.chaine(self.u32(60)))
        self.mini_fat = struct.unpack(f"<{len(mini_fat) // 4}I", mini_fat)
        racine = self.entrees[0]
        self.mini_flux = b"".join(self.secteur(s) for s in self.chaine(self.u32(racine + 116)))

    def u16(self, p):
        return struct.unpack_from("<H", self.o, p)[0]

    def u32(self, p):
        return struct.unpack_from("<I", self.o, p)[0]

    def pos(self, s):
        return (s + 1) * SS

    def secteur(self, s):
        return bytes(self.o[self.pos(s):self.pos(s) + SS])

    def chaine(self, s, table=None):
        table = self.fat if table is None else table
        r = []
        while s not in (FIN, LIBRE):
            r.append(s)
            s = table[s]
        return r

    def nom(self, e):
        n = self.u16(e + 64)
        return self.o[e:e + max(n - 2, 0)].decode("utf-16-le")

    def flux(self):
        """{nom: octets} des flux sous la racine (les sources n'ont pas de stockage)."""
        r = {}
        for e in self.entrees[1:]:
            if self.o[e + 66] != 2:
                continue
            taille, debut = self.u32(e + 120), self.u32(e + 116)
            if taille < 4096:
                d = b"".join(self.mini_flux[m * 64:m * 64 + 64]
                             for m in self.chaine(debut, self.mini_fat))
            else:
                d = b"".join(self.secteur(s) for s in self.chaine(debut))
            r[self.nom(e)] = d[:taille]
        return r

    def places_workbook(self):
        """Position dans le fichier de chaque octet du flux Workbook (hors mini-flux)."""
        e = next(e for e in self.entrees if self.nom(e) == "Workbook")
        taille = self.u32(e + 120)
        assert taille >= 4096
        places = [self.pos(s) + k for s in self.chaine(self.u32(e + 116)) for k in range(SS)]
        return places[:taille]


def ecrire_ole(flux, mini_fat_annoncee=None):
    """Fichier composé neuf (version 3) : FAT, répertoire, mini-FAT et mini-flux, flux.
    `mini_fat_annoncee` : compte de mini-FAT écrit dans l'en-tête à la place du vrai."""
    noms = sorted(flux, key=lambda n: (len(n), n.upper()))
    petits = [n for n in noms if len(flux[n]) < 4096]
    mini, premiers_mini = b"", {}
    for n in petits:
        premiers_mini[n] = len(mini) // 64
        mini += flux[n] + b"\0" * (-len(flux[n]) % 64)
    mini_fat = []
    for n in petits:
        k = (len(flux[n]) + 63) // 64
        debut = premiers_mini[n]
        mini_fat += [debut + i + 1 for i in range(k - 1)] + [FIN]
    # Secteurs : [FAT…][répertoire…][mini-FAT…][mini-flux…][flux…]
    nb_rep = (len(noms) + 1 + 3) // 4
    nb_mini_fat = (len(mini_fat) * 4 + SS - 1) // SS
    nb_mini = (len(mini) + SS - 1) // SS
    grands = [(n, (len(flux[n]) + SS - 1) // SS) for n in noms if n not in petits]
    nb_donnees = nb_rep + nb_mini_fat + nb_mini + sum(k for _, k in grands)
    nb_fat = 1
    while nb_fat * 128 < nb_fat + nb_donnees:
        nb_fat += 1
    assert nb_fat <= 109
    fat, places = [MARQUE_FAT] * nb_fat, {}

    def suite(k):
        debut = len(fat)
        fat.extend([debut + i + 1 for i in range(k - 1)] + [FIN] if k else [])
        return debut if k else FIN

    rep = suite(nb_rep)
    premier_mini_fat = suite(nb_mini_fat)
    premier_mini = suite(nb_mini)
    for n, k in grands:
        places[n] = suite(k)
    fat += [LIBRE] * (nb_fat * 128 - len(fat))

    def entree(nom, genre, debut, taille, droite=LIBRE, enfant=LIBRE):
        n = nom.encode("utf-16-le")
        e = bytearray(128)
        e[:len(n)] = n
        struct.pack_into("<HBB", e, 64, len(n) + 2, genre, 1)
        struct.pack_into("<III", e, 68, LIBRE, droite, enfant)
        struct.pack_into("<II", e, 116, debut, taille)
        return bytes(e)

    # Arbre : la racine a pour enfant le premier nom, chaque nom pour frère droit le suivant.
    repertoire = entree("Root Entry", 5, premier_mini if mini else FIN, len(mini),
                        enfant=1 if noms else LIBRE)
    for i, n in enumerate(noms):
        debut = premiers_mini[n] if n in petits else places[n]
        repertoire += entree(n, 2, debut, len(flux[n]), droite=i + 2 if i + 1 < len(noms) else LIBRE)
    repertoire = bytearray(repertoire + bytes(nb_rep * SS - len(repertoire)))
    for k in range(len(noms) + 1, nb_rep * 4):  # entrées inutilisées
        struct.pack_into("<III", repertoire, 128 * k + 68, LIBRE, LIBRE, LIBRE)

    entete = bytearray(SS)
    entete[:8] = bytes.fromhex("D0CF11E0A1B11AE1")
    struct.pack_into("<HHHHH", entete, 24, 0x3E, 3, 0xFFFE, 9, 6)
    struct.pack_into("<IIIIIIIII", entete, 44, nb_fat, rep, 0, 4096,
                     premier_mini_fat, nb_mini_fat if mini_fat_annoncee is None else mini_fat_annoncee,
                     FIN, 0, 0)
    difat = list(range(nb_fat)) + [LIBRE] * (109 - nb_fat)
    struct.pack_into("<109I", entete, 76, *difat)
    corps = struct.pack(f"<{len(fat)}I", *fat) + repertoire
    corps += struct.pack(f"<{len(mini_fat)}I", *mini_fat) + bytes(nb_mini_fat * SS - 4 * len(mini_fat))
    corps += mini + bytes(nb_mini * SS - len(mini))
    for n, k in grands:
        corps += flux[n] + bytes(k * SS - len(flux[n]))
    return bytes(entete) + corps


# ---- Enregistrements BIFF ----

def enregistrements(flux):
    """(position, type, longueur) de chaque enregistrement du flux Workbook."""
    r, p = [], 0
    while p + 4 <= len(flux):
        t, n = struct.unpack_from("<HH", flux, p)
        if t == 0 and n == 0 and not any(flux[p:]):
            break
        r.append((p, t, n))
        p += 4 + n
    return r


def chaine_longue(flux, feuille, ligne, colonne, texte):
    """Ajoute `texte` (Latin-1) au bout de la table des chaînes, en CONTINUE de 8224 octets,
    et fait renvoyer la case (feuille, ligne, colonne) à ce texte."""
    flux = bytearray(flux)
    enr = enregistrements(flux)
    i_sst = next(i for i, (_, t, _) in enumerate(enr) if t == 0x00FC)
    fin = i_sst
    while enr[fin + 1][1] == 0x003C:
        fin += 1
    ajout, reste, premier = b"", texte.encode("latin-1"), True
    while reste:
        entete = struct.pack("<HB", len(texte), 0) if premier else b"\0"
        morceau, reste = reste[:8224 - len(entete)], reste[8224 - len(entete):]
        ajout += struct.pack("<HH", 0x003C, len(entete) + len(morceau)) + entete + morceau
        premier = False
    insertion = enr[fin][0] + 4 + enr[fin][2]
    nb = struct.unpack_from("<I", flux, enr[i_sst][0] + 8)[0]
    struct.pack_into("<II", flux, enr[i_sst][0] + 4,
                     struct.unpack_from("<I", flux, enr[i_sst][0] + 4)[0], nb + 1)
    # Les positions absolues au-delà de l'ajout avancent : BOUNDSHEET et INDEX.
    decalage = len(ajout)
    bof_feuille = None
    for p, t, n in enr:
        if t == 0x0085:
            debut = struct.unpack_from("<I", flux, p + 4)[0]
            struct.pack_into("<I", flux, p + 4, debut + decalage)
            if flux[p + 4 + 8:p + 4 + 8 + flux[p + 4 + 6]].decode("latin-1") == feuille:
                bof_feuille = debut
        if t == 0x020B:
            for o in range(p + 4 + 12, p + 4 + n, 4):
                v = struct.unpack_from("<I", flux, o)[0]
                if v:
                    struct.pack_into("<I", flux, o, v + decalage)
    assert bof_feuille is not None, feuille
    case = next(p for p, t, n in enr if t == 0x00FD and p > bof_feuille
                and struct.unpack_from("<HH", flux, p + 4) == (ligne, colonne))
    struct.pack_into("<I", flux, case + 4 + 6, nb)
    return bytes(flux[:insertion] + ajout + flux[insertion:])


def adresse(ligne, colonne):
    lettres = ""
    colonne += 1
    while colonne:
        colonne, r = divmod(colonne - 1, 26)
        lettres = chr(65 + r) + lettres
    return f"{lettres}{ligne + 1}"


# ---- Les dérivés ----

def fat_chainee(ole):
    """FAT non marquée : l'entrée de chaque secteur de FAT porte le secteur de FAT suivant, ou
    fin de chaîne, comme une chaîne de données."""
    for i, s in enumerate(ole.secteurs_fat):
        suivant = ole.secteurs_fat[i + 1] if i + 1 < len(ole.secteurs_fat) else FIN
        place = ole.pos(ole.secteurs_fat[s // 128]) + 4 * (s % 128)
        struct.pack_into("<I", ole.o, place, suivant)
    return bytes(ole.o), None


def racine_r(ole):
    """Racine nommée « R » : longueur 2, sans zéro final."""
    e = ole.entrees[0]
    ole.o[e:e + 64] = b"R\0" + bytes(62)
    struct.pack_into("<H", ole.o, e + 64, 2)
    return bytes(ole.o), None


def mini_fat_vide(ole):
    """Le seul flux Workbook (rien dans le mini-flux), mais un secteur de mini-FAT annoncé par
    l'en-tête sans aucune chaîne."""
    return ecrire_ole({"Workbook": ole.flux()["Workbook"]}, mini_fat_annoncee=1), None


def formules_anciennes(ole):
    """Chaque FORMULA (0x0006) prend le numéro d'Excel 4 (0x0406) ou d'Excel 3 (0x0206), tour
    à tour, sans rien changer d'autre : même disposition BIFF8."""
    places = ole.places_workbook()
    flux = bytes(ole.o[p] for p in places)
    nb = 0
    for p, t, _ in enregistrements(flux):
        if t == 0x0006:
            nouveau = (0x0406, 0x0206)[nb % 2]
            ole.o[places[p]], ole.o[places[p + 1]] = nouveau & 0xFF, nouveau >> 8
            nb += 1
    assert nb >= 4, nb
    return bytes(ole.o), None


TEXTE_LONG = "".join(chr(0x41 + (i * 7) % 26) for i in range(32770))


def chaine_trop_longue(ole):
    """Une chaîne de 32 770 caractères (plus qu'une case n'en tient) dans la table des chaînes,
    montrée par Avant!A1."""
    flux = ole.flux()
    flux["Workbook"] = chaine_longue(flux["Workbook"], "Avant", 0, 0, TEXTE_LONG)
    return ecrire_ole(flux), ("Avant", "A1", ["texte", TEXTE_LONG])


DERIVES = [
    ("fat-chainee-libreoffice", "mini-libreoffice", fat_chainee),
    ("racine-r-gnumeric", "mini-gnumeric", racine_r),
    ("mini-fat-vide-gnumeric", "mini-gnumeric", mini_fat_vide),
    ("formules-anciennes-gnumeric", "graphique-gnumeric", formules_anciennes),
    ("chaine-longue-libreoffice", "mini-libreoffice", chaine_trop_longue),
]


def main(dossier):
    for nom, source, deriver in DERIVES:
        with open(os.path.join(dossier, source + ".xls"), "rb") as f:
            octets, case = deriver(Ole(f.read()))
        with open(os.path.join(dossier, source + ".json"), encoding="utf-8") as f:
            attendu = json.load(f)
        attendu["classeur"] = nom + ".xls"
        if case:
            feuille, adr, valeur = case
            next(x for x in attendu["feuilles"] if x["nom"] == feuille)["cases"][adr] = valeur
        with open(os.path.join(dossier, nom + ".xls"), "wb") as f:
            f.write(octets)
        with open(os.path.join(dossier, nom + ".json"), "w", encoding="utf-8") as f:
            f.write(json_attendu(attendu))
    # Des écarts que les autres lecteurs acceptent : ils doivent y lire les mêmes valeurs.
    verifier([os.path.join(dossier, nom + ".xls") for nom, _, _ in DERIVES])


if __name__ == "__main__":
    RACINE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(RACINE, "tests", "data", "classeurs"))
