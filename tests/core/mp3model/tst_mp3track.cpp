#include "core/data/dataexceptions.h"
#include "core/data/datafield.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3fields.h"
#include "core/mp3model/mp3root.h"

#include <QLocale>
#include <QTest>

using namespace Mp3FieldIds;

class tst_Mp3Track : public QObject {
    Q_OBJECT

private:
    TMp3Root root;

    const TDataField *field(qint32 id) const { return root.Fields->FindByID(id); }
    TMp3Track *newTrack() { return static_cast<TMp3Track *>(root.GetTracks()->CreateItem()); }
    TMP3Defaults &defaults() { return static_cast<TMP3Defaults &>(*root.Defaults); }

    // Sets the member behind a field from a table value.
    static void setMember(TMp3Track &track, qint32 id, const QVariant &value);

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void newTrackIsEmpty();
    void displayTexts_data();
    void displayTexts();
    void integerAndBooleanValues();
    void lookupValues();
    void genres();
    void setValueAsLookupItemRejectsOtherFields();
    void displayNameAndArtistTitle_data();
    void displayNameAndArtistTitle();
    void cloneAndIsEqual();
    void isEqualSeesEveryOtherMember_data();
    void isEqualSeesEveryOtherMember();
    void applyDefaults();
    void applyDefaultsKeepsValues();
    void missingFileMessages_data();
    void missingFileMessages();
};

void tst_Mp3Track::setMember(TMp3Track &track, qint32 id, const QVariant &value)
{
    switch (id) {
    case Title: track.Title = value.toString(); break;
    case TitleThe: track.TitleThe = value.toString(); break;
    case TitleSort: track.TitleSort = value.toString(); break;
    case SubTitle: track.SubTitle = value.toString(); break;
    case Notes: track.Notes = value.toString(); break;
    case CopyrightBy: track.CopyrightBy = value.toString(); break;
    case Filename:
    case Filepath: track.FilePath = value.toString(); break;
    case Size: track.Size = value.toInt(); break;
    case Length: track.Length = value.toInt(); break;
    case MpegVersion: track.MpegVersion = quint8(value.toInt()); break;
    case MpegLayer: track.Layer = value.toInt(); break;
    case Mode: track.Mode = quint8(value.toInt()); break;
    case Emphasis: track.Emphasis = quint8(value.toInt()); break;
    case Bitrate: track.Bitrate = value.toInt(); break;
    case VBR: track.VBR = value.toBool(); break;
    case CRCs: track.CRCs = value.toBool(); break;
    case SampleRate: track.SampleRate = value.toInt(); break;
    case Frames: track.Frames = value.toInt(); break;
    case TrackIndex: track.TrackIndex = value.toInt(); break;
    case HeaderPosition: track.HeaderPosition = value.toInt(); break;
    default: QFAIL("no member for this field in the test table");
    }
}

