#include "core/mp3model/trackmembers.h"

#include "core/audio/mpeginfo.h"
#include "core/audio/trackvaluetext.h"
#include "core/base/localpath.h"
#include "core/data/lookupitems.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include <array>
#include <type_traits>
#include <typeinfo>

namespace {

using T = TMp3Track;
using R = TMp3Root;
namespace F = Mp3FieldIds;

template<auto Member>
TLookupItem *getLookup(const TMp3Track &track)
{
    return track.*Member;
}

template<auto Member>
bool setLookup(TMp3Track &track, TLookupItem *item)
{
    using Item = std::remove_pointer_t<std::remove_reference_t<decltype(track.*Member)>>;
    if (!item) {
        track.*Member = nullptr;
        return true;
    }
    // A list holds items of its own item class: testing for exactly that
    // class first spares most of the casts when a collection is read.
    Item *typed = typeid(*item) == typeid(Item) ? static_cast<Item *>(item) : dynamic_cast<Item *>(item);
    if (!typed)
        return false;
    track.*Member = typed;
    return true;
}

template<auto List>
TLookupList *listOf(const TMp3Root &root)
{
    return (root.*List).get();
}

template<auto Member, auto List>
TTrackMember lookup(const char *name, qint32 fieldID)
{
    return {name, fieldID, TTrackLookupMember{&getLookup<Member>, &setLookup<Member>, &listOf<List>}};
}

template<typename Value>
TTrackMember plain(const char *name, qint32 fieldID, Value T::*member)
{
    return {name, fieldID, member};
}

TTrackMember shown(const char *name, qint32 fieldID, TTrackMemberValue member,
                   QString (*text)(const TMp3Track &))
{
    TTrackMember row{name, fieldID, member};
    row.Shown = text;
    return row;
}

TTrackMember filePath(const char *name, qint32 fieldID, QString T::*member)
{
    TTrackMember row{name, fieldID, member};
    row.IsPath = true;
    return row;
}

TTrackMember uncompared(TTrackMember row)
{
    row.Compared = false;
    return row;
}

TTrackMember withoutInteger(TTrackMember row)
{
    row.IntegerValue = false;
    return row;
}

TTrackMember scanNote(const char *name, qint64 T::*member)
{
    TTrackMember row{name, 0, member};
    row.InRecord = false;
    row.Compared = false;
    return row;
}

template<size_t N>
QString nameAt(const std::array<QLatin1String, N> &names, quint8 index)
{
    // Values come from files; an unknown one shows as nothing.
    return index < N ? QString(names[index]) : QString();
}

const std::array<TTrackMember, 46> &memberRows()
{
    static const std::array<TTrackMember, 46> rows = {{
        plain("Title", F::Title, &T::Title),
        plain("TitleSort", F::TitleSort, &T::TitleSort),
        plain("TitleThe", F::TitleThe, &T::TitleThe),
        plain("SubTitle", F::SubTitle, &T::SubTitle),
        lookup<&T::Artist, &R::Artists>("Artist", F::Artist),
        lookup<&T::OriginalArtist, &R::OriginalArtists>("OriginalArtist", F::OriginalArtist),
        lookup<&T::Lyricist, &R::Lyricists>("Lyricist", F::Lyricist),
        lookup<&T::Conductor, &R::Conductors>("Conductor", F::Conductor),
        lookup<&T::Composer, &R::Composers>("Composer", F::Composer),
        lookup<&T::Album, &R::Albums>("Album", F::Album),
        lookup<&T::Year, &R::Years>("Year", F::Year),
        lookup<&T::Tempo, &R::Tempos>("Tempo", F::Tempo),
        lookup<&T::Mood, &R::Moods>("Mood", F::Mood),
        lookup<&T::Situation, &R::Situations>("Situation", F::Situation),
        lookup<&T::Preference, &R::Preferences>("Preference", F::Preference),
        lookup<&T::Label, &R::Labels>("Label", F::Label),
        lookup<&T::Orchestra, &R::Orchestras>("Orchestra", F::Orchestra),
        {"Genres", F::Genre, TTrackGenresMember{}},
        plain("Notes", F::Notes, &T::Notes),
        plain("Biography", F::Biography, &T::Biography),
        plain("Lyrics", F::Lyrics, &T::Lyrics),
        plain("EncodedBy", F::EncodedBy, &T::EncodedBy),
        plain("CopyrightBy", F::CopyrightBy, &T::CopyrightBy),
        plain("AudioURL", F::AudioURL, &T::AudioURL),
        plain("ArtistURL", F::ArtistURL, &T::ArtistURL),
        plain("GeneralURL", F::GeneralURL, &T::GeneralURL),
        plain("TrackIndex", F::TrackIndex, &T::TrackIndex),
        plain("DiskIndex", F::DiskIndex, &T::DiskIndex),
        plain("BPM", F::BPM, &T::BPM),
        lookup<&T::Location, &R::Locations>("Location", F::Location),
        filePath("FilePath", F::Filepath, &T::FilePath),
        shown("Size", F::Size, &T::Size, [](const T &t) { return FormatSizeKB(t.Size); }),
        shown("Length", F::Length, &T::Length, [](const T &t) { return FormatLength(t.Length); }),
        shown("MpegVersion", F::MpegVersion, &T::MpegVersion,
              [](const T &t) { return nameAt(MpegVersionNames, t.MpegVersion); }),
        // Left out of comparisons since ever: edit windows tell changes
        // apart by them and never edit the layer.
        uncompared(plain("Layer", F::MpegLayer, &T::Layer)),
        shown("Mode", F::Mode, &T::Mode, [](const T &t) { return nameAt(ModeNames, t.Mode); }),
        shown("Bitrate", F::Bitrate, &T::Bitrate, [](const T &t) { return FormatBitrate(t.Bitrate, t.VBR); }),
        plain("Frames", F::Frames, &T::Frames),
        plain("HeaderPosition", F::HeaderPosition, &T::HeaderPosition),
        shown("SampleRate", F::SampleRate, &T::SampleRate, [](const T &t) { return FormatSampleRate(t.SampleRate); }),
        plain("VBR", F::VBR, &T::VBR),
        plain("CRCs", F::CRCs, &T::CRCs),
        plain("Copyrighted", F::Copyrighted, &T::Copyrighted),
        plain("Original", F::Original, &T::Original),
        // Its field is a text field: shown and sorted by name only.
        withoutInteger(shown("Emphasis", F::Emphasis, &T::Emphasis,
                             [](const T &t) { return nameAt(EmphasisNames, t.Emphasis); })),
        // A note of the last scan, kept in the scan index beside the
        // collection rather than in its record, and no value of the track.
        scanNote("FileModified", &T::FileModified),
    }};
    return rows;
}

} // namespace

