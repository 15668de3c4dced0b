// Speed of sorting a large collection by the fields a user picks, over a
// generated library of 100,000 tracks: by artist and title (a lookup and a
// text field, the common case), again when already in order, by album and
// track number, by bitrate descending and length (integers), and by file
// name.
//
//   bench_sort                 print the figures
//   bench_sort --tracks N      another collection size

#include "benchcollection.h"

#include "data/datafield.h"
#include "data/fieldlists.h"
#include "data/fieldrefs.h"
#include "mp3model/mp3fieldids.h"
#include "mp3model/mp3root.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <initializer_list>
#include <utility>

namespace {

// A user notices a wait beyond a tenth of a second.
constexpr double targetSeconds = 0.1;

double sortSeconds(TMp3Root &root, std::initializer_list<std::pair<qint32, qint32>> keys)
{
    TSortFieldRefList sortFields(ListKind::MainItems, &root);
    for (const auto &[id, order] : keys)
        sortFields.Add(new TSortField(root.Fields->FindByID(id), order, &sortFields));
    QElapsedTimer timer;
    timer.start();
    root.GetTracks()->SortByFields(sortFields);
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    int trackCount = 100000;
    if (const qsizetype at = args.indexOf(QStringLiteral("--tracks")); at > 0 && at + 1 < args.size())
        trackCount = args.at(at + 1).toInt();

    QTextStream out(stdout);
    TMp3Root root;
    const TBenchCollectionShape shape = fillBenchCollection(root, trackCount);
    out << "collection: " << shape.Tracks << " tracks, " << shape.Artists << " artists, " << shape.Albums
        << " albums" << Qt::endl;
    using namespace Mp3FieldIds;
    const auto report = [&out](const char *what, double seconds) {
        out << QString::fromLatin1(what).leftJustified(34) << QString::number(seconds, 'f', 4) << " s (target < "
            << targetSeconds << " s) " << (seconds < targetSeconds ? "ok" : "MISSED") << Qt::endl;
    };
    report("sort by artist, title:", sortSeconds(root, {{Artist, 1}, {Title, 1}}));
    report("again (already sorted):", sortSeconds(root, {{Artist, 1}, {Title, 1}}));
    report("sort by album, track number:", sortSeconds(root, {{Album, 1}, {TrackIndex, 1}}));
    report("sort by bitrate desc, length:", sortSeconds(root, {{Bitrate, -1}, {Length, 1}}));
    report("sort by file name:", sortSeconds(root, {{Filename, 1}}));
    return 0;
}
