#pragma once

#include <QByteArray>

#include <sys/stat.h>
#include <sys/types.h>

// Paths of any length.  The system takes at most PATH_MAX bytes in one
// call and fails a longer path with ENAMETOOLONG, though a deep tree can
// hold files whose paths are longer.  These reach such a path folder by
// folder, each step relative to the folder opened before; a shorter path
// goes to the system in one call as usual.  Results and errno as the
// system calls they stand for.

// open(path, flags, mode)
int OpenLocalPath(const QByteArray &path, int flags, mode_t mode = 0);

// stat(path) with followLinks, else lstat(path).
int StatLocalPath(const QByteArray &path, struct stat &st, bool followLinks);
