#include "core/audio/filenameinfo.h"
#include "core/audio/id3v1tag.h"
#include "core/audio/id3v2tag.h"
#include "core/audio/infosources.h"
#include "core/data/lookupitems.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3track.h"
#include "core/mp3model/trackinfo.h"

#include <QtTest>

namespace {

// The five sources of one file, all absent until a test fills them in.
struct Sources {
    TManualEntry entry;
    TManualEntryInfo manual;
    TTrackInfo track;
    TID3v2Tag v2;
    TID3v1Tag v1;
    TFilenameInfo filename;

    TInfoSourceSet set() const { return TInfoSourceSet(manual, track, v2, v1, filename); }
    void useManual(bool enabled)
    {
        manual.Entry = &entry;
        manual.Enabled = enabled;
    }
    void useV2(bool enabled)
    {
        v2.Exists = true;
        v2.Enabled = enabled;
    }
    void useV1(bool enabled)
    {
        v1.Exists = true;
        v1.Enabled = enabled;
    }
    void useFilename(bool enabled)
    {
        filename.Parsed = true;
        filename.Enabled = enabled;
    }
};

// A test column value: null means "source absent", a string "present".
const QString Absent;

} // namespace

class TestInfoSources : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titlePrecedence_data();
    void titlePrecedence();
    void trackPrecedence_data();
    void trackPrecedence();
    void collectionTrack();
    void allSourcesOff();
    void fieldsASourceDoesNotOffer();
    void manualEntryKeepsEachField();
    void genreTexts();
    void bpmFromManualAndV2();
    void copyV1ToV2();
    void copyV2ToV1_data();
    void copyV2ToV1();
    void copyV2ToV1Cuts();
    void filenameToTags();
};

void TestInfoSources::titlePrecedence_data()
{
    QTest::addColumn<QString>("manual");
    QTest::addColumn<bool>("manualOn");
    QTest::addColumn<QString>("v2");
    QTest::addColumn<bool>("v2On");
    QTest::addColumn<QString>("v1");
    QTest::addColumn<bool>("v1On");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("fileOn");
    QTest::addColumn<QString>("merged");

    const QString empty = QLatin1String("");
    QTest::newRow("manual first") << "M" << true << "V2" << true << "V1" << true << "F" << true << "M";
    QTest::newRow("manual off") << "M" << false << "V2" << true << "V1" << true << "F" << true << "V2";
    QTest::newRow("empty manual value falls through")
        << empty << true << "V2" << true << "V1" << true << "F" << true << "V2";
    QTest::newRow("empty v2 title, v1 song") << Absent << false << empty << true << "Song" << true << Absent
                                             << false << "Song";
    QTest::newRow("v2 off, v1 absent, filename empty wins")
        << Absent << false << "V2" << false << Absent << false << empty << true << "";
    QTest::newRow("v1 before filename") << Absent << false << Absent << false << "V1" << true << "F" << true
                                        << "V1";
    QTest::newRow("filename unparsed") << Absent << false << Absent << false << empty << true << Absent << true
                                       << "";
    QTest::newRow("spaces only stop the search")
        << Absent << false << "   " << true << "V1" << true << "F" << true << "";
    QTest::newRow("trimmed") << "\t Song \r\n" << true << Absent << false << Absent << false << Absent << false
                             << "Song";
}

void TestInfoSources::titlePrecedence()
{
    QFETCH(QString, manual);
    QFETCH(bool, manualOn);
    QFETCH(QString, v2);
    QFETCH(bool, v2On);
    QFETCH(QString, v1);
    QFETCH(bool, v1On);
    QFETCH(QString, file);
    QFETCH(bool, fileOn);
    QFETCH(QString, merged);

    Sources s;
    if (!manual.isNull()) {
        s.useManual(manualOn);
        s.entry.SetText(TMergedField::Title, manual);
    }
    if (!v2.isNull()) {
        s.useV2(v2On);
        s.v2.Title = v2;
    }
    if (!v1.isNull()) {
        s.useV1(v1On);
        s.v1.Title = v1;
    }
    if (!file.isNull()) {
        s.useFilename(fileOn);
        s.filename.Title = file;
    }
    QCOMPARE(s.set().GetMergedText(TMergedField::Title), merged);
}

