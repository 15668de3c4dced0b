// Files made by real encoders, checked against what ffprobe and mutagen
// report for them.  Skipped where the tools are not installed.

#include "clirun.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A Python that has mutagen; Debian's lives in /usr/bin even when another
// python3 comes first on PATH.
QString pythonWithMutagen()
{
    for (const QString &python :
         {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable(QStringLiteral("python3"))}) {
        if (!python.isEmpty() && QFile::exists(python)
            && runProgram(python, {QStringLiteral("-c"), QStringLiteral("import mutagen.mp3")}).ok())
            return python;
    }
    return {};
}

const char *MutagenScript = R"(
import json, sys
import mutagen.mp3
info = mutagen.mp3.MP3(sys.argv[1]).info
modes = ["Stereo", "Joint Stereo", "Dual Channel", "Single Channel"]
version = {1: "1.0", 2: "2.0", 2.5: "2.5"}[info.version]
print(json.dumps({"version": version, "layer": info.layer, "sampleRate": info.sample_rate,
                  "mode": modes[info.mode], "length": info.length}))
)";

} // namespace

class TestInfoEncoders : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void agreesWithOtherTools_data();
    void agreesWithOtherTools();

private:
    QTemporaryDir m_dir;
    QString m_python;
};

void TestInfoEncoders::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty())
        QSKIP("ffprobe is not installed");
    m_python = pythonWithMutagen();
    if (m_python.isEmpty())
        QSKIP("python3-mutagen is not installed");
}

void TestInfoEncoders::agreesWithOtherTools_data()
{
    QTest::addColumn<QString>("encoder");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<int>("channels");
    // Without a VBR header the other tools guess the length from the first
    // frame; it is then checked against the frames ffprobe decodes.
    QTest::addColumn<bool>("headerless");

    const QString lame = QStringLiteral("lame");
    const QString ffmpeg = QStringLiteral("ffmpeg");
    auto opts = [](const char *text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); };
    QTest::newRow("lame cbr 128 joint stereo") << lame << opts("-b 128") << 44100 << 2 << false;
    QTest::newRow("lame cbr 192 stereo, no info frame") << lame << opts("-t -b 192 -m s") << 44100 << 2 << false;
    QTest::newRow("lame cbr with crc and id3 tags")
        << lame << opts("-p -b 160 --tt Title --ta Artist --add-id3v2 --pad-id3v2-size 5000") << 48000 << 2 << false;
    QTest::newRow("lame vbr 44100") << lame << opts("-V 2") << 44100 << 2 << false;
    QTest::newRow("lame vbr 32000 dual channel") << lame << opts("-V 4 -m d") << 32000 << 2 << false;
    QTest::newRow("lame abr mpeg2 22050") << lame << opts("--abr 48") << 22050 << 2 << false;
    QTest::newRow("lame vbr mpeg2 mono 16000") << lame << opts("-V 5") << 16000 << 1 << false;
    QTest::newRow("lame cbr mpeg2.5 mono 8000") << lame << opts("-b 16") << 8000 << 1 << false;
    QTest::newRow("lame vbr mpeg2.5 11025") << lame << opts("-V 6") << 11025 << 2 << false;
    QTest::newRow("ffmpeg layer 2") << ffmpeg << opts("-c:a mp2 -b:a 192k -f mp2") << 44100 << 2 << false;
    QTest::newRow("ffmpeg layer 2 mpeg2") << ffmpeg << opts("-c:a mp2 -b:a 64k -f mp2") << 24000 << 1 << false;
    QTest::newRow("ffmpeg lame vbr") << ffmpeg << opts("-c:a libmp3lame -q:a 4 -f mp3") << 44100 << 2 << false;
    QTest::newRow("ffmpeg shine") << ffmpeg << opts("-c:a libshine -b:a 128k -f mp3") << 44100 << 2 << false;
    // Variable streams without a VBR header: only counting their frames
    // gives the length.
    QTest::newRow("lame vbr without header") << lame << opts("-t -V 2") << 44100 << 2 << true;
    QTest::newRow("lame vbr mpeg2 without header") << lame << opts("-t -V 6") << 22050 << 1 << true;
    QTest::newRow("lame abr without header") << lame << opts("-t --abr 96") << 32000 << 2 << true;
    QTest::newRow("ffmpeg lame vbr without header")
        << ffmpeg << opts("-c:a libmp3lame -q:a 2 -write_xing 0 -f mp3") << 48000 << 2 << true;
}

