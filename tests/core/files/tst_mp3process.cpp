#include "core/base/legacytext.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3fields.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/drives.h"

#include "id3v2builder.h"
#include "mp3builder.h"
#include "recordingprocesswindow.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <memory>

namespace {

QByteArray audio()
{
    return mp3::Frame().stream(20);
}

QByteArray titleTag(const QString &title)
{
    return Id3v2Builder(3).text("TIT2", title).padding(64).build();
}

QStringList childNames(const TMP3Folder &folder)
{
    QStringList names;
    for (int i = 0; i < folder.ChildCount(); ++i)
        names << folder.Child(i)->Name;
    return names;
}

TMP3Folder *childFolder(const TMP3Folder &folder, const QString &name)
{
    for (int i = 0; i < folder.ChildCount(); ++i)
        if (folder.Child(i)->Name == name && folder.Child(i)->isFolder())
            return static_cast<TMP3Folder *>(folder.Child(i));
    return nullptr;
}

TMp3Track *newTrack(TMp3Root &root, const QString &path)
{
    auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
    track->FilePath = path;
    return track;
}

TLocationLookupItem *location(TMp3Root &root, const QString &name, quint8 driveType = dkFixed)
{
    auto *item = static_cast<TLocationLookupItem *>(root.Locations->FindOrAdd(name));
    item->DriveType = driveType;
    return item;
}

// Cancels its process when a message names the given folder.
class TCancellingWindow : public TRecordingProcessWindow {
public:
    TCancellingWindow(TProcessWindowRecord &record, TProcess *&process, QString folder)
        : TRecordingProcessWindow(record), m_process(process), m_folder(std::move(folder))
    {
    }
    void setMessage(const QString &message) override
    {
        TRecordingProcessWindow::setMessage(message);
        if (message.startsWith(m_folder))
            m_process->Cancel();
    }

private:
    TProcess *&m_process;
    QString m_folder;
};

} // namespace

