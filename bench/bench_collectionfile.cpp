// Speed and size of saving and opening a large collection: 100,000 tracks
// with 5,000 artists, 2,000 albums and a few genres each, saved to a
// temporary file and read back.

#include "data/collectionfile.h"
#include "mp3model/mp3root.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int trackCount = 100000;
constexpr int artistCount = 5000;
constexpr int albumCount = 2000;

template<typename Item>
Item *pick(const TLookupList &list, QRandomGenerator &generator)
{
    return static_cast<Item *>(list.Get(int(generator.bounded(list.Count()))));
}

void fill(TMp3Root &root)
{
    QRandomGenerator generator(11);
    for (int i = 0; i < artistCount; ++i)
        root.Artists->AddNew(QStringLiteral("Artist %1").arg(i));
    for (int i = 0; i < albumCount; ++i)
        root.Albums->AddNew(QStringLiteral("Album %1").arg(i));
    for (int i = 0; i < 40; ++i)
        root.GenreList->AddNew(QStringLiteral("Genre %1").arg(i));
    root.GetTracks()->SetCapacity(trackCount);
    for (int i = 0; i < trackCount; ++i) {
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->Index = i + 1;
        track->Title = QStringLiteral("Track title number %1").arg(i);
        track->Artist = pick<TPersonLookupItem>(*root.Artists, generator);
        track->Album = pick<TAlbumLookupItem>(*root.Albums, generator);
        track->Year = pick<TLookupItem>(*root.Years, generator);
        for (int g = 0; g < 2; ++g)
            track->Genres->Add(pick<TLookupItem>(*root.GenreList, generator));
        track->FilePath = QStringLiteral("/home/someone/Music/Artist %1/Album/%2.mp3").arg(i % artistCount).arg(i);
        track->Size = int(generator.bounded(1000000, 12000000));
        track->Length = int(generator.bounded(30, 600));
        track->Bitrate = 128;
        track->SampleRate = 44100;
    }
    root.NextIndex = trackCount + 1;
}

} // namespace

int main()
{
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.tbx"));

    TMp3Root root;
    fill(root);
    QElapsedTimer timer;
    timer.start();
    const TCollectionSaveResult saved = saveCollection(root, file);
    const double saveSeconds = double(timer.nsecsElapsed()) / 1e9;
    if (!saved.Saved) {
        out << "save failed: " << saved.Message << "\n";
        return 1;
    }

    TMp3Root loaded;
    timer.restart();
    const TCollectionLoadResult load = loadCollection(loaded, file);
    const double loadSeconds = double(timer.nsecsElapsed()) / 1e9;
    if (!load.opened() || loaded.GetTracks()->Count() != trackCount) {
        out << "open failed: " << load.Message << "\n";
        return 1;
    }

    out << "tracks: " << trackCount << "\n"
        << "file size: " << QFileInfo(file).size() / 1024 << " KB\n"
        << "save: " << QString::number(saveSeconds, 'f', 3) << " s\n"
        << "open: " << QString::number(loadSeconds, 'f', 3) << " s\n";
    return 0;
}
