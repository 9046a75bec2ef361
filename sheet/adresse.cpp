#include "sheet/adresse.h"

#include "model/donnees.h"
#include "sheet/erreur.h"

#include <charconv>
#include <iterator>

namespace zarvo::sheet {

namespace {

bool lireCase(QStringView t, int &ligne, int &colonne)
{
    int i = 0;
    int col = 0;
    while (i < t.size() && t[i] >= u'A' && t[i] <= u'Z') {
        col = col * 26 + (t[i].unicode() - u'A' + 1);
        if (col > 256)
            return false;
        ++i;
    }
    if (i == 0 || i > 2 || i == t.size())
        return false;
    if (t[i] == u'0')
        return false; // pas de zéro en tête
    long lig = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < u'0' || t[i] > u'9')
            return false;
        lig = lig * 10 + (t[i].unicode() - u'0');
        if (lig > 65536)
            return false;
    }
    ligne = int(lig);
    colonne = col;
    return ligne >= 1;
}

} // namespace

Adresse lireAdresse(const QString &texte)
{
    Adresse a;
    const qsizetype deuxPoints = texte.indexOf(u':');
    bool ok;
    if (deuxPoints < 0) {
        ok = lireCase(texte, a.ligne1, a.colonne1);
        a.ligne2 = a.ligne1;
        a.colonne2 = a.colonne1;
    } else {
        ok = lireCase(QStringView(texte).left(deuxPoints), a.ligne1, a.colonne1)
            && lireCase(QStringView(texte).mid(deuxPoints + 1), a.ligne2, a.colonne2)
            && a.ligne1 <= a.ligne2 && a.colonne1 <= a.colonne2;
    }
    if (!ok)
        throw ErreurClasseur(GenreErreur::AdresseInvalide,
            QStringLiteral("adresse de cellule invalide : « %1 »").arg(texte));
    return a;
}

QString texteAdresse(int ligne, int colonne)
{
    // Une seule allocation : le chargement en demande des centaines.
    char16_t t[24];
    int n = lettresColonne(colonne, t);
    char chiffres[12];
    const char *fin = std::to_chars(std::begin(chiffres), std::end(chiffres), ligne).ptr;
    for (const char *c = chiffres; c != fin; ++c)
        t[n++] = char16_t(*c);
    return QString::fromUtf16(t, n);
}

} // namespace zarvo::sheet
