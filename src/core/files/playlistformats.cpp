#include "core/files/playlistformats.h"

#include "core/base/filereplacement.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/regularfile.h"
#include "core/base/windows1252.h"
#include "core/base/writeall.h"
#include "core/settings/biginifile.h"
#include "core/settings/generalhelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <algorithm>
#include <utility>

namespace {

const QString PlsSection = QStringLiteral("playlist");
const QByteArray LineEnd = "\r\n";

bool readBytes(const QString &path, QByteArray &bytes, QString &error)
{
    if (!LocalPathExists(path)) {
        error = QStringLiteral("The playlist \"%1\" does not exist.").arg(ReadablePath(path));
        return false;
    }
    QFile file;
    QString problem;
    if (!OpenRegularFile(file, path, QIODevice::ReadOnly, &problem)) {
        error = QStringLiteral("The playlist \"%1\" could not be opened: %2").arg(ReadablePath(path), problem);
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("The playlist \"%1\" could not be read: %2").arg(ReadablePath(path), file.errorString());
        return false;
    }
    return true;
}

QString writeError(const QString &path, const QString &reason)
{
    return QStringLiteral("The playlist \"%1\" could not be written: %2").arg(ReadablePath(path), reason);
}

// The whole file or nothing; owner, mode and hard links are kept.
bool replaceFile(const QString &path, const QByteArray &bytes, QString &error)
{
    TFileReplacement file(path);
    if (!file.open()) {
        error = writeError(path, file.errorString());
        return false;
    }
    if (!writeAll(file.device(), bytes)) {
        error = writeError(path, writeErrorOf(file.device()));
        return false;
    }
    if (!file.commit()) {
        error = writeError(path, file.errorString());
        return false;
    }
    return true;
}

// True, with the reason in error, when a file name holds a line break.
bool refuseLineBreaks(const QString &path, const TPlayListRecords &records, QString &error)
{
    const QString name = nameWithLineBreak(records);
    if (name.isEmpty())
        return false;
    error = QStringLiteral("The file name \"%1\" holds a line break, which M3U and PLS playlists cannot hold; "
                           "the playlist \"%2\" was not written.")
                .arg(name, ReadablePath(path));
    return true;
}

bool isUtf8(const QByteArray &bytes)
{
    return QByteArrayView(bytes).isValidUtf8();
}

// A playlist entry that is a file URL ("file:///music/caf%E9.mp3"), as
// players write them and as PLS files hold names that are not UTF-8: the
// path of its bytes.  Any other entry is a path already.
QString pathOfEntry(const QString &entry)
{
    static const QLatin1String Scheme("file://");
    if (!entry.startsWith(Scheme, Qt::CaseInsensitive))
        return entry;
    const QString rest = entry.mid(Scheme.size());
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));  // past a host such as "localhost"
    if (slash < 0)
        return entry;
    const QByteArray bytes = QByteArray::fromPercentEncoding(rest.mid(slash).toUtf8());
    // No file name holds these; an address that does is left as it was.
    if (bytes.contains('\0') || bytes.contains('\n') || bytes.contains('\r'))
        return entry;
    return PathFromLocalBytes(bytes);
}

// A PLS file is UTF-8 text: a path with bytes that are not UTF-8 goes in
// as a file URL, whose escapes keep those bytes.
QString plsEntryOf(const QString &path)
{
    if (!HasForeignBytes(path))
        return path;
    return LocalFileUrl(path);
}

// "#EXTINF:length,title": both only when there is a comma.
void applyInfoLine(const QString &infoLine, TPlayListRecord &record)
{
    const QString info = infoLine.mid(8);
    const qsizetype comma = info.indexOf(QLatin1Char(','));
    if (comma < 0)
        return;
    bool ok = false;
    const qint32 length = info.left(comma).trimmed().toInt(&ok);
    record.Length = ok ? length : 0;
    record.Title = info.mid(comma + 1);
}

