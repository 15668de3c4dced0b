#pragma once

#include "core/settings/shellsequence.h"
#include "gui/explorer/navigationstate.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>

class QActionGroup;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class TBrimlowListView;
class TColumnFieldRefList;
class TDataField;
class TDataItem;
class TDataObject;
class TDataRefList;
class TdmGlobal;
class TExplorerListModel;
class TExplorerNode;
class TExplorerTreeModel;
class TExplorerTreeView;
class TFilterFieldRefList;
class TGroupFieldRefList;
class TItemFilter;
class TLookupItem;
class TLookupItemNone;
class TMp3Prefs;
class TRootCollection;
class TRootItem;
class TSizingSplitter;
class TSettingsAutoSave;
class TSortFieldRefList;
class TUpdateService;
struct THandover;

// The explorer main window: menus, tool bars and status bar; the folder tree
// that groups the collection's items by fields beside the list of the
// selected folder's content; the collection commands; and the life of the
// program from creation to destruction (start-up, first idle moment, close
// query, file type registration).  The explorer's part is implemented in
// explorer/mainexplorer.cpp.
class TfmMainBase : public QMainWindow {
    Q_OBJECT
public:
    TfmMainBase(TMp3Prefs &prefs, TUpdateService &updates, QWidget *parent = nullptr);
    ~TfmMainBase() override;

    // Creation: creates the collection, the global data module, and opens
    // the collection of the command line or of the last run.
    virtual void FormCreate(const QStringList &argumentsAfterProgram);
    // Destruction: registers the file type and frees the collection.
    virtual void FormDestroy();

    // Creates the collection (an MP3 root unless CreateRootItem says
    // otherwise) with its field defaults; FreeRoot stores the defaults and
    // frees it.
    virtual std::unique_ptr<TRootCollection> CreateRoot();
    // A new, empty collection root of the program's kind.
    virtual std::unique_ptr<TRootItem> CreateRootItem();
    virtual void FreeRoot();
    virtual void LoadSettings();
    virtual void SaveSettings();
    // Stores this window's settings and the field defaults, and writes the
    // settings file; false (nothing stored) while a batch operation runs or
    // the views are being rebuilt.  Runs shortly after every change the user
    // makes, and when the window closes.
    bool SaveSettingsToFile();
    virtual void FirstIdleTasks();
    virtual bool EditPreferences(QWidget *owner);
    virtual void RegisterFileAssociation();
    virtual void UpdateCaption();
    // The collection commands the close query and the hand-over use.
    virtual bool Save();
    virtual bool SaveAs();
    virtual bool OpenCollection(const QString &fileName);
    // The file commands.
    void NewCollection();
    // The open and save dialogs; an empty name when cancelled.
    virtual QString AskOpenFileName();
    virtual QString AskSaveFileName();
    void OpenCollectionDialog();
    void ImportCollection();
    // Applies the loaded settings and builds the tree; runs when the window
    // is first shown.
    virtual void FormShow();

    // ---- the explorer ----------------------------------------------------
    // View commands.
    virtual void acIconViewExecute();
    virtual void acListViewExecute();
    virtual void acResetToolbarExecute();
    // The tool bars in their design order, one row from left to right; their
    // places and visibility are kept in the settings.
    virtual QList<QToolBar *> designToolBars() const;
    // Applies the preset or "No Folders" of the folder menu item (its tag).
    virtual void miFolderPresetClick(QAction *item);
    void ApplyGroupPreset(int preset);
    void ChooseFolderFields();
    void ToggleEmptyFolders();
    void ChooseColumns();
    void ChooseSortOrder();
    void ToggleFilter();

    virtual void SetListKind(int kind);
    // The objects the node contains, appended to list; true when any.
    virtual bool GetNodeContent(TExplorerNode *node, TDataRefList &list);
    virtual void AddFolderNodes(TExplorerNode *node, TDataRefList &list);
    // The collection's items that pass filter, sorted by the item sort order.
    virtual void GetFolderItems(TDataRefList &list, const TItemFilter *filter);
    // The folders of one grouping level among the items that pass filter.
    virtual void GetFolderGroups(TDataRefList &list, const TItemFilter *filter, int level);
    virtual bool CanHideTree() const { return true; }
    virtual bool CanHaveChildren(const TExplorerNode *node) const;
    virtual bool CanDrag(const TDataObject *) const { return false; }
    virtual bool CanDrop(const TDataObject *, const TDataObject *) const { return false; }
    virtual void GoUp();
    virtual bool OpenSelectedFolder();
    virtual void OpenSelectedItem();
    virtual int GetListKind(const TExplorerNode *node) const;
    virtual TDataItem *GetSelectedItem() const;
    virtual TDataItem *GetSelectedCollectionItem() const;
    // Opens the item edit window (the track window for tracks).
    virtual bool EditItem(TDataItem *item, bool isEdit);
    virtual QList<int> GetFieldNamesKinds() const { return {2}; }
    virtual void CreateTreeRoots();
    virtual void RefreshView();
    virtual TColumnFieldRefList *GetColumnFields(int kind) const;
    virtual TSortFieldRefList *GetSortFields(int kind) const;
    virtual TFilterFieldRefList *GetFilterFields(int mode) const;
    virtual TGroupFieldRefList *GetGroupFields(int mode) const;
    virtual TGroupFieldRefList *GetCustomGroupFields(int mode) const;
    virtual void UpdateActions();
    virtual void BuildFolderMenus();
    virtual void SaveInfoPanel();
    virtual QString GetCountText(int kind) const;

