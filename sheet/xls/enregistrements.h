#pragma once

#include "sheet/xls/octets.h"

#include <QByteArray>
#include <QString>

#include <bit>
#include <cstdint>
#include <optional>
#include <type_traits>
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

/// Taille de l'en-tête (numéro, longueur) qui précède les données de chaque enregistrement.
constexpr std::uint32_t tailleEnTete = 4;

/// Un enregistrement : sa place dans le flux (l'en-tête de 4 octets commence à `position`).
struct Enregistrement
{
    std::uint16_t id = 0; ///< FORMULA sous un ancien numéro (formulaBiff3/4) : id::formula
    std::uint16_t longueur = 0;
    std::uint32_t position = 0;
    std::uint32_t debutDonnees() const { return position + tailleEnTete; }
    std::uint32_t fin() const { return position + tailleEnTete + longueur; }
    /// En-tête lu à `position` de `d` (numéro tel qu'écrit) ; l'appelant a vérifié ses 4 octets.
    static Enregistrement enTete(const char *d, std::uint32_t position)
    {
        return { lire16(d + position), lire16(d + position + 2), position };
    }
};

/// Données d'un enregistrement complet (en-tête compris).
inline char *donneesDe(QByteArray &brut)
{
    return brut.data() + tailleEnTete;
}
inline const char *donneesDe(const QByteArray &brut)
{
    return brut.constData() + tailleEnTete;
}

/// Enregistrement d'une case ou d'une suite de cases d'une ligne.
bool estCase(std::uint16_t id);
/// Enregistrements qui suivent une FORMULA et lui appartiennent.
bool suitUneFormule(std::uint16_t id);
/// Numéro d'un BOF d'Excel 2, 3 ou 4 (classeurs antérieurs à Excel 97).
bool estAncienBof(std::uint16_t id);

/// Enregistrement complet : en-tête (type, taille) puis données. Lève ErreurClasseur si trop long.
QByteArray enregistrement(std::uint16_t type, const QByteArray &donnees);

/// Chaîne de la table SST, gardée entière pour pouvoir la réécrire.
struct ChaineSst
{
    static constexpr int tailleRun = 4;
    QString texte;
    QByteArray runs; ///< mise en forme riche brute : tailleRun octets par run
    QByteArray phonetique; ///< données phonétiques (ExtRst) brutes
};

/// BOF : version et genre du sous-flux.
struct Bof
{
    std::uint16_t version = 0, genre = 0;
    static std::optional<Bof> lire(const char *d, std::uint32_t n);
};

/// En-tête commun des enregistrements de case : ligne, (première) colonne, format.
struct EnTeteCase
{
    static constexpr std::uint32_t taille = 6;
    std::uint16_t ligne = 0, colonne = 0, xf = 0;
    // En ligne : lu pour chaque case d'une feuille.
    static std::optional<EnTeteCase> lire(const char *d, std::uint32_t n)
    {
        if (n < taille)
            return std::nullopt;
        return verifie(d);
    }
    /// Sans contrôle : l'enregistrement qui le porte a vérifié sa longueur.
    static EnTeteCase verifie(const char *d) { return { lire16(d), lire16(d + 2), lire16(d + 4) }; }
    void ecrireDans(char *d) const
    {
        ecrire16(d, ligne);
        ecrire16(d + 2, colonne);
        ecrire16(d + 4, xf);
    }
};

/**
 * Case de taille fixe : l'en-tête, puis sa valeur à l'octet 6. NUMBER : un double ; RK : le
 * nombre sous sa forme compacte (valeurRk) ; LABELSST : l'index de sa chaîne dans la SST.
 */
template<std::uint16_t Id, typename V>
struct CaseValeur
{
    static constexpr std::uint32_t taille = 6 + sizeof(V);
    EnTeteCase t;
    V valeur {};
    // En ligne, comme toutes les lectures de case.
    static std::optional<CaseValeur> lire(const char *d, std::uint32_t n)
    {
        if (n < taille)
            return std::nullopt;
        if constexpr (std::is_same_v<V, double>)
            return CaseValeur { EnTeteCase::verifie(d), lireDouble(d + 6) };
        else
            return CaseValeur { EnTeteCase::verifie(d), lire32(d + 6) };
    }
    QByteArray ecrire() const
    {
        QByteArray d(taille, Qt::Uninitialized);
        t.ecrireDans(d.data());
        if constexpr (std::is_same_v<V, double>)
            ecrire64(d.data() + 6, std::bit_cast<std::uint64_t>(valeur));
        else
            ecrire32(d.data() + 6, valeur);
        return enregistrement(Id, d);
    }
};
using Number = CaseValeur<id::number, double>;
using Rk = CaseValeur<id::rk, std::uint32_t>;
using LabelSst = CaseValeur<id::labelsst, std::uint32_t>;

