#include "core/audio/genretext.h"
#include "core/audio/id3v2tag.h"
#include "core/base/legacytext.h"

#include "id3v2builder.h"
#include "scratchfolder.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QByteArray Audio = fakeAudio(5000);
const QByteArray Picture = bytes("\x00image/png\x00\x03\x00") + fakeAudio(300, 7);
const QByteArray Private = bytes("owner@example\x00") + bytes("\xFF\x00\xFF\xE0\x01");
const QByteArray UserText = bytes("\x00MOOD\x00quiet");

QByteArray utf16be(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf16BE);
    return encoder(text);
}

QMap<QString, QString> fieldsOf(const TID3v2Tag &t)
{
    return {
        {"artist", t.Artist}, {"title", t.Title}, {"album", t.Album}, {"year", t.Year},
        {"track", QString::number(t.Track)}, {"genre", t.Genre}, {"comment", t.Comment},
        {"label", t.Label}, {"origArtist", t.OrigArtist}, {"composer", t.Composer},
        {"lyricist", t.Lyricist}, {"orchestra", t.Orchestra}, {"conductor", t.Conductor},
        {"encodedBy", t.EncodedBy}, {"copyrightBy", t.CopyrightBy}, {"bpm", QString::number(t.BPM)},
        {"subtitle", t.Subtitle}, {"tempo", t.Tempo}, {"mood", t.Mood}, {"situation", t.Situation},
        {"preference", t.Preference}, {"bio", t.Bio}, {"audioURL", t.AudioURL},
        {"artistURL", t.ArtistURL}, {"generalURL", t.GeneralURL}, {"lyrics", t.Lyrics},
    };
}

// A tag of the given version with two known and three unknown frames.
Id3v2Builder mixedTag(int version)
{
    Id3v2Builder b(version);
    b.frame("APIC", Picture).text("TIT2", "Old title").frame("PRIV", Private).text("TPE1", "Old artist")
        .text("TALB", "Album").frame("TXXX", UserText);
    return b;
}

bool isRoot()
{
    return geteuid() == 0;
}

} // namespace

class tst_ID3v2Tag : public QObject {
    Q_OBJECT

private:
    ScratchFolder m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void readStructures_data();
    void readStructures();
    void readsAllFields();
    void readWithoutTag_data();
    void readWithoutTag();

    void writePaths_data();
    void writePaths();
    void inPlaceUsesPadding();
    void fullTagIsRewrittenWithPadding();
    void newTagStartsWithArtist();
    void removal_data();
    void removal();
    void refusesDamagedTags_data();
    void refusesDamagedTags();

    void emptyValuesWriteNoFrames();
    void emptyingFieldsRemovesFrames();
    void emptiedTagIsRemoved();
    void trackKeepsTotal();
    void yearFollowsVersion();
    void writeEncodings_data();
    void writeEncodings();
    void commentMatchedWhateverEncoding();
    void roundTripKeepsFrames_data();
    void roundTripKeepsFrames();
    void v22IsUpgradedToV23();
    void opaqueAndGroupedFrames();

    void rewriteSparesOtherFiles();
    void rewriteKeepsPermissions();
    void rewriteFollowsSymlink();
    void readOnlyFileIsRefused();
    void readOnlyFolderRefusesRewrite();

    void genreDisplayText_data();
    void genreDisplayText();
    void severalGenresWritten_data();
    void severalGenresWritten();
    void latin1FramesInLegacyCodePage();
};

