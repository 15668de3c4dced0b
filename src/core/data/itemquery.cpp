#include "core/data/itemquery.h"

#include "core/data/itemfilter.h"
#include "core/data/rootitem.h"

void QueryItems(const TRootItem &root, const TItemFilter *filter, const TSortKeys &sortKeys, TDataRefList &list)
{
    if (!root.Items)
        return;
    const bool filtered = filter && filter->IsActive();
    list.SetCapacity(list.Count() + (filtered ? 0 : root.Items->Count()));
    for (TDataItem *item : *root.Items) {
        if (!filtered || filter->Matches(item))
            list.Add(item);
    }
    // Sorting without keys would order the items by identifier.
    if (!sortKeys.isEmpty())
        list.SortByFields(sortKeys);
}
