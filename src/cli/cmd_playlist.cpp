#include "cli/clicollection.h"
#include "cli/clicommand.h"
#include "cli/clipaths.h"
#include "cli/clisettings.h"

#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/regularfile.h"
#include "core/files/mp3file.h"
#include "core/files/playlist.h"
#include "core/files/playlistformats.h"
#include "core/mp3model/mp3root.h"

#include <QFileInfo>
#include <QTextStream>

namespace {

struct PlaylistOptions {
    QStringList sources;
    QString output;
};

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli playlist COLLECTION|PATH... -o FILE.m3u|FILE.pls\n\n"
        << "Writes a playlist of the tracks of collection files (." << TMp3Root().GetFileExtension()
        << ") and of MP3 files and\n"
        << "folders (read with their subfolders), in the order given.  M3U and PLS are\n"
        << "written as UTF-8.  An existing M3U file is replaced.  An existing PLS file is\n"
        << "updated: the entries are written over those of its [playlist] section, each\n"
        << "key once, and NumberOfEntries counts them; its comments, other keys and\n"
        << "sections (entries beyond that number too) are kept.  Files that cannot be\n"
        << "read are left out, and the exit status is then 1.\n\n"
        << "  -o, --output FILE   the playlist to write: .m3u, .m3u8 or .pls\n";
}

// An empty string means success, else the complaint.
QString readOptions(const CliCall &call, PlaylistOptions &options)
{
    options.sources = call.positional();
    options.output = call.value(QStringLiteral("output"));
    if (options.sources.isEmpty())
        return QStringLiteral("no COLLECTION or PATH given");
    if (options.output.isEmpty())
        return QStringLiteral("-o FILE.m3u or -o FILE.pls is needed");
    if (playListFormatOf(options.output) == TPlayListFormat::Unknown)
        return QStringLiteral("the playlist must end in .m3u, .m3u8 or .pls, not '%1'").arg(options.output);
    return QString();
}

bool isCollectionFile(const QString &path)
{
    const QFileInfo info(path);
    return IsLocalFile(path) && info.suffix().compare(TMp3Root().GetFileExtension(), Qt::CaseInsensitive) == 0;
}

bool addCollection(TPlayList &list, const QString &path, QTextStream &err)
{
    TMp3Root root;
    if (!openCollectionArg(root, path, err))
        return false;
    list.AddTracks(*root.GetTracks());
    return true;
}

// Adds the MP3 file, or the MP3 files below the folder in name order;
// unreadable files are reported and left out.  The number of those.
int addFiles(TPlayList &list, const QString &path, const QStringList &parseFormats, QTextStream &err)
{
    int unreadable = 0;
    for (const QString &filePath : Mp3FilesOf(path)) {
        TMP3File file(AbsoluteLocalPath(filePath));
        file.SetInfoSources(false, false, true, true, true);
        if (!file.ReadInfo(parseFormats)) {
            err << "tunebase-cli playlist: cannot read '" << ReadablePath(filePath) << "', left out\n";
            ++unreadable;
            continue;
        }
        list.AddFile(file);
    }
    return unreadable;
}

int runPlaylist(const CliCall &call)
{
    QTextStream &out = call.out;
    QTextStream &err = call.err;
    PlaylistOptions options;
    if (const QString complaint = readOptions(call, options); !complaint.isEmpty())
        return call.wrongArguments(complaint);

    for (const QString &source : std::as_const(options.sources)) {
        // Writing the playlist would replace what it is made from.
        if (IsSameExistingFile(options.output, source)) {
            err << "tunebase-cli playlist: " << options.output << " is one of the inputs; choose another output file\n";
            return 2;
        }
    }
    TPlayList list;
    const QStringList parseFormats = CurrentParseFormats();
    int unreadable = 0;
    for (const QString &source : std::as_const(options.sources)) {
        if (isCollectionFile(source)) {
            if (!addCollection(list, source, err))
                return 1;
        } else if (const TLocalFileInfo info = LocalFileInfo(source); info.IsFolder || info.IsFile) {
            unreadable += addFiles(list, source, parseFormats, err);
        } else {
            err << "tunebase-cli playlist: no such collection file, MP3 file or folder '" << ReadablePath(source) << "'\n";
            return 1;
        }
    }
    if (!list.SaveToFile(options.output)) {
        err << "tunebase-cli playlist: " << list.lastError() << "\n";
        return 1;
    }
    out << list.Count() << (list.Count() == 1 ? " entry" : " entries") << " written to \"" << options.output << "\"";
    if (unreadable > 0)
        out << ", " << unreadable << (unreadable == 1 ? " file" : " files") << " could not be read";
    out << "\n";
    return unreadable > 0 ? 1 : 0;
}

} // namespace

const CliCommand &playlistCommand()
{
    static const CliCommand command{"playlist", "playlist COLLECTION|PATH... -o FILE.m3u|.pls",
                                    "write an M3U or PLS playlist of collection tracks or MP3 files",
                                    {{{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("FILE")}},
                                    printHelp, runPlaylist};
    return command;
}
