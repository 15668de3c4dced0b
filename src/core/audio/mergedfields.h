#pragma once

#include "core/audio/infosources.h"

#include <QString>
#include <QtGlobal>

#include <array>

class TFilenameInfo;
class TID3Tag;
class TID3v2Tag;

// How an ID3v2 tag stores a merged field.
enum class TFrameLayout : quint8 {
    Text,       // a text frame
    Number,     // a text frame holding a number ("3", "3/12")
    Year,       // "TYER" in v2.3, "TDRC" in v2.4
    Genre,      // "TCON": one or several genres, as references or values
    Url,        // a URL frame
    Described,  // a frame with a description, as "COMM" and "USLT"
    UserUrl,    // "WXXX"
};

// The member of a record that holds a field: a text or a number (or none,
// when the record does not hold the field).
template <typename Record>
struct TFieldMember {
    QString Record::*Text = nullptr;
    qint32 Record::*Number = nullptr;

    bool Holds() const { return Text || Number; }
};

// One merged field as every tag-side record holds it.  Copies, merges,
// comparisons and listings walk these rows instead of naming the fields
// again.  The collection track's side is in core/mp3model/trackfields.h.
struct TMergedFieldRow {
    TMergedField Field;
    // On the command line and in JSON ("artist", "origArtist", "audioURL").
    const char *Name;
    TFrameLayout Layout;
    const char *FrameID;      // none for the year
    const char *Description;  // of a described frame
    TFieldMember<TID3v2Tag> V2;
    // None: the ID3v1 tag or the file name does not hold the field.
    TFieldMember<TID3Tag> V1;
    TFieldMember<TFilenameInfo> Filename;
    // The genre: the ID3v1 tag keeps it as a list index (GetGenre,
    // SetGenre), the ID3v2 tag offers a reference "(17)" as its name.
    bool IsGenre = false;
};

// The 26 fields in the order an ID3v2 tag lists them (the order of the
// tag window, of `tunebase-cli info` and `tag`).
const std::array<TMergedFieldRow, MergedFieldCount> &MergedFieldRows();
// The row of field.
const TMergedFieldRow &MergedFieldRow(TMergedField field);
// The row named name (letter case ignored), or none.
const TMergedFieldRow *FindMergedFieldRow(const QString &name);

// The ID3v1 tag holds 30 characters of each text and 4 of the year.
constexpr int V1TextLength = 30;
constexpr int V1YearLength = 4;
// The longest text the ID3v1 tag holds for the field of row.
int V1Length(const TMergedFieldRow &row);
