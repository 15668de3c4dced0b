#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

// One node of the folder tree as it was before a rebuild: the identifier of
// its object (-1 for the collection node), whether the selected folder is one
// of its direct children, and its expanded children in tree order.  A
// rebuild makes new tree nodes, so only identifiers survive it.
class TStateNode {
public:
    qint32 ObjectID = -1;
    bool HoldsSelection = false;
    std::vector<std::unique_ptr<TStateNode>> Children;

    TStateNode *AddChild(qint32 objectID);
    void Clear();
};

// The navigation state of the explorer: expanded folders, the selected
// folder and the focused list row, by object identifiers.
class TState {
public:
    TStateNode Root;
    qint32 FocusItemID = -1;
    // -1 when the collection node or nothing is selected.
    qint32 SelectedFolderID = -1;

    void Clear();
};
