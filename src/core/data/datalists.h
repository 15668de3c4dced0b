#pragma once

#include "core/data/dataobject.h"

#include <QList>

#include <functional>
#include <memory>
#include <vector>

class TDataField;
class TSortFieldRefList;

// One key of a sort over several fields: the field and its direction (1
// ascending, -1 descending).  Sort field lists hand their keys over as these.
struct TSortKey {
    const TDataField *Field = nullptr;
    qint32 Order = 1;
};
using TSortKeys = QList<TSortKey>;

// Every item's value of each sort key, taken once before a sort: asking
// the fields in every comparison would build the same texts (a person's
// sort name, a file's merged title) some twenty times per item.  Compares
// items by their positions in the list the table was made from, exactly
// as the keys' fields compare them, directions applied.
class TSortKeyTable {
public:
    TSortKeyTable(const TSortKeys &keys, const QList<TDataItem *> &items);
    ~TSortKeyTable();
    TSortKeyTable(const TSortKeyTable &) = delete;
    TSortKeyTable &operator=(const TSortKeyTable &) = delete;

    // Negative, zero or positive as the item at x sorts before, with or
    // after the one at y.
    int compare(int x, int y) const;

private:
    struct TColumn;
    const QList<TDataItem *> &m_items;
    std::vector<TColumn> m_columns;
};

// An ordered list of items that refers to them without owning them.
class TDataRefList : public TDataObject {
public:
    explicit TDataRefList(TDataObject *owner = nullptr);
    ~TDataRefList() override;

    void ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) override;
    void WriteToStream(TDataWriter &writer) override;
    void AddChildNodes(TDataTree &tree, TTreeNode *node) override;
    void GetItems(TDataRefList &destination) override;

    virtual void AddItemsOf(const TDataRefList &list);
    // Sorts by the keys in turn; items equal on all keys are ordered by
    // ascending identifier whatever the directions.
    virtual void SortByFields(const TSortKeys &sortFields);
    // The same with the keys of a sort field list.
    void SortByFields(const TSortFieldRefList &sortFields);
    // Sorts by one field; ties are ordered by identifier in the same
    // direction.
    virtual void SortByField(const TDataField *field, qint32 direction);
    // Appends and returns the new position.
    virtual int Add(TDataItem *item);
    // Inserts item where beforeItem is and returns that position; -1 and no
    // change when beforeItem is not in the list.
    virtual int InsertBefore(TDataItem *item, TDataItem *beforeItem);
    // Removes the first reference to item without freeing it; its former
    // position, or -1.
    virtual int Remove(TDataItem *item);

    int Count() const { return int(m_list.size()); }
    bool isEmpty() const { return m_list.isEmpty(); }
    TDataItem *Get(int index) const { return m_list.at(index); }
    int IndexOf(const TDataItem *item) const;
    // Removes the reference at index without freeing the item.
    void Delete(int index);
    void Exchange(int index1, int index2);
    // Removes every reference without freeing the items.
    void Clear();
    void SetCapacity(int capacity);
    bool ContainsSameItem(const TDataItem *item) const;

    QList<TDataItem *>::const_iterator begin() const { return m_list.cbegin(); }
    QList<TDataItem *>::const_iterator end() const { return m_list.cend(); }

protected:
    // Grows with every change of the sequence; lets descendants tell whether
    // what they derived from it (an index, a known order) is still current.
    quint64 revision() const { return m_revision; }
    // Moves the item at position from to position to.
    void move(int from, int to);
    // Replaces the reference at index.
    void put(int index, TDataItem *item);
    void sortWith(const std::function<bool(const TDataItem *, const TDataItem *)> &lessThan);
    const QList<TDataItem *> &items() const { return m_list; }
    // Puts the items in the order of their former positions in order (a
    // permutation of 0 .. Count-1).
    void reorder(const std::vector<int> &order);

private:
    QList<TDataItem *> m_list;
    quint64 m_revision = 0;
};

// A list that owns its items: destroying the list (or FreeAll) frees them.
// Remove and Delete hand an item back to the caller without freeing it.
class TDataList : public TDataRefList {
public:
    explicit TDataList(TDataObject *owner = nullptr);
    ~TDataList() override;

    // Appends clones of the items of list, owned by this list.
    void AddItemsOf(const TDataRefList &list) override;
    // Appends clones of the items of list, made with the given owner.
    void AddItemsOf(const TDataRefList &list, TDataObject *owner, bool keepIDs);
    // Creates an item of the list's item class owned by the list, appends and
    // returns it; nullptr for lists whose items are made elsewhere.
    virtual TDataItem *CreateItem();
    // Reads the list's elements, each made with CreateItem; an element whose
    // record is cut short is dropped before the error is passed on.
    void ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) override;

    // Appends item, which the list owns from now on, and returns it.
    template<typename Item>
    Item *Add(std::unique_ptr<Item> item)
    {
        Item *added = item.get();
        TDataRefList::Add(item.release());
        return added;
    }

    void FreeAll();
    // Emptying an owning list without freeing its items would leak them:
    // FreeAll frees them, FreeItem frees one, takeItem hands one over.
    void Clear() = delete;
    // The first item whose identifier is id; nullptr for -1.
    TDataItem *FindByID(qint32 id) const;
    // Removes item from the list and hands its ownership to the caller;
    // nullptr when it is not in the list.  Dropping the result frees the
    // item: FreeItem says so.
    [[nodiscard]] std::unique_ptr<TDataItem> takeItem(TDataItem *item);
    // Removes item from the list and frees it; nothing when it is not in
    // the list.
    void FreeItem(TDataItem *item);

protected:
    // A bare pointer says nothing of who owns the item: from outside, the
    // list takes its items as std::unique_ptr.  Lists that make their own
    // items append them this way.
    using TDataRefList::Add;
};

// The list of a collection's main items.
class TMainDataList : public TDataList {
public:
    explicit TMainDataList(TDataObject *owner = nullptr);

    // Inserting numbers the item first (AssignNextIndex); Add does not.
    int InsertBefore(TDataItem *item, TDataItem *beforeItem) override;

    // With AutoIncrementIndex on, the item's Index becomes the root's
    // NextIndex (the counter itself does not move).
    void AssignNextIndex(TDataItem *item) const;
};
