#include "core/data/lookupitems.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/playlist.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3fields.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/drives.h"
#include "core/settings/prefs.h"
#include "core/settings/shellservices.h"
#include "fixedshellservices.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/explorer/explorertreeview.h"
#include "gui/items/trackwindow.h"
#include "gui/main/mainwindow.h"
#include "gui/settings/updatewindow.h"
#include "gui/shell/rootcollection.h"
#include "memorysettingsstore.h"
#include "mp3builder.h"
#include "scripteddesktopservices.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

namespace {

// The main window with scripted dialogs and the windows of other areas
// replaced by recorders.
class MainWindow : public TfmMain {
public:
    using TfmMain::TfmMain;
    void RegisterFileAssociation() override {}
    QString AskSaveFileName() override { return {}; }
    QString AskPlaylistSaveName() override { return playlistNames.isEmpty() ? QString() : playlistNames.takeFirst(); }

    QStringList playlistNames;
    bool renameAvailable = false;
    std::function<bool(TMp3FileItemList *)> renameWindow;

protected:
    TWindowsAvailable WindowsAvailable() const override
    {
        TWindowsAvailable windows;
        windows.Rename = renameAvailable;
        return windows;
    }
    bool RunRenameWindow(TMp3FileItemList *files, TMP3Folder *) override
    {
        return renameWindow && renameWindow(files);
    }
};

struct Shell {
    Shell()
    {
        prefs.FirstRun = false;
        // All tracks in one list, without folders.
        store.WriteInteger(QStringLiteral("fmMain"), QStringLiteral("GroupFieldPreset"), -1);
    }
    TMemorySettingsStore store;
    TMp3Prefs prefs{store};
    FixedClock clock;
    FixedConnection connection{false};
    TUpdateService updates{prefs, clock, connection};
    ScriptedDesktopServices services;
};

std::unique_ptr<MainWindow> openWindow(Shell &shell)
{
    auto window = std::make_unique<MainWindow>(shell.prefs, shell.updates);
    window->FormCreate({});
    window->LoadSettings();
    window->resize(900, 600);
    window->show();
    return window;
}

TMp3Root *mp3Root(const TfmMain &window)
{
    return static_cast<TMp3Root *>(window.Root());
}

TMp3Track *addTrack(TfmMain &window, const QString &title, const QString &path, qint32 length = 0)
{
    auto *track = static_cast<TMp3Track *>(mp3Root(window)->GetTracks()->CreateItem());
    track->Title = title;
    track->FilePath = path;
    track->Length = length;
    track->GetID();
    return track;
}

// A small MP3 file with an ID3v1 tag only.
QByteArray mp3WithV1Title(const QByteArray &title)
{
    mp3::Id3v1 tag;
    tag.title = title;
    tag.artist = "Tag Artist";
    return mp3::Frame().stream(8) + tag.bytes();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int columnOf(const TfmMain &window, qint32 fieldId)
{
    const QList<TListColumn> &columns = window.ListModel()->Columns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).Tag == fieldId)
            return i;
    }
    return -1;
}

QString cell(const TfmMain &window, int row, int column)
{
    return window.ListModel()->data(window.ListModel()->index(row, column)).toString();
}

void showAllTracks(TfmMain &window)
{
    window.RebuildTree();
    window.SelectNode(window.RootNode);
    window.ShowFolder(window.RootNode);
    window.RefreshList(nullptr, false);
    window.UpdateActions();
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void threeTopLevelNodes();
    void explorerFolderCounts_data();
    void explorerFolderCounts();
    void refreshKeepsTheExplorerFolder();
    void storedFolderIsRestoredByWholeComponents();
    void infoSourcesRedrawTheFileList();
    void droppedTracksMakeThePlaylistAskAtClose();
    void playlistStatusAndMoving();
    void playing_data();
    void playing();
    void playingWithoutAPlayerSaysSo_data();
    void playingWithoutAPlayerSaysSo();
    void missingTrackFileOnCd();
    void renamedTrackFilesAreSavedAtOnce();
    void settingsRoundTrip();
    void tracksAreAddedAndDuplicatedByKey();
    void contextMenusOfferAddAndDuplicate();
    void renameMenuCaptions();
    void manualCommandTableMatchesTheMenus();
    void defaultColumnsShowCaptionAndValueWhole();
    void toolBarsReflowWhenTheWindowIsResized_data();
    void toolBarsReflowWhenTheWindowIsResized();

private:
    QTemporaryDir m_home;
};

