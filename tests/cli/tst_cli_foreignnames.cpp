// File and folder names that are not UTF-8 ("caf\xE9.mp3" from an old
// disk): every command finds such files, reads them, keeps their bytes in
// what it writes and shows them with a replacement character.

#include "clirun.h"
#include "id3v2builder.h"
#include "mp3builder.h"

#include "core/audio/id3v2tag.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/data/collectionfile.h"
#include "core/data/datalists.h"
#include "core/files/playlist.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::emptyFolderAt;
using testsupport::readFileAt;
using testsupport::writeFileAt;

namespace {

const QByteArray Replacement = "\xef\xbf\xbd";  // U+FFFD in UTF-8

// The names in a folder, as bytes.
QList<QByteArray> namesIn(const QByteArray &folder)
{
    QList<QByteArray> names;
    for (const TLocalFolderEntry &entry : LocalFolderEntries(PathFromLocalBytes(folder)))
        names << LocalPathBytes(entry.Name);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

class TestCliForeignNames : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QByteArray folder() const { return QFile::encodeName(m_dir->path()) + "/Bj\xf6rk"; }
    QByteArray song() const { return folder() + "/caf\xe9.mp3"; }
    QString folderPath() const { return PathFromLocalBytes(folder()); }
    QString songPath() const { return PathFromLocalBytes(song()); }

    // Runs tunebase-cli through the shell, so that an argument can be bytes
    // that are not UTF-8 (QProcess would encode it as text): the argument
    // "@RAW@" stands for rawPath.
    static CliRun runCliWithRawPath(const QStringList &args, const QByteArray &rawPath)
    {
        const QString script = QStringLiteral(
            "raw=$(printf '%b' \"$RAW\"); program=$1; shift; "
            "for a; do shift; if [ \"$a\" = @RAW@ ]; then set -- \"$@\" \"$raw\"; else set -- \"$@\" \"$a\"; fi; done; "
            "exec \"$program\" \"$@\"");
        QStringList shellArgs{QStringLiteral("-c"), script, QStringLiteral("sh"), QStringLiteral(TUNEBASE_CLI_PATH)};
        shellArgs += args;
        QByteArray escaped;
        for (const char c : rawPath)
            escaped += "\\0" + QByteArray::number(quint8(c), 8).rightJustified(3, '0');
        return runProgram(QStringLiteral("/bin/sh"), shellArgs,
                          environmentWith(QStringLiteral("RAW"), QString::fromLatin1(escaped)));
    }

private Q_SLOTS:
    void cleanup() { emptyFolderAt(QFile::encodeName(m_dir->path())); }
    void initTestCase()
    {
        qputenv("TUNEBASE_CONFIG",
                QFile::encodeName(QDir::temp().filePath(QStringLiteral("tunebase-cli-foreign-none.ini"))));
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QCOMPARE(::mkdir(folder().constData(), 0755), 0);
        const QByteArray tag = Id3v2Builder(3).text("TIT2", QStringLiteral("Song")).text("TPE1", QStringLiteral("Band")).build();
        QVERIFY(writeFileAt(song(), tag + mp3::Frame().stream(20)));
    }

    void infoReadsAndShowsTheFile()
    {
        const CliRun run = runCli({QStringLiteral("info"), m_dir->path()});
        QVERIFY2(run.ok(), run.err.constData());
        QVERIFY2(run.out.contains("Bj" + Replacement + "rk/caf" + Replacement + ".mp3"), run.out.constData());
        QVERIFY(run.out.contains("Song"));
    }

    // The collection keeps the name's bytes: the track still finds its file
    // after the collection is read again.
    void addKeepsThePath()
    {
        const QString collection = m_dir->filePath(QStringLiteral("c.tbx"));
        const CliRun run = runCli({QStringLiteral("add"), collection, m_dir->path()});
        QVERIFY2(run.ok(), run.err.constData());
        TMp3Root root;
        QVERIFY(loadCollection(root, collection).opened());
        QCOMPARE(root.GetTracks()->Count(), 1);
        const TMp3Track *track = root.GetTracks()->Get(0);
        QCOMPARE(LocalPathBytes(track->FilePath), song());
        QCOMPARE(track->Title, QStringLiteral("Song"));

        const CliRun list = runCli({QStringLiteral("list"), collection});
        QVERIFY2(list.ok(), list.err.constData());
        QVERIFY2(list.out.contains("caf" + Replacement + ".mp3"), list.out.constData());
    }

    // M3U holds the name's bytes; PLS, which is UTF-8 text, a file URL.
    // Both read back to the file.
    void playlistKeepsThePath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("entry");
        QTest::newRow("m3u") << QStringLiteral("list.m3u") << QByteArray("/Bj\xf6rk/caf\xe9.mp3\r\n");
        QTest::newRow("pls") << QStringLiteral("list.pls") << QByteArray("/Bj%F6rk/caf%E9.mp3");
    }

