// SPDX-License-Identifier: MIT
#include "storage/Preferences.h"

#include "storage/KVTRegStore.h"

namespace {

const QString kComPort = QStringLiteral("InterfaceComPort");
const QString kTop = QStringLiteral("Top");
const QString kLeft = QStringLiteral("Left");
const QString kLastFolder = QStringLiteral("LastFolder");

} // namespace

QString TPreferences::KeyName()
{
    return QStringLiteral("Software\\MerrowConfig");
}

QString TPreferences::Section()
{
    return QStringLiteral("MainApp");
}

TPreferences TPreferences::Read(TKVTRegistryStore &store)
{
    const TPreferences defaults;
    TPreferences read;
    store.Open();
    read.comPort = store.ReadString(Section(), kComPort, defaults.comPort);
    read.top = store.ReadInteger(Section(), kTop, defaults.top);
    read.left = store.ReadInteger(Section(), kLeft, defaults.left);
    read.lastFolder = store.ReadString(Section(), kLastFolder, defaults.lastFolder);
    store.Close();
    return read;
}

void TPreferences::Write(TKVTRegistryStore &store) const
{
    store.Open();
    store.WriteString(Section(), kComPort, comPort);
    store.WriteInteger(Section(), kTop, top);
    store.WriteInteger(Section(), kLeft, left);
    store.WriteString(Section(), kLastFolder, lastFolder);
    store.Close();
}

void TPreferences::WriteComPort(TKVTRegistryStore &store, const QString &port)
{
    try {
        store.Open();
        store.WriteString(Section(), kComPort, port);
        store.Close();
    } catch (...) {
        try {
            store.Close();
        } catch (...) {
        }
    }
}
