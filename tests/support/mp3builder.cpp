#include "mp3builder.h"

#include <QRandomGenerator>
#include <QtEndian>

#include <cmath>

namespace mp3 {

namespace {

const int Bitrates[3][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
};
const int SampleRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

int bitrateIndex(const Frame &f)
{
    for (int i = 1; i < 15; ++i)
        if (Bitrates[f.version][f.layer - 1][i] == f.bitrate)
            return i;
    qFatal("mp3builder: bitrate %d not allowed for this version and layer", f.bitrate);
}

int sampleRateIndex(const Frame &f)
{
    for (int i = 0; i < 3; ++i)
        if (SampleRates[f.version][i] == f.sampleRate)
            return i;
    qFatal("mp3builder: sample rate %d not allowed for this version", f.sampleRate);
}

void putBigEndian(QByteArray &bytes, int at, quint32 value)
{
    qToBigEndian(value, bytes.data() + at);
}

int xingOffset(const Frame &f)
{
    const bool mono = f.mode == SingleChannel;
    return 4 + (f.version == Mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
}

void putSlot(QByteArray &tag, int at, int length, const QByteArray &text)
{
    const QByteArray cut = text.left(length);
    tag.replace(at, cut.size(), cut);
}

} // namespace

int Frame::samplesPerFrame() const
{
    if (layer == 1)
        return 384;
    return (layer == 3 && version != Mpeg1) ? 576 : 1152;
}

int Frame::length() const
{
    if (layer == 1)
        return (12 * bitrate * 1000 / sampleRate + padding) * 4;
    return samplesPerFrame() / 8 * bitrate * 1000 / sampleRate + padding;
}

quint32 Frame::headerWord() const
{
    static const int versionBits[3] = {3, 2, 0};
    quint32 w = 0xFFE00000u;
    w |= quint32(versionBits[version]) << 19;
    w |= quint32(4 - layer) << 17;
    w |= quint32(crc ? 0 : 1) << 16;
    w |= quint32(bitrateIndex(*this)) << 12;
    w |= quint32(sampleRateIndex(*this)) << 10;
    w |= quint32(padding) << 9;
    w |= quint32(mode) << 6;
    w |= quint32(copyrighted) << 3;
    w |= quint32(original) << 2;
    w |= quint32(emphasis & 3);
    return w;
}

QByteArray Frame::header() const
{
    QByteArray bytes(4, '\0');
    putBigEndian(bytes, 0, headerWord());
    return bytes;
}

QByteArray Frame::bytes() const
{
    QByteArray bytes(length(), '\0');
    putBigEndian(bytes, 0, headerWord());
    return bytes;
}

QByteArray Frame::repeated(int count) const
{
    return bytes().repeated(count);
}

QByteArray Frame::stream(int count) const
{
    // Frame size in slots (4 bytes in Layer I, 1 byte otherwise) is
    // numerator / sampleRate; padding takes up the remainder.
    const int slotsPerSecondFactor = layer == 1 ? 12 : samplesPerFrame() / 8;
    const qint64 numerator = qint64(slotsPerSecondFactor) * bitrate * 1000;
    Frame plain = *this;
    plain.padding = false;
    Frame padded = *this;
    padded.padding = true;
    QByteArray out;
    qint64 remainder = 0;
    for (int i = 0; i < count; ++i) {
        remainder += numerator % sampleRate;
        const bool pad = remainder >= sampleRate;
        if (pad)
            remainder -= sampleRate;
        out += pad ? padded.bytes() : plain.bytes();
    }
    return out;
}

QByteArray xingFrame(const Frame &frame, std::optional<quint32> frames, std::optional<quint32> bytes,
                     const char *tag)
{
    QByteArray out = frame.bytes();
    int at = xingOffset(frame);
    if (at + 16 > out.size())
        qFatal("mp3builder: frame too small for a Xing header");
    out.replace(at, 4, tag);
    const quint32 flags = (frames ? 1u : 0u) | (bytes ? 2u : 0u);
    putBigEndian(out, at + 4, flags);
    at += 8;
    if (frames) {
        putBigEndian(out, at, *frames);
        at += 4;
    }
    if (bytes)
        putBigEndian(out, at, *bytes);
    return out;
}

QByteArray vbriFrame(const Frame &frame, quint32 frames, quint32 bytes)
{
    QByteArray out = frame.bytes();
    const int at = 4 + 32;
    if (at + 18 > out.size())
        qFatal("mp3builder: frame too small for a VBRI header");
    out.replace(at, 4, "VBRI");
    out[at + 5] = 1;   // version 1
    putBigEndian(out, at + 10, bytes);
    putBigEndian(out, at + 14, frames);
    return out;
}

QByteArray Id3v1::bytes() const
{
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    putSlot(tag, 3, 30, title);
    putSlot(tag, 33, 30, artist);
    putSlot(tag, 63, 30, album);
    putSlot(tag, 93, 4, year);
    if (track >= 0) {
        putSlot(tag, 97, 28, comment);
        tag[126] = static_cast<char>(track);
    } else {
        putSlot(tag, 97, 30, comment);
    }
    tag[127] = static_cast<char>(genre);
    return tag;
}

QByteArray id3v2Header(quint32 size, int major, quint8 flags)
{
    QByteArray sizeBytes(4, '\0');
    for (int i = 3; i >= 0; --i, size >>= 7)
        sizeBytes[i] = static_cast<char>(size & 0x7F);
    QByteArray header = id3v2HeaderRawSize(sizeBytes, major);
    header[5] = static_cast<char>(flags);
    return header;
}

QByteArray id3v2HeaderRawSize(const QByteArray &sizeBytes, int major)
{
    QByteArray header("ID3");
    header.append(static_cast<char>(major)).append('\0').append('\0').append(sizeBytes.left(4));
    return header;
}

QByteArray id3v2Tag(quint32 size, const QByteArray &fill)
{
    QByteArray body = fill.repeated(int(size / fill.size() + 1)).left(int(size));
    return id3v2Header(size) + body;
}

QByteArray randomBytes(int count, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(count, Qt::Uninitialized);
    for (char &b : bytes)
        b = static_cast<char>(generator.bounded(256));
    return bytes;
}

QByteArray sineWav(int seconds, int sampleRate, int channels)
{
    const quint32 frames = quint32(seconds * sampleRate);
    const quint32 dataSize = frames * quint32(channels) * 2;
    QByteArray wav(44, '\0');
    wav.replace(0, 4, "RIFF");
    qToLittleEndian<quint32>(36 + dataSize, wav.data() + 4);
    wav.replace(8, 8, "WAVEfmt ");
    qToLittleEndian<quint32>(16, wav.data() + 16);
    qToLittleEndian<quint16>(1, wav.data() + 20);
    qToLittleEndian<quint16>(quint16(channels), wav.data() + 22);
    qToLittleEndian<quint32>(quint32(sampleRate), wav.data() + 24);
    qToLittleEndian<quint32>(quint32(sampleRate * channels * 2), wav.data() + 28);
    qToLittleEndian<quint16>(quint16(channels * 2), wav.data() + 32);
    qToLittleEndian<quint16>(16, wav.data() + 34);
    wav.replace(36, 4, "data");
    qToLittleEndian<quint32>(dataSize, wav.data() + 40);
    wav.reserve(int(44 + dataSize));
    for (quint32 i = 0; i < frames; ++i) {
        // A gliding tone keeps VBR encoders busy enough to vary the bitrate.
        const double t = double(i) / sampleRate;
        const auto sample = static_cast<qint16>(12000 * std::sin(2 * M_PI * (220 + 200 * t) * t));
        char pcm[2];
        qToLittleEndian(sample, pcm);
        for (int c = 0; c < channels; ++c)
            wav.append(pcm, 2);
    }
    return wav;
}

} // namespace mp3
