#include "core/base/regularfile.h"

#include "core/base/besidefiles.h"
#include "core/base/localpath.h"
#include "core/base/longpath.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int openFlags(QIODevice::OpenMode mode)
{
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    if ((mode & QIODevice::ReadWrite) == QIODevice::ReadWrite)
        flags |= O_RDWR;
    else if (mode & QIODevice::WriteOnly)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    return flags;
}

QString typeProblem(const struct stat &st)
{
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("is a folder");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("is not a regular file (a FIFO, device or socket)");
    return QString();
}

QString errnoProblem(int error)
{
    if (error == ENOENT)
        return QStringLiteral("does not exist");
    return QStringLiteral("cannot be opened (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
}

bool openRegular(QFile &file, const QString &path, QIODevice::OpenMode mode, int extraFlags, QString *problem)
{
    if (file.isOpen())
        file.close();
    file.setFileName(path);
    QString why;
    // Never created here: writers that create files have their own ways.
    const int fd = OpenLocalPath(LocalPathBytes(path), openFlags(mode) | extraFlags);
    struct stat st;
    if (fd < 0)
        why = errno == ELOOP && (extraFlags & O_NOFOLLOW) ? QStringLiteral("is a symbolic link")
                                                          : errnoProblem(errno);
    else if (::fstat(fd, &st) != 0)
        why = errnoProblem(errno);
    else
        why = typeProblem(st);
    // A write killed half-way is undone before anything reads the file.
    if (why.isEmpty())
        RecoverInterruptedWrite(path, st.st_ino, &why);
    if (why.isEmpty()) {
        // The reads of a regular file never block: they need not see
        // EAGAIN either.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        if (file.open(fd, mode, QFileDevice::AutoCloseHandle))
            return true;
        why = file.errorString();
    }
    if (fd >= 0)
        ::close(fd);
    if (problem)
        *problem = why;
    return false;
}

} // namespace

bool OpenRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode, QString *problem)
{
    return openRegular(file, path, mode, 0, problem);
}

bool OpenOwnFile(QFile &file, const QString &path, QIODevice::OpenMode mode, QString *problem)
{
    return openRegular(file, path, mode, O_NOFOLLOW, problem);
}

QString RegularFileProblem(const QString &path)
{
    struct stat st;
    if (StatLocalPath(LocalPathBytes(path), st, true) != 0)
        return errnoProblem(errno);
    return typeProblem(st);
}

bool IsSameExistingFile(const QString &a, const QString &b)
{
    struct stat sa;
    struct stat sb;
    return StatLocalPath(LocalPathBytes(a), sa, true) == 0 && StatLocalPath(LocalPathBytes(b), sb, true) == 0
           && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
