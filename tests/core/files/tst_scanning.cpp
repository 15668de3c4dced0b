#include "core/audio/id3v2tag.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/files/parallelread.h"
#include "core/files/scanindex.h"
#include "core/files/sparsefiledevice.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include "id3v2builder.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <sys/stat.h>
#include <sys/time.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace {

QByteArray picture(int size)
{
    return QByteArray(1, '\0') + "image/jpeg" + '\0' + char(3) + '\0' + mp3::randomBytes(size, 5);
}

QByteArray songBytes(const QString &title, const QString &artist, int pictureBytes = 0)
{
    Id3v2Builder tag(3);
    tag.text("TIT2", title);
    if (pictureBytes > 0)
        tag.frame("APIC", picture(pictureBytes));
    tag.text("TPE1", artist).padding(32);
    mp3::Id3v1 v1;
    v1.title = title.toLatin1();
    return tag.build() + mp3::Frame().stream(30) + v1.bytes();
}

// Sets the modification time of a file (ms since the epoch).
bool setModified(const QString &path, qint64 ms)
{
    const struct timeval times[2] = {{time_t(ms / 1000), suseconds_t(ms % 1000 * 1000)},
                                     {time_t(ms / 1000), suseconds_t(ms % 1000 * 1000)}};
    return ::utimes(QFile::encodeName(path).constData(), times) == 0;
}

struct TrackView {
    QString path;
    QString title;
    QString artist;
    qint32 size;
    qint32 index;
    bool operator==(const TrackView &) const = default;
};

QList<TrackView> tracksOf(const TMp3Root &root)
{
    QList<TrackView> tracks;
    for (int i = 0; i < root.GetTracks()->Count(); ++i) {
        const TMp3Track *t = root.GetTracks()->Get(i);
        tracks.append({t->FilePath, t->Title, t->Artist ? t->Artist->DisplayName : QString(), t->Size, t->Index});
    }
    return tracks;
}

} // namespace

