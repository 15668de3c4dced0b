#pragma once

#include <QByteArray>
#include <QString>

namespace testsupport {

// Writes bytes to a file, replacing it; returns false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);
// Writes and reads a file named by its bytes (which need not be UTF-8).
bool writeFileAt(const QByteArray &path, const QByteArray &bytes);
QByteArray readFileAt(const QByteArray &path);
// Removes what a folder holds, names that are not UTF-8 included (Qt's own
// removal cannot name them).
void emptyFolderAt(const QByteArray &folder);

} // namespace testsupport
