#include "sheet/erreur.h"
#include "sheet/xls/biff_ecriture.h"
#include "sheet/xls/ecrivain_classeur.h"
#include "sheet/xls/feuille_reecrite.h"

#include <algorithm>
#include <memory>

// L'assemblage du nouveau flux Workbook : globaux, table des chaînes, feuilles à leur place.

namespace zarvo::sheet::xls {

using namespace ecriture;

QByteArray reconstruireFlux(
    const ClasseurBiff &biff, const Ecritures &ecritures, const FeuillesLues &lues)
{
    const auto &enr = biff.enregistrements();
    const auto &sf = biff.sousFlux();
    if (sf.empty() || enr.empty())
        throw ErreurClasseur(
            GenreErreur::EcritureImpossible, QStringLiteral("classeur vide, rien à enregistrer"));

    // Les feuilles touchées d'abord : elles décident des chaînes nouvelles.
    PlanSst sst(biff);
    std::map<std::size_t, std::unique_ptr<FeuilleReecrite>> touchees; // par sous-flux
    for (const auto &[feuille, ecr] : ecritures) {
        if (ecr.empty())
            continue;
        if (feuille >= biff.feuilles().size() || !biff.feuilles()[feuille].estFeuilleDeCalcul())
            throw ErreurClasseur(GenreErreur::FeuilleAbsente,
                QStringLiteral("écriture dans une feuille qui n'existe pas"));
        touchees[biff.feuilles()[feuille].sousFlux] = std::make_unique<FeuilleReecrite>(
            biff, feuille, ecr, sst, lues.count(feuille) ? lues.at(feuille) : nullptr);
    }
    const bool change = !touchees.empty();

    QByteArray out;
    out.reserve(biff.flux().size() + 65536);
    std::map<std::size_t, qsizetype> placesBoundsheet; // index d'enregistrement -> place
    std::vector<qint64> debuts(sf.size());

    // Globaux.
    const SousFlux &g = sf.front();
    const auto plageSst = biff.enregistrementsSst();
    const bool sstNeuve = !sst.nouvelles().empty();
    qint64 decalageSst = 0;
    bool recalcPose = !change;
    for (std::size_t i = g.premier; i <= g.dernier; ++i)
        recalcPose = recalcPose || enr[i].id == id::recalcId; // déjà là : il sera remis à zéro
    const auto poserSst = [&] {
        std::vector<ChaineSst> chaines;
        chaines.reserve(biff.sst().size() + sst.nouvelles().size());
        chaines.insert(chaines.end(), biff.sst().begin(), biff.sst().end());
        for (const auto &t : sst.nouvelles())
            chaines.push_back({ t, {}, {} });
        std::int64_t total = sst.ecartTotal;
        if (plageSst)
            total += biff.totalSst();
        // L'EXTSST suit toujours sa SST.
        const SstEcrite e
            = ecrireSst(chaines, std::uint32_t(std::max<std::int64_t>(total, 0)), out.size());
        out += e.sst;
        out += e.extsst;
    };
    out += biff.flux().left(enr[g.premier].position);
    for (std::size_t i = g.premier; i <= g.dernier; ++i) {
        const auto t = enr[i].id;
        if (!recalcPose
            && (t == id::msoDrawingGroup || t == id::sst || t == id::extsst || i == g.dernier)) {
            // Moteur 0 : les tableurs recalculent toutes les formules à l'ouverture.
            out += RecalcId().ecrire();
            recalcPose = true;
        }
        if (t == id::recalcId && change) {
            QByteArray r = biff.brut(i);
            RecalcId::remettreAZero(donneesDe(r), enr[i].longueur);
            out += r;
            continue;
        }
        if (plageSst && i == plageSst->first) {
            if (sstNeuve) {
                poserSst();
            } else {
                decalageSst = qint64(out.size()) - enr[i].position;
                const qsizetype place = out.size();
                for (std::size_t k = plageSst->first; k <= plageSst->second; ++k)
                    out += biff.brut(k);
                const std::int64_t total = std::int64_t(biff.totalSst()) + sst.ecartTotal;
                Sst::changerTotal(out.data() + place + tailleEnTete, enr[i].longueur,
                    std::uint32_t(std::max<std::int64_t>(total, 0)));
            }
            i = plageSst->second;
            continue;
        }
        if (t == id::extsst) {
            if (!sstNeuve) {
                QByteArray x = biff.brut(i);
                ExtSst::decaler(donneesDe(x), enr[i].longueur, decalageSst);
                out += x;
            }
            continue;
        }
        if (!plageSst && sstNeuve && i == g.dernier)
            poserSst();
        if (t == id::boundsheet)
            placesBoundsheet[i] = out.size();
        out += biff.brut(i);
    }
    debuts[0] = enr[g.premier].position;

    // Les autres sous-flux, dans l'ordre du fichier.
    for (std::size_t k = 1; k < sf.size(); ++k) {
        const SousFlux &s = sf[k];
        out += biff.flux().mid(
            enr[sf[k - 1].dernier].fin(), enr[s.premier].position - enr[sf[k - 1].dernier].fin());
        debuts[k] = out.size();
        const auto t = touchees.find(k);
        if (t != touchees.end()) {
            out += t->second->ecrire(out.size());
            continue;
        }
        const qsizetype place = out.size();
        const qint64 decalage = qint64(place) - enr[s.premier].position;
        out += biff.flux().mid(
            enr[s.premier].position, enr[s.dernier].fin() - enr[s.premier].position);
        // Les positions absolues d'un INDEX recopié suivent la feuille.
        if (decalage != 0 && s.genre == genre::feuille)
            for (const auto [i, premierNiveau] : ParcoursSousFlux(enr, s.premier, s.dernier))
                if (premierNiveau && enr[i].id == id::index
                    && Index::lire(biff.pointeur(i), enr[i].longueur))
                    Index::decaler(
                        out.data() + place + (enr[i].debutDonnees() - enr[s.premier].position),
                        enr[i].longueur, decalage);
    }
    out += biff.flux().right(biff.tailleBourrage());

    // Place exacte de chaque feuille.
    for (const FeuilleDeclaree &f : biff.feuilles())
        BoundSheet::placer(out.data() + placesBoundsheet.at(f.enregistrement) + tailleEnTete,
            std::uint32_t(debuts.at(f.sousFlux)));
    if (out.size() > 0x7FFFFFFF)
        throw ErreurClasseur(GenreErreur::EcritureImpossible,
            QStringLiteral("classeur trop grand pour être enregistré"));
    return out;
}

} // namespace zarvo::sheet::xls
