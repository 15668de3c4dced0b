#pragma once

#include <QString>

class TMp3Track;

// What became of writing an edited track's values into its file.
struct TTrackTagWrite {
    enum class TResult {
        NoFile,     // the track names no file, or the file is not there
        NoTags,     // the file has neither tag: nothing was written
        Written,    // the tags the file had now hold the track's values
        Failed      // the file could not be read or written; Error says why
    };
    TResult Result = TResult::NoFile;
    QString Error;

    bool failed() const { return Result == TResult::Failed; }
};

// Writes the track's values into the tags its file already has: a tag the
// file lacks is neither added nor is one removed.  A failed write leaves the
// file as it was.  After a write the track takes over the file's new size and
// the new place of its first frame (a grown tag moves the audio).
TTrackTagWrite WriteTrackToFileTags(TMp3Track &track);
