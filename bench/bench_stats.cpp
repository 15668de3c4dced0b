// Speed of the statistics window over a large collection: counting the
// tracks of each of its some 4,000 artists in order of count, and the first
// paint of the chart.
//
//   bench_stats               100,000 tracks
//   bench_stats --tracks N    another collection size

#include "benchcollection.h"
#include "core/data/fieldlists.h"
#include "core/data/lookupitems.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/output/trackstats.h"
#include "gui/output/barchart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTextStream>

namespace {

constexpr double countGoal = 0.1;
constexpr double paintGoal = 0.05;

void report(QTextStream &out, const char *what, double seconds, double processor, double goal)
{
    out << QString::fromLatin1(what).leftJustified(40) << QString::number(seconds, 'f', 4) << " s (goal < " << goal
        << " s) " << (seconds < goal ? "ok" : "MISSED") << " [processor " << QString::number(processor, 'f', 4)
        << " s, " << QString::number(seconds / goal, 'f', 2) << " of the goal]" << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int trackCount = benchTrackCount(app.arguments(), 100000);
    QTextStream out(stdout);
    TMp3Root root;
    const TBenchCollectionShape shape = fillBenchCollection(root, trackCount);
    out << "collection: " << shape.Tracks << " tracks, " << shape.Artists << " artists" << Qt::endl;
    const TDataField *artist = root.Fields->FindByID(Mp3FieldIds::Artist);

    QElapsedTimer timer;
    double processor = processorSeconds();
    timer.start();
    qint32 noValue = 0;
    const QList<TValueCount> counts = CountLookupValues(root, artist, TValueOrder::ByCount, noValue);
    report(out, "count the tracks per artist:", timer.elapsed() / 1000.0, processorSeconds() - processor, countGoal);

    processor = processorSeconds();
    timer.restart();
    TBarChart chart;
    chart.resize(800, 500);
    QList<TBarChart::TBar> bars;
    bars.reserve(counts.size());
    for (const TValueCount &count : counts)
        bars.append({count.Value->GetDisplayName(), count.Count});
    chart.SetBars(bars);
    QImage image(chart.size(), QImage::Format_RGB32);
    chart.render(&image);
    report(out, "first paint of the chart:", timer.elapsed() / 1000.0, processorSeconds() - processor, paintGoal);
    out << counts.size() << " artists, " << chart.PageCount() << " chart pages" << Qt::endl;
    return 0;
}
