#include "safetyfixtures.h"

#include "core/mp3model/mp3root.h"

namespace safety {

void fillCollection(TMp3Root &root, int tracks, int seed)
{
    auto *location = static_cast<TLocationLookupItem *>(root.Locations->FindOrAdd(QStringLiteral("Music")));
    for (int i = 0; i < tracks; ++i) {
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        root.GetTracks()->AssignNextIndex(track);
        root.IncrementNextIndex();
        const QString artist = QStringLiteral("Artist %1-%2").arg(seed).arg(i % 997);
        track->Title = QStringLiteral("Title %1 of seed %2").arg(i).arg(seed);
        track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(artist));
        track->Album = static_cast<TAlbumLookupItem *>(
            root.Albums->FindOrAdd(QStringLiteral("Album %1-%2").arg(seed).arg(i % 1999)));
        track->Genres->Add(root.GenreList->FindOrAdd(QStringLiteral("Genre %1").arg(i % 31)));
        track->Notes = QStringLiteral("Notes on track %1, seed %2: %3").arg(i).arg(seed).arg(QString(i % 50, u'n'));
        track->FilePath = QStringLiteral("/music/%1/%2 - track %3.mp3").arg(seed).arg(artist).arg(i);
        track->Location = location;
        track->TrackIndex = i % 20 + 1;
        track->Size = 3'000'000 + i;
        track->Length = 180 + i % 120;
        track->Bitrate = 128;
        track->SampleRate = 44100;
        track->Layer = 3;
        track->Frames = 7000 + i;
    }
}

QByteArray audioFrames(int count, const mp3::Frame &frame, quint32 seed)
{
    const QByteArray header = frame.header();
    QByteArray audio;
    audio.reserve(qsizetype(count) * frame.length());
    for (int i = 0; i < count; ++i)
        audio += header + mp3::randomBytes(frame.length() - header.size(), seed + quint32(i));
    return audio;
}

TPlayListRecords playListRecords(int count)
{
    TPlayListRecords records;
    for (int i = 0; i < count; ++i)
        records.append({QStringLiteral("/music/Artist %1/Song %1.mp3").arg(i), QStringLiteral("Song %1").arg(i), 200 + i});
    return records;
}

} // namespace safety
