#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

class TMp3Track;

// A file found by a search: its full path and its size in bytes.
struct TFoundFile {
    QString Path;
    qint64 Size = 0;
};
using TFoundFileList = QList<TFoundFile>;

// How a found file is compared with a track whose file has gone.
enum class TMatchingType : int {
    Exact = 0,  // equal file names and sizes; fast
    Fuzzy = 1,  // full paths by edit distance, sizes by closeness; slow
};

// The best file found so far for one track whose file is missing.
class TFileMatch {
public:
    explicit TFileMatch(TMp3Track *track = nullptr) : Track(track) {}

    int FileIndex = -1;  // in the found-files list; -1 = no candidate
    int Score = 0;       // 0 to 100
    TMp3Track *Track = nullptr;  // not owned
};
using TFileMatchList = QList<TFileMatch>;

// The highest score: a candidate this good ends the search for a track.
constexpr int PerfectMatchScore = 100;

// Up to 50 points for the names: 50 for the same file name (the part after
// the last "/", letter case counts); otherwise, with Fuzzy matching, 50 less
// the edit distance of the full paths, never below 0.
int MatchNameScore(const QString &trackPath, const QString &foundPath, TMatchingType type);
// Up to 50 points for the sizes: 50 for equal sizes, one point less for
// every two millionths of relative difference; 0 when the track has no size.
int MatchSizeScore(qint64 trackSize, qint64 foundSize);
// The two together: their sum for Exact matching, their product divided by
// 25 for Fuzzy matching; always 0 to 100.
int MatchScore(const QString &trackPath, qint64 trackSize, const TFoundFile &found, TMatchingType type);
