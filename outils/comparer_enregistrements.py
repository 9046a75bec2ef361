#!/usr/bin/env python3
"""Compare les classeurs enregistrés par deux binaires `classeur` pour les mêmes écritures.

Usage : outils/comparer_enregistrements.py ANCIEN_CLASSEUR NOUVEAU_CLASSEUR FICHIER.xls...

Pour chaque feuille de calcul de chaque classeur, quelques centaines de cases sont écrites
(nombres, textes dont des caractères hors du plan de base, cases vidées ; dans des cases
existantes, des suites de cases, des cases vides et au-delà de la plage utilisée) par les deux
binaires avec --sortie ; les fichiers écrits doivent être identiques à l'octet, et un refus
doit être le même des deux côtés. Lancé à la main, pas par make test.
"""
import os
import random
import re
import subprocess
import sys
import tempfile

NB_ECRITURES = 300


def colonne(n):
    t = ""
    n += 1
    while n:
        n, r = divmod(n - 1, 26)
        t = chr(65 + r) + t
    return t


def lancer(binaire, *args):
    p = subprocess.run([binaire, *args], capture_output=True)
    return p.returncode, p.stdout, p.stderr


def valeur(h):
    genre = h.randrange(5)
    if genre == 0:
        return "v:"
    if genre == 1:
        return "n:%d" % h.randrange(-100000, 100000)
    if genre == 2:
        return "n:%r" % (h.random() * 10 ** h.randrange(-5, 12))
    longueur = h.choice([0, 1, 5, 40, 300, 3000])
    caracteres = "azé€中 😀"
    texte = "".join(h.choice(caracteres) for _ in range(longueur))
    return "t:" + texte if texte else "v:"


def ecritures(ancien, fichier, feuille, h):
    code, sortie, _ = lancer(ancien, "lire", "--types", fichier, feuille, "A1:AZ400")
    pleines, vides, derniere = [], [], 0
    if code == 0:
        for l, ligne in enumerate(sortie.decode().split("\n")[:400]):
            for c, case in enumerate(ligne.split("\t")):
                (vides if case == "v:" else pleines).append((l, c))
                if case != "v:":
                    derniere = max(derniere, l)
    cases = set()
    while len(cases) < NB_ECRITURES:
        tirage = h.randrange(10)
        if tirage < 5 and pleines:
            cases.add(h.choice(pleines))
        elif tirage < 8 and vides:
            cases.add(h.choice(vides[: (derniere + 2) * 52]))
        else:
            cases.add((derniere + 1 + h.randrange(60), h.randrange(256)))
    return ["%s%d=%s" % (colonne(c), l + 1, valeur(h)) for l, c in sorted(cases)]


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    ancien, nouveau, fichiers = sys.argv[1], sys.argv[2], sys.argv[3:]
    h = random.Random(1997)
    identiques = differents = refus = total = 0
    with tempfile.TemporaryDirectory() as dossier:
        for fichier in fichiers:
            code, sortie, _ = lancer(ancien, "feuilles", fichier)
            for feuille in sortie.decode().split("\n"):
                if not feuille:
                    continue
                liste = ecritures(ancien, fichier, feuille, h)
                # Une case refusée (formule partagée…) est retirée, pour que les autres
                # soient écrites ; le refus lui-même est comparé au premier tour.
                for essai in range(20):
                    resultats = enregistrer(ancien, nouveau, dossier, fichier, feuille, liste)
                    refusee = re.search(r"dans la case ([A-Z]+[0-9]+) ", resultats[0][1].decode())
                    if resultats[0] != resultats[1] or not refusee:
                        break
                    refus += 1
                    liste = [e for e in liste if not e.startswith(refusee.group(1) + "=")]
                total += 1
                meme = resultats[0] == resultats[1]
                identiques += meme
                differents += not meme
                etat = "identiques" if meme else "DIFFÉRENTS"
                if resultats[0][0] != 0:
                    etat += " (refus : %s)" % resultats[0][1].decode().strip()[:100]
                print("%s / %s : %d cases, %s" % (os.path.basename(fichier), feuille,
                                                   len(liste), etat))
    print("%d enregistrements comparés : %d identiques, %d différents ; %d cases refusées des "
          "deux côtés, retirées" % (total, identiques, differents, refus))
    sys.exit(1 if differents else 0)


def enregistrer(ancien, nouveau, dossier, fichier, feuille, liste):
    chemin_liste = os.path.join(dossier, "liste")
    with open(chemin_liste, "w", encoding="utf-8") as f:
        f.write("\n".join(liste) + "\n")
    resultats = []
    for binaire, nom in ((ancien, "a.xls"), (nouveau, "b.xls")):
        sortie_xls = os.path.join(dossier, nom)
        if os.path.exists(sortie_xls):
            os.remove(sortie_xls)
        r = lancer(binaire, "ecrire", "--sortie", sortie_xls, fichier, feuille,
                   "@" + chemin_liste)
        octets = open(sortie_xls, "rb").read() if os.path.exists(sortie_xls) else None
        resultats.append((r[0], r[2], octets))
    return resultats


if __name__ == "__main__":
    main()