void tst_ID3v2Tag::readStructures_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<int>("track");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("comment");

    const QString longComment = QString(300, u'c');
    QTest::newRow("v2.3 latin-1")
        << Id3v2Builder(3).text("TIT2", "Café").text("TPE1", "Artiste").text("TRCK", "7")
               .text("TYER", "1999").described("COMM", "", "nice").padding(100).build()
        << 3 << "Café" << "Artiste" << 7 << "1999" << "nice";
    QTest::newRow("v2.3 UTF-16 little endian")
        << Id3v2Builder(3).text("TIT2", "Ωmega", 1).text("TPE1", "Björk", 1)
               .described("COMM", "", "Grüße ☃", 1).build()
        << 3 << "Ωmega" << "Björk" << 0 << "" << "Grüße ☃";
    QTest::newRow("v2.3 UTF-16 big endian mark")
        << Id3v2Builder(3).frame("TIT2", "\x01\xFE\xFF" + utf16be("Ωmega")).build()
        << 3 << "Ωmega" << "" << 0 << "" << "";
    QTest::newRow("v2.4 UTF-16BE and UTF-8")
        << Id3v2Builder(4).text("TIT2", "Ωmega", 2).text("TPE1", "Сергей", 3)
               .text("TDRC", "2004-05-06").described("COMM", "Ω", "not ours", 3)
               .described("COMM", "", "ours", 3).build()
        << 4 << "Ωmega" << "Сергей" << 0 << "2004" << "ours";
    QTest::newRow("v2.4 syncsafe frame sizes")
        << Id3v2Builder(4).described("COMM", "", longComment).text("TIT2", "After").build()
        << 4 << "After" << "" << 0 << "" << longComment;
    QTest::newRow("v2.4 plain frame sizes")
        << Id3v2Builder(4).plainFrameSizes().described("COMM", "", longComment)
               .text("TIT2", "After").padding(50).build()
        << 4 << "After" << "" << 0 << "" << longComment;
    QTest::newRow("v2.3 extended header")
        << Id3v2Builder(3).extendedHeader().text("TIT2", "Ext").padding(10).build()
        << 3 << "Ext" << "" << 0 << "" << "";
    QTest::newRow("v2.4 extended header")
        << Id3v2Builder(4).extendedHeader().text("TIT2", "Ext").build()
        << 4 << "Ext" << "" << 0 << "" << "";
    QTest::newRow("v2.3 unsynchronised")
        << Id3v2Builder(3).unsynchronised().frame("PRIV", Private).text("TIT2", "\u00FF\u00E0")
               .text("TPE1", "After").build()
        << 3 << "\u00FF\u00E0" << "After" << 0 << "" << "";
    QTest::newRow("v2.4 frame unsynchronisation, data length")
        << Id3v2Builder(4).unsynchronised().dataLengthIndicators().frame("PRIV", Private)
               .text("TIT2", "\u00FF\u00E0").text("TPE1", "After").build()
        << 4 << "\u00FF\u00E0" << "After" << 0 << "" << "";
    QTest::newRow("v2.4 footer")
        << Id3v2Builder(4).footer().text("TIT2", "Footer").text("TRCK", "2").build()
        << 4 << "Footer" << "" << 2 << "" << "";
    QTest::newRow("v2.2")
        << Id3v2Builder(2).text("TT2", "Old").text("TP1", "Timer").text("TAL", "Album")
               .text("TYE", "1997").text("TRK", "5/9").text("TCO", "(17)")
               .described("COM", "", "two two").build()
        << 2 << "Old" << "Timer" << 5 << "1997" << "two two";
    QTest::newRow("track with total")
        << Id3v2Builder(3).text("TRCK", "3/12").build() << 3 << "" << "" << 3 << "" << "";
    QTest::newRow("terminated and padded texts")
        << Id3v2Builder(3).frame("TIT2", bytes("\x00  Padded \x00")).text("TRCK", " 4 ").build()
        << 3 << "Padded" << "" << 4 << "" << "";
    QTest::newRow("padding ends the list")
        << Id3v2Builder(3).text("TIT2", "Before").padding(20).build()
        << 3 << "Before" << "" << 0 << "" << "";
    QTest::newRow("frame beyond the tag ends the list")
        << Id3v2Builder(3).text("TIT2", "Kept").raw("TPE1" + Id3v2Builder::bigEndian(0x7FFFFFF0)
                                                    + QByteArray(2, '\0') + "\x00Lost")
               .build()
        << 3 << "Kept" << "" << 0 << "" << "";
    QTest::newRow("compressed frame is skipped")
        << Id3v2Builder(3).frame("TPE1", bytes("\x00\x00\x00\x10xyzxyz"), 0, 0x80)
               .text("TIT2", "Readable").build()
        << 3 << "Readable" << "" << 0 << "" << "";
    QTest::newRow("tag size beyond the file")
        << Id3v2Builder(3).text("TIT2", "Truncated").sizeField(Id3v2Builder::syncSafe(1 << 20)).build()
        << 3 << "Truncated" << "" << 0 << "" << "";
}

void tst_ID3v2Tag::readStructures()
{
    QFETCH(QByteArray, tag);
    const QString path = m_dir.newFile(tag + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    QVERIFY(t.Exists);
    QFETCH(int, version);
    QCOMPARE(t.MajorVersion, version);
    QTEST(t.Title, "title");
    QTEST(t.Artist, "artist");
    QTEST(int(t.Track), "track");
    QTEST(t.Year, "year");
    QTEST(t.Comment, "comment");
    QCOMPARE(t.FrameList.count(), 0);
}

void tst_ID3v2Tag::readsAllFields()
{
    const QByteArray tag = Id3v2Builder(3)
                               .text("TPE1", "Artist").text("TIT2", "Title").text("TALB", "Album")
                               .text("TYER", "2001").text("TRCK", "9").text("TCON", "(17)Rock")
                               .described("COMM", "", "Comment").text("TPUB", "Label")
                               .text("TOPE", "Orig").text("TCOM", "Composer").text("TEXT", "Lyricist")
                               .text("TPE2", "Orchestra").text("TPE3", "Conductor")
                               .text("TENC", "Encoder").text("TCOP", "(c) Someone").text("TBPM", "128")
                               .text("TIT3", "Subtitle")
                               .described("COMM", "MusicMatch_Tempo", "Fast")
                               .described("COMM", "MusicMatch_Mood", "Calm")
                               .described("COMM", "MusicMatch_Situation", "Night")
                               .described("COMM", "MusicMatch_Preference", "High")
                               .described("COMM", "MusicMatch_Bio", "Born somewhere")
                               .frame("WOAF", "http://audio.example/")
                               .frame("WOAR", "http://artist.example/")
                               .frame("WXXX", bytes("\x00home\x00http://general.example/"))
                               .described("USLT", "", "La la la")
                               .build();
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(m_dir.newFile(tag + Audio)));
    const QMap<QString, QString> expected = {
        {"artist", "Artist"}, {"title", "Title"}, {"album", "Album"}, {"year", "2001"},
        {"track", "9"}, {"genre", "(17)Rock"}, {"comment", "Comment"}, {"label", "Label"},
        {"origArtist", "Orig"}, {"composer", "Composer"}, {"lyricist", "Lyricist"},
        {"orchestra", "Orchestra"}, {"conductor", "Conductor"}, {"encodedBy", "Encoder"},
        {"copyrightBy", "(c) Someone"}, {"bpm", "128"}, {"subtitle", "Subtitle"},
        {"tempo", "Fast"}, {"mood", "Calm"}, {"situation", "Night"}, {"preference", "High"},
        {"bio", "Born somewhere"}, {"audioURL", "http://audio.example/"},
        {"artistURL", "http://artist.example/"}, {"generalURL", "http://general.example/"},
        {"lyrics", "La la la"},
    };
    QCOMPARE(fieldsOf(t), expected);
    QCOMPARE(t.TagSize, tag.size() - 10);
    QCOMPARE(t.GetGenre(), QStringLiteral("(17)Rock"));
    QCOMPARE(t.genreDisplayText(), QStringLiteral("Rock"));
}

