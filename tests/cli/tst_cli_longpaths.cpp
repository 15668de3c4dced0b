// A file whose path is longer than PATH_MAX (a deep tree) is read like any
// other by info, add and relink, reached folder by folder; it was once
// passed over without a word.

#include "core/data/collectionfile.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include "clirun.h"
#include "deepfolder.h"
#include "mp3builder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <memory>

namespace {

// Well past the limit, so that the folder itself cannot be named in one call.
constexpr int DeepPathLength = PATH_MAX + 600;
const QString SongName = QStringLiteral("Deep Song.mp3");

QStringList trackPaths(const QString &collection)
{
    TMp3Root root;
    if (!loadCollection(root, collection).opened())
        return {};
    QStringList paths;
    for (int i = 0; i < root.GetTracks()->Count(); ++i)
        paths << root.GetTracks()->Get(i)->FilePath;
    return paths;
}

} // namespace

class TestCliLongPaths : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<DeepFolder> m_deep;
    QByteArray m_song = mp3::Frame().stream(30);

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString deepSong() const { return m_deep->path() + QLatin1Char('/') + SongName; }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TUNEBASE_CONFIG", QFile::encodeName(QDir::temp().filePath(QStringLiteral("tunebase-longpaths-none.ini"))));
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir().mkpath(path(QStringLiteral("music"))));
        m_deep = std::make_unique<DeepFolder>(path(QStringLiteral("music")), DeepPathLength);
        QVERIFY(m_deep->isValid());
        QVERIFY(m_deep->writeFile(SongName, m_song));
        QVERIFY(deepSong().size() > PATH_MAX);
    }
    void cleanup()
    {
        m_deep.reset();
        m_dir.reset();
    }

    void infoReadsTheFile_data()
    {
        QTest::addColumn<bool>("throughFolder");
        QTest::newRow("the file named") << false;
        QTest::newRow("its folder's folder named") << true;
    }
    void infoReadsTheFile()
    {
        QFETCH(bool, throughFolder);
        const CliRun run = runCli({QStringLiteral("info"), throughFolder ? path(QStringLiteral("music")) : deepSong()});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QVERIFY2(run.outText().contains(SongName), run.out.left(300).constData());
        QVERIFY2(run.outText().contains(QLatin1String("frames:         30")), run.out.right(2000).constData());
    }

    void addTakesTheFile()
    {
        const QString collection = path(QStringLiteral("c.tbx"));
        const CliRun run = runCli({QStringLiteral("add"), collection, path(QStringLiteral("music"))});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QVERIFY2(run.outText().startsWith(QLatin1String("1 file read, 1 added")), run.out.constData());
        QCOMPARE(trackPaths(collection), QStringList{deepSong()});
    }

    void relinkFindsTheFile()
    {
        TMp3Root root;
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->FilePath = path(QStringLiteral("old/") + SongName);
        track->Size = qint32(m_song.size());
        const QString collection = path(QStringLiteral("c.tbx"));
        QVERIFY(saveCollection(root, collection).Saved);
        const CliRun run =
            runCli({QStringLiteral("relink"), collection, QStringLiteral("--search"), path(QStringLiteral("music"))});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(trackPaths(collection), QStringList{deepSong()});
    }
};

QTEST_GUILESS_MAIN(TestCliLongPaths)
#include "tst_cli_longpaths.moc"
