// Speed of sorting a large collection by the fields a user picks, over a
// generated library of 100,000 tracks: by artist and title (a lookup and a
// text field, the common case), again when already in order, by album and
// track number, by bitrate descending and length (integers), and by file
// name.  Each figure is the best of three runs from the generated order;
// beside its processor time stands that of a sort asking the fields to
// compare each pair of tracks, and the ratio of the two.
//
//   bench_sort                 print the figures
//   bench_sort --tracks N      another collection size

#include "benchcollection.h"

#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/datalists.h"
#include "core/data/fieldrefs.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

// A user notices a wait beyond a tenth of a second.
constexpr double targetSeconds = 0.1;

struct TTiming {
    double Seconds = 1e9;
    double Processor = 1e9;
    // One sort that asks the fields to compare every pair it meets, as
    // sorting did before it took each item's values once.
    double PairwiseProcessor = 0;
};

// The best of three sorts of the tracks from the order they had when
// generated.
TTiming sortTiming(TMp3Root &root, const QList<TDataItem *> &generated,
                   std::initializer_list<std::pair<qint32, qint32>> keys, bool presorted = false)
{
    TSortFieldRefList sortFields(ListKind::MainItems, &root);
    for (const auto &[id, order] : keys)
        sortFields.Add(std::make_unique<TSortField>(root.Fields->FindByID(id), order, &sortFields));
    TTiming best;
    for (int run = 0; run < 3; ++run) {
        TDataRefList *tracks = root.GetTracks();
        if (!presorted) {
            tracks->Clear();
            for (TDataItem *track : generated)
                tracks->Add(track);
        }
        const double processor = processorSeconds();
        QElapsedTimer timer;
        timer.start();
        tracks->SortByFields(sortFields);
        best.Seconds = std::min(best.Seconds, double(timer.nsecsElapsed()) / 1e9);
        best.Processor = std::min(best.Processor, processorSeconds() - processor);
    }
    const TSortKeys sortKeys = sortFields.sortKeys();
    QList<TDataItem *> items = presorted ? QList<TDataItem *>(root.Items->begin(), root.Items->end()) : generated;
    const double processor = processorSeconds();
    std::sort(items.begin(), items.end(), [&sortKeys](const TDataItem *a, const TDataItem *b) {
        for (const TSortKey &key : sortKeys) {
            if (const int result = key.Field->Compare(a, b) * key.Order)
                return result < 0;
        }
        return a->GetID() < b->GetID();
    });
    best.PairwiseProcessor = processorSeconds() - processor;
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int trackCount = benchTrackCount(args, 100000);

    QTextStream out(stdout);
    TMp3Root root;
    const TBenchCollectionShape shape = fillBenchCollection(root, trackCount);
    out << "collection: " << shape.Tracks << " tracks, " << shape.Artists << " artists, " << shape.Albums
        << " albums" << Qt::endl;
    using namespace Mp3FieldIds;
    const QList<TDataItem *> generated(root.Items->begin(), root.Items->end());
    const auto report = [&out](const char *what, const TTiming &timing) {
        out << QString::fromLatin1(what).leftJustified(34) << QString::number(timing.Seconds, 'f', 4) << " s (target < "
            << targetSeconds << " s) " << (timing.Seconds < targetSeconds ? "ok" : "MISSED") << " [processor "
            << QString::number(timing.Processor, 'f', 3) << " s, comparing pairs "
            << QString::number(timing.PairwiseProcessor, 'f', 3) << " s: "
            << QString::number(timing.PairwiseProcessor / timing.Processor, 'f', 1) << "x]" << Qt::endl;
    };
    report("sort by artist, title:", sortTiming(root, generated, {{Artist, 1}, {Title, 1}}));
    report("again (already sorted):", sortTiming(root, generated, {{Artist, 1}, {Title, 1}}, true));
    report("sort by album, track number:", sortTiming(root, generated, {{Album, 1}, {TrackIndex, 1}}));
    report("sort by bitrate desc, length:", sortTiming(root, generated, {{Bitrate, -1}, {Length, 1}}));
    report("sort by file name:", sortTiming(root, generated, {{Filename, 1}}));
    return 0;
}
