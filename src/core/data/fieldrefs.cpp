#include "core/data/fieldrefs.h"

#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/base/settingsstore.h"

#include <algorithm>
#include <functional>

namespace {

const QString countKey = QStringLiteral("Count");
const QString fieldKey = QStringLiteral("Field");
const QString widthKey = QStringLiteral("Width");
const QString orderKey = QStringLiteral("Order");

// Makes the reference of a stored entry whose field the catalogue holds.
using EntryReader = std::function<std::unique_ptr<TDataFieldRef>(const TDataField *field, const QString &entry)>;
// Writes what a reference adds beyond "Field".
using EntryWriter = std::function<void(const TDataFieldRef &reference, const QString &entry)>;

qint32 storedCount(const TSettingsStore &store, const QString &section)
{
    // A damaged count must not make us read (and create) millions of
    // entries.
    return std::min(store.ReadInteger(section, countKey, 0), MaxStoredFieldRefs);
}

void loadEntries(TDataFieldRefList &list, const TSettingsStore &store, const QString &section,
                 qint32 count, const EntryReader &read)
{
    const TGlobalDataFieldList *catalogue = list.catalogue();
    if (!catalogue)
        return;
    for (int i = 0; i < count; ++i) {
        const QString entry = TDataFieldRefList::entrySection(section, i);
        if (const TDataField *field = catalogue->FindByID(store.ReadInteger(entry, fieldKey, FieldIds::ID)))
            list.Add(read(field, entry));
    }
}

void saveEntries(const TDataFieldRefList &list, TSettingsStore &store, const QString &section,
                 const EntryWriter &write)
{
    for (int i = 0; i < list.Count(); ++i) {
        const TDataFieldRef *reference = list.Get(i);
        const QString entry = TDataFieldRefList::entrySection(section, i);
        store.WriteInteger(entry, fieldKey, reference->Field ? reference->Field->ID : FieldIds::ID);
        if (write)
            write(*reference, entry);
    }
    store.WriteInteger(section, countKey, list.Count());
}

} // namespace

// ---- references -----------------------------------------------------------

TSortField::TSortField(const TDataField *field, qint32 order, TDataObject *owner)
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
    std::unique_ptr<TDataItem> clone = TDataFieldRef::Clone(owner, keepID);
    static_cast<TSortField &>(*clone).Order = Order;
    return clone;
}

TColumnField::TColumnField(const TDataField *field, qint32 width, TDataObject *owner)
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
    std::unique_ptr<TDataItem> clone = TDataFieldRef::Clone(owner, keepID);
    static_cast<TColumnField &>(*clone).Width = Width;
    return clone;
}

TGroupField::TGroupField(const TDataField *field, TDataObject *owner)
    : TDataFieldRef(field, owner)
{
}

std::unique_ptr<TDataItem> TGroupField::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TGroupField>(nullptr, owner);
}

std::unique_ptr<TDataItem> TGroupField::Clone(TDataObject *owner, bool keepID) const
{
    return TDataFieldRef::Clone(owner, keepID);
}

// ---- sort fields ----------------------------------------------------------

TSortKeys TSortFieldRefList::sortKeys() const
{
    TSortKeys keys;
    keys.reserve(Count());
    for (int i = 0; i < Count(); ++i)
        keys.append({Get(i)->Field, Get(i)->Order});
    return keys;
}

void TSortFieldRefList::LoadFromSettings(const TSettingsStore &store, const QString &section)
{
    loadEntries(*this, store, section, storedCount(store, section),
                [this, &store](const TDataField *field, const QString &entry) {
                    return std::make_unique<TSortField>(field, store.ReadInteger(entry, orderKey, 1), this);
                });
}

void TSortFieldRefList::SaveToSettings(TSettingsStore &store, const QString &section) const
{
    saveEntries(*this, store, section, [&store](const TDataFieldRef &reference, const QString &entry) {
        store.WriteInteger(entry, orderKey, static_cast<const TSortField &>(reference).Order);
    });
}

void TDataRefList::SortByFields(const TSortFieldRefList &sortFields)
{
    SortByFields(sortFields.sortKeys());
}

// ---- columns --------------------------------------------------------------

void TColumnFieldRefList::LoadFromSettings(const TSettingsStore &store, const QString &section)
{
    const qint32 count = storedCount(store, section);
    // A count below 0 can only come from a damaged store: it gets the
    // defaults, as an empty one does.
    if (count <= 0) {
        addDefaultColumns();
        return;
    }
    loadEntries(*this, store, section, count, [this, &store](const TDataField *field, const QString &entry) {
        return std::make_unique<TColumnField>(field, store.ReadInteger(entry, widthKey, 100), this);
    });
}

void TColumnFieldRefList::SaveToSettings(TSettingsStore &store, const QString &section) const
{
    saveEntries(*this, store, section, [&store](const TDataFieldRef &reference, const QString &entry) {
        store.WriteInteger(entry, widthKey, static_cast<const TColumnField &>(reference).Width);
    });
}

void TColumnFieldRefList::addDefaultColumns()
{
    const TGlobalDataFieldList *fields = catalogue();
    if (!fields || ListKind >= fields->DefaultColumns.size())
        return;
    for (const qint32 id : fields->DefaultColumns[ListKind]) {
        if (const TDataField *field = fields->FindByID(id))
            Add(std::make_unique<TColumnField>(field, field->DefaultWidth, this));
    }
}

// ---- group fields ---------------------------------------------------------

void TGroupFieldRefList::Assign(const TGroupFieldRefList &other)
{
    AddItemsOf(other, this, false);
}

void TGroupFieldRefList::LoadFromSettings(const TSettingsStore &store, const QString &section)
{
    loadEntries(*this, store, section, storedCount(store, section),
                [this](const TDataField *field, const QString &) {
                    return std::make_unique<TGroupField>(field, this);
                });
}

void TGroupFieldRefList::SaveToSettings(TSettingsStore &store, const QString &section) const
{
    saveEntries(*this, store, section, nullptr);
}
