#include "core/audio/filenameinfo.h"

#include "core/base/localpath.h"
#include "core/settings/generalhelpers.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

namespace {

const QLatin1String Mp3Extension(".mp3");

// Only the letters A-Z fold: separators in names are matched as the user
// typed them, apart from the case of plain letters.
QChar foldAscii(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') ? QChar(char16_t(u + 32)) : c;
}

// 0-based position of needle in haystack at or after from, or -1.
qsizetype indexOfAsciiCaseless(QStringView haystack, const QString &needle, qsizetype from)
{
    if (needle.isEmpty())
        return -1;
    const qsizetype last = haystack.size() - needle.size();
    for (qsizetype i = std::max<qsizetype>(from, 0); i <= last; ++i) {
        qsizetype k = 0;
        while (k < needle.size() && foldAscii(haystack.at(i + k)) == foldAscii(needle.at(k)))
            ++k;
        if (k == needle.size())
            return i;
    }
    return -1;
}

QStringView trimControlView(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

struct FoundPlaceholder {
    qsizetype position;
    int index;  // into FilenamePlaceholders
};

// One "\"-separated part of a format, cut into its placeholders and the
// literals around them: Literals has one entry more than Placeholders.
struct FormatPart {
    std::vector<int> Placeholders;
    QStringList Literals;
};

// Each code counts at its first occurrence in the part; a later repeat is
// literal text.
FormatPart splitFormatPart(const QString &part)
{
    std::vector<FoundPlaceholder> found;
    for (int i = 0; i < FilenamePlaceholder::Count; ++i) {
        const qsizetype pos = part.indexOf(FilenamePlaceholders[size_t(i)].Code, 0, Qt::CaseSensitive);
        if (pos >= 0)
            found.push_back({pos, i});
    }
    std::sort(found.begin(), found.end(),
              [](const FoundPlaceholder &a, const FoundPlaceholder &b) { return a.position < b.position; });

    FormatPart result;
    qsizetype literalStart = 0;
    for (const FoundPlaceholder &f : found) {
        result.Literals.append(part.mid(literalStart, f.position - literalStart));
        result.Placeholders.push_back(f.index);
        literalStart = f.position + FilenamePlaceholders[size_t(f.index)].Code.size();
    }
    result.Literals.append(part.mid(literalStart));
    return result;
}

// A format cut into its levels once, for parsing many paths.
struct CompiledFormat {
    std::vector<FormatPart> Parts;
    qsizetype PlaceholderCount = 0;
};

CompiledFormat compileFormat(const QString &format)
{
    const QString fullFormat = format.endsWith(Mp3Extension) ? format : format + Mp3Extension;
    CompiledFormat compiled;
    for (const QString &part : fullFormat.split(FormatLevelSeparator)) {
        compiled.Parts.push_back(splitFormatPart(part));
        compiled.PlaceholderCount += qsizetype(compiled.Parts.back().Placeholders.size());
    }
    return compiled;
}

// Cutting up the formats costs more than parsing a path with them, and a
// scan parses every file with the same few formats.  Each thread keeps its
// own cache, so that files may be parsed on several threads at once.  The
// reference is valid until the next call on the same thread.
const CompiledFormat &compiledFormat(const QString &format)
{
    constexpr size_t MaxCachedFormats = 4096;
    thread_local std::unordered_map<QString, CompiledFormat> cache;
    if (const auto found = cache.find(format); found != cache.end())
        return found->second;
    if (cache.size() >= MaxCachedFormats)
        cache.clear();
    return cache.emplace(format, compileFormat(format)).first->second;
}

// The levels of a path (absolute, "/"-separated): its folder names and the
// file name.
QList<QStringView> pathLevels(const QString &path)
{
    // The leading "/" plays the part of a drive: it names no level.
    const QStringView relative = path.startsWith(QLatin1Char('/')) ? QStringView(path).mid(1) : QStringView(path);
    return relative.split(QLatin1Char('/'));
}

class PathParser {
public:
    // Without info only the score is worked out (no value is kept).
    explicit PathParser(TFilenameInfo *info) : m_info(info) {}

    // Walks one format part over its path level, assigning values and
    // adding to the running score.
    void parseLevel(const FormatPart &part, QStringView level)
    {
        const qsizetype length = level.size();
        qsizetype p = 0;  // 0-based position in the level
        for (size_t k = 0; k < part.Placeholders.size() && p < length; ++k) {
            const qsizetype literalBefore = part.Literals.at(qsizetype(k)).size();
            const QString &separator = part.Literals.at(qsizetype(k) + 1);
            const qsizetype valueStart = p + literalBefore;
            // Every value has at least one character before its separator.
            const qsizetype found = indexOfAsciiCaseless(level, separator, valueStart + 1);
            const qsizetype valueEnd = found >= 0 ? found : length;
            const QStringView value = trimControlView(
                level.mid(std::min(valueStart, length), std::max<qsizetype>(valueEnd - valueStart, 0)));
            assign(part.Placeholders[k], value);
            p = valueEnd;
            if (found >= 0)
                m_score += qint32(literalBefore) + 1;
        }
    }

    // Parses the last levels of the path by the format; the levels missing
    // in front of a short path count as empty.
    void parse(const CompiledFormat &format, const QList<QStringView> &levels)
    {
        const qsizetype first = levels.size() - qsizetype(format.Parts.size());
        for (size_t i = 0; i < format.Parts.size(); ++i) {
            const qsizetype level = first + qsizetype(i);
            parseLevel(format.Parts[i], level >= 0 ? levels.at(level) : QStringView());
        }
    }

    qint32 score() const { return m_score; }

private:
    void assign(int placeholder, QStringView value)
    {
        if (placeholder == FilenamePlaceholder::TrackIndex) {
            bool ok = false;
            const qint32 track = value.toInt(&ok);
            if (m_info)
                m_info->Track = ok ? track : 0;
            // A name that does not hold a number where the format expects
            // one is a poor fit whatever else matched.
            m_score = ok ? m_score + 1 : -10;
            return;
        }
        if (!m_info)
            return;
        switch (placeholder) {
        case FilenamePlaceholder::Album: m_info->Album = value.toString(); break;
        case FilenamePlaceholder::Artist: m_info->Artist = value.toString(); break;
        case FilenamePlaceholder::Title: m_info->Title = value.toString(); break;
        case FilenamePlaceholder::Year: m_info->Year = value.toString(); break;
        case FilenamePlaceholder::Genre: m_info->Genre = value.toString(); break;
        default: break;  // ignored text
        }
    }

    TFilenameInfo *m_info;
    qint32 m_score = 0;
};

} // namespace

QString TrimControl(QStringView text)
{
    return trimControlView(text).toString();
}

void TFilenameInfo::Clear()
{
    Artist.clear();
    Album.clear();
    Title.clear();
    Year.clear();
    Genre.clear();
    Track = 0;
    Parsed = false;
}

qint32 TFilenameInfo::ParseWithFormat(const QString &path, const QString &format)
{
    Clear();
    const CompiledFormat &compiled = compiledFormat(format);
    PathParser parser(this);
    // Values read from the name are text: a byte of the name that is not
    // UTF-8 becomes the replacement character, never half a character.
    const QString readable = ReadablePath(path);
    parser.parse(compiled, pathLevels(readable));

    Parsed = true;
    if (!Locked) {
        ParseFormat = format;
        Score = parser.score() * qint32(compiled.PlaceholderCount);
    }
    return Score;
}

void TFilenameInfo::ParseBestFormat(const QString &path, const QStringList &formats)
{
    if (Locked || formats.isEmpty())
        return;
    // Scores first, values only for the winner.
    const QString readable = ReadablePath(path);
    const QList<QStringView> levels = pathLevels(readable);
    qsizetype best = -1;
    qint32 bestScore = -1;
    for (qsizetype i = 0; i < formats.size(); ++i) {
        const CompiledFormat &compiled = compiledFormat(formats.at(i));
        PathParser scorer(nullptr);
        scorer.parse(compiled, levels);
        const qint32 score = scorer.score() * qint32(compiled.PlaceholderCount);
        if (score > bestScore) {
            bestScore = score;
            best = i;
        }
    }
    // Without a winner the values are those of the last format tried.
    ParseWithFormat(path, formats.at(best >= 0 ? best : formats.size() - 1));
}

namespace {

// Replaces the placeholders of the format in one pass over the format text:
// text put in is never searched again.  `valueOf` returns the text for a
// placeholder index, or a null QString to keep the code as it is.
template <typename ValueOf>
QString substitutePlaceholders(const QString &format, ValueOf valueOf)
{
    QString result;
    result.reserve(format.size());
    qsizetype i = 0;
    while (i < format.size()) {
        bool replaced = false;
        if (format.at(i) == QLatin1Char('%')) {
            for (int k = 0; k < FilenamePlaceholder::Count; ++k) {
                const QLatin1String code = FilenamePlaceholders[size_t(k)].Code;
                if (QStringView(format).mid(i).startsWith(code, Qt::CaseInsensitive)) {
                    const QString value = valueOf(k);
                    if (value.isNull())
                        break;
                    result += value;
                    i += code.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            result += format.at(i++);
    }
    return result;
}

// Characters that reorder the text around them: in a file name they make
// "song\u202Egpj.mp3" look like "songmp3.jpg" in every file manager.
bool isBidiControl(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

QString withoutBidiControls(QString name)
{
    name.removeIf(isBidiControl);
    return name;
}

// A name starting with "." is hidden (and ".." is no name at all): a title
// ".hidden" must not make a file that folder walks pass over.
QString withoutHiddenStart(QString name)
{
    for (qsizetype i = 0; i < name.size() && name.at(i) == QLatin1Char('.'); ++i)
        name[i] = QLatin1Char('_');
    return name;
}

QString orMissing(const QString &value, int placeholder)
{
    if (!value.isEmpty())
        return value;
    return QStringLiteral("[%1]").arg(FilenamePlaceholders[size_t(placeholder)].DisplayName);
}

} // namespace

QString FormatDisplayText(const QString &format)
{
    return substitutePlaceholders(format, [](int k) {
        return QString(FilenamePlaceholders[size_t(k)].DisplayName);
    });
}

QString BuildFileName(const QString &format, const QString &album, const QString &artist,
                      const QString &title, qint32 track, const QString &year, const QString &genre)
{
    const QString trackText = QString::asprintf("%.2d", track);
    const QString name = substitutePlaceholders(format, [&](int k) -> QString {
        switch (k) {
        case FilenamePlaceholder::Album: return orMissing(album, k);
        case FilenamePlaceholder::Artist: return orMissing(artist, k);
        case FilenamePlaceholder::Title: return orMissing(title, k);
        case FilenamePlaceholder::TrackIndex:
            return trackText == QLatin1String("00") ? orMissing(QString(), k) : trackText;
        case FilenamePlaceholder::Year: return orMissing(year, k);
        case FilenamePlaceholder::Genre: return orMissing(genre, k);
        default: return QString();  // "%ig" has nothing to put in
        }
    });
    return FitFileNameLength(withoutHiddenStart(withoutBidiControls(MakeSafeFileName(name))) + Mp3Extension);
}

QString FitFileNameLength(const QString &fileName, int maxBytes)
{
    if (fileName.toUtf8().size() <= maxBytes)
        return fileName;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > 0 ? fileName.mid(dot) : QString();
    const QString stem = fileName.left(fileName.size() - extension.size());
    const qsizetype room = maxBytes - extension.toUtf8().size();

    // Cut between user-perceived characters, so that no accent is split from
    // its letter and no surrogate pair is halved.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, stem);
    qsizetype fits = 0;
    qsizetype bytes = 0;
    qsizetype previous = 0;
    for (qsizetype next = finder.toNextBoundary(); next > 0; next = finder.toNextBoundary()) {
        bytes += QStringView(stem).mid(previous, next - previous).toUtf8().size();
        if (bytes > room)
            break;
        fits = next;
        previous = next;
    }
    return stem.left(fits) + extension;
}

namespace {

// Myers' bit-vector algorithm (in the blocked form of his 1999 paper): one
// bit per character of the pattern, 64 rows of the distance matrix per
// machine word, so a column costs a few word operations instead of a loop
// over the pattern.  Bit i of a vertical delta word holds the difference of
// the rows i+1 and i of the current column; positive and negative deltas
// are kept in separate words.
class TBitVectorDistance {
public:
    explicit TBitVectorDistance(QStringView pattern)
        : m_words((pattern.size() + 63) / 64)
        , m_lastBit(quint64(1) << ((pattern.size() - 1) % 64))
        , m_latin1(size_t(256) * size_t(m_words), 0)
    {
        for (qsizetype i = 0; i < pattern.size(); ++i)
            row(pattern.at(i).unicode())[i / 64] |= quint64(1) << (i % 64);
    }

    int distanceTo(QStringView text, int patternLength)
    {
        std::vector<quint64> positive(size_t(m_words), ~quint64(0));
        std::vector<quint64> negative(size_t(m_words), 0);
        int distance = patternLength;
        for (const QChar c : text) {
            const quint64 *matches = findRow(c.unicode());
            // The top row of the matrix counts the text: +1 in every column.
            int carry = 1;
            for (qsizetype w = 0; w < m_words; ++w) {
                quint64 equal = matches ? matches[w] : 0;
                const quint64 pv = positive[size_t(w)];
                const quint64 mv = negative[size_t(w)];
                const quint64 xv = equal | mv;
                if (carry < 0)
                    equal |= 1;
                const quint64 xh = (((equal & pv) + pv) ^ pv) | equal;
                quint64 ph = mv | ~(xh | pv);
                quint64 mh = pv & xh;
                const quint64 top = w == m_words - 1 ? m_lastBit : quint64(1) << 63;
                const int out = (ph & top) ? 1 : (mh & top) ? -1 : 0;
                ph <<= 1;
                mh <<= 1;
                if (carry < 0)
                    mh |= 1;
                else if (carry > 0)
                    ph |= 1;
                positive[size_t(w)] = mh | ~(xv | ph);
                negative[size_t(w)] = ph & xv;
                carry = out;
            }
            distance += carry;
        }
        return distance;
    }

private:
    quint64 *row(char16_t c)
    {
        if (c < 256)
            return &m_latin1[size_t(c) * size_t(m_words)];
        auto [place, added] = m_others.try_emplace(c, std::vector<quint64>(size_t(m_words), 0));
        return place->second.data();
    }
    const quint64 *findRow(char16_t c) const
    {
        if (c < 256)
            return &m_latin1[size_t(c) * size_t(m_words)];
        const auto place = m_others.find(c);
        return place == m_others.end() ? nullptr : place->second.data();
    }

    const qsizetype m_words;
    const quint64 m_lastBit;
    std::vector<quint64> m_latin1;  // 256 rows of m_words: where each character occurs
    std::unordered_map<char16_t, std::vector<quint64>> m_others;
};

// The same for a pattern of at most 64 characters, in one word and without
// allocating: the common case of two paths once their common beginning and
// end are cut off.
int singleWordDistance(QStringView pattern, QStringView text)
{
    std::array<quint64, 256> latin1{};
    // Characters past Latin-1: at most one entry per pattern character.
    std::array<std::pair<char16_t, quint64>, 64> others{};
    size_t otherCount = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern.at(i).unicode();
        const quint64 bit = quint64(1) << i;
        if (c < 256) {
            latin1[c] |= bit;
            continue;
        }
        const auto end = others.begin() + otherCount;
        const auto place = std::find_if(others.begin(), end, [c](const auto &entry) { return entry.first == c; });
        if (place == end)
            others[otherCount++] = {c, bit};
        else
            place->second |= bit;
    }
    const quint64 last = quint64(1) << (pattern.size() - 1);
    quint64 pv = ~quint64(0);
    quint64 mv = 0;
    int distance = int(pattern.size());
    for (const QChar character : text) {
        const char16_t c = character.unicode();
        quint64 equal = 0;
        if (c < 256) {
            equal = latin1[c];
        } else {
            for (size_t k = 0; k < otherCount; ++k)
                if (others[k].first == c)
                    equal = others[k].second;
        }
        const quint64 xv = equal | mv;
        const quint64 xh = (((equal & pv) + pv) ^ pv) | equal;
        quint64 ph = mv | ~(xh | pv);
        quint64 mh = pv & xh;
        if (ph & last)
            ++distance;
        else if (mh & last)
            --distance;
        ph = (ph << 1) | 1;
        mh <<= 1;
        pv = mh | ~(xv | ph);
        mv = ph & xv;
    }
    return distance;
}

} // namespace

int EditDistance(const QString &a, const QString &b)
{
    // A common beginning and end cost nothing and need no work: paths in
    // one folder share most of their length.
    QStringView x(a);
    QStringView y(b);
    while (!x.isEmpty() && !y.isEmpty() && x.front() == y.front()) {
        x = x.sliced(1);
        y = y.sliced(1);
    }
    while (!x.isEmpty() && !y.isEmpty() && x.back() == y.back()) {
        x.chop(1);
        y.chop(1);
    }
    if (x.size() > y.size())
        std::swap(x, y);
    if (x.isEmpty())
        return int(y.size());
    // The shorter text is the pattern: fewer words per column.
    if (x.size() <= 64)
        return singleWordDistance(x, y);
    return TBitVectorDistance(x).distanceTo(y, int(x.size()));
}
