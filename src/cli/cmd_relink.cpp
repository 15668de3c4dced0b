#include "cli/clicollection.h"
#include "cli/clicommand.h"
#include "cli/terminalprogress.h"

#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/data/collectionupdate.h"
#include "core/files/mp3process.h"
#include "core/files/relink.h"
#include "core/mp3model/mp3root.h"

#include <QTextStream>


namespace {

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli relink COLLECTION --search DIR [--fuzzy] [--dry-run] [--min-score N]\n"
        << "                            [--convert NEWFILE]\n\n"
        << "Finds the tracks whose files are missing, searches DIR (with all its\n"
        << "subfolders, hidden ones too) for MP3 files and points each track at the file\n"
        << "that fits it best.  A file that already belongs to a track is not taken, and\n"
        << "no file is given to two tracks: the best matches are served first.  The\n"
        << "collection is saved at the end.\n\n"
        << "  --search DIR    the folder to search\n"
        << "  --fuzzy         compare full paths by similarity and sizes by closeness\n"
        << "                  (slower, finds more); without it file names and sizes\n"
        << "                  must be equal\n"
        << "  --dry-run       show what would be repaired, change nothing\n"
        << "  --min-score N   the lowest match score (1 to 100) that is repaired\n"
        << "                  (default " << DefaultRelinkMinimumScore << ": equal names or equal sizes)\n"
        << "  --convert NEWFILE  a collection made by an older version is converted to\n"
        << "                  the new format and saved as NEWFILE; the old file stays\n";
}

struct RelinkOptions {
    QString collection;
    QString searchFolder;
    TMatchingType matching = TMatchingType::Exact;
    bool dryRun = false;
    QString convertTo;
    int minimumScore = DefaultRelinkMinimumScore;
};

QString readOptions(const CliCall &options, RelinkOptions &result)
{
    if (options.positional().size() != 1)
        return options.positional().isEmpty() ? QStringLiteral("no COLLECTION given")
                                              : QStringLiteral("one COLLECTION only");
    result.collection = options.positional().first();
    result.searchFolder = options.value(QStringLiteral("search"));
    if (result.searchFolder.isEmpty())
        return QStringLiteral("--search DIR is needed");
    if (!IsLocalFolder(result.searchFolder))
        return QStringLiteral("no such folder '%1'").arg(result.searchFolder);
    result.matching = options.isSet(QStringLiteral("fuzzy")) ? TMatchingType::Fuzzy : TMatchingType::Exact;
    result.dryRun = options.isSet(QStringLiteral("dry-run"));
    result.convertTo = options.value(QStringLiteral("convert"));
    if (options.isSet(QStringLiteral("min-score"))) {
        bool ok = false;
        result.minimumScore = options.value(QStringLiteral("min-score")).toInt(&ok);
        if (!ok || result.minimumScore < 1 || result.minimumScore > PerfectMatchScore)
            return QStringLiteral("--min-score takes a number from 1 to 100");
    }
    return QString();
}

// Prints the decisions and, unless it is a dry run, repoints the tracks.
int applyDecisions(const TRelinkPlan &plan, bool dryRun, QTextStream &out)
{
    int repaired = 0;
    for (const TRelinkDecision &decision : plan.Decisions) {
        TMp3Track &track = *decision.Track;
        if (!decision.HasFile()) {
            out << "no match:  " << ReadablePath(track.FilePath) << "\n";
            continue;
        }
        const TFoundFile &file = plan.Found.at(decision.FileIndex);
        ++repaired;
        out << (dryRun ? "would fix: " : "fixed:     ") << ReadablePath(track.FilePath) << "\n"
            << "        -> " << ReadablePath(file.Path) << " (score " << decision.Score << ")\n";
        if (!dryRun)
            RepointTrack(track, file);
    }
    return repaired;
}

QString trackCount(int count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" track") : QStringLiteral(" tracks"));
}

int runRelink(const CliCall &call)
{
    QTextStream &out = call.out;
    QTextStream &err = call.err;
    RelinkOptions options;
    if (const QString complaint = readOptions(call, options); !complaint.isEmpty())
        return call.wrongArguments(complaint);

    TMp3Root root;
    // A run that saves holds the collection's lock throughout, and refuses
    // a collection that could not be saved as it was read.
    TCollectionUpdate collection(root, options.collection);
    collection.setConvertTo(options.convertTo);
    if (options.dryRun) {
        if (!openCollectionArg(root, options.collection, err))
            return 1;
    } else {
        QString refusal;
        if (!collection.open(false, &refusal)) {
            err << "tunebase-cli relink: " << refusal << "\n";
            return 1;
        }
    }
    TFileMatchList matches = MissingFileMatches(*root.GetTracks(), false, false);
    if (matches.isEmpty()) {
        out << "No tracks with missing files.\n";
        return 0;
    }
    TMP3Process process(std::make_unique<TTerminalProgress>());
    const TRelinkPlan plan =
        PlanRelink(process, root, matches, options.searchFolder, options.matching, options.minimumScore);
    const TFoundFileList &found = plan.Found;
    const int repaired = applyDecisions(plan, options.dryRun, out);

    if ((repaired > 0 || !options.convertTo.isEmpty()) && !options.dryRun) {
        QString problem;
        if (!collection.save(&problem)) {
            err << "tunebase-cli relink: " << problem << "\nThe collection file was not changed.\n";
            return 1;
        }
    }
    out << trackCount(int(matches.size())) << " with missing files, " << found.size() << " MP3 "
        << (found.size() == 1 ? "file" : "files") << " found: " << trackCount(repaired)
        << (options.dryRun ? " would be repaired" : " repaired") << ", " << (matches.size() - repaired)
        << " without a match\n";
    return 0;
}

} // namespace

const CliCommand &relinkCommand()
{
    static const CliCommand command{"relink", "relink COLLECTION --search DIR [--fuzzy] [--dry-run]",
                                    "point tracks whose files have moved at the files found in a folder",
                                    {{{QStringLiteral("search")}, QStringLiteral("DIR")},
                                     {{QStringLiteral("fuzzy")}, {}},
                                     {{QStringLiteral("dry-run")}, {}},
                                     {{QStringLiteral("min-score")}, QStringLiteral("N")},
                                     {{QStringLiteral("convert")}, QStringLiteral("NEWFILE")}},
                                    printHelp, runRelink};
    return command;
}
