#include "sheet/xls/conteneur_ecriture.h"

#include "sheet/erreur.h"
#include "sheet/xls/octets.h"

#include <algorithm>
#include <cstring>

namespace zarvo::sheet::xls {

namespace {

[[noreturn]] void refuser(const QString &raison)
{
    throw ErreurClasseur(QStringLiteral("écriture du fichier composé impossible : %1").arg(raison));
}

constexpr std::uint32_t difatEnTete = 109;
constexpr int tailleEntree = 128;

std::uint32_t arrondiHaut(std::uint64_t a, std::uint64_t b)
{
    return std::uint32_t((a + b - 1) / b);
}

} // namespace

Conteneur EcrivainConteneur::remplacerFlux(
    const Conteneur &c, int entree, const QByteArray &contenu)
{
    if (entree <= 0 || std::size_t(entree) >= c.m_entrees.size()
        || c.m_entrees[std::size_t(entree)].type != EntreeRepertoire::Flux)
        refuser(QStringLiteral("flux introuvable"));
    const EntreeRepertoire &en = c.m_entrees[std::size_t(entree)];
    if (en.dansMiniFlux() || std::uint64_t(contenu.size()) < Conteneur::seuilMiniFlux)
        refuser(
            QStringLiteral("flux « %1 » trop petit (mini-flux non pris en charge)").arg(en.nom));
    const std::uint32_t ss = std::uint32_t(c.m_tailleSecteur);
    const std::uint32_t parSecteur = ss / 4;

    const std::vector<std::uint32_t> ancienne = c.chaineFlux(entree);
    const std::uint32_t n = arrondiHaut(std::uint64_t(contenu.size()), ss);
    std::vector<std::uint32_t> fat = c.m_fat;
    std::vector<std::uint32_t> secteursFat = c.m_secteursFat, secteursDifat = c.m_secteursDifat;
    const std::uint32_t total = c.m_nbSecteurs;

    // Combien de secteurs de FAT et de DIFAT en plus pour décrire les secteurs ajoutés, qui
    // doivent eux-mêmes y figurer.
    const std::uint32_t ajoutes = n > ancienne.size() ? n - std::uint32_t(ancienne.size()) : 0;
    std::uint32_t fatEnPlus = 0, difatEnPlus = 0;
    for (;;) {
        const std::uint64_t fin = std::uint64_t(total) + ajoutes + fatEnPlus + difatEnPlus;
        const std::uint32_t besoinFat = arrondiHaut(fin, parSecteur);
        const std::uint32_t besoinDifat
            = besoinFat > difatEnTete ? arrondiHaut(besoinFat - difatEnTete, parSecteur - 1) : 0;
        const std::uint32_t f = std::max<std::uint32_t>(fatEnPlus,
            besoinFat > secteursFat.size() ? besoinFat - std::uint32_t(secteursFat.size()) : 0);
        const std::uint32_t d = std::max<std::uint32_t>(difatEnPlus,
            besoinDifat > secteursDifat.size() ? besoinDifat - std::uint32_t(secteursDifat.size())
                                               : 0);
        if (f == fatEnPlus && d == difatEnPlus)
            break;
        fatEnPlus = f;
        difatEnPlus = d;
    }
    const std::uint64_t nbSecteurs = std::uint64_t(total) + ajoutes + fatEnPlus + difatEnPlus;
    if (nbSecteurs >= 0xFFFFFFF0u || (nbSecteurs + 1) * ss > 0x7FFFFFFFull)
        refuser(QStringLiteral("fichier trop grand"));

    QByteArray f = c.m_octets;
    // Le dernier secteur peut être incomplet dans le fichier d'origine : on le complète.
    f.resize(qsizetype((nbSecteurs + 1) * ss), '\0');
    char *d = f.data();
    const auto secteur = [&](std::uint32_t s) { return d + (std::uint64_t(s) + 1) * ss; };

    std::vector<std::uint32_t> chaine(
        ancienne.begin(), ancienne.begin() + std::min<std::size_t>(n, ancienne.size()));
    for (std::size_t k = chaine.size(); k < ancienne.size(); ++k) {
        fat[ancienne[k]] = Conteneur::secteurLibre;
        std::memset(secteur(ancienne[k]), 0, ss);
    }
    std::uint32_t prochain = total;
    for (std::uint32_t k = 0; k < ajoutes; ++k)
        chaine.push_back(prochain++);
    fat.resize(std::size_t(secteursFat.size() + fatEnPlus) * parSecteur, Conteneur::secteurLibre);
    for (std::uint32_t k = 0; k < fatEnPlus; ++k) {
        fat[prochain] = Conteneur::secteurFat;
        secteursFat.push_back(prochain++);
    }
    for (std::uint32_t k = 0; k < difatEnPlus; ++k) {
        fat[prochain] = Conteneur::secteurDifat;
        secteursDifat.push_back(prochain++);
    }
    for (std::size_t k = 0; k < chaine.size(); ++k)
        fat[chaine[k]] = k + 1 < chaine.size() ? chaine[k + 1] : Conteneur::finDeChaine;

    // Contenu du flux, dernier secteur complété de zéros.
    for (std::size_t k = 0; k < chaine.size(); ++k) {
        const qsizetype debut = qsizetype(k) * ss;
        const qsizetype nb = std::min<qsizetype>(ss, contenu.size() - debut);
        char *p = secteur(chaine[k]);
        std::memcpy(p, contenu.constData() + debut, std::size_t(nb));
        std::memset(p + nb, 0, std::size_t(ss - nb));
    }
    // FAT, DIFAT et en-tête.
    for (std::size_t k = 0; k < secteursFat.size(); ++k)
        for (std::uint32_t i = 0; i < parSecteur; ++i)
            ecrire32(secteur(secteursFat[k]) + 4 * i, fat[k * parSecteur + i]);
    for (std::uint32_t i = 0; i < difatEnTete; ++i)
        ecrire32(d + 76 + 4 * i, i < secteursFat.size() ? secteursFat[i] : Conteneur::secteurLibre);
    for (std::size_t k = 0; k < secteursDifat.size(); ++k) {
        char *p = secteur(secteursDifat[k]);
        for (std::uint32_t i = 0; i + 1 < parSecteur; ++i) {
            const std::size_t j = difatEnTete + k * (parSecteur - 1) + i;
            ecrire32(p + 4 * i, j < secteursFat.size() ? secteursFat[j] : Conteneur::secteurLibre);
        }
        ecrire32(p + 4 * (parSecteur - 1),
            k + 1 < secteursDifat.size() ? secteursDifat[k + 1] : Conteneur::finDeChaine);
    }
    ecrire32(d + 44, std::uint32_t(secteursFat.size()));
    ecrire32(d + 68, secteursDifat.empty() ? Conteneur::finDeChaine : secteursDifat.front());
    ecrire32(d + 72, std::uint32_t(secteursDifat.size()));
    // Entrée du répertoire : premier secteur et taille.
    const std::uint32_t parSecteurRep = ss / tailleEntree;
    char *e = secteur(c.m_chaineRepertoire.at(std::size_t(entree) / parSecteurRep))
        + (std::size_t(entree) % parSecteurRep) * tailleEntree;
    ecrire32(e + 116, chaine.front());
    ecrire64(e + 120, std::uint64_t(contenu.size()));

    // Relecture : le flux remplacé porte le contenu, tous les autres sont inchangés.
    Conteneur relu = Conteneur::lire(f);
    if (relu.lireFlux(entree) != contenu)
        refuser(QStringLiteral("la relecture ne redonne pas le flux écrit"));
    for (std::size_t i = 1; i < c.m_entrees.size(); ++i) {
        if (int(i) == entree || c.m_entrees[i].type != EntreeRepertoire::Flux
            || c.m_entrees[i].parent < 0)
            continue;
        if (relu.lireFlux(int(i)) != c.lireFlux(int(i)))
            refuser(QStringLiteral("le flux « %1 » a changé").arg(c.m_entrees[i].nom));
    }
    return relu;
}

} // namespace zarvo::sheet::xls
