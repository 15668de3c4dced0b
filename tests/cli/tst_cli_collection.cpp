// tunebase-cli new, dump and list.

#include "collectionbytes.h"
#include "clirun.h"
#include "testsupport.h"
#include "tracksamples.h"

#include "core/data/collectionfile.h"
#include "core/data/fieldlists.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/trackmembers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

TMp3Track *addTrack(TMp3Root &root, const QString &title, const QString &artist, const QStringList &genres)
{
    auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
    track->Title = title;
    if (!artist.isEmpty())
        track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(artist));
    for (const QString &genre : genres)
        track->Genres->Add(root.GenreList->FindOrAdd(genre));
    track->FilePath = QStringLiteral("/music/") + title + QStringLiteral(".mp3");
    return track;
}

QJsonObject parsedObject(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "not JSON:" << error.errorString() << text.left(300);
    return document.object();
}

} // namespace

class TestCliCollection : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_songs;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase();
    void newCreatesAnEmptyCollection();
    void newNeverReplacesUnasked();
    void newReportsFailures();
    void dumpShowsEverything();
    void dumpKeepsTheRecordOrder();
    void dumpShowsEveryMember();
    void dumpOfDamagedAndOldFiles();
    void dumpRefusesWhatItCannotOpen_data();
    void dumpRefusesWhatItCannotOpen();
    void listDefaultColumns();
    void listChosenFieldsSorted();
    void listFilters_data();
    void listFilters();
    void listFormats();
    void listComplaints_data();
    void listComplaints();
};

void TestCliCollection::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TMp3Root root;
    TMp3Track *love = addTrack(root, QStringLiteral("Lovesong"), QStringLiteral("Anna Kestrel"), {QStringLiteral("Pop")});
    love->Bitrate = 128;
    love->Length = 200;
    love->VBR = true;
    TMp3Track *rock = addTrack(root, QStringLiteral("Stone, \"Cold\""), QStringLiteral("The Lanterns"),
                               {QStringLiteral("Rock"), QStringLiteral("Pop")});
    rock->Bitrate = 192;
    rock->Length = 61;
    rock->Notes = QStringLiteral("line 1\nline\t2");
    TMp3Track *intro = addTrack(root, QStringLiteral("Intro"), QString(), {});
    intro->Bitrate = 128;
    intro->Year = root.Years->FindByName(QStringLiteral("1999"));
    auto *location = static_cast<TLocationLookupItem *>(root.Locations->AddNew(QStringLiteral("Music")));
    location->DriveType = 4;
    location->DriveLabel = QStringLiteral("srv/share");
    intro->Location = location;
    root.Fields->FindByID(3)->CustomName = QStringLiteral("Song");
    root.NextIndex = 4;
    m_songs = path(QStringLiteral("songs.tbx"));
    QVERIFY(saveCollection(root, m_songs).Saved);
}

void TestCliCollection::newCreatesAnEmptyCollection()
{
    const QString file = path(QStringLiteral("new.tbx"));
    const CliRun run = runCli({QStringLiteral("new"), file});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    TMp3Root root;
    const TCollectionLoadResult load = loadCollection(root, file);
    QVERIFY(load.opened() && !load.Converted && !load.Recovered);
    QCOMPARE(root.NextID, 86);
    QCOMPARE(root.Items->Count(), 0);
    QCOMPARE(root.Years->Count(), 56);
    // A new collection as the program saves it.
    TMp3Root fresh;
    QVERIFY(saveCollection(fresh, path(QStringLiteral("fresh.tbx"))).Saved);
    QCOMPARE(readFile(file), readFile(path(QStringLiteral("fresh.tbx"))));
}

void TestCliCollection::newNeverReplacesUnasked()
{
    const QString file = path(QStringLiteral("precious.tbx"));
    QVERIFY(QFile::copy(m_songs, file));
    const QByteArray before = readFile(file);
    CliRun run = runCli({QStringLiteral("new"), file});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("already exists"));
    QCOMPARE(readFile(file), before);

    run = runCli({QStringLiteral("new"), QStringLiteral("--force"), file});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(readFile(file).size() < before.size());
}

void TestCliCollection::newReportsFailures()
{
    const QString file = path(QStringLiteral("missing/folder/x.tbx"));
    CliRun run = runCli({QStringLiteral("new"), file});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.startsWith("Cannot create file \"" + file.toUtf8() + '"'));
    QVERIFY(!QFile::exists(file));

    // An empty name is no disk space problem.
    run = runCli({QStringLiteral("new"), QString()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("No file name was given"), run.err.constData());
    QVERIFY(!run.err.contains("diskspace"));

    run = runCli({QStringLiteral("new")});
    QCOMPARE(run.exitCode, 2);
    run = runCli({QStringLiteral("new"), QStringLiteral("--bogus"), file});
    QCOMPARE(run.exitCode, 2);
}