// Writes bytes to a temporary file; the ini object then works on a UTF-8
// copy whatever the encoding of the original.
bool writeTemporary(QTemporaryFile &file, const QByteArray &bytes, QString &error)
{
    if (!file.open() || !writeAll(file, bytes) || !file.flush()) {
        error = file.errorString();
        return false;
    }
    file.close();
    return true;
}

// The highest n of the "Filen", "Titlen" and "Lengthn" keys present.
qint32 highestEntryNumber(const TBigIniFile &ini)
{
    static const QRegularExpression entryKey(QStringLiteral("^(?:File|Title|Length)(\\d{1,9})$"),
                                             QRegularExpression::CaseInsensitiveOption);
    qint32 highest = 0;
    for (const QString &key : ini.ReadSection(PlsSection)) {
        const QRegularExpressionMatch match = entryKey.match(key);
        if (match.hasMatch())
            highest = qMax(highest, match.captured(1).toInt());
    }
    return highest;
}

void readPlsRecords(const TBigIniFile &ini, TPlayListRecords &records)
{
    ini.ReadString(PlsSection, QStringLiteral("Version"), QString()); // not used
    // Entries past the last one the file has keys for would be empty: a
    // damaged count must not make us build millions of them.
    const qint32 count = qMin(ini.ReadInteger(PlsSection, QStringLiteral("NumberOfEntries"), 0),
                              highestEntryNumber(ini));
    for (qint32 i = 1; i <= count; ++i) {
        const QString n = QString::number(i);
        TPlayListRecord record;
        record.FileName = pathOfEntry(ini.ReadString(PlsSection, QStringLiteral("File") + n, QString()));
        record.Title = ini.ReadString(PlsSection, QStringLiteral("Title") + n, QString());
        record.Length = ini.ReadInteger(PlsSection, QStringLiteral("Length") + n, 0);
        records.append(record);
    }
}

// The keys the program owns in a PLS file holding records, in the order a
// new file lists them.
QList<std::pair<QString, QString>> plsKeys(const TPlayListRecords &records)
{
    QList<std::pair<QString, QString>> keys;
    keys.reserve(2 + records.size() * 3);
    keys.append({QStringLiteral("NumberOfEntries"), QString::number(records.size())});
    keys.append({QStringLiteral("Version"), QStringLiteral("2")});
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QString n = QString::number(i + 1);
        const TPlayListRecord &record = records.at(i);
        keys.append({QStringLiteral("File") + n, plsEntryOf(record.FileName)});
        keys.append({QStringLiteral("Title") + n, singleLineTitle(record.Title)});
        keys.append({QStringLiteral("Length") + n, QString::number(record.Length)});
    }
    return keys;
}

// Section headers as the ini object reading the file sees them.
bool isSectionHeader(const QString &line)
{
    return line.size() >= 2 && line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'));
}

bool isPlaylistHeader(const QString &line)
{
    return QStringView(line).mid(1, line.size() - 2).compare(PlsSection, Qt::CaseInsensitive) == 0;
}

// Merges the keys of a playlist into the lines of the PLS file it replaces.
// The owned keys of the first "playlist" section are replaced at their first
// line (the one the reader takes); their repeats there and in a repeated
// "playlist" section go, so that every reader, whichever occurrence it
// takes, sees the new entries.  Everything else stays where it was.
class TPlsMerge {
public:
    explicit TPlsMerge(const TPlayListRecords &records)
        : m_keys(plsKeys(records))
        , m_written(m_keys.size(), false)
    {
        for (qsizetype i = 0; i < m_keys.size(); ++i)
            m_keyIndex.insert(m_keys.at(i).first.toCaseFolded(), i);
    }

    void addLine(const QString &line)
    {
        // The end-of-file mark of old editors: the ini object skips it too,
        // and a section appended after it would be hidden from their readers.
        if (line == QString(QChar(26)))
            return;
        if (isSectionHeader(line)) {
            startSection(line);
            return;
        }
        if (m_section != Section::Other) {
            const qsizetype owned = ownedKey(line);
            if (owned >= 0) {
                if (m_section == Section::FirstPlaylist && !m_written.at(owned)) {
                    m_lines.append(keyName(line) + QLatin1Char('=') + m_keys.at(owned).second);
                    m_written[owned] = true;
                    m_insertAt = m_lines.size();
                }
                return;
            }
        }
        m_lines.append(line);
        if (line.trimmed().isEmpty())
            return;
        if (m_section == Section::FirstPlaylist)
            m_insertAt = m_lines.size();
        else if (m_section == Section::LaterPlaylist)
            m_laterHasLines = true;
    }