void tst_ID3v2Tag::readWithoutTag_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("audio only") << Audio;
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("unknown version 2.5") << bytes("ID3\x05\x00\x00\x00\x00\x00\x00") + Audio;
}

void tst_ID3v2Tag::readWithoutTag()
{
    QFETCH(QByteArray, bytes);
    TID3v2Tag t;
    t.Title = "stale";
    QVERIFY(!t.ReadFromFile(m_dir.newFile(bytes)));
    QVERIFY(!t.Exists);
    QVERIFY(t.Title.isEmpty());
    QVERIFY(!t.ReadFromFile(m_dir.path("missing.mp3")));
    QVERIFY(!t.errorString().isEmpty());
}

void tst_ID3v2Tag::writePaths_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<int>("writtenVersion");

    QTest::newRow("v2.3 with room") << mixedTag(3).padding(500).build() << true << 3;
    QTest::newRow("v2.3 without room") << mixedTag(3).build() << false << 3;
    QTest::newRow("v2.4 with room") << mixedTag(4).padding(500).build() << true << 4;
    QTest::newRow("v2.4 without room") << mixedTag(4).build() << false << 4;
    QTest::newRow("v2.4 footer") << mixedTag(4).footer().build() << false << 4;
    QTest::newRow("v2.4 footer, shorter values")
        << mixedTag(4).text("TIT3", QString(60, u's')).footer().build() << true << 4;
    QTest::newRow("v2.3 unsynchronised") << mixedTag(3).unsynchronised().padding(500).build() << true << 3;
    QTest::newRow("v2.4 unsynchronised, data length")
        << mixedTag(4).unsynchronised().dataLengthIndicators().padding(500).build() << true << 4;
    QTest::newRow("v2.3 extended header") << mixedTag(3).extendedHeader().padding(500).build() << true << 3;
    QTest::newRow("v2.4 extended header") << mixedTag(4).extendedHeader().build() << false << 4;
    QTest::newRow("v2.4 plain frame sizes") << mixedTag(4).plainFrameSizes().padding(500).build() << true << 4;
}

// Every write path keeps the audio, the unknown frames and their order.
void tst_ID3v2Tag::writePaths()
{
    QFETCH(QByteArray, tag);
    QFETCH(bool, inPlace);
    QFETCH(int, writtenVersion);
    const QString path = m_dir.newFile(tag + Audio);

    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    t.Title = "New title, a good deal longer";
    t.Artist = "New artist";
    t.Subtitle.clear();
    QVERIFY2(t.WriteToFile(path), qPrintable(t.errorString()));
    QVERIFY(t.Exists);

    const QByteArray written = readFile(path);
    QCOMPARE(written.size() == tag.size() + Audio.size(), inPlace);
    const StoredTagView view = viewTag(written);
    QCOMPARE(view.majorVersion, writtenVersion);
    QCOMPARE(view.flags & 0xD0, 0);  // no unsynchronisation, extended header or footer
    QCOMPARE(view.audio, Audio);
    QVERIFY(view.paddingIsZero);
    QCOMPARE(view.ids(), (QList<QByteArray>{"APIC", "TIT2", "PRIV", "TPE1", "TALB", "TXXX"}));
    QCOMPARE(view.find("APIC")->data, Picture);
    QCOMPARE(view.find("PRIV")->data, Private);
    QCOMPARE(view.find("TXXX")->data, UserText);
    QCOMPARE(view.find("TXXX")->formatFlags, quint8(0));
    QCOMPARE(t.TagSize, view.size);
    QCOMPARE(t.MajorVersion, writtenVersion);

    TID3v2Tag back;
    QVERIFY(back.ReadFromFile(path));
    QCOMPARE(back.Title, QStringLiteral("New title, a good deal longer"));
    QCOMPARE(back.Artist, QStringLiteral("New artist"));
    QCOMPARE(back.Album, QStringLiteral("Album"));
}

