// Whole collection files: the exact bytes of a new collection, round trips,
// every older format, damaged and foreign files, and saves that fail.

#include "collectionbytes.h"
#include "testsupport.h"

#include "core/data/collectionfile.h"
#include "core/data/datastream.h"
#include "core/data/fieldlists.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/base/desktopservices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

// Records the messages of opening and saving, telling errors from plain
// messages.
class TMessageLog : public TDesktopServices {
public:
    TMessageLog() { SetDesktopServices(this); }
    ~TMessageLog() override { SetDesktopServices(nullptr); }

    bool RunProgram(const QString &, const QString &, const QString &, TShowMode) override { return false; }
    bool BrowseForFolder(const QString &, const QString &, QString &, QObject *) override { return false; }
    void ShowInfo(const QString &text) override { infos << text; }
    void ShowError(const QString &text) override { errors << text; }
    TAnswer AskYesNo(const QString &) override { return TAnswer::No; }
    TAnswer AskYesNoCancel(const QString &) override { return TAnswer::Cancel; }
    void SetBusyCursor() override { ++busy; }
    void ResetCursor() override { --busy; }

    QStringList infos;
    QStringList errors;
    int busy = 0;
};

// Fails like a full disk once limit bytes have been written.
class TFullDiskWriter : public TDataWriter {
public:
    TFullDiskWriter(QIODevice &device, qint64 limit)
        : TDataWriter(device)
        , m_left(limit)
    {
    }

protected:
    bool writeToDevice(const QByteArray &bytes) override
    {
        if (bytes.size() > m_left) {
            TDataWriter::writeToDevice(bytes.left(m_left));
            m_left = 0;
            return false;
        }
        m_left -= bytes.size();
        return TDataWriter::writeToDevice(bytes);
    }

private:
    qint64 m_left;
};

const QString olderVersionText = QStringLiteral(
    "was created with an older version of Tunebase.\r\nChoose \"File | Save\" from the menu to save the "
    "converted collection to a NEW file.\r\n(NOTE: The converted collection can NOT be opened in older "
    "versions of Tunebase)");

QString recoveredText(const QString &path, int count)
{
    return QStringLiteral("Error reading from file %1.\r\n%2 items have been recovered from the corrupted "
                          "file.\r\nChoose \"File | Save\" from the menu to save the %2 remaining items as a "
                          "new file.")
        .arg(path)
        .arg(count);
}

// The default entries of a new collection's lists, in list order.
const QStringList defaultTempos{"Fast", "Moderate", "None", "Pretty Fast", "Pretty Slow", "Slow"};
const QStringList defaultMoods{"Comatose", "Mellow", "Morose", "None", "Tranquil", "Upbeat", "Wild"};
const QStringList defaultSituations{"Any",  "Background", "Dance", "Dinner",   "Drunken Brawl",
                                    "None", "Party",      "Rave",  "Romantic", "Seasonal"};
const QStringList defaultPreferences{"Bad Taste", "Excellent", "Fair", "Good", "None", "Poor", "Very Good"};

// A file with empty lookup lists and the given tracks (format 120).
TCollectionBytes fileWithTracks(const QList<TTrackRecord> &tracks, const QByteArray &lists = {})
{
    TCollectionBytes bytes;
    bytes.header(120, 100).list().end();
    if (lists.isEmpty())
        bytes.emptyLists(Mp3FileLists::Count);
    else
        bytes.bytes(lists);
    bytes.reservedBlock().list();
    for (const TTrackRecord &track : tracks)
        bytes.track(track);
    return bytes.end();
}

// Lookup lists with one artist (id 10), one genre (11), one location (12),
// the others empty.
QByteArray someLookups()
{
    TCollectionBytes bytes;
    bytes.list()
        .integer(10).integer(1)
        .scrambled(QStringLiteral("Anna Kestrel")).scrambled(QStringLiteral("Kestrel"))
        .scrambled({}).scrambled(QStringLiteral("Anna"))
        .end();
    bytes.emptyLists(4);
    bytes.list().integer(11).integer(1).scrambled(QStringLiteral("Pop")).end();
    bytes.emptyLists(7);
    bytes.list()
        .integer(12).integer(1)
        .scrambled(QStringLiteral("Music")).scrambled(QStringLiteral("Music")).scrambled({})
        .integer(3).scrambled(QStringLiteral("data"))
        .end();
    bytes.emptyLists(1);
    return bytes;
}

TTrackRecord trackRecord(qint32 id, qint32 index, const QString &title)
{
    TTrackRecord track;
    track.ID = id;
    track.Index = index;
    track.Title = title;
    track.FilePath = QStringLiteral("/music/") + title + QStringLiteral(".mp3");
    return track;
}

} // namespace

class TestCollectionFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void newCollectionBytes();
    void filledCollectionBytes();
    void roundTripKeepsEverything();
    void savingTwiceWritesTheSameBytes();
    void savingAssignsIdentifiers();
    void olderFormats_data();
    void olderFormats();
    void foreignFiles_data();
    void foreignFiles();
    void missingFileOpensNothingQuietly();
    void cutInsideTheTrackList();
    void damageKeepsIdentifiersUnique();
    void storedCounterNeverLowersTheIdentifiers();
    void unknownReferencesAreEmpty();
    void reservedBlockIsSkipped();
    void outOfRangeValuesShowAsUnknown();
    void olderDataVersionIsConverted();
    void newerOrLongerFilesOpenReadOnly_data();
    void newerOrLongerFilesOpenReadOnly();
    void listsAreSortedAsReadersExpectOnLoad();
    void failedSaveKeepsTheOldFile();
    void failedSaveReportsThroughSaveToFile();
    void saveKeepsPermissions();
    void importOfAForeignFileChangesNothing();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QByteArray saved(TMp3Root &root, const QString &name);
    // A collection with tracks, names and custom field names.
    void fill(TMp3Root &root);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCollectionFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QByteArray TestCollectionFile::saved(TMp3Root &root, const QString &name)
{
    const QString file = path(name);
    const TCollectionSaveResult result = saveCollection(root, file);
    if (!result.Saved)
        qWarning() << result.Message;
    return readFile(file);
}

