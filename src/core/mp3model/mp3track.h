#pragma once

#include "core/data/datalists.h"
#include "core/data/dataobject.h"
#include "core/data/lookuplists.h"

#include <QString>

#include <memory>

class TAlbumLookupItem;
class TLocationLookupItem;
class TLookupItem;
class TPersonLookupItem;
class TSortLookupItem;
struct TTrackLookupMember;

// One MP3 file as recorded in the collection: its descriptive information,
// where it lives, and the technical values of its audio stream.  Lookup
// members refer to items of the root's lookup lists and are not owned;
// nullptr stands for no value.
class TMp3Track : public TDataItem {
public:
    explicit TMp3Track(TDataObject *owner = nullptr);
    ~TMp3Track() override;

    QString Title;
    QString TitleSort;
    QString TitleThe;
    QString SubTitle;
    TPersonLookupItem *Artist = nullptr;
    TPersonLookupItem *OriginalArtist = nullptr;
    TPersonLookupItem *Lyricist = nullptr;
    TPersonLookupItem *Conductor = nullptr;
    TPersonLookupItem *Composer = nullptr;
    TAlbumLookupItem *Album = nullptr;
    TLookupItem *Year = nullptr;
    TLookupItem *Tempo = nullptr;
    TLookupItem *Mood = nullptr;
    TLookupItem *Situation = nullptr;
    TLookupItem *Preference = nullptr;
    // Owned list; the genres themselves are not.
    std::unique_ptr<TLookupItemRefList> Genres;
    TSortLookupItem *Label = nullptr;
    TSortLookupItem *Orchestra = nullptr;
    QString Notes;
    QString Biography;
    QString Lyrics;
    QString EncodedBy;
    QString CopyrightBy;
    QString AudioURL;
    QString ArtistURL;
    QString GeneralURL;
    qint32 TrackIndex = 0;
    qint32 BPM = 0;
    qint32 DiskIndex = 0;
    TLocationLookupItem *Location = nullptr;
    // Full path of the file.
    QString FilePath;
    qint32 Size = 0;    // bytes
    // When the file was last modified as the track last read it (ms since
    // the epoch; 0 = not known).  Not in the collection file: the scan
    // index beside it keeps it, so that a rescan passes over files that
    // have not changed.
    qint64 FileModified = 0;
    qint32 Length = 0;  // seconds
    quint8 MpegVersion = 0;   // TMpegInfo::MpegVersion
    qint32 Layer = 0;
    quint8 Mode = 0;          // TMpegInfo::ChannelMode
    qint32 Bitrate = 0;       // kbit/s
    bool VBR = false;
    bool CRCs = false;
    bool Copyrighted = false;
    bool Original = false;
    quint8 Emphasis = 0;
    qint32 SampleRate = 0;    // Hz
    qint32 Frames = 0;
    // Byte offset of the first frame header.
    qint32 HeaderPosition = 0;

    // "Artist - Title".
    QString GetDisplayName() const override;
    int GetImageIndex() const override { return 7; }
    int GetSelectedImageIndex() const override { return 8; }
    void ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) override;
    void WriteToStream(TDataWriter &writer) override;

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
    bool HasLookupItem(const TDataField *field, const TLookupItem *item) const override;
    // Equal contents: the members the member table compares (all but the
    // MPEG layer and the file modification time).
    bool IsEqual(const TDataItem *item) const override;
    // Fills an empty year, genre and location from the collection's field
    // defaults.
    void ApplyDefaults() override;

    // The last component of FilePath.
    QString fileName() const;

private:
    // The member of a single-valued lookup field; nullptr for other fields.
    static const TTrackLookupMember *singleLookupMember(const TDataField *field);
    QString ownText(const TDataField *field) const;
};

// The collection's main list of tracks.
class TMp3TrackList : public TMainDataList {
public:
    using TMainDataList::TMainDataList;

    // Creates a track owned by the list and appends it.
    TDataItem *CreateItem() override;
    TMp3Track *Get(int index) const { return static_cast<TMp3Track *>(TDataRefList::Get(index)); }
};

// Why a track's file could not be found, worded for the kind of drive of its
// location.
QString GetMissingFileMessage(const TMp3Track &track);
// "Artist - Title" for playlists; just the one of them that is not empty.
QString GetArtistTitle(const TMp3Track &track);
