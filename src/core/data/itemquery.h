#pragma once

#include "core/data/datalists.h"

class TItemFilter;
class TRootItem;

// The items of a collection as a list or table shows them: those the filter
// accepts (every item when there is no filter or it is not active), sorted
// by the keys, or in the collection's order when there are none.  They are
// added to the end of list.
void QueryItems(const TRootItem &root, const TItemFilter *filter, const TSortKeys &sortKeys, TDataRefList &list);
