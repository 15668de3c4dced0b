#include "cli/clicommand.h"
#include "cli/clipaths.h"
#include "cli/filereport.h"

#include "core/files/parallelread.h"
#include "core/settings/prefs.h"

#include <QJsonDocument>
#include <QTextStream>

#include <memory>
#include <vector>

namespace {

struct InfoOptions {
    bool json = false;
    InfoSourceSwitches sources;
    QStringList paths;
    int threads = 0;  // 0: the settings' number
};

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli info [--json] [--sources LIST] PATH... [--threads N]\n\n"
        << "Reports the MPEG stream, the ID3v1 and ID3v2 tags, the values the folder and\n"
        << "file name hold (by the best of the parse formats in the settings) and the\n"
        << "merged track values of MP3 files.  Folders are searched recursively for\n"
        << "files ending in .mp3.\n\n"
        << "  --json            one JSON array with an object per file\n"
        << "  --sources LIST    the sources merged values come from, first wins:\n"
        << "                    any of v2,v1,filename (default: all three)\n"
        << "  --threads N       read the files on N threads (default: \"Scan Threads\" of the\n"
        << "                    settings, 2); the reports keep the order of the files\n";
}

int runInfo(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    InfoOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        QString list;
        if (arg == QLatin1String("--json")) {
            options.json = true;
        } else if (const OptionValue sources = TakeOptionValue(args, i, QStringLiteral("--sources"), list);
                   sources != OptionValue::NotThis) {
            QString error;
            if (sources == OptionValue::Missing) {
                err << "tunebase-cli info: --sources needs a list such as v2,v1,filename\n";
                return 2;
            }
            if (!ParseSourceSwitches(list, options.sources, error)) {
                err << "tunebase-cli info: " << error << "\n";
                return 2;
            }
        } else if (const OptionValue threads = TakeOptionValue(args, i, QStringLiteral("--threads"), list);
                   threads != OptionValue::NotThis) {
            QString error;
            if (threads == OptionValue::Missing || !ParseThreadCount(list, options.threads, error)) {
                err << "tunebase-cli info: "
                    << (error.isEmpty() ? QStringLiteral("--threads needs a number") : error) << "\n";
                return 2;
            }
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            printHelp(out);
            return 0;
        } else if (arg.startsWith(QLatin1String("--"))) {
            err << "tunebase-cli info: unknown option '" << arg << "'\n";
            return 2;
        } else {
            options.paths << arg;
        }
    }
    if (options.paths.isEmpty()) {
        printHelp(err);
        return 2;
    }

    const CliSettings settings;
    const QStringList parseFormats = settings.prefs().ParseFormats;
    QStringList files;
    for (const QString &path : std::as_const(options.paths))
        files += Mp3FilesOf(path);

    // The files are read on worker threads; each report is printed, in the
    // order of the files, as soon as it and those before it are read.
    std::vector<std::unique_ptr<FileReport>> reports(size_t(files.size()));
    bool failed = false;
    bool first = true;
    if (options.json)
        out << "[";
    TParallelRead reading;
    reading.threads = options.threads > 0 ? options.threads : settings.prefs().ScanThreads;
    reading.read = [&](int i) {
        reports[size_t(i)] = std::make_unique<FileReport>(parseFormats, options.sources);
        return reports[size_t(i)]->read(files.at(i));
    };
    reading.handOver = [&](int i, bool ok) {
        const std::unique_ptr<FileReport> report = std::move(reports[size_t(i)]);
        if (!ok) {
            out.flush();
            err << "tunebase-cli info: cannot open " << files.at(i) << ": "
                << (report ? report->errorText() : QStringLiteral("read error")) << "\n";
            err.flush();
            failed = true;
            return;
        }
        if (options.json) {
            out << (first ? "\n" : ",\n")
                << QString::fromUtf8(QJsonDocument(report->toJson()).toJson(QJsonDocument::Indented)).trimmed();
        } else {
            out << (first ? "" : "\n") << report->toText();
        }
        first = false;
    };
    reading.run(int(files.size()));
    if (options.json)
        out << "\n]\n";
    return failed ? 1 : 0;
}

} // namespace

TUNEBASE_CLI_COMMAND(info, "info [--json] [--sources v2,v1,filename] [--threads N] PATH...",
                     "Show the MPEG stream, ID3 tags, file name values and merged values of MP3 files", runInfo);
