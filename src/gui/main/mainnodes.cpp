// The MP3 main window's two extra top-level nodes: "Playlist" and the disk
// explorer "MP3 Explorer", what they list, and the state of the list.

#include "gui/main/mainwindow.h"

#include "core/base/desktopservices.h"
#include "core/data/datafield.h"
#include "core/data/datalists.h"
#include "core/data/rootitem.h"
#include "core/files/desktopplaces.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/files/playlist.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/drives.h"
#include "core/settings/generalhelpers.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/explorer/explorertreeview.h"
#include "gui/explorer/mainexplorerdefs.h"
#include "gui/main/pathprobe.h"
#include "gui/shell/globaldata.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QScopedValueRollback>

using namespace mainexplorer;

namespace {

// How long start-up waits for the stored explorer folder to answer: a
// network mount that has gone away must not hold up the window.
constexpr int FolderAnswerMs = 1500;

struct TPlaceImages {
    int small;
    int open;
    int large;
};

TPlaceImages imagesOfDrive(int driveKind)
{
    switch (driveKind) {
    case dkCDRom:
        return {images::DriveCD, images::DriveCDSelected, images::LargeDriveCD};
    case dkNetwork:
        return {images::DriveNetwork, images::DriveNetworkSelected, images::LargeDriveNetwork};
    case dkRemovable:
        return {images::DriveRemovable, images::DriveRemovableSelected, images::LargeDriveRemovable};
    default:
        return {images::DiskFolder, images::DiskFolderOpen, images::LargeDiskFolder};
    }
}

void setImages(TMP3Folder &folder, const TPlaceImages &pictures)
{
    folder.SmallIcon = pictures.small;
    folder.SmallOpenIcon = pictures.open;
    folder.LargeIcon = pictures.large;
}

} // namespace

// ---- the nodes -------------------------------------------------------------------

void TfmMain::CreateTreeRoots()
{
    TfmMainBase::CreateTreeRoots();
    TExplorerTreeModel *model = TreeModel();
    PlaylistNode = static_cast<TExplorerNode *>(
        model->addNode(nullptr, tr("Playlist"), Playlist.get(), images::Playlist, images::PlaylistSelected));
    ExplorerNode = static_cast<TExplorerNode *>(model->addNode(nullptr, tr("MP3 Explorer"), DesktopFolder.get(),
                                                               images::Mp3Explorer, images::Mp3ExplorerSelected));
    model->SetHasChildren(PlaylistNode, false);
    model->SetHasChildren(ExplorerNode, true);
    UpdatePlaylistNodeText();
}

void TfmMain::UpdatePlaylistNodeText()
{
    if (!PlaylistNode)
        return;
    const QString name = QFileInfo(Playlist->FileName).fileName();
    TreeModel()->SetText(PlaylistNode, name.isEmpty() ? tr("Playlist") : tr("Playlist - %1").arg(name));
}

int TfmMain::GetListKind(const TExplorerNode *node) const
{
    if (!node || !node->Object)
        return TfmMainBase::GetListKind(node);
    if (dynamic_cast<const TMp3Track *>(node->Object))
        return ListKind::None;
    if (node->Object == Playlist.get())
        return ListKind::Playlist;
    if (dynamic_cast<const TMP3Folder *>(node->Object))
        return ListKind::Files;
    return TfmMainBase::GetListKind(node);
}

bool TfmMain::CanHaveChildren(const TExplorerNode *node) const
{
    if (!node)
        return false;
    if (dynamic_cast<const TMP3Folder *>(node->Object))
        return true;
    if (node == PlaylistNode)
        return false;
    return TfmMainBase::CanHaveChildren(node);
}

bool TfmMain::GetNodeContent(TExplorerNode *node, TDataRefList &list)
{
    if (!node)
        return false;
    if (node->Object && node->Object == Playlist.get()) {
        for (TDataItem *entry : *Playlist)
            list.Add(entry);
        return !list.isEmpty();
    }
    if (auto *folder = dynamic_cast<TMP3Folder *>(node->Object))
        return folderContent(*folder, list);
    return TfmMainBase::GetNodeContent(node, list);
}

bool TfmMain::folderContent(TMP3Folder &folder, TDataRefList &list)
{
    if (&folder == DesktopFolder.get())
        fillDesktop();
    else
        ReadFolderWithProgress(&folder, false);
    ApplyInfoSources(&folder);
    for (int i = 0; i < folder.ChildCount(); ++i) {
        if (auto *sub = dynamic_cast<TMP3Folder *>(folder.Child(i)); sub && sub->SmallIcon < 0)
            setImages(*sub, imagesOfDrive(dkFixed));
    }
    // A folder's entries join it in the order a file manager shows them
    // (folders first, natural order of names), the order of the tree; the
    // places of the desktop keep theirs.  Sorting 5,000 names again on
    // every visit would keep the window waiting.
    for (int i = 0; i < folder.ChildCount(); ++i)
        list.Add(folder.Child(i));
    return folder.ChildCount() > 0;
}

