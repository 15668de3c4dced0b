// Speed of the lookup list window over a large collection (100,000 tracks,
// about 4,100 artists and 10,000 albums from the shared generator): opening
// it on the artist list (usage counted, sorted, shown), switching to the
// albums and back, and merging two artists that 2,000 tracks use each
// (every track rewritten, the counts taken again, the list shown).
//
//   bench_lookuplists              print the figures
//   bench_lookuplists --tracks N   another collection size

#include "benchcollection.h"
#include "core/data/fieldlists.h"
#include "core/data/lookupitems.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/lookups/lookuplistwindow.h"
#include "core/settings/inisettingsstore.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void paint(TfmLookupListBase &window)
{
    window.lvList->DetailsView()->viewport()->repaint();
}

void select(TfmLookupListBase &window, TLookupItem *item)
{
    window.lvList->SelectOnly(window.RowOf(item));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const int trackCount = benchTrackCount(app.arguments(), 100000);

    TMp3Root root;
    const TBenchCollectionShape shape = fillBenchCollection(root, trackCount);
    // Two artists that 2,000 tracks use each (fewer in a small collection).
    const int share = qMin(2000, trackCount / 4);
    TLookupItem *first = root.Artists->AddNew(QStringLiteral("Lanterns"));
    TLookupItem *second = root.Artists->AddNew(QStringLiteral("The Lanterns"));
    for (int i = 0; i < 2 * share; ++i)
        root.GetTracks()->Get(i * (trackCount / (2 * share)))->Artist =
            static_cast<TPersonLookupItem *>(i % 2 ? second : first);

    QTemporaryDir dir;
    TIniSettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    const TDataField *artists = root.Fields->FindByID(Mp3FieldIds::Artist);
    const TDataField *albums = root.Fields->FindByID(Mp3FieldIds::Album);
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = processorSeconds();
    TfmLookupListBase window(nullptr, root, store);
    window.SetInitialField(artists);
    window.resize(900, 600);
    window.show();
    paint(window);
    const double openMs = msSince(timer);
    const double openCpuMs = (processorSeconds() - cpuBefore) * 1000;

    timer.restart();
    window.ChooseList(albums);
    paint(window);
    const double toAlbumsMs = msSince(timer);
    timer.restart();
    window.ChooseList(artists);
    paint(window);
    const double toArtistsMs = msSince(timer);

    select(window, second);
    window.acMergeFrom->trigger();
    select(window, first);
    timer.restart();
    window.acMergeTo->trigger();
    paint(window);
    const double mergeMs = msSince(timer);
    int merged = 0;
    for (int i = 0; i < root.GetTracks()->Count(); ++i)
        merged += root.GetTracks()->Get(i)->Artist == first ? 1 : 0;

    out << "Lookup list window, " << shape.Tracks << " tracks, " << root.Artists->Count() + 1 << " artists, "
        << shape.Albums << " albums (goal for each: well under 1 s)\n";
    out << QStringLiteral("  open on the artists:        %1 ms (processor %2 ms)\n")
               .arg(openMs, 0, 'f', 1)
               .arg(openCpuMs, 0, 'f', 1);
    out << QStringLiteral("  switch to the albums:       %1 ms\n").arg(toAlbumsMs, 0, 'f', 1);
    out << QStringLiteral("  switch back to the artists: %1 ms\n").arg(toArtistsMs, 0, 'f', 1);
    out << QStringLiteral("  merge two artists of %1 tracks each: %2 ms (%3 tracks now on the target)\n")
               .arg(share)
               .arg(mergeMs, 0, 'f', 1)
               .arg(merged);
    return 0;
}
