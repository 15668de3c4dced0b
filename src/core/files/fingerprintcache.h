#pragma once

#include "core/audio/audiofingerprint.h"

#include <QHash>
#include <QString>

#include <optional>

// The audio fingerprints of files as they were when last read, kept beside
// the collection's scan index as "<collection>-fingerprints", so that a
// second search for duplicates opens no file that has not changed.  Like
// the scan index it is only a help: a missing, damaged or outdated cache is
// ignored (the files are then read again) and never keeps anything from
// working.  A fingerprint counts only while its file has the size and
// modification time recorded with it.
class TFingerprintCache {
public:
    static QString PathFor(const QString &collectionPath);

    // Reads the cache file; false (and an empty cache) when there is no
    // usable one (a symbolic link in its place is not followed).
    bool load(const QString &cachePath);
    // Writes the fingerprints stored since load, replacing the old file
    // only once complete; those of files not stored again drop out.
    bool save(const QString &cachePath) const;

    // The fingerprint recorded for the file when it still has this size
    // and modification time.  Safe on several threads while none stores.
    std::optional<TAudioFingerprint> find(const QString &path, qint64 size, qint64 modifiedMs) const;
    void store(const QString &path, qint64 size, qint64 modifiedMs, const TAudioFingerprint &print);

    int count() const { return int(m_entries.size()); }
    // Whether save would write other fingerprints than load read: a
    // search that learnt nothing new leaves the file alone.
    bool changedSinceLoad() const;

private:
    struct Entry {
        qint64 size = 0;
        qint64 modifiedMs = 0;
        TAudioFingerprint print;
        bool stored = false;  // since load
    };
    QHash<QString, Entry> m_entries;
    bool m_changed = false;  // an entry was added or differs from the one loaded
};
