#include "core/data/datafield.h"
#include "core/files/mp3file.h"
#include "core/audio/mergedfields.h"
#include "core/data/fieldlists.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/mp3model/trackfields.h"

#include "id3v2builder.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <memory>

namespace {

const QStringList ParseFormats = {QStringLiteral("%ar\\%t"), QStringLiteral("%ar - %t"),
                                  QStringLiteral("%ix - %t")};

std::unique_ptr<TStringDataField> field(qint32 id)
{
    return std::make_unique<TStringDataField>(nullptr, id, QStringLiteral("f%1").arg(id), false, 50, 1, -1,
                                              TListKinds{3});
}

mode_t modeOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

// A file object whose merged values come from an enabled ID3v2 tag only.
void setTagValues(TMP3File &file, const QString &artist, const QString &title, int track = 0)
{
    file.SetInfoSources(false, false, true, false, false);
    file.ID3v2.Exists = true;
    file.ID3v2.Artist = artist;
    file.ID3v2.Title = title;
    file.ID3v2.Track = track;
}

} // namespace

class TestMp3File : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init();

    void readInfo();
    void readInfoOfMissingFileChangesNothing();
    void readInfoKeepsLockedFormat();
    void everyMergedFieldShowsInFileLists();
    void fieldTexts_data();
    void fieldTexts();
    void fieldNumbers();
    void artistTitleText_data();
    void artistTitleText();
    void readOnlyFollowsOwnerWriteBit();
    void checkRename_data();
    void checkRename();
    void renameMovesWithinFolder();
    void renameNeverOverwrites();
    void renameRefusesOtherFolders_data();
    void renameRefusesOtherFolders();
    void renameToOwnNameChangesNothing();
    void renameChangesCaseOnly();
    void renameReadOnlyFails();
    void renameWithLongBuiltName();
    void writeTags();
    void writeTagsOfMissingFileFails();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString makeMp3(const QString &name, const QByteArray &prefix = {}, const QByteArray &suffix = {});
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMp3File::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestMp3File::makeMp3(const QString &name, const QByteArray &prefix, const QByteArray &suffix)
{
    const QString p = path(name);
    QDir().mkpath(QFileInfo(p).absolutePath());
    if (!testsupport::writeFile(p, prefix + mp3::Frame().stream(20) + suffix))
        qFatal("cannot write fixture");
    return p;
}

void TestMp3File::readInfo()
{
    const QByteArray v2 = Id3v2Builder(3).text("TIT2", QStringLiteral("Tag Title")).padding(100).build();
    const QByteArray v1 = mp3::Id3v1{"V1 Title", "V1 Artist", {}, "1999", {}, 4, 17}.bytes();
    const QString p = makeMp3(QStringLiteral("Glass Kite/Glass Kite - Tides.mp3"), v2, v1);
    const qint64 audio = mp3::Frame().stream(20).size();

    TMP3File file(p);
    QCOMPARE(file.Name, QStringLiteral("Glass Kite - Tides.mp3"));
    QVERIFY(file.ReadInfo(ParseFormats));
    QCOMPARE(file.FileSize, v2.size() + audio + v1.size());
    QCOMPARE(file.AudioSize, audio);
    QVERIFY(file.ID3v2.Exists);
    QCOMPARE(file.ID3v2.Title, QStringLiteral("Tag Title"));
    QVERIFY(file.ID3v1.Exists);
    QCOMPARE(file.ID3v1.Artist, QStringLiteral("V1 Artist"));
    QCOMPARE(file.MpegInfo.Bitrate, 128);
    QCOMPARE(file.MpegInfo.HeaderPosition, qint64(v2.size()));
    QCOMPARE(file.FilenameInfo.ParseFormat, QStringLiteral("%ar - %t"));
    QVERIFY(!file.ReadOnlyAtRead);

    file.SetInfoSources(false, false, true, true, true);
    QCOMPARE(file.GetMergedText(TMergedField::Title), QStringLiteral("Tag Title"));
    QCOMPARE(file.GetMergedText(TMergedField::Artist), QStringLiteral("V1 Artist"));
    QCOMPARE(file.GetMergedNumber(TMergedField::TrackIndex), 4);
    file.SetInfoSources(false, false, false, false, true);
    QCOMPARE(file.GetMergedText(TMergedField::Artist), QStringLiteral("Glass Kite"));
    QCOMPARE(file.GetMergedText(TMergedField::Title), QStringLiteral("Tides"));
}

