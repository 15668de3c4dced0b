#pragma once

#include <QString>
#include <QStringList>

// Small stateless helpers shared by the windows and classes of the program:
// the version text, program folder and paths, a few string conversions and
// the three-way comparisons used by sorting.

// The running program's version, e.g. "1.0" or "1.0.2" (with the release
// number when withRelease is set and the release is not 0), followed by a
// space and the suffix when one is given.  *buildText receives the build
// number in decimal.
QString GetVersionText(bool withRelease = true, const QString &suffix = QString(),
                       QString *buildText = nullptr);
// The same for explicit version numbers.
QString FormatVersionText(int major, int minor, int release, int build, bool withRelease,
                          const QString &suffix, QString *buildText = nullptr);

// Folder of the running executable, ending in "/".
QString GetAppFolder();
// Appends "/" unless the path already ends in one.  An empty path stays
// empty: it names no folder, and "/" would silently mean the root.
QString IncludeTrailingDelimiter(const QString &path);

// Replaces each character that FAT, NTFS or SMB file names cannot hold
// (" * / : < > ? \ |) and every control character (NUL included) by "_".
QString MakeSafeFileName(const QString &text);

QString BoolToYesNo(bool b);
QString SpacesToPlus(const QString &text);
// Every line break ("\r\n", and the "\n" or "\r" of texts written on other
// systems) becomes "<BR>".
QString LineBreaksToHtml(const QString &text);
// The lines of a text, split at LF, CR LF and a lone CR (old Mac files); a
// final line end does not make an empty last line.
QStringList SplitTextLines(const QString &text);
// "track" -> "tracks", "Status" -> "Statuses"; the word itself for count 1.
QString Plural(const QString &word, qint64 count);

// 1 when a > b, -1 when a < b, 0 when equal.
int CompareInt(qint64 a, qint64 b);
// As CompareInt; NaN orders before every number (and equal to NaN), so a
// damaged value cannot break the ordering a sort relies on.
int CompareFloat(double a, double b);
int MinInt(int a, int b);
int MaxInt(int a, int b);