void TestInfoSources::trackPrecedence_data()
{
    QTest::addColumn<int>("manual");
    QTest::addColumn<int>("v2");
    QTest::addColumn<int>("v1");
    QTest::addColumn<int>("file");  // -1: file name not available
    QTest::addColumn<int>("merged");

    QTest::newRow("manual 0 falls through") << 0 << 5 << 3 << 2 << 5;
    QTest::newRow("manual wins") << 9 << 5 << 3 << 2 << 9;
    QTest::newRow("v1 before filename") << 0 << 0 << 3 << 2 << 3;
    QTest::newRow("filename 0 stands") << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("nothing") << 0 << 0 << 0 << -1 << 0;
}

void TestInfoSources::trackPrecedence()
{
    QFETCH(int, manual);
    QFETCH(int, v2);
    QFETCH(int, v1);
    QFETCH(int, file);
    QFETCH(int, merged);

    Sources s;
    s.useManual(true);
    s.entry.SetNumber(TMergedField::TrackIndex, manual);
    s.useV2(true);
    s.v2.Track = v2;
    s.useV1(true);
    s.v1.Track = v1;
    if (file >= 0) {
        s.useFilename(true);
        s.filename.Track = file;
    }
    QCOMPARE(s.set().GetMergedNumber(TMergedField::TrackIndex), merged);
    QCOMPARE(s.set().GetMergedText(TMergedField::TrackIndex), QString::number(merged));
}

void TestInfoSources::collectionTrack()
{
    TPersonLookupItem artist;
    artist.DisplayName = QStringLiteral("The Lanterns");
    TAlbumLookupItem album;
    album.DisplayName = QStringLiteral("Night");
    TLookupItem pop;
    pop.DisplayName = QStringLiteral("Pop");
    TLookupItem rock;
    rock.DisplayName = QStringLiteral("Rock");
    TSortLookupItem label;
    label.DisplayName = QStringLiteral("Label");
    TMp3Track track;
    track.Artist = &artist;
    track.Album = &album;
    track.Genres->Add(&pop);
    track.Genres->Add(&rock);
    track.Label = &label;
    track.TrackIndex = 5;
    track.Lyrics = QStringLiteral("words");

    Sources s;
    s.useManual(true);
    s.entry.SetText(TMergedField::Artist, QStringLiteral("Typed"));
    s.useV2(true);
    s.v2.Album = QStringLiteral("Tag album");
    s.v2.Track = 9;
    s.v2.Title = QStringLiteral("Tag title");
    s.track.LinkedTrack = &track;
    QCOMPARE(s.set().GetMergedText(TMergedField::Album), QStringLiteral("Tag album"));  // not enabled yet

    s.track.Enabled = true;
    const TInfoSourceSet set = s.set();
    QCOMPARE(set.GetMergedText(TMergedField::Artist), QStringLiteral("Typed"));
    QCOMPARE(set.GetMergedText(TMergedField::Album), QStringLiteral("Night"));
    // Every genre of the track: tags written from it must not lose the others.
    QCOMPARE(set.GetMergedText(TMergedField::Genre), QStringLiteral("Pop; Rock"));
    QCOMPARE(set.GetMergedText(TMergedField::Label), QStringLiteral("Label"));
    QCOMPARE(set.GetMergedText(TMergedField::Lyrics), QStringLiteral("words"));
    // An empty track title lets the tag answer.
    QCOMPARE(set.GetMergedText(TMergedField::Title), QStringLiteral("Tag title"));
    // Manual entry track 0 means "no value": the collection's 5 wins.
    QCOMPARE(set.GetMergedNumber(TMergedField::TrackIndex), 5);

    s.track.SetFilePath(QStringLiteral("/new/place.mp3"));
    QCOMPARE(track.FilePath, QStringLiteral("/new/place.mp3"));
    track.Genres->Clear();
}

