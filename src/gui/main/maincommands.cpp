// The MP3 main window's commands on the collection and on files: adding,
// updating, repairing, tags, renaming, file properties, information
// sources and filename formats; and the rule that enables them.

#include "gui/main/mainwindow.h"

#include "core/base/desktopservices.h"
#include "core/data/datafield.h"
#include "core/data/datalists.h"
#include "core/data/lookupitems.h"
#include "core/data/rootitem.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/files/playlist.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/prefs.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/formats/formatlistwindow.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QProgressBar>
#include <QToolButton>

// ---- adding and updating ----------------------------------------------------------------

void TfmMain::AddToCollection(TMP3Folder *folder, TMp3FileItemList *files)
{
    SaveState();
    // The window saves what it changed.
    if (RunAddWindow(files, 0, folder)) {
        RebuildTree();
        RestoreState(nullptr, false);
    }
    // The add window switches the sources of the items it shows.
    ApplyInfoSources(folder ? folder : SelectedFolder());
    RefreshList(nullptr, true);
}

void TfmMain::acAddFolderToCollectionExecute()
{
    if (TMP3Folder *folder = SelectedFolder())
        AddToCollection(folder, nullptr);
}

void TfmMain::acAddFilesToCollectionExecute()
{
    TMp3FileItemList files;
    SelectedFileItems(files);
    if (files.Count() > 0)
        AddToCollection(nullptr, &files);
}

void TfmMain::acAddSelectedFolderToCollectionExecute()
{
    QString path;
    if (!BrowseForFolder(tr("Select location of MP3 files"), QDir::homePath(), path, this) || path.isEmpty())
        return;
    TMP3Folder folder;
    folder.SetPath(path);
    AddToCollection(&folder, nullptr);
    ResetState();
    RebuildTree();
    RestoreState(nullptr, true);
}

void TfmMain::FilesForSelectedTracks(const TDataRefList &tracks, std::vector<std::unique_ptr<TMP3File>> &files)
{
    pbScan->setValue(0);
    pbScan->show();
    {
        const TBusyCursor busy;
        Process->ParseFormats = Prefs().ParseFormats;
        BeginOperation([this] { Process->Cancel(); });
        Process->FilesForTracks(tracks, files);
        EndOperation();
    }
    pbScan->hide();
}

namespace {

// File objects the commands make for tracks, and the list the windows take.
struct TTrackFiles {
    std::vector<std::unique_ptr<TMP3File>> owned;
    TMp3FileItemList list;

    void collect()
    {
        for (const auto &file : owned)
            list.Add(file.get());
    }
};

} // namespace

void TfmMain::acUpdateTracksExecute()
{
    if (ListKind != ListKind::MainItems)
        return;
    TDataRefList tracks;
    GetSelectedObjects(&tracks);
    if (tracks.isEmpty())
        return;
    TTrackFiles files;
    FilesForSelectedTracks(tracks, files.owned);
    files.collect();
    if (files.list.isEmpty())
        return;
    TDataItem *first = tracks.Get(0);
    SaveState();
    if (RunAddWindow(&files.list, 1, nullptr)) {
        RebuildTree();
        RestoreState(first, true);
    }
}

void TfmMain::acRepairFileRefsExecute()
{
    if (RunRepairWindow())
        RefreshView();
}

// ---- tags, renaming and properties ----------------------------------------------------

void TfmMain::afterFileWindow(TMp3FileItem *sources, TMp3FileItem *select)
{
    ApplyInfoSources(sources);
    RefreshList(select, true);
}

void TfmMain::acTagFolderExecute()
{
    TMP3Folder *folder = SelectedFolder();
    if (!folder)
        return;
    SaveState();
    if (RunTagWindow(nullptr, folder)) {
        Save();
        RebuildTree();
        RestoreState(nullptr, false);
    }
    afterFileWindow(folder, nullptr);
}

void TfmMain::acRenameFolderFilesExecute()
{
    TMP3Folder *folder = SelectedFolder();
    if (!folder)
        return;
    SaveState();
    if (RunRenameWindow(nullptr, folder)) {
        Save();
        RebuildTree();
        RestoreState(nullptr, false);
    }
    afterFileWindow(folder, nullptr);
}

void TfmMain::acTagFilesExecute()
{
    TMp3FileItemList files;
    SelectedFileItems(files);
    if (files.isEmpty())
        return;
    SaveState();
    if (RunTagWindow(&files, nullptr)) {
        Save();
        RebuildTree();
        RestoreState(nullptr, false);
    }
    afterFileWindow(SelectedFolder(), nullptr);
}

void TfmMain::acRenameFilesExecute()
{
    TMp3FileItemList files;
    SelectedFileItems(files);
    if (files.isEmpty())
        return;
    SaveState();
    if (RunRenameWindow(&files, nullptr)) {
        Save();
        RebuildTree();
        RestoreState(nullptr, false);
    }
    afterFileWindow(SelectedFolder(), nullptr);
}

void TfmMain::acTagTracksExecute()
{
    if (ListKind != ListKind::MainItems)
        return;
    TDataRefList tracks;
    GetSelectedObjects(&tracks);
    if (tracks.isEmpty())
        return;
    TTrackFiles files;
    FilesForSelectedTracks(tracks, files.owned);
    files.collect();
    if (files.list.isEmpty())
        return;
    TDataItem *first = tracks.Get(0);
    SaveState();
    if (RunTagWindow(&files.list, nullptr)) {
        Save();
        RebuildTree();
        RestoreState(first, true);
    }
}

