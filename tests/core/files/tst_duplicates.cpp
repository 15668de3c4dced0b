#include "core/files/duplicates.h"
#include "core/files/fingerprintcache.h"
#include "core/files/mp3file.h"
#include "core/files/process.h"

#include "id3v2builder.h"
#include "mp3builder.h"
#include "scratchfolder.h"

#include <QFile>
#include <QtTest>

namespace {

const mp3::Frame Cbr128{};

// Frames with bodies of their own (seeded), so that streams differ where
// their seeds do; frame n of every stream with one seed is the same.
QByteArray audioFrames(int count, quint32 seed, const mp3::Frame &frame = Cbr128)
{
    QByteArray bytes;
    for (int n = 0; n < count; ++n)
        bytes += frame.header() + mp3::randomBytes(frame.length() - 4, seed * 100000 + quint32(n));
    return bytes;
}

QByteArray v2Tag(int major, const QString &artist, const QString &title, int padding = 0)
{
    const bool v22 = major == 2;
    return Id3v2Builder(major)
        .text(v22 ? "TP1" : "TPE1", artist)
        .text(v22 ? "TT2" : "TIT2", title)
        .padding(padding)
        .build();
}

QByteArray v1Tag(const QByteArray &artist, const QByteArray &title)
{
    mp3::Id3v1 tag;
    tag.artist = artist;
    tag.title = title;
    return tag.bytes();
}

// An APE tag of one item with its header and footer, as taggers append it.
QByteArray apeTag()
{
    const QByteArray item = QByteArray::fromHex("05000000") + QByteArray(4, '\0') + "Title" + '\0' + "Hello";
    const auto block = [&](bool header) {
        QByteArray b = "APETAGEX";
        const auto le32 = [&b](quint32 v) {
            for (int i = 0; i < 4; ++i)
                b += char((v >> (8 * i)) & 0xFF);
        };
        le32(2000);
        le32(quint32(item.size() + 32));
        le32(1);
        le32(header ? 0xA0000000u : 0x80000000u);
        b += QByteArray(8, '\0');
        return b;
    };
    return block(true) + item + block(false);
}

// A file as a search without its tags sees it.
TDuplicateFile onDisk(const QString &path)
{
    TDuplicateFile file;
    file.Path = path;
    return file;
}

TDuplicateFile fileAt(const QString &path)
{
    TMP3File mp3(path);
    mp3.ReadInfo({});
    return DuplicateFileOf(mp3);
}

QList<QList<QString>> pathsOf(const QList<TDuplicateFile> &files, const QList<TDuplicateGroup> &groups)
{
    QList<QList<QString>> result;
    for (const TDuplicateGroup &group : groups) {
        QList<QString> paths;
        for (const int i : group.Members)
            paths.append(files.at(i).Path);
        result.append(paths);
    }
    return result;
}

TDuplicateSearchResult search(const QList<TDuplicateFile> &files, const QString &cachePath = {})
{
    TProcess process;
    process.ShowWindow = false;
    TDuplicateSearch search(process);
    search.CachePath = cachePath;
    return search.run(files);
}

} // namespace

class TestDuplicates : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void copiesAreFoundWhateverTheTags();
    void oneDifferentFrameIsNoCopy_data();
    void oneDifferentFrameIsNoCopy();
    void vbrAndCbrOfOneSongAreTheSameSongNotCopies();
    void damagedFilesAreReportedAndTheSearchGoesOn();
    void uniqueFilesAreOnlySampled();
    void secondSearchOpensOnlyChangedFiles();
    void damagedCacheIsIgnored();
    void cacheEntryBeyondItsFileIsIgnored_data();
    void cacheEntryBeyondItsFileIsIgnored();
    void cacheIsNotWrittenThroughALink();
    void cancelReturnsNoGroups();
    void normalisedSongText_data();
    void normalisedSongText();
    void bestOfGroup_data();
    void bestOfGroup();
    void songGroupsKeepLengthsApart();
    void removalNeverTrashesAKeptFile();
};

