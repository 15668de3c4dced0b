#include "data/fieldrefs.h"

#include "data/datafield.h"
#include "data/fieldlists.h"
#include "settings/settingsstore.h"

#include <algorithm>

namespace {
const QString countKey = QStringLiteral("Count");
const QString fieldKey = QStringLiteral("Field");
const QString widthKey = QStringLiteral("Width");
const QString orderKey = QStringLiteral("Order");
} // namespace

// ---- references -----------------------------------------------------------

TDataFieldRef::TDataFieldRef(TDataField *field, TDataObject *owner)
    : TDataItem(owner)
    , Field(field)
{
}

std::unique_ptr<TDataItem> TDataFieldRef::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TDataFieldRef>(nullptr, owner);
}

std::unique_ptr<TDataItem> TDataFieldRef::Clone(TDataObject *owner, bool keepID) const
{
    std::unique_ptr<TDataItem> clone = CreateNew(owner);
    copyRefTo(static_cast<TDataFieldRef &>(*clone), keepID);
    return clone;
}

void TDataFieldRef::copyRefTo(TDataFieldRef &clone, bool keepID) const
{
    copyItemTo(clone, keepID);
    clone.Field = Field;
}

TSortField::TSortField(TDataField *field, qint32 order, TDataObject *owner)
    : TDataFieldRef(field, owner)
    , Order(order)
{
}

std::unique_ptr<TDataItem> TSortField::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TSortField>(nullptr, 1, owner);
}

std::unique_ptr<TDataItem> TSortField::Clone(TDataObject *owner, bool keepID) const
{
    auto clone = std::make_unique<TSortField>(nullptr, Order, owner);
    copyRefTo(*clone, keepID);
    return clone;
}

TColumnField::TColumnField(TDataField *field, qint32 width, TDataObject *owner)
    : TDataFieldRef(field, owner)
    , Width(width)
{
}

std::unique_ptr<TDataItem> TColumnField::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TColumnField>(nullptr, 0, owner);
}

std::unique_ptr<TDataItem> TColumnField::Clone(TDataObject *owner, bool keepID) const
{
    auto clone = std::make_unique<TColumnField>(nullptr, Width, owner);
    copyRefTo(*clone, keepID);
    return clone;
}

TGroupField::TGroupField(TDataField *field, TDataObject *owner)
    : TDataFieldRef(field, owner)
{
}

std::unique_ptr<TDataItem> TGroupField::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TGroupField>(nullptr, owner);
}

std::unique_ptr<TDataItem> TGroupField::Clone(TDataObject *owner, bool keepID) const
{
    auto clone = std::make_unique<TGroupField>(nullptr, owner);
    copyRefTo(*clone, keepID);
    return clone;
}

// ---- TDataFieldRefList ----------------------------------------------------

TDataFieldRefList::TDataFieldRefList(quint8 listKind, TRootItem *root)
    : TDataList(root)
    , ListKind(listKind)
{
}

TGlobalDataFieldList *TDataFieldRefList::Catalogue() const
{
    const TRootItem *root = GetRoot();
    return root ? root->Fields.get() : nullptr;
}

int TDataFieldRefList::IndexOfField(const TDataField *field) const
{
    if (!field)
        return -1;
    for (int i = 0; i < Count(); ++i) {
        if (Get(i)->Field == field)
            return i;
    }
    return -1;
}

QString TDataFieldRefList::entrySection(const QString &section, int i)
{
    return section + QLatin1Char('\\') + QString::number(i);
}

qint32 TDataFieldRefList::readCount(const TSettingsStore &store, const QString &section) const
{
    // A damaged count must not make us read (and create) millions of
    // entries.
    return std::min(store.ReadInteger(section, countKey, 0), MaxStoredEntries);
}

void TDataFieldRefList::LoadFromSettings(const TSettingsStore &store, const QString &section)
{
    loadEntries(store, section, readCount(store, section));
}

