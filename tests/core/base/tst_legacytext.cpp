#include "core/base/legacytext.h"

#include <QtTest>

// Real bytes of each family of code pages that old taggers wrote, read and
// written back through the converter the setting chooses.
class TestLegacyText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { SetLegacyTagEncoding(DefaultLegacyTagEncoding()); }

    void roundTrip_data();
    void roundTrip();
    void unencodableTextIsRefused_data();
    void unencodableTextIsRefused();
    void names();
};

void TestLegacyText::roundTrip_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    auto row = [](const char *encoding, const char *bytes, const char *utf8) {
        QTest::newRow(encoding) << QString::fromLatin1(encoding) << QByteArray(bytes) << QString::fromUtf8(utf8);
    };
    row("windows-1252", "Caf\xe9 \x80", "Café €");
    row("windows-1250", "\xa3\xf3" "d\x9f", "Łódź");
    row("ISO-8859-2", "\xa3\xf3" "d\xbc", "Łódź");
    row("windows-1251", "\xcf\xf0\xe8\xe2\xe5\xf2", "Привет");
    row("KOI8-R", "\xf0\xd2\xc9\xd7\xc5\xd4", "Привет");
    row("ISO-8859-5", "\xbf\xe0\xd8\xd2\xd5\xe2", "Привет");
    row("windows-1253", "\xc5\xeb\xeb\xdc\xe4\xe1", "Ελλάδα");
    row("ISO-8859-7", "\xc5\xeb\xeb\xdc\xe4\xe1", "Ελλάδα");
    row("windows-1254", "\xddstanbul \xf0", "İstanbul ğ");
    row("windows-1257", "\xc0\xfeuolas", "Ąžuolas");
    row("Shift_JIS", "\x93\xfa\x96{\x8c\xea\x82\xcc\x89\xcc", "日本語の歌");
    row("GBK", "\xd6\xd0\xce\xc4\xb8\xe8\xc7\xfa", "中文歌曲");
    row("Big5", "\xa4\xa4\xa4\xe5\xbaq\xa6\xb1", "中文歌曲");
    row("EUC-KR", "\xc7\xd1\xb1\xb9\xbe\xee \xb3\xeb\xb7\xa1", "한국어 노래");
}

void TestLegacyText::roundTrip()
{
    QFETCH(QString, encoding);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QVERIFY(SetLegacyTagEncoding(encoding));
    QCOMPARE(LegacyTagEncoding(), encoding);
    QCOMPARE(decodeLegacyText(bytes), text);
    // Twice: a converter used before must not carry anything over.
    QCOMPARE(decodeLegacyText(bytes), text);
    QCOMPARE(encodeLegacyText(text), std::optional<QByteArray>(bytes));
    QCOMPARE(encodeLegacyText(text), std::optional<QByteArray>(bytes));
}

void TestLegacyText::unencodableTextIsRefused_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("text");
    QTest::newRow("greek in windows-1252") << "windows-1252" << QStringLiteral("Ωmega");
    QTest::newRow("japanese in windows-1251") << "windows-1251" << QStringLiteral("Привет 日本");
    QTest::newRow("accent in Shift_JIS") << "Shift_JIS" << QStringLiteral("Café");
    QTest::newRow("emoji in GBK") << "GBK" << QStringLiteral("中文 \U0001F3B5");
}

void TestLegacyText::unencodableTextIsRefused()
{
    QFETCH(QString, encoding);
    QFETCH(QString, text);
    QVERIFY(SetLegacyTagEncoding(encoding));
    QCOMPARE(encodeLegacyText(text), std::nullopt);
    // A question mark of the text itself is no sign of a loss.
    QCOMPARE(encodeLegacyText(QStringLiteral("Why?")), std::optional<QByteArray>("Why?"));
}

void TestLegacyText::names()
{
    QCOMPARE(LegacyTagEncodings().first().name, DefaultLegacyTagEncoding());
    QCOMPARE(LegacyTagEncodingNamed(QStringLiteral("shift_jis")), QStringLiteral("Shift_JIS"));
    QCOMPARE(LegacyTagEncodingNamed(QStringLiteral("cp1251")), QStringLiteral("windows-1251"));
    QCOMPARE(LegacyTagEncodingNamed(QStringLiteral("klingon")), QString());
    QVERIFY(SetLegacyTagEncoding(QStringLiteral("KOI8-R")));
    QVERIFY(!SetLegacyTagEncoding(QStringLiteral("UTF-7")));
    QCOMPARE(LegacyTagEncoding(), QStringLiteral("KOI8-R"));
    QVERIFY(!LegacyTagEncodingIsDefault());
}

QTEST_APPLESS_MAIN(TestLegacyText)
#include "tst_legacytext.moc"