class TestMp3Process : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString makeMp3(const QString &name, const QByteArray &prefix = {}, const QByteArray &suffix = {})
    {
        const QString p = path(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        if (!testsupport::writeFile(p, prefix + audio() + suffix))
            qFatal("cannot write fixture");
        return p;
    }
    void makeFifo(const QString &name) { QCOMPARE(::mkfifo(QFile::encodeName(path(name)).constData(), 0600), 0); }
    void makeLink(const QString &target, const QString &name) { QVERIFY(QFile::link(target, path(name))); }

    // root/ with MP3 files, a folder with nothing to read below it, hidden
    // entries, a link back to root, a linked file and a FIFO.
    void makeTree()
    {
        makeMp3(QStringLiteral("root/a.mp3"), titleTag(QStringLiteral("A")));
        makeMp3(QStringLiteral("root/UPPER.MP3"));
        makeMp3(QStringLiteral("root/Album/c.mp3"));
        makeMp3(QStringLiteral("root/.hidden.mp3"));
        makeMp3(QStringLiteral("root/.hiddendir/h.mp3"));
        QVERIFY(QDir().mkpath(path(QStringLiteral("root/Empty/Deeper"))));
        QVERIFY(testsupport::writeFile(path(QStringLiteral("root/Empty/Deeper/readme.txt")), "text"));
        QVERIFY(testsupport::writeFile(path(QStringLiteral("root/notes.txt")), "text"));
        makeLink(path(QStringLiteral("root")), QStringLiteral("root/loop"));
        makeLink(path(QStringLiteral("root/a.mp3")), QStringLiteral("root/alias.mp3"));
        makeFifo(QStringLiteral("root/fifo.mp3"));
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void readFolderFlags();
    void readFolderWhileBusyOrRead();
    void readFolderRecursiveWithLoopAndFifo();
    void readFolderCancelled();
    void pseudoFileSystemsReadEmpty();

    void addNewAndLinkedFiles();
    void copyFileToTrack();
    void copyTrackToTags();
    void tagsReplaceValuesReadWithTheWrongCodePage_data();
    void tagsReplaceValuesReadWithTheWrongCodePage();
    void severalGenresRoundTrip();

    void editTagsNoChangeWritesNothing();
    void editTagsRemoveV1KeepsV2();
    void editTagsReportsWhatId3v1LeavesOut();
    void editTagsUpdatesLinkedTrackAfterWriting();
    void editTagsFailureLeavesTrack();
    void readOnlyFiles();
    void renameFiles();

    void searchSystem();
    void searchSystemMissingFolder();
    void matchTracks();
    void missingFileMatches();
    void filesForTracks();
};

void TestMp3Process::readFolderFlags()
{
    makeTree();
    TMP3Process process;
    TMP3Folder root;
    root.SetPath(path(QStringLiteral("root")));

    process.ReadFolder(&root, false, false);
    QCOMPARE(childNames(root), (QStringList{QStringLiteral("Album"), QStringLiteral("Empty"), QStringLiteral("a.mp3"),
                                            QStringLiteral("UPPER.MP3")}));
    QVERIFY(root.IsRead);
    QVERIFY(!root.IsReadRecursive);
    QCOMPARE(process.Reading().FilesRead, 2);
    QVERIFY(process.Reading().FailedFiles.isEmpty());
    QCOMPARE(process.Log.size(), 2);
    TMP3Folder *album = childFolder(root, QStringLiteral("Album"));
    QVERIFY(album && !album->IsRead && album->ChildCount() == 0);
    auto *a = static_cast<TMP3File *>(root.Child(2));
    QCOMPARE(a->ID3v2.Title, QStringLiteral("A"));  // read at once
    QCOMPARE(a->Folder, &root);

    // Asked again recursively: the files already read stay, the subfolders
    // are read; one without MP3 files below it stays empty and unread.
    TMP3File *before = a;
    process.ReadFolder(&root, true, false);
    QCOMPARE(root.Child(2), before);
    QVERIFY(root.IsReadRecursive);
    QCOMPARE(process.Reading().FilesRead, 1);
    QVERIFY(album->IsRead && album->IsReadRecursive);
    QCOMPARE(childNames(*album), QStringList{QStringLiteral("c.mp3")});
    TMP3Folder *empty = childFolder(root, QStringLiteral("Empty"));
    QVERIFY(empty);
    QCOMPARE(empty->ChildCount(), 0);
    QVERIFY(!empty->IsRead);
    QVERIFY(!empty->IsReadRecursive);
}

void TestMp3Process::readFolderWhileBusyOrRead()
{
    makeMp3(QStringLiteral("root/a.mp3"));
    TMP3Process process;
    TMP3Folder root;
    root.SetPath(path(QStringLiteral("root")));

    process.Busy = true;
    process.ReadFolder(&root, true, false);
    QVERIFY(process.Log.isEmpty());
    QVERIFY(!root.IsRead);
    process.Busy = false;

    process.ReadFolder(nullptr, true, false);
    QVERIFY(process.Log.isEmpty());

    process.ReadFolder(&root, true, false);
    QCOMPARE(process.Log.size(), 2);
    QVERIFY(!process.Busy);
    // Read with its subfolders: nothing to do, no run.
    process.ReadFolder(&root, true, false);
    process.ReadFolder(&root, false, false);
    QCOMPARE(process.Log.size(), 2);
}

void TestMp3Process::readFolderRecursiveWithLoopAndFifo()
{
    makeTree();
    TProcessWindowRecord record;
    TMP3Process process(std::make_unique<TRecordingProcessWindow>(record));
    TMP3Folder root;
    root.SetPath(path(QStringLiteral("root")));
    process.ReadFolder(&root, true, true);

    QVERIFY(root.IsRead && root.IsReadRecursive);
    QCOMPARE(process.Reading().FilesRead, 3);
    TMp3FileItemList files;
    root.CollectFiles(files, true);
    QStringList paths;
    for (int i = 0; i < files.Count(); ++i)
        paths << files.item(i)->Path;
    QCOMPARE(paths, (QStringList{path(QStringLiteral("root/Album/c.mp3")), path(QStringLiteral("root/a.mp3")),
                                 path(QStringLiteral("root/UPPER.MP3"))}));
    QCOMPARE(record.Caption, QStringLiteral("Read File Information"));
    QCOMPARE(record.ShowCount, 1);
    QCOMPARE(record.HideCount, 1);
    QVERIFY(!record.Visible);
}

void TestMp3Process::readFolderCancelled()
{
    makeTree();
    TProcessWindowRecord record;
    TProcess *self = nullptr;
    const QString album = path(QStringLiteral("root/Album"));
    TMP3Process process(std::make_unique<TCancellingWindow>(record, self, album));
    self = &process;
    TMP3Folder root;
    root.SetPath(path(QStringLiteral("root")));

    process.ReadFolder(&root, true, true);
    QVERIFY(process.IsCancelled());
    QVERIFY(!root.IsRead);
    QVERIFY(!root.IsReadRecursive);
    QVERIFY(!process.Busy);
    QCOMPARE(process.Reading().FilesRead, 0);

    // The next run starts afresh and reads everything.
    process.SetWindow(std::make_unique<TRecordingProcessWindow>(record));
    process.ReadFolder(&root, true, true);
    QVERIFY(root.IsReadRecursive);
    QCOMPARE(process.Reading().FilesRead, 3);
}

void TestMp3Process::pseudoFileSystemsReadEmpty()
{
    TMP3Process process;
    TMP3Folder proc;
    proc.SetPath(QStringLiteral("/proc"));
    process.ReadFolder(&proc, true, false);
    QCOMPARE(proc.ChildCount(), 0);
    QCOMPARE(process.Reading().FilesRead, 0);
}

void TestMp3Process::addNewAndLinkedFiles()
{
    TMp3Root root;
    auto *defaults = dynamic_cast<TMP3Defaults *>(root.Defaults.get());
    QVERIFY(defaults);
    defaults->DefaultLocation = QStringLiteral("Shelf");
    defaults->DefaultYear = QStringLiteral("1999");
    TLocationLookupItem *home = location(root, QStringLiteral("Home"));

    const QString linkedPath = makeMp3(QStringLiteral("linked.mp3"), titleTag(QStringLiteral("Tag Title")));
    TMp3Track *existing = newTrack(root, linkedPath);
    existing->Location = home;
    existing->Index = 7;
    root.NextIndex = 8;

    TMP3File linked(linkedPath);
    TMP3File fresh(makeMp3(QStringLiteral("Artist X - New Song.mp3")));
    for (TMP3File *file : {&linked, &fresh}) {
        QVERIFY(file->ReadInfo({}));
        file->SetInfoSources(false, false, true, true, true);
    }
    linked.LinkTrack(existing);

    TMP3Process process;
    process.Collection = &root;
    process.ParseFormats = {QStringLiteral("%ar - %t")};
    TMp3FileItemList files;
    files.Add(&linked);
    files.Add(&fresh);
    const TAddFilesResult result = process.AddFiles(files, nullptr);

    QCOMPARE(result.Added, 1);
    QCOMPARE(result.Updated, 1);
    QCOMPARE(root.GetTracks()->Count(), 2);
    // The linked track is refreshed and keeps its place and location.
    QCOMPARE(existing->Title, QStringLiteral("Tag Title"));
    QCOMPARE(existing->Location, home);
    QCOMPARE(existing->Index, 7);
    QVERIFY(!existing->Year);
    QCOMPARE(existing->Size, qint32(QFileInfo(linkedPath).size()));

    // The new file became a track: numbered, parsed again with the current
    // formats, with the defaults for what it lacks.
    TMp3Track *added = root.GetTracks()->Get(1);
    QCOMPARE(added->FilePath, fresh.Path);
    QCOMPARE(added->Index, 8);
    QCOMPARE(root.NextIndex, 9);
    QCOMPARE(added->Title, QStringLiteral("New Song"));
    QCOMPARE(GetLookupDisplayName(added->Artist), QStringLiteral("Artist X"));
    QCOMPARE(GetLookupDisplayName(added->Location), QStringLiteral("Shelf"));
    QCOMPARE(GetLookupDisplayName(added->Year), QStringLiteral("1999"));
    QCOMPARE(added->Bitrate, 128);
    QVERIFY(added->Length >= 0);

    // A location given wins over the default.
    TMP3File third(makeMp3(QStringLiteral("third.mp3")));
    QVERIFY(third.ReadInfo({}));
    files.Clear();
    files.Add(&third);
    const TAddFilesResult onShelf = process.AddFiles(files, home);
    QCOMPARE(root.GetTracks()->Get(2)->Location, home);
    QCOMPARE(onShelf.Added, 1);
    QCOMPARE(onShelf.Updated, 0);
}

void TestMp3Process::copyFileToTrack()
{
    TMp3Root root;
    TMp3Track *track = newTrack(root, QStringLiteral("/old/path.mp3"));
    track->Title = QStringLiteral("Kept");
    track->TrackIndex = 3;
    track->Genres->Add(root.GenreList->FindOrAdd(QStringLiteral("Jazz")));
    track->Size = 1;
    track->Bitrate = 1;

    TMP3File file(makeMp3(QStringLiteral("song.mp3"),
                          Id3v2Builder(3).text("TPE1", QStringLiteral("Solo")).text("TCOM", QStringLiteral("Writer"))
                              .text("TBPM", QStringLiteral("120")).build()));
    QVERIFY(file.ReadInfo({}));
    file.SetInfoSources(false, false, true, true, false);
    CopyFileToTrack(*track, file);

    QCOMPARE(track->Title, QStringLiteral("Kept"));
    QCOMPARE(track->TrackIndex, 3);
    QCOMPARE(GetLookupDisplayName(track->Genres->First()), QStringLiteral("Jazz"));
    QCOMPARE(GetLookupDisplayName(track->Artist), QStringLiteral("Solo"));
    QCOMPARE(GetLookupDisplayName(track->Composer), QStringLiteral("Writer"));
    QCOMPARE(track->BPM, 120);
    QCOMPARE(track->FilePath, file.Path);
    QCOMPARE(track->Size, qint32(file.FileSize));
    QCOMPARE(track->Bitrate, 128);
    QCOMPARE(track->SampleRate, 44100);
    QCOMPARE(track->HeaderPosition, qint32(file.MpegInfo.HeaderPosition));
    QVERIFY(track->HeaderPosition > 0);
}

void TestMp3Process::tagsReplaceValuesReadWithTheWrongCodePage_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QByteArray>("titleBytes");
    QTest::addColumn<QByteArray>("artistBytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("artist");
    QTest::newRow("Windows-1251") << QStringLiteral("windows-1251") << QByteArray("\xc3\xf0\xf3\xef\xef\xe0")
                                  << QByteArray("\xca\xe8\xed\xee") << QStringLiteral("Группа")
                                  << QStringLiteral("Кино");
    QTest::newRow("Shift_JIS") << QStringLiteral("Shift_JIS") << QByteArray("\x89\xcc\x89\xcc")
                               << QByteArray("\x8e\x52\x89\xba") << QStringLiteral("歌歌")
                               << QStringLiteral("山下");
}

void TestMp3Process::tagsReplaceValuesReadWithTheWrongCodePage()
{
    QFETCH(QString, encoding);
    QFETCH(QByteArray, titleBytes);
    QFETCH(QByteArray, artistBytes);
    QFETCH(QString, title);
    QFETCH(QString, artist);
    struct ResetEncoding {
        ~ResetEncoding() { SetLegacyTagEncoding(DefaultLegacyTagEncoding()); }
    } reset;
    const QString path = makeMp3(QStringLiteral("song.mp3"), {},
                                 mp3::Id3v1{titleBytes, artistBytes, {}, "1987", {}, 3, 255}.bytes());
    TMp3Root root;
    TMP3Process process;
    process.Collection = &root;
    const auto readFile = [&] {
        auto file = std::make_unique<TMP3File>(path);
        file->ReadInfo({});
        file->SetInfoSources(false, true, true, true, true);
        return file;
    };

    // Added while the program read ID3v1 tags as ISO-8859-1.
    QVERIFY(SetLegacyTagEncoding(DefaultLegacyTagEncoding()));
    {
        const std::unique_ptr<TMP3File> file = readFile();
        TMp3FileItemList files;
        files.Add(file.get());
        process.AddFiles(files, nullptr);
    }
    QCOMPARE(root.GetTracks()->Count(), 1);
    TMp3Track *track = root.GetTracks()->Get(0);
    QVERIFY(track->Title != title);
    track->Notes = QStringLiteral("my own note");

    // The right code page is chosen.  A plain update keeps the track's
    // values; letting the tags replace them repairs the track.
    QVERIFY(SetLegacyTagEncoding(encoding));
    for (const bool tagsReplace : {false, true}) {
        const std::unique_ptr<TMP3File> file = readFile();
        file->LinkTrack(track);
        TMp3FileItemList files;
        files.Add(file.get());
        const TAddFilesResult updated = process.AddFiles(
            files, nullptr,
            tagsReplace ? TTrackRefreshFrom::TagsReplaceTrackValues : TTrackRefreshFrom::FileKeepsTrackValues);
        QCOMPARE(updated.Updated, 1);
        QCOMPARE(track->Title == title, tagsReplace);
    }
    QCOMPARE(root.GetTracks()->Count(), 1);
    QCOMPARE(track->Title, title);
    QCOMPARE(GetLookupDisplayName(track->Artist), artist);
    QCOMPARE(GetLookupDisplayName(track->Year), QStringLiteral("1987"));
    // What the tags do not hold stays.
    QCOMPARE(track->Notes, QStringLiteral("my own note"));
}

void TestMp3Process::copyTrackToTags()
{
    TMp3Root root;
    TMp3Track *track = newTrack(root, QStringLiteral("/x.mp3"));
    track->Title = QStringLiteral("Title");
    track->Notes = QString(40, QLatin1Char('n'));
    track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(QStringLiteral("Artist")));
    TMP3File file(QStringLiteral("/x.mp3"));
    file.ID3v2.Label = QStringLiteral("Old Label");
    file.ID3v2.Lyrics = QStringLiteral("Old lyrics");
    file.ID3v1.Album = QStringLiteral("Untouched");
    file.ID3v1.Enabled = false;

    CopyTrackToTags(*track, file);
    QCOMPARE(file.ID3v2.Label, QString());
    QCOMPARE(file.ID3v2.Lyrics, QString());
    QCOMPARE(file.ID3v2.Artist, QStringLiteral("Artist"));
    QCOMPARE(file.ID3v2.Comment, track->Notes);
    QCOMPARE(file.ID3v1.Album, QStringLiteral("Untouched"));

    file.ID3v1.Enabled = true;
    CopyTrackToTags(*track, file);
    QCOMPARE(file.ID3v1.Album, QString());
    QCOMPARE(file.ID3v1.Comment, QString(30, QLatin1Char('n')));
    QCOMPARE(file.ID3v1.GenreIndex, GenreOther);
}

