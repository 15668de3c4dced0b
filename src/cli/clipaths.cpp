#include "cli/clipaths.h"

#include "core/base/localfiles.h"

namespace {

// Links to folders are not followed: a link back up would never end.
void collectMp3Files(const QString &folder, QStringList &files)
{
    for (const TLocalFolderEntry &entry : LocalFolderEntries(folder)) {
        if (entry.Info.IsFolder && !entry.Info.IsSymLink)
            collectMp3Files(entry.Path, files);
        else if (entry.Info.IsFile && entry.Name.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive))
            files << entry.Path;
    }
}

} // namespace

QStringList Mp3FilesOf(const QString &path)
{
    if (!IsLocalFolder(path))
        return {path};
    QStringList files;
    collectMp3Files(path, files);
    files.sort(Qt::CaseInsensitive);
    return files;
}
