// Inputs a hostile (or unlucky) user gives the command line: FIFOs and
// folders where files are expected, damaged collections, an output that is
// the input, names with line breaks and control characters, values that
// spreadsheets would run as formulas.

#include "clirun.h"
#include "mp3builder.h"
#include "id3v2builder.h"
#include "testsupport.h"

#include "core/data/collectionfile.h"
#include "core/data/datalists.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

class TestCliHostileInput : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString makeMp3(const QString &name, const QByteArray &prefix = {})
    {
        const QString p = path(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        if (!writeFile(p, prefix + mp3::Frame().stream(20)))
            qFatal("cannot write fixture");
        return p;
    }
    QString makeFifo(const QString &name)
    {
        const QString p = path(name);
        if (::mkfifo(QFile::encodeName(p).constData(), 0600) != 0)
            qFatal("cannot make a FIFO");
        return p;
    }
    // A collection of tracks with the given titles and file paths.
    QString makeCollection(const QString &name, const QList<QPair<QString, QString>> &tracks)
    {
        TMp3Root root;
        for (const auto &[title, filePath] : tracks) {
            auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
            track->Title = title;
            track->FilePath = filePath;
        }
        const QString file = path(name);
        if (!saveCollection(root, file).Saved)
            qFatal("cannot write fixture");
        return file;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TUNEBASE_CONFIG", QFile::encodeName(QDir::temp().filePath(QStringLiteral("tunebase-cli-hostile-none.ini"))));
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // A FIFO or folder where a collection is expected is refused at once
    // with a clear message (a blocking open would hang the test).
    void specialFileAsCollection_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("folder");
        for (const char *command : {"dump", "list", "stats", "export", "add"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, FIFO").arg(QLatin1String(command)))) << command << false;
            QTest::newRow(qPrintable(QStringLiteral("%1, folder").arg(QLatin1String(command)))) << command << true;
        }
    }
    void specialFileAsCollection()
    {
        QFETCH(QString, command);
        QFETCH(bool, folder);
        makeMp3(QStringLiteral("music/a.mp3"));
        QString collection = path(QStringLiteral("c.tbx"));
        if (folder)
            QVERIFY(QDir().mkpath(collection));
        else
            makeFifo(QStringLiteral("c.tbx"));
        QStringList args{command, collection};
        if (command == QLatin1String("export"))
            args << QStringLiteral("--format") << QStringLiteral("csv");
        if (command == QLatin1String("add"))
            args << path(QStringLiteral("music"));
        const CliRun run = runCli(args);
        QCOMPARE(run.exitCode, 1);
        const QByteArray expected = folder ? "is a folder" : "is not a regular file";
        QVERIFY2(run.err.contains(expected), run.err.constData());
    }

    void fifoAsMp3OrIndex()
    {
        const QString fifo = makeFifo(QStringLiteral("song.mp3"));
        CliRun run = runCli({QStringLiteral("info"), fifo});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("is not a regular file"), run.err.constData());

        makeMp3(QStringLiteral("music/a.mp3"));
        const QString collection = makeCollection(QStringLiteral("c.tbx"), {});
        makeFifo(QStringLiteral("c.tbx-index"));
        run = runCli({QStringLiteral("add"), collection, path(QStringLiteral("music"))});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QVERIFY(run.out.startsWith("1 file read, 1 added"));
    }

    // Commands that show a damaged collection say so for the command line
    // and end with their own exit code.
    void damagedCollectionIsShownWithExitCode_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("dump") << QStringList{QStringLiteral("dump")};
        QTest::newRow("list") << QStringList{QStringLiteral("list")};
        QTest::newRow("stats") << QStringList{QStringLiteral("stats")};
        QTest::newRow("export") << QStringList{QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("csv")};
    }
    void damagedCollectionIsShownWithExitCode()
    {
        QFETCH(QStringList, args);
        const QString file = makeCollection(QStringLiteral("c.tbx"), {{QStringLiteral("One"), QStringLiteral("/a.mp3")},
                                                                      {QStringLiteral("Two"), QStringLiteral("/b.mp3")},
                                                                      {QStringLiteral("Three"), QStringLiteral("/c.mp3")}});
        const QByteArray whole = readFile(file);
        QVERIFY(writeFile(file, whole.left(whole.size() - 30)));
        args.insert(1, file);
        const CliRun run = runCli(args);
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.err.contains("is damaged: only the 2 tracks before the damage could be read"), run.err.constData());
        QVERIFY(!run.err.contains("menu"));
        QVERIFY(!run.out.isEmpty());
    }

    // An output that is the collection itself, or a link to it, is refused
    // and the collection stays.
    void outputOntoInputIsRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("link");
        for (const char *command : {"export", "playlist"}) {
            for (const char *link : {"same name", "hard link", "symbolic link"})
                if (QLatin1String(command) == QLatin1String("export") || QLatin1String(link) != QLatin1String("same name"))
                    QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(command), QLatin1String(link))))
                    << command << link;
        }
    }
    void outputOntoInputIsRefused()
    {
        QFETCH(QString, command);
        QFETCH(QString, link);
        const QString collection = makeCollection(QStringLiteral("c.tbx"), {{QStringLiteral("One"), QStringLiteral("/a.mp3")}});
        const QByteArray bytes = readFile(collection);
        const QString suffix = command == QLatin1String("export") ? QStringLiteral("csv") : QStringLiteral("m3u");
        QString output = collection;
        if (link == QLatin1String("hard link")) {
            output = path(QStringLiteral("out.") + suffix);
            QCOMPARE(::link(QFile::encodeName(collection).constData(), QFile::encodeName(output).constData()), 0);
        } else if (link == QLatin1String("symbolic link")) {
            output = path(QStringLiteral("out.") + suffix);
            QVERIFY(QFile::link(collection, output));
        }
        QStringList args{command, collection, QStringLiteral("-o"), output};
        if (command == QLatin1String("export"))
            args << QStringLiteral("--format") << QStringLiteral("csv");
        const CliRun run = runCli(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("choose another output file"), run.err.constData());
        QCOMPARE(readFile(collection), bytes);
    }

    // M3U and PLS hold one entry per line: a name with a line break is
    // refused rather than written as a broken (or injected) entry.
    void playlistRefusesLineBreaks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("LF, M3U") << "a\n#EXTINF:1,injected\nb.mp3" << "m3u";
        QTest::newRow("CR, PLS") << "a\rFile9=/etc/passwd.mp3" << "pls";
        // Other readers break lines at these too.
        QTest::newRow("VT, M3U") << "a\v/etc/passwd.mp3" << "m3u";
        QTest::newRow("FF, PLS") << "a\fFile9=/etc/passwd.mp3" << "pls";
        QTest::newRow("NEL, M3U") << QStringLiteral("a\u0085/etc/passwd.mp3") << "m3u";
        QTest::newRow("LS, M3U") << QStringLiteral("a\u2028/etc/passwd.mp3") << "m3u";
        QTest::newRow("PS, PLS") << QStringLiteral("a\u2029File9=/etc/passwd.mp3") << "pls";
    }
    void playlistRefusesLineBreaks()
    {
        QFETCH(QString, name);
        QFETCH(QString, suffix);
        const QString collection = makeCollection(QStringLiteral("c.tbx"), {{QStringLiteral("Odd"), path(name)}});
        const QString output = path(QStringLiteral("list.") + suffix);
        const CliRun run = runCli({QStringLiteral("playlist"), collection, QStringLiteral("-o"), output});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("holds a line break"), run.err.constData());
        QVERIFY(!QFileInfo::exists(output));
    }

    // Control characters never reach the terminal raw.
    void controlCharactersAreEscaped()
    {
        const QString title = QStringLiteral("Evil\x1B[2J\rtitle\u202E");
        const QString mp3 = makeMp3(QStringLiteral("song.mp3"), Id3v2Builder(3).text("TIT2", title, 3).build());
        CliRun run = runCli({QStringLiteral("info"), mp3});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("Evil\\x1B[2J\\rtitle\\u202E"), run.out.constData());
        QVERIFY(!run.out.contains('\x1B') && !run.out.contains('\r'));

        const QString collection = makeCollection(QStringLiteral("c.tbx"), {{title, mp3}});
        run = runCli({QStringLiteral("list"), collection, QStringLiteral("--fields"), QStringLiteral("title")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("Evil\\x1B[2J title\\u202E"), run.out.constData());
        QVERIFY(!run.out.contains('\x1B'));
    }

    // CSV values that spreadsheets would run are guarded unless asked
    // otherwise; file paths keep their line breaks (quoted).
    void csvExportGuardsFormulasKeepsPaths()
    {
        const QString odd = QStringLiteral("/music/two\nlines.mp3");
        const QString collection = makeCollection(QStringLiteral("c.tbx"), {{QStringLiteral("=HYPERLINK(\"x\")"), odd},
                                                                            {QStringLiteral("-5 dB"), QStringLiteral("/b.mp3")}});
        const QString output = path(QStringLiteral("out.csv"));
        CliRun run = runCli({QStringLiteral("export"), collection, QStringLiteral("--format"), QStringLiteral("csv"),
                             QStringLiteral("--fields"), QStringLiteral("title,filepath"), QStringLiteral("-o"), output});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QByteArray csv = readFile(output);
        QVERIFY2(csv.contains("\"'=HYPERLINK(\"\"x\"\")\",\"/music/two\nlines.mp3\""), csv.constData());
        QVERIFY(csv.contains("\"'-5 dB\""));

        run = runCli({QStringLiteral("export"), collection, QStringLiteral("--format"), QStringLiteral("csv"),
                      QStringLiteral("--fields"), QStringLiteral("title"), QStringLiteral("--no-formula-guard"),
                      QStringLiteral("-o"), output});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        csv = readFile(output);
        QVERIFY(csv.contains("\"=HYPERLINK(\"\"x\"\")\""));
    }

    // Files that cannot be read make add end with a failure (the others
    // are added).
    void addReportsUnreadableFiles()
    {
        makeMp3(QStringLiteral("music/good.mp3"));
        const QString locked = makeMp3(QStringLiteral("music/locked.mp3"));
        if (::geteuid() == 0)
            QSKIP("root reads files whatever their mode");
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        const CliRun run = runCli({QStringLiteral("add"), path(QStringLiteral("c.tbx")), path(QStringLiteral("music"))});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.contains("1 added"));
        QVERIFY(run.out.contains("1 unreadable"));
    }
};

QTEST_MAIN(TestCliHostileInput)
#include "tst_cli_hostileinput.moc"
