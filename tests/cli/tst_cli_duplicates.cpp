#include "core/data/collectionfile.h"
#include "core/files/fingerprintcache.h"
#include "core/mp3model/mp3root.h"

#include "clirun.h"
#include "id3v2builder.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::writeFile;

namespace {

QByteArray audio(int frames, quint32 seed)
{
    const mp3::Frame frame;
    QByteArray bytes;
    for (int n = 0; n < frames; ++n)
        bytes += frame.header() + mp3::randomBytes(frame.length() - 4, seed * 1000 + quint32(n));
    return bytes;
}

QByteArray tagged(const QString &artist, const QString &title, const QByteArray &audioBytes)
{
    return Id3v2Builder(3).text("TPE1", artist).text("TIT2", title).build() + audioBytes;
}

} // namespace

class TestCliDuplicates : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(path(QStringLiteral("music/a"))));
        QVERIFY(QDir().mkpath(path(QStringLiteral("music/b"))));
        const QByteArray song = audio(80, 1);
        QVERIFY(writeFile(path(QStringLiteral("music/a/song.mp3")), tagged(QStringLiteral("Artist"), QStringLiteral("Song"), song)));
        QVERIFY(writeFile(path(QStringLiteral("music/b/copy.mp3")), song));
        QVERIFY(writeFile(path(QStringLiteral("music/b/live.mp3")),
                          tagged(QStringLiteral("ARTIST"), QStringLiteral("Song (Live)"), audio(81, 2))));
        QVERIFY(writeFile(path(QStringLiteral("music/b/broken.mp3")), QByteArray(5000, '\0')));
    }

    void foldersAsJson()
    {
        const CliRun run = runCli({QStringLiteral("duplicates"), path(QStringLiteral("music/b")),
                                   path(QStringLiteral("music/a")), QStringLiteral("--json"), QStringLiteral("--same-song")});
        // A file was skipped: not a full success, but the groups are there.
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.errText().contains(QStringLiteral("broken.mp3")));
        const QJsonObject result = QJsonDocument::fromJson(run.out).object();
        const QJsonArray copies = result.value(QStringLiteral("copies")).toArray();
        QCOMPARE(copies.size(), 1);
        // The tagged copy is worth keeping; it is listed first.
        const QJsonObject group = copies.first().toObject();
        QCOMPARE(group.value(QStringLiteral("keep")).toString(), path(QStringLiteral("music/a/song.mp3")));
        QCOMPARE(group.value(QStringLiteral("files")).toArray().size(), 2);
        const QJsonArray songs = result.value(QStringLiteral("sameSong")).toArray();
        QCOMPARE(songs.size(), 1);
        QCOMPARE(songs.first().toObject().value(QStringLiteral("files")).toArray().size(), 2);
        QCOMPARE(result.value(QStringLiteral("skipped")).toArray().size(), 1);
    }

    void collectionKeepsFingerprints()
    {
        TMp3Root root;
        for (const char *name : {"music/a/song.mp3", "music/b/copy.mp3", "music/b/live.mp3"}) {
            auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
            track->Title = QStringLiteral("Song");
            track->FilePath = path(QLatin1String(name));
        }
        const QString collection = path(QStringLiteral("songs.tbx"));
        QVERIFY(saveCollection(root, collection).Saved);

        const CliRun first = runCli({QStringLiteral("duplicates"), collection});
        QCOMPARE(first.exitCode, 0);
        QVERIFY(first.outText().startsWith(QStringLiteral("Copies (identical audio): 1 group\n")));
        QVERIFY(first.outText().contains(QStringLiteral("* ") + path(QStringLiteral("music/a/song.mp3"))));
        QVERIFY(!first.outText().contains(QStringLiteral("same song")));
        TFingerprintCache cache;
        QVERIFY(cache.load(TFingerprintCache::PathFor(collection)));
        QCOMPARE(cache.count(), 3);

        const CliRun second = runCli({QStringLiteral("duplicates"), collection});
        QCOMPARE(second.out, first.out);
    }

    void usageErrors()
    {
        QCOMPARE(runCli({QStringLiteral("duplicates")}).exitCode, 2);
        QCOMPARE(runCli({QStringLiteral("duplicates"), path(QStringLiteral("nothing-here"))}).exitCode, 1);
    }
};

QTEST_GUILESS_MAIN(TestCliDuplicates)
#include "tst_cli_duplicates.moc"
