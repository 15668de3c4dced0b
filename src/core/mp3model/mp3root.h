#pragma once

#include "core/data/rootitem.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3track.h"

#include <QList>
#include <QString>

#include <memory>

// The tracks' file paths, sorted for look-ups by path.
class TFilePathList {
public:
    struct Entry {
        QString Path;
        TMp3Track *Track = nullptr;
    };

    void clear() { m_entries.clear(); }
    void append(const QString &path, TMp3Track *track) { m_entries.append({path, track}); }
    // Sorts without regard to case (paths equal but for case stay in the
    // order they were added).
    void sort();
    int count() const { return int(m_entries.size()); }
    const Entry &at(int index) const { return m_entries.at(index); }

    // After sort: the track whose path is path exactly; else the one track
    // whose path differs from it only in case; nullptr when there is none or the case
    // leaves several candidates (two files may differ only in case).
    TMp3Track *find(const QString &path) const;

private:
    QList<Entry> m_entries;
};

// The root of an MP3 collection: the track list, the MP3 field catalogue,
// the field defaults and the fifteen lookup lists, one for each lookup field
// of the track.
class TMp3Root : public TRootItem {
public:
    TMp3Root();
    ~TMp3Root() override;

    // In this order the lists are created, cleared and stored in the
    // collection file.
    std::unique_ptr<TPersonLookupList> Artists;
    std::unique_ptr<TPersonLookupList> OriginalArtists;
    std::unique_ptr<TPersonLookupList> Lyricists;
    std::unique_ptr<TPersonLookupList> Conductors;
    std::unique_ptr<TPersonLookupList> Composers;
    std::unique_ptr<TLookupList> GenreList;
    std::unique_ptr<TSortLookupList> Labels;
    std::unique_ptr<TSortLookupList> Orchestras;
    std::unique_ptr<TYearLookupList> Years;
    std::unique_ptr<TTempoLookupList> Tempos;
    std::unique_ptr<TMoodLookupList> Moods;
    std::unique_ptr<TSituationLookupList> Situations;
    std::unique_ptr<TPreferenceLookupList> Preferences;
    std::unique_ptr<TLocationLookupList> Locations;
    std::unique_ptr<TAlbumLookupList> Albums;

    QString GetFileFilter() const override;
    QString GetCollectionName() const override;
    QString GetTypeName() const override;
    qint32 GetDataVersion() const override;
    QString GetFileExtension() const override;
    // Empties the collection and resets the lookup lists to their initial
    // entries.
    void Clear() override;
    void ReadLookupLists(TDataReader &reader, qint32 fileVersion, qint32 dataVersion) override;
    void WriteLookupLists(TDataWriter &writer) override;
    // Adds the values and tracks of another collection file; false (and
    // this collection unchanged) when that file cannot be loaded.
    bool ImportFromFile(const QString &fileName) override;
    void MergeLookupLists(TRootItem &otherRoot) override;
    // The list of the field's values; nullptr for fields that are not the
    // track's lookup fields.
    TLookupList *GetLookupList(const TDataField *field) const override;

    TMp3TrackList *GetTracks() const { return static_cast<TMp3TrackList *>(Items.get()); }
    // Fills paths with every track's FilePath (and the track), sorted for
    // look-ups.
    void GetFilePathList(TFilePathList &paths) const;

    // The fifteen lookup lists in member order.
    QList<TLookupList *> lookupLists() const;
};
