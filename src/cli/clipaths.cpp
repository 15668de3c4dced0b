#include "cli/clipaths.h"

#include <QDirIterator>
#include <QFileInfo>

QStringList Mp3FilesOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return {path};
    QStringList files;
    QDirIterator it(path, {QStringLiteral("*.mp3")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort(Qt::CaseInsensitive);
    return files;
}
