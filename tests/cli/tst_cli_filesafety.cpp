// What the command line must never do to the user's files: lose the
// tracks of a second writer, save over a damaged or older collection,
// replace a collection by an export of it, or change the owner, mode or
// links of a file whose tags it writes.

#include "clirun.h"
#include "collectionbytes.h"
#include "id3v2builder.h"
#include "mp3builder.h"
#include "testsupport.h"

#include "core/audio/id3v2tag.h"
#include "core/data/collectionfile.h"
#include "core/data/datalists.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

struct stat statOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

} // namespace

class TestCliFileSafety : public QObject {
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
    void makeFolder(const QString &folder, int count)
    {
        for (int i = 0; i < count; ++i)
            makeMp3(QStringLiteral("%1/%2 - Song %2.mp3").arg(folder).arg(i, 2, 10, QLatin1Char('0')));
    }
    QSet<QString> trackPaths(const QString &collection)
    {
        TMp3Root root;
        const TCollectionLoadResult loaded = loadCollection(root, collection);
        QSet<QString> paths;
        if (!loaded.opened() || loaded.Recovered)
            return paths;
        for (int i = 0; i < root.GetTracks()->Count(); ++i)
            paths.insert(static_cast<TMp3Track *>(root.GetTracks()->Get(i))->FilePath);
        return paths;
    }
    // A collection of three tracks whose files are gone, cut off inside the
    // last one.
    QByteArray damagedCollection(const QString &file)
    {
        TMp3Root root;
        for (int i = 0; i < 3; ++i) {
            auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
            track->Title = QStringLiteral("Track %1").arg(i);
            track->FilePath = path(QStringLiteral("gone/%1.mp3").arg(i));
        }
        if (!saveCollection(root, file).Saved)
            qFatal("cannot write fixture");
        const QByteArray whole = readFile(file);
        const QByteArray cut = whole.left(whole.size() - 30);
        writeFile(file, cut);
        return cut;
    }
    // One track in the layout of this version, under the given header,
    // with bytes after its end.
    QByteArray oneTrackCollection(const QString &file, qint32 format, qint32 data, const QByteArray &after = {})
    {
        TTrackRecord track;
        track.ID = 5;
        track.Title = QStringLiteral("Old");
        track.FilePath = path(QStringLiteral("old/song.mp3"));
        TCollectionBytes layout;
        layout.header(format, data).list().end().emptyLists(Mp3FileLists::Count).reservedBlock().list().track(track).end();
        if (format >= 110)
            layout.integer(6).integer(2);
        const QByteArray bytes = QByteArray(layout) + after;
        writeFile(file, bytes);
        return bytes;
    }
    QByteArray olderCollection(const QString &file) { return oneTrackCollection(file, 110, 100); }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TUNEBASE_CONFIG", QFile::encodeName(QDir::temp().filePath(QStringLiteral("tunebase-cli-safety-none.ini"))));
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // Two adds to one collection at once, by one name or two names of the
    // file: every track of both arrives, or the one that gave up says so
    // and the other's tracks are all there.
    void twoWritersLoseNothing_data()
    {
        QTest::addColumn<QString>("secondName");
        QTest::newRow("same name") << "c.tbx";
        QTest::newRow("symbolic link") << "alias.tbx";
        QTest::newRow("hard link") << "hard.tbx";
    }
    void twoWritersLoseNothing()
    {
        QFETCH(QString, secondName);
        constexpr int PerFolder = 60;
        makeFolder(QStringLiteral("a"), PerFolder);
        makeFolder(QStringLiteral("b"), PerFolder);
        const QString collection = path(QStringLiteral("c.tbx"));
        QVERIFY(runCli({QStringLiteral("new"), collection}).exitCode == 0);
        QCOMPARE(::symlink("c.tbx", QFile::encodeName(path(QStringLiteral("alias.tbx"))).constData()), 0);
        QCOMPARE(::link(QFile::encodeName(collection).constData(),
                        QFile::encodeName(path(QStringLiteral("hard.tbx"))).constData()), 0);
        QProcess first;
        QProcess second;
        first.start(QStringLiteral(TUNEBASE_CLI_PATH), {QStringLiteral("add"), collection, path(QStringLiteral("a"))});
        second.start(QStringLiteral(TUNEBASE_CLI_PATH),
                     {QStringLiteral("add"), path(secondName), path(QStringLiteral("b"))});
        QVERIFY(first.waitForFinished(120000));
        QVERIFY(second.waitForFinished(120000));
        const QSet<QString> paths = trackPaths(collection);
        int expected = 0;
        for (QProcess *run : {&first, &second}) {
            QCOMPARE(run->exitStatus(), QProcess::NormalExit);
            const QByteArray err = run->readAllStandardError();
            if (run->exitCode() == 0)
                expected += PerFolder;
            else
                QVERIFY2(err.contains("Another program is changing the collection"), err.constData());
        }
        QVERIFY(expected > 0);
        QCOMPARE(paths.size(), expected);
        QVERIFY(!QFileInfo::exists(collection + QStringLiteral(".lock")));
    }

