#pragma once

#include "gui/shell/mainbase.h"

#include <memory>
#include <vector>

class QProgressBar;
class TColumnFieldRefList;
class TMP3File;
class TMP3Folder;
class TMP3Process;
class TMp3FileItem;
class TMp3FileItemList;
class TMp3Track;
class TPlayList;
class TPlayListEntry;
class TSortFieldRefList;
class TMainDragDrop;
struct TFileListContext;

// The MP3 main window: the explorer window with two more top-level nodes,
// "Playlist" (the current playlist) and "MP3 Explorer" (folders and MP3
// files on the computer), and the commands that join them to the
// collection: adding and updating, tags, renaming, playlists and playing.
// Implemented in main/mainwindow.cpp (building, settings, start and end),
// main/mainnodes.cpp (the two nodes and their content),
// main/maincommands.cpp (collection, tag, rename and settings commands) and
// main/mainplaylist.cpp (playlist and playing).
class TfmMain : public TfmMainBase {
    Q_OBJECT
public:
    TfmMain(TMp3Prefs &prefs, TUpdateService &updates, QWidget *parent = nullptr);
    ~TfmMain() override;

    void FormCreate(const QStringList &argumentsAfterProgram) override;
    void FormShow() override;
    void LoadSettings() override;
    void SaveSettings() override;
    void acResetToolbarExecute() override;
    QList<QToolBar *> designToolBars() const override;
    void SetListKind(int kind) override;
    bool GetNodeContent(TExplorerNode *node, TDataRefList &list) override;
    void AddFolderNodes(TExplorerNode *node, TDataRefList &list) override;
    bool CanHideTree() const override { return false; }
    bool CanHaveChildren(const TExplorerNode *node) const override;
    bool CanDrag(const TDataObject *object) const override;
    bool CanDrop(const TDataObject *dragged, const TDataObject *target) const override;
    void OpenSelectedItem() override;
    int GetListKind(const TExplorerNode *node) const override;
    void CreateTreeRoots() override;
    void RefreshView() override;
    TColumnFieldRefList *GetColumnFields(int kind) const override;
    TSortFieldRefList *GetSortFields(int kind) const override;
    void UpdateActions() override;
    QString GetCountText(int kind) const override;
    bool PlaylistModified() const override;
    void SavePlaylist() override;
    void OfferNewCollection() override;

    // ---- what the commands work on ------------------------------------------------
    TMP3Folder *SelectedFolder() const;
    TMP3File *SelectedFile() const;
    TMp3Track *SelectedTrack() const;
    TPlayListEntry *SelectedEntry() const;
    // The selected rows' files and folders (list kind 3), in row order.
    void SelectedFileItems(TMp3FileItemList &list) const;
    // Reads the folder (and with recursive its subfolders) into the explorer
    // while the status bar shows the progress.
    void ReadFolderWithProgress(TMP3Folder *folder, bool recursive);
    // The information sources the View menu has checked.
    void ApplyInfoSources(TMp3FileItem *item);
    void FilesForSelectedTracks(const TDataRefList &tracks, std::vector<std::unique_ptr<TMP3File>> &files);
    // Opens the add window on a folder or on files.
    void AddToCollection(TMP3Folder *folder, TMp3FileItemList *files);
    void PlayFile(const QString &path);
    void PlayTrack(const TMp3Track &track);
    void NewCollectionPrompt();
    // What dropping objects (dragged from the list) onto a folder does.
    void DropOnObject(TDataObject *target, const TDataRefList &objects) override;
    // Reads the explorer anew and opens it along the folder of path (or as
    // far as the path still exists); the node reached.
    TExplorerNode *ExpandExplorerTo(const QString &path, bool select);
    // The playlist node's text after the playlist's file.
    void UpdatePlaylistNodeText();

    // The playlist file dialogs (tests replace them); empty when cancelled.
    virtual QString AskPlaylistOpenName();
    virtual QString AskPlaylistSaveName();

    TExplorerNode *PlaylistNode = nullptr;
    TExplorerNode *ExplorerNode = nullptr;
    std::unique_ptr<TColumnFieldRefList> FileColumnFields;
    std::unique_ptr<TSortFieldRefList> FileSortFields;
    std::unique_ptr<TColumnFieldRefList> PlaylistColumnFields;
    std::unique_ptr<TSortFieldRefList> PlaylistSortFields;
    std::unique_ptr<TMP3Folder> DesktopFolder;
    std::unique_ptr<TPlayList> Playlist;
    std::unique_ptr<TMP3Process> Process;

