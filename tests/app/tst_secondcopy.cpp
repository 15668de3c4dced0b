#include "testsupport.h"

#include <QtTest>

// Starting Tunebase while it runs: the second copy hands over and ends with
// status 0 before it reads or writes anything of its own.
class TestSecondCopy : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secondCopyEndsWithoutTouchingSettings();
};

void TestSecondCopy::secondCopyEndsWithoutTouchingSettings()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString runtime = home.filePath(QStringLiteral("run"));
    const QString settings = home.filePath(QStringLiteral("Tunebase.ini"));
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // No update check and no first-run prompt: the first copy runs quietly.
    QVERIFY(testsupport::writeFile(settings, "[Settings]\r\nNrDaysBetweenUpdateChecks=-1\r\nFirst Run of App=0\r\n"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("TUNEBASE_CONFIG"), settings);

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(TUNEBASE_APP_PATH), {});
    QVERIFY(first.waitForStarted());
    const QString socket = runtime + QStringLiteral("/Brimlow-Tunebase.socket");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket), 20000);

    const QByteArray before = testsupport::readFile(settings);
    const QDateTime stamp = QFileInfo(settings).lastModified();
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(TUNEBASE_APP_PATH), {home.filePath(QStringLiteral("other.tbx"))});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(testsupport::readFile(settings), before);
    QCOMPARE(QFileInfo(settings).lastModified(), stamp);
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("data/applications"))));
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    QVERIFY(first.waitForFinished(10000));
}

QTEST_APPLESS_MAIN(TestSecondCopy)
#include "tst_secondcopy.moc"
