#!/usr/bin/python3
"""Générateur des classeurs de test : écrit chaque variante en OpenDocument, la fait convertir
en .xls par LibreOffice et par Gnumeric, et écrit à côté les valeurs attendues (JSON) tirées du
modèle lui-même, jamais relues d'un tableur.

    generer.py --sortie DOSSIER [--variantes base,mini,…] [--sans-conversion] [--demo FICHIER]
"""

import argparse
import json
import os
import shutil
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

ICI = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, ICI)
sys.path.insert(0, os.path.join(ICI, "..", "lecteurs"))

import donnees  # noqa: E402
import odf  # noqa: E402
import lecteurs  # noqa: E402
from lecteurs import adresse, normaliser_nombre  # noqa: E402

ECRIVAINS = ("libreoffice", "gnumeric")
DELAI = 600


def valeur_attendue(case):
    """(genre, valeur) que tout lecteur doit rendre pour la case, ou None si elle est vide.
    Booléens, dates et pourcentages sont des nombres dans le .xls ; une erreur est son texte."""
    if case.genre == "vide":
        return None
    if case.genre in ("texte", "erreur"):
        return None if case.valeur == "" else ("texte", case.valeur)
    # Même règle que les lecteurs : entier si le double n'a pas de partie fractionnaire.
    return ("nombre", normaliser_nombre(case.valeur[0] if case.genre == "date" else case.valeur))


def attendu(feuilles, classeur, ecrivain):
    resultat = {"format": 1, "classeur": classeur, "ecrivain": ecrivain, "feuilles": []}
    for feuille in feuilles:
        cases = {}
        formules = []
        for (ligne, colonne) in sorted(feuille.cases):
            case = feuille.cases[(ligne, colonne)]
            v = valeur_attendue(case)
            if v is not None:
                cases[adresse(ligne, colonne)] = list(v)
                if case.formule:
                    formules.append(adresse(ligne, colonne))
        resultat["feuilles"].append({"nom": feuille.nom, "cases": cases, "formules": formules})
    return resultat


def json_attendu(donnees_attendues):
    """JSON lisible en diff : une case par ligne, dans l'ordre des lignes puis des colonnes."""
    morceaux = ["{\n"]
    for cle in ("format", "classeur", "ecrivain"):
        morceaux.append(f' "{cle}": {json.dumps(donnees_attendues[cle], ensure_ascii=False)},\n')
    morceaux.append(' "feuilles": [\n')
    for i, feuille in enumerate(donnees_attendues["feuilles"]):
        morceaux.append('  {"nom": ' + json.dumps(feuille["nom"], ensure_ascii=False) + ',\n')
        morceaux.append('   "formules": ' + json.dumps(feuille["formules"]) + ',\n')
        morceaux.append('   "cases": {')
        lignes = [
            "\n    " + json.dumps(a) + ": " + json.dumps(v, ensure_ascii=False)
            for a, v in feuille["cases"].items()
        ]
        morceaux.append(",".join(lignes))
        morceaux.append("\n   }}" + ("," if i + 1 < len(donnees_attendues["feuilles"]) else "") + "\n")
    morceaux.append(" ]\n}\n")
    return "".join(morceaux)


# Profil neuf à chaque appel : recalcul de toutes les formules au chargement d'un document
# OpenDocument, sinon LibreOffice écrit 0 comme résultat en cache d'une formule texte.
REGLAGES_LO = """<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="ODFRecalcMode" oor:op="fuse"><value>0</value></prop></item>
</oor:items>
"""


def profil_prive(dossier):
    profil = os.path.join(dossier, "profil")
    os.makedirs(os.path.join(profil, "user"), exist_ok=True)
    with open(os.path.join(profil, "user", "registrymodifications.xcu"), "w", encoding="utf-8") as f:
        f.write(REGLAGES_LO)
    return profil


def convertir_libreoffice(sources, dossier_sortie, format_sortie="xls"):
    """Une seule instance de LibreOffice pour tous les fichiers, avec un profil à elle."""
    if not sources:
        return
    with tempfile.TemporaryDirectory(prefix="zarvo-lo-") as tmp:
        profil = profil_prive(tmp)
        lecteurs.convertir_libreoffice(list(sources), dossier_sortie, format_sortie, profil)


def convertir_gnumeric(source, cible, format_sortie="Gnumeric_Excel:excel_biff8"):
    code, _, erreurs = lecteurs.lancer(["ssconvert", "-T", format_sortie, source, cible], DELAI)
    if code != 0 or not os.path.exists(cible):
        raise RuntimeError(f"ssconvert a échoué ({code}) : {erreurs}")