    QProgressBar *pbScan;
    QToolBar *tbPlay;
    QToolBar *tbPlayList;
    QToolBar *tbExplorer;
    QToolButton *btAddToCollection;
    QToolButton *btExplorerInfoSources;
    QToolButton *btPlay;
    QToolButton *btAddToPlaylist;
    QMenu *pmMp3InfoSources;
    QMenu *pmPlaying;
    QMenu *pmPlaylistTree;
    QMenu *pmExplorerTree;
    QMenu *pmExplorerList;
    QMenu *pmPlaylistList;
    QMenu *miAddToCollection;
    QMenu *miAddToPlaylist;

protected:
    void ReleaseOwnTreeNodes() override;

    // The windows of the file-list area that the commands open
    // (main/mainfilewindows.cpp); each returns true when it changed
    // something.  A window that is not available leaves its commands
    // disabled.
    struct TWindowsAvailable {
        bool Add = false;            // add and update window
        bool Repair = false;         // repair window
        bool NewCollection = false;  // new collection prompt
        bool Tag = false;            // tag window
        bool Rename = false;         // rename window
        bool Properties = false;     // file properties window
    };
    virtual TWindowsAvailable WindowsAvailable() const;
    // True when the collection changed; it has been saved then.
    virtual bool RunAddWindow(TMp3FileItemList *files, int mode, TMP3Folder *folder);
    virtual bool RunRepairWindow();
    virtual bool RunNewCollectionWindow();
    virtual bool RunTagWindow(TMp3FileItemList *files, TMP3Folder *folder);
    virtual bool RunRenameWindow(TMp3FileItemList *files, TMP3Folder *folder);
    virtual bool RunFilePropertiesWindow(TMP3File *file);
    // What the file-list windows work with.
    TFileListContext FileListContext();

private:
    // Building (mainwindow.cpp).
    void createMainActions();
    void adaptMenus();
    void createMainToolBars();
    void createMainContextMenus();
    void connectMainActions();
    void createFileFieldLists();
    void rebindFileFieldLists(TRootItem &incoming);
    void showMainToolBarSwitches();
    QMenu *sourcesMenu(const QString &name);

    // The two nodes (mainnodes.cpp).
    bool folderContent(TMP3Folder &folder, TDataRefList &list);
    void fillDesktop();
    TExplorerNode *nodeOfFolder(TExplorerNode *parent, const QString &path) const;
    void clearListIfShowing(TExplorerNode *topLevel);
    void showPlaylist(TPlayListEntry *select);

    // Commands (maincommands.cpp, mainplaylist.cpp).
    void acAddFolderToCollectionExecute();
    void acAddFilesToCollectionExecute();
    void acAddSelectedFolderToCollectionExecute();
    void acUpdateTracksExecute();
    void acRepairFileRefsExecute();
    void acTagFolderExecute();
    void acRenameFolderFilesExecute();
    void acTagFilesExecute();
    void acRenameFilesExecute();
    void acTagTracksExecute();
    void acRenameTrackFilesExecute();
    void acFilePropertiesExecute();
    void infoSourceChanged();
    void acParseFormatsExecute();
    void acRenameFormatsExecute();
    void deleteInList();
    void afterFileWindow(TMp3FileItem *sources, TMp3FileItem *select);

    void acNewPlayListExecute();
    void acOpenPlaylistExecute();
    void acSavePlaylistExecute();
    void acSavePlaylistAsExecute();
    void acAddFolderToPlaylistExecute();
    void acAddFilesToPlayListExecute();
    void acAddTracksToPlaylistExecute();
    void acRemovePlaylistEntryExecute();
    void moveEntry(int by);
    void acPlayPlaylistExecute();
    void acPlayFolderExecute();
    void acPlayFilesExecute();
    void acPlayTracksExecute();
    void acPlayPlaylistEntriesExecute();
    // Writes the list to the temporary play file and hands it to the player.
    void playTemporary(TPlayList &list);
    // Whether the desktop has a program to play the file; when not, the user
    // is told so (noPlayer, then the desktop's reason).
    bool playerIsSetUp(const QString &path, const QString &noPlayer);
    void readFoldersAmong(const TDataRefList &items);
    void rememberPlaylistFile();

    std::unique_ptr<TMainDragDrop> m_dragDrop;
};
