#include "core/data/fieldlists.h"

#include "core/base/settingsstore.h"

#include <QHash>

namespace {
const QString fieldNamesSection = QStringLiteral("FieldNames\\");
} // namespace

// ---- TDataFieldList -------------------------------------------------------

TDataFieldList::TDataFieldList(TDataObject *owner)
    : TDataList(owner)
{
}

TDataField *TDataFieldList::FindByID(qint32 id) const
{
    if (id == -1)
        return nullptr;
    for (TDataItem *item : *this) {
        if (item->ID == id)
            return static_cast<TDataField *>(item);
    }
    return nullptr;
}

// ---- TGlobalDataFieldList -------------------------------------------------

TGlobalDataFieldList::TGlobalDataFieldList(TDataObject *owner, bool createFields)
    : TDataFieldList(owner)
{
    if (createFields)
        TGlobalDataFieldList::CreateFields();
}

qint32 TGlobalDataFieldList::addCategory(const QString &name)
{
    Categories.append(name);
    return qint32(Categories.size()) - 1;
}

void TGlobalDataFieldList::CreateFields()
{
    const qint32 idCategory = addCategory(QStringLiteral("ID"));
    addCategory(QStringLiteral("Main"));

    const TListKinds mainItems{ListKind::MainItems};
    const TListKinds lookups{ListKind::Lookups};
    using Integer = TIntegerDataField;
    using String = TStringDataField;
    Add(std::make_unique<Integer>(this, FieldIds::ID, QStringLiteral("ID"), false, 20, 1, idCategory, mainItems));
    Add(std::make_unique<Integer>(this, FieldIds::Index, QStringLiteral("Index"), false, 20, 1, idCategory,
                                  mainItems));
    Add(std::make_unique<Integer>(this, FieldIds::Used, QStringLiteral("Used"), false, 20, 1, -1, lookups));
    Add(std::make_unique<String>(this, FieldIds::DisplayName, QStringLiteral("Display Name"), false, 100, 1, -1,
                                 lookups));
    Add(std::make_unique<String>(this, FieldIds::Name, QStringLiteral("Name"), false, 100, 1, -1, lookups));
    Add(std::make_unique<String>(this, FieldIds::FirstName, QStringLiteral("First Name"), false, 100, 1, -1,
                                 lookups));
    Add(std::make_unique<String>(this, FieldIds::The, QStringLiteral("The"), false, 100, 1, -1, lookups));
    Add(std::make_unique<String>(this, FieldIds::SortName, QStringLiteral("Sort Name"), false, 100, 1, -1,
                                 lookups));
}

void TGlobalDataFieldList::LoadFieldNames(const TSettingsStore &store)
{
    for (int i = 0; i < Count(); ++i) {
        TDataField *field = Get(i);
        field->CustomName = store.ReadString(fieldNamesSection, field->Name);
    }
}

void TGlobalDataFieldList::SaveFieldNames(TSettingsStore &store) const
{
    // Fields of the same default name share one value.  The custom name
    // written last wins, but a twin without a custom name must not delete
    // the name its sibling carries.
    QStringList names;
    QHash<QString, QString> customNames;
    for (int i = 0; i < Count(); ++i) {
        const TDataField *field = Get(i);
        if (!customNames.contains(field->Name)) {
            names.append(field->Name);
            customNames.insert(field->Name, QString());
        }
        if (!field->CustomName.isEmpty())
            customNames[field->Name] = field->CustomName;
    }
    for (const QString &name : std::as_const(names)) {
        const QString customName = customNames.value(name);
        if (!customName.isEmpty())
            store.WriteString(fieldNamesSection, name, customName);
        else
            store.DeleteValue(fieldNamesSection, name);
    }
}
