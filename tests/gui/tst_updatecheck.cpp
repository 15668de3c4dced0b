#include "fakesettingsstore.h"
#include "fixedshellservices.h"
#include "scripteddesktopservices.h"
#include "core/settings/generalhelpers.h"
#include "core/settings/prefs.h"
#include "gui/settings/updatecheck.h"
#include "gui/settings/updatewindow.h"

#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <optional>

namespace {

// A one-page HTTP server on 127.0.0.1 that answers every request with the
// same response and remembers the request lines.
class TinyHttpServer : public QObject {
public:
    explicit TinyHttpServer(QByteArray response) : m_response(std::move(response))
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_buffer += socket->readAll();
                    if (!m_buffer.contains("\r\n\r\n"))
                        return;
                    requests << m_buffer.left(m_buffer.indexOf("\r\n"));
                    headers << m_buffer;
                    m_buffer.clear();
                    socket->write(m_response);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }
    quint16 port() const { return m_server.serverPort(); }

    QList<QByteArray> requests;
    QList<QByteArray> headers;

private:
    QTcpServer m_server;
    QByteArray m_response;
    QByteArray m_buffer;
};

QByteArray okResponse(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size())
           + "\r\nConnection: close\r\n\r\n" + body;
}


QString thisVersion()
{
    return GetVersionText(true);
}

QString thisBuild()
{
    QString build;
    GetVersionText(true, QString(), &build);
    return build;
}

// A free port that refuses connections.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

const double Today = 45352; // 1 March 2024

// One check as the windows run it, waited for.
updatecheck::Result checkNow(const TUpdateRequest &request, QStringList &lines, double &lastCheck,
                             const TClock &clock)
{
    TUpdateFetch fetch;
    std::optional<updatecheck::Result> result;
    fetch.Start(request, nullptr, [&](const std::optional<QByteArray> &body) {
        result = JudgeUpdate(body, request, lines, lastCheck, clock);
    });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 20'000))
        return updatecheck::Result(-1);
    return *result;
}

// A server that takes the request and never answers.
class SilentServer : public QObject {
public:
    SilentServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                ++connections;
            }
        });
    }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }
    int connections = 0;

private:
    QTcpServer m_server;
};

} // namespace

class TestUpdateCheckNetwork : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void results_data();
    void results();
    void refusedConnectionKeepsTheDate();
    void oversizedDocumentIsRejected();
    void proxyIsUsed();
    void automaticCheckInterval_data();
    void automaticCheckInterval();
    void automaticCheckOffersTheWindow();
    void windowStaysResponsiveAndCancels();
    void closingTheWindowDropsTheCheck();
    void answerForAClosedWindowIsDropped();
    void onlyADisconnectedSystemIsOffline_data();
    void onlyADisconnectedSystemIsOffline();
};

void TestUpdateCheckNetwork::results_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("dateRecorded");
    const QByteArray v = thisVersion().toUtf8();
    const QByteArray b = thisBuild().toUtf8();
    QTest::newRow("empty body") << okResponse("") << 0 << true;
    QTest::newRow("up to date") << okResponse("LatestVersion=" + v + "\r\nLatestBuild=" + b + "\r\n") << 1 << true;
    QTest::newRow("newer version") << okResponse("LatestVersion=9.9\r\nLatestBuild=1\r\n") << 2 << true;
    QTest::newRow("newer build") << okResponse("LatestVersion=" + v + "\r\nLatestBuild=" + b + "7\r\n") << 3 << true;
    QTest::newRow("login page, no LatestVersion") << okResponse("<html>Sign in to the hotel wifi</html>") << 0 << true;
    QTest::newRow("not found") << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
                               << 0 << false;
}

void TestUpdateCheckNetwork::results()
{
    QFETCH(QByteArray, response);
    QFETCH(int, result);
    QFETCH(bool, dateRecorded);
    TinyHttpServer server(response);
    TUpdateRequest request;
    request.DocumentUrl = updatecheck::DocumentUrl(server.baseUrl());
    request.Version = thisVersion();
    request.Build = thisBuild();
    FixedClock clock;
    QStringList lines;
    double lastCheck = 100;
    ScriptedDesktopServices services;
    QCOMPARE(int(checkNow(request, lines, lastCheck, clock)), result);
    QCOMPARE(lastCheck, dateRecorded ? Today : 100.0);
    QCOMPARE(services.busy, 0);
    QCOMPARE(server.requests.size(), 1);
    QCOMPARE(server.requests.first(), QByteArray("GET /mp3/versioninfo.txt HTTP/1.1"));
}