void TfmMain::fillDesktop()
{
    if (DesktopFolder->IsRead)
        return;
    for (const TDesktopPlace &place : DesktopPlaces(TStandardFolders::OfUser(), SystemMountTable())) {
        auto folder = std::make_unique<TMP3Folder>();
        folder->SetPath(place.Path);
        folder->Name = place.Name;
        // Asking a stale network mount whether it has subfolders would
        // block: places always offer to expand.
        folder->HasSubfolders = true;
        setImages(*folder, imagesOfDrive(place.DriveKind));
        DesktopFolder->AddChild(std::move(folder));
    }
    DesktopFolder->IsRead = true;
}

void TfmMain::AddFolderNodes(TExplorerNode *node, TDataRefList &list)
{
    if (!node || !dynamic_cast<TMP3Folder *>(node->Object)) {
        TfmMainBase::AddFolderNodes(node, list);
        return;
    }
    TDataRefList folders;
    for (TDataItem *item : list) {
        if (static_cast<TMp3FileItem *>(item)->isFolder())
            folders.Add(item);
    }
    TfmMainBase::AddFolderNodes(node, folders);
}

void TfmMain::SetListKind(int kind)
{
    const bool files = kind == ListKind::Files;
    if (files != (dynamic_cast<TMp3FileItemList *>(ListContent.get()) != nullptr)) {
        // File items sort with their folders first: their own list does.
        std::unique_ptr<TDataRefList> content;
        if (files)
            content = std::make_unique<TMp3FileItemList>();
        else
            content = std::make_unique<TDataRefList>();
        ListModel()->SetContent(*content);
        ListContent = std::move(content);
    }
    TfmMainBase::SetListKind(kind);
}

QString TfmMain::GetCountText(int kind) const
{
    const int count = ListContent->Count();
    switch (kind) {
    case ListKind::MainItems:
        return QStringLiteral("%1 %2").arg(count).arg(Plural(QStringLiteral("Track"), count));
    case ListKind::Files: {
        const auto *files = dynamic_cast<const TMp3FileItemList *>(ListContent.get());
        const int folders = files ? files->FolderCount() : 0;
        const int fileCount = files ? files->FileCount() : 0;
        return QStringLiteral("%1 %2, %3 %4")
            .arg(folders)
            .arg(Plural(QStringLiteral("folder"), folders))
            .arg(fileCount)
            .arg(Plural(QStringLiteral("file"), fileCount));
    }
    case ListKind::Playlist: {
        const qint64 total = Playlist->TotalLength();
        return QStringLiteral("%1 %2 (%3:%4:%5)")
            .arg(count)
            .arg(Plural(QStringLiteral("Track"), count))
            .arg(total / 3600, 2, 10, QLatin1Char('0'))
            .arg(total % 3600 / 60, 2, 10, QLatin1Char('0'))
            .arg(total % 60, 2, 10, QLatin1Char('0'));
    }
    default:
        return TfmMainBase::GetCountText(kind);
    }
}

// ---- reading folders -----------------------------------------------------------------

void TfmMain::ReadFolderWithProgress(TMP3Folder *folder, bool recursive)
{
    if (!folder || folder == DesktopFolder.get())
        return;
    pbScan->setValue(0);
    pbScan->show();
    {
        const TBusyCursor busy;
        Process->ParseFormats = Prefs().ParseFormats;
        Process->Threads = Prefs().ScanThreads;
        BeginOperation([this] { Process->Cancel(); });
        Process->ReadFolder(folder, recursive, false);
        EndOperation();
    }
    pbScan->hide();
}

void TfmMain::ApplyInfoSources(TMp3FileItem *item)
{
    if (!item)
        return;
    item->SetInfoSources(false, false, Action(QStringLiteral("acSelectMp3InfoSourceID3v2"))->isChecked(),
                         Action(QStringLiteral("acSelectMp3InfoSourceID3v1"))->isChecked(),
                         Action(QStringLiteral("acSelectMp3InfoSourceFilename"))->isChecked());
}

// ---- the explorer anew -----------------------------------------------------------------

void TfmMain::clearListIfShowing(TExplorerNode *topLevel)
{
    if (TopLevelNode(SelectedNode()) == topLevel) {
        ListReady = false;
        ListModel()->Reset();
        ListContent->Clear();
    }
}

