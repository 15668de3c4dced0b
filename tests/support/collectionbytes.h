#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

// The fifteen lookup lists of an MP3 collection, in file order.
namespace Mp3FileLists {
enum : int {
    Artists, OriginalArtists, Lyricists, Conductors, Composers, Genres, Labels, Orchestras,
    Years, Tempos, Moods, Situations, Preferences, Locations, Albums, Count
};
} // namespace Mp3FileLists

// The thirteen single lookup references of a track record, in file order.
namespace Mp3TrackRefs {
enum : int {
    Artist, OriginalArtist, Lyricist, Conductor, Composer, Album, Year, Tempo, Mood, Situation,
    Preference, Label, Orchestra, Count
};
} // namespace Mp3TrackRefs

// The values of one MP3 track record; every member has a plain default.
struct TTrackRecord {
    qint32 ID = 0;
    qint32 Index = 1;
    QString Title;
    QString TitleSort;
    QString TitleThe;
    QString SubTitle;
    std::array<qint32, Mp3TrackRefs::Count> References{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    QList<qint32> Genres;
    // Notes, Biography, Lyrics, EncodedBy, CopyrightBy, AudioURL, ArtistURL,
    // GeneralURL.
    QStringList Texts{{}, {}, {}, {}, {}, {}, {}, {}};
    qint32 TrackIndex = 0;
    qint32 DiskIndex = 0;
    qint32 BPM = 0;
    qint32 LocationID = -1;
    QString FilePath;
    qint32 Size = 0;
    qint32 Length = 0;
    qint32 MpegVersion = 0;
    qint32 Layer = 3;
    qint32 Mode = 0;
    qint32 Bitrate = 128;
    qint32 Frames = 0;
    qint32 HeaderPosition = 0;
    qint32 SampleRate = 44100;
    bool VBR = false;
    bool CRCs = false;
    bool Copyrighted = false;
    bool Original = false;
    qint32 Emphasis = 0;
};

// Builds collection file bytes by hand, value by value, independently of the
// program's writer, so that tests can state exactly what a file holds
// (including forms and versions the program no longer writes).
class TCollectionBytes {
public:
    TCollectionBytes &integer(qint32 value);           // smallest form
    TCollectionBytes &int32(qint32 value);             // always the 4-byte form
    TCollectionBytes &string(const QString &text);     // UTF-8
    TCollectionBytes &rawString(const QByteArray &bytes);
    TCollectionBytes &scrambled(const QString &text);  // UTF-8, scrambled
    TCollectionBytes &rawScrambled(const QByteArray &bytes);
    TCollectionBytes &boolean(bool value);
    TCollectionBytes &date(double value);
    TCollectionBytes &list();                          // start of a list
    TCollectionBytes &end();                           // end of a list
    TCollectionBytes &bytes(const QByteArray &raw);

    // The file header: marker, type, format version, data version.
    TCollectionBytes &header(qint32 formatVersion, qint32 dataVersion, const QString &type = QStringLiteral("MP3"));
    // The reserved block as the program writes it.
    TCollectionBytes &reservedBlock();
    TCollectionBytes &track(const TTrackRecord &record);
    // count empty lists.
    TCollectionBytes &emptyLists(int count);

    const QByteArray &data() const { return m_data; }
    operator QByteArray() const { return m_data; }

    // The scrambling of names, restated from the file format.
    static QByteArray scramble(const QByteArray &bytes);

private:
    TCollectionBytes &stringBytes(const QByteArray &bytes);
    QByteArray m_data;
};
