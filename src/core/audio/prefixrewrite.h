#pragma once

#include <QByteArray>
#include <QString>

class TFileLock;

// Replaces the first `oldPrefixLength` bytes of a file by `newPrefix`
// (a tag in front of the audio), keeping every byte after them, through a
// TFileReplacement: owner, mode, extended attributes and hard links stay
// as they were, and a symbolic link's target is what gets rewritten.  A
// file whose owner may not write it is refused.  On failure the original
// is untouched and `error` says why.  A caller that holds the file's lock
// passes it as `hold`: a file written beside the old one is locked before
// it takes the name, so the hold goes on across the rewrite.
bool rewriteFilePrefix(const QString &fileName, const QByteArray &newPrefix,
                       qint64 oldPrefixLength, QString *error, TFileLock *hold = nullptr);
