// Speed of the MPEG stream search: files without a stream must be searched
// to their end, so the search has to stay cheap per byte, also on data made
// of sync patterns that never start a stream.

#include "core/audio/mpeginfo.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace {

constexpr qint64 MiB = 1024 * 1024;

QByteArray random(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(1);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// Valid MPEG 1 Layer III headers every 100 bytes: each one is a candidate
// whose next frame (417 bytes on) holds no header.
QByteArray lonelyHeaders(qint64 size)
{
    QByteArray unit(100, '\0');
    unit[0] = char(0xFF);
    unit[1] = char(0xFB);
    unit[2] = char(0x90);
    unit[3] = char(0x64);
    return unit.repeated(size / unit.size());
}

QByteArray stream(qint64 size)
{
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = char(0x64);
    return frame.repeated(size / frame.size());
}

void measure(QTextStream &out, const QString &dir, const char *name, const QByteArray &bytes)
{
    const QString path = dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".mp3");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return;
    file.close();
    TMpegInfo info;
    QElapsedTimer timer;
    timer.start();
    constexpr int rounds = 3;
    for (int i = 0; i < rounds; ++i)
        info.ReadFromFile(path, bytes.size());
    const double ms = timer.nsecsElapsed() / 1e6 / rounds;
    out << qSetFieldWidth(24) << Qt::left << name << qSetFieldWidth(0) << bytes.size() / MiB << " MiB  "
        << QString::number(ms, 'f', 1) << " ms  " << QString::number(bytes.size() / MiB / (ms / 1000), 'f', 0)
        << " MiB/s  (header at " << info.HeaderPosition << ")\n";
}

} // namespace

int main()
{
    QTextStream out(stdout);
    QTemporaryDir dir;
    out << "MPEG stream search, file in the page cache, mean of 3 reads\n";
    measure(out, dir.path(), "stream at start", stream(8 * MiB));
    measure(out, dir.path(), "zeros", QByteArray(64 * MiB, '\0'));
    measure(out, dir.path(), "random bytes", random(32 * MiB));
    measure(out, dir.path(), "lonely sync patterns", lonelyHeaders(32 * MiB));
    return 0;
}
