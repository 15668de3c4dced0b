#include "core/audio/audiofingerprint.h"

#include "core/audio/mpeginfo.h"

#include <QCryptographicHash>
#include <QIODevice>

#include <algorithm>

namespace {

constexpr qint64 Id3v1Bytes = 128;
constexpr qint64 ApeFooterBytes = 32;
// An APE tag announcing more than this is damaged: it is not stripped, so
// that the audio is never cut to nothing by a broken size field.
constexpr qint64 MaxApeTagBytes = 16 * 1024 * 1024;

QByteArray readAt(QIODevice &device, qint64 pos, qint64 len)
{
    if (pos < 0 || len <= 0 || !device.seek(pos))
        return {};
    return device.read(len);
}

quint32 littleEndian32(const QByteArray &bytes, qsizetype at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<uchar>(bytes.at(at + i));
    return value;
}

// Where the audio ends: before an ID3v1 tag and an APE tag in front of it
// (or at the very end).  Taggers add and remove both without touching the
// frames, so copies with different tags end their audio at the same byte.
qint64 audioEndOf(QIODevice &device)
{
    qint64 end = device.size();
    if (end >= Id3v1Bytes && readAt(device, end - Id3v1Bytes, 3) == "TAG")
        end -= Id3v1Bytes;
    if (end >= ApeFooterBytes) {
        const QByteArray footer = readAt(device, end - ApeFooterBytes, ApeFooterBytes);
        if (footer.size() == ApeFooterBytes && footer.startsWith("APETAGEX")) {
            // The size counts the items and the footer; a header, when
            // flagged (bit 31), comes on top.
            qint64 tagBytes = littleEndian32(footer, 12);
            if (littleEndian32(footer, 20) & 0x80000000u)
                tagBytes += ApeFooterBytes;
            if (tagBytes >= ApeFooterBytes && tagBytes <= qMin(end, MaxApeTagBytes))
                end -= tagBytes;
        }
    }
    return end;
}

void addNumber(QCryptographicHash &hash, qint64 value)
{
    const quint64 v = quint64(value);
    char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = char((v >> (8 * i)) & 0xFF);
    hash.addData(QByteArrayView(bytes, 8));
}

} // namespace

bool ReadSampledFingerprint(QIODevice &device, TAudioFingerprint &print)
{
    const qint64 end = audioEndOf(device);
    const qint64 start = FirstFramePosition(device, end);
    if (start < 0 || start >= end)
        return false;
    const qint64 length = end - start;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    addNumber(hash, length);
    // Short audio is hashed whole; the three samples would overlap.
    const qint64 sample = length <= 3 * FingerprintSampleBytes ? length : FingerprintSampleBytes;
    const qint64 offsets[] = {0, (length - sample) / 2, length - sample};
    for (const qint64 offset : offsets) {
        const QByteArray bytes = readAt(device, start + offset, sample);
        if (bytes.size() != sample)
            return false;
        hash.addData(bytes);
        if (sample == length)
            break;
    }
    print = TAudioFingerprint{start, length, hash.result(), {}};
    return true;
}

bool ReadFullAudioHash(QIODevice &device, TAudioFingerprint &print)
{
    constexpr qint64 BlockBytes = 256 * 1024;
    if (!device.seek(print.AudioStart))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (qint64 left = print.AudioBytes; left > 0;) {
        const QByteArray block = device.read(std::min(left, BlockBytes));
        if (block.isEmpty())
            return false;
        hash.addData(block);
        left -= block.size();
    }
    print.Full = hash.result();
    return true;
}