void TestCliCollection::dumpShowsEverything()
{
    const CliRun run = runCli({QStringLiteral("dump"), m_songs});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    const QJsonObject dump = parsedObject(run.out);
    QCOMPARE(dump.value("nextIndex").toInt(), 4);
    QVERIFY(dump.value("nextID").toInt() > 86);
    QCOMPARE(dump.value("converted").toBool(true), false);
    QCOMPARE(dump.value("recovered").toBool(true), false);
    QCOMPARE(dump.value("customNames").toObject(), (QJsonObject{{"3", "Song"}}));

    const QJsonObject lookups = dump.value("lookups").toObject();
    QCOMPARE(lookups.size(), 15);
    const QJsonObject artist = lookups.value("Artists").toArray().at(0).toObject();
    QCOMPARE(artist.value("displayName").toString(), QStringLiteral("Anna Kestrel"));
    QVERIFY(artist.contains("firstName") && artist.contains("lastName") && artist.contains("the"));
    QVERIFY(!artist.contains("driveType"));
    const QJsonObject genre = lookups.value("GenreList").toArray().at(0).toObject();
    QCOMPARE(genre.keys(), (QStringList{"displayName", "id", "index", "sortName"}));
    const QJsonObject location = lookups.value("Locations").toArray().at(0).toObject();
    QCOMPARE(location.value("driveType").toInt(), 4);
    QCOMPARE(location.value("driveLabel").toString(), QStringLiteral("srv/share"));
    QCOMPARE(lookups.value("Years").toArray().size(), 56);

    const QJsonArray tracks = dump.value("tracks").toArray();
    QCOMPARE(tracks.size(), 3);
    const QJsonObject rock = tracks.at(1).toObject();
    QCOMPARE(rock.value("Title").toString(), QStringLiteral("Stone, \"Cold\""));
    QCOMPARE(rock.value("Artist").toString(), QStringLiteral("The Lanterns"));
    QCOMPARE(rock.value("Genres").toArray(), (QJsonArray{"Rock", "Pop"}));
    QCOMPARE(rock.value("Notes").toString(), QStringLiteral("line 1\nline\t2"));
    QCOMPARE(rock.value("Bitrate").toInt(), 192);
    QCOMPARE(rock.value("VBR").toBool(true), false);
    const QJsonObject intro = tracks.at(2).toObject();
    QCOMPARE(intro.value("Artist").toString("x"), QString());
    QCOMPARE(intro.value("Year").toString(), QStringLiteral("1999"));
    QCOMPARE(intro.value("Location").toString(), QStringLiteral("Music"));
    QCOMPARE(intro.value("Genres").toArray(), QJsonArray());
    // ID, Index and the 45 members of the record.
    QCOMPARE(intro.size(), 47);
}

void TestCliCollection::dumpKeepsTheRecordOrder()
{
    const CliRun run = runCli({QStringLiteral("dump"), m_songs});
    const QByteArray firstTrack = run.out.mid(run.out.indexOf("\"tracks\""));
    const QList<QByteArray> order{"\"ID\"",       "\"Index\"",  "\"Title\"",    "\"TitleSort\"", "\"Artist\"",
                                  "\"Orchestra\"", "\"Genres\"", "\"Notes\"",    "\"GeneralURL\"", "\"TrackIndex\"",
                                  "\"Location\"", "\"FilePath\"", "\"Size\"",    "\"SampleRate\"", "\"VBR\"",
                                  "\"Original\"", "\"Emphasis\""};
    qsizetype position = 0;
    for (const QByteArray &key : order) {
        const qsizetype next = firstTrack.indexOf(key, position);
        QVERIFY2(next > position || (next == position && position == 0), key.constData());
        position = next;
    }
}

