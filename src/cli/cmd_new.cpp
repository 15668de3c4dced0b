#include "cli/clicommand.h"

#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/data/collectionfile.h"
#include "core/mp3model/mp3root.h"

#include <QTextStream>

namespace {

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli new [--force] FILE\n\n"
        << "Creates a new, empty MP3 collection and saves it as FILE.  An existing file\n"
        << "is left alone unless --force is given.\n\n"
        << "  --force   replace an existing FILE\n";
}

int runNew(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    bool force = false;
    QStringList files;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            printHelp(out);
            return 0;
        }
        if (arg == QLatin1String("--force")) {
            force = true;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            err << "tunebase-cli new: unknown option '" << arg << "'\n";
            return 2;
        } else {
            files << arg;
        }
    }
    if (files.size() != 1) {
        printHelp(err);
        return 2;
    }
    const QString &file = files.first();
    if (LocalPathExists(file) && !force) {
        err << "tunebase-cli new: " << ReadablePath(file) << " already exists; use --force to replace it\n";
        return 1;
    }

    TMp3Root root;
    const TCollectionSaveResult result = saveCollection(root, file);
    if (!result.Saved) {
        QString message = result.Message;
        err << message.replace(QLatin1String("\r\n"), QLatin1String("\n")) << "\n";
        return 1;
    }
    out << "New collection saved to " << ReadablePath(file) << "\n";
    return 0;
}

} // namespace

TUNEBASE_CLI_COMMAND(new, "new [--force] FILE", "create a new, empty MP3 collection file", runNew);
