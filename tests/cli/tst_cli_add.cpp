#include "core/data/collectionfile.h"
#include "core/mp3model/mp3root.h"

#include "clirun.h"
#include "id3v2builder.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using testsupport::readFile;

class TestCliAdd : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString makeMp3(const QString &name, const QByteArray &prefix = {})
    {
        const QString p = path(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        if (!testsupport::writeFile(p, prefix + mp3::Frame().stream(30)))
            qFatal("cannot write fixture");
        return p;
    }
    // Two albums' worth of files named the way the default parse formats
    // read them, with what a folder walk must pass over.
    void makeMusic()
    {
        makeMp3(QStringLiteral("music/The Lanterns/Harbour/01 - Low Tide.mp3"));
        makeMp3(QStringLiteral("music/The Lanterns/Harbour/02 - High Tide.mp3"),
                Id3v2Builder(3).text("TIT2", QStringLiteral("Tagged Tide")).build());
        makeMp3(QStringLiteral("music/.hidden/secret.mp3"));
        QVERIFY(QFile::link(path(QStringLiteral("music")), path(QStringLiteral("music/The Lanterns/loop"))));
        QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("music/pipe.mp3"))).constData(), 0600), 0);
    }
    CliRun add(const QStringList &args) { return runCli(QStringList{QStringLiteral("add")} + args); }
    std::unique_ptr<TMp3Root> load(const QString &file)
    {
        auto root = std::make_unique<TMp3Root>();
        if (!loadCollection(*root, file).opened())
            return nullptr;
        return root;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Default settings, whatever the user running the tests has.
        qputenv("TUNEBASE_CONFIG", QFile::encodeName(QDir::temp().filePath(QStringLiteral("tunebase-cli-add-none.ini"))));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void addFolderToNewCollection()
    {
        makeMusic();
        const QString collection = path(QStringLiteral("songs.tbx"));
        const CliRun run = add({collection, path(QStringLiteral("music"))});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("2 files read, 2 added, 0 updated, 0 unreadable\n"
                                         "New collection saved to %1\n")
                              .arg(collection)
                              .toUtf8());
        QVERIFY2(run.err.isEmpty(), run.err.constData());  // no progress line without a terminal

        const auto root = load(collection);
        QVERIFY(root);
        QCOMPARE(root->GetTracks()->Count(), 2);
        const TMp3Track *low = root->GetTracks()->Get(0);
        QCOMPARE(low->FilePath, path(QStringLiteral("music/The Lanterns/Harbour/01 - Low Tide.mp3")));
        QCOMPARE(low->Title, QStringLiteral("Low Tide"));
        QCOMPARE(low->TrackIndex, 1);
        QCOMPARE(GetLookupDisplayName(low->Artist), QStringLiteral("The Lanterns"));
        QCOMPARE(GetLookupDisplayName(low->Album), QStringLiteral("Harbour"));
        QCOMPARE(low->Bitrate, 128);
        QCOMPARE(low->Index, 1);
        const TMp3Track *high = root->GetTracks()->Get(1);
        QCOMPARE(high->Title, QStringLiteral("Tagged Tide"));  // the tag before the file name
        QCOMPARE(high->Artist, low->Artist);
        QCOMPARE(high->Index, 2);
    }

    void filesAlreadyThereAndUpdate()
    {
        makeMusic();
        const QString collection = path(QStringLiteral("songs.tbx"));
        QCOMPARE(add({collection, path(QStringLiteral("music"))}).exitCode, 0);
        const QByteArray saved = readFile(collection);

        // Nothing new: the collection file is not even rewritten.
        CliRun run = add({collection, path(QStringLiteral("music"))});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith("2 files read, 0 added, 0 updated, 0 unreadable\n"
                                   "2 files were already in the collection"));
        QCOMPARE(readFile(collection), saved);

        // --update refreshes what the file says about itself; the track's
        // own values stay.
        const QString low = path(QStringLiteral("music/The Lanterns/Harbour/01 - Low Tide.mp3"));
        {
            auto root = load(collection);
            root->GetTracks()->Get(0)->Title = QStringLiteral("My Title");
            QVERIFY(saveCollection(*root, collection).Saved);
        }
        QFile file(low);
        QVERIFY(file.open(QIODevice::Append));
        file.write(mp3::Frame().stream(10));
        file.close();
        run = add({collection, low, QStringLiteral("--update")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("1 file read, 0 added, 1 updated, 0 unreadable\n"));
        const auto root = load(collection);
        QCOMPARE(root->GetTracks()->Count(), 2);
        QCOMPARE(root->GetTracks()->Get(0)->Title, QStringLiteral("My Title"));
        QCOMPARE(qint64(root->GetTracks()->Get(0)->Size), QFileInfo(low).size());
    }

    void rescanReadsOnlyChangedFiles()
    {
        makeMusic();
        const QString collection = path(QStringLiteral("songs.tbx"));
        const QString index = collection + QStringLiteral("-index");
        QCOMPARE(add({collection, path(QStringLiteral("music"))}).exitCode, 0);
        QVERIFY(QFileInfo::exists(index));
        const QByteArray saved = readFile(collection);

        CliRun run = add({collection, path(QStringLiteral("music")), QStringLiteral("--update")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("2 files read, 0 added, 0 updated, 0 unreadable\n"
                                     "2 files unchanged since the last scan (not read again, tracks left as they are)\n"));
        QCOMPARE(readFile(collection), saved);

        // A file retagged, another moved: the moved one is a new file, as
        // it always was; the changed one is read again.
        const QString high = path(QStringLiteral("music/The Lanterns/Harbour/02 - High Tide.mp3"));
        QVERIFY(testsupport::writeFile(high, Id3v2Builder(3).text("TIT2", QStringLiteral("Retagged")).padding(500).build()
                                                 + mp3::Frame().stream(30)));
        QVERIFY(QFile::rename(path(QStringLiteral("music/The Lanterns/Harbour/01 - Low Tide.mp3")),
                              path(QStringLiteral("music/The Lanterns/Harbour/03 - Low Tide.mp3"))));
        run = add({collection, path(QStringLiteral("music")), QStringLiteral("--update"), QStringLiteral("--threads"),
                   QStringLiteral("3")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("2 files read, 1 added, 1 updated, 0 unreadable\n"));
        auto root = load(collection);
        QCOMPARE(root->GetTracks()->Count(), 3);
        QCOMPARE(qint64(root->GetTracks()->Get(1)->Size), QFileInfo(high).size());

        // A damaged index only costs the time of reading every file.
        QVERIFY(testsupport::writeFile(index, "Tunebase scan index 1\nnonsense\n"));
        run = add({collection, path(QStringLiteral("music")), QStringLiteral("--update")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("2 files read, 0 added, 2 updated, 0 unreadable\n"));
        root = load(collection);
        QVERIFY(root);
        QCOMPARE(root->GetTracks()->Count(), 3);
    }

    void location()
    {
        makeMusic();
        const QString collection = path(QStringLiteral("songs.tbx"));
        const CliRun run = add({collection, path(QStringLiteral("music/The Lanterns")), QStringLiteral("--location"),
                                QStringLiteral("Shelf")});
        QCOMPARE(run.exitCode, 0);
        const auto root = load(collection);
        QCOMPARE(root->GetTracks()->Count(), 2);
        for (int i = 0; i < 2; ++i)
            QCOMPARE(GetLookupDisplayName(root->GetTracks()->Get(i)->Location), QStringLiteral("Shelf"));
        QCOMPARE(root->Locations->Count(), 1);
    }

    void complaints_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("nothing") << QStringList{} << 2 << QByteArray("no COLLECTION given");
        QTest::newRow("no path") << QStringList{QStringLiteral("@c")} << 2 << QByteArray("no folder or file to add");
        QTest::newRow("missing path") << QStringList{QStringLiteral("@c"), QStringLiteral("@missing")} << 2
                                      << QByteArray("no such file or folder");
        QTest::newRow("not an MP3 file") << QStringList{QStringLiteral("@c"), QStringLiteral("@notes.txt")} << 2
                                         << QByteArray("neither a folder nor an MP3 file");
        QTest::newRow("FIFO") << QStringList{QStringLiteral("@c"), QStringLiteral("@music/pipe.mp3")} << 2
                              << QByteArray("neither a folder nor an MP3 file");
        QTest::newRow("empty location") << QStringList{QStringLiteral("@c"), QStringLiteral("@music"),
                                                       QStringLiteral("--location"), QString()}
                                        << 2 << QByteArray("--location needs a name");
        QTest::newRow("no thread count") << QStringList{QStringLiteral("@c"), QStringLiteral("@music"),
                                                        QStringLiteral("--threads"), QStringLiteral("none")}
                                         << 2 << QByteArray("--threads needs a number from 1 to 16");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("@c"), QStringLiteral("--fast")} << 2
                                        << QByteArray("unknown option '--fast'");
        QTest::newRow("foreign file") << QStringList{QStringLiteral("@damaged.tbx"), QStringLiteral("@music")}
                                      << 1 << QByteArray("not a Brimlow database");
        QTest::newRow("collection cut short") << QStringList{QStringLiteral("@cut.tbx"), QStringLiteral("@music")}
                                              << 1 << QByteArray("cut.tbx is damaged; nothing was added");
    }

    void complaints()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        makeMusic();
        QVERIFY(testsupport::writeFile(path(QStringLiteral("notes.txt")), "text"));
        const QByteArray damaged("not a collection at all");
        QVERIFY(testsupport::writeFile(path(QStringLiteral("damaged.tbx")), damaged));
        // A collection whose last track is cut off: what can be read opens,
        // but adding must not replace the file by that part.
        {
            TMp3Root root;
            for (int i = 0; i < 3; ++i)
                static_cast<TMp3Track *>(root.GetTracks()->CreateItem())->Title = QStringLiteral("Track %1").arg(i);
            QVERIFY(saveCollection(root, path(QStringLiteral("cut.tbx"))).Saved);
        }
        const QByteArray whole = readFile(path(QStringLiteral("cut.tbx")));
        const QByteArray cut = whole.left(whole.size() - 30);
        QVERIFY(testsupport::writeFile(path(QStringLiteral("cut.tbx")), cut));
        for (QString &arg : args)
            if (arg.startsWith(QLatin1Char('@')))
                arg = arg == QLatin1String("@c") ? path(QStringLiteral("c.tbx")) : path(arg.mid(1));
        const CliRun run = add(args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("c.tbx"))));
        QCOMPARE(readFile(path(QStringLiteral("damaged.tbx"))), damaged);
        QCOMPARE(readFile(path(QStringLiteral("cut.tbx"))), cut);
    }
};

QTEST_MAIN(TestCliAdd)
#include "tst_cli_add.moc"
