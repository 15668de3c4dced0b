#include "mp3tree.h"

#include "id3v2builder.h"
#include "mp3builder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTextStream>
#include <QThread>

#include <unistd.h>

namespace {

constexpr int TracksPerAlbum = 12;
constexpr int AlbumsPerArtist = 4;

// What varies between the template files: tag version, stream kind,
// picture size and whether an ID3v1 tag closes the file.
struct Template {
    int majorVersion;
    bool xing;
    int frames;
    int pictureBytes;  // 0: no picture
    bool id3v1;
};

constexpr Template Templates[] = {
    {3, false, 40, 0, true},
    {4, true, 60, 24 * 1024, true},
    {3, false, 30, 0, false},
    {3, true, 50, 64 * 1024, true},
    {4, false, 45, 0, true},
};

QByteArray audioOf(const Template &t)
{
    mp3::Frame frame;
    QByteArray audio;
    if (t.xing)
        audio = mp3::xingFrame(frame, quint32(t.frames), quint32(t.frames * frame.length()));
    return audio + frame.stream(t.frames);
}

// A variable stream without a VBR header (an old encoder's, or a cut file):
// its length takes a walk over every frame.
QByteArray headerlessVbrAudio(int frames)
{
    const int rates[] = {128, 160, 192, 112, 224, 256, 96};
    mp3::Frame frame;
    QByteArray audio;
    for (int i = 0; i < frames; ++i) {
        frame.bitrate = rates[i % int(std::size(rates))];
        audio += frame.bytes();
    }
    return audio;
}

// Every how manieth file is such a stream: TUNEBASE_BENCH_HEADERLESS_VBR
// gives their share in percent (2 by default, 0 leaves them out).
int headerlessVbrEvery()
{
    bool ok = false;
    const int percent = qEnvironmentVariableIntValue("TUNEBASE_BENCH_HEADERLESS_VBR", &ok);
    if (!ok)
        return 50;
    return percent > 0 ? std::max(1, 100 / std::min(percent, 100)) : 0;
}

QByteArray pictureFrameData(int size)
{
    // encoding, MIME type, picture type (front cover), description, data
    return QByteArray(1, '\0') + QByteArray("image/jpeg") + '\0' + char(3) + '\0'
           + mp3::randomBytes(size, 7);
}

QByteArray tagOf(const Template &t, const QByteArray &picture, int artist, int album, int track)
{
    Id3v2Builder tag(t.majorVersion);
    tag.text("TIT2", QStringLiteral("Title %1").arg(track))
        .text("TPE1", QStringLiteral("Artist %1").arg(artist))
        .text("TALB", QStringLiteral("Album %1 of %2").arg(album).arg(artist))
        .text("TRCK", QString::number(track))
        .text(t.majorVersion == 4 ? "TDRC" : "TYER", QString::number(1970 + (artist + album) % 50))
        .text("TCON", QStringLiteral("Rock"))
        .described("COMM", QString(), QStringLiteral("Generated for the benchmarks"));
    if (!picture.isEmpty())
        tag.frame("APIC", picture);
    return tag.padding(512).build();
}

QByteArray id3v1Of(int artist, int album, int track)
{
    mp3::Id3v1 tag;
    tag.title = "Title " + QByteArray::number(track);
    tag.artist = "Artist " + QByteArray::number(artist);
    tag.album = "Album " + QByteArray::number(album);
    tag.year = "1999";
    tag.track = track;
    return tag.bytes();
}

} // namespace

Mp3Tree WriteMp3Tree(const QString &root, int count)
{
    constexpr int templateCount = int(std::size(Templates));
    QByteArray audio[templateCount];
    QByteArray pictures[templateCount];
    for (int i = 0; i < templateCount; ++i) {
        audio[i] = audioOf(Templates[i]);
        if (Templates[i].pictureBytes > 0)
            pictures[i] = pictureFrameData(Templates[i].pictureBytes);
    }
    const QByteArray headerlessVbr = headerlessVbrAudio(50);
    const int vbrEvery = headerlessVbrEvery();
    Mp3Tree tree;
    QString folder;
    for (int n = 0; n < count; ++n) {
        const int track = n % TracksPerAlbum + 1;
        const int album = n / TracksPerAlbum % AlbumsPerArtist + 1;
        const int artist = n / (TracksPerAlbum * AlbumsPerArtist) + 1;
        if (track == 1) {
            folder = QStringLiteral("%1/Artist %2/Album %3").arg(root).arg(artist, 3, 10, QLatin1Char('0')).arg(album);
            if (!QDir().mkpath(folder))
                return {};
            ++tree.folders;
        }
        const int kind = (n * 7 + artist) % templateCount;
        const Template &t = Templates[kind];
        const bool vbr = vbrEvery > 0 && n % vbrEvery == vbrEvery / 2;
        QByteArray bytes = tagOf(t, pictures[kind], artist, album, track) + (vbr ? headerlessVbr : audio[kind]);
        tree.headerlessVbr += vbr ? 1 : 0;
        if (t.id3v1)
            bytes += id3v1Of(artist, album, track);
        QFile file(QStringLiteral("%1/%2 - Title %3.mp3").arg(folder).arg(track, 2, 10, QLatin1Char('0')).arg(track));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        ++tree.files;
        tree.bytes += bytes.size();
    }
    return tree;
}

int BenchFileCount(int argc, char **argv, int fallback)
{
    bool ok = false;
    const int count = argc > 1 ? QByteArray(argv[1]).toInt(&ok) : 0;
    return ok && count > 0 ? count : fallback;
}

qint64 BytesReadSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

void SettleAfterWriting()
{
    ::sync();
    QThread::msleep(500);
}

Mp3Tree CountMp3Tree(const QString &root)
{
    Mp3Tree tree;
    QDirIterator it(root, {QStringLiteral("*.mp3")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        tree.bytes += it.nextFileInfo().size();
        ++tree.files;
    }
    QDirIterator folders(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (folders.hasNext()) {
        folders.next();
        ++tree.folders;
    }
    return tree;
}

bool PrepareMp3Tree(const QString &root, int count, QTextStream &out, Mp3Tree *written)
{
    const Mp3Tree tree = WriteMp3Tree(root, count);
    if (written)
        *written = tree;
    if (tree.files != count) {
        out << "cannot write the test files\n";
        return false;
    }
    SettleAfterWriting();
    return true;
}
