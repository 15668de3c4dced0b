#include "core/data/datastream.h"

#include "core/base/localpath.h"
#include "core/base/windows1252.h"
#include "core/data/dataexceptions.h"
#include "core/data/lookuplists.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QtEndian>

#include <array>
#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::array<quint8, 8> scrambleKey = {0x5A, 0x3C, 0x91, 0x07, 0xE4, 0x2B, 0x6D, 0xB8};
constexpr qsizetype maxShortString = 255;
// The most UTF-8 bytes one UTF-16 unit becomes (a surrogate pair, two
// units, becomes four).
constexpr qsizetype maxUtf8PerUnit = 3;

// The key is applied from text position 1 on: position i uses K[i mod 8].
void scrambleInPlace(char *bytes, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(quint8(bytes[i]) ^ scrambleKey[size_t((i + 1) % 8)]);
}

QString decodeText(const char *data, qsizetype size)
{
    if (size == 0)
        return QString();
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(QByteArrayView(data, size));
    if (utf8.hasError())
        return decodeWindows1252(QByteArrayView(data, size));
    return text;
}

// UTF-8 as QString::toUtf8 makes it (an unpaired surrogate becomes '?', as
// files written so far have it), into out, which has room for
// maxUtf8PerUnit bytes per unit.  Returns the end of the bytes written.
char *encodeUtf8(QStringView text, char *out)
{
    const char16_t *unit = text.utf16();
    const char16_t *const end = unit + text.size();
    while (unit < end) {
        const char16_t u = *unit++;
        if (u < 0x80) {
            *out++ = char(u);
        } else if (u < 0x800) {
            *out++ = char(0xC0 | (u >> 6));
            *out++ = char(0x80 | (u & 0x3F));
        } else if (!QChar::isSurrogate(u)) {
            *out++ = char(0xE0 | (u >> 12));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
        } else if (QChar::isHighSurrogate(u) && unit < end && QChar::isLowSurrogate(*unit)) {
            const char32_t c = QChar::surrogateToUcs4(u, *unit++);
            *out++ = char(0xF0 | (c >> 18));
            *out++ = char(0x80 | ((c >> 12) & 0x3F));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        } else {
            *out++ = '?';
        }
    }
    return out;
}

} // namespace

QByteArray scrambleBytes(QByteArray bytes)
{
    scrambleInPlace(bytes.data(), bytes.size());
    return bytes;
}

// ---- TDataReader ----------------------------------------------------------

TDataReader::TDataReader(QIODevice &device)
    : m_device(device)
    , m_unread(device.bytesAvailable())
{
}

TDataReader::~TDataReader() = default;

void TDataReader::fail()
{
    throw EDataRead(QStringLiteral("Read Error"));
}

qsizetype TDataReader::bytesLeft() const
{
    return (m_buffer.size() - m_position) + m_unread;
}

void TDataReader::refill(qsizetype count)
{
    const qsizetype buffered = m_buffer.size() - m_position;
    if (count - buffered > m_unread)
        fail();
    // The rest of the buffer moves to its start and the device's next
    // bytes are read in behind it, into the same memory.
    if (m_position > 0 && buffered > 0)
        std::memmove(m_buffer.data(), m_buffer.constData() + m_position, size_t(buffered));
    m_position = 0;
    const qsizetype wanted = std::min(std::max(count - buffered, BufferSize), qsizetype(m_unread));
    m_buffer.resize(buffered + wanted);
    const qint64 read = std::max<qint64>(m_device.read(m_buffer.data() + buffered, wanted), 0);
    m_unread -= read;
    m_buffer.resize(buffered + qsizetype(read));
    if (m_buffer.size() < count)
        fail();
}

quint8 TDataReader::takeByte()
{
    require(1);
    return quint8(m_buffer.at(m_position++));
}

template<typename T>
T TDataReader::takeLittleEndian()
{
    require(qsizetype(sizeof(T)));
    const T value = qFromLittleEndian<T>(m_buffer.constData() + m_position);
    m_position += qsizetype(sizeof(T));
    return value;
}

TValueType TDataReader::NextValue()
{
    require(1);
    return TValueType(quint8(m_buffer.at(m_position)));
}

void TDataReader::expect(TValueType type)
{
    if (NextValue() != type)
        fail();
    ++m_position;
}

bool TDataReader::EndOfList()
{
    return NextValue() == TValueType::EndOfList;
}

void TDataReader::ReadListBegin()
{
    expect(TValueType::List);
}

