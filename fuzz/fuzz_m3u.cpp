// M3U playlists: decoding (UTF-8, Windows-1252, or file names' own bytes)
// and parsing.  What is read writes back to a playlist that reads to the
// same entries.
#include "fuzzsupport.h"

#include "core/files/playlistformats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TPlayListRecords records = parseM3u(decodeM3uText(fuzz::bytesOf(data, size)));
    const TPlayListRecords again = parseM3u(decodeM3uText(buildM3u(records)));
    FUZZ_CHECK(again == records);
    return 0;
}
