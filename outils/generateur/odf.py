"""Écriture d'un classeur OpenDocument : .fods (XML plat, pour LibreOffice) et .ods (zippé, pour
Gnumeric, qui prend un .fods pour du CSV). Les deux sortent du même modèle, case par case.

Le modèle : une liste de `Feuille`, chacune avec un dictionnaire (ligne, colonne) -> `Case`,
lignes et colonnes comptées à partir de 1.
"""

import io
import zipfile
from dataclasses import dataclass, field
from xml.sax.saxutils import escape, quoteattr

NS = (
    'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
    'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
    'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
    'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
    'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
    'xmlns:meta="urn:oasis:names:tc:opendocument:xmlns:meta:1.0" '
    'xmlns:dc="http://purl.org/dc/elements/1.1/" '
    'xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" '
    'xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" '
    'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
    'xmlns:chart="urn:oasis:names:tc:opendocument:xmlns:chart:1.0" '
    'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" '
    'xmlns:xlink="http://www.w3.org/1999/xlink" '
    'xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"'
)

# Styles automatiques fixes : une case colorée (pour obtenir des cases vides mais formatées,
# donc des BLANK/MULBLANK dans le .xls), un format de date, un pourcentage, du gras.
STYLES_AUTO = (
    '<number:date-style style:name="N37"><number:day number:style="long"/><number:text>/</number:text>'
    '<number:month number:style="long"/><number:text>/</number:text><number:year number:style="long"/>'
    '</number:date-style>'
    '<number:percentage-style style:name="N11"><number:number number:decimal-places="2" '
    'number:min-integer-digits="1"/><number:text>%</number:text></number:percentage-style>'
    '<style:style style:name="cejaune" style:family="table-cell">'
    '<style:table-cell-properties fo:background-color="#ffee88"/></style:style>'
    '<style:style style:name="cedate" style:family="table-cell" style:data-style-name="N37"/>'
    '<style:style style:name="cepourcent" style:family="table-cell" style:data-style-name="N11"/>'
    '<style:style style:name="T1" style:family="text"><style:text-properties fo:font-weight="bold"/>'
    '</style:style>'
    '<style:style style:name="T2" style:family="text"><style:text-properties fo:font-style="italic"/>'
    '</style:style>'
)


@dataclass
class Case:
    """Une case du modèle. genre : "nombre", "texte", "date" (valeur = (numéro de série, date ISO)),
    "erreur" (résultat d'une formule en erreur, valeur = son texte, "#N/A"…),
    "pourcent", "booleen" (valeur 0/1), "vide" (case vide mais colorée).
    formule : formule OpenFormula ("of:=…") dont `valeur` est le résultat attendu.
    morceaux : pour un texte riche, liste de (texte, style de texte ou None).
    ecrivains : si donné, seuls ces tableurs reçoivent la case (voir `pour_ecrivain`)."""

    genre: str
    valeur: object = None
    formule: str | None = None
    morceaux: list | None = None
    ecrivains: tuple | None = None


@dataclass
class Feuille:
    """graphiques : plages de la feuille ("L2:L21") dont chacune reçoit un histogramme posé sur
    la feuille ; le .xls en fait un sous-flux BOF/EOF de graphique dans celui de la feuille."""

    nom: str
    cases: dict = field(default_factory=dict)
    graphiques: list = field(default_factory=list)

    def poser(self, ligne, colonne, valeur, **options):
        if isinstance(valeur, Case):
            self.cases[(ligne, colonne)] = valeur
        elif isinstance(valeur, str):
            self.cases[(ligne, colonne)] = Case("texte", valeur, **options)
        elif isinstance(valeur, bool):
            self.cases[(ligne, colonne)] = Case("booleen", int(valeur), **options)
        else:
            self.cases[(ligne, colonne)] = Case("nombre", valeur, **options)


def pour_ecrivain(feuilles, ecrivain):
    """Les feuilles telles qu'on les donne à un tableur : sans les cases réservées aux autres."""
    resultat = []
    for feuille in feuilles:
        copie = Feuille(feuille.nom, graphiques=list(feuille.graphiques))
        copie.cases = {cle: case for cle, case in feuille.cases.items()
                       if case.ecrivains is None or ecrivain in case.ecrivains}
        resultat.append(copie)
    return resultat


def texte_nombre(x):
    """Forme XML d'un nombre : entier sans ".0", sinon la plus courte qui relit le même double."""
    if isinstance(x, int):
        return str(x)
    if x == int(x) and abs(x) < 2**53:
        return str(int(x))
    return repr(x)


