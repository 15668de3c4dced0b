#include "core/base/filelock.h"

#include "core/base/localpath.h"

#include <QFileDevice>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::chrono::milliseconds PollInterval{20};

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

TFileLock::~TFileLock()
{
    release();
}

TFileLock::TOutcome TFileLock::acquire(const QString &path, std::chrono::milliseconds wait)
{
    release();
    m_error.clear();
    const QByteArray bytes = LocalPathBytes(path);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const TOutcome outcome = tryOnce(bytes);
        if (outcome != TOutcome::Busy || std::chrono::steady_clock::now() >= deadline)
            return outcome;
        QThread::msleep(PollInterval.count());
    }
}

// One attempt.  The name may be given to another file between our open and
// our lock (a save by rename): then we hold the lock of a file that is no
// longer the one named, and start again with the one that is.
TFileLock::TOutcome TFileLock::tryOnce(const QByteArray &path)
{
    for (;;) {
        // Read access is all a lock needs.  O_NONBLOCK: opening a FIFO must
        // not wait for a writer.
        const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT)
                return TOutcome::Missing;
            m_error = QString::fromLocal8Bit(std::strerror(errno));
            return TOutcome::Failed;
        }
        struct stat held;
        if (::fstat(fd, &held) != 0 || !(S_ISREG(held.st_mode) || S_ISDIR(held.st_mode))) {
            m_error = QStringLiteral("It is not a regular file.");
            ::close(fd);
            return TOutcome::Failed;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK || error == EINTR)
                return TOutcome::Busy;
            m_error = QString::fromLocal8Bit(std::strerror(error));
            return TOutcome::Failed;
        }
        struct stat named;
        if (::stat(path.constData(), &named) == 0 && sameFile(held, named)) {
            m_fds.push_back(fd);
            return TOutcome::Held;
        }
        ::close(fd);
    }
}

void TFileLock::holdAlso(const QIODevice &device)
{
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    const int fd = file ? file->handle() : -1;
    struct stat added;
    if (m_fds.empty() || fd < 0 || ::fstat(fd, &added) != 0)
        return;
    for (const int held : m_fds) {
        struct stat st;
        if (::fstat(held, &st) == 0 && sameFile(st, added))
            return;  // a second lock on it would wait for our own
    }
    // A lock belongs to the open file, which lives on while one of its
    // descriptors does: our copy keeps it locked after the writer closes it.
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return;
    if (::flock(copy, LOCK_EX | LOCK_NB) != 0) {
        ::close(copy);
        return;
    }
    m_fds.push_back(copy);
}

void TFileLock::release()
{
    for (const int fd : m_fds)
        ::close(fd);
    m_fds.clear();
}
