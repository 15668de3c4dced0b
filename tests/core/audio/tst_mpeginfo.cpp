#include "core/audio/mpeginfo.h"

#include "mp3builder.h"
#include "testsupport.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using mp3::Frame;

Q_DECLARE_METATYPE(mp3::Frame)

namespace {

// Zeros after the stream make a file of the given size.
QByteArray padTo(const QByteArray &bytes, qint64 size)
{
    return bytes + QByteArray(qMax<qint64>(0, size - bytes.size()), '\0');
}

TMpegInfo analyse(const QByteArray &bytes, qint64 audioSize = -1)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TMpegInfo info;
    info.readFromDevice(buffer, audioSize < 0 ? bytes.size() : audioSize);
    return info;
}

Frame frame(mp3::Version version, int layer, int bitrate, int sampleRate, mp3::Mode mode = mp3::JointStereo)
{
    Frame f;
    f.version = version;
    f.layer = layer;
    f.bitrate = bitrate;
    f.sampleRate = sampleRate;
    f.mode = mode;
    return f;
}

// Frames of the given bitrates one after the other, with bodies of random
// bytes (sync patterns included, as real audio has them).
QByteArray framesOf(Frame f, const QList<int> &bitrates, quint32 seed = 1)
{
    QByteArray out;
    for (int rate : bitrates) {
        f.bitrate = rate;
        const QByteArray header = f.header();
        out += header + mp3::randomBytes(f.length() - header.size(), seed++);
    }
    return out;
}

// `count` bitrates cycling through `cycle`.
QList<int> cycled(const QList<int> &cycle, int count)
{
    QList<int> rates;
    for (int i = 0; i < count; ++i)
        rates.append(cycle.at(i % cycle.size()));
    return rates;
}

QList<int> constant(int rate, int count)
{
    return QList<int>(count, rate);
}

// kbit/s over frames of the given bitrates.
int averageBitrate(Frame f, const QList<int> &bitrates)
{
    qint64 bytes = 0;
    for (int rate : bitrates) {
        f.bitrate = rate;
        bytes += f.length();
    }
    const double seconds = double(bitrates.size()) * f.samplesPerFrame() / f.sampleRate;
    return int(std::nearbyint(bytes * 8.0 / seconds / 1000.0));
}

int lengthOf(const Frame &f, qint64 frames)
{
    return int(frames * f.samplesPerFrame() / f.sampleRate);
}

void verifyNoStream(const TMpegInfo &info)
{
    QCOMPARE(info.Version, TMpegInfo::MpegUnknown);
    QCOMPARE(info.Layer, 0);
    QCOMPARE(info.Bitrate, 0);
    QCOMPARE(info.SampleRate, 0);
    QCOMPARE(info.Frames, 0);
    QCOMPARE(info.Length, 0);
    QCOMPARE(info.HeaderPosition, 0);
    QVERIFY(!info.VBR);
}

} // namespace

class TestMpegInfo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void constantBitrateStreams_data();
    void constantBitrateStreams();
    void headerFlags_data();
    void headerFlags();
    void cbrCountsUseAudioSize();
    void largeAudioSizeDoesNotOverflow();
    void strayHeaderAtEndOfJunk();
    void streamStart_data();
    void streamStart();
    void vbrHeaders_data();
    void vbrHeaders();
    void streamsWithoutUsableCount_data();
    void streamsWithoutUsableCount();
    void badInput_data();
    void badInput();
    void longFileWithoutStreamIsCheap();
    void secondReadKeepsNothingOfTheFirst();
    void readsFromFile();
    void nameTables();
};