void TestUpdateCheckNetwork::refusedConnectionKeepsTheDate()
{
    TUpdateRequest request;
    request.DocumentUrl = updatecheck::DocumentUrl(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort()));
    FixedClock clock;
    QStringList lines{QStringLiteral("stale")};
    double lastCheck = 123;
    QCOMPARE(int(checkNow(request, lines, lastCheck, clock)), 0);
    QCOMPARE(lastCheck, 123.0);
    QVERIFY(lines.isEmpty());
}

void TestUpdateCheckNetwork::oversizedDocumentIsRejected()
{
    TinyHttpServer server(okResponse("LatestVersion=9.9\n" + QByteArray(updatecheck::MaxDocumentSize, 'x')));
    TUpdateRequest request;
    request.DocumentUrl = updatecheck::DocumentUrl(server.baseUrl());
    FixedClock clock;
    QStringList lines;
    double lastCheck = 5;
    QCOMPARE(int(checkNow(request, lines, lastCheck, clock)), 0);
    QCOMPARE(lastCheck, 5.0);
}

void TestUpdateCheckNetwork::proxyIsUsed()
{
    // The "proxy" answers itself; the real server must not be asked.
    TinyHttpServer target(okResponse("LatestVersion=0.1\n"));
    TinyHttpServer proxy(okResponse("LatestVersion=9.9\nLatestBuild=1\n"));
    FakeSettingsStore store;
    TMp3Prefs prefs(store);
    prefs.ProxySettings.Server = QStringLiteral("127.0.0.1");
    prefs.ProxySettings.Port = QString::number(proxy.port());
    prefs.ProxySettings.UserID = QStringLiteral("user");
    prefs.ProxySettings.Password = QStringLiteral("secret");
    store.WriteString(QStringLiteral("Settings"), QStringLiteral("UpdateURL"), target.baseUrl());
    FixedClock clock;
    FixedConnection connection;
    TUpdateService service(prefs, clock, connection);
    std::optional<int> result;
    service.StartCheck(nullptr, [&](updatecheck::Result r, const QStringList &) { result = r; });
    QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 20'000);
    QCOMPARE(*result, 2);
    QCOMPARE(proxy.requests.size(), 1);
    QVERIFY2(proxy.requests.first().contains(target.baseUrl().toUtf8() + "mp3/versioninfo.txt"),
             proxy.requests.first().constData());
    QVERIFY(target.requests.isEmpty());
}

void TestUpdateCheckNetwork::automaticCheckInterval_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<double>("lastCheck");
    QTest::addColumn<bool>("online");
    QTest::addColumn<bool>("checks");
    QTest::newRow("6 of 7 days") << 7 << Today - 6 << true << false;
    QTest::newRow("7 of 7 days") << 7 << Today - 7 << true << true;
    QTest::newRow("never checked") << 7 << 0.0 << true << true;
    QTest::newRow("offline") << 7 << 0.0 << false << false;
    QTest::newRow("never") << -1 << 0.0 << true << false;
    QTest::newRow("always") << 0 << Today << true << true;
}

