#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class TMP3File;
class TMp3Root;
class TMp3Track;
class TProcess;

// One file the search for duplicates looks at, with what the collection
// (or the file's tags) says about it: what the user sees of each member of
// a group, and what chooses the copy to keep.
struct TDuplicateFile {
    QString Path;
    QString Artist;
    QString Title;
    QString Album;
    qint32 Bitrate = 0;  // kbit/s, the average for VBR
    bool VBR = false;
    qint32 Length = 0;   // seconds
    qint64 Size = 0;     // bytes, as last read
    // How many of the descriptive fields the track (or the file's tags) fill.
    int FilledTags = 0;
    // In the collection's main location (or below the first folder searched).
    bool InMainLocation = false;
    // The collection's track, when a collection is searched; not owned.
    TMp3Track *Track = nullptr;
};

// The tracks of a collection that have a file.  The main location is the
// one most of its tracks are in.
QList<TDuplicateFile> DuplicateFilesOfCollection(const TMp3Root &root);
// A file read from disk (for folders searched without a collection).
TDuplicateFile DuplicateFileOf(const TMP3File &file);

enum class TDuplicateKind {
    SameAudio,  // the audio frames are identical: copies
    SameSong,   // same artist and title, lengths close: probably the same song
};

struct TDuplicateGroup {
    TDuplicateKind Kind = TDuplicateKind::SameAudio;
    QList<int> Members;  // indices into the files searched, in their order
    int Best = -1;       // the member to keep (an index into the files, too)
};

// Artist or title as the "same song" comparison sees it: letter case,
// accents, a "feat."/"ft." part and bracketed parts such as "(Remastered)"
// left out, blanks and punctuation reduced to single spaces.
QString NormalisedSongText(const QString &text);

// The member of the group most worth keeping: the higher bitrate, then the
// more complete tags, then the one in the main location, then the first.
int BestOfGroup(const QList<TDuplicateFile> &files, const QList<int> &members);

// What removing duplicates does, decided before anything is touched.
struct TDuplicateRemoval {
    QList<int> Remove;        // the files whose tracks leave the collection
    // Their files that may go to the trash: never one that a kept member
    // of their group names too (the same path, or a link to that file).
    QStringList Trash;
    int GroupsLeftAlone = 0;  // groups with no member kept: nothing of them goes
};

// The files of the groups not in kept are removed; a file kept in one group
// stays even where another group would remove it, and a group that keeps
// none of its members is left as it is.
TDuplicateRemoval PlanDuplicateRemoval(const QList<TDuplicateFile> &files, const QList<TDuplicateGroup> &groups,
                                       const QSet<int> &kept);

// What a search found and what it cost.
struct TDuplicateSearchResult {
    // Copies first, then the groups of the same song.  Empty when cancelled.
    QList<TDuplicateGroup> Groups;
    // Files that were skipped, as "path: reason" (missing, not MPEG audio,
    // unreadable).
    QStringList Problems;
    bool Cancelled = false;
    int FilesOpened = 0;
    int FullyHashed = 0;   // files whose whole audio was read
    qint64 BytesRead = 0;  // through the files opened
    int FromCache = 0;     // fingerprints the cache knew

    QList<TDuplicateGroup> groupsOf(TDuplicateKind kind) const;
};

// Finds copies (identical audio frames, whatever the tags) and files that
// probably hold the same song among files.  Each file's audio is sampled
// first (a few KB, see audiofingerprint.h); only files whose samples agree
// with another's are read whole.  Progress, messages and cancel go through
// the process, one run per search.  A file that cannot be read is noted in
// Problems and the search goes on.
class TDuplicateSearch {
public:
    explicit TDuplicateSearch(TProcess &process) : m_process(process) {}

    // Where fingerprints are kept between searches (TFingerprintCache);
    // empty: nowhere.  A file whose size and modification time are as the
    // cache says is not opened.
    QString CachePath;
    bool SameSongs = true;
    // How far the lengths of the same song may differ, in seconds.
    int LengthTolerance = 3;
    int Threads = 2;

    TDuplicateSearchResult run(const QList<TDuplicateFile> &files);

private:
    TProcess &m_process;
};
