#pragma once

#include <QString>
#include <QtGlobal>

// How track and file lists show the technical values of an MP3 stream.

// Whole kilobytes with the locale's thousands separators: "4,417 KB".
QString FormatSizeKB(qint64 bytes);
// Minutes and seconds, minutes not limited to two digits: "02:05", "100:00".
QString FormatLength(qint64 seconds);
// "187kbps", or "187kbps(VBR)" for a variable bitrate.
QString FormatBitrate(qint32 kbps, bool vbr);
// Whole kilohertz: 44100 shows as "44kHz".
QString FormatSampleRate(qint32 hertz);
// A flag of the stream (VBR, CRCs, ...): "Yes" or "No".
QString FormatYesNo(bool value);