    QString text()
    {
        closeLaterSection();
        QStringList missing;
        for (qsizetype i = 0; i < m_keys.size(); ++i)
            if (!m_written.at(i))
                missing.append(m_keys.at(i).first + QLatin1Char('=') + m_keys.at(i).second);
        QStringList lines = m_lines;
        if (m_insertAt >= 0) {
            // New keys follow the section's last line, before blank lines.
            lines = lines.mid(0, m_insertAt) + missing + lines.mid(m_insertAt);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines.append(QString());
            lines.append(QLatin1Char('[') + PlsSection + QLatin1Char(']'));
            lines += missing;
            lines.append(QString());
        }
        return lines.join(QLatin1String(LineEnd)) + QLatin1String(LineEnd);
    }

private:
    enum class Section { Other, FirstPlaylist, LaterPlaylist };

    static QString keyName(const QString &line) { return line.left(line.indexOf(QLatin1Char('='))).trimmed(); }

    // The index of the line's key among the owned ones, or -1.  Blanks
    // around the key do not hide it: many readers trim them.
    qsizetype ownedKey(const QString &line) const
    {
        if (!line.contains(QLatin1Char('=')))
            return -1;
        return m_keyIndex.value(keyName(line).toCaseFolded(), -1);
    }

    void startSection(const QString &header)
    {
        closeLaterSection();
        if (!isPlaylistHeader(header)) {
            m_section = Section::Other;
        } else if (m_insertAt < 0) {
            m_section = Section::FirstPlaylist;
            m_insertAt = m_lines.size() + 1;
        } else {
            m_section = Section::LaterPlaylist;
            m_laterHeader = m_lines.size();
            m_laterHasLines = false;
        }
        m_lines.append(header);
    }

    // A repeated "playlist" section left with nothing but owned keys goes
    // whole: a reader that takes the last section would find it empty.
    void closeLaterSection()
    {
        if (m_laterHeader >= 0 && !m_laterHasLines)
            m_lines.resize(m_laterHeader);
        m_laterHeader = -1;
    }

    const QList<std::pair<QString, QString>> m_keys;
    QHash<QString, qsizetype> m_keyIndex;  // case-folded key -> index in m_keys
    QList<bool> m_written;
    QStringList m_lines;
    Section m_section = Section::Other;
    qsizetype m_insertAt = -1;     // in m_lines: where keys not yet present go
    qsizetype m_laterHeader = -1;  // in m_lines: the header of a repeated section
    bool m_laterHasLines = false;
};

// The lines of bytes, ended as SplitTextLines ends them: by CR LF, a lone CR
// or a lone LF.
QList<QByteArrayView> byteLines(QByteArrayView bytes)
{
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r')
            continue;
        lines.append(bytes.sliced(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.sliced(start));
    return lines;
}

} // namespace

TPlayListFormat playListFormatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("m3u") || suffix == QLatin1String("m3u8"))
        return TPlayListFormat::M3U;
    if (suffix == QLatin1String("pls"))
        return TPlayListFormat::PLS;
    return TPlayListFormat::Unknown;
}

QString decodePlayListText(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(view);
    return utf8.hasError() ? decodeWindows1252(view) : text;
}

