#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class TMp3Prefs;
class TSettingsStore;

// The user's settings as the command line reads them: loaded from the
// settings file (TUNEBASE_CONFIG or the default place), never written back.
QStringList CurrentParseFormats();

// The user's settings file, loaded once; whatever the program changes is
// never written back.  Its legacy tag code page is the one tags are read
// and written in (until --legacy-encoding says other).
class CliSettings {
public:
    CliSettings();
    ~CliSettings();
    CliSettings(const CliSettings &) = delete;
    CliSettings &operator=(const CliSettings &) = delete;

    TMp3Prefs &prefs() const;
    const TSettingsStore &store() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Which information sources merged values are taken from.
struct InfoSourceSwitches {
    bool id3v2 = true;
    bool id3v1 = true;
    bool filename = true;
};

// Parses "v2,v1,filename" (any subset, any order; empty means none).
// False, with the complaint in error, for an unknown name.
bool ParseSourceSwitches(const QString &text, InfoSourceSwitches &switches, QString &error);

// The worker threads of a scan from a --threads value: a whole number from
// 1 to MaxScanThreads.  False, with the complaint in error, for anything
// else.
bool ParseThreadCount(const QString &text, int &threads, QString &error);

// Makes the code page of a --legacy-encoding value the one tags are read
// and written in.  False, with the complaint in error, for a code page that
// is not offered.
bool ParseLegacyEncoding(const QString &text, QString &error);

// The line of the commands' help that explains --legacy-encoding.
inline constexpr const char *LegacyEncodingHelp =
    "  --legacy-encoding CODEPAGE  the code page of ID3v1 tags and of ID3v2 texts\n"
    "                    marked ISO-8859-1 (default: \"Legacy Tag Encoding\" of the\n"
    "                    settings, windows-1252); for example windows-1251, KOI8-R,\n"
    "                    Shift_JIS, GBK, Big5, EUC-KR, ISO-8859-2\n";
