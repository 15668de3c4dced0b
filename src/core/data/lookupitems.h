#pragma once

#include "core/data/dataobject.h"

#include <QString>

// A value that many items share (a genre, a year), stored once in a lookup
// list and referred to by the items.
class TLookupItem : public TDataItem {
public:
    explicit TLookupItem(TDataObject *owner = nullptr);

    // How many items referred to it when last counted (CountUsage).
    qint32 UseCount = 0;
    QString DisplayName;

    // The sort name when ShowLookupSortNames is on, else DisplayName.
    QString GetDisplayName() const override;
    TTreeNode *AddToTree(TDataTree &tree, TTreeNode *parentNode) override;
    void ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) override;
    void WriteToStream(TDataWriter &writer) override;

    void Clear() override;
    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
    QString GetValueAsString(const TDataField *field) const override;
    qint32 GetValueAsInteger(const TDataField *field) const override;
    // True only for this very object.
    bool IsSameItem(const TDataItem *item) const override;

    virtual QString GetSortName() const;
    virtual void GenerateNameFromNameParts();
    virtual void GenerateNamePartsFromName();
    // Sets the item from a name in sort form and an optional display name.
    virtual void SetNames(const QString &name, const QString &displayName);

protected:
    void copyLookupTo(TLookupItem &clone, bool keepID) const;
};

// The shared "[None]" value of the folder tree: an item with no value.
class TLookupItemNone : public TLookupItem {
public:
    static constexpr qint32 NoneID = -2;
    explicit TLookupItemNone(TDataObject *owner = nullptr);

    int GetImageIndex() const override { return 5; }
    int GetSelectedImageIndex() const override { return 6; }
    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
};

// A name with an optional leading article ("The Lanterns"), sorted without
// it ("Lanterns, The").
class TSortLookupItem : public TLookupItem {
public:
    explicit TSortLookupItem(TDataObject *owner = nullptr);

    QString LastName;
    QString The;

    void ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) override;
    void WriteToStream(TDataWriter &writer) override;
    void Clear() override;
    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
    QString GetValueAsString(const TDataField *field) const override;

    QString GetSortName() const override;
    void GenerateNameFromNameParts() override;
    void GenerateNamePartsFromName() override;
    void SetNames(const QString &name, const QString &displayName) override;

protected:
    void copySortTo(TSortLookupItem &clone, bool keepID) const;
};

// A person's name: first name, last name and an optional article.
class TPersonLookupItem : public TSortLookupItem {
public:
    explicit TPersonLookupItem(TDataObject *owner = nullptr);

    QString FirstName;

    void ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) override;
    void WriteToStream(TDataWriter &writer) override;
    void Clear() override;
    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
    QString GetValueAsString(const TDataField *field) const override;

    QString GetSortName() const override;
    void GenerateNameFromNameParts() override;
    void GenerateNamePartsFromName() override;
    void SetNames(const QString &name, const QString &displayName) override;
};

// The item's display name, or the empty text for none.
QString GetLookupDisplayName(const TLookupItem *item);
// The item's identifier, or -1 for none.
qint32 GetLookupID(const TLookupItem *item);
// Whether text is the article "the" (letters A to Z in any case).
bool isArticle(QStringView text);
