#include "core/settings/proxysettings.h"

#include "core/base/settingsstore.h"

namespace {
const QString ProxySection = QStringLiteral("Proxy");
}

void TProxySettings::Load(const TSettingsStore &store)
{
    Server = store.ReadString(ProxySection, QStringLiteral("Server"));
    if (Server.isEmpty())
        return;
    Port = store.ReadString(ProxySection, QStringLiteral("Port"), QStringLiteral("8080"));
    UserID = store.ReadString(ProxySection, QStringLiteral("UserID"));
    Password = store.ReadString(ProxySection, QStringLiteral("Password"));
}

void TProxySettings::Save(TSettingsStore &store) const
{
    store.WriteString(ProxySection, QStringLiteral("Server"), Server);
    store.WriteString(ProxySection, QStringLiteral("Port"), Port);
    store.WriteString(ProxySection, QStringLiteral("UserID"), UserID);
    store.WriteString(ProxySection, QStringLiteral("Password"), Password);
}
