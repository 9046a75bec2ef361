#include "ui/messages.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace zarvo::ui {

QString titreMessages()
{
    return QStringLiteral("Zarvoedit");
}

QString texteAffiche(const QString &texte)
{
    QString t = texte;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QChar(13), QChar(10));
    return t;
}

QString nomBoutons(Boutons b)
{
    switch (b) {
    case Boutons::Ok:
        return QStringLiteral("OK");
    case Boutons::OuiNon:
        return QStringLiteral("OuiNon");
    case Boutons::OuiNonAnnuler:
        return QStringLiteral("OuiNonAnnuler");
    }
    return {};
}

QString nomReponse(Reponse r)
{
    switch (r) {
    case Reponse::Ok:
        return QStringLiteral("OK");
    case Reponse::Oui:
        return QStringLiteral("Oui");
    case Reponse::Non:
        return QStringLiteral("Non");
    case Reponse::Annuler:
        return QStringLiteral("Annuler");
    }
    return {};
}

std::optional<Reponse> lireReponse(const QString &nom)
{
    for (Reponse r : { Reponse::Ok, Reponse::Oui, Reponse::Non, Reponse::Annuler })
        if (nom.compare(nomReponse(r), Qt::CaseInsensitive) == 0)
            return r;
    return std::nullopt;
}

bool reponsePossible(Boutons b, Reponse r)
{
    switch (b) {
    case Boutons::Ok:
        return r == Reponse::Ok;
    case Boutons::OuiNon:
        return r == Reponse::Oui || r == Reponse::Non;
    case Boutons::OuiNonAnnuler:
        return r == Reponse::Oui || r == Reponse::Non || r == Reponse::Annuler;
    }
    return false;
}

Reponse plusPrudente(Boutons b)
{
    switch (b) {
    case Boutons::Ok:
        return Reponse::Ok;
    case Boutons::OuiNon:
        return Reponse::Non;
    case Boutons::OuiNonAnnuler:
        return Reponse::Annuler;
    }
    return Reponse::Ok;
}

Reponse MessagesQt::afficher(const QString &texte, Boutons boutons)
{
    QMessageBox boite(
        QMessageBox::NoIcon, titreMessages(), texteAffiche(texte), QMessageBox::NoButton, m_parent);
    // Libellés posés à la main : ils restent français sans fichier de traduction de Qt.
    QPushButton *ok = nullptr, *oui = nullptr, *non = nullptr, *annuler = nullptr;
    if (boutons == Boutons::Ok) {
        ok = boite.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        boite.setEscapeButton(ok);
    } else {
        oui = boite.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
        non = boite.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
        boite.setDefaultButton(oui);
        if (boutons == Boutons::OuiNonAnnuler) {
            annuler = boite.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
            boite.setEscapeButton(annuler);
        } else {
            boite.setEscapeButton(non);
        }
    }
    boite.exec();
    const auto *clique = boite.clickedButton();
    if (clique == nullptr)
        return plusPrudente(boutons);
    if (clique == oui)
        return Reponse::Oui;
    if (clique == non)
        return Reponse::Non;
    if (clique == annuler)
        return Reponse::Annuler;
    return Reponse::Ok;
}

std::optional<QString> MessagesQt::fichierAEnregistrer(
    const QString &titre, const QString &propose, const QString &filtres)
{
    QString filtre;
    QString chemin = QFileDialog::getSaveFileName(
        m_parent, titre, QDir(QDir::homePath()).filePath(propose), filtres, &filtre);
    if (chemin.isEmpty())
        return std::nullopt;
    // Un nom tapé sans extension prend celle du filtre choisi.
    static const QRegularExpression extension(QStringLiteral("\\*(\\.\\w+)"));
    if (const auto m = extension.match(filtre);
        QFileInfo(chemin).suffix().isEmpty() && m.hasMatch())
        chemin += m.captured(1);
    return chemin;
}

} // namespace zarvo::ui
