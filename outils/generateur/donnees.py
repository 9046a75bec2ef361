"""Données inventées d'une base de jeu : coureurs, équipes, feuilles annexes, et les variantes
qui servent aux tests. Tout dépend d'une graine fixe : mêmes données à chaque exécution."""

import datetime
import random

from odf import Case, Feuille

# LibreOffice 7.4 écrit 0 (nombre) comme résultat en cache d'une formule à résultat texte, sans
# enregistrement STRING : ces formules ne vont qu'à Gnumeric, qui écrit le texte.
FORMULE_TEXTE = ("gnumeric",)

LISTE_EQUIPES = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 25, 26,
                 27, 28, 36, 63, 64, 65, 67, 68, 70, 72, 73, 74, 75, 81, 83, 85, 201, 61]
LIBRES = 61
CHAMPION = 327
NON_LISTEES = [13, 23, 24, 29, 30, 31, 40, 41, 50, 60, 62, 66, 69, 71, 76, 80, 82, 84, 90, 100,
               110, 200]

ENTETE_COUREURS = [
    "Id", "Nom", "Prénom", "Équipe", "Pays", "Jour", "Mois", "Année", "Points UCI",
    "Plaine", "Pot. plaine", "Montagne", "Pot. montagne", "Vallons", "Pot. vallons",
    "Descente", "Pot. descente", "CLM", "Pot. CLM", "Endurance", "Pot. endurance",
    "Résistance", "Pot. résistance", "Récupération", "Pot. récupération", "Pavés", "Pot. pavés",
    "Agilité", "Pot. agilité", "Sprint", "Pot. sprint", "Accélération", "Pot. accélération",
]
ENTETE_EQUIPES = ["Id", "Nom de l'équipe", "Division", "Pays", "Abrév.", "Suffixe mail"]

PRENOMS = [
    "Étienne", "Léon", "Mathéo", "Jörg", "Søren", "Lukáš", "Paweł", "Joaquín", "Bartłomiej",
    "Anders", "Émile", "Loïc", "Gaëtan", "Jérôme", "Frédéric", "Niño", "Zoltán", "Ívar",
    "Matthijs", "Kęstutis", "Raphaël", "Benoît", "Jonás", "Marek", "Timo", "Håkon", "Dávid",
    "Guillaume", "Iñigo", "Andrés", "Tomáš", "Piotr", "Grégoire", "Noé", "Aurèle", "Ståle",
    "Björn", "Cédric", "Rémi", "Ondřej", "Mikkel", "Lorenzo", "Fabiën", "Sébastien", "Jürgen",
    "Ignacio", "Ruairí", "Ĺuboš", "Mattéo", "Yannick",
]
DEBUTS = [
    "Ver", "Mal", "Kor", "Bré", "Lau", "Szé", "Øst", "Dü", "Fal", "Çam", "Gro", "Han", "Jal",
    "Kel", "Lor", "Mer", "Nor", "Pél", "Quin", "Ros", "Sal", "Tré", "Ulm", "Val", "Wes", "Zan",
    "Bor", "Cas", "Dal", "Fer", "Gué", "Hol", "Mar", "Pon", "Rav", "Stę", "Vil", "Wró", "Łok",
]
FINS = [
    "ghen", "mont", "ard", "zewski", "ović", "sson", "elli", "ez", "ière", "berg", "aerts",
    "inger", "ani", "ot", "eau", "ac", "ková", "ssen", "rup", "uelo", "ès", "haus", "kamp",
    "vic", "oni", "aux", "in", "ens", "ölf", "ászy", "iño", "ørn", "ulat", "ry",
]
PARTICULES = ["", "", "", "", "", "", "", "De ", "Van ", "van der ", "Di ", "d'"]
VILLES = [
    "Valmoret", "Ardenval", "Brisegrange", "Côtelune", "Montfériac", "Drenhaven", "Olsmark",
    "Kravelin", "Pérouzac", "Sankt Oberwald", "Lindhöfen", "Torrevieja Alta", "Bräkenfors",
    "Zelvora", "Łąkomin", "Grazzano", "Velmsted", "Ruisbergen", "Ostrévie", "Halmøy",
    "Castelmorin", "Vieux-Brûlé", "Nordkapp Süd", "Estrella Fría", "Kaltbrunnen", "Marévia",
    "Sablonnières", "Žitava", "Fjällbacka Nord", "Ribeira Alta", "Vénasque", "Hohenbruck",
    "Miravent", "Pontarlès", "Dunhelm", "Solvåg", "Quercyrac", "Belcastel", "Ystrelle",
    "Corbazan", "Moravel", "Tarnova", "Lisbrake", "Cazelles", "Nebelsee", "Palombara",
    "Aubeterre", "Grønvik", "Siebenwald", "Trevanne", "Oucques", "Dormelle", "Farnes",
    "Ulmenhof", "Kirvessa", "Balmoral Sud", "Roquessel", "Hérisson", "Valdoux", "Ébreuil",
    "Zornhal", "Mélisey", "Brăila Nouă", "Cuévano",
]
MOTS = [
    "Cyclisme", "Équipe", "Vélo-Club", "Team", "Ciclismo", "Radsport", "Cycling", "Wielerploeg",
    "Kolarstwo", "Pédale",
]
# Lettres hors Latin-1 : forcent des chaînes en 16 bits dans le .xls.
HORS_LATIN1 = "łŁřŘőŐşŞğĞčČžŽęĘąĄœŒŷΩλπΔжЖщЮ€–‘’"


