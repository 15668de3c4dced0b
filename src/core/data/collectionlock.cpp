#include "core/data/collectionlock.h"

#include "core/base/localpath.h"

#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

TCollectionLock::~TCollectionLock()
{
    release();
}

QString TCollectionLock::LockFilePath(const QString &collectionPath)
{
    return collectionPath + QStringLiteral(".lock");
}

bool TCollectionLock::acquire(const QString &collectionPath, std::chrono::milliseconds wait)
{
    release();
    m_error.clear();
    m_heldElsewhere = false;
    m_path = LockFilePath(collectionPath);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        bool busy = false;
        if (tryOnce(busy))
            return true;
        if (!busy)
            return false;
        if (std::chrono::steady_clock::now() >= deadline) {
            m_heldElsewhere = true;
            m_error = QStringLiteral("Another program is changing the collection %1 (it holds %2); "
                                     "try again when it has finished.")
                          .arg(collectionPath, m_path);
            return false;
        }
        QThread::msleep(50);
    }
}

// One attempt: open (or create) the lock file and lock it without waiting.
// The holder before us may have removed the file between our open and our
// lock: then we hold a lock on a file nobody else sees, and start again.
bool TCollectionLock::tryOnce(bool &busy)
{
    const QByteArray path = LocalPathBytes(m_path);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        m_error = QStringLiteral("Cannot make the lock file %1: %2").arg(m_path, systemError());
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        busy = errno == EWOULDBLOCK || errno == EINTR;
        if (!busy)
            m_error = QStringLiteral("Cannot lock %1: %2").arg(m_path, systemError());
        ::close(fd);
        return false;
    }
    struct stat held;
    struct stat named;
    if (::fstat(fd, &held) != 0 || ::stat(path.constData(), &named) != 0 || held.st_dev != named.st_dev
        || held.st_ino != named.st_ino) {
        ::close(fd);
        busy = true;  // try again at once with the file that is there now
        return false;
    }
    m_fd = fd;
    return true;
}

void TCollectionLock::release()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so that nobody locks the old file after
    // we let go of it (they notice, see tryOnce).
    ::unlink(LocalPathBytes(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}
