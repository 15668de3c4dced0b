#include "core/mp3model/mp3lookups.h"

#include "core/data/datatree.h"
#include "core/data/rootitem.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3track.h"

#include <initializer_list>

namespace {

void addEntries(TLookupList &list, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        list.AddNew(QString::fromLatin1(name));
}

// The tracks of the main list whose album is album, in list order.
QList<TMp3Track *> tracksOnAlbum(const TAlbumLookupItem *album)
{
    QList<TMp3Track *> tracks;
    const TRootItem *root = album->GetRoot();
    if (!root || !root->Items)
        return tracks;
    for (TDataItem *item : *root->Items) {
        auto *track = dynamic_cast<TMp3Track *>(item);
        if (track && track->Album == album)
            tracks.append(track);
    }
    return tracks;
}

} // namespace

// ---- TAlbumLookupItem -----------------------------------------------------

TAlbumLookupItem::TAlbumLookupItem(TDataObject *owner)
    : TSortLookupItem(owner)
{
}

void TAlbumLookupItem::AddChildNodes(TDataTree &tree, TTreeNode *node)
{
    const QList<TMp3Track *> tracks = tracksOnAlbum(this);
    for (TMp3Track *track : tracks)
        track->AddToTree(tree, node);
    // The node was marked expandable before its children were known.
    if (node)
        node->setHasChildren(!tracks.isEmpty());
}

void TAlbumLookupItem::GetItems(TDataRefList &destination)
{
    for (TMp3Track *track : tracksOnAlbum(this))
        destination.Add(track);
}

std::unique_ptr<TDataItem> TAlbumLookupItem::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TAlbumLookupItem>(owner);
}

TDataItem *TAlbumLookupList::CreateItem()
{
    return Add(std::make_unique<TAlbumLookupItem>(this));
}

// ---- TLocationLookupItem --------------------------------------------------

TLocationLookupItem::TLocationLookupItem(TDataObject *owner)
    : TSortLookupItem(owner)
{
}

int TLocationLookupItem::GetImageIndex() const
{
    switch (DriveType) {
    case dkRemovable: return 23;
    case dkFixed: return 19;
    case dkNetwork: return 21;
    case dkCDRom: return 17;
    default: return 2;
    }
}

int TLocationLookupItem::GetSelectedImageIndex() const
{
    return DriveType >= dkRemovable && DriveType <= dkCDRom ? GetImageIndex() + 1 : 3;
}

int TLocationLookupItem::GetLargeImageIndex() const
{
    return (GetImageIndex() - 7) / 2 + 1;
}

void TLocationLookupItem::Clear()
{
    TSortLookupItem::Clear();
    DriveType = dkUnknown;
    DriveLabel.clear();
}

std::unique_ptr<TDataItem> TLocationLookupItem::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TLocationLookupItem>(owner);
}

std::unique_ptr<TDataItem> TLocationLookupItem::Clone(TDataObject *owner, bool keepID) const
{
    auto clone = std::make_unique<TLocationLookupItem>(owner);
    copySortTo(*clone, keepID);
    clone->DriveType = DriveType;
    clone->DriveLabel = DriveLabel;
    return clone;
}

QString TLocationLookupItem::GetValueAsString(const TDataField *field) const
{
    if (field->ID == Mp3FieldIds::DriveLabel)
        return DriveLabel;
    return TSortLookupItem::GetValueAsString(field);
}

void TLocationLookupItem::SetFromPath(const QString &path, const TMountTable &mounts)
{
    DriveType = quint8(GetDriveKind(path, mounts));
    DriveLabel = GetVolumeName(path, mounts);
}

TDataItem *TLocationLookupList::CreateItem()
{
    return Add(std::make_unique<TLocationLookupItem>(this));
}

TLocationLookupItem *TLocationLookupList::FindByDriveLabel(const QString &label) const
{
    for (int i = 0; i < Count(); ++i) {
        if (Get(i)->DriveLabel == label)
            return Get(i);
    }
    return nullptr;
}

// ---- the classification lists ---------------------------------------------

TTempoLookupList::TTempoLookupList(TRootItem *root, bool addDefaults, qint32 fieldID)
    : TLookupList(root, false, fieldID)
{
    if (addDefaults)
        AddDefaults();
}

void TTempoLookupList::AddDefaults()
{
    addEntries(*this, {"Fast", "Moderate", "None", "Pretty Fast", "Pretty Slow", "Slow"});
}

TMoodLookupList::TMoodLookupList(TRootItem *root, bool addDefaults, qint32 fieldID)
    : TLookupList(root, false, fieldID)
{
    if (addDefaults)
        AddDefaults();
}

void TMoodLookupList::AddDefaults()
{
    addEntries(*this, {"Comatose", "Mellow", "Morose", "None", "Tranquil", "Upbeat", "Wild"});
}

TSituationLookupList::TSituationLookupList(TRootItem *root, bool addDefaults, qint32 fieldID)
    : TLookupList(root, false, fieldID)
{
    if (addDefaults)
        AddDefaults();
}

void TSituationLookupList::AddDefaults()
{
    addEntries(*this, {"Any", "Background", "Dance", "Dinner", "Drunken Brawl", "None", "Party", "Rave",
                       "Romantic", "Seasonal"});
}

TPreferenceLookupList::TPreferenceLookupList(TRootItem *root, bool addDefaults, qint32 fieldID)
    : TLookupList(root, false, fieldID)
{
    if (addDefaults)
        AddDefaults();
}

void TPreferenceLookupList::AddDefaults()
{
    addEntries(*this, {"Bad Taste", "Excellent", "Fair", "Good", "None", "Poor", "Very Good"});
}

// ---- lookup fields --------------------------------------------------------

void TAlbumLookupDataField::BuildColumns()
{
    // Albums hold no artist: that column shows nothing.
    setColumns({{FieldIds::SortName, 100},
                {FieldIds::DisplayName, 100},
                {FieldIds::Name, 100},
                {FieldIds::The, 70},
                {Mp3FieldIds::Artist, 100},
                {FieldIds::Used, 70},
                {FieldIds::ID, 70}});
}

void TLocationLookupDataField::BuildColumns()
{
    setColumns({{FieldIds::SortName, 100},
                {FieldIds::DisplayName, 100},
                {FieldIds::Name, 100},
                {FieldIds::The, 70},
                {Mp3FieldIds::DriveLabel, 70},
                {FieldIds::Used, 70},
                {FieldIds::ID, 70}});
}
