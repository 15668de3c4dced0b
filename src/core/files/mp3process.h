#pragma once

#include "core/files/filematch.h"
#include "core/files/filestates.h"
#include "core/files/parallelread.h"
#include "core/settings/prefs.h"
#include "core/files/process.h"
#include "core/files/tagwrite.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

class TDataRefList;
class TFoundFileIndex;
class TLocationLookupItem;
class TMP3File;
class TMP3Folder;
class TMp3FileItemList;
class TMp3Root;
class TMp3Track;
class TVisitedFolders;
struct TShellEntry;

// What a ReadFolder run found.
struct TReadFolderResult {
    // MP3 files read (those passed over as unchanged included).
    int FilesRead = 0;
    // Files passed over because KnownFiles knows them unchanged.
    int FilesUnchanged = 0;
    // Files whose information could not be read (they are in their folder
    // all the same).
    QStringList FailedFiles;
};

// What a run over a list of files did: the files it skipped or failed on.
// A cancelled run leaves the files after the cancel out of it.
struct TFileRunResult {
    QStringList FailedFiles;
    int Failed() const { return int(FailedFiles.size()); }
};

struct TAddFilesResult : TFileRunResult {
    int Added = 0;    // new tracks
    int Updated = 0;  // tracks refreshed from their linked files
};

struct TEditTagsResult : TFileRunResult {
    // Each file whose ID3v1 tag left out values its code page cannot hold,
    // as "path: title, artist" (the ID3v2 tag has them).
    QStringList V1LeftOut;
};

// How AddFiles refreshes a track from its linked file.
enum class TTrackRefreshFrom {
    FileKeepsTrackValues,   // the track keeps its own values (CopyFileToTrack)
    TagsReplaceTrackValues, // the tags replace them (CopyTagsOverTrack)
};

// The batch work on MP3 files: reading folders into file objects, adding
// files to the collection, renaming files, writing tags, searching folder
// trees for files and matching tracks whose files have moved.  Each
// operation is one run of the process, with its caption, message, progress
// and cancel, and returns what it did.  File operations raise nothing: what
// failed is listed in the result for the caller to report.
class TMP3Process : public TProcess {
public:
    using TProcess::TProcess;
    ~TMP3Process() override;

    // True while ReadFolder runs; a second ReadFolder returns at once.
    bool Busy = false;
    // The collection AddFiles adds to; when not set, the current collection.
    TMp3Root *Collection = nullptr;
    // The parse formats file names are read with (the user's settings).
    QStringList ParseFormats;
    // The worker threads ReadFolder reads files on; 1 reads them on the
    // calling thread.  The files come out in the same order either way.
    int Threads = DefaultScanThreads;
    // When set, ReadFolder does not read the files whose size and
    // modification time are as recorded there: they join their folder
    // marked Unchanged, with only FileSize and ModifiedTime set.
    const TFileStates *KnownFiles = nullptr;
    // ReadFolder: called on the calling thread with each file as it joins
    // its folder, in the order the files are read, so that a window can
    // show them while the rest are still being read.
    std::function<void(TMP3File &file)> OnFileRead;

