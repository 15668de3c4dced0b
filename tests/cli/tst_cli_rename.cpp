#include "clirun.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

// `info` with file-name values and merged values, and `rename`.
class TestCliRename : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void infoShowsFilenameAndMergedValues();
    void infoSourcesChooseWhatIsMerged();
    void infoUsesParseFormatsOfTheSettings();
    void infoRejectsUnknownSource();
    void renamesByMergedValues();
    void dryRunChangesNothing();
    void neverOverwrites();
    void twoFilesOfOneRunWantTheSameName();
    void missingValuesAreRefusedUnlessAllowed();
    void usageErrors_data();
    void usageErrors();

private:
    CliResult run(const QStringList &args) const;
    QJsonObject infoJson(const QStringList &args) const;
    QString write(const QString &name, const QByteArray &tag = {}) const;
    QStringList filesIn(const QString &folder) const;
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliRename::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Parse formats that ignore the folders, whatever the defaults are.
    QVERIFY(testsupport::writeFile(path(QStringLiteral("settings.ini")),
                                   "[ParseFormats]\nCount=2\nFormat0=%ar - %t\nFormat1=%t\n"));
}

CliResult TestCliRename::run(const QStringList &args) const
{
    const CliRun run =
        runCli(args, environmentWith(QStringLiteral("TUNEBASE_CONFIG"), path(QStringLiteral("settings.ini"))));
    return {run.exitCode, run.outText(), run.errText()};
}

QJsonObject TestCliRename::infoJson(const QStringList &args) const
{
    const CliResult r = run(QStringList{QStringLiteral("info"), QStringLiteral("--json")} + args);
    return QJsonDocument::fromJson(r.out.toUtf8()).array().first().toObject();
}

QString TestCliRename::write(const QString &name, const QByteArray &tag) const
{
    const QString p = path(name);
    QDir().mkpath(QFileInfo(p).absolutePath());
    if (!testsupport::writeFile(p, mp3::Frame().stream(10) + tag))
        qWarning() << "cannot write" << p;
    return p;
}

QStringList TestCliRename::filesIn(const QString &folder) const
{
    QStringList names = QDir(path(folder)).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

void TestCliRename::infoShowsFilenameAndMergedValues()
{
    const QString file = write(QStringLiteral("Night/Ann - Song.mp3"),
                               mp3::Id3v1{"Tag Title", {}, {}, "1999", "note", 5, 17}.bytes());
    const QJsonObject report = infoJson({file});
    const QJsonObject filename = report.value(QStringLiteral("filename")).toObject();
    QCOMPARE(filename.value(QStringLiteral("artist")).toString(), QStringLiteral("Ann"));
    QCOMPARE(filename.value(QStringLiteral("title")).toString(), QStringLiteral("Song"));
    QVERIFY(filename.contains(QStringLiteral("format")));
    QVERIFY(filename.value(QStringLiteral("score")).toInt() > 0);
    for (const char *key : {"album", "track", "year", "genre"})
        QVERIFY2(filename.contains(QLatin1String(key)), key);

    const QJsonObject merged = report.value(QStringLiteral("merged")).toObject();
    QCOMPARE(merged.size(), 26);
    QCOMPARE(merged.value(QStringLiteral("title")).toString(), QStringLiteral("Tag Title"));
    QCOMPARE(merged.value(QStringLiteral("artist")).toString(), QStringLiteral("Ann"));
    QCOMPARE(merged.value(QStringLiteral("trackIndex")).toInt(), 5);
    QCOMPARE(merged.value(QStringLiteral("genre")).toString(), QStringLiteral("Rock"));
    QCOMPARE(merged.value(QStringLiteral("notes")).toString(), QStringLiteral("note"));
    QVERIFY(merged.contains(QStringLiteral("originalArtist")));
}

void TestCliRename::infoSourcesChooseWhatIsMerged()
{
    const QString file = write(QStringLiteral("Ann - Song.mp3"),
                               mp3::Id3v1{"Tag Title", {}, {}, {}, {}, -1, 17}.bytes());
    QJsonObject merged = infoJson({QStringLiteral("--sources"), QStringLiteral("filename,v1"), file})
                             .value(QStringLiteral("merged"))
                             .toObject();
    QCOMPARE(merged.value(QStringLiteral("title")).toString(), QStringLiteral("Tag Title"));
    merged = infoJson({QStringLiteral("--sources=filename"), file}).value(QStringLiteral("merged")).toObject();
    QCOMPARE(merged.value(QStringLiteral("title")).toString(), QStringLiteral("Song"));
    QCOMPARE(merged.value(QStringLiteral("genre")).toString(), QString());
    merged = infoJson({QStringLiteral("--sources="), file}).value(QStringLiteral("merged")).toObject();
    QCOMPARE(merged.value(QStringLiteral("title")).toString(), QString());
}

void TestCliRename::infoUsesParseFormatsOfTheSettings()
{
    QVERIFY(testsupport::writeFile(path(QStringLiteral("settings.ini")),
                                   "[ParseFormats]\nCount=1\nFormat0=%t - %ar\n"));
    const QByteArray before = testsupport::readFile(path(QStringLiteral("settings.ini")));
    const QString file = write(QStringLiteral("Ann - Song.mp3"));
    const QJsonObject filename = infoJson({file}).value(QStringLiteral("filename")).toObject();
    QCOMPARE(filename.value(QStringLiteral("format")).toString(), QStringLiteral("%t - %ar"));
    QCOMPARE(filename.value(QStringLiteral("title")).toString(), QStringLiteral("Ann"));
    // Reading the settings never writes them.
    QCOMPARE(testsupport::readFile(path(QStringLiteral("settings.ini"))), before);
}

void TestCliRename::infoRejectsUnknownSource()
{
    const CliResult r = run({QStringLiteral("info"), QStringLiteral("--sources"), QStringLiteral("v3"),
                             write(QStringLiteral("a.mp3"))});
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.err.contains(QLatin1String("v3")));
}

