// SPDX-License-Identifier: MIT
#include "storage/GetSysDirs.h"

#include <QDir>
#include <QStandardPaths>

QString GetSpecialFolderPath(int folderId)
{
    if (folderId != CSIDL_PERSONAL_CREATE)
        return {};
    const QString path = DocumentsFolderLocation();
    if (path.isEmpty() || !QDir().mkpath(path))
        return {};
    return path;
}

QString DocumentsFolderLocation()
{
    // The documents folder of the desktop (xdg-user-dirs on Linux, normally ~/Documents).
    const QString path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (path.isEmpty())
        return {};
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}
