#pragma once

#include <QString>
#include <QtGlobal>

#include <span>
#include <variant>

class TLookupItem;
class TLookupList;
class TMp3Root;
class TMp3Track;

// Every value a collection track stores, one row each, in the order of the
// track's record in the collection file.  Clearing, cloning, comparing,
// reading and writing a track, its field getters and the dump all walk this
// table, so a new stored member is one new row (and its field ID).
// The tag side of the 26 merged fields has its own table in trackfields.h.

// A single-valued lookup member: its value, and the root's list its values
// come from.  Set refuses (false) an item of another class than the member
// holds: an album is no artist.
struct TTrackLookupMember {
    TLookupItem *(*Get)(const TMp3Track &track) = nullptr;
    bool (*Set)(TMp3Track &track, TLookupItem *item) = nullptr;
    TLookupList *(*List)(const TMp3Root &root) = nullptr;
};

// The genre list, the one member holding many lookup values.
struct TTrackGenresMember {};

using TTrackMemberValue = std::variant<QString TMp3Track::*, qint32 TMp3Track::*, quint8 TMp3Track::*,
                                       bool TMp3Track::*, qint64 TMp3Track::*, TTrackLookupMember,
                                       TTrackGenresMember>;

struct TTrackMember {
    // The member's name; the dump prints it as the key of the value.
    const char *Name = nullptr;
    // The catalogue field that shows the value (Mp3FieldIds); 0 for none.
    qint32 FieldID = 0;
    TTrackMemberValue Value;
    // A text that is a file path: the record keeps its bytes, and it shows
    // readable.
    bool IsPath = false;
    // Part of the record in the collection file (and so of the dump).
    bool InRecord = true;
    // Looked at by TMp3Track::IsEqual.
    bool Compared = true;
    // Whether a number member answers GetValueAsInteger: not for one whose
    // field is a text field.
    bool IntegerValue = true;
    // The text the field shows when it is not the plain value (sizes,
    // lengths, names of MPEG codes); nullptr for the plain value.
    QString (*Shown)(const TMp3Track &track) = nullptr;
};

// All stored members, in record order.
std::span<const TTrackMember> TrackMembers();
// The member shown by a catalogue field; nullptr when no member is.
const TTrackMember *TrackMemberOf(qint32 fieldID);

// What the track's operations do with one member.
void ClearTrackMember(TMp3Track &track, const TTrackMember &row);
// Lookup values are copied as references.
void CopyTrackMember(const TMp3Track &from, TMp3Track &to, const TTrackMember &row);
bool SameTrackMember(const TMp3Track &a, const TMp3Track &b, const TTrackMember &row);
// The field's own text of the member (lookups by their display name).
QString TrackMemberText(const TMp3Track &track, const TTrackMember &row);

// Lambdas for each kind of value as one visitor of a row's Value.
template<class... Ts>
struct TOverloaded : Ts... {
    using Ts::operator()...;
};
