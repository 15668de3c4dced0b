#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The two playlist file formats: extended M3U ("#EXTM3U", "#EXTINF:length,
// title" before each file line) and PLS (an ini file with a "playlist"
// section).  Both are written as UTF-8 with CR LF line ends, atomically;
// reading takes UTF-8 when the bytes are valid UTF-8 and Windows-1252
// otherwise, the encoding of older players.

struct TPlayListRecord {
    QString FileName;
    QString Title;
    qint32 Length = 0;

    bool operator==(const TPlayListRecord &other) const = default;
};
using TPlayListRecords = QList<TPlayListRecord>;

enum class TPlayListFormat { Unknown, M3U, PLS };

// By the lower-cased extension: ".m3u" and ".m3u8" are M3U, ".pls" is PLS.
TPlayListFormat playListFormatOf(const QString &path);

// UTF-8 when valid (a byte order mark is dropped), else Windows-1252.
QString decodePlayListText(const QByteArray &bytes);
// A title fit for one line of a playlist file: every CR LF, lone CR and lone
// LF becomes a space.
QString singleLineTitle(const QString &title);

QList<TPlayListRecord> parseM3u(const QString &text);
QByteArray buildM3u(const TPlayListRecords &records);

// Each returns false with the reason in error when the file cannot be read
// or written; a file that cannot be written is left as it was.
bool readM3uFile(const QString &path, TPlayListRecords &records, QString &error);
bool writeM3uFile(const QString &path, const TPlayListRecords &records, QString &error);
bool readPlsFile(const QString &path, TPlayListRecords &records, QString &error);
// Over an existing file, other sections and keys are kept (and the whole
// file is converted to UTF-8 when it was in the older encoding).
bool writePlsFile(const QString &path, const TPlayListRecords &records, QString &error);