def _paragraphe(texte):
    """Un paragraphe texte:p : les blancs multiples, de tête et de fin, et les tabulations sont
    codés explicitement, sinon le lecteur XML les fusionne."""
    sortie = []
    i = 0
    n = len(texte)
    while i < n:
        c = texte[i]
        if c == " ":
            j = i
            while j < n and texte[j] == " ":
                j += 1
            nb = j - i
            if i == 0 or j == n:
                sortie.append(f'<text:s text:c="{nb}"/>')
            else:
                sortie.append(" ")
                if nb > 1:
                    sortie.append(f'<text:s text:c="{nb - 1}"/>')
            i = j
        elif c == "\t":
            sortie.append("<text:tab/>")
            i += 1
        else:
            j = i
            while j < n and texte[j] not in " \t":
                j += 1
            sortie.append(escape(texte[i:j]))
            i = j
    return "".join(sortie)


def _contenu_texte(case):
    if case.morceaux:
        parties = []
        for morceau, style in case.morceaux:
            assert "\n" not in morceau
            corps = _paragraphe(morceau)
            if style:
                parties.append(f'<text:span text:style-name="{style}">{corps}</text:span>')
            else:
                parties.append(corps)
        return "<text:p>" + "".join(parties) + "</text:p>"
    return "".join("<text:p>" + _paragraphe(p) + "</text:p>" for p in case.valeur.split("\n"))


def _case_xml(case):
    attributs = []
    if case.formule:
        attributs.append("table:formula=" + quoteattr(case.formule))
    contenu = ""
    if case.genre == "nombre":
        attributs.append(f'office:value-type="float" office:value="{texte_nombre(case.valeur)}"')
        contenu = "<text:p>" + texte_nombre(case.valeur) + "</text:p>"
    elif case.genre == "pourcent":
        attributs.insert(0, 'table:style-name="cepourcent"')
        attributs.append(f'office:value-type="percentage" office:value="{texte_nombre(case.valeur)}"')
    elif case.genre == "date":
        attributs.insert(0, 'table:style-name="cedate"')
        attributs.append(f'office:value-type="date" office:date-value="{case.valeur[1]}"')
    elif case.genre == "booleen":
        vrai = "true" if case.valeur else "false"
        attributs.append(f'office:value-type="boolean" office:boolean-value="{vrai}"')
        contenu = "<text:p>" + ("VRAI" if case.valeur else "FAUX") + "</text:p>"
    elif case.genre == "texte":
        attributs.append('office:value-type="string"')
        if case.formule:
            attributs.append("office:string-value=" + quoteattr(case.valeur))
        contenu = _contenu_texte(case)
    elif case.genre == "erreur":
        attributs.append("office:value-type=\"string\" office:string-value=" + quoteattr(case.valeur))
        contenu = "<text:p>" + escape(case.valeur) + "</text:p>"
    elif case.genre == "vide":
        attributs.insert(0, 'table:style-name="cejaune"')
    else:
        raise ValueError(case.genre)
    return "<table:table-cell " + " ".join(attributs) + ">" + contenu + "</table:table-cell>"


def _plage_graphique(feuille, plage):
    debut, fin = plage.split(":")
    return f"{feuille.nom}.{debut}:{feuille.nom}.{fin}"


def _graphique_xml(feuille, plage):
    """Le document du graphique (corps office:chart), commun au .fods et au .ods."""
    adresse = _plage_graphique(feuille, plage)
    return (
        '<office:body><office:chart><chart:chart chart:class="chart:bar" svg:width="8cm" svg:height="5cm">'
        f'<chart:plot-area table:cell-range-address="{adresse}">'
        '<chart:axis chart:dimension="x" chart:name="primary-x"/>'
        '<chart:axis chart:dimension="y" chart:name="primary-y"/>'
        f'<chart:series chart:values-cell-range-address="{adresse}" chart:class="chart:bar"/>'
        "</chart:plot-area></chart:chart></office:chart></office:body>"
    )


def _cadres_xml(feuille, objets):
    """Les cadres des graphiques de la feuille. `objets` : None pour le document plat (graphique
    en ligne), sinon une liste où ranger (nom d'objet, XML) pour le paquet zip."""
    if not feuille.graphiques:
        return ""
    morceaux = ["<table:shapes>"]
    for k, plage in enumerate(feuille.graphiques):
        adresse = _plage_graphique(feuille, plage)
        morceaux.append(f'<draw:frame draw:z-index="{k}" svg:width="8cm" svg:height="5cm" '
                        f'svg:x="{2 + 9 * k}cm" svg:y="1cm">')
        if objets is None:
            morceaux.append(
                f'<draw:object draw:notify-on-update-of-ranges="{adresse}">'
                '<office:document office:version="1.2" '
                'office:mimetype="application/vnd.oasis.opendocument.chart">'
                + _graphique_xml(feuille, plage) + "</office:document></draw:object>")
        else:
            nom = f"Object {len(objets) + 1}"
            objets.append((nom, _graphique_xml(feuille, plage)))
            morceaux.append(
                f'<draw:object draw:notify-on-update-of-ranges="{adresse}" xlink:href="./{nom}" '
                'xlink:type="simple" xlink:show="embed" xlink:actuate="onLoad"/>')
        morceaux.append("</draw:frame>")
    morceaux.append("</table:shapes>")
    return "".join(morceaux)


