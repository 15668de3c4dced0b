#pragma once

#include "core/base/filelock.h"

#include <QString>

#include <chrono>

// The lock every program that changes a collection file holds from reading
// the file to saving it, so that two of them (two command-line runs, or
// one beside the desktop program) never save over each other's changes.
// It is the collection file's own lock (TFileLock), which every name of the
// file shares: a symbolic link or a hard link to the collection locks the
// same.  A collection that does not exist yet is stood for by the folder it
// is to be made in, until it exists.  A program that dies loses its lock at
// once.
//
// Earlier versions locked a file "<collection>.lock" beside the
// collection; such files that nobody holds any more are removed.
class TCollectionLock {
public:
    // How long a second writer waits before it gives up.
    static constexpr std::chrono::milliseconds DefaultWait{10000};

    TCollectionLock() = default;
    TCollectionLock(const TCollectionLock &) = delete;
    TCollectionLock &operator=(const TCollectionLock &) = delete;

    // Takes the lock of the collection file, waiting for another holder
    // up to `wait`.  False, with errorString saying why, when it is held
    // elsewhere all that time or cannot be taken.
    bool acquire(const QString &collectionPath, std::chrono::milliseconds wait = DefaultWait);
    // Keeps the hold across a save: the open file about to replace the
    // collection is locked before it takes the collection's name.
    void holdReplacement(const QIODevice &device) { m_lock.holdAlso(device); }
    void release() { m_lock.release(); }
    bool isHeld() const { return m_lock.isHeld(); }
    // The last acquire failed because another program holds the lock (not
    // because it could not be taken).
    bool heldElsewhere() const { return m_heldElsewhere; }
    QString errorString() const { return m_error; }

    // The lock file of earlier versions beside a collection.
    static QString OldLockFilePath(const QString &collectionPath);

private:
    bool failed(const QString &collectionPath, TFileLock::TOutcome outcome);

    TFileLock m_lock;
    bool m_heldElsewhere = false;
    QString m_error;
};
