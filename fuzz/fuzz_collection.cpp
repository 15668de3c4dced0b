// The collection file reader, old formats and damaged files included.  What
// any file loads (in full or recovered) must save, and that save must load
// back completely and save to the same bytes.
#include "fuzzsupport.h"

#include "core/data/collectionfile.h"
#include "core/data/datalists.h"
#include "core/mp3model/mp3root.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TMp3Root root;
    const TCollectionLoadResult loaded = loadCollection(root, fuzz::scratchFile(fuzz::bytesOf(data, size)));
    FUZZ_CHECK(loaded.Status != TCollectionLoadResult::TStatus::NotFound);
    if (!loaded.opened()) {
        FUZZ_CHECK(loaded.IsError && !loaded.Message.isEmpty());
        FUZZ_CHECK(root.Items->Count() == 0);
        return 0;
    }

    const QString savedPath = fuzz::freshScratchPath(QStringLiteral("saved.tbx"));
    FUZZ_CHECK(saveCollection(root, savedPath).Saved);
    TMp3Root reread;
    const TCollectionLoadResult again = loadCollection(reread, savedPath);
    FUZZ_CHECK(again.opened() && !again.Recovered && !again.Converted && again.Message.isEmpty());
    FUZZ_CHECK(reread.Items->Count() == root.Items->Count());
    FUZZ_CHECK(reread.NextID >= root.NextID && reread.NextIndex == root.NextIndex);

    const QString resavedPath = fuzz::freshScratchPath(QStringLiteral("resaved.tbx"));
    FUZZ_CHECK(saveCollection(reread, resavedPath).Saved);
    FUZZ_CHECK(fuzz::fileBytes(resavedPath) == fuzz::fileBytes(savedPath));
    return 0;
}