    // Commands that save a collection leave a damaged or an older one as it
    // is; an older one may be converted into a new file.
    // A newer one, or one with data after its end, is refused too: saving
    // would drop what this version does not know.
    void refusesToSaveOver_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("message");
        const QByteArray damaged("is damaged; nothing was added or changed");
        const QByteArray older("was made by an older version of Tunebase");
        const QByteArray newer("was made by a newer version of Tunebase");
        const QByteArray trailing("goes on after its last record");
        for (const QString &command : {QStringLiteral("add"), QStringLiteral("relink")}) {
            QTest::addRow("%s, damaged", qPrintable(command)) << command << "damaged" << damaged;
            QTest::addRow("%s, older", qPrintable(command)) << command << "older" << older;
            QTest::addRow("%s, newer format", qPrintable(command)) << command << "newer format" << newer;
            QTest::addRow("%s, newer data", qPrintable(command)) << command << "newer data" << newer;
            QTest::addRow("%s, trailing data", qPrintable(command)) << command << "trailing" << trailing;
        }
    }
    void refusesToSaveOver()
    {
        QFETCH(QString, command);
        QFETCH(QString, kind);
        QFETCH(QByteArray, message);
        makeFolder(QStringLiteral("music"), 2);
        const QString collection = path(QStringLiteral("c.tbx"));
        const bool older = kind == QLatin1String("older");
        QByteArray bytes;
        if (kind == QLatin1String("damaged"))
            bytes = damagedCollection(collection);
        else if (older)
            bytes = olderCollection(collection);
        else if (kind == QLatin1String("newer format"))
            bytes = oneTrackCollection(collection, 130, 150, QByteArray("\x05\x07more", 6));
        else if (kind == QLatin1String("newer data"))
            bytes = oneTrackCollection(collection, 120, 150);
        else
            bytes = oneTrackCollection(collection, 120, 100, QByteArray("\x03\x09", 2));
        const QStringList args = command == QLatin1String("add")
            ? QStringList{QStringLiteral("add"), collection, path(QStringLiteral("music"))}
            : QStringList{QStringLiteral("relink"), collection, QStringLiteral("--search"), path(QStringLiteral("music")),
                          QStringLiteral("--fuzzy"), QStringLiteral("--min-score"), QStringLiteral("1")};
        CliRun run = runCli(args);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QCOMPARE(readFile(collection), bytes);
        if (!older)
            return;
        const QString converted = path(QStringLiteral("new.tbx"));
        run = runCli(args + QStringList{QStringLiteral("--convert"), converted});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(readFile(collection), bytes);
        TMp3Root root;
        const TCollectionLoadResult loaded = loadCollection(root, converted);
        QVERIFY(loaded.opened() && !loaded.Converted);
        QVERIFY(root.GetTracks()->Count() >= 1);
        // The converted file is never written over an existing one.
        run = runCli(args + QStringList{QStringLiteral("--convert"), converted});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("exists already"), run.err.constData());
    }

    // A tag rewrite (the tag grows) keeps every name of a hard-linked file
    // pointing at the new tags, and keeps owner, group and mode.
    void tagWriteKeepsLinksOwnerAndMode()
    {
        const QString a = makeMp3(QStringLiteral("a.mp3"), Id3v2Builder(3).text("TIT2", QStringLiteral("Old")).build());
        const QString b = path(QStringLiteral("b.mp3"));
        QCOMPARE(::link(QFile::encodeName(a).constData(), QFile::encodeName(b).constData()), 0);
        QCOMPARE(::chmod(QFile::encodeName(a).constData(), 02640), 0);
        const bool root = ::geteuid() == 0;
        if (root)
            QCOMPARE(::chown(QFile::encodeName(a).constData(), 4321, 4322), 0);
        const QString title(3000, u'x');  // far beyond the old tag: a rewrite
        const CliRun run = runCli({QStringLiteral("tag"), QStringLiteral("--set"), QStringLiteral("title=") + title, a});
        QVERIFY2(run.exitCode == 0, run.out.constData());
        TID3v2Tag tag;
        QVERIFY(tag.ReadFromFile(b));
        QCOMPARE(tag.Title, title);
        const struct stat st = statOf(b);
        QCOMPARE(st.st_ino, statOf(a).st_ino);
        QCOMPARE(int(st.st_mode & 07777), 02640);
        if (root) {
            QCOMPARE(st.st_uid, uid_t(4321));
            QCOMPARE(st.st_gid, gid_t(4322));
        }
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // The owner's clear write bit protects a file from this program, even
    // when it runs as root; the other files are still written.
    void protectedFileIsSkipped()
    {
        const QByteArray tagged = Id3v2Builder(3).text("TIT2", QStringLiteral("Old")).build();
        const QString locked = makeMp3(QStringLiteral("locked.mp3"), tagged);
        const QString open = makeMp3(QStringLiteral("open.mp3"), tagged);
        QCOMPARE(::chmod(QFile::encodeName(locked).constData(), 0444), 0);
        const QByteArray before = readFile(locked);
        for (const QString &title : {QStringLiteral("New"), QString(3000, u'n')}) {
            const CliRun run =
                runCli({QStringLiteral("tag"), QStringLiteral("--set"), QStringLiteral("title=") + title, locked, open});
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.out.contains(locked.toUtf8() + ": not written: ID3v2: The file is read-only."),
                     run.out.constData());
            QVERIFY(run.out.contains(open.toUtf8() + ": written"));
            QCOMPARE(readFile(locked), before);
        }
    }
};

QTEST_MAIN(TestCliFileSafety)
#include "tst_cli_filesafety.moc"
