#include "core/mp3model/trackfields.h"

#include "core/audio/genretext.h"
#include "core/data/lookupitems.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include <type_traits>

namespace {

using F = TMergedField;
using T = TMp3Track;
using R = TMp3Root;
namespace Ids = Mp3FieldIds;

template <auto Member>
TLookupItem *getLookup(const TMp3Track &track)
{
    return track.*Member;
}

template <auto Member>
void setLookup(TMp3Track &track, TLookupItem *item)
{
    using Item = std::remove_pointer_t<std::remove_reference_t<decltype(track.*Member)>>;
    track.*Member = static_cast<Item *>(item);
}

template <auto List>
TLookupList *listOf(const TMp3Root &root)
{
    return (root.*List).get();
}

TTrackFieldRow text(F field, qint32 fileListFieldID, QString T::*member)
{
    TTrackFieldRow row{field, fileListFieldID};
    row.Text = member;
    return row;
}

TTrackFieldRow number(F field, qint32 fileListFieldID, qint32 T::*member)
{
    TTrackFieldRow row{field, fileListFieldID};
    row.Number = member;
    return row;
}

template <auto Member, auto List>
TTrackFieldRow lookup(F field, qint32 fileListFieldID, bool shownName)
{
    TTrackFieldRow row{field, fileListFieldID};
    row.GetLookup = &getLookup<Member>;
    row.SetLookup = &setLookup<Member>;
    row.List = &listOf<List>;
    row.ShownName = shownName;
    return row;
}

TTrackFieldRow genres()
{
    TTrackFieldRow row{F::Genre, Ids::GenreText};
    row.List = &listOf<&R::GenreList>;
    row.IsGenres = true;
    return row;
}

QString ownName(const TLookupItem *item)
{
    return item ? item->DisplayName : QString();
}

// Every genre of the track by its own name, joined as a tag's genre text
// joins them ("Disco; Rock").
QString genreNamesOf(const TMp3Track &track)
{
    QStringList names;
    for (int i = 0; track.Genres && i < track.Genres->Count(); ++i)
        names.append(ownName(track.Genres->Get(i)));
    return names.join(GenreSeparator);
}

} // namespace

const std::array<TTrackFieldRow, MergedFieldCount> &TrackFieldRows()
{
    static const std::array<TTrackFieldRow, MergedFieldCount> rows = {{
        number(F::TrackIndex, Ids::TrackIndex, &T::TrackIndex),
        text(F::Title, Ids::Title, &T::Title),
        lookup<&T::Artist, &R::Artists>(F::Artist, Ids::ArtistText, false),
        lookup<&T::Album, &R::Albums>(F::Album, Ids::AlbumText, false),
        genres(),
        text(F::Notes, Ids::Notes, &T::Notes),
        lookup<&T::Year, &R::Years>(F::Year, Ids::YearText, false),
        lookup<&T::Label, &R::Labels>(F::Label, Ids::LabelText, true),
        lookup<&T::Lyricist, &R::Lyricists>(F::Lyricist, Ids::LyricistText, true),
        lookup<&T::Orchestra, &R::Orchestras>(F::Orchestra, Ids::OrchestraText, true),
        lookup<&T::Conductor, &R::Conductors>(F::Conductor, Ids::ConductorText, true),
        lookup<&T::Tempo, &R::Tempos>(F::Tempo, Ids::TempoText, true),
        lookup<&T::Mood, &R::Moods>(F::Mood, Ids::MoodText, true),
        lookup<&T::Situation, &R::Situations>(F::Situation, Ids::SituationText, true),
        lookup<&T::Preference, &R::Preferences>(F::Preference, Ids::PreferenceText, true),
        lookup<&T::Composer, &R::Composers>(F::Composer, Ids::ComposerText, true),
        lookup<&T::OriginalArtist, &R::OriginalArtists>(F::OrigArtist, Ids::OriginalArtistText, true),
        text(F::SubTitle, Ids::SubTitle, &T::SubTitle),
        text(F::Biography, Ids::Biography, &T::Biography),
        text(F::AudioURL, Ids::AudioURL, &T::AudioURL),
        text(F::ArtistURL, Ids::ArtistURL, &T::ArtistURL),
        text(F::GeneralURL, Ids::GeneralURL, &T::GeneralURL),
        text(F::Lyrics, Ids::Lyrics, &T::Lyrics),
        text(F::EncodedBy, Ids::EncodedBy, &T::EncodedBy),
        text(F::CopyrightBy, Ids::CopyrightBy, &T::CopyrightBy),
        number(F::BPM, Ids::BPM, &T::BPM),
    }};
    return rows;
}

