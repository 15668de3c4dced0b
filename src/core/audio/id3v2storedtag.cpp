#include "core/audio/id3v2storedtag.h"

#include "core/audio/id3v22upgrade.h"
#include "core/audio/id3v2text.h"

#include <QBuffer>
#include <QIODevice>

#include <optional>

using namespace id3v2;

namespace {

// The length of the extended header at the start of a body of bodySize
// bytes, from its first four bytes; false when its size is damaged.
bool extendedHeaderLength(QByteArrayView sizeBytes, int majorVersion, qint64 bodySize, qint64 &length)
{
    if (sizeBytes.size() < 4 || bodySize < 4)
        return false;
    sizeBytes = sizeBytes.first(4);
    if (majorVersion == 3) {
        // The v2.3 size leaves out its own four bytes.
        const quint32 size = bigEndian32(sizeBytes);
        if (size > quint32(bodySize - 4))
            return false;
        length = 4 + qint64(size);
        return true;
    }
    if (!isSyncSafe(sizeBytes))
        return false;
    const quint32 size = syncSafe(sizeBytes);
    if (size < 6 || size > quint64(bodySize))
        return false;
    length = size;
    return true;
}

const QString DamagedExtendedHeader = QStringLiteral("The extended header of the ID3v2 tag is damaged.");

// What follows reading the frames: v2.4 frames undone of their encoding,
// v2.2 frames in their v2.3 form.
void finishFrames(StoredID3v2Tag &tag)
{
    if (tag.majorVersion == 4) {
        for (int i = 0; i < tag.frames.count(); ++i)
            tag.frames.at(i)->normaliseV24(tag.flags & TagUnsynchronised);
        // The bytes kept unread go back into a tag written without the
        // flag: they must be plain too.
        QByteArray plain;
        if ((tag.flags & TagUnsynchronised) && undoUnsynchronisation(tag.frames.unreadBytes(), plain))
            tag.frames.setUnreadBytes(plain);
    }
    if (tag.majorVersion == 2) {
        tag.upgradable = upgradeV22Frames(tag.frames);
        if (!tag.upgradable)
            tag.problem = QStringLiteral("The ID3v2.2 tag holds frames that have no ID3v2.3 form.");
        // Unread v2.2 bytes cannot go into the v2.3 tag it becomes.
        if (!tag.frames.unreadBytes().isEmpty()) {
            tag.upgradable = false;
            tag.problem = QStringLiteral("The ID3v2.2 tag holds a frame that cannot be read; the tag is left "
                                         "as it is so that the frames after it are not lost.");
        }
    }
    tag.parsed = true;
}

// v2.2 compression is not supported; whole-tag unsynchronisation (v2.2,
// v2.3) must be undone before the frames can be walked.
bool isCompressedV22(const StoredID3v2Tag &tag)
{
    return tag.majorVersion == 2 && (tag.flags & TagExtendedHeader);
}

bool isUnsynchronisedAsWhole(const StoredID3v2Tag &tag)
{
    return tag.majorVersion < 4 && (tag.flags & TagUnsynchronised);
}

void parseBody(StoredID3v2Tag &tag, QByteArray body)
{
    if (isCompressedV22(tag)) {
        tag.problem = QStringLiteral("The ID3v2.2 tag is compressed.");
        return;
    }
    if (isUnsynchronisedAsWhole(tag)) {
        QByteArray plain;
        if (undoUnsynchronisation(body, plain))
            body = plain;
    }
    qint64 offset = 0;
    if (tag.majorVersion >= 3 && (tag.flags & TagExtendedHeader)
        && !extendedHeaderLength(body, tag.majorVersion, body.size(), offset)) {
        tag.problem = DamagedExtendedHeader;
        return;
    }
    QBuffer buffer(&body);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(offset);
    tag.frames.ReadFromStream(buffer, body.size(), tag.majorVersion);
    finishFrames(tag);
}

// Reads the header at offset 0; true when a supported tag's body follows.
bool readHeader(QIODevice &file, StoredID3v2Tag &tag, QByteArray &header)
{
    header = file.read(HeaderSize);
    if (header.size() < HeaderSize || !header.startsWith("ID3"))
        return false;
    tag.majorVersion = static_cast<uchar>(header[3]);
    tag.revision = static_cast<uchar>(header[4]);
    tag.flags = static_cast<uchar>(header[5]);
    if (tag.majorVersion < 2 || tag.majorVersion > 4 || tag.revision == 0xFF) {
        tag.kind = StoredID3v2Tag::Kind::Unsupported;
        tag.problem = QStringLiteral("The file starts with an ID3v2 tag of unknown version 2.%1.")
                          .arg(tag.majorVersion);
        return false;
    }
    tag.kind = StoredID3v2Tag::Kind::Supported;
    const QByteArrayView sizeBytes = QByteArrayView(header).sliced(6, 4);
    tag.size = syncSafe(sizeBytes);
    const bool footer = tag.majorVersion == 4 && (tag.flags & TagFooter);
    tag.extent = HeaderSize + tag.size + (footer ? HeaderSize : 0);
    tag.extentKnown = isSyncSafe(sizeBytes) && tag.extent <= file.size();
    return true;
}

// The body bytes there are: the size is untrusted, so never read (or
// allocate) past the file's end.
qint64 availableBody(QIODevice &file, const StoredID3v2Tag &tag)
{
    return qMin(tag.size, file.size() - HeaderSize);
}

// Starts reading the tag at offset 0 into a fresh tag: nothing when a
// supported tag's body follows, else what the reader returns (false on a
// read error, true when there is no tag it can read).
std::optional<bool> startTag(QIODevice &file, StoredID3v2Tag &tag, QByteArray &header)
{
    tag = StoredID3v2Tag();
    if (!file.seek(0))
        return false;
    if (!readHeader(file, tag, header))
        return true;
    return std::nullopt;
}

bool readBody(QIODevice &file, const StoredID3v2Tag &tag, QByteArray &body)
{
    const qint64 available = availableBody(file, tag);
    body = file.read(available);
    return body.size() == available;
}

} // namespace

bool readStoredTag(QIODevice &file, StoredID3v2Tag &tag)
{
    QByteArray header;
    QByteArray body;
    if (const std::optional<bool> done = startTag(file, tag, header))
        return *done;
    if (!readBody(file, tag, body))
        return false;
    if (tag.extentKnown) {
        tag.raw = header + body;
        if (tag.extent > HeaderSize + tag.size)
            tag.raw += file.read(HeaderSize);
    }
    parseBody(tag, body);
    return true;
}

bool readTagForFields(QIODevice &file, StoredID3v2Tag &tag)
{
    QByteArray header;
    if (const std::optional<bool> done = startTag(file, tag, header))
        return *done;
    tag.frames.setFieldsOnly(true);
    if (isCompressedV22(tag) || isUnsynchronisedAsWhole(tag)) {
        QByteArray body;
        if (!readBody(file, tag, body))
            return false;
        parseBody(tag, body);
        return true;
    }
    // The frames are walked in the file itself: positions count from the
    // start of the file, the body ends HeaderSize bytes later.
    const qint64 available = availableBody(file, tag);
    qint64 offset = 0;
    if (tag.majorVersion >= 3 && (tag.flags & TagExtendedHeader)
        && !extendedHeaderLength(file.read(4), tag.majorVersion, available, offset)) {
        tag.problem = DamagedExtendedHeader;
        return true;
    }
    if (!file.seek(HeaderSize + offset))
        return false;
    tag.frames.ReadFromStream(file, HeaderSize + available, tag.majorVersion);
    finishFrames(tag);
    return true;
}
