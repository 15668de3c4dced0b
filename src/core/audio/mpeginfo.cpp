#include "core/audio/mpeginfo.h"

#include "core/audio/id3v2span.h"
#include "core/base/regularfile.h"

#include <QFile>

#include <cmath>
#include <optional>

namespace {

// Reads a device through a block cache so that the byte-by-byte header
// search and the look-ahead to the next frame cost one read per block.
class BlockReader {
public:
    explicit BlockReader(QIODevice &device) : m_device(device), m_size(device.size()) {}

    qint64 size() const { return m_size; }

    // The byte at pos, or -1 beyond the end or on a read error.
    int byteAt(qint64 pos)
    {
        if (pos < m_start || pos >= m_start + m_block.size()) {
            if (!fill(pos))
                return -1;
        }
        return static_cast<uchar>(m_block.at(pos - m_start));
    }

    // Up to len bytes from pos (fewer at the end of the device).
    QByteArray bytes(qint64 pos, qint64 len)
    {
        if (pos < 0 || pos >= m_size || len <= 0 || !m_device.seek(pos))
            return {};
        return m_device.read(qMin(len, m_size - pos));
    }

    std::optional<quint32> word32(qint64 pos)
    {
        quint32 word = 0;
        for (int i = 0; i < 4; ++i) {
            const int b = byteAt(pos + i);
            if (b < 0)
                return std::nullopt;
            word = (word << 8) | quint32(b);
        }
        return word;
    }

private:
    static constexpr qint64 BlockSize = 64 * 1024;
    // The stream mostly starts right where the search does, and its first
    // frame and the next header fit into this: the first block is small, so
    // that reading a file's information reads little of its audio.
    static constexpr qint64 FirstBlockSize = 4096;
    // A new block also keeps the bytes just before the one asked for: a
    // look-ahead one frame past the block (under 3 KB) must not make the
    // search that continues behind it read the block again.
    static constexpr qint64 KeepBehind = 4096;

    bool fill(qint64 pos)
    {
        m_block.clear();
        if (pos < 0 || pos >= m_size)
            return false;
        const bool first = !m_filled;
        m_filled = true;
        m_start = first ? pos : qMax<qint64>(0, pos - KeepBehind);
        if (!m_device.seek(m_start))
            return false;
        m_block = m_device.read(first ? FirstBlockSize : KeepBehind + BlockSize);
        return pos < m_start + m_block.size();
    }

    QIODevice &m_device;
    qint64 m_size;
    qint64 m_start = 0;
    QByteArray m_block;
    bool m_filled = false;
};

struct FrameHeader {
    TMpegInfo::MpegVersion version;
    int layer;
    int bitrate;        // kbit/s
    int sampleRate;     // Hz
    bool padding;
    TMpegInfo::ChannelMode mode;
    bool crcs;
    bool copyrighted;
    bool original;
    quint8 emphasis;

    int samplesPerFrame() const
    {
        if (layer == 1)
            return 384;
        if (layer == 3 && version != TMpegInfo::Mpeg1)
            return 576;
        return 1152;
    }

    // Frame size in bytes, header included, as the standards define it:
    // Layer I counts slots of four bytes.
    int frameLength() const
    {
        if (layer == 1)
            return (12 * bitrate * 1000 / sampleRate + (padding ? 1 : 0)) * 4;
        return samplesPerFrame() / 8 * bitrate * 1000 / sampleRate + (padding ? 1 : 0);
    }

    // Average frame size of the stream without padding, in bytes.
    double nominalFrameLength() const { return samplesPerFrame() / 8.0 * bitrate * 1000.0 / sampleRate; }