void TestCollectionFile::fill(TMp3Root &root)
{
    using namespace Mp3FieldIds;
    auto *artist = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("Anna Kestrel")));
    artist->GenerateNamePartsFromName();
    auto *band = static_cast<TPersonLookupItem *>(root.Composers->AddNew(QStringLiteral("The Lanterns")));
    band->GenerateNamePartsFromName();
    TLookupItem *pop = root.GenreList->AddNew(QStringLiteral("Pop"));
    TLookupItem *rock = root.GenreList->AddNew(QStringLiteral("Rock"));
    auto *album = static_cast<TAlbumLookupItem *>(root.Albums->AddNew(QStringLiteral("Night \u00c9t\u00e9")));
    auto *location = static_cast<TLocationLookupItem *>(root.Locations->AddNew(QStringLiteral("Music")));
    location->DriveType = 4;
    location->DriveLabel = QStringLiteral("srv/share");
    root.Fields->FindByID(Title)->CustomName = QStringLiteral("Song");

    auto *first = static_cast<TMp3Track *>(root.Items->CreateItem());
    first->Index = 1;
    first->Title = QStringLiteral("Lovesong \u266a");
    first->TitleSort = QStringLiteral("Lovesong");
    first->SubTitle = QStringLiteral("Live");
    first->Artist = artist;
    first->Composer = band;
    first->Album = album;
    first->Year = root.Years->FindByName(QStringLiteral("1999"));
    first->Mood = root.Moods->FindByName(QStringLiteral("Mellow"));
    first->Genres->Add(rock);
    first->Genres->Add(pop);
    first->Notes = QString(400, u'n');
    first->Lyrics = QStringLiteral("line 1\r\nline 2");
    first->TrackIndex = 3;
    first->DiskIndex = 1;
    first->BPM = 120;
    first->Location = location;
    first->FilePath = QStringLiteral("/srv/share/Anna Kestrel/Lovesong.mp3");
    first->Size = 5'000'000;
    first->Length = 245;
    first->MpegVersion = 0;
    first->Layer = 3;
    first->Mode = 1;
    first->Bitrate = 192;
    first->Frames = 9380;
    first->HeaderPosition = 4096;
    first->SampleRate = 44100;
    first->VBR = true;
    first->Original = true;
    first->Emphasis = 1;

    auto *second = static_cast<TMp3Track *>(root.Items->CreateItem());
    second->Index = 2;
    second->Title = QStringLiteral("Intro");
    root.NextIndex = 3;
}

void TestCollectionFile::newCollectionBytes()
{
    TMp3Root root;
    TCollectionBytes expected;
    expected.header(120, 100).list().end();
    expected.emptyLists(8);
    qint32 id = 0;
    expected.list();
    for (int year = 1950; year <= 2005; ++year)
        expected.integer(id++).integer(0).scrambled(QString::number(year));
    expected.end();
    for (const QStringList *names : {&defaultTempos, &defaultMoods, &defaultSituations, &defaultPreferences}) {
        expected.list();
        for (const QString &name : *names)
            expected.integer(id++).integer(0).scrambled(name);
        expected.end();
    }
    expected.emptyLists(2);
    expected.reservedBlock().list().end().integer(86).integer(1);

    QCOMPARE(saved(root, QStringLiteral("new.tbx")), expected.data());
    QCOMPARE(root.NextID, 86);
    QCOMPARE(root.FileName, path(QStringLiteral("new.tbx")));
}

