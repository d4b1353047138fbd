// SPDX-License-Identifier: MIT
#include "storage/KVTRegStore.h"

#include <QSettings>

TKVTRegistryStore::TKVTRegistryStore(QObject *parent) : QObject(parent) {}

TKVTRegistryStore::~TKVTRegistryStore() = default;

void TKVTRegistryStore::SetKeyName(const QString &Value)
{
    FKeyName = Value;
}

void TKVTRegistryStore::Open() {}

void TKVTRegistryStore::Close()
{
    FReg.reset();
}

bool TKVTRegistryStore::ReadBoolean(const QString &, const QString &, bool DefaultValue)
{
    return DefaultValue;
}

int32_t TKVTRegistryStore::ReadInteger(const QString &, const QString &, int32_t DefaultValue)
{
    return DefaultValue;
}

QString TKVTRegistryStore::ReadString(const QString &, const QString &,
                                      const QString &DefaultValue)
{
    return DefaultValue;
}

void TKVTRegistryStore::WriteBoolean(const QString &, const QString &, bool) {}

void TKVTRegistryStore::WriteInteger(const QString &, const QString &, int32_t) {}

void TKVTRegistryStore::WriteString(const QString &, const QString &, const QString &) {}

bool TKVTRegistryStore::RemoveValue(const QString &, const QString &)
{
    return false;
}
