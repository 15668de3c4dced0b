#pragma once

#include <QString>
#include <QStringList>

// The files a command-line path names: the file itself, or every file
// ending in .mp3 below a folder (walked with the guards of every folder
// walk: no pseudo file systems, no folder twice, no links to folders), sorted.
QStringList Mp3FilesOf(const QString &path);
