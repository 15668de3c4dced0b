// Speed of the explorer window over a large collection: 100,000 tracks by
// 5,000 artists on 12,000 albums in 40 genres and 6 locations, one artist
// ("Various Artists") with 10,000 tracks, all on one album.  Grouped by
// Artist, then Album, it measures how soon the window shows the first tree
// level and its list, expanding and selecting the big artist, selecting the
// 10,000-track album, and how many rows the list builds while it is
// scrolled through page by page.
//
//   bench_explorer                 print the figures
//   bench_explorer --write FILE    write the generated collection and end
//   bench_explorer --tracks N ...  another collection size

#include "benchcollection.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/explorer/explorertreeview.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/prefs.h"
#include "core/settings/shellservices.h"
#include "gui/settings/updatewindow.h"
#include "gui/shell/mainbase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int artistCount = 5000;
constexpr int albumsPerArtist = 2;
constexpr int genreCount = 40;
constexpr int variousTracks = 10000;
const char *const locations[] = {"Music", "Archive", "Laptop", "Car", "Studio", "Backup"};

template <typename T>
T *lookup(TLookupList &list, const QString &name)
{
    return static_cast<T *>(list.AddNew(name));
}

void generate(TMp3Root &root, int trackCount)
{
    QRandomGenerator random(2024);
    QList<TPersonLookupItem *> artists;
    QList<TAlbumLookupItem *> albums;
    for (int i = 0; i < artistCount; ++i) {
        artists << lookup<TPersonLookupItem>(*root.Artists, QStringLiteral("Artist %1 %2").arg(QChar(u'A' + i % 26)).arg(i));
        for (int j = 0; j < albumsPerArtist; ++j)
            albums << lookup<TAlbumLookupItem>(*root.Albums, QStringLiteral("Album %1-%2").arg(i).arg(j));
    }
    auto *various = lookup<TPersonLookupItem>(*root.Artists, QStringLiteral("Various Artists"));
    auto *archive = lookup<TAlbumLookupItem>(*root.Albums, QStringLiteral("Complete Archive"));
    QList<TLookupItem *> genres;
    for (int i = 0; i < genreCount; ++i)
        genres << root.GenreList->AddNew(QStringLiteral("Genre %1").arg(i));
    QList<TLocationLookupItem *> places;
    for (const char *name : locations)
        places << lookup<TLocationLookupItem>(*root.Locations, QLatin1String(name));

    root.GetTracks()->SetCapacity(trackCount);
    for (int i = 0; i < trackCount; ++i) {
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        const bool isVarious = i < variousTracks && i < trackCount / 10;
        const int artist = int(random.bounded(artistCount));
        track->Artist = isVarious ? various : artists.at(artist);
        track->Album = isVarious ? archive : albums.at(artist * albumsPerArtist + int(random.bounded(albumsPerArtist)));
        track->Genres->Add(genres.at(int(random.bounded(genreCount))));
        track->Location = places.at(int(random.bounded(int(std::size(locations)))));
        track->Title = QStringLiteral("Song %1").arg(random.bounded(100000));
        track->FilePath = QStringLiteral("/music/%1/track%2.mp3").arg(artist).arg(i);
        track->Length = int(random.bounded(60, 600));
        track->Size = track->Length * 16000;
        track->Bitrate = 128;
        track->TrackIndex = i % 20 + 1;
    }
}

class Offline : public TInternetConnection {
public:
    bool IsOnline() override { return false; }
};

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

