// Writing tags must never change a byte of the audio.  A folder of varied
// MP3 files (made by real encoders when installed, and by the test's own
// frame writer) gets every kind of tag write; the bytes between the ID3v2
// tag and the ID3v1 tag must be the same afterwards, and the stream must
// read the same.

#include "id3v2builder.h"
#include "mp3builder.h"
#include "safetyfixtures.h"
#include "testsupport.h"

#include "core/audio/id3v1tag.h"
#include "core/audio/id3v2tag.h"
#include "core/files/mp3file.h"
#include "core/files/mp3fileitem.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3root.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

enum class Write {
    V2Title,        // a small change: in place when the tag has room
    V2LongComment,  // a grown tag: the file is rewritten
    V2Remove,
    V2Unchanged,    // read and written back as it is
    V1Title,
    V1Remove,
    BatchSetBoth,
    BatchRemoveBoth,
    BatchV1Only,
    TrackToTags,
};

const QString NewTitle = QStringLiteral("New title");

// Where the audio lies, found from the tag headers alone: after the ID3v2
// tag (header, body, footer) and before a trailing ID3v1 tag.
QByteArray audioOf(const QByteArray &file)
{
    qint64 start = 0;
    if (file.startsWith("ID3") && file.size() >= 10) {
        const auto byte = [&](int i) { return quint32(quint8(file[i])); };
        const quint32 body = byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9);
        const bool footer = file[3] == 4 && (byte(5) & 0x10);
        start = 10 + qint64(body) + (footer ? 10 : 0);
    }
    qint64 end = file.size();
    if (end - start >= 128 && file.mid(end - 128, 3) == "TAG")
        end -= 128;
    return file.mid(start, std::max<qint64>(end - start, 0));
}

struct StreamFacts {
    int version = 0, layer = 0, bitrate = 0, sampleRate = 0, mode = 0;
    qint64 frames = 0;
    bool operator==(const StreamFacts &) const = default;
};

StreamFacts streamOf(const QString &path)
{
    TMP3File file(path);
    file.ReadInfo({});
    const TMpegInfo &m = file.MpegInfo;
    return {int(m.Version), m.Layer, m.Bitrate, m.SampleRate, int(m.Mode), m.Frames};
}

bool run(const QString &program, const QStringList &args, QByteArray *errors)
{
    QProcess process;
    process.start(program, args);
    const bool ok = process.waitForFinished(120'000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
    *errors = process.readAllStandardError();
    return ok;
}

// A picture's worth of bytes that starts like a JPEG.
QByteArray fakeJpeg(int size)
{
    return QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11) + mp3::randomBytes(size - 11, 7);
}

int runBatch(const QString &path, TTagAction v1, TTagAction v2)
{
    TMP3File file(path);
    const QStringList formats{QStringLiteral("%ar - %t")};
    file.ReadInfo(formats);
    file.SetInfoSources(false, false, true, true, true);
    TMp3FileItemList files;
    files.Add(&file);
    TMP3Process process;
    process.ParseFormats = formats;
    return process.EditTags(files, v1, v2, false).Failed();
}

bool copyTrackToTags(const QString &path)
{
    TMp3Root root;
    safety::fillCollection(root, 1, 3);
    TMp3Track *track = root.GetTracks()->Get(0);
    track->Title = NewTitle;
    TMP3File file(path);
    file.ReadInfo({});
    CopyTrackToTags(*track, file);
    return file.WriteTags();
}

// Does the write; false when it reported failure.
bool apply(Write write, const QString &path)
{
    TID3v2Tag v2;
    TID3v1Tag v1;
    switch (write) {
    case Write::V2Title:
    case Write::V2LongComment:
    case Write::V2Remove:
    case Write::V2Unchanged:
        v2.ReadFromFile(path);
        if (write == Write::V2Title)
            v2.Title = NewTitle;
        if (write == Write::V2LongComment) {
            v2.Title = NewTitle;
            v2.Comment = QString(6000, u'c');
        }
        v2.Enabled = write != Write::V2Remove;
        return v2.WriteToFile(path);
    case Write::V1Title:
    case Write::V1Remove:
        v1.ReadFromFile(path);
        v1.Title = NewTitle;
        v1.Enabled = write == Write::V1Title;
        return v1.WriteToFile(path);
    case Write::BatchSetBoth:
        return runBatch(path, TTagAction::Set, TTagAction::Set) == 0;
    case Write::BatchRemoveBoth:
        return runBatch(path, TTagAction::Remove, TTagAction::Remove) == 0;
    case Write::BatchV1Only:
        return runBatch(path, TTagAction::Set, TTagAction::NoChange) == 0;
    case Write::TrackToTags:
        return copyTrackToTags(path);
    }
    return false;
}

} // namespace

