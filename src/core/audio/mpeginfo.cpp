#include "core/audio/mpeginfo.h"

#include "core/audio/id3v2span.h"
#include "core/base/regularfile.h"

#include <QFile>
#include <QList>

#include <algorithm>
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

    // Whether the bytes are in the block read last (reading them costs nothing).
    bool holds(qint64 pos, qint64 len) const
    {
        return pos >= m_start && pos + len <= m_start + m_block.size();
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

// Reads a stretch of the file front to back in large blocks, each byte
// once: the walk over every frame of a stream.
class ForwardReader {
public:
    explicit ForwardReader(QIODevice &device) : m_device(device) {}

    std::optional<quint32> word32(qint64 pos)
    {
        if (!ensure(pos, 4))
            return std::nullopt;
        const qsizetype at = qsizetype(pos - m_start);
        quint32 word = 0;
        for (int i = 0; i < 4; ++i)
            word = (word << 8) | static_cast<uchar>(m_block.at(at + i));
        return word;
    }

    int byteAt(qint64 pos) { return ensure(pos, 1) ? static_cast<uchar>(m_block.at(pos - m_start)) : -1; }

private:
    static constexpr qint64 BlockSize = 64 * 1024;

    bool ensure(qint64 pos, qint64 len)
    {
        if (pos >= m_start && pos + len <= m_start + m_block.size())
            return true;
        if (pos >= m_start && pos < m_start + m_block.size()) {
            m_block.remove(0, qsizetype(pos - m_start));  // keep what is still ahead
        } else {
            m_block.clear();
        }
        m_start = pos;
        const qint64 from = m_start + m_block.size();
        if (!m_device.seek(from))
            return false;
        m_block += m_device.read(BlockSize);
        return pos + len <= m_start + m_block.size();
    }

    QIODevice &m_device;
    qint64 m_start = 0;
    QByteArray m_block;
};

// What a walk from header to header over the stream finds.
struct WalkedStream {
    qint64 frames = 0;
    qint64 bytes = 0;      // of the frames counted
    bool varied = false;   // not every frame had the bitrate of the first
};

// The next frame of the stream at or after pos: a header of the same stream
// that another one follows (or whose frame ends right at the end), so that
// a sync pattern in junk between or after frames does not count; -1 when
// there is none.
qint64 resync(ForwardReader &in, qint64 pos, qint64 end, const FrameHeader &stream)
{
    for (; pos + 4 <= end; ++pos) {
        const int b = in.byteAt(pos);
        if (b < 0)
            return -1;
        if (b != 0xFF)
            continue;
        const std::optional<quint32> word = in.word32(pos);
        const std::optional<FrameHeader> header = word ? decodeHeader(*word) : std::nullopt;
        if (!header || !header->sameStreamAs(stream))
            continue;
        const qint64 next = pos + header->frameLength();
        if (next >= end) {
            if (next == end)
                return pos;
            continue;
        }
        const std::optional<quint32> following = in.word32(next);
        const std::optional<FrameHeader> nextHeader = following ? decodeHeader(*following) : std::nullopt;
        if (nextHeader && nextHeader->sameStreamAs(stream))
            return pos;
    }
    return -1;
}

// Counts the frames of [from, end) by stepping from each header to the next,
// stepping over junk between frames.  A last frame that the end cuts short
// still counts.
WalkedStream walkFrames(QIODevice &device, qint64 from, qint64 end, const FrameHeader &stream)
{
    ForwardReader in(device);
    WalkedStream walked;
    qint64 pos = from;
    while (pos + 4 <= end) {
        const std::optional<quint32> word = in.word32(pos);
        if (!word)
            break;
        const std::optional<FrameHeader> header = decodeHeader(*word);
        if (!header || !header->sameStreamAs(stream)) {
            pos = resync(in, pos + 1, end, stream);
            if (pos < 0)
                break;
            continue;
        }
        const qint64 length = header->frameLength();
        ++walked.frames;
        walked.bytes += qMin(length, end - pos);
        walked.varied = walked.varied || header->bitrate != stream.bitrate;
        pos += length;
    }
    return walked;
}

// Bitrates of the frames that follow one another from pos within `bytes`
// (which start at file offset `base`); stops at the first gap.
QList<int> chainedBitrates(const QByteArray &bytes, qint64 base, qint64 pos, const FrameHeader &stream)
{
    QList<int> rates;
    while (pos >= base && pos - base + 4 <= bytes.size()) {
        const std::optional<FrameHeader> header = decodeHeader(bigEndian32(bytes, qsizetype(pos - base)));
        if (!header || !header->sameStreamAs(stream))
            break;
        rates.append(header->bitrate);
        pos += header->frameLength();
    }
    return rates;
}

// Whether some frames of a sample of the stream differ in bitrate from
// `stream`.  The sample must hold a run of a few frames one after the other
// (the first run found), so that a sync pattern inside audio data is not
// taken for a frame.
bool sampleVaries(const QByteArray &bytes, qint64 base, const FrameHeader &stream)
{
    constexpr int MinimumRun = 3;
    for (qsizetype i = 0; i + 4 <= bytes.size(); ++i) {
        if (static_cast<uchar>(bytes.at(i)) != 0xFF)
            continue;
        const QList<int> rates = chainedBitrates(bytes, base, base + i, stream);
        if (rates.size() < MinimumRun)
            continue;
        return std::any_of(rates.begin(), rates.end(), [&stream](int rate) { return rate != stream.bitrate; });
    }
    return false;
}

// Whether a stream without a usable frame count has a variable bitrate: the
// frames of the first block read differ, or those of a few samples further
// in do (the end of the file is read anyway for the ID3v1 tag; the middle
// only where the two leave much of a long stream unseen).
bool streamVaries(BlockReader &in, qint64 from, qint64 end, const FrameHeader &stream)
{
    for (qint64 pos = from; in.holds(pos, 4);) {
        const std::optional<FrameHeader> header = decodeHeader(*in.word32(pos));
        if (!header || !header->sameStreamAs(stream))
            break;
        if (header->bitrate != stream.bitrate)
            return true;
        pos += header->frameLength();
    }
    constexpr qint64 SampleSize = 3 * 1024;
    constexpr qint64 UnseenForMiddle = 64 * 1024;
    const qint64 tailStart = qMax(from, end - SampleSize);
    if (sampleVaries(in.bytes(tailStart, end - tailStart), tailStart, stream))
        return true;
    if (tailStart - from < UnseenForMiddle)
        return false;
    const qint64 middle = from + (tailStart - from) / 2;
    return sampleVaries(in.bytes(middle, SampleSize), middle, stream);
}

} // namespace

