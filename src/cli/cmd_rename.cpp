#include "cli/clicommand.h"
#include "cli/clipaths.h"
#include "cli/clisettings.h"

#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/files/mp3file.h"
#include "core/files/renameplan.h"
#include "core/files/shellstuff.h"

#include <QTextStream>

namespace {

struct RenameOptions {
    QString format;
    bool dryRun = false;
    bool allowMissing = false;
    InfoSourceSwitches sources;
    QStringList paths;
};

QString formatMissing()
{
    return QStringLiteral("--format needs a rename format such as \"%ar - %t\"");
}

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli rename --format FORMAT [--dry-run] [--allow-missing]\n"
        << "                           [--sources LIST] FILE...\n\n"
        << "Renames MP3 files after a rename format such as \"%ix - %ar - %t\", filled with\n"
        << "the merged track values of each file.  Folders are searched recursively for\n"
        << "files ending in .mp3.  A file never moves to another folder and never\n"
        << "replaces another file: files that cannot be renamed are reported and left\n"
        << "as they are.\n\n"
        << "  --format FORMAT   the rename format (%al %ar %t %ix %y %g)\n"
        << "  --dry-run         show what would be renamed, change nothing\n"
        << "  --allow-missing   rename also when the format names a field without value\n"
        << "                    (the name then holds \"[Artist]\" and the like)\n"
        << "  --sources LIST    the sources merged values come from, first wins:\n"
        << "                    any of v2,v1,filename (default: all three)\n";
}

// Reads the options; an empty string means success, else the complaint.
QString readOptions(const CliCall &call, RenameOptions &options)
{
    options.format = call.value(QStringLiteral("format"));
    if (call.isSet(QStringLiteral("format")) && options.format.isEmpty())
        return formatMissing();
    QString error;
    if (call.isSet(QStringLiteral("sources"))
        && !ParseSourceSwitches(call.value(QStringLiteral("sources")), options.sources, error))
        return error;
    options.dryRun = call.isSet(QStringLiteral("dry-run"));
    options.allowMissing = call.isSet(QStringLiteral("allow-missing"));
    options.paths = call.positional();
    if (options.format.isEmpty())
        return QStringLiteral("--format is required");
    if (options.paths.isEmpty())
        return QStringLiteral("no files given");
    return QString();
}

// Why CheckRename refuses, or empty when the rename may go ahead.
QString refusal(int status, bool allowMissing)
{
    switch (status) {
    case RenameStatus::ReadOnly: return QStringLiteral("the file is read-only");
    case RenameStatus::MissingValues:
        return allowMissing ? QString()
                            : QStringLiteral("a field of the format has no value (see --allow-missing)");
    case RenameStatus::TargetExists: return QStringLiteral("another file already has the new name");
    default: return QString();
    }
}

class Renamer {
public:
    Renamer(const RenameOptions &options, QTextStream &out, QTextStream &err)
        : m_options(options), m_parseFormats(CurrentParseFormats()), m_out(out), m_err(err),
          m_planner(options.format)
    {
    }

    // False when the file could not be renamed.
    bool renameFile(const QString &path)
    {
        TMP3File file(TShellStuff::ParsingName(path));
        file.SetInfoSources(false, false, m_options.sources.id3v2, m_options.sources.id3v1,
                            m_options.sources.filename);
        if (!IsLocalFile(file.Path) || !file.ReadInfo(m_parseFormats))
            return fail(path, QStringLiteral("cannot read the file"));

        const TRenameStep step = m_planner.Plan(file);
        const QString &newName = step.NewName;
        if (step.Unchanged) {
            m_out << ReadablePath(file.Path) << ": unchanged\n";
            return true;
        }
        if (const QString why = refusal(step.FileStatus, m_options.allowMissing); !why.isEmpty())
            return fail(file.Path, why);
        // Two files of this run must not be given the same name; the second
        // would fail anyway, and a dry run should say so as well.
        if (step.TakenInRun)
            return fail(file.Path, QStringLiteral("another file of this run is renamed to %1").arg(newName));
        m_planner.Claim(step);

        if (m_options.dryRun) {
            m_out << ReadablePath(file.Path) << " -> " << ReadablePath(newName) << "  (dry run)\n";
            return true;
        }
        const QString oldPath = file.Path;
        if (!file.Rename(newName))
            return fail(oldPath, QStringLiteral("renaming to %1 failed").arg(newName));
        m_out << ReadablePath(oldPath) << " -> " << ReadablePath(file.Name) << "\n";
        return true;
    }

private:
    bool fail(const QString &path, const QString &why)
    {
        m_out.flush();
        m_err << "tunebase-cli rename: " << ReadablePath(path) << ": " << why << "\n";
        m_err.flush();
        return false;
    }

    const RenameOptions &m_options;
    const QStringList m_parseFormats;
    QTextStream &m_out;
    QTextStream &m_err;
    TRenamePlanner m_planner;
};

int runRename(const CliCall &call)
{
    RenameOptions options;
    if (const QString complaint = readOptions(call, options); !complaint.isEmpty())
        return call.wrongArguments(complaint);

    QTextStream &out = call.out;
    QTextStream &err = call.err;
    Renamer renamer(options, out, err);
    bool failed = false;
    for (const QString &path : std::as_const(options.paths))
        for (const QString &file : Mp3FilesOf(path))
            failed = !renamer.renameFile(file) || failed;
    return failed ? 1 : 0;
}

} // namespace

const CliCommand &renameCommand()
{
    static const CliCommand command{"rename", "rename --format FORMAT [--dry-run] FILE...",
                                    "Rename MP3 files after a rename format filled with their merged values",
                                    {{{QStringLiteral("format")}, QStringLiteral("FORMAT"), formatMissing()},
                                     {{QStringLiteral("sources")}, QStringLiteral("LIST"),
                                      QStringLiteral("--sources needs a list such as v2,v1,filename")},
                                     {{QStringLiteral("dry-run")}, {}},
                                     {{QStringLiteral("allow-missing")}, {}}},
                                    printHelp,
                                    runRename,
                                    true};
    return command;
}
