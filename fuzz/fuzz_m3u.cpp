// M3U playlists: decoding (UTF-8, Windows-1252, or file names' own bytes)
// and parsing.  What is read writes back to a playlist that reads to the
// same entries, titles on one line.
#include "fuzzsupport.h"

#include "core/files/playlistformats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TPlayListRecords records = parseM3u(decodeM3uText(fuzz::bytesOf(data, size)));
    const TPlayListRecords again = parseM3u(decodeM3uText(buildM3u(records)));
    // Titles are written on one line: separators other readers break
    // lines at (vertical tab, U+2028 ...) become spaces.
    for (TPlayListRecord &record : records)
        record.Title = singleLineTitle(record.Title);
    FUZZ_CHECK(again == records);
    return 0;
}
