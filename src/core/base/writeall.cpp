#include "core/base/writeall.h"

#include <QFileDevice>
#include <QIODevice>

#include <cerrno>
#include <cstring>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

bool writeAll(QIODevice &device, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

namespace {

// A write that stopped short without an error (Qt keeps no reason for a
// short write): the state of the file and its file system tell which limit
// it met, in the words the system uses for it.
QString shortWriteReason(const QFileDevice &file)
{
    const int fd = file.handle();
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0)
        return QString();
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
        && rlim_t(status.st_size) >= limit.rlim_cur)
        return QString::fromLocal8Bit(std::strerror(EFBIG));
    struct statvfs space {};
    if (::fstatvfs(fd, &space) == 0 && (space.f_bfree == 0 || (::geteuid() != 0 && space.f_bavail == 0)))
        return QString::fromLocal8Bit(std::strerror(ENOSPC));
    return QString();
}

} // namespace

QString writeErrorOf(const QIODevice &device)
{
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    if (!file)
        return device.errorString();
    // After a short write Qt reports "Unknown error", or nothing.
    const bool known = file->error() != QFileDevice::NoError && file->errorString() != QLatin1String("Unknown error");
    if (known)
        return file->errorString();
    const QString reason = shortWriteReason(*file);
    if (!reason.isEmpty())
        return reason;
    return file->error() == QFileDevice::NoError ? QString() : file->errorString();
}