// "(4)(17)" in a file is two genres of its track, and written back from the
// track it is the same frame; the ID3v1 tag takes the first genre.
void TestMp3Process::severalGenresRoundTrip()
{
    TMp3Root root;
    TMp3Track *track = newTrack(root, QStringLiteral("/old/path.mp3"));
    const QString path = makeMp3(QStringLiteral("genres.mp3"),
                                 Id3v2Builder(3).text("TCON", QStringLiteral("(4)(17)")).padding(100).build());
    TMP3File file(path);
    QVERIFY(file.ReadInfo({}));
    file.SetInfoSources(false, false, true, true, false);
    CopyFileToTrack(*track, file);
    QCOMPARE(track->Genres->Count(), 2);
    QCOMPARE(GetLookupDisplayName(track->Genres->Get(0)), QStringLiteral("Disco"));
    QCOMPARE(GetLookupDisplayName(track->Genres->Get(1)), QStringLiteral("Rock"));

    TMP3File again(path);
    QVERIFY(again.ReadInfo({}));
    track->Title = QStringLiteral("New title");
    CopyTrackToTags(*track, again);
    QVERIFY(again.WriteTags());
    TID3v2Tag written;
    QVERIFY(written.ReadFromFile(path));
    QCOMPARE(written.Genre, QStringLiteral("(4)(17)"));
    QCOMPARE(written.Title, QStringLiteral("New title"));
    TID3v1Tag v1;
    QVERIFY(v1.ReadFromFile(path));
    QCOMPARE(v1.GetGenre(), QStringLiteral("Disco"));

    // The collection as a source gives every genre, so tags it writes keep them.
    TMP3File linked(path);
    QVERIFY(linked.ReadInfo({}));
    linked.LinkTrack(track);
    linked.SetInfoSources(false, true, false, false, false);
    QCOMPARE(linked.GetMergedText(TMergedField::Genre), QStringLiteral("Disco; Rock"));
}

