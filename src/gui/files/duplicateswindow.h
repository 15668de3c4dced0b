#pragma once

#include "core/files/duplicates.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The Duplicates window: the groups a search found, copies first, then
// those that are probably the same song, with each member's path, tags,
// bitrate, length and size.  Each member has a Keep check box; the copy
// most worth keeping is checked.  Remove hands the plan (the unchecked
// members) to OnRemove, which asks, removes and saves; the window closes
// when that removed something.
class TfmDuplicates : public QDialog {
    Q_OBJECT
public:
    TfmDuplicates(QList<TDuplicateFile> files, TDuplicateSearchResult result, QWidget *owner = nullptr);

    // Carries out a removal; true when something was removed.
    std::function<bool(const TDuplicateRemoval &plan, bool moveToTrash)> OnRemove;

    // The files whose Keep box is checked (indices into the files searched).
    QSet<int> keptFiles() const;

    QTreeWidget *tvGroups;
    QLabel *laSummary;
    QCheckBox *cbMoveToTrash;
    QPushButton *btRemove;
    QPushButton *btClose;

private:
    void fillGroups();
    QTreeWidgetItem *memberItem(QTreeWidgetItem *groupItem, int file, bool keep);
    void remove();
    void updateRemoveButton();

    QList<TDuplicateFile> m_files;
    TDuplicateSearchResult m_result;
};