void TestMp3File::readInfoOfMissingFileChangesNothing()
{
    const QString p = makeMp3(QStringLiteral("a - b.mp3"));
    TMP3File file(p);
    QVERIFY(file.ReadInfo(ParseFormats));
    const qint64 size = file.FileSize;
    QVERIFY(QFile::remove(p));
    QVERIFY(!file.ReadInfo({QStringLiteral("%t")}));
    QCOMPARE(file.FileSize, size);
    QCOMPARE(file.MpegInfo.Bitrate, 128);
    QCOMPARE(file.FilenameInfo.ParseFormat, QStringLiteral("%ar - %t"));
}

void TestMp3File::readInfoKeepsLockedFormat()
{
    TMP3File file(makeMp3(QStringLiteral("Ann/Ann - Song.mp3")));
    file.FilenameInfo.ParseWithFormat(file.Path, QStringLiteral("%ar\\%t"));
    file.FilenameInfo.Lock();
    QVERIFY(file.ReadInfo(ParseFormats));
    QCOMPARE(file.FilenameInfo.ParseFormat, QStringLiteral("%ar\\%t"));
    QCOMPARE(file.FilenameInfo.Title, QStringLiteral("Ann - Song"));
}

void TestMp3File::everyMergedFieldShowsInFileLists()
{
    // Each merged field by exactly one catalogue field, and the file shows
    // the merged value there.
    TMp3Root root;
    for (const TMergedField merged : AllMergedFields()) {
        QList<qint32> shownBy;
        for (int i = 0; i < root.Fields->Count(); ++i) {
            const TDataField *listField = root.Fields->Get(i);
            if (MergedFieldOfFileListField(listField->ID) == merged)
                shownBy << listField->ID;
        }
        QCOMPARE(shownBy.size(), 1);
        TMP3File file(QStringLiteral("/music/x.mp3"));
        setTagValues(file, {}, {});
        const TMergedFieldRow &row = MergedFieldRow(merged);
        if (row.V2.Text)
            file.ID3v2.*row.V2.Text = QStringLiteral("42");
        else
            file.ID3v2.*row.V2.Number = 42;
        QCOMPARE(file.GetValueAsString(root.Fields->FindByID(shownBy.first())), file.GetMergedText(merged));
        QVERIFY2(!file.GetMergedText(merged).isEmpty(), row.Name);
    }
}

void TestMp3File::fieldTexts_data()
{
    QTest::addColumn<int>("fieldId");
    QTest::addColumn<QString>("text");
    QTest::newRow("size") << 14 << "4,417 KB";
    QTest::newRow("length") << 15 << "02:05";
    QTest::newRow("version") << 16 << "1.0";
    QTest::newRow("layer") << 17 << "3";
    QTest::newRow("mode") << 18 << "Joint Stereo";
    QTest::newRow("bitrate") << 19 << "187kbps(VBR)";
    QTest::newRow("vbr") << 20 << "Yes";
    QTest::newRow("sample rate") << 21 << "44kHz";
    QTest::newRow("crcs") << 22 << "No";
    QTest::newRow("emphasis") << 25 << "50/15 ms";
    QTest::newRow("frames") << 26 << "4794";
    QTest::newRow("track index") << 27 << "7";
    QTest::newRow("filename format") << 28 << "[%ar - %t]";
    QTest::newRow("artist") << 29 << "Ann";
    QTest::newRow("title") << 3 << "Song";
    QTest::newRow("genre") << 30 << "Rock";
    QTest::newRow("new filename") << 34 << "07 Song.mp3";
    QTest::newRow("header position") << 38 << "2048";
    QTest::newRow("bpm") << 45 << "120";
    QTest::newRow("lyrics") << 59 << "La la";
    QTest::newRow("filename") << 12 << "Ann - Song.mp3";
    QTest::newRow("filepath") << 66 << "/music/Ann - Song.mp3";
    QTest::newRow("track lookup field") << 6 << "";
    QTest::newRow("unknown") << 999 << "";
}