void TestMainWindow::initTestCase()
{
    // The explorer's places come from the home and XDG folders.
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral(".config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral(".local/share"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath(QStringLiteral(".cache"))));
}

void TestMainWindow::threeTopLevelNodes()
{
    Shell shell;
    auto window = openWindow(shell);
    const auto &top = window->TreeModel()->TopLevel();
    QCOMPARE(int(top.size()), 3);
    QCOMPARE(top.at(0).get(), window->RootNode);
    QCOMPARE(top.at(1).get(), window->PlaylistNode);
    QCOMPARE(top.at(2).get(), window->ExplorerNode);
    QCOMPARE(window->PlaylistNode->Text, QStringLiteral("Playlist"));
    QCOMPARE(window->ExplorerNode->Text, QStringLiteral("MP3 Explorer"));
    QVERIFY(window->pnTree->isVisible());
    // No information area below the list in this window.
    QVERIFY(!window->pnInfo->isVisible());
    // The places of the desktop: home first, the file system among them.
    window->SelectNode(window->ExplorerNode);
    QCOMPARE(window->ListKind, int(ListKind::Files));
    QStringList paths;
    for (const TDataItem *place : *window->ListContent)
        paths << static_cast<const TMP3Folder *>(place)->Path;
    QVERIFY(paths.contains(QDir::cleanPath(m_home.path())));
    QVERIFY(paths.contains(QStringLiteral("/")));
    // The tree keeps the desktop's order: home first.
    window->ExpandNode(window->ExplorerNode);
    QCOMPARE(static_cast<TMP3Folder *>(window->ExplorerNode->Children.at(0)->Object)->Path,
             QDir::cleanPath(m_home.path()));
    QVERIFY(window->pnCount->text().endsWith(QStringLiteral(" folders, 0 files")));
}

void TestMainWindow::explorerFolderCounts_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("status");
    QTest::newRow("three folders") << QStringList{"a", "b", "c"} << QStringList{} << "3 folders, 0 files";
    QTest::newRow("hidden entries and other files left out")
        << QStringList{"x", ".hidden"} << QStringList{"song.mp3", "notes.txt", ".secret.mp3"} << "1 folder, 1 file";
    QTest::newRow("empty") << QStringList{} << QStringList{} << "0 folders, 0 files";
}

void TestMainWindow::explorerFolderCounts()
{
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    QFETCH(QString, status);
    QTemporaryDir dir(m_home.filePath(QStringLiteral("music-XXXXXX")));
    for (const QString &folder : folders)
        QVERIFY(QDir(dir.path()).mkpath(folder));
    for (const QString &file : files)
        writeFile(dir.filePath(file), mp3WithV1Title("T"));
    Shell shell;
    auto window = openWindow(shell);
    TExplorerNode *node = window->ExpandExplorerTo(dir.path(), true);
    QCOMPARE(static_cast<TMP3Folder *>(node->Object)->Path, QDir::cleanPath(dir.path()));
    QCOMPARE(window->SelectedNode(), node);
    QCOMPARE(window->pnCount->text(), status);
    // The tree holds the folders only.
    window->ExpandNode(node);
    QCOMPARE(int(node->Children.size()), int(folders.size() - folders.count(QStringLiteral(".hidden"))));
}

void TestMainWindow::refreshKeepsTheExplorerFolder()
{
    QTemporaryDir dir(m_home.filePath(QStringLiteral("music-XXXXXX")));
    const QString album = dir.filePath(QStringLiteral("artist/album"));
    writeFile(album + QStringLiteral("/one.mp3"), mp3WithV1Title("One"));
    Shell shell;
    auto window = openWindow(shell);
    window->ExpandExplorerTo(album, true);
    QCOMPARE(window->pnCount->text(), QStringLiteral("0 folders, 1 file"));
    writeFile(album + QStringLiteral("/two.mp3"), mp3WithV1Title("Two"));
    window->Action(QStringLiteral("acRefresh"))->trigger();
    QVERIFY(window->SelectedFolder());
    QCOMPARE(window->SelectedFolder()->Path, QDir::cleanPath(album));
    QCOMPARE(window->pnCount->text(), QStringLiteral("0 folders, 2 files"));
}

