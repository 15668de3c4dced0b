#include "core/data/filterfieldlist.h"

#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/base/settingsstore.h"

#include <QStringList>

#include <algorithm>

namespace {

const QString fieldName = QStringLiteral("Field");
const QString countName = QStringLiteral("Count");

// The condition class a stored entry on field is read as, chosen by the
// field's kind.
std::unique_ptr<TFilterField> conditionFor(const TDataField *field, TDataObject *owner)
{
    if (dynamic_cast<const TIntegerDataField *>(field))
        return std::make_unique<TIntegerFilterField>(field, 0, 0, owner);
    if (dynamic_cast<const TDateDataField *>(field))
        return std::make_unique<TDateFilterField>(field, -1.0, -1.0, owner);
    if (dynamic_cast<const TFloatDataField *>(field))
        return std::make_unique<TFloatFilterField>(field, -1.0, -1.0, owner);
    if (dynamic_cast<const TBooleanDataField *>(field))
        return std::make_unique<TBoolFilterField>(field, BoolValue::NotApplicable, owner);
    const auto *lookupField = dynamic_cast<const TLookupDataField *>(field);
    if (!lookupField)
        return std::make_unique<TStringFilterField>(field, QString(), owner);
    if (!lookupField->FilterByItems)
        return std::make_unique<TLookupStringFilterField>(field, QString(), owner);
    if (dynamic_cast<const TCreditDataField *>(field))
        return std::make_unique<TMultiCreditFilterField>(field, QList<qint32>(), owner);
    return std::make_unique<TMultiLookupFilterField>(field, QList<qint32>(), owner);
}

} // namespace

TFilterFieldRefList::TFilterFieldRefList(quint8 listKind, TRootItem *root)
    : TDataFieldRefList(listKind, root)
{
}

TFilterField *TFilterFieldRefList::addCondition(std::unique_ptr<TFilterField> condition)
{
    TFilterField *added = condition.release();
    Add(added);
    return added;
}

bool TFilterFieldRefList::IsActive() const
{
    return Enabled && Count() > 0;
}

bool TFilterFieldRefList::Matches(const TDataItem *item) const
{
    if (!IsActive())
        return true;
    const auto matches = [this, item](const TDataItem *condition) {
        return static_cast<const TFilterField *>(condition)->Matches(item, CaseSensitive);
    };
    if (isOr())
        return std::any_of(begin(), end(), matches);
    return std::all_of(begin(), end(), matches);
}

QString TFilterFieldRefList::GetDescription() const
{
    if (Count() == 0)
        return QStringLiteral("[None]");
    QStringList descriptions;
    for (int i = 0; i < Count(); ++i)
        descriptions << Get(i)->GetDescription();
    return descriptions.join(isOr() ? QStringLiteral(" OR ") : QStringLiteral(" AND "));
}

template <typename Condition>
const Condition *TFilterFieldRefList::firstCondition(const TDataField *field) const
{
    if (!field)
        return nullptr;
    for (int i = 0; i < Count(); ++i) {
        const auto *condition = dynamic_cast<const Condition *>(Get(i));
        if (condition && condition->Field == field)
            return condition;
    }
    return nullptr;
}

QString TFilterFieldRefList::GetFilterText(const TDataField *field) const
{
    const auto *condition = firstCondition<TStringFilterField>(field);
    return condition ? condition->Text : QString();
}

bool TFilterFieldRefList::GetFilterRange(const TDataField *field, qint32 &min, qint32 &max) const
{
    const auto *condition = firstCondition<TIntegerFilterField>(field);
    min = condition ? condition->Min : -1;
    max = condition ? condition->Max : -1;
    return condition != nullptr;
}

QList<qint32> TFilterFieldRefList::GetFilterItemIDs(const TDataField *field) const
{
    const auto *condition = firstCondition<TMultiLookupFilterField>(field);
    return condition ? condition->ItemIDs : QList<qint32>();
}

QList<qint32> TFilterFieldRefList::GetFilterCreditIDs(const TDataField *field) const
{
    const auto *condition = firstCondition<TMultiCreditFilterField>(field);
    return condition ? condition->ItemIDs : QList<qint32>();
}

void TFilterFieldRefList::LoadFromSettings(const TSettingsStore &store, const QString &section)
{
    Combination = quint8(store.ReadInteger(section, QStringLiteral("Combination"), CombinationAnd));
    CaseSensitive = store.ReadBool(section, QStringLiteral("CaseSensitive"), false);
    Enabled = store.ReadBool(section, QStringLiteral("Enabled"), false);
    const TGlobalDataFieldList *fields = catalogue();
    if (!fields)
        return;
    const int count = store.ReadInteger(section, countName, 0);
    const QList<int> entries = storedPositions(store.SubSectionNames(section), QString(), count);
    for (int i : entries) {
        const QString entry = entrySection(section, i);
        const TDataField *field = fields->FindByID(store.ReadInteger(entry, fieldName, FieldIds::ID));
        if (!field)
            continue;
        if (std::unique_ptr<TFilterField> condition = loadCondition(store, entry, field))
            addCondition(std::move(condition));
    }
}

std::unique_ptr<TFilterField> TFilterFieldRefList::loadCondition(const TSettingsStore &store,
                                                                 const QString &section,
                                                                 const TDataField *field) const
{
    std::unique_ptr<TFilterField> condition = conditionFor(field, Owner);
    condition->LoadValues(store, section);
    const auto *choice = dynamic_cast<const TMultiLookupFilterField *>(condition.get());
    if (!choice || !choice->ItemIDs.isEmpty())
        return condition;
    // A choice field may hold a text condition (the filter window makes them
    // for some credit fields): it is stored as "LookupValue" without "Count".
    auto text = std::make_unique<TLookupStringFilterField>(field, QString(), Owner);
    text->LoadValues(store, section);
    if (text->Text.isEmpty())
        return nullptr;
    return text;
}

void TFilterFieldRefList::SaveToSettings(TSettingsStore &store, const QString &section) const
{
    store.WriteInteger(section, QStringLiteral("Combination"), Combination);
    store.WriteBool(section, QStringLiteral("CaseSensitive"), CaseSensitive);
    store.WriteBool(section, QStringLiteral("Enabled"), Enabled);
    int saved = 0;
    for (int i = 0; i < Count(); ++i) {
        const TFilterField *condition = Get(i);
        if (!condition->Field)
            continue;
        const QString entry = entrySection(section, saved++);
        // Values of the condition stored here before (another kind, more
        // identifiers) would be read back with the new ones.
        store.EraseSection(entry);
        store.WriteInteger(entry, fieldName, condition->Field->ID);
        condition->SaveValues(store, entry);
    }
    store.WriteInteger(section, countName, saved);
}