void TestMp3File::fieldTexts()
{
    QFETCH(int, fieldId);
    QFETCH(QString, text);
    TMP3File file(QStringLiteral("/music/Ann - Song.mp3"));
    file.FileSize = 4523008;
    file.MpegInfo.Length = 125;
    file.MpegInfo.Version = TMpegInfo::Mpeg1;
    file.MpegInfo.Layer = 3;
    file.MpegInfo.Mode = TMpegInfo::JointStereo;
    file.MpegInfo.Bitrate = 187;
    file.MpegInfo.VBR = true;
    file.MpegInfo.SampleRate = 44100;
    file.MpegInfo.Emphasis = 1;
    file.MpegInfo.Frames = 4794;
    file.MpegInfo.HeaderPosition = 2048;
    setTagValues(file, QStringLiteral("Ann"), QStringLiteral("Song"), 7);
    file.ID3v2.Genre = QStringLiteral("(17)");
    file.ID3v2.BPM = 120;
    file.ID3v2.Lyrics = QStringLiteral("La la");
    file.FilenameInfo.ParseWithFormat(file.Path, QStringLiteral("%ar - %t"));
    file.FilenameInfo.Lock();
    file.FilenameInfo.RenameFormat = QStringLiteral("%ix %t");
    QCOMPARE(file.GetValueAsString(field(fieldId).get()), text);
}

void TestMp3File::fieldNumbers()
{
    TMP3File file(QStringLiteral("/music/x.mp3"));
    file.FileSize = qint64(5) << 31;  // beyond 32 bits
    file.MpegInfo.Length = 6000;
    setTagValues(file, {}, {}, 12);
    QCOMPARE(file.GetValueAsInteger(field(27).get()), 12);
    QCOMPARE(file.GetValueAsInteger(field(14).get()), std::numeric_limits<qint32>::max());
    QCOMPARE(file.GetValueAsString(field(15).get()), QStringLiteral("100:00"));
    QCOMPARE(file.GetValueAsString(field(14).get()), QStringLiteral("10,485,760 KB"));
    QCOMPARE(file.GetValueAsInteger(field(3).get()), 0);
}

void TestMp3File::artistTitleText_data()
{
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("both") << "Ann" << "Song" << "Ann - Song";
    QTest::newRow("no artist") << "" << "Intro" << "Intro";
    QTest::newRow("no title") << "Ann" << "" << "Ann";
    QTest::newRow("neither") << "" << "" << "";
}

void TestMp3File::artistTitleText()
{
    QFETCH(QString, artist);
    QFETCH(QString, title);
    QFETCH(QString, text);
    TMP3File file(QStringLiteral("/x.mp3"));
    setTagValues(file, artist, title);
    QCOMPARE(file.ArtistTitleText(), text);
}

void TestMp3File::readOnlyFollowsOwnerWriteBit()
{
    // Decided by the permission bits, so it holds when tests run as root.
    TMP3File file(makeMp3(QStringLiteral("ro.mp3")));
    QVERIFY(!file.IsReadOnly());
    QVERIFY(QFile::setPermissions(file.Path, QFile::ReadOwner | QFile::ReadGroup | QFile::WriteGroup));
    QVERIFY(file.IsReadOnly());
    QVERIFY(file.ReadInfo(ParseFormats));
    QVERIFY(file.ReadOnlyAtRead);
    QCOMPARE(file.GetImageIndex(), 15);
    QCOMPARE(file.GetSelectedImageIndex(), 16);
    QCOMPARE(file.GetLargeImageIndex(), 5);

    QVERIFY(file.SetReadOnly(false));
    QVERIFY(!file.IsReadOnly());
    QCOMPARE(modeOf(file.Path), mode_t(0660));
    QVERIFY(QFile::setPermissions(file.Path, QFile::ReadOwner | QFile::WriteOwner | QFile::WriteGroup
                                                 | QFile::WriteOther | QFile::ReadOther));
    QVERIFY(file.SetReadOnly(true));
    QVERIFY(file.IsReadOnly());
    QCOMPARE(modeOf(file.Path), mode_t(0404));

    TMP3File missing(path(QStringLiteral("none.mp3")));
    QVERIFY(!missing.IsReadOnly());
    QVERIFY(!missing.SetReadOnly(true));
}