void TestMp3Process::editTagsNoChangeWritesNothing()
{
    // A v2.4 tag with padding and an unknown frame: any rewrite would show.
    const QByteArray v2 = Id3v2Builder(4).text("TIT2", QStringLiteral("Old")).frame("XYZW", "data").padding(33).build();
    const QString p = makeMp3(QStringLiteral("keep.mp3"), v2, mp3::Id3v1{"V1", {}, {}, {}, {}, 2, 17}.bytes());
    const QByteArray bytes = testsupport::readFile(p);
    TMP3File file(p);
    QVERIFY(file.ReadInfo({}));
    file.SetInfoSources(false, false, true, true, false);
    TMp3FileItemList files;
    files.Add(&file);

    TMP3Process process;
    QCOMPARE(process.EditTags(files, TTagAction::NoChange, TTagAction::NoChange, false).Failed(), 0);
    QCOMPARE(testsupport::readFile(p), bytes);
}

void TestMp3Process::editTagsReportsWhatId3v1LeavesOut()
{
    const QString p = makeMp3(QStringLiteral("greek.mp3"),
                              Id3v2Builder(3).text("TIT2", QStringLiteral("Ωmega"), 1).text("TPE1", "Band").build());
    TMP3File file(p);
    QVERIFY(file.ReadInfo({}));
    file.SetInfoSources(false, false, true, true, false);
    TMp3FileItemList files;
    files.Add(&file);
    TMP3Process process;
    const TEditTagsResult edited = process.EditTags(files, TTagAction::Set, TTagAction::NoChange, false);
    QCOMPARE(edited.Failed(), 0);
    QCOMPARE(edited.V1LeftOut, QStringList{p + QStringLiteral(": title")});
    TID3v1Tag v1;
    QVERIFY(v1.ReadFromFile(p));
    QCOMPARE(v1.Title, QString());  // no "?mega"
    QCOMPARE(v1.Artist, QStringLiteral("Band"));
}

