#pragma once

#include "gui/shell/globaldata.h"

#include <QDialog>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTableView;
class QToolBar;
class QToolButton;
class TBrimlowListView;
class TDataField;
class TDataRefList;
class TExplorerListModel;
class TLookupItem;
class TLookupList;
class TRootItem;
class TSettingsStore;
class TSizingSplitter;
struct TLookupColumn;

// The lookup list window: one lookup field's values at a time with how many
// tracks use each; adding, editing and removing values, finding the unused
// ones, and merging several values into one (every track that used them is
// rewritten).  Every change takes effect at once; Changed tells the caller
// to save and redraw.
class TfmLookupListBase : public QDialog {
    Q_OBJECT
public:
    TfmLookupListBase(QWidget *owner, TRootItem &root, TSettingsStore &store);
    ~TfmLookupListBase() override;

    // Creates the window (not shown).
    static std::unique_ptr<TfmLookupListBase> CreateLookupListWindow(QWidget *owner, TRootItem &root,
                                                                     TSettingsStore &store);

    // The field shown first; none lets the window take the one shown last.
    void SetInitialField(const TDataField *field) { m_initialField = field; }
    // Called before values (or tracks, from the album window) that the
    // caller's views may show are freed.
    void SetBeforeFree(std::function<void()> beforeFree) { m_beforeFree = std::move(beforeFree); }

    const TDataField *Field() const { return m_field; }
    TLookupList *List() const { return m_list; }
    const TDataField *SortBy() const { return m_sortBy; }
    int SortDirection() const { return m_sortDirection; }
    bool Changed() const { return m_changed; }
    // The value shown in a row of the list; the values of the merge list.
    TLookupItem *RowItem(int row) const;
    QList<TLookupItem *> SelectedItems() const;
    QList<TLookupItem *> MergeItems() const;
    int RowOf(const TLookupItem *item) const;

    // The commands.
    void ChooseList(const TDataField *field);
    void AddItem();
    void EditItem();
    void RemoveItems();
    void SelectUnused();
    void Refresh();
    void AddToMergeList();
    void MergeTo();
    void ClearMergeList();
    void SortByColumn(int section);
    // The first row whose sort value begins with text (ignoring case), -1
    // for none.
    int FindRow(const QString &text) const;

    QToolBar *tbMain;
    QToolButton *btLookupLists;
    QMenu *pmLookupLists;
    QToolButton *btClose;
    TBrimlowListView *lvList;
    TSizingSplitter *spMerge;
    QWidget *pnBottom;
    QLabel *laMergeList;
    QTableView *lvMerge;
    QLabel *pnCount;
    QLabel *pnSearch;
    QAction *acAdd;
    QAction *acEdit;
    QAction *acRemove;
    QAction *acSelectUnused;
    QAction *acRefresh;
    QAction *acMergeFrom;
    QAction *acMergeTo;
    QAction *acClearMergeList;
    // The pictures of the commands and of the lists' menu.
    TImageList ilLookupLists{QSize(18, 18)};
    enum Image { ImgList, ImgAdd, ImgEdit, ImgRemove, ImgSelectUnused, ImgRefresh, ImgMergeFrom, ImgMergeTo,
                 ImgClearMergeList, ImgClose };

public Q_SLOTS:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QAction *createAction(const char *name, const QString &caption, const QString &hint, Image image);
    void createToolBar();
    void createLists();
    void connectCommands();
    void openOn(const TDataField *field);
    void fillListMenu();
    void buildColumns();
    void storeColumnWidths();
    QString columnSection() const;
    void recount();
    void sortList();
    // Shows the list again selecting item (the first row for none).
    void showList(const TLookupItem *item);
    void updateActions();
    void typeAhead(const QString &text);
    // Lets every view of the window and of the caller drop what they show.
    void releaseViews();
    bool editLookupItem(TLookupItem *item, const QString &verb);
    QList<const TDataField *> lookupFields() const;

    TRootItem &m_root;
    TSettingsStore &m_store;
    TdmGlobal m_images;
    std::function<void()> m_beforeFree;
    const TDataField *m_initialField = nullptr;
    const TDataField *m_field = nullptr;
    TLookupList *m_list = nullptr;
    QList<TLookupColumn> m_columns;
    const TDataField *m_sortBy = nullptr;
    int m_sortDirection = 1;
    bool m_changed = false;
    bool m_opened = false;
    bool m_listReady = false;
    bool m_mergeReady = true;
    // The rows of the list (List in its order) and of the merge list.
    std::unique_ptr<TDataRefList> m_rows;
    std::unique_ptr<TDataRefList> m_mergeRows;
    TExplorerListModel *m_listModel = nullptr;
    TExplorerListModel *m_mergeModel = nullptr;
};

// Opens the lookup list window on the collection, on field or (none) the
// list shown last, and returns whether anything changed: the caller then
// saves the collection and rebuilds its views.  beforeFree runs before
// anything the caller's views may show is freed.
bool EditLookupLists(QWidget *owner, TRootItem &root, TSettingsStore &store, const TDataField *field = nullptr,
                     const std::function<void()> &beforeFree = {});
