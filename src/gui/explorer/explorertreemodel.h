#pragma once

#include "core/data/datatree.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>

#include <functional>
#include <memory>
#include <vector>

class TDataObject;
class TImageList;

// A node of the folder tree.  It remembers its object's identifier besides
// the object, so the navigation state can find it again after a rebuild.
class TExplorerNode : public TTreeNode {
public:
    TExplorerNode *Parent = nullptr;
    TDataObject *Object = nullptr;
    // ID of a data item, -1 for other objects (the collection).
    qint32 ObjectID = -1;
    QString Text;
    int ImageIndex = -1;
    int SelectedImageIndex = -1;
    // Whether the node may have children; they are added on first expansion.
    bool HasChildren = false;
    std::vector<std::unique_ptr<TExplorerNode>> Children;

    void setHasChildren(bool value) override { HasChildren = value; }

    int Row() const { return m_row; }
    // Depth below the top level (top-level nodes have level 0).
    int Level() const;
    TExplorerNode *ChildByObjectID(qint32 id) const;

private:
    friend class TExplorerTreeModel;
    int m_row = 0;
    bool m_fetched = false;
    bool m_pending = false;   // added in a batch that is not in the model yet
};

// The folder tree's model.  Data objects add themselves through the
// TDataTree interface; children are produced lazily: a node marked as having
// children is filled by the fetch handler when the view first expands it.
//
// The model never outlives what its nodes show without being told: whoever
// frees a shown object first removes its nodes (RemoveChildren, Clear).
class TExplorerTreeModel : public QAbstractItemModel, public TDataTree {
    Q_OBJECT
public:
    explicit TExplorerTreeModel(const TImageList &images, QObject *parent = nullptr);
    ~TExplorerTreeModel() override;

    // Called when the view wants the children of a node that has none yet.
    void SetFetchHandler(std::function<void(TExplorerNode *)> handler) { m_fetch = std::move(handler); }

    TTreeNode *addNode(TTreeNode *parent, const QString &text, TDataObject *object, int imageIndex,
                       int selectedImageIndex) override;
    // Nodes added between these calls under parent appear in one insertion.
    void BeginAddChildren(TExplorerNode *parent);
    void EndAddChildren();

    void Clear();
    void RemoveChildren(TExplorerNode *node);
    void SetText(TExplorerNode *node, const QString &text);
    void SetImages(TExplorerNode *node, int imageIndex, int selectedImageIndex);
    void SetObject(TExplorerNode *node, TDataObject *object);
    // Whether the node may still be expanded (after its content turned out
    // to be empty, it cannot).
    void SetHasChildren(TExplorerNode *node, bool hasChildren);

    TExplorerNode *Node(const QModelIndex &index) const;
    QModelIndex IndexOf(const TExplorerNode *node) const;
    const std::vector<std::unique_ptr<TExplorerNode>> &TopLevel() const { return m_top; }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    std::vector<std::unique_ptr<TExplorerNode>> &childrenOf(TExplorerNode *node);
    QIcon icon(int imageIndex, int selectedImageIndex) const;
    static void clearPending(TExplorerNode *node);

    const TImageList &m_images;
    std::vector<std::unique_ptr<TExplorerNode>> m_top;
    std::function<void(TExplorerNode *)> m_fetch;
    TExplorerNode *m_batchParent = nullptr;
    std::vector<std::unique_ptr<TExplorerNode>> m_batch;
    bool m_inBatch = false;
    mutable QHash<qint64, QIcon> m_icons;
};
