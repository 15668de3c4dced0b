#pragma once

#include <QPair>
#include <QSet>
#include <QString>
#include <QtGlobal>

// Rules that keep folder walks (reading folders, searching for files) from
// hanging or looping: they never enter the kernel's pseudo file systems,
// never enter a folder twice and only ever open regular files.

// Whether the folder is, or lies inside, /proc, /sys or /dev, or belongs to
// a pseudo file system of their kind (procfs, sysfs, devpts, cgroups ...)
// wherever it is mounted.  Their entries are not files one can read like
// MP3 files, and some of them block or never end.
bool IsPseudoFileSystemFolder(const QString &path);

// Whether path is a regular file.  A symbolic link counts only when
// followLinks is set and it points to a regular file; FIFOs, sockets and
// devices never count (opening a FIFO blocks until someone writes to it).
bool IsRegularFile(const QString &path, bool followLinks);

// Whether path is a symbolic link (to anything, or dangling).
bool IsSymbolicLink(const QString &path);

// The folders one walk has entered, by device and inode: a folder reached a
// second time (a bind mount of a parent, say) is not walked again.
class TVisitedFolders {
public:
    // Records the folder; false when it was entered before or cannot be
    // looked at.
    bool enter(const QString &path);

private:
    QSet<QPair<quint64, quint64>> m_seen;
};