void TestInfoSources::allSourcesOff()
{
    Sources s;
    s.useManual(false);
    s.entry.SetText(TMergedField::Title, QStringLiteral("M"));
    s.entry.SetNumber(TMergedField::TrackIndex, 4);
    s.entry.SetNumber(TMergedField::BPM, 120);
    s.useV2(false);
    s.v2.Artist = QStringLiteral("A");
    s.useV1(false);
    s.v1.Album = QStringLiteral("B");
    s.useFilename(false);
    s.filename.Title = QStringLiteral("T");
    s.track.Enabled = false;
    for (TMergedField field : AllMergedFields()) {
        if (IsMergedNumberField(field))
            QCOMPARE(s.set().GetMergedNumber(field), 0);
        else
            QCOMPARE(s.set().GetMergedText(field), QString());
    }
}

void TestInfoSources::fieldsASourceDoesNotOffer()
{
    Sources s;
    s.useV2(true);
    s.v2.Label = QStringLiteral("Label from v2");
    s.v2.Comment = QStringLiteral("note");
    s.useV1(true);
    s.v1.Comment = QStringLiteral("v1 note");
    s.useFilename(true);

    const TInfoSourceSet set = s.set();
    QCOMPARE(set.GetMergedText(TMergedField::Label), QStringLiteral("Label from v2"));
    QCOMPARE(set.GetMergedText(TMergedField::Notes), QStringLiteral("note"));
    // The file name offers no notes, so its emptiness does not stop v1.
    s.v2.Comment.clear();
    QCOMPARE(set.GetMergedText(TMergedField::Notes), QStringLiteral("v1 note"));
    s.v2.Enabled = false;
    QCOMPARE(set.GetMergedText(TMergedField::Label), QString());
    QCOMPARE(set.GetMergedNumber(TMergedField::BPM), 0);
}

void TestInfoSources::genreTexts()
{
    Sources s;
    s.useV1(true);
    s.v1.GenreIndex = 17;
    QCOMPARE(s.set().GetMergedText(TMergedField::Genre), QStringLiteral("Rock"));
    s.v1.GenreIndex = -1;
    QCOMPARE(s.set().GetMergedText(TMergedField::Genre), QString());

    s.useV2(true);
    s.v2.Genre = QStringLiteral("(17)");
    QCOMPARE(s.set().GetMergedText(TMergedField::Genre), QStringLiteral("Rock"));
    s.v2.Genre = QStringLiteral("Chillwave");
    QCOMPARE(s.set().GetMergedText(TMergedField::Genre), QStringLiteral("Chillwave"));
}

void TestInfoSources::bpmFromManualAndV2()
{
    Sources s;
    s.useManual(true);
    s.useV2(true);
    s.v2.BPM = 98;
    s.useV1(true);
    QCOMPARE(s.set().GetMergedNumber(TMergedField::BPM), 98);
    s.entry.SetNumber(TMergedField::BPM, 120);
    QCOMPARE(s.set().GetMergedNumber(TMergedField::BPM), 120);
    QCOMPARE(s.set().GetMergedNumber(TMergedField::Title), 0);
}

void TestInfoSources::copyV1ToV2()
{
    TID3v1Tag v1;
    v1.Title = QStringLiteral("T");
    v1.Artist = QStringLiteral("A");
    v1.Track = 3;
    v1.GenreIndex = 17;
    TID3v2Tag v2;
    v2.Album = QStringLiteral("old album");
    v2.Comment = QStringLiteral("old comment");
    v2.Label = QStringLiteral("kept");
    CopyV1ToV2(v1, v2);
    QCOMPARE(v2.Title, QStringLiteral("T"));
    QCOMPARE(v2.Artist, QStringLiteral("A"));
    QCOMPARE(v2.Album, QString());    // empty values are copied too
    QCOMPARE(v2.Comment, QString());
    QCOMPARE(v2.Track, 3);
    QCOMPARE(v2.Genre, QStringLiteral("Rock"));
    QCOMPARE(v2.Label, QStringLiteral("kept"));
}

