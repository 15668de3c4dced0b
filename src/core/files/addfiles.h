#pragma once

#include "core/files/filestates.h"
#include "core/files/mp3file.h"
#include "core/files/mp3fileitem.h"
#include "core/files/mp3folder.h"
#include "core/settings/drives.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TLocationLookupItem;
class TMP3Process;
class TMp3Root;

// Adding MP3 files to a collection and refreshing tracks from their files:
// the work of the add and update window and of `tunebase-cli add`.
//
// How a window uses it:
//  1. A TScanIndexUse for the collection before anything is read: the
//     tracks learn the modification times the scan index beside the
//     collection recorded, and the process passes over files unchanged
//     since (they come out with Unchanged set).
//  2. The files are read by the process: ReadAddPaths for folders and files
//     given, or TMP3Process::ReadFolder for the window's file list.  Both
//     report to the process's progress window (TProcess::SetWindow with the
//     GUI's TProcessWindow), which stays responsive; after TProcess::Cancel
//     what was read so far stays.  Files that could not be read are listed
//     (ReadAddPaths: Unreadable; ReadFolder's result: FailedFiles).
//  3. PlanAdd sorts the files into new ones, ones to refresh and ones left
//     alone.  A window that links its files to their tracks as they are
//     read sorts each with AddFateOf (which files its list shows) and
//     TAddPlan::Take (what OK adds).
//  4. SuggestLocation gives the location the window preselects;
//     ChooseLocation finds or adds the one the user settles on.
//  5. TMP3Process::AddFiles with the plan's Files and the location (with
//     the progress window and Cancel as above; its result counts what it
//     did); then the caller saves the collection and, once that
//     succeeded, TScanIndexUse::Save (the index is only a help: failing to
//     write it changes nothing else).

// Reads the scan index of a collection and lends the process what it knows
// for as long as it lives.
class TScanIndexUse {
public:
    // A collection that has tracks learns their files' modification times
    // from the index beside collectionPath (a missing or damaged index is
    // ignored); process then passes over the files unchanged since.
    TScanIndexUse(TMP3Process &process, TMp3Root &root, const QString &collectionPath);
    ~TScanIndexUse();
    TScanIndexUse(const TScanIndexUse &) = delete;
    TScanIndexUse &operator=(const TScanIndexUse &) = delete;

    // Writes the index of the collection as it is now; false, with
    // `problem`, when it could not be written (the old one then stays).
    bool Save(QString *problem = nullptr) const;

private:
    TMP3Process &m_process;
    const TMp3Root &m_root;
    QString m_collectionPath;
    TFileStates m_known;
};

// The folders and files given to an add, read.
struct TAddPathsRead {
    std::vector<std::unique_ptr<TMP3Folder>> Folders;
    std::vector<std::unique_ptr<TMP3File>> SingleFiles;
    // The readable files, each path once, in the order found; owned by
    // Folders and SingleFiles.
    QList<TMP3File *> Files;
    // The MP3 files whose information could not be read.
    QStringList Unreadable;
};

// Reads each path: a folder with all its subfolders (hidden entries and
// links passed over), or a single MP3 file.  onFolder is called with true
// before a folder is read and with false after (when set).
TAddPathsRead ReadAddPaths(const QStringList &paths, TMP3Process &process,
                           const std::function<void(bool reading)> &onFolder = {});

// What becomes of one file of an add.
enum class TAddFate {
    New,           // not in the collection: it becomes a new track
    Refresh,       // its track is refreshed from it
    AlreadyThere,  // in the collection and left as it is: no update asked for
    Unchanged,     // in the collection and unchanged since the last scan
};

// The fate of a file whose track is known (none: not in the collection);
// update asks for the tracks of files in the collection to be refreshed.
TAddFate AddFateOf(const TMP3File &file, const TMp3Track *track, bool update);

// The files of an add, sorted by what becomes of them.
struct TAddPlan {
    // For AddFiles: files not in the collection, and with update the files
    // of tracks to refresh (linked to their tracks).
    TMp3FileItemList Files;
    // In the collection and left as they are, as no update was asked for.
    int AlreadyThere = 0;
    // In the collection and unchanged since the last scan: not refreshed.
    int Unchanged = 0;

    // Sorts in the next file by its fate; a file to refresh is linked to
    // its track.
    void Take(TMP3File &file, TMp3Track *track, bool update);
};

// Sorts files (read with a TScanIndexUse in place) for AddFiles into root.
// Every file takes the collection track as a source: refreshing a track
// fills its empty fields but never replaces its own values.
void PlanAdd(const QList<TMP3File *> &files, TMp3Root &root, bool update, TAddPlan &plan);

// The location the add window preselects for files whose first one is at
// firstPath: the collection's location that records the volume of that
// path; else none, with the volume's name to become a new location (empty
// when the volume has no name).
struct TLocationSuggestion {
    TLocationLookupItem *Known = nullptr;
    QString Name;
};
TLocationSuggestion SuggestLocation(const TMp3Root &root, const QString &firstPath,
                                    const TMountTable &mounts = SystemMountTable());

// The location named name, found or added; one that does not yet know its
// drive learns it from firstPath.  None for an empty name.
TLocationLookupItem *ChooseLocation(TMp3Root &root, const QString &name, const QString &firstPath,
                                    const TMountTable &mounts = SystemMountTable());

// The Location of new tracks without a window: the one named (when name is
// not empty), else the suggestion for the first file; none without files.
TLocationLookupItem *LocationForNewTracks(TMp3Root &root, const QString &name, const QList<TMP3File *> &files,
                                          const TMountTable &mounts = SystemMountTable());
