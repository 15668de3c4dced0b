// Scan throughput: reading a tree of small MP3 files (tags, stream, file
// name values) on one and on two worker threads, with the bytes read per
// file.  Argument: the number of files (default 10,000).

#include "mp3tree.h"
#include "scanrun.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char **argv)
{
    QTextStream out(stdout);
    const int count = BenchFileCount(argc, argv, 10000);
    QTemporaryDir dir;
    // TUNEBASE_BENCH_TREE keeps the tree in that folder between runs
    // (written when the folder does not exist yet), for profiling the scan.
    const QString kept = qEnvironmentVariable("TUNEBASE_BENCH_TREE");
    const QString path = kept.isEmpty() ? dir.path() : kept;
    Mp3Tree tree;
    if (!kept.isEmpty() && QFileInfo::exists(kept))
        tree = CountMp3Tree(kept);
    else if (!PrepareMp3Tree(path, count, out, &tree))
        return 1;
    if (tree.files == 0) {
        out << "no MP3 files in " << path << "\n";
        return 1;
    }
    out << "scan of " << Figure(tree.files) << " files (" << Figure(tree.headerlessVbr)
        << " of them VBR without header) in " << Figure(tree.folders) << " folders, "
        << Figure(tree.bytes / double(tree.files) / 1024, 1) << " KiB per file on average (page cache warm)\n";
    ScanTree(path, 1);  // warms the caches of the file system
    for (const int threads : {1, 2}) {
        const ScanRun run = ScanTree(path, threads);
        out << "  " << threads << (threads == 1 ? " thread:  " : " threads: ") << Figure(run.seconds, 3) << " s, "
            << Figure(run.filesPerSecond()) << " files/s, " << Figure(run.cpuSeconds, 3) << " s processor time, "
            << Figure(run.bytesPerFile()) << " bytes read per file"
            << (run.failed ? QStringLiteral(", %1 FAILED").arg(run.failed) : QString()) << "\n";
        if (run.files != tree.files || run.failed)
            return 1;
    }
    return 0;
}
