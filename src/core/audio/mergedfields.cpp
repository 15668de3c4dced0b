#include "core/audio/mergedfields.h"

#include "core/audio/filenameinfo.h"
#include "core/audio/id3v2tag.h"

namespace {

using F = TMergedField;
using L = TFrameLayout;
using V2 = TID3v2Tag;
using T = TID3Tag;
using N = TFilenameInfo;

template <typename Record>
TFieldMember<Record> text(QString Record::*member)
{
    return {member, nullptr};
}

template <typename Record>
TFieldMember<Record> number(qint32 Record::*member)
{
    return {nullptr, member};
}

} // namespace

const std::array<TMergedFieldRow, MergedFieldCount> &MergedFieldRows()
{
    static const std::array<TMergedFieldRow, MergedFieldCount> rows = {{
        {F::Artist, "artist", L::Text, "TPE1", nullptr, text<V2>(&V2::Artist), text<T>(&T::Artist), text(&N::Artist)},
        {F::Title, "title", L::Text, "TIT2", nullptr, text<V2>(&V2::Title), text<T>(&T::Title), text(&N::Title)},
        {F::Album, "album", L::Text, "TALB", nullptr, text<V2>(&V2::Album), text<T>(&T::Album), text(&N::Album)},
        {F::Year, "year", L::Year, nullptr, nullptr, text<V2>(&V2::Year), text<T>(&T::Year), text(&N::Year)},
        {F::TrackIndex, "track", L::Number, "TRCK", nullptr, number<V2>(&V2::Track), number<T>(&T::Track), number(&N::Track)},
        {F::Genre, "genre", L::Genre, "TCON", nullptr, text(&V2::Genre), {}, text(&N::Genre), true},
        {F::Notes, "comment", L::Described, "COMM", "", text<V2>(&V2::Comment), text<T>(&T::Comment), {}},
        {F::Label, "label", L::Text, "TPUB", nullptr, text(&V2::Label), {}, {}},
        {F::OrigArtist, "origArtist", L::Text, "TOPE", nullptr, text(&V2::OrigArtist), {}, {}},
        {F::Composer, "composer", L::Text, "TCOM", nullptr, text(&V2::Composer), {}, {}},
        {F::Lyricist, "lyricist", L::Text, "TEXT", nullptr, text(&V2::Lyricist), {}, {}},
        {F::Orchestra, "orchestra", L::Text, "TPE2", nullptr, text(&V2::Orchestra), {}, {}},
        {F::Conductor, "conductor", L::Text, "TPE3", nullptr, text(&V2::Conductor), {}, {}},
        {F::EncodedBy, "encodedBy", L::Text, "TENC", nullptr, text(&V2::EncodedBy), {}, {}},
        {F::CopyrightBy, "copyrightBy", L::Text, "TCOP", nullptr, text(&V2::CopyrightBy), {}, {}},
        {F::BPM, "bpm", L::Number, "TBPM", nullptr, number(&V2::BPM), {}, {}},
        {F::SubTitle, "subtitle", L::Text, "TIT3", nullptr, text(&V2::Subtitle), {}, {}},
        {F::Tempo, "tempo", L::Described, "COMM", "MusicMatch_Tempo", text(&V2::Tempo), {}, {}},
        {F::Mood, "mood", L::Described, "COMM", "MusicMatch_Mood", text(&V2::Mood), {}, {}},
        {F::Situation, "situation", L::Described, "COMM", "MusicMatch_Situation", text(&V2::Situation), {}, {}},
        {F::Preference, "preference", L::Described, "COMM", "MusicMatch_Preference", text(&V2::Preference), {}, {}},
        {F::Biography, "bio", L::Described, "COMM", "MusicMatch_Bio", text(&V2::Bio), {}, {}},
        {F::AudioURL, "audioURL", L::Url, "WOAF", nullptr, text(&V2::AudioURL), {}, {}},
        {F::ArtistURL, "artistURL", L::Url, "WOAR", nullptr, text(&V2::ArtistURL), {}, {}},
        {F::GeneralURL, "generalURL", L::UserUrl, "WXXX", nullptr, text(&V2::GeneralURL), {}, {}},
        {F::Lyrics, "lyrics", L::Described, "USLT", "", text(&V2::Lyrics), {}, {}},
    }};
    return rows;
}

const TMergedFieldRow &MergedFieldRow(TMergedField field)
{
    // The rows by field, found once.
    static const std::array<const TMergedFieldRow *, MergedFieldCount> byField = [] {
        std::array<const TMergedFieldRow *, MergedFieldCount> index{};
        for (const TMergedFieldRow &row : MergedFieldRows())
            index[size_t(row.Field)] = &row;
        return index;
    }();
    return *byField[size_t(field)];
}

const TMergedFieldRow *FindMergedFieldRow(const QString &name)
{
    for (const TMergedFieldRow &row : MergedFieldRows())
        if (name.compare(QLatin1String(row.Name), Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

int V1Length(const TMergedFieldRow &row)
{
    return row.Field == TMergedField::Year ? V1YearLength : V1TextLength;
}