void TDataReader::ReadListEnd()
{
    expect(TValueType::EndOfList);
}

qint32 TDataReader::ReadInteger()
{
    switch (NextValue()) {
    case TValueType::Int8:
        ++m_position;
        return takeLittleEndian<qint8>();
    case TValueType::Int16:
        ++m_position;
        return takeLittleEndian<qint16>();
    case TValueType::Int32:
        ++m_position;
        return takeLittleEndian<qint32>();
    default:
        fail();
    }
}

bool TDataReader::ReadBoolean()
{
    switch (NextValue()) {
    case TValueType::False:
        ++m_position;
        return false;
    case TValueType::True:
        ++m_position;
        return true;
    default:
        fail();
    }
}

TDataReader::TBytesView TDataReader::takeStringBytes()
{
    qsizetype length = 0;
    switch (NextValue()) {
    case TValueType::String:
        ++m_position;
        length = takeByte();
        break;
    case TValueType::LongString: {
        ++m_position;
        const quint32 longLength = takeLittleEndian<quint32>();
        // A damaged length must not make us allocate more than the file holds.
        if (longLength > quint64(bytesLeft()))
            fail();
        length = qsizetype(longLength);
        break;
    }
    default:
        fail();
    }
    require(length);
    const TBytesView bytes{m_buffer.constData() + m_position, length};
    m_position += length;
    return bytes;
}

QString TDataReader::ReadString()
{
    const TBytesView bytes = takeStringBytes();
    return decodeText(bytes.Data, bytes.Size);
}

QString TDataReader::ReadScrambledString()
{
    const TBytesView bytes = takeStringBytes();
    m_scratch.resize(bytes.Size);
    char *plain = m_scratch.data();
    std::memcpy(plain, bytes.Data, size_t(bytes.Size));
    scrambleInPlace(plain, bytes.Size);
    return decodeText(plain, bytes.Size);
}

QString TDataReader::ReadFilePath()
{
    const TBytesView bytes = takeStringBytes();
    const QByteArrayView view(bytes.Data, bytes.Size);
    if (view.startsWith('/'))
        return PathFromLocalBytes(view);
    return decodeText(bytes.Data, bytes.Size);
}