void TestCollectionFile::filledCollectionBytes()
{
    // Every kind of record and value, written value by value by hand: the
    // writer must produce exactly these bytes.
    TMp3Root root;
    fill(root);
    auto *last = static_cast<TMp3Track *>(root.Items->CreateItem());
    last->Index = 3;
    last->Title = QStringLiteral("Caf\u00e9 \U0001f3b5 ") + QString(90, QChar(0x20ac));
    last->EncodedBy = QString(QChar(0xd800)) + QStringLiteral("LAME");
    last->FilePath = QString(250, u'p') + QStringLiteral("\u00e9\u00e9\u00e9.mp3");
    last->Size = -70000;
    last->Bitrate = 32767;
    root.NextIndex = 4;
    const QByteArray bytes = saved(root, QStringLiteral("filled.tbx"));

    const auto id = [](const TDataItem *item) { return item ? item->ID : -1; };
    TCollectionBytes expected;
    expected.header(120, 100);
    expected.list().integer(Mp3FieldIds::Title).scrambled(QStringLiteral("Song")).end();
    for (TLookupList *list : root.lookupLists()) {
        expected.list();
        for (int i = 0; i < list->Count(); ++i) {
            const TLookupItem *item = list->Get(i);
            expected.integer(item->ID).integer(item->Index).scrambled(item->DisplayName);
            if (const auto *sorted = dynamic_cast<const TSortLookupItem *>(item))
                expected.scrambled(sorted->LastName).scrambled(sorted->The);
            if (const auto *person = dynamic_cast<const TPersonLookupItem *>(item))
                expected.scrambled(person->FirstName);
            if (const auto *location = dynamic_cast<const TLocationLookupItem *>(item))
                expected.integer(location->DriveType).scrambled(location->DriveLabel);
        }
        expected.end();
    }
    expected.reservedBlock().list();
    for (int i = 0; i < root.Items->Count(); ++i) {
        const auto *track = static_cast<const TMp3Track *>(root.Items->Get(i));
        TTrackRecord record;
        record.ID = track->ID;
        record.Index = track->Index;
        record.Title = track->Title;
        record.TitleSort = track->TitleSort;
        record.TitleThe = track->TitleThe;
        record.SubTitle = track->SubTitle;
        record.References = {id(track->Artist), id(track->OriginalArtist), id(track->Lyricist), id(track->Conductor),
                             id(track->Composer), id(track->Album), id(track->Year), id(track->Tempo), id(track->Mood),
                             id(track->Situation), id(track->Preference), id(track->Label), id(track->Orchestra)};
        for (const TDataItem *genre : *track->Genres)
            record.Genres << genre->ID;
        record.Texts = {track->Notes, track->Biography, track->Lyrics, track->EncodedBy, track->CopyrightBy,
                        track->AudioURL, track->ArtistURL, track->GeneralURL};
        record.TrackIndex = track->TrackIndex;
        record.DiskIndex = track->DiskIndex;
        record.BPM = track->BPM;
        record.LocationID = id(track->Location);
        record.FilePath = track->FilePath;
        record.Size = track->Size;
        record.Length = track->Length;
        record.MpegVersion = track->MpegVersion;
        record.Layer = track->Layer;
        record.Mode = track->Mode;
        record.Bitrate = track->Bitrate;
        record.Frames = track->Frames;
        record.HeaderPosition = track->HeaderPosition;
        record.SampleRate = track->SampleRate;
        record.VBR = track->VBR;
        record.CRCs = track->CRCs;
        record.Copyrighted = track->Copyrighted;
        record.Original = track->Original;
        record.Emphasis = track->Emphasis;
        expected.track(record);
    }
    expected.end().integer(root.NextID).integer(4);
    QCOMPARE(bytes.toHex(), expected.data().toHex());
    // The identifiers are handed out in file order, lookups first.
    QCOMPARE(root.Artists->Get(0)->ID, 0);
    QCOMPARE(root.Items->Get(2)->ID, 94);
    // And the file reads back to the same bytes.
    TMp3Root loaded;
    QVERIFY(loadCollection(loaded, path(QStringLiteral("filled.tbx"))).opened());
    QCOMPARE(static_cast<TMp3Track *>(loaded.Items->Get(2))->EncodedBy, QStringLiteral("?LAME"));
    QCOMPARE(saved(loaded, QStringLiteral("again.tbx")), bytes);
}

void TestCollectionFile::roundTripKeepsEverything()
{
    TMp3Root original;
    fill(original);
    saved(original, QStringLiteral("full.tbx"));

    TMp3Root root;
    TMessageLog log;
    QVERIFY(root.LoadFromFile(path(QStringLiteral("full.tbx"))));
    QVERIFY(log.infos.isEmpty() && log.errors.isEmpty());
    QCOMPARE(log.busy, 0);
    QCOMPARE(root.FileName, path(QStringLiteral("full.tbx")));
    QCOMPARE(root.NextID, original.NextID);
    QCOMPARE(root.NextIndex, 3);
    QCOMPARE(root.Fields->FindByID(Mp3FieldIds::Title)->CustomName, QStringLiteral("Song"));
    QCOMPARE(root.Items->Count(), 2);
    const auto *track = static_cast<TMp3Track *>(root.Items->Get(0));
    const auto *before = static_cast<TMp3Track *>(original.Items->Get(0));
    QCOMPARE(track->ID, before->ID);
    QCOMPARE(track->Title, before->Title);
    QCOMPARE(track->Artist->DisplayName, QStringLiteral("Anna Kestrel"));
    QCOMPARE(track->Artist->FirstName, QStringLiteral("Anna"));
    QCOMPARE(track->Composer->The, QStringLiteral("The"));
    QCOMPARE(track->Album->DisplayName, QStringLiteral("Night \u00c9t\u00e9"));
    QCOMPARE(track->Genres->GetText(), QStringLiteral("Rock; Pop"));
    QCOMPARE(track->Location->DriveType, quint8(4));
    QCOMPARE(track->Location->DriveLabel, QStringLiteral("srv/share"));
    QCOMPARE(track->Year->DisplayName, QStringLiteral("1999"));
    // Every member survives; IsEqual compares lookups by identity, so the
    // clone is compared member by member through a save of the loaded root.
    QCOMPARE(track->Notes, before->Notes);
    QCOMPARE(track->Lyrics, before->Lyrics);
    QCOMPARE(track->VBR, true);
    QCOMPARE(track->Original, true);
    QCOMPARE(track->CRCs, false);
    QCOMPARE(track->Emphasis, quint8(1));
    QCOMPARE(track->HeaderPosition, 4096);
    QCOMPARE(saved(root, QStringLiteral("again.tbx")), readFile(path(QStringLiteral("full.tbx"))));
}

void TestCollectionFile::savingTwiceWritesTheSameBytes()
{
    TMp3Root root;
    fill(root);
    const QByteArray first = saved(root, QStringLiteral("a.tbx"));
    const QByteArray second = saved(root, QStringLiteral("a.tbx"));
    QVERIFY(!first.isEmpty());
    QCOMPARE(second, first);
}

void TestCollectionFile::savingAssignsIdentifiers()
{
    TMp3Root root;
    root.NextID = 100;
    // Nothing has asked for identifiers: lookups (in list order) come
    // before tracks.
    fill(root);
    for (TLookupList *list : root.lookupLists())
        for (int i = 0; i < list->Count(); ++i)
            QCOMPARE(list->Get(i)->ID, -1);
    saved(root, QStringLiteral("ids.tbx"));
    QCOMPARE(root.Artists->Get(0)->ID, 100);
    QCOMPARE(root.Items->Get(0)->ID, 100 + 1 + 1 + 56 + 6 + 7 + 10 + 7 + 2 + 1 + 1);
    QCOMPARE(root.NextID, root.Items->Get(1)->ID + 1);
}

