#include "benchcollection.h"

#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3root.h"

#include <QRandomGenerator>
#include <QStringList>

#include <sys/resource.h>

#include <array>

namespace {

const std::array syllables = {"ka", "lo", "mi", "ran", "tes", "vor", "bel", "dun", "el", "sa", "ri", "no",
                              "tha", "gre", "mor", "lin", "que", "stra", "po", "ve", "an", "dor", "is",
                              "ken", "wal", "ter", "ma", "son", "bri", "gid", "ow", "en", "har", "ly"};
const std::array accented = {u"é", u"ö", u"ø", u"å", u"ñ", u"ü", u"á", u"ç"};
const std::array kana = {u"さくら", u"ひかり", u"そら", u"ゆめ", u"かぜ", u"ほし", u"うみ", u"つき"};
const std::array words = {"Love", "Night", "River", "Light", "Heart", "Summer", "Blue", "Dance", "Fire",
                          "Rain", "Home", "Road", "Dream", "Shadow", "Morning", "Gold", "Stone", "Wild",
                          "Silent", "Broken", "Sweet", "Lonely", "Electric", "Midnight", "Song", "Waltz",
                          "Blues", "Train", "City", "Sea", "Sky", "Time", "Way", "World", "Girl", "Angel",
                          "Moon", "Sun", "Star", "Kiss", "Tears", "Memory", "Winter", "Garden", "Highway",
                          "Paradise", "Mirror", "Thunder", "Whisper", "Ocean", "Fever", "Echo", "Harbour"};
const std::array genres = {"Rock", "Pop", "Jazz", "Blues", "Classical", "Country", "Folk", "Soul", "Funk",
                           "Reggae", "Hip-Hop", "Electronic", "House", "Techno", "Ambient", "Metal",
                           "Punk", "Indie", "Alternative", "R&B", "Gospel", "Latin", "Bossa Nova", "Ska",
                           "Trance", "Drum & Bass", "Chanson", "Singer-Songwriter", "Soundtrack", "World",
                           "New Wave", "Disco", "Swing", "Bluegrass", "Opera", "Chamber Music", "Baroque",
                           "Grunge", "Shoegaze", "Trip-Hop", "Dub", "Afrobeat", "Flamenco", "Fado",
                           "Tango", "Celtic", "Krautrock", "Post-Rock", "Lo-Fi", "Easy Listening"};
const std::array albumStock = {"Greatest Hits", "Live", "Best Of", "Unplugged", "Demos", "Rarities"};
const std::array notes = {"Ripped from CD", "Bought on vinyl, digitised in 2009", "Live recording",
                          "Remastered edition", "Bonus track", "From the radio session",
                          "Gift from a friend", "Needs new tags"};
const std::array encoders = {"LAME 3.100", "LAME 3.99.5", "iTunes 12.9", "Exact Audio Copy", "FhG"};
const std::array bitrates = {128, 160, 192, 224, 256, 320};

class TGenerator {
public:
    TGenerator(TMp3Root &root, quint32 seed) : m_root(root), m_random(seed) {}

    TBenchCollectionShape fill(int trackCount);

private:
    int number(int low, int high) { return int(m_random.bounded(low, high + 1)); }
    bool chance(int percent) { return int(m_random.bounded(100)) < percent; }
    template<typename Array> auto pickFrom(const Array &array) { return array[m_random.bounded(quint32(array.size()))]; }

    QString word();
    QString personName();
    QString bandName();
    QString title(int minWords, int maxWords);
    QString textOfWords(int count, const QString &separator);
    void addPeople();
    void addAlbum(TPersonLookupItem *artist, const QList<TLookupItem *> &artistGenres, int trackCount);
    void fillTechnical(TMp3Track &track);