void TestCliRename::renamesByMergedValues()
{
    write(QStringLiteral("music/Ann - Song.mp3"), mp3::Id3v1{"Song", "Ann", {}, {}, {}, 3, 0}.bytes());
    write(QStringLiteral("music/sub/Bo - Tune.mp3"), mp3::Id3v1{"Tune/Mix", "Bo", {}, {}, {}, 12, 0}.bytes());
    const CliResult r = run({QStringLiteral("rename"), QStringLiteral("--format"), QStringLiteral("%ix %t"),
                             path(QStringLiteral("music"))});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains(QLatin1String("Ann - Song.mp3 -> 03 Song.mp3")));
    QCOMPARE(filesIn(QStringLiteral("music")), QStringList{QStringLiteral("03 Song.mp3")});
    QCOMPARE(filesIn(QStringLiteral("music/sub")), QStringList{QStringLiteral("12 Tune_Mix.mp3")});

    // Running again finds nothing to change.
    const CliResult again = run({QStringLiteral("rename"), QStringLiteral("--format=%ix %t"),
                                 path(QStringLiteral("music"))});
    QCOMPARE(again.exitCode, 0);
    QVERIFY(again.out.contains(QLatin1String("unchanged")));
}

void TestCliRename::dryRunChangesNothing()
{
    const QString file = write(QStringLiteral("Ann - Song.mp3"));
    const CliResult r = run({QStringLiteral("rename"), QStringLiteral("--format"), QStringLiteral("%t by %ar"),
                             QStringLiteral("--dry-run"), file});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains(QLatin1String("Song by Ann.mp3")));
    QVERIFY(QFile::exists(file));
    QVERIFY(!QFile::exists(path(QStringLiteral("Song by Ann.mp3"))));
}

void TestCliRename::neverOverwrites()
{
    const QString file = write(QStringLiteral("Ann - Song.mp3"));
    QVERIFY(testsupport::writeFile(path(QStringLiteral("Song.mp3")), "precious"));
    const CliResult r = run({QStringLiteral("rename"), QStringLiteral("--format"), QStringLiteral("%t"), file});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains(QLatin1String("already has the new name")));
    QCOMPARE(testsupport::readFile(path(QStringLiteral("Song.mp3"))), QByteArray("precious"));
    QVERIFY(QFile::exists(file));
}

void TestCliRename::twoFilesOfOneRunWantTheSameName()
{
    write(QStringLiteral("d/Ann - Song.mp3"));
    write(QStringLiteral("d/Bo - Song.mp3"));
    for (const bool dryRun : {true, false}) {
        QStringList args{QStringLiteral("rename"), QStringLiteral("--format"), QStringLiteral("%t")};
        if (dryRun)
            args << QStringLiteral("--dry-run");
        const CliResult r = run(args << path(QStringLiteral("d")));
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(QLatin1String("Bo - Song.mp3")));
    }
    QCOMPARE(filesIn(QStringLiteral("d")), (QStringList{QStringLiteral("Bo - Song.mp3"), QStringLiteral("Song.mp3")}));
}

void TestCliRename::missingValuesAreRefusedUnlessAllowed()
{
    const QString file = write(QStringLiteral("Song.mp3"));
    CliResult r = run({QStringLiteral("rename"), QStringLiteral("--format"), QStringLiteral("%ar - %t"), file});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(QFile::exists(file));
    r = run({QStringLiteral("rename"), QStringLiteral("--format"), QStringLiteral("%ar - %t"),
             QStringLiteral("--allow-missing"), file});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(QFile::exists(path(QStringLiteral("[Artist] - Song.mp3"))));
}

void TestCliRename::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no format") << QStringList{QStringLiteral("x.mp3")};
    QTest::newRow("format without value") << QStringList{QStringLiteral("--format")};
    QTest::newRow("no files") << QStringList{QStringLiteral("--format"), QStringLiteral("%t")};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--format=%t"), QStringLiteral("--force"),
                                                   QStringLiteral("x.mp3")};
    QTest::newRow("bad source") << QStringList{QStringLiteral("--format=%t"), QStringLiteral("--sources=v9"),
                                               QStringLiteral("x.mp3")};
}

void TestCliRename::usageErrors()
{
    QFETCH(QStringList, args);
    const CliResult r = run(QStringList{QStringLiteral("rename")} + args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.err.contains(QLatin1String("Usage")));
}

QTEST_APPLESS_MAIN(TestCliRename)
#include "tst_cli_rename.moc"
