#pragma once

#include <QByteArray>
#include <QString>

// Replaces the first `oldPrefixLength` bytes of a file by `newPrefix`
// (a tag in front of the audio), keeping every byte after them, through a
// TFileReplacement: owner, mode, extended attributes and hard links stay
// as they were, and a symbolic link's target is what gets rewritten.  A
// file whose owner may not write it is refused.  On failure the original
// is untouched and `error` says why.
bool rewriteFilePrefix(const QString &fileName, const QByteArray &newPrefix,
                       qint64 oldPrefixLength, QString *error);
