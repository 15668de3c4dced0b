#include "data/datalists.h"

#include "data/datafield.h"
#include "data/datasettings.h"
#include "data/datatree.h"
#include "data/rootitem.h"

#include <algorithm>

namespace {

int compareIDs(const TDataItem *a, const TDataItem *b)
{
    const qint32 idA = a->GetID();
    const qint32 idB = b->GetID();
    return idA < idB ? -1 : (idA > idB ? 1 : 0);
}

} // namespace

// ---- TDataRefList ---------------------------------------------------------

TDataRefList::TDataRefList(TDataObject *owner)
    : TDataObject(owner)
{
}

TDataRefList::~TDataRefList() = default;

void TDataRefList::AddChildNodes(TDataTree &tree, TTreeNode *node)
{
    for (TDataItem *item : m_list)
        item->AddToTree(tree, node);
    if (node)
        node->setHasChildren(!m_list.isEmpty());
}

void TDataRefList::GetItems(TDataRefList &destination)
{
    for (TDataItem *item : m_list)
        destination.Add(item);
}

void TDataRefList::AddItemsOf(const TDataRefList &list)
{
    // Copy first: list may be this list.
    const QList<TDataItem *> items = list.m_list;
    for (TDataItem *item : items)
        Add(item);
}

void TDataRefList::SortByFields(const TSortKeys &sortFields)
{
    sortWith([&sortFields](const TDataItem *a, const TDataItem *b) {
        if (a == b)
            return false;
        for (const TSortKey &key : sortFields) {
            if (!key.Field)
                continue;
            const int result = key.Field->Compare(a, b) * key.Order;
            if (result != 0)
                return result < 0;
        }
        return compareIDs(a, b) < 0;
    });
}

void TDataRefList::SortByField(const TDataField *field, qint32 direction)
{
    sortWith([field, direction](const TDataItem *a, const TDataItem *b) {
        if (a == b)
            return false;
        int result = field->Compare(a, b);
        if (result == 0)
            result = compareIDs(a, b);
        return result * direction < 0;
    });
}

int TDataRefList::Add(TDataItem *item)
{
    m_list.append(item);
    ++m_revision;
    return int(m_list.size()) - 1;
}

int TDataRefList::InsertBefore(TDataItem *item, TDataItem *beforeItem)
{
    const int position = IndexOf(beforeItem);
    if (position < 0)
        return -1;
    m_list.insert(position, item);
    ++m_revision;
    return position;
}

int TDataRefList::Remove(TDataItem *item)
{
    const int position = IndexOf(item);
    if (position >= 0)
        Delete(position);
    return position;
}

int TDataRefList::IndexOf(const TDataItem *item) const
{
    return int(m_list.indexOf(const_cast<TDataItem *>(item)));
}

void TDataRefList::Delete(int index)
{
    m_list.removeAt(index);
    ++m_revision;
}

void TDataRefList::Exchange(int index1, int index2)
{
    m_list.swapItemsAt(index1, index2);
    ++m_revision;
}

void TDataRefList::Clear()
{
    m_list.clear();
    ++m_revision;
}

void TDataRefList::SetCapacity(int capacity)
{
    if (capacity <= m_list.size())
        m_list.squeeze();
    else
        m_list.reserve(capacity);
}

bool TDataRefList::ContainsSameItem(const TDataItem *item) const
{
    return std::any_of(m_list.cbegin(), m_list.cend(),
                       [item](const TDataItem *element) { return element->IsSameItem(item); });
}

void TDataRefList::move(int from, int to)
{
    m_list.move(from, to);
    ++m_revision;
}

void TDataRefList::put(int index, TDataItem *item)
{
    m_list[index] = item;
    ++m_revision;
}

void TDataRefList::sortWith(const std::function<bool(const TDataItem *, const TDataItem *)> &lessThan)
{
    std::sort(m_list.begin(), m_list.end(), lessThan);
    ++m_revision;
}

// ---- TDataList ------------------------------------------------------------

TDataList::TDataList(TDataObject *owner)
    : TDataRefList(owner)
{
}

TDataList::~TDataList()
{
    FreeAll();
}

void TDataList::AddItemsOf(const TDataRefList &list)
{
    AddItemsOf(list, this, false);
}

void TDataList::AddItemsOf(const TDataRefList &list, TDataObject *owner, bool keepIDs)
{
    const int count = list.Count();
    for (int i = 0; i < count; ++i)
        Add(list.Get(i)->Clone(owner, keepIDs).release());
}

TDataItem *TDataList::CreateItem()
{
    return nullptr;
}

void TDataList::FreeAll()
{
    // Empty the list before freeing, so no freed item stays reachable from
    // it while the items' destructors run.
    QList<TDataItem *> items;
    items.reserve(Count());
    for (TDataItem *item : *this)
        items.append(item);
    Clear();
    qDeleteAll(items);
}

TDataItem *TDataList::FindByID(qint32 id) const
{
    if (id == -1)
        return nullptr;
    for (TDataItem *item : *this) {
        if (item->GetID() == id)
            return item;
    }
    return nullptr;
}

std::unique_ptr<TDataItem> TDataList::takeItem(TDataItem *item)
{
    if (Remove(item) < 0)
        return nullptr;
    return std::unique_ptr<TDataItem>(item);
}

// ---- TMainDataList --------------------------------------------------------

TMainDataList::TMainDataList(TDataObject *owner)
    : TDataList(owner)
{
}

int TMainDataList::InsertBefore(TDataItem *item, TDataItem *beforeItem)
{
    AssignNextIndex(item);
    return TDataList::InsertBefore(item, beforeItem);
}

void TMainDataList::AssignNextIndex(TDataItem *item) const
{
    if (!TDataSettings::Current().AutoIncrementIndex)
        return;
    if (const TRootItem *root = GetRoot())
        item->Index = root->NextIndex;
}
