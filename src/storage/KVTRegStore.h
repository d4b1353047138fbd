// SPDX-License-Identifier: MIT
// The preference store: named text values grouped in sections under one key of a per-user (or
// machine-wide) store. Backed by QSettings: the key Software\MerrowConfig is the INI file
// MerrowConfig.conf in the user's configuration folder, one group per section. Reads fall back
// to their defaults and writes that fail are lost; nothing is ever reported.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class QSettings;

enum TRegistryRoot { rrCurrentUser, rrLocalMachine };

class TKVTRegistryStore : public QObject
{
    Q_OBJECT
public:
    explicit TKVTRegistryStore(QObject *parent = nullptr);
    ~TKVTRegistryStore() override;

    QString KeyName() const { return FKeyName; }
    void SetKeyName(const QString &Value);
    TRegistryRoot RegistryRoot() const { return FRegistryRoot; }
    void SetRegistryRoot(TRegistryRoot root) { FRegistryRoot = root; }
    bool ReadOnlyRights() const { return FReadOnlyRights; }
    void SetReadOnlyRights(bool value) { FReadOnlyRights = value; }

    void Open();
    void Close();

    bool ReadBoolean(const QString &Section, const QString &Item, bool DefaultValue);
    int32_t ReadInteger(const QString &Section, const QString &Item, int32_t DefaultValue);
    QString ReadString(const QString &Section, const QString &Item, const QString &DefaultValue);
    void WriteBoolean(const QString &Section, const QString &Item, bool Value);
    void WriteInteger(const QString &Section, const QString &Item, int32_t Value);
    void WriteString(const QString &Section, const QString &Item, const QString &Value);
    bool RemoveValue(const QString &Section, const QString &Item);

private:
    QString FKeyName;
    TRegistryRoot FRegistryRoot = rrCurrentUser;
    std::unique_ptr<QSettings> FReg;
    bool FReadOnlyRights = false;
};
