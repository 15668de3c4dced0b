#include "core/mp3model/mp3fields.h"

#include "core/data/datafield.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3lookups.h"
#include "core/base/settingsstore.h"

#include <initializer_list>

namespace {

enum class Kind { String, Integer, Boolean, Lookup, SortLookup, PersonLookup, AlbumLookup, LocationLookup };

struct FieldRow {
    qint32 id;
    const char *name;
    Kind kind;
    bool inheritable;
    qint32 width;
    // The category's name; nullptr for none.  A category is added to the
    // catalogue when its first field is.
    const char *category;
    TListKinds listKinds;
    bool filterByItems = false;
    qint32 maxValues = 1;
};

const char *const Main = "Main";
const char *const File = "File";
const char *const Credits = "Credits";
const char *const Url = "URL";
const char *const MusicMatch = "MusicMatch";

// The MP3 fields in catalogue order.  The tag texts (29 to 33, 40, 42, 44,
// 48, 50, 52, 54, 63, 65) are the file lists' twins of the track's lookup
// fields and share their names.
QList<FieldRow> mp3FieldRows()
{
    using namespace Mp3FieldIds;
    const TListKinds k2{2}, k3{3}, k5{5}, k1{1}, none{};
    const TListKinds k23{2, 3}, k34{3, 4}, k234{2, 3, 4}, k235{2, 3, 5}, k2345{2, 3, 4, 5};
    return {
        {Title, "Title", Kind::String, false, 100, Main, k234},
        {TitleSort, "Title Sort", Kind::String, false, 100, Main, k2},
        {TitleThe, "Title The", Kind::String, false, 50, Main, k2},
        {Artist, "Artist", Kind::PersonLookup, true, 100, Main, k2, false, 1},
        {Genre, "Genre", Kind::Lookup, false, 100, Main, k2, true, 2},
        {Label, "Label", Kind::SortLookup, false, 100, Main, k2, false, 1},
        {Year, "Year", Kind::Lookup, false, 50, Main, k2, true, 1},
        {Notes, "Notes", Kind::String, false, 100, Main, k234},
        {Album, "Album", Kind::AlbumLookup, false, 150, Main, k2, false, 1},
        {TrackIndex, "Track Index", Kind::Integer, false, 50, Main, k234},
        {DiskIndex, "Disk Index", Kind::Integer, false, 50, Main, k2},
        {BPM, "BPM", Kind::Integer, false, 50, Main, k234},
        {SubTitle, "Sub Title", Kind::String, false, 50, Main, k2},
        {Lyrics, "Lyrics", Kind::String, false, 100, Main, k234},
        {OriginalArtist, "Original Artist", Kind::PersonLookup, true, 100, Main, k2, false, 1},
        {Location, "Location", Kind::LocationLookup, false, 100, File, k2, true, 1},
        {Filename, "Filename", Kind::String, false, 150, File, k2345},
        {Filepath, "Filepath", Kind::String, false, 150, File, k2345},
        {Size, "Size", Kind::Integer, false, 60, File, k23},
        {Length, "Length", Kind::Integer, false, 60, File, k235},
        {MpegVersion, "Mpeg Version", Kind::Integer, false, 50, File, k23},
        {MpegLayer, "Mpeg Layer", Kind::Integer, false, 50, File, k23},
        {Mode, "Mode", Kind::Integer, false, 50, File, k23},
        {Bitrate, "Bitrate", Kind::Integer, false, 60, File, k23},
        {Frames, "Nr Frames", Kind::Integer, false, 50, File, k23},
        {HeaderPosition, "Header found at", Kind::Integer, false, 50, File, k3},
        {SampleRate, "SampleRate", Kind::Integer, false, 50, File, k23},
        {VBR, "VBR", Kind::Boolean, true, 50, File, k23},
        {CRCs, "CRCs", Kind::Boolean, true, 50, File, k23},
        {Original, "Original", Kind::Boolean, true, 50, File, k23},
        {Copyrighted, "Copyrighted", Kind::Boolean, true, 50, File, k23},
        {Emphasis, "Emphasis", Kind::String, false, 50, File, k23},
        {FilenameFormat, "Filename Format", Kind::String, false, 100, File, k3},
        {EncodedBy, "Encoded By", Kind::String, false, 100, File, k234},
        {DriveLabel, "Drive Label", Kind::String, false, 50, nullptr, k1},
        {ArtistText, "Artist", Kind::String, true, 100, Main, k34},
        {GenreText, "Genre", Kind::String, false, 100, Main, k34},
        {LabelText, "Label", Kind::String, false, 100, Main, k34},
        {YearText, "Year", Kind::String, false, 50, Main, k34},
        {AlbumText, "Album", Kind::String, false, 150, Main, k34},
        {OriginalArtistText, "Original Artist", Kind::String, true, 100, Main, k34},
        {NewFilename, "New Filename", Kind::String, false, 150, Main, none},
        {PlaylistIndex, "Playlist Index", Kind::Integer, false, 80, Main, k5},
        {PlaylistTitle, "Playlist Title", Kind::String, false, 150, Main, k5},
        {Composer, "Composer", Kind::PersonLookup, true, 100, Credits, k2, true, 1},
        {Lyricist, "Lyricist", Kind::PersonLookup, true, 100, Credits, k2, true, 1},
        {Orchestra, "Orchestra", Kind::SortLookup, false, 100, Credits, k2, true, 1},
        {Conductor, "Conductor", Kind::PersonLookup, true, 100, Credits, k2, true, 1},
        {CopyrightBy, "Copyright By", Kind::String, false, 100, Credits, k234},
        {ComposerText, "Composer", Kind::String, true, 100, Credits, k34},
        {LyricistText, "Lyricist", Kind::String, true, 100, Credits, k34},
        {OrchestraText, "Orchestra", Kind::String, false, 100, Credits, k34},
        {ConductorText, "Conductor", Kind::String, true, 100, Credits, k34},
        {AudioURL, "Audio URL", Kind::String, false, 100, Url, k234},
        {ArtistURL, "Artist URL", Kind::String, false, 100, Url, k234},
        {GeneralURL, "General URL", Kind::String, false, 100, Url, k234},
        {Tempo, "Tempo", Kind::Lookup, false, 50, MusicMatch, k2, true, 1},
        {Mood, "Mood", Kind::Lookup, false, 100, MusicMatch, k2, true, 1},
        {Situation, "Situation", Kind::Lookup, false, 100, MusicMatch, k2, true, 1},
        {Preference, "Preference", Kind::Lookup, false, 100, MusicMatch, k2, true, 1},
        {Biography, "Biography", Kind::String, false, 100, MusicMatch, k234},
        {TempoText, "Tempo", Kind::String, false, 50, MusicMatch, k34},
        {MoodText, "Mood", Kind::String, false, 100, MusicMatch, k34},
        {SituationText, "Situation", Kind::String, false, 100, MusicMatch, k34},
        {PreferenceText, "Preference", Kind::String, false, 100, MusicMatch, k34},
    };
}

constexpr qint32 defaultOrder = 1;

TDataField *createField(TDataFieldList *owner, const FieldRow &row, qint32 category)
{
    const QString name = QString::fromLatin1(row.name);
    switch (row.kind) {
    case Kind::String:
        return new TStringDataField(owner, row.id, name, row.inheritable, row.width, defaultOrder,
                                    category, row.listKinds);
    case Kind::Boolean:
        return new TBooleanDataField(owner, row.id, name, row.inheritable, row.width, defaultOrder,
                                     category, row.listKinds);
    case Kind::Integer:
        return new TIntegerDataField(owner, row.id, name, row.inheritable, row.width, defaultOrder,
                                     category, row.listKinds);
    case Kind::Lookup:
        return new TLookupDataField(owner, row.id, name, row.inheritable, row.width, defaultOrder,
                                    category, row.listKinds, row.filterByItems, row.maxValues);
    case Kind::SortLookup:
        return new TSortLookupDataField(owner, row.id, name, row.inheritable, row.width, defaultOrder,
                                        category, row.listKinds, row.filterByItems, row.maxValues);
    case Kind::PersonLookup:
        return new TPersonLookupDataField(owner, row.id, name, row.inheritable, row.width,
                                          defaultOrder, category, row.listKinds, row.filterByItems,
                                          row.maxValues);
    case Kind::AlbumLookup:
        return new TAlbumLookupDataField(owner, row.id, name, row.inheritable, row.width, defaultOrder,
                                         category, row.listKinds, row.filterByItems, row.maxValues);
    case Kind::LocationLookup:
        return new TLocationLookupDataField(owner, row.id, name, row.inheritable, row.width,
                                            defaultOrder, category, row.listKinds, row.filterByItems,
                                            row.maxValues);
    }
    return nullptr;
}

} // namespace

