#pragma once

#include <QString>

class QIODevice;

#include <chrono>
#include <vector>

// An exclusive advisory lock (flock) on a file itself, or on a folder.
// Every name of a file (symbolic links and hard links alike) leads to the
// same lock, so two programs that reach one file by different names still
// exclude each other.  Only programs that ask for the lock are kept out.
//
// A file replaced by rename is a new file with a lock of its own: whoever
// gets the lock of the old one finds that the name now leads elsewhere and
// starts again with the file that is there.  A holder that replaces the
// file itself locks the new one before it takes the name (holdAlso), so
// that its hold goes on across the replacement.
//
// A program that dies loses its locks at once; nothing is left behind.
class TFileLock {
public:
    enum class TOutcome {
        Held,     // locked
        Busy,     // another holder kept it all the time given
        Missing,  // the name leads to nothing
        Failed,   // cannot be locked (errorString says why)
    };

    TFileLock() = default;
    ~TFileLock();
    TFileLock(const TFileLock &) = delete;
    TFileLock &operator=(const TFileLock &) = delete;

    // Locks the regular file or folder the path leads to (symbolic links
    // followed), waiting up to `wait` while another program holds it.  A
    // lock held here before is released first.
    TOutcome acquire(const QString &path, std::chrono::milliseconds wait);
    // Extends the hold to the open file behind `device` (a QFileDevice):
    // the one about to replace the locked file by rename.  Nothing to do
    // when it is the locked file, or no file.
    void holdAlso(const QIODevice &device);
    void release();
    bool isHeld() const { return !m_fds.empty(); }
    QString errorString() const { return m_error; }

private:
    TOutcome tryOnce(const QByteArray &path);

    std::vector<int> m_fds;
    QString m_error;
};
