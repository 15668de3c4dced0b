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

int runNew(const CliCall &call)
{
    QTextStream &out = call.out;
    QTextStream &err = call.err;
    const QStringList files = call.positional();
    if (files.size() != 1)
        return call.helpOnError();
    const bool force = call.isSet(QStringLiteral("force"));
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

const CliCommand &newCommand()
{
    static const CliCommand command{"new", "new [--force] FILE", "create a new, empty MP3 collection file",
                                    {{{QStringLiteral("force")}, {}}}, printHelp, runNew};
    return command;
}
