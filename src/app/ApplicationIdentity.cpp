// SPDX-License-Identifier: MIT
#include "app/ApplicationIdentity.h"

#include "TandorVersion.h"

#include <QApplication>
#include <QIcon>

void SetApplicationIdentity()
{
    QApplication::setApplicationName(QStringLiteral("Tandor Configuration"));
    QApplication::setApplicationVersion(QStringLiteral(TANDOR_VERSION_STRING));
    QGuiApplication::setDesktopFileName(QStringLiteral("tandor-config"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tandor/tandor-config.png")));
}