void tst_Mp3Track::initTestCase()
{
    // Thousands separators follow the locale: pin one.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void tst_Mp3Track::cleanup()
{
    root.Clear();
    defaults() = TMP3Defaults();
}

void tst_Mp3Track::newTrackIsEmpty()
{
    TMp3Track *track = newTrack();
    QCOMPARE(track->ID, -1);
    QVERIFY(track->Genres->isEmpty());
    QVERIFY(!track->Artist && !track->Album && !track->Location && !track->Year);
    QCOMPARE(track->GetValueAsString(field(Length)), QStringLiteral("00:00"));
    QCOMPARE(track->GetValueAsString(field(Title)), QString());
    QCOMPARE(track->GetValueAsString(field(VBR)), QStringLiteral("No"));
    QCOMPARE(track->GetImageIndex(), 7);
    QCOMPARE(track->GetSelectedImageIndex(), 8);
}

void tst_Mp3Track::displayTexts_data()
{
    QTest::addColumn<int>("fieldID");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("vbr");
    QTest::addColumn<QString>("expected");

    QTest::newRow("length 65") << Length << QVariant(65) << false << "01:05";
    QTest::newRow("length 0") << Length << QVariant(0) << false << "00:00";
    QTest::newRow("length 6000") << Length << QVariant(6000) << false << "100:00";
    QTest::newRow("size 2000") << Size << QVariant(2000) << false << "2 KB";
    QTest::newRow("size 1 MiB") << Size << QVariant(1048576) << false << "1,024 KB";
    QTest::newRow("size 0") << Size << QVariant(0) << false << "0 KB";
    QTest::newRow("sample rate") << SampleRate << QVariant(44100) << false << "44kHz";
    QTest::newRow("bitrate vbr") << Bitrate << QVariant(128) << true << "128kbps(VBR)";
    QTest::newRow("bitrate cbr") << Bitrate << QVariant(128) << false << "128kbps";
    QTest::newRow("vbr flag") << VBR << QVariant(true) << true << "Yes";
    QTest::newRow("crc flag") << CRCs << QVariant(false) << false << "No";
    QTest::newRow("mpeg 1") << MpegVersion << QVariant(0) << false << "1.0";
    QTest::newRow("mpeg unknown") << MpegVersion << QVariant(3) << false << "?.?";
    QTest::newRow("mpeg damaged") << MpegVersion << QVariant(200) << false << "";
    QTest::newRow("mode") << Mode << QVariant(1) << false << "Joint Stereo";
    QTest::newRow("mode damaged") << Mode << QVariant(4) << false << "";
    QTest::newRow("emphasis") << Emphasis << QVariant(3) << false << "CCIT J.17";
    QTest::newRow("layer") << MpegLayer << QVariant(3) << false << "3";
    QTest::newRow("frames 0") << Frames << QVariant(0) << false << "0";
    QTest::newRow("track index") << TrackIndex << QVariant(12) << false << "12";
    QTest::newRow("header position") << HeaderPosition << QVariant(417) << false << "417";
    QTest::newRow("title the") << TitleThe << QVariant("The") << false << "The";
    QTest::newRow("title sort") << TitleSort << QVariant("Road, The") << false << "Road, The";
    QTest::newRow("sub title") << SubTitle << QVariant("Live") << false << "Live";
    QTest::newRow("copyright") << CopyrightBy << QVariant("Someone") << false << "Someone";
    QTest::newRow("file path") << Filepath << QVariant("/m/a/b.mp3") << false << "/m/a/b.mp3";
    QTest::newRow("file name") << Filename << QVariant("/m/a/b.mp3") << false << "b.mp3";
    QTest::newRow("file name, old path") << Filename << QVariant("d:\\m\\x.mp3") << false << "x.mp3";
    QTest::newRow("file name, drive only") << Filename << QVariant("d:x.mp3") << false << "x.mp3";
    QTest::newRow("file name with colon") << Filename << QVariant("/m/a:b.mp3") << false << "a:b.mp3";
    QTest::newRow("file name alone") << Filename << QVariant("x.mp3") << false << "x.mp3";
}

void tst_Mp3Track::displayTexts()
{
    QFETCH(int, fieldID);
    QFETCH(QVariant, value);
    QFETCH(bool, vbr);
    QFETCH(QString, expected);

    TMp3Track *track = newTrack();
    track->VBR = vbr;
    setMember(*track, fieldID, value);
    QCOMPARE(track->GetValueAsString(field(fieldID)), expected);
}

void tst_Mp3Track::integerAndBooleanValues()
{
    TMp3Track *track = newTrack();
    track->Size = 5000;
    track->Layer = 2;
    track->BPM = 120;
    track->Original = true;
    QCOMPARE(track->GetValueAsInteger(field(Size)), 5000);
    QCOMPARE(track->GetValueAsInteger(field(MpegLayer)), 2);
    QCOMPARE(track->GetValueAsInteger(field(BPM)), 120);
    QCOMPARE(track->GetValueAsInteger(field(Title)), -1);
    QCOMPARE(track->GetValueAsInteger(field(FieldIds::Index)), track->Index);
    QCOMPARE(track->GetValueAsBoolean(field(Original)), BoolValue::Yes);
    QCOMPARE(track->GetValueAsBoolean(field(Copyrighted)), BoolValue::No);
    QCOMPARE(track->GetValueAsBoolean(field(Title)), BoolValue::NotApplicable);
}

void tst_Mp3Track::lookupValues()
{
    TMp3Track *track = newTrack();
    struct Case {
        qint32 id;
        TLookupList *list;
    };
    const QList<Case> cases = {
        {Artist, root.Artists.get()},       {OriginalArtist, root.OriginalArtists.get()},
        {Lyricist, root.Lyricists.get()},   {Conductor, root.Conductors.get()},
        {Composer, root.Composers.get()},   {Album, root.Albums.get()},
        {Year, root.Years.get()},           {Tempo, root.Tempos.get()},
        {Mood, root.Moods.get()},           {Situation, root.Situations.get()},
        {Preference, root.Preferences.get()}, {Label, root.Labels.get()},
        {Orchestra, root.Orchestras.get()}, {Location, root.Locations.get()},
    };
    for (const Case &c : cases) {
        const QString name = QStringLiteral("Value %1").arg(c.id);
        TLookupItem *value = c.list->FindOrAdd(name);
        track->SetValueAsLookupItem(field(c.id), value, LookupSetMode::Replace, nullptr);
        QCOMPARE(track->GetValueAsLookupItem(field(c.id), false), value);
        QCOMPARE(track->GetValueAsString(field(c.id)), name);
        QVERIFY(track->HasLookupItem(field(c.id), value));
        QVERIFY(!track->HasLookupItem(field(c.id), nullptr));
    }
    QVERIFY(!track->HasLookupItem(field(Title), nullptr));

    track->SetValueAsLookupItem(field(Artist), nullptr, LookupSetMode::Replace, track->Artist);
    QVERIFY(!track->Artist);
    QCOMPARE(track->GetValueAsString(field(Artist)), QString());
    QVERIFY(track->HasLookupItem(field(Artist), nullptr));
}

void tst_Mp3Track::genres()
{
    TMp3Track *track = newTrack();
    const TDataField *genre = field(Genre);
    QVERIFY(track->HasLookupItem(genre, nullptr));
    TLookupItem *pop = root.GenreList->FindOrAdd(QStringLiteral("Pop"));
    TLookupItem *rock = root.GenreList->FindOrAdd(QStringLiteral("Rock"));
    track->SetValueAsLookupItem(genre, pop, LookupSetMode::Append, nullptr);
    track->SetValueAsLookupItem(genre, rock, LookupSetMode::Append, nullptr);

    QCOMPARE(track->GetValueAsString(genre), QStringLiteral("Pop; Rock"));
    QCOMPARE(track->GetValueAsLookupItem(genre, true), pop);
    QCOMPARE(track->GetValueAsLookupItemRefList(genre, true), track->Genres.get());
    QVERIFY(track->HasLookupItem(genre, rock));
    QVERIFY(!track->HasLookupItem(genre, nullptr));
    QVERIFY(!track->GetValueAsLookupItemRefList(field(Artist), true));

    track->SetValueAsLookupItem(genre, nullptr, LookupSetMode::Empty, nullptr);
    QVERIFY(track->HasLookupItem(genre, nullptr));
}

void tst_Mp3Track::setValueAsLookupItemRejectsOtherFields()
{
    TMp3Track *track = newTrack();
    TLookupItem *year = root.Years->FindByName(QStringLiteral("1999"));
    try {
        track->SetValueAsLookupItem(field(Title), year, LookupSetMode::Replace, nullptr);
        QFAIL("no exception for a text field");
    } catch (const EData &error) {
        QCOMPARE(error.Message(), QStringLiteral("Invalid field \"Title\"in setValueAsLookupItem"));
    }
    // A year is not a person: the artist stays as it was.
    QVERIFY_THROWS_EXCEPTION(EData, track->SetValueAsLookupItem(field(Artist), year,
                                                                LookupSetMode::Replace, nullptr));
    QVERIFY(!track->Artist);
}

void tst_Mp3Track::displayNameAndArtistTitle_data()
{
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("displayName");
    QTest::addColumn<QString>("artistTitle");

    QTest::newRow("no artist") << "" << "Intro" << " - Intro" << "Intro";
    QTest::newRow("both") << "The Lanterns" << "Glow" << "The Lanterns - Glow" << "The Lanterns - Glow";
    QTest::newRow("no title") << "The Lanterns" << "" << "The Lanterns - " << "The Lanterns";
    QTest::newRow("neither") << "" << "" << " - " << "";
}

void tst_Mp3Track::displayNameAndArtistTitle()
{
    QFETCH(QString, artist);
    QFETCH(QString, title);
    TMp3Track *track = newTrack();
    track->Title = title;
    if (!artist.isEmpty())
        track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(artist));
    QTEST(track->GetDisplayName(), "displayName");
    QTEST(GetArtistTitle(*track), "artistTitle");
}