// Every version/layer combination, with the frame sizes of the standards:
// the frame count over the audio must come out exact.
void TestMpegInfo::constantBitrateStreams_data()
{
    QTest::addColumn<Frame>("f");
    QTest::addColumn<int>("expectedLength");   // seconds for 400 frames
    auto row = [](const char *name, Frame f) {
        QTest::newRow(name) << f << int(400LL * f.samplesPerFrame() / f.sampleRate);
    };
    row("mpeg1 layer3 128k 44100", frame(mp3::Mpeg1, 3, 128, 44100));
    row("mpeg1 layer3 320k 48000", frame(mp3::Mpeg1, 3, 320, 48000, mp3::Stereo));
    row("mpeg1 layer3 32k 32000 mono", frame(mp3::Mpeg1, 3, 32, 32000, mp3::SingleChannel));
    row("mpeg1 layer2 192k 44100", frame(mp3::Mpeg1, 2, 192, 44100, mp3::DualChannel));
    row("mpeg1 layer1 384k 48000", frame(mp3::Mpeg1, 1, 384, 48000));
    row("mpeg2 layer3 64k 22050", frame(mp3::Mpeg2, 3, 64, 22050));
    row("mpeg2 layer3 8k 16000 mono", frame(mp3::Mpeg2, 3, 8, 16000, mp3::SingleChannel));
    row("mpeg2 layer2 160k 24000", frame(mp3::Mpeg2, 2, 160, 24000));
    row("mpeg2 layer1 256k 16000", frame(mp3::Mpeg2, 1, 256, 16000));
    row("mpeg2.5 layer3 32k 11025", frame(mp3::Mpeg25, 3, 32, 11025));
    row("mpeg2.5 layer3 8k 8000 mono", frame(mp3::Mpeg25, 3, 8, 8000, mp3::SingleChannel));
}

void TestMpegInfo::constantBitrateStreams()
{
    QFETCH(Frame, f);
    QFETCH(int, expectedLength);
    const TMpegInfo info = analyse(f.stream(400));
    QCOMPARE(int(info.Version), int(f.version));
    QCOMPARE(info.Layer, f.layer);
    QCOMPARE(info.Bitrate, f.bitrate);
    QCOMPARE(info.SampleRate, f.sampleRate);
    QCOMPARE(int(info.Mode), int(f.mode));
    QCOMPARE(info.HeaderPosition, 0);
    QCOMPARE(info.Frames, 400);
    QVERIFY(!info.VBR);
    // Length is truncated; bytes × 8 / bitrate must agree with frames × samples.
    QVERIFY2(qAbs(info.Length - expectedLength) <= 1, qPrintable(QString::number(info.Length)));
}

void TestMpegInfo::headerFlags_data()
{
    QTest::addColumn<bool>("crc");
    QTest::addColumn<bool>("copyrighted");
    QTest::addColumn<bool>("original");
    QTest::addColumn<int>("emphasis");
    QTest::newRow("none") << false << false << false << 0;
    QTest::newRow("crc") << true << false << false << 0;
    QTest::newRow("copyright, 50/15") << false << true << false << 1;
    QTest::newRow("original, reserved emphasis") << false << false << true << 2;
    QTest::newRow("all, CCIT") << true << true << true << 3;
}

void TestMpegInfo::headerFlags()
{
    QFETCH(bool, crc);
    QFETCH(bool, copyrighted);
    QFETCH(bool, original);
    QFETCH(int, emphasis);
    Frame f;
    f.crc = crc;
    f.copyrighted = copyrighted;
    f.original = original;
    f.emphasis = emphasis;
    const TMpegInfo info = analyse(f.repeated(3));
    QCOMPARE(info.CRCs, crc);
    QCOMPARE(info.Copyrighted, copyrighted);
    QCOMPARE(info.Original, original);
    QCOMPARE(int(info.Emphasis), emphasis);
    QCOMPARE(info.Layer, 3);
}

void TestMpegInfo::cbrCountsUseAudioSize()
{
    // 128 kbit/s at 44100 Hz: frames of 417.96 bytes on average.
    const TMpegInfo info = analyse(padTo(Frame().repeated(3), 4'800'000));
    QCOMPARE(info.Frames, 11484);
    QCOMPARE(info.Length, 300);
}

