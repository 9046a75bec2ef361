#!/bin/bash
# Joue chaque faute de fautes.txt sur une copie de l'arbre (jamais sur l'arbre de travail) :
# la faute posée, reconstruction incrémentale, ctest, puis le fichier remis d'origine.
#   outils/fautes/jouer.sh ETIQUETTE [RÉVISION]   (RÉVISION : HEAD par défaut)
# Reprend là où il s'était arrêté : les fautes déjà notées dans le résultat sont sautées.
# FAUTES_IDS="F03 F17" : seulement ces fautes. FAUTES_TESTS (expression de ctest -R) et
# FAUTES_CIBLES (cibles à construire) : seulement les tests changés depuis un premier passage,
# les autres jugeant le même code de la même façon. FAUTES_LISTE : une autre liste que
# fautes.txt (outils/fautes/moteur.txt pour le moteur .xls).
# Résultat : build/fautes-ETIQUETTE.tsv de l'arbre de travail (faute, tests en échec).
# Les tests des lecteurs indépendants (classeurs_*, test_allers_retours) sont écartés : aucune
# faute de fautes.txt ne touche le moteur .xls qu'ils jugent (FAUTES_EXCLUS pour les reprendre).
set -u
ici=$(cd "$(dirname "$0")" && pwd)
racine=$(git -C "$ici" rev-parse --show-toplevel)
etiquette=${1:?étiquette manquante (avant, apres…)}
revision=${2:-HEAD}
# À côté de l'arbre (sous /work) : ccache (base_dir) reconnaît les mêmes sources.
copie=${FAUTES_COPIE:-$(dirname "$racine")/fautes-$(basename "$racine")-$etiquette}
resultat=$racine/build/fautes-$etiquette.tsv
exclus=${FAUTES_EXCLUS:-'^classeurs_|^test_allers_retours$'}
delai=${FAUTES_DELAI:-300}
liste=${FAUTES_LISTE:-$ici/fautes.txt}
mkdir -p "$racine/build"
touch "$resultat"

if [ ! -f "$copie/build/CMakeCache.txt" ]; then
    rm -rf "$copie" && mkdir -p "$copie"
    git -C "$racine" archive "$revision" | tar -x -C "$copie"
    # lld : chaque faute relie des dizaines d'exécutables.
    cmake -S "$copie" -B "$copie/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARVO_BENCH=OFF \
        -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld >/dev/null || exit 1
fi
# Une faute laissée par un arrêt en cours de route est d'abord retirée.
find "$copie" -name '*.origine' -not -path '*/build/*' | while read -r f; do
    mv "$f" "${f%.origine}" && touch "${f%.origine}"
done
construire() {
    cmake --build "$copie/build" -j "${JOBS:-2}" ${FAUTES_CIBLES:+--target $FAUTES_CIBLES} \
        >"$copie/build/faute.log" 2>&1
}
tester() {
    (cd "$copie/build" && QT_QPA_PLATFORM=offscreen timeout $((delai * 3)) \
        ctest -j "${JOBS:-2}" -E "$exclus" ${FAUTES_TESTS:+-R "$FAUTES_TESTS"} --timeout "$delai" >"$copie/build/ctest.log" 2>&1)
    sed -n 's/^[0-9]*:\(.*\)$/\1/p' "$copie/build/Testing/Temporary/LastTestsFailed.log" 2>/dev/null \
        | sort | paste -sd, -
}
construire || { echo "l'arbre d'origine ne se construit pas" >&2; exit 1; }
if ! grep -q '^témoin' "$resultat"; then
    rm -f "$copie/build/Testing/Temporary/LastTestsFailed.log"
    echecs=$(tester)
    printf 'témoin\t%s\n' "${echecs:-aucun}" >>"$resultat"
fi

grep -P '^[A-Z]\d+\t' "$liste" | while IFS=$'\t' read -r id fichier expression description; do
    grep -q "^$id	" "$resultat" && continue
    [ -n "${FAUTES_IDS:-}" ] && ! echo " $FAUTES_IDS " | grep -q " $id " && continue
    cible=$copie/$fichier
    cp -p "$cible" "$cible.origine"
    sed -i -e "$expression" "$cible"
    debut=$(date +%s)
    if cmp -s "$cible" "$cible.origine"; then
        issue="NON POSÉE"
    elif ! construire; then
        issue="NE COMPILE PAS"
    else
        rm -f "$copie/build/Testing/Temporary/LastTestsFailed.log"
        issue=$(tester)
        issue=${issue:-AUCUN}
    fi
    mv "$cible.origine" "$cible"
    touch "$cible" # la prochaine construction reprend le fichier d'origine
    printf '%s\t%s\t%s\t%ss\n' "$id" "$issue" "$description" $(($(date +%s) - debut)) | tee -a "$resultat"
done
construire
