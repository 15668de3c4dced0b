#include "cli/clicollection.h"
#include "cli/clicommand.h"
#include "cli/clipaths.h"
#include "cli/clisettings.h"
#include "cli/jsonwriter.h"
#include "cli/terminalprogress.h"

#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/files/duplicates.h"
#include "core/files/fingerprintcache.h"
#include "core/files/mp3file.h"
#include "core/files/process.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/prefs.h"

#include <QFileInfo>
#include <QSet>
#include <QTextStream>

#include <memory>

namespace {

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli duplicates COLLECTION|FOLDER... [--json] [--same-song]\n\n"
        << "Finds copies among the tracks of collection files and the MP3 files below\n"
        << "folders: files whose audio frames are identical, whatever their tags and\n"
        << "names.  Each group shows the copy worth keeping first, marked '*': the\n"
        << "higher bitrate, then the more complete tags, then the one in the\n"
        << "collection's main location (for folders: below the first folder named).\n"
        << "The fingerprints of a single collection's files are kept beside it, so a\n"
        << "second search reads no file that has not changed.\n\n"
        << "  --json       one JSON object with the groups and the files skipped\n"
        << "  --same-song  also list tracks that are probably the same song: same\n"
        << "               artist and title (letter case, accents, \"feat.\" parts and\n"
        << "               bracketed parts ignored), lengths at most 3 seconds apart\n";
}

bool isCollectionFile(const QString &path)
{
    return IsLocalFile(path)
           && QFileInfo(path).suffix().compare(TMp3Root().GetFileExtension(), Qt::CaseInsensitive) == 0;
}

// The files of the sources in the order named; a file named twice (two
// tracks of one file, overlapping folders) is searched once.
class SourceFiles {
public:
    QList<TDuplicateFile> files;
    QString cachePath;
    QStringList unreadable;

    bool add(const QStringList &sources, QTextStream &err)
    {
        for (const QString &source : sources) {
            if (isCollectionFile(source)) {
                if (!addCollection(source, err))
                    return false;
            } else if (IsLocalFolder(source) || IsLocalFile(source)) {
                addFolder(source, source == sources.first());
            } else {
                err << "tunebase-cli duplicates: no such collection file, MP3 file or folder '"
                    << ReadablePath(source) << "'\n";
                return false;
            }
        }
        // Only a collection searched alone keeps fingerprints: another
        // source's files would crowd its cache.
        if (sources.size() != 1 || !isCollectionFile(sources.first()))
            cachePath.clear();
        return true;
    }

private:
    void append(const TDuplicateFile &file)
    {
        if (!m_seen.contains(file.Path)) {
            m_seen.insert(file.Path);
            files.append(file);
        }
    }

    bool addCollection(const QString &path, QTextStream &err)
    {
        TMp3Root root;
        if (!openCollectionArg(root, path, err))
            return false;
        for (TDuplicateFile file : DuplicateFilesOfCollection(root)) {
            file.Track = nullptr;  // the root is gone when the search runs
            append(file);
        }
        cachePath = TFingerprintCache::PathFor(AbsoluteLocalPath(path));
        return true;
    }

    void addFolder(const QString &folder, bool main)
    {
        const QStringList parseFormats = CurrentParseFormats();
        for (const QString &path : Mp3FilesOf(folder)) {
            TMP3File mp3(AbsoluteLocalPath(path));
            mp3.SetInfoSources(false, false, true, true, true);
            if (!mp3.ReadInfo(parseFormats)) {
                unreadable.append(mp3.Path + QStringLiteral(": cannot be read"));
                continue;
            }
            TDuplicateFile file = DuplicateFileOf(mp3);
            file.InMainLocation = main;
            append(file);
        }
    }

    QSet<QString> m_seen;
};