void TestDuplicates::copiesAreFoundWhateverTheTags()
{
    ScratchFolder dir;
    const QByteArray audio = audioFrames(120, 1);
    const QStringList copies = {
        dir.newFile(v2Tag(3, QStringLiteral("Artist"), QStringLiteral("Song")) + audio),
        dir.newFile(v2Tag(4, QStringLiteral("Other"), QStringLiteral("Other title"), 3000) + audio
                    + v1Tag("Other", "Other title")),
        dir.newFile(v2Tag(2, QStringLiteral("A"), QStringLiteral("B")) + audio + apeTag() + v1Tag("A", "B")),
        dir.newFile(audio),
        dir.newFile(audio + apeTag()),
    };
    const QString other = dir.newFile(v2Tag(3, QStringLiteral("Artist"), QStringLiteral("Song")) + audioFrames(120, 2));
    QList<TDuplicateFile> files;
    for (const QString &path : copies + QStringList{other})
        files.append(fileAt(path));

    const TDuplicateSearchResult result = search(files);
    QVERIFY(result.Problems.isEmpty());
    const QList<TDuplicateGroup> groups = result.groupsOf(TDuplicateKind::SameAudio);
    QCOMPARE(pathsOf(files, groups), (QList<QList<QString>>{copies}));
}

void TestDuplicates::oneDifferentFrameIsNoCopy_data()
{
    QTest::addColumn<int>("frame");
    QTest::newRow("first") << 0;
    QTest::newRow("a quarter in (not sampled)") << 100;
    QTest::newRow("middle") << 200;
    QTest::newRow("last") << 399;
}

void TestDuplicates::oneDifferentFrameIsNoCopy()
{
    QFETCH(int, frame);
    ScratchFolder dir;
    const QByteArray audio = audioFrames(400, 3);
    QByteArray changed = audio;
    const int at = frame * Cbr128.length() + 100;
    changed[at] = char(changed.at(at) ^ 0x01);
    QList<TDuplicateFile> files = {fileAt(dir.newFile(audio)), fileAt(dir.newFile(changed)),
                                   fileAt(dir.newFile(v2Tag(3, QStringLiteral("x"), QStringLiteral("y")) + audio))};

    const TDuplicateSearchResult result = search(files);
    QCOMPARE(pathsOf(files, result.groupsOf(TDuplicateKind::SameAudio)),
             (QList<QList<QString>>{{files.at(0).Path, files.at(2).Path}}));
}

void TestDuplicates::vbrAndCbrOfOneSongAreTheSameSongNotCopies()
{
    ScratchFolder dir;
    const int frames = 400;  // about ten seconds
    mp3::Frame vbrFrame;
    vbrFrame.bitrate = 192;
    QByteArray vbrAudio = mp3::xingFrame(vbrFrame, frames, std::nullopt);
    for (int n = 0; n < frames; ++n) {
        mp3::Frame f;
        f.bitrate = n % 3 == 0 ? 160 : 192;
        vbrAudio += f.header() + mp3::randomBytes(f.length() - 4, 9000 + quint32(n));
    }
    const QString cbr = dir.newFile(v2Tag(3, QStringLiteral("Beyoncé feat. Jay-Z"), QStringLiteral("Crazy in Love"))
                                    + audioFrames(frames, 4));
    const QString vbr = dir.newFile(v2Tag(4, QStringLiteral("BEYONCE"), QStringLiteral("Crazy In Love (Remastered)"))
                                    + vbrAudio);
    const QString otherSong = dir.newFile(v2Tag(3, QStringLiteral("Beyonce"), QStringLiteral("Halo")) + audioFrames(frames, 5));
    const QList<TDuplicateFile> files = {fileAt(cbr), fileAt(vbr), fileAt(otherSong)};
    QVERIFY(files.at(1).VBR);

    const TDuplicateSearchResult result = search(files);
    QVERIFY(result.groupsOf(TDuplicateKind::SameAudio).isEmpty());
    const QList<TDuplicateGroup> songs = result.groupsOf(TDuplicateKind::SameSong);
    QCOMPARE(pathsOf(files, songs), (QList<QList<QString>>{{cbr, vbr}}));
    QCOMPARE(files.at(songs.first().Best).Path, vbr);  // the higher average bitrate
}

