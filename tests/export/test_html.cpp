// Export HTML : octets des pages comparés aux fichiers de référence, cas des tables, dossier.
#include "export/html.h"

#include "model/conversions.h"
#include "model/tri.h"

#include "aide_donnees.h"
#include "aide_gtest.h"
#include "commun/fichiers.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

using namespace zarvo;
using namespace zarvo::essai;
using ::essai::contenuDossier;
using ::essai::lireFichier;
using namespace Qt::StringLiterals;

namespace {

const QDateTime quand(QDate(2026, 12, 5), QTime(4, 5, 9));
const QString dossierDuCinq = u"exportHTML_du_05-12-2026-4h5m9s"_s;

/// La petite base des fichiers de référence (tests/data/export/petite_base/source).
Donnees petiteBase()
{
    Donnees d;
    d.Colonnes = colonnesFeuilleCoureurs();
    poserEquipe(d, 1, 12, u"Zéphyr & Fils"_s, Cellule::nombre(1), u"ZEP"_s, u"zep.fr"_s);
    poserEquipe(d, 2, 3, u"Łódź <Team>"_s, Cellule::nombre(2), u"LOD"_s, u"lodz€.pl"_s);
    poserEquipe(d, 3, 9, u"Troisième"_s, Cellule::nombre(3), u"TRO"_s, u"tro.fr"_s);
    const auto poser = [&](int r, std::initializer_list<std::pair<int, double>> valeurs) {
        for (auto [c, v] : valeurs)
            d.TabCoureurs(r, c) = Cellule::nombre(v);
    };
    poserCoureur(d, 2, 101, u"Anquetil"_s, u"Jacques"_s, Cellule::nombre(12));
    poser(2,
        { { 6, 8 }, { 7, 1 }, { 8, 1934 }, { 9, 250 }, { 10, 75 }, { 11, 78 }, { 18, 80 },
            { 19, 82 } });
    poserCoureur(d, 3, 102, u"Ołowski"_s, u"Œdipe"_s, Cellule::nombre(61));
    poser(3, { { 6, 30 }, { 7, 12 }, { 8, 1990 }, { 9, 12 }, { 30, 81 }, { 31, 81.5 } });
    poserCoureur(d, 4, 103, u"Bobet"_s, u"Louison"_s, Cellule::nombre(12));
    poser(4, { { 9, 0 }, { 12, 74.5 }, { 13, 76 } });
    // Équipe de division 3 : sur aucune page.
    poserCoureur(d, 5, 104, u"Coppi"_s, u"Fausto"_s, Cellule::nombre(9));
    // Id d'équipe tenu comme texte : un texte n'égale jamais un nombre.
    poserCoureur(d, 6, 105, u"Texte"_s, u"Id"_s, Cellule::texte(u"12"_s));
    return d;
}

QString page(const QList<PageHTML> &pages, const QString &nom)
{
    for (const PageHTML &p : pages)
        if (p.nom == nom)
            return p.texte;
    return {};
}

/// "E" pour une ligne d'en-tête, "B" ou "V" pour une ligne de coureur blanche ou verte.
QString suiteDesLignes(const QString &p)
{
    static const QRegularExpression ligne(QStringLiteral(
        "<tr align=center>|<tr><td align=center bordercolor='#6D1AA2' borderwidth=1 ( bgcolor="
        "white>|bgcolor='#237909'>)"));
    QString r;
    for (auto it = ligne.globalMatch(p); it.hasNext();) {
        const auto m = it.next();
        r += m.captured(1).isEmpty() ? u'E' : (m.captured(1).startsWith(u' ') ? u'B' : u'V');
    }
    return r;
}

} // namespace

