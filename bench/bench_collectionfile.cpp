// Speed and memory of opening and saving a large collection: a generated
// library of 100,000 tracks is written once, then opened, and opened and
// saved again, each in a process of its own so that its peak memory is its
// own.  Times are the best of three runs; the processor time beside them
// is what the work cost, whatever else the machine was doing.
//
//   bench_collectionfile                  print the figures
//   bench_collectionfile --tracks N       another collection size
//   bench_collectionfile --write FILE     write the generated collection and end
//   bench_collectionfile --open FILE      (child) open; prints seconds and MB
//   bench_collectionfile --resave FILE TO (child) open and save; prints the same

#include "benchcollection.h"

#include "core/data/collectionfile.h"
#include "core/mp3model/mp3root.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double targetSeconds = 0.3;
constexpr double targetMB = 150.0;
constexpr int runs = 3;

double secondsSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

int writeGenerated(const QString &file, int trackCount)
{
    TMp3Root root;
    const TBenchCollectionShape shape = fillBenchCollection(root, trackCount);
    const double generatedMB = peakMemoryMB();
    QElapsedTimer timer;
    timer.start();
    const TCollectionSaveResult saved = saveCollection(root, file);
    if (!saved.Saved) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(saved.Message));
        return 1;
    }
    std::printf("%d %d %d %d %.3f %.1f\n", shape.Tracks, shape.Artists, shape.Albums, shape.Genres,
                secondsSince(timer), generatedMB);
    return 0;
}

// Opens file; with saveTo also saves it there.  Prints the seconds of the
// open, of the save, and the peak memory.
int openAndSave(const QString &file, const QString &saveTo)
{
    TMp3Root root;
    QElapsedTimer timer;
    double cpu = processorSeconds();
    timer.start();
    const TCollectionLoadResult load = loadCollection(root, file);
    const double openSeconds = secondsSince(timer);
    const double openCpu = processorSeconds() - cpu;
    if (!load.opened() || load.Recovered) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(load.Message));
        return 1;
    }
    double saveSeconds = 0;
    double saveCpu = 0;
    if (!saveTo.isEmpty()) {
        cpu = processorSeconds();
        timer.restart();
        const TCollectionSaveResult saved = saveCollection(root, saveTo);
        saveSeconds = secondsSince(timer);
        saveCpu = processorSeconds() - cpu;
        if (!saved.Saved) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(saved.Message));
            return 1;
        }
    }
    const double peakMB = peakMemoryMB();
    // Closing: what opening another collection costs first.
    cpu = processorSeconds();
    timer.restart();
    root.Clear();
    const double closeSeconds = secondsSince(timer);
    const double closeCpu = processorSeconds() - cpu;
    std::printf("%.4f %.4f %.1f %.4f %.4f %.4f %.4f\n", openSeconds, saveSeconds, peakMB, openCpu, saveCpu,
                closeSeconds, closeCpu);
    std::fflush(stdout);
    // The rest of the collection is of no interest.
    std::_Exit(0);
    return 0;
}

// Runs this program with arguments and returns the numbers it printed.
QList<double> runChild(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "child %s failed\n", qPrintable(arguments.join(u' ')));
        std::exit(1);
    }
    QList<double> numbers;
    for (const QByteArray &part : child.readAllStandardOutput().simplified().split(' '))
        numbers << part.toDouble();
    return numbers;
}

QString verdict(double value, double target)
{
    return value < target ? QStringLiteral("ok") : QStringLiteral("MISSED");
}

bool sameBytes(const QString &a, const QString &b)
{
    QFile fileA(a);
    QFile fileB(b);
    return fileA.open(QIODevice::ReadOnly) && fileB.open(QIODevice::ReadOnly) && fileA.readAll() == fileB.readAll();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int trackCount = benchTrackCount(args, 100000);
    if (args.size() >= 3 && args.at(1) == QStringLiteral("--write"))
        return writeGenerated(args.at(2), trackCount);
    if (args.size() >= 3 && args.at(1) == QStringLiteral("--open"))
        return openAndSave(args.at(2), QString());
    if (args.size() >= 4 && args.at(1) == QStringLiteral("--resave"))
        return openAndSave(args.at(2), args.at(3));

    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.tbx"));
    const QString copy = dir.filePath(QStringLiteral("copy.tbx"));
    const QList<double> written = runChild({QStringLiteral("--write"), file, QStringLiteral("--tracks"), QString::number(trackCount)});
    out << "collection: " << int(written[0]) << " tracks, " << int(written[1]) << " artists, " << int(written[2])
        << " albums, " << int(written[3]) << " genres; file " << QString::number(double(QFileInfo(file).size()) / 1e6, 'f', 1)
        << " MB" << Qt::endl;
    out << "generated in memory: " << QString::number(written[5], 'f', 0) << " MB peak, first save "
        << QString::number(written[4], 'f', 3) << " s" << Qt::endl;

    double open = 1e9, openMB = 0, openCpu = 1e9, save = 1e9, saveMB = 0, saveCpu = 1e9, close = 1e9, closeCpu = 1e9;
    for (int i = 0; i < runs; ++i) {
        const QList<double> opened = runChild({QStringLiteral("--open"), file});
        open = std::min(open, opened[0]);
        openMB = std::max(openMB, opened[2]);
        openCpu = std::min(openCpu, opened[3]);
        close = std::min(close, opened[5]);
        closeCpu = std::min(closeCpu, opened[6]);
        const QList<double> saved = runChild({QStringLiteral("--resave"), file, copy});
        save = std::min(save, saved[1]);
        saveMB = std::max(saveMB, saved[2]);
        saveCpu = std::min(saveCpu, saved[4]);
    }
    const auto seconds = [](double value) { return QString::number(value, 'f', 3); };
    const auto megabytes = [](double value) { return QString::number(value, 'f', 0); };
    out << "open:  " << seconds(open) << " s (target < " << targetSeconds << " s) " << verdict(open, targetSeconds)
        << " [processor " << seconds(openCpu) << " s], peak memory " << megabytes(openMB) << " MB (target < " << targetMB << " MB) " << verdict(openMB, targetMB)
        << Qt::endl;
    out << "save:  " << seconds(save) << " s (target < " << targetSeconds << " s) " << verdict(save, targetSeconds)
        << " [processor " << seconds(saveCpu) << " s], peak memory of open and save " << megabytes(saveMB) << " MB (target < " << targetMB << " MB) "
        << verdict(saveMB, targetMB) << Qt::endl;
    out << "close: " << seconds(close) << " s [processor " << seconds(closeCpu)
        << " s], before another collection opens" << Qt::endl;
    out << "saved again byte for byte: " << (sameBytes(file, copy) ? "yes" : "NO") << Qt::endl;
    return 0;
}