void TestCollectionFile::olderFormats_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("nextID");
    QTest::addColumn<int>("nextIndex");
    QTest::addColumn<QString>("artist");   // display name of the first track's artist
    QTest::addColumn<QString>("lastName");
    QTest::addColumn<QString>("location"); // display name of its location
    QTest::addColumn<int>("driveType");

    TTrackRecord track = trackRecord(20, 5, QStringLiteral("Song"));
    track.References[Mp3TrackRefs::Artist] = 10;
    track.LocationID = 12;

    // Below 100: NextID after the versions, lookups without Index, no
    // counters at the end.
    {
        TCollectionBytes bytes;
        bytes.header(90, 100).integer(30).list().end();
        bytes.list().integer(10).scrambled(QStringLiteral("Anna Kestrel")).scrambled(QStringLiteral("Anna"))
            .scrambled(QStringLiteral("Kestrel")).scrambled({}).end();
        bytes.emptyLists(12);
        bytes.list().integer(12).scrambled(QStringLiteral("Music")).scrambled(QStringLiteral("x"))
            .scrambled({}).scrambled({}).integer(5).scrambled(QStringLiteral("CD1")).end();
        bytes.emptyLists(1).reservedBlock().list().track(track).end();
        QTest::newRow("90") << bytes.data() << 30 << 1 << "Anna Kestrel" << "Kestrel" << "Music" << 5;
    }
    // Below 100 with a counter lower than the identifiers read.
    {
        TCollectionBytes bytes;
        bytes.header(90, 100).integer(3).list().end();
        bytes.list().integer(10).scrambled(QStringLiteral("Anna Kestrel")).scrambled(QStringLiteral("Anna"))
            .scrambled(QStringLiteral("Kestrel")).scrambled({}).end();
        bytes.emptyLists(12);
        bytes.list().integer(12).scrambled(QStringLiteral("Music")).scrambled(QStringLiteral("x"))
            .scrambled({}).scrambled({}).integer(5).scrambled(QStringLiteral("CD1")).end();
        bytes.emptyLists(1).reservedBlock().list().track(track).end();
        QTest::newRow("90, low counter") << bytes.data() << 21 << 1 << "Anna Kestrel" << "Kestrel" << "Music" << 5;
    }
    // 100 to 109: lookups with Index, NextID still after the versions.
    {
        TCollectionBytes bytes;
        bytes.header(105, 100).integer(40).list().end();
        bytes.list().integer(10).integer(1).scrambled(QStringLiteral("Anna Kestrel"))
            .scrambled(QStringLiteral("Anna")).scrambled(QStringLiteral("Kestrel")).scrambled({}).end();
        bytes.emptyLists(12);
        bytes.list().integer(12).integer(1).scrambled(QStringLiteral("Music")).scrambled(QStringLiteral("Music"))
            .scrambled({}).scrambled({}).integer(2).scrambled(QStringLiteral("USB")).end();
        bytes.emptyLists(1).reservedBlock().list().track(track).end();
        QTest::newRow("105") << bytes.data() << 40 << 1 << "Anna Kestrel" << "Kestrel" << "Music" << 2;
    }
    // 110: the old name forms, the counters at the end.
    {
        TCollectionBytes bytes;
        bytes.header(110, 100).list().end();
        bytes.list().integer(10).integer(1).scrambled(QStringLiteral("Anna Kestrel"))
            .scrambled(QStringLiteral("Anna")).scrambled(QStringLiteral("Kestrel")).scrambled({}).end();
        bytes.emptyLists(12);
        bytes.list().integer(12).integer(1).scrambled(QStringLiteral("Music")).scrambled(QStringLiteral("Music"))
            .scrambled({}).scrambled({}).integer(3).scrambled(QStringLiteral("data")).end();
        bytes.emptyLists(1).reservedBlock().list().track(track).end().integer(50).integer(6);
        QTest::newRow("110") << bytes.data() << 50 << 6 << "Anna Kestrel" << "Kestrel" << "Music" << 3;
    }
    // 111 to 119: plain lookups keep the four-name form; name items hold
    // no names.
    {
        TCollectionBytes bytes;
        bytes.header(115, 100).list().end();
        bytes.list().integer(10).integer(1).end();
        bytes.emptyLists(4);
        bytes.list().integer(11).integer(1).scrambled(QStringLiteral("Pop")).scrambled({}).scrambled({})
            .scrambled({}).end();
        bytes.emptyLists(7);
        bytes.list().integer(12).integer(1).integer(3).scrambled(QStringLiteral("data")).end();
        bytes.emptyLists(1).reservedBlock().list().track(track).end().integer(50).integer(6);
        QTest::newRow("115") << bytes.data() << 50 << 6 << "" << "" << "" << 3;
    }
    // Data version 300: plain name pairs, the family name before the comma.
    {
        TCollectionBytes bytes;
        bytes.header(110, 300).list().end();
        bytes.list().integer(10).integer(1).string(QStringLiteral("Kestrel, Anna")).string({}).end();
        bytes.emptyLists(12);
        bytes.list().integer(12).integer(1).string(QStringLiteral("Music")).string({}).integer(3)
            .scrambled(QStringLiteral("data")).end();
        bytes.emptyLists(1).reservedBlock().list().track(track).end().integer(50).integer(6);
        QTest::newRow("data 300") << bytes.data() << 50 << 6 << "Anna Kestrel" << "Kestrel" << "Music" << 3;
    }
}