// Un dossier du même nom existe déjà : jamais réutilisé, l'export va dans « _2 ».
TEST(ExportHTML, PetiteBaseOctetPourOctet)
{
    const QString reference = QStringLiteral(ZARVO_SOURCE_DIR "/tests/data/export/petite_base");
    QTemporaryDir travail;
    ASSERT_TRUE(travail.isValid());
    const QDir dt(travail.path());
    ASSERT_TRUE(dt.mkdir(dossierDuCinq));
    ASSERT_TRUE(::essai::ecrireFichier(dt.filePath(dossierDuCinq + u"/sommaire.html"_s), "ancien"));
    const Donnees d = petiteBase();

    const ResultatExport r = exporterHTML(d, u"Ma base.xls"_s, dt, quand, fr);

    ASSERT_TRUE(r.reussi) << r.erreur.toStdString();
    EXPECT_TRUE(r.erreur.isEmpty());
    EXPECT_EQ(r.dossier, dt.filePath(dossierDuCinq + u"_2"_s));
    const QStringList attendus { u"Equipe1.html"_s, u"Equipe2.html"_s, u"FA.html"_s,
        u"sommaire.html"_s };
    EXPECT_EQ(contenuDossier(r.dossier), attendus);
    for (const QString &f : attendus)
        EXPECT_EQ(lireFichier(r.dossier + u'/' + f), lireFichier(reference + u'/' + f))
            << f.toStdString();
    EXPECT_EQ(contenuDossier(dt.filePath(dossierDuCinq)), QStringList { u"sommaire.html"_s });
    EXPECT_EQ(lireFichier(dt.filePath(dossierDuCinq + u"/sommaire.html"_s)), "ancien");
}

TEST(ExportHTML, EnTeteTousLes15LibresEtStylesParPage)
{
    const std::pair<int, const char *> cas[] = {
        { 0, "EE" },
        { 15, "EBVBVBVBVBVBVBVBEE" }, // l'en-tête du 15e puis celui de la fin, collés
        { 16, "EBVBVBVBVBVBVBVBEVE" }, // le 16e, vert, entre les deux
        { 30, "EBVBVBVBVBVBVBVBEVBVBVBVBVBVBVBVEE" },
    };
    for (auto [libres, suite] : cas) {
        Donnees d = petiteBase();
        for (int r = 2; r <= 973; ++r)
            d.TabCoureurs(r, 4) = Cellule::nombre(r - 2 < libres ? 61 : 12);
        const QString fa = page(pagesHTML(d, {}, fr), u"FA.html"_s);
        EXPECT_EQ(suiteDesLignes(fa), QString::fromLatin1(suite)) << libres << " libres";
        // Deux en-têtes qui se suivent sont collés, sans fin de ligne entre eux.
        EXPECT_EQ(fa.count(u"</tr><tr align=center>"_s), libres % 15 == 0 ? 1 : 0) << libres;
    }
    // Trois coureurs dans l'équipe 12 : la page suivante (FA) recommence en blanc.
    Donnees d = petiteBase();
    d.TabCoureurs(5, 4) = Cellule::nombre(12);
    const QList<PageHTML> pages = pagesHTML(d, {}, fr);
    EXPECT_EQ(suiteDesLignes(page(pages, u"Equipe1.html"_s)), u"EBVBE"_s);
    EXPECT_EQ(suiteDesLignes(page(pages, u"FA.html"_s)), u"EBE"_s);
}

