#pragma once

#include "core/base/localfiles.h"

#include <QString>

#include <functional>

// Whether a file name (or path) is that of an MP3 file: it ends in ".mp3",
// in any letter case.
bool HasMp3Extension(const QString &name);

// A walk through a folder and all its subfolders for MP3 files, with the
// guards every such walk needs: it never enters the kernel's pseudo file
// systems, never enters a folder twice (a bind mount of a parent would never
// end) and never follows a link to a folder.  Files come in the order the
// system lists them.
struct TMp3FileWalk {
    // Told of each MP3 file: a regular file, or a link to one.
    std::function<void(const TLocalFolderEntry &file)> found;
    // Told of each folder as it is entered (optional).
    std::function<void(const QString &folder)> entering;
    // Asked before each entry; true ends the walk (optional).
    std::function<bool()> cancelled;

    void run(const QString &folder) const;
};
