#pragma once

#include "core/data/datalists.h"
#include "core/data/fieldlists.h"
#include "core/data/lookuplists.h"
#include "core/data/rootitem.h"

#include <memory>

// A small concrete collection for tests of the generic model: items with a
// title, an artist (person lookup, inheritable), a label (sort lookup), a
// year, several genres and a size.
namespace testroot {
constexpr qint32 TitleField = 3;
constexpr qint32 ArtistField = 6;
constexpr qint32 GenreField = 7;
constexpr qint32 LabelField = 8;
constexpr qint32 YearField = 9;
constexpr qint32 SizeField = 14;
constexpr qint32 VbrField = 20;
constexpr qint32 ArtistTextField = 29;
} // namespace testroot

class TTestItem : public TDataItem {
public:
    explicit TTestItem(TDataObject *owner = nullptr);

    QString Title;
    TPersonLookupItem *Artist = nullptr;
    TSortLookupItem *Label = nullptr;
    TLookupItem *Year = nullptr;
    std::unique_ptr<TLookupItemRefList> Genres;
    qint32 Size = 0;
    bool VBR = false;

    void ReadFromStream(TDataReader &, qint32, qint32) override {}
    void WriteToStream(TDataWriter &) override {}
    QString GetDisplayName() const override { return Title; }

    void Clear() override;
    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
    QString GetValueAsString(const TDataField *field) const override;
    qint32 GetValueAsInteger(const TDataField *field) const override;
    TLookupItem *GetValueAsLookupItem(const TDataField *field, bool inherit) const override;
    TLookupItemRefList *GetValueAsLookupItemRefList(const TDataField *field, bool inherit) const override;
    quint8 GetValueAsBoolean(const TDataField *field) const override;
    void SetValueAsLookupItem(const TDataField *field, TLookupItem *item, qint32 mode,
                              TLookupItem *oldItem) override;
    bool IsEqual(const TDataItem *item) const override;
};

class TTestItemList : public TMainDataList {
public:
    using TMainDataList::TMainDataList;
    TDataItem *CreateItem() override;
    TTestItem *Get(int index) const { return static_cast<TTestItem *>(TDataRefList::Get(index)); }
};

class TTestFieldList : public TGlobalDataFieldList {
public:
    explicit TTestFieldList(TDataObject *owner);
    void CreateFields() override;
};

class TTestRoot : public TRootItem {
public:
    TTestRoot();
    ~TTestRoot() override;

    std::unique_ptr<TPersonLookupList> Artists;
    std::unique_ptr<TLookupList> GenreList;
    std::unique_ptr<TSortLookupList> Labels;
    std::unique_ptr<TYearLookupList> Years;

    void ReadLookupLists(TDataReader &, qint32, qint32) override {}
    void WriteLookupLists(TDataWriter &) override {}
    bool ImportFromFile(const QString &) override { return false; }
    void MergeLookupLists(TRootItem &otherRoot) override;
    TLookupList *GetLookupList(const TDataField *field) const override;
    void Clear() override;

    TTestItemList *items() const { return static_cast<TTestItemList *>(Items.get()); }
    const TDataField *field(qint32 id) const;
    // Creates an item in the main list with the given title.
    TTestItem *addItem(const QString &title);
};
