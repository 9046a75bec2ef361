#pragma once

#include "sheet/xls/octets.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace zarvo::sheet::xls {

/**
 * Les enregistrements BIFF8 que le moteur lit ou réécrit : leurs numéros, la forme de ceux
 * dont il lit ou change des champs, et le parcours d'un sous-flux qui suit l'imbrication
 * BOF/EOF. Chaque lecture vérifie la longueur avant de lire un champ ; une réécriture ne
 * change que ses champs dans les octets d'origine, le reste (bourrage compris) reste tel quel.
 */

/// Numéros des enregistrements connus du moteur.
namespace id {
enum : std::uint16_t {
    formula = 0x0006,
    bofBiff2 = 0x0009,
    eof = 0x000A,
    filepass = 0x002F,
    continuation = 0x003C,
    defColWidth = 0x0055,
    colInfo = 0x007D,
    boundsheet = 0x0085,
    mulrk = 0x00BD,
    mulblank = 0x00BE,
    rstring = 0x00D6,
    dbcell = 0x00D7,
    xf = 0x00E0,
    msoDrawingGroup = 0x00EB,
    sst = 0x00FC,
    labelsst = 0x00FD,
    extsst = 0x00FF,
    recalcId = 0x01C1,
    dimensions = 0x0200,
    blank = 0x0201,
    number = 0x0203,
    label = 0x0204,
    boolerr = 0x0205,
    formulaBiff3 = 0x0206,
    string = 0x0207,
    row = 0x0208,
    bofBiff3 = 0x0209,
    index = 0x020B,
    array = 0x0221,
    defaultRowHeight = 0x0225,
    table = 0x0236,
    rk = 0x027E,
    formulaBiff4 = 0x0406,
    bofBiff4 = 0x0409,
    shrfmla = 0x04BC,
    bof = 0x0809,
};
} // namespace id

/// Genres de sous-flux (champ dt du BOF).
namespace genre {
constexpr std::uint16_t globaux = 0x0005, feuille = 0x0010;
}

/// Taille maximale des données d'un enregistrement BIFF8 : au-delà, le découpage est faux.
constexpr int tailleMaxDonneesBiff8 = 8224;

/// Un enregistrement : sa place dans le flux (l'en-tête de 4 octets commence à `position`).
struct Enregistrement
{
    std::uint16_t id = 0; ///< FORMULA sous un ancien numéro (formulaBiff3/4) : id::formula
    std::uint16_t longueur = 0;
    std::uint32_t position = 0;
    std::uint32_t debutDonnees() const { return position + 4; }
    std::uint32_t fin() const { return position + 4 + longueur; }
};

/// Enregistrement d'une case ou d'une suite de cases d'une ligne.
bool estCase(std::uint16_t id);
/// Enregistrements qui suivent une FORMULA et lui appartiennent.
bool suitUneFormule(std::uint16_t id);
/// Numéro d'un BOF d'Excel 2, 3 ou 4 (classeurs antérieurs à Excel 97).
bool estAncienBof(std::uint16_t id);

/// Enregistrement complet : en-tête (type, taille) puis données. Lève ErreurClasseur si trop long.
QByteArray enregistrement(std::uint16_t type, const QByteArray &donnees);

/// BOF : version et genre du sous-flux.
struct Bof
{
    std::uint16_t version = 0, genre = 0;
    static std::optional<Bof> lire(const char *d, std::uint32_t n);
};

/// En-tête commun des enregistrements de case : ligne, (première) colonne, format.
struct EnTeteCase
{
    std::uint16_t ligne = 0, colonne = 0, xf = 0;
    // En ligne : lu pour chaque case d'une feuille.
    static std::optional<EnTeteCase> lire(const char *d, std::uint32_t n)
    {
        if (n < 6)
            return std::nullopt;
        return EnTeteCase { lire16(d), lire16(d + 2), lire16(d + 4) };
    }
};