    // ---- the item commands (explorer/itemcommands.cpp) --------------------
    void AddItem();
    void EditSelectedItem();
    void DuplicateItem();
    void RemoveItems();
    void AssignIndex();
    void EditFilter();
    void EditFieldDefaults();
    void EditFieldNames();
    // Gives the objects the lookup values of the target folder path where
    // the source folder path differs (both deepest first).
    virtual void DropOnFolder(const QList<TDataItem *> &objects, const QList<TLookupItem *> &sourcePath,
                              const QList<TLookupItem *> &targetPath);
    virtual void DropOnObject(TDataObject * /*target*/, const TDataRefList & /*objects*/) {}
    // A drag from the tree (or else from the list) over or onto a node: a
    // drop of collection items on a folder goes to DropOnFolder, any other
    // to DropOnObject.
    bool CanDropOnNode(const TExplorerNode *target, bool fromTree) const;
    void DropOnNode(TExplorerNode *target, bool fromTree);

    void SaveState();
    // The views let go of everything they show of the collection, before
    // lookup values or tracks they may show are freed; ShowViewsAgain
    // rebuilds the tree and restores the recorded state.
    void ReleaseViews();
    void ShowViewsAgain();
    // Edit > Edit Lookup Lists, and the lookup value of the selected folder
    // or list row (gui/lookups/lookupcommands.cpp).
    void acEditLookupListsExecute();
    void EditLookupItemFromTree();
    void EditLookupItemFromList();
    // Restores the recorded expansion and selection; with item, opens the
    // folder the item belongs in.  With select, selects and shows a folder.
    void RestoreState(TDataItem *item, bool select);
    void ResetState();
    void RebuildTree();
    void ShowFolder(TExplorerNode *node);
    void RefreshList(TDataItem *item, bool keepSelection);
    void UpdateStatus();
    void StoreColumns();
    void BuildColumns();
    void ShowSortIndicator();
    void SortContent();
    void GetSelectedObjects(TDataRefList *list) const;
    TExplorerNode *TopLevelNode(TExplorerNode *node) const;
    void SelectRow(int index);
    // The first row whose key begins with text (ignoring case); -1 for none.
    int FindRow(const QString &text) const;

    TExplorerNode *SelectedNode() const;
    void SelectNode(TExplorerNode *node);
    void ExpandNode(TExplorerNode *node);
    bool IsExpanded(const TExplorerNode *node) const;
    TRootItem *Root() const;

    TState State;
    std::unique_ptr<TColumnFieldRefList> ItemColumnFields;
    std::unique_ptr<TSortFieldRefList> ItemSortFields;
    std::unique_ptr<TSortFieldRefList> ItemIndexSortFields;
    std::unique_ptr<TFilterFieldRefList> ItemFilterFields;
    std::unique_ptr<TGroupFieldRefList> GroupFields;
    std::unique_ptr<TGroupFieldRefList> CustomGroupFields;
    int GroupFieldPreset = 0;
    bool Updating = false;
    bool ListReady = false;
    int TreeMode = 2;
    int ListKind = 2;
    int GroupSortOrder = 1;
    std::unique_ptr<TLookupItemNone> NoneItem;
    std::unique_ptr<TDataRefList> ListContent;
    TExplorerNode *RootNode = nullptr;

    TSizingSplitter *spExplorer;
    QWidget *pnTree;
    TExplorerTreeView *tvMain;
    TSizingSplitter *spRight;
    QWidget *pnRight;
    QWidget *pnInfo;
    TBrimlowListView *lvMain;
    QMenu *pmTree;
    QMenu *pmList;
    QMenu *pmFolders;
    QMenu *pmToolbar;
    QMenu *miFolders;
    QMenu *tvmiFolders;
    QToolButton *btFolderFields;
    TExplorerTreeModel *TreeModel() const { return m_treeModel; }
    TExplorerListModel *ListModel() const { return m_listModel; }
    // The playlist's part of the close query (the MP3 window has one).
    virtual bool PlaylistModified() const { return false; }
    virtual void SavePlaylist() {}
    // The new collection prompt of the first run (the MP3 window offers it).
    virtual void OfferNewCollection() {}

