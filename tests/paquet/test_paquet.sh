#!/bin/sh
# Le paquet Debian tel qu'un joueur l'installe : construit par CPack, jugé par lintian,
# desktop-file-validate et appstreamcli, déballé dans une racine jetable où le programme
# installé répond à --version et --help.
# Usage : test_paquet.sh DOSSIER_DE_CONSTRUCTION VERSION
set -eu
construction=$1
version=$2
travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT

cpack -G DEB --config "$construction/CPackConfig.cmake" -B "$travail" >"$travail/cpack.log" 2>&1 \
    || { cat "$travail/cpack.log"; exit 1; }
deb=$(ls "$travail"/zarvoedit_"$version"_*.deb)
lintian --fail-on error --allow-root "$deb"

racine="$travail/racine"
dpkg -x "$deb" "$racine"
desktop-file-validate "$racine/usr/share/applications/org.zarvoedit.Zarvoedit.desktop"
appstreamcli validate --no-net "$racine/usr/share/metainfo/org.zarvoedit.Zarvoedit.metainfo.xml"
for taille in 16 24 32 48 64 128 256; do
    file "$racine/usr/share/icons/hicolor/${taille}x$taille/apps/org.zarvoedit.Zarvoedit.png" \
        | grep -q "PNG image data, $taille x $taille"
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 # tirée du programme par dpkg-shlibdeps

sortie=$("$racine/usr/bin/zarvoedit" --version)
[ "$sortie" = "zarvoedit $version" ] || { echo "--version : « $sortie »"; exit 1; }
aide=$("$racine/usr/bin/zarvoedit" --help)
echo "$aide" | grep -q "^Utilisation : .*\[FICHIER.xls\]" || { echo "$aide"; exit 1; }
echo "$aide" | grep -q "Affiche la version" || { echo "$aide"; exit 1; }
if "$racine/usr/bin/zarvoedit" --inconnue 2>"$travail/erreur"; then exit 1; else code=$?; fi
# Un « && » en échec n'arrête pas set -e : l'échec est dit et rendu.
[ "$code" = 2 ] && grep -q "Option inconnue" "$travail/erreur" || { echo "--inconnue : code $code"; exit 1; }
echo "paquet $(basename "$deb") : conforme"