void tst_ID3v2Tag::inPlaceUsesPadding()
{
    const QByteArray tag = Id3v2Builder(3).frame("APIC", Picture).text("TIT2", "a").padding(2000).build();
    const QString path = m_dir.newFile(tag + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    t.Title = "a" + QString(100, u'b');
    QVERIFY(t.WriteToFile(path));
    const QByteArray written = readFile(path);
    QCOMPARE(written.size(), tag.size() + Audio.size());
    const StoredTagView view = viewTag(written);
    QCOMPARE(view.paddingBytes, 1900);
    QCOMPARE(view.audio, Audio);
    QCOMPARE(view.ids(), (QList<QByteArray>{"APIC", "TIT2"}));
}

void tst_ID3v2Tag::fullTagIsRewrittenWithPadding()
{
    const QByteArray tag = Id3v2Builder(3).text("TIT2", "Full").frame("PRIV", Private).build();
    const QString path = m_dir.newFile(tag + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    QVERIFY(t.WriteToFile(path));  // unchanged frames that fill the tag exactly
    const StoredTagView view = viewTag(readFile(path));
    QCOMPARE(view.paddingBytes, 1024);
    QCOMPARE(view.ids(), (QList<QByteArray>{"TIT2", "PRIV"}));
    QCOMPARE(view.audio, Audio);
}

void tst_ID3v2Tag::newTagStartsWithArtist()
{
    const QString path = m_dir.newFile(Audio);
    TID3v2Tag t;
    QVERIFY(!t.ReadFromFile(path));
    t.Artist = "Artist";
    t.Title = "Title";
    t.Year = "2020";
    t.Track = 4;
    t.Comment = "Comment";
    t.Lyrics = "Words";
    QVERIFY(t.WriteToFile(path));
    QVERIFY(t.Exists);
    const QByteArray written = readFile(path);
    QVERIFY(written.startsWith(bytes("ID3\x03\x00\x00")));
    const StoredTagView view = viewTag(written);
    QCOMPARE(view.ids(), (QList<QByteArray>{"TPE1", "TIT2", "TYER", "TRCK", "COMM", "USLT"}));
    QCOMPARE(view.find("TPE1")->data, bytes("\x00" "Artist"));
    QCOMPARE(view.find("COMM")->data, bytes("\x00\x00\x00\x00\x00" "Comment"));
    QCOMPARE(view.paddingBytes, 1024);
    QCOMPARE(view.audio, Audio);
}

void tst_ID3v2Tag::removal_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::newRow("v2.3") << mixedTag(3).padding(100).build();
    QTest::newRow("v2.4 footer") << mixedTag(4).footer().build();
    QTest::newRow("v2.3 unsynchronised") << mixedTag(3).unsynchronised().build();
    QTest::newRow("v2.2") << Id3v2Builder(2).text("TT2", "Old").build();
    QTest::newRow("damaged extended header")
        << bytes("ID3\x03\x00\x40") + Id3v2Builder::syncSafe(20) + QByteArray(20, '\x7F');
    QTest::newRow("no tag") << QByteArray();
}

void tst_ID3v2Tag::removal()
{
    QFETCH(QByteArray, tag);
    const QString path = m_dir.newFile(tag + Audio);
    TID3v2Tag t;
    t.ReadFromFile(path);
    t.Enabled = false;
    QVERIFY2(t.WriteToFile(path), qPrintable(t.errorString()));
    QVERIFY(!t.Exists);
    QVERIFY(t.Title.isEmpty());
    QCOMPARE(readFile(path), Audio);
}

void tst_ID3v2Tag::refusesDamagedTags_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("removable");

    const QByteArray small = Id3v2Builder(3).text("TIT2", "x").build().mid(10);
    QTest::newRow("size beyond the file")
        << Id3v2Builder(3).text("TIT2", "x").sizeField(Id3v2Builder::syncSafe(100000)).build() + Audio
        << false;
    QTest::newRow("size byte with high bit")
        << bytes("ID3\x03\x00\x00\x00\x00\x80\x11") + small + Audio << false;
    QTest::newRow("unknown version 2.5") << bytes("ID3\x05\x00\x00\x00\x00\x00\x00") + Audio
                                         << false;
    QTest::newRow("damaged extended header")
        << bytes("ID3\x03\x00\x40") + Id3v2Builder::syncSafe(small.size() + 4)
               + Id3v2Builder::bigEndian(0xFFFF) + small + Audio
        << true;
    QTest::newRow("compressed v2.2 tag")
        << bytes("ID3\x02\x00\x40") + Id3v2Builder::syncSafe(8) + QByteArray(8, 'z') + Audio
        << true;
    QTest::newRow("v2.2 frame without v2.3 form")
        << Id3v2Builder(2).text("TT2", "x").frame("CRM", bytes("owner\0xyz")).build() + Audio << true;
}

