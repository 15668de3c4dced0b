#include "core/files/filematchindex.h"

#include "core/audio/filenameinfo.h"
#include "core/files/mp3walk.h"
#include "core/mp3model/mp3track.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

constexpr int HalfScore = PerfectMatchScore / 2;

// The most files scored first for their words, before all others in any
// order: enough to meet the right file of a moved library early.
constexpr size_t RankedFiles = 32;

// The longest path whose letters are counted (the counts are 16 bits).
constexpr qsizetype MaxCountedPath = 0xFFFF;

QStringView fileNamePart(const QString &path)
{
    return QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// The scan's rule for a better file: a higher score, or the same score at
// an earlier place than a file this search found (a file the match had
// before keeps its place on equal scores).
struct TBest {
    int Score = 0;
    int Index = -1;
    bool FoundHere = false;

    // The lowest score that file index must reach to be taken.
    int Needed(int index) const { return FoundHere && index < Index ? Score : Score + 1; }
    void Offer(int index, int score)
    {
        if (score >= Needed(index)) {
            Score = score;
            Index = index;
            FoundHere = true;
        }
    }
};

} // namespace

QStringList MatchWords(const QString &path)
{
    QStringView rest(path);
    if (HasMp3Extension(path))
        rest.chop(4);
    // The file name and the two folders above it: the part of a path that
    // moves with the file.
    qsizetype from = rest.size();
    for (int parts = 0; parts < 3 && from > 0; ++parts)
        from = rest.lastIndexOf(QLatin1Char('/'), from - 1);
    rest = rest.sliced(std::max<qsizetype>(from, 0));

    QSet<QString> seen;
    QStringList words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= rest.size(); ++i) {
        const bool inWord = i < rest.size() && rest.at(i).isLetterOrNumber();
        if (inWord && start < 0)
            start = i;
        if (!inWord && start >= 0) {
            const QString word = rest.sliced(start, i - start).toString().toCaseFolded();
            if (!seen.contains(word)) {
                seen.insert(word);
                words.append(word);
            }
            start = -1;
        }
    }
    return words;
}

TFoundFileIndex::TFoundFileIndex(const TFoundFileList &found)
    : m_found(found)
{
    std::vector<int> bySize(size_t(found.size()));
    m_nameOf.reserve(size_t(found.size()));
    for (int i = 0; i < int(found.size()); ++i) {
        bySize[size_t(i)] = i;
        const QString name = fileNamePart(found.at(i).Path).toString();
        auto place = m_nameNumbers.find(name);
        if (place == m_nameNumbers.end()) {
            place = m_nameNumbers.insert(name, int(m_filesNamed.size()));
            m_filesNamed.emplace_back();
        }
        m_filesNamed[size_t(*place)].push_back(i);
        m_nameOf.push_back(*place);
    }
    std::stable_sort(bySize.begin(), bySize.end(),
                     [&found](int a, int b) { return found.at(a).Size < found.at(b).Size; });
    for (const int i : bySize) {
        if (m_sizes.empty() || m_sizes.back().Size != found.at(i).Size)
            m_sizes.push_back({found.at(i).Size, {}});
        m_sizes.back().Files.push_back(i);
    }
}

void TFoundFileIndex::indexNames() const
{
    if (m_namesIndexed)
        return;
    m_charCounts.reserve(size_t(m_found.size()));
    for (int i = 0; i < int(m_found.size()); ++i) {
        for (const QString &word : MatchWords(m_found.at(i).Path))
            m_byWord[word].push_back(i);
        m_charCounts.push_back(charCounts(m_found.at(i).Path));
    }
    m_namesIndexed = true;
}

TFoundFileIndex::TCharCounts TFoundFileIndex::charCounts(const QString &path)
{
    TCharCounts counts{};
    // Longer paths would overflow the counts; distanceAtLeast is not asked
    // about them.
    if (path.size() > MaxCountedPath)
        return counts;
    for (const QChar c : path)
        ++counts[c.unicode() % 61];
    return counts;
}