void TestCliCollection::dumpShowsEveryMember()
{
    // One track with a value in every member the record holds: each comes
    // out under its name, in the order of the record.
    TMp3Root root;
    auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
    QStringList expectedKeys{QStringLiteral("ID"), QStringLiteral("Index")};
    QMap<QString, QString> expected;
    for (const TTrackMember &row : TrackMembers()) {
        const QString value = SetSampleValue(*track, row, root);
        if (row.InRecord) {
            expectedKeys << QString::fromLatin1(row.Name);
            expected.insert(QString::fromLatin1(row.Name), value);
        }
    }
    const QString file = path(QStringLiteral("every-member.tbx"));
    QVERIFY(saveCollection(root, file).Saved);

    const CliRun run = runCli({QStringLiteral("dump"), file});
    QCOMPARE(run.exitCode, 0);
    const QByteArray trackText = run.out.mid(run.out.indexOf("\"tracks\""));
    qsizetype position = 0;
    for (const QString &key : std::as_const(expectedKeys)) {
        position = trackText.indexOf('"' + key.toUtf8() + "\":", position);
        QVERIFY2(position > 0, qPrintable(key));
    }
    const QJsonObject dumped = parsedObject(run.out).value("tracks").toArray().at(0).toObject();
    QCOMPARE(dumped.size(), expectedKeys.size());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QJsonValue value = dumped.value(it.key());
        const QString shown = value.isArray() ? value.toArray().at(0).toString() : value.toVariant().toString();
        QCOMPARE(shown, it.value());
    }
}

void TestCliCollection::dumpOfDamagedAndOldFiles()
{
    // Cut inside the last track: two tracks are shown, with the note.
    const QByteArray whole = readFile(m_songs);
    const QString cut = path(QStringLiteral("cut.tbx"));
    QVERIFY(writeFile(cut, whole.left(whole.indexOf("Intro") + 2)));
    CliRun run = runCli({QStringLiteral("dump"), cut});
    QCOMPARE(run.exitCode, 3);  // shown, but not all of it
    QVERIFY2(run.err.startsWith(cut.toUtf8() + " is damaged: only the 2 tracks before the damage could be read"),
             run.err.constData());
    QVERIFY(!run.err.contains("menu"));
    QJsonObject dump = parsedObject(run.out);
    QCOMPARE(dump.value("recovered").toBool(), true);
    QCOMPARE(dump.value("tracks").toArray().size(), 2);

    // Format 110: converted.
    TTrackRecord track;
    track.ID = 5;
    track.Title = QStringLiteral("Old");
    const QString old = path(QStringLiteral("old.tbx"));
    QVERIFY(writeFile(old, TCollectionBytes().header(110, 100).list().end().emptyLists(Mp3FileLists::Count)
                               .reservedBlock().list().track(track).end().integer(6).integer(2)));
    run = runCli({QStringLiteral("dump"), old});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.startsWith("The collection \"" + old.toUtf8() + "\" was created with an older version of Tunebase."));
    dump = parsedObject(run.out);
    QCOMPARE(dump.value("converted").toBool(), true);
    QCOMPARE(dump.value("recovered").toBool(), false);
    QCOMPARE(dump.value("tracks").toArray().at(0).toObject().value("Title").toString(), QStringLiteral("Old"));
}

void TestCliCollection::dumpRefusesWhatItCannotOpen_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("empty") << QByteArray() << QByteArray("This is not a Brimlow database\n");
    QTest::newRow("text") << QByteArray("just text") << QByteArray("This is not a Brimlow database\n");
    QTest::newRow("movies") << TCollectionBytes().header(120, 100, QStringLiteral("Movie")).data()
                            << QByteArray("This is not a MP3 database, please use Brimlow Movie to open this database\n");
}

void TestCliCollection::dumpRefusesWhatItCannotOpen()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, message);
    const QString file = path(QStringLiteral("foreign.tbx"));
    QVERIFY(writeFile(file, bytes));
    CliRun run = runCli({QStringLiteral("dump"), file});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, message);
    QVERIFY(run.out.isEmpty());

    run = runCli({QStringLiteral("dump"), path(QStringLiteral("nowhere.tbx"))});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, "The file \"" + path(QStringLiteral("nowhere.tbx")).toUtf8() + "\" was not found\n");
}

void TestCliCollection::listDefaultColumns()
{
    const CliRun run = runCli({QStringLiteral("list"), m_songs});
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> lines = run.out.split('\n');
    QCOMPARE(lines.size(), 5);
    // The default track columns of the catalogue under the collection's own
    // field names, the values as shown.
    QCOMPARE(lines.at(0), QByteArray("Filepath\tArtist\tSong\tAlbum\tLength\tSize\tBitrate"));
    QCOMPARE(lines.at(1), QByteArray("/music/Lovesong.mp3\tAnna Kestrel\tLovesong\t\t03:20\t0 KB\t128kbps(VBR)"));
}

