#include "testroot.h"

#include "core/data/dataexceptions.h"
#include "core/data/fielddefaults.h"

using namespace testroot;

TTestItem::TTestItem(TDataObject *owner)
    : TDataItem(owner)
    , Genres(std::make_unique<TLookupItemRefList>(this, GenreField))
{
}

void TTestItem::Clear()
{
    TDataItem::Clear();
    Title.clear();
    Artist = nullptr;
    Label = nullptr;
    Year = nullptr;
    Genres->Clear();
    Size = 0;
    VBR = false;
}

std::unique_ptr<TDataItem> TTestItem::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TTestItem>(owner);
}

std::unique_ptr<TDataItem> TTestItem::Clone(TDataObject *owner, bool keepID) const
{
    std::unique_ptr<TDataItem> clone = TDataItem::Clone(owner, keepID);
    auto &item = static_cast<TTestItem &>(*clone);
    item.Title = Title;
    item.Artist = Artist;
    item.Label = Label;
    item.Year = Year;
    item.Genres->AddItemsOf(*Genres);
    item.Size = Size;
    item.VBR = VBR;
    return clone;
}

QString TTestItem::GetValueAsString(const TDataField *field) const
{
    QString value;
    switch (field->ID) {
    case TitleField:
        value = Title;
        break;
    case ArtistField:
        value = GetLookupDisplayName(Artist);
        break;
    case LabelField:
        value = GetLookupDisplayName(Label);
        break;
    case YearField:
        value = GetLookupDisplayName(Year);
        break;
    case GenreField:
        value = Genres->GetText();
        break;
    case SizeField:
        value = QString::number(Size);
        break;
    case VbrField:
        value = VBR ? QStringLiteral("Yes") : QStringLiteral("No");
        break;
    default:
        value = TDataItem::GetValueAsString(field);
        break;
    }
    return GetInheritedString(field, value);
}

qint32 TTestItem::GetValueAsInteger(const TDataField *field) const
{
    if (field->ID == SizeField)
        return GetInheritedInteger(field, Size);
    return GetInheritedInteger(field, TDataItem::GetValueAsInteger(field));
}

TLookupItem *TTestItem::GetValueAsLookupItem(const TDataField *field, bool inherit) const
{
    TLookupItem *value = nullptr;
    switch (field->ID) {
    case ArtistField:
        value = Artist;
        break;
    case LabelField:
        value = Label;
        break;
    case YearField:
        value = Year;
        break;
    case GenreField:
        value = Genres->First();
        break;
    default:
        break;
    }
    return inherit ? GetInheritedLookupItem(field, value) : value;
}

TLookupItemRefList *TTestItem::GetValueAsLookupItemRefList(const TDataField *field, bool inherit) const
{
    TLookupItemRefList *value = field->ID == GenreField ? Genres.get() : nullptr;
    return inherit ? GetInheritedLookupItemRefList(field, value) : value;
}

quint8 TTestItem::GetValueAsBoolean(const TDataField *field) const
{
    if (field->ID == VbrField)
        return VBR ? BoolValue::Yes : BoolValue::No;
    return TDataItem::GetValueAsBoolean(field);
}

void TTestItem::SetValueAsLookupItem(const TDataField *field, TLookupItem *item, qint32 mode,
                                     TLookupItem *oldItem)
{
    switch (field->ID) {
    case ArtistField:
        Artist = static_cast<TPersonLookupItem *>(item);
        break;
    case LabelField:
        Label = static_cast<TSortLookupItem *>(item);
        break;
    case YearField:
        Year = item;
        break;
    case GenreField:
        Genres->SetLookupItem(item, oldItem, mode);
        break;
    default:
        TDataItem::SetValueAsLookupItem(field, item, mode, oldItem);
    }
}

