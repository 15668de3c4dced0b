#include "core/audio/infosources.h"

#include "core/audio/filenameinfo.h"
#include "core/audio/id3v1tag.h"
#include "core/audio/id3v2tag.h"

namespace {

using F = TMergedField;

// ID3v1 slots hold 30 characters of text and 4 of year.
constexpr int V1TextLength = 30;
constexpr int V1YearLength = 4;

} // namespace

const std::array<TMergedField, MergedFieldCount> &AllMergedFields()
{
    static const std::array<TMergedField, MergedFieldCount> fields = [] {
        std::array<TMergedField, MergedFieldCount> all{};
        for (int i = 0; i < MergedFieldCount; ++i)
            all[size_t(i)] = TMergedField(i);
        return all;
    }();
    return fields;
}

bool IsMergedNumberField(TMergedField field)
{
    return field == F::TrackIndex || field == F::BPM;
}

namespace {

// The manual entry and the ID3v2 tag share their field names, so one table
// serves both.
template <typename Record>
const QString *recordText(const Record &r, TMergedField field)
{
    switch (field) {
    case F::Album: return &r.Album;
    case F::Artist: return &r.Artist;
    case F::Title: return &r.Title;
    case F::Year: return &r.Year;
    case F::Genre: return &r.Genre;
    case F::Notes: return &r.Comment;
    case F::Label: return &r.Label;
    case F::OrigArtist: return &r.OrigArtist;
    case F::Composer: return &r.Composer;
    case F::Lyricist: return &r.Lyricist;
    case F::Orchestra: return &r.Orchestra;
    case F::Conductor: return &r.Conductor;
    case F::EncodedBy: return &r.EncodedBy;
    case F::CopyrightBy: return &r.CopyrightBy;
    case F::SubTitle: return &r.Subtitle;
    case F::Tempo: return &r.Tempo;
    case F::Mood: return &r.Mood;
    case F::Situation: return &r.Situation;
    case F::Preference: return &r.Preference;
    case F::Biography: return &r.Bio;
    case F::AudioURL: return &r.AudioURL;
    case F::ArtistURL: return &r.ArtistURL;
    case F::GeneralURL: return &r.GeneralURL;
    case F::Lyrics: return &r.Lyrics;
    case F::TrackIndex:
    case F::BPM: break;
    }
    return nullptr;
}

template <typename Record>
std::optional<qint32> recordNumber(const Record &r, TMergedField field)
{
    switch (field) {
    case F::TrackIndex: return r.Track;
    case F::BPM: return r.BPM;
    default: return std::nullopt;
    }
}

std::optional<QString> optionalText(const QString *text)
{
    return text ? std::optional<QString>(*text) : std::nullopt;
}

// A source as the merge sees it: whether it takes part, what it offers for
// a field, and whether its offer stands even when empty.
template <typename Value>
struct SourceOffer {
    bool available;
    std::optional<Value> value;
    bool final;
};

template <typename Value>
std::optional<Value> firstOffer(std::initializer_list<SourceOffer<Value>> offers, const Value &none)
{
    for (const SourceOffer<Value> &offer : offers) {
        if (!offer.available || !offer.value)
            continue;
        if (offer.final || *offer.value != none)
            return offer.value;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> TManualEntryInfo::GetText(TMergedField field) const
{
    return Entry ? optionalText(recordText(*Entry, field)) : std::nullopt;
}

std::optional<qint32> TManualEntryInfo::GetNumber(TMergedField field) const
{
    return Entry ? recordNumber(*Entry, field) : std::nullopt;
}

std::optional<QString> ID3v2Text(const TID3v2Tag &tag, TMergedField field)
{
    // A genre stored as a reference ("(17)") is offered as its name, so
    // that views, new tracks and the ID3v1 tag get "Rock", not "(17)".
    if (field == F::Genre)
        return tag.genreDisplayText();
    return optionalText(recordText(tag, field));
}

std::optional<qint32> ID3v2Number(const TID3v2Tag &tag, TMergedField field)
{
    return recordNumber(tag, field);
}

std::optional<QString> ID3v1Text(const TID3v1Tag &tag, TMergedField field)
{
    switch (field) {
    case F::Album: return tag.Album;
    case F::Artist: return tag.Artist;
    case F::Title: return tag.Title;
    case F::Year: return tag.Year;
    case F::Genre: return tag.GetGenre();
    case F::Notes: return tag.Comment;
    default: return std::nullopt;
    }
}

std::optional<qint32> ID3v1Number(const TID3v1Tag &tag, TMergedField field)
{
    return field == F::TrackIndex ? std::optional<qint32>(tag.Track) : std::nullopt;
}

std::optional<QString> FilenameText(const TFilenameInfo &info, TMergedField field)
{
    switch (field) {
    case F::Album: return info.Album;
    case F::Artist: return info.Artist;
    case F::Title: return info.Title;
    case F::Year: return info.Year;
    case F::Genre: return info.Genre;
    default: return std::nullopt;
    }
}

std::optional<qint32> FilenameNumber(const TFilenameInfo &info, TMergedField field)
{
    return field == F::TrackIndex ? std::optional<qint32>(info.Track) : std::nullopt;
}

QString TInfoSourceSet::GetMergedText(TMergedField field) const
{
    if (IsMergedNumberField(field))
        return QString::number(GetMergedNumber(field));
    const std::optional<QString> text = firstOffer<QString>(
        {
            {m_manual.Available(), m_manual.GetText(field), false},
            {m_track.Available(), m_track.GetText(field), false},
            {m_id3v2.Available(), ID3v2Text(m_id3v2, field), false},
            {m_id3v1.Available(), ID3v1Text(m_id3v1, field), false},
            {m_filename.Available(), FilenameText(m_filename, field), true},
        },
        QString());
    return text ? TrimControl(*text) : QString();
}

qint32 TInfoSourceSet::GetMergedNumber(TMergedField field) const
{
    if (!IsMergedNumberField(field))
        return 0;
    return firstOffer<qint32>(
               {
                   {m_manual.Available(), m_manual.GetNumber(field), false},
                   {m_track.Available(), m_track.GetNumber(field), false},
                   {m_id3v2.Available(), ID3v2Number(m_id3v2, field), false},
                   {m_id3v1.Available(), ID3v1Number(m_id3v1, field), false},
                   {m_filename.Available(), FilenameNumber(m_filename, field), true},
               },
               0)
        .value_or(0);
}

void CopyV1ToV2(const TID3v1Tag &from, TID3v2Tag &to)
{
    to.Title = from.Title;
    to.Artist = from.Artist;
    to.Album = from.Album;
    to.Year = from.Year;
    to.Track = from.Track;
    to.Comment = from.Comment;
    to.SetGenre(from.GetGenre());
}

void CopyV2ToV1(const TID3v2Tag &from, TID3v1Tag &to)
{
    to.Title = from.Title.left(V1TextLength);
    to.Artist = from.Artist.left(V1TextLength);
    to.Album = from.Album.left(V1TextLength);
    to.Comment = from.Comment.left(V1TextLength);
    to.Year = from.Year.left(V1YearLength);
    to.Track = from.Track;
    to.SetGenre(from.genreDisplayText());
}

namespace {

template <typename Tag>
void takeFilenameValues(const TFilenameInfo &from, Tag &to, int textLength, int yearLength)
{
    const auto put = [](QString &target, const QString &value, int length) {
        if (!value.isEmpty())
            target = length > 0 ? value.left(length) : value;
    };
    put(to.Title, from.Title, textLength);
    put(to.Artist, from.Artist, textLength);
    put(to.Album, from.Album, textLength);
    put(to.Year, from.Year, yearLength);
    if (!from.Genre.isEmpty())
        to.SetGenre(from.Genre);
    if (from.Track != 0)
        to.Track = from.Track;
}

} // namespace

void FilenameToV1(const TFilenameInfo &from, TID3v1Tag &to)
{
    takeFilenameValues(from, to, V1TextLength, V1YearLength);
}

void FilenameToV2(const TFilenameInfo &from, TID3v2Tag &to)
{
    takeFilenameValues(from, to, 0, 0);
}
