#pragma once

#include <QString>

class TSettingsStore;

// The HTTP proxy the update check goes through; no proxy when Server is empty.
struct TProxySettings {
    QString Server;
    QString Port;
    QString UserID;
    QString Password;

    // Port, user and password are read only when a server is set (the port
    // then defaults to "8080").
    void Load(const TSettingsStore &store);
    void Save(TSettingsStore &store) const;
};