void TestMainWindow::storedFolderIsRestoredByWholeComponents()
{
    QTemporaryDir dir(m_home.filePath(QStringLiteral("music-XXXXXX")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("music/a")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("music2/b")));
    Shell shell;
    {
        auto window = openWindow(shell);
        window->ExpandExplorerTo(dir.filePath(QStringLiteral("music2/b")), true);
        QVERIFY(window->close());
    }
    QCOMPARE(shell.store.ReadString(QStringLiteral("fmMain"), QStringLiteral("CurrentFolder"), QString()),
             QDir::cleanPath(dir.filePath(QStringLiteral("music2/b"))));
    // Opened along the stored folder without selecting it.
    auto window = openWindow(shell);
    QVERIFY(!window->SelectedFolder());
    TExplorerNode *node = window->ExpandExplorerTo(dir.filePath(QStringLiteral("music2/b/gone")), false);
    QCOMPARE(static_cast<TMP3Folder *>(node->Object)->Path, QDir::cleanPath(dir.filePath(QStringLiteral("music2/b"))));
    QVERIFY(window->IsExpanded(node->Parent));
}

void TestMainWindow::infoSourcesRedrawTheFileList()
{
    QTemporaryDir dir(m_home.filePath(QStringLiteral("music-XXXXXX")));
    writeFile(dir.filePath(QStringLiteral("song.mp3")), mp3WithV1Title("From V1"));
    Shell shell;
    {
        auto window = openWindow(shell);
        window->ExpandExplorerTo(dir.path(), true);
        const int title = columnOf(*window, Mp3FieldIds::Title);
        QVERIFY(title >= 0);
        QCOMPARE(cell(*window, 0, title), QStringLiteral("From V1"));
        QAction *v1 = window->Action(QStringLiteral("acSelectMp3InfoSourceID3v1"));
        QVERIFY(v1->isChecked());
        v1->trigger();
        QCOMPARE(cell(*window, 0, title), QString());
        v1->trigger();
        QCOMPARE(cell(*window, 0, title), QStringLiteral("From V1"));
        v1->trigger();
        QVERIFY(window->close());
    }
    QCOMPARE(shell.store.ReadBool(QStringLiteral("fmMain"), QStringLiteral("UseID3v1Info"), true), false);
    QCOMPARE(shell.store.ReadBool(QStringLiteral("fmMain"), QStringLiteral("UseFilenameInfo"), true), false);
    auto window = openWindow(shell);
    QVERIFY(!window->Action(QStringLiteral("acSelectMp3InfoSourceID3v1"))->isChecked());
}

void TestMainWindow::droppedTracksMakeThePlaylistAskAtClose()
{
    QTemporaryDir dir;
    Shell shell;
    auto window = openWindow(shell);
    for (const char *title : {"One", "Two", "Three"})
        addTrack(*window, QLatin1String(title), dir.filePath(QLatin1String(title) + QStringLiteral(".mp3")));
    QVERIFY(window->Collection()->SaveToFile(dir.filePath(QStringLiteral("c.tbx"))));
    showAllTracks(*window);
    QCOMPARE(window->ListKind, int(ListKind::MainItems));
    window->lvMain->SelectAll();
    TDataRefList dragged;
    window->GetSelectedObjects(&dragged);
    QCOMPARE(dragged.Count(), 3);
    QVERIFY(window->CanDrag(dragged.Get(0)));
    QVERIFY(window->CanDrop(dragged.Get(0), window->Playlist.get()));
    QVERIFY(!window->CanDrop(dragged.Get(0), window->DesktopFolder.get()));
    window->DropOnObject(window->Playlist.get(), dragged);
    QCOMPARE(window->Playlist->Count(), 3);
    QVERIFY(window->Playlist->Modified);
    QVERIFY(window->Action(QStringLiteral("acPlayPlaylist"))->isEnabled());

    shell.services.answers = {TDesktopServices::TAnswer::Cancel};
    QVERIFY(!window->close());
    QVERIFY(shell.services.messages.contains(
        QStringLiteral("This playlist has not been saved yet. Do you want to save it now?")));
    // Yes saves it through its dialog.
    const QString playlist = dir.filePath(QStringLiteral("mine.m3u"));
    window->playlistNames = {playlist};
    shell.services.answers = {TDesktopServices::TAnswer::Yes};
    QVERIFY(window->close());
    QVERIFY(QFile::exists(playlist));
    QCOMPARE(shell.prefs.CurrentPlaylist, playlist);
}

