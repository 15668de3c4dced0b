#include "core/data/filterfields.h"

#include "core/data/datafield.h"
#include "core/data/lookupitems.h"
#include "core/data/lookuplists.h"
#include "core/data/rootitem.h"
#include "core/data/textcompare.h"
#include "core/base/settingsstore.h"
#include "core/base/daynumber.h"

#include <QLocale>

#include <algorithm>

namespace {

const QString stringValueName = QStringLiteral("StringValue");
const QString lookupValueName = QStringLiteral("LookupValue");
const QString countName = QStringLiteral("Count");

QString between(const QString &fieldName, const QString &min, const QString &max)
{
    return QStringLiteral("(%1 between %2 and %3)").arg(fieldName, min, max);
}

QString isText(const QString &fieldName, const QString &value)
{
    return QStringLiteral("(%1 is %2)").arg(fieldName, value);
}

QString itemNotFound()
{
    return QStringLiteral("[item not found]");
}

QString shortDate(double dayNumber)
{
    return QLocale().toString(DateOfDayNumber(dayNumber), QLocale::ShortFormat);
}

} // namespace

// ---- TFilterField ---------------------------------------------------------

QString TFilterField::fieldDisplayName() const
{
    return Field ? GetFieldDisplayName(Field) : QString();
}

// ---- TStringFilterField ---------------------------------------------------

TStringFilterField::TStringFilterField(const TDataField *field, const QString &text, TDataObject *owner)
    : TFilterField(field, owner)
    , Text(text)
{
}

std::unique_ptr<TDataItem> TStringFilterField::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TStringFilterField>(nullptr, QString(), owner);
}

std::unique_ptr<TDataItem> TStringFilterField::Clone(TDataObject *owner, bool keepID) const
{
    std::unique_ptr<TDataItem> clone = TFilterField::Clone(owner, keepID);
    static_cast<TStringFilterField &>(*clone).Text = Text;
    return clone;
}

QString TStringFilterField::GetDescription() const
{
    return QStringLiteral("(\"%1\" in %2)").arg(Text, fieldDisplayName());
}

bool TStringFilterField::Matches(const TDataItem *item, bool caseSensitive) const
{
    return Field && contains(item->GetValueAsString(Field), caseSensitive);
}

void TStringFilterField::SaveValues(TSettingsStore &store, const QString &section) const
{
    store.WriteString(section, stringValueName, Text);
}

void TStringFilterField::LoadValues(const TSettingsStore &store, const QString &section)
{
    Text = store.ReadString(section, stringValueName);
}

bool TStringFilterField::contains(const QString &value, bool caseSensitive) const
{
    if (Text.isEmpty())
        return false;
    if (caseSensitive)
        return value.contains(Text);
    return foldAsciiCase(value).contains(foldAsciiCase(Text));
}

// ---- TLookupStringFilterField ---------------------------------------------

std::unique_ptr<TDataItem> TLookupStringFilterField::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TLookupStringFilterField>(nullptr, QString(), owner);
}

bool TLookupStringFilterField::Matches(const TDataItem *item, bool caseSensitive) const
{
    if (!Field)
        return false;
    const auto *lookupField = dynamic_cast<const TLookupDataField *>(Field);
    if (lookupField && lookupField->isMultiValued()) {
        const TLookupItemRefList *values = item->GetValueAsLookupItemRefList(Field, true);
        return values && std::any_of(values->begin(), values->end(), [&](const TDataItem *value) {
                   return valueMatches(static_cast<const TLookupItem *>(value), caseSensitive);
               });
    }
    return valueMatches(item->GetValueAsLookupItem(Field, true), caseSensitive);
}

bool TLookupStringFilterField::valueMatches(const TLookupItem *value, bool caseSensitive) const
{
    return value && (contains(value->GetSortName(), caseSensitive) || contains(value->DisplayName, caseSensitive));
}

void TLookupStringFilterField::SaveValues(TSettingsStore &store, const QString &section) const
{
    store.WriteString(section, lookupValueName, Text);
}

void TLookupStringFilterField::LoadValues(const TSettingsStore &store, const QString &section)
{
    Text = store.ReadString(section, lookupValueName);
}

// ---- TLookupItemFinder ----------------------------------------------------

TLookupItem *TLookupItemFinder::find(const TDataField *field, qint32 id) const
{
    if (!field || id < 0)
        return nullptr;
    const TRootItem *root = field->GetRoot();
    const TLookupList *list = root ? root->GetLookupList(field) : nullptr;
    if (!list)
        return nullptr;
    // Every element of the list is alive (the list owns it), so the
    // remembered position only needs to still hold the identifier.
    const auto known = m_positions.constFind(id);
    if (known != m_positions.cend() && *known < list->Count() && list->Get(*known)->ID == id)
        return list->Get(*known);
    for (int i = 0; i < list->Count(); ++i) {
        if (list->Get(i)->GetID() == id) {
            m_positions.insert(id, i);
            return list->Get(i);
        }
    }
    m_positions.remove(id);
    return nullptr;
}

