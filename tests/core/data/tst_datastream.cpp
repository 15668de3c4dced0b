// The value encoding of the collection file: exact bytes of every value
// form, what the reader accepts and what it refuses.

#include "core/base/localpath.h"
#include "core/data/dataexceptions.h"
#include "core/data/datastream.h"

#include <QBuffer>
#include <QtTest>

#include <functional>

namespace {

QByteArray written(const std::function<void(TDataWriter &)> &write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TDataWriter writer(buffer);
    write(writer);
    writer.FlushBuffer();
    return buffer.data();
}

// A reader over fixed bytes.
class TBytesReader {
public:
    explicit TBytesReader(const QByteArray &bytes)
        : m_bytes(bytes)
        , m_buffer(&m_bytes)
    {
        m_buffer.open(QIODevice::ReadOnly);
    }
    TDataReader &reader() { return m_reader; }

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
    TDataReader m_reader{m_buffer};
};

// Takes the bytes it is handed until limit bytes have been taken, then
// fails like a full disk.
class TLimitedWriter : public TDataWriter {
public:
    TLimitedWriter(QIODevice &device, qint64 limit)
        : TDataWriter(device)
        , m_left(limit)
    {
    }

protected:
    bool writeToDevice(const QByteArray &bytes) override
    {
        if (bytes.size() > m_left)
            return false;
        m_left -= bytes.size();
        return TDataWriter::writeToDevice(bytes);
    }

private:
    qint64 m_left;
};

} // namespace

class TestDataStream : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void integerForms_data();
    void integerForms();
    void stringForms_data();
    void stringForms();
    void unpairedSurrogatesAreWrittenAsQuestionMarks();
    void scrambledStrings_data();
    void scrambledStrings();
    void otherValues();
    void readerAcceptsEveryIntegerForm_data();
    void readerAcceptsEveryIntegerForm();
    void textThatIsNotUtf8IsWindows1252_data();
    void textThatIsNotUtf8IsWindows1252();
    void filePathsKeepTheirBytes_data();
    void filePathsKeepTheirBytes();
    void readErrors_data();
    void readErrors();
    void wrongTagConsumesNothing();
    void skipsOnlyIntegersAndStrings();
    void roundTripAcrossTheBuffer();
    void writeFailureIsAWriteError();
};

void TestDataStream::integerForms_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("100") << 100 << QByteArray::fromHex("0264");
    QTest::newRow("200") << 200 << QByteArray::fromHex("03c800");
    QTest::newRow("-1") << -1 << QByteArray::fromHex("02ff");
    QTest::newRow("70000") << 70000 << QByteArray::fromHex("0470110100");
    QTest::newRow("0") << 0 << QByteArray::fromHex("0200");
    QTest::newRow("127") << 127 << QByteArray::fromHex("027f");
    QTest::newRow("128") << 128 << QByteArray::fromHex("038000");
    QTest::newRow("-128") << -128 << QByteArray::fromHex("0280");
    QTest::newRow("-129") << -129 << QByteArray::fromHex("037fff");
    QTest::newRow("32767") << 32767 << QByteArray::fromHex("03ff7f");
    QTest::newRow("32768") << 32768 << QByteArray::fromHex("0400800000");
    QTest::newRow("-32768") << -32768 << QByteArray::fromHex("030080");
    QTest::newRow("-32769") << -32769 << QByteArray::fromHex("04ff7fffff");
    QTest::newRow("min") << int(INT32_MIN) << QByteArray::fromHex("0400000080");
    QTest::newRow("max") << int(INT32_MAX) << QByteArray::fromHex("04ffffff7f");
}

void TestDataStream::integerForms()
{
    QFETCH(int, value);
    QFETCH(QByteArray, bytes);
    QCOMPARE(written([&](TDataWriter &w) { w.WriteInteger(value); }), bytes);
    TBytesReader in(bytes);
    QCOMPARE(in.reader().ReadInteger(), value);
}

