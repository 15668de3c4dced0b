// Inputs the fuzz targets (fuzz/) once failed on, kept here so the normal
// suite holds the fixes: each table row is one such input, reduced, with
// the sound outcome it must now have.
#include "collectionbytes.h"
#include "id3v2builder.h"
#include "scratchfolder.h"
#include "testsupport.h"

#include "core/audio/id3v2tag.h"
#include "core/data/collectionfile.h"
#include "core/data/datalists.h"
#include "core/files/playlistformats.h"
#include "core/mp3model/mp3root.h"

#include <QtTest>

#include <limits>

using testsupport::readFile;

class TestFuzzRegressions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void id3v2KeepsAudio_data();
    void id3v2KeepsAudio();
    void collectionCounters_data();
    void collectionCounters();
    void plsEntries_data();
    void plsEntries();

private:
    ScratchFolder m_scratch;
};

namespace {

constexpr qint32 MaxInt = std::numeric_limits<qint32>::max();

// A format-120 collection with one track, then the stored counters.
QByteArray oneTrackFile(qint32 trackID, qint32 nextID, qint32 nextIndex)
{
    TTrackRecord track;
    track.ID = trackID;
    track.Title = QStringLiteral("Song");
    TCollectionBytes bytes;
    bytes.header(120, 100).list().end().emptyLists(Mp3FileLists::Count).reservedBlock();
    return bytes.list().track(track).end().int32(nextID).int32(nextIndex);
}

QByteArray oldFormatFile(qint32 storedNextID)
{
    TCollectionBytes bytes;
    bytes.header(90, 100).integer(storedNextID).list().end().emptyLists(Mp3FileLists::Count);
    return bytes.reservedBlock().list().end();
}

} // namespace

void TestFuzzRegressions::id3v2KeepsAudio_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QByteArray>("audio");
    QTest::addColumn<bool>("remove");

    // Audio that itself starts like a tag (of an unknown revision).
    const QByteArray tagLike = QByteArray("ID3\x03\xff\xff\xff\x17\x00\x14", 10) + fakeAudio(200);
    const QByteArray unsyncExt =
        Id3v2Builder(3).text("TIT2", QStringLiteral("Title"), 1).unsynchronised().extendedHeader().padding(40).build();
    QTest::newRow("removed before a tag-like start") << unsyncExt << tagLike << true;
    QTest::newRow("rewritten before a tag-like start") << unsyncExt << tagLike << false;
}

// Writing or removing the tag leaves every byte after it as it was.
void TestFuzzRegressions::id3v2KeepsAudio()
{
    QFETCH(QByteArray, tag);
    QFETCH(QByteArray, audio);
    QFETCH(bool, remove);
    const QString path = m_scratch.newFile(tag + audio);
    TID3v2Tag v2;
    QVERIFY(v2.ReadFromFile(path));
    if (remove)
        v2.Enabled = false;
    else
        v2.Title = QStringLiteral("A much longer title \u266a that no longer fits into the old tag");
    QVERIFY2(v2.WriteToFile(path), qPrintable(v2.errorString()));
    const QByteArray after = readFile(path);
    if (remove) {
        QCOMPARE(after, audio);
        return;
    }
    const StoredTagView view = viewTag(after);
    QVERIFY(view.present);
    QCOMPARE(view.audio, audio);
    TID3v2Tag reread;
    QVERIFY(reread.ReadFromFile(path));
    QCOMPARE(reread.Title, v2.Title);
}

void TestFuzzRegressions::collectionCounters_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("recovered");
    QTest::addColumn<int>("tracks");
    QTest::addColumn<int>("nextID");

    // Negative counters handed out identifiers such as -1 ("no item").
    QTest::newRow("negative counter in an old header") << oldFormatFile(-41) << false << 0 << 0;
    QTest::newRow("negative counter at the end") << oneTrackFile(5, -7, 2) << false << 1 << 6;
    // A counter at the top of the range overflowed with the next identifier.
    QTest::newRow("counter at the top") << oneTrackFile(-1, MaxInt, 2) << false << 1 << 0;
    QTest::newRow("counter just above the items") << oneTrackFile(5, 100, 2) << false << 1 << 100;
    // An identifier no writer hands out is damage: reading stops before it.
    QTest::newRow("identifier at the top") << oneTrackFile(MaxInt, 0, 2) << true << 0 << 0;
}

// Whatever counters a file stores, the collection saves, and new
// identifiers are unique, never negative, and do not overflow.
void TestFuzzRegressions::collectionCounters()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, recovered);
    QFETCH(int, tracks);
    QFETCH(int, nextID);
    const QString path = m_scratch.path(QStringLiteral("damaged.tbx"));
    QVERIFY(testsupport::writeFile(path, bytes));
    TMp3Root root;
    const TCollectionLoadResult loaded = loadCollection(root, path);
    QVERIFY(loaded.opened());
    QCOMPARE(loaded.Recovered, recovered);
    QCOMPARE(root.Items->Count(), tracks);
    QCOMPARE(root.NextID, nextID);

    const QString savedPath = m_scratch.path(QStringLiteral("saved.tbx"));
    QVERIFY(saveCollection(root, savedPath).Saved);
    TMp3Root reread;
    const TCollectionLoadResult again = loadCollection(reread, savedPath);
    QVERIFY(again.opened() && !again.Recovered);
    QCOMPARE(reread.Items->Count(), tracks);
    QCOMPARE(reread.NextID, root.NextID);
    for (int i = 0; i < reread.Items->Count(); ++i)
        QVERIFY(reread.Items->Get(i)->ID >= 0 && reread.Items->Get(i)->ID < reread.NextID);
}

void TestFuzzRegressions::plsEntries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("files");

    // A damaged count made the reader build millions of empty entries.
    QTest::newRow("count far beyond the entries")
        << QByteArray("[playlist]\nNumberOfEntries=99999999\nFile1=a.mp3\n") << QStringList{"a.mp3"};
    QTest::newRow("largest count") << QByteArray("[playlist]\nNumberOfEntries=2147483647\n") << QStringList{};
    // Entries up to the last one with any key stay, empty ones included.
    QTest::newRow("gap and title only")
        << QByteArray("[playlist]\nNumberOfEntries=9\nFile1=a.mp3\ntitle3=Three\n")
        << QStringList{"a.mp3", "", ""};
    QTest::newRow("count below the entries")
        << QByteArray("[playlist]\nNumberOfEntries=1\nFile1=a.mp3\nFile2=b.mp3\n") << QStringList{"a.mp3"};
}

void TestFuzzRegressions::plsEntries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, files);
    const QString path = m_scratch.path(QStringLiteral("list.pls"));
    QVERIFY(testsupport::writeFile(path, bytes));
    TPlayListRecords records;
    QString error;
    QVERIFY(readPlsFile(path, records, error));
    QStringList read;
    for (const TPlayListRecord &record : records)
        read.append(record.FileName);
    QCOMPARE(read, files);
    QCOMPARE(readFile(path), bytes);  // reading never rewrites the file
}

QTEST_APPLESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