void TestMainWindow::playlistStatusAndMoving()
{
    Shell shell;
    auto window = openWindow(shell);
    window->Playlist->AddEntry(QStringLiteral("/m/a.mp3"), QStringLiteral("A"), 3600);
    window->Playlist->AddEntry(QStringLiteral("/m/b.mp3"), QStringLiteral("B"), 120);
    window->Playlist->AddEntry(QStringLiteral("/m/c.mp3"), QStringLiteral("C"), 5);
    window->SelectNode(window->PlaylistNode);
    QCOMPARE(window->ListKind, int(ListKind::Playlist));
    QCOMPARE(window->pnCount->text(), QStringLiteral("3 Tracks (01:02:05)"));
    QCOMPARE(window->lvMain->FirstSelectedRow(), 0);
    QVERIFY(!window->Action(QStringLiteral("acMoveEntryUp"))->isEnabled());
    QVERIFY(window->Action(QStringLiteral("acMoveEntryDown"))->isEnabled());
    window->lvMain->SelectOnly(1);
    QVERIFY(window->Action(QStringLiteral("acMoveEntryUp"))->isEnabled());
    window->Action(QStringLiteral("acMoveEntryUp"))->trigger();
    QCOMPARE(window->lvMain->FirstSelectedRow(), 0);
    QCOMPARE(window->SelectedEntry()->Title, QStringLiteral("B"));
    QVERIFY(!window->Action(QStringLiteral("acMoveEntryUp"))->isEnabled());
    window->lvMain->SelectOnly(2);
    QVERIFY(!window->Action(QStringLiteral("acMoveEntryDown"))->isEnabled());
    // Delete in the list removes entries here.
    window->lvMain->SelectAll();
    QApplication::setActiveWindow(window.get());
    window->lvMain->DetailsView()->setFocus();
    QTest::keyClick(window->lvMain->DetailsView(), Qt::Key_Delete);
    QCOMPARE(window->Playlist->Count(), 0);
    QCOMPARE(window->pnCount->text(), QStringLiteral("0 Tracks (00:00:00)"));
}

void TestMainWindow::playing_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("exists");
    QTest::newRow("a track") << "track" << true;
    QTest::newRow("a file") << "file" << true;
    QTest::newRow("a file that is gone") << "file" << false;
    QTest::newRow("a playlist entry") << "entry" << true;
    QTest::newRow("two tracks") << "tracks" << true;
}

