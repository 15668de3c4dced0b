// The ID3v1 tag at the end of a file: reading, and writing a changed tag
// back over it.
#include "fuzzsupport.h"

#include "core/audio/id3v1tag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzz::bytesOf(data, size);

    // What is read writes back as 128 bytes that read to the same tag.
    TID3v1Tag fromBytes;
    if (fromBytes.readBytes(QByteArrayView(input).last(qMin<qsizetype>(input.size(), TID3v1Tag::Size)))) {
        const QByteArray written = fromBytes.toBytes();
        FUZZ_CHECK(written.size() == TID3v1Tag::Size);
        TID3v1Tag again;
        FUZZ_CHECK(again.readBytes(written));
        FUZZ_CHECK(again.toBytes() == written);
    }

    const QString path = fuzz::scratchFile(input);
    TID3v1Tag tag;
    const bool found = tag.ReadFromFile(path);
    FUZZ_CHECK(found == tag.Exists);
    const qsizetype audioSize = found ? input.size() - TID3v1Tag::Size : input.size();
    tag.Title = QStringLiteral("Fuzzed \u00e9t\u00e9");
    tag.Track = 7;
    FUZZ_CHECK(tag.WriteToFile(path));
    const QByteArray after = fuzz::fileBytes(path);
    FUZZ_CHECK(after.size() == audioSize + TID3v1Tag::Size);
    FUZZ_CHECK(after.first(audioSize) == input.first(audioSize));
    // A file of nothing but a tag holds no audio, so it counts as no tag.
    TID3v1Tag reread;
    FUZZ_CHECK(reread.ReadFromFile(path) == (audioSize > 0));
    FUZZ_CHECK(audioSize == 0 || (reread.Title == tag.Title && reread.Track == 7));

    tag.Enabled = false;
    FUZZ_CHECK(tag.WriteToFile(path));
    FUZZ_CHECK(fuzz::fileBytes(path) == input.first(audioSize) || audioSize == 0);
    return 0;
}