void TestMp3Process::editTagsRemoveV1KeepsV2()
{
    const QByteArray v2 = Id3v2Builder(4).text("TIT2", QStringLiteral("Old")).frame("XYZW", "data").padding(33).build();
    const QString p = makeMp3(QStringLiteral("v2only.mp3"), v2);
    const QByteArray bytes = testsupport::readFile(p);
    TMP3File file(p);
    QVERIFY(file.ReadInfo({}));
    TMp3FileItemList files;
    files.Add(&file);

    TMP3Process process;
    QCOMPARE(process.EditTags(files, TTagAction::Remove, TTagAction::NoChange, false).Failed(), 0);
    QCOMPARE(testsupport::readFile(p), bytes);
}

void TestMp3Process::editTagsUpdatesLinkedTrackAfterWriting()
{
    TMp3Root root;
    const QString p = makeMp3(QStringLiteral("Band - Song.mp3"));
    TMp3Track *track = newTrack(root, p);
    TMP3File file(p);
    QVERIFY(file.ReadInfo({QStringLiteral("%ar - %t")}));
    file.SetInfoSources(false, false, true, true, true);
    file.LinkTrack(track);
    const qint64 sizeBefore = file.FileSize;
    TMp3FileItemList files;
    files.Add(&file);

    TMP3Process process;
    process.ParseFormats = {QStringLiteral("%ar - %t")};
    QCOMPARE(process.EditTags(files, TTagAction::Set, TTagAction::Set, false).Failed(), 0);

    TMP3File again(p);
    QVERIFY(again.ReadInfo({}));
    QCOMPARE(again.ID3v2.Artist, QStringLiteral("Band"));
    QCOMPARE(again.ID3v1.Title, QStringLiteral("Song"));
    QCOMPARE(track->Title, QStringLiteral("Song"));
    QCOMPARE(GetLookupDisplayName(track->Artist), QStringLiteral("Band"));
    // The track knows the file as it is now, tags included.
    QCOMPARE(qint64(track->Size), QFileInfo(p).size());
    QVERIFY(track->Size > sizeBefore);
    QCOMPARE(qint64(track->HeaderPosition), again.MpegInfo.HeaderPosition);
}

