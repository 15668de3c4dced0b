#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The file-system questions the program asks of paths that may hold bytes
// that are not UTF-8 (see localpath.h).  QFileInfo and QDirIterator lose
// such bytes; these go to the system with the path's own bytes.

struct TLocalFileInfo {
    bool Exists = false;    // the path, symbolic links followed, names something
    bool IsFolder = false;  // a folder, or a symbolic link to one
    bool IsFile = false;    // a regular file, or a symbolic link to one
    bool IsSymLink = false; // the path itself is a symbolic link (to anything, or dangling)
    qint64 Size = 0;
    qint64 ModifiedMs = 0;  // milliseconds since the epoch, UTC

    QDateTime Modified() const { return QDateTime::fromMSecsSinceEpoch(ModifiedMs, Qt::UTC); }
};

TLocalFileInfo LocalFileInfo(const QString &path);
bool LocalPathExists(const QString &path);
bool IsLocalFolder(const QString &path);
bool IsLocalFile(const QString &path);

// The absolute path with symbolic links, "." and ".." resolved; empty when
// the path does not exist.
QString LocalCanonicalPath(const QString &path);

// Removes a file (not a folder); false when that fails.
bool RemoveLocalFile(const QString &path);

struct TLocalFolderEntry {
    QString Name;
    QString Path;  // the folder's path and the name
    TLocalFileInfo Info;
};

// The folders and regular files in a folder (symbolic links to them
// included), without "." and "..", in the order the system gives.  FIFOs,
// sockets, devices and dangling links are left out: reading them could
// block, and they hold no music.  Empty when the folder cannot be read.
QList<TLocalFolderEntry> LocalFolderEntries(const QString &folder);

// Whether the folder holds a folder (or a link to one) whose name does not
// start with "."; stops at the first, so it stays cheap in large folders.
bool HasVisibleSubfolder(const QString &folder);

// Whether this process may write the file or folder (the system's access
// check, which a root process passes for any file).
bool MayWriteLocal(const QString &path);

// The absolute, cleaned path ("a/../b" taken from the current folder),
// made as text: QFileInfo's absolute paths pass through Qt's encoding of
// file names, which loses the bytes that are not UTF-8.
QString AbsoluteLocalPath(const QString &path);

// The folder that holds path, absolute and cleaned ("/" for "/" itself).
QString LocalParentFolder(const QString &path);
