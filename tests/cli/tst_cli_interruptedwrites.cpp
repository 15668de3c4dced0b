// What the command line finds beside the files it opens: the copy a killed
// in-place write left is put back before anything reads or writes the file,
// and said so on standard error; a link planted where the program keeps
// its own file (the scan index) is refused, never written through.

#include "core/base/besidefiles.h"

#include "clirun.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

class TestCliInterruptedWrites : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TUNEBASE_CONFIG",
                QFile::encodeName(QDir::temp().filePath(QStringLiteral("tunebase-interrupted-none.ini"))));
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir().mkpath(path(QStringLiteral("music"))));
    }

    void killedWriteIsPutBackFirst_data()
    {
        QTest::addColumn<QStringList>("command");  // "@FILE@", "@FOLDER@" and "@COLLECTION@" replaced
        QTest::newRow("info") << QStringList{QStringLiteral("info"), QStringLiteral("@FILE@")};
        QTest::newRow("add") << QStringList{QStringLiteral("add"), QStringLiteral("@COLLECTION@"),
                                            QStringLiteral("@FOLDER@")};
        QTest::newRow("tag") << QStringList{QStringLiteral("tag"), QStringLiteral("--set"),
                                            QStringLiteral("Title=After"), QStringLiteral("@FILE@")};
    }
    void killedWriteIsPutBackFirst()
    {
        QFETCH(QStringList, command);
        const QByteArray audio = mp3::Frame().stream(40);
        const QString song = path(QStringLiteral("music/song.mp3"));
        const QString otherName = path(QStringLiteral("song again.mp3"));
        // A tag was being put in front of the audio when the writer died:
        // the file holds the new tag and the audio cut short.
        QVERIFY(writeFile(song, mp3::id3v2Tag(2000) + audio.left(3000)));
        QCOMPARE(::link(QFile::encodeName(song).constData(), QFile::encodeName(otherName).constData()), 0);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(song).constData(), &st), 0);
        const QString backup = BackupPathOf(song, st.st_ino);
        QVERIFY(writeFile(backup, audio));

        for (QString &arg : command)
            arg.replace(QLatin1String("@FILE@"), song)
                .replace(QLatin1String("@FOLDER@"), path(QStringLiteral("music")))
                .replace(QLatin1String("@COLLECTION@"), path(QStringLiteral("c.tbx")));
        const CliRun run = runCli(command);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QVERIFY2(run.errText().contains(QLatin1String("was interrupted before it was done; its earlier contents "
                                                      "have been put back")),
                 run.err.constData());
        QVERIFY(!QFile::exists(backup));
        const QByteArray now = readFile(song);
        QVERIFY2(now.endsWith(audio), "the audio is whole after the file");
        QCOMPARE(readFile(otherName), now);
        if (command.first() != QLatin1String("tag"))
            QCOMPARE(now, audio);
    }

    void scanIndexLinkIsRefused()
    {
        QVERIFY(writeFile(path(QStringLiteral("music/song.mp3")), mp3::Frame().stream(30)));
        const QString victim = path(QStringLiteral("precious.txt"));
        QVERIFY(writeFile(victim, "precious"));
        const QString collection = path(QStringLiteral("c.tbx"));
        QVERIFY(QFile::link(victim, collection + QStringLiteral("-index")));

        const CliRun run = runCli({QStringLiteral("add"), collection, path(QStringLiteral("music"))});
        QVERIFY2(run.outText().startsWith(QLatin1String("1 file read, 1 added")), run.out.constData());
        QVERIFY2(run.errText().contains(QLatin1String("is a symbolic link")), run.err.constData());
        QCOMPARE(readFile(victim), QByteArray("precious"));
        QVERIFY(QFileInfo(collection + QStringLiteral("-index")).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestCliInterruptedWrites)
#include "tst_cli_interruptedwrites.moc"
