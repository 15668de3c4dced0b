#pragma once

#include "core/data/datatree.h"

#include <QList>
#include <QString>

#include <memory>

class TDataObject;

// A tree held in memory that records what data objects add to it, for tests.
class TMemoryTreeNode : public TTreeNode {
public:
    QString text;
    TDataObject *object = nullptr;
    int imageIndex = -1;
    int selectedImageIndex = -1;
    bool hasChildren = false;
    TMemoryTreeNode *parent = nullptr;
    QList<TMemoryTreeNode *> children;

    void setHasChildren(bool value) override { hasChildren = value; }
};

class TMemoryTree : public TDataTree {
public:
    TTreeNode *addNode(TTreeNode *parent, const QString &text, TDataObject *object, int imageIndex,
                       int selectedImageIndex) override;

    // Nodes without a parent, in the order they were added.
    QList<TMemoryTreeNode *> topLevel;
    // The texts of the given node's children (of the top level for null).
    QStringList childTexts(const TMemoryTreeNode *node = nullptr) const;

private:
    QList<std::shared_ptr<TMemoryTreeNode>> m_nodes;
};
