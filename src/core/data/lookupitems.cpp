#include "core/data/lookupitems.h"

#include "core/data/datafield.h"
#include "core/data/datasettings.h"
#include "core/data/datatree.h"
#include "core/data/textcompare.h"

namespace {

const QString articleSeparator = QStringLiteral(", ");

// The parts of text before and after the first separator, each trimmed.
struct TSplit {
    bool found = false;
    QString before;
    QString after;
};

TSplit splitAtFirst(const QString &text, QChar separator)
{
    const qsizetype position = text.indexOf(separator);
    if (position < 0)
        return {};
    return {true, text.left(position).trimmed(), text.mid(position + 1).trimmed()};
}

} // namespace

bool isArticle(QStringView text)
{
    return equalsAsciiNoCase(text, u"the");
}

QString GetLookupDisplayName(const TLookupItem *item)
{
    return item ? item->GetDisplayName() : QString();
}

qint32 GetLookupID(const TLookupItem *item)
{
    return item ? item->GetID() : -1;
}

// ---- TLookupItem ----------------------------------------------------------

TLookupItem::TLookupItem(TDataObject *owner)
    : TDataItem(owner)
{
}

QString TLookupItem::GetDisplayName() const
{
    return TDataSettings::Current().ShowLookupSortNames ? GetSortName() : DisplayName;
}

TTreeNode *TLookupItem::AddToTree(TDataTree &tree, TTreeNode *parentNode)
{
    TTreeNode *node = TDataItem::AddToTree(tree, parentNode);
    // Expanded on demand into the items that use the value.
    node->setHasChildren(true);
    return node;
}

void TLookupItem::Clear()
{
    TDataItem::Clear();
    UseCount = 0;
    DisplayName.clear();
}

std::unique_ptr<TDataItem> TLookupItem::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TLookupItem>(owner);
}

std::unique_ptr<TDataItem> TLookupItem::Clone(TDataObject *owner, bool keepID) const
{
    auto clone = std::make_unique<TLookupItem>(owner);
    copyLookupTo(*clone, keepID);
    return clone;
}

void TLookupItem::copyLookupTo(TLookupItem &clone, bool keepID) const
{
    copyItemTo(clone, keepID);
    clone.DisplayName = DisplayName;
}

QString TLookupItem::GetValueAsString(const TDataField *field) const
{
    switch (field->ID) {
    case FieldIds::Used:
        return QString::number(UseCount);
    case FieldIds::DisplayName:
        return DisplayName;
    case FieldIds::SortName:
        return GetSortName();
    default:
        return TDataItem::GetValueAsString(field);
    }
}

qint32 TLookupItem::GetValueAsInteger(const TDataField *field) const
{
    if (field->ID == FieldIds::Used)
        return UseCount;
    return TDataItem::GetValueAsInteger(field);
}

bool TLookupItem::IsSameItem(const TDataItem *item) const
{
    return item == this;
}

QString TLookupItem::GetSortName() const
{
    return DisplayName;
}

void TLookupItem::GenerateNameFromNameParts()
{
}

void TLookupItem::GenerateNamePartsFromName()
{
}

void TLookupItem::SetNames(const QString &name, const QString & /*displayName*/)
{
    DisplayName = name;
}

// ---- TLookupItemNone ------------------------------------------------------

TLookupItemNone::TLookupItemNone(TDataObject *owner)
    : TLookupItem(owner)
{
    DisplayName = QStringLiteral("[None]");
    ID = NoneID;
}

std::unique_ptr<TDataItem> TLookupItemNone::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TLookupItemNone>(owner);
}

// ---- TSortLookupItem ------------------------------------------------------

TSortLookupItem::TSortLookupItem(TDataObject *owner)
    : TLookupItem(owner)
{
}

void TSortLookupItem::Clear()
{
    TLookupItem::Clear();
    LastName.clear();
    The.clear();
}

std::unique_ptr<TDataItem> TSortLookupItem::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TSortLookupItem>(owner);
}

std::unique_ptr<TDataItem> TSortLookupItem::Clone(TDataObject *owner, bool keepID) const
{
    std::unique_ptr<TDataItem> clone = CreateNew(owner);
    copySortTo(static_cast<TSortLookupItem &>(*clone), keepID);
    return clone;
}

void TSortLookupItem::copySortTo(TSortLookupItem &clone, bool keepID) const
{
    copyLookupTo(clone, keepID);
    clone.LastName = LastName;
    clone.The = The;
}

QString TSortLookupItem::GetValueAsString(const TDataField *field) const
{
    switch (field->ID) {
    case FieldIds::Name:
        return LastName;
    case FieldIds::The:
        return The;
    default:
        return TLookupItem::GetValueAsString(field);
    }
}

