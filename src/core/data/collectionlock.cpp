#include "core/data/collectionlock.h"

#include "core/base/localfiles.h"
#include "core/base/localpath.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Removes a lock file of earlier versions that nobody holds.  Those were
// empty and removed by their holder on release, so one left behind comes
// from a program that was killed; anything else by that name (a link, a
// file with contents, one still locked) is not ours to remove.
void removeStaleOldLockFile(const QString &lockPath)
{
    const QByteArray path = LocalPathBytes(lockPath);
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat held;
    struct stat named;
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_size == 0
        && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.constData(), &named) == 0
        && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
        ::unlink(path.constData());
    ::close(fd);
}

} // namespace

QString TCollectionLock::OldLockFilePath(const QString &collectionPath)
{
    return collectionPath + QStringLiteral(".lock");
}

bool TCollectionLock::acquire(const QString &collectionPath, std::chrono::milliseconds wait)
{
    m_error.clear();
    m_heldElsewhere = false;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    const auto remaining = [&deadline] {
        return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()),
                        std::chrono::milliseconds(0));
    };
    for (;;) {
        const TFileLock::TOutcome outcome = m_lock.acquire(collectionPath, remaining());
        if (outcome == TFileLock::TOutcome::Held)
            break;
        if (outcome != TFileLock::TOutcome::Missing)
            return failed(collectionPath, outcome);
        // A new collection: whoever makes it first holds the folder, and
        // locks the file before it takes the name.
        const TFileLock::TOutcome folder = m_lock.acquire(LocalParentFolder(collectionPath), remaining());
        if (folder != TFileLock::TOutcome::Held)
            return failed(collectionPath, folder);
        if (!LocalPathExists(collectionPath))
            break;
        m_lock.release();  // made meanwhile: its own lock is the one to take
    }
    removeStaleOldLockFile(OldLockFilePath(collectionPath));
    const QString canonical = LocalCanonicalPath(collectionPath);
    if (!canonical.isEmpty() && canonical != collectionPath)
        removeStaleOldLockFile(OldLockFilePath(canonical));
    return true;
}

bool TCollectionLock::failed(const QString &collectionPath, TFileLock::TOutcome outcome)
{
    m_lock.release();
    if (outcome == TFileLock::TOutcome::Busy) {
        m_heldElsewhere = true;
        m_error = QStringLiteral("Another program is changing the collection %1; "
                                 "try again when it has finished.")
                      .arg(ReadablePath(collectionPath));
    } else {
        const QString reason = outcome == TFileLock::TOutcome::Missing
                                   ? QStringLiteral("its folder does not exist.")
                                   : m_lock.errorString();
        m_error = QStringLiteral("Cannot lock the collection %1: %2").arg(ReadablePath(collectionPath), reason);
    }
    return false;
}
