// The collection file records of the MP3 model: the track and the location.

#include "core/data/collectionformat.h"
#include "core/data/datastream.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/mp3model/trackmembers.h"

#include <variant>

namespace {

// A lookup reference is the item's identifier; -1, an identifier that the
// list does not hold, or an item of another class than the member holds is
// no value.
void readReference(TDataReader &reader, TMp3Track &track, const TTrackLookupMember &lookup, const TMp3Root *root)
{
    TLookupItem *item = reader.FindLookup(root ? lookup.List(*root) : nullptr, reader.ReadInteger());
    if (!lookup.Set(track, item))
        lookup.Set(track, nullptr);
}

} // namespace

// The record holds the members in the order of the member table: texts,
// numbers and flags as such, the MPEG codes (a byte each) as numbers, the
// lookups as references.
void TMp3Track::ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion)
{
    TDataItem::ReadFromStream(reader, fileVersion, dataVersion);
    const auto *root = dynamic_cast<const TMp3Root *>(GetRoot());
    for (const TTrackMember &row : TrackMembers()) {
        if (!row.InRecord)
            continue;
        std::visit(TOverloaded{
                       [&](QString TMp3Track::*member) {
                           this->*member = row.IsPath ? reader.ReadFilePath() : reader.ReadString();
                       },
                       [&](qint32 TMp3Track::*member) { this->*member = reader.ReadInteger(); },
                       [&](quint8 TMp3Track::*member) { this->*member = readEnumByte(reader); },
                       [&](bool TMp3Track::*member) { this->*member = reader.ReadBoolean(); },
                       [&](qint64 TMp3Track::*) {},
                       [&](TTrackLookupMember lookup) { readReference(reader, *this, lookup, root); },
                       [&](TTrackGenresMember) { Genres->ReadFromStream(reader, fileVersion, dataVersion); },
                   },
                   row.Value);
    }
}

void TMp3Track::WriteToStream(TDataWriter &writer)
{
    TDataItem::WriteToStream(writer);
    for (const TTrackMember &row : TrackMembers()) {
        if (!row.InRecord)
            continue;
        std::visit(TOverloaded{
                       [&](QString TMp3Track::*member) {
                           if (row.IsPath)
                               writer.WriteFilePath(this->*member);
                           else
                               writer.WriteString(this->*member);
                       },
                       [&](qint32 TMp3Track::*member) { writer.WriteInteger(this->*member); },
                       [&](quint8 TMp3Track::*member) { writer.WriteInteger(this->*member); },
                       [&](bool TMp3Track::*member) { writer.WriteBoolean(this->*member); },
                       [&](qint64 TMp3Track::*) {},
                       [&](TTrackLookupMember lookup) { writer.WriteInteger(GetLookupID(lookup.Get(*this))); },
                       [&](TTrackGenresMember) { Genres->WriteToStream(writer); },
                   },
                   row.Value);
    }
}

void TLocationLookupItem::ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion)
{
    TSortLookupItem::ReadFromStream(reader, fileVersion, dataVersion);
    DriveType = readEnumByte(reader);
    DriveLabel = reader.ReadScrambledString();
}

void TLocationLookupItem::WriteToStream(TDataWriter &writer)
{
    TSortLookupItem::WriteToStream(writer);
    writer.WriteInteger(DriveType);
    writer.WriteScrambledString(DriveLabel);
}
