#!/bin/sh
# Joue chaque scénario de ce dossier (captures --scenario), chacun dans un dossier neuf qui
# contient la démo en demo.xls et, intacte, en origine.xls. Échoue si l'un échoue.
captures=$1
ici=$(cd "$(dirname "$0")" && pwd)
echecs=0
for s in "$ici"/*.txt; do
    d=$(mktemp -d)
    cp "$ici/../../exemples/demo.xls" "$d/demo.xls"
    cp "$d/demo.xls" "$d/origine.xls"
    if ! (cd "$d" && "$captures" --scenario "$s" sortie >/dev/null); then
        echecs=$((echecs + 1))
    fi
    rm -rf "$d"
done
[ "$echecs" -eq 0 ] || { echo "$echecs scénario(s) en échec" >&2; exit 1; }
