#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Writes a large tree of small MP3 files for the benchmarks: "Artist NN/
// Album NN/NN - Title NN.mp3" with ID3v2 tags naming what the path says,
// ID3v1 tags on most files and cover pictures on some; a few files (2 %,
// see TUNEBASE_BENCH_HEADERLESS_VBR) hold variable streams without a VBR
// header.  The audio and
// picture bytes come from a few generated templates, so writing 10,000
// files takes seconds.
struct Mp3Tree {
    int files = 0;
    qint64 bytes = 0;
    int folders = 0;
    int headerlessVbr = 0;  // files whose variable stream has no VBR header
};

// Writes `count` files below `root`; files.count() is 0 when writing failed.
Mp3Tree WriteMp3Tree(const QString &root, int count);

// The file count of a benchmark: the first command-line argument, else
// `fallback`.
int BenchFileCount(int argc, char **argv, int fallback);

// The bytes this process has read through system calls so far (rchar of
// /proc/self/io), or -1 where that is not available.
qint64 BytesReadSoFar();

// Lets the writes of a fresh tree reach the disk and the system settle, so
// that the timed reads that follow do not pay for them.
void SettleAfterWriting();

// The files of a tree written before (by an earlier run).
Mp3Tree CountMp3Tree(const QString &root);

class QTextStream;
// Writes the tree of a benchmark and lets the system settle; false, with a
// message on out, when it could not be written.
bool PrepareMp3Tree(const QString &root, int count, QTextStream &out, Mp3Tree *written = nullptr);