void TestDuplicates::damagedFilesAreReportedAndTheSearchGoesOn()
{
    ScratchFolder dir;
    const QByteArray audio = audioFrames(50, 6);
    const QString zeros = dir.newFile(QByteArray(20000, '\0'));
    const QString empty = dir.newFile({});
    const QString first = dir.newFile(audio);
    const QString second = dir.newFile(v2Tag(3, QStringLiteral("a"), QStringLiteral("b")) + audio);
    QList<TDuplicateFile> files;
    for (const QString &path : {zeros, empty, first, second})
        files.append(fileAt(path));
    files.append(onDisk(dir.path(QStringLiteral("gone.mp3"))));

    const TDuplicateSearchResult result = search(files);
    QCOMPARE(result.Problems.size(), 3);
    QVERIFY(result.Problems.at(0).startsWith(zeros + QStringLiteral(": ")));
    QVERIFY(result.Problems.at(2).contains(QStringLiteral("does not exist")));
    QCOMPARE(pathsOf(files, result.groupsOf(TDuplicateKind::SameAudio)), (QList<QList<QString>>{{first, second}}));
}

void TestDuplicates::uniqueFilesAreOnlySampled()
{
    ScratchFolder dir;
    QList<TDuplicateFile> files;
    for (quint32 seed = 10; seed < 14; ++seed)
        files.append(onDisk(dir.newFile(v2Tag(3, QStringLiteral("a"), QStringLiteral("b"), 500)
                                        + audioFrames(1000, seed) + v1Tag("a", "b"))));
    const TDuplicateSearchResult result = search(files);
    QCOMPARE(result.FilesOpened, 4);
    QCOMPARE(result.FullyHashed, 0);
    // Three samples, the tags' headers and the search for the first frame:
    // a few pages per file of 400 KB.
    QVERIFY2(result.BytesRead < 4 * 24 * 1024, qPrintable(QString::number(result.BytesRead)));
}

void TestDuplicates::secondSearchOpensOnlyChangedFiles()
{
    ScratchFolder dir;
    const QByteArray audio = audioFrames(100, 7);
    QList<TDuplicateFile> files = {onDisk(dir.newFile(audio)),
                                   onDisk(dir.newFile(v2Tag(3, QStringLiteral("a"), QStringLiteral("b")) + audio)),
                                   onDisk(dir.newFile(audioFrames(100, 8)))};
    const QString cache = dir.path(QStringLiteral("collection.tbc-fingerprints"));

    const TDuplicateSearchResult first = search(files, cache);
    QCOMPARE(first.FilesOpened, 3);
    QCOMPARE(first.FullyHashed, 2);

    const TDuplicateSearchResult second = search(files, cache);
    QCOMPARE(second.FilesOpened, 0);
    QCOMPARE(second.BytesRead, 0);
    QCOMPARE(second.FromCache, 3);
    QCOMPARE(pathsOf(files, second.Groups), pathsOf(files, first.Groups));

    // The third file becomes a copy of the first two: only it is read.
    QFile third(files.at(2).Path);
    QVERIFY(third.open(QIODevice::WriteOnly | QIODevice::Truncate));
    third.write(v2Tag(4, QStringLiteral("c"), QStringLiteral("d")) + audio);
    third.close();
    const TDuplicateSearchResult third_ = search(files, cache);
    QCOMPARE(third_.FilesOpened, 1);
    QCOMPARE(pathsOf(files, third_.Groups),
             (QList<QList<QString>>{{files.at(0).Path, files.at(1).Path, files.at(2).Path}}));
}

void TestDuplicates::damagedCacheIsIgnored()
{
    ScratchFolder dir;
    const QByteArray audio = audioFrames(60, 11);
    const QList<TDuplicateFile> files = {onDisk(dir.newFile(audio)), onDisk(dir.newFile(audio))};
    const QString cache = dir.path(QStringLiteral("c-fingerprints"));
    search(files, cache);
    QFile file(cache);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes.replace('\t', ' ');  // lines without their fields
    file.resize(0);
    file.write(bytes);
    file.close();
    TFingerprintCache loaded;
    QVERIFY(!loaded.load(cache));

    const TDuplicateSearchResult again = search(files, cache);
    QCOMPARE(again.FilesOpened, 2);
    QCOMPARE(again.groupsOf(TDuplicateKind::SameAudio).size(), 1);
}

