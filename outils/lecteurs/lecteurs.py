#!/usr/bin/python3
"""Lecteurs indépendants d'un classeur .xls, pour juger notre moteur avec des programmes que nous
n'avons pas écrits : python3-xlrd (strict), LibreOffice et Gnumeric (conversion sans fenêtre),
et le contrôle du conteneur par python3-olefile (strict) et `gsf list`.

Tous rendent la même forme, celle des fichiers de valeurs attendues du générateur :

    {"feuilles": [{"nom": "DYN_cyclist", "cases": {"A1": ["texte", "Id"], "A2": ["nombre", 12]}}, …]}

- une feuille par feuille de calcul, dans l'ordre du classeur ;
- seules les cases non vides sont présentes (un texte vide compte pour vide) ;
- genre "nombre" ou "texte". Un booléen est le nombre 1 ou 0, une erreur le texte "#N/A",
  "#DIV/0!"…, une date son numéro de série (jours depuis le 30/12/1899), une formule son résultat ;
- normalisation des nombres : un double sans partie fractionnaire (et de valeur absolue < 2**53)
  devient un int Python, les autres restent des float. Ainsi 75 lu comme 75.0 par un lecteur et
  comme "75" par un autre se comparent égaux, et json.dumps écrit 75, jamais 75.0.

Tout avertissement d'un lecteur est un échec : `ErreurLecteur` est levée.
Module utilisable par import (ajouter outils/lecteurs à sys.path) ou en ligne de commande :

    lecteurs.py xlrd|libreoffice|gnumeric FICHIER…       contenu en JSON sur la sortie
    lecteurs.py conteneur FICHIER…                        contrôle olefile strict + gsf
    lecteurs.py comparer ATTENDU.json FICHIER.xls [--lecteurs xlrd,libreoffice,gnumeric]
"""

import datetime
import io
import json
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

DELAI = 300  # secondes par appel à un tableur

NS_OFFICE = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"
NS_TABLE = "urn:oasis:names:tc:opendocument:xmlns:table:1.0"
NS_TEXT = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"
# Extension de LibreOffice : le vrai genre d'un résultat de formule ("error" pour #N/A…).
NS_CALCEXT = "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0"


def _o(nom):
    return "{" + NS_OFFICE + "}" + nom


def _t(nom):
    return "{" + NS_TABLE + "}" + nom


def _x(nom):
    return "{" + NS_TEXT + "}" + nom


class ErreurLecteur(Exception):
    """Un lecteur a refusé le fichier ou a émis un avertissement."""


# ---------------------------------------------------------------------------------------------
# Forme commune


def normaliser_nombre(x):
    """Entier Python si le double n'a pas de partie fractionnaire, sinon le double tel quel."""
    x = float(x)
    if x.is_integer() and abs(x) < 2**53:
        return int(x)
    return x


def lettres_colonne(colonne):
    """1 -> "A", 27 -> "AA"."""
    lettres = ""
    while colonne:
        colonne, reste = divmod(colonne - 1, 26)
        lettres = chr(65 + reste) + lettres
    return lettres


def adresse(ligne, colonne):
    """Adresse A1 d'une case, ligne et colonne comptées à partir de 1."""
    return f"{lettres_colonne(colonne)}{ligne}"


def lire_adresse(texte):
    """"AG973" -> (973, 33)."""
    m = re.fullmatch(r"([A-Z]+)([0-9]+)", texte)
    if not m:
        raise ValueError(f"adresse invalide : {texte}")
    colonne = 0
    for ch in m.group(1):
        colonne = colonne * 26 + ord(ch) - 64
    return int(m.group(2)), colonne


def _cle_case(a):
    ligne, colonne = lire_adresse(a)
    return (ligne, colonne)


def classeur(feuilles):
    """Construit la forme commune depuis [(nom, {(ligne, colonne): (genre, valeur)})]."""
    resultat = {"feuilles": []}
    for nom, cases in feuilles:
        triees = sorted(cases.items())
        resultat["feuilles"].append(
            {"nom": nom, "cases": {adresse(l, c): [g, v] for (l, c), (g, v) in triees}})
    return resultat


