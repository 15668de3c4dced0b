#pragma once

#include <QLatin1String>
#include <QString>
#include <QtGlobal>

#include <array>

class QIODevice;

// Technical parameters of the MPEG audio stream in a file: version, layer,
// bitrate, sample rate, channel mode, header flags, frame count and length.
// Filled by ReadFromFile; the fields are then read directly.  Analysis never
// fails loudly: a file without a usable stream leaves the reset values.
class TMpegInfo {
public:
    enum MpegVersion : quint8 { Mpeg1 = 0, Mpeg2 = 1, Mpeg25 = 2, MpegUnknown = 3 };
    enum ChannelMode : quint8 { Stereo = 0, JointStereo = 1, DualChannel = 2, SingleChannel = 3 };

    // Analyses the file.  audioSize is the file size without its ID3 tags;
    // it gives the frame count and length of streams without a VBR header.
    void ReadFromFile(const QString &fileName, qint64 audioSize);
    void readFromDevice(QIODevice &device, qint64 audioSize);

    // Back to the values of a file without any stream.
    void reset();

    MpegVersion Version = MpegUnknown;
    qint32 Layer = 0;             // 1..3, 0 = unknown
    bool VBR = false;             // a Xing or VBRI header announced a variable bitrate
    qint32 Bitrate = 0;           // kbit/s; the average for VBR streams
    qint32 SampleRate = 0;        // Hz
    ChannelMode Mode = Stereo;
    bool CRCs = false;            // frames are protected by a CRC
    bool Copyrighted = false;
    bool Original = false;
    quint8 Emphasis = 0;          // 0..3, see EmphasisNames
    qint64 Frames = 0;            // number of audio frames
    qint32 Length = 0;            // playing time in whole seconds
    qint64 HeaderPosition = 0;    // file offset of the first frame header, 0 = none
};

// File offset of the first frame header of the MPEG stream in the device
// (after its ID3v2 tags, found as TMpegInfo finds it), looking no further
// than audioEnd; -1 when there is no stream.
qint64 FirstFramePosition(QIODevice &device, qint64 audioEnd);

// Display texts, indexed by the enumerations above.
inline constexpr std::array<QLatin1String, 4> MpegVersionNames = {
    QLatin1String("1.0", 3), QLatin1String("2.0", 3), QLatin1String("2.5", 3), QLatin1String("?.?", 3)};
inline constexpr std::array<QLatin1String, 4> ModeNames = {
    QLatin1String("Stereo", 6), QLatin1String("Joint Stereo", 12), QLatin1String("Dual Channel", 12),
    QLatin1String("Single Channel", 14)};
inline constexpr std::array<QLatin1String, 4> EmphasisNames = {
    QLatin1String("None", 4), QLatin1String("50/15 ms", 8), QLatin1String("Reserved", 8),
    QLatin1String("CCIT J.17", 9)};

// Bitrates in kbit/s by version (0..2), layer (1..3, stored at 0..2) and
// bitrate index.  Index 0 (free format) and 15 (forbidden) are 0.
inline constexpr int BitrateTable[3][3][16] = {
    {   // MPEG 1
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    },
    {   // MPEG 2
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    },
    {   // MPEG 2.5
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    },
};

// Sample rates in Hz by version (0..2) and sample-rate index; index 3 is reserved.
inline constexpr int SampleRateTable[3][4] = {
    {44100, 48000, 32000, 0},
    {22050, 24000, 16000, 0},
    {11025, 12000, 8000, 0},
};