// A cache whose numbers put the audio outside the file it records is not
// trusted: the files are read again rather than skipped as unreadable.
void TestDuplicates::cacheEntryBeyondItsFileIsIgnored_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("audio longer than the file") << 3 << QByteArray("999999999");
    QTest::newRow("audio starting past the end") << 2 << QByteArray("999999999");
}

void TestDuplicates::cacheEntryBeyondItsFileIsIgnored()
{
    QFETCH(int, field);
    QFETCH(QByteArray, value);
    ScratchFolder dir;
    const QByteArray audio = audioFrames(60, 13);
    const QList<TDuplicateFile> files = {onDisk(dir.newFile(audio)), onDisk(dir.newFile(audio))};
    const QString cache = dir.path(QStringLiteral("c-fingerprints"));
    search(files, cache);
    QFile file(cache);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    QList<QByteArray> fields = lines[1].split('\t');
    fields[field] = value;
    lines[1] = fields.join('\t');
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join('\n'));
    file.close();
    TFingerprintCache loaded;
    QVERIFY(!loaded.load(cache));

    const TDuplicateSearchResult again = search(files, cache);
    QCOMPARE(again.Problems, QStringList());
    QCOMPARE(again.FilesOpened, 2);
    QCOMPARE(again.groupsOf(TDuplicateKind::SameAudio).size(), 1);
}

// The cache's name is the program's: a symbolic link planted there is
// neither read nor written through, and the file it names stays as it was.
void TestDuplicates::cacheIsNotWrittenThroughALink()
{
    ScratchFolder dir;
    const QByteArray audio = audioFrames(30, 14);
    const QList<TDuplicateFile> files = {onDisk(dir.newFile(audio)), onDisk(dir.newFile(audio))};
    const QString victim = dir.path(QStringLiteral("notes.txt"));
    QFile notes(victim);
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("the user's own file\n");
    notes.close();
    const QString cache = dir.path(QStringLiteral("c-fingerprints"));
    QVERIFY(QFile::link(victim, cache));

    const TDuplicateSearchResult result = search(files, cache);
    QCOMPARE(result.groupsOf(TDuplicateKind::SameAudio).size(), 1);
    QVERIFY(QFileInfo(cache).isSymLink());
    QVERIFY(notes.open(QIODevice::ReadOnly));
    QCOMPARE(notes.readAll(), QByteArray("the user's own file\n"));
}

void TestDuplicates::cancelReturnsNoGroups()
{
    ScratchFolder dir;
    const QByteArray audio = audioFrames(30, 12);
    const QList<TDuplicateFile> files = {onDisk(dir.newFile(audio)), onDisk(dir.newFile(audio))};
    TProcess process;
    process.ShowWindow = false;
    process.OnMessage = [](TProcess *sender, const QString &) { sender->Cancel(); };
    TDuplicateSearch searching(process);
    const TDuplicateSearchResult result = searching.run(files);
    QVERIFY(result.Cancelled);
    QVERIFY(result.Groups.isEmpty());
}

void TestDuplicates::normalisedSongText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("case and blanks") << QStringLiteral("  Crazy   IN love ") << QStringLiteral("crazy in love");
    QTest::newRow("accents") << QStringLiteral("Beyoncé Knowles") << QStringLiteral("beyonce knowles");
    QTest::newRow("feat.") << QStringLiteral("Beyoncé feat. Jay-Z") << QStringLiteral("beyonce");
    QTest::newRow("ft") << QStringLiteral("Song ft Someone") << QStringLiteral("song");
    QTest::newRow("Featuring") << QStringLiteral("Song Featuring Someone") << QStringLiteral("song");
    QTest::newRow("ft inside a word stays") << QStringLiteral("Daft Punk") << QStringLiteral("daft punk");
    QTest::newRow("round brackets") << QStringLiteral("Help! (Remastered 2009)") << QStringLiteral("help");
    QTest::newRow("square brackets") << QStringLiteral("Help [Live]") << QStringLiteral("help");
    QTest::newRow("feat. in brackets") << QStringLiteral("Song (feat. X) - Radio") << QStringLiteral("song radio");
    QTest::newRow("punctuation") << QStringLiteral("Don't Stop") << QStringLiteral("don t stop");
    QTest::newRow("empty") << QString() << QString();
}

