#include "core/files/filematch.h"

#include "core/audio/filenameinfo.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int HalfScore = PerfectMatchScore / 2;

QStringView fileNamePart(const QString &path)
{
    return QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

int MatchNameScore(const QString &trackPath, const QString &foundPath, TMatchingType type)
{
    if (fileNamePart(trackPath) == fileNamePart(foundPath))
        return HalfScore;
    if (type != TMatchingType::Fuzzy)
        return 0;
    // The distance is at least the difference of the lengths: paths that
    // differ by half the score in length are not worth the quadratic work.
    if (std::abs(foundPath.size() - trackPath.size()) >= HalfScore)
        return 0;
    return std::max(0, HalfScore - EditDistance(foundPath, trackPath));
}

int MatchSizeScore(qint64 trackSize, qint64 foundSize)
{
    if (trackSize == 0)
        return 0;
    // Every two millionths of relative difference cost a point; the
    // deviation is held in single precision and rounded half to even, so a
    // difference of one millionth (0.5 points) costs nothing.
    const float penalty = float(std::fabs(1.0 - double(foundSize) / double(trackSize)) * 500000.0);
    if (!(penalty < float(HalfScore)))
        return 0;
    return std::max(0, HalfScore - int(std::nearbyint(penalty)));
}

int MatchScore(const QString &trackPath, qint64 trackSize, const TFoundFile &found, TMatchingType type)
{
    const int size = MatchSizeScore(trackSize, found.Size);
    // A fuzzy score is a product: without a size score the names (an edit
    // distance, the costly part) cannot make it more than 0.
    if (type == TMatchingType::Fuzzy && size == 0)
        return 0;
    const int name = MatchNameScore(trackPath, found.Path, type);
    const int score = type == TMatchingType::Fuzzy ? name * size / 25 : name + size;
    return std::clamp(score, 0, PerfectMatchScore);
}
