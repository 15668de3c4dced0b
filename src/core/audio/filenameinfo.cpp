#include "core/audio/filenameinfo.h"

#include "core/base/localpath.h"
#include "core/settings/generalhelpers.h"

#include <QTextBoundaryFinder>

#include <algorithm>
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

int EditDistance(const QString &a, const QString &b)
{
    if (a.isEmpty())
        return int(b.size());
    if (b.isEmpty())
        return int(a.size());
    // Two rows of the distance matrix suffice: each row needs only the one
    // above it.
    std::vector<int> previous(size_t(b.size()) + 1);
    std::vector<int> current(size_t(b.size()) + 1);
    for (size_t j = 0; j < previous.size(); ++j)
        previous[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        current[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int substitution = previous[size_t(j - 1)] + (a.at(i - 1) == b.at(j - 1) ? 0 : 1);
            current[size_t(j)] =
                std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1, substitution});
        }
        std::swap(previous, current);
    }
    return previous[size_t(b.size())];
}
