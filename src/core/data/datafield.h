#pragma once

#include "core/data/dataobject.h"

#include <QList>
#include <QString>

#include <bitset>
#include <initializer_list>

class TDataFieldList;
class TLookupItem;
class TPersonLookupItem;

// List kinds: what a list shows; they select the fields offered for it.
namespace ListKind {
constexpr quint8 None = 0;
constexpr quint8 Lookups = 1;
constexpr quint8 MainItems = 2;
constexpr quint8 Files = 3;
constexpr quint8 FilesWithDetails = 4;
constexpr quint8 Playlist = 5;
constexpr int Count = 6;
} // namespace ListKind

// The set of list kinds in which a field may be chosen.
class TListKinds {
public:
    TListKinds() = default;
    TListKinds(std::initializer_list<int> kinds);
    bool contains(int kind) const { return kind >= 0 && kind < 256 && m_bits.test(size_t(kind)); }
    void insert(int kind);
    bool isEmpty() const { return m_bits.none(); }
    bool operator==(const TListKinds &other) const = default;

private:
    std::bitset<256> m_bits;
};

// A person credited in a role (the role being the field that names it).
struct TCredit {
    TPersonLookupItem *Person = nullptr;
    const TDataField *Role = nullptr;
};

// A field descriptor: one property of an item, read through the item's
// GetValueAs... getters and compared with Compare.  Its ID is fixed.
class TDataField : public TDataItem {
public:
    TDataField(TDataFieldList *owner, qint32 id, const QString &name, bool inheritable,
               qint32 defaultWidth, qint32 defaultOrder, qint32 category, const TListKinds &listKinds);

    QString Name;
    QString CustomName;
    bool Inheritable = false;
    qint32 DefaultWidth = 0;
    qint32 DefaultOrder = 1;
    TListKinds ListKinds;
    qint32 Category = -1;

    // Fields keep their fixed ID: clearing leaves it alone.
    void Clear() override;

    // Negative, zero or positive as a's value sorts before, with or after b's.
    virtual int Compare(const TDataItem *a, const TDataItem *b) const = 0;

    // A value that orders items exactly as Compare does: a number, a text
    // compared as compareForSorting compares, or a lookup item compared by
    // its sort name (nullptr as the empty text).  Sorting many items takes
    // it once per item instead of building it again for every comparison.
    // Fields ordered otherwise have no such value (None).
    enum class TSortKeyKind { None, Integer, Text, Lookup };
    virtual TSortKeyKind sortKeyKind() const { return TSortKeyKind::None; }
    virtual qint64 integerSortKey(const TDataItem * /*item*/) const { return 0; }
    virtual QString textSortKey(const TDataItem * /*item*/) const { return {}; }
    virtual const TLookupItem *lookupSortKey(const TDataItem * /*item*/) const { return nullptr; }

    // Whether the field's values are lookup items (a TLookupDataField).
    virtual bool isLookupField() const { return false; }
};

class TStringDataField : public TDataField {
public:
    TStringDataField(TDataFieldList *owner, qint32 id, const QString &name, bool inheritable,
                     qint32 defaultWidth, qint32 defaultOrder, qint32 category,
                     const TListKinds &listKinds, qint32 sortFieldID = -1);

    // When set, items are compared by the text of this other field.
    qint32 SortFieldID = -1;
    // The field with SortFieldID, looked up on first use (not owned).
    mutable const TDataField *SortField = nullptr;

    int Compare(const TDataItem *a, const TDataItem *b) const override;
    TSortKeyKind sortKeyKind() const override { return TSortKeyKind::Text; }
    QString textSortKey(const TDataItem *item) const override { return sortText(item); }

private:
    QString sortText(const TDataItem *item) const;
};

class TBooleanDataField : public TStringDataField {
public:
    using TStringDataField::TStringDataField;
};

struct TLookupColumn {
    const TDataField *Field = nullptr;
    qint32 Width = 0;
};
using TLookupColumns = QList<TLookupColumn>;

// A field whose values are lookup items: one (MaxValues 1) or several.
class TLookupDataField : public TStringDataField {
public:
    TLookupDataField(TDataFieldList *owner, qint32 id, const QString &name, bool inheritable,
                     qint32 defaultWidth, qint32 defaultOrder, qint32 category,
                     const TListKinds &listKinds, bool filterByItems, qint32 maxValues);

    bool FilterByItems = false;
    // 1 for a single value; a value of 0 or less means no limit.
    qint32 MaxValues = 1;
    // The columns of the lookup list window for this field (field and
    // width); built on first use.
    TLookupColumns Columns;

    int Compare(const TDataItem *a, const TDataItem *b) const override;
    // A single value sorts by its item; several values have no sort key.
    TSortKeyKind sortKeyKind() const override;
    const TLookupItem *lookupSortKey(const TDataItem *item) const override;
    bool isLookupField() const override { return true; }
    bool isMultiValued() const { return MaxValues > 1; }

    // Refills Columns with the column set of the field's class.
    virtual void BuildColumns();
    const TLookupColumns &GetColumns();

protected:
    struct ColumnEntry {
        qint32 FieldID;
        qint32 Width;
    };
    // Sets Columns from field IDs of the catalogue; IDs the catalogue lacks
    // are skipped.
    void setColumns(std::initializer_list<ColumnEntry> columns);
};

class TSortLookupDataField : public TLookupDataField {
public:
    using TLookupDataField::TLookupDataField;
    void BuildColumns() override;
};

class TPersonLookupDataField : public TSortLookupDataField {
public:
    using TSortLookupDataField::TSortLookupDataField;
    void BuildColumns() override;
};

// A field whose values are credits: the persons credited in this role.
class TCreditDataField : public TPersonLookupDataField {
public:
    using TPersonLookupDataField::TPersonLookupDataField;
    int Compare(const TDataItem *a, const TDataItem *b) const override;
    TSortKeyKind sortKeyKind() const override { return TSortKeyKind::None; }
};

class TIntegerDataField : public TDataField {
public:
    using TDataField::TDataField;
    int Compare(const TDataItem *a, const TDataItem *b) const override;
    TSortKeyKind sortKeyKind() const override { return TSortKeyKind::Integer; }
    qint64 integerSortKey(const TDataItem *item) const override;
};

class TDateDataField : public TDataField {
public:
    using TDataField::TDataField;
    int Compare(const TDataItem *a, const TDataItem *b) const override;
};

class TFloatDataField : public TDataField {
public:
    using TDataField::TDataField;
    int Compare(const TDataItem *a, const TDataItem *b) const override;
};

// The field's name as the user sees it: the custom name when there is one.
QString GetFieldName(const TDataField *field);
// GetFieldName without the "&" accelerator marks.
QString GetFieldDisplayName(const TDataField *field);
// Sets the custom name; the default name itself (exact case) clears it.
void SetFieldCustomName(TDataField *field, const QString &name);