void TestCollectionFile::olderFormats()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, nextID);
    QFETCH(int, nextIndex);
    QFETCH(QString, artist);
    QFETCH(QString, lastName);
    QFETCH(QString, location);
    QFETCH(int, driveType);

    const QString file = path(QStringLiteral("old.tbx"));
    QVERIFY(writeFile(file, bytes));
    TMp3Root root;
    TMessageLog log;
    QVERIFY(root.LoadFromFile(file));
    QCOMPARE(log.errors, QStringList());
    QCOMPARE(log.infos, QStringList{QStringLiteral("The collection \"") + file + QStringLiteral("\" ") + olderVersionText});
    QVERIFY(root.FileName.isEmpty());
    QCOMPARE(root.NextID, nextID);
    QCOMPARE(root.NextIndex, nextIndex);
    QCOMPARE(root.Items->Count(), 1);
    const auto *track = static_cast<TMp3Track *>(root.Items->Get(0));
    QCOMPARE(track->ID, 20);
    QCOMPARE(track->Index, 5);
    QCOMPARE(track->Title, QStringLiteral("Song"));
    QVERIFY(track->Artist);
    QCOMPARE(track->Artist->DisplayName, artist);
    QCOMPARE(track->Artist->LastName, lastName);
    QVERIFY(track->Location);
    QCOMPARE(track->Location->DisplayName, location);
    QCOMPARE(int(track->Location->DriveType), driveType);

    // Saved again, it is a collection of the current format.
    const TCollectionSaveResult result = saveCollection(root, path(QStringLiteral("new.tbx")));
    QVERIFY(result.Saved);
    TMp3Root reread;
    const TCollectionLoadResult load = loadCollection(reread, path(QStringLiteral("new.tbx")));
    QVERIFY(load.opened());
    QVERIFY(!load.Converted);
    QCOMPARE(reread.NextID, nextID);
    QCOMPARE(static_cast<TMp3Track *>(reread.Items->Get(0))->Artist->DisplayName, artist);
}

void TestCollectionFile::foreignFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QString notOurs = QStringLiteral("This is not a Brimlow database");
    const QString damaged = QStringLiteral("Error reading from file %1.\r\nThe file is damaged: it holds no "
                                           "collection that can be recovered.");
    QTest::newRow("empty") << QByteArray() << notOurs;
    QTest::newRow("mp3 bytes") << QByteArray("ID3\x04\x00\x00\x00\x00\x00\x00\xff\xfb\x90\x00", 14) << notOurs;
    QTest::newRow("text") << QByteArray("Hello, world\n") << notOurs;
    QTest::newRow("other marker") << TCollectionBytes().string(QStringLiteral("Brimlaw")).string(QStringLiteral("MP3")).data()
                                  << notOurs;
    QTest::newRow("marker in other case") << QByteArray(TCollectionBytes().header(120, 100)).replace("Brimlow", "BRIMLOW")
                                          << notOurs;
    QTest::newRow("movie collection")
        << TCollectionBytes().header(120, 100, QStringLiteral("Movie")).list().end().data()
        << QStringLiteral("This is not a MP3 database, please use Brimlow Movie to open this database");
    QTest::newRow("type in other case") << TCollectionBytes().header(120, 100, QStringLiteral("mp3")).data()
                                        << QStringLiteral("This is not a MP3 database, please use Brimlow mp3 to open this database");
    QTest::newRow("marker only") << TCollectionBytes().string(QStringLiteral("Brimlow")).data() << damaged;
    QTest::newRow("cut in the versions")
        << TCollectionBytes().string(QStringLiteral("Brimlow")).string(QStringLiteral("MP3")).integer(120).data()
        << damaged;
    QTest::newRow("cut before the old counter")
        << TCollectionBytes().header(105, 100).data() << damaged;
}

void TestCollectionFile::foreignFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString file = path(QStringLiteral("foreign.tbx"));
    QVERIFY(writeFile(file, bytes));

    TMp3Root root;
    fill(root);
    TMessageLog log;
    QVERIFY(!root.LoadFromFile(file));
    QCOMPARE(log.errors, QStringList{message.contains(QLatin1String("%1")) ? message.arg(file) : message});
    QVERIFY(log.infos.isEmpty());
    // Empty again, as a new collection.
    QVERIFY(root.FileName.isEmpty());
    QCOMPARE(root.Items->Count(), 0);
    QCOMPARE(root.Artists->Count(), 0);
    QCOMPARE(root.Years->Count(), 56);
    QCOMPARE(root.NextID, 0);
}

void TestCollectionFile::missingFileOpensNothingQuietly()
{
    TMp3Root root;
    fill(root);
    TMessageLog log;
    QVERIFY(!root.LoadFromFile(path(QStringLiteral("nothing.tbx"))));
    QVERIFY(log.infos.isEmpty() && log.errors.isEmpty());
    QCOMPARE(root.Items->Count(), 0);

    // A folder is not a file that can be opened.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.tbx")));
    QVERIFY(!root.LoadFromFile(path(QStringLiteral("folder.tbx"))));
    QCOMPARE(log.infos, QStringList{QStringLiteral("The file \"%1\" is a folder.").arg(path(QStringLiteral("folder.tbx")))});
}

