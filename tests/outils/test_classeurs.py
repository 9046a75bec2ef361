#!/usr/bin/python3
"""Chaque classeur de test committé, relu par un lecteur indépendant (xlrd strict, LibreOffice,
Gnumeric) ou par notre moteur (outil classeur), donne exactement les valeurs attendues de son
JSON ; le conteneur passe olefile strict et gsf.
Usage : test_classeurs.py xlrd|libreoffice|gnumeric|conteneur|zarvo CHEMIN_DE_CLASSEUR"""

import glob
import os
import shutil
import struct
import sys
import tempfile
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
    def test_les_classeurs_attendus_sont_la(self):
        noms = {os.path.basename(x) for x, _ in classeurs()}
        for variante in ("base", "mini", "clairseme", "textes", "sst-long", "graphique"):
            for ecrivain in ("libreoffice", "gnumeric"):
                self.assertIn(f"{variante}-{ecrivain}.xls", noms)

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

    def test_un_conteneur_abime_est_refuse(self):
        """Le contrôle doit savoir échouer : fichier tronqué ou à l'en-tête abîmé."""
        source = os.path.join(DOSSIER, "mini-libreoffice.xls")
        with open(source, "rb") as f:
            octets = f.read()
        abimes = {
            "tronque-au-milieu": octets[: len(octets) // 2 + 17],
            "signature": b"\0" * 8 + octets[8:],
            # Premier secteur du répertoire (octets 48..51) hors du fichier.
            "repertoire-hors-fichier": octets[:48] + b"\xff\xff\x00\x00" + octets[52:],
        }
        with tempfile.TemporaryDirectory(prefix="zarvo-test-") as tmp:
            for nom, contenu in abimes.items():
                with self.subTest(cas=nom):
                    chemin = os.path.join(tmp, nom + ".xls")
                    with open(chemin, "wb") as f:
                        f.write(contenu)
                    with self.assertRaises(lecteurs.ErreurLecteur):
                        lecteurs.controler_conteneur(chemin)


def _premier(flux, genre_cherche):
    """Position du premier enregistrement du genre donné dans un flux BIFF."""
    i = 0
    while struct.unpack_from("<H", flux, i)[0] != genre_cherche:
        i += 4 + struct.unpack_from("<H", flux, i + 2)[0]
    return i


class LecteursSaventEchouer(unittest.TestCase):
    """Un lecteur qui accepterait tout ne jugerait rien : un flux Workbook incohérent doit être
    refusé (xlrd) ou signalé sur stderr (Gnumeric)."""

    def test_flux_incoherent(self):
        import olefile

        source = os.path.join(DOSSIER, "mini-gnumeric.xls")
        # (enregistrement, format, décalage dans ses données, valeur) : l'indice d'un LABELSST
        # hors de la table des chaînes, la colonne 300 d'un RK (une feuille en a 256).
        cas = {"indice-sst": (0x00FD, "<I", 6, 0xFFFF), "colonne": (0x027E, "<H", 2, 300)}
        with tempfile.TemporaryDirectory(prefix="zarvo-test-") as tmp:
            for nom, (genre, forme, decalage, valeur) in cas.items():
                with self.subTest(cas=nom):
                    chemin = os.path.join(tmp, nom + ".xls")
                    shutil.copyfile(source, chemin)
                    ole = olefile.OleFileIO(chemin, write_mode=True)
                    flux = bytearray(ole.openstream("Workbook").read())
                    struct.pack_into(forme, flux, _premier(flux, genre) + 4 + decalage, valeur)
                    ole.write_stream("Workbook", bytes(flux))
                    ole.close()
                    with self.assertRaises(lecteurs.ErreurLecteur):
                        lecteurs.lire(LECTEUR, [chemin])


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1] in ("xlrd", "libreoffice", "gnumeric", "conteneur", "zarvo"):
        LECTEUR = sys.argv.pop(1)
    if LECTEUR == "zarvo":
        PROGRAMME = sys.argv.pop(1)
    if LECTEUR == "conteneur":
        unittest.main(defaultTest="Conteneur", verbosity=2)
    elif LECTEUR == "zarvo":
        unittest.main(defaultTest=["Classeurs", "CorpusDuFuzz"], verbosity=2)
    elif LECTEUR == "libreoffice":
        unittest.main(defaultTest="Classeurs", verbosity=2)
    else:
        unittest.main(defaultTest=["Classeurs", "LecteursSaventEchouer"], verbosity=2)