    TMp3Root &m_root;
    QRandomGenerator m_random;
    QList<TPersonLookupItem *> m_artists;
    QList<TPersonLookupItem *> m_composers;
    QList<TSortLookupItem *> m_labels;
    QList<TLocationLookupItem *> m_locations;
    QList<TLookupItem *> m_genres;
    int m_tracks = 0;
    int m_albums = 0;
};

QString TGenerator::word()
{
    QString text;
    const int count = number(2, 3);
    for (int i = 0; i < count; ++i)
        text += QLatin1String(pickFrom(syllables));
    if (chance(8))
        text.replace(number(1, int(text.size()) - 1), 1, QString::fromUtf16(pickFrom(accented)));
    text[0] = text[0].toUpper();
    return text;
}

QString TGenerator::personName()
{
    if (chance(2))
        return QString::fromUtf16(pickFrom(kana)) + QString::fromUtf16(pickFrom(kana)) + QString::fromUtf16(pickFrom(kana));
    return word() + QLatin1Char(' ') + word();
}

QString TGenerator::bandName()
{
    if (chance(30))
        return QStringLiteral("The ") + QLatin1String(pickFrom(words)) + QLatin1String(pickFrom(syllables)) + u's';
    if (chance(2))
        return QString::fromUtf16(pickFrom(kana)) + QString::fromUtf16(pickFrom(kana)) + QStringLiteral(" Band");
    return word() + QLatin1Char(' ') + QLatin1String(pickFrom(words));
}

QString TGenerator::textOfWords(int count, const QString &separator)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << (chance(20) ? word() : QString::fromLatin1(pickFrom(words)));
    return parts.join(separator);
}

QString TGenerator::title(int minWords, int maxWords)
{
    QString text = textOfWords(number(minWords, maxWords), QStringLiteral(" "));
    if (chance(5))
        text += QStringLiteral(" (Live)");
    return text;
}

void TGenerator::addPeople()
{
    for (int i = 0; i < 2000; ++i) {
        auto *composer = static_cast<TPersonLookupItem *>(m_root.Composers->FindOrAdd(personName()));
        if (!m_composers.contains(composer))
            m_composers << composer;
    }
    for (int i = 0; i < 300; ++i)
        m_labels << static_cast<TSortLookupItem *>(m_root.Labels->FindOrAdd(word() + QStringLiteral(" Records")));
    for (const char *name : {"Music", "External disk", "Laptop"})
        m_locations << static_cast<TLocationLookupItem *>(m_root.Locations->FindOrAdd(QLatin1String(name)));
    for (const char *name : genres)
        m_genres << m_root.GenreList->FindOrAdd(QLatin1String(name));
}

void TGenerator::fillTechnical(TMp3Track &track)
{
    track.Length = number(90, 420);
    track.VBR = chance(30);
    track.Bitrate = track.VBR ? number(170, 260) : pickFrom(bitrates);
    track.SampleRate = chance(90) ? 44100 : 48000;
    track.MpegVersion = 0;
    track.Layer = 3;
    track.Mode = quint8(number(0, 3));
    track.Frames = int(qint64(track.Length) * track.SampleRate / 1152);
    track.HeaderPosition = chance(20) ? 0 : number(1024, chance(10) ? 400000 : 60000);
    track.Size = track.Length * track.Bitrate * 125 + track.HeaderPosition;
    track.Copyrighted = chance(10);
    track.Original = chance(50);
}