void TestDuplicates::normalisedSongText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(NormalisedSongText(text), expected);
}

void TestDuplicates::bestOfGroup_data()
{
    QTest::addColumn<QList<int>>("bitrates");
    QTest::addColumn<QList<int>>("filledTags");
    QTest::addColumn<QList<bool>>("inMain");
    QTest::addColumn<int>("best");
    QTest::newRow("bitrate first") << QList<int>{128, 320, 192} << QList<int>{9, 1, 9} << QList<bool>{true, false, true} << 1;
    QTest::newRow("then tags") << QList<int>{192, 192} << QList<int>{3, 5} << QList<bool>{true, false} << 1;
    QTest::newRow("then location") << QList<int>{192, 192} << QList<int>{3, 3} << QList<bool>{false, true} << 1;
    QTest::newRow("then the first") << QList<int>{192, 192} << QList<int>{3, 3} << QList<bool>{true, true} << 0;
}

void TestDuplicates::bestOfGroup()
{
    QFETCH(QList<int>, bitrates);
    QFETCH(QList<int>, filledTags);
    QFETCH(QList<bool>, inMain);
    QFETCH(int, best);
    QList<TDuplicateFile> files;
    QList<int> members;
    for (int i = 0; i < bitrates.size(); ++i) {
        TDuplicateFile file;
        file.Bitrate = bitrates.at(i);
        file.FilledTags = filledTags.at(i);
        file.InMainLocation = inMain.at(i);
        files.append(file);
        members.append(i);
    }
    QCOMPARE(BestOfGroup(files, members), best);
}

void TestDuplicates::songGroupsKeepLengthsApart()
{
    // Files that cannot be read still count as the same song by their tags.
    QList<TDuplicateFile> files;
    for (const int length : {200, 203, 260, 202, 262}) {
        TDuplicateFile file;
        file.Path = QStringLiteral("/nowhere/%1.mp3").arg(files.size());
        file.Artist = QStringLiteral("Artist");
        file.Title = QStringLiteral("Title");
        file.Length = length;
        files.append(file);
    }
    TDuplicateFile untitled = onDisk(QStringLiteral("/nowhere/untitled.mp3"));
    untitled.Artist = QStringLiteral("Artist");
    files.append(untitled);
    const TDuplicateSearchResult result = search(files);
    QCOMPARE(result.Problems.size(), files.size());
    QList<QList<int>> members;
    for (const TDuplicateGroup &group : result.groupsOf(TDuplicateKind::SameSong))
        members.append(group.Members);
    QCOMPARE(members, (QList<QList<int>>{{0, 1, 3}, {2, 4}}));
}

void TestDuplicates::removalNeverTrashesAKeptFile()
{
    ScratchFolder dir;
    const QString a = dir.newFile("a");
    const QString b = dir.newFile("b");
    const QString c = dir.newFile("c");
    const QString link = dir.path(QStringLiteral("link.mp3"));
    QVERIFY(QFile::link(a, link));
    // 0 and 1: two tracks of one file; 2: a link to it; 3, 4: other files;
    // 5, 6: a group the user keeps nothing of.
    const QList<TDuplicateFile> files = {onDisk(a), onDisk(a), onDisk(link), onDisk(b), onDisk(c), onDisk(b), onDisk(c)};
    const QList<TDuplicateGroup> groups = {{TDuplicateKind::SameAudio, {0, 1, 2, 3}, 0},
                                           {TDuplicateKind::SameSong, {3, 4}, 3},
                                           {TDuplicateKind::SameSong, {5, 6}, 5}};
    const TDuplicateRemoval plan = PlanDuplicateRemoval(files, groups, {0, 4});
    QCOMPARE(plan.Remove, (QList<int>{1, 2, 3}));
    QCOMPARE(plan.Trash, (QStringList{b}));
    QCOMPARE(plan.GroupsLeftAlone, 1);
}

QTEST_GUILESS_MAIN(TestDuplicates)
#include "tst_duplicates.moc"