    void playlistKeepsThePath()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, entry);
        const QString output = m_dir->filePath(name);
        const CliRun run = runCli({QStringLiteral("playlist"), m_dir->path(), QStringLiteral("-o"), output});
        QVERIFY2(run.ok(), run.err.constData());
        QVERIFY2(run.out.startsWith("1 entry"), run.out.constData());
        const QByteArray written = readFileAt(QFile::encodeName(output));
        QVERIFY2(written.contains(entry), written.constData());

        TPlayList list;
        QVERIFY(list.LoadFromFile(output));
        QCOMPARE(list.Count(), 1);
        QCOMPARE(LocalPathBytes(list.Get(0)->FileName), song());
    }

    // Paths given relative to the current folder reach such files too.
    void relativePathsWork()
    {
        const CliRun run = runProgram(QStringLiteral("/bin/sh"),
                                      {QStringLiteral("-c"),
                                       QStringLiteral("cd \"$0\" && exec \"$1\" playlist . -o list.m3u"),
                                       m_dir->path(), QStringLiteral(TUNEBASE_CLI_PATH)});
        QVERIFY2(run.ok(), run.err.constData() + run.out);
        QVERIFY2(run.out.startsWith("1 entry"), run.out.constData());
        QVERIFY(readFileAt(QFile::encodeName(m_dir->filePath(QStringLiteral("list.m3u")))).contains(song()));
    }

    // A file named on the command line by its bytes gets its tag, and no
    // file of a mangled name appears beside it.
    void tagWritesTheNamedFile()
    {
        const CliRun run = runCliWithRawPath(
            {QStringLiteral("tag"), QStringLiteral("--set"), QStringLiteral("title=New"), QStringLiteral("@RAW@")}, song());
        QVERIFY2(run.ok(), run.err.constData() + run.out);
        TID3v2Tag tag;
        QVERIFY(tag.ReadFromFile(songPath()));
        QCOMPARE(tag.Title, QStringLiteral("New"));
        QCOMPARE(namesIn(folder()), QList<QByteArray>{"caf\xe9.mp3"});
    }

    // A collection named by bytes that are not UTF-8: added to, and never
    // replaced by "new" without --force.
    void collectionNamedByItsBytes()
    {
        const QByteArray collection = folder() + "/c\xe9.tbx";
        const CliRun add = runCliWithRawPath({QStringLiteral("add"), QStringLiteral("@RAW@"), m_dir->path()}, collection);
        QVERIFY2(add.ok(), add.err.constData() + add.out);
        const QByteArray saved = readFileAt(collection);
        QVERIFY(!saved.isEmpty());
        TMp3Root root;
        QVERIFY(loadCollection(root, PathFromLocalBytes(collection)).opened());
        QCOMPARE(root.GetTracks()->Count(), 1);

        const CliRun again = runCliWithRawPath({QStringLiteral("new"), QStringLiteral("@RAW@")}, collection);
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains("already exists"));
        QCOMPARE(readFileAt(collection), saved);
    }

    void renameKeepsTheFolder()
    {
        const CliRun run = runCli({QStringLiteral("rename"), QStringLiteral("--format"), QStringLiteral("%ar - %t"),
                                   m_dir->path()});
        QVERIFY2(run.ok(), run.err.constData() + run.out);
        QCOMPARE(namesIn(folder()), QList<QByteArray>{"Band - Song.mp3"});
    }
};

QTEST_GUILESS_MAIN(TestCliForeignNames)
#include "tst_cli_foreignnames.moc"
