#include "export/html.h"

#include "classeur_jeu/disposition.h"
#include "model/conversions.h"
#include "model/systeme.h"

#include <QFile>
#include <QHash>

#include <array>
#include <cstring>

namespace zarvo {

namespace {

const QString crlf = QStringLiteral("\r\n");

constexpr int enteteTousLes = 15; // une ligne d'en-tête tous les 15 coureurs libres

const QString enteteEquipes
    = QStringLiteral("<tr><td><b>Id</b></td><td><b>Nom de l'équipe</b></td><td><b>Div</b></td>"
                     "<td><b>Abbréviation</b></td><td><b>Suffixe Mail</b></td>");

const QString EnTeteCoureursHTML = QStringLiteral("<tr align=center>\r\n")
    + QStringLiteral("<td align=center><font color=white>Id</td>"
                     "<td align=center><font color=white> Nom </td>"
                     "<td align=center><font color=white> Prénom </td>"
                     "<td align=center><font color=white> Né le </td>"
                     "<td align=center><font color=white> Points UCI </td>"
                     "<td align=center><font color=white> Plaine </td>"
                     "<td align=center><font color=white> Montagne </td>"
                     "<td align=center><font color=white> Vallons </td>"
                     "<td align=center><font color=white> Descente </td>"
                     "<td align=center><font color=white> CLM </td>"
                     "<td align=center><font color=white> Endurance </td>"
                     "<td align=center><font color=white> Resist. </td>"
                     "<td align=center><font color=white>Récup </td>"
                     "<td align=center><font color=white> Pavés </td>"
                     "<td align=center><font color=white> Agilité </td>"
                     "<td align=center><font color=white> Sprint </td>"
                     "<td align=center><font color=white> Accel </td>")
    + QStringLiteral("\r\n</tr>");

const QString styleBlanc = QStringLiteral(" bgcolor=white><font color='#1D6008'><b>");
const QString styleVert = QStringLiteral("bgcolor='#237909'><font color=white><b>");
const QString ouvertureCase
    = QStringLiteral("<td align=center bordercolor='#6D1AA2' borderwidth=1 ");

/// Chaque écriture ajoute son texte puis une fin de ligne.
void ecrire(QString &fichier, const QString &texte)
{
    fichier += texte;
    fichier += crlf;
}

QString echapper(const QString &t)
{
    QString r;
    r.reserve(t.size());
    for (const QChar c : t) {
        switch (c.unicode()) {
        case u'&':
            r += QStringLiteral("&amp;");
            break;
        case u'<':
            r += QStringLiteral("&lt;");
            break;
        case u'>':
            r += QStringLiteral("&gt;");
            break;
        default:
            r += c;
        }
    }
    return r;
}

/**
 * Valeurs des cases telles que le panneau les affiche, échappées pour HTML. Les mêmes nombres
 * reviennent des milliers de fois : leur texte n'est calculé qu'une fois par export.
 */
class Rendu
{
public:
    explicit Rendu(const QLocale &langue)
        : m_langue(langue)
    { }
    QString operator()(const Tableau &t, int ligne, int colonne)
    {
        const Cellule &c = t(ligne, colonne);
        if (!c.estNombre())
            return echapper(texteCellule(c, m_langue));
        auto it = m_nombres.constFind(c.valeurNombre());
        if (it == m_nombres.constEnd())
            it = m_nombres.insert(c.valeurNombre(), echapper(texteCellule(c, m_langue)));
        return *it;
    }

private:
    QLocale m_langue;
    QHash<double, QString> m_nombres;
};

/// LigneCoureurHTML : une ligne de coureur, style blanc pour les impaires de la page.
void LigneCoureurHTML(QString &page, const Tableau &tc, int r, bool blanc, Rendu &valeur)
{
    const QString ouverture = ouvertureCase + (blanc ? styleBlanc : styleVert);
    const QString fin = QStringLiteral("</font></td>\r\n");
    page += crlf + QStringLiteral("<tr>");
    page += ouverture + valeur(tc, r, col::Id) + fin;
    page += ouverture + valeur(tc, r, col::Nom) + fin;
    page += ouverture + valeur(tc, r, col::Prenom) + fin;
    page += ouverture + valeur(tc, r, col::Jour) + QChar(u'/') + valeur(tc, r, col::Mois)
        + QChar(u'/') + valeur(tc, r, col::Annee) + fin;
    page += ouverture + valeur(tc, r, col::Points) + fin;
    for (int v = col::PremiereCarac; v <= col::DerniereCarac; v += 2)
        page += ouverture + valeur(tc, r, v) + QStringLiteral(" </b>(") + valeur(tc, r, v + 1)
            + QStringLiteral(") </font></td>\r\n");
    page += QStringLiteral("</tr>\r\n");
}

/// Tête commune des pages de coureurs, jusqu'à l'ouverture de la table.
QString teteCoureurs(const QString &titre, const QString &intitule)
{
    return QStringLiteral("<html>\r\n<head><title>") + titre + QStringLiteral("</title>\r\n")
        + QStringLiteral("<body bgcolor='#A7C0CF' link=blue vlink=blue alink=blue></head>"
                         "<center>\r\n<br>\r\n")
        + QStringLiteral("<font size=5><i>") + intitule
        + QStringLiteral("</i></font><br><br><table border=1 bgcolor='#6D1AA2' "
                         "bordercolor='#6D1AA2'>")
        + crlf + EnTeteCoureursHTML;
}

QString piedCoureurs()
{
    return EnTeteCoureursHTML + crlf
        + QStringLiteral("</table><br><br><a href='sommaire.html'>Retour au sommaire</a>") + crlf
        + QStringLiteral("</center></html>");
}

/// Page de l'équipe de la ligne i : ses coureurs dans l'ordre de la table.
QString pageEquipe(const Donnees &d, int i, Rendu &valeur)
{
    const Tableau &tc = d.TabCoureurs;
    const Cellule &id = d.TabEquipes(i, colEq::Id);
    const QString nom = valeur(d.TabEquipes, i, colEq::Nom);
    QString page = teteCoureurs(QStringLiteral("Caractéristiques des coureurs de ") + nom,
        QStringLiteral("Les coureurs de l'équipe ") + nom);
    bool blanc = true;
    for (int r = tc.premiereLigne(); r <= tc.derniereLigne(); ++r) {
        if (egalesAuTri(tc(r, col::Equipe), id)) {
            LigneCoureurHTML(page, tc, r, blanc, valeur);
            blanc = !blanc;
        }
    }
    QString fichier;
    ecrire(fichier, page + piedCoureurs());
    return fichier;
}

QString pageLibres(const Donnees &d, Rendu &valeur)
{
    const Tableau &tc = d.TabCoureurs;
    const Cellule libres = Cellule::nombre(base::idEquipeLibres);
    QString page = teteCoureurs(QStringLiteral("Caractéristiques des coureurs libres"),
        QStringLiteral("Les coureurs libres"));
    bool blanc = true;
    int compte = 0;
    for (int r = tc.premiereLigne(); r <= tc.derniereLigne(); ++r) {
        if (egalesAuTri(tc(r, col::Equipe), libres)) {
            LigneCoureurHTML(page, tc, r, blanc, valeur);
            blanc = !blanc;
            if (++compte == enteteTousLes) {
                page += EnTeteCoureursHTML;
                compte = 0;
            }
        }
    }
    QString fichier;
    ecrire(fichier, page + piedCoureurs());
    return fichier;
}

QString ligneSommaire(const Donnees &d, int i, Rendu &valeur)
{
    const Tableau &te = d.TabEquipes;
    const QString vert = QStringLiteral("<td bgcolor=white><font color='#1D6008'>");
    const QString fin = QStringLiteral("</td>\r\n");
    return QStringLiteral(" \r\n<tr>\r\n") + vert + valeur(te, i, colEq::Id) + fin
        + QStringLiteral("<td bgcolor=white><a href='Equipe") + QString::number(i)
        + QStringLiteral(".html'>") + valeur(te, i, colEq::Nom) + QStringLiteral("</a>") + fin
        + vert + valeur(te, i, colEq::Division) + fin + vert + valeur(te, i, colEq::Abrev) + fin
        + vert + valeur(te, i, colEq::Mail) + fin + QStringLiteral("</tr>\r\n");
}

/// Table de correspondance des octets 0x80..0x9F de Windows-1252 (0 : octet non défini).
constexpr std::array<char16_t, 32> cp1252Haut = { 0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020,
    0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D,
    0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178 };

} // namespace

QString NomBase(const QString &nomFichier)
{
    QString nom = nomFichier;
    return nom.remove(QStringLiteral(".xls"), Qt::CaseSensitive);
}

QString DossierExport(const QDateTime &maintenant, const QLocale &langue)
{
    const QTime h = maintenant.time();
    QString nom = QStringLiteral("exportHTML du ")
        + langue.toString(maintenant.date(), QLocale::ShortFormat) + QChar(u'-')
        + QString::number(h.hour()) + QChar(u'h') + QString::number(h.minute()) + QChar(u'm')
        + QString::number(h.second()) + QChar(u's');
    return nom.replace(QChar(u' '), QChar(u'_')).replace(QChar(u'/'), QChar(u'-'));
}

QList<PageHTML> pagesHTML(const Donnees &d, const QString &nomBase, const QLocale &langue)
{
    const Tableau &te = d.TabEquipes;
    Rendu valeur(langue);
    QString sommaire;
    QList<PageHTML> pages;
    ecrire(sommaire,
        QStringLiteral("<html>\r\n<head><title>Caractéristiques des équipes</title></head>\r\n"
                       "<body bgcolor='#A7C0CF' link=blue vlink=blue alink=blue>\r\n"
                       "<br><br><center><font size=6><i>Caractéristiques de la Db ")
            + echapper(nomBase)
            + QStringLiteral("</i></font><br><br>\r\n"
                             "<br><br><center><font size=5>LES EQUIPES DE GS1 :</font><br><br>"
                             "\r\n<table border=1 bordercolor='#1D6008'>\r\n")
            + enteteEquipes);
    const auto section = [&](int division) {
        // La lecture du chargement : une équipe qui a son bouton a aussi sa page.
        for (int i = te.premiereLigne(); i <= te.derniereLigne(); ++i) {
            if (divisionEquipe(te(i, colEq::Division)) != division)
                continue;
            ecrire(sommaire, ligneSommaire(d, i, valeur));
            pages.append({ QStringLiteral("Equipe%1.html").arg(i), pageEquipe(d, i, valeur) });
        }
    };
    section(1);
    ecrire(sommaire,
        QStringLiteral("</table>\r\n<br><br><br><center><font size=5>LES EQUIPES DE GS2 :</font>"
                       "<br><br>\r\n<table border=1 bordercolor='#1D6008'>\r\n")
            + enteteEquipes);
    section(2);
    pages.append({ QStringLiteral("FA.html"), pageLibres(d, valeur) });
    ecrire(sommaire,
        QStringLiteral("</table><br><br><br><font size=5><a href='FA.html'>TOUS LES COUREURS "
                       "LIBRES (sans équipes et retraités)</a></font><br><br><br><br>"
                       "</body></html>"));
    pages.prepend({ QStringLiteral("sommaire.html"), sommaire });
    return pages;
}

QByteArray encoderWindows1252(const QString &texte)
{
    // Un octet par caractère presque toujours : écriture directe, le tableau ne grandit que
    // pour une référence numérique.
    QByteArray r(texte.size(), Qt::Uninitialized);
    char *p = r.data();
    qsizetype n = 0;
    const QChar *it = texte.constData();
    const QChar *const fin = it + texte.size();
    for (; it != fin; ++it) {
        char32_t cp = it->unicode();
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            p[n++] = char(cp);
            continue;
        }
        if (it->isHighSurrogate() && it + 1 != fin && (it + 1)->isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(*it, *(it + 1));
            ++it;
        } else if (it->isSurrogate()) {
            cp = 0xFFFD; // moitié de paire isolée : caractère de remplacement
        }
        int octet = -1;
        for (std::size_t k = 0; k < cp1252Haut.size(); ++k)
            if (cp1252Haut[k] != 0 && cp1252Haut[k] == cp)
                octet = 0x80 + int(k);
        if (octet >= 0) {
            p[n++] = char(octet);
            continue;
        }
        const QByteArray ref = "&#" + QByteArray::number(quint32(cp)) + ';';
        r.resize(r.size() + ref.size() - 1);
        p = r.data();
        std::memcpy(p + n, ref.constData(), std::size_t(ref.size()));
        n += ref.size();
    }
    r.resize(n);
    return r;
}

