#include "core/base/regularfile.h"

#include "core/base/localpath.h"

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

} // namespace

bool OpenRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode, QString *problem)
{
    if (file.isOpen())
        file.close();
    file.setFileName(path);
    QString why;
    // Never created here: writers that create files have their own ways.
    const int fd = ::open(LocalPathBytes(path).constData(), openFlags(mode));
    struct stat st;
    if (fd < 0)
        why = errnoProblem(errno);
    else if (::fstat(fd, &st) != 0)
        why = errnoProblem(errno);
    else
        why = typeProblem(st);
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

QString RegularFileProblem(const QString &path)
{
    struct stat st;
    if (::stat(LocalPathBytes(path).constData(), &st) != 0)
        return errnoProblem(errno);
    return typeProblem(st);
}

bool IsSameExistingFile(const QString &a, const QString &b)
{
    struct stat sa;
    struct stat sb;
    return ::stat(LocalPathBytes(a).constData(), &sa) == 0 && ::stat(LocalPathBytes(b).constData(), &sb) == 0
           && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
