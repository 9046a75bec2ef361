#!/usr/bin/python3
"""La revue des modifications jouée par tests/scenarios/revue.txt, puis le classeur enregistré
relu par LibreOffice : il ne diffère de la copie de secours (le classeur tel qu'ouvert) que par
les modifications restantes et les potentiels relevés."""

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

VOULU = {("DYN_cyclist", "I227"): 1234, ("DYN_team", "B35"): "Pédale ArdenvalX",
         ("DYN_cyclist", "K404"): 68, ("DYN_cyclist", "AA404"): 65}


def cases(classeur):
    return {(f["nom"], a): v[1] for f in classeur["feuilles"] for a, v in f["cases"].items()}


def main(captures):
    with tempfile.TemporaryDirectory(prefix="zarvo-revue-") as d:
        for nom in ("demo.xls", "origine.xls"):
            shutil.copy(os.path.join(RACINE, "exemples", "demo.xls"), os.path.join(d, nom))
        r = subprocess.run([captures, "--scenario", os.path.join(RACINE, "tests", "scenarios", "revue.txt"),
                            "sortie"], cwd=d, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"),
                           capture_output=True, text=True, timeout=600)
        assert r.returncode == 0, r.stderr
        demo, sauvegarde = os.path.join(d, "demo.xls"), os.path.join(d, "demo.sauvegarde.xls")
        lu = lecteurs.lire_libreoffice([sauvegarde, demo], exact=False)
        avant, apres = cases(lu[sauvegarde]), cases(lu[demo])
        ecarts = {k: apres.get(k) for k in avant.keys() | apres.keys() if avant.get(k) != apres.get(k)}
        assert ecarts == VOULU, f"écarts {ecarts}, voulus {VOULU}"
    print("revue relue par LibreOffice : 4 cases changées")


if __name__ == "__main__":
    main(sys.argv[1])