def _table_xml(feuille, sortie, objets=None):
    sortie.write(f"<table:table table:name={quoteattr(feuille.nom)}>")
    sortie.write(_cadres_xml(feuille, objets))
    lignes = {}
    for (ligne, colonne), case in feuille.cases.items():
        lignes.setdefault(ligne, {})[colonne] = case
    maxcol = max((c for (_, c) in feuille.cases), default=1)
    sortie.write(f'<table:table-column table:number-columns-repeated="{maxcol}"/>')
    precedente = 0
    for ligne in sorted(lignes):
        if ligne - precedente > 1:
            nb = ligne - precedente - 1
            sortie.write(f'<table:table-row table:number-rows-repeated="{nb}"><table:table-cell/></table:table-row>')
        sortie.write("<table:table-row>")
        colprec = 0
        for colonne in sorted(lignes[ligne]):
            if colonne - colprec > 1:
                sortie.write(f'<table:table-cell table:number-columns-repeated="{colonne - colprec - 1}"/>')
            sortie.write(_case_xml(lignes[ligne][colonne]))
            colprec = colonne
        sortie.write("</table:table-row>\n")
        precedente = ligne
    if not lignes:
        sortie.write("<table:table-row><table:table-cell/></table:table-row>")
    sortie.write("</table:table>\n")


def _corps(feuilles, objets=None):
    sortie = io.StringIO()
    sortie.write("<office:body><office:spreadsheet>\n")
    for feuille in feuilles:
        _table_xml(feuille, sortie, objets)
    sortie.write("</office:spreadsheet></office:body>")
    return sortie.getvalue()


_META = (
    "<office:meta><meta:generator>Zarvoedit-generateur</meta:generator>"
    "<dc:title>Base synthétique</dc:title>"
    "<meta:creation-date>2026-01-15T10:00:00</meta:creation-date>"
    "<dc:date>2026-01-15T10:00:00</dc:date></office:meta>"
)


def fods(feuilles):
    """Le document plat complet, en texte."""
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<office:document {NS} office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">'
        + _META
        + "<office:automatic-styles>"
        + STYLES_AUTO
        + "</office:automatic-styles>"
        + _corps(feuilles)
        + "</office:document>\n"
    )


def ods(feuilles):
    """Le même document en paquet zip (octets), reproductible : dates des membres fixées. Les
    graphiques y sont des sous-documents « Object N/ »."""
    objets = []
    contenu = (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<office:document-content {NS} office:version="1.2">'
        "<office:automatic-styles>" + STYLES_AUTO + "</office:automatic-styles>"
        + _corps(feuilles, objets)
        + "</office:document-content>\n"
    )
    meta = (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<office:document-meta {NS} office:version="1.2">' + _META + "</office:document-meta>\n"
    )
    styles = (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<office:document-styles {NS} office:version="1.2"><office:styles/></office:document-styles>\n'
    )
    manifeste = (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">'
        '<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
        '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
        '<manifest:file-entry manifest:full-path="styles.xml" manifest:media-type="text/xml"/>'
        '<manifest:file-entry manifest:full-path="meta.xml" manifest:media-type="text/xml"/>'
        + "".join(
            f'<manifest:file-entry manifest:full-path="{nom}/" '
            'manifest:media-type="application/vnd.oasis.opendocument.chart"/>'
            f'<manifest:file-entry manifest:full-path="{nom}/content.xml" manifest:media-type="text/xml"/>'
            for nom, _ in objets)
        + "</manifest:manifest>\n"
    )
    tampon = io.BytesIO()
    with zipfile.ZipFile(tampon, "w") as z:
        membres = [
            ("mimetype", b"application/vnd.oasis.opendocument.spreadsheet", zipfile.ZIP_STORED),
            ("META-INF/manifest.xml", manifeste.encode(), zipfile.ZIP_DEFLATED),
            ("content.xml", contenu.encode(), zipfile.ZIP_DEFLATED),
            ("styles.xml", styles.encode(), zipfile.ZIP_DEFLATED),
            ("meta.xml", meta.encode(), zipfile.ZIP_DEFLATED),
        ]
        for nom, corps in objets:
            document = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                        f'<office:document-content {NS} office:version="1.2">{corps}'
                        "</office:document-content>\n")
            membres.append((f"{nom}/content.xml", document.encode(), zipfile.ZIP_DEFLATED))
        for nom, donnees, methode in membres:
            info = zipfile.ZipInfo(nom, date_time=(2026, 1, 15, 10, 0, 0))
            info.compress_type = methode
            z.writestr(info, donnees)
    return tampon.getvalue()