void TfmMain::acRenameTrackFilesExecute()
{
    if (ListKind != ListKind::MainItems)
        return;
    TDataRefList tracks;
    GetSelectedObjects(&tracks);
    if (tracks.isEmpty())
        return;
    TTrackFiles files;
    FilesForSelectedTracks(tracks, files.owned);
    files.collect();
    if (files.list.isEmpty())
        return;
    if (RunRenameWindow(&files.list, nullptr)) {
        // The tracks follow their renamed files: that reaches the collection
        // file now, not with some later save that may never come.
        Save();
        RefreshList(nullptr, true);
    }
}

void TfmMain::acFilePropertiesExecute()
{
    TMP3File *file = SelectedFile();
    if (!file || lvMain->SelectedRows().size() != 1)
        return;
    SaveState();
    if (RunFilePropertiesWindow(file)) {
        Save();
        RebuildTree();
        RestoreState(nullptr, false);
    }
    afterFileWindow(file, file);
}

// ---- view and settings ---------------------------------------------------------------------

void TfmMain::infoSourceChanged()
{
    if (TMP3Folder *folder = SelectedFolder()) {
        ApplyInfoSources(folder);
        RefreshList(nullptr, true);
    }
}

void TfmMain::acParseFormatsExecute()
{
    if (EditFormatList(this, nullptr, TFormatKind::Parse, Prefs()))
        Prefs().SaveToFile();
}

void TfmMain::acRenameFormatsExecute()
{
    if (EditFormatList(this, nullptr, TFormatKind::Rename, Prefs()))
        Prefs().SaveToFile();
}

void TfmMain::NewCollectionPrompt()
{
    if (!WindowsAvailable().NewCollection || !Prefs().AutoSelectFolder)
        return;
    if (RunNewCollectionWindow() && Action(QStringLiteral("acAddSelectedFolderToCollection"))->isEnabled())
        Action(QStringLiteral("acAddSelectedFolderToCollection"))->trigger();
}

void TfmMain::OfferNewCollection()
{
    NewCollectionPrompt();
}

void TfmMain::deleteInList()
{
    if (ListKind == ListKind::MainItems)
        Action(QStringLiteral("acRemoveItem"))->trigger();
    else if (ListKind == ListKind::Playlist)
        Action(QStringLiteral("acRemovePlaylistEntry"))->trigger();
}

// ---- enabled states ----------------------------------------------------------------------------

void TfmMain::UpdateActions()
{
    TfmMainBase::UpdateActions();
    if (!Playlist || !Process)
        return;
    const TWindowsAvailable windows = WindowsAvailable();
    auto enable = [this](const char *name, bool enabled) { Action(QLatin1String(name))->setEnabled(enabled); };
    const int selectedRows = ListReady ? int(lvMain->SelectedRows().size()) : 0;
    const bool folder = SelectedFolder() != nullptr;
    const bool files = ListKind == ListKind::Files && selectedRows > 0;
    const bool track = SelectedTrack() != nullptr;
    const bool tracks = ListKind == ListKind::MainItems && selectedRows > 0;

    enable("acAddFolderToCollection", folder && windows.Add);
    enable("acAddFolderToPlaylist", folder);
    enable("acRenameFolderFiles", folder && windows.Rename);
    enable("acTagFolder", folder && windows.Tag);
    enable("acPlayFolder", folder);
    enable("acAddFilesToCollection", files && windows.Add);
    enable("acAddFilesToPlayList", files);
    enable("acRenameFiles", files && windows.Rename);
    enable("acTagFiles", files && windows.Tag);
    enable("acPlayFiles", files);
    enable("acAddTracksToPlaylist", track);
    enable("acRenameTrackFiles", track && windows.Rename);
    enable("acTagTracks", track && windows.Tag);
    enable("acPlayTracks", tracks);
    enable("acUpdateTracks", tracks && windows.Add);
    enable("acPlayPlaylistEntries", ListKind == ListKind::Playlist && selectedRows > 0);
    const bool trackOrFileRows = (ListKind == ListKind::MainItems || ListKind == ListKind::Files) && selectedRows > 0;
    enable("acRenameSelection", trackOrFileRows && windows.Rename);
    enable("acTagSelection", trackOrFileRows && windows.Tag);
    enable("acFileProperties", ListKind == ListKind::Files && selectedRows == 1 && SelectedFile() && windows.Properties);

    const TPlayListEntry *entry = SelectedEntry();
    const int entryRow = entry ? Playlist->IndexOf(const_cast<TPlayListEntry *>(entry)) : -1;
    enable("acRemovePlaylistEntry", entry);
    enable("acMoveEntryUp", entry && selectedRows == 1 && entryRow > 0);
    enable("acMoveEntryDown", entry && selectedRows == 1 && entryRow >= 0 && entryRow < Playlist->Count() - 1);
    enable("acPlayPlaylist", Playlist->Count() > 0);
    enable("acAddSelectionToPlaylist", Action(QStringLiteral("acAddFilesToPlayList"))->isEnabled()
                                           || Action(QStringLiteral("acAddTracksToPlaylist"))->isEnabled());
    miAddToPlaylist->setEnabled(Action(QStringLiteral("acAddSelectionToPlaylist"))->isEnabled()
                                || Action(QStringLiteral("acAddFolderToPlaylist"))->isEnabled());
    enable("acAddSelectedFolderToCollection", windows.Add);
    enable("acRepairFileRefs", windows.Repair);
    for (const char *name : {"acNewPlayList", "acOpenPlaylist", "acSavePlaylist", "acSavePlaylistAs", "acParseFormats",
                             "acRenameFormats", "acSelectMp3InfoSourceID3v1", "acSelectMp3InfoSourceID3v2",
                             "acSelectMp3InfoSourceFilename"})
        enable(name, true);
}
