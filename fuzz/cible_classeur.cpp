// Cible de fuzz : des octets quelconques ouverts comme classeur, lus comme l'éditeur les lit,
// puis, s'ils sont acceptés, quelques cases écrites et le classeur enregistré en mémoire et
// relu. Seul ErreurClasseur est une issue permise ; toute autre exception, tout plantage, toute
// lecture hors bornes ou toute case relue fausse est un défaut.
#include "sheet/erreur.h"
#include "sheet/valeur.h"
#include "sheet/xls/classeur_xls.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace zarvo::sheet;
using zarvo::Cellule;

namespace {

// Exécutions du lecteur et de l'écrivain, comptées à part et dites à la sortie.
struct Compteurs
{
    long lectures = 0, ecritures = 0, relectures = 0, refus = 0;
    // libFuzzer interrompu ne passe pas par les destructeurs : dit aussi à chaque puissance de 2.
    ~Compteurs() { dire(); }
    void dire() const
    {
        if (lectures > 0)
            std::fprintf(stderr,
                "fuzz_classeur : %ld lectures, %ld écritures tentées, %ld relues et "
                "vérifiées, %ld refus propres\n",
                lectures, ecritures, relectures, refus);
    }
} compteurs;

void lireFeuille(xls::ClasseurXls &c, const QString &nom, const QString &bloc)
{
    try {
        Feuille &f = c.feuille(nom);
        const zarvo::Tableau t = f.plage(bloc)->valeurs();
        (void)t;
        f.plage(QStringLiteral("A1"))->valeur();
        f.plage(QStringLiteral("F74"))->valeur();
    } catch (const ErreurClasseur &) { }
}

/// Hasard tiré des octets d'entrée : une même entrée rejoue les mêmes écritures.
class Hasard
{
public:
    Hasard(const std::uint8_t *d, std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i)
            m_etat = (m_etat ^ d[i]) * 0x100000001B3ULL;
    }
    std::uint32_t operator()(std::uint32_t borne)
    {
        m_etat = m_etat * 6364136223846793005ULL + 1442695040888963407ULL;
        return borne == 0 ? 0 : std::uint32_t(m_etat >> 33) % borne;
    }

private:
    std::uint64_t m_etat = 0xCBF29CE484222325ULL;
};

Cellule valeurAuHasard(Hasard &h)
{
    switch (h(4)) {
    case 0:
        return {};
    case 1: {
        // Des bits quelconques, gardés s'ils font un nombre fini.
        const std::uint64_t bits = (std::uint64_t(h(0xFFFFFFFF)) << 32) | h(0xFFFFFFFF);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return Cellule::nombre(std::isfinite(v) ? v : 0.5);
    }
    case 2:
        return Cellule::nombre(double(int(h(2000000)) - 1000000) / (h(2) ? 100 : 1));
    default: {
        static const char16_t choix[] = { u'a', u'Z', u' ', u'9', u'é', u'ÿ', u'€', u'\u4E2D' };
        const int n = int(h(4) == 0 ? h(9001) : h(40));
        QString t;
        while (t.size() < n) {
            if (h(8) == 0 && t.size() + 2 <= n) {
                t += QChar(char16_t(0xD83D)); // paire de substitution : 😀
                t += QChar(char16_t(0xDE00));
            } else {
                t += QChar(choix[h(8)]);
            }
        }
        return Cellule::texte(t);
    }
    }
}

void relireEtComparer(const QByteArray &fichier,
    const std::map<std::size_t, xls::FeuilleBiff> &lues, xls::Ecritures &ecritures);