const TTrackFieldRow &TrackFieldRow(TMergedField field)
{
    static const std::array<const TTrackFieldRow *, MergedFieldCount> byField = [] {
        std::array<const TTrackFieldRow *, MergedFieldCount> index{};
        for (const TTrackFieldRow &row : TrackFieldRows())
            index[size_t(row.Field)] = &row;
        return index;
    }();
    return *byField[size_t(field)];
}

std::optional<TMergedField> MergedFieldOfFileListField(qint32 fieldID)
{
    // File lists ask for every cell they show: the fields by ID, found once.
    constexpr qint32 idLimit = Ids::Filepath + 1;
    static const std::array<std::optional<TMergedField>, idLimit> byID = [] {
        std::array<std::optional<TMergedField>, idLimit> index{};
        for (const TTrackFieldRow &row : TrackFieldRows())
            index[size_t(row.FileListFieldID)] = row.Field;
        return index;
    }();
    return fieldID > 0 && fieldID < idLimit ? byID[size_t(fieldID)] : std::nullopt;
}

QString TrackFieldText(const TMp3Track &track, const TTrackFieldRow &row)
{
    if (row.GetLookup && row.ShownName)
        return GetLookupDisplayName(row.GetLookup(track));
    return TrackFieldOwnText(track, row);
}

QString TrackFieldOwnText(const TMp3Track &track, const TTrackFieldRow &row)
{
    if (row.Text)
        return track.*row.Text;
    if (row.Number)
        return QString::number(track.*row.Number);
    if (row.IsGenres)
        return genreNamesOf(track);
    return ownName(row.GetLookup(track));
}

qint32 TrackFieldNumber(const TMp3Track &track, const TTrackFieldRow &row)
{
    return row.Number ? track.*row.Number : 0;
}

void TakeTrackField(TMp3Track &track, const TTrackFieldRow &row, const QString &text, qint32 number,
                    TMp3Root *root)
{
    if (row.Number) {
        if (number != 0)
            track.*row.Number = number;
        return;
    }
    if (text.isEmpty())
        return;
    if (row.Text) {
        track.*row.Text = text;
        return;
    }
    TLookupList *list = root ? row.List(*root) : nullptr;
    if (!list)
        return;
    if (row.IsGenres) {
        // "Disco; Rock" (read from "(4)(17)") are two genres of the track.
        const QStringList names = genreNames(text);
        if (names.isEmpty())
            return;
        track.Genres->Clear();
        for (const QString &genre : names)
            track.Genres->Add(list->FindOrAdd(genre));
    } else {
        row.SetLookup(track, list->FindOrAdd(text));
    }
}

void CopyTrackField(const TMp3Track &from, TMp3Track &to, const TTrackFieldRow &row)
{
    if (row.Text)
        to.*row.Text = from.*row.Text;
    else if (row.Number)
        to.*row.Number = from.*row.Number;
    else if (row.IsGenres) {
        to.Genres->Clear();
        to.Genres->AddItemsOf(*from.Genres);
    }
    else
        row.SetLookup(to, row.GetLookup(from));
}

bool SameTrackField(const TMp3Track &a, const TMp3Track &b, const TTrackFieldRow &row)
{
    if (row.Text)
        return a.*row.Text == b.*row.Text;
    if (row.Number)
        return a.*row.Number == b.*row.Number;
    if (row.IsGenres)
        return a.Genres->IsEqual(*b.Genres);
    return row.GetLookup(a) == row.GetLookup(b);
}
