#include "clicommand.h"
#include "clipaths.h"
#include "filereport.h"

#include <QJsonDocument>
#include <QTextStream>

namespace {

struct InfoOptions {
    bool json = false;
    InfoSourceSwitches sources;
    QStringList paths;
};

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli info [--json] [--sources LIST] PATH...\n\n"
        << "Reports the MPEG stream, the ID3v1 and ID3v2 tags, the values the folder and\n"
        << "file name hold (by the best of the parse formats in the settings) and the\n"
        << "merged track values of MP3 files.  Folders are searched recursively for\n"
        << "files ending in .mp3.\n\n"
        << "  --json            one JSON array with an object per file\n"
        << "  --sources LIST    the sources merged values come from, first wins:\n"
        << "                    any of v2,v1,filename (default: all three)\n";
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

    const QStringList parseFormats = CurrentParseFormats();
    bool failed = false;
    bool first = true;
    if (options.json)
        out << "[";
    for (const QString &path : std::as_const(options.paths)) {
        for (const QString &file : Mp3FilesOf(path)) {
            FileReport report(parseFormats, options.sources);
            if (!report.read(file)) {
                out.flush();
                err << "tunebase-cli info: cannot open " << file << ": " << report.errorText() << "\n";
                err.flush();
                failed = true;
                continue;
            }
            if (options.json) {
                out << (first ? "\n" : ",\n")
                    << QString::fromUtf8(QJsonDocument(report.toJson()).toJson(QJsonDocument::Indented)).trimmed();
            } else {
                out << (first ? "" : "\n") << report.toText();
            }
            first = false;
        }
    }
    if (options.json)
        out << "\n]\n";
    return failed ? 1 : 0;
}

} // namespace

TUNEBASE_CLI_COMMAND(info, "info [--json] [--sources v2,v1,filename] PATH...",
                     "Show the MPEG stream, ID3 tags, file name values and merged values of MP3 files", runInfo);