void tst_ID3v2Tag::refusesDamagedTags()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, removable);
    const QString path = m_dir.newFile(bytes);
    TID3v2Tag t;
    t.ReadFromFile(path);
    const bool existed = t.Exists;
    t.Title = "Never written";
    QVERIFY(!t.WriteToFile(path));
    QVERIFY(!t.errorString().isEmpty());
    QCOMPARE(t.Exists, existed);
    QCOMPARE(readFile(path), bytes);

    t.Enabled = false;
    QCOMPARE(t.WriteToFile(path), removable);
    if (!removable)
        QCOMPARE(readFile(path), bytes);
    else
        QCOMPARE(readFile(path), Audio);
}

void tst_ID3v2Tag::emptyValuesWriteNoFrames()
{
    const QString path = m_dir.newFile(Audio);
    TID3v2Tag t;
    t.Title = "Only title";
    QVERIFY(t.WriteToFile(path));
    QCOMPARE(viewTag(readFile(path)).ids(), QList<QByteArray>{"TIT2"});

    const QString bare = m_dir.newFile(Audio);
    TID3v2Tag empty;
    QVERIFY(empty.WriteToFile(bare));
    QVERIFY(!empty.Exists);
    QCOMPARE(readFile(bare), Audio);
}

void tst_ID3v2Tag::emptyingFieldsRemovesFrames()
{
    const QByteArray tag = Id3v2Builder(3).text("TIT2", "Title").frame("WOAF", "http://a.example/")
                               .text("TRCK", "5").text("TBPM", "120").described("COMM", "", "Note")
                               .frame("PRIV", Private).padding(200).build();
    const QString path = m_dir.newFile(tag + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    t.AudioURL.clear();
    t.Track = 0;
    t.BPM = 0;
    t.Comment.clear();
    QVERIFY(t.WriteToFile(path));
    const StoredTagView view = viewTag(readFile(path));
    QCOMPARE(view.ids(), (QList<QByteArray>{"TIT2", "PRIV"}));
    QCOMPARE(view.audio, Audio);
}

void tst_ID3v2Tag::emptiedTagIsRemoved()
{
    const QString path = m_dir.newFile(Id3v2Builder(4).text("TIT2", "Title").padding(50).build() + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    t.Title.clear();
    QVERIFY(t.WriteToFile(path));
    QVERIFY(!t.Exists);
    QCOMPARE(readFile(path), Audio);
}

void tst_ID3v2Tag::trackKeepsTotal()
{
    const QString path = m_dir.newFile(Id3v2Builder(3).text("TRCK", "3/12").padding(50).build() + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    QCOMPARE(t.Track, 3);
    t.Track = 4;
    QVERIFY(t.WriteToFile(path));
    QCOMPARE(viewTag(readFile(path)).find("TRCK")->data, bytes("\x00" "4/12"));
}

void tst_ID3v2Tag::yearFollowsVersion()
{
    // v2.4: the recording time keeps its date while the year stays.
    const QString v24 = m_dir.newFile(Id3v2Builder(4).text("TDRC", "2004-05-06").text("TIT2", "x").padding(50).build()
                                + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(v24));
    QCOMPARE(t.Year, QStringLiteral("2004"));
    t.Title = "y";
    QVERIFY(t.WriteToFile(v24));
    QCOMPARE(viewTag(readFile(v24)).find("TDRC")->data, bytes("\x00" "2004-05-06"));
    t.Year = "2005";
    QVERIFY(t.WriteToFile(v24));
    QCOMPARE(viewTag(readFile(v24)).find("TDRC")->data, bytes("\x00" "2005"));

    // A v2.4 tag holding the year in v2.3's frame: read, then moved.
    const QString oldFrame = m_dir.newFile(Id3v2Builder(4).text("TYER", "1999").padding(50).build() + Audio);
    QVERIFY(t.ReadFromFile(oldFrame));
    QCOMPARE(t.Year, QStringLiteral("1999"));
    t.Year = "2001";
    QVERIFY(t.WriteToFile(oldFrame));
    QCOMPARE(viewTag(readFile(oldFrame)).ids(), QList<QByteArray>{"TDRC"});

    const QString v23 = m_dir.newFile(Id3v2Builder(3).text("TDRC", "1988").padding(50).build() + Audio);
    QVERIFY(t.ReadFromFile(v23));
    QCOMPARE(t.Year, QStringLiteral("1988"));
    t.Year = "1989";
    QVERIFY(t.WriteToFile(v23));
    QCOMPARE(viewTag(readFile(v23)).ids(), QList<QByteArray>{"TYER"});
}

void tst_ID3v2Tag::writeEncodings_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("latin-1 in v2.3") << 3 << "Café" << bytes("\x00" "Caf\xE9");
    QTest::newRow("latin-1 in v2.4") << 4 << "Café" << bytes("\x00" "Caf\xE9");
    QTest::newRow("unicode in v2.3") << 3 << "Ωm" << bytes("\x01\xFF\xFE\xA9\x03m\x00");
    QTest::newRow("unicode in v2.4") << 4 << "Ωm" << bytes("\x03\xCE\xA9m");
}

void tst_ID3v2Tag::writeEncodings()
{
    QFETCH(int, version);
    QFETCH(QString, title);
    const QString path = m_dir.newFile(Id3v2Builder(version).text("TIT2", "Old", 1).padding(50).build() + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    QCOMPARE(t.Title, QStringLiteral("Old"));
    t.Title = title;
    t.Comment = title;
    QVERIFY(t.WriteToFile(path));
    const StoredTagView view = viewTag(readFile(path));
    QTEST(view.find("TIT2")->data, "data");
    TID3v2Tag back;
    QVERIFY(back.ReadFromFile(path));
    QCOMPARE(back.Title, title);
    QCOMPARE(back.Comment, title);
}

void tst_ID3v2Tag::commentMatchedWhateverEncoding()
{
    const QString path = m_dir.newFile(Id3v2Builder(3).described("COMM", "iTunNORM", " 000001", 1)
                                     .described("COMM", "", "hello", 1, "deu").padding(100).build()
                                 + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    QCOMPARE(t.Comment, QStringLiteral("hello"));
    t.Comment = "bye";
    QVERIFY(t.WriteToFile(path));
    const StoredTagView view = viewTag(readFile(path));
    QCOMPARE(view.ids(), (QList<QByteArray>{"COMM", "COMM"}));
    QCOMPARE(view.frames[1].data, bytes("\x00" "deu" "\x00" "bye"));
    QVERIFY(t.ReadFromFile(path));
    QCOMPARE(t.Comment, QStringLiteral("bye"));
}

void tst_ID3v2Tag::roundTripKeepsFrames_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<bool>("untouched");

    const auto rich = [](int version) {
        Id3v2Builder b(version);
        b.text("TPE1", "Ωne", 1).text("TIT2", "Title").text("TRCK", "3/12").text("TCON", "(17)")
            .described("COMM", "", "note", 0, "deu").described("COMM", "MusicMatch_Mood", "Calm", 1)
            .frame("WXXX", bytes("\x00home\x00http://x.example/")).frame("APIC", Picture)
            .described("USLT", "", "line one\nline two", 1).text("TBPM", "120.5");
        b.text(version >= 4 ? "TDRC" : "TYER", version >= 4 ? "2004-05-06" : "2004");
        return b;
    };
    QTest::newRow("v2.3") << rich(3).padding(300).build() << true;
    QTest::newRow("v2.4") << rich(4).padding(300).build() << true;
    QTest::newRow("v2.4 several values")
        << Id3v2Builder(4).frame("TPE1", bytes("\x03One\x00Two")).padding(30).build() << true;
    QTest::newRow("v2.4 several genres")
        << Id3v2Builder(4).frame("TCON", bytes("\x00" "4\x00" "Eurodisco")).padding(30).build() << true;
    QTest::newRow("v2.3 genre references") << Id3v2Builder(3).text("TCON", "(4)(17)").padding(30).build() << true;
    QTest::newRow("v2.4 unsynchronised") << rich(4).unsynchronised().dataLengthIndicators().build() << false;
    QTest::newRow("v2.3 unsynchronised, extended header")
        << rich(3).unsynchronised().extendedHeader().build() << false;
}

// Reading a tag and writing it back unchanged never degrades it.
void tst_ID3v2Tag::roundTripKeepsFrames()
{
    QFETCH(QByteArray, tag);
    QFETCH(bool, untouched);
    const QString path = m_dir.newFile(tag + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    const auto before = fieldsOf(t);
    QVERIFY(t.WriteToFile(path));
    if (untouched)
        QCOMPARE(readFile(path), tag + Audio);
    TID3v2Tag back;
    QVERIFY(back.ReadFromFile(path));
    QCOMPARE(fieldsOf(back), before);
    QCOMPARE(viewTag(readFile(path)).audio, Audio);

    // A second round changes nothing more.
    const QByteArray once = readFile(path);
    QVERIFY(back.WriteToFile(path));
    QCOMPARE(readFile(path), once);
}

void tst_ID3v2Tag::v22IsUpgradedToV23()
{
    const QByteArray jpeg = fakeAudio(200, 3);
    const QByteArray tag = Id3v2Builder(2).text("TT2", "Old title").text("TP1", "Artist")
                               .text("TAL", "Album").text("TYE", "1998").text("TRK", "2/10")
                               .text("TCO", "(17)").described("COM", "", "Comment")
                               .frame("PIC", bytes("\x00JPG\x03" "cover\x00") + jpeg)
                               .frame("TXX", bytes("\x00" "custom\x00value"))
                               .padding(20).build();
    const QString path = m_dir.newFile(tag + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    QCOMPARE(t.MajorVersion, 2);
    QCOMPARE(t.Genre, QStringLiteral("(17)"));
    t.Title = "New title";
    QVERIFY(t.WriteToFile(path));
    QCOMPARE(t.MajorVersion, 3);

    const StoredTagView view = viewTag(readFile(path));
    QCOMPARE(view.majorVersion, 3);
    QCOMPARE(view.ids(), (QList<QByteArray>{"TIT2", "TPE1", "TALB", "TYER", "TRCK", "TCON", "COMM", "APIC", "TXXX"}));
    QCOMPARE(view.find("APIC")->data, bytes("\x00image/jpeg\x00\x03" "cover\x00") + jpeg);
    QCOMPARE(view.find("TXXX")->data, bytes("\x00" "custom\x00value"));
    QCOMPARE(view.find("TRCK")->data, bytes("\x00" "2/10"));
    QCOMPARE(view.audio, Audio);
    TID3v2Tag back;
    QVERIFY(back.ReadFromFile(path));
    QCOMPARE(back.Title, QStringLiteral("New title"));
    QCOMPARE(back.Artist, QStringLiteral("Artist"));
    QCOMPARE(back.Year, QStringLiteral("1998"));
    QCOMPARE(back.Comment, QStringLiteral("Comment"));
}

// Compressed or encrypted frames are kept as they are until the user gives
// their field a value; a group id stays with its frame.
void tst_ID3v2Tag::opaqueAndGroupedFrames()
{
    const QByteArray compressed = bytes("\x00\x00\x00\x10") + "xyzxyzxyz";
    const QByteArray tag = Id3v2Builder(4).frame("TPE1", compressed, 0, 0x08 | 0x01)
                               .frame("TIT2", bytes("\x07\x00Grouped"), 0x40, 0x40)
                               .frame("PRIV", Private, 0, 0x04).padding(100).build();
    const QString path = m_dir.newFile(tag + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    QCOMPARE(t.Artist, QString());
    QCOMPARE(t.Title, QStringLiteral("Grouped"));
    t.Title = "Still grouped";
    QVERIFY(t.WriteToFile(path));
    StoredTagView view = viewTag(readFile(path));
    QCOMPARE(view.frames[0], (StoredFrame{"TPE1", compressed, 0, 0x09}));
    QCOMPARE(view.frames[1], (StoredFrame{"TIT2", bytes("\x07\x00Still grouped"), 0x40, 0x40}));
    QCOMPARE(view.frames[2], (StoredFrame{"PRIV", Private, 0, 0x04}));

    t.Artist = "Plain";
    QVERIFY(t.WriteToFile(path));
    view = viewTag(readFile(path));
    QCOMPARE(view.ids(), (QList<QByteArray>{"TPE1", "TIT2", "PRIV"}));
    QCOMPARE(view.frames[0], (StoredFrame{"TPE1", bytes("\x00Plain"), 0, 0}));
}

void tst_ID3v2Tag::rewriteSparesOtherFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("song.mp3");
    const QString bystander = dir.filePath("tmp.mp3");
    writeFile(path, Audio);
    writeFile(bystander, "the user's own file");
    TID3v2Tag t;
    t.Title = "Title";
    QVERIFY(t.WriteToFile(path));
    QCOMPARE(readFile(bystander), QByteArray("the user's own file"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"song.mp3", "tmp.mp3"}));
    QCOMPARE(viewTag(readFile(path)).audio, Audio);
}

void tst_ID3v2Tag::rewriteKeepsPermissions()
{
    const QString path = m_dir.newFile(Audio);
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path, permissions));
    TID3v2Tag t;
    t.Title = "Title";
    QVERIFY(t.WriteToFile(path));
    const auto unixBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
        | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFileInfo(path).permissions() & unixBits, permissions);
}

void tst_ID3v2Tag::rewriteFollowsSymlink()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("real.mp3");
    const QString link = dir.filePath("link.mp3");
    writeFile(target, Audio);
    QVERIFY(QFile::link(target, link));
    TID3v2Tag t;
    t.Title = "Through the link";
    QVERIFY(t.WriteToFile(link));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(viewTag(readFile(target)).audio, Audio);
    QVERIFY(t.ReadFromFile(target));
    QCOMPARE(t.Title, QStringLiteral("Through the link"));
}

