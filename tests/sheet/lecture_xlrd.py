#!/usr/bin/python3
"""Lit une plage d'une feuille avec xlrd (lecteur indépendant) et l'écrit comme
`classeur lire --types` : lignes séparées par tabulations, n: t: v:.
Toute remarque de xlrd fait échouer la lecture (mode strict)."""
import io
import sys

import xlrd


def colonne(lettres):
    n = 0
    for c in lettres:
        n = n * 26 + ord(c) - 64
    return n


def case(adresse):
    i = next(k for k, c in enumerate(adresse) if c.isdigit())
    return int(adresse[i:]), colonne(adresse[:i])


def nombre(v):
    r = repr(float(v))
    return r[:-2] if r.endswith('.0') else r


def echappe(t):
    return (t.replace('\\', '\\\\').replace('\t', '\\t')
            .replace('\n', '\\n').replace('\r', '\\r'))


def texte(c):
    if c.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
        return 'v:'
    if c.ctype in (xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_DATE):
        return 'n:' + nombre(c.value)
    if c.ctype == xlrd.XL_CELL_BOOLEAN:
        return 'n:' + str(int(c.value))
    if c.ctype == xlrd.XL_CELL_ERROR:
        return 't:' + xlrd.error_text_from_code[c.value]
    return ('t:' + echappe(c.value)) if c.value != '' else 'v:'


def main():
    fichier, feuille, plage = sys.argv[1:4]
    journal = io.StringIO()
    livre = xlrd.open_workbook(fichier, logfile=journal, verbosity=0, on_demand=True)
    f = livre.sheet_by_name(feuille)
    (l1, c1), (l2, c2) = (case(a) for a in (plage.split(':') * 2)[:2])
    lignes = []
    for l in range(l1, l2 + 1):
        cases = []
        for c in range(c1, c2 + 1):
            if l - 1 < f.nrows and c - 1 < f.ncols:
                cases.append(texte(f.cell(l - 1, c - 1)))
            else:
                cases.append('v:')
        lignes.append('\t'.join(cases))
    if journal.getvalue().strip():
        sys.stderr.write('xlrd : ' + journal.getvalue())
        sys.exit(1)
    sys.stdout.write(''.join(l + '\n' for l in lignes))


main()
