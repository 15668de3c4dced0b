#include "core/data/collectionfile.h"
#include "core/mp3model/mp3root.h"

#include "clirun.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using testsupport::readFile;

// A collection of three tracks: "here.mp3" whose file exists, and
// "Song.mp3" and "Other.mp3" whose files have moved into "new/" ("Other"
// under a changed name).  "new/" also holds a decoy with Song's name but
// another size, and the file of "here.mp3" must never be handed out.
class TestCliRelink : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_collection;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    void makeFile(const QString &name, int size)
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QVERIFY(testsupport::writeFile(path(name), QByteArray(size, 'x')));
    }
    CliRun relink(const QStringList &args)
    {
        return runCli(QStringList{QStringLiteral("relink"), m_collection} + args);
    }
    QStringList trackPaths() const
    {
        TMp3Root root;
        if (!loadCollection(root, m_collection).opened())
            return {};
        QStringList paths;
        for (int i = 0; i < root.GetTracks()->Count(); ++i)
            paths << root.GetTracks()->Get(i)->FilePath;
        return paths;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        makeFile(QStringLiteral("new/a/Song.mp3"), 5000);
        makeFile(QStringLiteral("new/b/Song.mp3"), 7000);
        makeFile(QStringLiteral("new/Other (live).mp3"), 6000);
        makeFile(QStringLiteral("new/here.mp3"), 4000);
        TMp3Root root;
        const struct {
            QString path;
            qint32 size;
        } tracks[] = {{path(QStringLiteral("new/here.mp3")), 4000},
                      {path(QStringLiteral("old/Song.mp3")), 7000},
                      {path(QStringLiteral("old/Other.mp3")), 6000}};
        for (const auto &t : tracks) {
            auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
            track->FilePath = t.path;
            track->Size = t.size;
        }
        m_collection = path(QStringLiteral("songs.tbx"));
        QVERIFY(saveCollection(root, m_collection).Saved);
    }

    void exactMatching()
    {
        const CliRun run = relink({QStringLiteral("--search"), path(QStringLiteral("new"))});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.endsWith("2 tracks with missing files, 3 MP3 files found: 2 tracks repaired, "
                                  "0 without a match\n"),
                 run.out.constData());
        // Song: same name and size (100) beats same name only; Other: same
        // size only (50).
        QCOMPARE(trackPaths(), (QStringList{path(QStringLiteral("new/here.mp3")), path(QStringLiteral("new/b/Song.mp3")),
                                           path(QStringLiteral("new/Other (live).mp3"))}));
        QCOMPARE(relink({QStringLiteral("--search"), path(QStringLiteral("new"))}).out,
                 QByteArray("No tracks with missing files.\n"));
    }

    void minimumScoreAndFuzzy()
    {
        CliRun run = relink({QStringLiteral("--search"), path(QStringLiteral("new")), QStringLiteral("--min-score"),
                             QStringLiteral("75")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("no match:  " + path(QStringLiteral("old/Other.mp3")).toUtf8()));
        QCOMPARE(trackPaths().at(2), path(QStringLiteral("old/Other.mp3")));

        run = relink({QStringLiteral("--search"), path(QStringLiteral("new")), QStringLiteral("--fuzzy"),
                      QStringLiteral("--min-score"), QStringLiteral("75")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(trackPaths().at(2), path(QStringLiteral("new/Other (live).mp3")));
    }

    void dryRunChangesNothing()
    {
        const QByteArray before = readFile(m_collection);
        const CliRun run = relink({QStringLiteral("--search"), path(QStringLiteral("new")), QStringLiteral("--dry-run")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("would fix: " + path(QStringLiteral("old/Song.mp3")).toUtf8()));
        QVERIFY(run.out.contains("2 tracks would be repaired"));
        QCOMPARE(readFile(m_collection), before);
    }

    void complaints_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("no search") << QStringList{} << QByteArray("--search DIR is needed");
        QTest::newRow("missing folder") << QStringList{QStringLiteral("--search"), QStringLiteral("/nonexistent/x")}
                                        << QByteArray("no such folder");
        QTest::newRow("bad score") << QStringList{QStringLiteral("--search"), QStringLiteral("/"),
                                                  QStringLiteral("--min-score"), QStringLiteral("101")}
                                   << QByteArray("--min-score takes a number from 1 to 100");
    }

    void complaints()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, message);
        const CliRun run = relink(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(message), run.err.constData());
    }
};

QTEST_MAIN(TestCliRelink)
#include "tst_cli_relink.moc"