void tst_Mp3Track::cloneAndIsEqual()
{
    TMp3Track *track = newTrack();
    track->Title = QStringLiteral("Glow");
    track->SubTitle = QStringLiteral("Live");
    track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(QStringLiteral("Anna")));
    track->Genres->Add(root.GenreList->FindOrAdd(QStringLiteral("Pop")));
    track->Layer = 3;
    track->HeaderPosition = 417;

    std::unique_ptr<TDataItem> copy = track->Clone(root.GetTracks(), true);
    auto *clone = static_cast<TMp3Track *>(copy.get());
    QCOMPARE(clone->GetID(), track->GetID());
    QCOMPARE(clone->Artist, track->Artist);
    QCOMPARE(clone->Layer, 3);
    QVERIFY(clone->IsEqual(track));
    QVERIFY(track->IsEqual(clone));

    clone->Layer = 1;
    QVERIFY(clone->IsEqual(track));

    // The clone's genre list is its own.
    clone->Genres->Clear();
    QCOMPARE(track->Genres->Count(), 1);
    QVERIFY(!clone->IsEqual(track));

    QVERIFY(!track->IsEqual(root.Years->Get(0)));
    QVERIFY(!track->IsEqual(nullptr));
}

void tst_Mp3Track::isEqualSeesEveryOtherMember_data()
{
    QTest::addColumn<int>("fieldID");
    QTest::addColumn<QVariant>("value");
    for (int id : {Title, TitleThe, TitleSort, SubTitle, Notes, CopyrightBy, Filepath})
        QTest::addRow("text %d", id) << id << QVariant(QStringLiteral("x"));
    for (int id : {Size, Length, MpegVersion, Mode, Emphasis, Bitrate, SampleRate, Frames, TrackIndex,
                   HeaderPosition})
        QTest::addRow("number %d", id) << id << QVariant(2);
    for (int id : {VBR, CRCs})
        QTest::addRow("flag %d", id) << id << QVariant(true);
}

