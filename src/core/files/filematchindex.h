#pragma once

#include "core/files/filematch.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <utility>
#include <vector>

// The files found by a search, indexed for matching them with many tracks
// whose files are missing, without scoring every pair:
// - by size: a fuzzy score needs a size score, so only files within a
//   ten-thousandth of the track's size are looked at, and an exact score
//   comes from an equal file name or such a size;
// - by file name, for the exact names;
// - by the words of the names (file name and the two folders above it),
//   so that the files most like the track are scored first.  Once a good
//   file is known, every other file is ruled out by the score it could
//   reach at most, mostly without computing the costly edit distance.
// The result is the one of scoring every file with MatchScore in list order
// and keeping the first file of the highest score.
class TFoundFileIndex {
public:
    // found must outlive the index.
    explicit TFoundFileIndex(const TFoundFileList &found);

    const TFoundFileList &Files() const { return m_found; }

    // What the plain scan of the files does to match (for its track's path
    // and size): a file replaces the match's file only with a higher score,
    // and the first of equal scores wins.  Files marked in taken (indexed
    // as Files(); empty for none) are left out.
    void Improve(TFileMatch &match, TMatchingType type, const std::vector<bool> &taken = {}) const;

private:
    class TSearch;

    // Files of one size, by index.
    struct TSizeGroup {
        qint64 Size = 0;
        std::vector<int> Files;
    };
    // Letters counted in 64 classes: the edit distance of two paths is at
    // least what one has in excess of the other, which rules out most
    // paths without computing the distance.
    using TCharCounts = std::array<quint16, 64>;
    static TCharCounts charCounts(const QString &path);
    static int distanceAtLeast(const TCharCounts &a, const TCharCounts &b);

    // The size groups that could give a size score for trackSize:
    // [first, last) in m_sizes.
    std::pair<size_t, size_t> sizeRange(qint64 trackSize) const;
    // The words and letter counts serve fuzzy matching only: made at its
    // first use.
    void indexNames() const;

    const TFoundFileList &m_found;
    std::vector<TSizeGroup> m_sizes;            // by size
    // Files by name: the name's number for each file, the files of each
    // number (ascending), the number of each name.
    std::vector<int> m_nameOf;
    std::vector<std::vector<int>> m_filesNamed;
    QHash<QString, int> m_nameNumbers;
    mutable bool m_namesIndexed = false;
    mutable QHash<QString, std::vector<int>> m_byWord;  // word -> indexes of the files that hold it
    mutable std::vector<TCharCounts> m_charCounts;     // by file index
};

// The words a path is known by for matching: letters and digits of its file
// name (without the extension) and of the two folders above it, case-folded,
// each once.
QStringList MatchWords(const QString &path);
