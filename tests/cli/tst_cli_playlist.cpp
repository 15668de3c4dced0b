#include "core/data/collectionfile.h"
#include "core/mp3model/mp3root.h"

#include "clirun.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using testsupport::readFile;
using testsupport::writeFile;

class TestCliPlaylist : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_collection;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        TMp3Root root;
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->Title = QStringLiteral("Jóga");
        track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(QStringLiteral("Björk")));
        track->Length = 305;
        track->FilePath = QStringLiteral("/music/Björk/Jóga.mp3");
        track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->Title = QStringLiteral("Two\r\nLines");
        track->Length = 61;
        track->FilePath = QStringLiteral("/music/") + QString(300, QLatin1Char('x')) + QStringLiteral(".mp3");
        m_collection = path(QStringLiteral("songs.tbx"));
        QVERIFY(saveCollection(root, m_collection).Saved);
    }

    void collectionToM3u()
    {
        const QString out = path(QStringLiteral("songs.m3u"));
        const CliRun run = runCli({QStringLiteral("playlist"), m_collection, QStringLiteral("-o"), out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("2 entries written to \"%1\"\n").arg(out).toUtf8());
        QCOMPARE(readFile(out), QStringLiteral("#EXTM3U\r\n#EXTINF:305,Björk - Jóga\r\n/music/Björk/Jóga.mp3\r\n"
                                               "#EXTINF:61,Two Lines\r\n/music/%1.mp3\r\n")
                                    .arg(QString(300, QLatin1Char('x')))
                                    .toUtf8());
    }

    void collectionToPls()
    {
        const QString out = path(QStringLiteral("songs.pls"));
        const CliRun run = runCli({QStringLiteral("playlist"), m_collection, m_collection, QStringLiteral("--output"), out});
        QCOMPARE(run.exitCode, 0);
        const QByteArray bytes = readFile(out);
        QVERIFY(bytes.startsWith("[playlist]\r\nNumberOfEntries=4\r\nVersion=2\r\n"));
        QVERIFY(bytes.contains(QStringLiteral("File3=/music/Björk/Jóga.mp3\r\nTitle3=Björk - Jóga\r\nLength3=305\r\n").toUtf8()));
    }

    void overExistingPlsKeepsWhatIsNotOurs()
    {
        const QString out = path(QStringLiteral("existing.pls"));
        QVERIFY(writeFile(out, "; my favourites\n[playlist]\nFile1=old.mp3\nfile1=older.mp3\n"
                               "NumberOfEntries=1\n[player]\nShuffle=1\n"));
        const CliRun run = runCli({QStringLiteral("playlist"), m_collection, QStringLiteral("-o"), out});
        QCOMPARE(run.exitCode, 0);
        const QByteArray bytes = readFile(out);
        QVERIFY(bytes.startsWith("; my favourites\r\n[playlist]\r\nFile1=/music/Bj\xC3\xB6rk/J\xC3\xB3ga.mp3\r\n"
                                 "NumberOfEntries=2\r\n"));
        QVERIFY(bytes.endsWith("[player]\r\nShuffle=1\r\n"));
        QCOMPARE(bytes.count("File1="), 1);
        QVERIFY(!bytes.contains("old"));
    }

    void filesAndFolders()
    {
        qputenv("TUNEBASE_CONFIG", QFile::encodeName(path(QStringLiteral("no-settings.ini"))));
        mp3::Frame frame;
        mp3::Id3v1 tag;
        tag.artist = "A";
        tag.title = "T";
        QVERIFY(QDir().mkpath(path(QStringLiteral("tree/sub"))));
        QVERIFY(writeFile(path(QStringLiteral("tree/a.mp3")), frame.stream(383) + tag.bytes()));
        QVERIFY(writeFile(path(QStringLiteral("tree/sub/Band - Song.mp3")), frame.stream(383)));
        QVERIFY(writeFile(path(QStringLiteral("tree/notes.txt")), "not music"));
        QVERIFY(QFile::link(path(QStringLiteral("tree")), path(QStringLiteral("tree/sub/loop"))));
        QVERIFY(writeFile(path(QStringLiteral("single.mp3")), frame.stream(383)));

        const QString out = path(QStringLiteral("files.m3u"));
        const CliRun run = runCli({QStringLiteral("playlist"), path(QStringLiteral("tree")), path(QStringLiteral("single.mp3")),
                                   QStringLiteral("-o"), out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("3 entries written to \"%1\"\n").arg(out).toUtf8());
        const QStringList lines = QString::fromUtf8(readFile(out)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 8);
        QVERIFY(lines.at(1).startsWith(QStringLiteral("#EXTINF:")));
        QVERIFY(lines.at(1).endsWith(QStringLiteral(",A - T")));
        QCOMPARE(lines.at(2), path(QStringLiteral("tree/a.mp3")));
        QVERIFY(lines.at(3).endsWith(QStringLiteral(",Band - Song")));
        QCOMPARE(lines.at(4), path(QStringLiteral("tree/sub/Band - Song.mp3")));
        QCOMPARE(lines.at(6), path(QStringLiteral("single.mp3")));
        const int length = lines.at(1).mid(8).section(QLatin1Char(','), 0, 0).toInt();
        QVERIFY(length >= 9 && length <= 10);
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString collection = path(QStringLiteral("songs.tbx"));
        QTest::newRow("no output") << QStringList{collection} << 2 << "-o FILE.m3u";
        QTest::newRow("unknown playlist kind") << QStringList{collection, "-o", path(QStringLiteral("x.txt"))} << 2
                                               << "must end in .m3u";
        QTest::newRow("no sources") << QStringList{"-o", path(QStringLiteral("x.m3u"))} << 2 << "no COLLECTION or PATH";
        QTest::newRow("missing source") << QStringList{path(QStringLiteral("gone.tbx")), "-o", path(QStringLiteral("x.m3u"))}
                                        << 1 << "gone.tbx";
        QTest::newRow("cannot write") << QStringList{collection, "-o", path(QStringLiteral("plain/x.m3u"))} << 1
                                      << "could not be written";
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QVERIFY(writeFile(path(QStringLiteral("plain")), "x"));
        const CliRun run = runCli(QStringList{QStringLiteral("playlist")} + args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QVERIFY(!QFile::exists(path(QStringLiteral("x.m3u"))));
    }
};

QTEST_APPLESS_MAIN(TestCliPlaylist)
#include "tst_cli_playlist.moc"