void tst_Mp3Track::isEqualSeesEveryOtherMember()
{
    QFETCH(int, fieldID);
    QFETCH(QVariant, value);
    TMp3Track *track = newTrack();
    std::unique_ptr<TDataItem> copy = track->Clone(root.GetTracks(), true);
    auto *clone = static_cast<TMp3Track *>(copy.get());
    setMember(*clone, fieldID, value);
    QVERIFY(!clone->IsEqual(track));
}

void tst_Mp3Track::applyDefaults()
{
    defaults().DefaultYear = QStringLiteral("2010");
    defaults().DefaultGenre = QStringLiteral("Pop");
    defaults().DefaultLocation = QStringLiteral("Music");
    const int yearCount = root.Years->Count();

    TMp3Track *track = newTrack();
    track->ApplyDefaults();
    QVERIFY(track->Year);
    QCOMPARE(track->Year->DisplayName, QStringLiteral("2010"));
    QCOMPARE(root.Years->Count(), yearCount + 1);
    QCOMPARE(track->GetValueAsString(field(Genre)), QStringLiteral("Pop"));
    QVERIFY(track->Location);
    QCOMPARE(track->Location->DisplayName, QStringLiteral("Music"));

    // A second track finds the values the first one added.
    TMp3Track *second = newTrack();
    second->ApplyDefaults();
    QCOMPARE(second->Year, track->Year);
    QCOMPARE(second->Location, track->Location);
    QCOMPARE(root.GenreList->Count(), 1);
}

