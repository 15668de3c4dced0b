#include "core/files/addfiles.h"
#include "core/files/mp3process.h"
#include "core/files/scanindex.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include "fakemounttable.h"
#include "id3v2builder.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestAddFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    // How many files of the last addRun's plan were linked to tracks; the
    // plan's files go with the run's folder, so this is counted inside it.
    int m_linkedInPlan = 0;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString collection() const { return path(QStringLiteral("music.tbx")); }
    void makeSong(const QString &name, const QString &title)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path(name)).absolutePath()));
        QVERIFY(testsupport::writeFile(
            path(name), Id3v2Builder(3).text("TIT2", title).padding(32).build() + mp3::Frame().stream(10)));
    }
    // One add run as a window or the command line makes it; the paths of
    // the files it planned to add or refresh.
    QStringList addRun(TMp3Root &root, bool update, TAddPlan &plan)
    {
        TMP3Process process;
        process.Collection = &root;
        const TScanIndexUse index(process, root, collection());
        const TAddPathsRead read = ReadAddPaths({path(QStringLiteral("songs"))}, process);
        PlanAdd(read.Files, root, update, plan);
        process.AddFiles(plan.Files, nullptr);
        index.Save();
        QStringList planned;
        m_linkedInPlan = 0;
        for (int i = 0; i < plan.Files.Count(); ++i) {
            const auto *file = static_cast<TMP3File *>(plan.Files.item(i));
            planned << QFileInfo(file->Path).fileName();
            m_linkedInPlan += file->TrackInfo.LinkedTrack ? 1 : 0;
        }
        return planned;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        makeSong(QStringLiteral("songs/a.mp3"), QStringLiteral("A"));
        makeSong(QStringLiteral("songs/b.mp3"), QStringLiteral("B"));
    }
    void planSortsFiles();
    void fateOfOneFile_data();
    void fateOfOneFile();
    void scanIndexLendsKnownFilesWhileInUse();
    void locationSuggestion();
    void chosenLocationLearnsItsDrive();
};

// Files already in the collection are left alone without an update; with
// one, only the changed ones are read again and refresh their tracks.
void TestAddFiles::planSortsFiles()
{
    TMp3Root root;
    TAddPlan first;
    QCOMPARE(addRun(root, false, first), QStringList({"a.mp3", "b.mp3"}));
    QCOMPARE(root.GetTracks()->Count(), 2);

    makeSong(QStringLiteral("songs/c.mp3"), QStringLiteral("C"));
    TAddPlan again;
    QCOMPARE(addRun(root, false, again), QStringList({"c.mp3"}));
    QCOMPARE(again.AlreadyThere, 2);
    QCOMPARE(again.Unchanged, 0);

    // b.mp3 changes size; a.mp3 and c.mp3 are as the index recorded them.
    makeSong(QStringLiteral("songs/b.mp3"), QStringLiteral("B, longer now"));
    TAddPlan update;
    QCOMPARE(addRun(root, true, update), QStringList({"b.mp3"}));
    QCOMPARE(update.Unchanged, 2);
    QCOMPARE(update.AlreadyThere, 0);
    QCOMPARE(m_linkedInPlan, 1);
    QCOMPARE(root.GetTracks()->Count(), 3);
}

void TestAddFiles::fateOfOneFile_data()
{
    QTest::addColumn<bool>("inCollection");
    QTest::addColumn<bool>("update");
    QTest::addColumn<bool>("unchanged");
    QTest::addColumn<TAddFate>("fate");
    QTest::newRow("new") << false << false << false << TAddFate::New;
    QTest::newRow("new, update asked") << false << true << false << TAddFate::New;
    QTest::newRow("there, no update") << true << false << false << TAddFate::AlreadyThere;
    QTest::newRow("there, unchanged, no update") << true << false << true << TAddFate::AlreadyThere;
    QTest::newRow("there, update") << true << true << false << TAddFate::Refresh;
    QTest::newRow("there, unchanged, update") << true << true << true << TAddFate::Unchanged;
}

// The add window sorts its files one by one as they are read: the same
// fate, and only a file to refresh joins the plan linked to its track.
void TestAddFiles::fateOfOneFile()
{
    QFETCH(bool, inCollection);
    QFETCH(bool, update);
    QFETCH(bool, unchanged);
    QFETCH(TAddFate, fate);
    TMp3Root root;
    auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
    TMP3File file(m_dir->filePath(QStringLiteral("songs/a.mp3")));
    file.Unchanged = unchanged;
    TMp3Track *known = inCollection ? track : nullptr;
    QCOMPARE(AddFateOf(file, known, update), fate);

    TAddPlan plan;
    plan.Take(file, known, update);
    const bool planned = fate == TAddFate::New || fate == TAddFate::Refresh;
    QCOMPARE(plan.Files.Count(), planned ? 1 : 0);
    QCOMPARE(plan.AlreadyThere, fate == TAddFate::AlreadyThere ? 1 : 0);
    QCOMPARE(plan.Unchanged, fate == TAddFate::Unchanged ? 1 : 0);
    QCOMPARE(file.TrackInfo.LinkedTrack, fate == TAddFate::Refresh ? track : nullptr);
}

