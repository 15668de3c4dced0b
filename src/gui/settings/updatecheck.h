#pragma once

#include "core/settings/shellservices.h"
#include "core/settings/updatecheck.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkProxy>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkReply;

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

// Fetches the version information document without blocking: Start sends
// the request and returns, and the event loop that already runs delivers
// the answer to the callback, once.  Cancel (or destroying the object)
// drops the request without calling back.  Waits at most
// updatecheck::TimeoutMs and reads at most updatecheck::MaxDocumentSize.
class TUpdateFetch : public QObject {
public:
    // The document, or nothing when the request failed or the document was
    // too long.
    using TDone = std::function<void(const std::optional<QByteArray> &body)>;

    explicit TUpdateFetch(QObject *parent = nullptr);
    ~TUpdateFetch() override;

    // Cancels a request under way and starts a new one.  With context
    // given, done is called only while context lives.
    void Start(const TUpdateRequest &request, QObject *context, TDone done);
    void Cancel();
    bool IsRunning() const { return m_reply != nullptr; }

private:
    void readSome();
    void finish();
    void dropReply();

    QNetworkAccessManager m_manager;
    QNetworkReply *m_reply = nullptr;
    QTimer m_deadline;
    QByteArray m_body;
    bool m_tooLong = false;
    TDone m_done;
    bool m_hasContext = false;
    QPointer<QObject> m_context;
};

// Judges a fetched document: lines receives its lines; when the request
// finished without error (also with an empty document) lastUpdateCheck
// becomes today's day number; a failed request leaves it, so the next
// start tries again.
updatecheck::Result JudgeUpdate(const std::optional<QByteArray> &body, const TUpdateRequest &request,
                                QStringList &lines, double &lastUpdateCheck, const TClock &clock);

// Whether the automatic check may go ahead for the network state the
// system reports.  Only a positive "disconnected" counts as offline: an
// unknown state, or a network the system cannot see past (local, site:
// a failed connectivity probe, a proxy), leaves the check to try, and a
// failed try costs nothing.
bool MayBeOnline(QNetworkInformation::Reachability reachability);

// "Online" as the desktop's network information reports it; online when it
// cannot tell.
class TNetworkInformationConnection : public TInternetConnection {
public:
    bool IsOnline() override;
};
