#!/usr/bin/python3
"""Les lecteurs indépendants eux-mêmes, sans tableur : lecture du XML OpenDocument (cases
répétées, blancs, genres), normalisation des nombres, correspondance des genres de xlrd,
comparaison et refus."""

import contextlib
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


def lire_table(corps, nom="F"):
    xml = ENTETE + f'<table:table table:name="{nom}">' + corps + "</table:table>" + PIED
    return lecteurs.lire_odf_xml(ET.fromstring(xml))["feuilles"][0]["cases"]


def case(attributs, contenu=""):
    return f"<table:table-row><table:table-cell {attributs}>{contenu}</table:table-cell></table:table-row>"


class LectureOpenDocument(unittest.TestCase):
    def test_genres_et_valeurs(self):
        cas = [
            ('office:value-type="float" office:value="75"', "", ["nombre", 75]),
            ('office:value-type="float" office:value="75.0"', "", ["nombre", 75]),
            ('office:value-type="float" office:value="0.1"', "", ["nombre", 0.1]),
            ('office:value-type="float" office:value="-1E-300"', "", ["nombre", -1e-300]),
            ('office:value-type="percentage" office:value="0.25"', "", ["nombre", 0.25]),
            ('office:value-type="currency" office:value="12.5"', "", ["nombre", 12.5]),
            ('office:value-type="date" office:date-value="2026-06-21"', "", ["nombre", 46194]),
            ('office:value-type="date" office:date-value="1899-12-30T12:00:00"', "", ["nombre", 0.5]),
            ('office:value-type="time" office:time-value="PT18H00M00S"', "", ["nombre", 0.75]),
            ('office:value-type="boolean" office:boolean-value="true"', "", ["nombre", 1]),
            ('office:value-type="boolean" office:boolean-value="false"', "", ["nombre", 0]),
            ('office:value-type="string"', "<text:p>75</text:p>", ["texte", "75"]),
            ('office:value-type="string" office:string-value="vrai"', "<text:p>affiché</text:p>",
             ["texte", "vrai"]),
            ('office:value-type="string"', "<text:p>a</text:p><text:p>b</text:p>", ["texte", "a\nb"]),
            ('office:value-type="string"', '<text:p><text:s text:c="2"/>x<text:s/> y</text:p>',
             ["texte", "  x  y"]),
            ('office:value-type="string"', "<text:p>a<text:tab/>b<text:line-break/>c</text:p>",
             ["texte", "a\tb\nc"]),
            ('office:value-type="string"', '<text:p>  début   et fin </text:p>', ["texte", "début et fin "]),
            ('office:value-type="string"', '<text:p>gras <text:span>et <text:span>plus</text:span></text:span>'
             "</text:p>", ["texte", "gras et plus"]),
            ('office:value-type="string"', "<text:p></text:p>", None),
            ('office:value-type="string" office:string-value="" calcext:value-type="error"',
             "<text:p>#N/A</text:p>", ["texte", "#N/A"]),
            ("", "", None),
        ]
        for attributs, contenu, attendu in cas:
            with self.subTest(attributs=attributs, contenu=contenu):
                self.assertEqual(lire_table(case(attributs, contenu)).get("A1"), attendu)

    def test_repetitions_de_lignes_et_de_colonnes(self):
        corps = (
            '<table:table-row table:number-rows-repeated="3"><table:table-cell/></table:table-row>'
            "<table:table-row>"
            '<table:table-cell table:number-columns-repeated="2"/>'
            '<table:table-cell table:number-columns-repeated="3" office:value-type="float" office:value="7"/>'
            '<table:covered-table-cell table:number-columns-repeated="2" office:value-type="float" office:value="9"/>'
            '<table:table-cell office:value-type="string"><text:p>fin</text:p></table:table-cell>'
            "</table:table-row>"
            '<table:table-header-rows><table:table-row table:number-rows-repeated="2">'
            '<table:table-cell office:value-type="float" office:value="1"/></table:table-row>'
            "</table:table-header-rows>"
            '<table:table-row table:number-rows-repeated="1048570"><table:table-cell/></table:table-row>'
            '<table:table-row><table:table-cell office:value-type="float" office:value="2"/></table:table-row>'
        )
        self.assertEqual(lire_table(corps), {
            "C4": ["nombre", 7], "D4": ["nombre", 7], "E4": ["nombre", 7], "H4": ["texte", "fin"],
            "A5": ["nombre", 1], "A6": ["nombre", 1], "A1048577": ["nombre", 2],
        })

    def test_tables_des_graphiques_ignorees(self):
        corps = (
            '<table:shapes><draw:frame xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0">'
            '<draw:object><office:document><office:body><office:chart><table:table table:name="local-table">'
            '<table:table-row><table:table-cell office:value-type="float" office:value="1"/>'
            "</table:table-row></table:table></office:chart></office:body></office:document>"
            "</draw:object></draw:frame></table:shapes>"
            + case('office:value-type="float" office:value="2"'))
        xml = ENTETE + '<table:table table:name="F">' + corps + "</table:table>" + PIED
        lu = lecteurs.lire_odf_xml(ET.fromstring(xml))
        self.assertEqual(lu, {"feuilles": [{"nom": "F", "cases": {"A1": ["nombre", 2]}}]})

    def test_type_inconnu_refuse(self):
        with self.assertRaises(lecteurs.ErreurLecteur):
            lire_table(case('office:value-type="bizarre"'))


