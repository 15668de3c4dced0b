#pragma once

#include <QIODevice>
#include <QString>

class QFile;

// Opens a file the user named, refusing what is not a regular file: a
// FIFO would block the open (or the first read) until someone writes to
// it, and a device or socket is no file to read MP3 data or a collection
// from.  The open itself never blocks, and never creates a file.  False,
// with `problem` saying why (as RegularFileProblem words it), when the path
// is not a regular file or cannot be opened.
// A file whose in-place write was killed half-way is first put back
// (RecoverInterruptedWrite); one that could not be is not opened.  Paths
// longer than PATH_MAX are opened too.
bool OpenRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode,
                     QString *problem = nullptr);

// OpenRegularFile for a file the program names for itself (a scan index):
// a symbolic link in its place is not followed ("is a symbolic link").
bool OpenOwnFile(QFile &file, const QString &path, QIODevice::OpenMode mode, QString *problem = nullptr);

// Why path cannot be opened as a regular file, as the end of a sentence
// that starts with the path; empty when it can be: "is a folder", "is not
// a regular file (a FIFO, device or socket)", "does not exist", or
// "cannot be opened (<the system's reason>)".
QString RegularFileProblem(const QString &path);

// Whether the two paths name one file (device and inode, symbolic links
// followed): a hard or symbolic link to a file is that file.  False when
// either does not exist.
bool IsSameExistingFile(const QString &a, const QString &b);
