// Reading the ID3v2 tag at the start of a file: header, extended header,
// unsynchronisation, frames of every version and the fields taken from them.
#include "fuzzsupport.h"

#include "core/audio/id3v2storedtag.h"
#include "core/audio/id3v2tag.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray input = fuzz::bytesOf(data, size);
    StoredID3v2Tag stored;
    {
        QBuffer device(&input);
        device.open(QIODevice::ReadOnly);
        FUZZ_CHECK(readStoredTag(device, stored));
        if (stored.extentKnown) {
            FUZZ_CHECK(stored.extent <= input.size());
            FUZZ_CHECK(stored.raw == input.first(stored.extent));
        }
        FUZZ_CHECK(stored.frames.TotalSize() <= 2 * qint64(size) + 10 * stored.frames.count());
    }

    TID3v2Tag tag;
    const bool found = tag.ReadFromFile(fuzz::scratchFile(input));
    FUZZ_CHECK(found == tag.Exists);
    // Only a file without a tag fails without saying why.
    FUZZ_CHECK(found || !tag.errorString().isEmpty() || stored.kind == StoredID3v2Tag::Kind::None);
    tag.genreDisplayText();
    return 0;
}
