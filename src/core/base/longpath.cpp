#include "core/base/longpath.h"

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A folder opened for the walk, closed when the walk moves on.
class TWalkFolder {
public:
    ~TWalkFolder()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int fd() const { return m_fd; }
    void moveTo(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = AT_FDCWD;
};

// Opens the folders of a long path, as many at a time as one call takes,
// and leaves in `rest` the part to open or stat from `folder`.  False
// (errno set) when a folder on the way cannot be opened.
bool walkToLastPart(QByteArrayView path, TWalkFolder &folder, QByteArray &rest)
{
    QByteArrayView left = path;
    if (left.startsWith('/')) {
        folder.moveTo(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (folder.fd() < 0)
            return false;
        while (left.startsWith('/'))
            left = left.sliced(1);
    }
    while (left.size() >= PATH_MAX) {
        // The longest run of whole names that one call takes.
        const qsizetype slash = left.first(PATH_MAX - 1).lastIndexOf('/');
        if (slash <= 0) {
            errno = ENAMETOOLONG;  // one name longer than any path
            return false;
        }
        const QByteArray step = left.first(slash).toByteArray();
        const int next = ::openat(folder.fd(), step.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (next < 0)
            return false;
        folder.moveTo(next);
        left = left.sliced(slash);
        while (left.startsWith('/'))
            left = left.sliced(1);
    }
    rest = left.isEmpty() ? QByteArray(".") : left.toByteArray();
    return true;
}

bool isShort(QByteArrayView path)
{
    return path.size() < PATH_MAX;
}

} // namespace

int OpenLocalPath(const QByteArray &path, int flags, mode_t mode)
{
    if (isShort(path))
        return ::open(path.constData(), flags, mode);
    TWalkFolder folder;
    QByteArray rest;
    if (!walkToLastPart(path, folder, rest))
        return -1;
    return ::openat(folder.fd(), rest.constData(), flags, mode);
}

int StatLocalPath(const QByteArray &path, struct stat &st, bool followLinks)
{
    if (isShort(path))
        return followLinks ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st);
    TWalkFolder folder;
    QByteArray rest;
    if (!walkToLastPart(path, folder, rest))
        return -1;
    return ::fstatat(folder.fd(), rest.constData(), &st, followLinks ? 0 : AT_SYMLINK_NOFOLLOW);
}
