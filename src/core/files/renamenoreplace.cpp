#include "core/files/renamenoreplace.h"

#include "core/base/localfiles.h"
#include "core/base/localpath.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool lstatPath(const QString &path, struct stat &st)
{
    return ::lstat(LocalPathBytes(path).constData(), &st) == 0;
}

void setError(QString *errorString, int error)
{
    if (errorString)
        *errorString = QString::fromLocal8Bit(std::strerror(error));
}

// rename() replaces an existing target silently; this never does.
int moveNoReplace(const QByteArray &from, const QByteArray &to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
#endif
    // The file system cannot refuse to replace on rename: a hard link fails
    // on an existing name, and removing the old name completes the move.
    if (::link(from.constData(), to.constData()) == 0) {
        if (::unlink(from.constData()) == 0)
            return 0;
        const int error = errno;
        ::unlink(to.constData());
        return error;
    }
    if (errno == EEXIST)
        return EEXIST;
    // No hard links either (FAT, some network shares): check, then rename.
    // The name was free an instant ago; nothing better is offered there.
    struct stat st;
    if (::lstat(to.constData(), &st) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

// On a file system that ignores case, "song.mp3" is taken by "Song.mp3"
// itself; the change of case goes through a free intermediate name.
int changeCaseOnly(const QString &from, const QString &to)
{
    const QString folder = LocalParentFolder(from);
    QString parking;
    do {
        parking = folder
                  + QStringLiteral("/.tunebase-rename-%1")
                        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    } while (PathIsTaken(parking));
    const QByteArray fromName = LocalPathBytes(from);
    const QByteArray parkingName = LocalPathBytes(parking);
    if (const int error = moveNoReplace(fromName, parkingName))
        return error;
    if (const int error = moveNoReplace(parkingName, LocalPathBytes(to))) {
        moveNoReplace(parkingName, fromName);
        return error;
    }
    return 0;
}

} // namespace

bool IsSameFile(const QString &a, const QString &b)
{
    struct stat sa;
    struct stat sb;
    return lstatPath(a, sa) && lstatPath(b, sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool PathIsTaken(const QString &path)
{
    struct stat st;
    return lstatPath(path, st);
}

bool RenameNoReplace(const QString &from, const QString &to, QString *errorString)
{
    if (errorString)
        errorString->clear();
    if (from == to)
        return true;
    int error = moveNoReplace(LocalPathBytes(from), LocalPathBytes(to));
    if (error == EEXIST && from.compare(to, Qt::CaseInsensitive) == 0 && IsSameFile(from, to))
        error = changeCaseOnly(from, to);
    setError(errorString, error);
    return error == 0;
}
