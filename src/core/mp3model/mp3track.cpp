#include "core/mp3model/mp3track.h"

#include "core/audio/mpeginfo.h"
#include "core/base/localpath.h"
#include "core/data/datafield.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3fields.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/trackfields.h"

#include <QLocale>

#include <algorithm>

namespace {

template<size_t N>
QString nameAt(const std::array<QLatin1String, N> &names, quint8 index)
{
    // Values come from files; an unknown one shows as nothing.
    return index < N ? QString(names[index]) : QString();
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

// Assigns item to a typed lookup member; false when item is of another
// class than the member holds.
template<typename T>
bool assignLookup(T *&member, TLookupItem *item)
{
    if (!item) {
        member = nullptr;
        return true;
    }
    T *typed = dynamic_cast<T *>(item);
    if (!typed)
        return false;
    member = typed;
    return true;
}

} // namespace

TMp3Track::TMp3Track(TDataObject *owner)
    : TDataItem(owner)
    , Genres(std::make_unique<TLookupItemRefList>(this, Mp3FieldIds::Genre))
{
}

TMp3Track::~TMp3Track() = default;

QString TMp3Track::GetDisplayName() const
{
    return QStringLiteral("%1 - %2").arg(GetLookupDisplayName(Artist), Title);
}

void TMp3Track::Clear()
{
    TDataItem::Clear();
    Title.clear();
    TitleSort.clear();
    TitleThe.clear();
    SubTitle.clear();
    Artist = OriginalArtist = Lyricist = Conductor = Composer = nullptr;
    Album = nullptr;
    Year = Tempo = Mood = Situation = Preference = nullptr;
    Genres->Clear();
    Label = Orchestra = nullptr;
    Notes.clear();
    Biography.clear();
    Lyrics.clear();
    EncodedBy.clear();
    CopyrightBy.clear();
    AudioURL.clear();
    ArtistURL.clear();
    GeneralURL.clear();
    TrackIndex = BPM = DiskIndex = 0;
    Location = nullptr;
    FilePath.clear();
    Size = Length = 0;
    FileModified = 0;
    MpegVersion = 0;
    Layer = 0;
    Mode = 0;
    Bitrate = 0;
    VBR = CRCs = Copyrighted = Original = false;
    Emphasis = 0;
    SampleRate = Frames = HeaderPosition = 0;
}

std::unique_ptr<TDataItem> TMp3Track::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TMp3Track>(owner);
}

std::unique_ptr<TDataItem> TMp3Track::Clone(TDataObject *owner, bool keepID) const
{
    auto clone = std::make_unique<TMp3Track>(owner);
    copyItemTo(*clone, keepID);
    for (const TTrackFieldRow &row : TrackFieldRows())
        CopyTrackField(*this, *clone, row);
    clone->TitleSort = TitleSort;
    clone->TitleThe = TitleThe;
    clone->DiskIndex = DiskIndex;
    clone->Location = Location;
    clone->FilePath = FilePath;
    clone->Size = Size;
    clone->FileModified = FileModified;
    clone->Length = Length;
    clone->MpegVersion = MpegVersion;
    clone->Layer = Layer;
    clone->Mode = Mode;
    clone->Bitrate = Bitrate;
    clone->VBR = VBR;
    clone->CRCs = CRCs;
    clone->Copyrighted = Copyrighted;
    clone->Original = Original;
    clone->Emphasis = Emphasis;
    clone->SampleRate = SampleRate;
    clone->Frames = Frames;
    clone->HeaderPosition = HeaderPosition;
    return clone;
}

QString TMp3Track::fileName() const
{
    // Collections made on other systems hold "d:\music\x.mp3"; a colon is
    // a drive separator only in that position, elsewhere it belongs to the
    // name.
    const qsizetype delimiter = qMax(FilePath.lastIndexOf(QLatin1Char('/')),
                                     FilePath.lastIndexOf(QLatin1Char('\\')));
    if (delimiter >= 0)
        return FilePath.mid(delimiter + 1);
    if (FilePath.size() >= 2 && FilePath.at(1) == QLatin1Char(':') && FilePath.at(0).isLetter())
        return FilePath.mid(2);
    return FilePath;
}