void TestCollectionFile::cutInsideTheTrackList()
{
    QList<TTrackRecord> tracks;
    for (int i = 0; i < 3; ++i) {
        tracks.append(trackRecord(20 + i, i + 1, QStringLiteral("Song %1").arg(i)));
        tracks.last().References[Mp3TrackRefs::Artist] = 10;
        tracks.last().Genres = {11};
    }
    const QByteArray whole = fileWithTracks(tracks, someLookups()).integer(23).integer(4);
    const qsizetype thirdStart = whole.indexOf("Song 2") - 6; // its header
    for (const qsizetype cut : {thirdStart + 3, qsizetype(whole.indexOf("Song 2") + 3), whole.size() - 12}) {
        const QString file = path(QStringLiteral("cut.tbx"));
        QVERIFY(writeFile(file, whole.left(cut)));
        TMp3Root root;
        TMessageLog log;
        QVERIFY(root.LoadFromFile(file));
        QCOMPARE(log.errors, QStringList{recoveredText(file, 2)});
        QVERIFY(log.infos.isEmpty());
        QVERIFY(root.FileName.isEmpty());
        QCOMPARE(root.Items->Count(), 2);
        QCOMPARE(static_cast<TMp3Track *>(root.Items->Get(1))->Title, QStringLiteral("Song 1"));
        QCOMPARE(static_cast<TMp3Track *>(root.Items->Get(1))->Genres->GetText(), QStringLiteral("Pop"));
        // The counters were not read: they are raised above what was read.
        QVERIFY(root.NextID > 21);
        QCOMPARE(root.NextIndex, 3);
    }

    // A bogus length inside the second track: one track recovered.
    TTrackRecord bogus = trackRecord(21, 2, QStringLiteral("Bogus"));
    QByteArray bytes = fileWithTracks({tracks.first(), bogus}).integer(22).integer(3);
    const QByteArray lengthOfTitle = QByteArray::fromHex("0605") + "Bogus";
    QVERIFY(bytes.contains(lengthOfTitle));
    bytes.replace(lengthOfTitle, QByteArray::fromHex("0cfffffff0") + "Bogus");
    const QString file = path(QStringLiteral("bogus.tbx"));
    QVERIFY(writeFile(file, bytes));
    TMp3Root root;
    const TCollectionLoadResult result = loadCollection(root, file);
    QVERIFY(result.opened());
    QVERIFY(result.Recovered);
    QCOMPARE(result.Message, recoveredText(file, 1));
    QCOMPARE(root.Items->Count(), 1);
}

void TestCollectionFile::damageKeepsIdentifiersUnique()
{
    // A 110+ file damaged in its track list: the counter at its end is
    // lost, yet new items must not reuse identifiers of the items read.
    QList<TTrackRecord> tracks{trackRecord(500, 1, QStringLiteral("A")), trackRecord(900, 2, QStringLiteral("B"))};
    QByteArray bytes = fileWithTracks(tracks, someLookups());
    bytes.chop(1); // the end of the track list
    const QString file = path(QStringLiteral("damaged.tbx"));
    QVERIFY(writeFile(file, bytes));
    TMp3Root root;
    const TCollectionLoadResult result = loadCollection(root, file);
    QVERIFY(result.Recovered);
    QCOMPARE(root.Items->Count(), 2);
    QCOMPARE(root.NextID, 901);

    // After a save and a reload, every track still points at its artist.
    auto *added = static_cast<TMp3Track *>(root.Items->CreateItem());
    added->Title = QStringLiteral("New");
    added->Artist = static_cast<TPersonLookupItem *>(root.Artists->Get(0));
    QVERIFY(saveCollection(root, path(QStringLiteral("saved.tbx"))).Saved);
    QCOMPARE(added->ID, 901);
    TMp3Root reread;
    QVERIFY(loadCollection(reread, path(QStringLiteral("saved.tbx"))).opened());
    QCOMPARE(static_cast<TMp3Track *>(reread.Items->Get(2))->Artist->DisplayName, QStringLiteral("Anna Kestrel"));
}

void TestCollectionFile::storedCounterNeverLowersTheIdentifiers()
{
    const QByteArray bytes = fileWithTracks({trackRecord(70, 1, QStringLiteral("A"))}, someLookups()).integer(5).integer(2);
    const QString file = path(QStringLiteral("low.tbx"));
    QVERIFY(writeFile(file, bytes));
    TMp3Root root;
    QVERIFY(loadCollection(root, file).opened());
    QCOMPARE(root.NextID, 71);

    const QByteArray higher = fileWithTracks({trackRecord(70, 1, QStringLiteral("A"))}, someLookups()).integer(3000).integer(2);
    QVERIFY(writeFile(file, higher));
    QVERIFY(loadCollection(root, file).opened());
    QCOMPARE(root.NextID, 3000);
}

void TestCollectionFile::unknownReferencesAreEmpty()
{
    TTrackRecord track = trackRecord(20, 1, QStringLiteral("A"));
    track.References[Mp3TrackRefs::Artist] = 9999;
    track.References[Mp3TrackRefs::Album] = 10; // an artist's identifier, not an album's
    track.Genres = {9999, 11, -1};
    track.LocationID = 11;
    const QString file = path(QStringLiteral("refs.tbx"));
    QVERIFY(writeFile(file, fileWithTracks({track}, someLookups()).integer(30).integer(2)));
    TMp3Root root;
    const TCollectionLoadResult result = loadCollection(root, file);
    QVERIFY(result.opened() && !result.Recovered);
    const auto *read = static_cast<TMp3Track *>(root.Items->Get(0));
    QVERIFY(!read->Artist);
    QVERIFY(!read->Album);
    QVERIFY(!read->Location);
    QCOMPARE(read->Genres->GetText(), QStringLiteral("Pop"));
}

void TestCollectionFile::reservedBlockIsSkipped()
{
    auto withBlock = [](const QByteArray &block) {
        TCollectionBytes bytes;
        bytes.header(120, 100).list().end().emptyLists(Mp3FileLists::Count).bytes(block);
        bytes.list().track(trackRecord(1, 1, QStringLiteral("A"))).end().integer(2).integer(2);
        return bytes.data();
    };
    const QString file = path(QStringLiteral("reserved.tbx"));

    // Strings and integers of any form are passed over.
    QVERIFY(writeFile(file, withBlock(TCollectionBytes().date(40000.25).list().string(QStringLiteral("x")).int32(7)
                                          .rawString(QByteArray(300, 'r')).integer(-3).end())));
    TMp3Root root;
    TCollectionLoadResult result = loadCollection(root, file);
    QVERIFY(result.opened() && !result.Recovered);
    QCOMPARE(root.Items->Count(), 1);

    // Damage inside the block does not end the reading there: the tracks
    // are read from where it stopped (here they cannot be).
    QVERIFY(writeFile(file, withBlock(TCollectionBytes().date(0).list().boolean(true).end())));
    result = loadCollection(root, file);
    QVERIFY(result.opened());
    QVERIFY(result.Recovered);
    QCOMPARE(root.Items->Count(), 0);

    // A block without its date.
    QVERIFY(writeFile(file, withBlock(TCollectionBytes().list().integer(1).end())));
    result = loadCollection(root, file);
    QVERIFY(result.opened() && !result.Recovered);
    QCOMPARE(root.Items->Count(), 1);
}