void TestMp3File::checkRename_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("status");
    QTest::newRow("fine") << "%ar - %t" << "Ann" << false << 0;
    QTest::newRow("artist missing") << "%ar - %t" << "" << false << 2;
    QTest::newRow("track missing") << "%ix - %t" << "Ann" << false << 2;
    QTest::newRow("upper-case code not checked") << "%AR - %t" << "" << false << 0;
    QTest::newRow("read-only first") << "%ar - %t" << "" << true << 1;
    QTest::newRow("other file exists") << "%t" << "Ann" << false << 3;
    QTest::newRow("own name in other case") << "%ar - %t" << "ann" << false << 0;
    QTest::newRow("own name") << "%ar - %t" << "Ann" << false << 0;
}

void TestMp3File::checkRename()
{
    QFETCH(QString, format);
    QFETCH(QString, artist);
    QFETCH(bool, readOnly);
    QFETCH(int, status);
    makeMp3(QStringLiteral("Song.mp3"));
    TMP3File file(makeMp3(QStringLiteral("Ann - Song.mp3")));
    setTagValues(file, artist, QStringLiteral("Song"));
    if (readOnly)
        QVERIFY(file.SetReadOnly(true));
    QCOMPARE(file.CheckRename(format), status);
}

void TestMp3File::renameMovesWithinFolder()
{
    TMP3File file(makeMp3(QStringLiteral("old.mp3")));
    QVERIFY(file.Rename(QStringLiteral("new name.mp3")));
    QCOMPARE(file.Name, QStringLiteral("new name.mp3"));
    QCOMPARE(file.Path, path(QStringLiteral("new name.mp3")));
    QVERIFY(QFile::exists(file.Path));
    QVERIFY(!QFile::exists(path(QStringLiteral("old.mp3"))));

    // A full path in the same folder is accepted too; the linked track
    // follows the file.
    TMp3Track track;
    track.FilePath = file.Path;
    file.LinkTrack(&track);
    QVERIFY(file.Rename(path(QStringLiteral("third.mp3"))));
    QCOMPARE(file.Name, QStringLiteral("third.mp3"));
    QCOMPARE(track.FilePath, path(QStringLiteral("third.mp3")));
}

void TestMp3File::renameNeverOverwrites()
{
    TMP3File file(makeMp3(QStringLiteral("a.mp3")));
    QVERIFY(testsupport::writeFile(path(QStringLiteral("b.mp3")), "precious"));
    QVERIFY(!file.Rename(QStringLiteral("b.mp3")));
    QCOMPARE(testsupport::readFile(path(QStringLiteral("b.mp3"))), QByteArray("precious"));
    QCOMPARE(file.Path, path(QStringLiteral("a.mp3")));
    QVERIFY(QFile::exists(file.Path));

    // A dangling link takes the name as much as a file does.
    QVERIFY(QFile::link(path(QStringLiteral("nowhere")), path(QStringLiteral("c.mp3"))));
    QVERIFY(!file.Rename(QStringLiteral("c.mp3")));
    QVERIFY(QFile::exists(file.Path));
}

void TestMp3File::renameRefusesOtherFolders_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("empty") << "";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("dot") << ".";
    QTest::newRow("relative path") << "sub/x.mp3";
    QTest::newRow("parent") << "../x.mp3";
    QTest::newRow("other folder") << "/tmp/x.mp3";
    QTest::newRow("sneaking out") << "@/sub/../../x.mp3";
}

