#include "core/data/lookupmaintenance.h"

#include "core/data/datafield.h"
#include "core/data/datalists.h"
#include "core/data/lookuplists.h"
#include "core/data/rootitem.h"

#include <QSet>

namespace {

// Two spellings of a genre merged into one must not leave a track with
// "Pop; Pop": the target stays where it first occurs.
void keepFirstOf(TLookupItemRefList &values, const TLookupItem *target)
{
    bool seen = false;
    for (int i = 0; i < values.Count();) {
        if (values.Get(i) != target) {
            ++i;
        } else if (!seen) {
            seen = true;
            ++i;
        } else {
            values.Delete(i);
        }
    }
}

} // namespace

void RecountLookupUsage(TRootItem &root, const TDataField *field)
{
    qint32 noValueCount = 0;
    root.CountUsage(field, nullptr, noValueCount, false);
}

QList<TLookupItem *> RemoveUnusedLookupItems(TRootItem &root, const TDataField *field, TLookupList &list,
                                             const QList<TLookupItem *> &items,
                                             const std::function<void()> &beforeFree)
{
    RecountLookupUsage(root, field);
    QList<TLookupItem *> unused;
    QList<TLookupItem *> kept;
    QSet<const TLookupItem *> seen;
    for (TLookupItem *item : items) {
        if (!item || seen.contains(item) || list.IndexOf(item) < 0)
            continue;
        seen.insert(item);
        (item->UseCount > 0 ? kept : unused).append(item);
    }
    if (!unused.isEmpty() && beforeFree)
        beforeFree();
    for (TLookupItem *item : std::as_const(unused))
        list.FreeItem(item);
    return kept;
}

int MergeLookupItems(TRootItem &root, const TDataField *field, TLookupList &list,
                     const QList<TLookupItem *> &sources, TLookupItem *target,
                     const std::function<void()> &beforeFree)
{
    if (!target || list.IndexOf(target) < 0)
        return 0;
    QList<TLookupItem *> merged;
    for (TLookupItem *source : sources) {
        if (source && source != target && !merged.contains(source) && list.IndexOf(source) >= 0)
            merged.append(source);
    }
    if (merged.isEmpty())
        return 0;
    RecountLookupUsage(root, field);
    QList<TLookupItem *> used;
    for (TLookupItem *source : std::as_const(merged)) {
        if (source->UseCount > 0)
            used.append(source);
    }
    if (!used.isEmpty() && root.Items) {
        const auto *lookupField = dynamic_cast<const TLookupDataField *>(field);
        const bool multiValued = lookupField && lookupField->isMultiValued();
        for (TDataItem *item : *root.Items) {
            TLookupItemRefList *values = multiValued ? item->GetValueAsLookupItemRefList(field, false) : nullptr;
            const bool held = values && std::any_of(used.cbegin(), used.cend(), [values](const TLookupItem *source) {
                return values->IndexOf(source) >= 0;
            });
            for (TLookupItem *source : std::as_const(used))
                item->ReplaceLookupItem(field, source, target);
            if (held)
                keepFirstOf(*values, target);
        }
    }
    if (beforeFree)
        beforeFree();
    for (TLookupItem *source : std::as_const(merged))
        list.FreeItem(source);
    RecountLookupUsage(root, field);
    return int(merged.size());
}