QString decodeM3uText(const QByteArray &bytes)
{
    if (isUtf8(bytes))
        return decodePlayListText(bytes);
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QString text;
    text.reserve(view.size());
    for (const QByteArrayView line : byteLines(view)) {
        if (line.startsWith('/')) {
            const QString path = PathFromLocalBytes(line);
            const QString oldReading = decodeWindows1252(line);
            text += !LocalPathExists(path) && LocalPathExists(oldReading) ? oldReading : path;
        } else {
            // Valid UTF-8 decodes as a name would, a byte order mark inside
            // the file kept as a character of its line.
            text += line.isValidUtf8() ? PathFromLocalBytes(line) : decodeWindows1252(line);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

bool isLineSeparator(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x1C:
    case 0x1D:
    case 0x1E:
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

QString nameWithLineBreak(const TPlayListRecords &records)
{
    for (const TPlayListRecord &record : records) {
        if (std::none_of(record.FileName.cbegin(), record.FileName.cend(), isLineSeparator))
            continue;
        QString shown;
        for (const QChar c : record.FileName) {
            if (c == u'\n')
                shown += QLatin1String("\\n");
            else if (c == u'\r')
                shown += QLatin1String("\\r");
            else if (isLineSeparator(c))
                shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                shown += c;
        }
        return shown;
    }
    return QString();
}

QString singleLineTitle(const QString &title)
{
    QString line = title;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    std::replace_if(line.begin(), line.end(), isLineSeparator, QLatin1Char(' '));
    return line;
}

QList<TPlayListRecord> parseM3u(const QString &text)
{
    TPlayListRecords records;
    QString pendingInfo;
    bool hasPendingInfo = false;
    for (const QString &line : SplitTextLines(text)) {
        if (line.left(7).toUpper() == QLatin1String("#EXTINF")) {
            pendingInfo = line;
            hasPendingInfo = true;
        } else if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue; // header, comments and blank lines
        } else {
            TPlayListRecord record;
            record.FileName = pathOfEntry(line);
            if (hasPendingInfo)
                applyInfoLine(pendingInfo, record);
            hasPendingInfo = false;
            records.append(record);
        }
    }
    return records;
}

QByteArray buildM3u(const TPlayListRecords &records)
{
    QByteArray bytes = "#EXTM3U" + LineEnd;
    for (const TPlayListRecord &record : records) {
        bytes += QStringLiteral("#EXTINF:%1,%2").arg(record.Length).arg(singleLineTitle(record.Title)).toUtf8()
                 + LineEnd;
        // The name's own bytes: a player opens the file by them.
        bytes += LocalPathBytes(record.FileName) + LineEnd;
    }
    return bytes;
}

bool readM3uFile(const QString &path, TPlayListRecords &records, QString &error)
{
    QByteArray bytes;
    if (!readBytes(path, bytes, error))
        return false;
    records = parseM3u(decodeM3uText(bytes));
    return true;
}

bool writeM3uFile(const QString &path, const TPlayListRecords &records, QString &error)
{
    if (refuseLineBreaks(path, records, error))
        return false;
    return replaceFile(path, buildM3u(records), error);
}

bool readPlsFile(const QString &path, TPlayListRecords &records, QString &error)
{
    QByteArray bytes;
    if (!readBytes(path, bytes, error))
        return false;
    // The ini object reads a UTF-8 copy: the text is decoded here by the
    // playlist rule, and reading never rewrites the user's file.
    QTemporaryFile copy;
    QString reason;
    if (!writeTemporary(copy, decodePlayListText(bytes).toUtf8(), reason)) {
        error = QStringLiteral("The playlist \"%1\" could not be read: %2").arg(ReadablePath(path), reason);
        return false;
    }
    const TBigIniFile ini(copy.fileName());
    readPlsRecords(ini, records);
    return true;
}

QString buildPls(const QString &existing, const TPlayListRecords &records)
{
    TPlsMerge merge(records);
    for (const QString &line : SplitTextLines(existing))
        merge.addLine(line);
    return merge.text();
}

bool writePlsFile(const QString &path, const TPlayListRecords &records, QString &error)
{
    if (refuseLineBreaks(path, records, error))
        return false;
    QByteArray existing;
    if (LocalPathExists(path) && !readBytes(path, existing, error))
        return false; // never replace a file we could not read
    // A file in the older 8-bit encoding is converted to UTF-8 as a whole.
    return replaceFile(path, buildPls(decodePlayListText(existing), records).toUtf8(), error);
}