void TestMp3Process::editTagsFailureLeavesTrack()
{
    TMp3Root root;
    const QString p = makeMp3(QStringLiteral("Band - Song.mp3"));
    TMp3Track *track = newTrack(root, p);
    track->Title = QStringLiteral("Before");
    TMP3File file(p);
    QVERIFY(file.ReadInfo({QStringLiteral("%ar - %t")}));
    file.SetInfoSources(false, false, true, true, true);
    file.LinkTrack(track);
    const QString fifo = path(QStringLiteral("fifo.mp3"));
    makeFifo(QStringLiteral("fifo.mp3"));
    TMP3File pipe(fifo);
    pipe.SetInfoSources(false, false, true, true, true);
    QVERIFY(QFile::remove(p));
    TMp3FileItemList files;
    files.Add(&file);
    files.Add(&pipe);

    TMP3Process process;
    QCOMPARE(process.EditTags(files, TTagAction::Set, TTagAction::Set, false).FailedFiles, (QStringList{p, fifo}));
    QCOMPARE(track->Title, QStringLiteral("Before"));
    QVERIFY(!QFileInfo::exists(p));
}

void TestMp3Process::readOnlyFiles()
{
    const QString p = makeMp3(QStringLiteral("Band - Song.mp3"));
    const QByteArray bytes = testsupport::readFile(p);
    TMP3File file(p);
    QVERIFY(file.ReadInfo({QStringLiteral("%ar - %t")}));
    file.SetInfoSources(false, false, true, true, true);
    file.FilenameInfo.RenameFormat = QStringLiteral("%t");
    QVERIFY(file.SetReadOnly(true));
    TMp3FileItemList files;
    files.Add(&file);

    TMP3Process process;
    QCOMPARE(process.EditTags(files, TTagAction::Set, TTagAction::Set, false).Failed(), 1);
    QCOMPARE(process.RenameFiles(files, false).Failed(), 1);
    QCOMPARE(testsupport::readFile(p), bytes);
    QVERIFY(file.IsReadOnly());

    QCOMPARE(process.EditTags(files, TTagAction::Set, TTagAction::Set, true).Failed(), 0);
    QVERIFY(!file.IsReadOnly());
    QVERIFY(testsupport::readFile(p) != bytes);
}