    // A batch operation runs between these calls; a close request while it
    // runs cancels it and closes when it has returned.
    void BeginOperation(std::function<void()> cancel);
    void EndOperation();
    bool OperationRunning() const { return bool(m_cancelOperation); }

    // A second copy of the program was started.
    void ActivateFromHandover(const THandover &handover);

    TRootCollection *Collection() const { return m_collection.get(); }
    TdmGlobal *Global() const { return m_dmGlobal.get(); }
    TMp3Prefs &Prefs() const { return m_prefs; }
    QAction *Action(const QString &name) const { return m_actions.value(name); }

    // The collection file filter of the open and save dialogs.
    static QString CollectionFileFilter();

    QToolBar *tbFile;
    QToolBar *tbEdit;
    QToolBar *tbView;
    QToolBar *tbSearch;
    QToolBar *tbLogo;
    QToolButton *imLogo;
    QWidget *pnExplorer;
    QLabel *pnCount;
    QLabel *pnSearch;
    QLabel *pnFilter;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    QMenu *createPopupMenu() override;

    // Replaces the central area.
    void SetExplorer(QWidget *explorer);
    // Every node of the folder tree is about to be freed (the collection is
    // closed for good, or the window goes).  A window that keeps top-level
    // nodes of its own lets go of them and of what they show here.
    virtual void ReleaseOwnTreeNodes() {}

    // A command of the window, found by Action(name) from then on.
    QAction *addAction(const QString &name, const QString &caption, const QString &hint,
                       const QKeySequence &shortcut = QKeySequence(), const QIcon &icon = QIcon());

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void connectShellActions();
    void openDocument(const QString &name);
    bool queryClose();

    // The explorer's part (explorer/mainexplorer.cpp).
    void createExplorer();
    void createFieldLists();
    void connectExplorerActions();
    void connectItemActions();
    // The track window and the lookup item windows, for the windows that
    // open one another ("..." buttons, the album window's Edit Track).
    void installItemEditors();
    void editLookupValue(const TDataField *field, TDataObject *object);
    QList<TDataItem *> draggedObjects(bool fromTree) const;
    // Frees items of the collection after the views have let go of them.
    void freeItems(const QList<TDataItem *> &items);
    void createContextMenus();
    void fetchNode(TExplorerNode *node);
    void treeSelectionChanged();
    void listSelectionChanged();
    void headerClicked(int section);
    void typeAhead(const QString &text);
    void listOpenRequested();
    void releaseCollection(TRootItem *incoming);
    void rebindFieldLists(TRootItem &root);
    std::unique_ptr<TItemFilter> pathFilter(const TExplorerNode *node) const;
    void computeNodeContent(const TExplorerNode *node, TDataRefList &list);
    bool restoreStateNode(const TStateNode &saved, TExplorerNode *parent, bool isRoot, bool select);
    void recordStateNode(const TExplorerNode *node, TStateNode &saved) const;
    void openItemFolder(TDataItem *item, bool select);
    void afterCollectionChanged();
    const TDataField *groupField(int index) const;
    void loadToolBars();
    void saveToolBars();
    void placeToolBars(const QList<QToolBar *> &order);
    void loadPanel(TSizingSplitter *splitter, const QString &name);
    void savePanel(const TSizingSplitter *splitter, const QString &name);
    bool chooseSaveFile(QString &fileName);
    // What saving over the collection file does when another program has
    // changed it.
    shellsequence::TSaveHooks saveHooks();
    void setListViewStyle(int style);
    void updateRootNodeText();

    TMp3Prefs &m_prefs;
    TUpdateService &m_updates;
    std::unique_ptr<TRootCollection> m_collection;
    std::unique_ptr<TdmGlobal> m_dmGlobal;
    QHash<QString, QAction *> m_actions;
    std::function<void()> m_cancelOperation;
    bool m_closeAfterOperation = false;
    bool m_shown = false;
    std::unique_ptr<TSettingsAutoSave> m_settingsAutoSave;
    TExplorerTreeModel *m_treeModel = nullptr;
    TExplorerListModel *m_listModel = nullptr;
    QActionGroup *m_folderItems = nullptr;
    QList<QAction *> m_folderActions;
    // The tool bars' places as designed, and as last placed (by name).
    QHash<QString, QRect> m_designBounds;
    QHash<QString, QRect> m_placedBounds;
};
