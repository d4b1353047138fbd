// SPDX-License-Identifier: MIT
// The program's preferences: the chosen port, the window's place and the folder of the last
// settings file. Their key, section, item names and defaults are kept here and nowhere else.
#pragma once

#include <QString>

#include <cstdint>

class TKVTRegistryStore;

struct TPreferences
{
    // Where the store keeps them: the key (Software\MerrowConfig) and its section.
    static QString KeyName();
    static QString Section();

    QString comPort;    // InterfaceComPort; none chosen yet
    int32_t top = 100;  // Top, the window's place on the screen
    int32_t left = 200; // Left
    QString lastFolder; // LastFolder; empty: the documents folder

    // Reads all of them (defaults for what the store lacks or cannot read as such). The
    // store's own errors pass through.
    static TPreferences Read(TKVTRegistryStore &store);
    // Writes all of them; the store's own errors pass through.
    void Write(TKVTRegistryStore &store) const;
    // Writes the chosen port alone. A store that cannot be written loses the choice only.
    static void WriteComPort(TKVTRegistryStore &store, const QString &port);
};
