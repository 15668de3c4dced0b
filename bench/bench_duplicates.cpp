// Finding duplicates: a first search over a generated tree (every file's
// audio sampled, the candidates read whole) and a second one with nothing
// changed (the fingerprints come from the cache beside the collection).
// Prints files/s and the bytes read per file.  Argument: the number of
// files (default 10,000).  1 % of the files are copies of another with other
// tags, 1 % another encoding of a song (same artist and title).

#include "core/files/duplicates.h"
#include "core/files/process.h"

#include "id3v2builder.h"
#include "mp3builder.h"
#include "mp3tree.h"
#include "scanrun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <ctime>

namespace {

constexpr int FramesPerFile = 150;  // about four seconds, 63 KB

// The audio of file n: frames with random bodies, each stamped with n so
// that no two files share a frame.
QByteArray audioOf(const QByteArray &base, int n)
{
    QByteArray audio = base;
    const int frameLength = mp3::Frame().length();
    for (int f = 0; f < FramesPerFile; ++f)
        for (int b = 0; b < 4; ++b)
            audio[f * frameLength + 4 + b] = char((n >> (8 * b)) & 0xFF);
    return audio;
}

QList<TDuplicateFile> writeTree(const QString &root, int count, qint64 &bytes)
{
    const mp3::Frame frame;
    QByteArray base;
    for (int f = 0; f < FramesPerFile; ++f)
        base += frame.header() + mp3::randomBytes(frame.length() - 4, quint32(f + 1));
    QList<TDuplicateFile> files;
    QByteArray audio;
    for (int n = 0; n < count; ++n) {
        const int artist = n / 100;
        const QString folder = QStringLiteral("%1/Artist %2/Album %3").arg(root).arg(artist).arg(n / 10 % 10);
        QDir().mkpath(folder);
        TDuplicateFile file;
        file.Path = QStringLiteral("%1/%2 - Title.mp3").arg(folder).arg(n);
        file.Artist = QStringLiteral("Artist %1").arg(artist);
        // Every 100th file is another encoding of the song before it.
        file.Title = QStringLiteral("Title %1").arg(n % 100 == 50 ? n - 1 : n);
        file.Bitrate = 128;
        file.Length = 4;
        // ... or a copy of its audio, tagged otherwise.
        if (n % 100 != 99)
            audio = audioOf(base, n);
        const QByteArray tag = Id3v2Builder(n % 2 ? 3 : 4)
                                   .text("TPE1", file.Artist)
                                   .text("TIT2", file.Title)
                                   .text("TALB", QStringLiteral("Album %1").arg(n / 10))
                                   .padding(n % 3 * 512)
                                   .build();
        QByteArray contents = tag + audio;
        if (n % 2)
            contents += mp3::Id3v1{"Title", "Artist", "Album", "2001", "", 1, 12}.bytes();
        QFile out(file.Path);
        if (!out.open(QIODevice::WriteOnly) || out.write(contents) != contents.size())
            return {};
        bytes += contents.size();
        file.Size = contents.size();
        files.append(file);
    }
    return files;
}

struct Timed {
    TDuplicateSearchResult result;
    double seconds = 0;
    double cpuSeconds = 0;  // of all threads: what the search costs on an idle machine
    qint64 systemBytes = -1;
};

Timed searchOnce(const QList<TDuplicateFile> &files, const QString &cache, bool sameSongs = true)
{
    TProcess process;
    process.ShowWindow = false;
    TDuplicateSearch search(process);
    search.CachePath = cache;
    search.SameSongs = sameSongs;
    const qint64 before = BytesReadSoFar();
    const std::clock_t cpuBefore = std::clock();
    QElapsedTimer timer;
    timer.start();
    Timed timed;
    timed.result = search.run(files);
    timed.seconds = timer.nsecsElapsed() / 1e9;
    timed.cpuSeconds = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    if (before >= 0)
        timed.systemBytes = BytesReadSoFar() - before;
    return timed;
}

} // namespace

int main(int argc, char **argv)
{
    QTextStream out(stdout);
    const int count = BenchFileCount(argc, argv, 10000);
    QTemporaryDir dir;
    qint64 bytes = 0;
    const QList<TDuplicateFile> files = writeTree(dir.path(), count, bytes);
    if (files.size() != count) {
        out << "could not write the tree in " << dir.path() << "\n";
        return 1;
    }
    SettleAfterWriting();
    const QString cache = dir.filePath(QStringLiteral("bench.tbx-fingerprints"));
    out << "duplicates among " << Figure(count) << " files, " << Figure(bytes / double(count) / 1024, 1)
        << " KiB per file on average (page cache warm)\n";

    const Timed first = searchOnce(files, cache);
    const auto &r = first.result;
    out << "  first search:  " << Figure(first.seconds, 3) << " s, " << Figure(count / first.seconds)
        << " files/s, " << Figure(first.cpuSeconds, 3) << " s processor time, " << Figure(r.BytesRead / double(count)) << " bytes read per file ("
        << Figure(first.systemBytes / double(count)) << " by the whole process, cache file included), "
        << Figure(r.FullyHashed) << " files read whole\n";
    out << "                 " << r.groupsOf(TDuplicateKind::SameAudio).size() << " groups of copies, "
        << r.groupsOf(TDuplicateKind::SameSong).size() << " of the same song, " << r.Problems.size()
        << " problems\n";

    const Timed second = searchOnce(files, cache);
    out << "  second search: " << Figure(second.seconds, 3) << " s (" << Figure(second.seconds * 100000 / count, 2)
        << " s per 100,000 files), " << Figure(second.cpuSeconds, 3) << " s processor time ("
        << Figure(second.cpuSeconds * 100000 / count, 2) << " s per 100,000 files), " << second.result.FilesOpened << " files opened, "
        << Figure(second.systemBytes) << " bytes read (the cache file)\n";
    // TUNEBASE_BENCH_REPEAT: more second searches, for profiling them.
    for (int i = qEnvironmentVariableIntValue("TUNEBASE_BENCH_REPEAT"); i > 0; --i)
        searchOnce(files, cache);
    return first.result.Problems.isEmpty() && second.result.FilesOpened == 0 ? 0 : 1;
}