def generer(sortie, variantes, conversion=True, demo=None, forcer=False):
    """Écrit les JSON attendus et, avec `conversion`, les .xls des deux écrivains. Une variante
    dont le JSON n'a pas changé et dont les deux .xls existent n'est pas reconvertie (sauf
    `forcer`) : Gnumeric ne donne pas deux fois les mêmes octets, inutile de changer les
    fichiers committés pour rien."""
    os.makedirs(sortie, exist_ok=True)
    modeles = {nom: donnees.VARIANTES[nom]() for nom in variantes}
    a_convertir = {}
    for nom, feuilles in modeles.items():
        inchangee = True
        for ecrivain in ECRIVAINS:
            classeur = f"{nom}-{ecrivain}.xls"
            texte = json_attendu(attendu(odf.pour_ecrivain(feuilles, ecrivain), classeur, ecrivain))
            chemin = os.path.join(sortie, f"{nom}-{ecrivain}.json")
            if os.path.exists(chemin):
                with open(chemin, encoding="utf-8") as f:
                    inchangee = inchangee and f.read() == texte
            else:
                inchangee = False
            inchangee = inchangee and os.path.exists(os.path.join(sortie, classeur))
            with open(chemin, "w", encoding="utf-8") as f:
                f.write(texte)
        if forcer or not inchangee:
            a_convertir[nom] = feuilles
    modeles = a_convertir
    if not conversion or not modeles:
        if demo and conversion:
            _copier_demo(sortie, demo)
        return
    with tempfile.TemporaryDirectory(prefix="zarvo-gen-") as tmp:
        sources_lo = []
        taches_gn = []
        for nom, feuilles in modeles.items():
            chemin_fods = os.path.join(tmp, f"{nom}-libreoffice.fods")
            with open(chemin_fods, "w", encoding="utf-8") as f:
                f.write(odf.fods(odf.pour_ecrivain(feuilles, "libreoffice")))
            sources_lo.append(chemin_fods)
            chemin_ods = os.path.join(tmp, f"{nom}-gnumeric.ods")
            with open(chemin_ods, "wb") as f:
                f.write(odf.ods(odf.pour_ecrivain(feuilles, "gnumeric")))
            taches_gn.append((chemin_ods, os.path.join(sortie, f"{nom}-gnumeric.xls")))
        with ThreadPoolExecutor(max_workers=2) as pool:
            lo = pool.submit(convertir_libreoffice, sources_lo, sortie)
            for source, cible in taches_gn:
                convertir_gnumeric(source, cible)
            lo.result()
    verifier([os.path.join(sortie, f"{nom}-{e}.xls") for nom in modeles for e in ECRIVAINS])
    if demo:
        _copier_demo(sortie, demo)


def verifier(chemins):
    """Chaque classeur, relu par xlrd strict, LibreOffice et Gnumeric, tient exactement les
    valeurs attendues de son JSON, et son conteneur passe olefile strict et gsf : sinon les tests
    jugeraient notre moteur sur des données fausses."""
    ecarts = []
    for x in chemins:
        lecteurs.controler_conteneur(x)
    for lecteur in ("xlrd", "libreoffice", "gnumeric"):
        lus = lecteurs.lire(lecteur, chemins)
        for x in chemins:
            attendu = lecteurs.charger_attendu(x[:-4] + ".json")
            ecarts += [f"{os.path.basename(x)} ({lecteur}) : {e}"
                       for e in lecteurs.comparer(attendu, lus[x])]
    if ecarts:
        sys.exit("Valeurs lues différentes des valeurs attendues :\n" + "\n".join(ecarts))


# Macro Basic du profil privé : `--convert-to` ne sait pas poser de mot de passe.
MACRO_CHIFFRER = """<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE script:module PUBLIC "-//OpenOffice.org//DTD OfficeDocument 1.0//EN" "module.dtd">
<script:module xmlns:script="http://openoffice.org/2000/script" script:name="Module1" script:language="StarBasic">
Sub Chiffrer(source As String, cible As String)
  Dim ouverture(0) As New com.sun.star.beans.PropertyValue
  ouverture(0).Name = &quot;Hidden&quot;
  ouverture(0).Value = True
  doc = StarDesktop.loadComponentFromURL(ConvertToURL(source), &quot;_blank&quot;, 0, ouverture())
  Dim ecriture(1) As New com.sun.star.beans.PropertyValue
  ecriture(0).Name = &quot;FilterName&quot;
  ecriture(0).Value = &quot;MS Excel 97&quot;
  ecriture(1).Name = &quot;Password&quot;
  ecriture(1).Value = &quot;zarvo&quot;
  doc.storeToURL(ConvertToURL(cible), ecriture())
  doc.close(True)
End Sub
</script:module>
"""


