// The MP3 main window's playlist commands, playing, and dropping objects on
// the tree.

#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/main/mainwindow.h"

#include "core/base/desktopservices.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/data/datafield.h"
#include "core/data/datalists.h"
#include "core/data/lookupitems.h"
#include "core/data/rootitem.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/playlist.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/prefs.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString playlistFilter()
{
    return TfmMain::tr("M3U Playlists (*.m3u);;PLS PlayLists (*.pls)");
}

bool isFileItem(const TDataObject *object)
{
    return dynamic_cast<const TMp3FileItem *>(object) != nullptr;
}

bool isTrack(const TDataObject *object)
{
    return dynamic_cast<const TMp3Track *>(object) != nullptr;
}

} // namespace

// ---- the playlist file --------------------------------------------------------------------

QString TfmMain::AskPlaylistOpenName()
{
    QFileDialog dialog(this, tr("Open Playlist"), Prefs().CurrentPlaylistFolder, playlistFilter());
    dialog.setObjectName(QStringLiteral("dlgOpenPlayList"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("m3u"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString TfmMain::AskPlaylistSaveName()
{
    QFileDialog dialog(this, tr("Save Playlist"), Prefs().CurrentPlaylistFolder, playlistFilter());
    dialog.setObjectName(QStringLiteral("dlgSavePlaylist"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("m3u"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void TfmMain::rememberPlaylistFile()
{
    Prefs().CurrentPlaylist = Playlist->FileName;
    Prefs().CurrentPlaylistFolder = LocalParentFolder(Playlist->FileName);
    UpdatePlaylistNodeText();
}

void TfmMain::acNewPlayListExecute()
{
    if (Playlist->Modified)
        acSavePlaylistExecute();
    clearListIfShowing(PlaylistNode);
    Playlist->Clear();
    Prefs().CurrentPlaylist.clear();
    UpdatePlaylistNodeText();
    showPlaylist(nullptr);
}

void TfmMain::acOpenPlaylistExecute()
{
    if (Playlist->Modified)
        acSavePlaylistExecute();
    const QString fileName = AskPlaylistOpenName();
    if (fileName.isEmpty())
        return;
    clearListIfShowing(PlaylistNode);
    if (!Playlist->LoadFromFile(fileName))
        ShowError(tr("The playlist \"%1\" could not be read:\n%2").arg(QDir::toNativeSeparators(fileName),
                                                                        Playlist->lastError()));
    else
        rememberPlaylistFile();
    showPlaylist(nullptr);
}

void TfmMain::acSavePlaylistExecute()
{
    if (Playlist->FileName.isEmpty()) {
        acSavePlaylistAsExecute();
        return;
    }
    if (!Playlist->SaveToFile(Playlist->FileName))
        ShowError(tr("The playlist could not be saved:\n%1").arg(Playlist->lastError()));
}

void TfmMain::acSavePlaylistAsExecute()
{
    const QString fileName = AskPlaylistSaveName();
    if (fileName.isEmpty())
        return;
    if (!Playlist->SaveToFile(fileName)) {
        ShowError(tr("The playlist could not be saved:\n%1").arg(Playlist->lastError()));
        return;
    }
    rememberPlaylistFile();
}

// ---- entries -----------------------------------------------------------------------------------

void TfmMain::readFoldersAmong(const TDataRefList &items)
{
    for (TDataItem *item : items) {
        if (auto *folder = dynamic_cast<TMP3Folder *>(item)) {
            ReadFolderWithProgress(folder, true);
            ApplyInfoSources(folder);
        }
    }
}

void TfmMain::acAddFolderToPlaylistExecute()
{
    TMP3Folder *folder = SelectedFolder();
    if (!folder)
        return;
    ReadFolderWithProgress(folder, true);
    ApplyInfoSources(folder);
    Playlist->AddFolder(*folder, true);
    UpdateActions();
}

void TfmMain::acAddFilesToPlayListExecute()
{
    if (!isFileItem(GetSelectedItem()))
        return;
    TMp3FileItemList items;
    SelectedFileItems(items);
    readFoldersAmong(items);
    Playlist->AddItems(items, true);
    UpdateActions();
}

void TfmMain::acAddTracksToPlaylistExecute()
{
    if (ListKind != ListKind::MainItems)
        return;
    TDataRefList tracks;
    GetSelectedObjects(&tracks);
    Playlist->AddTracks(tracks);
    UpdateActions();
}

void TfmMain::acRemovePlaylistEntryExecute()
{
    TDataRefList entries;
    if (ListKind == ListKind::Playlist)
        GetSelectedObjects(&entries);
    if (entries.isEmpty())
        return;
    // The list lets go of the entries before they are freed.
    clearListIfShowing(PlaylistNode);
    for (TDataItem *entry : entries) {
        if (Playlist->Remove(entry) >= 0)
            delete entry;
    }
    showPlaylist(nullptr);
}

void TfmMain::moveEntry(int by)
{
    const TPlayListEntry *entry = SelectedEntry();
    const int row = entry ? Playlist->IndexOf(const_cast<TPlayListEntry *>(entry)) : -1;
    if (row < 0)
        return;
    if (by < 0 ? Playlist->MoveUp(row) : Playlist->MoveDown(row))
        showPlaylist(Playlist->Get(row + by));
}

// ---- playing -------------------------------------------------------------------------------------

bool TfmMain::playerIsSetUp(const QString &path, const QString &noPlayer)
{
    QString reason;
    if (DesktopServices().HasProgramFor(path, &reason))
        return true;
    ShowInfo(reason.isEmpty() ? noPlayer : noPlayer + QStringLiteral("\n\n") + reason);
    return false;
}

void TfmMain::PlayFile(const QString &path)
{
    if (!LocalPathExists(path)) {
        ShowInfo(tr("File cannot be played:\n%1").arg(ReadablePath(path)));
        return;
    }
    if (playerIsSetUp(path, tr("No player is set up for MP3 files.")) && !RunProgram(path))
        ShowInfo(tr("File cannot be played:\n%1").arg(ReadablePath(path)));
}

void TfmMain::PlayTrack(const TMp3Track &track)
{
    if (LocalPathExists(track.FilePath))
        PlayFile(track.FilePath);
    else
        ShowInfo(GetMissingFileMessage(track));
}

void TfmMain::playTemporary(TPlayList &list)
{
    // The play file belongs to this session, not beside the user's files.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/tunebase-play.")
                         + (Prefs().PlaylistType == 1 ? QStringLiteral("pls") : QStringLiteral("m3u"));
    if (!list.SaveToFile(path)) {
        ShowInfo(tr("File cannot be played:\n%1").arg(ReadablePath(path)));
        return;
    }
    if (playerIsSetUp(path, tr("No player is set up for playlists.")) && !RunProgram(path))
        ShowInfo(tr("File cannot be played:\n%1").arg(ReadablePath(path)));
}

void TfmMain::acPlayPlaylistExecute()
{
    if (Playlist->Count() == 0)
        return;
    if (!Playlist->FileName.isEmpty()) {
        if (!playerIsSetUp(Playlist->FileName, tr("No player is set up for playlists.")))
            return;
        if (!Playlist->Play(Prefs().PlaylistType))
            ShowError(tr("The playlist could not be saved:\n%1").arg(Playlist->lastError()));
        return;
    }
    TPlayList copy;
    TDataRefList entries;
    for (TDataItem *entry : *Playlist)
        entries.Add(entry);
    copy.AddEntries(entries);
    playTemporary(copy);
}

void TfmMain::acPlayFolderExecute()
{
    TMP3Folder *folder = SelectedFolder();
    if (!folder)
        return;
    ReadFolderWithProgress(folder, true);
    ApplyInfoSources(folder);
    TPlayList list;
    list.AddFolder(*folder, true);
    playTemporary(list);
}

void TfmMain::acPlayFilesExecute()
{
    if (ListKind != ListKind::Files)
        return;
    const QList<int> rows = lvMain->SelectedRows();
    if (rows.size() == 1 && rows.constFirst() < ListContent->Count()) {
        if (const auto *item = dynamic_cast<const TMp3FileItem *>(ListContent->Get(rows.constFirst()));
            item && !item->isFolder()) {
            PlayFile(item->Path);
            return;
        }
    }
    TMp3FileItemList items;
    SelectedFileItems(items);
    if (items.isEmpty())
        return;
    readFoldersAmong(items);
    TPlayList list;
    list.AddItems(items, true);
    playTemporary(list);
}

void TfmMain::acPlayTracksExecute()
{
    if (ListKind != ListKind::MainItems)
        return;
    TDataRefList tracks;
    GetSelectedObjects(&tracks);
    if (tracks.Count() == 1) {
        if (const auto *track = dynamic_cast<const TMp3Track *>(tracks.Get(0)))
            PlayTrack(*track);
        return;
    }
    if (tracks.isEmpty())
        return;
    TPlayList list;
    list.AddTracks(tracks);
    playTemporary(list);
}

void TfmMain::acPlayPlaylistEntriesExecute()
{
    if (ListKind != ListKind::Playlist)
        return;
    TDataRefList entries;
    GetSelectedObjects(&entries);
    if (entries.Count() == 1) {
        PlayFile(static_cast<const TPlayListEntry *>(entries.Get(0))->FileName);
        return;
    }
    if (entries.isEmpty())
        return;
    TPlayList list;
    list.AddEntries(entries);
    playTemporary(list);
}

// ---- drag and drop ---------------------------------------------------------------------------------

bool TfmMain::CanDrag(const TDataObject *object) const
{
    return isTrack(object) || isFileItem(object);
}

bool TfmMain::CanDrop(const TDataObject *dragged, const TDataObject *target) const
{
    if (!dragged || !target)
        return false;
    const bool onLookup = dynamic_cast<const TLookupItem *>(target) != nullptr;
    if (isTrack(dragged))
        return target == Playlist.get() || onLookup;
    if (isFileItem(dragged))
        return target == Playlist.get() || target == Root() || onLookup;
    return false;
}

void TfmMain::DropOnObject(TDataObject *target, const TDataRefList &objects)
{
    if (objects.isEmpty() || !target)
        return;
    const TDataItem *first = objects.Get(0);
    if (target == Playlist.get()) {
        if (isTrack(first)) {
            Playlist->AddTracks(objects);
        } else {
            readFoldersAmong(objects);
            Playlist->AddItems(objects, true);
        }
        if (TopLevelNode(SelectedNode()) == PlaylistNode)
            showPlaylist(nullptr);
        UpdateActions();
        return;
    }
    // Files dropped on the collection go through the add window, for the
    // selected files; the folder's values are not given to them.
    if (isFileItem(first) && (target == Root() || dynamic_cast<const TLookupItem *>(target)))
        Action(QStringLiteral("acAddFilesToCollection"))->trigger();
}
