#pragma once

#include "core/audio/tagvalues.h"

#include <QString>
#include <QStringList>

class TMP3File;
class TMp3Track;

// What writing tags does with one of the two tags of a file.  The values
// are the order of the tag window's choices.
enum class TTagAction : int {
    Set = 0,       // fill from the values and write
    Remove = 1,    // remove the tag from the file
    NoChange = 2,  // leave the tag in the file alone
};

// What the track a file is linked to takes from it once its tags are
// written; the file is read afresh for it.
enum class TTrackRefresh {
    None,
    // Everything the file holds, as adding the file would copy it: for a
    // track whose values the tags did not come from.
    FileValues,
    // Size, modification time and the place of the first frame only (a
    // grown tag moves the audio): for a track whose values were written.
    FilePlace,
};

// How a write treats a file the owner may not write.
enum class TReadOnlyFiles {
    Try,           // write all the same (and fail as the system says)
    Skip,          // leave the file alone: a failure, nothing tried
    MakeWritable,  // give the owner write access first (not taken back)
};

// One write of a file's tags: which tags, with what, and what follows it.
// The tags are written from the file object as it holds them once the
// values are put in: a tag set without values writes what it holds.
struct TTagWriteRequest {
    TTagAction V1 = TTagAction::NoChange;
    TTagAction V2 = TTagAction::NoChange;
    // Go into each tag that is set, before it is written.
    TTagValues Values;
    // Instead of Values, the file's merged values that are not empty go
    // into each tag that is set, taken afresh for each: the ID3v1 tag is
    // filled first, and a genre it knows by another spelling is the one the
    // ID3v2 tag then takes.
    bool MergedValues = false;
    TReadOnlyFiles ReadOnly = TReadOnlyFiles::Try;
    // Once both tags are written: the file's new name in its folder
    // (empty: it keeps its name), then, when asked, the file is made
    // read-only.  A file whose tags could not be written keeps its name.
    QString NewName;
    bool MakeReadOnly = false;
    // The track that follows the file; none leaves every track alone.
    TMp3Track *Track = nullptr;
    TTrackRefresh Refresh = TTrackRefresh::None;
    // How the file name is read when the file is read afresh.
    QStringList ParseFormats;
};

// What became of one file.
struct TTagWriteResult {
    enum class TFailure {
        None,
        NotAFile,  // gone, or no regular file
        ReadOnly,  // skipped as asked (TReadOnlyFiles::Skip)
        V2,        // the ID3v2 tag could not be written; the ID3v1 tag was not tried
        V1,        // the ID3v1 tag could not be written (after the ID3v2 tag was)
    };
    TFailure Failure = TFailure::None;
    // Why, where the system or the tag says: the ID3v2 tag's complaint, or
    // what keeps the file from being opened for the ID3v1 tag.
    QString Error;
    // What was done to each tag (NoChange: not touched), in the order done.
    TTagAction V2Done = TTagAction::NoChange;
    TTagAction V1Done = TTagAction::NoChange;
    // The fields the ID3v1 tag's code page cannot hold, by their command
    // line names; they are left out of it (the ID3v2 tag has them).
    QStringList V1LeftOut;
    // The new name was asked for and could not be given.
    bool RenameFailed = false;

    bool Written() const { return Failure == TFailure::None; }
};

// Writes the tags of the file object into its file as the request says:
// the ID3v2 tag first, the ID3v1 tag only when that succeeded, each tag
// whole or not at all (a failed write leaves the file as it was).  A tag
// that is removed is switched off in the file object, one that is set
// switched on.
TTagWriteResult WriteFileTags(TMP3File &file, const TTagWriteRequest &request);

// The file's merged values that are not empty.
TTagValues MergedTagValues(const TMP3File &file);
// All values of the track, empty ones too: what the track window writes.
TTagValues TrackTagValues(const TMp3Track &track);
