// Reading an ID3v2 tag and writing it back: unchanged, with new values and
// removed.  Whatever the tag looked like, the audio after it must come out
// byte for byte, and a failed write must leave the file as it was.
#include "fuzzsupport.h"

#include "core/audio/id3v2storedtag.h"
#include "core/audio/id3v2tag.h"

#include <QBuffer>

namespace {

struct TagExtent {
    bool known = false;
    qint64 extent = 0;
    // What followed a frame the walk could not pass (v2.3 only: there the
    // bytes go back unchanged).
    QByteArray unread;
};

// Where the audio starts; unknown for a tag whose size cannot be trusted.
TagExtent tagExtent(QByteArray bytes)
{
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    StoredID3v2Tag stored;
    FUZZ_CHECK(readStoredTag(device, stored));
    if (stored.kind == StoredID3v2Tag::Kind::None)
        return {true, 0, {}};
    return {stored.extentKnown, stored.extent, stored.majorVersion == 3 ? stored.frames.unreadBytes() : QByteArray()};
}

enum class Change { Nothing, NewValues, Remove };

void writeAndCheck(const QByteArray &input, const TagExtent &before, Change change)
{
    const QString path = fuzz::scratchFile(input);
    TID3v2Tag tag;
    tag.ReadFromFile(path);
    switch (change) {
    case Change::Nothing:
        break;
    case Change::NewValues:
        tag.Title = QStringLiteral("Fuzzed \u266a title");
        tag.Artist = QStringLiteral("Someone");
        tag.Comment = QString();
        tag.Track = 3;
        tag.Year = QStringLiteral("1999");
        tag.Lyrics = QStringLiteral("line 1\r\nline 2");
        tag.GeneralURL = QStringLiteral("http://example.org/\u00e9");
        break;
    case Change::Remove:
        tag.Enabled = false;
        break;
    }
    const bool written = tag.WriteToFile(path);
    const QByteArray after = fuzz::fileBytes(path);
    if (!written) {
        FUZZ_CHECK(after == input);
        FUZZ_CHECK(!tag.errorString().isEmpty());
        return;
    }
    FUZZ_CHECK(before.known);
    const QByteArray audio = input.sliced(before.extent);
    FUZZ_CHECK(tag.Exists == (change != Change::Remove) || change == Change::Nothing);
    if (!tag.Exists) {
        // No tag left; the audio itself may begin with what looks like one.
        FUZZ_CHECK(after == audio);
        return;
    }
    const TagExtent now = tagExtent(after);
    FUZZ_CHECK(now.known);
    FUZZ_CHECK(after.sliced(now.extent) == audio);
    // Frames the reader did not understand are never dropped by a write.
    if (change != Change::Remove && !before.unread.isEmpty())
        FUZZ_CHECK(after.first(now.extent).contains(before.unread));
    if (change == Change::NewValues) {
        TID3v2Tag reread;
        FUZZ_CHECK(reread.ReadFromFile(path));
        FUZZ_CHECK(reread.Title == tag.Title && reread.Artist == tag.Artist && reread.Track == 3);
        FUZZ_CHECK(reread.Year == tag.Year && reread.Lyrics == tag.Lyrics);
        FUZZ_CHECK(reread.GeneralURL == tag.GeneralURL);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzz::bytesOf(data, size);
    const TagExtent before = tagExtent(input);
    for (Change change : {Change::Nothing, Change::NewValues, Change::Remove})
        writeAndCheck(input, before, change);
    return 0;
}