// ---- TLookupFilterField ---------------------------------------------------

TLookupFilterField::TLookupFilterField(const TDataField *field, qint32 itemID, TDataObject *owner)
    : TFilterField(field, owner)
    , ItemID(itemID)
{
}

std::unique_ptr<TDataItem> TLookupFilterField::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TLookupFilterField>(nullptr, -1, owner);
}

std::unique_ptr<TDataItem> TLookupFilterField::Clone(TDataObject *owner, bool keepID) const
{
    std::unique_ptr<TDataItem> clone = TFilterField::Clone(owner, keepID);
    static_cast<TLookupFilterField &>(*clone).ItemID = ItemID;
    return clone;
}

QString TLookupFilterField::GetDescription() const
{
    const TLookupItem *value = m_finder.find(Field, ItemID);
    return isText(fieldDisplayName(), value ? GetLookupDisplayName(value) : itemNotFound());
}

bool TLookupFilterField::Matches(const TDataItem *item, bool /*caseSensitive*/) const
{
    return Field && item->HasLookupItem(Field, m_finder.find(Field, ItemID));
}

void TLookupFilterField::SaveValues(TSettingsStore &store, const QString &section) const
{
    store.WriteInteger(section, countName, 1);
    store.WriteInteger(section, lookupValueName + QLatin1Char('0'), ItemID);
}

void TLookupFilterField::LoadValues(const TSettingsStore &store, const QString &section)
{
    ItemID = store.ReadInteger(section, lookupValueName + QLatin1Char('0'), -1);
}

// ---- TMultiLookupFilterField ----------------------------------------------

TMultiLookupFilterField::TMultiLookupFilterField(const TDataField *field, const QList<qint32> &itemIDs,
                                                 TDataObject *owner)
    : TFilterField(field, owner)
    , ItemIDs(itemIDs)
{
}

std::unique_ptr<TDataItem> TMultiLookupFilterField::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TMultiLookupFilterField>(nullptr, QList<qint32>(), owner);
}

std::unique_ptr<TDataItem> TMultiLookupFilterField::Clone(TDataObject *owner, bool keepID) const
{
    std::unique_ptr<TDataItem> clone = TFilterField::Clone(owner, keepID);
    static_cast<TMultiLookupFilterField &>(*clone).ItemIDs = ItemIDs;
    return clone;
}

QString TMultiLookupFilterField::GetDescription() const
{
    QStringList names;
    for (qint32 id : ItemIDs) {
        const TLookupItem *value = findItem(id);
        names << (value ? QLatin1Char('"') + GetLookupDisplayName(value) + QLatin1Char('"') : itemNotFound());
    }
    return isText(fieldDisplayName(), names.join(QStringLiteral(" OR ")));
}

bool TMultiLookupFilterField::Matches(const TDataItem *item, bool /*caseSensitive*/) const
{
    return Field && std::any_of(ItemIDs.cbegin(), ItemIDs.cend(), [&](qint32 id) {
               return item->HasLookupItem(Field, findItem(id));
           });
}

void TMultiLookupFilterField::SaveValues(TSettingsStore &store, const QString &section) const
{
    store.WriteInteger(section, countName, qint32(ItemIDs.size()));
    for (int i = 0; i < ItemIDs.size(); ++i)
        store.WriteInteger(section, lookupValueName + QString::number(i), ItemIDs.at(i));
}

void TMultiLookupFilterField::LoadValues(const TSettingsStore &store, const QString &section)
{
    // Only identifiers that are actually stored: a damaged "Count" must not
    // conjure up millions of them.
    ItemIDs.clear();
    const int count = store.ReadInteger(section, countName, 0);
    const QList<int> positions =
        TDataFieldRefList::storedPositions(store.ValueNames(section), lookupValueName, count);
    for (int position : positions)
        ItemIDs << store.ReadInteger(section, lookupValueName + QString::number(position), -1);
}

// ---- TMultiCreditFilterField ----------------------------------------------

std::unique_ptr<TDataItem> TMultiCreditFilterField::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TMultiCreditFilterField>(nullptr, QList<qint32>(), owner);
}

bool TMultiCreditFilterField::Matches(const TDataItem *item, bool /*caseSensitive*/) const
{
    const TCreditList *credits = Field ? item->GetValueAsCredits(Field, true) : nullptr;
    return credits && std::any_of(credits->cbegin(), credits->cend(), [&](const TCredit &credit) {
               return credit.Role == Field && credit.Person && ItemIDs.contains(credit.Person->GetID());
           });
}

// ---- TIntegerFilterField --------------------------------------------------

TIntegerFilterField::TIntegerFilterField(const TDataField *field, qint32 min, qint32 max, TDataObject *owner)
    : TRangeFilterField(field, min, max, owner)
{
}

