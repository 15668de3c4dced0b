#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

// Builds the bytes of MP3 files for tests: MPEG frames of any version,
// layer, bitrate and sample rate, Xing/Info/VBRI frames, ID3v1 tags, ID3v2
// headers and junk.  Independent of the code under test on purpose.
namespace mp3 {

enum Version { Mpeg1 = 0, Mpeg2 = 1, Mpeg25 = 2 };
enum Mode { Stereo = 0, JointStereo = 1, DualChannel = 2, SingleChannel = 3 };

struct Frame {
    Version version = Mpeg1;
    int layer = 3;
    int bitrate = 128;       // kbit/s, must be in the version/layer table
    int sampleRate = 44100;  // Hz, must belong to the version
    Mode mode = JointStereo;
    bool padding = false;
    bool crc = false;
    bool copyrighted = false;
    bool original = false;
    int emphasis = 0;

    int samplesPerFrame() const;
    int length() const;       // bytes, header included
    quint32 headerWord() const;
    QByteArray header() const;
    // header + body of zeros, length() bytes in all
    QByteArray bytes() const;
    QByteArray repeated(int count) const;
    // count frames padded as an encoder pads them, so that their average
    // size is the nominal one (a constant bitrate stream)
    QByteArray stream(int count) const;
};

// A first frame carrying a Xing (or "Info") header at the side-information
// offset of its version and mode; counts left out are not flagged.
QByteArray xingFrame(const Frame &frame, std::optional<quint32> frames, std::optional<quint32> bytes,
                     const char *tag = "Xing");
// A first frame carrying a Fraunhofer VBRI header.
QByteArray vbriFrame(const Frame &frame, quint32 frames, quint32 bytes);

struct Id3v1 {
    QByteArray title, artist, album, year, comment;  // raw slot bytes, cut to the slot
    int track = -1;        // -1: ID3v1.0 (30-byte comment)
    int genre = 12;
    QByteArray bytes() const;
};

// 10-byte ID3v2 header announcing `size` bytes of body (7-bit groups).
QByteArray id3v2Header(quint32 size, int major = 3, quint8 flags = 0);
// The same with the four size bytes as given (for corrupt sizes).
QByteArray id3v2HeaderRawSize(const QByteArray &sizeBytes, int major = 3);
// A whole tag: header and `size` bytes of body filled with `fill`.
QByteArray id3v2Tag(quint32 size, const QByteArray &fill = QByteArray(1, '\0'));

// Repeatable pseudo-random bytes.
QByteArray randomBytes(int count, quint32 seed);

// Writes 16-bit PCM WAV of a sine tone, for feeding external encoders.
QByteArray sineWav(int seconds, int sampleRate, int channels);

} // namespace mp3
