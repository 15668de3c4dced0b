#pragma once

#include <QString>

class TDataObject;

// A node of a tree view that shows data objects.  The view owns its nodes.
class TTreeNode {
public:
    virtual ~TTreeNode() = default;
    // Marks the node as expandable even before its children are added, so the
    // view can fill it on demand.
    virtual void setHasChildren(bool hasChildren) = 0;
};

// The tree a data object adds itself to.  The GUI implements it over its
// tree model; the core never sees a widget.
class TDataTree {
public:
    virtual ~TDataTree() = default;
    // Adds a child under parent (a top-level node when parent is null) and
    // returns it.
    virtual TTreeNode *addNode(TTreeNode *parent, const QString &text, TDataObject *object,
                               int imageIndex, int selectedImageIndex) = 0;
};