void TestMpegInfo::largeAudioSizeDoesNotOverflow()
{
    // A sparse file, so that no 5 GB are written.
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("big.mp3")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(Frame().repeated(3)) > 0);
    if (!file.resize(5'000'000'000LL))
        QSKIP("no room for a sparse 5 GB file here");
    file.close();
    TMpegInfo info;
    info.ReadFromFile(file.fileName(), 5'000'000'000LL);
    QCOMPARE(info.Length, 312'500);
    QCOMPARE(info.Frames, 11'962'891);
}

void TestMpegInfo::strayHeaderAtEndOfJunk()
{
    // Only the bytes from the header on are audio: one (cut) frame, not
    // a stream as long as the whole file.
    const QByteArray bytes = QByteArray(50'000, 'j') + Frame().bytes().left(300);
    const TMpegInfo info = analyse(bytes);
    QCOMPARE(info.HeaderPosition, 50'000);
    QCOMPARE(info.Frames, 1);
    QCOMPARE(info.Length, 0);
}

// Where the stream is found: after ID3v2 tags, past junk and false syncs.
void TestMpegInfo::streamStart_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("position");
    const QByteArray stream = Frame().repeated(5);
    // A lone sync pattern: a valid MPEG 1 Layer III header with nothing
    // like a header where its frame would end.
    const QByteArray falseSync = QByteArray::fromHex("FFFB9064") + QByteArray(600, 'x');

    QTest::newRow("at start") << stream << qint64(0);
    QTest::newRow("after id3v2") << mp3::id3v2Tag(1000) + stream << qint64(1010);
    QTest::newRow("after id3v2.4 with footer")
        << mp3::id3v2Header(20, 4, 0x10) + QByteArray(20, '\0') + QByteArray("3DI").append(7, '\0') + stream
        << qint64(40);
    QTest::newRow("after two id3v2 tags") << mp3::id3v2Tag(100) + mp3::id3v2Tag(50) + stream << qint64(170);
    QTest::newRow("false sync in id3v2 body is skipped")
        << mp3::id3v2Tag(700, falseSync) + stream << qint64(710);
    QTest::newRow("false sync in junk") << QByteArray(33, 'j') + falseSync + stream << qint64(33 + falseSync.size());
    QTest::newRow("false sync in tag with corrupt size")
        << mp3::id3v2HeaderRawSize(QByteArray::fromHex("00008F00")) + falseSync + stream
        << qint64(10 + falseSync.size());
    QTest::newRow("tag size past end of file")
        << mp3::id3v2Header(5'000'000) + QByteArray(90, '\0') + stream << qint64(100);
    QTest::newRow("free format header is no header")
        << QByteArray::fromHex("FFFB0064") + QByteArray(50, '\0') + stream << qint64(54);
    QTest::newRow("reserved sample rate is no header")
        << QByteArray::fromHex("FFFB9C64") + QByteArray(50, '\0') + stream << qint64(54);
    QTest::newRow("reserved version is no header")
        << QByteArray::fromHex("FFEB9064") + QByteArray(50, '\0') + stream << qint64(54);
    Frame other = frame(mp3::Mpeg2, 3, 64, 22050);
    QTest::newRow("next header of another stream")
        << Frame().bytes() + other.repeated(4) << qint64(Frame().length());
    QTest::newRow("single frame before id3v1")
        << QByteArray(7, '\0') + Frame().bytes() + mp3::Id3v1{}.bytes() << qint64(7);
    QTest::newRow("truncated last frame") << QByteArray(9, '\0') + Frame().bytes().left(200) << qint64(9);
    QTest::newRow("padded frames") << [] {
        Frame padded;
        padded.padding = true;
        return padded.bytes() + Frame().bytes() + padded.bytes();
    }() << qint64(0);
}

void TestMpegInfo::streamStart()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, position);
    const TMpegInfo info = analyse(bytes);
    QCOMPARE(info.HeaderPosition, position);
    QCOMPARE(info.Layer, 3);
}

void TestMpegInfo::vbrHeaders_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("audioSize");
    QTest::addColumn<bool>("vbr");
    QTest::addColumn<int>("bitrate");
    QTest::addColumn<qint64>("frames");
    QTest::addColumn<int>("length");

    const Frame mpeg1 = frame(mp3::Mpeg1, 3, 128, 44100);
    // Where the file is padded to the audio size, a frame follows the first.
    const QByteArray next = mpeg1.bytes();
    // 10000 frames of 1152 samples at 44100 Hz: 261.2 s; 4,010,000 bytes give
    // 122.8 kbit/s on average.
    QTest::newRow("xing mpeg1 stereo") << mp3::xingFrame(mpeg1, 10000u, 4'010'000u) << qint64(0) << true << 123
                                       << qint64(10000) << 261;
    QTest::newRow("xing mpeg1 mono")
        << mp3::xingFrame(frame(mp3::Mpeg1, 3, 64, 44100, mp3::SingleChannel), 10000u, 2'000'000u) << qint64(0)
        << true << 61 << qint64(10000) << 261;
    // MPEG 2 Layer III frames hold 576 samples: 10000 frames at 22050 Hz are
    // 261.2 s, and 1,000,000 bytes over them average 30.6 kbit/s.
    QTest::newRow("xing mpeg2 stereo") << mp3::xingFrame(frame(mp3::Mpeg2, 3, 64, 22050), 10000u, 1'000'000u)
                                       << qint64(0) << true << 31 << qint64(10000) << 261;
    QTest::newRow("xing mpeg2 mono")
        << mp3::xingFrame(frame(mp3::Mpeg2, 3, 32, 22050, mp3::SingleChannel), 10000u, 1'000'000u) << qint64(0)
        << true << 31 << qint64(10000) << 261;
    QTest::newRow("xing mpeg2.5 is vbr too")
        << mp3::xingFrame(frame(mp3::Mpeg25, 3, 32, 11025), 5000u, 600'000u) << qint64(0) << true << 18
        << qint64(5000) << 261;
    QTest::newRow("xing without byte count takes audio size")
        << mp3::xingFrame(mpeg1, 10000u, std::nullopt) + next << qint64(4'010'000) << true << 123 << qint64(10000)
        << 261;
    QTest::newRow("info is lame's cbr header")
        << mp3::xingFrame(mpeg1, 11000u, 4'600'000u, "Info") + next << qint64(4'800'000) << false << 128 << qint64(11000)
        << 287;
    QTest::newRow("vbri") << mp3::vbriFrame(mpeg1, 10000u, 4'010'000u) << qint64(0) << true << 123
                          << qint64(10000) << 261;
    QTest::newRow("xing flags announce counts past the frame") << [] {
        // A 24-byte frame: the tag and flags fit, the announced frame count not.
        const Frame tiny = frame(mp3::Mpeg2, 3, 8, 24000, mp3::SingleChannel);
        QByteArray bytes = tiny.repeated(10);
        bytes.replace(4 + 9, 8, QByteArray("Xing") + QByteArray::fromHex("00000003"));
        return bytes;
    }() << qint64(240) << false << 8 << qint64(10) << 0;
}

void TestMpegInfo::vbrHeaders()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, audioSize);
    QFETCH(bool, vbr);
    QFETCH(int, bitrate);
    QFETCH(qint64, frames);
    QFETCH(int, length);
    const TMpegInfo info = analyse(padTo(bytes, audioSize), audioSize);
    QCOMPARE(info.HeaderPosition, 0);
    QCOMPARE(info.VBR, vbr);
    QCOMPARE(info.Bitrate, bitrate);
    QCOMPARE(info.Frames, frames);
    QCOMPARE(info.Length, length);
}