void TestDataStream::stringForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QString() << QByteArray::fromHex("0600");
    QTest::newRow("ascii") << QStringLiteral("Abc") << QByteArray::fromHex("0603") + "Abc";
    QTest::newRow("utf-8 bytes counted") << QStringLiteral("Beyonc\u00e9")
                                         << QByteArray::fromHex("0608") + "Beyonc\xc3\xa9";
    QTest::newRow("255 bytes short") << QString(255, u'x') << QByteArray::fromHex("06ff") + QByteArray(255, 'x');
    QTest::newRow("256 bytes long") << QString(256, u'x')
                                    << QByteArray::fromHex("0c00010000") + QByteArray(256, 'x');
    QTest::newRow("300 bytes long") << QString(300, u'y')
                                    << QByteArray::fromHex("0c2c010000") + QByteArray(300, 'y');
    // 128 two-byte characters: 128 characters, but 256 bytes.
    QTest::newRow("long by bytes not characters")
        << QString(128, QChar(0xe9)) << QByteArray::fromHex("0c00010000") + QByteArray(128, 'x').replace("x", "\xc3\xa9");
    // 85 three-byte characters fill the short form exactly; one more does not fit.
    QTest::newRow("255 bytes of euro signs") << QString(85, QChar(0x20ac))
                                             << QByteArray::fromHex("06ff") + QByteArray(85, 'x').replace("x", "\xe2\x82\xac");
    QTest::newRow("258 bytes of euro signs")
        << QString(86, QChar(0x20ac)) << QByteArray::fromHex("0c02010000") + QByteArray(86, 'x').replace("x", "\xe2\x82\xac");
    QTest::newRow("four-byte character") << QString::fromUtf8("\xf0\x9f\x8e\xb5 A")
                                         << QByteArray::fromHex("0606") + "\xf0\x9f\x8e\xb5 A";
    QTest::newRow("NUL inside") << QString::fromLatin1("a\0b", 3) << QByteArray::fromHex("0603") + QByteArray("a\0b", 3);
}

void TestDataStream::unpairedSurrogatesAreWrittenAsQuestionMarks()
{
    // Earlier versions wrote '?' for them; files must not change.
    const QString text = QString(QChar(0xd800)) + u'a' + QChar(0xdc00) + QString(300, u'b') + QChar(0xd83c);
    QCOMPARE(written([&](TDataWriter &w) { w.WriteString(text); }),
             QByteArray::fromHex("0c30010000") + "?a?" + QByteArray(300, 'b') + "?");
    QCOMPARE(written([&](TDataWriter &w) { w.WriteScrambledString(QString(QChar(0xdc00))); }),
             QByteArray::fromHex("0601") + scrambleBytes("?"));
}

void TestDataStream::stringForms()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(written([&](TDataWriter &w) { w.WriteString(text); }), bytes);
    TBytesReader in(bytes);
    QCOMPARE(in.reader().ReadString(), text);
}

void TestDataStream::scrambledStrings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("one character") << QStringLiteral("A") << QByteArray::fromHex("06017d");
    // Position i of the text uses K[i mod 8]: 'A'..'J' use K1..K7, K0, K1, K2.
    QTest::newRow("key wraps")
        << QStringLiteral("ABCDEFGHIJ")
        << QByteArray::fromHex("060a" "7dd344a06e2bff1275db");
    QTest::newRow("empty") << QString() << QByteArray::fromHex("0600");
    QTest::newRow("long length not scrambled")
        << QString(300, u'a')
        << QByteArray::fromHex("0c2c010000") + scrambleBytes(QByteArray(300, 'a'));
}

void TestDataStream::scrambledStrings()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(written([&](TDataWriter &w) { w.WriteScrambledString(text); }), bytes);
    TBytesReader in(bytes);
    QCOMPARE(in.reader().ReadScrambledString(), text);
}

void TestDataStream::otherValues()
{
    const QByteArray bytes = written([](TDataWriter &w) {
        w.WriteListBegin();
        w.WriteBoolean(false);
        w.WriteBoolean(true);
        w.WriteListEnd();
        w.WriteDate(0.0);
        w.WriteDate(36526.5); // 1 January 2000, noon
    });
    QCOMPARE(bytes, QByteArray::fromHex("01" "08" "09" "00" "11" "0000000000000000" "11" "00000000d0d5e140"));
    TBytesReader in(bytes);
    TDataReader &r = in.reader();
    r.ReadListBegin();
    QVERIFY(!r.EndOfList());
    QCOMPARE(r.ReadBoolean(), false);
    QCOMPARE(r.ReadBoolean(), true);
    QVERIFY(r.EndOfList());
    r.ReadListEnd();
    QCOMPARE(r.ReadDate(), 0.0);
    QCOMPARE(r.ReadDate(), 36526.5);
}

void TestDataStream::readerAcceptsEveryIntegerForm_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("value");
    // Forms wider than needed, as other writers may use them.
    QTest::newRow("5 in 2 bytes") << QByteArray::fromHex("030500") << 5;
    QTest::newRow("5 in 4 bytes") << QByteArray::fromHex("0405000000") << 5;
    QTest::newRow("-2 in 4 bytes") << QByteArray::fromHex("04feffffff") << -2;
    QTest::newRow("short string as long") << QByteArray::fromHex("0c02000000") + "ab" << 0;
}

