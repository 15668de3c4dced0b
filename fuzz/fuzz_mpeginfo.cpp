// MPEG stream analysis: the frame search past ID3v2 tags and junk, and the
// Xing/Info/VBRI headers of the first frame.
#include "fuzzsupport.h"

#include "core/audio/mpeginfo.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = fuzz::bytesOf(data, size);
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    TMpegInfo info;
    info.readFromDevice(device, qint64(size));

    FUZZ_CHECK(info.Frames >= 0 && info.Length >= 0 && info.Bitrate >= 0);
    FUZZ_CHECK(info.HeaderPosition >= 0 && info.HeaderPosition + 4 <= qint64(size) + 4);
    if (info.Version == TMpegInfo::MpegUnknown) {
        FUZZ_CHECK(info.Layer == 0 && info.Frames == 0 && info.HeaderPosition == 0);
    } else {
        FUZZ_CHECK(info.Layer >= 1 && info.Layer <= 3);
        FUZZ_CHECK(info.SampleRate > 0 && info.Emphasis <= 3);
    }
    return 0;
}
