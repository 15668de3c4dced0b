#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// What identifies the audio of an MP3 file, whatever its tags: the stretch
// from the first frame header to the end of the file less the tags behind
// the audio (APE, ID3v1), a hash of a few samples of it and, once asked
// for, a hash of all of it.  Two files whose audio bytes are equal have
// equal fingerprints; ID3v2 tags, their padding and the tags at the end
// make no difference.
struct TAudioFingerprint {
    qint64 AudioStart = 0;   // file offset of the first frame header
    qint64 AudioBytes = 0;   // length of the audio stretch
    // SHA-1 over AudioBytes and the samples at the beginning, middle and
    // end: equal for copies, and in practice different for different audio.
    QByteArray Sampled;
    // SHA-1 over all the audio bytes; empty until ReadFullAudioHash ran.
    QByteArray Full;

    bool sameSampledAs(const TAudioFingerprint &other) const
    {
        return AudioBytes == other.AudioBytes && Sampled == other.Sampled;
    }
};

// Bytes of each of the three samples.  A frame of a 128 kbit/s stream
// has 418 bytes: a sample covers ten of them.
inline constexpr qint64 FingerprintSampleBytes = 4096;

// Finds the audio of the file in device and hashes its samples; false when
// the device holds no MPEG stream (or cannot be read), leaving print as it was.
bool ReadSampledFingerprint(QIODevice &device, TAudioFingerprint &print);

// Hashes the whole audio stretch that ReadSampledFingerprint found into
// print.Full; false on a read error or when the file got shorter.
bool ReadFullAudioHash(QIODevice &device, TAudioFingerprint &print);
