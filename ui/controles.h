#pragma once

#include <QColor>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QRect>
#include <QString>

class QLineEdit;
class QWidget;

namespace zarvo::ui {

/**
 * Les positions du dessin des fenêtres sont en twips. Une seule conversion, en pixels
 * indépendants de l'écran : Qt applique lui-même l'échelle de l'écran, on ne multiplie donc
 * jamais par le DPI.
 */
constexpr int twipsParPixel = 15;
int twipsEnPixels(int twips);
QRect twipsEnPixels(const QRect &twips);

/// Propriétés dynamiques lues par l'outil de captures et par les tests.
namespace propriete {
inline constexpr char twips[] = "twips"; ///< QRect en twips, relatif au conteneur
inline constexpr char index[] = "index"; ///< index dans un tableau de contrôles
inline constexpr char genre[] = "genre"; ///< "fenetre", "cadre", "etiquette", "bouton", "case"…
inline constexpr char tag[] = "tag"; ///< texte libre attaché au contrôle
inline constexpr char couleurFond[] = "couleurFond"; ///< QColor, absente : couleur du système
inline constexpr char couleurTexte[] = "couleurTexte";
} // namespace propriete

/// Place un contrôle (position en twips gardée dans la propriété "twips").
void placer(QWidget *w, const QRect &twips);
inline void placer(QWidget *w, int gauche, int haut, int largeur, int hauteur)
{
    placer(w, QRect(gauche, haut, largeur, hauteur));
}
/// Nomme un contrôle : objectName, genre, et index s'il appartient à un tableau (index >= 0).
void nommer(QWidget *w, const QString &nom, const QString &genre, int index = -1);
/// Police en points (setPointSizeF) ; famille vide : celle du parent.
void police(QWidget *w, qreal points, bool gras = false, bool italique = false,
    const QString &famille = {});
/**
 * Police de base d'une fenêtre du dessin ("MS Sans Serif" 8,25 points). Les polices absentes
 * sont remplacées par des polices libres de mêmes dimensions (fonts-liberation).
 */
void policeDeFenetre(QWidget *fenetre);
void couleurFond(QWidget *w, const QColor &c);
void couleurTexte(QWidget *w, const QColor &c);
QColor couleurRgb(unsigned rgb);
/**
 * Le texte qu'une case reçoit du programme, montré par son début : une case plus étroite que
 * son texte (« jour », un id de pays à deux chiffres) en cacherait sinon le commencement.
 * Tout texte posé par le programme dans une case passe par ici.
 */
void afficherTexte(QLineEdit *e, const QString &texte);
/// Index d'un contrôle de tableau, -1 s'il n'en a pas.
int indexDe(const QWidget *w);

/**
 * Tableau de contrôles adressé par index, comme ceux du dessin : l'élément 0, quand il
 * existe, est le modèle caché dont les autres sont des copies.
 */
template<class T>
class TableauControles
{
public:
    /// Élément d'index i, nullptr s'il n'existe pas.
    T *operator[](int i) const { return m_elements.value(i).data(); }
    bool contient(int i) const { return m_elements.value(i) != nullptr; }
    /// Index présents, croissants.
    QList<int> indices() const
    {
        QList<int> l;
        for (auto it = m_elements.cbegin(); it != m_elements.cend(); ++it)
            if (*it)
                l << it.key();
        return l;
    }
    /// Plus grand index présent, -1 si vide.
    int borneHaute() const
    {
        const QList<int> l = indices();
        return l.isEmpty() ? -1 : l.last();
    }
    void inserer(int i, T *w) { m_elements.insert(i, w); }
    /// Retire l'élément du tableau sans le détruire.
    T *retirer(int i) { return m_elements.take(i).data(); }

private:
    QMap<int, QPointer<T>> m_elements;
};

} // namespace zarvo::ui
