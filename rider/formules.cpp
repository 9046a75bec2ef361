#include "rider/formules.h"

#include "model/conversions.h"

#include <algorithm>

namespace zarvo {

double notePanneau5050(double mo, double val)
{
    return arrondi(0.5 * plancher(mo) + 0.5 * plancher(val));
}
double notePanneau8020(double mo, double val)
{
    return arrondi(0.8 * plancher(mo) + 0.2 * plancher(val));
}

double moyenneCoureur(double endurance, double montagne, double resistance, double recuperation,
    double clm, double sprint)
{
    const double a = plancher(endurance) + plancher(montagne) + plancher(resistance)
        + plancher(recuperation) + 0.5 * plancher(clm);
    const double b = plancher(endurance) + plancher(sprint) + plancher(resistance)
        + plancher(recuperation) + 0.5 * plancher(clm);
    return std::max(a, b) / 4.5;
}

QString trancheSalaire(double m)
{
    // Le dernier test vrai l'emporte, y compris la tranche basse plus chère que la précédente.
    QString t = QStringLiteral("151000 €");
    if (m < 82)
        t = QStringLiteral("81000 €");
    if (m < 76)
        t = QStringLiteral("41000 €");
    if (m < 72)
        t = QStringLiteral("21000 €");
    if (m < 68)
        t = QStringLiteral("8500 €");
    if (m < 65)
        t = QStringLiteral("7500 €");
    if (m < 60)
        t = QStringLiteral("5000 €");
    if (m <= 56)
        t = QStringLiteral("15000 €");
    return t;
}

QString texteSalaire(double moyenne, const QLocale &langue)
{
    return QStringLiteral("Moy : ") + texteNombre(arrondi2(moyenne), langue) + QChar(13)
        + QStringLiteral("Salaire :") + trancheSalaire(moyenne);
}

Derivees calculerDerivees(const QString (&textes)[34], const QLocale &langue)
{
    auto n = [&](int c) { return lireNombre(textes[c], langue); };
    Derivees d;
    const auto mo = n(col::Montagne), val = n(col::Vallons);
    if (mo && val) {
        d.car5050 = notePanneau5050(*mo, *val);
        d.car8020 = notePanneau8020(*mo, *val);
    }
    const auto pmo = n(col::PotMontagne), pval = n(col::PotVallons);
    if (pmo && pval) {
        d.pot5050 = notePanneau5050(*pmo, *pval);
        d.pot8020 = notePanneau8020(*pmo, *pval);
    }
    const auto end = n(col::Endurance), res = n(col::Resistance), rec = n(col::Recuperation),
               clm = n(col::CLM), spr = n(col::Sprint);
    if (end && mo && res && rec && clm && spr)
        d.salaire = texteSalaire(moyenneCoureur(*end, *mo, *res, *rec, *clm, *spr), langue);
    return d;
}

} // namespace zarvo
