#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QtGlobal>

#include <vector>

class QIODevice;
class TLookupItem;
class TLookupList;

// The value reader and writer of the collection file.  Model objects read and
// write their own records through them (ReadFromStream / WriteToStream).
//
// The file is a sequence of self-describing values, each introduced by a
// one-byte tag; numbers are little-endian.  Text is stored as UTF-8; text
// that is not valid UTF-8 (files of the earlier program, written in an 8-bit
// code page) is read as Windows-1252.
enum class TValueType : quint8 {
    EndOfList = 0x00,
    List = 0x01,
    Int8 = 0x02,
    Int16 = 0x03,
    Int32 = 0x04,
    String = 0x06,
    False = 0x08,
    True = 0x09,
    LongString = 0x0C,
    Date = 0x11,
};

// Names and custom field names are stored with their bytes scrambled by a
// fixed table; the same operation restores them.
QByteArray scrambleBytes(QByteArray bytes);

// Reads values from a device through a buffer, in one pass: text is decoded
// straight from the buffer.  Every failure (a tag other than the expected
// one, the end of the data, a length beyond the bytes left) raises
// EDataRead "Read Error"; on a wrong tag nothing is consumed.
class TDataReader {
public:
    static constexpr qsizetype BufferSize = 128000;

    explicit TDataReader(QIODevice &device);
    ~TDataReader();
    TDataReader(const TDataReader &) = delete;
    TDataReader &operator=(const TDataReader &) = delete;

    // The tag of the next value, without consuming it.
    TValueType NextValue();
    bool EndOfList();
    void ReadListBegin();
    void ReadListEnd();
    // Accepts each of the three integer forms.
    qint32 ReadInteger();
    bool ReadBoolean();
    // Accepts both string forms.
    QString ReadString();
    QString ReadScrambledString();
    // A file's path, kept as the bytes the system knows the file by (see
    // WriteFilePath).  Paths of older files (with drive letters, in the code
    // page of their day) are read as any other text.
    QString ReadFilePath();
    double ReadDate();
    // Skips one integer or string value; anything else is a read error.
    void SkipSimpleValue();
    // The bytes after the last value read.
    qint64 BytesLeft() const { return bytesLeft(); }

    // The lookup item with that identifier in list, or nullptr for -1 and
    // identifiers the list does not hold.  Lists must be complete before
    // they are searched: the index of a list is built on its first search.
    TLookupItem *FindLookup(const TLookupList *list, qint32 id);

private:
    // The bytes of a string value, inside the buffer: valid until the next
    // read.
    struct TBytesView {
        const char *Data;
        qsizetype Size;
    };
    // The identifiers of one lookup list.  Identifiers are handed out from
    // one counter, so those of a list are mostly a dense range: a table
    // indexed by identifier finds them; lists with scattered identifiers
    // use a hash.
    struct TLookupIndex {
        const TLookupList *List = nullptr;
        qint32 First = 0;
        std::vector<TLookupItem *> Dense;
        QHash<qint32, TLookupItem *> Sparse;
    };

    [[noreturn]] static void fail();
    // Makes at least count bytes available in the buffer.
    void require(qsizetype count)
    {
        if (m_buffer.size() - m_position < count)
            refill(count);
    }
    void refill(qsizetype count);
    qsizetype bytesLeft() const;
    quint8 takeByte();
    template<typename T> T takeLittleEndian();
    void expect(TValueType type);
    TBytesView takeStringBytes();
    const TLookupIndex &lookupIndex(const TLookupList *list);

    QIODevice &m_device;
    // What the device holds beyond the buffer, taken once: asking a file
    // for its size on every value would cost a system call each time.
    qint64 m_unread = 0;
    QByteArray m_buffer;
    qsizetype m_position = 0;
    // Unscrambled names are restored here, one at a time.
    QByteArray m_scratch;
    std::vector<TLookupIndex> m_lookupIndexes;
};

// Writes values to a device through a buffer that is handed over in large
// chunks; text is encoded straight into it.  A failed write raises
// EDataWrite "Write Error".  The buffer is written out by FlushBuffer only:
// a writer that is destroyed after a failure writes nothing more.
class TDataWriter {
public:
    static constexpr qsizetype BufferSize = 128000;

    explicit TDataWriter(QIODevice &device);
    virtual ~TDataWriter();
    TDataWriter(const TDataWriter &) = delete;
    TDataWriter &operator=(const TDataWriter &) = delete;

    void WriteListBegin();
    void WriteListEnd();
    // In the smallest of the three integer forms that holds value.
    void WriteInteger(qint32 value);
    void WriteBoolean(bool value);
    void WriteString(const QString &value);
    void WriteScrambledString(const QString &value);
    // As a string; a name holding bytes that are not UTF-8 keeps those
    // bytes as they are, so that the file can be found again.
    void WriteFilePath(const QString &path);
    void WriteDate(double value);
    void FlushBuffer();

protected:
    // Hands bytes to the device; false when the device did not take them
    // all.  Tests override it to simulate a full disk.
    virtual bool writeToDevice(const QByteArray &bytes);

private:
    // Makes room for count more bytes, writing the buffer out when they
    // would not fit; a value larger than the buffer grows it.
    void reserve(qsizetype count)
    {
        if (m_used + count > qsizetype(m_buffer.size()))
            makeRoom(count);
    }
    void makeRoom(qsizetype count);
    void put(TValueType type);
    template<typename T> void putLittleEndian(T value);
    void writeText(QStringView text, bool scrambled);
    void writeStringBytes(QByteArrayView bytes);

    QIODevice &m_device;
    std::vector<char> m_buffer;
    qsizetype m_used = 0;
};