class TestNeverLoseAudio : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void tagWritesKeepAudio_data();
    void tagWritesKeepAudio();

private:
    void encode(const QString &name, const QString &encoder, const QStringList &options, int rate, int channels);
    void addFile(const QString &name, const QByteArray &bytes);

    QTemporaryDir m_dir;
    QString m_corpus;
    QStringList m_files;
};

void TestNeverLoseAudio::addFile(const QString &name, const QByteArray &bytes)
{
    QVERIFY(writeFile(QDir(m_corpus).filePath(name), bytes));
    m_files << name;
}

void TestNeverLoseAudio::encode(const QString &name, const QString &encoder, const QStringList &options, int rate,
                                int channels)
{
    const QString wav = m_dir.filePath(QStringLiteral("in.wav"));
    QVERIFY(writeFile(wav, mp3::sineWav(2, rate, channels)));
    const QString out = QDir(m_corpus).filePath(name);
    const QStringList args = encoder == QLatin1String("lame")
        ? QStringList{QStringLiteral("--quiet")} + options + QStringList{wav, out}
        : QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-i"), wav}
            + options + QStringList{out};
    QByteArray errors;
    if (!run(encoder, args, &errors)) {
        qWarning("%s left out: %s", qPrintable(name), errors.constData());
        return;
    }
    m_files << name;
}

