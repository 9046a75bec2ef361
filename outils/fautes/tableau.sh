#!/bin/sh
# Tableau avant/après des fautes jouées par jouer.sh :
#   outils/fautes/tableau.sh build/fautes-avant.tsv build/fautes-apres.tsv 'RETIRÉS_OU_CHANGÉS' [PRÉFIXE]
# PRÉFIXE : la lettre des identifiants (F par défaut, M pour moteur.txt).
# Un passage « après » borné aux tests changés (FAUTES_TESTS) se complète par les tests de
# l'avant restés tels quels (expression : les tests retirés ou changés depuis l'avant).
avant=$1 apres=$2 changes=${3:-'^$'} p=${4:-F}
awk -F'\t' -v changes="$changes" -v p="$p" '
    NR == FNR { if (index($1, p) == 1) { av[$1] = $2; desc[$1] = $3 } next }
    index($1, p) == 1 { ap[$1] = $2 }
    END {
        print "| Faute | Ce qu'"'"'elle casse | Avant | Après |"
        print "|---|---|---|---|"
        for (i = 1; i <= 99; i++) {
            id = sprintf("%s%02d", p, i)
            if (!(id in av)) continue
            # Faute non posée ou qui ne compile pas : aucun test à reprendre.
            n = av[id] ~ /^[A-Z ]+$/ ? 0 : split(av[id], t, ","); garde = ""
            for (k = 1; k <= n; k++)
                if (t[k] !~ changes) garde = garde (garde ? "," : "") t[k]
            nouveau = (id in ap) ? ap[id] : "(pas rejouée)"
            if (nouveau == "AUCUN") nouveau = ""
            apres = garde (garde && nouveau ? "," : "") nouveau
            print "| " id " | " desc[id] " | " av[id] " | " (apres ? apres : "AUCUN") " |"
        }
    }' "$avant" "$apres"
