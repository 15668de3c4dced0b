#include "cli/clicollection.h"
#include "cli/clicommand.h"
#include "cli/clioptions.h"
#include "cli/terminalprogress.h"

#include "core/data/collectionfile.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3root.h"

#include <QFileInfo>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <limits>

namespace {

constexpr int DefaultMinimumScore = 50;

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli relink COLLECTION --search DIR [--fuzzy] [--dry-run] [--min-score N]\n\n"
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
        << "                  (default " << DefaultMinimumScore << ": equal names or equal sizes)\n";
}

struct RelinkOptions {
    QString collection;
    QString searchFolder;
    TMatchingType matching = TMatchingType::Exact;
    bool dryRun = false;
    int minimumScore = DefaultMinimumScore;
};

QString parseOptions(const QStringList &args, RelinkOptions &result, bool &help)
{
    CliOptions options({{QStringLiteral("--search"), true, {}},
                        {QStringLiteral("--fuzzy"), false, {}},
                        {QStringLiteral("--dry-run"), false, {}},
                        {QStringLiteral("--min-score"), true, {}}});
    const QString complaint = options.parse(args);
    help = options.help();
    if (!complaint.isEmpty() || help)
        return complaint;
    if (options.positional().size() != 1)
        return options.positional().isEmpty() ? QStringLiteral("no COLLECTION given")
                                              : QStringLiteral("one COLLECTION only");
    result.collection = options.positional().first();
    result.searchFolder = options.value(QStringLiteral("--search"));
    if (result.searchFolder.isEmpty())
        return QStringLiteral("--search DIR is needed");
    if (!QFileInfo(result.searchFolder).isDir())
        return QStringLiteral("no such folder '%1'").arg(result.searchFolder);
    result.matching = options.isSet(QStringLiteral("--fuzzy")) ? TMatchingType::Fuzzy : TMatchingType::Exact;
    result.dryRun = options.isSet(QStringLiteral("--dry-run"));
    if (options.isSet(QStringLiteral("--min-score"))) {
        bool ok = false;
        result.minimumScore = options.value(QStringLiteral("--min-score")).toInt(&ok);
        if (!ok || result.minimumScore < 1 || result.minimumScore > PerfectMatchScore)
            return QStringLiteral("--min-score takes a number from 1 to 100");
    }
    return QString();
}

// Files that already belong to a track are no candidates.
TFoundFileList unclaimedFiles(const TFoundFileList &found, const TMp3Root &root)
{
    QSet<QString> claimed;
    for (int i = 0; i < root.GetTracks()->Count(); ++i)
        claimed.insert(root.GetTracks()->Get(i)->FilePath);
    TFoundFileList unclaimed;
    for (const TFoundFile &file : found)
        if (!claimed.contains(file.Path))
            unclaimed.append(file);
    return unclaimed;
}

// What becomes of one track whose file is missing.
struct Decision {
    TMp3Track *track = nullptr;
    int fileIndex = -1;  // in the found files; -1 = no file
    int score = 0;
};

// Matches the tracks with the found files, the best matches first; a file
// goes to one track only, and a track whose best file went to a better
// match is matched again with the files left, until every track has a file
// or none fits.
QList<Decision> decide(TMP3Process &process, const TFoundFileList &found, TFileMatchList pending,
                       const RelinkOptions &options)
{
    QList<Decision> decisions;
    QSet<int> taken;
    while (!pending.isEmpty()) {
        TFoundFileList available;
        QList<int> foundIndex;
        for (int i = 0; i < found.size(); ++i) {
            if (!taken.contains(i)) {
                available.append(found.at(i));
                foundIndex.append(i);
            }
        }
        process.MatchTracks(available, pending, options.matching);
        std::stable_sort(pending.begin(), pending.end(),
                         [](const TFileMatch &a, const TFileMatch &b) { return a.Score > b.Score; });
        TFileMatchList contested;
        for (const TFileMatch &match : std::as_const(pending)) {
            if (match.FileIndex < 0 || match.Score < options.minimumScore) {
                decisions.append({match.Track, -1, match.Score});
                continue;
            }
            const int index = foundIndex.at(match.FileIndex);
            if (taken.contains(index)) {
                contested.append(TFileMatch(match.Track));
                continue;
            }
            // The best match of a round always gets its file, so every
            // round settles at least one track.
            taken.insert(index);
            decisions.append({match.Track, index, match.Score});
        }
        pending = contested;
    }
    return decisions;
}

// Prints the decisions and, unless it is a dry run, repoints the tracks.
int applyDecisions(const QList<Decision> &decisions, const TFoundFileList &found, bool dryRun, QTextStream &out)
{
    int repaired = 0;
    for (const Decision &decision : decisions) {
        TMp3Track &track = *decision.track;
        if (decision.fileIndex < 0) {
            out << "no match:  " << track.FilePath << "\n";
            continue;
        }
        const TFoundFile &file = found.at(decision.fileIndex);
        ++repaired;
        out << (dryRun ? "would fix: " : "fixed:     ") << track.FilePath << "\n"
            << "        -> " << file.Path << " (score " << decision.score << ")\n";
        if (!dryRun) {
            track.FilePath = file.Path;
            track.Size = qint32(std::min<qint64>(file.Size, std::numeric_limits<qint32>::max()));
        }
    }
    return repaired;
}

QString trackCount(int count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" track") : QStringLiteral(" tracks"));
}

int runRelink(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    RelinkOptions options;
    bool help = false;
    const QString complaint = parseOptions(args, options, help);
    if (help) {
        printHelp(out);
        return 0;
    }
    if (!complaint.isEmpty()) {
        err << "tunebase-cli relink: " << complaint << "\n";
        return 2;
    }

    TMp3Root root;
    if (!openCollectionArg(root, options.collection, err))
        return 1;
    TFileMatchList matches = MissingFileMatches(*root.GetTracks(), false, false);
    if (matches.isEmpty()) {
        out << "No tracks with missing files.\n";
        return 0;
    }
    TMP3Process process(std::make_unique<TTerminalProgress>());
    TFoundFileList found;
    process.SearchSystem(options.searchFolder, found);
    found = unclaimedFiles(found, root);
    const QList<Decision> decisions = decide(process, found, matches, options);
    const int repaired = applyDecisions(decisions, found, options.dryRun, out);

    if (repaired > 0 && !options.dryRun) {
        const TCollectionSaveResult saved = saveCollection(root, options.collection);
        if (!saved.Saved) {
            err << "tunebase-cli relink: " << QString(saved.Message).replace(QLatin1String("\r\n"), QLatin1String("\n"))
                << "\nThe collection file was not changed.\n";
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

TUNEBASE_CLI_COMMAND(relink, "relink COLLECTION --search DIR [--fuzzy] [--dry-run]",
                     "point tracks whose files have moved at the files found in a folder", runRelink);
