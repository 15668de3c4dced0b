#pragma once

#include <QString>
#include <QtGlobal>

// What tells whether a file has been written since it was last looked at:
// which file the name leads to (a save by rename makes a new one) and its
// size and times to the nanosecond (a write in place changes those).
struct TFileStamp {
    bool Exists = false;
    quint64 Device = 0;
    quint64 Inode = 0;
    qint64 Size = -1;
    qint64 ModifiedNs = 0;
    qint64 StatusChangedNs = 0;

    friend bool operator==(const TFileStamp &, const TFileStamp &) = default;

    // The file the path leads to, symbolic links followed.
    static TFileStamp OfPath(const QString &path);
    // The file an open descriptor refers to, whatever its names are now.
    static TFileStamp OfOpenFile(int fd);
};
