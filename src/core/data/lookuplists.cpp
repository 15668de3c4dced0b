#include "core/data/lookuplists.h"

#include "core/data/dataexceptions.h"
#include "core/data/fieldlists.h"
#include "core/data/rootitem.h"
#include "core/data/textcompare.h"

#include <algorithm>
#include <vector>

namespace {

int compareIDs(const TDataItem *a, const TDataItem *b)
{
    const qint32 idA = a->GetID();
    const qint32 idB = b->GetID();
    return idA < idB ? -1 : (idA > idB ? 1 : 0);
}


} // namespace

// ---- TLookupList ----------------------------------------------------------

TLookupList::TLookupList(TRootItem *root, bool addDefaults, qint32 fieldID)
    : TDataList(root)
    , FieldID(fieldID)
{
    if (addDefaults)
        AddDefaults();
}

TLookupList::~TLookupList() = default;

TDataItem *TLookupList::CreateItem()
{
    return Add(std::make_unique<TLookupItem>(this));
}

void TLookupList::AddDefaults()
{
}

TLookupItem *TLookupList::AddNew(const QString &name)
{
    if (name.isEmpty())
        return nullptr;
    const bool wasSorted = isKnownSorted();
    const bool wasIndexed = m_indexRevision == revision();
    auto *item = static_cast<TLookupItem *>(CreateItem());
    item->DisplayName = name;
    if (wasSorted)
        insertSorted(item);
    else
        sortBySortName();
    m_sortedRevision = revision();
    if (wasIndexed) {
        indexItem(item);
        m_indexRevision = revision();
    }
    return item;
}

void TLookupList::ItemChanged(TLookupItem *item)
{
    if (!item)
        return;
    if (IndexOf(item) < 0)
        throw EData(QStringLiteral("TLookupList.ItemChanged : item not found in list"));
    // Sorting moves the revision on, so the name index is rebuilt on its
    // next use with the item's new names.
    sortBySortName();
}

void TLookupList::sortBySortName()
{
    // By sort name, ties by identifier.  Each name's collation key is made
    // once: comparing keys costs a fraction of comparing the names.
    std::vector<std::pair<QCollatorSortKey, TDataItem *>> keyed;
    keyed.reserve(size_t(Count()));
    for (TDataItem *item : *this)
        keyed.emplace_back(sortingKey(static_cast<TLookupItem *>(item)->GetSortName()), item);
    std::sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
        if (a.second == b.second)
            return false;
        const int result = a.first.compare(b.first);
        return (result != 0 ? result : compareIDs(a.second, b.second)) < 0;
    });
    for (int i = 0; i < int(keyed.size()); ++i)
        put(i, keyed[size_t(i)].second);
    m_sortedRevision = revision();
}

void TLookupList::insertSorted(TLookupItem *item)
{
    // item was just appended; the items before it are in order.
    const QString name = item->GetSortName();
    int low = 0;
    int high = Count() - 1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const TLookupItem *other = Get(middle);
        int result = compareForSorting(name, other->GetSortName());
        if (result == 0) {
            // A tie goes by identifier; the value already listed draws its
            // identifier first, so the newcomer follows it.
            other->GetID();
            result = compareIDs(item, other);
        }
        if (result < 0)
            high = middle;
        else
            low = middle + 1;
    }
    if (low != Count() - 1)
        move(Count() - 1, low);
}

void TLookupList::indexItem(TLookupItem *item) const
{
    const QString displayKey = foldAsciiCase(item->DisplayName);
    const QString sortKey = foldAsciiCase(item->GetSortName());
    m_nameIndex[displayKey].append(item);
    if (sortKey != displayKey)
        m_nameIndex[sortKey].append(item);
}

void TLookupList::rebuildIndexIfStale() const
{
    if (m_indexRevision == revision())
        return;
    m_nameIndex.clear();
    m_nameIndex.reserve(Count() * 2);
    for (TDataItem *item : *this)
        indexItem(static_cast<TLookupItem *>(item));
    m_indexRevision = revision();
}

TLookupItem *TLookupList::FindByName(const QString &name) const
{
    if (name.isEmpty())
        return nullptr;
    rebuildIndexIfStale();
    const auto candidates = m_nameIndex.constFind(foldAsciiCase(name));
    if (candidates == m_nameIndex.cend())
        return nullptr;
    // Several values may carry the name: the first in list order wins.
    TLookupItem *found = nullptr;
    int foundPosition = -1;
    for (TLookupItem *item : *candidates) {
        // Names changed without ItemChanged leave stale entries: verify.
        if (!equalsAsciiNoCase(item->DisplayName, name) && !equalsAsciiNoCase(item->GetSortName(), name))
            continue;
        if (candidates->size() == 1)
            return item;
        const int position = IndexOf(item);
        if (position >= 0 && (!found || position < foundPosition)) {
            found = item;
            foundPosition = position;
        }
    }
    return found;
}