class Normalisation(unittest.TestCase):
    def test_nombres(self):
        cas = [(75.0, 75, int), (75, 75, int), (-0.0, 0, int), (0.5, 0.5, float),
               (2.0**53, 2.0**53, float), (2.0**53 - 1, 2**53 - 1, int), (1e300, 1e300, float),
               (-12.0, -12, int), (True, 1, int)]
        for entree, sortie, genre in cas:
            with self.subTest(entree=entree):
                resultat = lecteurs.normaliser_nombre(entree)
                self.assertEqual(resultat, sortie)
                self.assertIs(type(resultat), genre)

    def test_adresses(self):
        for ligne, colonne, texte in [(1, 1, "A1"), (973, 33, "AG973"), (65536, 256, "IV65536"),
                                      (10, 27, "AA10"), (2, 702, "ZZ2"), (3, 703, "AAA3")]:
            with self.subTest(texte=texte):
                self.assertEqual(lecteurs.adresse(ligne, colonne), texte)
                self.assertEqual(lecteurs.lire_adresse(texte), (ligne, colonne))
        for faux in ["", "A", "12", "a1", "A-1", "1A", "A1B"]:
            with self.subTest(faux=faux):
                with self.assertRaises(ValueError):
                    lecteurs.lire_adresse(faux)


class _FausseCase:
    def __init__(self, ctype, value):
        self.ctype, self.value = ctype, value


