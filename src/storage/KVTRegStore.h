// SPDX-License-Identifier: MIT
// The preference store: named text values grouped in sections under one key of a per-user (or
// machine-wide) store. Reads fall back to their defaults and writes that fail are lost; nothing
// is ever reported.
//
// On Windows the key is a registry key under HKEY_CURRENT_USER (or HKEY_LOCAL_MACHINE) with one
// subkey per section and string values. Elsewhere it is a QSettings INI file: the key's parts
// (split at backslashes, a leading "Software" dropped) are a path below the configuration
// folder ($XDG_CONFIG_HOME, default ~/.config; machine-wide the first folder of
// $XDG_CONFIG_DIRS, default /etc/xdg) with ".conf" appended, and each section is a group. So
// the program's key Software\MerrowConfig is ~/.config/MerrowConfig.conf, group [MainApp].
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class QSettings;

enum TRegistryRoot
{
    rrCurrentUser,
    rrLocalMachine
};

class TKVTRegistryStore : public QObject
{
    Q_OBJECT
public:
    explicit TKVTRegistryStore(QObject *parent = nullptr);
    ~TKVTRegistryStore() override;

    // The key below the root, kept without leading and trailing backslashes.
    QString KeyName() const { return FKeyName; }
    void SetKeyName(const QString &Value);
    TRegistryRoot RegistryRoot() const { return FRegistryRoot; }
    void SetRegistryRoot(TRegistryRoot root) { FRegistryRoot = root; }
    // When set, reads work and every write or removal is silently lost.
    bool ReadOnlyRights() const { return FReadOnlyRights; }
    void SetReadOnlyRights(bool value) { FReadOnlyRights = value; }

    // Every use lies between an Open and a Close. Outside them reads give their defaults and
    // writes are lost. Close stores what was written.
    void Open();
    void Close();

    // "1" or "0"; true when the text begins with "1". An empty value counts as the default.
    bool ReadBoolean(const QString &Section, const QString &Item, bool DefaultValue);
    // Decimal text; text that is no 32-bit integer gives the default.
    int32_t ReadInteger(const QString &Section, const QString &Item, int32_t DefaultValue);
    // The value's text; the default when there is no such value, or it is not a plain string
    // (a number, a list, any other type written by someone else). An empty string is empty.
    QString ReadString(const QString &Section, const QString &Item, const QString &DefaultValue);
    // Every value is written as a string: integers as decimal text, Booleans as "1" or "0".
    void WriteBoolean(const QString &Section, const QString &Item, bool Value);
    void WriteInteger(const QString &Section, const QString &Item, int32_t Value);
    void WriteString(const QString &Section, const QString &Item, const QString &Value);
    // Whether a value was removed.
    bool RemoveValue(const QString &Section, const QString &Item);

    // Where the key lives: the INI file's path, or the registry path on Windows; empty when
    // the key name names nothing.
    QString StoreLocation() const;

private:
    QString FKeyName;
    TRegistryRoot FRegistryRoot = rrCurrentUser;
    std::unique_ptr<QSettings> FReg;
    bool FReadOnlyRights = false;
};