/// BLANK : une case vide qui ne garde que son format.
struct Blank
{
    static constexpr std::uint32_t taille = EnTeteCase::taille;
    EnTeteCase t;
    static std::optional<Blank> lire(const char *d, std::uint32_t n)
    {
        if (n < taille)
            return std::nullopt;
        return Blank { EnTeteCase::verifie(d) };
    }
    QByteArray ecrire() const;
};

/// BOOLERR : un booléen, ou un code d'erreur si `erreur`.
struct BoolErr
{
    static constexpr std::uint32_t taille = 8;
    EnTeteCase t;
    std::uint8_t valeur = 0;
    bool erreur = false;
    static std::optional<BoolErr> lire(const char *d, std::uint32_t n)
    {
        if (n < taille)
            return std::nullopt;
        return BoolErr { EnTeteCase::verifie(d), std::uint8_t(d[6]), d[7] != 0 };
    }
};

/// LABEL : un texte hors SST. `taille` : longueur que l'enregistrement doit avoir.
struct Label
{
    EnTeteCase t;
    QString texte;
    std::uint32_t taille = 0;
    static std::optional<Label> lire(const char *d, std::uint32_t n);
};

/// RSTRING : un texte hors SST suivi de sa mise en forme (ChaineSst::tailleRun octets par run).
struct RString
{
    EnTeteCase t;
    QString texte;
    std::uint32_t taille = 0;
    static std::optional<RString> lire(const char *d, std::uint32_t n);
};

/// FORMULA : résultat en cache, puis les jetons (jusqu'à `finJetons`, qui peut déborder).
struct Formula
{
    EnTeteCase t;
    std::optional<double> nombre; ///< résultat nombre ; sinon `genre` et `valeur`
    std::uint8_t genre = 0; ///< 0 texte (dans le STRING qui suit), 1 booléen, 2 erreur, 3 vide
    std::uint8_t valeur = 0;
    std::uint32_t finJetons = 0;
    static std::optional<Formula> lire(const char *d, std::uint32_t n)
    {
        if (n < 22)
            return std::nullopt;
        Formula f { EnTeteCase::verifie(d), std::nullopt, std::uint8_t(d[6]), std::uint8_t(d[8]),
            22 + std::uint32_t(lire16(d + 20)) };
        // Marqueur 0xFFFF à la place des deux derniers octets du double : pas un nombre.
        if (lire16(d + 12) != 0xFFFF)
            f.nombre = lireDouble(d + 6);
        return f;
    }
};

/**
 * MULRK et MULBLANK : ligne, première colonne, une entrée de `pas` octets par colonne (format,
 * puis le nombre RK pour MULRK), dernière colonne. Une seule case redevient RK ou BLANK.
 */
template<std::uint16_t Id, std::uint16_t IdSeule, std::uint32_t Pas>
struct SuiteCases
{
    static constexpr std::uint16_t id = Id;
    static constexpr std::uint32_t pas = Pas;
    EnTeteCase t; ///< format de la première case
    std::uint16_t derniere = 0;
    std::uint32_t nb = 0; ///< nombre d'entrées
    /// Rien si la longueur ne tombe pas sur un nombre entier d'entrées.
    static std::optional<SuiteCases> lire(const char *d, std::uint32_t n)
    {
        if (n < 6 || (n - 6) % pas != 0)
            return std::nullopt;
        return SuiteCases { EnTeteCase::verifie(d), lire16(d + n - 2), (n - 6) / pas };
    }
    /// Format de l'entrée `k` d'une suite déjà lue.
    static std::uint16_t xf(const char *d, std::uint32_t k) { return lire16(d + 4 + pas * k); }
    /// Enregistrement des colonnes [de, a] d'une suite déjà lue dont la première est `col1`,
    /// et son numéro.
    static std::pair<std::uint16_t, QByteArray> morceau(
        const char *d, int col1, int ligne, int de, int a)
    {
        QByteArray donnees;
        ajouter16(donnees, std::uint16_t(ligne));
        ajouter16(donnees, std::uint16_t(de));
        donnees.append(d + 4 + pas * (de - col1), pas * (a - de + 1));
        if (de == a)
            return { IdSeule, enregistrement(IdSeule, donnees) };
        ajouter16(donnees, std::uint16_t(a));
        return { Id, enregistrement(Id, donnees) };
    }
};