void TestMp3Process::renameFiles()
{
    TMp3Root root;
    const QString p = makeMp3(QStringLiteral("Band - Song.mp3"));
    const QString other = makeMp3(QStringLiteral("Other - Taken.mp3"));
    const QString noFormat = makeMp3(QStringLiteral("Band - Third.mp3"));
    TMp3Track *track = newTrack(root, p);
    TMp3Track *otherTrack = newTrack(root, other);
    TMP3File file(p);
    TMP3File blocked(other);
    TMP3File unformatted(noFormat);
    for (TMP3File *f : {&file, &blocked, &unformatted}) {
        QVERIFY(f->ReadInfo({QStringLiteral("%ar - %t")}));
        f->SetInfoSources(false, false, true, true, true);
    }
    file.LinkTrack(track);
    blocked.LinkTrack(otherTrack);
    file.FilenameInfo.RenameFormat = QStringLiteral("%t by %ar");
    // Would become "Band - Song.mp3", which the first file has until it is
    // renamed: renames run in list order, so put this one first.
    blocked.FilenameInfo.RenameFormat = QStringLiteral("Band - Song");
    TMp3FileItemList files;
    files.Add(&blocked);
    files.Add(&file);
    files.Add(&unformatted);

    TMP3Process process;
    QCOMPARE(process.RenameFiles(files, false).FailedFiles, (QStringList{other, noFormat}));
    // The taken name was not replaced.
    QVERIFY(QFileInfo::exists(other));
    QCOMPARE(blocked.Path, other);
    QCOMPARE(otherTrack->FilePath, other);
    // The renamed file and its track follow the new name.
    const QString renamed = path(QStringLiteral("Song by Band.mp3"));
    QVERIFY(QFileInfo::exists(renamed));
    QCOMPARE(file.Path, renamed);
    QCOMPARE(track->FilePath, renamed);
    QVERIFY(QFileInfo::exists(noFormat));
}

void TestMp3Process::searchSystem()
{
    makeTree();
    makeMp3(QStringLiteral("outside/far.mp3"));
    makeLink(path(QStringLiteral("outside")), QStringLiteral("root/linkedfolder"));

    TMP3Process process;
    TFoundFileList found;
    found.append({QStringLiteral("/kept/first.mp3"), 1});
    process.SearchSystem(path(QStringLiteral("root")), found);

    QStringList paths;
    for (const TFoundFile &f : found) {
        paths << f.Path;
        if (f.Size != 1)
            QCOMPARE(f.Size, QFileInfo(f.Path).size());
    }
    paths.sort();
    const QStringList expected = [&] {
        QStringList e{QStringLiteral("/kept/first.mp3"),
                      path(QStringLiteral("root/.hidden.mp3")),
                      path(QStringLiteral("root/.hiddendir/h.mp3")),
                      path(QStringLiteral("root/Album/c.mp3")),
                      path(QStringLiteral("root/UPPER.MP3")),
                      path(QStringLiteral("root/a.mp3")),
                      path(QStringLiteral("root/alias.mp3"))};
        e.sort();
        return e;
    }();
    QCOMPARE(paths, expected);
}

void TestMp3Process::searchSystemMissingFolder()
{
    TMP3Process process;
    TFoundFileList found;
    process.SearchSystem(path(QStringLiteral("nothing here")), found);
    QVERIFY(found.isEmpty());
    QCOMPARE(process.Log.size(), 2);
}

