#include "gui/settings/updatecheck.h"

#include "core/base/desktopservices.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

// The body, or nothing when the request failed or the body was too long.
std::optional<QByteArray> fetch(const TUpdateRequest &request)
{
    QNetworkAccessManager manager;
    if (request.Proxy.type() != QNetworkProxy::DefaultProxy)
        manager.setProxy(request.Proxy);
    QNetworkRequest get(request.DocumentUrl);
    get.setTransferTimeout(updatecheck::TimeoutMs);
    get.setMaximumRedirectsAllowed(updatecheck::MaxRedirects);
    get.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    get.setHeader(QNetworkRequest::UserAgentHeader,
                  QStringLiteral("Tunebase/%1").arg(QCoreApplication::applicationVersion()));

    QNetworkReply *reply = manager.get(get);
    QByteArray body;
    bool tooLong = false;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        body += reply->read(updatecheck::MaxDocumentSize + 1 - body.size());
        if (body.size() > updatecheck::MaxDocumentSize) {
            tooLong = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline.start(updatecheck::TimeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!tooLong && reply->error() == QNetworkReply::NoError)
        body += reply->read(updatecheck::MaxDocumentSize + 1 - body.size());
    const bool ok = !tooLong && reply->error() == QNetworkReply::NoError
                    && body.size() <= updatecheck::MaxDocumentSize;
    delete reply;
    if (!ok)
        return std::nullopt;
    return body;
}

} // namespace

QNetworkProxy MakeProxy(const QString &server, const QString &port, const QString &user,
                        const QString &password)
{
    if (server.trimmed().isEmpty())
        return QNetworkProxy(QNetworkProxy::DefaultProxy);
    bool ok = false;
    const int number = port.trimmed().toInt(&ok);
    return QNetworkProxy(QNetworkProxy::HttpProxy, server.trimmed(),
                         quint16(ok && number > 0 && number < 65536 ? number : 8080), user, password);
}

updatecheck::Result CheckForUpdate(const TUpdateRequest &request, QStringList &lines,
                                   double &lastUpdateCheck, const TClock &clock)
{
    TBusyCursor busy;
    lines.clear();
    const auto body = fetch(request);
    if (!body)
        return updatecheck::NotRetrieved;
    lines = updatecheck::SplitLines(*body);
    lastUpdateCheck = DayNumber(clock.Today());
    return updatecheck::Judge(lines, request.Version, request.Build);
}

bool TNetworkInformationConnection::IsOnline()
{
    if (!QNetworkInformation::instance()
        && !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return true;
    const auto reachability = QNetworkInformation::instance()->reachability();
    return reachability == QNetworkInformation::Reachability::Online
           || reachability == QNetworkInformation::Reachability::Unknown;
}
