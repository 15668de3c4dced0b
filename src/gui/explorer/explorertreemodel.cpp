#include "gui/explorer/explorertreemodel.h"

#include "core/data/dataobject.h"
#include "gui/shell/globaldata.h"

#include <QPixmap>

namespace {

qint32 objectIdOf(TDataObject *object)
{
    const auto *item = dynamic_cast<const TDataItem *>(object);
    return item ? item->GetID() : -1;
}

} // namespace

int TExplorerNode::Level() const
{
    int level = 0;
    for (const TExplorerNode *node = Parent; node; node = node->Parent)
        ++level;
    return level;
}

TExplorerNode *TExplorerNode::ChildByObjectID(qint32 id) const
{
    for (const auto &child : Children) {
        if (child->Object && child->ObjectID == id)
            return child.get();
    }
    return nullptr;
}

TExplorerTreeModel::TExplorerTreeModel(const TImageList &images, QObject *parent)
    : QAbstractItemModel(parent), m_images(images)
{
}

TExplorerTreeModel::~TExplorerTreeModel() = default;

std::vector<std::unique_ptr<TExplorerNode>> &TExplorerTreeModel::childrenOf(TExplorerNode *node)
{
    return node ? node->Children : m_top;
}

TTreeNode *TExplorerTreeModel::addNode(TTreeNode *parent, const QString &text, TDataObject *object,
                                       int imageIndex, int selectedImageIndex)
{
    auto *parentNode = static_cast<TExplorerNode *>(parent);
    auto node = std::make_unique<TExplorerNode>();
    node->Parent = parentNode;
    node->Object = object;
    node->ObjectID = objectIdOf(object);
    node->Text = text;
    node->ImageIndex = imageIndex;
    node->SelectedImageIndex = selectedImageIndex;
    TExplorerNode *added = node.get();

    if (m_inBatch && parentNode == m_batchParent) {
        node->m_row = int(childrenOf(parentNode).size() + m_batch.size());
        node->m_pending = true;
        m_batch.push_back(std::move(node));
        return added;
    }
    auto &siblings = childrenOf(parentNode);
    const int row = int(siblings.size());
    node->m_row = row;
    // A node below one that is not in the model yet needs no notification.
    bool pending = false;
    for (const TExplorerNode *n = parentNode; n && !pending; n = n->Parent)
        pending = n->m_pending;
    node->m_pending = pending;
    if (!pending)
        beginInsertRows(IndexOf(parentNode), row, row);
    siblings.push_back(std::move(node));
    if (!pending)
        endInsertRows();
    return added;
}

void TExplorerTreeModel::BeginAddChildren(TExplorerNode *parent)
{
    Q_ASSERT(!m_inBatch);
    m_inBatch = true;
    m_batchParent = parent;
}

void TExplorerTreeModel::EndAddChildren()
{
    Q_ASSERT(m_inBatch);
    m_inBatch = false;
    if (!m_batch.empty()) {
        auto &siblings = childrenOf(m_batchParent);
        const int first = int(siblings.size());
        beginInsertRows(IndexOf(m_batchParent), first, first + int(m_batch.size()) - 1);
        for (auto &node : m_batch) {
            clearPending(node.get());
            siblings.push_back(std::move(node));
        }
        m_batch.clear();
        endInsertRows();
    }
    m_batchParent = nullptr;
}

void TExplorerTreeModel::clearPending(TExplorerNode *node)
{
    node->m_pending = false;
    for (auto &child : node->Children)
        clearPending(child.get());
}

void TExplorerTreeModel::Clear()
{
    beginResetModel();
    m_top.clear();
    endResetModel();
}

void TExplorerTreeModel::RemoveChildren(TExplorerNode *node)
{
    auto &children = childrenOf(node);
    if (node)
        node->m_fetched = false;
    if (children.empty())
        return;
    beginRemoveRows(IndexOf(node), 0, int(children.size()) - 1);
    children.clear();
    endRemoveRows();
}

void TExplorerTreeModel::SetText(TExplorerNode *node, const QString &text)
{
    node->Text = text;
    const QModelIndex index = IndexOf(node);
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole});
}

void TExplorerTreeModel::SetImages(TExplorerNode *node, int imageIndex, int selectedImageIndex)
{
    node->ImageIndex = imageIndex;
    node->SelectedImageIndex = selectedImageIndex;
    const QModelIndex index = IndexOf(node);
    Q_EMIT dataChanged(index, index, {Qt::DecorationRole});
}

void TExplorerTreeModel::SetObject(TExplorerNode *node, TDataObject *object)
{
    node->Object = object;
    node->ObjectID = objectIdOf(object);
}

void TExplorerTreeModel::SetHasChildren(TExplorerNode *node, bool hasChildren)
{
    if (node->HasChildren == hasChildren)
        return;
    node->HasChildren = hasChildren;
    const QModelIndex index = IndexOf(node);
    Q_EMIT dataChanged(index, index);
}

TExplorerNode *TExplorerTreeModel::Node(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TExplorerNode *>(index.internalPointer()) : nullptr;
}

QModelIndex TExplorerTreeModel::IndexOf(const TExplorerNode *node) const
{
    return node ? createIndex(node->m_row, 0, const_cast<TExplorerNode *>(node)) : QModelIndex();
}

QModelIndex TExplorerTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    const TExplorerNode *parentNode = Node(parent);
    const auto &children = parentNode ? parentNode->Children : m_top;
    if (row >= int(children.size()))
        return {};
    return createIndex(row, 0, children[size_t(row)].get());
}

QModelIndex TExplorerTreeModel::parent(const QModelIndex &child) const
{
    const TExplorerNode *node = Node(child);
    return node ? IndexOf(node->Parent) : QModelIndex();
}

int TExplorerTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const TExplorerNode *node = Node(parent);
    return int(node ? node->Children.size() : m_top.size());
}

int TExplorerTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool TExplorerTreeModel::hasChildren(const QModelIndex &parent) const
{
    const TExplorerNode *node = Node(parent);
    if (!node)
        return !m_top.empty();
    return !node->Children.empty() || (node->HasChildren && !node->m_fetched);
}

bool TExplorerTreeModel::canFetchMore(const QModelIndex &parent) const
{
    const TExplorerNode *node = Node(parent);
    return node && node->HasChildren && node->Children.empty() && !node->m_fetched;
}

void TExplorerTreeModel::fetchMore(const QModelIndex &parent)
{
    TExplorerNode *node = Node(parent);
    if (!node || !canFetchMore(parent))
        return;
    node->m_fetched = true;
    if (m_fetch)
        m_fetch(node);
}

QIcon TExplorerTreeModel::icon(int imageIndex, int selectedImageIndex) const
{
    const qint64 key = (qint64(imageIndex) << 32) | quint32(selectedImageIndex);
    if (const auto it = m_icons.constFind(key); it != m_icons.cend())
        return it.value();
    QIcon result;
    const QSize size = m_images.Size();
    result.addPixmap(m_images.Icon(imageIndex).pixmap(size), QIcon::Normal);
    if (selectedImageIndex >= 0)
        result.addPixmap(m_images.Icon(selectedImageIndex).pixmap(size), QIcon::Selected);
    m_icons.insert(key, result);
    return result;
}

QVariant TExplorerTreeModel::data(const QModelIndex &index, int role) const
{
    const TExplorerNode *node = Node(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return node->Text;
    case Qt::DecorationRole:
        return node->ImageIndex >= 0 ? QVariant(icon(node->ImageIndex, node->SelectedImageIndex)) : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags TExplorerTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
