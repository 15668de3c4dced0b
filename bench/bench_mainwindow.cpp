// The MP3 main window's disk explorer over a large folder: selecting a
// folder of 5,000 MP3 files reads them while the window keeps running, and
// the user interface must never wait longer than 50 ms at a time.  Prints
// the time until the list shows the files and the longest stall of the
// event loop, for 1 and 2 scan threads.
// Argument: the number of files of the folder.

#include "mp3builder.h"
#include "mp3tree.h"
#include "scanrun.h"

#include "core/base/settingsstore.h"
#include "core/settings/prefs.h"
#include "core/settings/shellservices.h"
#include "gui/main/mainwindow.h"
#include "gui/settings/updatewindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
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
    // Counts the time since the last tick too.
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

class NoUpdates : public TClock {
public:
    QDate Today() const override { return QDate(2026, 1, 1); }
};
class Offline : public TInternetConnection {
public:
    bool IsOnline() override { return false; }
};

bool writeFolder(const QString &folder, int count)
{
    mp3::Id3v1 tag;
    tag.title = "Benchmark Title";
    tag.artist = "Benchmark Artist";
    const QByteArray bytes = mp3::Frame().stream(40) + tag.bytes();
    for (int i = 0; i < count; ++i) {
        QFile file(QStringLiteral("%1/%2 - Song %2.mp3").arg(folder).arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const int count = BenchFileCount(argc, argv, 5000);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("flat"));
    if (!QDir().mkpath(folder) || !writeFolder(folder, count)) {
        out << "could not write the folder\n";
        return 1;
    }
    SettleAfterWriting();
    ScanTree(folder, 1);  // warms the caches of the file system

    out << "MP3 explorer: selecting a folder of " << Figure(count) << " MP3 files\n";
    for (const int threads : {1, 2}) {
        TMp3Prefs prefs{dir.filePath(QStringLiteral("Tunebase.ini"))};
        prefs.FirstRun = false;
        prefs.ScanThreads = threads;
        NoUpdates clock;
        Offline connection;
        TUpdateService updates(prefs, clock, connection);
        TfmMain window(prefs, updates);
        window.FormCreate({});
        window.LoadSettings();
        window.show();
        QCoreApplication::processEvents();
        StallMeter meter;
        QElapsedTimer timer;
        meter.start();
        timer.start();
        window.ExpandExplorerTo(folder, true);
        const double seconds = timer.nsecsElapsed() / 1e9;
        meter.stop();
        out << "  " << threads << (threads == 1 ? " thread:  " : " threads: ") << Figure(seconds, 3)
            << " s until the list shows " << window.pnCount->text() << ", longest stall of the event loop "
            << Figure(meter.longestMs(), 1) << " ms (goal < 50 ms)\n";
        window.hide();
    }
    return 0;
}