// Streams whose length no header gives: variable ones are counted frame by
// frame, constant ones computed from their size; either way the frames are
// exactly those of the stream.
void TestMpegInfo::streamsWithoutUsableCount_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("vbr");
    QTest::addColumn<int>("bitrate");
    QTest::addColumn<qint64>("frames");
    QTest::addColumn<int>("length");

    const Frame f;  // MPEG 1 Layer III, 44100 Hz
    const QList<int> varied = cycled({96, 128, 160, 192, 256, 320, 112}, 700);
    const QByteArray vbr = framesOf(f, varied);
    auto row = [&](const char *name, const QByteArray &bytes, bool isVbr, int bitrate, qint64 frames,
                   const Frame &of = Frame()) {
        QTest::newRow(name) << bytes << isVbr << bitrate << frames << lengthOf(of, frames);
    };
    row("vbr without header", vbr, true, averageBitrate(f, varied), 700);
    row("xing with the byte count only", mp3::xingFrame(f, std::nullopt, quint32(vbr.size())) + vbr, true,
        averageBitrate(f, varied), 700);
    row("xing with frame count 0", mp3::xingFrame(f, 0u, quint32(vbr.size())) + vbr, true,
        averageBitrate(f, varied), 700);
    row("xing counts beyond what the stream can carry", mp3::xingFrame(f, 0xFFFFFFFFu, 400u) + vbr, true,
        averageBitrate(f, varied), 700);
    row("vbri with frame count 0", mp3::vbriFrame(f, 0u, 0u) + vbr, true, averageBitrate(f, varied), 700);
    row("vbr before an id3v1 tag", vbr + mp3::Id3v1{}.bytes(), true, averageBitrate(f, varied), 700);
    // An encoder pads frames of a constant stream to the nominal size on average.
    row("cbr without header", f.stream(600), false, 128, 600);
    row("cbr after an info header without counts",
        mp3::xingFrame(f, std::nullopt, std::nullopt, "Info") + f.stream(600), false, 128, 600);
    {
        // Junk, with a sync pattern in it, between frames and after the last.
        const QByteArray junk = QByteArray("junk") + QByteArray::fromHex("FFFB9064") + QByteArray(90, 'j');
        const QList<int> first = cycled({128, 192}, 200);
        const QList<int> second = cycled({160, 96, 224}, 300);
        const QByteArray bytes = framesOf(f, first) + junk + framesOf(f, second, 500) + junk;
        QTest::newRow("junk between frames") << bytes << true << averageBitrate(f, first + second) << qint64(500)
                                             << lengthOf(f, 500);
    }
    {
        // Constant where the first block and the end of the file are read.
        const QList<int> rates = constant(128, 150) + cycled({96, 320, 160}, 300) + constant(128, 150);
        row("vbr only in the middle", framesOf(f, rates), true, averageBitrate(f, rates), 600);
    }
    {
        const QList<int> rates = constant(128, 590) + cycled({256, 320}, 10);
        row("vbr only near the end", framesOf(f, rates), true, averageBitrate(f, rates), 600);
    }
    {
        const QList<int> rates = cycled({128, 160}, 300);
        row("last frame cut short", framesOf(f, rates).chopped(100), true, averageBitrate(f, rates), 300);
    }
    {
        Frame mpeg2;
        mpeg2.version = mp3::Mpeg2;
        mpeg2.sampleRate = 22050;
        const QList<int> rates = cycled({32, 64, 96, 40}, 800);
        row("mpeg2 vbr without header", framesOf(mpeg2, rates), true, averageBitrate(mpeg2, rates), 800, mpeg2);
    }
    {
        Frame mono;
        mono.version = mp3::Mpeg25;
        mono.sampleRate = 11025;
        mono.mode = mp3::SingleChannel;
        const QList<int> rates = cycled({8, 16, 32}, 400);
        row("mpeg2.5 mono vbr without header", framesOf(mono, rates), true, averageBitrate(mono, rates), 400, mono);
    }
}

