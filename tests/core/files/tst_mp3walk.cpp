#include "core/files/mp3walk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

bool writeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("ID3") == 3;
}

} // namespace

class TestMp3Walk : public QObject {
    Q_OBJECT

    // Paths below the walked folder, sorted.
    static QStringList walked(const QString &folder, const TMp3FileWalk &prototype = {})
    {
        QStringList files;
        TMp3FileWalk walk = prototype;
        walk.found = [&](const TLocalFolderEntry &file) { files << QDir(folder).relativeFilePath(file.Path); };
        walk.run(folder);
        files.sort();
        return files;
    }

private Q_SLOTS:
    void extension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("mp3");
        QTest::newRow("lower") << "a.mp3" << true;
        QTest::newRow("upper") << "/music/A.MP3" << true;
        QTest::newRow("other") << "a.mp3.txt" << false;
        QTest::newRow("no dot") << "amp3" << false;
        QTest::newRow("bare extension") << ".mp3" << true;
    }
    void extension()
    {
        QFETCH(QString, name);
        QFETCH(bool, mp3);
        QCOMPARE(HasMp3Extension(name), mp3);
    }

    void findsMp3FilesBelowTheFolder()
    {
        QTemporaryDir dir;
        QDir root(dir.path());
        QVERIFY(root.mkpath(QStringLiteral("sub/deeper")));
        for (const char *name : {"a.mp3", "B.MP3", "notes.txt", "sub/c.mp3", "sub/deeper/d.Mp3"})
            QVERIFY(writeFile(root.filePath(QLatin1String(name))));
        // A link to a file is the file; a link to a folder (here one that
        // leads back up) is not followed.
        QVERIFY(QFile::link(root.filePath(QStringLiteral("a.mp3")), root.filePath(QStringLiteral("sub/linked.mp3"))));
        QVERIFY(QFile::link(dir.path(), root.filePath(QStringLiteral("sub/up"))));
        // Opening a FIFO would block the walk until someone writes to it.
        QCOMPARE(::mkfifo(QFile::encodeName(root.filePath(QStringLiteral("pipe.mp3"))).constData(), 0600), 0);
        QVERIFY(root.mkdir(QStringLiteral("folder.mp3")));

        QCOMPARE(walked(dir.path()), (QStringList{"B.MP3", "a.mp3", "sub/c.mp3", "sub/deeper/d.Mp3",
                                                  "sub/linked.mp3"}));
    }

    void pseudoFileSystemsAreNotEntered()
    {
        int folders = 0;
        TMp3FileWalk walk;
        walk.entering = [&](const QString &) { ++folders; };
        QVERIFY(walked(QStringLiteral("/proc"), walk).isEmpty());
        QCOMPARE(folders, 0);
    }

    void cancelEndsTheWalk()
    {
        QTemporaryDir dir;
        QDir root(dir.path());
        for (const char *name : {"a.mp3", "b.mp3", "c.mp3"})
            QVERIFY(writeFile(root.filePath(QLatin1String(name))));
        TMp3FileWalk walk;
        int asked = 0;
        walk.cancelled = [&] { return ++asked > 1; };
        QCOMPARE(walked(dir.path(), walk).size(), 1);
    }
};

QTEST_APPLESS_MAIN(TestMp3Walk)
#include "tst_mp3walk.moc"