bool TMp3Track::isSingleLookupField(qint32 fieldID)
{
    namespace F = Mp3FieldIds;
    switch (fieldID) {
    case F::Artist: case F::Label: case F::Year: case F::Album: case F::Location: case F::Lyricist:
    case F::Orchestra: case F::Conductor: case F::Tempo: case F::Mood: case F::Situation:
    case F::Preference: case F::Composer: case F::OriginalArtist:
        return true;
    default:
        return false;
    }
}

TLookupItem *TMp3Track::singleLookup(qint32 fieldID) const
{
    switch (fieldID) {
    case Mp3FieldIds::Artist: return Artist;
    case Mp3FieldIds::Label: return Label;
    case Mp3FieldIds::Year: return Year;
    case Mp3FieldIds::Album: return Album;
    case Mp3FieldIds::Location: return Location;
    case Mp3FieldIds::Lyricist: return Lyricist;
    case Mp3FieldIds::Orchestra: return Orchestra;
    case Mp3FieldIds::Conductor: return Conductor;
    case Mp3FieldIds::Tempo: return Tempo;
    case Mp3FieldIds::Mood: return Mood;
    case Mp3FieldIds::Situation: return Situation;
    case Mp3FieldIds::Preference: return Preference;
    case Mp3FieldIds::Composer: return Composer;
    case Mp3FieldIds::OriginalArtist: return OriginalArtist;
    default: return nullptr;
    }
}

bool TMp3Track::setSingleLookup(const TDataField *field, TLookupItem *item)
{
    switch (field->ID) {
    case Mp3FieldIds::Artist: return assignLookup(Artist, item);
    case Mp3FieldIds::Label: return assignLookup(Label, item);
    case Mp3FieldIds::Year: return assignLookup(Year, item);
    case Mp3FieldIds::Album: return assignLookup(Album, item);
    case Mp3FieldIds::Location: return assignLookup(Location, item);
    case Mp3FieldIds::Lyricist: return assignLookup(Lyricist, item);
    case Mp3FieldIds::Orchestra: return assignLookup(Orchestra, item);
    case Mp3FieldIds::Conductor: return assignLookup(Conductor, item);
    case Mp3FieldIds::Tempo: return assignLookup(Tempo, item);
    case Mp3FieldIds::Mood: return assignLookup(Mood, item);
    case Mp3FieldIds::Situation: return assignLookup(Situation, item);
    case Mp3FieldIds::Preference: return assignLookup(Preference, item);
    case Mp3FieldIds::Composer: return assignLookup(Composer, item);
    case Mp3FieldIds::OriginalArtist: return assignLookup(OriginalArtist, item);
    default: return false;
    }
}

QString TMp3Track::ownText(const TDataField *field) const
{
    namespace F = Mp3FieldIds;
    const qint32 id = field->ID;
    if (isSingleLookupField(id))
        return GetLookupDisplayName(singleLookup(id));
    switch (id) {
    case F::Title: return Title;
    case F::TitleThe: return TitleThe;
    case F::TitleSort: return TitleSort;
    case F::SubTitle: return SubTitle;
    case F::Notes: return Notes;
    case F::Biography: return Biography;
    case F::AudioURL: return AudioURL;
    case F::ArtistURL: return ArtistURL;
    case F::GeneralURL: return GeneralURL;
    case F::Lyrics: return Lyrics;
    case F::EncodedBy: return EncodedBy;
    case F::CopyrightBy: return CopyrightBy;
    // Paths as text: a byte of a name that is not UTF-8 shows as U+FFFD.
    case F::Filepath: return ReadablePath(FilePath);
    case F::Genre: return Genres->GetText();
    case F::Filename: return ReadablePath(fileName());
    case F::Size:
        return QLocale().toString(double(Size) / 1024.0, 'f', 0) + QStringLiteral(" KB");
    case F::Length:
        return QString::asprintf("%.2d:%.2d", Length / 60, Length % 60);
    case F::MpegVersion: return nameAt(MpegVersionNames, MpegVersion);
    case F::Mode: return nameAt(ModeNames, Mode);
    case F::Emphasis: return nameAt(EmphasisNames, Emphasis);
    case F::MpegLayer: return QString::number(Layer);
    case F::Frames: return QString::number(Frames);
    case F::TrackIndex: return QString::number(TrackIndex);
    case F::DiskIndex: return QString::number(DiskIndex);
    case F::HeaderPosition: return QString::number(HeaderPosition);
    case F::BPM: return QString::number(BPM);
    case F::Bitrate:
        return VBR ? QStringLiteral("%1kbps(VBR)").arg(Bitrate)
                   : QStringLiteral("%1kbps").arg(Bitrate);
    case F::VBR: return yesNo(VBR);
    case F::CRCs: return yesNo(CRCs);
    case F::Copyrighted: return yesNo(Copyrighted);
    case F::Original: return yesNo(Original);
    case F::SampleRate: return QStringLiteral("%1kHz").arg(SampleRate / 1000);
    default: return TDataItem::GetValueAsString(field);
    }
}