class GenresXlrd(unittest.TestCase):
    def test_correspondance(self):
        import xlrd

        cas = [
            (xlrd.XL_CELL_EMPTY, "", None),
            (xlrd.XL_CELL_BLANK, "", None),
            (xlrd.XL_CELL_TEXT, "", None),
            (xlrd.XL_CELL_TEXT, "75", ("texte", "75")),
            (xlrd.XL_CELL_NUMBER, 75.0, ("nombre", 75)),
            (xlrd.XL_CELL_NUMBER, 0.1, ("nombre", 0.1)),
            (xlrd.XL_CELL_DATE, 46194.0, ("nombre", 46194)),
            (xlrd.XL_CELL_BOOLEAN, 1, ("nombre", 1)),
            (xlrd.XL_CELL_BOOLEAN, 0, ("nombre", 0)),
            (xlrd.XL_CELL_ERROR, 0x2A, ("texte", "#N/A")),
            (xlrd.XL_CELL_ERROR, 0x07, ("texte", "#DIV/0!")),
        ]
        for ctype, valeur, attendu in cas:
            with self.subTest(ctype=ctype, valeur=valeur):
                self.assertEqual(lecteurs._case_xlrd(xlrd, _FausseCase(ctype, valeur)), attendu)


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
            ("n:0.30000000000000004\n", 3, 2, {(3, 2): ("nombre", 0.30000000000000004)}),
            ("n:-1e-300\tn:75.0\n", 1, 1, {(1, 1): ("nombre", -1e-300), (1, 2): ("nombre", 75)}),
            ("t:a\\tb\\nc\\rd\\\\e\n", 1, 1, {(1, 1): ("texte", "a\tb\nc\rd\\e")}),
            ("v:\tv:\nv:\tt:x\n", 5, 27, {(6, 28): ("texte", "x")}),
            ("t:É ł\nv:\nn:1\n", 1, 1, {(1, 1): ("texte", "É ł"), (3, 1): ("nombre", 1)}),
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

    def test_plages(self):
        attendu = {"feuilles": [
            {"nom": "Petite", "cases": {"B3": ["nombre", 1], "AG973": ["nombre", 2]}},
            {"nom": "Vide", "cases": {}},
            {"nom": "Loin", "cases": {"A1": ["texte", "x"], "IV65536": ["texte", "y"]}},
        ]}
        self.assertEqual(lecteurs.plages_attendues(attendu), {
            "Petite": ["A1:AH974"], "Vide": ["A1:B2"],
            "Loin": ["A1:IV1", "A2:IV2", "A65536:IV65536"]})


class Comparaison(unittest.TestCase):
    REFERENCE = {"feuilles": [
        {"nom": "A", "cases": {"A1": ["texte", "x"], "B2": ["nombre", 75], "C3": ["nombre", 0.5]}},
        {"nom": "B", "cases": {}},
    ]}

    def variante(self, feuille, adresse_case, valeur):
        copie = {"feuilles": [{"nom": f["nom"], "cases": dict(f["cases"])}
                              for f in self.REFERENCE["feuilles"]]}
        cases = copie["feuilles"][feuille]["cases"]
        if valeur is None:
            del cases[adresse_case]
        else:
            cases[adresse_case] = valeur
        return copie

    def test_egalite(self):
        self.assertEqual(lecteurs.comparer(self.REFERENCE, self.REFERENCE), [])

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
                ecarts = lecteurs.comparer(self.REFERENCE, self.variante(feuille, a, valeur))
                self.assertEqual(len(ecarts), 1, ecarts)
                self.assertIn(a, ecarts[0])

    def test_feuilles_dans_un_autre_ordre(self):
        inverse = {"feuilles": list(reversed(self.REFERENCE["feuilles"]))}
        ecarts = lecteurs.comparer(self.REFERENCE, inverse)
        self.assertEqual(len(ecarts), 1)
        self.assertIn("feuilles", ecarts[0])

    def test_limite(self):
        lu = {"feuilles": [{"nom": "A", "cases": {f"A{k}": ["nombre", k] for k in range(10, 60)}},
                           {"nom": "B", "cases": {}}]}
        ecarts = lecteurs.comparer(self.REFERENCE, lu, limite=5)
        self.assertEqual(len(ecarts), 6)
        self.assertEqual(ecarts[-1], "…")


def vivant(pid):
    """Vrai si le processus tourne encore (un zombie en attente de son parent est mort)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


class Refus(unittest.TestCase):
    def test_fichiers_qui_ne_sont_pas_des_classeurs(self):
        with tempfile.TemporaryDirectory(prefix="zarvo-test-") as tmp:
            contenus = {"vide.xls": b"", "texte.xls": "Nom;Prénom\n".encode() * 100,
                        "zeros.xls": b"\0" * 4096}
            for nom, contenu in contenus.items():
                chemin = os.path.join(tmp, nom)
                with open(chemin, "wb") as f:
                    f.write(contenu)
                for controle in (lecteurs.lire_xlrd, lecteurs.controler_conteneur):
                    with self.subTest(fichier=nom, controle=controle.__name__):
                        with self.assertRaises(lecteurs.ErreurLecteur):
                            controle(chemin)

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
