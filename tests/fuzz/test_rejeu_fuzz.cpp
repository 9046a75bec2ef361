// Rejoue, avec le compilateur ordinaire, le corpus du fuzz et chaque plantage trouvé :
// chacun doit être lu ou refusé proprement.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *donnees, std::size_t taille);

namespace {

QStringList entrees()
{
    QStringList r;
    for (const char *dossier : { "fuzz/corpus", "fuzz/plantages" }) {
        const QDir d(QStringLiteral(ZARVO_SOURCE_DIR "/") + QLatin1String(dossier));
        for (const QString &nom : d.entryList(QDir::Files, QDir::Name))
            r << d.filePath(nom);
    }
    return r;
}

TEST(RejeuFuzz, chaqueEntreeEstLueOuRefuseeProprement)
{
    const QStringList fichiers = entrees();
    ASSERT_GE(fichiers.size(), 4);
    for (const QString &chemin : fichiers) {
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << chemin.toStdString();
        const QByteArray o = f.readAll();
        EXPECT_NO_THROW(LLVMFuzzerTestOneInput(
            reinterpret_cast<const std::uint8_t *>(o.constData()), std::size_t(o.size())))
            << chemin.toStdString();
    }
}

} // namespace