QString texteExportReussi(const ResultatExport &r)
{
    return QStringLiteral("Les pages HTML sont dans le dossier :") + QChar(13)
        + QDir::toNativeSeparators(r.dossier) + QChar(13) + QChar(13)
        + QStringLiteral("Ouvrir le sommaire (sommaire.html) dans le navigateur ?");
}

ResultatExport exporterHTML(const Donnees &d, const QString &nomFichier, const QDir &dossierTravail,
    const QDateTime &maintenant, const QLocale &langue)
{
    ResultatExport res;
    // Tout est prêt en mémoire avant de toucher au disque.
    QList<std::pair<QString, QByteArray>> fichiers;
    for (const PageHTML &p : pagesHTML(d, NomBase(nomFichier), langue))
        fichiers.append({ p.nom, encoderWindows1252(p.texte) });

    // Un dossier courant supprimé n'a plus de chemin : sans ce garde-fou, le chemin relatif
    // se résoudrait à la racine du disque.
    if (dossierTravail.isRelative() && QDir::currentPath().isEmpty()) {
        res.erreur = QStringLiteral("L'export HTML n'a pas eu lieu : le dossier de travail "
                                    "courant n'existe plus.");
        return res;
    }

    // Un dossier existant n'est jamais réutilisé : mkdir échoue s'il existe, on passe au
    // suffixe suivant.
    const QString nom = DossierExport(maintenant, langue);
    QString chemin;
    for (int n = 1;; ++n) {
        chemin = dossierTravail.absoluteFilePath(n == 1 ? nom : nom + QStringLiteral("_%1").arg(n));
        const systeme::CreationDossier c = systeme::creerDossierNeuf(chemin);
        if (c.etat == systeme::CreationDossier::Cree)
            break;
        if (c.etat == systeme::CreationDossier::Refuse || n >= 1000) {
            res.erreur = QStringLiteral("L'export HTML n'a pas eu lieu : impossible de créer le "
                                        "dossier « %1 » (%2).")
                             .arg(chemin,
                                 c.etat == systeme::CreationDossier::Existe
                                     ? QStringLiteral("il existe déjà")
                                     : c.raison);
            return res;
        }
    }

    const QDir dossier(chemin);
    for (const auto &[nomPage, octets] : fichiers) {
        QFile f(dossier.filePath(nomPage));
        const bool ok = f.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)
            && f.write(octets) == octets.size() && f.flush();
        if (!ok) {
            const QString raison = f.errorString();
            f.close();
            QDir(chemin).removeRecursively();
            res.erreur = QStringLiteral("L'export HTML a échoué : impossible d'écrire le fichier "
                                        "« %1 » dans le dossier « %2 » (%3). Le dossier commencé "
                                        "a été supprimé.")
                             .arg(nomPage, chemin, raison);
            return res;
        }
        f.close();
    }
    res.reussi = true;
    res.dossier = chemin;
    return res;
}

} // namespace zarvo