TExplorerNode *TfmMain::nodeOfFolder(TExplorerNode *parent, const QString &path) const
{
    // The deepest folder on the way: home before "/" for a path in home.
    TExplorerNode *best = nullptr;
    qsizetype bestLength = -1;
    for (const auto &child : parent->Children) {
        const auto *folder = dynamic_cast<const TMP3Folder *>(child->Object);
        if (folder && IsPathWithin(path, folder->Path) && folder->Path.size() > bestLength) {
            best = child.get();
            bestLength = folder->Path.size();
        }
    }
    return best;
}

TExplorerNode *TfmMain::ExpandExplorerTo(const QString &path, bool select)
{
    if (!ExplorerNode)
        return nullptr;
    {
        const QScopedValueRollback updating(Updating, true);
        const TBusyCursor busy;
        clearListIfShowing(ExplorerNode);
        TreeModel()->RemoveChildren(ExplorerNode);
        DesktopFolder->ClearChildren();
        TDataRefList content;
        GetNodeContent(ExplorerNode, content);
        AddFolderNodes(ExplorerNode, content);
    }
    TExplorerNode *node = ExplorerNode;
    // A folder on a mount that does not answer is not walked to.
    if (!path.isEmpty() && PathAnswers(path, FolderAnswerMs)) {
        const QScopedValueRollback updating(Updating, true);
        const TBusyCursor busy;
        for (;;) {
            ExpandNode(node);
            TExplorerNode *next = nodeOfFolder(node, path);
            if (!next)
                break;
            node = next;
            if (static_cast<const TMP3Folder *>(node->Object)->Path == QDir::cleanPath(path))
                break;
        }
    }
    if (select) {
        SelectNode(node);
        tvMain->scrollTo(TreeModel()->IndexOf(node));
        ShowFolder(node);
        RefreshList(nullptr, false);
    }
    return node;
}

void TfmMain::RefreshView()
{
    TExplorerNode *top = TopLevelNode(SelectedNode());
    if (top && top == PlaylistNode) {
        UpdatePlaylistNodeText();
        showPlaylist(SelectedEntry());
        return;
    }
    if (top && top == ExplorerNode) {
        const TMP3Folder *folder = SelectedFolder();
        ExpandExplorerTo(folder ? folder->Path : QString(), true);
        UpdateActions();
        return;
    }
    TfmMainBase::RefreshView();
}

// ---- what is selected ------------------------------------------------------------------

TMP3Folder *TfmMain::SelectedFolder() const
{
    const TExplorerNode *node = SelectedNode();
    return node ? dynamic_cast<TMP3Folder *>(node->Object) : nullptr;
}

TMP3File *TfmMain::SelectedFile() const
{
    const int row = lvMain->FirstSelectedRow();
    if (ListKind != ListKind::Files || !ListReady || row < 0 || row >= ListContent->Count())
        return nullptr;
    return dynamic_cast<TMP3File *>(ListContent->Get(row));
}

TMp3Track *TfmMain::SelectedTrack() const
{
    const int row = lvMain->FirstSelectedRow();
    if (ListKind != ListKind::MainItems || !ListReady || row < 0 || row >= ListContent->Count())
        return nullptr;
    return dynamic_cast<TMp3Track *>(ListContent->Get(row));
}

TPlayListEntry *TfmMain::SelectedEntry() const
{
    const int row = lvMain->FirstSelectedRow();
    if (ListKind != ListKind::Playlist || !ListReady || row < 0 || row >= ListContent->Count())
        return nullptr;
    return dynamic_cast<TPlayListEntry *>(ListContent->Get(row));
}

void TfmMain::SelectedFileItems(TMp3FileItemList &list) const
{
    if (ListKind != ListKind::Files || !ListReady)
        return;
    for (const int row : lvMain->SelectedRows()) {
        if (row < ListContent->Count()) {
            if (auto *item = dynamic_cast<TMp3FileItem *>(ListContent->Get(row)))
                list.Add(item);
        }
    }
}

void TfmMain::OpenSelectedItem()
{
    const char *name = ListKind == ListKind::MainItems ? "acPlayTracks"
                       : ListKind == ListKind::Files   ? "acPlayFiles"
                       : ListKind == ListKind::Playlist ? "acPlayPlaylistEntries"
                                                        : nullptr;
    if (name && Action(QLatin1String(name))->isEnabled())
        Action(QLatin1String(name))->trigger();
}

void TfmMain::showPlaylist(TPlayListEntry *select)
{
    if (!PlaylistNode)
        return;
    if (SelectedNode() != PlaylistNode) {
        const QScopedValueRollback updating(Updating, true);
        SelectNode(PlaylistNode);
    }
    ShowFolder(PlaylistNode);
    RefreshList(select, false);
    UpdateActions();
}