int TFoundFileIndex::distanceAtLeast(const TCharCounts &a, const TCharCounts &b)
{
    // Every edit removes at most one excess letter of either side.
    int aExcess = 0;
    int bExcess = 0;
    for (size_t k = 0; k < a.size(); ++k) {
        const int difference = int(a[k]) - int(b[k]);
        aExcess += std::max(difference, 0);
        bExcess += std::max(-difference, 0);
    }
    return std::max(aExcess, bExcess);
}

std::pair<size_t, size_t> TFoundFileIndex::sizeRange(qint64 trackSize) const
{
    if (trackSize == 0)
        return {0, 0};
    // A size score needs a difference below a ten-thousandth of the track's
    // size (MatchSizeScore); the margin covers its single precision.  The
    // sizes in the range are still scored one by one.
    constexpr long double Margin = 1.01e-4L;
    const long double a = (long double)trackSize * (1 - Margin);
    const long double b = (long double)trackSize * (1 + Margin);
    const qint64 low = qint64(std::floor(std::min(a, b))) - 1;
    const qint64 high = qint64(std::ceil(std::max(a, b))) + 1;
    const auto first = std::lower_bound(m_sizes.begin(), m_sizes.end(), low,
                                        [](const TSizeGroup &group, qint64 size) { return group.Size < size; });
    const auto last = std::upper_bound(first, m_sizes.end(), high,
                                       [](qint64 size, const TSizeGroup &group) { return size < group.Size; });
    return {size_t(first - m_sizes.begin()), size_t(last - m_sizes.begin())};
}

// The search for one track's file.
class TFoundFileIndex::TSearch {
public:
    TSearch(const TFoundFileIndex &index, const TMp3Track &track, const TFileMatch &match,
            const std::vector<bool> &taken)
        : m_index(index)
        , m_path(track.FilePath)
        , m_size(track.Size)
        , m_taken(taken)
        , m_name(index.m_nameNumbers.value(fileNamePart(track.FilePath).toString(), -1))
    {
        m_best.Score = match.Score;
        m_best.Index = match.FileIndex;
    }

    const TBest &best() const { return m_best; }

    void exact()
    {
        // A file scores its size score, and 50 more for an equal name: the
        // files of the name are scored, and of the others, for each size,
        // only the first file left (it wins the ties).
        if (m_name >= 0)
            for (int i : m_index.m_filesNamed[size_t(m_name)])
                if (!isTaken(i))
                    m_best.Offer(i, MatchScore(m_path, m_size, m_index.m_found.at(i), TMatchingType::Exact));
        const auto [first, last] = m_index.sizeRange(m_size);
        for (size_t g = first; g < last; ++g) {
            const TSizeGroup &group = m_index.m_sizes[g];
            const int sizeScore = MatchSizeScore(m_size, group.Size);
            if (sizeScore == 0)
                continue;
            const auto firstLeft = std::find_if(group.Files.cbegin(), group.Files.cend(),
                                                [this](int i) { return !isTaken(i); });
            if (firstLeft != group.Files.cend())
                m_best.Offer(*firstLeft, sizeScore);
        }
    }

    void fuzzy()
    {
        // A fuzzy score is a product: no size score, no score.
        std::vector<std::pair<int, int>> candidates;  // file, size score
        const auto [first, last] = m_index.sizeRange(m_size);
        for (size_t g = first; g < last; ++g) {
            const TSizeGroup &group = m_index.m_sizes[g];
            const int sizeScore = MatchSizeScore(m_size, group.Size);
            if (sizeScore > 0)
                for (int i : group.Files)
                    if (!isTaken(i))
                        candidates.push_back({i, sizeScore});
        }
        if (candidates.size() <= 2 * RankedFiles) {
            for (const auto &[i, sizeScore] : candidates)
                offerFuzzy(i, sizeScore);
            return;
        }
        // Many files fit the size: the likely ones first (those of the
        // same name, then those of the most words alike), so that a good
        // score rules out the others early, most by their letter counts.
        m_index.indexNames();
        m_counts = charCounts(m_path);
        m_useCounts = true;
        std::vector<int> sizeScores(size_t(m_index.m_found.size()), 0);
        for (const auto &[i, sizeScore] : candidates)
            sizeScores[size_t(i)] = sizeScore;
        if (m_name >= 0) {
            for (int i : m_index.m_filesNamed[size_t(m_name)]) {
                offerFuzzy(i, sizeScores[size_t(i)]);
                sizeScores[size_t(i)] = 0;
            }
        }
        for (int i : likelyFiles(sizeScores)) {
            offerFuzzy(i, sizeScores[size_t(i)]);
            sizeScores[size_t(i)] = 0;
        }
        for (const auto &[i, sizeScore] : candidates)
            if (sizeScores[size_t(i)] > 0)
                offerFuzzy(i, sizeScore);
    }

private:
    bool isTaken(int i) const { return !m_taken.empty() && m_taken[size_t(i)]; }

