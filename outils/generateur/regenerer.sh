#!/bin/sh
# Régénère les classeurs de test committés, leurs valeurs attendues et le classeur de
# démonstration. Demande LibreOffice (soffice) et Gnumeric (ssconvert).
set -eu
racine=$(cd "$(dirname "$0")/../.." && pwd)
/usr/bin/python3 "$racine/outils/generateur/generer.py" \
    --sortie "$racine/tests/data/classeurs" \
    --demo "$racine/exemples/demo.xls" \
    --refus "$racine/tests/data/refus" "$@"
# Le classeur abîmé se tire du mini LibreOffice, peut-être régénéré à l'instant.
exec /usr/bin/python3 "$racine/outils/generateur/abimer.py"
