#include "clicommand.h"
#include "filereport.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

namespace {

struct InfoOptions {
    bool json = false;
    QStringList paths;
};

// The files a path names: the file itself, or every .mp3 file below a folder.
QStringList filesOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return {path};
    QStringList files;
    QDirIterator it(path, {QStringLiteral("*.mp3")}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort(Qt::CaseInsensitive);
    return files;
}

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli info [--json] PATH...\n\n"
        << "Reports the MPEG stream and the ID3v1 and ID3v2 tags of MP3 files.  Folders\n"
        << "are searched recursively for files ending in .mp3.\n\n"
        << "  --json   one JSON array with an object per file\n";
}

int runInfo(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    InfoOptions options;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--json")) {
            options.json = true;
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

    bool failed = false;
    bool first = true;
    if (options.json)
        out << "[";
    for (const QString &path : std::as_const(options.paths)) {
        for (const QString &file : filesOf(path)) {
            FileReport report;
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

TUNEBASE_CLI_COMMAND(info, "info [--json] PATH...", "Show the MPEG stream and ID3 tags of MP3 files", runInfo);