void TDataFieldRefList::loadEntries(const TSettingsStore &store, const QString &section, qint32 count)
{
    const TGlobalDataFieldList *catalogue = Catalogue();
    if (!catalogue)
        return;
    for (int i = 0; i < count; ++i) {
        const QString entry = entrySection(section, i);
        TDataField *field = catalogue->FindByID(store.ReadInteger(entry, fieldKey, FieldIds::ID));
        if (field)
            Add(loadEntry(field, store, entry));
    }
}

TDataFieldRef *TDataFieldRefList::loadEntry(TDataField *field, const TSettingsStore & /*store*/,
                                            const QString & /*entry*/)
{
    return new TDataFieldRef(field, this);
}

void TDataFieldRefList::SaveToSettings(TSettingsStore &store, const QString &section) const
{
    for (int i = 0; i < Count(); ++i) {
        const TDataFieldRef *reference = Get(i);
        const QString entry = entrySection(section, i);
        store.WriteInteger(entry, fieldKey, reference->Field ? reference->Field->ID : FieldIds::ID);
        saveEntry(*reference, store, entry);
    }
    store.WriteInteger(section, countKey, Count());
}

void TDataFieldRefList::saveEntry(const TDataFieldRef & /*reference*/, TSettingsStore & /*store*/,
                                  const QString & /*entry*/) const
{
}

// ---- sort fields ----------------------------------------------------------

TSortKeys TSortFieldRefList::SortKeys() const
{
    TSortKeys keys;
    keys.reserve(Count());
    for (int i = 0; i < Count(); ++i)
        keys.append({Get(i)->Field, Get(i)->Order});
    return keys;
}

TDataFieldRef *TSortFieldRefList::loadEntry(TDataField *field, const TSettingsStore &store,
                                            const QString &entry)
{
    return new TSortField(field, store.ReadInteger(entry, orderKey, 1), this);
}

void TSortFieldRefList::saveEntry(const TDataFieldRef &reference, TSettingsStore &store,
                                  const QString &entry) const
{
    store.WriteInteger(entry, orderKey, static_cast<const TSortField &>(reference).Order);
}

void TDataRefList::SortByFields(const TSortFieldRefList &sortFields)
{
    SortByFields(sortFields.SortKeys());
}

// ---- columns --------------------------------------------------------------

void TColumnFieldRefList::LoadFromSettings(const TSettingsStore &store, const QString &section)
{
    const qint32 count = readCount(store, section);
    // A count below 0 can only come from a damaged store: it gets the
    // defaults, as an empty one does.
    if (count <= 0)
        AddDefaultColumns();
    else
        loadEntries(store, section, count);
}

void TColumnFieldRefList::AddDefaultColumns()
{
    const TGlobalDataFieldList *catalogue = Catalogue();
    if (!catalogue || ListKind >= catalogue->DefaultColumns.size())
        return;
    for (const qint32 id : catalogue->DefaultColumns[ListKind]) {
        if (TDataField *field = catalogue->FindByID(id))
            Add(new TColumnField(field, field->DefaultWidth, this));
    }
}

TDataFieldRef *TColumnFieldRefList::loadEntry(TDataField *field, const TSettingsStore &store,
                                              const QString &entry)
{
    return new TColumnField(field, store.ReadInteger(entry, widthKey, 100), this);
}

void TColumnFieldRefList::saveEntry(const TDataFieldRef &reference, TSettingsStore &store,
                                    const QString &entry) const
{
    store.WriteInteger(entry, widthKey, static_cast<const TColumnField &>(reference).Width);
}

// ---- group fields ---------------------------------------------------------

void TGroupFieldRefList::Assign(const TGroupFieldRefList &other)
{
    AddItemsOf(other, this, false);
}

TDataFieldRef *TGroupFieldRefList::loadEntry(TDataField *field, const TSettingsStore & /*store*/,
                                             const QString & /*entry*/)
{
    return new TGroupField(field, this);
}
