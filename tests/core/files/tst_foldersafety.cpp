#include "core/files/foldersafety.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestFolderSafety : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pseudoFileSystems_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("pseudo");
        QTest::newRow("/proc") << QStringLiteral("/proc") << true;
        QTest::newRow("below /proc") << QStringLiteral("/proc/self/fd") << true;
        QTest::newRow("/sys") << QStringLiteral("/sys/class") << true;
        QTest::newRow("/dev") << QStringLiteral("/dev") << true;
        QTest::newRow("/dev/shm") << QStringLiteral("/dev/shm") << true;
        QTest::newRow("not cleaned") << QStringLiteral("/tmp/../proc/") << true;
        QTest::newRow("name that starts alike") << QStringLiteral("/devices-music") << false;
        QTest::newRow("temporary folder") << QDir::tempPath() << false;
        QTest::newRow("root") << QStringLiteral("/") << false;
    }

    void pseudoFileSystems()
    {
        QFETCH(QString, path);
        QFETCH(bool, pseudo);
        QCOMPARE(IsPseudoFileSystemFolder(path), pseudo);
    }

    void regularFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("a.mp3"));
        const QString fifo = dir.filePath(QStringLiteral("fifo.mp3"));
        const QString link = dir.filePath(QStringLiteral("link.mp3"));
        const QString fifoLink = dir.filePath(QStringLiteral("fifolink.mp3"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(QFile::link(file, link));
        QVERIFY(QFile::link(fifo, fifoLink));

        QVERIFY(IsRegularFile(file, false));
        QVERIFY(!IsRegularFile(fifo, true));
        QVERIFY(!IsRegularFile(link, false));
        QVERIFY(IsRegularFile(link, true));
        QVERIFY(!IsRegularFile(fifoLink, true));
        QVERIFY(!IsRegularFile(dir.path(), true));
        QVERIFY(!IsRegularFile(dir.filePath(QStringLiteral("missing.mp3")), true));
        QVERIFY(IsSymbolicLink(link));
        QVERIFY(!IsSymbolicLink(file));
    }

    void foldersEnteredOnce()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        TVisitedFolders visited;
        QVERIFY(visited.enter(dir.filePath(QStringLiteral("sub"))));
        // The same folder by another spelling is the same folder.
        QVERIFY(!visited.enter(dir.path() + QStringLiteral("/./sub/")));
        QVERIFY(visited.enter(dir.path()));
        QVERIFY(!visited.enter(dir.filePath(QStringLiteral("missing"))));
    }
};

QTEST_APPLESS_MAIN(TestFolderSafety)
#include "tst_foldersafety.moc"
