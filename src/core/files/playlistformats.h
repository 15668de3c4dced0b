#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The two playlist file formats: extended M3U ("#EXTM3U", "#EXTINF:length,
// title" before each file line) and PLS (an ini file with a "playlist"
// section).  Both are written as UTF-8 with CR LF line ends, atomically;
// reading takes UTF-8 when the bytes are valid UTF-8 and Windows-1252
// otherwise, the encoding of older players.  A file name that is not UTF-8
// keeps its bytes: M3U holds them as they are, PLS as a "file://" address.

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
// Whether some reader of playlist files ends a line at c: CR and LF, and
// also the vertical tab, the form feed, the file, group and record
// separators, next line (U+0085) and the line and paragraph separators
// (U+2028, U+2029), which Unicode-aware line readers split at.
bool isLineSeparator(QChar c);
// The file name of the first record that holds a line separator, shown
// with the separators escaped ("\n", "\v", "\u2028"), or empty when none
// does.  Both formats have one entry per line: such a name would split its
// entry, and a crafted one could add entries of its own.
QString nameWithLineBreak(const TPlayListRecords &records);
// A title fit for one line of a playlist file: every CR LF and every other
// line separator becomes a space.
QString singleLineTitle(const QString &title);

// The text of an M3U file.  A file that is valid UTF-8 is read as
// decodePlayListText reads it.  Any other is read line by line:
// - an absolute path keeps its bytes (this system names files by bytes),
//   unless only its Windows-1252 reading names an existing file;
// - every other line is UTF-8 when it is valid, else Windows-1252.
QString decodeM3uText(const QByteArray &bytes);
QList<TPlayListRecord> parseM3u(const QString &text);
QByteArray buildM3u(const TPlayListRecords &records);

// Each returns false with the reason in error when the file cannot be read
// or written; a file that cannot be written is left as it was.  The writers
// refuse records whose file name holds a line separator.
bool readM3uFile(const QString &path, TPlayListRecords &records, QString &error);
bool writeM3uFile(const QString &path, const TPlayListRecords &records, QString &error);
bool readPlsFile(const QString &path, TPlayListRecords &records, QString &error);
// The text of a PLS file holding records, made from the text of the file it
// replaces (empty when there is none).  The program owns "NumberOfEntries",
// "Version" and the File, Title and Length keys of the entries it writes,
// in the "playlist" section; each is written once, in place of its first
// line when the file has one, else at the end of that section.  Everything
// else stays where it was: comments, lines before the first section, other
// keys and sections, and the keys of entries past the new count (the count
// tells readers where to stop).
QString buildPls(const QString &existing, const TPlayListRecords &records);
// Writes buildPls over the file's text (an older 8-bit file becomes UTF-8).
bool writePlsFile(const QString &path, const TPlayListRecords &records, QString &error);