    bool sameStreamAs(const FrameHeader &other) const
    {
        return version == other.version && layer == other.layer && sampleRate == other.sampleRate;
    }
};

std::optional<FrameHeader> decodeHeader(quint32 word)
{
    if ((word & 0xFFE00000u) != 0xFFE00000u)
        return std::nullopt;
    FrameHeader h{};
    switch ((word >> 19) & 3) {
    case 3: h.version = TMpegInfo::Mpeg1; break;
    case 2: h.version = TMpegInfo::Mpeg2; break;
    case 0: h.version = TMpegInfo::Mpeg25; break;
    default: return std::nullopt;
    }
    const int layerBits = (word >> 17) & 3;
    if (layerBits == 0)
        return std::nullopt;
    h.layer = 4 - layerBits;
    h.bitrate = BitrateTable[h.version][h.layer - 1][(word >> 12) & 15];
    if (h.bitrate == 0)
        return std::nullopt;
    h.sampleRate = SampleRateTable[h.version][(word >> 10) & 3];
    if (h.sampleRate == 0)
        return std::nullopt;
    h.crcs = ((word >> 16) & 1) == 0;
    h.padding = (word >> 9) & 1;
    h.mode = static_cast<TMpegInfo::ChannelMode>((word >> 6) & 3);
    h.copyrighted = (word >> 3) & 1;
    h.original = (word >> 2) & 1;
    h.emphasis = word & 3;
    return h;
}

struct FoundFrame {
    qint64 position;
    FrameHeader header;
};

// Where the audio ends: before a trailing ID3v1 tag, else at the end of file.
qint64 audioEnd(BlockReader &in)
{
    const qint64 size = in.size();
    // Read directly: a block around the end would read audio for nothing.
    if (size > 128 && in.bytes(size - 128, 3) == "TAG")
        return size - 128;
    return size;
}

// Where the search starts: after the ID3v2 tags at the start of the file.
// A tag whose size is corrupt or runs past the end is not trusted; the search
// then starts at 0 and relies on the frame check to step over the tag.
qint64 searchStart(BlockReader &in)
{
    qint64 pos = 0;
    for (;;) {
        const qint64 span = id3v2TagSpan(in.bytes(pos, 10));
        if (span <= 0)
            return pos;
        if (pos + span > in.size())
            return 0;
        pos += span;
    }
}

// A header is taken as the stream's first only when the next frame begins
// with a header of the same stream, or when the frame reaches the end of the
// audio; a lone sync pattern inside junk or tag data is skipped.
bool startsStream(BlockReader &in, qint64 pos, const FrameHeader &header, qint64 end)
{
    const qint64 next = pos + header.frameLength();
    if (next >= end)
        return true;
    const std::optional<quint32> word = in.word32(next);
    if (!word)
        return false;
    const std::optional<FrameHeader> following = decodeHeader(*word);
    return following && following->sameStreamAs(header);
}

// How far the search for the first frame goes past the ID3v2 tags.  What
// real files hold before their audio is a few bytes of junk, a RIFF
// header, or a tag whose size field is broken (the search then starts at 0
// and must step over the whole tag, cover pictures included): 32 MiB is
// more than the largest of those, and a file of zeros or of other data
// than MPEG audio is given up after about a fifth of a second instead of
// being read to its end.
constexpr qint64 MaxFrameSearch = 32 * 1024 * 1024;

std::optional<FoundFrame> findFirstFrame(BlockReader &in, qint64 end)
{
    const qint64 start = searchStart(in);
    const qint64 limit = qMin(end, start + MaxFrameSearch + 4);
    for (qint64 pos = start; pos + 4 <= limit; ++pos) {
        if (in.byteAt(pos) != 0xFF)
            continue;
        const std::optional<quint32> word = in.word32(pos);
        if (!word)
            return std::nullopt;
        const std::optional<FrameHeader> header = decodeHeader(*word);
        if (header && startsStream(in, pos, *header, end))
            return FoundFrame{pos, *header};
    }
    return std::nullopt;
}

quint32 bigEndian32(const QByteArray &data, qsizetype at)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<uchar>(data.at(at + i));
    return value;
}

// Frame and byte counts from the VBR header of the first frame, if any.
struct StreamCounts {
    bool vbr;          // Xing and VBRI; LAME's "Info" marks a constant bitrate
    quint32 frames;    // 0 = not given
    quint32 bytes;     // 0 = not given
};

// The Xing/Info header sits after the side information, whose size depends
// on version and channel count; MPEG 2.5 uses the MPEG 2 layout.
int xingOffset(const FrameHeader &h)
{
    const bool mono = h.mode == TMpegInfo::SingleChannel;
    if (h.version == TMpegInfo::Mpeg1)
        return mono ? 17 : 32;
    return mono ? 9 : 17;
}