void TestNeverLoseAudio::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_corpus = m_dir.filePath(QStringLiteral("corpus"));
    QVERIFY(QDir().mkpath(m_corpus));

    const auto opts = [](const char *text) { return QString::fromLatin1(text).split(u' '); };
    if (!QStandardPaths::findExecutable(QStringLiteral("lame")).isEmpty()) {
        const QString picture = m_dir.filePath(QStringLiteral("cover.jpg"));
        QVERIFY(writeFile(picture, fakeJpeg(100'000)));
        const QString lame = QStringLiteral("lame");
        encode(QStringLiteral("Artist 1 - Mpeg1 cbr.mp3"), lame, opts("-b 128"), 44100, 2);
        encode(QStringLiteral("Artist 2 - Mpeg1 vbr tagged.mp3"), lame,
               opts("-V 2 --add-id3v2 --tt Lame --ta Artist --tc Comment"), 44100, 2);
        encode(QStringLiteral("Artist 3 - Mpeg2 vbr mono v1 only.mp3"), lame, opts("-V 5 --id3v1-only --tt Lame"),
               16000, 1);
        encode(QStringLiteral("Artist 4 - Mpeg25 cbr mono.mp3"), lame, opts("-b 16"), 8000, 1);
        encode(QStringLiteral("Artist 5 - Mpeg2 abr padded v2.mp3"), lame,
               opts("--abr 48 --id3v2-only --tt Lame --pad-id3v2-size 4096"), 22050, 2);
        encode(QStringLiteral("Artist 6 - Mpeg1 stereo picture.mp3"), lame,
               opts("-b 192 -m s --tt Lame --ti") + QStringList{picture}, 48000, 2);
        encode(QStringLiteral("Artist 7 - Mpeg25 vbr.mp3"), lame, opts("-V 6 --add-id3v2 --tt Lame --tl Album"),
               11025, 2);
    }
    if (!QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty()) {
        const QString ffmpeg = QStringLiteral("ffmpeg");
        encode(QStringLiteral("Artist 8 - ffmpeg v24 and v1.mp3"), ffmpeg,
               opts("-c:a libmp3lame -q:a 4 -metadata title=Ffmpeg -id3v2_version 4 -write_id3v1 1 -f mp3"), 44100,
               2);
        encode(QStringLiteral("Artist 9 - ffmpeg v23 mono.mp3"), ffmpeg,
               opts("-c:a libmp3lame -b:a 64k -ac 1 -metadata artist=Ffmpeg -id3v2_version 3 -f mp3"), 32000, 1);
    }

    // Made by the test's own writer whatever is installed: the tag forms
    // encoders rarely write.
    const QByteArray frames = safety::audioFrames(200);
    const mp3::Frame mpeg2{mp3::Mpeg2, 3, 64, 22050, mp3::SingleChannel};
    const QByteArray v1 = mp3::Id3v1{"Built", "Artist", {}, {}, {}, 3, 17}.bytes();
    addFile(QStringLiteral("Built 1 - no tags.mp3"), frames);
    addFile(QStringLiteral("Built 2 - v24 footer and v1.mp3"),
            Id3v2Builder(4).text("TIT2", QStringLiteral("Built")).footer().build() + frames + v1);
    addFile(QStringLiteral("Built 3 - v23 unsynchronised.mp3"),
            Id3v2Builder(3).extendedHeader().text("TIT2", QStringLiteral("Built")).frame("XYZW", "\xFF\xE0\xFF")
                    .unsynchronised().build()
                + safety::audioFrames(200, mpeg2, 9));
    addFile(QStringLiteral("Built 4 - v22.mp3"),
            Id3v2Builder(2).text("TT2", QStringLiteral("Built")).padding(100).build() + frames);
    addFile(QStringLiteral("Built 5 - big picture.mp3"),
            Id3v2Builder(3)
                    .text("TIT2", QStringLiteral("Built"))
                    .frame("APIC", QByteArray("\0image/jpeg\0\x03\0", 14) + fakeJpeg(300'000))
                    .padding(2000)
                    .build()
                + frames + v1);
    addFile(QStringLiteral("Built 6 - v1 only.mp3"), safety::audioFrames(100, mpeg2, 5) + v1);
    qInfo("%lld files", qlonglong(m_files.size()));
}

void TestNeverLoseAudio::tagWritesKeepAudio_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<bool>("setsTitle");
    // Which tags the file has afterwards: 1 yes, 0 no, -1 as before.
    QTest::addColumn<int>("v2After");
    QTest::addColumn<int>("v1After");
    QTest::newRow("ID3v2 title") << Write::V2Title << true << 1 << -1;
    QTest::newRow("ID3v2 grown by a long comment") << Write::V2LongComment << true << 1 << -1;
    QTest::newRow("ID3v2 removed") << Write::V2Remove << false << 0 << -1;
    QTest::newRow("ID3v2 written unchanged") << Write::V2Unchanged << false << -1 << -1;
    QTest::newRow("ID3v1 title") << Write::V1Title << false << -1 << 1;
    QTest::newRow("ID3v1 removed") << Write::V1Remove << false << -1 << 0;
    QTest::newRow("batch: set both") << Write::BatchSetBoth << false << 1 << 1;
    QTest::newRow("batch: remove both") << Write::BatchRemoveBoth << false << 0 << 0;
    QTest::newRow("batch: set ID3v1, keep ID3v2") << Write::BatchV1Only << false << -1 << 1;
    QTest::newRow("track values into both tags") << Write::TrackToTags << true << 1 << 1;
}

void TestNeverLoseAudio::tagWritesKeepAudio()
{
    QFETCH(Write, write);
    QFETCH(bool, setsTitle);
    QFETCH(int, v2After);
    QFETCH(int, v1After);
    const auto hasV2 = [](const QByteArray &file) { return file.startsWith("ID3"); };
    const auto hasV1 = [](const QByteArray &file) { return file.size() >= 128 && file.mid(file.size() - 128, 3) == "TAG"; };
    const QString work = m_dir.filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(work));

    for (const QString &name : std::as_const(m_files)) {
        const QByteArray before = readFile(QDir(m_corpus).filePath(name));
        const QString path = QDir(work).filePath(name);
        QVERIFY(writeFile(path, before));
        const StreamFacts stream = streamOf(path);
        const QByteArray audio = audioOf(before);
        QVERIFY(audio.size() > 1000);

        const bool written = apply(write, path);
        const QByteArray after = readFile(path);
        const QByteArray what = name.toUtf8();
        QVERIFY2(written, what);
        QVERIFY2(audioOf(after) == audio, what);
        QVERIFY2(streamOf(path) == stream, what);
        QCOMPARE(hasV2(after), v2After < 0 ? hasV2(before) : v2After == 1);
        QCOMPARE(hasV1(after), v1After < 0 ? hasV1(before) : v1After == 1);
        if (setsTitle) {
            TID3v2Tag tag;
            QVERIFY2(tag.ReadFromFile(path), what + ": " + tag.errorString().toUtf8());
            QCOMPARE(tag.Title, NewTitle);
        }
        QVERIFY(QFile::remove(path));
    }
}

QTEST_APPLESS_MAIN(TestNeverLoseAudio)
#include "tst_neverloseaudio.moc"
