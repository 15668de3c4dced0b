#include "data/datastream.h"

#include "audio/windows1252.h"
#include "data/dataexceptions.h"
#include "data/lookuplists.h"

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

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return decodeWindows1252(bytes);
    return text;
}

} // namespace

QByteArray scrambleBytes(QByteArray bytes)
{
    // The key is applied from text position 1 on: position i uses K[i mod 8].
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(quint8(bytes[i]) ^ scrambleKey[size_t((i + 1) % 8)]);
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

void TDataReader::require(qsizetype count)
{
    const qsizetype buffered = m_buffer.size() - m_position;
    if (buffered >= count)
        return;
    if (count - buffered > m_unread)
        fail();
    m_buffer.remove(0, m_position);
    m_position = 0;
    const qsizetype wanted = std::min(std::max(count - buffered, BufferSize), m_unread);
    const QByteArray more = m_device.read(wanted);
    m_unread -= more.size();
    m_buffer.append(more);
    if (m_buffer.size() < count)
        fail();
}

quint8 TDataReader::takeByte()
{
    require(1);
    return quint8(m_buffer.at(m_position++));
}

QByteArray TDataReader::takeBytes(qsizetype count)
{
    require(count);
    QByteArray bytes = m_buffer.mid(m_position, count);
    m_position += count;
    return bytes;
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

QByteArray TDataReader::readStringBytes()
{
    switch (NextValue()) {
    case TValueType::String:
        ++m_position;
        return takeBytes(takeByte());
    case TValueType::LongString: {
        ++m_position;
        const quint32 length = takeLittleEndian<quint32>();
        // A damaged length must not make us allocate more than the file holds.
        if (length > quint64(bytesLeft()))
            fail();
        return takeBytes(qsizetype(length));
    }
    default:
        fail();
    }
}

QString TDataReader::ReadString()
{
    return decodeText(readStringBytes());
}

QString TDataReader::ReadScrambledString()
{
    return decodeText(scrambleBytes(readStringBytes()));
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
        readStringBytes();
        break;
    default:
        fail();
    }
}

TLookupItem *TDataReader::FindLookup(const TLookupList *list, qint32 id)
{
    if (!list || id == -1)
        return nullptr;
    auto found = m_lookupIndex.find(list);
    if (found == m_lookupIndex.end()) {
        QHash<qint32, TLookupItem *> index;
        index.reserve(list->Count());
        // The first item of an identifier wins, as in a search of the list.
        for (int i = list->Count() - 1; i >= 0; --i)
            index.insert(list->Get(i)->ID, list->Get(i));
        found = m_lookupIndex.insert(list, index);
    }
    return found->value(id, nullptr);
}

// ---- TDataWriter ----------------------------------------------------------

TDataWriter::TDataWriter(QIODevice &device)
    : m_device(device)
{
    m_buffer.reserve(BufferSize);
}

TDataWriter::~TDataWriter() = default;

bool TDataWriter::writeToDevice(const QByteArray &bytes)
{
    return m_device.write(bytes) == bytes.size();
}

void TDataWriter::FlushBuffer()
{
    if (m_buffer.isEmpty())
        return;
    const bool written = writeToDevice(m_buffer);
    m_buffer.clear();
    if (!written)
        throw EDataWrite(QStringLiteral("Write Error"));
}

void TDataWriter::putBytes(const char *data, qsizetype size)
{
    if (m_buffer.size() + size > BufferSize)
        FlushBuffer();
    m_buffer.append(data, size);
}

void TDataWriter::put(TValueType type)
{
    const char tag = char(type);
    putBytes(&tag, 1);
}

template<typename T>
void TDataWriter::putLittleEndian(T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    putBytes(bytes, qsizetype(sizeof(T)));
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

void TDataWriter::writeStringBytes(const QByteArray &bytes)
{
    if (bytes.size() <= maxShortString) {
        put(TValueType::String);
        putLittleEndian(quint8(bytes.size()));
    } else {
        // Anything the reader could not take back is not written.
        if (bytes.size() > std::numeric_limits<qint32>::max())
            throw EData(QStringLiteral("A text is too long to be saved"));
        put(TValueType::LongString);
        putLittleEndian(quint32(bytes.size()));
    }
    putBytes(bytes.constData(), bytes.size());
}

void TDataWriter::WriteString(const QString &value)
{
    writeStringBytes(value.toUtf8());
}

void TDataWriter::WriteScrambledString(const QString &value)
{
    writeStringBytes(scrambleBytes(value.toUtf8()));
}

void TDataWriter::WriteDate(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    put(TValueType::Date);
    putLittleEndian(bits);
}
