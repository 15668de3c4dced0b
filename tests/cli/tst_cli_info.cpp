#include "clirun.h"
#include "id3v2builder.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using CliResult = CliRun;

CliResult info(const QStringList &args)
{
    return runCli(QStringList{QStringLiteral("info")} + args);
}

QJsonArray jsonInfo(const QStringList &paths, CliResult *result = nullptr)
{
    const CliResult r = info(QStringList{QStringLiteral("--json")} + paths);
    if (result)
        *result = r;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "not JSON:" << error.errorString() << r.out.left(500);
    return doc.array();
}

} // namespace

class TestCliInfo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }
    void reportsStreamAndTag();
    void walksFoldersForMp3Files();
    void textOutput();
    void unreadableFileIsReportedAndOthersStillShown();
    void badFilesDoNotStopTheReport();
    void threadsKeepTheOrder();
    void usageErrors();
    void readingLeavesTheHomeFolderAlone();
    void legacyEncoding();
    void jsonIsWhatQJsonDocumentWrites();

private:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        if (!testsupport::writeFile(path, bytes))
            qWarning() << "cannot write" << path;
        return path;
    }
    QTemporaryDir m_dir;
};

void TestCliInfo::reportsStreamAndTag()
{
    mp3::Frame f;
    f.version = mp3::Mpeg2;
    f.bitrate = 64;
    f.sampleRate = 22050;
    f.mode = mp3::SingleChannel;
    f.original = true;
    f.emphasis = 1;
    const QByteArray bytes = mp3::id3v2Tag(500) + mp3::xingFrame(f, 20000u, 2'000'000u) + f.repeated(3)
                             + mp3::Id3v1{"Title", "Artist", "Album", "2003", "Note", 9, 17}.bytes();
    const QString path = write(QStringLiteral("song.mp3"), bytes);

    CliResult result;
    const QJsonArray files = jsonInfo({path}, &result);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(files.size(), 1);
    const QJsonObject file = files.at(0).toObject();
    QCOMPARE(file[QLatin1String("path")].toString(), path);
    QCOMPARE(file[QLatin1String("size")].toInteger(), bytes.size());

    const QJsonObject mpeg = file[QLatin1String("mpeg")].toObject();
    QCOMPARE(mpeg[QLatin1String("version")].toString(), QStringLiteral("2.0"));
    QCOMPARE(mpeg[QLatin1String("layer")].toInt(), 3);
    QCOMPARE(mpeg[QLatin1String("vbr")].toBool(), true);
    // 20000 frames of 576 samples at 22050 Hz: 522.4 s, 2,000,000 bytes → 30.6 kbit/s.
    QCOMPARE(mpeg[QLatin1String("bitrate")].toInt(), 31);
    QCOMPARE(mpeg[QLatin1String("sampleRate")].toInt(), 22050);
    QCOMPARE(mpeg[QLatin1String("mode")].toString(), QStringLiteral("Single Channel"));
    QCOMPARE(mpeg[QLatin1String("frames")].toInteger(), 20000);
    QCOMPARE(mpeg[QLatin1String("length")].toInt(), 522);
    QCOMPARE(mpeg[QLatin1String("headerPosition")].toInteger(), 510);
    QCOMPARE(mpeg[QLatin1String("crcs")].toBool(), false);
    QCOMPARE(mpeg[QLatin1String("copyrighted")].toBool(), false);
    QCOMPARE(mpeg[QLatin1String("original")].toBool(), true);
    QCOMPARE(mpeg[QLatin1String("emphasis")].toString(), QStringLiteral("50/15 ms"));

    const QJsonObject v1 = file[QLatin1String("id3v1")].toObject();
    QCOMPARE(v1[QLatin1String("exists")].toBool(), true);
    QCOMPARE(v1[QLatin1String("title")].toString(), QStringLiteral("Title"));
    QCOMPARE(v1[QLatin1String("artist")].toString(), QStringLiteral("Artist"));
    QCOMPARE(v1[QLatin1String("album")].toString(), QStringLiteral("Album"));
    QCOMPARE(v1[QLatin1String("year")].toString(), QStringLiteral("2003"));
    QCOMPARE(v1[QLatin1String("comment")].toString(), QStringLiteral("Note"));
    QCOMPARE(v1[QLatin1String("track")].toInt(), 9);
    QCOMPARE(v1[QLatin1String("genre")].toString(), QStringLiteral("Rock"));
}

void TestCliInfo::walksFoldersForMp3Files()
{
    const QByteArray audio = mp3::Frame().repeated(4);
    write(QStringLiteral("music/a.mp3"), audio);
    write(QStringLiteral("music/sub/B.MP3"), audio);
    write(QStringLiteral("music/sub/deeper/c.Mp3"), audio);
    write(QStringLiteral("music/notes.txt"), "not audio");
    write(QStringLiteral("music/sub/cover.jpg"), "jpeg");
    const QJsonArray files = jsonInfo({m_dir.filePath(QStringLiteral("music"))});
    QStringList names;
    for (const QJsonValue &file : files)
        names << QFileInfo(file[QLatin1String("path")].toString()).fileName();
    names.sort(Qt::CaseInsensitive);
    QCOMPARE(names, (QStringList{QStringLiteral("a.mp3"), QStringLiteral("B.MP3"), QStringLiteral("c.Mp3")}));

    const QJsonArray none = jsonInfo({m_dir.filePath(QStringLiteral("music/sub/deeper/")) + QStringLiteral("..")});
    QCOMPARE(none.size(), 2);
}