std::span<const TTrackMember> TrackMembers()
{
    return memberRows();
}

const TTrackMember *TrackMemberOf(qint32 fieldID)
{
    // Field IDs of track members are small; other fields (up to the drive
    // label's 2000) show no member.
    constexpr qint32 idLimit = F::Filepath + 1;
    static const std::array<const TTrackMember *, idLimit> byID = [] {
        std::array<const TTrackMember *, idLimit> index{};
        for (const TTrackMember &row : memberRows())
            if (row.FieldID > 0)
                index[size_t(row.FieldID)] = &row;
        return index;
    }();
    return fieldID > 0 && fieldID < idLimit ? byID[size_t(fieldID)] : nullptr;
}

void ClearTrackMember(TMp3Track &track, const TTrackMember &row)
{
    std::visit(TOverloaded{
                   [&](QString T::*member) { (track.*member).clear(); },
                   [&](TTrackLookupMember lookup) { lookup.Set(track, nullptr); },
                   [&](TTrackGenresMember) { track.Genres->Clear(); },
                   [&](auto member) { track.*member = {}; },
               },
               row.Value);
}

void CopyTrackMember(const TMp3Track &from, TMp3Track &to, const TTrackMember &row)
{
    std::visit(TOverloaded{
                   [&](TTrackLookupMember lookup) { lookup.Set(to, lookup.Get(from)); },
                   [&](TTrackGenresMember) {
                       to.Genres->Clear();
                       to.Genres->AddItemsOf(*from.Genres);
                   },
                   [&](auto member) { to.*member = from.*member; },
               },
               row.Value);
}

bool SameTrackMember(const TMp3Track &a, const TMp3Track &b, const TTrackMember &row)
{
    return std::visit(TOverloaded{
                          [&](TTrackLookupMember lookup) { return lookup.Get(a) == lookup.Get(b); },
                          [&](TTrackGenresMember) { return a.Genres->IsEqual(*b.Genres); },
                          [&](auto member) { return a.*member == b.*member; },
                      },
                      row.Value);
}

QString TrackMemberText(const TMp3Track &track, const TTrackMember &row)
{
    if (row.Shown)
        return row.Shown(track);
    return std::visit(TOverloaded{
                          // A byte of a path that is not UTF-8 shows as U+FFFD.
                          [&](QString T::*member) { return row.IsPath ? ReadablePath(track.*member) : track.*member; },
                          [&](bool T::*member) { return FormatYesNo(track.*member); },
                          [&](TTrackLookupMember lookup) { return GetLookupDisplayName(lookup.Get(track)); },
                          [&](TTrackGenresMember) { return track.Genres->GetText(); },
                          [&](auto member) { return QString::number(track.*member); },
                      },
                      row.Value);
}