void TGenerator::addAlbum(TPersonLookupItem *artist, const QList<TLookupItem *> &artistGenres, int trackCount)
{
    const bool compilation = chance(5);
    const QString albumName = chance(10) ? QString::fromLatin1(pickFrom(albumStock)) : title(1, 4);
    auto *album = static_cast<TAlbumLookupItem *>(m_root.Albums->FindOrAdd(albumName));
    TLookupItem *year = m_root.Years->FindOrAdd(QString::number(number(1955, 2024)));
    TSortLookupItem *label = chance(40) ? m_labels.at(number(0, int(m_labels.size()) - 1)) : nullptr;
    TLocationLookupItem *location = m_locations.at(chance(80) ? 0 : number(1, 2));
    const QString encoder = chance(60) ? QString::fromLatin1(pickFrom(encoders)) : QString();
    const int disks = chance(5) ? 2 : 1;
    const QString folder = QStringLiteral("/home/listener/Music/%1/%2/")
                               .arg(compilation ? QStringLiteral("Compilations") : artist->DisplayName, albumName);
    ++m_albums;
    for (int i = 0; i < trackCount; ++i) {
        auto *track = static_cast<TMp3Track *>(m_root.GetTracks()->CreateItem());
        track->Index = ++m_tracks;
        track->Title = title(1, 6);
        track->Artist = compilation ? m_artists.at(number(0, int(m_artists.size()) - 1)) : artist;
        track->Album = album;
        track->Year = year;
        track->Label = label;
        track->Location = location;
        track->EncodedBy = encoder;
        for (TLookupItem *genre : artistGenres) {
            if (track->Genres->isEmpty() || chance(50))
                track->Genres->Add(genre);
        }
        if (chance(25))
            track->Composer = m_composers.at(number(0, int(m_composers.size()) - 1));
        if (chance(35))
            track->Notes = chance(50) ? QString::fromLatin1(pickFrom(notes)) : textOfWords(number(5, 20), QStringLiteral(" "));
        if (chance(1))
            track->Lyrics = textOfWords(number(60, 250), QStringLiteral("\n"));
        if (chance(20))
            track->BPM = number(60, 180);
        track->DiskIndex = disks > 1 ? 1 + i * disks / trackCount : 0;
        track->TrackIndex = i + 1;
        track->FilePath = folder + QStringLiteral("%1 - %2.mp3").arg(i + 1, 2, 10, QLatin1Char('0')).arg(track->Title);
        fillTechnical(*track);
    }
}

TBenchCollectionShape TGenerator::fill(int trackCount)
{
    addPeople();
    m_root.GetTracks()->SetCapacity(trackCount);
    // Artists are made as their tracks are, so the library grows as a real
    // one: a few albums each, of about a dozen tracks.
    while (m_tracks < trackCount) {
        const QString name = chance(50) ? personName() : bandName();
        auto *artist = static_cast<TPersonLookupItem *>(m_root.Artists->FindOrAdd(name));
        if (!m_artists.contains(artist))
            m_artists << artist;
        QList<TLookupItem *> artistGenres;
        const int genreCount = number(1, 3);
        while (artistGenres.size() < genreCount) {
            TLookupItem *genre = m_genres.at(number(0, int(m_genres.size()) - 1));
            if (!artistGenres.contains(genre))
                artistGenres << genre;
        }
        const int albums = number(1, 3);
        for (int i = 0; i < albums && m_tracks < trackCount; ++i)
            addAlbum(artist, artistGenres, std::min(number(6, 18), trackCount - m_tracks));
    }
    // Names of people as a user keeps them: first and last name apart.
    for (TLookupList *list : {static_cast<TLookupList *>(m_root.Artists.get()), static_cast<TLookupList *>(m_root.Composers.get())}) {
        for (int i = 0; i < list->Count(); ++i)
            list->Get(i)->GenerateNamePartsFromName();
        list->sortBySortName();
    }
    m_root.NextIndex = m_tracks + 1;
    return {int(m_root.Artists->Count()), m_albums, int(m_root.GenreList->Count()), m_tracks};
}

} // namespace

TBenchCollectionShape fillBenchCollection(TMp3Root &root, int trackCount, quint32 seed)
{
    return TGenerator(root, seed).fill(trackCount);
}

int benchTrackCount(const QStringList &args, int fallback)
{
    const qsizetype at = args.indexOf(QStringLiteral("--tracks"));
    return at > 0 && at + 1 < args.size() ? qMax(1, args.at(at + 1).toInt()) : fallback;
}

double peakMemoryMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