void TestCliInfo::textOutput()
{
    const QString a = write(QStringLiteral("a.mp3"),
                            mp3::Frame().repeated(4) + mp3::Id3v1{"Caf\xe9 \x80", {}, {}, {}, {}, 1, 0}.bytes());
    const QString b = write(QStringLiteral("b.mp3"), "no audio");
    const CliResult result = info({a, b});
    QCOMPARE(result.exitCode, 0);
    const QString text = QString::fromUtf8(result.out);
    QVERIFY2(text.contains(a + QStringLiteral("\n")), qPrintable(text));
    QVERIFY(text.contains(b + QStringLiteral("\n")));
    QVERIFY(text.contains(QStringLiteral("version:        1.0\n")));
    QVERIFY(text.contains(QStringLiteral("version:        ?.?\n")));
    QVERIFY(text.contains(QStringLiteral("mode:           Joint Stereo\n")));
    QVERIFY(text.contains(QStringLiteral("title:          Café €\n")));
    QVERIFY(text.contains(QStringLiteral("genre:          Blues\n")));
    QCOMPARE(text.count(QStringLiteral("  mpeg:\n")), 2);
    QCOMPARE(text.count(QStringLiteral("  id3v1:\n")), 2);
}

void TestCliInfo::unreadableFileIsReportedAndOthersStillShown()
{
    const QString good = write(QStringLiteral("good.mp3"), mp3::Frame().repeated(4));
    const QString missing = m_dir.filePath(QStringLiteral("missing.mp3"));
    CliResult result;
    const QJsonArray files = jsonInfo({missing, good}, &result);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(missing.toUtf8()), result.err.constData());
    QCOMPARE(files.size(), 1);
    QCOMPARE(files.at(0)[QLatin1String("path")].toString(), good);
}

