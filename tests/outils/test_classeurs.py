#!/usr/bin/python3
"""Chaque classeur de test committé, lu par notre moteur (outil classeur), donne exactement les
valeurs attendues de son JSON ; les classeurs du corpus du fuzz, celles que lit xlrd strict.
Usage : test_classeurs.py CHEMIN_DE_L_OUTIL_CLASSEUR"""

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
PROGRAMME = None


class Classeurs(unittest.TestCase):
    def test_valeurs_identiques_au_json(self):
        """Les classeurs committés, plus la démonstration (mêmes valeurs que base-libreoffice)."""
        paires = [(x, x[:-4] + ".json") for x in sorted(glob.glob(os.path.join(DOSSIER, "*.xls")))]
        paires.append((os.path.join(RACINE, "exemples", "demo.xls"),
                       os.path.join(DOSSIER, "base-libreoffice.json")))
        for x, j in paires:
            with self.subTest(classeur=os.path.basename(x)):
                attendu = lecteurs.charger_attendu(j)
                self.assertGreater(sum(len(f["cases"]) for f in attendu["feuilles"]), 0)
                lu = lecteurs.lire_classeur(x, PROGRAMME, lecteurs.plages_attendues(attendu))
                self.assertEqual(lecteurs.comparer(attendu, lu), [])

    def test_corpus_du_fuzz_lu_comme_xlrd(self):
        """Le corpus (formules : résultats texte, booléens, erreurs) n'a pas de JSON : xlrd
        strict en est le juge."""
        corpus = sorted(glob.glob(os.path.join(RACINE, "fuzz", "corpus", "*.xls")))
        self.assertGreaterEqual(len(corpus), 4)
        for x in corpus:
            with self.subTest(classeur=os.path.basename(x)):
                attendu = lecteurs.lire_xlrd(x)
                lu = lecteurs.lire_classeur(x, PROGRAMME, lecteurs.plages_attendues(attendu))
                self.assertEqual(lecteurs.comparer(attendu, lu), [])


if __name__ == "__main__":
    PROGRAMME = sys.argv.pop(1)
    unittest.main(verbosity=2)