std::optional<StreamCounts> readXing(const QByteArray &frame, const FrameHeader &h)
{
    const qsizetype at = xingOffset(h);
    if (at + 8 > frame.size())
        return std::nullopt;
    const QByteArray tag = frame.mid(at, 4);
    if (tag != "Xing" && tag != "Info")
        return std::nullopt;
    const quint32 flags = bigEndian32(frame, at + 4);
    qsizetype field = at + 8;
    StreamCounts counts{tag == "Xing", 0, 0};
    if (flags & 1) {
        if (field + 4 > frame.size())
            return std::nullopt;
        counts.frames = bigEndian32(frame, field);
        field += 4;
    }
    if (flags & 2) {
        if (field + 4 > frame.size())
            return std::nullopt;
        counts.bytes = bigEndian32(frame, field);
    }
    return counts;
}

// Fraunhofer's VBRI header: 32 bytes after the frame header.
std::optional<StreamCounts> readVbri(const QByteArray &frame)
{
    constexpr qsizetype at = 32;
    if (at + 18 > frame.size() || frame.mid(at, 4) != "VBRI")
        return std::nullopt;
    // "VBRI", version, delay, quality (2 bytes each), then bytes and frames.
    return StreamCounts{true, bigEndian32(frame, at + 14), bigEndian32(frame, at + 10)};
}

// A header whose counts give an average bitrate outside what the stream's
// frames can carry is corrupt and better ignored than trusted.
bool plausible(const FrameHeader &h, double averageKbps)
{
    const int *rates = BitrateTable[h.version][h.layer - 1];
    return averageKbps >= rates[1] / 2.0 && averageKbps <= rates[14] * 2.0;
}

} // namespace

void TMpegInfo::reset()
{
    *this = TMpegInfo();
}

void TMpegInfo::ReadFromFile(const QString &fileName, qint64 audioSize)
{
    reset();
    QFile file;
    if (OpenRegularFile(file, fileName, QIODevice::ReadOnly))
        readFromDevice(file, audioSize);
}

void TMpegInfo::readFromDevice(QIODevice &device, qint64 audioSize)
{
    reset();
    BlockReader in(device);
    const qint64 end = audioEnd(in);
    const std::optional<FoundFrame> found = findFirstFrame(in, end);
    if (!found)
        return;
    // Bytes before the first header are no audio, whatever the caller
    // counted; a stray header near the end of junk thus counts one frame.
    audioSize = qMin(audioSize, end - found->position);
    const FrameHeader &h = found->header;
    HeaderPosition = found->position;
    Version = h.version;
    Layer = h.layer;
    Bitrate = h.bitrate;
    SampleRate = h.sampleRate;
    Mode = h.mode;
    CRCs = h.crcs;
    Copyrighted = h.copyrighted;
    Original = h.original;
    Emphasis = h.emphasis;

    const QByteArray frame = in.bytes(HeaderPosition + 4, h.frameLength() - 4);
    std::optional<StreamCounts> counts = readXing(frame, h);
    if (!counts)
        counts = readVbri(frame);
    VBR = counts && counts->vbr;

    const int samples = h.samplesPerFrame();
    if (counts && counts->frames > 0) {
        const qint64 bytes = counts->bytes > 0 ? qint64(counts->bytes) : audioSize;
        const double seconds = double(counts->frames) * samples / SampleRate;
        const double average = bytes * 8.0 / seconds / 1000.0;
        if (bytes <= 0 || plausible(h, average)) {
            Frames = counts->frames;
            Length = static_cast<qint32>(qint64(counts->frames) * samples / SampleRate);
            if (VBR)
                Bitrate = bytes > 0 ? static_cast<qint32>(std::nearbyint(average)) : 0;
            return;
        }
    }
    // No usable counts: a constant bitrate over the audio bytes.
    if (audioSize > 0) {
        Frames = static_cast<qint64>(std::nearbyint(audioSize / h.nominalFrameLength()));
        Length = static_cast<qint32>(audioSize * 8 / (qint64(Bitrate) * 1000));
    }
}
