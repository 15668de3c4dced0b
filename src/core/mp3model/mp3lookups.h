#pragma once

#include "core/data/datafield.h"
#include "core/data/lookupitems.h"
#include "core/data/lookuplists.h"
#include "core/settings/drives.h"

#include <QString>

// An album: a name with an optional article.  In the folder tree its
// children are the album's tracks.
class TAlbumLookupItem : public TSortLookupItem {
public:
    explicit TAlbumLookupItem(TDataObject *owner = nullptr);

    int GetImageIndex() const override { return 9; }
    int GetSelectedImageIndex() const override { return 10; }
    // Adds a node for every track of the main list on this album, in list
    // order.
    void AddChildNodes(TDataTree &tree, TTreeNode *node) override;
    // Adds the tracks of this album, in main-list order.
    void GetItems(TDataRefList &destination) override;
    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
};

// Where tracks live: a folder on a drive, with the kind and volume label of
// that drive so a missing file can be explained.
class TLocationLookupItem : public TSortLookupItem {
public:
    explicit TLocationLookupItem(TDataObject *owner = nullptr);

    // A TDriveKind: 0 undetermined, 1 nothing mounted, 2 removable,
    // 3 fixed, 4 network, 5 CD, 6 RAM disk.
    quint8 DriveType = 0;
    // The volume label, or "server\share" of a network path.
    QString DriveLabel;

    int GetImageIndex() const override;
    int GetSelectedImageIndex() const override;
    int GetLargeImageIndex() const override;
    void ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) override;
    void WriteToStream(TDataWriter &writer) override;

    void Clear() override;
    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
    QString GetValueAsString(const TDataField *field) const override;

    // Takes drive type and label from the drive that holds path.
    void SetFromPath(const QString &path, const TMountTable &mounts = SystemMountTable());
};

class TAlbumLookupList : public TSortLookupList {
public:
    using TSortLookupList::TSortLookupList;
    TDataItem *CreateItem() override;
};

class TLocationLookupList : public TSortLookupList {
public:
    using TSortLookupList::TSortLookupList;
    TDataItem *CreateItem() override;
    TLocationLookupItem *Get(int index) const
    {
        return static_cast<TLocationLookupItem *>(TDataRefList::Get(index));
    }
    // The first location whose DriveLabel is label (exact case), or nullptr.
    TLocationLookupItem *FindByDriveLabel(const QString &label) const;
};

// The lists of the four classifications differ only in their initial
// entries.
class TTempoLookupList : public TLookupList {
public:
    TTempoLookupList(TRootItem *root, bool addDefaults, qint32 fieldID);
    void AddDefaults() override;
};

class TMoodLookupList : public TLookupList {
public:
    TMoodLookupList(TRootItem *root, bool addDefaults, qint32 fieldID);
    void AddDefaults() override;
};

class TSituationLookupList : public TLookupList {
public:
    TSituationLookupList(TRootItem *root, bool addDefaults, qint32 fieldID);
    void AddDefaults() override;
};

class TPreferenceLookupList : public TLookupList {
public:
    TPreferenceLookupList(TRootItem *root, bool addDefaults, qint32 fieldID);
    void AddDefaults() override;
};

class TAlbumLookupDataField : public TSortLookupDataField {
public:
    using TSortLookupDataField::TSortLookupDataField;
    void BuildColumns() override;
};

class TLocationLookupDataField : public TSortLookupDataField {
public:
    using TSortLookupDataField::TSortLookupDataField;
    void BuildColumns() override;
};