void TestMpegInfo::streamsWithoutUsableCount()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, vbr);
    QFETCH(int, bitrate);
    QFETCH(qint64, frames);
    QFETCH(int, length);
    const TMpegInfo info = analyse(bytes);
    QCOMPARE(info.HeaderPosition, 0);
    QCOMPARE(info.Frames, frames);
    QCOMPARE(info.Length, length);
    QCOMPARE(info.VBR, vbr);
    QCOMPARE(info.Bitrate, bitrate);
}

void TestMpegInfo::badInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("3 bytes") << QByteArray::fromHex("FFFB90");
    QTest::newRow("text") << QByteArray("Just a note that someone named .mp3\r\n").repeated(50);
    QTest::newRow("id3v2 tag only") << mp3::id3v2Tag(400, QByteArray::fromHex("FFFB9064"));
    QTest::newRow("sync in id3v1 title")
        << QByteArray(10, '\0') + mp3::Id3v1{"\xff\xfb\x90\x64", {}, {}, {}, {}, 1, 0}.bytes();
    QTest::newRow("tag size past end") << mp3::id3v2Header(0x0FFFFFFF) + QByteArray(20, '\0');
    QTest::newRow("zeros") << QByteArray(100'000, '\0');
    QTest::newRow("0xff bytes") << QByteArray(10'000, '\xff');
}

void TestMpegInfo::badInput()
{
    QFETCH(QByteArray, bytes);
    verifyNoStream(analyse(bytes));
}

void TestMpegInfo::longFileWithoutStreamIsCheap()
{
    // Random bytes do hold sync patterns; none starts a run of frames.
    // The search must still get through a few megabytes without trouble.
    const QByteArray noise = mp3::randomBytes(4 * 1024 * 1024, 7);
    const TMpegInfo random = analyse(noise);
    if (random.Layer != 0)   // only a pattern whose frame reaches the end qualifies
        QVERIFY(random.HeaderPosition > noise.size() - 3000);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeros.mp3"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(64LL * 1024 * 1024));
    file.close();
    TMpegInfo info;
    info.ReadFromFile(path, file.size());
    verifyNoStream(info);
}

void TestMpegInfo::secondReadKeepsNothingOfTheFirst()
{
    QBuffer first;
    first.setData(mp3::xingFrame(Frame(), 100u, 40'000u));
    first.open(QIODevice::ReadOnly);
    QBuffer second;
    second.setData("no audio here");
    second.open(QIODevice::ReadOnly);
    TMpegInfo info;
    info.readFromDevice(first, 40'000);
    QVERIFY(info.VBR);
    info.readFromDevice(second, 13);
    verifyNoStream(info);
}

void TestMpegInfo::readsFromFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.mp3"));
    const Frame f = frame(mp3::Mpeg2, 3, 64, 24000, mp3::SingleChannel);
    QVERIFY(testsupport::writeFile(path, mp3::id3v2Tag(30) + f.repeated(50)));
    TMpegInfo info;
    info.ReadFromFile(path, 50 * f.length());
    QCOMPARE(info.HeaderPosition, 40);
    QCOMPARE(info.Frames, 50);
    QCOMPARE(info.Mode, TMpegInfo::SingleChannel);

    info.ReadFromFile(dir.filePath(QStringLiteral("missing.mp3")), 1000);
    verifyNoStream(info);
}

void TestMpegInfo::nameTables()
{
    QCOMPARE(QString(MpegVersionNames[TMpegInfo::Mpeg25]), QStringLiteral("2.5"));
    QCOMPARE(QString(MpegVersionNames[TMpegInfo::MpegUnknown]), QStringLiteral("?.?"));
    QCOMPARE(QString(ModeNames[TMpegInfo::SingleChannel]), QStringLiteral("Single Channel"));
    QCOMPARE(QString(EmphasisNames[3]), QStringLiteral("CCIT J.17"));
}

QTEST_APPLESS_MAIN(TestMpegInfo)
#include "tst_mpeginfo.moc"
