// Speed of adding a folder tree to a collection, the way `tunebase-cli add`
// does it: reading the folders with every file's tags, stream and file
// name, then creating the tracks and saving the collection.  Reading is the
// hot path: it is what a user waits for on tens of thousands of files.

#include "core/audio/id3v2text.h"
#include "core/data/collectionfile.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/prefs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int Artists = 40;
constexpr int AlbumsPerArtist = 5;
constexpr int TracksPerAlbum = 12;

QByteArray textFrame(const char *id, const QString &text)
{
    const QByteArray data = QByteArray(1, '\0') + text.toLatin1();
    QByteArray frame(id, 4);
    for (int shift = 24; shift >= 0; shift -= 8)
        frame.append(char((data.size() >> shift) & 0xFF));
    return frame + QByteArray(2, '\0') + data;
}

QByteArray mp3Bytes(const QString &title, const QString &artist)
{
    const QByteArray frames = textFrame("TIT2", title) + textFrame("TPE1", artist) + QByteArray(256, '\0');
    QByteArray tag = QByteArray("ID3\x03\x00\x00", 6) + id3v2::toSyncSafe(quint32(frames.size())) + frames;
    // MPEG 1 Layer III, 128 kbit/s, 44.1 kHz: 417-byte frames.
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = char(0x64);
    return tag + frame.repeated(40);
}

int makeTree(const QString &root)
{
    int count = 0;
    for (int a = 0; a < Artists; ++a) {
        for (int b = 0; b < AlbumsPerArtist; ++b) {
            const QString folder = QStringLiteral("%1/Artist %2/Album %3").arg(root).arg(a).arg(b);
            QDir().mkpath(folder);
            for (int t = 1; t <= TracksPerAlbum; ++t) {
                QFile file(QStringLiteral("%1/%2 - Song %3.mp3").arg(folder).arg(t, 2, 10, QLatin1Char('0')).arg(t));
                if (!file.open(QIODevice::WriteOnly))
                    return -1;
                file.write(mp3Bytes(QStringLiteral("Song %1").arg(t), QStringLiteral("Artist %1").arg(a)));
                ++count;
            }
        }
    }
    return count;
}

} // namespace

int main()
{
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString music = dir.filePath(QStringLiteral("music"));
    const int files = makeTree(music);
    if (files <= 0) {
        out << "cannot write the test files\n";
        return 1;
    }

    TMp3Root root;
    TMP3Process process;
    process.Collection = &root;
    process.ParseFormats = DefaultParseFormats();
    TMP3Folder folder;
    folder.SetPath(music);

    QElapsedTimer timer;
    timer.start();
    process.ReadFolder(&folder, true, false);
    const qint64 readMs = std::max<qint64>(timer.elapsed(), 1);

    TMp3FileItemList list;
    folder.CollectFiles(list, true);
    list.SetInfoSources(false, true, true, true, true);
    timer.restart();
    process.AddFiles(list, nullptr);
    const qint64 addMs = timer.elapsed();

    timer.restart();
    const bool saved = saveCollection(root, dir.filePath(QStringLiteral("music.tbx"))).Saved;
    const qint64 saveMs = timer.elapsed();

    out << "files:            " << files << " in " << Artists * AlbumsPerArtist << " folders\n"
        << "read folders:     " << readMs << " ms (" << qint64(files) * 1000 / readMs << " files/s)\n"
        << "add as tracks:    " << addMs << " ms\n"
        << "save collection:  " << saveMs << " ms" << (saved ? "" : " (FAILED)") << "\n"
        << "tracks:           " << root.GetTracks()->Count() << "\n";
    return saved && root.GetTracks()->Count() == files ? 0 : 1;
}
