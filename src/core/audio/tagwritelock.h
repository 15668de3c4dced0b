#pragma once

#include "core/base/filelock.h"

#include <QString>

#include <chrono>

// The lock a tag write holds on the MP3 file from reading the tag that is
// there to writing the new one, so that two writers (two tag runs, or the
// tag window beside the command line) never build on a tag the other is
// replacing: the second reads the file as the first left it.  Every name
// of the file shares the lock (TFileLock).
namespace tagwritelock {

// Rewriting a large file takes a while; a writer waits that long.
constexpr std::chrono::milliseconds Wait{60000};

// False, with error saying why, only when another program kept the file
// locked all that time.  Where no lock can be taken (a file system without
// locks) the write goes ahead and reports its own problems.
bool Acquire(TFileLock &lock, const QString &fileName, QString *error);

} // namespace tagwritelock