void tst_ID3v2Tag::readOnlyFileIsRefused()
{
    if (isRoot())
        QSKIP("root may write read-only files");
    const QByteArray bytes = mixedTag(3).build() + Audio;
    const QString path = m_dir.newFile(bytes);
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    t.Title = QString(500, u't');  // needs a rewrite
    QVERIFY(!t.WriteToFile(path));
    t.Title = "x";  // would fit in place
    QVERIFY(!t.WriteToFile(path));
    QCOMPARE(readFile(path), bytes);
}

void tst_ID3v2Tag::readOnlyFolderRefusesRewrite()
{
    if (isRoot())
        QSKIP("root may write into read-only folders");
    QTemporaryDir dir;
    const QString path = dir.filePath("song.mp3");
    const QByteArray bytes = mixedTag(3).build() + Audio;
    writeFile(path, bytes);
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    t.Title = QString(500, u't');
    const bool written = t.WriteToFile(path);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!written);
    QCOMPARE(readFile(path), bytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"song.mp3"});
}

void tst_ID3v2Tag::genreDisplayText_data()
{
    QTest::addColumn<QString>("tcon");
    QTest::addColumn<QString>("display");
    QTest::newRow("reference") << "(17)" << "Rock";
    QTest::newRow("reference and refinement") << "(17)Rock" << "Rock";
    QTest::newRow("number") << "17" << "Rock";
    QTest::newRow("two references") << "(4)(17)" << "Disco; Rock";
    QTest::newRow("refinement after its reference") << "(4)Eurodisco" << "Disco; Eurodisco";
    QTest::newRow("references and refinement") << "(9)(17)Nu Metal" << "Metal; Rock; Nu Metal";
    QTest::newRow("repeated reference") << "(17)(17)" << "Rock";
    QTest::newRow("v2.4 values") << QString::fromUtf8("4\0" "17\0Eurodisco", 15) << "Disco; Rock; Eurodisco";
    QTest::newRow("list as the collection joins it") << "Disco; (17)" << "Disco; Rock";
    QTest::newRow("unknown reference after a known one") << "(4)(200)" << "Disco; (200)";
    QTest::newRow("remix") << "(RX)" << "Remix";
    QTest::newRow("cover") << "(CR)" << "Cover";
    QTest::newRow("escaped parenthesis") << "((Live)" << "(Live)";
    QTest::newRow("plain text") << "Trip Rock" << "Trip Rock";
    QTest::newRow("unknown number") << "(200)" << "(200)";
    QTest::newRow("blues") << "(0)" << "Blues";
    QTest::newRow("empty") << "" << "";
}