void TestInfoSources::copyV2ToV1_data()
{
    QTest::addColumn<QString>("genre");
    QTest::addColumn<int>("index");
    QTest::newRow("reference") << "(17)" << 17;
    QTest::newRow("name") << "jazz" << 8;
    QTest::newRow("no list name") << "Chillwave" << 12;
    QTest::newRow("empty") << "" << 12;
}

void TestInfoSources::copyV2ToV1()
{
    QFETCH(QString, genre);
    QFETCH(int, index);
    TID3v2Tag v2;
    v2.Genre = genre;
    TID3v1Tag v1;
    CopyV2ToV1(v2, v1);
    QCOMPARE(v1.GenreIndex, index);
}

void TestInfoSources::copyV2ToV1Cuts()
{
    TID3v2Tag v2;
    v2.Title = QString(40, QLatin1Char('t'));
    v2.Artist = QStringLiteral("Artist");
    v2.Comment = QString(31, QLatin1Char('c'));
    v2.Year = QStringLiteral("1999-05-01");
    v2.Track = 300;
    TID3v1Tag v1;
    v1.Album = QStringLiteral("overwritten");
    CopyV2ToV1(v2, v1);
    QCOMPARE(v1.Title, QString(30, QLatin1Char('t')));
    QCOMPARE(v1.Artist, QStringLiteral("Artist"));
    QCOMPARE(v1.Album, QString());
    QCOMPARE(v1.Comment, QString(30, QLatin1Char('c')));
    QCOMPARE(v1.Year, QStringLiteral("1999"));
    QCOMPARE(v1.Track, 300);
}

void TestInfoSources::filenameToTags()
{
    TFilenameInfo info;
    info.Title = QString(35, QLatin1Char('x'));
    info.Year = QStringLiteral("19999");
    info.Genre = QStringLiteral("Rock");
    TID3v2Tag v2;
    v2.Artist = QStringLiteral("kept artist");
    v2.Track = 7;
    FilenameToV2(info, v2);
    QCOMPARE(v2.Title, info.Title);
    QCOMPARE(v2.Artist, QStringLiteral("kept artist"));
    QCOMPARE(v2.Year, QStringLiteral("19999"));
    QCOMPARE(v2.Genre, QStringLiteral("Rock"));
    QCOMPARE(v2.Track, 7);  // filename track 0 keeps the tag's

    TID3v1Tag v1;
    v1.Comment = QStringLiteral("kept");
    info.Track = 4;
    FilenameToV1(info, v1);
    QCOMPARE(v1.Title, QString(30, QLatin1Char('x')));
    QCOMPARE(v1.Year, QStringLiteral("1999"));
    QCOMPARE(v1.GenreIndex, 17);
    QCOMPARE(v1.Track, 4);
    QCOMPARE(v1.Comment, QStringLiteral("kept"));
}

void TestInfoSources::manualEntryKeepsEachField()
{
    // Every field its own value, offered in its own form only.
    Sources s;
    s.useManual(true);
    for (const TMergedField field : AllMergedFields()) {
        const int i = int(field);
        s.entry.SetText(field, QStringLiteral("text %1").arg(i));
        s.entry.SetNumber(field, 100 + i);
    }
    for (const TMergedField field : AllMergedFields()) {
        const int i = int(field);
        if (IsMergedNumberField(field)) {
            QCOMPARE(s.manual.GetNumber(field), std::optional<qint32>(100 + i));
            QCOMPARE(s.manual.GetText(field), std::nullopt);
            QCOMPARE(s.entry.Text(field), QString());
        } else {
            QCOMPARE(s.manual.GetText(field), std::optional<QString>(QStringLiteral("text %1").arg(i)));
            QCOMPARE(s.manual.GetNumber(field), std::nullopt);
            QCOMPARE(s.entry.Number(field), 0);
        }
    }
    QCOMPARE(s.set().GetMergedText(TMergedField::Genre), QStringLiteral("text %1").arg(int(TMergedField::Genre)));
}

QTEST_APPLESS_MAIN(TestInfoSources)
#include "tst_infosources.moc"
