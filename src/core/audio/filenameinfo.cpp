#include "audio/filenameinfo.h"

#include "settings/generalhelpers.h"

#include <QTextBoundaryFinder>

#include <algorithm>
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
qsizetype indexOfAsciiCaseless(const QString &haystack, const QString &needle, qsizetype from)
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

// The last `count` levels of the path; missing leading levels are empty.
QStringList lastPathLevels(const QString &path, qsizetype count)
{
    // The leading "/" plays the part of a drive: it names no level.
    const QString relative = path.startsWith(QLatin1Char('/')) ? path.mid(1) : path;
    const QStringList levels = relative.split(QLatin1Char('/'));
    QStringList result;
    for (qsizetype i = levels.size() - count; i < levels.size(); ++i)
        result.append(i >= 0 ? levels.at(i) : QString());
    return result;
}

class PathParser {
public:
    explicit PathParser(TFilenameInfo &info) : m_info(info) {}

    // Walks one format part over its path level, assigning values and
    // adding to the running score.
    void parseLevel(const FormatPart &part, const QString &level)
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
            const QString value =
                TrimControl(QStringView(level).mid(std::min(valueStart, length),
                                                   std::max<qsizetype>(valueEnd - valueStart, 0)));
            assign(part.Placeholders[k], value);
            p = valueEnd;
            if (found >= 0)
                m_score += qint32(literalBefore) + 1;
        }
    }

    qint32 score() const { return m_score; }

private:
    void assign(int placeholder, const QString &value)
    {
        switch (placeholder) {
        case FilenamePlaceholder::Album: m_info.Album = value; break;
        case FilenamePlaceholder::Artist: m_info.Artist = value; break;
        case FilenamePlaceholder::Title: m_info.Title = value; break;
        case FilenamePlaceholder::Year: m_info.Year = value; break;
        case FilenamePlaceholder::Genre: m_info.Genre = value; break;
        case FilenamePlaceholder::TrackIndex: {
            bool ok = false;
            const qint32 track = value.toInt(&ok);
            m_info.Track = ok ? track : 0;
            // A name that does not hold a number where the format expects
            // one is a poor fit whatever else matched.
            m_score = ok ? m_score + 1 : -10;
            break;
        }
        default: break;  // ignored text
        }
    }

    TFilenameInfo &m_info;
    qint32 m_score = 0;
};

} // namespace

QString TrimControl(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin).toString();
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
    const QString fullFormat = format.endsWith(Mp3Extension) ? format : format + Mp3Extension;
    const QStringList formatParts = fullFormat.split(FormatLevelSeparator);
    const QStringList levels = lastPathLevels(path, formatParts.size());

    PathParser parser(*this);
    qsizetype placeholderCount = 0;
    for (qsizetype i = 0; i < formatParts.size(); ++i) {
        const FormatPart part = splitFormatPart(formatParts.at(i));
        placeholderCount += qsizetype(part.Placeholders.size());
        parser.parseLevel(part, levels.at(i));
    }

    Parsed = true;
    if (!Locked) {
        ParseFormat = format;
        Score = parser.score() * qint32(placeholderCount);
    }
    return Score;
}

void TFilenameInfo::ParseBestFormat(const QString &path, const QStringList &formats)
{
    if (Locked)
        return;
    qsizetype best = -1;
    qint32 bestScore = -1;
    for (qsizetype i = 0; i < formats.size(); ++i) {
        const qint32 score = ParseWithFormat(path, formats.at(i));
        if (score > bestScore) {
            bestScore = score;
            best = i;
        }
    }
    if (best >= 0)
        ParseWithFormat(path, formats.at(best));
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
    return FitFileNameLength(MakeSafeFileName(name) + Mp3Extension);
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