def charger_attendu(chemin):
    """Un fichier de valeurs attendues du générateur (même forme, plus "formules")."""
    with open(chemin, encoding="utf-8") as f:
        return json.load(f)


def comparer(attendu, lu, limite=20):
    """Liste des différences, en texte (vide si tout est égal). Compare noms et ordre des
    feuilles, puis chaque case : genre, valeur (égalité exacte des doubles)."""
    ecarts = []
    noms_a = [f["nom"] for f in attendu["feuilles"]]
    noms_l = [f["nom"] for f in lu["feuilles"]]
    if noms_a != noms_l:
        ecarts.append(f"feuilles : attendu {noms_a}, lu {noms_l}")
    lues = {f["nom"]: f["cases"] for f in lu["feuilles"]}
    for feuille in attendu["feuilles"]:
        cases_l = lues.get(feuille["nom"])
        if cases_l is None:
            continue
        cases_a = feuille["cases"]
        for a in sorted(set(cases_a) | set(cases_l), key=_cle_case):
            va = cases_a.get(a)
            vl = cases_l.get(a)
            if va is None or vl is None or va[0] != vl[0] or va[1] != vl[1] \
                    or type(va[1]) is not type(vl[1]):
                ecarts.append(f"{feuille['nom']}!{a} : attendu {va!r}, lu {vl!r}")
                if len(ecarts) >= limite:
                    ecarts.append("…")
                    return ecarts
    return ecarts


# ---------------------------------------------------------------------------------------------
# python3-xlrd, strict


# Seule remarque de xlrd tolérée : une mini-FAT annoncée par l'en-tête mais sans aucune chaîne
# (d'autres écrivains le font ; rien n'y vit). Elle porte sur le conteneur, pas sur les cases.
XLRD_TOLERE = "WARNING *** OLE2 inconsistency: SSCS size is 0 but SSAT size is non-zero"


def lire_xlrd(chemin):
    """Lit toutes les feuilles avec xlrd ; tout message dans son journal est un échec (hors
    XLRD_TOLERE)."""
    import xlrd

    journal = io.StringIO()
    try:
        livre = xlrd.open_workbook(chemin, logfile=journal, verbosity=0, on_demand=False,
                                   ragged_rows=True)
    except Exception as e:  # xlrd lève des types variés (XLRDError, struct.error…)
        raise ErreurLecteur(f"xlrd refuse {chemin} : {e}") from e
    feuilles = []
    for feuille in livre.sheets():
        cases = {}
        for r in range(feuille.nrows):
            for c, case in enumerate(feuille.row(r)):
                genre_valeur = _case_xlrd(xlrd, case)
                if genre_valeur is not None:
                    cases[(r + 1, c + 1)] = genre_valeur
        feuilles.append((feuille.name, cases))
    livre.release_resources()
    remarques = [ligne for ligne in journal.getvalue().splitlines()
                 if ligne.strip() and ligne.strip() != XLRD_TOLERE]
    if remarques:
        raise ErreurLecteur(f"xlrd avertit pour {chemin} : {' / '.join(remarques)}")
    return classeur(feuilles)


def _case_xlrd(xlrd, case):
    t = case.ctype
    if t in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
        return None
    if t == xlrd.XL_CELL_TEXT:
        return None if case.value == "" else ("texte", case.value)
    if t in (xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_DATE, xlrd.XL_CELL_BOOLEAN):
        return ("nombre", normaliser_nombre(case.value))
    if t == xlrd.XL_CELL_ERROR:
        return ("texte", xlrd.error_text_from_code.get(case.value, f"#ERR{case.value}"))
    raise ErreurLecteur(f"genre de case xlrd inconnu : {t}")


# ---------------------------------------------------------------------------------------------
# OpenDocument (sortie de LibreOffice ou de Gnumeric)

_ORIGINE = datetime.datetime(1899, 12, 30)


