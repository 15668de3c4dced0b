// The file list windows over a large folder: the add window reads a tree
// of 10,000 MP3 files with its progress display pumping events, and must
// never keep the user interface waiting longer than 50 ms at a time; adding
// the files may cost at most half the reading again.  Renaming and writing
// tags over 1,000 files through their windows report files per second.
// Argument: the number of files of the tree.

#include "mp3tree.h"
#include "scanrun.h"

#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/prefs.h"
#include "gui/filelist/addfilelist.h"
#include "gui/filelist/filepreviewmodel.h"
#include "gui/filelist/renamefilelist.h"
#include "gui/filelist/tagfilelist.h"
#include "gui/process/processwindow.h"
#include "gui/settings/radiogroup.h"
#include "gui/shell/globaldata.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace {

// The longest time between two ticks of a 5 ms timer: how long the event
// loop was kept from running.
class StallMeter : public QObject {
public:
    StallMeter()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // The time since the last tick counts as well.
    void stop()
    {
        tick();
        m_timer.stop();
    }
    double longestMs() const { return m_longest / 1e6; }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

struct Setup {
    Setup()
    {
        prefs.ParseFormats = DefaultParseFormats();
        prefs.RenameFormats = {QStringLiteral("%ar - %t")};
        prefs.CurrentRenameFormat = prefs.RenameFormats.first();
        process = std::make_unique<TMP3Process>();
        AttachProcessWindow(*process, nullptr);
        process->Collection = &root;
        process->ParseFormats = prefs.ParseFormats;
    }
    TFileListContext context() { return TFileListContext{prefs, *process, root, global, {}, {}, {}}; }

    QTemporaryDir settingsDir;
    TMp3Prefs prefs{settingsDir.filePath(QStringLiteral("Tunebase.ini"))};
    TMp3Root root;
    TdmGlobal global;
    std::unique_ptr<TMP3Process> process;
};

double perSecond(int count, double seconds)
{
    return seconds > 0 ? count / seconds : 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const int count = BenchFileCount(argc, argv, 10000);
    QTemporaryDir dir;
    if (!PrepareMp3Tree(dir.path(), count, out))
        return 1;
    ScanTree(dir.path(), 1);  // warms the caches of the file system

    // Adding: the window reads the tree, then OK adds every file.
    Setup add;
    StallMeter meter;
    TMP3Folder folder;
    folder.SetPath(dir.path());
    TfmAddFilelist addWindow(nullptr, add.context(), false);
    addWindow.SetSource(nullptr, &folder);
    // Shown as the program shows it: the preview's rows are painted while
    // the files are read.
    addWindow.show();
    QElapsedTimer timer;
    meter.start();
    timer.start();
    addWindow.Open();
    const double openSeconds = timer.nsecsElapsed() / 1e9;
    meter.stop();
    const double stallMs = meter.longestMs();
    // The same window again over the folder read before: what opening
    // costs beside the reading, all of it without pumping events.
    double reopenSeconds = 0;
    {
        TfmAddFilelist again(nullptr, add.context(), false);
        again.SetSource(nullptr, &folder);
        timer.restart();
        again.Open();
        reopenSeconds = timer.nsecsElapsed() / 1e9;
    }
    // Sorting the preview by a column, as a click on its header does.
    double sortMs = 0;
    for (int column = 0; column < addWindow.Model()->columnCount(); ++column) {
        timer.restart();
        addWindow.HeaderClick(column);
        sortMs = std::max(sortMs, timer.nsecsElapsed() / 1e6);
    }
    timer.restart();
    addWindow.btOKClick();
    const double addSeconds = timer.nsecsElapsed() / 1e9;
    const int files = addWindow.Files.Count();

    out << "Add window over " << Figure(count) << " files\n"
        << "  open (read, link, preview): " << Figure(openSeconds, 3) << " s, " << Figure(files) << " files\n"
        << "  longest stall of the event loop while opening: " << Figure(stallMs, 1) << " ms (goal < 50 ms)\n"
        << "  opening without reading (link, parse, sort): " << Figure(reopenSeconds * 1000, 1) << " ms\n"
        << "  sorting by a column (slowest column):        " << Figure(sortMs, 1) << " ms\n"
        << "  OK (tracks created):        " << Figure(addSeconds, 3) << " s, "
        << Figure(add.root.GetTracks()->Count()) << " tracks\n"
        << "  open and add / open:        " << Figure((openSeconds + addSeconds) / openSeconds, 2)
        << "x (goal at most 1.5x)\n";

    // Renaming and tagging 1,000 files of the tree, through their windows.
    TMp3FileItemList batch;
    for (int i = 0; i < addWindow.Files.Count() && batch.Count() < 1000; ++i)
        batch.Add(addWindow.Files.item(i));
    Setup tag;
    TfmTagFileList tagWindow(nullptr, tag.context());
    tagWindow.SetSource(&batch, nullptr);
    tagWindow.Open();
    tagWindow.ckManualEntry->setChecked(true);
    tagWindow.Field(QStringLiteral("Comment")).Check->setChecked(true);
    tagWindow.Field(QStringLiteral("Comment")).Values->setEditText(QStringLiteral("benchmark"));
    tagWindow.rgID3v1->SetItemIndex(0);
    tagWindow.rgID3v2->SetItemIndex(0);
    timer.restart();
    tagWindow.btOKClick();
    const double tagSeconds = timer.nsecsElapsed() / 1e9;

    Setup rename;
    TfmRenameFilelist renameWindow(nullptr, rename.context());
    renameWindow.SetSource(&batch, nullptr);
    renameWindow.Open();
    timer.restart();
    renameWindow.btOKClick();
    const double renameSeconds = timer.nsecsElapsed() / 1e9;

    out << "Batch windows over " << Figure(batch.Count()) << " files\n"
        << "  tag writing (both tags set): " << Figure(perSecond(batch.Count(), tagSeconds), 0) << " files/s, "
        << Figure(tagWindow.LastRun().Failed.size()) << " failed\n"
        << "  renaming:                    " << Figure(perSecond(batch.Count(), renameSeconds), 0) << " files/s, "
        << Figure(renameWindow.LastRun().Failed.size()) << " failed\n";
    return files == count ? 0 : 1;
}
