#pragma once

#include <QString>

// Renames a file within the file system without ever replacing another
// file: fails (errorString set) when the target name is taken.  A change of
// letter case only works also on file systems that ignore case, and a
// rename to the file's own path is a success that changes nothing.
bool RenameNoReplace(const QString &from, const QString &to, QString *errorString = nullptr);

// Whether both paths name the same file (same device and inode, links not
// followed); false when either does not exist.
bool IsSameFile(const QString &a, const QString &b);

// Whether something (a file, folder or even a dangling link) has this name.
bool PathIsTaken(const QString &path);
