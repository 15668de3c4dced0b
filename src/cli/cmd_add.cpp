#include "cli/clicommand.h"
#include "cli/clisettings.h"
#include "cli/terminalprogress.h"

#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/data/collectionupdate.h"
#include "core/data/fielddefaults.h"
#include "core/files/addfiles.h"
#include "core/files/mp3process.h"
#include "core/files/mp3walk.h"
#include "core/files/scanindex.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/prefs.h"

#include <QLocale>
#include <QTextStream>

#include <memory>
#include <optional>

namespace {

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli add COLLECTION PATH... [--location NAME] [--update] [--threads N]\n"
        << "                         [--convert NEWFILE] [--legacy-encoding CODEPAGE]\n\n"
        << "Reads the MP3 files in the folders given (with all their subfolders) or the\n"
        << "files given, and adds each file that is not yet in the collection as a new\n"
        << "track, with the values of its ID3 tags and of its folder and file name (read\n"
        << "with the parse formats of the settings).  Hidden files and folders and\n"
        << "symbolic links are passed over.  COLLECTION is created when it does not\n"
        << "exist; it is replaced only once the new version is completely written.\n\n"
        << "  --location NAME   the Location of the new tracks (created when it is new);\n"
        << "                    without it, the location of the files' volume when it\n"
        << "                    has a name, else the default location of the settings\n"
        << "  --update          files already in the collection refresh their tracks: file\n"
        << "                    size, stream values and the fields the track has no value\n"
        << "                    for (values of the track stay as they are)\n"
        << "  --threads N       read the files on N threads (default: \"Scan Threads\" of the\n"
        << "                    settings, 2)\n"
        << "  --convert NEWFILE a collection made by an older version is converted to the\n"
        << "                    new format and saved as NEWFILE (older versions cannot\n"
        << "                    open it); the old file stays as it is\n"
        << LegacyEncodingHelp << "\n"
        << "Files whose size and modification time are as the last add recorded them (in\n"
        << "COLLECTION-index beside the collection) are not read again.  While add changes\n"
        << "a collection, other programs that change it wait (a short time, then they give\n"
        << "up with a message).  Exits with 1 when some files could not be read (the\n"
        << "others are added).\n";
}

QString number(qint64 value)
{
    return QLocale(QLocale::English).toString(value);
}

