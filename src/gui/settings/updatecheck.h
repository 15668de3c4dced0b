#pragma once

#include "core/settings/shellservices.h"
#include "core/settings/updatecheck.h"

#include <QNetworkProxy>
#include <QStringList>
#include <QUrl>

// What one update check needs.
struct TUpdateRequest {
    QUrl DocumentUrl;
    QNetworkProxy Proxy{QNetworkProxy::DefaultProxy};
    QString Version;  // this program's version text, e.g. "1.0"
    QString Build;    // this program's build text, e.g. "4"
};

// The HTTP proxy of the proxy settings: none when no server is set.
QNetworkProxy MakeProxy(const QString &server, const QString &port, const QString &user,
                        const QString &password);

// Fetches the version information document and judges it.  lines receives
// the document's lines.  When the request finished without error (also with
// an empty document) lastUpdateCheck becomes today's day number; a failed
// request leaves it, so the next start tries again.  Waits at most
// updatecheck::TimeoutMs and reads at most updatecheck::MaxDocumentSize.
updatecheck::Result CheckForUpdate(const TUpdateRequest &request, QStringList &lines,
                                   double &lastUpdateCheck, const TClock &clock);

// "Online" as the desktop's network information reports it; online when it
// cannot tell.
class TNetworkInformationConnection : public TInternetConnection {
public:
    bool IsOnline() override;
};
