#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

// Filename formats describe how track values sit in folder and file names:
// "%ar - %t" is "<artist> - <title>.mp3"; a "\" in a parse format steps one
// folder level up ("%ar\%al\%ix - %t").  Formats keep "\" as their level
// separator whatever the path separator of the system is, because the stored
// formats use it.

struct TFilenamePlaceholder {
    QLatin1String Code;
    QLatin1String DisplayName;
};

// Indexed 0..6; also the order in which rename formats are filled in.
namespace FilenamePlaceholder {
constexpr int Album = 0;
constexpr int Artist = 1;
constexpr int Title = 2;
constexpr int TrackIndex = 3;
constexpr int Year = 4;
constexpr int Genre = 5;
constexpr int Ignore = 6;
constexpr int Count = 7;
} // namespace FilenamePlaceholder

inline constexpr std::array<TFilenamePlaceholder, FilenamePlaceholder::Count> FilenamePlaceholders = {{
    {QLatin1String("%al"), QLatin1String("Album")},
    {QLatin1String("%ar"), QLatin1String("Artist")},
    {QLatin1String("%t"), QLatin1String("Title")},
    {QLatin1String("%ix"), QLatin1String("Track Index")},
    {QLatin1String("%y"), QLatin1String("Year")},
    {QLatin1String("%g"), QLatin1String("Genre")},
    {QLatin1String("%ig"), QLatin1String("[Ignore]")},
}};

// The separator of folder levels inside a parse format.
inline constexpr QChar FormatLevelSeparator = QLatin1Char('\\');

// Track values read from a file's path by a parse format, with the score of
// the format for this path.  Each file item owns one.
class TFilenameInfo {
public:
    QString Artist;
    QString Album;
    qint32 Track = 0;      // 0 = none
    QString Title;
    QString Year;
    QString Genre;
    qint32 Score = 0;
    QString ParseFormat;
    bool Locked = false;   // the user fixed ParseFormat for this file
    QString RenameFormat;
    bool Parsed = false;
    bool Enabled = false;  // serves as an information source

    // Empties the six values and Parsed; the format, score and switches stay.
    void Clear();

    // Parses the path (absolute, "/"-separated) by one format and returns
    // the score.  The values are always set; ParseFormat and Score only when
    // not Locked, and a locked object returns its old score.
    qint32 ParseWithFormat(const QString &path, const QString &format);
    // Parses by the first best-scoring format of the list (scores below 0
    // never win).  Does nothing when Locked or the list is empty.
    void ParseBestFormat(const QString &path, const QStringList &formats);

    void Lock() { Locked = true; }
    void Unlock() { Locked = false; }
    bool Available() const { return Parsed && Enabled; }
};

// The format with every placeholder shown by its display name
// ("%ar - %t" -> "Artist - Title").
QString FormatDisplayText(const QString &format);

// A new file name (with ".mp3", without folder) from a rename format.
// Placeholders are filled in one pass over the format, so a value that
// itself contains a placeholder code stays as it is; missing values show as
// "[Album]", "[Track Index]", ...  Characters a file name cannot hold become
// "_", and an over-long name is shortened to what file systems accept.
QString BuildFileName(const QString &format, const QString &album, const QString &artist,
                      const QString &title, qint32 track, const QString &year, const QString &genre);

// The longest file name, in UTF-8 bytes, that Linux file systems accept.
constexpr int MaxFileNameBytes = 255;
// Cuts the stem of the name (keeping the extension) at a character boundary
// until the whole name fits into maxBytes of UTF-8.
QString FitFileNameLength(const QString &fileName, int maxBytes = MaxFileNameBytes);

// The text without characters of codes 0..32 (blanks and control
// characters) at either end.
QString TrimControl(QStringView text);

// Levenshtein distance (insert, delete, substitute at cost 1; case counts).
int EditDistance(const QString &a, const QString &b);
