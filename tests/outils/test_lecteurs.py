#!/usr/bin/python3
"""Les lecteurs indépendants eux-mêmes, sans tableur. Ce que les classeurs du dépôt exercent déjà
n'est pas repris (test_classeurs.py : xlrd sur les booléens et erreurs du corpus du fuzz,
test_generateur.py : relecture de l'OpenDocument écrit) : ici les genres rares, et surtout la
capacité des lecteurs à échouer (écarts, contradictions, sorties illisibles, délais)."""

import contextlib
import copy
import io
import os
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True
RACINE = os.environ.get("ZARVO_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(RACINE, "outils", "lecteurs"))

import lecteurs  # noqa: E402

ENTETE = (
    '<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
    'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
    'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
    'xmlns:calcext="urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0">'
    "<office:body><office:spreadsheet>"
)
PIED = "</office:spreadsheet></office:body></office:document>"


def lire_table(corps):
    xml = ENTETE + '<table:table table:name="F">' + corps + "</table:table>" + PIED
    return lecteurs.lire_odf_xml(ET.fromstring(xml))["feuilles"][0]["cases"]


def case(attributs, contenu=""):
    return f"<table:table-row><table:table-cell {attributs}>{contenu}</table:table-cell></table:table-row>"


class LectureOpenDocument(unittest.TestCase):
    def test_genres_que_le_generateur_n_ecrit_pas(self):
        # Les textes, nombres, booléens, dates et pourcentages sont relus par test_generateur.
        cas = [
            ('office:value-type="currency" office:value="12.5"', "", ["nombre", 12.5]),
            ('office:value-type="time" office:time-value="PT18H00M00S"', "", ["nombre", 0.75]),
            ('office:value-type="string" office:string-value="vrai"', "<text:p>affiché</text:p>",
             ["texte", "vrai"]),
            ('office:value-type="string"', '<text:p>gras <text:span>et <text:span>plus</text:span></text:span>'
             "</text:p>", ["texte", "gras et plus"]),
            ('office:value-type="string" office:string-value="" calcext:value-type="error"',
             "<text:p>#N/A</text:p>", ["texte", "#N/A"]),
            ('office:value-type="string"', "<text:p></text:p>", None),
            ("", "", None),
        ]
        for attributs, contenu, attendu in cas:
            with self.subTest(attributs=attributs, contenu=contenu):
                self.assertEqual(lire_table(case(attributs, contenu)).get("A1"), attendu)
        with self.assertRaises(lecteurs.ErreurLecteur):
            lire_table(case('office:value-type="bizarre"'))

class Normalisation(unittest.TestCase):
    def test_nombres(self):
        cas = [(75.0, 75, int), (-0.0, 0, int), (0.5, 0.5, float), (2.0**53, 2.0**53, float),
               (2.0**53 - 1, 2**53 - 1, int), (True, 1, int)]
        for entree, sortie, genre in cas:
            with self.subTest(entree=entree):
                resultat = lecteurs.normaliser_nombre(entree)
                self.assertEqual(resultat, sortie)
                self.assertIs(type(resultat), genre)

    def test_adresses(self):
        for ligne, colonne, texte in [(1, 1, "A1"), (973, 33, "AG973"), (65536, 256, "IV65536"),
                                      (10, 27, "AA10"), (2, 52, "AZ2"), (2, 53, "BA2"),
                                      (2, 702, "ZZ2"), (3, 703, "AAA3")]:
            with self.subTest(texte=texte):
                self.assertEqual(lecteurs.adresse(ligne, colonne), texte)
                self.assertEqual(lecteurs.lire_adresse(texte), (ligne, colonne))
        for faux in ["", "A", "12", "a1", "A-1", "1A", "A1B"]:
            with self.subTest(faux=faux):
                with self.assertRaises(ValueError):
                    lecteurs.lire_adresse(faux)


class NombresExactsDeLibreOffice(unittest.TestCase):
    def classeur(self, cases):
        return {"feuilles": [{"nom": "F", "cases": dict(cases)}]}

    def test_le_binaire_remplace_le_texte_a_15_chiffres(self):
        texte = self.classeur({"A1": ["nombre", 0.333333333333333], "A2": ["texte", "0.3"],
                               "A3": ["nombre", 75], "A4": ["nombre", 5e-324],
                               "A5": ["nombre", -1.42857142857e-09]})
        binaire = self.classeur({"A1": ["nombre", 1 / 3], "A2": ["nombre", 0],
                                 "A3": ["nombre", 75], "A4": ["nombre", 5e-324],
                                 "A5": ["nombre", -1 / 7 * 1e-8]})
        lu = lecteurs._nombres_exacts(texte, binaire, "x.xls")
        self.assertEqual(lu["feuilles"][0]["cases"], {
            "A1": ["nombre", 1 / 3], "A2": ["texte", "0.3"], "A3": ["nombre", 75],
            "A4": ["nombre", 5e-324], "A5": ["nombre", -1 / 7 * 1e-8]})

    def test_contradictions_refusees(self):
        cas = {
            "valeur-differente": ["nombre", 0.3334],
            "texte-en-binaire": ["texte", "0.333"],
            "absent-en-binaire": None,
        }
        for nom, autre in cas.items():
            with self.subTest(cas=nom):
                texte = self.classeur({"A1": ["nombre", 0.333333333333333]})
                binaire = self.classeur({} if autre is None else {"A1": autre})
                with self.assertRaises(lecteurs.ErreurLecteur):
                    lecteurs._nombres_exacts(texte, binaire, "x.xls")


class SortieDeClasseur(unittest.TestCase):
    def test_cases(self):
        cas = [
            ("n:75\tt:75\tv:\n", 1, 1, {(1, 1): ("nombre", 75), (1, 2): ("texte", "75")}),
            ("n:-1e-300\tn:75.0\n", 1, 1, {(1, 1): ("nombre", -1e-300), (1, 2): ("nombre", 75)}),
            ("t:a\\tb\\nc\\rd\\\\e\n", 1, 1, {(1, 1): ("texte", "a\tb\nc\rd\\e")}),
            ("v:\tv:\nv:\tt:x\n", 5, 27, {(6, 28): ("texte", "x")}),
        ]
        for texte, ligne0, colonne0, attendu in cas:
            with self.subTest(texte=texte):
                self.assertEqual(lecteurs.lire_sortie_classeur(texte, ligne0, colonne0), attendu)

    def test_case_illisible(self):
        # Avec --types, même une ligne vide porte « v: » : une ligne sans rien est une faute.
        for texte in ["x:1\n", "75\n", "v:plein\n", "t:x\n\nn:1\n"]:
            with self.subTest(texte=texte):
                with self.assertRaises(lecteurs.ErreurLecteur):
                    lecteurs.lire_sortie_classeur(texte)

class Comparaison(unittest.TestCase):
    REFERENCE = {"feuilles": [
        {"nom": "A", "cases": {"A1": ["texte", "x"], "B2": ["nombre", 75], "C3": ["nombre", 0.5]}},
        {"nom": "B", "cases": {}},
    ]}

    def test_chaque_ecart_est_vu(self):
        cas = {
            "genre": (0, "B2", ["texte", "75"]),
            "valeur": (0, "B2", ["nombre", 76]),
            "flottant-au-lieu-d-entier": (0, "B2", ["nombre", 75.0]),
            "case-manquante": (0, "A1", None),
            "case-en-trop": (1, "Z9", ["texte", "intrus"]),
            "blanc-de-fin": (0, "A1", ["texte", "x "]),
        }
        for nom, (feuille, a, valeur) in cas.items():
            with self.subTest(cas=nom):
                variante = copy.deepcopy(self.REFERENCE)
                variante["feuilles"][feuille]["cases"][a] = valeur
                if valeur is None:
                    del variante["feuilles"][feuille]["cases"][a]
                ecarts = lecteurs.comparer(self.REFERENCE, variante)
                self.assertEqual(len(ecarts), 1, ecarts)
                self.assertIn(a, ecarts[0])
        inverse = {"feuilles": list(reversed(self.REFERENCE["feuilles"]))}
        self.assertIn("feuilles", lecteurs.comparer(self.REFERENCE, inverse)[0])
        # Au-delà de la limite, la liste s'arrête mais ne devient jamais vide.
        lu = {"feuilles": [{"nom": "A", "cases": {f"A{k}": ["nombre", k] for k in range(10, 60)}},
                           {"nom": "B", "cases": {}}]}
        ecarts = lecteurs.comparer(self.REFERENCE, lu, limite=5)
        self.assertEqual((len(ecarts), ecarts[-1]), (6, "…"))


def vivant(pid):
    """Vrai si le processus tourne encore (un zombie en attente de son parent est mort)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


class Refus(unittest.TestCase):
    def test_delai_depasse_tue_tout_le_groupe(self):
        with tempfile.TemporaryDirectory(prefix="zarvo-test-") as tmp:
            fichier_pid = os.path.join(tmp, "pid")
            # Le petit-fils (comme soffice.bin lancé par soffice) survivrait à son seul parent.
            script = f"sleep 120 >/dev/null 2>&1 & echo $! > {fichier_pid}; wait"
            with self.assertRaises(lecteurs.ErreurLecteur) as contexte:
                lecteurs.lancer(["sh", "-c", script], delai=1)
            self.assertIn("n'a pas fini", str(contexte.exception))
            with open(fichier_pid) as f:
                pid = int(f.read())
            for _ in range(50):
                if not vivant(pid):
                    break
                time.sleep(0.1)
            else:
                self.fail(f"le processus {pid} a survécu au délai")

    def test_programme_absent(self):
        with self.assertRaisesRegex(lecteurs.ErreurLecteur, "introuvable"):
            lecteurs.lancer(["zarvo-programme-qui-n-existe-pas"])

    def test_ligne_de_commande(self):
        self.assertEqual(lecteurs.main(["conteneur", os.path.join(
            RACINE, "tests", "data", "classeurs", "mini-libreoffice.xls")]), 0)
        with tempfile.NamedTemporaryFile(suffix=".xls") as f:
            f.write(b"pas un classeur")
            f.flush()
            erreur = io.StringIO()
            with contextlib.redirect_stderr(erreur):
                self.assertEqual(lecteurs.main(["xlrd", f.name]), 1)
            self.assertIn("xlrd refuse", erreur.getvalue())


if __name__ == "__main__":
    unittest.main(verbosity=2)
