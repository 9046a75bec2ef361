#!/usr/bin/python3
"""Le scénario tests/scenarios/revue.txt joué par l'outil captures sur une copie de la démo :
lignes de la revue et légende du bouton à chaque étape, puis le classeur enregistré relu par
LibreOffice ne diffère de l'original que par ce qui reste (plus les potentiels relevés), et la
copie de secours est, octet pour octet, le classeur tel qu'ouvert."""

import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True
RACINE = os.environ.get("ZARVO_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(RACINE, "outils", "lecteurs"))

import lecteurs  # noqa: E402

REVUE_AVANT = [
    "Coureur 980 : Borona Ståle", "    Nom : Boroni → Borona", "    Montagne : 57 → 80",
    "Coureur 165 : Dalørn Lukáš", "    Vallons : 78 → 90",
    "Coureur 1028 : De Koreau Iñigo", "    Points UCI : 1497 → 1234",
    "Équipe 5 : Pédale ArdenvalX", "    Nom de l'équipe : Pédale Ardenval → Pédale ArdenvalX",
]
REVUE_APRES = REVUE_AVANT[5:]
APPLIQUE = [
    "Potentiels relevés par la dernière application :",
    "Coureur 980 : Boroni Ståle — Plaine (potentiel) : 62 → 68 (appliqué)",
    "Coureur 980 : Boroni Ståle — Pavés (potentiel) : 63 → 65 (appliqué)",
]


def controle(capture, nom, index=None):
    return next(c for f in capture["fenetres"] for c in f["controles"]
                if c["nom"] == nom and c["index"] == index)


def cases(classeur):
    return {(f["nom"], a): v for f in classeur["feuilles"] for a, v in f["cases"].items()}


def ligne_de(contenu, feuille, texte):
    return next(a[1:] for (f, a), v in contenu.items() if f == feuille and a[0] == "B" and v[1] == texte)


def main(captures):
    with tempfile.TemporaryDirectory(prefix="zarvo-revue-") as d:
        demo = os.path.join(d, "demo.xls")
        shutil.copy(os.path.join(RACINE, "exemples", "demo.xls"), demo)
        with open(demo, "rb") as f:
            origine = f.read()
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        r = subprocess.run([captures, "--scenario", os.path.join(RACINE, "tests", "scenarios", "revue.txt"),
                            "sortie"], cwd=d, env=env, capture_output=True, text=True, timeout=600)
        assert r.returncode == 0, r.stderr
        etapes = {}
        for nom, legende, lignes in (("annule", 4, None), ("revue-avant", 5, REVUE_AVANT),
                                     ("revue-apres", 2, REVUE_APRES), ("applique", 0, APPLIQUE)):
            with open(os.path.join(d, "sortie", nom + ".json"), encoding="utf-8") as f:
                etapes[nom] = json.load(f)
            assert controle(etapes[nom], "Modifs")["texte"] == f"Modifications ({legende})", nom
            if lignes is not None:
                assert controle(etapes[nom], "Lignes")["elements"] == lignes, nom
        # Ctrl+Z dans la case du nom de l'équipe : la saisie entière, pas une lettre.
        assert controle(etapes["annule"], "Careq", 2)["texte"] == "Pédale Ardenval"
        assert [controle(etapes["revue-apres"], "Note", i)["texte"] for i in (2, 12)] == ["Boroni", "57"]

        sauvegarde = os.path.join(d, "demo.sauvegarde.xls")
        with open(sauvegarde, "rb") as f:
            assert f.read() == origine, "copie de secours différente du classeur ouvert"
        lu = lecteurs.lire_libreoffice([sauvegarde, demo], exact=False)
        avant, apres = cases(lu[sauvegarde]), cases(lu[demo])
        ecarts = {k: v for k, v in apres.items() if avant.get(k) != v}
        ecarts.update({k: None for k in avant if k not in apres})
        boroni = ligne_de(avant, "DYN_cyclist", "Boroni")
        koreau = ligne_de(avant, "DYN_cyclist", "De Koreau")
        equipe = ligne_de(avant, "DYN_team", "Pédale Ardenval")
        voulu = {
            ("DYN_cyclist", "I" + koreau): 1234, ("DYN_team", "B" + equipe): "Pédale ArdenvalX",
            ("DYN_cyclist", "K" + boroni): 68, ("DYN_cyclist", "AA" + boroni): 65,
        }
        lus = {k: (v[1] if v is not None else None) for k, v in ecarts.items()}
        assert lus == voulu, f"écarts {lus}, voulus {voulu}"
    print("revue : 4 étapes, copie de secours identique, 4 cases changées")


if __name__ == "__main__":
    main(sys.argv[1])
