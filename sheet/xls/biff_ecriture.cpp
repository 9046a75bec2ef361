#include "sheet/xls/biff_ecriture.h"

#include "sheet/erreur.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace zarvo::sheet::xls::ecriture {

std::optional<std::uint32_t> encoderRk(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const auto exact = [v](std::uint32_t rk) {
        return std::bit_cast<std::uint64_t>(valeurRk(rk)) == std::bit_cast<std::uint64_t>(v);
    };
    // Les candidats sont vérifiés par décodage : seul compte ce qu'un lecteur retrouvera.
    const auto entier = [](double x) -> std::optional<std::uint32_t> {
        if (x != std::floor(x) || x < -536870912.0 || x > 536870911.0)
            return std::nullopt;
        return std::uint32_t(std::int32_t(x) * 4) | 2u;
    };
    const auto flottant = [](double x) -> std::optional<std::uint32_t> {
        const auto bits = std::bit_cast<std::uint64_t>(x);
        if (bits & 0x3FFFFFFFFull)
            return std::nullopt;
        return std::uint32_t(bits >> 32);
    };
    for (const auto &c : { entier(v), flottant(v) })
        if (c && exact(*c))
            return c;
    const double cent = v * 100.0;
    if (std::isfinite(cent))
        for (const auto &c : { entier(cent), flottant(cent) })
            if (c && exact(*c | 1u))
                return *c | 1u;
    return std::nullopt;
}

QByteArray caseNombre(int ligne, int colonne, std::uint16_t xf, double v)
{
    const EnTeteCase t { std::uint16_t(ligne), std::uint16_t(colonne), xf };
    if (const auto rk = encoderRk(v))
        return Rk { t, *rk }.ecrire();
    return Number { t, v }.ecrire();
}

QByteArray caseSst(int ligne, int colonne, std::uint16_t xf, std::uint32_t indice)
{
    return LabelSst { { std::uint16_t(ligne), std::uint16_t(colonne), xf }, indice }.ecrire();
}

QByteArray caseVide(int ligne, int colonne, std::uint16_t xf)
{
    return Blank { { std::uint16_t(ligne), std::uint16_t(colonne), xf } }.ecrire();
}

QString texteTropLong(qsizetype longueur)
{
    return QStringLiteral("texte trop long (%1 caractères, %2 au plus)")
        .arg(longueur)
        .arg(longueurMaxTexte);
}

void verifierLongueurTexte(const QString &texte)
{
    if (texte.size() > longueurMaxTexte)
        throw ErreurClasseur(GenreErreur::TexteTropLong, texteTropLong(texte.size()));
}

namespace {

/// Suite d'enregistrements SST puis CONTINUE, remplie au plus près de la limite.
class SuiteSst
{
public:
    explicit SuiteSst(qint64 debut)
        : m_debut(debut)
    {
        m_courant.reserve(tailleMaxDonneesBiff8);
    }
    int place() const { return tailleMaxDonneesBiff8 - int(m_courant.size()); }
    /// Ferme l'enregistrement en cours et en ouvre un CONTINUE.
    void suivant()
    {
        m_sortie += enregistrement(m_premier ? id::sst : id::continuation, m_courant);
        m_premier = false;
        m_courant.clear();
    }
    void assurer(int n)
    {
        if (place() < n)
            suivant();
    }
    QByteArray &courant() { return m_courant; }
    /// Position dans le flux de l'octet qui va être écrit, et son décalage dans l'enregistrement.
    qint64 position() const { return m_debut + m_sortie.size() + tailleEnTete + m_courant.size(); }
    std::uint16_t decalage() const { return std::uint16_t(tailleEnTete + m_courant.size()); }
    QByteArray fin()
    {
        suivant();
        return std::move(m_sortie);
    }

private:
    qint64 m_debut;
    QByteArray m_sortie;
    QByteArray m_courant;
    bool m_premier = true;
};

bool estLarge(const QString &t)
{
    return std::any_of(t.cbegin(), t.cend(), [](QChar c) { return c.unicode() > 0xFF; });
}

void ajouterCaracteres(QByteArray &o, const QString &t, qsizetype debut, qsizetype n, bool large)
{
    for (qsizetype i = debut; i < debut + n; ++i) {
        const char16_t c = t[i].unicode();
        o.append(char(c & 0xFF));
        if (large)
            o.append(char(c >> 8));
    }
}

} // namespace