class TestScanning : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString p = path(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        if (!testsupport::writeFile(p, bytes))
            qFatal("cannot write fixture");
        return p;
    }
    // Folders of songs with a few oddities: a file that is no MP3 at all,
    // a big picture, nested folders, a folder without MP3 files.
    void writeTree()
    {
        for (int a = 0; a < 3; ++a)
            for (int s = 0; s < 7; ++s)
                write(QStringLiteral("music/Artist %1/Album/%2 - Song.mp3").arg(a).arg(s),
                      songBytes(QStringLiteral("Song %1.%2").arg(a).arg(s), QStringLiteral("Artist %1").arg(a),
                                s == 3 ? 200'000 : 0));
        write(QStringLiteral("music/Artist 1/loose.mp3"), songBytes(QStringLiteral("Loose"), QString()));
        write(QStringLiteral("music/Artist 2/empty.mp3"), QByteArray());
        write(QStringLiteral("music/Notes/readme.txt"), "text");
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void handsOverInOrder_data();
    void handsOverInOrder();
    void cancelStopsReading();
    void throwingHandOverStopsWorkers();
    void idleWhileWaiting();
    void sameCollectionOnAnyThreadCount();
    void readsOnlyWhatItNeeds_data();
    void readsOnlyWhatItNeeds();
    void walksOnlyVariableStreamsWithoutCount_data();
    void walksOnlyVariableStreamsWithoutCount();
    void onlyRegularFilesOpen();
    void rescanPassesOverUnchangedFiles();
    void scanIndexRoundTrip();
    void damagedScanIndexIsIgnored_data();
    void damagedScanIndexIsIgnored();
};

void TestScanning::handsOverInOrder_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("on the calling thread") << 1;
    QTest::newRow("2 threads") << 2;
    QTest::newRow("5 threads") << 5;
}

void TestScanning::handsOverInOrder()
{
    QFETCH(int, threads);
    constexpr int Count = 60;
    std::vector<int> readBy(Count, 0);
    QList<int> order;
    QList<bool> results;
    TParallelRead reading;
    reading.threads = threads;
    reading.read = [&](int i) {
        // Later items often finish first.
        if (i % 7 == 0)
            QThread::usleep(3000);
        ++readBy[size_t(i)];
        if (i == 13)
            throw std::runtime_error("damaged");
        return i % 5 != 0;
    };
    reading.handOver = [&](int i, bool ok) {
        QCOMPARE(QThread::currentThread(), thread());
        order.append(i);
        results.append(ok);
    };
    QCOMPARE(reading.run(Count), Count);
    QCOMPARE(order.size(), Count);
    for (int i = 0; i < Count; ++i) {
        QCOMPARE(order.at(i), i);
        QCOMPARE(results.at(i), i % 5 != 0 && i != 13);
        QCOMPARE(readBy[size_t(i)], 1);
    }
}

void TestScanning::cancelStopsReading()
{
    for (const int threads : {1, 3}) {
        std::atomic<bool> cancelled = false;
        std::atomic<int> handedSoFar = 0;
        std::atomic<int> furthestAhead = 0;
        std::atomic<int> startedAfterCancel = 0;
        int handed = 0;
        TParallelRead reading;
        reading.threads = threads;
        reading.read = [&](int i) {
            if (cancelled)
                ++startedAfterCancel;
            int ahead = i - handedSoFar;
            for (int seen = furthestAhead; ahead > seen && !furthestAhead.compare_exchange_weak(seen, ahead);)
                ;
            QThread::usleep(500);
            return true;
        };
        reading.cancelled = [&] { return cancelled.load(); };
        reading.handOver = [&](int, bool) {
            ++handedSoFar;
            if (++handed == 10)
                cancelled = true;
        };
        QCOMPARE(reading.run(1000), 10);
        QCOMPARE(handed, 10);
        // However slowly the hand-over goes, the workers stay within their
        // read-ahead, and no read starts after the cancel but the ones
        // already past their check (one per thread at most).
        QVERIFY2(furthestAhead < TParallelRead::ReadAhead(threads), qPrintable(QString::number(furthestAhead)));
        QVERIFY2(startedAfterCancel <= threads, qPrintable(QString::number(startedAfterCancel)));
    }
}

// A hand-over that throws ends the run with its exception; the workers
// stop instead of waiting for room for ever.
void TestScanning::throwingHandOverStopsWorkers()
{
    std::atomic<int> reads = 0;
    TParallelRead reading;
    reading.threads = 2;
    reading.read = [&](int) {
        ++reads;
        return true;
    };
    reading.handOver = [](int i, bool) {
        if (i == 3)
            throw std::runtime_error("consumer failed");
    };
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, reading.run(1000));
    QVERIFY2(reads <= 4 + TParallelRead::ReadAhead(2), qPrintable(QString::number(reads)));
}

void TestScanning::idleWhileWaiting()
{
    int idleCalls = 0;
    TParallelRead reading;
    reading.threads = 2;
    reading.read = [](int) {
        QThread::msleep(300);
        return true;
    };
    reading.idle = [&] {
        QCOMPARE(QThread::currentThread(), thread());
        ++idleCalls;
    };
    reading.handOver = [](int, bool) {};
    QCOMPARE(reading.run(1), 1);
    QVERIFY2(idleCalls >= 2, qPrintable(QString::number(idleCalls)));
}

void TestScanning::sameCollectionOnAnyThreadCount()
{
    writeTree();
    QList<TrackView> expected;
    QStringList expectedFailed;
    for (const int threads : {1, 2, 4}) {
        TMP3Process process;
        process.Threads = threads;
        TMP3Folder folder;
        folder.SetPath(path(QStringLiteral("music")));
        process.ReadFolder(&folder, true, false);
        QCOMPARE(process.Reading().FilesRead, 23);
        QVERIFY(folder.IsRead && folder.IsReadRecursive);

        TMp3Root root;
        process.Collection = &root;
        TMp3FileItemList files;
        folder.CollectFiles(files, true);
        files.SetInfoSources(false, true, true, true, true);
        const TAddFilesResult added = process.AddFiles(files, nullptr);
        const QList<TrackView> tracks = tracksOf(root);
        QCOMPARE(tracks.size(), 23);
        if (threads == 1) {
            expected = tracks;
            expectedFailed = added.FailedFiles;
            QCOMPARE(tracks.first().title, QStringLiteral("Song 0.0"));
            QCOMPARE(tracks.at(3).artist, QStringLiteral("Artist 0"));
            continue;
        }
        QCOMPARE(tracks, expected);
        QCOMPARE(added.FailedFiles, expectedFailed);
    }
}