TExplorerNode *childNamed(const TExplorerNode *node, const QString &text)
{
    for (const auto &child : node->Children) {
        if (child->Text == text)
            return child.get();
    }
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const int trackCount = benchTrackCount(args, 100000);

    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("large.tbx"));
    const int writeAt = int(args.indexOf(QStringLiteral("--write")));
    if (writeAt > 0 && writeAt + 1 < args.size())
        file = args.at(writeAt + 1);
    {
        TMp3Root root;
        generate(root, trackCount);
        if (!root.SaveToFile(file)) {
            out << "could not write " << file << Qt::endl;
            return 1;
        }
    }
    if (writeAt > 0) {
        out << trackCount << " tracks written to " << file << Qt::endl;
        return 0;
    }

    TMp3Prefs prefs(dir.filePath(QStringLiteral("settings.ini")));
    prefs.FirstRun = false;
    prefs.CurrentDatabase.clear();
    prefs.NrDaysBetweenUpdateChecks = -1;
    prefs.Store().WriteInteger(QStringLiteral("fmMain"), QStringLiteral("GroupFieldPreset"), 2); // Artist / Album
    TSystemClock clock;
    Offline connection;
    TUpdateService updates(prefs, clock, connection);
    TfmMainBase window(prefs, updates);
    window.FormCreate({});
    window.LoadSettings();
    window.ItemSortFields->FreeAll();
    window.ItemSortFields->Add(std::make_unique<TSortField>(window.Root()->Fields->FindByID(Mp3FieldIds::Title), 1,
                                              window.ItemSortFields.get()));
    window.resize(1000, 700);
    window.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    {
        TMp3Root alone;
        if (!alone.LoadFromFile(file)) {
            out << "could not read " << file << Qt::endl;
            return 1;
        }
    }
    const double loadMs = msSince(timer);
    // Open: the file is read, then the tree's first level and the list are
    // built and painted.
    timer.restart();
    window.OpenCollection(file);
    window.lvMain->DetailsView()->viewport()->repaint();
    window.tvMain->viewport()->repaint();
    const double openMs = msSince(timer);
    // The window's own part of that, once more on the loaded collection.
    timer.restart();
    window.ResetState();
    window.RebuildTree();
    window.RestoreState(nullptr, true);
    window.UpdateActions();
    window.lvMain->DetailsView()->viewport()->repaint();
    window.tvMain->viewport()->repaint();
    const double firstLevelMs = msSince(timer);

    TExplorerNode *various = childNamed(window.RootNode, QStringLiteral("Various Artists"));
    timer.restart();
    window.ExpandNode(various);
    window.tvMain->viewport()->repaint();
    const double expandMs = msSince(timer);
    timer.restart();
    window.SelectNode(various);
    window.lvMain->DetailsView()->viewport()->repaint();
    const double selectArtistMs = msSince(timer);
    TExplorerNode *archive = childNamed(various, QStringLiteral("Complete Archive"));
    timer.restart();
    window.SelectNode(archive);
    window.lvMain->DetailsView()->viewport()->repaint();
    const double selectAlbumMs = msSince(timer);
    const int albumRows = window.ListModel()->rowCount();
    // Page through the whole list and count the rows whose texts were made.
    QTableView *view = window.lvMain->DetailsView();
    window.ListModel()->SetTraceRows(true);
    QScrollBar *bar = view->verticalScrollBar();
    int pages = 0;
    timer.restart();
    for (int value = bar->minimum(); value <= bar->maximum(); value += bar->pageStep()) {
        bar->setValue(value);
        view->viewport()->repaint();
        ++pages;
    }
    const double scrollMs = msSince(timer);
    const int visibleRows = view->viewport()->height() / view->verticalHeader()->defaultSectionSize() + 1;

    out << "tracks: " << trackCount << ", artists: " << artistCount + 1 << ", grouped by Artist / Album" << Qt::endl;
    out << "read the collection file alone:           " << loadMs << " ms" << Qt::endl;
    out << "open it in the window:                    " << openMs << " ms" << Qt::endl;
    out << "first tree level and list, once read:     " << firstLevelMs << " ms (goal 300)" << Qt::endl;
    out << "expand 'Various Artists' (10,000 tracks): " << expandMs << " ms (goal 100)" << Qt::endl;
    out << "select 'Various Artists':                 " << selectArtistMs << " ms (goal 100)" << Qt::endl;
    out << "select its album, " << albumRows << " tracks:          " << selectAlbumMs << " ms (goal 100)" << Qt::endl;
    out << "scroll through " << pages << " pages:                  " << scrollMs << " ms, rows built "
        << window.ListModel()->RowsBuilt() << " of " << albumRows << " (at most " << pages * visibleRows
        << " painted)" << Qt::endl;
    return 0;
}
