#include "core/data/dataobject.h"

#include "core/data/datafield.h"
#include "core/data/datalists.h"
#include "core/data/dataexceptions.h"
#include "core/data/datatree.h"
#include "core/data/lookupitems.h"
#include "core/data/lookuplists.h"
#include "core/data/rootitem.h"

#include <QVarLengthArray>

#include <algorithm>

// ---- TDataObject ----------------------------------------------------------

TDataObject::TDataObject(TDataObject *owner)
    : Owner(owner)
{
}

TDataObject::~TDataObject() = default;

TRootItem *TDataObject::GetRoot() const
{
    return Owner ? Owner->GetRoot() : nullptr;
}

QString TDataObject::GetDisplayName() const
{
    return QStringLiteral("-");
}

int TDataObject::GetImageIndex() const
{
    return 2;
}

int TDataObject::GetSelectedImageIndex() const
{
    return 3;
}

int TDataObject::GetLargeImageIndex() const
{
    return GetImageIndex() / 2 - 1;
}

TTreeNode *TDataObject::AddToTree(TDataTree &tree, TTreeNode *parentNode)
{
    return tree.addNode(parentNode, GetShortDisplayName(), this, GetImageIndex(),
                        GetSelectedImageIndex());
}

void TDataObject::GetItems(TDataRefList & /*destination*/)
{
}

QString TDataObject::GetShortDisplayName() const
{
    constexpr qsizetype longest = 253;
    constexpr qsizetype kept = 250;
    const QString name = GetDisplayName();
    if (name.size() <= longest)
        return name;
    return name.left(kept) + QStringLiteral("...");
}

// ---- TDataItem ------------------------------------------------------------

TDataItem::TDataItem(TDataObject *owner)
    : TDataObject(owner)
{
}

qint32 TDataItem::GetID() const
{
    if (ID == -1) {
        if (TRootItem *root = GetRoot())
            ID = root->GetNewID();
    }
    return ID;
}

QString TDataItem::GetDisplayName() const
{
    return QString::number(GetID());
}

void TDataItem::AddChildNodes(TDataTree & /*tree*/, TTreeNode * /*node*/)
{
}

void TDataItem::Clear()
{
    ID = -1;
    Index = 0;
}

std::unique_ptr<TDataItem> TDataItem::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TDataItem>(owner);
}

std::unique_ptr<TDataItem> TDataItem::Clone(TDataObject *owner, bool keepID) const
{
    std::unique_ptr<TDataItem> clone = CreateNew(owner);
    copyItemTo(*clone, keepID);
    return clone;
}

void TDataItem::copyItemTo(TDataItem &clone, bool keepID) const
{
    clone.Index = Index;
    if (keepID)
        clone.ID = GetID();
}

QString TDataItem::GetValueAsString(const TDataField *field) const
{
    switch (field->ID) {
    case FieldIds::ID:
        return QString::number(GetID());
    case FieldIds::Index:
        return QString::number(Index);
    default:
        return QString();
    }
}

qint32 TDataItem::GetValueAsInteger(const TDataField *field) const
{
    switch (field->ID) {
    case FieldIds::ID:
        return GetID();
    case FieldIds::Index:
        return Index;
    default:
        return -1;
    }
}

TLookupItem *TDataItem::GetValueAsLookupItem(const TDataField * /*field*/, bool /*inherit*/) const
{
    return nullptr;
}

const TCreditList *TDataItem::GetValueAsCredits(const TDataField * /*field*/, bool /*inherit*/) const
{
    return nullptr;
}

TLookupItemRefList *TDataItem::GetValueAsLookupItemRefList(const TDataField * /*field*/,
                                                           bool /*inherit*/) const
{
    return nullptr;
}

double TDataItem::GetValueAsDate(const TDataField * /*field*/) const
{
    return -1.0;
}

double TDataItem::GetValueAsFloat(const TDataField * /*field*/) const
{
    return -1.0;
}