TEST(ExportHTML, EquipesExporteesSelonLaDivision)
{
    const std::pair<Cellule, bool> cas[] = {
        { Cellule::nombre(1), true },
        { Cellule::nombre(2), true },
        { Cellule::nombre(3), false },
        { Cellule::nombre(0), false },
        { Cellule(), false },
        { Cellule::nombre(1.5), false },
        // La lecture du chargement : un texte qui se lit 1 ou 2 donne un bouton, donc une page.
        { Cellule::texte(u"1"_s), true },
        { Cellule::texte(u" 2"_s), true },
        { Cellule::texte(u"GS1"_s), false },
    };
    for (const auto &[division, exportee] : cas) {
        SCOPED_TRACE(texteCellule(division).toStdString());
        Donnees d = petiteBase();
        poserEquipe(d, 7, 40, u"Septième"_s, division, u"SEP"_s, u"sep.fr"_s);
        poserCoureur(d, 20, 500, u"Merckx"_s, u"Eddy"_s, Cellule::nombre(40));
        const QList<PageHTML> pages = pagesHTML(d, {}, fr);
        // Le lien de la ligne 7 mène à Equipe7.html, quel que soit l'id de l'équipe.
        EXPECT_EQ(
            page(pages, u"sommaire.html"_s).contains(u"<a href='Equipe7.html'>Septième</a>"_s),
            exportee);
        EXPECT_EQ(page(pages, u"Equipe7.html"_s).contains(u">Merckx<"_s), exportee);
        bool ailleurs = false;
        for (const PageHTML &p : pages)
            ailleurs = ailleurs || (p.nom != u"Equipe7.html" && p.texte.contains(u"Merckx"_s));
        EXPECT_FALSE(ailleurs);
    }
    // Ordre des pages : GS1 puis GS2 dans l'ordre des lignes, FA à la fin. L'équipe 61 listée
    // dans une division : ses coureurs sur sa page et sur FA.html. Les coureurs d'une page
    // suivent l'ordre de la table (ici triée par ids décroissants, l'inverse des lignes).
    Donnees d = petiteBase();
    poserEquipe(d, 4, 61, u"Libres"_s, Cellule::nombre(2), u"LIB"_s, {});
    poserEquipe(d, 5, 50, u"Cinq"_s, Cellule::nombre(2), {}, {});
    poserEquipe(d, 6, 60, u"Six"_s, Cellule::nombre(1), {}, {});
    d.TabCoureurs(5, 4) = Cellule::nombre(61); // Coppi libre, après Ołowski dans la table
    TriTableau(d.TabCoureurs, 1, 2, 973, 0, 36, 0);
    const QList<PageHTML> pages = pagesHTML(d, {}, fr);
    const auto avant = [&](const QString &p, const QString &a, const QString &b) {
        const qsizetype i = page(pages, p).indexOf(u'>' + a + u'<');
        return i >= 0 && page(pages, p).indexOf(u'>' + b + u'<') > i;
    };
    EXPECT_TRUE(avant(u"Equipe1.html"_s, u"Bobet"_s, u"Anquetil"_s));
    EXPECT_TRUE(avant(u"FA.html"_s, u"Coppi"_s, u"Ołowski"_s));
    QStringList noms;
    for (const PageHTML &p : pages)
        noms << p.nom;
    EXPECT_EQ(noms,
        QStringList({ u"sommaire.html"_s, u"Equipe1.html"_s, u"Equipe6.html"_s, u"Equipe2.html"_s,
            u"Equipe4.html"_s, u"Equipe5.html"_s, u"FA.html"_s }));
    EXPECT_TRUE(page(pages, u"Equipe4.html"_s).contains(u"Ołowski"_s));
    EXPECT_TRUE(page(pages, u"FA.html"_s).contains(u"Ołowski"_s));
    const QString sommaire = page(pages, u"sommaire.html"_s);
    const qsizetype gs2 = sommaire.indexOf(u"LES EQUIPES DE GS2"_s);
    EXPECT_LT(sommaire.indexOf(u"'Equipe6.html'"_s), gs2);
    EXPECT_GT(sommaire.indexOf(u"'Equipe5.html'"_s), gs2);
}

TEST(ExportHTML, NomsDeLaBaseEtDuDossier)
{
    const std::pair<const char *, const char *> bases[] = {
        { "Base.xls", "Base" },
        { "Base.XLS", "Base.XLS" },
        { "a.xls.xls", "a" },
        { "mon.xlsclasseur.xls", "monclasseur" },
        { "", "" },
    };
    for (const auto &[fichier, attendu] : bases)
        EXPECT_EQ(NomBase(QString::fromLatin1(fichier)), QString::fromLatin1(attendu)) << fichier;

    const std::tuple<QLocale, QDateTime, const char *> dossiers[] = {
        // Heures sans zéro devant, jour et mois à deux chiffres : aussi dossierDuCinq.
        { fr, QDateTime(QDate(2026, 1, 31), QTime(0, 0, 0)), "exportHTML_du_31-01-2026-0h0m0s" },
        { QLocale(QLocale::English, QLocale::UnitedStates), quand, "exportHTML_du_12-5-26-4h5m9s" },
    };
    for (const auto &[langue, instant, nom] : dossiers)
        EXPECT_EQ(DossierExport(instant, langue), QString::fromLatin1(nom));
}