QString TSortLookupItem::GetSortName() const
{
    if (LastName.isEmpty())
        return DisplayName;
    return The.isEmpty() ? LastName : LastName + articleSeparator + The;
}

void TSortLookupItem::GenerateNameFromNameParts()
{
    DisplayName = The.isEmpty() ? LastName : The + QLatin1Char(' ') + LastName;
}

void TSortLookupItem::GenerateNamePartsFromName()
{
    if (const TSplit comma = splitAtFirst(DisplayName, QLatin1Char(',')); comma.found) {
        if (isArticle(comma.after)) {
            LastName = comma.before;
            The = comma.after;
        } else {
            LastName = DisplayName;
        }
    } else if (const TSplit blank = splitAtFirst(DisplayName, QLatin1Char(' ')); blank.found) {
        if (isArticle(blank.before)) {
            LastName = blank.after;
            The = blank.before;
        } else {
            LastName = DisplayName;
        }
    } else {
        LastName = DisplayName;
    }
}

void TSortLookupItem::SetNames(const QString &name, const QString &displayName)
{
    if (const TSplit comma = splitAtFirst(name, QLatin1Char(',')); comma.found) {
        if (isArticle(comma.after)) {
            LastName = comma.before;
            The = comma.after;
        } else {
            LastName = name;
        }
        GenerateNameFromNameParts();
    } else if (const TSplit blank = splitAtFirst(name, QLatin1Char(' ')); blank.found) {
        if (isArticle(blank.before)) {
            LastName = blank.after;
            The = blank.before;
            GenerateNameFromNameParts();
        } else {
            DisplayName = name;
        }
    } else {
        DisplayName = name;
        LastName = name;
    }
    if (!displayName.isEmpty())
        DisplayName = displayName;
    if (DisplayName.isEmpty())
        DisplayName = name;
}

// ---- TPersonLookupItem ----------------------------------------------------

TPersonLookupItem::TPersonLookupItem(TDataObject *owner)
    : TSortLookupItem(owner)
{
}

void TPersonLookupItem::Clear()
{
    TSortLookupItem::Clear();
    FirstName.clear();
}

std::unique_ptr<TDataItem> TPersonLookupItem::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TPersonLookupItem>(owner);
}

std::unique_ptr<TDataItem> TPersonLookupItem::Clone(TDataObject *owner, bool keepID) const
{
    std::unique_ptr<TDataItem> clone = CreateNew(owner);
    auto &person = static_cast<TPersonLookupItem &>(*clone);
    copySortTo(person, keepID);
    person.FirstName = FirstName;
    return clone;
}

QString TPersonLookupItem::GetValueAsString(const TDataField *field) const
{
    if (field->ID == FieldIds::FirstName)
        return FirstName;
    return TSortLookupItem::GetValueAsString(field);
}

QString TPersonLookupItem::GetSortName() const
{
    if (!LastName.isEmpty()) {
        if (!FirstName.isEmpty())
            return LastName + articleSeparator + FirstName;
        return The.isEmpty() ? LastName : LastName + articleSeparator + The;
    }
    if (!FirstName.isEmpty())
        return The.isEmpty() ? FirstName : FirstName + articleSeparator + The;
    return DisplayName;
}

void TPersonLookupItem::GenerateNameFromNameParts()
{
    QStringList parts;
    if (!The.isEmpty())
        parts.append(The);
    if (!FirstName.isEmpty())
        parts.append(FirstName);
    parts.append(LastName);
    DisplayName = parts.join(QLatin1Char(' '));
}

void TPersonLookupItem::GenerateNamePartsFromName()
{
    if (const TSplit comma = splitAtFirst(DisplayName, QLatin1Char(',')); comma.found) {
        LastName = comma.before;
        if (isArticle(comma.after))
            The = comma.after;
        else
            FirstName = comma.after;
    } else if (const TSplit blank = splitAtFirst(DisplayName, QLatin1Char(' ')); blank.found) {
        LastName = blank.after;
        if (isArticle(blank.before))
            The = blank.before;
        else
            FirstName = blank.before;
    } else {
        LastName = DisplayName;
    }
}

void TPersonLookupItem::SetNames(const QString &name, const QString &displayName)
{
    // As for a sort item, except that a name in sort form without an article
    // is "Last, First" and keeps both parts.
    if (const TSplit comma = splitAtFirst(name, QLatin1Char(',')); comma.found) {
        LastName = comma.before;
        if (isArticle(comma.after))
            The = comma.after;
        else
            FirstName = comma.after;
        GenerateNameFromNameParts();
        if (!displayName.isEmpty())
            DisplayName = displayName;
        if (DisplayName.isEmpty())
            DisplayName = name;
        return;
    }
    TSortLookupItem::SetNames(name, displayName);
}