void TestMainWindow::playing()
{
    QFETCH(QString, what);
    QFETCH(bool, exists);
    QTemporaryDir dir(m_home.filePath(QStringLiteral("music-XXXXXX")));
    const QString song = dir.filePath(QStringLiteral("song.mp3"));
    writeFile(song, mp3WithV1Title("Song"));
    Shell shell;
    auto window = openWindow(shell);
    addTrack(*window, QStringLiteral("Song"), song);
    addTrack(*window, QStringLiteral("Other"), song);
    if (what == QStringLiteral("file")) {
        window->ExpandExplorerTo(dir.path(), true);
        window->lvMain->SelectOnly(0);
    } else if (what == QStringLiteral("entry")) {
        window->Playlist->AddEntry(song, QStringLiteral("Song"), 1);
        window->SelectNode(window->PlaylistNode);
        window->lvMain->SelectOnly(0);
    } else {
        showAllTracks(*window);
        if (what == QStringLiteral("tracks"))
            window->lvMain->SelectAll();
        else
            window->lvMain->SelectOnly(0);
    }
    if (!exists)
        QVERIFY(QFile::remove(song));
    // Enter plays what the list shows.
    QTest::keyClick(window->lvMain->DetailsView(), Qt::Key_Return);
    if (!exists) {
        QCOMPARE(shell.services.opened, QStringList());
        QCOMPARE(shell.services.messages, QStringList{QStringLiteral("File cannot be played:\n") + song});
        return;
    }
    QCOMPARE(shell.services.messages, QStringList());
    QCOMPARE(shell.services.opened.size(), 1);
    if (what == QStringLiteral("tracks")) {
        // A list of several files is played from a file of the session.
        const QString played = shell.services.opened.constFirst();
        QVERIFY2(played.startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR")), qPrintable(played));
        QVERIFY(!played.startsWith(dir.path()));
        QVERIFY(QFile::exists(played));
    } else {
        QCOMPARE(shell.services.opened.constFirst(), song);
    }
}

void TestMainWindow::playingWithoutAPlayerSaysSo_data()
{
    QTest::addColumn<bool>("several");
    QTest::addColumn<QString>("message");
    QTest::newRow("one track") << false << "No player is set up for MP3 files.\n\nNo program for audio/mpeg.";
    QTest::newRow("two tracks, as a playlist") << true << "No player is set up for playlists.\n\nNo program for audio/mpeg.";
}

// The desktop starts its player in the background: when it has none for the
// file type, the user hears so instead of nothing happening.
void TestMainWindow::playingWithoutAPlayerSaysSo()
{
    QFETCH(bool, several);
    QFETCH(QString, message);
    QTemporaryDir dir(m_home.filePath(QStringLiteral("music-XXXXXX")));
    const QString song = dir.filePath(QStringLiteral("song.mp3"));
    writeFile(song, mp3WithV1Title("Song"));
    Shell shell;
    shell.services.noProgramReason = QStringLiteral("No program for audio/mpeg.");
    auto window = openWindow(shell);
    addTrack(*window, QStringLiteral("Song"), song);
    addTrack(*window, QStringLiteral("Other"), song);
    showAllTracks(*window);
    if (several)
        window->lvMain->SelectAll();
    else
        window->lvMain->SelectOnly(0);
    window->Action(QStringLiteral("acPlayTracks"))->trigger();
    QCOMPARE(shell.services.opened, QStringList());
    QCOMPARE(shell.services.messages, QStringList{message});
}

void TestMainWindow::missingTrackFileOnCd()
{
    Shell shell;
    auto window = openWindow(shell);
    auto *location = static_cast<TLocationLookupItem *>(mp3Root(*window)->Locations->AddNew(QStringLiteral("Jazz CD 3")));
    location->DriveType = dkCDRom;
    TMp3Track *track = addTrack(*window, QStringLiteral("Gone"), QStringLiteral("/media/cdrom/gone.mp3"));
    track->Location = location;
    showAllTracks(*window);
    window->lvMain->SelectOnly(0);
    QTest::keyClick(window->lvMain->DetailsView(), Qt::Key_Return);
    QCOMPARE(shell.services.messages.size(), 1);
    const QString message = shell.services.messages.constFirst();
    QCOMPARE(message, GetMissingFileMessage(*track));
    QVERIFY(message.contains(QStringLiteral("/media/cdrom/gone.mp3")));
    QVERIFY(message.contains(QStringLiteral("not found on CD Jazz CD 3")));
    QVERIFY(shell.services.opened.isEmpty());
}

void TestMainWindow::renamedTrackFilesAreSavedAtOnce()
{
    QTemporaryDir dir;
    const QString song = dir.filePath(QStringLiteral("old.mp3"));
    writeFile(song, mp3WithV1Title("Song"));
    const QString collection = dir.filePath(QStringLiteral("c.tbx"));
    Shell shell;
    auto window = openWindow(shell);
    window->renameAvailable = true;
    addTrack(*window, QStringLiteral("Song"), song);
    QVERIFY(window->Collection()->SaveToFile(collection));
    showAllTracks(*window);
    window->lvMain->SelectOnly(0);
    QVERIFY(window->Action(QStringLiteral("acRenameSelection"))->isEnabled());
    window->renameWindow = [](TMp3FileItemList *files) {
        auto *file = static_cast<TMP3File *>(files->item(0));
        return file->Rename(QStringLiteral("new.mp3"));
    };
    window->Action(QStringLiteral("acRenameSelection"))->trigger();
    // The collection file knows the new name without another save.
    TRootCollection reread(shell.store);
    QVERIFY(reread.LoadFromFile(collection));
    auto *root = static_cast<TMp3Root *>(reread.Root());
    QCOMPARE(root->GetTracks()->Count(), 1);
    QCOMPARE(static_cast<TMp3Track *>(root->GetTracks()->Get(0))->FilePath, dir.filePath(QStringLiteral("new.mp3")));
}

void TestMainWindow::settingsRoundTrip()
{
    Shell shell;
    {
        auto window = openWindow(shell);
        window->Action(QStringLiteral("acShowPlayBar"))->trigger();
        window->Action(QStringLiteral("acSelectMp3InfoSourceFilename"))->trigger();
        QVERIFY(window->tbPlay->isHidden());
        // The explorer's bar moved to a row of its own.
        window->removeToolBar(window->tbExplorer);
        window->addToolBarBreak(Qt::TopToolBarArea);
        window->addToolBar(Qt::TopToolBarArea, window->tbExplorer);
        window->tbExplorer->show();
        window->layout()->activate();
        QVERIFY(window->tbExplorer->geometry().top() > window->tbFile->geometry().top());
        QVERIFY(window->close());
    }
    QCOMPARE(shell.store.ReadBool(QStringLiteral("fmMain\\tbPlay"), QStringLiteral("Visible"), true), false);
    QCOMPARE(shell.store.ReadBool(QStringLiteral("fmMain"), QStringLiteral("UseFilenameInfo"), false), true);
    auto window = openWindow(shell);
    QVERIFY(window->tbPlay->isHidden());
    QVERIFY(!window->Action(QStringLiteral("acShowPlayBar"))->isChecked());
    QVERIFY(window->Action(QStringLiteral("acSelectMp3InfoSourceFilename"))->isChecked());
    QVERIFY(window->toolBarBreak(window->tbExplorer));
    window->Action(QStringLiteral("acResetToolbar"))->trigger();
    QVERIFY(!window->tbPlay->isHidden());
    QVERIFY(window->Action(QStringLiteral("acShowPlayBar"))->isChecked());
    QVERIFY(!window->toolBarBreak(window->tbExplorer));
}

// Ins opens the track window in add mode; the new track has the default
// year.  Ctrl+Ins duplicates the selected track without a window.  Neither
// command is in the Edit menu.
void TestMainWindow::tracksAreAddedAndDuplicatedByKey()
{
    QTemporaryDir dir;
    Shell shell;
    auto window = openWindow(shell);
    static_cast<TMP3Defaults *>(mp3Root(*window)->Defaults.get())->DefaultYear = QStringLiteral("1987");
    const QString collection = dir.filePath(QStringLiteral("c.tbx"));
    QVERIFY(window->Collection()->SaveToFile(collection));
    showAllTracks(*window);
    QApplication::setActiveWindow(window.get());
    window->lvMain->DetailsView()->setFocus();

    QString caption;
    QTimer::singleShot(0, [&caption] {
        auto *track = qobject_cast<TfmTrack *>(QApplication::activeModalWidget());
        QVERIFY(track);
        caption = track->windowTitle();
        track->edTitle->setText(QStringLiteral("Field Recording"));
        track->btOk->click();
    });
    QTest::keyClick(window->lvMain->DetailsView(), Qt::Key_Insert);
    QVERIFY(caption.startsWith(QStringLiteral("Add Track")));
    TMp3TrackList *tracks = mp3Root(*window)->GetTracks();
    QCOMPARE(tracks->Count(), 1);
    const TMp3Track *added = tracks->Get(0);
    QCOMPARE(added->Title, QStringLiteral("Field Recording"));
    QVERIFY(added->Year);
    QCOMPARE(added->Year->DisplayName, QStringLiteral("1987"));
    QCOMPARE(window->lvMain->FirstSelectedRow(), 0);

    // The track window has closed: the main window is active again.
    QApplication::setActiveWindow(window.get());
    window->lvMain->DetailsView()->setFocus();
    QTest::keyClick(window->lvMain->DetailsView(), Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(tracks->Count(), 2);
    QCOMPARE(tracks->Get(1)->Title, QStringLiteral("Field Recording"));
    QVERIFY(tracks->Get(1)->GetID() != added->GetID());
    // Both changes reached the file.
    TRootCollection reread(shell.store);
    QVERIFY(reread.LoadFromFile(collection));
    QCOMPARE(static_cast<TMp3Root *>(reread.Root())->GetTracks()->Count(), 2);

    const QMenu *edit = window->menuBar()->findChild<QMenu *>(QStringLiteral("miEdit"));
    QVERIFY(edit);
    QVERIFY(!edit->actions().contains(window->Action(QStringLiteral("acAddItem"))));
    QVERIFY(!edit->actions().contains(window->Action(QStringLiteral("acDuplicateItem"))));
}

// The Rename menu names its folder command by the action's own caption.
void TestMainWindow::renameMenuCaptions()
{
    Shell shell;
    auto window = openWindow(shell);
    const QMenu *rename = window->menuBar()->findChild<QMenu *>(QStringLiteral("miRename"));
    QVERIFY(rename);
    QStringList texts;
    for (const QAction *item : rename->actions())
        texts << item->text();
    QCOMPARE(texts, (QStringList{"Auto &Renamer...", "Selected File(s)..."}));
}

void TestMainWindow::contextMenusOfferAddAndDuplicate()
{
    Shell shell;
    auto window = openWindow(shell);
    addTrack(*window, QStringLiteral("Song"), QStringLiteral("/m/song.mp3"));
    showAllTracks(*window);
    window->lvMain->SelectOnly(0);
    window->UpdateActions();
    const auto visibleTexts = [](const QMenu *menu) {
        QStringList texts;
        for (const QAction *item : menu->actions()) {
            if (item->isVisible() && !item->isSeparator())
                texts << item->text();
        }
        return texts;
    };
    const QStringList tree = visibleTexts(window->pmTree);
    QCOMPARE(tree.mid(0, 4), (QStringList{"&Add...", "&Edit...", "&Duplicate...", "&Remove"}));
    const QStringList list = visibleTexts(window->pmList);
    QCOMPARE(list.mid(0, 5), (QStringList{"Play", "&Add...", "&Edit...", "&Duplicate...", "&Remove"}));
    // The list's items run their actions and follow their enabled state.
    for (QMenu *menu : {window->pmTree, window->pmList}) {
        for (QAction *item : menu->actions()) {
            if (item->text() == QStringLiteral("&Duplicate...")) {
                QVERIFY(item->isEnabled());
                item->trigger();
            }
        }
    }
    QCOMPARE(mp3Root(*window)->GetTracks()->Count(), 3);
}

// The manual's table of track commands names menu items that exist, with
// the keys their actions answer to, so it cannot drift from the program.
void TestMainWindow::manualCommandTableMatchesTheMenus()
{
    QFile manual(QStringLiteral(TUNEBASE_SOURCE_DIR "/docs/manual.html"));
    QVERIFY(manual.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(manual.readAll());
    const qsizetype start = html.indexOf(QStringLiteral("<table id=\"commands\">"));
    const qsizetype end = html.indexOf(QStringLiteral("</table>"), start);
    QVERIFY(start >= 0 && end > start);
    const QString table = html.mid(start, end - start);

    Shell shell;
    auto window = openWindow(shell);
    const auto shown = [](const QString &text) {
        QString plain = text;
        plain.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
        return plain.replace(QChar(1), QLatin1Char('&')).replace(QStringLiteral("..."), QStringLiteral("\u2026"));
    };
    const auto menuNamed = [&](const QString &name) -> QMenu * {
        if (name == QStringLiteral("List menu"))
            return window->pmList;
        if (name == QStringLiteral("Tree menu"))
            return window->pmTree;
        for (QAction *entry : window->menuBar()->actions()) {
            if (entry->menu() && shown(entry->text()) == name)
                return entry->menu();
        }
        return nullptr;
    };
    // Keys the list handles itself rather than through an action.
    const QStringList listKeys = {QStringLiteral("Del"), QStringLiteral("Enter")};
    const QRegularExpression rowPattern(QStringLiteral("<tr><td>([^<]*)</td><td>(.*?)</td>"));
    const QRegularExpression keyPattern(QStringLiteral("<kbd>([^<]*)</kbd>"));
    int rows = 0;
    for (auto rowMatch = rowPattern.globalMatch(table); rowMatch.hasNext(); ++rows) {
        const QRegularExpressionMatch row = rowMatch.next();
        const QStringList path = row.captured(1).split(QStringLiteral(" \u25B8 "));
        QVERIFY2(path.size() == 2, qPrintable(row.captured(0)));
        const QMenu *menu = menuNamed(path.at(0));
        QVERIFY2(menu, qPrintable(row.captured(0)));
        const QAction *item = nullptr;
        for (const QAction *candidate : menu->actions()) {
            if (candidate->isVisible() && shown(candidate->text()) == path.at(1))
                item = candidate;
        }
        QVERIFY2(item, qPrintable(row.captured(0)));
        for (auto keyMatch = keyPattern.globalMatch(row.captured(2)); keyMatch.hasNext();) {
            const QString key = keyMatch.next().captured(1);
            if (!listKeys.contains(key))
                QVERIFY2(item->shortcut() == QKeySequence(key), qPrintable(row.captured(0)));
        }
    }
    QVERIFY(rows >= 5);
}

void TestMainWindow::defaultColumnsShowCaptionAndValueWhole()
{
    Shell shell;
    auto window = openWindow(shell);
    TMp3Root *root = mp3Root(*window);
    TMp3Track *track = addTrack(*window, QStringLiteral("Song"), QStringLiteral("/music/song.mp3"), 245);
    track->Size = 12 * 1048576;
    track->Bitrate = 320;
    track->VBR = true;
    track->TrackIndex = 12;
    TColumnFieldRefList *columns = window->GetColumnFields(ListKind::MainItems);
    columns->FreeAll();
    // Widths never chosen (the fields' defaults, also as earlier runs
    // stored them), and one the user chose.
    for (const qint32 id : {Mp3FieldIds::Size, Mp3FieldIds::Bitrate, Mp3FieldIds::TrackIndex, Mp3FieldIds::Length}) {
        const TDataField *field = root->Fields->FindByID(id);
        columns->Add(std::make_unique<TColumnField>(const_cast<TDataField *>(field), field->DefaultWidth, columns));
    }
    columns->Add(std::make_unique<TColumnField>(root->Fields->FindByID(Mp3FieldIds::Year), 40, columns));
    showAllTracks(*window);
    window->BuildColumns();
    const QTableView *view = window->lvMain->DetailsView();
    const QFontMetrics metrics = view->fontMetrics();
    for (const qint32 id : {Mp3FieldIds::Size, Mp3FieldIds::Bitrate, Mp3FieldIds::TrackIndex, Mp3FieldIds::Length}) {
        const int column = columnOf(*window, id);
        QVERIFY(column >= 0);
        const int width = view->horizontalHeader()->sectionSize(column);
        const QString caption = window->ListModel()->headerData(column, Qt::Horizontal).toString();
        QVERIFY2(width > metrics.horizontalAdvance(caption) + 16, qPrintable(caption));
        QVERIFY2(width > metrics.horizontalAdvance(cell(*window, 0, column)), qPrintable(cell(*window, 0, column)));
    }
    QCOMPARE(view->horizontalHeader()->sectionSize(columnOf(*window, Mp3FieldIds::Year)), 40);
}

namespace {

// The bars of the top row whose buttons are hidden behind the "»" button.
QStringList squeezedBars(const TfmMain &window)
{
    QStringList squeezed;
    for (const QToolBar *bar : window.findChildren<QToolBar *>()) {
        if (bar->isHidden() || window.toolBarArea(const_cast<QToolBar *>(bar)) != Qt::TopToolBarArea)
            continue;
        const auto *extension = bar->findChild<QWidget *>(QStringLiteral("qt_toolbar_ext_button"));
        bool hidden = extension && extension->isVisible();
        for (QAction *action : bar->actions()) {
            const QWidget *button = bar->widgetForAction(action);
            if (action->isVisible() && button && !button->isVisible())
                hidden = true;
        }
        if (hidden)
            squeezed << bar->objectName();
    }
    return squeezed;
}

int widthOfBars(const TfmMain &window)
{
    int width = 0;
    for (QToolBar *bar : window.findChildren<QToolBar *>()) {
        if (!bar->isHidden() && window.toolBarArea(bar) == Qt::TopToolBarArea)
            width += bar->sizeHint().width();
    }
    return width;
}

void resizeAndLayOut(TfmMain &window, int width)
{
    window.resize(width, 600);
    QCoreApplication::sendPostedEvents();
    window.layout()->activate();
    QCoreApplication::processEvents();
}

} // namespace

void TestMainWindow::toolBarsReflowWhenTheWindowIsResized_data()
{
    QTest::addColumn<int>("startWidth");
    QTest::newRow("started wide") << 0;
    QTest::newRow("started narrow") << 300;
}

void TestMainWindow::toolBarsReflowWhenTheWindowIsResized()
{
    QFETCH(int, startWidth);
    Shell shell;
    auto window = std::make_unique<MainWindow>(shell.prefs, shell.updates);
    window->FormCreate({});
    window->LoadSettings();
    window->resize(startWidth > 0 ? startWidth : 900, 600);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    if (startWidth > 0)
        QVERIFY(!squeezedBars(*window).isEmpty());
    const int room = widthOfBars(*window) + 100;
    resizeAndLayOut(*window, room);
    QCOMPARE(squeezedBars(*window), QStringList());
    QMap<QString, int> widths;
    for (QToolBar *bar : window->findChildren<QToolBar *>())
        widths.insert(bar->objectName(), bar->width());

    // As a user drags the window's edge: narrower step by step, then wider.
    for (int width = room; width >= 300; width -= 25)
        resizeAndLayOut(*window, width);
    QVERIFY(!squeezedBars(*window).isEmpty());
    for (int width = 300; width <= room; width += 25)
        resizeAndLayOut(*window, width);
    resizeAndLayOut(*window, room);
    // Widened again, every bar shows all its buttons as before.
    QCOMPARE(squeezedBars(*window), QStringList());
    for (QToolBar *bar : window->findChildren<QToolBar *>())
        QVERIFY2(bar->width() >= std::min(widths.value(bar->objectName()), bar->sizeHint().width()),
                 qPrintable(bar->objectName()));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