    // Reads the folder's entries (and with recursive those of all its
    // subfolders) into folder and file objects, the files with all their
    // information.  Hidden entries, symbolic links, pseudo file systems and
    // anything that is not a folder or a regular file are left out.  Does
    // nothing (and counts nothing) while busy or when the folder has been
    // read already.
    TReadFolderResult ReadFolder(TMP3Folder *folder, bool recursive, bool showWindow);
    // What the ReadFolder running now (or the last one) has counted so far,
    // for a progress display.
    const TReadFolderResult &Reading() const { return m_reading; }
    // New files become new tracks with the location (none allowed); files
    // linked to a track update it as refresh says.
    TAddFilesResult AddFiles(const TMp3FileItemList &files, TLocationLookupItem *location,
                             TTrackRefreshFrom refresh = TTrackRefreshFrom::FileKeepsTrackValues);
    // Renames each file by its RenameFormat; read-only files are made
    // writable first when asked, else left alone.
    TFileRunResult RenameFiles(const TMp3FileItemList &files, bool clearReadOnly);
    // Fills each file's tags from its merged values and writes them as the
    // actions say (read-only files as for RenameFiles); a linked track
    // takes the new values once its file is written.
    TEditTagsResult EditTags(const TMp3FileItemList &files, TTagAction v1Action, TTagAction v2Action,
                             bool clearReadOnly);
    // Appends every MP3 file below path (hidden ones too) to found.
    // Symbolic links to files count; linked folders and pseudo file
    // systems are not entered.
    void SearchSystem(const QString &path, TFoundFileList &found);
    // Finds for each match the found file that fits its track best.
    void MatchTracks(const TFoundFileList &found, TFileMatchList &matches, TMatchingType matchingType);
    // The same over an index built once for several rounds; files marked
    // in taken (indexed as the index's files) are left out.
    void MatchTracks(const TFoundFileIndex &index, TFileMatchList &matches, TMatchingType matchingType,
                     const std::vector<bool> &taken);
    // One file object, read and linked, for each track whose file can be
    // read; the caller owns them.
    void FilesForTracks(const TDataRefList &tracks, std::vector<std::unique_ptr<TMP3File>> &files);

private:
    // The files a ReadFolder run found, in the order they are read, each
    // with the folder it joins once read.
    struct TFolderScan {
        struct Pending {
            TMP3Folder *folder = nullptr;
            std::unique_ptr<TMP3File> file;
        };
        std::vector<Pending> pending;
        size_t handed = 0;
        std::unordered_set<const TMP3Folder *> listed;  // listed in this run
    };
    // ms between progress reports: often enough that a window showing the
    // progress never waits for input noticeably, seldom enough to cost
    // nothing beside the reading.
    static constexpr qint64 ProgressInterval = 25;

    int readFolderItems(TMP3Folder &folder, bool recursive, TVisitedFolders &visited, TFolderScan &scan);
    int readNewFolderItems(TMP3Folder &folder, bool recursive, TVisitedFolders &visited, TFolderScan &scan);
    int addSubfolder(TMP3Folder &folder, const TShellEntry &entry, bool recursive, TVisitedFolders &visited,
                     TFolderScan &scan);
    int readSubfolder(TMP3Folder &subfolder, TVisitedFolders &visited, TFolderScan &scan);
    void readPendingFiles(TFolderScan &scan);
    bool readPendingFile(TMP3File &file) const;
    void markUnfinished(const TFolderScan &scan, TMP3Folder &top);
    // Counts a step; the position is reported at most every ProgressInterval.
    void stepThrottled();
    void reportProgress();
    // Runs work on every file of the list until cancelled, noting the
    // files it fails on, and finishes the run.
    void runOverFiles(const TMp3FileItemList &files, const std::function<bool(TMP3File &)> &work,
                      TFileRunResult &result);
    bool addFile(TMP3File &file, TLocationLookupItem *location, TTrackRefreshFrom refresh, TAddFilesResult &result);
    TMp3Root *collection() const;
    // Runs one operation with the window shown, as the batch operations do.
    void startRun(const QString &caption, const QString &message, int max);
    void finishRun();

    QElapsedTimer m_progressTimer;
    int m_pendingSteps = 0;
    TReadFolderResult m_reading;
};

// Copies the file's merged values into the track (an empty value never
// clears a track field) and, always, its path, size and stream values.
void CopyFileToTrack(TMp3Track &track, const TMP3File &file);
// Reads a track afresh from its file's tags, as after a change of the
// legacy tag encoding made the values read before wrong: each value the
// file's enabled tags hold (ID3v2 before ID3v1) replaces the track's; where
// the tags hold nothing the track keeps its own value, and an empty track
// field is filled as CopyFileToTrack fills it.  Path, size and stream
// values are copied always.
void CopyTagsOverTrack(TMp3Track &track, const TMP3File &file);
// Overwrites the fields of the file's enabled tags with the track's values,
// empty ones included; the tags are not written.
void CopyTrackToTags(const TMp3Track &track, TMP3File &file);

// The tracks whose file is missing, each as a match without a candidate.
// Tracks on CDs or network drives (by their Location) are left out when
// asked.
TFileMatchList MissingFileMatches(const TDataRefList &tracks, bool ignoreCD, bool ignoreNetwork);