void TestScanning::readsOnlyWhatItNeeds_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("unsynchronised");
    QTest::addColumn<qint64>("maxBytes");
    QTest::newRow("v2.2") << 2 << false << qint64(16'384);
    QTest::newRow("v2.3") << 3 << false << qint64(16'384);
    QTest::newRow("v2.4") << 4 << false << qint64(16'384);
    QTest::newRow("v2.4 frames unsynchronised") << 4 << true << qint64(16'384);
    // Unsynchronised as a whole: the frames cannot be found without it.
    QTest::newRow("v2.3 unsynchronised") << 3 << true << qint64(2'000'000);
}

void TestScanning::readsOnlyWhatItNeeds()
{
    QFETCH(int, version);
    QFETCH(bool, unsynchronised);
    QFETCH(qint64, maxBytes);
    const bool v22 = version == 2;
    Id3v2Builder tag(version);
    tag.text(v22 ? "TT2" : "TIT2", QStringLiteral("Before"));
    tag.frame(v22 ? "PIC" : "APIC", v22 ? QByteArray(1, '\0') + "JPG" + char(3) + '\0' + mp3::randomBytes(1'000'000, 2)
                                        : picture(1'000'000));
    tag.frame(v22 ? "GEO" : "GEOB", mp3::randomBytes(300'000, 3));
    tag.text(v22 ? "TP1" : "TPE1", QStringLiteral("After"));
    if (unsynchronised)
        tag.unsynchronised();
    mp3::Frame frame;
    const QByteArray tagBytes = tag.padding(100).build();
    const QString file = write(QStringLiteral("big.mp3"),
                               tagBytes + mp3::xingFrame(frame, 5000u, 5000u * 417u) + frame.stream(2500)
                                   + mp3::Id3v1{"V1 Title", {}, {}, {}, {}, 1, 12}.bytes());

    TSparseFileDevice device;
    QVERIFY(device.openFile(file));
    TID3v2Tag v2;
    QVERIFY(v2.readFromDevice(device));
    QCOMPARE(v2.Title, QStringLiteral("Before"));
    QCOMPARE(v2.Artist, QStringLiteral("After"));
    QVERIFY2(device.bytesFetched() < maxBytes, qPrintable(QString::number(device.bytesFetched())));

    TMP3File mp3(file);
    QVERIFY(mp3.ReadInfo({}));
    QCOMPARE(mp3.ID3v2.Artist, QStringLiteral("After"));
    QCOMPARE(mp3.ID3v1.Title, QStringLiteral("V1 Title"));
    QCOMPARE(mp3.MpegInfo.HeaderPosition, qint64(tagBytes.size()));
    QCOMPARE(mp3.MpegInfo.Frames, qint64(5000));
    QVERIFY(mp3.MpegInfo.VBR);
    QCOMPARE(mp3.FileSize, QFileInfo(file).size());
    QCOMPARE(mp3.ModifiedTime, QFileInfo(file).lastModified().toMSecsSinceEpoch());
}

// Only a variable stream without a usable frame count is read through (and
// then only once); a constant one keeps to the first frames and the end.
void TestScanning::walksOnlyVariableStreamsWithoutCount_data()
{
    QTest::addColumn<bool>("variable");
    QTest::addColumn<bool>("xing");
    QTest::newRow("vbr without header") << true << false;
    QTest::newRow("vbr with xing byte count only") << true << true;
    QTest::newRow("cbr without header") << false << false;
}

void TestScanning::walksOnlyVariableStreamsWithoutCount()
{
    QFETCH(bool, variable);
    QFETCH(bool, xing);
    constexpr int FrameCount = 6000;  // about 2.5 MB
    mp3::Frame frame;
    QByteArray audio;
    if (variable) {
        const int rates[] = {128, 160, 192, 112, 256};
        for (int i = 0; i < FrameCount; ++i) {
            frame.bitrate = rates[i % 5];
            audio += frame.bytes();
        }
    } else {
        audio = frame.stream(FrameCount);
    }
    if (xing)
        audio.prepend(mp3::xingFrame(frame, std::nullopt, quint32(audio.size())));
    const QByteArray tagBytes = Id3v2Builder(3).text("TIT2", QStringLiteral("Walked")).padding(100).build();
    const QString file = write(QStringLiteral("stream.mp3"), tagBytes + audio + mp3::Id3v1{}.bytes());

    TSparseFileDevice device;
    QVERIFY(device.openFile(file));
    TMpegInfo info;
    info.readFromDevice(device, audio.size());
    QCOMPARE(info.Frames, qint64(FrameCount));
    QCOMPARE(info.VBR, variable);
    const qint64 size = QFileInfo(file).size();
    if (variable)
        QVERIFY2(device.bytesFetched() < size + 32 * 1024, qPrintable(QString::number(device.bytesFetched())));
    else
        QVERIFY2(device.bytesFetched() < 32 * 1024, qPrintable(QString::number(device.bytesFetched())));

    TMP3File mp3(file);
    QVERIFY(mp3.ReadInfo({}));
    QCOMPARE(mp3.MpegInfo.Frames, qint64(FrameCount));
    QCOMPARE(mp3.MpegInfo.Length, int(qint64(FrameCount) * 1152 / 44100));
}

void TestScanning::onlyRegularFilesOpen()
{
    // A FIFO must not block the scan, a folder is no file.
    const QString fifo = path(QStringLiteral("pipe.mp3"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(QDir().mkpath(path(QStringLiteral("folder.mp3"))));
    for (const QString &name : {QStringLiteral("pipe.mp3"), QStringLiteral("folder.mp3"), QStringLiteral("gone.mp3")}) {
        TSparseFileDevice device;
        QVERIFY(!device.openFile(path(name)));
        QVERIFY(!device.isOpen());
        TMP3File file(path(name));
        file.FileSize = 77;
        QVERIFY(!file.ReadInfo({}));
        QCOMPARE(file.FileSize, qint64(77));
    }
    const QString empty = write(QStringLiteral("empty.mp3"), QByteArray());
    TSparseFileDevice device;
    QVERIFY(device.openFile(empty));
    QCOMPARE(device.read(10), QByteArray());
    QVERIFY(!device.readFailed());
}

void TestScanning::rescanPassesOverUnchangedFiles()
{
    const QString same = write(QStringLiteral("music/same.mp3"), songBytes(QStringLiteral("Same"), {}));
    const QString grown = write(QStringLiteral("music/grown.mp3"), songBytes(QStringLiteral("Grown"), {}));
    const QString touched = write(QStringLiteral("music/touched.mp3"), songBytes(QStringLiteral("Touched"), {}));
    const QString added = path(QStringLiteral("music/added.mp3"));
    for (const QString &file : {same, grown, touched})
        QVERIFY(setModified(file, 1'600'000'000'123));

    TMp3Root root;
    TMP3Process process;
    process.Collection = &root;
    TMP3Folder first;
    first.SetPath(path(QStringLiteral("music")));
    process.ReadFolder(&first, true, false);
    TMp3FileItemList files;
    first.CollectFiles(files, true);
    process.AddFiles(files, nullptr);
    QCOMPARE(root.GetTracks()->Count(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(root.GetTracks()->Get(i)->FileModified, qint64(1'600'000'000'123));

    // One file grows (same time), one is touched (same size), one is new.
    QVERIFY(testsupport::writeFile(grown, songBytes(QStringLiteral("Grown again"), QStringLiteral("X"))));
    QVERIFY(setModified(grown, 1'600'000'000'123));
    QVERIFY(setModified(touched, 1'600'000'009'000));
    QVERIFY(testsupport::writeFile(added, songBytes(QStringLiteral("Added"), {})));

    const TFileStates known = FileStatesOfTracks(root);
    process.KnownFiles = &known;
    TMP3Folder second;
    second.SetPath(path(QStringLiteral("music")));
    const TReadFolderResult read = process.ReadFolder(&second, true, false);
    QCOMPARE(read.FilesRead, 4);
    QCOMPARE(read.FilesUnchanged, 1);
    TMp3FileItemList again;
    second.CollectFiles(again, true);
    QCOMPARE(again.Count(), 4);
    for (int i = 0; i < again.Count(); ++i) {
        const auto *file = static_cast<const TMP3File *>(again.item(i));
        QCOMPARE(file->Unchanged, file->Path == same);
        QCOMPARE(file->ID3v2.Exists, file->Path != same);
        QCOMPARE(file->FileSize, QFileInfo(file->Path).size());
    }
}

void TestScanning::scanIndexRoundTrip()
{
    const QString collection = path(QStringLiteral("songs.tbx"));
    TMp3Root root;
    const auto addTrack = [&](TMp3Root &r, const QString &file, qint32 size, qint64 modified) {
        auto *track = static_cast<TMp3Track *>(r.GetTracks()->CreateItem());
        track->FilePath = file;
        track->Size = size;
        track->FileModified = modified;
    };
    addTrack(root, QStringLiteral("/music/a.mp3"), 100, 1'000'001);
    addTrack(root, QStringLiteral("/music/tab\there.mp3"), 200, 2'000'002);
    addTrack(root, QStringLiteral("/music/unknown.mp3"), 300, 0);
    addTrack(root, QStringLiteral("/music/resized.mp3"), 400, 4'000'004);
    QVERIFY(SaveScanIndex(root, collection));
    QVERIFY(QFileInfo::exists(collection + QStringLiteral("-index")));

    TMp3Root reopened;
    addTrack(reopened, QStringLiteral("/music/a.mp3"), 100, 0);
    addTrack(reopened, QStringLiteral("/music/tab\there.mp3"), 200, 0);
    addTrack(reopened, QStringLiteral("/music/unknown.mp3"), 300, 0);
    addTrack(reopened, QStringLiteral("/music/resized.mp3"), 401, 0);  // changed since
    addTrack(reopened, QStringLiteral("/music/new.mp3"), 500, 0);
    QCOMPARE(LoadScanIndex(reopened, collection), 2);
    const TMp3TrackList &tracks = *reopened.GetTracks();
    QCOMPARE(tracks.Get(0)->FileModified, qint64(1'000'001));
    QCOMPARE(tracks.Get(1)->FileModified, qint64(2'000'002));
    QCOMPARE(tracks.Get(2)->FileModified, qint64(0));
    QCOMPARE(tracks.Get(3)->FileModified, qint64(0));
    QCOMPARE(tracks.Get(4)->FileModified, qint64(0));
    QCOMPARE(FileStatesOfTracks(reopened).count(), 2);
}

void TestScanning::damagedScanIndexIsIgnored_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("other format") << QByteArray("Tunebase scan index 9\n5\t100\t/music/a.mp3\n");
    QTest::newRow("bad number") << QByteArray("Tunebase scan index 1\n5x\t100\t/music/a.mp3\n");
    QTest::newRow("cut short") << QByteArray("Tunebase scan index 1\n5\t100\t/music/a.mp3\n7\t10");
    QTest::newRow("binary") << mp3::randomBytes(4000, 9);
}

void TestScanning::damagedScanIndexIsIgnored()
{
    QFETCH(QByteArray, index);
    const QString collection = path(QStringLiteral("songs.tbx"));
    if (!index.isEmpty())
        QVERIFY(testsupport::writeFile(collection + QStringLiteral("-index"), index));
    TMp3Root root;
    auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
    track->FilePath = QStringLiteral("/music/a.mp3");
    track->Size = 100;
    QCOMPARE(LoadScanIndex(root, collection), 0);
    QCOMPARE(track->FileModified, qint64(0));
}

QTEST_GUILESS_MAIN(TestScanning)
#include "tst_scanning.moc"
