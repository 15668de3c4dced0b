#pragma once

#include "core/base/filestamp.h"
#include "core/data/collectionfile.h"
#include "core/data/dataobject.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

class TDataField;
class TFieldDefaults;
class TGlobalDataFieldList;
class TItemFilter;
class TLookupList;
class TMainDataList;

// The format and data version a collection file was written with.
struct TCollectionVersions {
    qint32 Format = 0;
    qint32 Data = 0;
};

// The top of a collection.  It owns the main item list, the field catalogue
// and the field defaults (the concrete collection type creates them and its
// lookup lists), and hands out the identifiers of all its items.
class TRootItem : public TDataObject {
public:
    TRootItem();
    ~TRootItem() override;

    qint32 NextID = 0;
    qint32 NextIndex = 1;
    std::unique_ptr<TMainDataList> Items;
    QString FileName;
    // The file as read or saved: it tells whether another program has
    // written the file since.
    TFileStamp FileStamp;
    std::unique_ptr<TGlobalDataFieldList> Fields;
    std::unique_ptr<TFieldDefaults> Defaults;

    TRootItem *GetRoot() const override;
    // The file name part of FileName, or "[New Collection]".
    QString GetDisplayName() const override;
    void ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) override;
    void WriteToStream(TDataWriter &writer) override;
    void AddChildNodes(TDataTree &tree, TTreeNode *node) override;

    virtual QString GetFileFilter() const;
    virtual QString GetCollectionName() const;
    virtual QString GetTypeName() const;
    virtual qint32 GetDataVersion() const;
    virtual void Clear();
    virtual void ReadLookupLists(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) = 0;
    virtual void WriteLookupLists(TDataWriter &writer) = 0;
    virtual void ReadExtraData(TDataReader &reader, qint32 fileVersion, qint32 dataVersion);
    virtual void WriteExtraData(TDataWriter &writer);
    // Reads the header and the collection; versions are the header's as
    // soon as it is read.
    virtual void ReadCollection(TDataReader &reader, TCollectionVersions &versions);
    virtual bool LoadFromFile(const QString &fileName);
    virtual bool SaveToFile(const QString &fileName);
    // Saves over FileName unless another program has written the file since
    // it was read or saved here, or, once the user agreed to overwrite such
    // a change, since it was as `accepted`.  Shows its errors, not a change.
    TCollectionSaveResult SaveOverOwnFile(const std::optional<TFileStamp> &accepted);
    virtual bool ImportFromFile(const QString &fileName) = 0;
    virtual void MergeLookupLists(TRootItem &otherRoot) = 0;
    // Moves every main item of otherRoot into this root's main list, with
    // fresh identifiers from this root.
    virtual void ImportItems(TRootItem &otherRoot);
    virtual void TakeOverItem(TRootItem &otherRoot, TDataItem *item);
    virtual TLookupList *GetLookupList(const TDataField *field) const = 0;
    virtual QString GetFileExtension() const;

    // Returns NextID and advances it.
    qint32 GetNewID();
    // Raises NextID to id when it is smaller.
    void UpdateNextID(qint32 id);
    // With AutoIncrementIndex on, advances NextIndex.
    void IncrementNextIndex();
    // Numbers the main items 1, 2, 3 ... in list order.
    void Renumber();
    // Counts, into the UseCount of the field's lookup items, the main items
    // that the filter accepts (all when filter is null or inactive).
    void CountUsage(const TDataField *field, const TItemFilter *filter, qint32 &noValueCount,
                    bool inherit);

    // The collection every part of the program works on; cleared when that
    // root is destroyed.
    static TRootItem *Current();
    static void SetCurrent(TRootItem *root);
};