void TestMp3File::renameRefusesOtherFolders()
{
    QFETCH(QString, target);
    QDir(m_dir->path()).mkdir(QStringLiteral("sub"));
    target.replace(QLatin1Char('@'), m_dir->path());
    TMP3File file(makeMp3(QStringLiteral("a.mp3")));
    QVERIFY(!file.Rename(target));
    QCOMPARE(file.Path, path(QStringLiteral("a.mp3")));
    QVERIFY(QFile::exists(file.Path));
}

void TestMp3File::renameToOwnNameChangesNothing()
{
    TMP3File file(makeMp3(QStringLiteral("same.mp3")));
    QVERIFY(file.Rename(QStringLiteral("same.mp3")));
    QCOMPARE(file.Path, path(QStringLiteral("same.mp3")));
    QVERIFY(QFile::exists(file.Path));
}

void TestMp3File::renameChangesCaseOnly()
{
    TMP3File file(makeMp3(QStringLiteral("Song.mp3")));
    QVERIFY(file.Rename(QStringLiteral("song.mp3")));
    QCOMPARE(file.Name, QStringLiteral("song.mp3"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("song.mp3")});

    // Two names for one file, differing in case (as a file system that
    // ignores case presents it): the other name is not free.
    QVERIFY(::link(QFile::encodeName(file.Path).constData(),
                   QFile::encodeName(path(QStringLiteral("SONG.mp3"))).constData())
            == 0);
    QVERIFY(!file.Rename(QStringLiteral("SONG.mp3")));
    QStringList names = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
    names.sort(Qt::CaseSensitive);
    QCOMPARE(names, (QStringList{QStringLiteral("SONG.mp3"), QStringLiteral("song.mp3")}));
}

void TestMp3File::renameReadOnlyFails()
{
    TMP3File file(makeMp3(QStringLiteral("ro.mp3")));
    QVERIFY(file.SetReadOnly(true));
    QVERIFY(!file.Rename(QStringLiteral("other.mp3")));
    QVERIFY(QFile::exists(path(QStringLiteral("ro.mp3"))));
}

void TestMp3File::renameWithLongBuiltName()
{
    TMP3File file(makeMp3(QStringLiteral("short.mp3")));
    setTagValues(file, QString(200, QChar(0xE9)), QString(200, QLatin1Char('t')));
    const QString name = file.GetNewFileName(QStringLiteral("%ar - %t"));
    QVERIFY(name.toUtf8().size() <= 255);
    QCOMPARE(file.CheckRename(QStringLiteral("%ar - %t")), 0);
    QVERIFY(file.Rename(name));
    QVERIFY(QFile::exists(path(name)));
}

void TestMp3File::writeTags()
{
    TMP3File file(makeMp3(QStringLiteral("w.mp3"), {}, mp3::Id3v1{"Old", {}, {}, {}, {}, 1, 0}.bytes()));
    QVERIFY(file.ReadInfo(ParseFormats));
    file.ID3v2.Title = QStringLiteral("New Title");
    file.ID3v2.Enabled = true;
    file.ID3v1.Enabled = false;
    QVERIFY(file.WriteTags());

    TMP3File again(file.Path);
    QVERIFY(again.ReadInfo(ParseFormats));
    QCOMPARE(again.ID3v2.Title, QStringLiteral("New Title"));
    QVERIFY(!again.ID3v1.Exists);
    QCOMPARE(again.AudioSize, qint64(mp3::Frame().stream(20).size()));
}

void TestMp3File::writeTagsOfMissingFileFails()
{
    TMP3File file(path(QStringLiteral("gone.mp3")));
    file.ID3v2.Title = QStringLiteral("x");
    QVERIFY(!file.WriteTags());
    QVERIFY(!QFile::exists(file.Path));
}

QTEST_APPLESS_MAIN(TestMp3File)
#include "tst_mp3file.moc"
