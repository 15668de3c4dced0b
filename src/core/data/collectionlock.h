#pragma once

#include <QString>

#include <chrono>

// The lock every program that changes a collection file holds from reading
// the file to saving it, so that two of them (two command-line runs, or
// one beside the desktop program) never save over each other's changes.
// It is an advisory lock (flock) on a lock file beside the collection,
// "<collection>.lock": the collection itself is replaced by each save, so
// a lock on it would be a lock on the old file.  The lock file is removed
// when the lock is released; a program that dies loses its lock at once.
class TCollectionLock {
public:
    // How long a second writer waits before it gives up.
    static constexpr std::chrono::milliseconds DefaultWait{10000};

    TCollectionLock() = default;
    ~TCollectionLock();
    TCollectionLock(const TCollectionLock &) = delete;
    TCollectionLock &operator=(const TCollectionLock &) = delete;

    // Takes the lock of the collection file, waiting for another holder
    // up to `wait`.  False, with errorString saying why, when it is held
    // elsewhere all that time or the lock file cannot be made.
    bool acquire(const QString &collectionPath, std::chrono::milliseconds wait = DefaultWait);
    void release();
    bool isHeld() const { return m_fd >= 0; }
    // The last acquire failed because another program holds the lock (not
    // because the lock file could not be made).
    bool heldElsewhere() const { return m_heldElsewhere; }
    QString errorString() const { return m_error; }

    static QString LockFilePath(const QString &collectionPath);

private:
    bool tryOnce(bool &busy);

    int m_fd = -1;
    bool m_heldElsewhere = false;
    QString m_path;
    QString m_error;
};
