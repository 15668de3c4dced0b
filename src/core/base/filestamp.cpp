#include "core/base/filestamp.h"

#include "core/base/localpath.h"

#include <sys/stat.h>

namespace {

qint64 nanoseconds(const struct timespec &time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

TFileStamp stampOf(const struct stat &st)
{
    TFileStamp stamp;
    stamp.Exists = true;
    stamp.Device = st.st_dev;
    stamp.Inode = st.st_ino;
    stamp.Size = st.st_size;
    stamp.ModifiedNs = nanoseconds(st.st_mtim);
    stamp.StatusChangedNs = nanoseconds(st.st_ctim);
    return stamp;
}

} // namespace

TFileStamp TFileStamp::OfPath(const QString &path)
{
    struct stat st;
    return ::stat(LocalPathBytes(path).constData(), &st) == 0 ? stampOf(st) : TFileStamp();
}

TFileStamp TFileStamp::OfOpenFile(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 ? stampOf(st) : TFileStamp();
}
