// Export HTML : octets des pages comparés aux fichiers de référence, cas des tables, dossier.
#include "export/html.h"

#include "model/tri.h"

#include "aide_gtest.h"
#include "export/bases.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

using namespace zarvo;
using namespace zarvo::essai;

namespace {

const QLocale fr(QLocale::French, QLocale::France);
const QDateTime quand(QDate(2026, 12, 5), QTime(4, 5, 9));

QString s(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

/// La petite base des fichiers de référence (tests/data/export/petite_base/source).
Donnees petiteBase()
{
    Donnees d;
    d.Colonnes = colonnesFeuilleCoureurs();
    poserEquipe(d, 1, 12, s("Zéphyr & Fils"), Cellule::nombre(1), s("ZEP"), s("zep.fr"));
    poserEquipe(d, 2, 3, s("Łódź <Team>"), Cellule::nombre(2), s("LOD"), s("lodz€.pl"));
    poserEquipe(d, 3, 9, s("Troisième"), Cellule::nombre(3), s("TRO"), s("tro.fr"));

    poserCoureur(d, 2, 101, s("Anquetil"), s("Jacques"), Cellule::nombre(12));
    Tableau &t = d.TabCoureurs;
    t(2, 6) = Cellule::nombre(8);
    t(2, 7) = Cellule::nombre(1);
    t(2, 8) = Cellule::nombre(1934);
    t(2, 9) = Cellule::nombre(250);
    t(2, 10) = Cellule::nombre(75);
    t(2, 11) = Cellule::nombre(78);
    t(2, 18) = Cellule::nombre(80);
    t(2, 19) = Cellule::nombre(82);
    poserCoureur(d, 3, 102, s("Ołowski"), s("Œdipe"), Cellule::nombre(61));
    t(3, 6) = Cellule::nombre(30);
    t(3, 7) = Cellule::nombre(12);
    t(3, 8) = Cellule::nombre(1990);
    t(3, 9) = Cellule::nombre(12);
    t(3, 30) = Cellule::nombre(81);
    t(3, 31) = Cellule::nombre(81.5);
    poserCoureur(d, 4, 103, s("Bobet"), s("Louison"), Cellule::nombre(12));
    t(4, 9) = Cellule::nombre(0);
    t(4, 12) = Cellule::nombre(74.5);
    t(4, 13) = Cellule::nombre(76);
    // Équipe de division 3 : sur aucune page.
    poserCoureur(d, 5, 104, s("Coppi"), s("Fausto"), Cellule::nombre(9));
    // Id d'équipe tenu comme texte : un texte n'égale jamais un nombre.
    poserCoureur(d, 6, 105, s("Texte"), s("Id"), Cellule::texte(s("12")));
    return d;
}

QByteArray lire(const QString &chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return "(illisible : " + chemin.toUtf8() + ")";
    return f.readAll();
}

QStringList contenuDossier(const QString &chemin)
{
    QStringList l;
    QDirIterator it(chemin, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
        QDirIterator::Subdirectories);
    while (it.hasNext())
        l << QDir(chemin).relativeFilePath(it.next());
    l.sort();
    return l;
}

QString page(const QList<PageHTML> &pages, const QString &nom)
{
    for (const PageHTML &p : pages)
        if (p.nom == nom)
            return p.texte;
    return {};
}

QStringList noms(const QList<PageHTML> &pages)
{
    QStringList l;
    for (const PageHTML &p : pages)
        l << p.nom;
    return l;
}

/**
 * Suite des lignes d'une page de coureurs : "E" pour une ligne d'en-tête, "B" ou "V" pour
 * une ligne de coureur blanche ou verte.
 */
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

TEST(ExportHTML, PetiteBaseOctetPourOctet)
{
    const QString reference = QStringLiteral(ZARVO_SOURCE_DIR "/tests/data/export/petite_base");
    QTemporaryDir travail;
    ASSERT_TRUE(travail.isValid());
    const Donnees d = petiteBase();
    const Donnees avant = d;

    const ResultatExport r
        = exporterHTML(d, QStringLiteral("Ma base.xls"), QDir(travail.path()), quand, fr);

    ASSERT_TRUE(r.reussi) << r.erreur.toStdString();
    EXPECT_TRUE(r.erreur.isEmpty());
    EXPECT_EQ(r.dossier, travail.filePath(QStringLiteral("exportHTML_du_05-12-2026-4h5m9s")));
    const QStringList attendus { QStringLiteral("Equipe1.html"), QStringLiteral("Equipe2.html"),
        QStringLiteral("FA.html"), QStringLiteral("sommaire.html") };
    EXPECT_EQ(contenuDossier(r.dossier), attendus);
    for (const QString &f : attendus)
        EXPECT_EQ(lire(r.dossier + u'/' + f), lire(reference + u'/' + f)) << f.toStdString();
    // Les tables sont seulement lues.
    EXPECT_EQ(d.TabCoureurs, avant.TabCoureurs);
    EXPECT_EQ(d.TabEquipes, avant.TabEquipes);
}

TEST(ExportHTML, EnTeteTousLes15Libres)
{
    struct Cas
    {
        int libres;
        const char *suite;
    };
    const Cas cas[] = {
        { 0, "EE" },
        { 1, "EBE" },
        { 14, "EBVBVBVBVBVBVBVE" },
        { 15, "EBVBVBVBVBVBVBVBEE" }, // l'en-tête du 15e puis celui de la fin, collés
        { 16, "EBVBVBVBVBVBVBVBEVE" }, // le 16e, vert, entre les deux
        { 30, "EBVBVBVBVBVBVBVBEVBVBVBVBVBVBVBVEE" },
    };
    for (const Cas &c : cas) {
        Donnees d = petiteBase();
        for (int r = 2; r <= 973; ++r)
            d.TabCoureurs(r, 4) = Cellule::nombre(r - 2 < c.libres ? 61 : 12);
        const QString fa = page(pagesHTML(d, {}, fr), QStringLiteral("FA.html"));
        EXPECT_EQ(suiteDesLignes(fa), QString::fromLatin1(c.suite)) << c.libres << " libres";
        // Deux en-têtes qui se suivent sont collés, sans fin de ligne entre eux.
        EXPECT_EQ(fa.count(QStringLiteral("</tr><tr align=center>")), c.libres % 15 == 0 ? 1 : 0)
            << c.libres;
    }
}

TEST(ExportHTML, StylesRepartentEnBlancAChaquePage)
{
    Donnees d = petiteBase();
    // Trois coureurs dans l'équipe 12 : la page suivante (FA) recommence en blanc.
    d.TabCoureurs(5, 4) = Cellule::nombre(12);
    const QList<PageHTML> pages = pagesHTML(d, {}, fr);
    EXPECT_EQ(suiteDesLignes(page(pages, QStringLiteral("Equipe1.html"))), QStringLiteral("EBVBE"));
    EXPECT_EQ(suiteDesLignes(page(pages, QStringLiteral("FA.html"))), QStringLiteral("EBE"));
}

TEST(ExportHTML, EquipesExporteesSelonLaDivision)
{
    struct Cas
    {
        const char *nom;
        Cellule division;
        bool exportee;
    };
    const Cas cas[] = {
        { "div1", Cellule::nombre(1), true }, { "div2", Cellule::nombre(2), true },
        { "div3", Cellule::nombre(3), false }, { "div0", Cellule::nombre(0), false },
        { "vide", Cellule(), false }, { "div1,5", Cellule::nombre(1.5), false },
        { "texte1", Cellule::texte(QStringLiteral("1")), false }, // un texte n'égale pas 1
    };
    for (const Cas &c : cas) {
        Donnees d = petiteBase();
        poserEquipe(d, 7, 40, QStringLiteral("Septième"), c.division, QStringLiteral("SEP"),
            QStringLiteral("sep.fr"));
        poserCoureur(
            d, 20, 500, QStringLiteral("Merckx"), QStringLiteral("Eddy"), Cellule::nombre(40));
        const QList<PageHTML> pages = pagesHTML(d, {}, fr);
        const QString sommaire = page(pages, QStringLiteral("sommaire.html"));
        EXPECT_EQ(noms(pages).contains(QStringLiteral("Equipe7.html")), c.exportee) << c.nom;
        // Le lien de la ligne 7 mène à Equipe7.html, quel que soit l'id de l'équipe.
        EXPECT_EQ(
            sommaire.contains(QStringLiteral("<a href='Equipe7.html'>Septième</a>")), c.exportee)
            << c.nom;
        bool surUnePage = false;
        for (const PageHTML &p : pages)
            surUnePage = surUnePage || p.texte.contains(QStringLiteral("Merckx"));
        EXPECT_EQ(surUnePage, c.exportee) << c.nom;
    }
    // Ordre des pages : GS1 puis GS2 dans l'ordre des lignes, FA à la fin.
    Donnees d = petiteBase();
    poserEquipe(d, 5, 50, QStringLiteral("Cinq"), Cellule::nombre(2), {}, {});
    poserEquipe(d, 6, 60, QStringLiteral("Six"), Cellule::nombre(1), {}, {});
    const QStringList attendu { QStringLiteral("sommaire.html"), QStringLiteral("Equipe1.html"),
        QStringLiteral("Equipe6.html"), QStringLiteral("Equipe2.html"),
        QStringLiteral("Equipe5.html"), QStringLiteral("FA.html") };
    EXPECT_EQ(noms(pagesHTML(d, {}, fr)), attendu);
    const QString sommaire = page(pagesHTML(d, {}, fr), QStringLiteral("sommaire.html"));
    const auto pos = [&](const char *lien) { return sommaire.indexOf(QString::fromLatin1(lien)); };
    EXPECT_LT(pos("'Equipe6.html'"), sommaire.indexOf(QStringLiteral("LES EQUIPES DE GS2")));
    EXPECT_GT(pos("'Equipe5.html'"), sommaire.indexOf(QStringLiteral("LES EQUIPES DE GS2")));
}

TEST(ExportHTML, Equipe61ListeeDansUneDivision)
{
    Donnees d = petiteBase();
    poserEquipe(d, 4, 61, QStringLiteral("Libres"), Cellule::nombre(2), QStringLiteral("LIB"), {});
    const QList<PageHTML> pages = pagesHTML(d, {}, fr);
    EXPECT_TRUE(page(pages, QStringLiteral("sommaire.html"))
                    .contains(QStringLiteral("<a href='Equipe4.html'>Libres</a>")));
    // Ses coureurs sont sur sa page et sur FA.html.
    EXPECT_TRUE(page(pages, QStringLiteral("Equipe4.html")).contains(s("Ołowski")));
    EXPECT_TRUE(page(pages, QStringLiteral("FA.html")).contains(s("Ołowski")));
}

TEST(ExportHTML, IdDEquipeRetapeCommeNombre)
{
    // La règle des nombres range un id retapé comme nombre : il correspond à l'équipe.
    Donnees d = petiteBase();
    d.TabCoureurs(6, 4) = Cellule::nombre(12);
    EXPECT_TRUE(page(pagesHTML(d, {}, fr), QStringLiteral("Equipe1.html"))
                    .contains(QStringLiteral(">Texte</font>")));
    // Tenu comme texte, il ne correspond à aucune équipe (fichier de référence aussi).
    EXPECT_FALSE(page(pagesHTML(petiteBase(), {}, fr), QStringLiteral("Equipe1.html"))
                     .contains(QStringLiteral(">Texte</font>")));
}

TEST(ExportHTML, NomDeLaBase)
{
    const std::pair<const char *, const char *> cas[] = {
        { "Base.xls", "Base" },
        { "Base.XLS", "Base.XLS" },
        { "a.xls.xls", "a" },
        { "Base.Xls", "Base.Xls" },
        { "mon.xlsclasseur.xls", "monclasseur" },
        { "", "" },
    };
    for (const auto &[fichier, attendu] : cas)
        EXPECT_EQ(NomBase(QString::fromLatin1(fichier)), QString::fromLatin1(attendu)) << fichier;
    const QString sommaire = page(pagesHTML(petiteBase(), NomBase(QStringLiteral("a.xls.xls")), fr),
        QStringLiteral("sommaire.html"));
    EXPECT_TRUE(sommaire.contains(QStringLiteral("<i>Caractéristiques de la Db a</i>")));
}

TEST(ExportHTML, NomDuDossier)
{
    struct Cas
    {
        QLocale langue;
        QDateTime quand;
        const char *nom;
    };
    const Cas cas[] = {
        { fr, quand, "exportHTML_du_05-12-2026-4h5m9s" },
        { fr, QDateTime(QDate(2026, 1, 31), QTime(23, 59, 59)),
            "exportHTML_du_31-01-2026-23h59m59s" },
        { fr, QDateTime(QDate(2026, 1, 31), QTime(0, 0, 0)), "exportHTML_du_31-01-2026-0h0m0s" },
        { QLocale(QLocale::English, QLocale::UnitedStates), quand, "exportHTML_du_12-5-26-4h5m9s" },
        { QLocale(QLocale::German, QLocale::Germany), quand, "exportHTML_du_05.12.26-4h5m9s" },
    };
    for (const Cas &c : cas)
        EXPECT_EQ(DossierExport(c.quand, c.langue), QString::fromLatin1(c.nom));
}

TEST(ExportHTML, OrdreDUnClassementReporte)
{
    Donnees d = petiteBase();
    for (int r = 10; r <= 15; ++r) {
        poserCoureur(d, r, 200 + r, QStringLiteral("C%1").arg(r), QStringLiteral("P"),
            Cellule::nombre(r % 2 == 0 ? 12 : 61));
        d.TabCoureurs(r, 34) = Cellule::nombre((r * 37) % 11);
    }
    // Classement : meilleure note d'abord, sur toute la table.
    TriTableau(d.TabCoureurs, 34, 2, 973, 0, 36, 0);
    QStringList ordreTable;
    for (int r = 2; r <= 973; ++r)
        if (d.TabCoureurs(r, 2).estTexte() && d.TabCoureurs(r, 2).valeurTexte().startsWith(u'C')
            && d.TabCoureurs(r, 2).valeurTexte() != QStringLiteral("Coppi"))
            ordreTable << d.TabCoureurs(r, 2).valeurTexte();
    ASSERT_EQ(ordreTable.size(), 6);
    const QList<PageHTML> pages = pagesHTML(d, {}, fr);
    for (const char *nomPage : { "Equipe1.html", "FA.html" }) {
        const QString p = page(pages, QString::fromLatin1(nomPage));
        int avant = -1;
        for (const QString &nom : ordreTable) {
            const int ici = p.indexOf(u'>' + nom + u'<');
            if (ici < 0)
                continue; // coureur de l'autre page
            EXPECT_GT(ici, avant) << nomPage << " " << nom.toStdString();
            avant = ici;
        }
        EXPECT_GE(avant, 0) << nomPage;
    }
}

TEST(ExportHTML, EchappementDesValeurs)
{
    Donnees d = petiteBase();
    d.TabCoureurs(2, 2) = Cellule::texte(QStringLiteral("<script>alert(1)</script> & Cie"));
    d.TabEquipes(1, 6) = Cellule::texte(QStringLiteral("a<b>c"));
    const QList<PageHTML> pages = pagesHTML(d, QStringLiteral("R&D <2>"), fr);
    const QString equipe = page(pages, QStringLiteral("Equipe1.html"));
    EXPECT_FALSE(equipe.contains(QStringLiteral("<script>")));
    EXPECT_TRUE(
        equipe.contains(QStringLiteral(">&lt;script&gt;alert(1)&lt;/script&gt; &amp; Cie</font>")));
    const QString sommaire = page(pages, QStringLiteral("sommaire.html"));
    EXPECT_TRUE(sommaire.contains(QStringLiteral("la Db R&amp;D &lt;2&gt;</i>")));
    EXPECT_TRUE(sommaire.contains(QStringLiteral(">a&lt;b&gt;c</td>")));
}

TEST(ExportHTML, EncodageWindows1252)
{
    const std::pair<const char *, QByteArray> cas[] = {
        { "abc <&>", "abc <&>" }, // l'échappement se fait avant, pas ici
        { "é à ÿ", "\xE9 \xE0 \xFF" }, { "\xC2\xA0", "\xA0" }, // espace insécable
        { "€ Œ œ Ÿ – ™", "\x80 \x8C \x9C \x9F \x96 \x99" },
        { "Łódź",
            "&#321;\xF3"
            "d&#378;" },
        { "Иван", "&#1048;&#1074;&#1072;&#1085;" }, { "Erdős", "Erd&#337;s" },
        { "\xF0\x9F\x9A\xB4", "&#128692;" }, // hors du plan de base : un seul caractère
        { "\xC2\x81", "&#129;" }, // octet non défini du jeu
    };
    for (const auto &[texte, octets] : cas)
        EXPECT_EQ(encoderWindows1252(QString::fromUtf8(texte)), octets) << texte;
    // Moitié de paire isolée : caractère de remplacement.
    EXPECT_EQ(encoderWindows1252(QString(QChar(0xD83D))), QByteArray("&#65533;"));
}

TEST(ExportHTML, UnDossierExistantNEstJamaisReutilise)
{
    QTemporaryDir travail;
    ASSERT_TRUE(travail.isValid());
    const QDir dt(travail.path());
    const QString nom = QStringLiteral("exportHTML_du_05-12-2026-4h5m9s");
    ASSERT_TRUE(dt.mkdir(nom));
    QFile ancien(dt.filePath(nom + QStringLiteral("/sommaire.html")));
    ASSERT_TRUE(ancien.open(QIODevice::WriteOnly));
    ancien.write("ancien");
    ancien.close();

    const ResultatExport r1 = exporterHTML(petiteBase(), QStringLiteral("b.xls"), dt, quand, fr);
    const ResultatExport r2 = exporterHTML(petiteBase(), QStringLiteral("b.xls"), dt, quand, fr);

    ASSERT_TRUE(r1.reussi && r2.reussi);
    EXPECT_EQ(r1.dossier, dt.filePath(nom + QStringLiteral("_2")));
    EXPECT_EQ(r2.dossier, dt.filePath(nom + QStringLiteral("_3")));
    EXPECT_EQ(lire(dt.filePath(nom + QStringLiteral("/sommaire.html"))), QByteArray("ancien"));
    EXPECT_EQ(contenuDossier(dt.filePath(nom)), QStringList { QStringLiteral("sommaire.html") });
    EXPECT_EQ(contenuDossier(r2.dossier).size(), 4);
}

TEST(ExportHTML, DossierImpossibleACreer)
{
    QTemporaryDir travail;
    ASSERT_TRUE(travail.isValid());
    QFile ordinaire(travail.filePath(QStringLiteral("fichier")));
    ASSERT_TRUE(ordinaire.open(QIODevice::WriteOnly));
    ordinaire.close();
    // Root passe outre les droits : un chemin sous un fichier ordinaire, et /proc, refusent
    // la création quel que soit l'utilisateur.
    const QString lieux[] = { travail.filePath(QStringLiteral("fichier")),
        travail.filePath(QStringLiteral("fichier/sous")), QStringLiteral("/proc/self") };
    for (const QString &lieu : lieux) {
        const QStringList avant = contenuDossier(travail.path());
        const ResultatExport r
            = exporterHTML(petiteBase(), QStringLiteral("b.xls"), QDir(lieu), quand, fr);
        EXPECT_FALSE(r.reussi) << lieu.toStdString();
        EXPECT_TRUE(r.dossier.isEmpty());
        EXPECT_TRUE(r.erreur.contains(s("impossible de créer le dossier")))
            << r.erreur.toStdString();
        EXPECT_TRUE(r.erreur.contains(lieu + QStringLiteral("/exportHTML_du_")))
            << r.erreur.toStdString();
        EXPECT_EQ(contenuDossier(travail.path()), avant);
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

    const ResultatExport r = exporterHTML(
        petiteBase(), QStringLiteral("Ma base.xls"), QDir(travail.path()), quand, fr);

    setrlimit(RLIMIT_FSIZE, &ancienne);
    std::signal(SIGXFSZ, ancienSignal);
    EXPECT_FALSE(r.reussi);
    EXPECT_TRUE(r.erreur.contains(s("« Equipe1.html »"))) << r.erreur.toStdString();
    EXPECT_TRUE(
        r.erreur.contains(travail.filePath(QStringLiteral("exportHTML_du_05-12-2026-4h5m9s"))));
    EXPECT_TRUE(r.erreur.contains(s("supprimé")));
    EXPECT_EQ(contenuDossier(travail.path()), QStringList());
}
