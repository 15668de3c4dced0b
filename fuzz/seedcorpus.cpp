// fuzz-seeds CORPUS_DIR: writes the starting corpus of every fuzz target
// into CORPUS_DIR/<target>/, made by the program's own writers and by the
// test fixture builders (nothing is taken from elsewhere).
#include "collectionbytes.h"
#include "id3v2builder.h"
#include "mp3builder.h"

#include "core/audio/id3v1tag.h"
#include "core/audio/id3v2tag.h"
#include "core/data/collectionfile.h"
#include "core/data/datalists.h"
#include "core/data/fieldlists.h"
#include "core/files/playlistformats.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/inisettingsstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

QDir corpusRoot;
QTemporaryDir workDir;
int written = 0;

void put(const char *target, const QString &name, const QByteArray &bytes)
{
    const QString folder = corpusRoot.filePath(QString::fromLatin1(target));
    QDir().mkpath(folder);
    QFile file(QDir(folder).filePath(QStringLiteral("seed-") + name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz-seeds: cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
    ++written;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString workFile(const QString &name, const QByteArray &bytes)
{
    const QString path = workDir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::exit(1);
    return path;
}

// ---- MPEG streams and tags ------------------------------------------------

QByteArray shortStream(const mp3::Frame &frame, int count = 6)
{
    return frame.stream(count);
}

void mpegSeeds()
{
    mp3::Frame mpeg1;
    mp3::Frame mono22;
    mono22.version = mp3::Mpeg2;
    mono22.sampleRate = 22050;
    mono22.bitrate = 64;
    mono22.mode = mp3::SingleChannel;
    mp3::Frame low25;
    low25.version = mp3::Mpeg25;
    low25.sampleRate = 8000;
    low25.bitrate = 8;
    mp3::Frame layer1;
    layer1.layer = 1;
    layer1.bitrate = 192;
    layer1.crc = true;
    mp3::Frame layer2;
    layer2.layer = 2;
    layer2.bitrate = 160;
    layer2.padding = true;
    layer2.emphasis = 1;

    put("mpeginfo", QStringLiteral("cbr"), shortStream(mpeg1));
    put("mpeginfo", QStringLiteral("mpeg2-mono"), shortStream(mono22));
    put("mpeginfo", QStringLiteral("mpeg25"), shortStream(low25));
    put("mpeginfo", QStringLiteral("layer1"), shortStream(layer1));
    put("mpeginfo", QStringLiteral("layer2"), shortStream(layer2));
    put("mpeginfo", QStringLiteral("xing"), mp3::xingFrame(mpeg1, 1000, 400000) + shortStream(mpeg1, 3));
    put("mpeginfo", QStringLiteral("xing-mono"), mp3::xingFrame(mono22, 50, std::nullopt) + shortStream(mono22, 3));
    put("mpeginfo", QStringLiteral("info"), mp3::xingFrame(mpeg1, 6, 2500, "Info") + shortStream(mpeg1, 3));
    put("mpeginfo", QStringLiteral("vbri"), mp3::vbriFrame(mpeg1, 800, 300000) + shortStream(mpeg1, 3));
    put("mpeginfo", QStringLiteral("tagged"),
        mp3::id3v2Tag(300) + mp3::randomBytes(40, 7) + shortStream(mpeg1, 4) + mp3::Id3v1{}.bytes());
    put("mpeginfo", QStringLiteral("junk"), mp3::randomBytes(700, 3) + shortStream(layer2, 3));
}

void id3v1Seeds()
{
    const QByteArray audio = mp3::Frame{}.stream(2);
    mp3::Id3v1 v10;
    v10.title = "Lovesong";
    v10.artist = "Anna Kestrel";
    v10.comment = QByteArray(30, 'c');
    v10.genre = 255;
    mp3::Id3v1 v11;
    v11.title = QByteArray(30, 't');
    v11.year = "1999";
    v11.track = 12;
    v11.genre = 17;
    put("id3v1", QStringLiteral("v1.0"), audio + v10.bytes());
    put("id3v1", QStringLiteral("v1.1"), audio + v11.bytes());

    TID3v1Tag tag;
    tag.Title = QStringLiteral("Caf\u00e9 \u20ac");
    tag.Album = QStringLiteral("Night");
    tag.Comment = QStringLiteral("  padded  ");
    tag.Track = 255;
    tag.SetGenre(QStringLiteral("Rock"));
    put("id3v1", QStringLiteral("written"), audio + tag.toBytes());
    put("id3v1", QStringLiteral("none"), audio);
}

void id3v2Seed(const QString &name, const QByteArray &bytes)
{
    put("id3v2", name, bytes);
    put("id3v2write", name, bytes);
}

void id3v2Seeds()
{
    const QByteArray audio = fakeAudio(600);
    const auto common = [](Id3v2Builder b, bool v22 = false) {
        if (v22) {
            b.text("TT2", QStringLiteral("Title")).text("TP1", QStringLiteral("Artist"))
                .text("TRK", QStringLiteral("3/12")).described("COM", QString(), QStringLiteral("note"))
                .frame("PIC", QByteArray("\0JPG\3\0", 6) + "img");
        } else {
            b.text("TIT2", QStringLiteral("Title \u266a"), 1).text("TPE1", QStringLiteral("Artist"))
                .text("TRCK", QStringLiteral("3/12")).text("TYER", QStringLiteral("1999"))
                .text("TCON", QStringLiteral("(17)"))
                .described("COMM", QString(), QStringLiteral("note"))
                .described("COMM", QStringLiteral("MusicMatch_Mood"), QStringLiteral("calm"))
                .described("USLT", QString(), QStringLiteral("la la"), 1)
                .frame("WOAR", "http://example.org/")
                .frame("WXXX", QByteArray("\0desc\0http://example.org/x", 27))
                .frame("APIC", QByteArray("\0image/png\0\3\0", 13) + QByteArray(16, '\xFF'));
        }
        return b.padding(32);
    };
    id3v2Seed(QStringLiteral("v22"), common(Id3v2Builder(2), true).build() + audio);
    id3v2Seed(QStringLiteral("v23"), common(Id3v2Builder(3)).build() + audio);
    id3v2Seed(QStringLiteral("v24"), common(Id3v2Builder(4)).text("TDRC", QStringLiteral("2004-05-06"), 3).build() + audio);
    id3v2Seed(QStringLiteral("v23-unsync-ext"), common(Id3v2Builder(3)).unsynchronised().extendedHeader().build() + audio);
    id3v2Seed(QStringLiteral("v24-unsync-dli-footer"),
              common(Id3v2Builder(4)).unsynchronised().dataLengthIndicators().footer().build() + audio);
    id3v2Seed(QStringLiteral("v24-plain-sizes"), common(Id3v2Builder(4)).plainFrameSizes().build() + audio);
    id3v2Seed(QStringLiteral("v23-flags"),
              Id3v2Builder(3).frame("TIT2", QByteArray("\0x", 2), 0x40, 0x20 ).frame("TALB", "\x01\x02\x03\x04zzzz", 0, 0x80)
                      .build() + audio);
    id3v2Seed(QStringLiteral("broken-size"),
              Id3v2Builder(3).text("TIT2", QStringLiteral("T")).sizeField("\x7F\x7F\x7F\x7F").build() + audio);
    id3v2Seed(QStringLiteral("raw-frames"),
              Id3v2Builder(3).text("TIT2", QStringLiteral("T")).raw("TPE1\xFF\xFF\xFF\xFF\0\0").build() + audio);
    id3v2Seed(QStringLiteral("no-tag"), audio);

    // Tags as this program writes them: a new tag, and one rewritten.
    const QString path = workFile(QStringLiteral("written.mp3"), audio);
    TID3v2Tag tag;
    tag.Title = QStringLiteral("Lovesong \u266a");
    tag.Artist = QStringLiteral("Anna Kestrel");
    tag.Track = 3;
    tag.Year = QStringLiteral("1999");
    tag.Comment = QStringLiteral("comment");
    tag.Mood = QStringLiteral("Mellow");
    tag.BPM = 120;
    tag.ArtistURL = QStringLiteral("http://example.org/anna");
    tag.GeneralURL = QStringLiteral("http://example.org/");
    tag.Lyrics = QStringLiteral("line 1\r\nline 2");
    if (!tag.WriteToFile(path))
        std::exit(1);
    id3v2Seed(QStringLiteral("written-v23"), readAll(path));
    const QString v24 = workFile(QStringLiteral("written24.mp3"), Id3v2Builder(4).text("TIT2", QStringLiteral("x")).build() + audio);
    if (!tag.WriteToFile(v24))
        std::exit(1);
    id3v2Seed(QStringLiteral("written-v24"), readAll(v24));
}

// ---- collections ----------------------------------------------------------

void fill(TMp3Root &root)
{
    auto *artist = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("Anna Kestrel")));
    artist->GenerateNamePartsFromName();
    TLookupItem *pop = root.GenreList->AddNew(QStringLiteral("Pop"));
    auto *album = static_cast<TAlbumLookupItem *>(root.Albums->AddNew(QStringLiteral("Night \u00c9t\u00e9")));
    auto *location = static_cast<TLocationLookupItem *>(root.Locations->AddNew(QStringLiteral("Music")));
    location->DriveType = 4;
    location->DriveLabel = QStringLiteral("srv/share");
    root.Fields->FindByID(Mp3FieldIds::Title)->CustomName = QStringLiteral("Song");
    for (int i = 1; i <= 3; ++i) {
        auto *track = static_cast<TMp3Track *>(root.Items->CreateItem());
        track->Index = i;
        track->Title = QStringLiteral("Track %1 \u266a").arg(i);
        track->Artist = artist;
        track->Album = album;
        track->Year = root.Years->FindByName(QStringLiteral("1999"));
        track->Genres->Add(pop);
        track->Notes = QString(300, u'n');
        track->TrackIndex = i;
        track->Location = location;
        track->FilePath = QStringLiteral("/srv/share/Track %1.mp3").arg(i);
        track->Bitrate = 192;
        track->VBR = i == 2;
    }
    root.NextIndex = 4;
}

void collectionSeeds()
{
    {
        TMp3Root empty;
        const QString path = workDir.filePath(QStringLiteral("empty.tbx"));
        if (!saveCollection(empty, path).Saved)
            std::exit(1);
        put("collection", QStringLiteral("empty"), readAll(path));
    }
    {
        TMp3Root root;
        fill(root);
        const QString path = workDir.filePath(QStringLiteral("filled.tbx"));
        if (!saveCollection(root, path).Saved)
            std::exit(1);
        put("collection", QStringLiteral("filled"), readAll(path));
    }
    // Older formats, as earlier versions wrote them.
    TTrackRecord track;
    track.ID = 20;
    track.Index = 5;
    track.Title = QStringLiteral("Song");
    track.References[Mp3TrackRefs::Artist] = 10;
    track.LocationID = 12;
    track.Genres = {11};
    track.FilePath = QStringLiteral("/music/Song.mp3");
    TCollectionBytes v90;
    v90.header(90, 100).integer(30).list().end();
    v90.list().integer(10).scrambled(QStringLiteral("Anna Kestrel")).scrambled(QStringLiteral("Anna"))
        .scrambled(QStringLiteral("Kestrel")).scrambled({}).end();
    v90.emptyLists(4).list().integer(11).scrambled(QStringLiteral("Pop")).end().emptyLists(7);
    v90.list().integer(12).scrambled(QStringLiteral("Music")).scrambled(QStringLiteral("x"))
        .scrambled({}).scrambled({}).integer(5).scrambled(QStringLiteral("CD1")).end();
    v90.emptyLists(1).reservedBlock().list().track(track).end();
    put("collection", QStringLiteral("format90"), v90);
    TCollectionBytes v110;
    v110.header(110, 100).list().end();
    v110.list().integer(10).integer(1).scrambled(QStringLiteral("Anna Kestrel")).scrambled(QStringLiteral("Anna"))
        .scrambled(QStringLiteral("Kestrel")).scrambled({}).end();
    v110.emptyLists(12).list().integer(12).integer(1).scrambled(QStringLiteral("Music"))
        .scrambled(QStringLiteral("Music")).scrambled({}).scrambled({}).integer(3).scrambled(QStringLiteral("data")).end();
    v110.emptyLists(1).reservedBlock().list().track(track).end().integer(50).integer(6);
    TCollectionBytes v115;
    v115.header(115, 100).list().end().list().integer(10).integer(1).end().emptyLists(4);
    v115.list().integer(11).integer(1).scrambled(QStringLiteral("Pop")).scrambled({}).scrambled({}).scrambled({}).end();
    v115.emptyLists(7).list().integer(12).integer(1).integer(3).scrambled(QStringLiteral("data")).end();
    v115.emptyLists(1).reservedBlock().list().track(track).end().integer(50).integer(6);
    put("collection", QStringLiteral("format115"), v115);
    TCollectionBytes data300;
    data300.header(110, 300).list().end();
    data300.list().integer(10).integer(1).string(QStringLiteral("Kestrel, Anna")).string({}).end().emptyLists(12);
    data300.list().integer(12).integer(1).string(QStringLiteral("Music")).string({}).integer(3)
        .scrambled(QStringLiteral("data")).end();
    data300.emptyLists(1).reservedBlock().list().track(track).end().integer(50).integer(6);
    put("collection", QStringLiteral("data300"), data300);
    put("collection", QStringLiteral("format110"), v110);
}

// ---- settings, playlists, formats, update document ------------------------

void iniSeeds()
{
    const QString path = workDir.filePath(QStringLiteral("settings.ini"));
    {
        TIniSettingsStore store(path);
        store.WriteString(QStringLiteral("Settings"), QStringLiteral("UpdateURL"), QStringLiteral("http://example.org/"));
        store.WriteInteger(QStringLiteral("Settings"), QStringLiteral("NrDaysBetweenUpdateChecks"), 7);
        store.WriteString(QStringLiteral("ItemColumnFields\\0"), QStringLiteral("Field=1%"), QStringLiteral("\"quoted\"\ttab\n"));
        store.WriteString(QStringLiteral("ItemColumnFields\\1"), QStringLiteral("[odd"), QStringLiteral("\x01\x7f"));
        store.WriteString(QStringLiteral("Proxy"), QStringLiteral("Password"), QStringLiteral("p\u00e4ss"));
        if (!store.Flush())
            std::exit(1);
    }
    put("ini", QStringLiteral("store"), readAll(path));
    put("ini", QStringLiteral("hand"),
        "\xEF\xBB\xBF" "; comment\r\n[First]\r\nkey = \"value\" \r\nnovalue\r\n\r\n[first]\r\ndup=1\r\n"
        "[Second]\nn=0x1F\n'q'='x'\n\x1A\n");
    put("ini", QStringLiteral("latin1"), "[Sect\xE9]\nname=caf\xE9\n");
}

void playlistSeeds()
{
    TPlayListRecords records = {
        {QStringLiteral("/music/Anna Kestrel/Lovesong.mp3"), QStringLiteral("Anna Kestrel - Lovesong"), 245},
        {QStringLiteral("relative/\u00e9t\u00e9.mp3"), QStringLiteral("Summer"), -1},
        {QStringLiteral("C:\\old\\path.mp3"), QString(), 0},
    };
    put("m3u", QStringLiteral("written"), buildM3u(records));
    put("m3u", QStringLiteral("hand"),
        "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:12,Title, with comma\r\nfile.mp3\r\n# note\r\n#extinf:x\r\n"
        "caf\xE9.mp3\n\rlast.mp3");
    const QString path = workDir.filePath(QStringLiteral("list.pls"));
    QString error;
    if (!writePlsFile(path, records, error))
        std::exit(1);
    put("pls", QStringLiteral("written"), readAll(path));
    put("pls", QStringLiteral("hand"),
        "[playlist]\nNumberOfEntries=2\nFile1=a.mp3\nTitle1=A\nLength1=0x10\nFile2=caf\xE9.mp3\n"
        "[other]\nkeep=1\n");
}

void filenameFormatSeeds()
{
    put("filenameformat", QStringLiteral("simple"), "%ar - %t\n/music/Anna Kestrel - Lovesong.mp3");
    put("filenameformat", QStringLiteral("levels"),
        "%ar\\%al\\%ix - %t\n%ar - %al - %ix - %t\n/music/Anna Kestrel/Night/03 - Lovesong.mp3");
    put("filenameformat", QStringLiteral("all"),
        "%y %g %ig (%al) [%ix] %ar_%t.mp3\n/x/1999 Pop junk (Night) [3] Anna_Song.mp3");
}

void updateSeeds()
{
    put("updatecheck", QStringLiteral("document"),
        "LatestVersion=1.0.0\r\nLatestBuild=4\r\nDownloadURL=http://example.org/get\r\n"
        "InfoURL=http://example.org/\r\nWhatsNewURL=\r\nSupportEmail=help@example.org\r\n"
        "UpgradeDescription=<b>new</b>\r\nBuildDescription=fixes\r\n");
    put("updatecheck", QStringLiteral("login-page"), "<html><body>Log in</body></html>\n");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 || !workDir.isValid()) {
        std::fprintf(stderr, "usage: fuzz-seeds CORPUS_DIR\n");
        return 2;
    }
    corpusRoot = QDir(QString::fromLocal8Bit(argv[1]));
    mpegSeeds();
    id3v1Seeds();
    id3v2Seeds();
    collectionSeeds();
    iniSeeds();
    playlistSeeds();
    filenameFormatSeeds();
    updateSeeds();
    std::printf("fuzz-seeds: %d seed files in %s\n", written, argv[1]);
    return 0;
}