struct MulRk : SuiteCases<id::mulrk, id::rk, 6>
{
    /// Nombre RK de l'entrée `k` d'une suite déjà lue.
    static std::uint32_t rk(const char *d, std::uint32_t k) { return lire32(d + 4 + pas * k + 2); }
};
struct MulBlank : SuiteCases<id::mulblank, id::blank, 2>
{ };

/// BOUNDSHEET : position du BOF de la feuille, visibilité, type, nom.
struct BoundSheet
{
    std::uint32_t position = 0;
    std::uint8_t visibilite = 0; ///< 0 visible, 1 masquée, 2 très masquée
    std::uint8_t type = 0;
    QString nom;
    static std::optional<BoundSheet> lire(const char *d, std::uint32_t n);
    /// Nouvelle position dans un BOUNDSHEET recopié (déjà lu).
    static void placer(char *d, std::uint32_t position);
};

/// SST : total des renvois aux chaînes, nombre de chaînes, puis les chaînes, qui se
/// poursuivent dans des CONTINUE.
struct Sst
{
    std::uint32_t total = 0, nb = 0;
    /// Lit la SST [premier, dernier] (ses CONTINUE compris) et ajoute ses chaînes à `chaines`.
    /// Lève ErreurClasseur.
    static Sst lire(const QByteArray &flux, const std::vector<Enregistrement> &enr,
        std::size_t premier, std::size_t dernier, std::vector<ChaineSst> &chaines);
    /// Change le total d'une SST recopiée ; un en-tête coupé par un CONTINUE garde l'ancien
    /// (un compte que les lecteurs n'utilisent pas).
    static void changerTotal(char *d, std::uint32_t n, std::uint32_t total);
    void ajouterA(QByteArray &o) const;
};

/// En-tête d'une chaîne de la SST, avant ses caractères, ses runs et sa phonétique.
struct EnTeteChaineSst
{
    std::uint16_t nb = 0; ///< caractères
    bool seize = false, riche = false, phonetique = false;
    std::uint16_t nbRuns = 0;
    std::uint32_t taillePhonetique = 0;
    int taille() const { return 3 + (riche ? 2 : 0) + (phonetique ? 4 : 0); }
    void ajouterA(QByteArray &o) const;
};

/// EXTSST : chaînes par paquet, puis pour chaque paquet la position dans le flux de sa première
/// chaîne et son décalage dans l'enregistrement qui la tient.
struct ExtSst
{
    struct Repere
    {
        std::uint32_t position = 0;
        std::uint16_t decalage = 0;
    };
    std::uint16_t parPaquet = 8;
    std::vector<Repere> reperes;
    QByteArray ecrire() const;
    /// Décale les positions d'un EXTSST recopié.
    static void decaler(char *d, std::uint32_t n, std::int64_t decalage);
};

/// STRING : le résultat texte de la FORMULA qui le précède ; il peut se poursuivre dans des
/// CONTINUE [premier + 1, dernier]. Lève ErreurClasseur (`quoi` nomme l'enregistrement).
struct String
{
    static QString lire(const QByteArray &flux, const std::vector<Enregistrement> &enr,
        std::size_t premier, std::size_t dernier, const QString &quoi);
};

/// DBCELL : du bloc à son premier ROW, puis l'écart d'une première case de ligne à l'autre.
struct DbCell
{
    std::uint32_t versPremierRow = 0;
    std::vector<std::uint16_t> ecarts;
    QByteArray ecrire() const;
};

/// RECALCID : le moteur de calcul qui a écrit les résultats ; 0 les fait tous recalculer.
struct RecalcId
{
    QByteArray ecrire() const;
    /// Remet à zéro le moteur d'un RECALCID recopié.
    static void remettreAZero(char *d, std::uint32_t n);
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
    /// Taille des données d'un INDEX de `nbBlocs` DBCELL.
    static std::uint32_t taille(std::size_t nbBlocs) { return 16 + 4 * std::uint32_t(nbBlocs); }
    /// INDEX des lignes [premiere, fin), DEFCOLWIDTH et DBCELL donnés par leur position.
    static QByteArray ecrire(std::uint32_t premiere, std::uint32_t fin,
        std::uint32_t positionDefColWidth, const std::vector<std::uint32_t> &positionsDbcell);
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