QString lengthText(qint32 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QList<int> bestFirst(const TDuplicateGroup &group)
{
    QList<int> members = group.Members;
    members.removeOne(group.Best);
    members.prepend(group.Best);
    return members;
}

void printText(QTextStream &out, const QList<TDuplicateFile> &files, const TDuplicateSearchResult &result,
               bool sameSongs)
{
    const auto printGroups = [&](TDuplicateKind kind, const QString &heading) {
        const QList<TDuplicateGroup> groups = result.groupsOf(kind);
        out << heading << ": " << groups.size() << (groups.size() == 1 ? " group\n" : " groups\n");
        for (const TDuplicateGroup &group : groups) {
            out << "\n";
            for (const int i : bestFirst(group)) {
                const TDuplicateFile &f = files.at(i);
                out << (i == group.Best ? "* " : "  ") << ReadablePath(f.Path) << "\n"
                    << "    " << f.Artist << " - " << f.Title;
                if (!f.Album.isEmpty())
                    out << " (" << f.Album << ")";
                out << ", " << f.Bitrate << " kbit/s" << (f.VBR ? " VBR" : "") << ", " << lengthText(f.Length)
                    << ", " << f.Size << " bytes\n";
            }
        }
    };
    printGroups(TDuplicateKind::SameAudio, QStringLiteral("Copies (identical audio)"));
    if (sameSongs) {
        out << "\n";
        printGroups(TDuplicateKind::SameSong, QStringLiteral("Probably the same song"));
    }
}

void printJson(QTextStream &out, const QList<TDuplicateFile> &files, const TDuplicateSearchResult &result,
               const QStringList &skipped, bool sameSongs)
{
    TJsonWriter json(out);
    const auto writeGroups = [&](TDuplicateKind kind) {
        json.beginArray();
        for (const TDuplicateGroup &group : result.groupsOf(kind)) {
            json.beginObject();
            json.member(QStringLiteral("keep"), ReadablePath(files.at(group.Best).Path));
            json.key(QStringLiteral("files"));
            json.beginArray();
            for (const int i : bestFirst(group)) {
                const TDuplicateFile &f = files.at(i);
                json.beginObject();
                json.member(QStringLiteral("path"), ReadablePath(f.Path));
                json.member(QStringLiteral("artist"), f.Artist);
                json.member(QStringLiteral("title"), f.Title);
                json.member(QStringLiteral("album"), f.Album);
                json.member(QStringLiteral("bitrate"), f.Bitrate);
                json.member(QStringLiteral("vbr"), f.VBR);
                json.member(QStringLiteral("length"), f.Length);
                json.member(QStringLiteral("size"), f.Size);
                json.endObject();
            }
            json.endArray();
            json.endObject();
        }
        json.endArray();
    };
    json.beginObject();
    json.key(QStringLiteral("copies"));
    writeGroups(TDuplicateKind::SameAudio);
    if (sameSongs) {
        json.key(QStringLiteral("sameSong"));
        writeGroups(TDuplicateKind::SameSong);
    }
    json.key(QStringLiteral("skipped"));
    json.beginArray();
    for (const QString &problem : skipped)
        json.value(problem);
    json.endArray();
    json.endObject();
    json.finish();
}

int runDuplicates(const CliCall &options)
{
    QTextStream &out = options.out;
    QTextStream &err = options.err;
    if (options.positional().isEmpty())
        return options.wrongArguments(QStringLiteral("no COLLECTION or FOLDER given"));
    const bool sameSongs = options.isSet(QStringLiteral("same-song"));

    SourceFiles sources;
    if (!sources.add(options.positional(), err))
        return 1;
    TProcess process(std::make_unique<TTerminalProgress>());
    TDuplicateSearch search(process);
    search.CachePath = sources.cachePath;
    search.SameSongs = sameSongs;
    search.Threads = CliSettings().prefs().ScanThreads;
    const TDuplicateSearchResult result = search.run(sources.files);

    const QStringList skipped = sources.unreadable + result.Problems;
    for (const QString &problem : skipped)
        err << "tunebase-cli duplicates: skipped " << problem << "\n";
    err.flush();
    if (options.isSet(QStringLiteral("json")))
        printJson(out, sources.files, result, skipped, sameSongs);
    else
        printText(out, sources.files, result, sameSongs);
    return skipped.isEmpty() ? 0 : 1;
}

} // namespace

const CliCommand &duplicatesCommand()
{
    static const CliCommand command{
        "duplicates", "duplicates COLLECTION|FOLDER... [--json] [--same-song]",
        "find copies with identical audio (and tracks that are probably the same song)",
        {{{QStringLiteral("json")}, {}}, {{QStringLiteral("same-song")}, {}}}, printHelp, runDuplicates};
    return command;
}
