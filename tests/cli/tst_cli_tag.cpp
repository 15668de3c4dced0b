// `tunebase-cli tag` and the "id3v2" object of `tunebase-cli info --json`.

#include "clirun.h"
#include "id3v2builder.h"
#include "mp3builder.h"
#include "scratchfolder.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

// What the command printed, as text.
struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

CliResult runCliText(const QStringList &args)
{
    const CliRun run = runCli(args);
    return {run.exitCode, run.outText(), run.errText()};
}

QJsonObject id3v2Info(const QString &path)
{
    const CliResult r = runCliText({"info", "--json", path});
    return QJsonDocument::fromJson(r.out.toUtf8()).array().at(0)["id3v2"].toObject();
}

const QByteArray Audio = mp3::Frame().repeated(6);
const QByteArray Private = bytes("owner\x00\xFF\x00\xFF\xE0");

} // namespace

class tst_CliTag : public QObject {
    Q_OBJECT

private:
    ScratchFolder m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void infoReportsId3v2();
    void setsFieldsAndKeepsTheRest();
    void tagActions_data();
    void tagActions();
    void usageErrors_data();
    void usageErrors();
    void reportsFilesNotWritten();
    void legacyEncodingForId3v1();
};

void tst_CliTag::infoReportsId3v2()
{
    const QString path = m_dir.newFile(Id3v2Builder(4).text("TIT2", "Ωmega", 3).text("TRCK", "3/12")
                                     .text("TBPM", "99").frame("WOAF", "http://a.example/")
                                     .described("COMM", "MusicMatch_Mood", "Calm").build()
                                 + Audio);
    const QJsonObject v2 = id3v2Info(path);
    QCOMPARE(v2.size(), 28);
    QCOMPARE(v2["exists"].toBool(), true);
    QCOMPARE(v2["version"].toInt(), 4);
    QCOMPARE(v2["title"].toString(), QStringLiteral("Ωmega"));
    QCOMPARE(v2["track"].toInt(), 3);
    QCOMPARE(v2["bpm"].toInt(), 99);
    QCOMPARE(v2["audioURL"].toString(), QStringLiteral("http://a.example/"));
    QCOMPARE(v2["mood"].toString(), QStringLiteral("Calm"));
    for (const char *name : {"artist", "album", "year", "genre", "comment", "label", "origArtist", "composer",
                             "lyricist", "orchestra", "conductor", "encodedBy", "copyrightBy", "subtitle",
                             "tempo", "situation", "preference", "bio", "artistURL", "generalURL", "lyrics"})
        QVERIFY2(v2[QLatin1String(name)].isString(), name);

    const QJsonObject none = id3v2Info(m_dir.newFile(Audio));
    QCOMPARE(none["exists"].toBool(), false);
}

void tst_CliTag::setsFieldsAndKeepsTheRest()
{
    const QByteArray tag = Id3v2Builder(3).frame("PRIV", Private).text("TIT2", "Old").text("TALB", "Album")
                               .padding(100).build();
    const QString path = m_dir.newFile(tag + Audio);
    const CliResult r = runCliText({"tag", "--set", "title=Neu ☂", "--set", "origArtist=Someone", "--set=TRACK=5",
                                "--set", "album=", path});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, path + ": written (ID3v2 set)\n");

    const QJsonObject v2 = id3v2Info(path);
    QCOMPARE(v2["title"].toString(), QStringLiteral("Neu ☂"));
    QCOMPARE(v2["origArtist"].toString(), QStringLiteral("Someone"));
    QCOMPARE(v2["track"].toInt(), 5);
    QCOMPARE(v2["album"].toString(), QString());
    const StoredTagView view = viewTag(readFile(path));
    QCOMPARE(view.ids(), (QList<QByteArray>{"PRIV", "TIT2", "TRCK", "TOPE"}));
    QCOMPARE(view.find("PRIV")->data, Private);
    QCOMPARE(view.audio, Audio);
}

void tst_CliTag::tagActions_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("v2");
    QTest::addColumn<bool>("v1");
    QTest::addColumn<QString>("report");

    QTest::newRow("v1 set") << QStringList{"--v1", "set"} << true << true << "ID3v2 set, ID3v1 set";
    QTest::newRow("v1 set, v2 keep") << QStringList{"--v1", "set", "--v2", "keep"} << true << true
                                     << "ID3v1 set";
    QTest::newRow("v2 remove") << QStringList{"--v2", "remove"} << false << true << "ID3v2 removed";
    QTest::newRow("both remove") << QStringList{"--v2", "remove", "--v1", "remove"} << false << false
                                 << "ID3v2 removed, ID3v1 removed";
}