void TestUpdateCheckNetwork::automaticCheckInterval()
{
    QFETCH(int, days);
    QFETCH(double, lastCheck);
    QFETCH(bool, online);
    QFETCH(bool, checks);
    TinyHttpServer server(okResponse("LatestVersion=" + thisVersion().toUtf8() + "\nLatestBuild=" + thisBuild().toUtf8()));
    FakeSettingsStore store;
    TMp3Prefs prefs(store);
    prefs.NrDaysBetweenUpdateChecks = days;
    prefs.LastUpdateCheck = lastCheck;
    store.WriteString(QStringLiteral("Settings"), QStringLiteral("UpdateURL"), server.baseUrl());
    FixedClock clock;
    FixedConnection connection;
    connection.online = online;
    TUpdateService service(prefs, clock, connection);
    ScriptedDesktopServices services;
    service.AutoCheckForUpdate(nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!service.IsChecking(), 20'000);
    QCOMPARE(server.requests.size(), checks ? 1 : 0);
    QCOMPARE(prefs.LastUpdateCheck, checks ? Today : lastCheck);
    QVERIFY(services.messages.isEmpty()); // up to date: nothing to say
}

void TestUpdateCheckNetwork::automaticCheckOffersTheWindow()
{
    TinyHttpServer server(okResponse("LatestVersion=9.9\nLatestBuild=1\n"));
    FakeSettingsStore store;
    TMp3Prefs prefs(store);
    store.WriteString(QStringLiteral("Settings"), QStringLiteral("UpdateURL"), server.baseUrl());
    FixedClock clock;
    FixedConnection connection;
    TUpdateService service(prefs, clock, connection);
    ScriptedDesktopServices services;
    services.answers = {TDesktopServices::TAnswer::No};
    service.AutoCheckForUpdate(nullptr);
    // The check does not block the start: the question comes later.
    QVERIFY(services.messages.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!services.messages.isEmpty(), 20'000);
    QCOMPARE(services.messages,
             QStringList{QStringLiteral("A newer version of Tunebase is available, would you like more info about this?")});
}

// Checking from the window returns at once; the button then cancels the
// check, and nothing of the server's late answer is taken.
void TestUpdateCheckNetwork::windowStaysResponsiveAndCancels()
{
    SilentServer server;
    FakeSettingsStore store;
    TMp3Prefs prefs(store);
    prefs.LastUpdateCheck = 77;
    store.WriteString(QStringLiteral("Settings"), QStringLiteral("UpdateURL"), server.baseUrl());
    FixedClock clock;
    FixedConnection connection;
    TUpdateService service(prefs, clock, connection);
    TfmVersionCheck window(nullptr, service);
    const QString checkCaption = window.btCheck->text();
    QTest::mouseClick(window.btCheck, Qt::LeftButton);
    QVERIFY(service.IsChecking());
    QVERIFY(window.btCheck->text() != checkCaption);
    QTRY_COMPARE(server.connections, 1);
    QTest::mouseClick(window.btCheck, Qt::LeftButton);
    QVERIFY(!service.IsChecking());
    QCOMPARE(window.btCheck->text(), checkCaption);
    QCOMPARE(window.laVersionStatus->text(), QStringLiteral("The check was cancelled."));
    QCOMPARE(prefs.LastUpdateCheck, 77.0);
}

void TestUpdateCheckNetwork::closingTheWindowDropsTheCheck()
{
    SilentServer server;
    FakeSettingsStore store;
    TMp3Prefs prefs(store);
    store.WriteString(QStringLiteral("Settings"), QStringLiteral("UpdateURL"), server.baseUrl());
    FixedClock clock;
    FixedConnection connection;
    TUpdateService service(prefs, clock, connection);
    {
        TfmVersionCheck window(nullptr, service);
        QTest::mouseClick(window.btCheck, Qt::LeftButton);
        QVERIFY(service.IsChecking());
        window.reject();
        QVERIFY(!service.IsChecking());
    }
}

// An answer that arrives after its window is gone is dropped.
void TestUpdateCheckNetwork::answerForAClosedWindowIsDropped()
{
    TinyHttpServer server(okResponse("LatestVersion=9.9\nLatestBuild=1\n"));
    FakeSettingsStore store;
    TMp3Prefs prefs(store);
    store.WriteString(QStringLiteral("Settings"), QStringLiteral("UpdateURL"), server.baseUrl());
    FixedClock clock;
    FixedConnection connection;
    TUpdateService service(prefs, clock, connection);
    auto *window = new QObject;
    bool called = false;
    service.StartCheck(window, [&](updatecheck::Result, const QStringList &) { called = true; });
    delete window;
    QTRY_VERIFY_WITH_TIMEOUT(!service.IsChecking(), 20'000);
    QCOMPARE(server.requests.size(), 1);
    QVERIFY(!called);
}

void TestUpdateCheckNetwork::onlyADisconnectedSystemIsOffline_data()
{
    using R = QNetworkInformation::Reachability;
    QTest::addColumn<QNetworkInformation::Reachability>("reachability");
    QTest::addColumn<bool>("mayBeOnline");
    QTest::newRow("online") << R::Online << true;
    QTest::newRow("unknown") << R::Unknown << true;
    QTest::newRow("local network only, as far as the system can see") << R::Local << true;
    QTest::newRow("site network, probe failed") << R::Site << true;
    QTest::newRow("disconnected") << R::Disconnected << false;
}

void TestUpdateCheckNetwork::onlyADisconnectedSystemIsOffline()
{
    QFETCH(QNetworkInformation::Reachability, reachability);
    QTEST(MayBeOnline(reachability), "mayBeOnline");
}

QTEST_MAIN(TestUpdateCheckNetwork)
#include "tst_updatecheck.moc"
