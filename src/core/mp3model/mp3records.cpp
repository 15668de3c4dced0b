// The collection file records of the MP3 model: the track and the location.

#include "core/data/collectionformat.h"
#include "core/data/datastream.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include <typeinfo>

namespace {

// A lookup reference is the item's identifier; -1, or an identifier that the
// list does not hold, is no value.
template<typename Item>
Item *readReference(TDataReader &reader, const TLookupList *list)
{
    TLookupItem *item = reader.FindLookup(list, reader.ReadInteger());
    // A list holds items of its own item class: testing for exactly that
    // class first spares most of the casts.
    if (item && typeid(*item) == typeid(Item))
        return static_cast<Item *>(item);
    return dynamic_cast<Item *>(item);
}

template<typename List>
const TLookupList *listOf(const TMp3Root *root, const std::unique_ptr<List> TMp3Root::*member)
{
    return root ? (root->*member).get() : nullptr;
}

} // namespace

void TMp3Track::ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion)
{
    TDataItem::ReadFromStream(reader, fileVersion, dataVersion);
    const auto *root = dynamic_cast<const TMp3Root *>(GetRoot());

    Title = reader.ReadString();
    TitleSort = reader.ReadString();
    TitleThe = reader.ReadString();
    SubTitle = reader.ReadString();

    Artist = readReference<TPersonLookupItem>(reader, listOf(root, &TMp3Root::Artists));
    OriginalArtist = readReference<TPersonLookupItem>(reader, listOf(root, &TMp3Root::OriginalArtists));
    Lyricist = readReference<TPersonLookupItem>(reader, listOf(root, &TMp3Root::Lyricists));
    Conductor = readReference<TPersonLookupItem>(reader, listOf(root, &TMp3Root::Conductors));
    Composer = readReference<TPersonLookupItem>(reader, listOf(root, &TMp3Root::Composers));
    Album = readReference<TAlbumLookupItem>(reader, listOf(root, &TMp3Root::Albums));
    Year = readReference<TLookupItem>(reader, listOf(root, &TMp3Root::Years));
    Tempo = readReference<TLookupItem>(reader, listOf(root, &TMp3Root::Tempos));
    Mood = readReference<TLookupItem>(reader, listOf(root, &TMp3Root::Moods));
    Situation = readReference<TLookupItem>(reader, listOf(root, &TMp3Root::Situations));
    Preference = readReference<TLookupItem>(reader, listOf(root, &TMp3Root::Preferences));
    Label = readReference<TSortLookupItem>(reader, listOf(root, &TMp3Root::Labels));
    Orchestra = readReference<TSortLookupItem>(reader, listOf(root, &TMp3Root::Orchestras));

    Genres->ReadFromStream(reader, fileVersion, dataVersion);

    Notes = reader.ReadString();
    Biography = reader.ReadString();
    Lyrics = reader.ReadString();
    EncodedBy = reader.ReadString();
    CopyrightBy = reader.ReadString();
    AudioURL = reader.ReadString();
    ArtistURL = reader.ReadString();
    GeneralURL = reader.ReadString();

    TrackIndex = reader.ReadInteger();
    DiskIndex = reader.ReadInteger();
    BPM = reader.ReadInteger();

    Location = readReference<TLocationLookupItem>(reader, listOf(root, &TMp3Root::Locations));
    FilePath = reader.ReadFilePath();

    Size = reader.ReadInteger();
    Length = reader.ReadInteger();
    MpegVersion = readEnumByte(reader);
    Layer = reader.ReadInteger();
    Mode = readEnumByte(reader);
    Bitrate = reader.ReadInteger();
    Frames = reader.ReadInteger();
    HeaderPosition = reader.ReadInteger();
    SampleRate = reader.ReadInteger();

    VBR = reader.ReadBoolean();
    CRCs = reader.ReadBoolean();
    Copyrighted = reader.ReadBoolean();
    Original = reader.ReadBoolean();

    Emphasis = readEnumByte(reader);
}

void TMp3Track::WriteToStream(TDataWriter &writer)
{
    TDataItem::WriteToStream(writer);

    writer.WriteString(Title);
    writer.WriteString(TitleSort);
    writer.WriteString(TitleThe);
    writer.WriteString(SubTitle);

    const std::initializer_list<const TLookupItem *> references = {
        Artist, OriginalArtist, Lyricist, Conductor, Composer, Album, Year,
        Tempo,  Mood,           Situation, Preference, Label,   Orchestra};
    for (const TLookupItem *item : references)
        writer.WriteInteger(GetLookupID(item));

    Genres->WriteToStream(writer);

    for (const QString *text : {&Notes, &Biography, &Lyrics, &EncodedBy, &CopyrightBy, &AudioURL, &ArtistURL,
                                &GeneralURL})
        writer.WriteString(*text);

    writer.WriteInteger(TrackIndex);
    writer.WriteInteger(DiskIndex);
    writer.WriteInteger(BPM);

    writer.WriteInteger(GetLookupID(Location));
    writer.WriteFilePath(FilePath);

    for (const qint32 value : {Size, Length, qint32(MpegVersion), Layer, qint32(Mode), Bitrate, Frames, HeaderPosition,
                               SampleRate})
        writer.WriteInteger(value);

    for (const bool flag : {VBR, CRCs, Copyrighted, Original})
        writer.WriteBoolean(flag);

    writer.WriteInteger(Emphasis);
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
