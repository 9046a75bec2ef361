#!/usr/bin/python3
"""Juge des allers-retours d'écriture par des lecteurs que nous n'avons pas écrits.

    allers_retours.py DOSSIER

Pour chaque NOM.xls du dossier (le classeur écrit par le moteur) il faut NOM.orig.xls (l'original)
et NOM.ecritures.json (liste de {"feuille", "adresse", "genre": nombre|texte|vide, "valeur"}).
Chaque lecteur (xlrd strict, Gnumeric sans message, LibreOffice d'un seul lancement) lit
l'original et l'écrit : l'écrit doit être l'original où seules les cases écrites ont changé, et
prendre leur nouvelle valeur. Le conteneur passe olefile strict et `gsf list`.
Sortie : les écarts ; code 1 s'il y en a.
"""

import glob
import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "outils", "lecteurs"))
import lecteurs  # noqa: E402


def attendu(original, ecritures):
    feuilles = {f["nom"]: dict(f["cases"]) for f in original["feuilles"]}
    for e in ecritures:
        cases = feuilles[e["feuille"]]
        if e["genre"] == "vide" or (e["genre"] == "texte" and e["valeur"] == ""):
            cases.pop(e["adresse"], None)
        elif e["genre"] == "nombre":
            cases[e["adresse"]] = ["nombre", lecteurs.normaliser_nombre(float(e["valeur"]))]
        else:
            cases[e["adresse"]] = ["texte", e["valeur"]]
    return {"feuilles": [{"nom": f["nom"], "cases": feuilles[f["nom"]]}
                         for f in original["feuilles"]]}


def proches(attendu, lu):
    """LibreOffice écrit les nombres de son .fods avec 15 chiffres significatifs : un double plus
    précis n'y revient qu'arrondi. Les autres lecteurs sont jugés à l'égalité exacte."""
    ecarts = []
    for d in lecteurs.comparer(attendu, lu, limite=10**9):
        feuille, reste = d.split("!", 1)
        adresse = reste.split(" ", 1)[0]
        va = {f["nom"]: f["cases"] for f in attendu["feuilles"]}[feuille].get(adresse)
        vl = {f["nom"]: f["cases"] for f in lu["feuilles"]}[feuille].get(adresse)
        if va and vl and va[0] == vl[0] == "nombre" \
                and abs(va[1] - vl[1]) <= 1e-14 * max(abs(va[1]), 1e-300):
            continue
        ecarts.append(d)
    return ecarts


def main():
    dossier = sys.argv[1]
    ecrits = sorted(c for c in glob.glob(os.path.join(dossier, "*.xls"))
                    if not c.endswith(".orig.xls"))
    originaux = {c: c[:-4] + ".orig.xls" for c in ecrits}
    ecarts = []
    try:
        # Sans la relecture exacte des nombres : elle passe par un .xls que LibreOffice 7.4
        # réécrit lui-même, et son écrivain coupe les paires de substitution des longs textes
        # hors du plan de base (xlrd refuse alors son fichier). Les nombres de LibreOffice sont
        # jugés à 15 chiffres (proches), ceux de xlrd et de Gnumeric à l'égalité exacte.
        lus_lo = lecteurs.lire_libreoffice(ecrits + list(originaux.values()), exact=False)
    except lecteurs.ErreurLecteur as e:
        ecarts.append(f"libreoffice : {e}")
        lus_lo = None
    for c in ecrits:
        with open(c[:-4] + ".ecritures.json", encoding="utf-8") as f:
            ecritures = json.load(f)
        nom = os.path.basename(c)
        try:
            lecteurs.controler_conteneur(c)
        except lecteurs.ErreurLecteur as e:
            ecarts.append(f"{nom} conteneur : {e}")
        lecture = {"xlrd": lecteurs.lire_xlrd, "gnumeric": lecteurs.lire_gnumeric}
        for lecteur, lire in lecture.items():
            try:
                avant, apres = lire(originaux[c]), lire(c)
            except lecteurs.ErreurLecteur as e:
                ecarts.append(f"{nom} {lecteur} : {e}")
                continue
            for d in lecteurs.comparer(attendu(avant, ecritures), apres, limite=10):
                ecarts.append(f"{nom} {lecteur} : {d}")
        if lus_lo is not None:
            for d in proches(attendu(lus_lo[originaux[c]], ecritures), lus_lo[c])[:10]:
                ecarts.append(f"{nom} libreoffice : {d}")
    for e in ecarts:
        print(e)
    print(f"{len(ecrits)} classeur(s), {len(ecarts)} écart(s)")
    return 1 if ecarts else 0


if __name__ == "__main__":
    sys.exit(main())
