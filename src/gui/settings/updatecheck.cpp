#include "gui/settings/updatecheck.h"

#include "core/base/daynumber.h"

#include <QCoreApplication>
#include <QNetworkInformation>
#include <QNetworkReply>
#include <QNetworkRequest>

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

// ---- TUpdateFetch ---------------------------------------------------------

TUpdateFetch::TUpdateFetch(QObject *parent) : QObject(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_reply)
            m_reply->abort();
    });
}

TUpdateFetch::~TUpdateFetch()
{
    Cancel();
}

void TUpdateFetch::Start(const TUpdateRequest &request, QObject *context, TDone done)
{
    Cancel();
    m_manager.setProxy(request.Proxy);
    QNetworkRequest get(request.DocumentUrl);
    get.setTransferTimeout(updatecheck::TimeoutMs);
    get.setMaximumRedirectsAllowed(updatecheck::MaxRedirects);
    get.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    get.setHeader(QNetworkRequest::UserAgentHeader,
                  QStringLiteral("Tunebase/%1").arg(QCoreApplication::applicationVersion()));
    m_body.clear();
    m_tooLong = false;
    m_done = std::move(done);
    m_hasContext = context != nullptr;
    m_context = context;
    m_reply = m_manager.get(get);
    connect(m_reply, &QNetworkReply::readyRead, this, &TUpdateFetch::readSome);
    connect(m_reply, &QNetworkReply::finished, this, &TUpdateFetch::finish);
    m_deadline.start(updatecheck::TimeoutMs);
}

void TUpdateFetch::Cancel()
{
    m_done = nullptr;
    dropReply();
}

void TUpdateFetch::dropReply()
{
    m_deadline.stop();
    if (!m_reply)
        return;
    QNetworkReply *reply = std::exchange(m_reply, nullptr);
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void TUpdateFetch::readSome()
{
    m_body += m_reply->read(updatecheck::MaxDocumentSize + 1 - m_body.size());
    if (m_body.size() > updatecheck::MaxDocumentSize) {
        m_tooLong = true;
        m_reply->abort();
    }
}

void TUpdateFetch::finish()
{
    if (!m_tooLong && m_reply->error() == QNetworkReply::NoError)
        m_body += m_reply->read(updatecheck::MaxDocumentSize + 1 - m_body.size());
    const bool ok = !m_tooLong && m_reply->error() == QNetworkReply::NoError
                    && m_body.size() <= updatecheck::MaxDocumentSize;
    dropReply();
    const TDone done = std::exchange(m_done, nullptr);
    if (!done || (m_hasContext && !m_context))
        return;
    done(ok ? std::optional<QByteArray>(std::exchange(m_body, {})) : std::nullopt);
}

// ---- judging --------------------------------------------------------------

updatecheck::Result JudgeUpdate(const std::optional<QByteArray> &body, const TUpdateRequest &request,
                                QStringList &lines, double &lastUpdateCheck, const TClock &clock)
{
    lines.clear();
    if (!body)
        return updatecheck::NotRetrieved;
    lines = updatecheck::SplitLines(*body);
    lastUpdateCheck = DayNumber(clock.Today());
    return updatecheck::Judge(lines, request.Version, request.Build);
}

bool MayBeOnline(QNetworkInformation::Reachability reachability)
{
    return reachability != QNetworkInformation::Reachability::Disconnected;
}

bool TNetworkInformationConnection::IsOnline()
{
    if (!QNetworkInformation::instance()
        && !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return true;
    const QNetworkInformation *information = QNetworkInformation::instance();
    // A backend loaded elsewhere without reachability knows nothing of it.
    if (!information || !information->supports(QNetworkInformation::Feature::Reachability))
        return true;
    return MayBeOnline(information->reachability());
}
