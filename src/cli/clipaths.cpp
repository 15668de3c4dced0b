#include "cli/clipaths.h"

#include "core/base/localfiles.h"
#include "core/files/mp3walk.h"

QStringList Mp3FilesOf(const QString &path)
{
    if (!IsLocalFolder(path))
        return {path};
    QStringList files;
    TMp3FileWalk walk;
    walk.found = [&](const TLocalFolderEntry &file) { files << file.Path; };
    walk.run(path);
    files.sort(Qt::CaseInsensitive);
    return files;
}