void TestDataStream::readerAcceptsEveryIntegerForm()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, value);
    TBytesReader in(bytes);
    if (bytes.startsWith('\x0c'))
        QCOMPARE(in.reader().ReadString(), QStringLiteral("ab"));
    else
        QCOMPARE(in.reader().ReadInteger(), value);
}

void TestDataStream::textThatIsNotUtf8IsWindows1252_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("scrambled");
    QTest::addColumn<QString>("text");
    QTest::newRow("e acute") << QByteArray::fromHex("0607") + "Beyonc\xe9" << false << QStringLiteral("Beyonc\u00e9");
    QTest::newRow("euro sign") << QByteArray::fromHex("060380") + "10" << false << QStringLiteral("\u20ac10");
    QTest::newRow("scrambled code page name")
        << QByteArray::fromHex("0603") + scrambleBytes("Sj\xf6") << true << QStringLiteral("Sj\u00f6");
    QTest::newRow("leading BOM kept") << QByteArray::fromHex("0604efbbbf") + "a" << false
                                      << QStringLiteral("\ufeffa");
    QTest::newRow("valid UTF-8 then a stray byte") << QByteArray::fromHex("0603c3a9e9") << false
                                                   << QStringLiteral("\u00c3\u00a9\u00e9");
    QTest::newRow("cut UTF-8 sequence at the end") << QByteArray::fromHex("0602" "41c3") << false
                                                   << QStringLiteral("A\u00c3");
    QTest::newRow("long form code page text") << QByteArray::fromHex("0c01010000") + QByteArray(256, 'x') + "\xe9"
                                              << false << QString(256, u'x') + QChar(0xe9);
}

void TestDataStream::textThatIsNotUtf8IsWindows1252()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, scrambled);
    QFETCH(QString, text);
    TBytesReader in(bytes);
    QCOMPARE(scrambled ? in.reader().ReadScrambledString() : in.reader().ReadString(), text);
}

// A file name that is not UTF-8 is stored as its bytes, so that the track
// finds its file again; paths of older files (drive letters, the code page
// of their day) read as any text.
void TestDataStream::filePathsKeepTheirBytes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("read");
    const QString foreign = PathFromLocalBytes("/m/caf\xe9.mp3");
    QTest::newRow("not UTF-8") << foreign << QByteArray::fromHex("060b") + "/m/caf\xe9.mp3" << foreign;
    QTest::newRow("UTF-8") << QStringLiteral("/m/caf\u00e9") << QByteArray::fromHex("0608") + "/m/caf\xc3\xa9"
                           << QStringLiteral("/m/caf\u00e9");
    const QString longForeign = PathFromLocalBytes("/" + QByteArray(300, 'x') + "\xe9");
    QTest::newRow("long form") << longForeign
                               << QByteArray::fromHex("0c2e010000") + "/" + QByteArray(300, 'x') + "\xe9"
                               << longForeign;
    QTest::newRow("older file's path") << QString()
                                       << QByteArray::fromHex("060e") + "C:\\Bj\xf6rk\\a.mp3"
                                       << QStringLiteral("C:\\Bj\u00f6rk\\a.mp3");
}

void TestDataStream::filePathsKeepTheirBytes()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, read);
    if (!path.isNull())
        QCOMPARE(written([&](TDataWriter &w) { w.WriteFilePath(path); }), bytes);
    TBytesReader in(bytes);
    const QString got = in.reader().ReadFilePath();
    QCOMPARE(got, read);
    QCOMPARE(LocalPathBytes(got), LocalPathBytes(read));
}