void TestCliInfo::badFilesDoNotStopTheReport()
{
    const QStringList paths = {
        write(QStringLiteral("bad/empty.mp3"), {}),
        write(QStringLiteral("bad/three.mp3"), "ID3"),
        write(QStringLiteral("bad/text.mp3"), QByteArray("plain text\n").repeated(100)),
        write(QStringLiteral("bad/random.mp3"), mp3::randomBytes(200'000, 3)),
        write(QStringLiteral("bad/truncated.mp3"), mp3::Frame().bytes().left(100)),
        write(QStringLiteral("bad/tagpastend.mp3"), mp3::id3v2Header(0x0FFFFFFF) + mp3::Frame().repeated(2)),
        write(QStringLiteral("bad/zeros.mp3"), QByteArray(3'000'000, '\0')),
    };
    CliResult result;
    const QJsonArray files = jsonInfo({m_dir.filePath(QStringLiteral("bad"))}, &result);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(files.size(), paths.size());
    QMap<QString, QJsonObject> byName;
    for (const QJsonValue &file : files)
        byName.insert(QFileInfo(file[QLatin1String("path")].toString()).baseName(),
                      file[QLatin1String("mpeg")].toObject());
    for (const char *name : {"empty", "three", "text", "zeros"})
        QCOMPARE(byName[QLatin1String(name)][QLatin1String("version")].toString(), QStringLiteral("?.?"));
    QCOMPARE(byName[QStringLiteral("truncated")][QLatin1String("layer")].toInt(), 3);
    QCOMPARE(byName[QStringLiteral("tagpastend")][QLatin1String("headerPosition")].toInt(), 10);
    QCOMPARE(byName[QStringLiteral("tagpastend")][QLatin1String("frames")].toInt(), 2);
}

void TestCliInfo::threadsKeepTheOrder()
{
    QStringList titles;
    for (int i = 0; i < 14; ++i) {
        const QString title = QStringLiteral("Title %1").arg(i, 2, 10, QLatin1Char('0'));
        titles << title;
        // Every third file carries a large picture: it takes longer to read
        // than the files after it.
        Id3v2Builder tag(3);
        tag.text("TIT2", title);
        if (i % 3 == 0)
            tag.frame("APIC", mp3::randomBytes(300'000, i));
        write(QStringLiteral("order/%1/%2.mp3").arg(i / 5).arg(title), tag.build() + mp3::Frame().stream(10));
    }
    const QString folder = m_dir.filePath(QStringLiteral("order"));
    const CliResult one = info({QStringLiteral("--json"), QStringLiteral("--threads"), QStringLiteral("1"), folder});
    const CliResult four = info({QStringLiteral("--json"), QStringLiteral("--threads=4"), folder});
    QCOMPARE(one.exitCode, 0);
    QCOMPARE(four.exitCode, 0);
    QCOMPARE(four.out, one.out);
    QStringList seen;
    for (const QJsonValue &file : QJsonDocument::fromJson(four.out).array())
        seen << file[QLatin1String("id3v2")][QLatin1String("title")].toString();
    QCOMPARE(seen, titles);

    for (const char *bad : {"0", "17", "two"}) {
        const CliResult wrong = info({QStringLiteral("--threads"), QLatin1String(bad), folder});
        QCOMPARE(wrong.exitCode, 2);
        QVERIFY2(wrong.err.contains("--threads needs a number from 1 to 16"), wrong.err.constData());
    }
}

void TestCliInfo::usageErrors()
{
    QCOMPARE(info({}).exitCode, 2);
    QCOMPARE(info({QStringLiteral("--bogus"), QStringLiteral("x.mp3")}).exitCode, 2);
    const CliResult help = info({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("info [--json] [--sources LIST] PATH..."));
}

// Reading files asks the settings for the parse formats, but creates
// nothing: no settings file, no data folder.
void TestCliInfo::readingLeavesTheHomeFolderAlone()
{
    QTemporaryDir home;
    QTemporaryDir music;
    QVERIFY(home.isValid() && music.isValid());
    const QString song = music.filePath(QStringLiteral("song.mp3"));
    QVERIFY(testsupport::writeFile(song, mp3::Frame().stream(10)));
    QProcessEnvironment environment = environmentWith(QStringLiteral("HOME"), home.path());
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "TUNEBASE_CONFIG"})
        environment.remove(QLatin1String(name));
    const CliRun run = runCli({QStringLiteral("info"), song}, environment);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

// ID3v1 text in an old code page: the settings' "Legacy Tag Encoding"
// reads it, and --legacy-encoding overrides that.
void TestCliInfo::legacyEncoding()
{
    mp3::Id3v1 v1;
    v1.title = "\xcf\xf0\xe8\xe2\xe5\xf2";  // "Привет" in Windows-1251
    v1.artist = "\xf0\xd2\xc9\xd7\xc5\xd4";  // the same in KOI8-R
    const QString file = write(QStringLiteral("old.mp3"), mp3::Frame().stream(20) + v1.bytes());
    const QString config = m_dir.filePath(QStringLiteral("config.ini"));
    QVERIFY(testsupport::writeFile(config, "[Settings]\r\nLegacy Tag Encoding=windows-1251\r\n"));

    auto titleAndArtist = [&](const QStringList &options) {
        const CliRun run = runCli(QStringList{"info", "--json"} + options + QStringList{file},
                                  environmentWith(QStringLiteral("TUNEBASE_CONFIG"), config));
        if (!run.ok())
            return QStringList{run.errText()};
        const QJsonObject v1 =
            QJsonDocument::fromJson(run.out).array().at(0).toObject()[QLatin1String("id3v1")].toObject();
        return QStringList{v1[QLatin1String("title")].toString(), v1[QLatin1String("artist")].toString()};
    };
    QCOMPARE(titleAndArtist({}).value(0), QStringLiteral("Привет"));
    QCOMPARE(titleAndArtist({"--legacy-encoding", "KOI8-R"}).value(1), QStringLiteral("Привет"));
    QCOMPARE(titleAndArtist({"--legacy-encoding=koi8-r"}).value(1), QStringLiteral("Привет"));

    const CliResult unknown = info({QStringLiteral("--legacy-encoding"), QStringLiteral("klingon"), file});
    QCOMPARE(unknown.exitCode, 2);
    QVERIFY(unknown.err.contains("Shift_JIS"));
    QCOMPARE(info({file, QStringLiteral("--legacy-encoding")}).exitCode, 2);
}

// The reports are written without building JSON documents: every byte must
// be what QJsonDocument writes, odd characters included.
void TestCliInfo::jsonIsWhatQJsonDocumentWrites()
{
    const QString odd = QStringLiteral("Quote \" back\\slash \x01\x1f tab\t cr\r ☃ 𝄞 ") + QChar(0xD800)
        + QStringLiteral(" end\x7f");
    const QByteArray tag = Id3v2Builder(3).text("TIT2", odd, 1).text("TPE1", QStringLiteral("Ωmega"))
                               .described("COMM", QString(), QStringLiteral("line one\nline two")).build();
    write(QStringLiteral("odd/a \"name\".mp3"), tag + mp3::Frame().stream(10));
    write(QStringLiteral("odd/b.mp3"), mp3::Frame().stream(10) + mp3::Id3v1{"V1", {}, {}, {}, {}, 3, 17}.bytes());
    CliResult r;
    const QJsonArray reports = jsonInfo({m_dir.filePath(QStringLiteral("odd"))}, &r);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(reports.size(), 2);
    QVERIFY(reports.at(0)[QLatin1String("id3v2")][QLatin1String("title")].toString().startsWith(
        QStringLiteral("Quote \" back\\slash \x01")));
    QByteArray expected = "[";
    for (qsizetype i = 0; i < reports.size(); ++i)
        expected += (i == 0 ? "\n" : ",\n") + QJsonDocument(reports.at(i).toObject()).toJson().trimmed();
    expected += "\n]\n";
    QCOMPARE(r.out, expected);
}

QTEST_APPLESS_MAIN(TestCliInfo)
#include "tst_cli_info.moc"