TLookupItem *TLookupList::FindOrAdd(const QString &name)
{
    if (name.isEmpty())
        return nullptr;
    if (TLookupItem *item = FindByName(name))
        return item;
    return AddNew(name);
}

void TLookupList::FillStrings(TLookupEntries &strings)
{
    sortBySortName();
    strings.clear();
    strings.reserve(Count());
    const QString twoNames = QStringLiteral("%1 (%2)");
    for (int i = 0; i < Count(); ++i) {
        TLookupItem *item = Get(i);
        const QString text = item->GetDisplayName();
        if (i > 0) {
            TLookupItem *previous = Get(i - 1);
            if (text == previous->GetDisplayName()) {
                strings.append({twoNames.arg(text, item->DisplayName), item});
                strings[i - 1].Text = twoNames.arg(previous->GetDisplayName(), previous->DisplayName);
                continue;
            }
        }
        strings.append({text, item});
    }
}

void TLookupList::MergeFrom(TLookupList &otherList, TRootItem &otherRoot)
{
    const TDataField *field = otherRoot.Fields ? otherRoot.Fields->FindByID(otherList.FieldID) : nullptr;
    int i = 0;
    while (i < otherList.Count()) {
        TLookupItem *incoming = otherList.Get(i);
        if (TLookupItem *existing = FindByName(incoming->GetSortName())) {
            if (field && otherRoot.Items) {
                for (TDataItem *item : *otherRoot.Items)
                    item->ReplaceLookupItem(field, incoming, existing);
            }
            ++i;
            continue;
        }
        // Taken over as it is (unsorted); it draws a fresh identifier here.
        const bool wasIndexed = m_indexRevision == revision();
        incoming->ID = -1;
        Add(incoming);
        incoming->Owner = this;
        otherList.Delete(i);
        if (wasIndexed) {
            indexItem(incoming);
            m_indexRevision = revision();
        }
    }
}

void TLookupList::ResetToDefaults()
{
    FreeAll();
    AddDefaults();
}

TDataItem *TSortLookupList::CreateItem()
{
    return Add(std::make_unique<TSortLookupItem>(this));
}

TDataItem *TPersonLookupList::CreateItem()
{
    return Add(std::make_unique<TPersonLookupItem>(this));
}

TYearLookupList::TYearLookupList(TRootItem *root, bool addDefaults, qint32 fieldID)
    : TLookupList(root, false, fieldID)
{
    if (addDefaults)
        AddDefaults();
}

void TYearLookupList::AddDefaults()
{
    for (int year = 1950; year <= 2005; ++year)
        AddNew(QString::number(year));
}

// ---- TLookupItemRefList ---------------------------------------------------

TLookupItemRefList::TLookupItemRefList(TDataItem *owner, qint32 fieldID)
    : TDataRefList(owner)
    , FieldID(fieldID)
{
}

int TLookupItemRefList::Add(TDataItem *item)
{
    if (!item)
        return -1;
    TDataRefList::Add(item);
    return 0;
}

TLookupItem *TLookupItemRefList::First() const
{
    return isEmpty() ? nullptr : Get(0);
}

void TLookupItemRefList::Put(int index, TLookupItem *item)
{
    put(index, item);
}

bool TLookupItemRefList::IsEqual(const TLookupItemRefList &list) const
{
    if (list.Count() != Count())
        return false;
    for (int i = 0; i < Count(); ++i) {
        if (list.Get(i) != Get(i))
            return false;
    }
    return true;
}

bool TLookupItemRefList::ContainsOrEmpty(const TLookupItem *item) const
{
    return item ? IndexOf(item) >= 0 : isEmpty();
}

void TLookupItemRefList::SetLookupItem(TLookupItem *item, TLookupItem *oldItem, qint32 mode)
{
    switch (mode) {
    case LookupSetMode::Append:
        Add(item);
        break;
    case LookupSetMode::Replace:
        if (oldItem)
            Remove(oldItem);
        if (item)
            Add(item);
        else
            Clear();
        break;
    case LookupSetMode::Empty:
        Clear();
        break;
    default:
        break;
    }
}

QString TLookupItemRefList::GetText() const
{
    QStringList names;
    names.reserve(Count());
    for (int i = 0; i < Count(); ++i)
        names.append(GetLookupDisplayName(Get(i)));
    return names.join(QStringLiteral("; "));
}
