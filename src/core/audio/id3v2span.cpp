#include "core/audio/id3v2span.h"

qint64 id3v2TagSpan(QByteArrayView header)
{
    if (header.size() < 10 || !header.startsWith("ID3"))
        return 0;
    const auto byte = [&](int i) { return static_cast<uchar>(header[i]); };
    if (byte(3) == 0xFF || byte(4) == 0xFF)
        return 0;
    qint64 size = 0;
    for (int i = 6; i < 10; ++i) {
        // The size is four 7-bit groups; a set high bit means a broken tag.
        if (byte(i) & 0x80)
            return 0;
        size = (size << 7) | byte(i);
    }
    const bool footer = byte(3) >= 4 && (byte(5) & 0x10);
    return 10 + size + (footer ? 10 : 0);
}