QString TMp3Track::GetValueAsString(const TDataField *field) const
{
    return GetInheritedString(field, ownText(field));
}

qint32 TMp3Track::GetValueAsInteger(const TDataField *field) const
{
    qint32 value;
    switch (field->ID) {
    case Mp3FieldIds::Size: value = Size; break;
    case Mp3FieldIds::Length: value = Length; break;
    case Mp3FieldIds::MpegVersion: value = MpegVersion; break;
    case Mp3FieldIds::MpegLayer: value = Layer; break;
    case Mp3FieldIds::Mode: value = Mode; break;
    case Mp3FieldIds::Bitrate: value = Bitrate; break;
    case Mp3FieldIds::SampleRate: value = SampleRate; break;
    case Mp3FieldIds::Frames: value = Frames; break;
    case Mp3FieldIds::TrackIndex: value = TrackIndex; break;
    case Mp3FieldIds::DiskIndex: value = DiskIndex; break;
    case Mp3FieldIds::HeaderPosition: value = HeaderPosition; break;
    case Mp3FieldIds::BPM: value = BPM; break;
    default: value = TDataItem::GetValueAsInteger(field); break;
    }
    return GetInheritedInteger(field, value);
}

TLookupItem *TMp3Track::GetValueAsLookupItem(const TDataField *field, bool inherit) const
{
    TLookupItem *value = field->ID == Mp3FieldIds::Genre ? Genres->First() : singleLookup(field->ID);
    return inherit ? GetInheritedLookupItem(field, value) : value;
}

TLookupItemRefList *TMp3Track::GetValueAsLookupItemRefList(const TDataField *field, bool inherit) const
{
    TLookupItemRefList *value = field->ID == Mp3FieldIds::Genre ? Genres.get() : nullptr;
    return inherit ? GetInheritedLookupItemRefList(field, value) : value;
}

quint8 TMp3Track::GetValueAsBoolean(const TDataField *field) const
{
    switch (field->ID) {
    case Mp3FieldIds::VBR: return VBR ? BoolValue::Yes : BoolValue::No;
    case Mp3FieldIds::CRCs: return CRCs ? BoolValue::Yes : BoolValue::No;
    case Mp3FieldIds::Copyrighted: return Copyrighted ? BoolValue::Yes : BoolValue::No;
    case Mp3FieldIds::Original: return Original ? BoolValue::Yes : BoolValue::No;
    default: return BoolValue::NotApplicable;
    }
}

void TMp3Track::SetValueAsLookupItem(const TDataField *field, TLookupItem *item, qint32 mode,
                                     TLookupItem *oldItem)
{
    if (field->ID == Mp3FieldIds::Genre) {
        Genres->SetLookupItem(item, oldItem, mode);
        return;
    }
    // A value of the wrong class (an album for the artist) is as invalid as
    // a field the track does not hold.
    if (!setSingleLookup(field, item))
        TDataItem::SetValueAsLookupItem(field, item, mode, oldItem);
}