void TestMp3Process::matchTracks()
{
    TMp3Root root;
    TMp3Track *song = newTrack(root, QStringLiteral("/gone/Song.mp3"));
    song->Size = 1000000;
    TMp3Track *nameOnly = newTrack(root, QStringLiteral("/gone/Named.mp3"));
    nameOnly->Size = 5;
    TMp3Track *lost = newTrack(root, QStringLiteral("/gone/Lost.mp3"));
    lost->Size = 777;
    const TFoundFileList found{
        {QStringLiteral("/new/Other.mp3"), 1000000},  // 50: size only
        {QStringLiteral("/new/a/Song.mp3"), 1000000}, // 100
        {QStringLiteral("/new/b/Song.mp3"), 1000000}, // 100 as well, but later
        {QStringLiteral("/new/a/Named.mp3"), 9},      // 50
        {QStringLiteral("/new/b/Named.mp3"), 10},     // 50 as well, but later
    };
    TFileMatchList matches{TFileMatch(song), TFileMatch(nameOnly), TFileMatch(lost)};

    TProcessWindowRecord record;
    TMP3Process process(std::make_unique<TRecordingProcessWindow>(record));
    process.MatchTracks(found, matches, TMatchingType::Exact);
    QCOMPARE(matches.at(0).FileIndex, 1);
    QCOMPARE(matches.at(0).Score, 100);
    QCOMPARE(matches.at(1).FileIndex, 3);
    QCOMPARE(matches.at(1).Score, 50);
    QCOMPARE(matches.at(2).FileIndex, -1);
    QCOMPARE(matches.at(2).Score, 0);
    QCOMPARE(record.Caption, QStringLiteral("Match tracks with MP3 files"));
    QCOMPARE(record.Message, QStringLiteral("Matching..."));
    QVERIFY(!process.ShowWindow);
}

void TestMp3Process::missingFileMatches()
{
    TMp3Root root;
    const QString present = makeMp3(QStringLiteral("here.mp3"));
    newTrack(root, present);
    TMp3Track *onCD = newTrack(root, QStringLiteral("/media/cdrom/a.mp3"));
    onCD->Location = location(root, QStringLiteral("CD"), dkCDRom);
    TMp3Track *onNetwork = newTrack(root, QStringLiteral("/net/share/b.mp3"));
    onNetwork->Location = location(root, QStringLiteral("Server"), dkNetwork);
    TMp3Track *plain = newTrack(root, path(QStringLiteral("gone.mp3")));

    const auto tracksOf = [](const TFileMatchList &matches) {
        QList<TMp3Track *> tracks;
        for (const TFileMatch &m : matches) {
            tracks << m.Track;
            if (m.FileIndex != -1 || m.Score != 0)
                return QList<TMp3Track *>();
        }
        return tracks;
    };
    QCOMPARE(tracksOf(MissingFileMatches(*root.GetTracks(), true, false)), (QList<TMp3Track *>{onNetwork, plain}));
    QCOMPARE(tracksOf(MissingFileMatches(*root.GetTracks(), false, true)), (QList<TMp3Track *>{onCD, plain}));
    QCOMPARE(tracksOf(MissingFileMatches(*root.GetTracks(), false, false)),
             (QList<TMp3Track *>{onCD, onNetwork, plain}));
}

void TestMp3Process::filesForTracks()
{
    TMp3Root root;
    TMp3Track *present = newTrack(root, makeMp3(QStringLiteral("here.mp3")));
    newTrack(root, path(QStringLiteral("gone.mp3")));
    makeFifo(QStringLiteral("fifo.mp3"));
    newTrack(root, path(QStringLiteral("fifo.mp3")));

    TMP3Process process;
    int progressCalls = 0;
    process.OnProgress = [&progressCalls](TProcess *, int) { ++progressCalls; };
    std::vector<std::unique_ptr<TMP3File>> files;
    process.FilesForTracks(*root.GetTracks(), files);
    QCOMPARE(files.size(), size_t(1));
    QCOMPARE(files.front()->Path, present->FilePath);
    QCOMPARE(files.front()->TrackInfo.LinkedTrack, present);
    QCOMPARE(files.front()->MpegInfo.Bitrate, 128);
    QCOMPARE(progressCalls, 3);
    QCOMPARE(process.Log.size(), 2);
}

QTEST_APPLESS_MAIN(TestMp3Process)
#include "tst_mp3process.moc"
