#pragma once

#include <QString>
#include <QStringList>

// The files a command-line path names: the file itself, or every file
// ending in .mp3 below a folder, sorted.
QStringList Mp3FilesOf(const QString &path);
