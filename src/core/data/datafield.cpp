#include "core/data/datafield.h"

#include "core/data/fieldlists.h"
#include "core/data/lookupitems.h"
#include "core/data/lookuplists.h"
#include "core/data/textcompare.h"

#include <limits>

namespace {

template<typename T>
int compareValues(T a, T b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

QString sortNameOf(const TLookupItem *item)
{
    return item ? item->GetSortName() : QString();
}

// Compares two lists of lookup values position by position; a missing
// element counts as the empty text.
template<typename ListA, typename ListB>
int compareLookupSequences(const ListA &a, const ListB &b)
{
    const qsizetype count = qMax(a.size(), b.size());
    for (qsizetype i = 0; i < count; ++i) {
        const QString textA = i < a.size() ? sortNameOf(a.at(i)) : QString();
        const QString textB = i < b.size() ? sortNameOf(b.at(i)) : QString();
        if (const int result = compareForSorting(textA, textB))
            return result;
    }
    return 0;
}

QList<const TLookupItem *> lookupValues(const TLookupItemRefList *list)
{
    QList<const TLookupItem *> values;
    if (list) {
        for (int i = 0; i < list->Count(); ++i)
            values.append(list->Get(i));
    }
    return values;
}

QList<const TLookupItem *> creditedPersons(const TCreditList *credits, const TDataField *role)
{
    QList<const TLookupItem *> persons;
    if (credits) {
        for (const TCredit &credit : *credits) {
            if (credit.Role == role)
                persons.append(credit.Person);
        }
    }
    return persons;
}

} // namespace

// ---- TListKinds -----------------------------------------------------------

TListKinds::TListKinds(std::initializer_list<int> kinds)
{
    for (int kind : kinds)
        insert(kind);
}

void TListKinds::insert(int kind)
{
    if (kind >= 0 && kind < 256)
        m_bits.set(size_t(kind));
}

// ---- TDataField -----------------------------------------------------------

TDataField::TDataField(TDataFieldList *owner, qint32 id, const QString &name, bool inheritable,
                       qint32 defaultWidth, qint32 defaultOrder, qint32 category,
                       const TListKinds &listKinds)
    : TDataItem(owner)
    , Name(name)
    , Inheritable(inheritable)
    , DefaultWidth(defaultWidth)
    , DefaultOrder(defaultOrder)
    , ListKinds(listKinds)
    , Category(category)
{
    ID = id;
}

void TDataField::Clear()
{
    // A field's ID is its fixed field number, not an identity from the
    // root's counter.
    const qint32 fieldID = ID;
    TDataItem::Clear();
    ID = fieldID;
}

// ---- TStringDataField -----------------------------------------------------

TStringDataField::TStringDataField(TDataFieldList *owner, qint32 id, const QString &name,
                                   bool inheritable, qint32 defaultWidth, qint32 defaultOrder,
                                   qint32 category, const TListKinds &listKinds, qint32 sortFieldID)
    : TDataField(owner, id, name, inheritable, defaultWidth, defaultOrder, category, listKinds)
    , SortFieldID(sortFieldID)
{
}

QString TStringDataField::sortText(const TDataItem *item) const
{
    if (SortFieldID != -1 && !SortField) {
        if (auto *catalogue = dynamic_cast<const TDataFieldList *>(Owner))
            SortField = catalogue->FindByID(SortFieldID);
    }
    if (SortField) {
        const QString text = item->GetValueAsString(SortField);
        if (!text.isEmpty())
            return text;
    }
    return item->GetValueAsString(this);
}

int TStringDataField::Compare(const TDataItem *a, const TDataItem *b) const
{
    return compareForSorting(sortText(a), sortText(b));
}

// ---- TLookupDataField -----------------------------------------------------

TLookupDataField::TLookupDataField(TDataFieldList *owner, qint32 id, const QString &name,
                                   bool inheritable, qint32 defaultWidth, qint32 defaultOrder,
                                   qint32 category, const TListKinds &listKinds, bool filterByItems,
                                   qint32 maxValues)
    : TStringDataField(owner, id, name, inheritable, defaultWidth, defaultOrder, category, listKinds)
    , FilterByItems(filterByItems)
    , MaxValues(maxValues > 0 ? maxValues : std::numeric_limits<qint32>::max())
{
}

int TLookupDataField::Compare(const TDataItem *a, const TDataItem *b) const
{
    if (!isMultiValued())
        return compareForSorting(sortNameOf(a->GetValueAsLookupItem(this, true)),
                                 sortNameOf(b->GetValueAsLookupItem(this, true)));
    return compareLookupSequences(lookupValues(a->GetValueAsLookupItemRefList(this, true)),
                                  lookupValues(b->GetValueAsLookupItemRefList(this, true)));
}

TDataField::TSortKeyKind TLookupDataField::sortKeyKind() const
{
    return isMultiValued() ? TSortKeyKind::None : TSortKeyKind::Lookup;
}

const TLookupItem *TLookupDataField::lookupSortKey(const TDataItem *item) const
{
    return item->GetValueAsLookupItem(this, true);
}

void TLookupDataField::BuildColumns()
{
    setColumns({{FieldIds::SortName, 100},
                {FieldIds::DisplayName, 100},
                {FieldIds::Used, 70},
                {FieldIds::ID, 70}});
}

const TLookupColumns &TLookupDataField::GetColumns()
{
    if (Columns.isEmpty())
        BuildColumns();
    return Columns;
}

void TLookupDataField::setColumns(std::initializer_list<ColumnEntry> columns)
{
    Columns.clear();
    const auto *catalogue = dynamic_cast<const TDataFieldList *>(Owner);
    if (!catalogue)
        return;
    for (const ColumnEntry &column : columns) {
        if (const TDataField *field = catalogue->FindByID(column.FieldID))
            Columns.append({field, column.Width});
    }
}

void TSortLookupDataField::BuildColumns()
{
    setColumns({{FieldIds::SortName, 100},
                {FieldIds::DisplayName, 100},
                {FieldIds::Name, 100},
                {FieldIds::The, 70},
                {FieldIds::Used, 70},
                {FieldIds::ID, 70}});
}

void TPersonLookupDataField::BuildColumns()
{
    setColumns({{FieldIds::SortName, 100},
                {FieldIds::DisplayName, 100},
                {FieldIds::FirstName, 70},
                {FieldIds::Name, 100},
                {FieldIds::The, 70},
                {FieldIds::Used, 70},
                {FieldIds::ID, 70}});
}

int TCreditDataField::Compare(const TDataItem *a, const TDataItem *b) const
{
    return compareLookupSequences(creditedPersons(a->GetValueAsCredits(this, true), this),
                                  creditedPersons(b->GetValueAsCredits(this, true), this));
}

// ---- numeric fields -------------------------------------------------------

int TIntegerDataField::Compare(const TDataItem *a, const TDataItem *b) const
{
    return compareValues(a->GetValueAsInteger(this), b->GetValueAsInteger(this));
}

qint64 TIntegerDataField::integerSortKey(const TDataItem *item) const
{
    return item->GetValueAsInteger(this);
}

int TDateDataField::Compare(const TDataItem *a, const TDataItem *b) const
{
    return compareValues(a->GetValueAsDate(this), b->GetValueAsDate(this));
}

int TFloatDataField::Compare(const TDataItem *a, const TDataItem *b) const
{
    return compareValues(a->GetValueAsFloat(this), b->GetValueAsFloat(this));
}

// ---- names ----------------------------------------------------------------

QString GetFieldName(const TDataField *field)
{
    return field->CustomName.isEmpty() ? field->Name : field->CustomName;
}

QString GetFieldDisplayName(const TDataField *field)
{
    return GetFieldName(field).remove(QLatin1Char('&'));
}

void SetFieldCustomName(TDataField *field, const QString &name)
{
    field->CustomName = (name == field->Name) ? QString() : name;
}