bool TTestItem::IsEqual(const TDataItem *item) const
{
    const auto *other = dynamic_cast<const TTestItem *>(item);
    return other && TDataItem::IsEqual(item) && other->Title == Title && other->Artist == Artist
           && other->Label == Label && other->Year == Year && other->Genres->IsEqual(*Genres)
           && other->Size == Size && other->VBR == VBR;
}

TDataItem *TTestItemList::CreateItem()
{
    auto *item = new TTestItem(this);
    Add(item);
    return item;
}

TTestFieldList::TTestFieldList(TDataObject *owner)
    : TGlobalDataFieldList(owner, false)
{
    CreateFields();
}

void TTestFieldList::CreateFields()
{
    TGlobalDataFieldList::CreateFields();
    const TListKinds items{ListKind::MainItems};
    Add(new TStringDataField(this, TitleField, QStringLiteral("Title"), false, 100, 1, 1,
                             {ListKind::MainItems, ListKind::Files}));
    Add(new TPersonLookupDataField(this, ArtistField, QStringLiteral("Artist"), true, 100, 1, 1, items,
                                   false, 1));
    Add(new TLookupDataField(this, GenreField, QStringLiteral("Genre"), false, 100, 1, 1, items, true, 2));
    Add(new TSortLookupDataField(this, LabelField, QStringLiteral("Label"), false, 100, 1, 1, items,
                                 false, 1));
    Add(new TLookupDataField(this, YearField, QStringLiteral("Year"), false, 50, 1, 1, items, true, 1));
    Add(new TIntegerDataField(this, SizeField, QStringLiteral("Size"), false, 60, 1, 1, items));
    Add(new TBooleanDataField(this, VbrField, QStringLiteral("VBR"), true, 50, 1, 1, items));
    Add(new TStringDataField(this, ArtistTextField, QStringLiteral("Artist"), true, 100, 1, 1,
                             {ListKind::Files}));
    DefaultColumns[ListKind::MainItems] = {TitleField, ArtistField};
    GroupPresets[ListKind::MainItems] = {{ArtistField}, {GenreField, ArtistField}};
}

TTestRoot::TTestRoot()
{
    Fields = std::make_unique<TTestFieldList>(this);
    Defaults = std::make_unique<TFieldDefaults>();
    Artists = std::make_unique<TPersonLookupList>(this, true, ArtistField);
    GenreList = std::make_unique<TLookupList>(this, true, GenreField);
    Labels = std::make_unique<TSortLookupList>(this, true, LabelField);
    Years = std::make_unique<TYearLookupList>(this, true, YearField);
    Items = std::make_unique<TTestItemList>(this);
}

TTestRoot::~TTestRoot()
{
    Artists.reset();
    GenreList.reset();
    Labels.reset();
    Years.reset();
}

void TTestRoot::MergeLookupLists(TRootItem &otherRoot)
{
    auto &other = static_cast<TTestRoot &>(otherRoot);
    Artists->MergeFrom(*other.Artists, otherRoot);
    Labels->MergeFrom(*other.Labels, otherRoot);
    GenreList->MergeFrom(*other.GenreList, otherRoot);
    Years->MergeFrom(*other.Years, otherRoot);
}

TLookupList *TTestRoot::GetLookupList(const TDataField *field) const
{
    switch (field ? field->ID : -1) {
    case ArtistField:
        return Artists.get();
    case GenreField:
        return GenreList.get();
    case LabelField:
        return Labels.get();
    case YearField:
        return Years.get();
    default:
        return nullptr;
    }
}

void TTestRoot::Clear()
{
    TRootItem::Clear();
    Artists->ResetToDefaults();
    GenreList->ResetToDefaults();
    Labels->ResetToDefaults();
    Years->ResetToDefaults();
}

const TDataField *TTestRoot::field(qint32 id) const
{
    return Fields->FindByID(id);
}

TTestItem *TTestRoot::addItem(const QString &title)
{
    auto *item = static_cast<TTestItem *>(Items->CreateItem());
    item->Title = title;
    return item;
}
