#include "core/data/datalists.h"

#include "core/data/datafield.h"
#include "core/data/datasettings.h"
#include "core/data/datatree.h"
#include "core/data/lookupitems.h"
#include "core/data/rootitem.h"
#include "core/data/textcompare.h"

#include <QHash>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

int compareIDs(const TDataItem *a, const TDataItem *b)
{
    const qint32 idA = a->GetID();
    const qint32 idB = b->GetID();
    return idA < idB ? -1 : (idA > idB ? 1 : 0);
}

// For each item, the place of its lookup value among the distinct values
// in order of their sort names; values with the same sort name share it.
// Few values are shared by many items, so only the values are compared as
// texts.
std::vector<qint64> lookupRanks(const TDataField &field, const QList<TDataItem *> &items)
{
    std::vector<const TLookupItem *> values;
    values.reserve(size_t(items.size()));
    QHash<const TLookupItem *, qint64> ranks;
    for (const TDataItem *item : items) {
        values.push_back(field.lookupSortKey(item));
        ranks.insert(values.back(), 0);
    }
    std::vector<std::pair<QCollatorSortKey, const TLookupItem *>> named;
    named.reserve(size_t(ranks.size()));
    for (auto it = ranks.cbegin(); it != ranks.cend(); ++it)
        named.emplace_back(sortingKey(it.key() ? it.key()->GetSortName() : QString()), it.key());
    std::sort(named.begin(), named.end(),
              [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
    qint64 rank = 0;
    for (size_t i = 0; i < named.size(); ++i) {
        if (i > 0 && named[i - 1].first.compare(named[i].first) != 0)
            ++rank;
        ranks[named[i].second] = rank;
    }
    std::vector<qint64> result;
    result.reserve(values.size());
    for (const TLookupItem *value : values)
        result.push_back(ranks.value(value));
    return result;
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
    const TSortKeyTable keys(sortFields, m_list);
    // Ties go by identifier.  Identifiers are read once too; one not yet
    // drawn (-1) is drawn when a tie first asks for it, as before.
    const size_t count = size_t(m_list.size());
    std::vector<qint32> ids;
    ids.reserve(count);
    for (const TDataItem *item : m_list)
        ids.push_back(item->ID);
    const auto idOf = [this, &ids](int index) {
        qint32 &id = ids[size_t(index)];
        if (id == -1)
            id = m_list.at(index)->GetID();
        return id;
    };
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [this, &keys, &idOf](int x, int y) {
        if (m_list.at(x) == m_list.at(y))
            return false;
        if (const int result = keys.compare(x, y))
            return result < 0;
        return idOf(x) < idOf(y);
    });
    reorder(order);
}

void TDataRefList::reorder(const std::vector<int> &order)
{
    QList<TDataItem *> sorted;
    sorted.reserve(qsizetype(order.size()));
    for (const int index : order)
        sorted.append(m_list.at(index));
    m_list = std::move(sorted);
    ++m_revision;
}

// ---- TSortKeyTable --------------------------------------------------------

struct TSortKeyTable::TColumn {
    const TDataField *Field;
    qint32 Order;
    TDataField::TSortKeyKind Kind;
    std::vector<qint64> Integers;
    std::vector<QCollatorSortKey> Texts;
};

TSortKeyTable::TSortKeyTable(const TSortKeys &keys, const QList<TDataItem *> &items) : m_items(items)
{
    const size_t count = size_t(items.size());
    for (const TSortKey &key : keys) {
        if (!key.Field)
            continue;
        TColumn column{key.Field, key.Order, key.Field->sortKeyKind(), {}, {}};
        if (column.Kind == TDataField::TSortKeyKind::Integer) {
            column.Integers.reserve(count);
            for (const TDataItem *item : items)
                column.Integers.push_back(key.Field->integerSortKey(item));
        } else if (column.Kind == TDataField::TSortKeyKind::Text) {
            column.Texts.reserve(count);
            for (const TDataItem *item : items)
                column.Texts.push_back(sortingKey(key.Field->textSortKey(item)));
        } else if (column.Kind == TDataField::TSortKeyKind::Lookup) {
            column.Integers = lookupRanks(*key.Field, items);
            column.Kind = TDataField::TSortKeyKind::Integer;
        }
        m_columns.push_back(std::move(column));
    }
}

TSortKeyTable::~TSortKeyTable() = default;

int TSortKeyTable::compare(int x, int y) const
{
    for (const TColumn &column : m_columns) {
        int result = 0;
        switch (column.Kind) {
        case TDataField::TSortKeyKind::Integer: {
            const qint64 valueA = column.Integers[size_t(x)];
            const qint64 valueB = column.Integers[size_t(y)];
            result = valueA < valueB ? -1 : (valueA > valueB ? 1 : 0);
            break;
        }
        case TDataField::TSortKeyKind::Text:
            result = column.Texts[size_t(x)].compare(column.Texts[size_t(y)]);
            break;
        case TDataField::TSortKeyKind::Lookup: // taken as ranks
        case TDataField::TSortKeyKind::None:
            result = column.Field->Compare(m_items.at(x), m_items.at(y));
            break;
        }
        result *= column.Order;
        if (result != 0)
            return result;
    }
    return 0;
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
        Add(list.Get(i)->Clone(owner, keepIDs));
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
    TDataRefList::Clear();
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

void TDataList::FreeItem(TDataItem *item)
{
    // The list lets go of the item before it is freed.
    std::unique_ptr<TDataItem> freed = takeItem(item);
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
