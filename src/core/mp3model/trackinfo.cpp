#include "core/mp3model/trackinfo.h"

#include "core/data/lookupitems.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3track.h"

namespace {

// Album, artist, year and genre give the value's own name: the sort form
// that the lookup lists may show would end up in tags and file names.
QString nameOf(const TLookupItem *item)
{
    return item ? item->DisplayName : QString();
}

} // namespace

std::optional<QString> TTrackInfo::GetText(TMergedField field) const
{
    if (!LinkedTrack)
        return std::nullopt;
    const TMp3Track &t = *LinkedTrack;
    using F = TMergedField;
    switch (field) {
    case F::Album: return nameOf(t.Album);
    case F::Artist: return nameOf(t.Artist);
    case F::Title: return t.Title;
    case F::Year: return nameOf(t.Year);
    case F::Genre: return nameOf(t.Genres ? t.Genres->First() : nullptr);
    case F::Notes: return t.Notes;
    case F::Label: return GetLookupDisplayName(t.Label);
    case F::OrigArtist: return GetLookupDisplayName(t.OriginalArtist);
    case F::Composer: return GetLookupDisplayName(t.Composer);
    case F::Lyricist: return GetLookupDisplayName(t.Lyricist);
    case F::Orchestra: return GetLookupDisplayName(t.Orchestra);
    case F::Conductor: return GetLookupDisplayName(t.Conductor);
    case F::EncodedBy: return t.EncodedBy;
    case F::CopyrightBy: return t.CopyrightBy;
    case F::SubTitle: return t.SubTitle;
    case F::Tempo: return GetLookupDisplayName(t.Tempo);
    case F::Mood: return GetLookupDisplayName(t.Mood);
    case F::Situation: return GetLookupDisplayName(t.Situation);
    case F::Preference: return GetLookupDisplayName(t.Preference);
    case F::Biography: return t.Biography;
    case F::AudioURL: return t.AudioURL;
    case F::ArtistURL: return t.ArtistURL;
    case F::GeneralURL: return t.GeneralURL;
    case F::Lyrics: return t.Lyrics;
    case F::TrackIndex:
    case F::BPM: break;
    }
    return std::nullopt;
}

std::optional<qint32> TTrackInfo::GetNumber(TMergedField field) const
{
    if (!LinkedTrack)
        return std::nullopt;
    switch (field) {
    case TMergedField::TrackIndex: return LinkedTrack->TrackIndex;
    case TMergedField::BPM: return LinkedTrack->BPM;
    default: return std::nullopt;
    }
}

void TTrackInfo::SetFilePath(const QString &path) const
{
    if (LinkedTrack)
        LinkedTrack->FilePath = path;
}