void TestCliCollection::listChosenFieldsSorted()
{
    const CliRun run = runCli({QStringLiteral("list"), m_songs, QStringLiteral("--fields"), QStringLiteral("song,notes"),
                               QStringLiteral("--sort"), QStringLiteral("-Bitrate,Title")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("Song\tNotes\n"
                                 "Stone, \"Cold\"\tline 1 line 2\n"
                                 "Intro\t\n"
                                 "Lovesong\t\n"));
}

void TestCliCollection::listFilters_data()
{
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QByteArray>("titles");
    QTest::newRow("contains, any case") << QStringList{"Title contains LOVE"} << QByteArray("Lovesong\n");
    QTest::newRow("contains in a lookup") << QStringList{"artist contains lantern"} << QByteArray("Stone, \"Cold\"\n");
    QTest::newRow("contains nothing") << QStringList{"Title contains \"\""} << QByteArray();
    QTest::newRow("number") << QStringList{"Bitrate=128"} << QByteArray("Lovesong\nIntro\n");
    QTest::newRow("yes/no") << QStringList{"VBR=yes"} << QByteArray("Lovesong\n");
    QTest::newRow("one of several genres") << QStringList{"Genre=pop"} << QByteArray("Lovesong\nStone, \"Cold\"\n");
    QTest::newRow("no value") << QStringList{"Artist="} << QByteArray("Intro\n");
    QTest::newRow("name not there") << QStringList{"Genre=Jazz"} << QByteArray();
    QTest::newRow("exact text") << QStringList{"Title=intro"} << QByteArray("Intro\n");
    QTest::newRow("exact text only") << QStringList{"Title=intr"} << QByteArray();
    QTest::newRow("all conditions") << QStringList{"Bitrate=128", "Title contains o"} << QByteArray("Lovesong\nIntro\n");
    QTest::newRow("all conditions, narrower") << QStringList{"Bitrate=128", "Year=1999"} << QByteArray("Intro\n");
}

void TestCliCollection::listFilters()
{
    QFETCH(QStringList, filters);
    QFETCH(QByteArray, titles);
    QStringList args{QStringLiteral("list"), m_songs, QStringLiteral("--fields"), QStringLiteral("Title")};
    for (const QString &filter : filters)
        args << QStringLiteral("--filter") << filter;
    const CliRun run = runCli(args);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, "Song\n" + titles);
}

void TestCliCollection::listFormats()
{
    CliRun run = runCli({QStringLiteral("list"), m_songs, QStringLiteral("--fields"), QStringLiteral("Title,Genre"),
                         QStringLiteral("--format"), QStringLiteral("csv")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("Song,Genre\r\nLovesong,Pop\r\n\"Stone, \"\"Cold\"\"\",Rock; Pop\r\nIntro,\r\n"));

    run = runCli({QStringLiteral("list"), m_songs, QStringLiteral("--fields"), QStringLiteral("Title,Length"),
                  QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--filter"),
                  QStringLiteral("Length=61")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(run.out).array(),
             (QJsonArray{QJsonObject{{"Song", "Stone, \"Cold\""}, {"Length", "01:01"}}}));
    QVERIFY(run.out.indexOf("\"Song\"") < run.out.indexOf("\"Length\""));
}

void TestCliCollection::listComplaints_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("unknown field") << QStringList{"--fields", "Title,Nope"} << 2 << QByteArray("no track field named 'Nope'");
    QTest::newRow("unknown sort field") << QStringList{"--sort", "-Nope"} << 2 << QByteArray("no track field named 'Nope'");
    QTest::newRow("filter without operator") << QStringList{"--filter", "Title love"} << 2
                                             << QByteArray("--filter takes \"FIELD contains TEXT\" or \"FIELD=VALUE\"");
    QTest::newRow("filter on unknown field") << QStringList{"--filter", "Mood2=x"} << 2
                                             << QByteArray("no track field named 'Mood2'");
    QTest::newRow("number expected") << QStringList{"--filter", "Bitrate=fast"} << 2
                                     << QByteArray("Bitrate takes a whole number, not 'fast'");
    QTest::newRow("yes or no expected") << QStringList{"--filter", "VBR=maybe"} << 2
                                        << QByteArray("VBR takes yes or no, not 'maybe'");
    QTest::newRow("format") << QStringList{"--format", "xml"} << 2 << QByteArray("--format takes tsv, csv or json");
    QTest::newRow("missing value") << QStringList{"--filter"} << 2 << QByteArray("--filter needs a value");
}

void TestCliCollection::listComplaints()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    const CliRun run = runCli(QStringList{QStringLiteral("list"), m_songs} + args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), run.err.constData());
    QVERIFY(run.out.isEmpty());
}

QTEST_APPLESS_MAIN(TestCliCollection)
#include "tst_cli_collection.moc"
