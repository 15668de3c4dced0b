#include "core/data/collectionfile.h"
#include "core/mp3model/mp3root.h"

#include "clirun.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCliStats : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_collection;

private Q_SLOTS:
    void initTestCase()
    {
        TMp3Root root;
        const struct {
            const char *artist;
            const char *genre;
            int length;
        } tracks[] = {{"Miles", "Jazz", 200}, {"Björk", "Pop", 250}, {"Miles", "Jazz", 100}, {"", "Pop", 60}};
        for (const auto &t : tracks) {
            auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
            if (*t.artist)
                track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(QString::fromUtf8(t.artist)));
            track->Genres->Add(root.GenreList->FindOrAdd(QString::fromUtf8(t.genre)));
            track->Length = t.length;
            track->Size = 4'000'000;
            track->Bitrate = 128;
        }
        m_collection = m_dir.filePath(QStringLiteral("songs.tbx"));
        QVERIFY(saveCollection(root, m_collection).Saved);
    }

    void artistsByCount()
    {
        const CliRun run = runCli({QStringLiteral("stats"), m_collection});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::fromUtf8(run.out),
                 QStringLiteral("Number of items per Artist\n"
                                "2  Miles\n"
                                "1  Björk\n"
                                "1  [None]\n"
                                "\n"
                                "# Tracks      4\n"
                                "Total Length  0 hrs, 10 mins\n"
                                "Avg Length    2 mins, 32 sec\n"
                                "Total Size    15 MB\n"
                                "Avg Size      3906 KB\n"
                                "Avg Bitrate   128 kbps\n"));
    }

    void otherFieldByName()
    {
        const CliRun run = runCli({QStringLiteral("stats"), m_collection, QStringLiteral("--field"),
                                   QStringLiteral("genre"), QStringLiteral("--order"), QStringLiteral("name")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.startsWith("Number of items per Genre\n2  Jazz\n2  Pop\n\n"), run.out.constData());
    }

    void complaints_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("no collection") << QStringList{} << 2 << QByteArray("no COLLECTION given");
        QTest::newRow("missing file") << QStringList{QStringLiteral("/nonexistent/x.tbx")} << 1
                                      << QByteArray("no such collection file");
        QTest::newRow("not a lookup field") << QStringList{QStringLiteral("@"), QStringLiteral("--field"),
                                                           QStringLiteral("Title")}
                                            << 2 << QByteArray("no field named 'Title'");
        QTest::newRow("bad order") << QStringList{QStringLiteral("@"), QStringLiteral("--order"), QStringLiteral("size")}
                                   << 2 << QByteArray("--order takes count or name");
    }

    void complaints()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        args.replaceInStrings(QStringLiteral("@"), m_collection);
        const CliRun run = runCli(QStringList{QStringLiteral("stats")} + args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QVERIFY(run.out.isEmpty());
    }
};

QTEST_MAIN(TestCliStats)
#include "tst_cli_stats.moc"
