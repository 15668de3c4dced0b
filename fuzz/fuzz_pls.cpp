// PLS playlists: reading a file, and writing the entries read into it (other
// sections, keys and comments kept, older encodings converted) so they read
// back the same.
#include "fuzzsupport.h"

#include "core/files/playlistformats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzz::bytesOf(data, size);
    const QString path = fuzz::scratchFile(input, QStringLiteral("input.pls"));
    TPlayListRecords records;
    QString error;
    FUZZ_CHECK(readPlsFile(path, records, error));
    FUZZ_CHECK(records.size() <= input.size());

    // A name holding a line separator is refused, the file left alone.
    if (!nameWithLineBreak(records).isEmpty()) {
        FUZZ_CHECK(!writePlsFile(path, records, error));
        return 0;
    }
    FUZZ_CHECK(writePlsFile(path, records, error));
    TPlayListRecords again;
    FUZZ_CHECK(readPlsFile(path, again, error));
    FUZZ_CHECK(again.size() == records.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        FUZZ_CHECK(again[i].FileName == records[i].FileName);
        FUZZ_CHECK(again[i].Title == singleLineTitle(records[i].Title));
        FUZZ_CHECK(again[i].Length == records[i].Length);
    }
    return 0;
}