def nom_famille(alea):
    return alea.choice(PARTICULES) + alea.choice(DEBUTS) + alea.choice(FINS)


def _caracteristiques(alea):
    """Douze paires valeur/potentiel 40..85, quelques potentiels sous leur valeur."""
    niveau = alea.randint(48, 76)
    paires = []
    for _ in range(12):
        valeur = max(40, min(85, niveau + alea.randint(-10, 10)))
        if alea.random() < 0.06:
            potentiel = max(40, valeur - alea.randint(1, 6))
        else:
            potentiel = min(85, valeur + alea.randint(0, 12))
        paires += [valeur, potentiel]
    return paires


def coureurs(alea, nombre, equipes_coureurs):
    """Les lignes de coureurs : liste de 33 valeurs. `equipes_coureurs` donne l'id d'équipe de
    chaque coureur (même longueur que le nombre de coureurs)."""
    ids = alea.sample([i for i in range(1, 1400) if i != CHAMPION], nombre - 1) + [CHAMPION]
    alea.shuffle(ids)
    # Noms : surtout distincts, quelques-uns en double, un qui commence par un É majuscule.
    noms = []
    vus = set()
    while len(noms) < nombre:
        nom = nom_famille(alea)
        if nom not in vus:
            vus.add(nom)
            noms.append(nom)
    for i in range(0, min(nombre, 12), 3):
        noms[(i + 1 + nombre // 2) % nombre] = noms[i]
    noms[min(nombre - 1, 5)] = "Étrivaz"
    lignes = []
    for k in range(nombre):
        ligne = [
            ids[k],
            noms[k],
            alea.choice(PRENOMS),
            equipes_coureurs[k],
            alea.randint(1, 60),
            alea.randint(1, 28),
            alea.randint(1, 12),
            alea.randint(1984, 2007),
            0 if alea.random() < 0.4 else alea.randint(1, 2500),
        ] + _caracteristiques(alea)
        lignes.append(ligne)
    return lignes


def _cas_notes(lignes):
    """Quelques coureurs aux valeurs choisies pour les arrondis des notes (moitié au pair, plancher
    du seul terme Vallons, profils du salaire)."""
    cas = [
        {12: 71, 14: 71},
        {12: 75, 14: 70},
        {12: 70, 14: 74},
        {12: 73, 14: 70},
        {20: 70, 12: 80, 22: 70, 24: 70, 18: 60, 30: 50},
        {20: 75, 12: 60, 22: 72, 24: 74, 18: 70, 30: 82},
    ]
    for ligne, valeurs in zip(lignes[10:], cas):
        for colonne, valeur in valeurs.items():
            ligne[colonne - 1] = valeur


def equipes(alea, lignes_feuille=74, listees=LISTE_EQUIPES, non_listees=NON_LISTEES):
    """Les équipes : dictionnaire ligne de feuille -> 6 valeurs, lignes 2..lignes_feuille ; les
    lignes sans équipe restent vides. Divisions 1 et 2, plus 0 pour l'équipe 61 et 3 pour 201."""
    ids = list(listees) + list(non_listees)
    places = alea.sample(range(2, lignes_feuille + 1), len(ids))
    villes = alea.sample(VILLES, len(ids))
    abreviations = set()
    resultat = {}
    for k, (ident, ligne) in enumerate(zip(ids, places)):
        ville = villes[k]
        if ident == LIBRES:
            nom, division = "Coureurs libres", 0
        else:
            nom = alea.choice(MOTS) + " " + ville
            division = 3 if ident == 201 else (1 if k % 2 == 0 else 2)
        lettres = "".join(ch for ch in ville.upper() if ch.isalpha())
        abrev = lettres[:3]
        n = 3
        while abrev in abreviations:
            n += 1
            abrev = lettres[:2] + lettres[n % len(lettres)] + str(n)
        abreviations.add(abrev)
        suffixe = "".join(ch for ch in ville.lower() if ch.isalpha() and ch.isascii())[:8] or "equipe"
        resultat[ligne] = [ident, nom, division, alea.randint(1, 60), abrev, suffixe]
    return resultat


def repartir_equipes(alea, nombre, libres):
    """Id d'équipe de chaque coureur : `libres` coureurs en 61, quelques-uns dans des équipes non
    listées, le reste réparti sur les 40 autres équipes listées."""
    autres = [e for e in LISTE_EQUIPES if e != LIBRES]
    hors_liste = min(12, max(0, nombre - libres - len(autres)))
    equipes_coureurs = [LIBRES] * libres + [alea.choice([13, 23]) for _ in range(hors_liste)]
    reste = nombre - len(equipes_coureurs)
    equipes_coureurs += [autres[k % len(autres)] for k in range(reste)]
    alea.shuffle(equipes_coureurs)
    return equipes_coureurs


def feuille_coureurs(lignes, premiere=2):
    f = Feuille("DYN_cyclist")
    for c, titre in enumerate(ENTETE_COUREURS, 1):
        f.poser(1, c, titre)
    for r, ligne in enumerate(lignes, premiere):
        for c, valeur in enumerate(ligne, 1):
            if valeur is not None and valeur != "":
                f.poser(r, c, valeur)
    return f


def feuille_equipes(equipes_par_ligne):
    f = Feuille("DYN_team")
    for c, titre in enumerate(ENTETE_EQUIPES, 1):
        f.poser(1, c, titre)
    for r, valeurs in equipes_par_ligne.items():
        for c, valeur in enumerate(valeurs, 1):
            if valeur is not None and valeur != "":
                f.poser(r, c, valeur)
    return f


def serie_date(jour):
    return (jour - datetime.date(1899, 12, 30)).days


def feuille_avant(nom="Lisez-moi"):
    """Feuille placée avant les deux feuilles du jeu : textes, nombres variés, formules."""
    f = Feuille(nom)
    f.poser(1, 1, "Base synthétique — données inventées")
    f.poser(2, 1, "Version")
    f.poser(2, 2, 3)
    f.poser(3, 1, "Coefficients")
    valeurs = [0.5, 0.8, 0.2, -42, 3.14159, 1234567.875, 0.01, 1e-05, 123456789012, -0.75]
    for k, v in enumerate(valeurs):
        f.poser(4 + k, 2, v)
    somme_entiers = -42 + 123456789012
    f.poser(15, 1, "Somme des entiers")
    f.poser(15, 2, Case("nombre", somme_entiers, formule="of:=[.B7]+[.B12]"))
    f.poser(16, 1, "Produit")
    f.poser(16, 2, Case("nombre", 0.8 * 7.5, formule="of:=[.B5]*7.5"))
    f.poser(17, 1, "Libellé")
    f.poser(17, 2, Case("texte", "Version 3", formule='of:="Version "&[.B2]',
                        ecrivains=FORMULE_TEXTE))
    jour = datetime.date(2026, 6, 21)
    f.poser(18, 1, "Date d'export")
    f.poser(18, 2, Case("date", (serie_date(jour), jour.isoformat())))
    f.poser(19, 1, "Taux")
    f.poser(19, 2, Case("pourcent", 0.25))
    f.poser(20, 1, "Actif")
    f.poser(20, 2, True)
    f.poser(21, 1, "Note : « guillemets » et apostrophe d'usage")
    f.poser(22, 1, "Deux lignes\nseconde ligne")
    f.poser(23, 1, "  blancs  au début et à la fin  ")
    f.poser(24, 1, Case("texte", "Texte riche gras et italique",
                        morceaux=[("Texte riche ", None), ("gras", "T1"), (" et ", None), ("italique", "T2")]))
    f.poser(25, 1, "Symboles : € – ‘guillemets’ œ Ω жЖ")
    for c in range(3, 8):
        f.poser(26, c, Case("vide"))
    f.poser(27, 1, "Erreurs")
    f.poser(27, 2, Case("erreur", "#DIV/0!", formule="of:=1/0"))
    f.poser(28, 2, Case("erreur", "#N/A", formule="of:=NA()"))
    # Formule au résultat texte vide : la case compte pour vide.
    f.poser(29, 2, Case("texte", "", formule='of:=""'))
    # Doubles à 17 chiffres significatifs : un lecteur qui arrondit à 15 chiffres se voit.
    f.poser(30, 1, "Précision")
    for k, x in enumerate([0.1 + 0.2, 1 / 3, 123456.78901234567, 2 / 3 * 1e10, -1 / 7 * 1e-8]):
        f.poser(30, 2 + k, x)
    return f


def feuille_apres(nom="Statistiques", nb=20):
    """Feuille placée après : une colonne de valeurs et une colonne de formules semblables (que
    certains tableurs écrivent en formule partagée), un total."""
    f = Feuille(nom)
    f.poser(1, 1, "Valeur")
    f.poser(1, 2, "Double")
    f.poser(1, 3, "Commentaire")
    for k in range(nb):
        r = 2 + k
        v = 7 * k - 20
        f.poser(r, 1, v)
        f.poser(r, 2, Case("nombre", 2 * v + 1, formule=f"of:=[.A{r}]*2+1"))
        if k % 4 == 0:
            f.poser(r, 3, f"ligne {r}")
    total = sum(7 * k - 20 for k in range(nb))
    f.poser(nb + 3, 1, Case("nombre", total, formule=f"of:=SUM([.A2:.A{nb + 1}])"))
    f.poser(nb + 3, 3, "Total")
    return f


def base(graine=20260115, nombre=972, libres=150):
    """La base complète."""
    alea = random.Random(graine)
    equipes_coureurs = repartir_equipes(alea, nombre, libres)
    lignes = coureurs(alea, nombre, equipes_coureurs)
    _cas_notes(lignes)
    return [
        feuille_avant(),
        feuille_coureurs(lignes),
        feuille_equipes(equipes(alea)),
        feuille_apres(),
    ]


def mini(graine=7):
    """Quelques lignes : graine du fuzz, exécution rapide."""
    alea = random.Random(graine)
    lignes = coureurs(alea, 6, [61, 11, 1, 61, 13, 11])
    avant = Feuille("Avant")
    avant.poser(1, 1, "Début")
    avant.poser(2, 1, 12.5)
    apres = Feuille("Après")
    apres.poser(1, 1, 4)
    apres.poser(1, 2, Case("nombre", 8, formule="of:=[.A1]*2"))
    apres.poser(2, 1, Case("texte", "mini", formule='of:="mi"&"ni"',
                                   ecrivains=FORMULE_TEXTE))
    return [
        avant,
        feuille_coureurs(lignes),
        feuille_equipes(equipes(alea, lignes_feuille=8, listees=[11, 61, 1], non_listees=[13])),
        apres,
    ]


def clairseme(graine=11):
    """Lignes clairsemées, cases vides au milieu des lignes, cases vides mais formatées, une
    case après AG et après la ligne 973, une feuille vide, une case en IV65536."""
    alea = random.Random(graine)
    nombre = 40
    lignes = coureurs(alea, nombre, [alea.choice(LISTE_EQUIPES) for _ in range(nombre)])
    f = Feuille("DYN_cyclist")
    for c, titre in enumerate(ENTETE_COUREURS, 1):
        if c % 5 != 3:
            f.poser(1, c, titre)
    rangs = sorted(alea.sample(range(2, 974), nombre - 2)) + [2, 973]
    for r, ligne in zip(sorted(set(rangs)), lignes):
        for c, valeur in enumerate(ligne, 1):
            tirage = alea.random()
            if tirage < 0.25:
                continue
            if tirage < 0.32:
                f.poser(r, c, Case("vide"))
            else:
                f.poser(r, c, valeur)
    # Des suites de cases formatées vides (MULBLANK) entre des nombres.
    for c in range(10, 20):
        f.poser(500, c, Case("vide"))
    f.poser(500, 20, 55)
    f.poser(973, 33, 84)
    f.poser(5, 34, "hors plage à droite")
    f.poser(974, 1, "hors plage en bas")
    f.poser(1200, 40, 3.5)
    equipes_par_ligne = {}
    for r, valeurs in equipes(alea).items():
        if alea.random() < 0.5:
            equipes_par_ligne[r] = [v if alea.random() > 0.2 else None for v in valeurs]
    equipes_par_ligne = {r: v for r, v in equipes_par_ligne.items() if v[0] != LIBRES}
    equipes_par_ligne[74] = [61, "Coureurs libres", None, 9, "LIB", None]
    t = feuille_equipes(equipes_par_ligne)
    t.poser(74, 8, Case("vide"))
    # Ligne 75 : hors des lignes examinées, un id listé qui ne doit pas être chargé.
    for c, valeur in enumerate([11, "Hors limite", 1, 5, "HLM", "hors"], 1):
        t.poser(75, c, valeur)
    vide = Feuille("Vide")
    loin = Feuille("Loin")
    loin.poser(1, 1, "coin")
    loin.poser(65536, 256, "dernière case")
    loin.poser(65536, 1, 1)
    loin.poser(1, 256, Case("vide"))
    return [vide, f, t, loin]


TEXTES_NOMBRES = ["75", " 75", "75 ", "075", "75.0", "75,5", "7.5e1", "-3", "+4", "1e3", "0",
                  "abc", "12 345", "0x1F", "3.", ".5", "٣"]


def textes(graine=13):
    """Nombres écrits comme texte dans les deux feuilles, mêlés aux vrais nombres."""
    alea = random.Random(graine)
    nombre = 30
    lignes = coureurs(alea, nombre, [alea.choice(LISTE_EQUIPES) for _ in range(nombre)])
    for k, ligne in enumerate(lignes):
        for c in range(len(ligne)):
            if c in (1, 2):
                continue
            if (k + c) % 3 == 0:
                ligne[c] = str(ligne[c])
            elif (k * 7 + c) % 11 == 0:
                ligne[c] = alea.choice(TEXTES_NOMBRES)
    lignes[3][0] = "327"
    lignes[4][3] = "61"
    lignes[5][11] = "71.0"
    lignes[5][13] = " 71"
    # De vrais nombres fractionnaires (Montagne, Vallons) : plancher et arrondi au chargement.
    lignes[6][11] = 70.5
    lignes[6][13] = 74.9
    equipes_par_ligne = equipes(alea, lignes_feuille=20, listees=[1, 11, 61, 201, 85],
                                non_listees=[13, 111])
    for r, valeurs in equipes_par_ligne.items():
        valeurs[0] = str(valeurs[0]) if valeurs[0] % 2 else valeurs[0]
        valeurs[2] = str(valeurs[2])
        valeurs[3] = str(valeurs[3]) if r % 2 else valeurs[3]
    avant = Feuille("Notes")
    for k, t in enumerate(TEXTES_NOMBRES, 1):
        avant.poser(k, 1, t)
        avant.poser(k, 2, k)
    apres = feuille_apres("Calculs", nb=6)
    return [avant, feuille_coureurs(lignes), feuille_equipes(equipes_par_ligne), apres]


def _phrase(alea, longueur):
    mots = []
    total = 0
    while total < longueur:
        mot = alea.choice(DEBUTS) + alea.choice(FINS)
        if alea.random() < 0.15:
            mot += alea.choice(HORS_LATIN1)
        mots.append(mot)
        total += len(mot) + 1
    return " ".join(mots)[:longueur]


def sst_long(graine=17, nombre_textes=2000):
    """Une table de chaînes partagées qui s'étend sur de nombreux enregistrements CONTINUE :
    des milliers de chaînes distinctes et longues, en 8 et 16 bits, des textes riches, des
    chaînes plus longues qu'un enregistrement."""
    alea = random.Random(graine)
    nombre = 40
    lignes = coureurs(alea, nombre, [alea.choice(LISTE_EQUIPES) for _ in range(nombre)])
    for k, ligne in enumerate(lignes):
        if k % 3 == 0:
            ligne[1] = ligne[1] + alea.choice(HORS_LATIN1) + "-" + _phrase(alea, 30)
        if k % 4 == 0:
            ligne[2] = ligne[2] + " " + alea.choice(["Łukasz", "Þórir", "Ørjan", "Ğökhan", "Œdipe", "Řehoř"])
    textes_feuille = Feuille("Textes")
    vus = set()
    r = 1
    while len(vus) < nombre_textes:
        longueur = alea.randint(20, 160)
        t = f"{len(vus):04d} " + _phrase(alea, longueur)
        if t in vus:
            continue
        vus.add(t)
        textes_feuille.poser(r, 1 + (r % 3), t)
        r += 1
    # Chaînes plus longues qu'un enregistrement (8224 octets) : latin-1, puis 16 bits.
    long8 = "".join(_phrase(alea, 200) + " " for _ in range(60))
    long8 = "".join(ch for ch in long8 if ord(ch) < 256)[:9000]
    long16 = ("Début en latin " * 300)[:4500] + "ł" + _phrase(alea, 7000)
    textes_feuille.poser(r + 1, 1, long8)
    textes_feuille.poser(r + 2, 1, long16)
    for k in range(20):
        textes_feuille.poser(r + 3 + k, 2, Case(
            "texte", f"Riche {k} : début gras{k} fin ł", morceaux=[
                (f"Riche {k} : début ", None), (f"gras{k}", "T1"), (" fin ł", "T2")]))
    return [
        feuille_avant("Préambule"),
        feuille_coureurs(lignes),
        feuille_equipes(equipes(alea, lignes_feuille=12, listees=[1, 61, 11], non_listees=[13])),
        textes_feuille,
    ]


def graphique(graine=19):
    """Des graphiques posés sur les feuilles, y compris sur les deux feuilles du jeu : dans le
    .xls, un sous-flux de graphique (BOF/EOF) niché dans celui de la feuille."""
    alea = random.Random(graine)
    nombre = 20
    lignes = coureurs(alea, nombre, [alea.choice(LISTE_EQUIPES) for _ in range(nombre)])
    cyclistes = feuille_coureurs(lignes)
    cyclistes.graphiques = ["L2:L21"]
    equipes_f = feuille_equipes(equipes(alea, lignes_feuille=10, listees=[1, 11, 61, 2, 3],
                                        non_listees=[13]))
    equipes_f.graphiques = ["C2:C10", "D2:D10"]
    apres = feuille_apres("Statistiques", nb=8)
    apres.graphiques = ["A2:A9"]
    return [feuille_avant(), cyclistes, equipes_f, apres]


VARIANTES = {
    "base": base,
    "mini": mini,
    "clairseme": clairseme,
    "textes": textes,
    "sst-long": sst_long,
    "graphique": graphique,
}