/// ROW : une ligne, ses colonnes [premiere, fin), sa hauteur, son format propre éventuel.
struct Row
{
    static constexpr std::uint32_t taille = 16;
    std::uint16_t ligne = 0, premiere = 0, fin = 0, hauteur = 0, options = 0x0100, xf = 0;
    static std::optional<Row> lire(const char *d, std::uint32_t n);
    /// Format imposé à toute la ligne, s'il y en a un.
    std::optional<std::uint16_t> formatPropre() const;
    void ecrireDans(char *d) const;
    QByteArray ecrire() const;
};

/// COLINFO : colonnes [premiere, derniere] et leur format.
struct ColInfo
{
    std::uint16_t premiere = 0, derniere = 0, xf = 0;
    static std::optional<ColInfo> lire(const char *d, std::uint32_t n);
};

/// DIMENSIONS : lignes [l1, l2), colonnes [c1, c2) de la feuille.
struct Dimensions
{
    std::uint32_t l1 = 0, l2 = 0;
    std::uint16_t c1 = 0, c2 = 0;
    static std::optional<Dimensions> lire(const char *d, std::uint32_t n);
    void ecrireDans(char *d) const;
};

/// INDEX : lignes [premiere, fin) et positions absolues (DEFCOLWIDTH puis DBCELL).
struct Index
{
    std::uint32_t premiere = 0, fin = 0;
    static std::optional<Index> lire(const char *d, std::uint32_t n);
    /// Décale les positions d'un INDEX recopié ; 0 (aucune position) reste 0.
    static void decaler(char *d, std::uint32_t n, std::int64_t decalage);
};

/// DEFAULTROWHEIGHT : hauteur des lignes sans ROW.
struct DefaultRowHeight
{
    std::uint16_t hauteur = 0;
    static std::optional<DefaultRowHeight> lire(const char *d, std::uint32_t n);
};

/// SHRFMLA : plage de la formule partagée, puis ses jetons.
struct ShrFmla
{
    std::uint16_t l1 = 0, l2 = 0;
    std::uint8_t c1 = 0, c2 = 0;
    static std::optional<ShrFmla> lire(const char *d, std::uint32_t n);
};

/// Case visée par une FORMULA réduite à un renvoi (ptgExp) vers une formule partagée ou
/// matricielle.
std::optional<std::pair<int, int>> renvoiExp(const char *d, std::uint32_t n);

/// Une place dans un sous-flux : index de l'enregistrement, et s'il est de premier niveau
/// (hors d'un sous-flux imbriqué, un graphique par exemple).
struct Place
{
    std::size_t index;
    bool premierNiveau;
};

/**
 * Parcours des enregistrements [premier, dernier] d'un sous-flux qui suit l'imbrication
 * BOF/EOF : le BOF et l'EOF du sous-flux sont de premier niveau, tout ce qui va du BOF d'un
 * sous-flux imbriqué à son EOF ne l'est pas.
 */
class ParcoursSousFlux
{
public:
    ParcoursSousFlux(const std::vector<Enregistrement> &e, std::size_t premier, std::size_t dernier)
        : m_e(e.data())
        , m_premier(premier)
        , m_fin(dernier + 1)
    { }
    class iterateur
    {
    public:
        iterateur(const Enregistrement *e, std::size_t i)
            : m_e(e)
            , m_i(i)
        { }
        Place operator*() const { return { m_i, m_profondeur + int(m_e[m_i].id == id::bof) == 1 }; }
        iterateur &operator++()
        {
            m_profondeur += int(m_e[m_i].id == id::bof) - int(m_e[m_i].id == id::eof);
            ++m_i;
            return *this;
        }
        bool operator!=(const iterateur &o) const { return m_i != o.m_i; }

    private:
        const Enregistrement *m_e;
        std::size_t m_i;
        int m_profondeur = 0;
    };
    iterateur begin() const { return { m_e, m_premier }; }
    iterateur end() const { return { m_e, m_fin }; }

private:
    const Enregistrement *m_e;
    std::size_t m_premier, m_fin;
};

} // namespace zarvo::sheet::xls
