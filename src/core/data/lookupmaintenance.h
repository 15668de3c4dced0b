#pragma once

#include <QList>

#include <functional>

class TDataField;
class TLookupItem;
class TLookupList;
class TRootItem;

// Upkeep of one lookup field's values: counting their use, removing the
// unused ones and merging several into one.  Both changes free values, so
// the caller's views are told first (beforeFree), and both count the use
// again just before deciding, so a count shown a while ago cannot let a
// value in use be freed.

// Sets the UseCount of every value of the field's list to the number of
// main items that use it (own values only, as the items hold them).
void RecountLookupUsage(TRootItem &root, const TDataField *field);

// Frees those of items that no main item uses; values of other lists are
// passed over.  beforeFree runs once, before the first value is freed.
// Returns the values kept because they are in use, in the order given (their
// UseCount says by how many items).
QList<TLookupItem *> RemoveUnusedLookupItems(TRootItem &root, const TDataField *field, TLookupList &list,
                                             const QList<TLookupItem *> &items,
                                             const std::function<void()> &beforeFree = {});

// Makes every main item that uses one of sources use target instead (a
// multi-valued field then holds target once), then frees the sources.
// Sources that are not values of list, repeated, or the target itself are
// passed over; nothing happens without a target in list.  beforeFree runs
// once, before anything is freed.  Returns the number of sources merged;
// the UseCount of the list's values is current afterwards.
int MergeLookupItems(TRootItem &root, const TDataField *field, TLookupList &list,
                     const QList<TLookupItem *> &sources, TLookupItem *target,
                     const std::function<void()> &beforeFree = {});