QString plural(qint64 count, const QString &one, const QString &many)
{
    return number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

// The terminal line of an add run: while folders are read it counts the
// files found and names the folder (its end, which says the most); while
// tracks are added it shows the percentage.
class AddProgress : public TProcessWindow {
public:
    // The process whose folder reading is shown; none while tracks are added.
    void setReading(const TMP3Process *reading)
    {
        m_reading = reading;
        m_line.setPercentShown(reading == nullptr);
    }
    // Files read by earlier runs (one run per folder given).
    void addCounted(int count) { m_counted += count; }

    void showProgress() override
    {
        // The message of the previous run is not shown again.
        m_line.setMessage(QString());
        m_line.showProgress();
    }
    void hideProgress() override { m_line.hideProgress(); }
    void setCaption(const QString &caption) override { m_line.setCaption(caption); }
    void setMessage(const QString &message) override
    {
        m_message = message;
        m_line.setMessage(m_reading ? readingText() : message);
    }
    int percent() const override { return m_line.percent(); }
    void setPercent(int percent) override
    {
        // Reading has no total: each step only brings the count up to date.
        if (m_reading)
            m_line.setMessage(readingText());
        else
            m_line.setPercent(percent);
    }
    void pumpEvents() override {}

private:
    static constexpr int MaxFolderWidth = 40;

    QString readingText() const
    {
        QString folder = m_message;
        if (folder.size() > MaxFolderWidth)
            folder = QStringLiteral("...") + folder.right(MaxFolderWidth - 3);
        return plural(m_counted + m_reading->Reading().FilesRead, QStringLiteral("file"), QStringLiteral("files")) + QStringLiteral(", ")
               + folder;
    }

    TTerminalProgress m_line;
    const TMP3Process *m_reading = nullptr;
    int m_counted = 0;
    QString m_message;
};

QString checkPaths(const QStringList &paths)
{
    for (const QString &path : paths) {
        const TLocalFileInfo info = LocalFileInfo(path);
        if (!info.Exists)
            return QStringLiteral("no such file or folder '%1'").arg(path);
        if (!info.IsFolder && !(info.IsFile && HasMp3Extension(path)))
            return QStringLiteral("'%1' is neither a folder nor an MP3 file").arg(path);
    }
    return QString();
}

int runAdd(const CliCall &options)
{
    QTextStream &out = options.out;
    QTextStream &err = options.err;
    const QStringList paths = options.positional().mid(1);
    QString complaint;
    if (paths.isEmpty())
        complaint = options.positional().isEmpty() ? QStringLiteral("no COLLECTION given")
                                                   : QStringLiteral("no folder or file to add given");
    if (complaint.isEmpty() && options.isSet(QStringLiteral("location"))
        && options.value(QStringLiteral("location")).trimmed().isEmpty())
        complaint = QStringLiteral("--location needs a name");
    int threads = 0;
    if (complaint.isEmpty() && options.isSet(QStringLiteral("threads")))
        ParseThreadCount(options.value(QStringLiteral("threads")), threads, complaint);
    if (complaint.isEmpty())
        complaint = checkPaths(paths);
    if (!complaint.isEmpty())
        return options.wrongArguments(complaint);
    const QString collectionPath = options.positional().first();
    const bool update = options.isSet(QStringLiteral("update"));

    CliSettings settings;
    if (options.isSet(QStringLiteral("legacy-encoding"))
        && !ParseLegacyEncoding(options.value(QStringLiteral("legacy-encoding")), complaint)) {
        err << "tunebase-cli add: " << complaint << "\n";
        return 2;
    }
    settings.prefs().InstallDataSettings();
    const QString convertTo = options.value(QStringLiteral("convert"));

    // A first reading says whether the collection may be changed at all
    // (before a long scan) and which files the scan may pass over.
    TMp3Root scanned;
    QString refusal;
    {
        TCollectionUpdate probe(scanned, collectionPath);
        probe.setConvertTo(convertTo);
        if (!probe.open(true, &refusal)) {
            err << "tunebase-cli add: " << refusal << "\n";
            return 1;
        }
    }

    auto window = std::make_unique<AddProgress>();
    AddProgress &progress = *window;
    TMP3Process process(std::move(window));
    process.ParseFormats = settings.prefs().ParseFormats;
    process.Threads = threads > 0 ? threads : settings.prefs().ScanThreads;
    std::optional<TScanIndexUse> scanIndex(std::in_place, process, scanned, collectionPath);
    const TAddPathsRead read = ReadAddPaths(paths, process, [&](bool reading) {
        if (reading) {
            progress.setReading(&process);
        } else {
            progress.addCounted(process.Reading().FilesRead);
            progress.setReading(nullptr);
        }
    });
    scanIndex.reset();

    // The tracks are added to the collection as it is now, read again under
    // its lock: what another program saved meanwhile stays.
    TMp3Root root;
    TCollectionUpdate collection(root, collectionPath);
    collection.setConvertTo(convertTo);
    if (!collection.open(true, &refusal)) {
        err << "tunebase-cli add: " << refusal << "\n";
        return 1;
    }
    const bool isNew = collection.isNew();
    root.Defaults->Load(settings.store());
    process.Collection = &root;
    const TScanIndexUse index(process, root, collection.targetFile());
    TAddPlan plan;
    PlanAdd(read.Files, root, update, plan);
    TLocationLookupItem *location =
        LocationForNewTracks(root, options.value(QStringLiteral("location")).trimmed(), read.Files);
    const TAddFilesResult added = process.AddFiles(plan.Files, location);

    if (added.Added + added.Updated > 0 || isNew || !convertTo.isEmpty()) {
        QString problem;
        if (!collection.save(&problem)) {
            err << "tunebase-cli add: " << problem << "\nThe collection file was not changed.\n";
            return 1;
        }
        // Only a help for the next rescan: failing to write it changes
        // nothing else, but the user hears why (a link planted in its place).
        QString indexProblem;
        if (!index.Save(&indexProblem))
            err << "tunebase-cli add: the scan index " << ReadablePath(ScanIndexPath(collection.targetFile()))
                << " was not written: " << indexProblem << "\n";
    }
    collection.release();
    for (const QString &path : std::as_const(read.Unreadable))
        err << "tunebase-cli add: cannot read " << ReadablePath(path) << "\n";
    out << plural(read.Files.size(), QStringLiteral("file read"), QStringLiteral("files read")) << ", "
        << number(added.Added) << " added, " << number(added.Updated) << " updated, "
        << number(read.Unreadable.size()) << " unreadable\n";
    if (plan.AlreadyThere > 0)
        out << (plan.AlreadyThere == 1 ? QStringLiteral("1 file was already in the collection and is left as it is")
                                  : number(plan.AlreadyThere)
                                        + QStringLiteral(" files were already in the collection and are left as "
                                                         "they are"))
            << " (--update refreshes tracks from their files)\n";
    if (plan.Unchanged > 0)
        out << plural(plan.Unchanged, QStringLiteral("file"), QStringLiteral("files"))
            << " unchanged since the last scan (not read again, tracks left as they are)\n";
    if (isNew)
        out << "New collection saved to " << ReadablePath(collectionPath) << "\n";
    else if (!convertTo.isEmpty())
        out << "Converted collection saved to " << ReadablePath(convertTo) << "\n";
    // The files that could be read are in; the others still need the user.
    return read.Unreadable.isEmpty() ? 0 : 1;
}

} // namespace

const CliCommand &addCommand()
{
    static const CliCommand command{
        "add",
        "add COLLECTION PATH... [--location NAME] [--update] [--threads N] [--convert NEWFILE] [--legacy-encoding CODEPAGE]",
        "add the MP3 files of folders to a collection (created when new)",
        {{{QStringLiteral("location")}, QStringLiteral("NAME")},
         {{QStringLiteral("update")}, {}},
         {{QStringLiteral("threads")}, QStringLiteral("N")},
         {{QStringLiteral("convert")}, QStringLiteral("NEWFILE")},
         {{QStringLiteral("legacy-encoding")}, QStringLiteral("CODEPAGE")}},
        printHelp, runAdd};
    return command;
}