double TDataReader::ReadDate()
{
    expect(TValueType::Date);
    const quint64 bits = takeLittleEndian<quint64>();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void TDataReader::SkipSimpleValue()
{
    switch (NextValue()) {
    case TValueType::Int8:
    case TValueType::Int16:
    case TValueType::Int32:
        ReadInteger();
        break;
    case TValueType::String:
    case TValueType::LongString:
        takeStringBytes();
        break;
    default:
        fail();
    }
}

const TDataReader::TLookupIndex &TDataReader::lookupIndex(const TLookupList *list)
{
    for (const TLookupIndex &index : m_lookupIndexes) {
        if (index.List == list)
            return index;
    }
    TLookupIndex index;
    index.List = list;
    const int count = list->Count();
    if (count > 0) {
        qint32 low = std::numeric_limits<qint32>::max();
        qint32 high = std::numeric_limits<qint32>::min();
        for (int i = 0; i < count; ++i) {
            low = std::min(low, list->Get(i)->ID);
            high = std::max(high, list->Get(i)->ID);
        }
        const qint64 span = qint64(high) - low + 1;
        // The first item of an identifier wins, as in a search of the list:
        // filling from the end lets earlier items overwrite later ones.
        if (span <= 2 * qint64(count) + 1024) {
            index.First = low;
            index.Dense.assign(size_t(span), nullptr);
            for (int i = count - 1; i >= 0; --i)
                index.Dense[size_t(list->Get(i)->ID - low)] = list->Get(i);
        } else {
            index.Sparse.reserve(count);
            for (int i = count - 1; i >= 0; --i)
                index.Sparse.insert(list->Get(i)->ID, list->Get(i));
        }
    }
    m_lookupIndexes.push_back(std::move(index));
    return m_lookupIndexes.back();
}

TLookupItem *TDataReader::FindLookup(const TLookupList *list, qint32 id)
{
    if (!list || id == -1)
        return nullptr;
    const TLookupIndex &index = lookupIndex(list);
    if (index.Dense.empty())
        return index.Sparse.value(id, nullptr);
    const qint64 slot = qint64(id) - index.First;
    return slot >= 0 && slot < qint64(index.Dense.size()) ? index.Dense[size_t(slot)] : nullptr;
}

// ---- TDataWriter ----------------------------------------------------------

TDataWriter::TDataWriter(QIODevice &device)
    : m_device(device)
    , m_buffer(size_t(BufferSize))
{
}

TDataWriter::~TDataWriter() = default;

bool TDataWriter::writeToDevice(const QByteArray &bytes)
{
    return m_device.write(bytes) == bytes.size();
}

void TDataWriter::FlushBuffer()
{
    if (m_used == 0)
        return;
    const bool written = writeToDevice(QByteArray::fromRawData(m_buffer.data(), m_used));
    m_used = 0;
    if (!written)
        throw EDataWrite(QStringLiteral("Write Error"));
}

void TDataWriter::makeRoom(qsizetype count)
{
    FlushBuffer();
    if (count > qsizetype(m_buffer.size()))
        m_buffer.resize(size_t(count));
}

void TDataWriter::put(TValueType type)
{
    reserve(1);
    m_buffer[size_t(m_used++)] = char(type);
}

template<typename T>
void TDataWriter::putLittleEndian(T value)
{
    reserve(qsizetype(sizeof(T)));
    qToLittleEndian(value, m_buffer.data() + m_used);
    m_used += qsizetype(sizeof(T));
}

void TDataWriter::WriteListBegin()
{
    put(TValueType::List);
}

void TDataWriter::WriteListEnd()
{
    put(TValueType::EndOfList);
}

void TDataWriter::WriteInteger(qint32 value)
{
    if (value >= std::numeric_limits<qint8>::min() && value <= std::numeric_limits<qint8>::max()) {
        put(TValueType::Int8);
        putLittleEndian(qint8(value));
    } else if (value >= std::numeric_limits<qint16>::min() && value <= std::numeric_limits<qint16>::max()) {
        put(TValueType::Int16);
        putLittleEndian(qint16(value));
    } else {
        put(TValueType::Int32);
        putLittleEndian(value);
    }
}

void TDataWriter::WriteBoolean(bool value)
{
    put(value ? TValueType::True : TValueType::False);
}

void TDataWriter::writeText(QStringView text, bool scrambled)
{
    const qsizetype most = text.size() * maxUtf8PerUnit;
    // Anything the reader could not take back is not written.
    if (most > std::numeric_limits<qint32>::max()) {
        const QByteArray bytes = text.toUtf8();
        if (bytes.size() > std::numeric_limits<qint32>::max())
            throw EData(QStringLiteral("A text is too long to be saved"));
    }
    // The text is encoded behind the room of its header; the length is
    // known only then.  When the short form was not certain, a short text
    // moves up to its header.
    const bool surelyShort = most <= maxShortString;
    const qsizetype headerRoom = surelyShort ? 2 : 5;
    reserve(headerRoom + most);
    char *const header = m_buffer.data() + m_used;
    char *const bytes = header + headerRoom;
    const qsizetype size = encodeUtf8(text, bytes) - bytes;
    if (scrambled)
        scrambleInPlace(bytes, size);
    if (size <= maxShortString) {
        if (!surelyShort)
            std::memmove(header + 2, bytes, size_t(size));
        header[0] = char(TValueType::String);
        header[1] = char(quint8(size));
        m_used += 2 + size;
    } else {
        header[0] = char(TValueType::LongString);
        qToLittleEndian(quint32(size), header + 1);
        m_used += 5 + size;
    }
}

void TDataWriter::WriteString(const QString &value)
{
    writeText(value, false);
}

void TDataWriter::WriteScrambledString(const QString &value)
{
    writeText(value, true);
}

void TDataWriter::WriteFilePath(const QString &path)
{
    if (HasForeignBytes(path))
        writeStringBytes(LocalPathBytes(path));
    else
        writeText(path, false);
}

void TDataWriter::writeStringBytes(QByteArrayView bytes)
{
    // A path is far shorter than the long form's limit.
    reserve(5 + bytes.size());
    char *out = m_buffer.data() + m_used;
    if (bytes.size() <= maxShortString) {
        *out++ = char(TValueType::String);
        *out++ = char(quint8(bytes.size()));
        m_used += 2;
    } else {
        *out++ = char(TValueType::LongString);
        qToLittleEndian(quint32(bytes.size()), out);
        out += 4;
        m_used += 5;
    }
    std::memcpy(out, bytes.data(), size_t(bytes.size()));
    m_used += bytes.size();
}

void TDataWriter::WriteDate(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof value);
    put(TValueType::Date);
    putLittleEndian(bits);
}