void TestDataStream::readErrors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing") << QByteArray() << QStringLiteral("integer");
    QTest::newRow("integer cut") << QByteArray::fromHex("040102") << QStringLiteral("integer");
    QTest::newRow("string for integer") << QByteArray::fromHex("0600") << QStringLiteral("integer");
    QTest::newRow("unknown tag") << QByteArray::fromHex("05") << QStringLiteral("integer");
    QTest::newRow("integer for string") << QByteArray::fromHex("0201") << QStringLiteral("string");
    QTest::newRow("string cut") << QByteArray::fromHex("0605") + "ab" << QStringLiteral("string");
    QTest::newRow("long length beyond the file")
        << QByteArray::fromHex("0cffffff7f") + "abc" << QStringLiteral("string");
    QTest::newRow("long length 4 GB") << QByteArray::fromHex("0cffffffff") << QStringLiteral("string");
    QTest::newRow("long length one too many") << QByteArray::fromHex("0c04000000") + "abc"
                                              << QStringLiteral("string");
    QTest::newRow("scrambled cut") << QByteArray::fromHex("0c05000000") + "abcd" << QStringLiteral("scrambled");
    QTest::newRow("list end for list start") << QByteArray::fromHex("00") << QStringLiteral("list");
    QTest::newRow("end of list at end of file") << QByteArray() << QStringLiteral("endoflist");
    QTest::newRow("integer for boolean") << QByteArray::fromHex("0201") << QStringLiteral("boolean");
    QTest::newRow("date cut") << QByteArray::fromHex("110000") << QStringLiteral("date");
    QTest::newRow("integer for date") << QByteArray::fromHex("0200") << QStringLiteral("date");
}

void TestDataStream::readErrors()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    TBytesReader in(bytes);
    TDataReader &r = in.reader();
    try {
        if (expected == QLatin1String("integer"))
            r.ReadInteger();
        else if (expected == QLatin1String("string"))
            r.ReadString();
        else if (expected == QLatin1String("scrambled"))
            r.ReadScrambledString();
        else if (expected == QLatin1String("list"))
            r.ReadListBegin();
        else if (expected == QLatin1String("endoflist"))
            r.EndOfList();
        else if (expected == QLatin1String("boolean"))
            r.ReadBoolean();
        else
            r.ReadDate();
        QFAIL("no read error");
    } catch (const EDataRead &error) {
        QCOMPARE(error.Message(), QStringLiteral("Read Error"));
    }
}

void TestDataStream::wrongTagConsumesNothing()
{
    TBytesReader in(QByteArray::fromHex("0603") + "abc");
    TDataReader &r = in.reader();
    QVERIFY_THROWS_EXCEPTION(EDataRead, r.ReadInteger());
    QCOMPARE(r.NextValue(), TValueType::String);
    QCOMPARE(r.ReadString(), QStringLiteral("abc"));
}

void TestDataStream::skipsOnlyIntegersAndStrings()
{
    TBytesReader in(QByteArray::fromHex("0201" "03ffff" "0400000001" "0602") + "ab"
                    + QByteArray::fromHex("0c01000000") + "c" + QByteArray::fromHex("08"));
    TDataReader &r = in.reader();
    for (int i = 0; i < 5; ++i)
        r.SkipSimpleValue();
    QVERIFY_THROWS_EXCEPTION(EDataRead, r.SkipSimpleValue());
    QCOMPARE(r.ReadBoolean(), false);
}

void TestDataStream::roundTripAcrossTheBuffer()
{
    // Values that straddle the 128000-byte buffer in both directions.
    QList<QString> texts;
    for (int i = 0; i < 40; ++i)
        texts.append(QString(997 * i + 3, QChar(u'a' + i % 26)) + QStringLiteral("\u00e9\u20ac"));
    texts.append(QString(300000, u'z'));
    const QByteArray bytes = written([&](TDataWriter &w) {
        w.WriteListBegin();
        for (int i = 0; i < texts.size(); ++i) {
            w.WriteInteger(i * 1013);
            w.WriteScrambledString(texts.at(i));
            w.WriteString(texts.at(i));
        }
        w.WriteListEnd();
    });
    QVERIFY(bytes.size() > 3 * TDataWriter::BufferSize);
    TBytesReader in(bytes);
    TDataReader &r = in.reader();
    r.ReadListBegin();
    for (int i = 0; i < texts.size(); ++i) {
        QCOMPARE(r.ReadInteger(), i * 1013);
        QCOMPARE(r.ReadScrambledString(), texts.at(i));
        QCOMPARE(r.ReadString(), texts.at(i));
    }
    QVERIFY(r.EndOfList());
    r.ReadListEnd();
    QVERIFY_THROWS_EXCEPTION(EDataRead, r.NextValue());
}

void TestDataStream::writeFailureIsAWriteError()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TLimitedWriter writer(buffer, 10);
    try {
        for (int i = 0; i < 100000; ++i)
            writer.WriteInteger(i);
        writer.FlushBuffer();
        QFAIL("no write error");
    } catch (const EDataWrite &error) {
        QCOMPARE(error.Message(), QStringLiteral("Write Error"));
    }
    QVERIFY(buffer.data().size() <= 10);
}

QTEST_APPLESS_MAIN(TestDataStream)
#include "tst_datastream.moc"