void tst_Mp3Track::applyDefaultsKeepsValues()
{
    defaults().DefaultYear = QStringLiteral("2010");
    defaults().DefaultGenre = QString();
    defaults().DefaultLocation = QString();

    TMp3Track *track = newTrack();
    TLookupItem *rock = root.GenreList->FindOrAdd(QStringLiteral("Rock"));
    TLookupItem *year = root.Years->FindByName(QStringLiteral("1999"));
    track->Genres->Add(rock);
    track->Year = year;
    track->ApplyDefaults();
    QCOMPARE(track->Year, year);
    QCOMPARE(track->Genres->Count(), 1);
    QVERIFY(!track->Location);
    QCOMPARE(root.Locations->Count(), 0);

    // Empty defaults add nothing.
    TMp3Track *empty = newTrack();
    defaults().DefaultYear = QString();
    empty->ApplyDefaults();
    QVERIFY(!empty->Year);
    QVERIFY(empty->Genres->isEmpty());
}

void tst_Mp3Track::missingFileMessages_data()
{
    QTest::addColumn<int>("driveType");
    QTest::addColumn<QString>("expected");
    const QString path = QStringLiteral("/media/cd/a.mp3");
    QTest::newRow("none") << -1 << "File /media/cd/a.mp3 not found.";
    QTest::newRow("unknown") << 0 << "File\n\r/media/cd/a.mp3\n\rnot found (Location Disc).";
    QTest::newRow("no root") << 1 << "File\n\r/media/cd/a.mp3\n\rnot found (Location Disc).";
    QTest::newRow("ram") << 6 << "File\n\r/media/cd/a.mp3\n\rnot found (Location Disc).";
    QTest::newRow("removable") << 2
                               << "File\n\r/media/cd/a.mp3\n\rnot found on removable drive Disc.\n\r\n\r"
                                  "Please insert the disk, and verify that the file has not been moved or "
                                  "renamed.";
    QTest::newRow("fixed") << 3
                           << "File\n\r/media/cd/a.mp3\n\rnot found on harddisk Disc.\n\r\n\rPlease verify "
                              "that the file has not been moved or renamed.";
    QTest::newRow("network") << 4
                             << "File\n\r/media/cd/a.mp3\n\rnot found on network drive Disc.\n\r\n\rPlease "
                                "verify that the network connection is active, and the file has not been "
                                "moved or renamed.";
    QTest::newRow("cd") << 5
                        << "File\n\r/media/cd/a.mp3\n\rnot found on CD Disc.\n\r\n\rPlease insert the disk, "
                           "and verify that the file has not been moved or renamed.";
}

void tst_Mp3Track::missingFileMessages()
{
    QFETCH(int, driveType);
    TMp3Track *track = newTrack();
    track->FilePath = QStringLiteral("/media/cd/a.mp3");
    if (driveType >= 0) {
        track->Location = static_cast<TLocationLookupItem *>(root.Locations->FindOrAdd(QStringLiteral("Disc")));
        track->Location->DriveType = quint8(driveType);
    }
    QTEST(GetMissingFileMessage(*track), "expected");
}

QTEST_APPLESS_MAIN(tst_Mp3Track)
#include "tst_mp3track.moc"
