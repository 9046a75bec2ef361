#!/usr/bin/python3
"""Chaque classeur de test committé, relu par un lecteur indépendant (xlrd strict, LibreOffice,
Gnumeric) ou par notre moteur (outil classeur), donne exactement les valeurs attendues de son
JSON ; le conteneur passe olefile strict et gsf.
Usage : test_classeurs.py xlrd|libreoffice|gnumeric|conteneur|zarvo CHEMIN_DE_CLASSEUR"""

import glob
import os
import sys
import unittest

sys.dont_write_bytecode = True
RACINE = os.environ.get("ZARVO_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(RACINE, "outils", "lecteurs"))

import lecteurs  # noqa: E402

DOSSIER = os.path.join(RACINE, "tests", "data", "classeurs")
LECTEUR = "xlrd"
PROGRAMME = None  # l'outil classeur, pour LECTEUR == "zarvo"


def classeurs():
    """(chemin .xls, chemin .json) de chaque classeur committé, plus la démonstration."""
    paires = [(x, x[:-4] + ".json") for x in sorted(glob.glob(os.path.join(DOSSIER, "*.xls")))]
    paires.append((os.path.join(RACINE, "exemples", "demo.xls"),
                   os.path.join(DOSSIER, "base-libreoffice.json")))
    return paires


class Classeurs(unittest.TestCase):
    def test_valeurs_identiques_au_json(self):
        paires = classeurs()
        if LECTEUR == "libreoffice":
            # Un seul lancement de LibreOffice pour tous les fichiers.
            lus = lecteurs.lire_libreoffice([x for x, _ in paires])
        elif LECTEUR == "zarvo":
            # Notre moteur, par l'outil classeur, sur les plages qui couvrent les cases attendues.
            lus = {x: lecteurs.lire_classeur(x, PROGRAMME, lecteurs.plages_attendues(
                lecteurs.charger_attendu(j))) for x, j in paires}
        else:
            lus = {x: lecteurs.lire(LECTEUR, [x])[x] for x, _ in paires}
        for x, j in paires:
            with self.subTest(classeur=os.path.basename(x)):
                attendu = lecteurs.charger_attendu(j)
                self.assertGreater(sum(len(f["cases"]) for f in attendu["feuilles"]), 0)
                self.assertEqual(lecteurs.comparer(attendu, lus[x]), [])


class CorpusDuFuzz(unittest.TestCase):
    def test_xlrd_lit_comme_nous(self):
        """Les classeurs du corpus (formules : résultats texte, booléens, erreurs) n'ont pas de
        JSON : xlrd strict en est le juge."""
        corpus = sorted(glob.glob(os.path.join(RACINE, "fuzz", "corpus", "*.xls")))
        self.assertGreaterEqual(len(corpus), 4)
        for x in corpus:
            with self.subTest(classeur=os.path.basename(x)):
                attendu = lecteurs.lire_xlrd(x)
                lu = lecteurs.lire_classeur(x, PROGRAMME, lecteurs.plages_attendues(attendu))
                self.assertEqual(lecteurs.comparer(attendu, lu), [])


class Conteneur(unittest.TestCase):
    def test_olefile_strict_et_gsf(self):
        for x, _ in classeurs():
            with self.subTest(classeur=os.path.basename(x)):
                flux = lecteurs.controler_conteneur(x)
                self.assertIn("Workbook", flux)


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1] in ("xlrd", "libreoffice", "gnumeric", "conteneur", "zarvo"):
        LECTEUR = sys.argv.pop(1)
    if LECTEUR == "zarvo":
        PROGRAMME = sys.argv.pop(1)
    if LECTEUR == "conteneur":
        unittest.main(defaultTest="Conteneur", verbosity=2)
    elif LECTEUR == "zarvo":
        unittest.main(defaultTest=["Classeurs", "CorpusDuFuzz"], verbosity=2)
    else:
        unittest.main(defaultTest="Classeurs", verbosity=2)