void TestAddFiles::scanIndexLendsKnownFilesWhileInUse()
{
    TMp3Root root;
    TAddPlan plan;
    addRun(root, false, plan);
    QVERIFY(QFileInfo::exists(ScanIndexPath(collection())));

    // A window reading the same collection afresh: the index tells the
    // tracks their files' times, and the files come out unchanged.
    TMp3Root reopened;
    for (int i = 0; i < root.GetTracks()->Count(); ++i) {
        auto *track = static_cast<TMp3Track *>(reopened.GetTracks()->CreateItem());
        track->FilePath = root.GetTracks()->Get(i)->FilePath;
        track->Size = root.GetTracks()->Get(i)->Size;
    }
    TMP3Process process;
    {
        const TScanIndexUse index(process, reopened, collection());
        QVERIFY(process.KnownFiles);
        QCOMPARE(process.KnownFiles->count(), 2);
        const TAddPathsRead read = ReadAddPaths({path(QStringLiteral("songs"))}, process);
        QCOMPARE(read.Files.size(), 2);
        QCOMPARE(process.Reading().FilesUnchanged, 2);
    }
    // The process does not keep a pointer into the ended use.
    QVERIFY(!process.KnownFiles);
}

void TestAddFiles::locationSuggestion()
{
    TFakeMountTable mounts;
    mounts.add(QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4"));
    mounts.add(QStringLiteral("/media/cd"), QStringLiteral("/dev/sr0"), QStringLiteral("iso9660"),
               QStringLiteral("MIXTAPE"), true);
    TMp3Root root;
    // A volume without a name suggests nothing.
    TLocationSuggestion none = SuggestLocation(root, QStringLiteral("/music/a.mp3"), mounts);
    QVERIFY(!none.Known);
    QVERIFY(none.Name.isEmpty());
    // A named volume no location knows: its name, for a new location.
    TLocationSuggestion fresh = SuggestLocation(root, QStringLiteral("/media/cd/a.mp3"), mounts);
    QVERIFY(!fresh.Known);
    QCOMPARE(fresh.Name, QStringLiteral("MIXTAPE"));
    // The location that recorded the volume, whatever its name.
    auto *shelf = static_cast<TLocationLookupItem *>(root.Locations->FindOrAdd(QStringLiteral("Shelf 2")));
    shelf->DriveLabel = QStringLiteral("MIXTAPE");
    shelf->DriveType = dkCDRom;
    QCOMPARE(SuggestLocation(root, QStringLiteral("/media/cd/a.mp3"), mounts).Known, shelf);
}

void TestAddFiles::chosenLocationLearnsItsDrive()
{
    TFakeMountTable mounts;
    mounts.add(QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4"));
    mounts.add(QStringLiteral("/media/cd"), QStringLiteral("/dev/sr0"), QStringLiteral("iso9660"),
               QStringLiteral("MIXTAPE"), true);
    TMp3Root root;
    QVERIFY(!ChooseLocation(root, QString(), QStringLiteral("/media/cd/a.mp3"), mounts));

    TLocationLookupItem *typed = ChooseLocation(root, QStringLiteral("Car CDs"), QStringLiteral("/media/cd/a.mp3"), mounts);
    QVERIFY(typed);
    QCOMPARE(typed->DisplayName, QStringLiteral("Car CDs"));
    QCOMPARE(typed->DriveLabel, QStringLiteral("MIXTAPE"));
    QCOMPARE(int(typed->DriveType), int(dkCDRom));

    // A location that knows its drive keeps it, and is not added twice.
    QCOMPARE(ChooseLocation(root, QStringLiteral("Car CDs"), QStringLiteral("/music/a.mp3"), mounts), typed);
    QCOMPARE(typed->DriveLabel, QStringLiteral("MIXTAPE"));
    QCOMPARE(root.Locations->Count(), 1);

    // Without a name the suggestion decides: the known one for the volume.
    TMP3File file(QStringLiteral("/media/cd/b.mp3"));
    QCOMPARE(LocationForNewTracks(root, QString(), {&file}, mounts), typed);
    QVERIFY(!LocationForNewTracks(root, QString(), {}, mounts));
}

QTEST_GUILESS_MAIN(TestAddFiles)
#include "tst_addfiles.moc"