// ---- TMp3GlobalDataFieldList ----------------------------------------------

TMp3GlobalDataFieldList::TMp3GlobalDataFieldList(TDataObject *owner)
    : TGlobalDataFieldList(owner, false)
{
    CreateFields();
}

void TMp3GlobalDataFieldList::CreateFields()
{
    TGlobalDataFieldList::CreateFields();
    for (const FieldRow &row : mp3FieldRows()) {
        qint32 category = -1;
        if (row.category) {
            const QString name = QString::fromLatin1(row.category);
            category = qint32(Categories.indexOf(name));
            if (category < 0)
                category = addCategory(name);
        }
        Add(createField(this, row, category));
    }
    setDefaultColumns();
    setGroupPresets();
}

void TMp3GlobalDataFieldList::setDefaultColumns()
{
    using namespace Mp3FieldIds;
    DefaultColumns[ListKind::MainItems] = {Filepath, Artist, Title, Album, Length, Size, Bitrate};
    DefaultColumns[ListKind::Files] = {Filename, ArtistText, Title, AlbumText, Length, Size, Bitrate};
    DefaultColumns[ListKind::FilesWithDetails] = {Filename,   ArtistText, Title,   AlbumText,
                                                  TrackIndex, GenreText,  YearText};
    DefaultColumns[ListKind::Playlist] = {PlaylistIndex, PlaylistTitle, Length, Filepath};
}

void TMp3GlobalDataFieldList::setGroupPresets()
{
    using namespace Mp3FieldIds;
    GroupPresets[ListKind::MainItems] = {
        {Location, Artist, Album}, {Genre, Artist, Album}, {Artist, Album}, {Artist}, {Album},
        {Location}, {Genre}};
}

// ---- TMP3Defaults ---------------------------------------------------------

namespace {
const QString defaultsSection = QStringLiteral("Defaults");
const QString yearKey = QStringLiteral("Year");
const QString genreKey = QStringLiteral("Genre");
const QString locationKey = QStringLiteral("Location");
} // namespace

void TMP3Defaults::Load(const TSettingsStore &store)
{
    DefaultYear = store.ReadString(defaultsSection, yearKey);
    DefaultGenre = store.ReadString(defaultsSection, genreKey);
    DefaultLocation = store.ReadString(defaultsSection, locationKey);
}

void TMP3Defaults::Save(TSettingsStore &store) const
{
    store.WriteString(defaultsSection, yearKey, DefaultYear);
    store.WriteString(defaultsSection, genreKey, DefaultGenre);
    store.WriteString(defaultsSection, locationKey, DefaultLocation);
}