quint8 TDataItem::GetValueAsBoolean(const TDataField * /*field*/) const
{
    return BoolValue::NotApplicable;
}

void TDataItem::SetValueAsLookupItem(const TDataField *field, TLookupItem * /*item*/,
                                     qint32 /*mode*/, TLookupItem * /*oldItem*/)
{
    // The message keeps its historical spelling (no blank before "in").
    throw EData(QStringLiteral("Invalid field \"%1\"in setValueAsLookupItem")
                    .arg(GetFieldDisplayName(field)));
}

bool TDataItem::HasLookupItem(const TDataField *field, const TLookupItem *item) const
{
    return GetValueAsLookupItem(field, true) == item;
}

void TDataItem::ReplaceLookupItem(const TDataField *field, TLookupItem *oldItem, TLookupItem *newItem)
{
    if (!field->isLookupField())
        return;
    if (static_cast<const TLookupDataField *>(field)->isMultiValued()) {
        TLookupItemRefList *values = GetValueAsLookupItemRefList(field, false);
        if (!values)
            return;
        for (int i = 0; i < values->Count(); ++i) {
            if (values->Get(i) == oldItem)
                values->Put(i, newItem);
        }
        return;
    }
    if (GetValueAsLookupItem(field, false) == oldItem)
        SetValueAsLookupItem(field, newItem, LookupSetMode::Replace, oldItem);
}

void TDataItem::CountLookupUsage(const TDataField *field, qint32 &noValueCount, bool inherit) const
{
    // Every value of a multi-valued field counts, not only the first: a value
    // whose count is 0 may be freed, so a value used only in second place
    // must not look unused.
    if (field->isLookupField() && static_cast<const TLookupDataField *>(field)->isMultiValued()) {
        const TLookupItemRefList *values = GetValueAsLookupItemRefList(field, inherit);
        // An item holds a few values: a search of those counted so far costs
        // less than a hash set made for every item.
        QVarLengthArray<const TLookupItem *, 8> counted;
        if (values) {
            for (TDataItem *value : *values) {
                auto *lookup = static_cast<TLookupItem *>(value);
                if (lookup && std::find(counted.cbegin(), counted.cend(), lookup) == counted.cend()) {
                    counted.append(lookup);
                    ++lookup->UseCount;
                }
            }
        }
        if (counted.isEmpty())
            ++noValueCount;
        return;
    }
    if (TLookupItem *value = GetValueAsLookupItem(field, inherit))
        ++value->UseCount;
    else
        ++noValueCount;
}

bool TDataItem::IsSameItem(const TDataItem * /*item*/) const
{
    return false;
}

bool TDataItem::IsEqual(const TDataItem *item) const
{
    return item && item->Index == Index;
}

void TDataItem::ApplyDefaults()
{
}

const TDataItem *TDataItem::inheritanceSource(const TDataField *field) const
{
    if (!field->Inheritable)
        return nullptr;
    return dynamic_cast<const TDataItem *>(Owner);
}

QString TDataItem::GetInheritedString(const TDataField *field, const QString &value) const
{
    if (!value.isEmpty())
        return value;
    const TDataItem *source = inheritanceSource(field);
    return source ? source->GetValueAsString(field) : value;
}

qint32 TDataItem::GetInheritedInteger(const TDataField *field, qint32 value) const
{
    if (value != -1)
        return value;
    const TDataItem *source = inheritanceSource(field);
    return source ? source->GetValueAsInteger(field) : value;
}

TLookupItem *TDataItem::GetInheritedLookupItem(const TDataField *field, TLookupItem *value) const
{
    if (value)
        return value;
    const TDataItem *source = inheritanceSource(field);
    return source ? source->GetValueAsLookupItem(field, true) : value;
}

TLookupItemRefList *TDataItem::GetInheritedLookupItemRefList(const TDataField *field,
                                                             TLookupItemRefList *value) const
{
    if (value)
        return value;
    const TDataItem *source = inheritanceSource(field);
    return source ? source->GetValueAsLookupItemRefList(field, true) : value;
}
