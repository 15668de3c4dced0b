#include "id3v2storedtag.h"

#include "id3v22upgrade.h"
#include "id3v2text.h"

#include <QBuffer>
#include <QIODevice>

using namespace id3v2;

namespace {

// Leaves `offset` after the extended header; false when its size is damaged.
bool skipExtendedHeader(const QByteArray &body, int majorVersion, qsizetype &offset)
{
    if (body.size() < 4)
        return false;
    const QByteArrayView sizeBytes(body.constData(), 4);
    if (majorVersion == 3) {
        // The v2.3 size leaves out its own four bytes.
        const quint32 size = bigEndian32(sizeBytes);
        if (size > quint32(body.size() - 4))
            return false;
        offset = 4 + size;
        return true;
    }
    if (!isSyncSafe(sizeBytes))
        return false;
    const quint32 size = syncSafe(sizeBytes);
    if (size < 6 || size > quint32(body.size()))
        return false;
    offset = size;
    return true;
}

void parseBody(StoredID3v2Tag &tag, QByteArray body)
{
    if (tag.majorVersion == 2 && (tag.flags & TagExtendedHeader)) {
        tag.problem = QStringLiteral("The ID3v2.2 tag is compressed.");
        return;
    }
    // v2.2 and v2.3 unsynchronise the whole tag, v2.4 each frame.
    if (tag.majorVersion < 4 && (tag.flags & TagUnsynchronised)) {
        QByteArray plain;
        if (undoUnsynchronisation(body, plain))
            body = plain;
    }
    qsizetype offset = 0;
    if (tag.majorVersion >= 3 && (tag.flags & TagExtendedHeader)
        && !skipExtendedHeader(body, tag.majorVersion, offset)) {
        tag.problem = QStringLiteral("The extended header of the ID3v2 tag is damaged.");
        return;
    }
    QBuffer buffer(&body);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(offset);
    tag.frames.ReadFromStream(buffer, body.size(), tag.majorVersion);
    if (tag.majorVersion == 4)
        for (int i = 0; i < tag.frames.count(); ++i)
            tag.frames.at(i)->normaliseV24(tag.flags & TagUnsynchronised);
    if (tag.majorVersion == 2) {
        tag.upgradable = upgradeV22Frames(tag.frames);
        if (!tag.upgradable)
            tag.problem = QStringLiteral("The ID3v2.2 tag holds frames that have no ID3v2.3 form.");
    }
    tag.parsed = true;
}

} // namespace

bool readStoredTag(QIODevice &file, StoredID3v2Tag &tag)
{
    tag = StoredID3v2Tag();
    if (!file.seek(0))
        return false;
    const qint64 fileSize = file.size();
    const QByteArray header = file.read(HeaderSize);
    if (header.size() < HeaderSize || !header.startsWith("ID3"))
        return true;
    tag.majorVersion = static_cast<uchar>(header[3]);
    tag.revision = static_cast<uchar>(header[4]);
    tag.flags = static_cast<uchar>(header[5]);
    if (tag.majorVersion < 2 || tag.majorVersion > 4 || tag.revision == 0xFF) {
        tag.kind = StoredID3v2Tag::Kind::Unsupported;
        tag.problem = QStringLiteral("The file starts with an ID3v2 tag of unknown version 2.%1.")
                          .arg(tag.majorVersion);
        return true;
    }
    tag.kind = StoredID3v2Tag::Kind::Supported;
    const QByteArrayView sizeBytes = QByteArrayView(header).sliced(6, 4);
    tag.size = syncSafe(sizeBytes);
    const bool footer = tag.majorVersion == 4 && (tag.flags & TagFooter);
    tag.extent = HeaderSize + tag.size + (footer ? HeaderSize : 0);
    tag.extentKnown = isSyncSafe(sizeBytes) && tag.extent <= fileSize;

    // The size is untrusted: never read (or allocate) past the file's end.
    const qint64 available = qMin(tag.size, fileSize - HeaderSize);
    const QByteArray body = file.read(available);
    if (body.size() != available)
        return false;
    if (tag.extentKnown) {
        tag.raw = header + body;
        if (footer)
            tag.raw += file.read(HeaderSize);
    }
    parseBody(tag, body);
    return true;
}
