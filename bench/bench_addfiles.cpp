// Adding 10,000 files to a collection, as `tunebase-cli add` does: reading
// the tree, then creating one track per file with its lookup values.  The
// adding must not cost more than half the reading again (no lookups that
// grow with the collection).  Argument: the number of files.

#include "mp3tree.h"
#include "scanrun.h"

#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/prefs.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char **argv)
{
    QTextStream out(stdout);
    const int count = BenchFileCount(argc, argv, 10000);
    QTemporaryDir dir;
    if (!PrepareMp3Tree(dir.path(), count, out))
        return 1;
    ScanTree(dir.path(), 1);  // warms the caches of the file system

    TMp3Root root;
    TMP3Process process;
    process.ShowWindow = false;
    process.Collection = &root;
    process.ParseFormats = DefaultParseFormats();
    TMP3Folder folder;
    folder.SetPath(dir.path());
    QElapsedTimer timer;
    timer.start();
    process.ReadFolder(&folder, true, false);
    const double scanSeconds = timer.nsecsElapsed() / 1e9;

    timer.restart();
    TMp3FileItemList files;
    folder.CollectFiles(files, true);
    files.SetInfoSources(false, true, true, true, true);
    process.AddFiles(files, nullptr);
    const double addSeconds = timer.nsecsElapsed() / 1e9;

    const double ratio = (scanSeconds + addSeconds) / scanSeconds;
    out << "AddFiles of " << Figure(count) << " files into a new collection (scan on " << process.Threads
        << (process.Threads == 1 ? " thread)\n" : " threads)\n")
        << "  scan:            " << Figure(scanSeconds, 3) << " s\n"
        << "  create tracks:   " << Figure(addSeconds, 3) << " s (" << Figure(root.GetTracks()->Count())
        << " tracks)\n"
        << "  scan and add / scan: " << Figure(ratio, 2) << "x (target at most 1.5x)\n";
    return root.GetTracks()->Count() == count ? 0 : 1;
}
