#!/usr/bin/python3
"""Le générateur : les JSON committés sont ceux qu'il produit aujourd'hui, la base a la forme
que le programme attend, et l'écriture OpenDocument relue donne ce qu'on y a mis."""

import io
import os
import shutil
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zipfile

sys.dont_write_bytecode = True
RACINE = os.environ.get("ZARVO_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(RACINE, "outils", "generateur"))
sys.path.insert(0, os.path.join(RACINE, "outils", "lecteurs"))

import deriver  # noqa: E402
import donnees  # noqa: E402
import generer  # noqa: E402
import lecteurs  # noqa: E402
import odf  # noqa: E402

DOSSIER = os.path.join(RACINE, "tests", "data", "classeurs")


def cases_feuille(attendu, nom):
    return next(f["cases"] for f in attendu["feuilles"] if f["nom"] == nom)


def par_ligne(cases):
    lignes = {}
    for a, v in cases.items():
        ligne, colonne = lecteurs.lire_adresse(a)
        lignes.setdefault(ligne, {})[colonne] = v
    return lignes


class JsonCommittes(unittest.TestCase):
    def test_le_generateur_redonne_les_json_committes(self):
        with tempfile.TemporaryDirectory(prefix="zarvo-test-") as tmp:
            generer.generer(tmp, list(donnees.VARIANTES), conversion=False)
            produits = sorted(os.listdir(tmp))
            self.assertEqual(len(produits), 2 * len(donnees.VARIANTES))
            for nom in produits:
                with self.subTest(fichier=nom):
                    with open(os.path.join(tmp, nom), encoding="utf-8") as f:
                        neuf = f.read()
                    with open(os.path.join(DOSSIER, nom), encoding="utf-8") as f:
                        committe = f.read()
                    self.assertEqual(neuf, committe, "relancer outils/generateur/regenerer.sh")

    def test_les_derives_committes_sont_ceux_du_script(self):
        with tempfile.TemporaryDirectory(prefix="zarvo-test-") as tmp:
            for source in {s for _, s, _ in deriver.DERIVES}:
                for ext in (".xls", ".json"):
                    shutil.copyfile(os.path.join(DOSSIER, source + ext), os.path.join(tmp, source + ext))
            deriver.main(tmp)
            for nom, _, _ in deriver.DERIVES:
                for ext in (".xls", ".json"):
                    with self.subTest(fichier=nom + ext):
                        with open(os.path.join(tmp, nom + ext), "rb") as a, \
                                open(os.path.join(DOSSIER, nom + ext), "rb") as b:
                            self.assertEqual(a.read(), b.read(), "relancer outils/generateur/deriver.py")


class FormeDeLaBase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.attendu = lecteurs.charger_attendu(os.path.join(DOSSIER, "base-libreoffice.json"))
        cls.coureurs = par_ligne(cases_feuille(cls.attendu, "DYN_cyclist"))
        cls.equipes = par_ligne(cases_feuille(cls.attendu, "DYN_team"))

    def test_feuilles_autour_des_deux_feuilles_du_jeu(self):
        noms = [f["nom"] for f in self.attendu["feuilles"]]
        i, j = noms.index("DYN_cyclist"), noms.index("DYN_team")
        self.assertGreater(i, 0)
        self.assertLess(j, len(noms) - 1)
        for f in self.attendu["feuilles"]:
            if f["nom"] not in ("DYN_cyclist", "DYN_team"):
                genres = {v[0] for v in f["cases"].values()}
                self.assertEqual(genres, {"nombre", "texte"}, f["nom"])
        self.assertTrue(any(f["formules"] for f in self.attendu["feuilles"]))

    def test_coureurs_lignes_2_a_973_colonnes_a_ag(self):
        self.assertEqual(sorted(self.coureurs), list(range(1, 974)))
        for ligne, cases in self.coureurs.items():
            self.assertEqual(sorted(cases), list(range(1, 34)), f"ligne {ligne}")
        self.assertTrue(all(v[0] == "texte" for v in self.coureurs[1].values()))

    def test_identifiants_uniques_et_champion_une_fois(self):
        ids = [self.coureurs[r][1] for r in range(2, 974)]
        self.assertTrue(all(g == "nombre" and isinstance(v, int) for g, v in ids))
        valeurs = [v for _, v in ids]
        self.assertEqual(len(set(valeurs)), 972)
        self.assertEqual(valeurs.count(327), 1)

    def test_caracteristiques_realistes(self):
        sous = 0
        for r in range(2, 974):
            for c in range(10, 34):
                genre, v = self.coureurs[r][c]
                self.assertEqual(genre, "nombre")
                self.assertTrue(40 <= v <= 85, f"ligne {r} colonne {c} : {v}")
            sous += sum(self.coureurs[r][c + 1][1] < self.coureurs[r][c][1] for c in range(10, 34, 2))
        self.assertGreater(sous, 50)
        self.assertLess(sous, 972 * 12 // 5)

    def test_noms(self):
        noms = [self.coureurs[r][2][1] for r in range(2, 974)]
        self.assertTrue(all(isinstance(n, str) and n for n in noms))
        self.assertIn("É", {n[0] for n in noms})
        self.assertLess(len(set(noms)), len(noms), "quelques noms en double")
        self.assertGreater(sum(any(ord(ch) > 127 for ch in n) for n in noms), 50)
        prenoms = [self.coureurs[r][3][1] for r in range(2, 974)]
        self.assertTrue(any(any(ord(ch) > 255 for ch in p) for p in prenoms))

    def test_equipes_des_coureurs(self):
        equipes = [self.coureurs[r][4][1] for r in range(2, 974)]
        autorisees = set(donnees.LISTE_EQUIPES) | {13, 23}
        self.assertTrue(set(equipes) <= autorisees)
        self.assertGreater(equipes.count(61), 66, "la deuxième liste des libres doit servir")
        self.assertGreater(sum(e in (13, 23) for e in equipes), 0)

    def test_equipes_lignes_1_a_74(self):
        self.assertTrue(all(1 <= r <= 74 for r in self.equipes))
        self.assertTrue(all(v[0] == "texte" for v in self.equipes[1].values()))
        vides = [r for r in range(2, 75) if r not in self.equipes]
        self.assertGreater(len(vides), 0)
        ids = [self.equipes[r][1][1] for r in self.equipes if r > 1]
        for ident in donnees.LISTE_EQUIPES:
            self.assertEqual(ids.count(ident), 1, f"équipe {ident}")
        self.assertIn(13, ids)
        self.assertGreater(len(set(ids) - set(donnees.LISTE_EQUIPES)), 5)
        self.assertEqual(len(ids), len(set(ids)))

    def test_divisions_et_abreviations(self):
        listees = [self.equipes[r] for r in self.equipes
                   if r > 1 and self.equipes[r][1][1] in donnees.LISTE_EQUIPES]
        divisions = [e[3][1] for e in listees]
        self.assertTrue({1, 2} <= set(divisions))
        self.assertTrue(set(divisions) - {1, 2})
        for e in listees:
            self.assertEqual(sorted(e), list(range(1, 7)))
        abreviations = [e[5][1] for e in listees]
        self.assertEqual(len(abreviations), len(set(abreviations)))


class EcritureOpenDocument(unittest.TestCase):
    TEXTES = [
        "simple", "  deux blancs devant", "fin avec blanc ", "a  b   c", " ", "a\nb", "\nx",
        "<&>\"'", "é ł Ω ж €", "a\tb", "   ", "x\n\ny",
    ]
    NOMBRES = [0, 1, -1, 0.5, 0.1, 1e-300, -2.5e300, 123456789012, 2**53 + 2.0, 1 / 3, -0.0]

    def relire(self, feuilles):
        return lecteurs.lire_odf_xml(ET.fromstring(odf.fods(feuilles)))

    def test_textes_et_nombres_relus_tels_quels(self):
        f = odf.Feuille("Essai")
        for k, t in enumerate(self.TEXTES, 1):
            f.poser(k, 1, t)
        for k, x in enumerate(self.NOMBRES, 1):
            f.poser(k, 3, x)
        attendu = generer.attendu([f], "x", "y")
        lu = self.relire([f])
        self.assertEqual(lecteurs.comparer(attendu, lu), [])
        self.assertEqual(len(lu["feuilles"][0]["cases"]), len(self.TEXTES) + len(self.NOMBRES))

    def test_genres_particuliers(self):
        f = odf.Feuille("Genres")
        cas = [
            (odf.Case("booleen", 1), ["nombre", 1]),
            (odf.Case("booleen", 0), ["nombre", 0]),
            (odf.Case("date", (46194, "2026-06-21")), ["nombre", 46194]),
            (odf.Case("pourcent", 0.25), ["nombre", 0.25]),
            (odf.Case("nombre", 6, formule="of:=2*3"), ["nombre", 6]),
            (odf.Case("texte", "ab", formule='of:="a"&"b"'), ["texte", "ab"]),
            (odf.Case("texte", "gras et non", morceaux=[("gras", "T1"), (" et non", None)]),
             ["texte", "gras et non"]),
            (odf.Case("vide"), None),
        ]
        for k, (case, _) in enumerate(cas, 1):
            f.poser(k, 2, case)
        lu = self.relire([f])["feuilles"][0]["cases"]
        prevu = generer.attendu([f], "x", "y")["feuilles"][0]["cases"]
        for k, (_, valeur) in enumerate(cas, 1):
            with self.subTest(ligne=k):
                self.assertEqual(lu.get(f"B{k}"), valeur)
                self.assertEqual(prevu.get(f"B{k}"), valeur)
        self.assertEqual(generer.attendu([f], "x", "y")["feuilles"][0]["formules"], ["B5", "B6"])

    def test_lignes_et_colonnes_eloignees(self):
        f = odf.Feuille("Loin")
        places = [(1, 1), (1, 256), (65536, 1), (65536, 256), (500, 33), (2, 2)]
        for k, (r, c) in enumerate(places):
            f.poser(r, c, k + 1)
        vide = odf.Feuille("Vide")
        lu = self.relire([vide, f])
        self.assertEqual([x["nom"] for x in lu["feuilles"]], ["Vide", "Loin"])
        self.assertEqual(lu["feuilles"][0]["cases"], {})
        cases = lu["feuilles"][1]["cases"]
        self.assertEqual(
            cases, {lecteurs.adresse(r, c): ["nombre", k + 1] for k, (r, c) in enumerate(places)})

    def test_ods_zip_equivalent_au_fods(self):
        feuilles = donnees.mini()
        octets = odf.ods(feuilles)
        with zipfile.ZipFile(io.BytesIO(octets)) as z:
            premier = z.infolist()[0]
            self.assertEqual(premier.filename, "mimetype")
            self.assertEqual(premier.compress_type, zipfile.ZIP_STORED)
            contenu = lecteurs.lire_odf_xml(ET.fromstring(z.read("content.xml")))
        self.assertEqual(contenu, self.relire(feuilles))
        self.assertEqual(odf.ods(feuilles), octets, "zip reproductible")


if __name__ == "__main__":
    unittest.main(verbosity=2)
