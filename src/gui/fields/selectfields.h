#pragma once

#include "gui/shell/globaldata.h"

#include <QDialog>
#include <QListWidget>
#include <QTreeWidget>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QSplitter;
class TDataField;
class TDataFieldRef;
class TDataFieldRefList;
class TRadioGroup;
class TSettingsStore;
class TfmSelectFieldsBase;

// The tree of available fields: fields are dragged from it, and entries of
// the selected list dropped on it are removed.
class TAvailableFieldsTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit TAvailableFieldsTree(TfmSelectFieldsBase *window);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    TfmSelectFieldsBase *m_window;
};

// The ordered list of selected fields: takes fields from the tree and
// reorders its own entries; Delete removes the selected entry, as dragging
// it back to the tree does.
class TSelectedFieldsList : public QListWidget {
    Q_OBJECT
public:
    explicit TSelectedFieldsList(TfmSelectFieldsBase *window);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    TfmSelectFieldsBase *m_window;
};

// The field selection window: edits a column, sort or folder field list on
// copies of its references and writes them back only on OK.
class TfmSelectFieldsBase : public QDialog {
    Q_OBJECT
public:
    enum class TListType { Columns, Sort, Group };

    TfmSelectFieldsBase(TDataFieldRefList &list, const QString &text, QWidget *owner, TSettingsStore &store);
    ~TfmSelectFieldsBase() override;

    TAvailableFieldsTree *tvFields;
    TSelectedFieldsList *lvFields;
    TRadioGroup *rgOrder;
    QPushButton *btOk;
    QPushButton *btCancel;
    QLabel *laStatus;
    QSplitter *spFields;

    TListType ListType() const { return m_type; }

    // Adds field before the entry at row (appends for a row out of range);
    // an entry of the same name is moved there instead.
    void AddField(TDataField *field, int beforeRow = -1);
    // Moves the entry at row before the entry at beforeRow (to the end for a
    // row out of range).
    void MoveEntry(int row, int beforeRow);
    void RemoveEntry(int row);
    // Sort lists: flips the entry's direction.
    void ToggleOrder(int row);
    // The reference an entry carries (owned by the window).
    TDataFieldRef *EntryRef(int row) const;
    // The field of a tree node; nullptr for a category node.
    TDataField *NodeField(const QTreeWidgetItem *node) const;

    void accept() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

public:
    // Image indices of the window's pictures.
    enum Image { ImgGroup = 0, ImgCategoryOpen = 1, ImgField = 2, ImgAscending = 3, ImgDescending = 4 };
    const TImageList &Images() const { return m_images; }

private:
    void buildTree();
    void fillList();
    QListWidgetItem *makeEntry(std::unique_ptr<TDataFieldRef> ref);
    void updateEntryImage(QListWidgetItem *entry);
    void selectEntry(int row);
    void followSelection();
    void orderChosen(int index);
    void restoreSize();
    void saveSize();

    TDataFieldRefList &m_list;
    TSettingsStore &m_store;
    TListType m_type = TListType::Columns;
    TImageList m_images{QSize(16, 16)};
    std::vector<std::unique_ptr<TDataFieldRef>> m_refs;
    int m_treeWidth = 0;   // applied when first shown
};

// The program's field selection window.
class TfmSelectFields : public TfmSelectFieldsBase {
    Q_OBJECT
public:
    using TfmSelectFieldsBase::TfmSelectFieldsBase;
};

// Opens the field selection window on list; true when closed with OK.  The
// caption is followed by a blank and text when text is not empty.
bool SelectFields(TDataFieldRefList &list, const QString &text, QWidget *owner, TSettingsStore &store);