bool TMp3Track::HasLookupItem(const TDataField *field, const TLookupItem *item) const
{
    if (field->ID == Mp3FieldIds::Genre)
        return Genres->ContainsOrEmpty(item);
    if (isSingleLookupField(field->ID))
        return GetValueAsLookupItem(field, true) == item;
    return false;
}

bool TMp3Track::IsEqual(const TDataItem *item) const
{
    const auto *other = dynamic_cast<const TMp3Track *>(item);
    if (!other)
        return false;
    // Every member but two: Layer, which this comparison has always left
    // out (edit windows tell changes apart by it and never edit the layer),
    // and FileModified, a note of the last scan rather than a value of the
    // track.
    const bool sameFields = std::all_of(TrackFieldRows().cbegin(), TrackFieldRows().cend(),
                                        [&](const TTrackFieldRow &row) { return SameTrackField(*this, *other, row); });
    return sameFields && Index == other->Index && TitleSort == other->TitleSort && TitleThe == other->TitleThe
        && DiskIndex == other->DiskIndex && Location == other->Location && FilePath == other->FilePath
        && Size == other->Size && Length == other->Length && MpegVersion == other->MpegVersion
        && Mode == other->Mode && Bitrate == other->Bitrate && SampleRate == other->SampleRate
        && VBR == other->VBR && CRCs == other->CRCs && Copyrighted == other->Copyrighted
        && Original == other->Original && Emphasis == other->Emphasis && Frames == other->Frames
        && HeaderPosition == other->HeaderPosition;
}

void TMp3Track::ApplyDefaults()
{
    auto *root = dynamic_cast<TMp3Root *>(GetRoot());
    if (!root)
        return;
    const auto *defaults = dynamic_cast<const TMP3Defaults *>(root->Defaults.get());
    if (!defaults)
        return;
    if (!Year)
        Year = root->Years->FindOrAdd(defaults->DefaultYear);
    if (Genres->isEmpty())
        Genres->Add(root->GenreList->FindOrAdd(defaults->DefaultGenre));
    if (!Location)
        Location = static_cast<TLocationLookupItem *>(root->Locations->FindOrAdd(defaults->DefaultLocation));
}

// ---- TMp3TrackList --------------------------------------------------------

TDataItem *TMp3TrackList::CreateItem()
{
    auto *track = new TMp3Track(this);
    Add(track);
    return track;
}

// ---- texts ----------------------------------------------------------------

QString GetMissingFileMessage(const TMp3Track &track)
{
    if (!track.Location)
        return QStringLiteral("File %1 not found.").arg(track.FilePath);
    QString format;
    switch (track.Location->DriveType) {
    case dkRemovable:
        format = QStringLiteral("File\n\r%1\n\rnot found on removable drive %2.\n\r\n\rPlease insert the "
                                "disk, and verify that the file has not been moved or renamed.");
        break;
    case dkFixed:
        format = QStringLiteral("File\n\r%1\n\rnot found on harddisk %2.\n\r\n\rPlease verify that the "
                                "file has not been moved or renamed.");
        break;
    case dkNetwork:
        format = QStringLiteral("File\n\r%1\n\rnot found on network drive %2.\n\r\n\rPlease verify that "
                                "the network connection is active, and the file has not been moved or "
                                "renamed.");
        break;
    case dkCDRom:
        format = QStringLiteral("File\n\r%1\n\rnot found on CD %2.\n\r\n\rPlease insert the disk, and "
                                "verify that the file has not been moved or renamed.");
        break;
    default:
        format = QStringLiteral("File\n\r%1\n\rnot found (Location %2).");
        break;
    }
    return format.arg(track.FilePath, track.Location->GetDisplayName());
}

QString GetArtistTitle(const TMp3Track &track)
{
    const QString artist = GetLookupDisplayName(track.Artist);
    if (artist.isEmpty())
        return track.Title;
    if (track.Title.isEmpty())
        return artist;
    return QStringLiteral("%1 - %2").arg(artist, track.Title);
}