void tst_ID3v2Tag::genreDisplayText()
{
    QFETCH(QString, tcon);
    QTEST(::genreDisplayText(tcon), "display");
}

// Several genres become a frame other programs read as several, and read
// back as the same genres; a frame naming the same genres stays as it is.
void tst_ID3v2Tag::severalGenresWritten_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("genre");
    QTest::addColumn<QByteArray>("frameData");
    QTest::newRow("v2.3 list genres") << 3 << "Disco; Rock" << bytes("\x00(4)(17)");
    QTest::newRow("v2.3 refinement last") << 3 << "Disco; Eurodisco" << bytes("\x00(4)Eurodisco");
    QTest::newRow("v2.3 other genres") << 3 << "Eurodisco; Disco" << bytes("\x00" "Eurodisco\x00" "Disco");
    QTest::newRow("v2.3 refinement in parentheses") << 3 << "Rock; (Live)" << bytes("\x00(17)((Live)");
    QTest::newRow("v2.4") << 4 << "Disco; Rock" << bytes("\x00" "Disco\x00" "Rock");
    QTest::newRow("one genre as given") << 3 << "(17)" << bytes("\x00(17)");
}

void tst_ID3v2Tag::severalGenresWritten()
{
    QFETCH(int, version);
    QFETCH(QString, genre);
    QFETCH(QByteArray, frameData);
    const QString path = m_dir.newFile(Id3v2Builder(version).text("TIT2", "Song").padding(200).build() + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    t.Genre = genre;
    QVERIFY(t.WriteToFile(path));
    const StoredTagView view = viewTag(readFile(path));
    const StoredFrame *frame = view.find("TCON");
    QVERIFY(frame);
    QCOMPARE(frame->data, frameData);

    TID3v2Tag back;
    QVERIFY(back.ReadFromFile(path));
    QCOMPARE(back.genreDisplayText(), ::genreDisplayText(genre));
    // The same genres again: not a byte changes.
    const QByteArray written = readFile(path);
    back.Genre = back.genreDisplayText();
    back.Title = QStringLiteral("Song");
    QVERIFY(back.WriteToFile(path));
    QCOMPARE(readFile(path), written);
}

// Frames that claim ISO-8859-1 but hold an old tagger's code page read in
// the legacy code page the user chose; what is written then reads back the
// same whatever the setting.
void tst_ID3v2Tag::latin1FramesInLegacyCodePage()
{
    const QByteArray sjis("\x93\xfa\x96{\x8c\xea\x82\xcc\x89\xcc");
    const QByteArray tag = Id3v2Builder(3).frame("TIT2", QByteArray(1, '\0') + sjis)
                               .frame("TPE1", bytes("\x00" "Caf\xe9")).padding(200).build();
    const QString path = m_dir.newFile(tag + Audio);
    struct Reset {
        ~Reset() { SetLegacyTagEncoding(DefaultLegacyTagEncoding()); }
    } reset;

    TID3v2Tag latin1;
    QVERIFY(latin1.ReadFromFile(path));
    QCOMPARE(latin1.Artist, QStringLiteral("Café"));

    QVERIFY(SetLegacyTagEncoding(QStringLiteral("Shift_JIS")));
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    QCOMPARE(t.Title, QStringLiteral("日本語の歌"));
    QVERIFY(t.WriteToFile(path));
    QCOMPARE(readFile(path), tag + Audio);  // unchanged values keep their bytes

    t.Album = QStringLiteral("Café");  // not ASCII: ISO-8859-1 would read back otherwise
    QVERIFY(t.WriteToFile(path));
    const StoredTagView view = viewTag(readFile(path));
    const StoredFrame *album = view.find("TALB");
    QVERIFY(album);
    QCOMPARE(album->data.left(1), QByteArray(1, '\1'));
    SetLegacyTagEncoding(DefaultLegacyTagEncoding());
    TID3v2Tag back;
    QVERIFY(back.ReadFromFile(path));
    QCOMPARE(back.Album, QStringLiteral("Café"));
}

QTEST_APPLESS_MAIN(tst_ID3v2Tag)
#include "tst_id3v2tag.moc"