SstEcrite ecrireSst(const std::vector<ChaineSst> &chaines, std::uint32_t total, qint64 debut)
{
    const auto nb = std::uint32_t(chaines.size());
    // Au plus 128 paquets, et jamais moins de 8 chaînes par paquet.
    const std::uint32_t parPaquet = std::max<std::uint32_t>(8, (nb + 127) / 128);
    ExtSst ext;
    ext.parPaquet = std::uint16_t(parPaquet);

    SuiteSst suite(debut);
    Sst { total, nb }.ajouterA(suite.courant());
    for (std::uint32_t i = 0; i < nb; ++i) {
        const ChaineSst &c = chaines[i];
        // La limite d'une case vaut pour les textes que l'éditeur écrit (vérifiés en amont) :
        // une chaîne déjà dans le fichier passe telle quelle, seul son compte sur 16 bits borne.
        if (c.texte.size() > 0xFFFF)
            throw ErreurClasseur(GenreErreur::TexteTropLong, texteTropLong(c.texte.size()));
        if (c.runs.size() % ChaineSst::tailleRun != 0)
            throw ErreurClasseur(GenreErreur::Abime,
                QStringLiteral("mise en forme d'une chaîne partagée incohérente"));
        const bool large = estLarge(c.texte);
        const int tailleCar = large ? 2 : 1;
        const bool riche = !c.runs.isEmpty();
        const bool phon = !c.phonetique.isEmpty();
        const EnTeteChaineSst entete { std::uint16_t(c.texte.size()), large, riche, phon,
            std::uint16_t(c.runs.size() / ChaineSst::tailleRun),
            std::uint32_t(c.phonetique.size()) };
        // Le premier caractère, paire de substitution entière, reste avec l'en-tête.
        const int premier = c.texte.isEmpty() ? 0 : c.texte[0].isHighSurrogate() ? 2 : 1;
        suite.assurer(entete.taille() + premier * tailleCar);
        if (i % parPaquet == 0)
            ext.reperes.push_back({ std::uint32_t(suite.position()), suite.decalage() });
        entete.ajouterA(suite.courant());
        qsizetype fait = 0;
        while (fait < c.texte.size()) {
            if (fait > 0) {
                // Suite des caractères : nouvel enregistrement, nouvel octet d'options.
                suite.suivant();
                suite.courant().append(char(large ? 0x01 : 0));
            }
            qsizetype n = std::min<qsizetype>(c.texte.size() - fait, suite.place() / tailleCar);
            // Une coupure entre les deux moitiés d'une paire de substitution fait perdre le
            // caractère aux autres lecteurs (xlrd refuse le fichier, Gnumeric tronque) : la
            // moitié haute passe dans l'enregistrement suivant.
            if (n > 1 && fait + n < c.texte.size() && c.texte[fait + n - 1].isHighSurrogate())
                --n;
            if (n <= 0) // garde-fou : une faute de découpage échoue au lieu de tourner sans fin
                throw ErreurClasseur(GenreErreur::EcritureImpossible,
                    QStringLiteral("table des chaînes impossible à découper"));
            ajouterCaracteres(suite.courant(), c.texte, fait, n, large);
            fait += n;
        }
        for (qsizetype r = 0; r < c.runs.size(); r += ChaineSst::tailleRun) {
            suite.assurer(ChaineSst::tailleRun);
            suite.courant().append(c.runs.mid(r, ChaineSst::tailleRun));
        }
        for (qsizetype p = 0; p < c.phonetique.size();) {
            suite.assurer(1);
            const qsizetype n = std::min<qsizetype>(c.phonetique.size() - p, suite.place());
            suite.courant().append(c.phonetique.mid(p, n));
            p += n;
        }
    }
    return { suite.fin(), ext.ecrire() };
}

QByteArray dbcell(const BlocLignes &bloc, qint64 position)
{
    DbCell d { std::uint32_t(position - bloc.premiereLigne), {} };
    // Premier écart compté depuis la fin du premier ROW, les suivants d'une case à l'autre.
    qint64 precedent = bloc.premiereLigne + tailleEnTete + Row::taille;
    for (const qint64 p : bloc.premieresCases) {
        const qint64 ecart = p - precedent;
        if (ecart < 0 || ecart > 0xFFFF)
            throw ErreurClasseur(GenreErreur::EcritureImpossible,
                QStringLiteral("bloc de lignes impossible à indexer"));
        d.ecarts.push_back(std::uint16_t(ecart));
        precedent = p;
    }
    return d.ecrire();
}

} // namespace zarvo::sheet::xls::ecriture