    // Scores a file with a size score, unless the best score it could reach
    // cannot beat the best file so far.
    void offerFuzzy(int i, int sizeScore)
    {
        const int needed = m_best.Needed(i);
        if (sizeScore * HalfScore / 25 < needed)
            return;
        if (sizeScore == 0)
            return;
        const QString &path = m_index.m_found.at(i).Path;
        int nameScore = HalfScore;
        if (m_index.m_nameOf[size_t(i)] != m_name) {
            // The fewest name points that reach the score needed, and so the
            // largest edit distance worth knowing.
            const int neededName = (needed * 25 + sizeScore - 1) / sizeScore;
            const int maxDistance = HalfScore - std::max(neededName, 1);
            if (std::abs(path.size() - m_path.size()) > maxDistance)
                return;
            if (m_useCounts && path.size() <= MaxCountedPath && m_path.size() <= MaxCountedPath
                && distanceAtLeast(m_index.m_charCounts[size_t(i)], m_counts) > maxDistance)
                return;
            nameScore = HalfScore - EditDistance(path, m_path);
        }
        if (nameScore > 0)
            m_best.Offer(i, std::clamp(nameScore * sizeScore / 25, 0, PerfectMatchScore));
    }

    // The files with a size score that share the most words with the track
    // (most first), at most RankedFiles of them.  Words that most files hold
    // ("the", "01") say nothing and are passed over.
    std::vector<int> likelyFiles(const std::vector<int> &sizeScores) const
    {
        const size_t common = std::max<size_t>(100, sizeScores.size() / 10);
        std::vector<int> shared(sizeScores.size(), 0);
        std::vector<int> files;
        for (const QString &word : MatchWords(m_path)) {
            const auto holders = m_index.m_byWord.constFind(word);
            if (holders == m_index.m_byWord.cend() || holders->size() > common)
                continue;
            for (int i : *holders) {
                if (sizeScores[size_t(i)] == 0)
                    continue;
                if (shared[size_t(i)]++ == 0)
                    files.push_back(i);
            }
        }
        const auto moreShared = [&shared](int a, int b) {
            return shared[size_t(a)] != shared[size_t(b)] ? shared[size_t(a)] > shared[size_t(b)] : a < b;
        };
        const size_t kept = std::min(files.size(), RankedFiles);
        std::partial_sort(files.begin(), files.begin() + qsizetype(kept), files.end(), moreShared);
        files.resize(kept);
        return files;
    }

    const TFoundFileIndex &m_index;
    const QString &m_path;
    const qint64 m_size;
    const std::vector<bool> &m_taken;
    const int m_name;  // the number of the track's file name; -1: no file has it
    TCharCounts m_counts{};
    bool m_useCounts = false;
    TBest m_best;
};

void TFoundFileIndex::Improve(TFileMatch &match, TMatchingType type, const std::vector<bool> &taken) const
{
    if (!match.Track || match.Score >= PerfectMatchScore)
        return;
    TSearch search(*this, *match.Track, match, taken);
    if (type == TMatchingType::Fuzzy)
        search.fuzzy();
    else
        search.exact();
    match.Score = search.best().Score;
    match.FileIndex = search.best().Index;
}
