#include "core/files/playlistformats.h"

#include "core/base/filereplacement.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/regularfile.h"
#include "core/base/windows1252.h"
#include "core/base/writeall.h"
#include "core/settings/biginifile.h"
#include "core/settings/generalhelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

void writePlsRecords(TBigIniFile &ini, const TPlayListRecords &records)
{
    ini.WriteInteger(PlsSection, QStringLiteral("NumberOfEntries"), qint32(records.size()));
    ini.WriteInteger(PlsSection, QStringLiteral("Version"), 2);
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QString n = QString::number(i + 1);
        const TPlayListRecord &record = records.at(i);
        ini.WriteString(PlsSection, QStringLiteral("File") + n, plsEntryOf(record.FileName));
        ini.WriteString(PlsSection, QStringLiteral("Title") + n, singleLineTitle(record.Title));
        ini.WriteInteger(PlsSection, QStringLiteral("Length") + n, record.Length);
    }
}

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

QString singleLineTitle(const QString &title)
{
    QString line = title;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
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
    TFileReplacement file(path);
    const QByteArray bytes = buildM3u(records);
    if (!file.open() || !writeAll(file.device(), bytes) || !file.commit()) {
        error = writeError(path, file.errorString());
        return false;
    }
    return true;
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

bool writePlsFile(const QString &path, const TPlayListRecords &records, QString &error)
{
    QByteArray existing;
    if (LocalPathExists(path) && !readBytes(path, existing, error))
        return false; // never replace a file we could not read
    if (existing.isEmpty() || isUtf8(existing)) {
        TBigIniFile ini(path);
        writePlsRecords(ini, records);
        if (!ini.UpdateFile()) {
            error = writeError(path, ini.ErrorString());
            return false;
        }
        return true;
    }

    // A file in the older 8-bit encoding: convert it to UTF-8 in a sibling
    // file, update that, and put it in place in one rename.
    const QFileInfo info(path);
    QTemporaryFile converted(info.absoluteDir().filePath(info.fileName() + QStringLiteral(".XXXXXX")));
    QString reason;
    if (!writeTemporary(converted, decodePlayListText(existing).toUtf8(), reason)) {
        error = writeError(path, reason);
        return false;
    }
    {
        TBigIniFile ini(converted.fileName());
        writePlsRecords(ini, records);
        if (!ini.UpdateFile()) {
            error = writeError(path, ini.ErrorString());
            return false;
        }
    }
    QFile::setPermissions(converted.fileName(), info.permissions());
    if (std::rename(LocalPathBytes(converted.fileName()).constData(),
                    LocalPathBytes(path).constData()) != 0) {
        error = writeError(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    converted.setAutoRemove(false);
    return true;
}
