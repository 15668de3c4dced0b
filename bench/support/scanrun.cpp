#include "scanrun.h"

#include "benchcollection.h"
#include "mp3tree.h"

#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/settings/prefs.h"

#include <QElapsedTimer>
#include <QLocale>


ScanRun ScanTree(const QString &root, int threads)
{
    TMP3Process process;
    process.ShowWindow = false;
    process.ParseFormats = DefaultParseFormats();
    process.Threads = threads;
    TMP3Folder folder;
    folder.SetPath(root);
    ScanRun run;
    const qint64 before = BytesReadSoFar();
    const double cpuBefore = processorSeconds();
    QElapsedTimer timer;
    timer.start();
    const TReadFolderResult read = process.ReadFolder(&folder, true, false);
    run.seconds = timer.nsecsElapsed() / 1e9;
    run.cpuSeconds = processorSeconds() - cpuBefore;
    const qint64 after = BytesReadSoFar();
    run.files = read.FilesRead;
    run.failed = int(read.FailedFiles.size());
    if (before >= 0 && after >= 0)
        run.bytesRead = after - before;
    return run;
}

QString Figure(double value, int decimals)
{
    return QLocale(QLocale::English).toString(value, 'f', decimals);
}

