#pragma once

#include "core/data/datalists.h"
#include "core/data/lookupitems.h"

#include <QHash>
#include <QList>
#include <QString>

class TRootItem;

// One entry of a choice list filled by FillStrings: the text shown and the
// lookup item it stands for.
struct TLookupEntry {
    QString Text;
    TLookupItem *Item = nullptr;
    bool operator==(const TLookupEntry &other) const = default;
};
using TLookupEntries = QList<TLookupEntry>;

// The owning list of one lookup field's values, kept in order of their sort
// names (ties by identifier).  Names are found through an index of their
// case-folded display and sort names, so adding many values stays fast.
//
// Whoever changes an item's names must call ItemChanged, which re-sorts the
// list and refreshes the index.
class TLookupList : public TDataList {
public:
    // A descendant with default entries calls AddDefaults in its own
    // constructor (the base constructor cannot reach the override).
    TLookupList(TRootItem *root, bool addDefaults, qint32 fieldID);
    ~TLookupList() override;

    qint32 FieldID = -1;

    TDataItem *CreateItem() override;
    virtual void AddDefaults();
    // Adds a value named name at its place in the order; nullptr for an
    // empty name.
    virtual TLookupItem *AddNew(const QString &name);
    // Re-sorts after item's names changed; EData when item is not in the
    // list.
    virtual void ItemChanged(TLookupItem *item);

    TLookupItem *Get(int index) const { return static_cast<TLookupItem *>(TDataRefList::Get(index)); }
    // The first value whose display name or sort name equals name, ignoring
    // the case of A to Z; nullptr for an empty name or none found.
    TLookupItem *FindByName(const QString &name) const;
    TLookupItem *FindOrAdd(const QString &name);
    // Sorts the list and fills entries with the texts to show, telling apart
    // neighbours that would look the same.
    void FillStrings(TLookupEntries &strings);
    // Takes over the values of otherList that this list lacks (matched by
    // sort name); otherRoot's main items that refer to a matched value are
    // pointed at this list's value instead.
    void MergeFrom(TLookupList &otherList, TRootItem &otherRoot);
    // Frees every value, then adds the default entries again.
    void ResetToDefaults();

    // Sorts by sort name, ties by identifier (what AddNew maintains).
    void sortBySortName();

private:
    bool isKnownSorted() const { return m_sortedRevision == revision(); }
    void insertSorted(TLookupItem *item);
    void indexItem(TLookupItem *item) const;
    void rebuildIndexIfStale() const;

    quint64 m_sortedRevision = ~quint64(0);
    mutable quint64 m_indexRevision = ~quint64(0);
    mutable QHash<QString, QList<TLookupItem *>> m_nameIndex;
};

class TSortLookupList : public TLookupList {
public:
    using TLookupList::TLookupList;
    TDataItem *CreateItem() override;
};

class TPersonLookupList : public TLookupList {
public:
    using TLookupList::TLookupList;
    TDataItem *CreateItem() override;
};

// Starts with the years 1950 to 2005.
class TYearLookupList : public TLookupList {
public:
    TYearLookupList(TRootItem *root, bool addDefaults, qint32 fieldID);
    void AddDefaults() override;
};

// The lookup values one item holds for a multi-valued field (not owned).
class TLookupItemRefList : public TDataRefList {
public:
    TLookupItemRefList(TDataItem *owner, qint32 fieldID);

    qint32 FieldID = -1;

    void ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) override;
    void WriteToStream(TDataWriter &writer) override;

    // A null item is not added (-1); otherwise appends and yields 0.
    int Add(TDataItem *item) override;

    TLookupItem *First() const;
    TLookupItem *Get(int index) const { return static_cast<TLookupItem *>(TDataRefList::Get(index)); }
    void Put(int index, TLookupItem *item);
    // Same count and the same objects at every position.
    bool IsEqual(const TLookupItemRefList &list) const;
    // For a null item: whether the list is empty; else whether it holds item.
    bool ContainsOrEmpty(const TLookupItem *item) const;
    // Mode 0 appends item; 1 replaces oldItem by item (empties the list when
    // item is null); 2 empties the list; other modes do nothing.
    void SetLookupItem(TLookupItem *item, TLookupItem *oldItem, qint32 mode);
    // The display names joined by "; ".
    QString GetText() const;
};
