#!/bin/sh
# Tire les fichiers de référence (CRLF, Windows-1252) des pages écrites à la main.
set -eu
cd "$(dirname "$0")"
H="<td align=center><font color=white>Id</td><td align=center><font color=white> Nom </td><td align=center><font color=white> Prénom </td><td align=center><font color=white> Né le </td><td align=center><font color=white> Points UCI </td><td align=center><font color=white> Plaine </td><td align=center><font color=white> Montagne </td><td align=center><font color=white> Vallons </td><td align=center><font color=white> Descente </td><td align=center><font color=white> CLM </td><td align=center><font color=white> Endurance </td><td align=center><font color=white> Resist. </td><td align=center><font color=white>Récup </td><td align=center><font color=white> Pavés </td><td align=center><font color=white> Agilité </td><td align=center><font color=white> Sprint </td><td align=center><font color=white> Accel </td>"
B="<td align=center bordercolor='#6D1AA2' borderwidth=1  bgcolor=white><font color='#1D6008'><b>"
V="<td align=center bordercolor='#6D1AA2' borderwidth=1 bgcolor='#237909'><font color=white><b>"
for f in sommaire.html Equipe1.html Equipe2.html FA.html; do
    H="$H" B="$B" V="$V" awk '{ gsub(/@H@/, ENVIRON["H"]); gsub(/@B@/, ENVIRON["B"]); gsub(/@V@/, ENVIRON["V"]); printf "%s\r\n", $0 }' "$f" \
        | iconv -f UTF-8 -t CP1252 > "../$f"
done
