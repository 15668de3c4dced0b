#pragma once

#include <QString>

#include <sys/types.h>

class QFile;

// The hidden files the program keeps beside a file while it rewrites it:
//
//   .NAME.RANDOM.tunebase-new      the new contents, renamed over the file
//                                  once complete
//   .NAME.RANDOM.tunebase-partial  a copy of the old contents being made
//                                  (the file itself not touched yet)
//   .NAME.INODE.tunebase-backup    the complete copy of the old contents
//                                  of the file with that inode, while the
//                                  file is written in place
//
// NAME is the start of the file's name.  Each is created locked (flock) and
// stays locked for as long as its writer lives; the system drops the lock
// when the writer ends, killed or not.  A file of ours that can be locked was
// therefore left by a writer that died: a new or partial file can go, and a
// backup must be put back, since its file may hold half-written contents.

enum class TBesideKind { NewContents, PartialBackup };

// Creates a new file of `kind` beside `target`, locked, and opens it for
// reading and writing; `mode` as for open(2).  False with `error` when no
// file could be made.
bool CreateBesideFile(const QString &target, TBesideKind kind, mode_t mode, QFile &file, QString &createdPath,
                      QString &error);

// The name under which the complete copy of the old contents of the file
// at `target` (with inode `inode`) waits while the file is written in place.
QString BackupPathOf(const QString &target, ino_t inode);

// When the file at `path` was being written in place by a program that
// ended before it was done, puts the old contents back from their copy and
// says so (ShowInfoFromAnyThread).  `inode` is the file's (links followed).
// Cheap when there is nothing to put back: a look for the copy.  False,
// with `problem`, only when a copy is there but could not be put back.
bool RecoverInterruptedWrite(const QString &path, ino_t inode, QString *problem = nullptr);

// Before the program writes a file in `folder`: removes the new and partial
// files that writers which died left there, and puts back the files whose
// in-place writes they left half done.  Looks at a folder at most once a
// minute, so that many writes in one large folder do not list it each time.
void TidyFolderBeforeWriting(const QString &folder);