void tst_CliTag::tagActions()
{
    QFETCH(QStringList, options);
    QFETCH(bool, v2);
    QFETCH(bool, v1);
    QFETCH(QString, report);
    const QByteArray v1Tag = mp3::Id3v1{"Old", "Old", {}, {}, {}, 1, 0}.bytes();
    const QString path = m_dir.newFile(Id3v2Builder(3).text("TIT2", "Old").build() + Audio + v1Tag);
    const CliResult r = runCliText(QStringList{"tag", "--set", "title=New", "--set", "genre=(17)", "--set", "mood=Calm"}
                               + options + QStringList{path});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, path + ": written (" + report + ")\n");

    const QJsonObject file = QJsonDocument::fromJson(runCliText({"info", "--json", path}).out.toUtf8()).array()[0].toObject();
    QCOMPARE(file["id3v2"]["exists"].toBool(), v2);
    QCOMPARE(file["id3v1"]["exists"].toBool(), v1);
    const bool v2Set = !options.contains("keep") && v2;
    if (v2)
        QCOMPARE(file["id3v2"]["title"].toString(), v2Set ? QStringLiteral("New") : QStringLiteral("Old"));
    if (v1 && options.contains("set")) {
        QCOMPARE(file["id3v1"]["title"].toString(), QStringLiteral("New"));
        QCOMPARE(file["id3v1"]["genre"].toString(), QStringLiteral("Rock"));
    }
    const QByteArray bytes = readFile(path);
    QVERIFY(bytes.contains(Audio));
    if (!v2 && !v1)
        QCOMPARE(bytes, Audio);
}

void tst_CliTag::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("complaint");
    QTest::newRow("unknown field") << QStringList{"--set", "colour=red"} << "no FIELD=VALUE";
    QTest::newRow("no equals sign") << QStringList{"--set", "title"} << "no FIELD=VALUE";
    QTest::newRow("track no number") << QStringList{"--set", "track=three"} << "whole number";
    QTest::newRow("bad action") << QStringList{"--v1", "maybe"} << "set, remove or keep";
    QTest::newRow("both keep") << QStringList{"--v1", "keep", "--v2", "keep"} << "nothing to write";
    QTest::newRow("unknown option") << QStringList{"--force"} << "unknown option";
    QTest::newRow("unknown code page") << QStringList{"--legacy-encoding", "klingon", "--set", "title=x"}
                                       << "--legacy-encoding takes one of";
}

void tst_CliTag::usageErrors()
{
    QFETCH(QStringList, args);
    const QByteArray bytes = Id3v2Builder(3).text("TIT2", "Old").build() + Audio;
    const QString path = m_dir.newFile(bytes);
    const CliResult r = runCliText(QStringList{"tag"} + args + QStringList{path});
    QCOMPARE(r.exitCode, 2);
    QFETCH(QString, complaint);
    QVERIFY2(r.err.contains(complaint), qPrintable(r.err));
    QCOMPARE(readFile(path), bytes);
    QCOMPARE(runCliText({"tag", "--set", "title=x"}).exitCode, 2);  // no file
}

void tst_CliTag::reportsFilesNotWritten()
{
    const QByteArray damaged = Id3v2Builder(3).text("TIT2", "Old").sizeField(Id3v2Builder::syncSafe(90000)).build()
        + Audio;
    const QString bad = m_dir.newFile(damaged);
    const QString good = m_dir.newFile(Audio);
    const QString missing = m_dir.path("missing.mp3");
    const CliResult r = runCliText({"tag", "--set", "title=New", bad, missing, good});
    QCOMPARE(r.exitCode, 1);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[0].startsWith(bad + ": not written: ID3v2: "), qPrintable(lines[0]));
    QCOMPARE(lines[1], missing + ": not written: no such file");
    QCOMPARE(lines[2], good + ": written (ID3v2 set)");
    QCOMPARE(readFile(bad), damaged);
    QCOMPARE(id3v2Info(good)["title"].toString(), QStringLiteral("New"));
}

// The ID3v1 tag is written in the legacy code page; a value the code page
// cannot hold is left out of it, said so, and stays in the ID3v2 tag.
void tst_CliTag::legacyEncodingForId3v1()
{
    const QString path = m_dir.newFile(Audio + mp3::Id3v1{"Old", "Old", {}, {}, {}, 1, 0}.bytes());
    const CliResult r = runCliText({"tag", "--legacy-encoding", "Shift_JIS", "--set", "title=日本語の歌", "--set",
                                    "artist=Café", "--v1", "set", path});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, path + ": written (ID3v2 set, ID3v1 set)\n");
    QVERIFY2(r.err.contains("cannot hold the artist in Shift_JIS"), qPrintable(r.err));
    const QByteArray v1 = readFile(path).right(128);
    QCOMPARE(v1.mid(3, 11), QByteArray("\x93\xfa\x96{\x8c\xea\x82\xcc\x89\xcc\0", 11));
    QCOMPARE(v1.mid(33, 30), QByteArray(30, '\0'));
    QCOMPARE(id3v2Info(path)["artist"].toString(), QStringLiteral("Café"));
}

QTEST_GUILESS_MAIN(tst_CliTag)
#include "tst_cli_tag.moc"
