#pragma once

#include <QString>
#include <QtGlobal>

// One timed read of a folder tree the way `tunebase-cli add` reads it:
// every MP3 file with its tags, stream and file name values.
struct ScanRun {
    double seconds = 0;
    double cpuSeconds = 0;  // processor time of all threads of the process
    int files = 0;
    int failed = 0;
    qint64 bytesRead = -1;  // by the whole process during the run; -1 unknown

    double filesPerSecond() const { return seconds > 0 ? files / seconds : 0; }
    qint64 bytesPerFile() const { return files > 0 && bytesRead >= 0 ? bytesRead / files : -1; }
};

ScanRun ScanTree(const QString &root, int threads);

// "12,345" style numbers for the printed figures.
QString Figure(double value, int decimals = 0);

