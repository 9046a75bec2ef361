#!/bin/sh
# Joue chaque scénario (captures --scenario) dans un dossier neuf où sont demo.xls et sa copie
# origine.xls ; ceux d'echecs/ doivent échouer avec le message de leur « # échec attendu : ».
captures=$1
ici=$(cd "$(dirname "$0")" && pwd)
echecs=0
for s in "$ici"/*.txt "$ici"/echecs/*.txt; do
    d=$(mktemp -d) erreur=$(mktemp) # hors du dossier, qu'un scénario peut supprimer
    cp "$ici/../../exemples/demo.xls" "$d/demo.xls"
    cp "$d/demo.xls" "$d/origine.xls"
    (cd "$d" && "$captures" --scenario "$s" sortie >/dev/null 2>"$erreur")
    code=$?
    attendu=$(sed -n 's/^# échec attendu : //p' "$s")
    if [ -n "$attendu" ]; then
        [ "$code" -ne 0 ] && grep -qF "$attendu" "$erreur"
    else
        [ "$code" -eq 0 ]
    fi || {
        echo "$s : code $code${attendu:+, attendu « $attendu »}" >&2
        cat "$erreur" >&2
        echecs=$((echecs + 1))
    }
    rm -rf "$d" "$erreur"
done
[ "$echecs" -eq 0 ] || { echo "$echecs scénario(s) en échec" >&2; exit 1; }
