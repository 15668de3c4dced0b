#pragma once

#include "core/audio/infosources.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

class TLookupItem;
class TLookupList;
class TMp3Root;
class TMp3Track;

// How a collection track holds one merged field: a text or number member,
// a single lookup value of one of the root's lists, or the genre list.
// The tag side of the same fields is in core/audio/mergedfields.h.
struct TTrackFieldRow {
    TMergedField Field;
    // The catalogue field by which the file lists show the merged value:
    // the track's own field for texts and numbers, the tag's text of a
    // lookup (Artist Text) for lookups.
    qint32 FileListFieldID = 0;
    QString TMp3Track::*Text = nullptr;
    qint32 TMp3Track::*Number = nullptr;
    // A lookup value: read and set the member, and the root's list of it.
    TLookupItem *(*GetLookup)(const TMp3Track &track) = nullptr;
    void (*SetLookup)(TMp3Track &track, TLookupItem *item) = nullptr;
    TLookupList *(*List)(const TMp3Root &root) = nullptr;
    bool IsGenres = false;
    // As a source of merged values the track names album, artist, year and
    // genre by the value's own name; the other lookups by the name the
    // lists show (the sort form when the user has it shown).
    bool ShownName = false;
};

// The 26 fields in the order a file's values are copied into a track.
const std::array<TTrackFieldRow, MergedFieldCount> &TrackFieldRows();
const TTrackFieldRow &TrackFieldRow(TMergedField field);
// The merged field a file list shows by the catalogue field; none when the
// field is no merged one.
std::optional<TMergedField> MergedFieldOfFileListField(qint32 fieldID);

// The track's value for the field as an information source offers it.
QString TrackFieldText(const TMp3Track &track, const TTrackFieldRow &row);
// The track's value as tags and exports take it: a lookup by its own name,
// every genre ("Disco; Rock"); number fields in decimal.
QString TrackFieldOwnText(const TMp3Track &track, const TTrackFieldRow &row);
// Track Index and BPM; 0 for the text fields.
qint32 TrackFieldNumber(const TMp3Track &track, const TTrackFieldRow &row);

// Sets the field from a merged value: a lookup is found in or added to the
// list of root (left alone without a root); the genres of a genre text
// ("Disco; Rock") replace the genre list.  An empty text or 0 leaves the
// track as it is.
void TakeTrackField(TMp3Track &track, const TTrackFieldRow &row, const QString &text, qint32 number,
                    TMp3Root *root);

// The field of from, copied into to (lookups as references); and whether
// the two hold the same value.
void CopyTrackField(const TMp3Track &from, TMp3Track &to, const TTrackFieldRow &row);
bool SameTrackField(const TMp3Track &a, const TMp3Track &b, const TTrackFieldRow &row);