def _serie_date(texte):
    """"2026-06-21" ou "2026-06-21T12:30:00" -> numéro de série du tableur."""
    if "T" in texte:
        moment = datetime.datetime.fromisoformat(texte)
    else:
        moment = datetime.datetime.combine(datetime.date.fromisoformat(texte), datetime.time())
    ecart = moment - _ORIGINE
    return ecart.days + ecart.seconds / 86400 + ecart.microseconds / 86400e6


def _serie_duree(texte):
    """"PT12H30M00S" -> fraction de jour."""
    m = re.fullmatch(r"-?P(?:(\d+)D)?T?(?:(\d+)H)?(?:(\d+)M)?(?:([\d.]+)S)?", texte)
    if not m:
        raise ErreurLecteur(f"durée illisible : {texte}")
    j, h, mi, s = (float(g) if g else 0.0 for g in m.groups())
    total = j + (h * 3600 + mi * 60 + s) / 86400
    return -total if texte.startswith("-") else total


_BLANCS = re.compile(r"[ \t\r\n]+")


def _morceaux_texte(element, morceaux):
    """Morceaux d'un élément de texte : ("brut", texte XML) ou ("exact", texte codé par text:s,
    text:tab, text:line-break), spans imbriqués compris."""
    if element.text:
        morceaux.append(("brut", element.text))
    for enfant in element:
        if enfant.tag == _x("s"):
            morceaux.append(("exact", " " * int(enfant.get(_x("c"), "1"))))
        elif enfant.tag == _x("tab"):
            morceaux.append(("exact", "\t"))
        elif enfant.tag == _x("line-break"):
            morceaux.append(("exact", "\n"))
        elif enfant.tag != _o("annotation"):
            _morceaux_texte(enfant, morceaux)
        if enfant.tail:
            morceaux.append(("brut", enfant.tail))
    return morceaux


def _texte_element(element):
    """Texte d'un text:p selon les règles des blancs d'OpenDocument : dans le texte brut, toute
    suite de blancs vaut un seul espace, et ceux du début du paragraphe ne comptent pas (un blanc
    final est gardé, comme le font LibreOffice et Gnumeric) ; text:s, text:tab et
    text:line-break donnent des blancs exacts."""
    morceaux = _morceaux_texte(element, [])
    sortie = []
    for genre, texte in morceaux:
        sortie.append(_BLANCS.sub(" ", texte) if genre == "brut" else texte)
    # Blancs bruts de tête : retirés des premiers morceaux bruts.
    debut = 0
    while debut < len(morceaux) and morceaux[debut][0] == "brut":
        sortie[debut] = sortie[debut].lstrip(" ")
        if sortie[debut]:
            break
        debut += 1
    # Un espace brut qui suit un autre blanc (brut ou exact) est absorbé.
    resultat = ""
    for k, texte in enumerate(sortie):
        if morceaux[k][0] == "brut" and texte.startswith(" ") and resultat.endswith((" ", "\t", "\n")) \
                and k > 0 and morceaux[k - 1][0] == "brut":
            texte = texte[1:]
        resultat += texte
    return resultat


def _texte_case(case):
    return "\n".join(_texte_element(p) for p in case.findall(_x("p")))


def _valeur_odf(case):
    type_valeur = case.get(_o("value-type"))
    if case.get("{" + NS_CALCEXT + "}value-type") == "error":
        # LibreOffice : office:string-value vide, le texte de l'erreur est dans text:p.
        texte = _texte_case(case)
        return ("texte", texte) if texte else None
    if type_valeur is None:
        # Une case sans type peut garder du texte (rare) : on le prend pour du texte.
        texte = _texte_case(case)
        return ("texte", texte) if texte else None
    if type_valeur in ("float", "percentage", "currency"):
        return ("nombre", normaliser_nombre(float(case.get(_o("value")))))
    if type_valeur == "date":
        return ("nombre", normaliser_nombre(_serie_date(case.get(_o("date-value")))))
    if type_valeur == "time":
        return ("nombre", normaliser_nombre(_serie_duree(case.get(_o("time-value")))))
    if type_valeur == "boolean":
        return ("nombre", 1 if case.get(_o("boolean-value")) == "true" else 0)
    if type_valeur == "string":
        valeur = case.get(_o("string-value"))
        if valeur is None:
            valeur = _texte_case(case)
        return ("texte", valeur) if valeur != "" else None
    raise ErreurLecteur(f"type de valeur OpenDocument inconnu : {type_valeur}")


