#include "core/base/localpath.h"
#include "core/settings/instancechecker.h"
#include "testsupport.h"

#include <QtTest>

class TestInstanceChecker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secondCheckerIsNotFirst();
    void staleLockOfACrashedCopyIsTakenOver();
    void handoverRoundTrip_data();
    void handoverRoundTrip();
    void foreignMessagesAreRejected();
};

void TestInstanceChecker::secondCheckerIsNotFirst()
{
    QTemporaryDir dir;
    const QString name = QStringLiteral("Brimlow Tunebase");
    {
        TInstanceChecker first(dir.path());
        QVERIFY(first.IsFirstInstance(name));
        QVERIFY(first.IsFirstInstance(name)); // asking again keeps the lock
        QCOMPARE(first.ServerName(name), dir.path() + QStringLiteral("/Brimlow-Tunebase.socket"));
    }
    // Released at the end of the first copy.
    TInstanceChecker again(dir.path());
    QVERIFY(again.IsFirstInstance(name));
}

namespace {
QByteArray lockContents(qint64 pid, const char *appName)
{
    return QByteArray::number(pid) + '\n' + appName + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
}
} // namespace

void TestInstanceChecker::staleLockOfACrashedCopyIsTakenOver()
{
    QTemporaryDir dir;
    const QString name = QStringLiteral("Brimlow Tunebase");
    const QString lockFile = TInstanceChecker(dir.path()).LockFileName(name);

    // A lock held by another live process makes this the second copy.
    QProcess other;
    other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(other.waitForStarted());
    const qint64 pid = other.processId();
    QVERIFY(testsupport::writeFile(lockFile, lockContents(pid, "sleep")));
    QVERIFY(!TInstanceChecker(dir.path()).IsFirstInstance(name));

    // When that process has gone (crashed), its lock is stale and taken over.
    other.kill();
    QVERIFY(other.waitForFinished());
    TInstanceChecker checker(dir.path());
    QVERIFY(checker.IsFirstInstance(name));
    QVERIFY(!testsupport::readFile(lockFile).startsWith(QByteArray::number(pid) + '\n'));
}

void TestInstanceChecker::handoverRoundTrip_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("none") << QString();
    QTest::newRow("plain") << QStringLiteral("/home/u/rock.tbx");
    QTest::newRow("awkward") << QStringLiteral("/home/u/a\nb %20 ü.tbx");
    QTest::newRow("not UTF-8") << PathFromLocalBytes("/home/u/caf\xe9.tbx");
}

void TestInstanceChecker::handoverRoundTrip()
{
    QFETCH(QString, file);
    THandover h;
    h.FileName = file;
    const auto back = THandover::Decode(h.Encode());
    QVERIFY(back.has_value());
    QVERIFY(back->Activate);
    QCOMPARE(back->FileName, file);
    QCOMPARE(LocalPathBytes(back->FileName), LocalPathBytes(file));
}

void TestInstanceChecker::foreignMessagesAreRejected()
{
    QVERIFY(!THandover::Decode("GET / HTTP/1.0\r\n").has_value());
    QVERIFY(!THandover::Decode(QByteArray()).has_value());
    QVERIFY(!THandover::Decode("TUNEBASE-HANDOVER 1\n" + QByteArray(THandover::MaxSize, 'x')).has_value());
}

QTEST_APPLESS_MAIN(TestInstanceChecker)
#include "tst_instancechecker.moc"
