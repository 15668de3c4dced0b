#include "fakesettingsstore.h"
#include "core/settings/updatecheck.h"

#include <QtTest>

using namespace updatecheck;

class TestUpdateCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void judge_data();
    void judge();
    void valuesAreFoundByNameWhateverTheLineEnds();
    void autoCheckDue_data();
    void autoCheckDue();
    void dayNumbers();
    void documentUrl_data();
    void documentUrl();
    void baseUrlSetting();
};

void TestUpdateCheck::judge_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("result");
    QTest::newRow("empty") << QByteArray() << int(NotRetrieved);
    QTest::newRow("same") << QByteArray("LatestVersion=1.0\nLatestBuild=4\n") << int(UpToDate);
    QTest::newRow("newer version") << QByteArray("LatestVersion=1.1\nLatestBuild=1\n") << int(NewerVersion);
    QTest::newRow("older version still differs") << QByteArray("LatestVersion=0.9\nLatestBuild=4\n")
                                                 << int(NewerVersion);
    QTest::newRow("lower build still differs") << QByteArray("LatestVersion=1.0\nLatestBuild=3\n")
                                               << int(NewerBuild);
    QTest::newRow("missing build") << QByteArray("LatestVersion=1.0\n") << int(NewerBuild);
    QTest::newRow("html login page") << QByteArray("<html><body>Please log in</body></html>")
                                     << int(NotRetrieved);
    QTest::newRow("empty latest version") << QByteArray("LatestVersion=\nLatestBuild=9\n") << int(NotRetrieved);
    QTest::newRow("crlf and blanks") << QByteArray("LatestVersion = 1.0 \r\nLatestBuild=4\r\n") << int(UpToDate);
}

void TestUpdateCheck::judge()
{
    QFETCH(QByteArray, body);
    QFETCH(int, result);
    QCOMPARE(int(Judge(SplitLines(body), QStringLiteral("1.0"), QStringLiteral("4"))), result);
}

void TestUpdateCheck::valuesAreFoundByNameWhateverTheLineEnds()
{
    const QStringList lines = SplitLines("DownloadURL=http://a/b?x=1\r\nsupportemail=help@example.org\n\n");
    QCOMPARE(lines.size(), 2);
    QCOMPARE(ValueOf(lines, QStringLiteral("DownloadURL")), QStringLiteral("http://a/b?x=1"));
    QCOMPARE(ValueOf(lines, QStringLiteral("SupportEmail")), QStringLiteral("help@example.org"));
    QCOMPARE(ValueOf(lines, QStringLiteral("InfoURL")), QString());
}

void TestUpdateCheck::autoCheckDue_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<double>("last");
    QTest::addColumn<bool>("due");
    const double today = 45000;
    QTest::newRow("never") << -1 << 0.0 << false;
    QTest::newRow("never checked before") << 7 << 0.0 << true;
    QTest::newRow("6 of 7 days") << 7 << today - 6 << false;
    QTest::newRow("7 of 7 days") << 7 << today - 7 << true;
    QTest::newRow("always") << 0 << today << true;
    QTest::newRow("29 of 30 days") << 30 << today - 29 << false;
    QTest::newRow("30 of 30 days") << 30 << today - 30 << true;
}

void TestUpdateCheck::autoCheckDue()
{
    QFETCH(int, days);
    QFETCH(double, last);
    QFETCH(bool, due);
    QCOMPARE(IsAutoCheckDue(days, last, 45000), due);
}

void TestUpdateCheck::dayNumbers()
{
    QCOMPARE(DayNumber(QDate(1899, 12, 30)), 0.0);
    QCOMPARE(DayNumber(QDate(1900, 1, 1)), 2.0);
    QCOMPARE(DayNumber(QDate(2024, 3, 1)), 45352.0);
    QCOMPARE(DateOfDayNumber(45352.75), QDate(2024, 3, 1));
}

void TestUpdateCheck::documentUrl_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("url");
    QTest::newRow("with slash") << QStringLiteral("https://h.example/tunebase/")
                                << QStringLiteral("https://h.example/tunebase/mp3/versioninfo.txt");
    QTest::newRow("without slash") << QStringLiteral("http://127.0.0.1:8080")
                                   << QStringLiteral("http://127.0.0.1:8080/mp3/versioninfo.txt");
}

void TestUpdateCheck::documentUrl()
{
    QFETCH(QString, base);
    QFETCH(QString, url);
    QCOMPARE(DocumentUrl(base).toString(), url);
}

void TestUpdateCheck::baseUrlSetting()
{
    FakeSettingsStore store;
    QCOMPARE(BaseUrl(store, QStringLiteral("https://built.in/")), QStringLiteral("https://built.in/"));
    store.WriteString(QStringLiteral("settings"), QStringLiteral("updateurl"), QStringLiteral(" http://mirror/ "));
    QCOMPARE(BaseUrl(store, QStringLiteral("https://built.in/")), QStringLiteral("http://mirror/"));
}

QTEST_APPLESS_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
