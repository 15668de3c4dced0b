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

// What keeps the tags of an existing file from being written, as far as it
// can be seen before trying: the file system is mounted read-only (a CD, an
// archive disk, a read-only share), or the file itself is read-only.  A
// write may still fail for other reasons.
enum class TTagWriteObstacle { None, ReadOnlyMedia, ReadOnlyFile };
TTagWriteObstacle TagWriteObstacleOf(const QString &path);
// The obstacle in words ("The file is read-only."); empty for None.
QString TagWriteObstacleText(TTagWriteObstacle obstacle);

// Writes the track's values into the tags its file already has: a tag the
// file lacks is neither added nor is one removed.  A failed write leaves the
// file as it was.  After a write the track takes over the file's new size and
// the new place of its first frame (a grown tag moves the audio).
TTrackTagWrite WriteTrackToFileTags(TMp3Track &track);