/// Écrit quelques cases dans les feuilles lisibles, enregistre en mémoire, relit et compare.
void ecrireEtRelire(xls::ClasseurXls &c, const std::uint8_t *donnees, std::size_t taille)
{
    Hasard h(donnees, taille);
    const xls::ClasseurBiff &biff = c.biff();
    std::map<std::size_t, xls::FeuilleBiff> lues;
    for (std::size_t k = 0; k < biff.feuilles().size(); ++k)
        if (biff.feuilles()[k].estFeuilleDeCalcul()) {
            try {
                lues.emplace(k, biff.lireFeuille(k));
            } catch (const ErreurClasseur &) { }
        }
    if (lues.empty())
        return;
    xls::Ecritures ecritures;
    for (auto &[k, f] : lues) {
        const int nb = int(h(7));
        for (int n = 0; n < nb; ++n) {
            int ligne = int(h(100)), colonne = int(h(20));
            const auto &cases = f.cases();
            if (!cases.empty() && h(3) != 0) {
                // Dans une case existante (suite MULRK/MULBLANK, formule partagée comprise).
                const xls::Case &cs = cases[h(std::uint32_t(cases.size()))];
                ligne = cs.ligne;
                colonne = cs.colonne + int(h(std::uint32_t(cs.derniere - cs.colonne + 1)));
            } else if (!cases.empty() && h(2) == 0) {
                // Au-delà de la plage utilisée.
                ligne = std::min(65535, int(cases.back().ligne) + 1 + int(h(40)));
                colonne = int(h(256));
            }
            const Cellule v = valeurPosee(valeurAuHasard(h));
            try {
                xls::verifierEcriture(biff, k, f, ligne, colonne, v, ecritures[k]);
                ecritures[k][{ ligne, colonne }] = v;
            } catch (const ErreurClasseur &) {
                ++compteurs.refus;
            }
        }
    }
    ++compteurs.ecritures;
    xls::FeuillesLues pointeurs;
    for (const auto &[k, f] : lues)
        pointeurs.emplace(k, &f);
    QByteArray flux;
    try {
        flux = xls::reconstruireFlux(biff, ecritures, pointeurs);
    } catch (const ErreurClasseur &) {
        ++compteurs.refus;
        return;
    }
    // Écritures acceptées : la vérification de l'écrivain, le conteneur et la relecture
    // indépendante ne doivent rien refuser de ce qu'il a rendu.
    try {
        xls::verifierFlux(biff, flux, ecritures, pointeurs);
        const auto &entree = c.conteneur().entrees().at(std::size_t(c.entreeWorkbook()));
        relireEtComparer(
            xls::remplacerFlux(c.conteneur().octets(), entree.nom, flux), lues, ecritures);
    } catch (const ErreurClasseur &e) {
        std::fprintf(
            stderr, "refus de ce que l'écrivain a rendu : %s\n", qPrintable(texteErreur(e)));
        std::abort();
    }
    ++compteurs.relectures;
}

void relireEtComparer(const QByteArray &fichier,
    const std::map<std::size_t, xls::FeuilleBiff> &lues, xls::Ecritures &ecritures)
{
    auto relu = xls::ouvrirOctets(fichier, QStringLiteral("fuzz.xls"));
    for (const auto &[k, avant] : lues) {
        const xls::FeuilleBiff apres = relu->biff().lireFeuille(k);
        const auto &ecr = ecritures[k];
        const auto valeurDans = [](const xls::FeuilleBiff &f, int l, int col) {
            const xls::Case *cs = f.chercher(l, col);
            return cs ? f.valeur(*cs, col) : Cellule();
        };
        for (const auto &[p, v] : ecr)
            if (!(valeurDans(apres, p.first, p.second) == v))
                std::abort();
        for (const auto *f : { &avant, &apres })
            for (const xls::Case &cs : f->cases())
                for (int col = cs.colonne; col <= cs.derniere; ++col)
                    if (!ecr.count({ cs.ligne, col })
                        && !(valeurDans(avant, cs.ligne, col) == valeurDans(apres, cs.ligne, col)))
                        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *donnees, std::size_t taille)
{
    const QByteArray octets(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    const long n = ++compteurs.lectures;
    if ((n & (n - 1)) == 0 && n >= 4096)
        compteurs.dire();
    try {
        auto c = xls::ouvrirOctets(octets, QStringLiteral("fuzz.xls"));
        lireFeuille(*c, QStringLiteral("DYN_cyclist"), QStringLiteral("A1:AG973"));
        lireFeuille(*c, QStringLiteral("DYN_team"), QStringLiteral("A1:F74"));
        // Les autres flux aussi : leurs chaînes ont été vérifiées à l'ouverture.
        const auto &entrees = c->conteneur().entrees();
        for (std::size_t i = 0; i < entrees.size(); ++i)
            if (entrees[i].type == xls::EntreeRepertoire::Flux && entrees[i].parent >= 0)
                (void)c->conteneur().lireFlux(int(i));
        // Conteneur accepté : le réécrire, plus long puis sous le seuil du mini-flux, ne doit
        // jamais échouer (remplacerFlux relit et vérifie son résultat).
        const QByteArray flux = c->conteneur().lireFlux(c->entreeWorkbook());
        const QByteArray plusLong = flux + QByteArray(700, 'x');
        for (const QByteArray &neuf : { plusLong, flux.left(100) }) {
            try {
                xls::remplacerFlux(octets, QStringLiteral("Workbook"), neuf);
            } catch (const ErreurClasseur &) {
                std::abort();
            }
        }
        ecrireEtRelire(*c, donnees, taille);
    } catch (const ErreurClasseur &) { }
    return 0;
}