const QString TIntegerFilterField::MinKey = QStringLiteral("IntValue1");
const QString TIntegerFilterField::MaxKey = QStringLiteral("IntValue2");

QString TIntegerFilterField::GetDescription() const
{
    if (Min == NoMin && Max != NoMax)
        return QStringLiteral("(%1 at most %2)").arg(fieldDisplayName()).arg(Max);
    if (Max == NoMax && Min != NoMin)
        return QStringLiteral("(%1 at least %2)").arg(fieldDisplayName()).arg(Min);
    return between(fieldDisplayName(), QString::number(Min), QString::number(Max));
}

qint32 TIntegerFilterField::valueOf(const TDataItem &item, const TDataField *field)
{
    return item.GetValueAsInteger(field);
}

qint32 TIntegerFilterField::readValue(const TSettingsStore &store, const QString &section, const QString &key)
{
    return store.ReadInteger(section, key, -1);
}

void TIntegerFilterField::writeValue(TSettingsStore &store, const QString &section, const QString &key,
                                     qint32 value)
{
    store.WriteInteger(section, key, value);
}

// ---- TDateFilterField -----------------------------------------------------

TDateFilterField::TDateFilterField(const TDataField *field, double min, double max, TDataObject *owner)
    : TRangeFilterField(field, min, max, owner)
{
}

const QString TDateFilterField::MinKey = QStringLiteral("DateValue1");
const QString TDateFilterField::MaxKey = QStringLiteral("DateValue2");

QString TDateFilterField::GetDescription() const
{
    return between(fieldDisplayName(), shortDate(Min), shortDate(Max));
}

double TDateFilterField::valueOf(const TDataItem &item, const TDataField *field)
{
    return item.GetValueAsDate(field);
}

double TDateFilterField::readValue(const TSettingsStore &store, const QString &section, const QString &key)
{
    return store.ReadDate(section, key, -1.0);
}

void TDateFilterField::writeValue(TSettingsStore &store, const QString &section, const QString &key, double value)
{
    store.WriteDate(section, key, value);
}

// ---- TFloatFilterField ----------------------------------------------------

TFloatFilterField::TFloatFilterField(const TDataField *field, double min, double max, TDataObject *owner)
    : TRangeFilterField(field, min, max, owner)
{
}

const QString TFloatFilterField::MinKey = QStringLiteral("FloatValue1");
const QString TFloatFilterField::MaxKey = QStringLiteral("FloatValue2");

QString TFloatFilterField::GetDescription() const
{
    return between(fieldDisplayName(), QString::number(Min, 'f', 6), QString::number(Max, 'f', 6));
}

double TFloatFilterField::valueOf(const TDataItem &item, const TDataField *field)
{
    return item.GetValueAsFloat(field);
}

double TFloatFilterField::readValue(const TSettingsStore &store, const QString &section, const QString &key)
{
    return store.ReadFloat(section, key, -1.0);
}

void TFloatFilterField::writeValue(TSettingsStore &store, const QString &section, const QString &key, double value)
{
    store.WriteFloat(section, key, value);
}

// ---- TBoolFilterField -----------------------------------------------------

TBoolFilterField::TBoolFilterField(const TDataField *field, quint8 value, TDataObject *owner)
    : TFilterField(field, owner)
    , Value(value)
{
}

std::unique_ptr<TDataItem> TBoolFilterField::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TBoolFilterField>(nullptr, BoolValue::NotApplicable, owner);
}

std::unique_ptr<TDataItem> TBoolFilterField::Clone(TDataObject *owner, bool keepID) const
{
    std::unique_ptr<TDataItem> clone = TFilterField::Clone(owner, keepID);
    static_cast<TBoolFilterField &>(*clone).Value = Value;
    return clone;
}

QString TBoolFilterField::GetDescription() const
{
    QString value;
    switch (Value) {
    case BoolValue::No:
        value = QStringLiteral("No");
        break;
    case BoolValue::Yes:
        value = QStringLiteral("Yes");
        break;
    default:
        value = QStringLiteral("Yes or No");
        break;
    }
    return isText(fieldDisplayName(), value);
}

bool TBoolFilterField::Matches(const TDataItem *item, bool /*caseSensitive*/) const
{
    if (!Field)
        return false;
    if (Value != BoolValue::No && Value != BoolValue::Yes)
        return true;
    return item->GetValueAsBoolean(Field) == Value;
}

void TBoolFilterField::SaveValues(TSettingsStore &store, const QString &section) const
{
    store.WriteInteger(section, QStringLiteral("BoolValue"), Value);
}

void TBoolFilterField::LoadValues(const TSettingsStore &store, const QString &section)
{
    const qint32 value = store.ReadInteger(section, QStringLiteral("BoolValue"), BoolValue::NotApplicable);
    Value = (value == BoolValue::No || value == BoolValue::Yes) ? quint8(value) : BoolValue::NotApplicable;
}
