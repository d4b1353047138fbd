// SPDX-License-Identifier: MIT
#include "ui/DesignedFonts.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>

namespace {

constexpr TDesignedFace kFaces[] = {
    {"Tahoma", "Tahoma"},
    {"MS Sans Serif", "MS Sans Serif"},
    {"Arial", "Liberation Sans"},
    {"Segoe UI", "Tahoma"},
};

constexpr const char *kFiles[] = {
    "usr/share/wine/fonts/tahoma.ttf",
    "usr/share/wine/fonts/tahomabd.ttf",
    "usr/share/wine/fonts/ms_sans_serif.ttf",
    "usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
};

} // namespace

std::span<const TDesignedFace> DesignedFaces()
{
    return kFaces;
}

std::span<const char *const> DesignedFontFiles()
{
    return kFiles;
}

QStringList UseDesignedFonts(const QString &root)
{
    QStringList registered;
    const QDir base(root);
    for (const char *file : kFiles) {
        const QString path = base.filePath(QString::fromLatin1(file));
        if (!QFileInfo(path).isFile())
            continue;
        if (QFontDatabase::addApplicationFont(path) >= 0)
            registered << path;
    }
    // Wine's faces carry the designed names themselves; the others are mapped. Qt consults a
    // substitution only for a family it cannot find, so a real face of that name still wins.
    for (const TDesignedFace &face : kFaces) {
        const QString family = QString::fromLatin1(face.family);
        const QString standIn = QString::fromLatin1(face.standIn);
        if (family == standIn || QFontDatabase::hasFamily(family))
            continue;
        if (QFontDatabase::hasFamily(standIn) &&
            !QFont::substitutes(family).contains(standIn, Qt::CaseInsensitive))
            QFont::insertSubstitution(family, standIn);
    }
    return registered;
}
