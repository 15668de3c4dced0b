#include "core/audio/id3v2tag.h"

#include "core/audio/genretext.h"
#include "core/audio/id3v2storedtag.h"
#include "core/audio/id3v2text.h"
#include "core/audio/mergedfields.h"
#include "core/audio/prefixrewrite.h"
#include "core/audio/tagwritelock.h"
#include "core/base/filereplacement.h"
#include "core/base/regularfile.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>
#include <QRegularExpression>

#include <algorithm>
#include <array>

#include <zlib.h>

using namespace id3v2;

namespace {

// Second flag byte of a frame.
constexpr quint8 V23Compressed = 0x80;
constexpr quint8 V23Encrypted = 0x40;
constexpr quint8 V23Grouped = 0x20;
constexpr quint8 V24Grouped = 0x40;
constexpr quint8 V24Compressed = 0x08;
constexpr quint8 V24Encrypted = 0x04;
constexpr quint8 V24Unsynchronised = 0x02;
constexpr quint8 V24DataLength = 0x01;

bool isValidId(const QByteArray &id, int length)
{
    return id.size() == length && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

quint8 byteAt(const QByteArray &bytes, int i)
{
    return static_cast<quint8>(bytes[i]);
}

} // namespace

// ---------------------------------------------------------------- TID3Frame

TID3Frame::TID3Frame(const QByteArray &id, const QByteArray &data)
    : FrameID(id)
{
    setData(data);
}

bool TID3Frame::ReadFromStream(QIODevice &stream, int majorVersion, qint64 limit)
{
    return ReadFromStream(stream, majorVersion, limit, majorVersion >= 4);
}

bool TID3Frame::ReadFromStream(QIODevice &stream, int majorVersion, qint64 limit, bool syncSafeSizes,
                               bool skipData)
{
    DataSkipped = false;
    const bool v22 = majorVersion == 2;
    const int idLength = v22 ? 3 : 4;
    const int headerLength = v22 ? 6 : 10;
    if (limit < 0)
        limit = stream.size();
    if (limit - stream.pos() < headerLength)
        return false;
    const QByteArray header = stream.read(headerLength);
    if (header.size() != headerLength || !isValidId(header.left(idLength), idLength))
        return false;
    qint64 size = 0;
    const QByteArrayView sizeBytes = QByteArrayView(header).sliced(idLength, v22 ? 3 : 4);
    if (v22)
        size = (byteAt(header, 3) << 16) | (byteAt(header, 4) << 8) | byteAt(header, 5);
    else if (syncSafeSizes)
        size = isSyncSafe(sizeBytes) ? syncSafe(sizeBytes) : -1;
    else
        size = bigEndian32(sizeBytes);
    // A size beyond the tag is a damaged frame: it must not drive a read.
    if (size < 0 || size > limit - stream.pos())
        return false;
    if (skipData && !HoldsFieldValue(QByteArrayView(header).first(idLength))) {
        if (!stream.seek(stream.pos() + size))
            return false;
        FrameID = header.left(idLength);
        StatusFlags = v22 ? 0 : byteAt(header, 8);
        FormatFlags = v22 ? 0 : byteAt(header, 9);
        setData(QByteArray());
        DataSkipped = true;
        return true;
    }
    const QByteArray data = stream.read(size);
    if (data.size() != size)
        return false;
    FrameID = header.left(idLength);
    StatusFlags = v22 ? 0 : byteAt(header, 8);
    FormatFlags = v22 ? 0 : byteAt(header, 9);
    setData(data);
    return true;
}

bool TID3Frame::WriteToStream(QIODevice &stream, int majorVersion) const
{
    // The data decides the size, should a caller have touched one without the other.
    const auto size = quint32(Data.size());
    if (FrameID.size() != 4 || (majorVersion >= 4 && size > MaxSyncSafe))
        return false;
    QByteArray header = FrameID;
    header += majorVersion >= 4 ? toSyncSafe(size) : toBigEndian32(size);
    header += char(StatusFlags);
    header += char(FormatFlags);
    return stream.write(header) == header.size() && stream.write(Data) == Data.size();
}

bool TID3Frame::IsValidID(const QByteArray &id)
{
    return isValidId(id, 4);
}

bool TID3Frame::HoldsFieldValue(QByteArrayView id)
{
    return id.startsWith('T') || id.startsWith('W') || id == "COMM" || id == "USLT" || id == "COM"
           || id == "ULT";
}

void TID3Frame::FreeData()
{
    Data.clear();
    Size = 0;
}

void TID3Frame::setData(const QByteArray &data)
{
    Data = data;
    Size = qint32(data.size());
}

bool TID3Frame::isOpaque(int majorVersion) const
{
    if (majorVersion == 3)
        return FormatFlags & (V23Compressed | V23Encrypted);
    if (majorVersion >= 4)
        return FormatFlags & (V24Compressed | V24Encrypted);
    return false;
}

qsizetype TID3Frame::prefixLength(int majorVersion) const
{
    if (majorVersion == 3)
        return (FormatFlags & V23Compressed ? 4 : 0) + (FormatFlags & V23Encrypted ? 1 : 0)
            + (FormatFlags & V23Grouped ? 1 : 0);
    if (majorVersion >= 4)
        return (FormatFlags & V24Grouped ? 1 : 0) + (FormatFlags & V24Encrypted ? 1 : 0)
            + (FormatFlags & V24DataLength ? 4 : 0);
    return 0;
}

QByteArray TID3Frame::content(int majorVersion) const
{
    if (!isOpaque(majorVersion))
        return Data.mid(prefixLength(majorVersion));
    return decompressed(majorVersion);
}

QByteArray TID3Frame::decompressed(int majorVersion) const
{
    // Text frames are small: a larger compressed one is not worth the
    // memory a crafted one could make it take (zlib expands a thousandfold).
    constexpr qsizetype MaxCompressed = 64 * 1024;
    const bool v23 = majorVersion == 3;
    const bool compressed = FormatFlags & (v23 ? V23Compressed : V24Compressed);
    const bool encrypted = FormatFlags & (v23 ? V23Encrypted : V24Encrypted);
    const qsizetype prefix = prefixLength(majorVersion);
    if (majorVersion < 3 || !compressed || encrypted || Data.size() <= prefix || Data.size() > MaxCompressed)
        return QByteArray();
    // The size of the data once decompressed: first in a v2.3 frame, a
    // sync-safe data length indicator at the end of the v2.4 prefix.
    const QByteArrayView sizeBytes = v23 ? QByteArrayView(Data).first(4) : QByteArrayView(Data).sliced(prefix - 4, 4);
    if (!v23 && !(FormatFlags & V24DataLength))
        return QByteArray();
    const quint32 size = v23 ? bigEndian32(sizeBytes) : (isSyncSafe(sizeBytes) ? syncSafe(sizeBytes) : 0);
    if (size == 0 || size > quint32(MaxCompressed) * 16)
        return QByteArray();
    // zlib itself, into exactly the size announced: qUncompress would print
    // a warning of its own for every damaged frame a file holds.
    QByteArray plain(qsizetype(size), Qt::Uninitialized);
    uLongf plainSize = size;
    const QByteArrayView packed = QByteArrayView(Data).sliced(prefix);
    const int result = ::uncompress(reinterpret_cast<Bytef *>(plain.data()), &plainSize,
                                    reinterpret_cast<const Bytef *>(packed.data()), uLong(packed.size()));
    return result == Z_OK && plainSize == size ? plain : QByteArray();
}

void TID3Frame::setContent(const QByteArray &content, int majorVersion)
{
    const qsizetype prefix = prefixLength(majorVersion);
    if (isOpaque(majorVersion) || Data.size() < prefix) {
        FormatFlags = 0;
        setData(content);
        return;
    }
    setData(Data.left(prefix) + content);
}

void TID3Frame::normaliseV24(bool tagUnsynchronised)
{
    if ((FormatFlags & V24Unsynchronised) || tagUnsynchronised) {
        QByteArray plain;
        if (undoUnsynchronisation(Data, plain))
            setData(plain);
        FormatFlags &= ~V24Unsynchronised;
    }
    const qsizetype group = FormatFlags & V24Grouped ? 1 : 0;
    if (!isOpaque(4) && (FormatFlags & V24DataLength) && Data.size() >= group + 4) {
        QByteArray data = Data;
        setData(data.remove(group, 4));
        FormatFlags &= ~V24DataLength;
    }
}

// ------------------------------------------------------------ TID3FrameList

void TID3FrameList::Clear()
{
    m_frames.clear();
    m_unreadBytes.clear();
}

qint64 TID3FrameList::TotalSize() const
{
    qint64 total = 0;
    for (const auto &frame : m_frames)
        total += frame->Data.size() + 10;
    return total + m_unreadBytes.size();
}

bool TID3FrameList::ReadFromStream(QIODevice &stream, qint64 endPosition, int majorVersion)
{
    Clear();
    m_majorVersion = majorVersion;
    const qint64 start = stream.pos();
    readFrames(stream, endPosition, majorVersion >= 4);
    if (majorVersion >= 4 && !m_endedCleanly) {
        // Some writers put plain 32-bit frame sizes into v2.4 tags: take
        // that reading when it, and only it, walks the tag cleanly.
        auto syncSafeFrames = std::move(m_frames);
        const QByteArray syncSafeTail = m_unreadBytes;
        stream.seek(start);
        readFrames(stream, endPosition, false);
        if (!m_endedCleanly) {
            m_frames = std::move(syncSafeFrames);
            m_unreadBytes = syncSafeTail;
            m_endedCleanly = false;
        }
    }
    return !m_frames.empty();
}

bool TID3FrameList::readFrames(QIODevice &stream, qint64 endPosition, bool syncSafeSizes)
{
    m_frames.clear();
    m_unreadBytes.clear();
    m_endedCleanly = false;
    const qint64 end = qMin(endPosition, stream.size());
    for (;;) {
        char first = 0;
        if (stream.pos() >= end || stream.peek(&first, 1) != 1 || first == '\0') {
            m_endedCleanly = true;  // the end of the tag, or padding
            break;
        }
        const qint64 frameStart = stream.pos();
        auto frame = std::make_unique<TID3Frame>();
        if (!frame->ReadFromStream(stream, m_majorVersion, end, syncSafeSizes, m_fieldsOnly)) {
            // A frame we cannot walk past (a bad id or size): what follows
            // may still be the user's frames, kept as bytes to write back.
            if (!m_fieldsOnly && stream.seek(frameStart))
                m_unreadBytes = stream.read(end - frameStart);
            break;
        }
        if (!frame->DataSkipped)
            m_frames.push_back(std::move(frame));
    }
    return !m_frames.empty();
}

bool TID3FrameList::WriteToStream(QIODevice &stream, int majorVersion) const
{
    for (const auto &frame : m_frames)
        if (!frame->WriteToStream(stream, majorVersion))
            return false;
    return stream.write(m_unreadBytes) == m_unreadBytes.size();
}

TID3Frame *TID3FrameList::FindFrame(const QByteArray &id) const
{
    for (const auto &frame : m_frames)
        if (frame->FrameID == id)
            return frame.get();
    return nullptr;
}

TID3Frame *TID3FrameList::append(std::unique_ptr<TID3Frame> frame)
{
    m_frames.push_back(std::move(frame));
    return m_frames.back().get();
}

void TID3FrameList::putContent(TID3Frame *frame, const QByteArray &id, const QByteArray &content)
{
    if (frame)
        frame->setContent(content, m_majorVersion);
    else
        append(std::make_unique<TID3Frame>(id, content));
}

void TID3FrameList::remove(const TID3Frame *frame)
{
    std::erase_if(m_frames, [frame](const auto &f) { return f.get() == frame; });
}

void TID3FrameList::removeAll(const QByteArray &id)
{
    std::erase_if(m_frames, [&id](const auto &f) { return f->FrameID == id; });
}

QByteArray TID3FrameList::firstContent(const QByteArray &id) const
{
    const TID3Frame *frame = FindFrame(id);
    return frame ? frame->content(m_majorVersion) : QByteArray();
}

QString TID3FrameList::GetTextFrame(const QByteArray &id) const
{
    const QByteArray content = firstContent(id);
    if (content.isEmpty() || !isValidEncoding(content[0]))
        return QString();
    const int encoding = content[0];
    // v2.4 separates several values by terminators: the first one counts.
    return trimmedControls(decode(nextString(content, 1, encoding).bytes, encoding));
}

QStringList TID3FrameList::GetTextFrameValues(const QByteArray &id) const
{
    const QByteArray content = firstContent(id);
    if (content.isEmpty() || !isValidEncoding(content[0]))
        return {};
    const int encoding = content[0];
    QStringList values;
    for (qsizetype at = 1; at < content.size();) {
        const EncodedString value = nextString(content, at, encoding);
        if (const QString text = trimmedControls(decode(value.bytes, encoding)); !text.isEmpty())
            values.append(text);
        at = value.next;
    }
    return values;
}

void TID3FrameList::SetTextFrame(const QByteArray &id, const QString &text)
{
    if (GetTextFrame(id) == text)
        return;  // unchanged: keep the frame byte for byte
    if (text.isEmpty()) {
        removeAll(id);  // a second frame of the id would show up instead
        return;
    }
    TID3Frame *frame = FindFrame(id);
    const int encoding = encodingFor({text}, m_majorVersion);
    const QByteArray content = char(encoding) + encode(text, encoding, false);
    putContent(frame, id, content);
}

QString TID3FrameList::GetURLFrame(const QByteArray &id) const
{
    return trimmedControls(decode(nextString(firstContent(id), 0, Latin1).bytes, Latin1));
}

void TID3FrameList::SetURLFrame(const QByteArray &id, const QString &url)
{
    if (GetURLFrame(id) == url)
        return;
    if (url.isEmpty()) {
        removeAll(id);
        return;
    }
    putContent(FindFrame(id), id, encodeUrl(url));
}

QString TID3FrameList::describedText(const TID3Frame &frame, const QString &description,
                                     bool *matches) const
{
    *matches = false;
    const QByteArray content = frame.content(m_majorVersion);
    if (content.size() < 4 || !isValidEncoding(content[0]))
        return QString();
    const int encoding = content[0];
    const EncodedString desc = nextString(content, 4, encoding);  // after the language
    if (decode(desc.bytes, encoding) != description)
        return QString();
    *matches = true;
    return trimmedControls(decode(nextString(content, desc.next, encoding).bytes, encoding));
}

TID3Frame *TID3FrameList::describedFrame(const QByteArray &id, const QString &description,
                                         bool withText) const
{
    for (const auto &frame : m_frames) {
        if (frame->FrameID != id)
            continue;
        bool matches = false;
        const QString text = describedText(*frame, description, &matches);
        if (matches && (!withText || !text.isEmpty()))
            return frame.get();
    }
    return nullptr;
}

QString TID3FrameList::GetDescribedFrame(const QByteArray &id, const QString &description) const
{
    const TID3Frame *frame = describedFrame(id, description, true);
    bool matches = false;
    return frame ? describedText(*frame, description, &matches) : QString();
}

void TID3FrameList::SetDescribedFrame(const QByteArray &id, const QString &description,
                                      const QString &text)
{
    if (GetDescribedFrame(id, description) == text)
        return;
    TID3Frame *withText = describedFrame(id, description, true);
    if (text.isEmpty()) {
        // Frames of other languages with the description would show next.
        for (; withText; withText = describedFrame(id, description, true))
            remove(withText);
        return;
    }
    TID3Frame *frame = withText ? withText : describedFrame(id, description, false);
    const int encoding = encodingFor({description, text}, m_majorVersion);
    // An existing frame keeps its language; new ones carry none.
    const QByteArray language = frame ? frame->content(m_majorVersion).mid(1, 3) : QByteArray(3, '\0');
    const QByteArray content = char(encoding) + language + encode(description, encoding, true)
        + encode(text, encoding, false);
    putContent(frame, id, content);
}

QString TID3FrameList::GetUserURLFrame(const QByteArray &id) const
{
    const QByteArray content = firstContent(id);
    if (content.isEmpty() || !isValidEncoding(content[0]))
        return QString();
    const EncodedString desc = nextString(content, 1, content[0]);
    // The URL itself is always ISO-8859-1.
    return trimmedControls(decode(nextString(content, desc.next, Latin1).bytes, Latin1));
}

void TID3FrameList::SetUserURLFrame(const QByteArray &id, const QString &url)
{
    if (GetUserURLFrame(id) == url)
        return;
    if (url.isEmpty()) {
        removeAll(id);  // the reader shows the first of them, whatever its description
        return;
    }
    TID3Frame *frame = FindFrame(id);
    // The frame keeps its description.
    QString description;
    const QByteArray old = firstContent(id);
    if (!old.isEmpty() && isValidEncoding(old[0]))
        description = decode(nextString(old, 1, old[0]).bytes, old[0]);
    const int encoding = encodingFor({description}, m_majorVersion);
    const QByteArray content = char(encoding) + encode(description, encoding, true) + encodeUrl(url);
    putContent(frame, id, content);
}

// ---------------------------------------------------------------- TID3v2Tag

namespace {

using Layout = TFrameLayout;

// The fields in the order their frames join a new tag: the table's, but
// for the year, which tags have always carried before the album.
const std::array<const TMergedFieldRow *, MergedFieldCount> &fieldBindings()
{
    static const std::array<const TMergedFieldRow *, MergedFieldCount> order = [] {
        std::array<const TMergedFieldRow *, MergedFieldCount> rows{};
        size_t next = 0;
        for (const TMergedFieldRow &row : MergedFieldRows()) {
            if (row.Field == TMergedField::Year)
                continue;
            if (row.Field == TMergedField::Album)
                rows[next++] = &MergedFieldRow(TMergedField::Year);
            rows[next++] = &row;
        }
        return rows;
    }();
    return order;
}

// v2.4 dates the recording in "TDRC", v2.3 keeps the year in "TYER".
QByteArray yearFrame(int majorVersion)
{
    return majorVersion >= 4 ? "TDRC" : "TYER";
}

QByteArray otherYearFrame(int majorVersion)
{
    return majorVersion >= 4 ? "TYER" : "TDRC";
}

QString storedYear(const TID3FrameList &frames)
{
    const QString own = frames.GetTextFrame(yearFrame(frames.majorVersion()));
    return own.isEmpty() ? frames.GetTextFrame(otherYearFrame(frames.majorVersion())) : own;
}

// "2004-05-06T12:00" is the year 2004; other texts stay as they are.
QString yearOf(const QString &stored)
{
    static const QRegularExpression timestamp(QStringLiteral("^(\\d{4})(?:[-T ].*)?$"));
    const auto match = timestamp.match(stored);
    return match.hasMatch() ? match.captured(1) : stored;
}

// "3" and "3/12" are track 3; anything else is no number (0).
qint32 leadingNumber(const QString &stored)
{
    static const QRegularExpression number(QStringLiteral("^([+-]?\\d+)(?:/.*)?$"));
    const auto match = number.match(stored);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

void writeNumber(TID3FrameList &frames, const QByteArray &id, qint32 value)
{
    const QString stored = frames.GetTextFrame(id);
    if (leadingNumber(stored) == value)
        return;
    if (value == 0) {
        frames.SetTextFrame(id, QString());
        return;
    }
    QString text = QString::number(value);
    const qsizetype slash = stored.indexOf(u'/');
    if (slash >= 0)
        text += stored.mid(slash);  // keep the total of "3/12"
    frames.SetTextFrame(id, text);
}

// Several values of a v2.4 frame (or of a v2.3 one, as some writers make
// them) are kept as one text, joined as the collection joins genres.
QString storedGenre(const TID3FrameList &frames)
{
    return frames.GetTextFrameValues("TCON").join(GenreSeparator);
}

// A frame naming the same genres is kept byte for byte; several genres are
// written so that other programs read them as several.
void writeGenre(TID3FrameList &frames, const QString &genre)
{
    const QStringList names = genreNames(genre);
    if (genreNames(storedGenre(frames)) == names)
        return;
    frames.SetTextFrame("TCON", names.size() > 1 ? genreFrameText(names, frames.majorVersion()) : genre);
}

void writeYear(TID3FrameList &frames, const QString &year)
{
    if (yearOf(storedYear(frames)) == year)
        return;
    frames.SetTextFrame(yearFrame(frames.majorVersion()), year);
    // A year in the other version's frame would contradict the new one, and
    // the day and time of the old recording date do not belong to it.
    frames.SetTextFrame(otherYearFrame(frames.majorVersion()), QString());
    frames.removeAll("TDAT");
    frames.removeAll("TIME");
}

QByteArray tagHeader(int majorVersion, quint8 flags, quint32 size)
{
    QByteArray header("ID3");
    header += char(majorVersion);
    header += char(0);
    header += char(flags);
    header += toSyncSafe(size);
    return header;
}

bool writeInPlace(const QString &fileName, const QByteArray &tag, QString *error)
{
    if (!OwnerMayWrite(fileName)) {
        *error = QStringLiteral("The file is read-only.");
        return false;
    }
    QFile file;
    if (!OpenRegularFile(file, fileName, QIODevice::ReadWrite, error))
        return false;
    if (file.size() < tag.size()) {
        *error = QStringLiteral("The file changed while the tag was written.");
        return false;
    }
    if (file.write(tag) != tag.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

QString TID3v2Tag::GetGenre() const
{
    return Genre;
}

void TID3v2Tag::SetGenre(const QString &text)
{
    Genre = text;
}

QString TID3v2Tag::genreDisplayText() const
{
    return ::genreDisplayText(Genre);
}

void TID3v2Tag::Clear()
{
    TID3Tag::Clear();
    for (const TMergedFieldRow *row : fieldBindings()) {
        if (row->V2.Text)
            (this->*row->V2.Text).clear();
        else
            this->*row->V2.Number = 0;
    }
    FrameList.Clear();
    MajorVersion = 0;
    Revision = 0;
    Flags = 0;
}

bool TID3v2Tag::fail(const QString &message)
{
    m_errorString = message;
    return false;
}

void TID3v2Tag::takeFieldsFromFrames()
{
    for (const TMergedFieldRow *row : fieldBindings()) {
        const TMergedFieldRow &b = *row;
        switch (b.Layout) {
        case Layout::Text:
            this->*b.V2.Text = FrameList.GetTextFrame(b.FrameID);
            break;
        case Layout::Number:
            this->*b.V2.Number = leadingNumber(FrameList.GetTextFrame(b.FrameID));
            break;
        case Layout::Year:
            this->*b.V2.Text = yearOf(storedYear(FrameList));
            break;
        case Layout::Genre:
            this->*b.V2.Text = storedGenre(FrameList);
            break;
        case Layout::Url:
            this->*b.V2.Text = FrameList.GetURLFrame(b.FrameID);
            break;
        case Layout::Described:
            this->*b.V2.Text = FrameList.GetDescribedFrame(b.FrameID, QString::fromLatin1(b.Description));
            break;
        case Layout::UserUrl:
            this->*b.V2.Text = FrameList.GetUserURLFrame(b.FrameID);
            break;
        }
    }
}

void TID3v2Tag::putFieldsIntoFrames()
{
    for (const TMergedFieldRow *row : fieldBindings()) {
        const TMergedFieldRow &b = *row;
        switch (b.Layout) {
        case Layout::Text:
            FrameList.SetTextFrame(b.FrameID, this->*b.V2.Text);
            break;
        case Layout::Number:
            writeNumber(FrameList, b.FrameID, this->*b.V2.Number);
            break;
        case Layout::Year:
            writeYear(FrameList, this->*b.V2.Text);
            break;
        case Layout::Genre:
            writeGenre(FrameList, this->*b.V2.Text);
            break;
        case Layout::Url:
            FrameList.SetURLFrame(b.FrameID, this->*b.V2.Text);
            break;
        case Layout::Described:
            FrameList.SetDescribedFrame(b.FrameID, QString::fromLatin1(b.Description), this->*b.V2.Text);
            break;
        case Layout::UserUrl:
            FrameList.SetUserURLFrame(b.FrameID, this->*b.V2.Text);
            break;
        }
    }
}

bool TID3v2Tag::ReadFromFile(const QString &fileName)
{
    Clear();
    m_errorString.clear();
    QFile file;
    QString problem;
    if (!OpenRegularFile(file, fileName, QIODevice::ReadOnly, &problem))
        return fail(problem);
    return readFromDevice(file);
}

bool TID3v2Tag::readFromDevice(QIODevice &device)
{
    Clear();
    m_errorString.clear();
    StoredID3v2Tag stored;
    if (!readTagForFields(device, stored))
        return fail(QStringLiteral("Reading the file failed."));
    if (stored.kind != StoredID3v2Tag::Kind::Supported)
        return fail(stored.problem);
    MajorVersion = stored.majorVersion;
    Revision = stored.revision;
    Flags = stored.flags;
    TagSize = qint32(stored.size);
    FrameList = std::move(stored.frames);
    takeFieldsFromFrames();
    FrameList.Clear();
    Exists = true;
    return true;
}

bool TID3v2Tag::WriteToFile(const QString &fileName)
{
    m_errorString.clear();
    // The tag's size is read under the lock: what follows it is copied
    // behind the new tag, and must be the audio, not another writer's tag.
    TFileLock lock;
    if (!tagwritelock::Acquire(lock, fileName, &m_errorString))
        return false;
    StoredID3v2Tag stored;
    {
        QFile file;
        QString problem;
        if (!OpenRegularFile(file, fileName, QIODevice::ReadOnly, &problem))
            return fail(problem);
        if (!readStoredTag(file, stored))
            return fail(QStringLiteral("Reading the file failed."));
    }
    if (stored.kind == StoredID3v2Tag::Kind::Unsupported)
        return fail(stored.problem);
    const bool hasTag = stored.kind == StoredID3v2Tag::Kind::Supported;
    if (hasTag && !stored.extentKnown)
        return fail(QStringLiteral("The size of the ID3v2 tag is damaged or reaches beyond the end of the file."));

    if (!Enabled) {
        if (hasTag && !rewriteFilePrefix(fileName, QByteArray(), stored.extent, &m_errorString, &lock))
            return false;
        Clear();
        return true;
    }
    if (hasTag && (!stored.parsed || !stored.upgradable))
        return fail(stored.problem);

    // v2.2 tags come upgraded to v2.3; v2.3 and v2.4 keep their version.
    const int version = hasTag && stored.majorVersion == 4 ? 4 : 3;
    FrameList = std::move(stored.frames);
    FrameList.setMajorVersion(version);
    putFieldsIntoFrames();
    QBuffer frames;
    frames.open(QIODevice::WriteOnly);
    const bool serialised = FrameList.WriteToStream(frames, version);
    const bool empty = FrameList.isEmpty();
    FrameList.Clear();
    if (!serialised)
        return fail(QStringLiteral("A frame of the ID3v2 tag is too large."));

    if (empty) {
        // No value and no other frame left: a tag needs at least one frame.
        if (hasTag && !rewriteFilePrefix(fileName, QByteArray(), stored.extent, &m_errorString, &lock))
            return false;
        Exists = false;
        TagSize = 0;
        return true;
    }
    // Unsynchronisation, the extended header and the footer are never
    // written; experimental is the only flag that still holds.
    const quint8 flags = hasTag ? (stored.flags & TagExperimental) : 0;
    const QByteArray &frameBytes = frames.data();
    qint64 size = 0;
    if (hasTag && frameBytes.size() < stored.extent - HeaderSize) {
        size = stored.extent - HeaderSize;  // the old footer becomes padding
        QByteArray tag = tagHeader(version, flags, quint32(size)) + frameBytes;
        tag.append(size - frameBytes.size(), '\0');
        if (tag != stored.raw && !writeInPlace(fileName, tag, &m_errorString))
            return false;
    } else {
        constexpr qint64 Padding = 1024;
        size = frameBytes.size() + Padding;
        if (size > MaxSyncSafe)
            return fail(QStringLiteral("The ID3v2 tag would be too large."));
        QByteArray tag = tagHeader(version, flags, quint32(size)) + frameBytes;
        tag.append(Padding, '\0');
        if (!rewriteFilePrefix(fileName, tag, hasTag ? stored.extent : 0, &m_errorString, &lock))
            return false;
    }
    Exists = true;
    TagSize = qint32(size);
    MajorVersion = version;
    Revision = 0;
    Flags = flags;
    return true;
}
