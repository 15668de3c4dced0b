#include "cli/clicommand.h"
#include "cli/clipaths.h"
#include "cli/filereport.h"

#include "core/files/parallelread.h"
#include "core/settings/prefs.h"

#include <QFile>
#include <QTextStream>

#include <utility>
#include <vector>

namespace {

struct InfoOptions {
    bool json = false;
    InfoSourceSwitches sources;
    QStringList paths;
    int threads = 0;  // 0: the settings' number
    QString legacyEncoding;  // empty: the settings' code page
};

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli info [--json] [--sources LIST] PATH... [--threads N] [--legacy-encoding CODEPAGE]\n\n"
        << "Reports the MPEG stream, the ID3v1 and ID3v2 tags, the values the folder and\n"
        << "file name hold (by the best of the parse formats in the settings) and the\n"
        << "merged track values of MP3 files.  Folders are searched recursively for\n"
        << "files ending in .mp3.\n\n"
        << "  --json            one JSON array with an object per file\n"
        << "  --sources LIST    the sources merged values come from, first wins:\n"
        << "                    any of v2,v1,filename (default: all three)\n"
        << "  --threads N       read the files on N threads (default: \"Scan Threads\" of the\n"
        << "                    settings, 2); the reports keep the order of the files\n"
        << LegacyEncodingHelp;
}

int runInfo(const CliCall &call)
{
    QTextStream &err = call.err;
    InfoOptions options;
    options.json = call.isSet(QStringLiteral("json"));
    options.paths = call.positional();
    options.legacyEncoding = call.value(QStringLiteral("legacy-encoding"));
    QString error;
    if (call.isSet(QStringLiteral("sources"))
        && !ParseSourceSwitches(call.value(QStringLiteral("sources")), options.sources, error))
        return call.wrongArguments(error);
    if (call.isSet(QStringLiteral("threads"))
        && !ParseThreadCount(call.value(QStringLiteral("threads")), options.threads, error))
        return call.wrongArguments(error);
    if (options.paths.isEmpty())
        return call.helpOnError();

    const CliSettings settings;
    QString encodingError;
    if (!options.legacyEncoding.isEmpty() && !ParseLegacyEncoding(options.legacyEncoding, encodingError)) {
        err << "tunebase-cli info: " << encodingError << "\n";
        return 2;
    }
    const QStringList parseFormats = settings.prefs().ParseFormats;
    QStringList files;
    for (const QString &path : std::as_const(options.paths))
        files += Mp3FilesOf(path);

    // Each file is read and its report formatted on a worker thread; the
    // reports are printed in the order of the files as soon as they and those
    // before them are ready.
    struct Report {
        QByteArray text;  // UTF-8
        QString error;
    };
    std::vector<Report> reports(size_t(files.size()));
    QFile output;
    output.open(stdout, QIODevice::WriteOnly);
    bool failed = false;
    bool first = true;
    if (options.json)
        output.write("[");
    TParallelRead reading;
    reading.threads = options.threads > 0 ? options.threads : settings.prefs().ScanThreads;
    reading.read = [&](int i) {
        FileReport report(parseFormats, options.sources);
        Report &r = reports[size_t(i)];
        if (!report.read(files.at(i))) {
            r.error = report.errorText();
            return false;
        }
        r.text = options.json ? report.toJsonText() : report.toText().toUtf8();
        return true;
    };
    reading.handOver = [&](int i, bool ok) {
        const Report report = std::exchange(reports[size_t(i)], Report());
        if (!ok) {
            output.flush();
            err << "tunebase-cli info: cannot open " << files.at(i) << ": "
                << (report.error.isEmpty() ? QStringLiteral("read error") : report.error) << "\n";
            err.flush();
            failed = true;
            return;
        }
        if (options.json)
            output.write(first ? "\n" : ",\n");
        else if (!first)
            output.write("\n");
        output.write(report.text);
        first = false;
    };
    reading.run(int(files.size()));
    if (options.json)
        output.write("\n]\n");
    output.flush();
    return failed ? 1 : 0;
}

} // namespace

const CliCommand &infoCommand()
{
    static const CliCommand command{
        "info", "info [--json] [--sources v2,v1,filename] [--threads N] [--legacy-encoding CODEPAGE] PATH...",
        "Show the MPEG stream, ID3 tags, file name values and merged values of MP3 files",
        {{{QStringLiteral("json")}, {}},
         {{QStringLiteral("sources")}, QStringLiteral("LIST"),
          QStringLiteral("--sources needs a list such as v2,v1,filename")},
         {{QStringLiteral("threads")}, QStringLiteral("N"), QStringLiteral("--threads needs a number")},
         {{QStringLiteral("legacy-encoding")}, QStringLiteral("CODEPAGE"),
          QStringLiteral("--legacy-encoding needs a code page such as windows-1251")}},
        printHelp, runInfo};
    return command;
}