void TestCollectionFile::outOfRangeValuesShowAsUnknown()
{
    using namespace Mp3FieldIds;
    TTrackRecord track = trackRecord(20, 1, QStringLiteral("A"));
    track.MpegVersion = 7;
    track.Mode = 200;
    track.Emphasis = 70000;
    track.LocationID = 12;
    QByteArray lookups = someLookups();
    // Drive type 3 of the location becomes 99.
    const QByteArray driveType = QByteArray::fromHex("0203") + TCollectionBytes().scrambled(QStringLiteral("data")).data();
    QVERIFY(lookups.contains(driveType));
    lookups.replace(driveType, QByteArray::fromHex("0263") + TCollectionBytes().scrambled(QStringLiteral("data")).data());
    const QString file = path(QStringLiteral("range.tbx"));
    QVERIFY(writeFile(file, fileWithTracks({track}, lookups).integer(30).integer(2)));

    TMp3Root root;
    QVERIFY(loadCollection(root, file).opened());
    const auto *read = static_cast<TMp3Track *>(root.Items->Get(0));
    QCOMPARE(read->GetValueAsString(root.Fields->FindByID(MpegVersion)), QString());
    QCOMPARE(read->GetValueAsString(root.Fields->FindByID(Mode)), QString());
    QCOMPARE(read->GetValueAsString(root.Fields->FindByID(Emphasis)), QString());
    QCOMPARE(read->MpegVersion, quint8(7));
    QCOMPARE(read->Mode, quint8(200));
    QCOMPARE(read->Emphasis, quint8(255));
    QCOMPARE(read->Location->DriveType, quint8(99));
    QCOMPARE(read->Location->GetImageIndex(), 2);
    QVERIFY(GetMissingFileMessage(*read).contains(QLatin1String("Location Music")));
}

void TestCollectionFile::listsAreSortedAsReadersExpectOnLoad()
{
    // Earlier versions stored the artists in code point order: accented
    // names after "Z".  The list is read in the order names sort in now,
    // an article still sorting after the name.
    auto artist = [](TCollectionBytes &bytes, qint32 id, const QString &name, const QString &lastName,
                     const QString &article) {
        bytes.integer(id).integer(1).scrambled(name).scrambled(lastName).scrambled(article).scrambled({});
    };
    TCollectionBytes lists;
    lists.list();
    artist(lists, 10, QStringLiteral("The Aztecs"), QStringLiteral("Aztecs"), QStringLiteral("The"));
    artist(lists, 11, QStringLiteral("Track 10"), QStringLiteral("Track 10"), {});
    artist(lists, 12, QStringLiteral("Track 2"), QStringLiteral("Track 2"), {});
    artist(lists, 13, QStringLiteral("Zappa"), QStringLiteral("Zappa"), {});
    artist(lists, 14, QStringLiteral("Ärzte"), QStringLiteral("Ärzte"), {});
    artist(lists, 15, QStringLiteral("Émile"), QStringLiteral("Émile"), {});
    lists.end().emptyLists(Mp3FileLists::Count - 1);
    const QString file = path(QStringLiteral("order.tbx"));
    QVERIFY(writeFile(file, fileWithTracks({}, lists).integer(20).integer(1)));
    TMp3Root root;
    QVERIFY(loadCollection(root, file).opened());
    QStringList names;
    for (int i = 0; i < root.Artists->Count(); ++i)
        names.append(root.Artists->Get(i)->DisplayName);
    QCOMPARE(names, (QStringList{QStringLiteral("Ärzte"), QStringLiteral("The Aztecs"), QStringLiteral("Émile"),
                                 QStringLiteral("Track 2"), QStringLiteral("Track 10"), QStringLiteral("Zappa")}));
}

void TestCollectionFile::olderDataVersionIsConverted()
{
    // A file of the current format but an older data version is converted.
    const QString file = path(QStringLiteral("dv.tbx"));
    TCollectionBytes older;
    older.header(120, 90).list().end().emptyLists(Mp3FileLists::Count).reservedBlock().list().end().integer(0).integer(1);
    QVERIFY(writeFile(file, older));
    TMp3Root root;
    TCollectionLoadResult result = loadCollection(root, file);
    QVERIFY(result.opened() && result.Converted);
    QVERIFY(root.FileName.isEmpty());

    TCollectionBytes same;
    same.header(120, 100).list().end().emptyLists(Mp3FileLists::Count).reservedBlock().list().end().integer(0).integer(1);
    QVERIFY(writeFile(file, same));
    result = loadCollection(root, file);
    QVERIFY(result.opened() && !result.Converted && result.Message.isEmpty());
    QCOMPARE(root.FileName, file);
    QCOMPARE(root.FileStamp, TFileStamp::OfPath(file));
}

// A file made by a newer version, or one that goes on after its last
// record, is shown but not saved over: saving would drop what this version
// does not know.  The root has no file name, so a save asks for a new one.
void TestCollectionFile::newerOrLongerFilesOpenReadOnly_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("data");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("newer");
    QTest::addColumn<QString>("message");
    const QString newer = QStringLiteral("was made by a newer version of Tunebase (file format %1, data version %2)");
    const QString longer = QStringLiteral("goes on after its last record");
    QTest::newRow("newer format and data") << 130 << 150 << QByteArray("\x05\x07more", 6) << true << newer.arg(130).arg(150);
    QTest::newRow("newer data version") << 120 << 150 << QByteArray() << true << newer.arg(120).arg(150);
    QTest::newRow("data after the end") << 120 << 100 << QByteArray("\x03\x09", 2) << false << longer;
    QTest::newRow("one byte after the end") << 120 << 100 << QByteArray(1, '\0') << false << longer;
}