def lire_odf_xml(racine):
    """Toutes les tables d'un arbre XML OpenDocument (document plat ou content.xml)."""
    feuilles = []
    # Seules les tables filles du classeur : un graphique embarqué porte sa propre table.
    classeur_odf = next(racine.iter(_o("spreadsheet")))
    for table in classeur_odf.findall(_t("table")):
        cases = {}
        ligne = 0
        for enfant_ligne in _lignes(table):
            rep_l = int(enfant_ligne.get(_t("number-rows-repeated"), "1"))
            colonne = 0
            contenu_ligne = []
            for case in enfant_ligne:
                if case.tag not in (_t("table-cell"), _t("covered-table-cell")):
                    continue
                rep_c = int(case.get(_t("number-columns-repeated"), "1"))
                v = _valeur_odf(case) if case.tag == _t("table-cell") else None
                if v is not None:
                    for k in range(rep_c):
                        contenu_ligne.append((colonne + 1 + k, v))
                colonne += rep_c
            if contenu_ligne:
                for k in range(rep_l):
                    for c, v in contenu_ligne:
                        cases[(ligne + 1 + k, c)] = v
            ligne += rep_l
        feuilles.append((table.get(_t("name")), cases))
    return classeur(feuilles)


def _lignes(table):
    """Les table:table-row d'une table, y compris dans les groupes d'en-tête ou de lignes."""
    for enfant in table:
        if enfant.tag == _t("table-row"):
            yield enfant
        elif enfant.tag in (_t("table-header-rows"), _t("table-rows"), _t("table-row-group")):
            yield from _lignes(enfant)


def lire_fods(chemin):
    return lire_odf_xml(ET.parse(chemin).getroot())


def lire_ods(chemin):
    with zipfile.ZipFile(chemin) as z:
        return lire_odf_xml(ET.fromstring(z.read("content.xml")))


# ---------------------------------------------------------------------------------------------
# LibreOffice


