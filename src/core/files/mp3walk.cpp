#include "core/files/mp3walk.h"

#include "core/files/foldersafety.h"

namespace {

void walkFolder(const TMp3FileWalk &walk, const QString &folder, TVisitedFolders &visited)
{
    if (IsPseudoFileSystemFolder(folder) || !visited.enter(folder))
        return;
    if (walk.entering)
        walk.entering(folder);
    for (const TLocalFolderEntry &entry : LocalFolderEntries(folder)) {
        if (walk.cancelled && walk.cancelled())
            return;
        if (entry.Info.IsFolder) {
            if (!entry.Info.IsSymLink)
                walkFolder(walk, entry.Path, visited);
        } else if (entry.Info.IsFile && HasMp3Extension(entry.Name)) {
            walk.found(entry);
        }
    }
}

} // namespace

bool HasMp3Extension(const QString &name)
{
    return name.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive);
}

void TMp3FileWalk::run(const QString &folder) const
{
    TVisitedFolders visited;
    walkFolder(*this, folder, visited);
}
