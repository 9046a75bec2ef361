#pragma once

// Base inventée de la taille du classeur du jeu : 972 coureurs, 41 équipes dont les libres (61),
// environ 150 libres, le champion (327) dans une équipe.
#include "model/donnees.h"
#include "model/tri.h"
#include "rider/formules.h"

#include <cstdio>
#include <optional>
#include <random>

#ifdef ZARVO_MOTEUR_XLS
#include "classeur_jeu/chargement.h"
#include "sheet/erreur.h"
#include "sheet/xls/application_xls.h"
#endif

namespace zarvo::mesure {

inline Donnees baseSynthetique()
{
    Donnees d;
    std::mt19937 g(20261206);
    const char16_t *syllabes[] = { u"ma", u"du", u"ber", u"ro", u"lé", u"ti", u"van", u"co", u"pi",
        u"sa", u"nel", u"gar", u"mo", u"ré", u"zu", u"quet" };
    auto nom = [&](bool capitale) {
        QString n;
        const int longueur = 2 + int(g() % 3);
        for (int i = 0; i < longueur; ++i)
            n += QString::fromUtf16(syllabes[g() % 16]);
        if (capitale)
            n[0] = n[0].toUpper();
        return n;
    };
    for (int k = 1; k <= 41; ++k) {
        const int id = k == 41 ? 61 : k;
        d.TabEquipes(k, 0) = Cellule::nombre(k);
        d.TabEquipes(k, 1) = Cellule::nombre(id);
        d.TabEquipes(k, 2) = Cellule::texte(QStringLiteral("Equipe ") + nom(true));
        d.TabEquipes(k, 3) = Cellule::nombre(k == 41 ? 3 : 1 + k % 2);
        d.TabEquipes(k, 4) = Cellule::nombre(1 + k % 30);
        d.TabEquipes(k, 5) = Cellule::texte(nom(true).left(3).toUpper());
        d.TabEquipes(k, 6) = Cellule::texte(QStringLiteral("equipe.example"));
        d.TabEquipes(k, 7) = Cellule::nombre(0);
    }
    TriTableau(d.TabEquipes, 5, 1, 41, 0, 6, -1);
    for (int k = 1; k <= 41; ++k)
        if (d.TabEquipes(k, 1).valeurNombre() == base::idEquipeLibres)
            d.IndexLibres = k;
    for (int r = base::premiereLigneCoureur; r <= base::derniereLigneCoureur; ++r) {
        Tableau &t = d.TabCoureurs;
        const int i = r - base::premiereLigneCoureur;
        t(r, 0) = Cellule::nombre(r);
        t(r, 1) = Cellule::nombre(1 + i);
        t(r, 2) = Cellule::texte(nom(g() % 8 != 0));
        t(r, 3) = Cellule::texte(nom(true));
        t(r, 4) = Cellule::nombre(i < 150 ? base::idEquipeLibres : 1 + i % 40);
        t(r, 5) = Cellule::nombre(1 + g() % 60);
        t(r, 6) = Cellule::nombre(1 + g() % 28);
        t(r, 7) = Cellule::nombre(1 + g() % 12);
        t(r, 8) = Cellule::nombre(1980 + g() % 25);
        t(r, 9) = Cellule::nombre(g() % 2000);
        for (int c = 10; c <= 32; c += 2) {
            const double v = 40 + g() % 45;
            t(r, c) = Cellule::nombre(v);
            t(r, c + 1) = Cellule::nombre(v + g() % 10);
        }
        const double mo = t(r, 12).valeurNombre(), val = t(r, 14).valeurNombre();
        t(r, 34) = Cellule::nombre(noteChargement5050(mo, val));
        t(r, 35) = Cellule::nombre(noteChargement8020(mo, val));
        t(r, 36) = Cellule::nombre(0);
    }
    TriTableau(d.TabCoureurs, 2, 2, 973, 0, 36, -1);
    return d;
}

/**
 * Les données des mesures : le classeur de démonstration lu par le moteur .xls quand il est dans
 * la construction, sinon la base inventée de même taille. Dit laquelle sur la sortie.
 */
inline Donnees donneesDeMesure()
{
#ifdef ZARVO_MOTEUR_XLS
    static const std::optional<Donnees> demo = []() -> std::optional<Donnees> {
        try {
            Donnees d;
            auto tableur = sheet::creerApplicationXls();
            chargerClasseur(*tableur, QStringLiteral(ZARVO_SOURCE_DIR "/exemples/demo.xls"), d);
            std::printf("Données : classeur de démonstration exemples/demo.xls\n");
            return d;
        } catch (const sheet::ErreurClasseur &e) {
            std::printf("Classeur de démonstration illisible (%s) : base inventée\n",
                qPrintable(sheet::texteErreur(e)));
            return std::nullopt;
        }
    }();
    if (demo)
        return *demo;
#else
    static const bool dit = (std::printf("Données : base inventée de la taille du classeur "
                                         "(moteur .xls absent de la construction)\n"),
        true);
    (void)dit;
#endif
    return baseSynthetique();
}

} // namespace zarvo::mesure
