#include "straightrelink.h"

#include "core/mp3model/mp3track.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace {

int matrixDistance(const QString &a, const QString &b)
{
    std::vector<int> previous(size_t(b.size()) + 1);
    std::vector<int> current(previous.size());
    for (size_t j = 0; j < previous.size(); ++j)
        previous[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        current[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j)
            current[size_t(j)] = std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1,
                                           previous[size_t(j - 1)] + (a.at(i - 1) == b.at(j - 1) ? 0 : 1)});
        std::swap(previous, current);
    }
    return previous.back();
}

QStringView fileNamePart(const QString &path)
{
    return QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

void matchTracks(const TFoundFileList &found, TFileMatchList &matches, TMatchingType type)
{
    for (TFileMatch &match : matches) {
        if (!match.Track)
            continue;
        for (int i = 0; i < found.size() && match.Score < PerfectMatchScore; ++i) {
            const int score = StraightMatchScore(match.Track->FilePath, match.Track->Size, found.at(i), type);
            if (score > match.Score) {
                match.Score = score;
                match.FileIndex = i;
            }
        }
    }
}

} // namespace

int StraightMatchScore(const QString &trackPath, qint64 trackSize, const TFoundFile &found, TMatchingType type)
{
    const int size = MatchSizeScore(trackSize, found.Size);
    if (type == TMatchingType::Fuzzy && size == 0)
        return 0;
    int name = 0;
    if (fileNamePart(trackPath) == fileNamePart(found.Path))
        name = 50;
    else if (type == TMatchingType::Fuzzy && std::abs(found.Path.size() - trackPath.size()) < 50)
        name = std::max(0, 50 - matrixDistance(found.Path, trackPath));
    const int score = type == TMatchingType::Fuzzy ? name * size / 25 : name + size;
    return std::clamp(score, 0, PerfectMatchScore);
}

TRelinkDecisionList StraightRelinkDecisions(const TFoundFileList &found, TFileMatchList pending,
                                            TMatchingType matching, int minimumScore)
{
    TRelinkDecisionList decisions;
    QSet<int> taken;
    while (!pending.isEmpty()) {
        TFoundFileList available;
        QList<int> foundIndex;
        for (int i = 0; i < found.size(); ++i) {
            if (!taken.contains(i)) {
                available.append(found.at(i));
                foundIndex.append(i);
            }
        }
        matchTracks(available, pending, matching);
        std::stable_sort(pending.begin(), pending.end(),
                         [](const TFileMatch &a, const TFileMatch &b) { return a.Score > b.Score; });
        TFileMatchList contested;
        for (const TFileMatch &match : std::as_const(pending)) {
            if (match.FileIndex < 0 || match.Score < minimumScore) {
                decisions.append({match.Track, -1, match.Score});
                continue;
            }
            const int index = foundIndex.at(match.FileIndex);
            if (taken.contains(index)) {
                contested.append(TFileMatch(match.Track));
                continue;
            }
            taken.insert(index);
            decisions.append({match.Track, index, match.Score});
        }
        pending = contested;
    }
    return decisions;
}