def generer_refus(dossier, forcer=False):
    """Classeurs que le programme doit refuser, tirés de la petite variante : format Excel 95
    (BIFF5, écrit par Gnumeric : LibreOffice 7.4 ne l'écrit plus), un .xlsx (LibreOffice)
    renommé en .xls, un classeur protégé par mot de passe (LibreOffice, FILEPASS). Leurs octets
    changent à chaque fois (dates) : un fichier déjà là n'est remplacé qu'avec `forcer`."""
    os.makedirs(dossier, exist_ok=True)

    def poser(fichier, nom):
        if forcer or not os.path.exists(os.path.join(dossier, nom)):
            shutil.copyfile(fichier, os.path.join(dossier, nom))

    feuilles = donnees.mini()
    with tempfile.TemporaryDirectory(prefix="zarvo-refus-") as tmp:
        source = os.path.join(tmp, "xlsx-renomme.fods")
        with open(source, "w", encoding="utf-8") as f:
            f.write(odf.fods(odf.pour_ecrivain(feuilles, "libreoffice")))
        # Cette première conversion crée aussi le profil, et sa bibliothèque Basic « Standard ».
        profil = profil_prive(tmp)
        lecteurs.convertir_libreoffice([source], tmp, "xlsx", profil)
        poser(os.path.join(tmp, "xlsx-renomme.xlsx"), "xlsx-renomme.xls")
        module = os.path.join(profil, "user", "basic", "Standard", "Module1.xba")
        with open(module, "w", encoding="utf-8") as f:
            f.write(MACRO_CHIFFRER)
        cible = os.path.join(tmp, "chiffre.xls")
        code, _, erreurs = lecteurs.lancer(
            ["soffice", "-env:UserInstallation=file://" + profil, "--headless", "--norestore",
             f'macro:///Standard.Module1.Chiffrer("{source}","{cible}")'],
            DELAI, env=dict(os.environ, HOME=tmp))
        if code != 0 or not os.path.exists(cible):
            raise RuntimeError(f"LibreOffice n'a pas chiffré le classeur ({code}) : {erreurs}")
        poser(cible, "motdepasse-libreoffice.xls")
        source = os.path.join(tmp, "mini.ods")
        with open(source, "wb") as f:
            f.write(odf.ods(odf.pour_ecrivain(feuilles, "gnumeric")))
        convertir_gnumeric(source, os.path.join(tmp, "biff5-gnumeric.xls"),
                           "Gnumeric_Excel:excel_biff7")
        poser(os.path.join(tmp, "biff5-gnumeric.xls"), "biff5-gnumeric.xls")


def _copier_demo(sortie, demo):
    os.makedirs(os.path.dirname(os.path.abspath(demo)), exist_ok=True)
    shutil.copyfile(os.path.join(sortie, "base-libreoffice.xls"), demo)


def main():
    parseur = argparse.ArgumentParser(description="Génère les classeurs de test et leurs valeurs attendues.")
    parseur.add_argument("--sortie", required=True, help="dossier des .xls et .json")
    parseur.add_argument("--variantes", default=",".join(donnees.VARIANTES),
                         help="liste séparée par des virgules (défaut : toutes)")
    parseur.add_argument("--sans-conversion", action="store_true",
                         help="n'écrit que les JSON attendus (aucun tableur nécessaire)")
    parseur.add_argument("--demo", help="copie ici le classeur de base écrit par LibreOffice")
    parseur.add_argument("--refus", help="écrit aussi dans ce dossier les classeurs à refuser")
    parseur.add_argument("--forcer", action="store_true",
                         help="reconvertit même les variantes dont les données n'ont pas changé")
    parseur.add_argument("--fods", help="écrit aussi les .fods dans ce dossier (pour inspection)")
    args = parseur.parse_args()
    variantes = [v for v in args.variantes.split(",") if v]
    inconnues = [v for v in variantes if v not in donnees.VARIANTES]
    if inconnues:
        parseur.error("variante inconnue : " + ", ".join(inconnues))
    if args.fods:
        os.makedirs(args.fods, exist_ok=True)
        for nom in variantes:
            with open(os.path.join(args.fods, nom + ".fods"), "w", encoding="utf-8") as f:
                f.write(odf.fods(odf.pour_ecrivain(donnees.VARIANTES[nom](), "libreoffice")))
    generer(args.sortie, variantes, conversion=not args.sans_conversion, demo=args.demo,
            forcer=args.forcer)
    if args.refus and not args.sans_conversion:
        generer_refus(args.refus, args.forcer)


if __name__ == "__main__":
    main()