def lancer(commande, delai=DELAI, env=None):
    """Lance un programme dans son propre groupe de processus ; au-delà du délai, tout le groupe
    est tué (soffice laisse sinon un soffice.bin orphelin). Rend (code, sortie, erreurs)."""
    import signal

    try:
        processus = subprocess.Popen(commande, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, text=True, env=env,
                                     start_new_session=True)
    except FileNotFoundError:
        raise ErreurLecteur(f"{commande[0]} introuvable : installer les paquets de "
                            "paquets-debian.txt (make paquets)") from None
    try:
        sortie, erreurs = processus.communicate(timeout=delai)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(processus.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        processus.communicate()
        raise ErreurLecteur(f"{commande[0]} n'a pas fini en {delai} s") from None
    return processus.returncode, sortie, erreurs


def convertir_libreoffice(entrees, sortie, format_sortie, profil):
    """soffice --convert-to pour tous les fichiers d'un coup, profil privé `profil` (dossier).
    Un premier lancement sur un profil neuf échoue parfois (LibreOffice redémarre pour finir
    de créer le profil) : les fichiers manquants sont reconvertis une fois. Rend le texte des
    erreurs du dernier lancement."""
    extension = format_sortie.split(":")[0]

    def manquants():
        return [e for e in entrees if not os.path.exists(os.path.join(
            sortie, os.path.splitext(os.path.basename(e))[0] + "." + extension))]

    erreurs = ""
    reste = list(entrees)
    for _ in range(2):
        commande = ["soffice", "-env:UserInstallation=file://" + profil, "--headless",
                    "--norestore", "--nolockcheck", "--convert-to", format_sortie,
                    "--outdir", sortie] + reste
        code, _, erreurs = lancer(commande, env=dict(os.environ, HOME=os.path.dirname(profil)))
        reste = manquants()
        if not reste:
            break
    if reste:
        raise ErreurLecteur(f"LibreOffice n'a pas converti {', '.join(reste)} ({code}) : {erreurs.strip()}")
    return erreurs


def lire_libreoffice(chemins, exact=True):
    """Ce que LibreOffice lit dans chaque fichier. Rend {chemin: classeur}.

    LibreOffice 7.4 n'écrit ses nombres en texte (.fods, .csv, .xlsx) qu'avec 15 chiffres
    significatifs et 20 décimales au plus, alors qu'il garde en mémoire le double exact. Avec `exact`, un second
    lancement (même profil) lui fait aussi réécrire chaque fichier en .xls, où les nombres sont
    binaires : le genre et les textes viennent du .fods, la valeur exacte des nombres de ce .xls
    (lu par xlrd strict), après contrôle qu'elle arrondit bien à la valeur du .fods. Sans
    `exact`, un seul lancement, et les nombres à 15 chiffres."""
    chemins = list(chemins)
    resultats = {}
    with tempfile.TemporaryDirectory(prefix="zarvo-lecteur-lo-") as tmp:
        # Noms distincts dans le dossier de sortie, même si deux fichiers portent le même nom.
        entrees = []
        os.makedirs(os.path.join(tmp, "entree"))
        for i, chemin in enumerate(chemins):
            copie = os.path.join(tmp, "entree", f"f{i:03d}.xls")
            with open(chemin, "rb") as src, open(copie, "wb") as dst:
                dst.write(src.read())
            entrees.append(copie)
        profil = os.path.join(tmp, "profil")
        sortie = os.path.join(tmp, "sortie")
        os.makedirs(sortie)
        convertir_libreoffice(entrees, sortie, "fods", profil)
        if exact:
            binaire = os.path.join(tmp, "binaire")
            os.makedirs(binaire)
            convertir_libreoffice(entrees, binaire, "xls", profil)
        for i, chemin in enumerate(chemins):
            lu = lire_fods(os.path.join(sortie, f"f{i:03d}.fods"))
            if exact:
                lu = _nombres_exacts(lu, lire_xlrd(os.path.join(binaire, f"f{i:03d}.xls")), chemin)
            resultats[chemin] = lu
    return resultats


def _nombres_exacts(texte, binaire, chemin):
    """Remplace chaque nombre du .fods par celui, exact, du .xls réécrit par LibreOffice."""
    exacts = {f["nom"]: f["cases"] for f in binaire["feuilles"]}
    for feuille in texte["feuilles"]:
        cases_b = exacts.get(feuille["nom"], {})
        for a, (genre, valeur) in feuille["cases"].items():
            if genre != "nombre":
                continue
            autre = cases_b.get(a)
            if autre is None or autre[0] != "nombre" or \
                    abs(autre[1] - valeur) > max(1e-14 * max(abs(valeur), abs(autre[1])), 1e-20):
                raise ErreurLecteur(f"LibreOffice se contredit sur {chemin}, {feuille['nom']}!{a} : "
                                    f"{valeur!r} en texte, {autre!r} en binaire")
            feuille["cases"][a] = ["nombre", autre[1]]
    return texte


# ---------------------------------------------------------------------------------------------
# Gnumeric


def lire_gnumeric(chemin):
    """ssconvert vers OpenDocument, puis lecture ; tout message sur stderr est un échec."""
    with tempfile.TemporaryDirectory(prefix="zarvo-lecteur-gn-") as tmp:
        produit = os.path.join(tmp, "sortie.ods")
        code, _, erreurs = lancer(["ssconvert", "-T", "Gnumeric_OpenCalc:odf", chemin, produit],
                                  env=dict(os.environ, HOME=tmp))
        if code != 0 or erreurs.strip() or not os.path.exists(produit):
            raise ErreurLecteur(f"ssconvert sur {chemin} ({code}) : {erreurs.strip()}")
        return lire_ods(produit)


# ---------------------------------------------------------------------------------------------
# Notre propre moteur, par l'outil `classeur` (pour le comparer aux lecteurs ci-dessus)


def _sans_echappement(texte):
    sortie = []
    i = 0
    while i < len(texte):
        if texte[i] == "\\" and i + 1 < len(texte):
            sortie.append({"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}.get(texte[i + 1], texte[i + 1]))
            i += 2
        else:
            sortie.append(texte[i])
            i += 1
    return "".join(sortie)


def lire_sortie_classeur(texte, ligne0=1, colonne0=1):
    """Cases d'une sortie de `classeur lire --types` (n:, t:, v:) ; (ligne0, colonne0) est le
    coin haut gauche de la plage lue. Rend {(ligne, colonne): (genre, valeur)}."""
    cases = {}
    lignes = texte.split("\n")
    if lignes and lignes[-1] == "":
        lignes.pop()
    for i, ligne in enumerate(lignes):
        for j, case in enumerate(ligne.split("\t")):
            genre, _, valeur = case.partition(":")
            if genre == "n":
                cases[(ligne0 + i, colonne0 + j)] = ("nombre", normaliser_nombre(float(valeur)))
            elif genre == "t":
                cases[(ligne0 + i, colonne0 + j)] = ("texte", _sans_echappement(valeur))
            elif genre != "v" or valeur:
                raise ErreurLecteur(f"case illisible dans la sortie de classeur : {case!r}")
    return cases


def lire_classeur(chemin, programme, plages):
    """Ce que notre moteur lit, par `programme feuilles` puis `programme lire --types` sur les
    plages données ({feuille: ["A1:AG973", …]}) ; les cases hors de ces plages ne sont pas lues.
    Code de retour non nul ou message sur stderr = échec."""
    code, sortie, erreurs = lancer([programme, "feuilles", chemin])
    if code != 0 or erreurs.strip():
        raise ErreurLecteur(f"classeur feuilles {chemin} ({code}) : {erreurs.strip()}")
    feuilles = []
    for nom in sortie.split("\n"):
        if not nom:
            continue
        cases = {}
        for plage in plages.get(nom, []):
            code, texte, erreurs = lancer([programme, "lire", "--types", chemin, nom, plage])
            if code != 0 or erreurs.strip():
                raise ErreurLecteur(f"classeur lire {chemin} {nom} {plage} ({code}) : {erreurs.strip()}")
            cases.update(lire_sortie_classeur(texte, *lire_adresse(plage.split(":")[0])))
        feuilles.append((nom, cases))
    return classeur(feuilles)


def plages_attendues(attendu, marge=1, plafond=2_000_000):
    """Plages à lire pour comparer un classeur à ses valeurs attendues : par feuille, le
    rectangle des cases attendues agrandi de `marge`, ou, s'il dépasse `plafond` cases, une
    plage par ligne occupée (et la suivante)."""
    plages = {}
    for feuille in attendu["feuilles"]:
        places = [lire_adresse(a) for a in feuille["cases"]]
        if not places:
            plages[feuille["nom"]] = ["A1:B2"]
            continue
        lmax = min(65536, max(l for l, _ in places) + marge)
        cmax = min(256, max(c for _, c in places) + marge)
        if lmax * cmax <= plafond:
            plages[feuille["nom"]] = [f"A1:{adresse(lmax, cmax)}"]
        else:
            lignes = sorted({l for l, _ in places} | {min(65536, l + 1) for l, _ in places})
            plages[feuille["nom"]] = [f"A{l}:{adresse(l, cmax)}" for l in lignes]
    return plages


# ---------------------------------------------------------------------------------------------
# Conteneur


def controler_conteneur(chemin):
    """olefile en mode strict (tout défaut, même potentiel, lève), taille faite de secteurs
    entiers, puis `gsf list` (code de retour nul, rien sur stderr). Les deux doivent voir le flux Workbook. Rend la liste des
    flux vue par olefile."""
    import olefile

    with open(chemin, "rb") as f:
        octets = f.read()
    if len(octets) < 512 or octets[:8] != olefile.MAGIC:
        raise ErreurLecteur(f"{chemin} n'est pas un fichier composé OLE2")
    # olefile laisse passer une fin de fichier qui n'est pas un secteur entier ; xlrd s'en
    # plaint, et un écrivain qui la produit a mal compté.
    taille_secteur = 1 << int.from_bytes(octets[30:32], "little")
    if taille_secteur in (512, 4096) and (len(octets) - 512) % taille_secteur:
        raise ErreurLecteur(f"{chemin} : taille {len(octets)} qui n'est pas 512 + des secteurs "
                            f"entiers de {taille_secteur} octets")
    try:
        # Lu depuis les octets : olefile ne referme pas le fichier quand il refuse.
        ole = olefile.OleFileIO(octets, raise_defects=olefile.DEFECT_POTENTIAL)
    except Exception as e:
        raise ErreurLecteur(f"olefile strict refuse {chemin} : {e}") from e
    try:
        if ole.parsing_issues:
            raise ErreurLecteur(f"olefile signale : {ole.parsing_issues}")
        flux = ["/".join(entree) for entree in ole.listdir(streams=True, storages=False)]
        if not ole.exists("Workbook"):
            raise ErreurLecteur(f"pas de flux Workbook dans {chemin} : {flux}")
        for nom in flux:
            ole.openstream(nom).read()
    finally:
        ole.close()
    code, sortie, erreurs = lancer(["gsf", "list", chemin])
    if code != 0 or erreurs.strip():
        raise ErreurLecteur(f"gsf list {chemin} ({code}) : {erreurs.strip()}")
    if not re.search(r"\bWorkbook\b", sortie):
        raise ErreurLecteur(f"gsf ne voit pas le flux Workbook : {sortie}")
    return flux


# ---------------------------------------------------------------------------------------------
# Ligne de commande


def lire(nom_lecteur, chemins):
    """{chemin: classeur} par le lecteur nommé ("xlrd", "libreoffice", "gnumeric")."""
    if nom_lecteur == "xlrd":
        return {c: lire_xlrd(c) for c in chemins}
    if nom_lecteur == "libreoffice":
        return lire_libreoffice(chemins)
    if nom_lecteur == "gnumeric":
        # Un ssconvert par fichier : deux à la fois suffisent sur une petite machine.
        from concurrent.futures import ThreadPoolExecutor

        with ThreadPoolExecutor(max_workers=2) as pool:
            return dict(zip(chemins, pool.map(lire_gnumeric, chemins)))
    raise ValueError(f"lecteur inconnu : {nom_lecteur}")


LECTEURS = ("xlrd", "libreoffice", "gnumeric")


def main(argv=None):
    import argparse

    parseur = argparse.ArgumentParser(description="Lecteurs indépendants d'un classeur .xls")
    sous = parseur.add_subparsers(dest="commande", required=True)
    for nom in LECTEURS:
        p = sous.add_parser(nom, help=f"contenu vu par {nom}, en JSON")
        p.add_argument("fichiers", nargs="+")
    p = sous.add_parser("conteneur", help="olefile strict et gsf list")
    p.add_argument("fichiers", nargs="+")
    p = sous.add_parser("comparer", help="compare un classeur à ses valeurs attendues")
    p.add_argument("attendu")
    p.add_argument("fichier")
    p.add_argument("--lecteurs", default=",".join(LECTEURS))
    args = parseur.parse_args(argv)
    try:
        if args.commande in LECTEURS:
            resultats = lire(args.commande, args.fichiers)
            if len(args.fichiers) == 1:
                json.dump(resultats[args.fichiers[0]], sys.stdout, ensure_ascii=False, indent=1)
            else:
                json.dump(resultats, sys.stdout, ensure_ascii=False, indent=1)
            print()
            return 0
        if args.commande == "conteneur":
            for chemin in args.fichiers:
                flux = controler_conteneur(chemin)
                print(f"{chemin} : conteneur correct, flux {', '.join(flux)}")
            return 0
        attendu = charger_attendu(args.attendu)
        code = 0
        for nom in args.lecteurs.split(","):
            ecarts = comparer(attendu, lire(nom, [args.fichier])[args.fichier])
            print(f"{nom} : " + ("identique" if not ecarts else f"{len(ecarts)} écart(s)"))
            for e in ecarts:
                print("  " + e)
            code = code or (1 if ecarts else 0)
        return code
    except ErreurLecteur as e:
        print(f"erreur : {e}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