TEST(ExportHTML, EchappementEtWindows1252)
{
    // Noms d'équipe échappés : pages de référence (« Zéphyr & Fils ») ; ceux des coureurs aussi.
    Donnees d = petiteBase();
    d.TabCoureurs(2, 2) = Cellule::texte(u"<b> & Cie"_s);
    EXPECT_TRUE(page(pagesHTML(d, {}, fr), u"Equipe1.html"_s).contains(u">&lt;b&gt; &amp; Cie<"_s));
    const std::pair<const char *, QByteArray> cas[] = {
        { "abc <&>", "abc <&>" }, // l'échappement se fait avant, pas ici
        { "é à ÿ", "\xE9 \xE0 \xFF" }, { "\xC2\xA0", "\xA0" }, // espace insécable
        { "€ Œ œ Ÿ – ™", "\x80 \x8C \x9C \x9F \x96 \x99" }, // Łódź : dans les références
        { "Иван", "&#1048;&#1074;&#1072;&#1085;" },
        { "\xF0\x9F\x9A\xB4", "&#128692;" }, // hors du plan de base : un seul caractère
        { "\xC2\x81", "&#129;" }, // octet non défini du jeu
    };
    for (const auto &[texte, octets] : cas)
        EXPECT_EQ(encoderWindows1252(QString::fromUtf8(texte)), octets) << texte;
    // Moitié de paire isolée : caractère de remplacement.
    EXPECT_EQ(encoderWindows1252(QString(QChar(0xD83D))), QByteArray("&#65533;"));
}

TEST(ExportHTML, DossierImpossibleACreer)
{
    QTemporaryDir travail;
    ASSERT_TRUE(travail.isValid());
    ASSERT_TRUE(::essai::ecrireFichier(travail.filePath(u"fichier"_s)));
    // Root passe outre les droits : un chemin sous un fichier ordinaire, et /proc, refusent
    // la création quel que soit l'utilisateur.
    for (const QString &lieu :
        { travail.filePath(u"fichier"_s), travail.filePath(u"fichier/sous"_s), u"/proc/self"_s }) {
        const ResultatExport r = exporterHTML(petiteBase(), u"b.xls"_s, QDir(lieu), quand, fr);
        EXPECT_FALSE(r.reussi) << lieu.toStdString();
        EXPECT_TRUE(r.dossier.isEmpty());
        EXPECT_TRUE(r.erreur.contains(u"impossible de créer le dossier"_s))
            << r.erreur.toStdString();
        EXPECT_TRUE(r.erreur.contains(lieu + u"/exportHTML_du_"_s)) << r.erreur.toStdString();
        EXPECT_EQ(contenuDossier(travail.path()), QStringList { u"fichier"_s });
    }
}

TEST(ExportHTML, FichierImpossibleAEcrireSupprimeLeDossier)
{
    QTemporaryDir travail;
    ASSERT_TRUE(travail.isValid());
    // Limite de taille des fichiers du processus (root y est soumis aussi) : le sommaire
    // (1427 octets) passe, la première page d'équipe (6041 octets) est refusée.
    rlimit ancienne {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &ancienne), 0);
    const auto ancienSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite = ancienne;
    limite.rlim_cur = 3000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limite), 0);

    const ResultatExport r
        = exporterHTML(petiteBase(), u"Ma base.xls"_s, QDir(travail.path()), quand, fr);

    setrlimit(RLIMIT_FSIZE, &ancienne);
    std::signal(SIGXFSZ, ancienSignal);
    EXPECT_FALSE(r.reussi);
    EXPECT_TRUE(r.erreur.contains(u"« Equipe1.html »"_s)) << r.erreur.toStdString();
    EXPECT_TRUE(r.erreur.contains(travail.filePath(dossierDuCinq)));
    EXPECT_TRUE(r.erreur.contains(u"supprimé"_s));
    EXPECT_EQ(contenuDossier(travail.path()), QStringList());
}
