#pragma once

#include "core/files/filematch.h"

#include <QList>
#include <QString>

class TMP3Process;
class TMp3Root;
class TMp3Track;

// Re-pointing tracks whose files have moved: the work of the repair window
// and of `tunebase-cli relink`.
//
// How a window uses it:
//  1. MissingFileMatches (core/files/mp3process.h) lists the tracks whose
//     file is gone, with the window's "Ignore" choices.
//  2. PlanRelink searches the chosen folder and matches the tracks with the
//     files found.  It runs SearchSystem and MatchTracks on the process, so
//     the progress window of the process (TProcess::SetWindow with the
//     GUI's TProcessWindow) shows each run, stays responsive and cancels:
//     after TProcess::Cancel the plan comes back with Cancelled set and the
//     tracks not yet matched without a file.
//  3. The window shows the decisions (track, found file, score) and calls
//     RepointTrack for each one the user accepts; the command line repoints
//     them all.  Only tracks change, never a file on disk; the caller saves
//     the collection afterwards.
// Nothing here fails loudly: a folder that cannot be read yields no files,
// and a track no file fits keeps its path.

// The lowest score repaired unless the user asks otherwise: equal file
// names, or equal sizes.
constexpr int DefaultRelinkMinimumScore = 50;

// What becomes of one track whose file is missing.
struct TRelinkDecision {
    TMp3Track *Track = nullptr;  // not owned
    int FileIndex = -1;          // in the plan's Found; -1 = no file fits
    int Score = 0;

    bool HasFile() const { return FileIndex >= 0; }
};
using TRelinkDecisionList = QList<TRelinkDecision>;

struct TRelinkPlan {
    // The MP3 files found that belong to no track of the collection.
    TFoundFileList Found;
    // One per missing track: the best matches first, those without a file
    // among them where their round ended.
    TRelinkDecisionList Decisions;
    // The user cancelled the search or the matching.
    bool Cancelled = false;

    // The decisions with a file.
    int Repairable() const;
};

// Searches folder (all its subfolders, hidden ones too) for MP3 files and
// decides for each track of missing which file it gets.
TRelinkPlan PlanRelink(TMP3Process &process, const TMp3Root &root, const TFileMatchList &missing,
                       const QString &folder, TMatchingType matching, int minimumScore);

// The files of found that no track of root refers to.
TFoundFileList UnclaimedFiles(const TFoundFileList &found, const TMp3Root &root);

// Matches the tracks of pending with the files of found in rounds, the best
// matches first: a file goes to one track only, and a track whose best file
// went to a better match is matched again with the files left, until every
// track has a file or none fits with at least minimumScore.
TRelinkDecisionList DecideRelinks(TMP3Process &process, const TFoundFileList &found, TFileMatchList pending,
                                  TMatchingType matching, int minimumScore);

// The track now refers to file: its path and size.
void RepointTrack(TMp3Track &track, const TFoundFile &file);