void TestCollectionFile::newerOrLongerFilesOpenReadOnly()
{
    QFETCH(int, format);
    QFETCH(int, data);
    QFETCH(QByteArray, after);
    QFETCH(bool, newer);
    QFETCH(QString, message);
    const QString file = path(QStringLiteral("n.tbx"));
    TTrackRecord track;
    track.ID = 1;
    track.Title = QStringLiteral("Kept");
    TCollectionBytes bytes;
    bytes.header(format, data).list().end().emptyLists(Mp3FileLists::Count).reservedBlock().list().track(track).end()
        .integer(2).integer(2);
    QVERIFY(writeFile(file, QByteArray(bytes) + after));

    TMp3Root root;
    const TCollectionLoadResult result = loadCollection(root, file);
    QVERIFY(result.opened());
    QCOMPARE(result.Newer, newer);
    if (!newer)
        QVERIFY(result.TrailingData);
    QVERIFY(result.readOnly());
    QVERIFY(!result.Converted);
    QVERIFY2(result.Message.contains(message), qPrintable(result.Message));
    QVERIFY(root.FileName.isEmpty());
    QCOMPARE(root.GetTracks()->Count(), 1);

    // The desktop program says so when it opens the file.
    TMessageLog log;
    TMp3Root shown;
    QVERIFY(shown.LoadFromFile(file));
    QCOMPARE(log.infos.size() + log.errors.size(), 1);
    QVERIFY(shown.FileName.isEmpty());
}

void TestCollectionFile::failedSaveKeepsTheOldFile()
{
    TMp3Root root;
    fill(root);
    const QString file = path(QStringLiteral("keep.tbx"));
    QVERIFY(saveCollection(root, file).Saved);
    const QByteArray before = readFile(file);
    const TFileStamp savedAt = root.FileStamp;

    // More tracks than the disk has room for.
    for (int i = 0; i < 2000; ++i)
        static_cast<TMp3Track *>(root.Items->CreateItem())->Title = QString(100, u'x');
    for (const qint64 room : {qint64(0), qint64(1000), qint64(200000)}) {
        const TCollectionSaveResult result =
            saveCollection(root, path(QStringLiteral("other.tbx")), [room](QIODevice &device) {
                return std::make_unique<TFullDiskWriter>(device, room);
            });
        QVERIFY(!result.Saved);
        QCOMPARE(result.Message,
                 QStringLiteral("Error writing to file %1.\r\nThis is probably caused by a diskspace problem.\r\n"
                                "Choose \"File | Save As\" from the menu to save your data to a different location.")
                     .arg(path(QStringLiteral("other.tbx"))));
        QCOMPARE(root.FileName, file);
        QCOMPARE(root.FileStamp, savedAt);
        QVERIFY(!QFile::exists(path(QStringLiteral("other.tbx"))));

        QVERIFY(!saveCollection(root, file, [room](QIODevice &device) {
                     return std::make_unique<TFullDiskWriter>(device, room);
                 }).Saved);
        QCOMPARE(readFile(file), before);
    }
    // Nothing but the one collection is left in the folder.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.tbx")});
}

void TestCollectionFile::failedSaveReportsThroughSaveToFile()
{
    TMp3Root root;
    TMessageLog log;
    const QString file = path(QStringLiteral("no/such/folder/x.tbx"));
    QVERIFY(!root.SaveToFile(file));
    QCOMPARE(log.errors.size(), 1);
    QVERIFY(log.errors.first().startsWith(QStringLiteral("Cannot create file \"") + file + QLatin1Char('"')));
    QVERIFY(root.FileName.isEmpty());
    QCOMPARE(log.busy, 0);

    QVERIFY(root.SaveToFile(path(QStringLiteral("fine.tbx"))));
    QCOMPARE(log.errors.size(), 1);
    QCOMPARE(root.FileName, path(QStringLiteral("fine.tbx")));
}

void TestCollectionFile::saveKeepsPermissions()
{
    TMp3Root root;
    const QString file = path(QStringLiteral("private.tbx"));
    QVERIFY(saveCollection(root, file).Saved);
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    const QFileDevice::Permissions before = QFile::permissions(file);
    fill(root);
    QVERIFY(saveCollection(root, file).Saved);
    QCOMPARE(QFile::permissions(file), before);
    QVERIFY(!(before & QFileDevice::ReadOther));
}

void TestCollectionFile::importOfAForeignFileChangesNothing()
{
    const QString file = path(QStringLiteral("foreign.tbx"));
    QVERIFY(writeFile(file, QByteArray("not a collection")));
    TMp3Root root;
    fill(root);
    TMessageLog log;
    QVERIFY(!root.ImportFromFile(file));
    QCOMPARE(log.errors, QStringList{QStringLiteral("This is not a Brimlow database")});
    QCOMPARE(root.Items->Count(), 2);
    QCOMPARE(root.Artists->Count(), 1);

    // A collection file is imported.
    TMp3Root other;
    auto *track = static_cast<TMp3Track *>(other.Items->CreateItem());
    track->Title = QStringLiteral("Imported");
    track->FilePath = QStringLiteral("/music/imported.mp3");
    QVERIFY(saveCollection(other, path(QStringLiteral("other.tbx"))).Saved);
    QVERIFY(root.ImportFromFile(path(QStringLiteral("other.tbx"))));
    QCOMPARE(root.Items->Count(), 3);
    QCOMPARE(static_cast<TMp3Track *>(root.Items->Get(2))->Title, QStringLiteral("Imported"));
}

QTEST_APPLESS_MAIN(TestCollectionFile)
#include "tst_collectionfile.moc"
