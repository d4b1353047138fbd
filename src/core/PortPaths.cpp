// SPDX-License-Identifier: MIT
#include "core/PortPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString VirtualPortsFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return {};
    return runtime + QStringLiteral("/tandor/ports");
}

QString PortDevicePath(const QString &portName)
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\") + portName;
#else
    const QString folder = VirtualPortsFolder();
    if (!folder.isEmpty() && !portName.isEmpty() && !portName.contains(QLatin1Char('/'))) {
        const QString virtualPort = folder + QLatin1Char('/') + portName;
        // A dangling link (its far end gone) still names the virtual port, so that opening it
        // fails instead of silently falling back to a /dev device of the same name.
        if (QFileInfo(virtualPort).exists() || QFileInfo(virtualPort).isSymLink())
            return virtualPort;
    }
    return QStringLiteral("/dev/") + portName;
#endif
}

std::optional<QString> PortToOpen(const QString &savedName)
{
#ifdef Q_OS_WIN
    bool ok = false;
    const int number = savedName.mid(3).toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return QStringLiteral("COM%1").arg(number);
#else
    return savedName;
#endif
}
