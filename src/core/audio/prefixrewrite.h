#pragma once

#include <QByteArray>
#include <QString>

// Replaces the first `oldPrefixLength` bytes of a file by `newPrefix`
// (a tag in front of the audio), keeping every byte after them.  The new
// file is written beside the old one under a unique temporary name, takes
// the old file's permissions and replaces it by one atomic rename; a
// symbolic link's target is what gets rewritten.  On failure the original
// is untouched and `error` says why.
bool rewriteFilePrefix(const QString &fileName, const QByteArray &newPrefix,
                       qint64 oldPrefixLength, QString *error);
