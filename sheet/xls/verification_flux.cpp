#include "sheet/erreur.h"
#include "sheet/xls/ecrivain_classeur.h"
#include "sheet/xls/refus_ecriture.h"

// La relecture du flux écrit, comparée à l'origine : rien ne part sans elle.

namespace zarvo::sheet::xls {

namespace {

/// Une case, suites MULRK/MULBLANK dépliées.
struct CaseSeule
{
    std::pair<int, int> position;
    Cellule valeur;
    std::uint16_t xf;
};

std::vector<CaseSeule> casesSeules(const FeuilleBiff &f)
{
    std::vector<CaseSeule> r;
    r.reserve(f.cases().size());
    for (const Case &c : f.cases())
        for (int col = c.colonne; col <= c.derniere; ++col)
            r.push_back({ { c.ligne, col }, f.valeur(c, col), f.xf(c, col) });
    return r;
}

} // namespace

FluxRelu verifierFlux(const ClasseurBiff &origine, const QByteArray &flux,
    const Ecritures &ecritures, const FeuillesLues &lues)
{
    const auto ecart = [](const QString &quoi) {
        return ErreurClasseur(GenreErreur::EcritureImpossible,
            QStringLiteral("la relecture du classeur écrit ne redonne pas l'original (%1)")
                .arg(quoi));
    };
    std::optional<ClasseurBiff> relu;
    try {
        relu = ClasseurBiff::lire(flux);
    } catch (const ErreurClasseur &e) {
        throw ecart(e.detail());
    }
    const auto &fa = origine.feuilles(), &fb = relu->feuilles();
    std::map<std::size_t, FeuilleBiff> relues;
    if (fa.size() != fb.size())
        throw ecart(QStringLiteral("nombre de feuilles"));
    for (std::size_t i = 0; i < origine.sst().size(); ++i) {
        const auto &a = origine.sst()[i];
        if (i >= relu->sst().size() || a.texte != relu->sst()[i].texte
            || a.runs != relu->sst()[i].runs || a.phonetique != relu->sst()[i].phonetique)
            throw ecart(QStringLiteral("chaîne partagée %1").arg(i));
    }
    for (std::size_t k = 0; k < fa.size(); ++k) {
        if (fa[k].nom != fb[k].nom || fa[k].type != fb[k].type)
            throw ecart(QStringLiteral("feuille %1").arg(k + 1));
        const auto e = ecritures.find(k);
        if (e == ecritures.end() || e->second.empty()) {
            // Feuille non touchée : mêmes enregistrements, à l'octet, hormis les positions de
            // l'INDEX.
            const SousFlux &sa = origine.sousFlux()[fa[k].sousFlux],
                           &sb = relu->sousFlux()[fb[k].sousFlux];
            if (sa.dernier - sa.premier != sb.dernier - sb.premier)
                throw ecart(QStringLiteral("enregistrements de « %1 »").arg(fa[k].nom));
            for (std::size_t i = 0; i <= sa.dernier - sa.premier; ++i) {
                const auto &ra = origine.enregistrements()[sa.premier + i];
                const auto &rb = relu->enregistrements()[sb.premier + i];
                if (ra.id != rb.id || ra.longueur != rb.longueur
                    || (ra.id != id::index
                        && origine.brut(sa.premier + i) != relu->brut(sb.premier + i)))
                    throw ecart(
                        QStringLiteral("enregistrement %1 de « %2 »").arg(i).arg(fa[k].nom));
            }
            continue;
        }
        std::optional<FeuilleBiff> ancienne;
        if (!lues.count(k))
            ancienne = origine.lireFeuille(k);
        const FeuilleBiff &a = ancienne ? *ancienne : *lues.at(k);
        std::optional<FeuilleBiff> lue;
        try {
            lue = relu->lireFeuille(k);
        } catch (const ErreurClasseur &err) {
            throw ecart(err.detail());
        }
        const FeuilleBiff &b = *lue;
        const auto &ecr = e->second;
        const std::vector<CaseSeule> ca = casesSeules(a), cb = casesSeules(b);
        auto ia = ca.begin(), ib = cb.begin();
        while (ia != ca.end() || ib != cb.end()) {
            const bool finA = ia == ca.end(), finB = ib == cb.end();
            const auto p = finA ? ib->position
                : finB          ? ia->position
                                : std::min(ia->position, ib->position);
            const CaseSeule *x = !finA && ia->position == p ? &*ia++ : nullptr;
            const CaseSeule *y = !finB && ib->position == p ? &*ib++ : nullptr;
            const auto w = ecr.find(p);
            const QString ou
                = QStringLiteral("case %1 de « %2 »").arg(nomCase(p.first, p.second), fa[k].nom);
            if (w != ecr.end()) {
                const bool bon = w->second.estVide() ? (!y || y->valeur.estVide())
                                                     : (y && y->valeur == w->second);
                if (!bon || (x && y && x->xf != y->xf))
                    throw ecart(ou);
                continue;
            }
            if (!x || !y || !(x->valeur == y->valeur) || x->xf != y->xf)
                throw ecart(ou);
        }
        for (const auto &[p, v] : ecr)
            if (!v.estVide() && !b.chercher(p.first, p.second))
                throw ecart(QStringLiteral("case %1 de « %2 » absente")
                                .arg(nomCase(p.first, p.second), fa[k].nom));
        relues.emplace(k, std::move(*lue));
    }
    return { std::move(*relu), std::move(relues) };
}

} // namespace zarvo::sheet::xls