qint64 FirstFramePosition(QIODevice &device, qint64 audioEnd)
{
    BlockReader in(device);
    const std::optional<FoundFrame> found = findFirstFrame(in, qMin(audioEnd, in.size()));
    return found ? found->position : -1;
}

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
    // No usable frame count.  The frame of a VBR or Info header carries no
    // audio: its counts, where they are usable, leave it out too.
    const qint64 audioStart = counts ? HeaderPosition + h.frameLength() : HeaderPosition;
    const qint64 audioStop = HeaderPosition + audioSize;
    if (audioStart >= audioStop)
        return;
    // The frame after a header frame sets the bitrate a constant stream has.
    FrameHeader stream = h;
    if (counts) {
        const std::optional<quint32> word = in.word32(audioStart);
        const std::optional<FrameHeader> next = word ? decodeHeader(*word) : std::nullopt;
        if (next && next->sameStreamAs(h))
            stream = *next;
    }
    if (VBR || streamVaries(in, audioStart, audioStop, stream)) {
        // Only counting every frame gives the length of a variable stream.
        const WalkedStream walked = walkFrames(device, audioStart, audioStop, stream);
        VBR = VBR || walked.varied;
        Frames = walked.frames;
        Length = static_cast<qint32>(walked.frames * samples / SampleRate);
        Bitrate = walked.frames > 0 ? static_cast<qint32>(std::nearbyint(walked.bytes * 8.0 * SampleRate
                                                                          / (double(walked.frames) * samples) / 1000.0))
                                    : stream.bitrate;
        return;
    }
    // A constant bitrate over the audio bytes.
    Bitrate = stream.bitrate;
    const qint64 bytes = audioStop - audioStart;
    Frames = static_cast<qint64>(std::nearbyint(bytes / stream.nominalFrameLength()));
    Length = static_cast<qint32>(bytes * 8 / (qint64(Bitrate) * 1000));
}