void TestInfoEncoders::agreesWithOtherTools()
{
    QFETCH(QString, encoder);
    QFETCH(QStringList, options);
    QFETCH(int, sampleRate);
    QFETCH(int, channels);
    QFETCH(bool, headerless);
    if (QStandardPaths::findExecutable(encoder).isEmpty())
        QSKIP("encoder not installed");

    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'));
    const QString wav = m_dir.filePath(tag + QStringLiteral(".wav"));
    const QString mp3 = m_dir.filePath(tag + QStringLiteral(".mp3"));
    QVERIFY(testsupport::writeFile(wav, mp3::sineWav(12, sampleRate, channels)));
    const QStringList args = encoder == QLatin1String("lame")
                                 ? QStringList{QStringLiteral("--quiet")} + options + QStringList{wav, mp3}
                                 : QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                                               QStringLiteral("-i"), wav} + options + QStringList{mp3};
    const CliRun encoded = runProgram(encoder, args);
    if (!encoded.ok() && encoder == QLatin1String("ffmpeg"))
        QSKIP(qPrintable(QStringLiteral("ffmpeg lacks this encoder: ") + QString::fromLocal8Bit(encoded.err)));
    QVERIFY2(encoded.ok(), encoded.err.constData());

    const CliRun ours = runCli({QStringLiteral("info"), QStringLiteral("--json"), mp3});
    QVERIFY2(ours.ok(), ours.err.constData());
    const QJsonObject mpeg =
        QJsonDocument::fromJson(ours.out).array().at(0).toObject()[QLatin1String("mpeg")].toObject();

    const CliRun probed = runProgram(QStringLiteral("ffprobe"),
                                     {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
                                      QStringLiteral("-show_streams"), QStringLiteral("-select_streams"),
                                      QStringLiteral("a"), QStringLiteral("-of"), QStringLiteral("json"), mp3});
    QVERIFY2(probed.ok(), probed.err.constData());
    const QJsonObject stream = QJsonDocument::fromJson(probed.out)[QLatin1String("streams")][0].toObject();

    const CliRun mutagen = runProgram(m_python, {QStringLiteral("-c"), QString::fromLatin1(MutagenScript), mp3});
    QVERIFY2(mutagen.ok(), mutagen.err.constData());
    const QJsonObject mu = QJsonDocument::fromJson(mutagen.out).object();

    const QString context = QString::fromUtf8(ours.out + probed.out + mutagen.out);
    QVERIFY2(mpeg[QLatin1String("version")] == mu[QLatin1String("version")], qPrintable(context));
    QCOMPARE(mpeg[QLatin1String("layer")].toInt(), mu[QLatin1String("layer")].toInt());
    QCOMPARE(mpeg[QLatin1String("sampleRate")].toInt(), stream[QLatin1String("sample_rate")].toString().toInt());
    QCOMPARE(mpeg[QLatin1String("sampleRate")].toInt(), mu[QLatin1String("sampleRate")].toInt());
    QCOMPARE(mpeg[QLatin1String("mode")].toString(), mu[QLatin1String("mode")].toString());
    const qint64 frames = mpeg[QLatin1String("frames")].toInteger();
    const qint64 probedFrames = stream[QLatin1String("nb_read_frames")].toString().toLongLong();
    const double length = mpeg[QLatin1String("length")].toDouble();
    if (headerless) {
        QVERIFY2(frames == probedFrames, qPrintable(context));
        const int samples = sampleRate >= 32000 ? 1152 : 576;
        QCOMPARE(qint64(length), probedFrames * samples / sampleRate);
        QVERIFY2(mpeg[QLatin1String("vbr")].toBool(), qPrintable(context));
        return;
    }
    QVERIFY2(qAbs(frames - probedFrames) <= 1, qPrintable(context));
    QVERIFY2(qAbs(length - stream[QLatin1String("duration")].toString().toDouble()) < 1.0, qPrintable(context));
    QVERIFY2(qAbs(length - mu[QLatin1String("length")].toDouble()) < 1.0, qPrintable(context));
}

QTEST_APPLESS_MAIN(TestInfoEncoders)
#include "tst_info_encoders.moc"
