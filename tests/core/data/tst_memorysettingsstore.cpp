#include "memorysettingsstore.h"

#include <QtTest>

// The in-memory store stands in for the real one in many tests, so it must
// behave like it.
class TestMemorySettingsStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sectionPaths_data();
    void sectionPaths();
    void namesIgnoreCaseAndKeepFirstSpelling();
    void orderOfFirstWriting();
    void deleteValue();
    void subSectionsAndErase();
    void typedValues_data();
    void typedValues();
};

void TestMemorySettingsStore::sectionPaths_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::newRow("trailing backslash") << "FieldNames\\" << "FieldNames";
    QTest::newRow("other case") << "ItemColumnFields\\0" << "itemcolumnfields\\0";
    QTest::newRow("leading and doubled") << "\\A\\\\B\\" << "a\\b";
}

void TestMemorySettingsStore::sectionPaths()
{
    QFETCH(QString, written);
    QFETCH(QString, read);
    TMemorySettingsStore store;
    store.WriteString(written, QStringLiteral("Width"), QStringLiteral("70"));
    QVERIFY(store.SectionExists(read));
    QVERIFY(store.ValueExists(read, QStringLiteral("width")));
    QCOMPARE(store.ReadInteger(read, QStringLiteral("WIDTH"), 0), 70);
    QVERIFY(!store.SectionExists(read + QStringLiteral("\\x")));
}

void TestMemorySettingsStore::namesIgnoreCaseAndKeepFirstSpelling()
{
    TMemorySettingsStore store;
    store.WriteString(QStringLiteral("PlayLists"), QStringLiteral("LastFolder"), QStringLiteral("/a"));
    store.WriteString(QStringLiteral("Playlists"), QStringLiteral("lastfolder"), QStringLiteral("/b"));
    QCOMPARE(store.SubSectionNames(QString()), QStringList{QStringLiteral("PlayLists")});
    QCOMPARE(store.ValueNames(QStringLiteral("playlists")), QStringList{QStringLiteral("LastFolder")});
    QCOMPARE(store.ReadString(QStringLiteral("PLAYLISTS"), QStringLiteral("LASTFOLDER")), QStringLiteral("/b"));
    QCOMPARE(store.ReadString(QStringLiteral("Playlists"), QStringLiteral("Missing"), QStringLiteral("d")),
             QStringLiteral("d"));
    QCOMPARE(store.ReadString(QStringLiteral("Nowhere"), QStringLiteral("x"), QStringLiteral("d")),
             QStringLiteral("d"));
}

void TestMemorySettingsStore::orderOfFirstWriting()
{
    TMemorySettingsStore store;
    for (const char *name : {"Zeta", "Alpha", "Mid"})
        store.WriteString(QStringLiteral("S"), QString::fromLatin1(name), QStringLiteral("1"));
    store.WriteString(QStringLiteral("S"), QStringLiteral("alpha"), QStringLiteral("2")); // rewrite keeps place
    QCOMPARE(store.ValueNames(QStringLiteral("S")), (QStringList{"Zeta", "Alpha", "Mid"}));
    store.WriteString(QStringLiteral("S\\1"), QStringLiteral("v"), QString());
    store.WriteString(QStringLiteral("S\\0"), QStringLiteral("v"), QString());
    QCOMPARE(store.SubSectionNames(QStringLiteral("S")), (QStringList{"1", "0"}));
    QCOMPARE(store.dump(), (QStringList{"S|Zeta=1", "S|Alpha=2", "S|Mid=1", "S\\1|v=", "S\\0|v="}));
}

void TestMemorySettingsStore::deleteValue()
{
    TMemorySettingsStore store;
    store.WriteString(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("1"));
    store.WriteString(QStringLiteral("S"), QStringLiteral("b"), QStringLiteral("2"));
    store.DeleteValue(QStringLiteral("s"), QStringLiteral("A"));
    store.DeleteValue(QStringLiteral("none"), QStringLiteral("a")); // harmless
    QVERIFY(!store.ValueExists(QStringLiteral("S"), QStringLiteral("a")));
    QCOMPARE(store.ValueNames(QStringLiteral("S")), QStringList{QStringLiteral("b")});
    QVERIFY(store.SectionExists(QStringLiteral("S"))); // the section stays
    store.WriteString(QStringLiteral("S"), QStringLiteral("A"), QStringLiteral("3"));
    QCOMPARE(store.ValueNames(QStringLiteral("S")), (QStringList{"b", "A"}));
}

void TestMemorySettingsStore::subSectionsAndErase()
{
    TMemorySettingsStore store;
    store.WriteInteger(QStringLiteral("Cols"), QStringLiteral("Count"), 2);
    store.WriteInteger(QStringLiteral("Cols\\0"), QStringLiteral("Field"), 3);
    store.WriteInteger(QStringLiteral("Cols\\1"), QStringLiteral("Field"), 6);
    store.WriteInteger(QStringLiteral("Other"), QStringLiteral("x"), 1);
    QVERIFY(store.SectionExists(QString()));
    QCOMPARE(store.SubSectionNames(QStringLiteral("cols")), (QStringList{"0", "1"}));
    QVERIFY(store.SubSectionNames(QStringLiteral("missing")).isEmpty());
    QVERIFY(store.ValueNames(QStringLiteral("missing")).isEmpty());

    store.EraseSection(QStringLiteral("COLS\\1"));
    QCOMPARE(store.SubSectionNames(QStringLiteral("Cols")), QStringList{QStringLiteral("0")});
    store.EraseSection(QStringLiteral("cols"));
    QVERIFY(!store.SectionExists(QStringLiteral("Cols\\0")));
    QVERIFY(!store.SectionExists(QStringLiteral("Cols")));
    QVERIFY(store.SectionExists(QStringLiteral("Other")));
    store.EraseSection(QStringLiteral("nothing\\here")); // harmless
    store.EraseSection(QString());
    QVERIFY(store.dump().isEmpty());
}

void TestMemorySettingsStore::typedValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("integer");
    QTest::addColumn<bool>("boolean");
    QTest::addColumn<double>("real");
    QTest::newRow("number") << "42" << 42 << true << 42.0;
    QTest::newRow("zero") << "0" << 0 << false << 0.0;
    QTest::newRow("hex") << "0x1F" << 31 << true << -1.0;
    QTest::newRow("blanks") << " 7 " << 7 << true << 7.0;
    QTest::newRow("text reads default") << "abc" << -1 << true << -1.0;
    QTest::newRow("fraction") << "44102.5" << -1 << true << 44102.5;
}

void TestMemorySettingsStore::typedValues()
{
    QFETCH(QString, text);
    QFETCH(int, integer);
    QFETCH(bool, boolean);
    QFETCH(double, real);
    TMemorySettingsStore store;
    store.WriteString(QStringLiteral("T"), QStringLiteral("v"), text);
    QCOMPARE(store.ReadInteger(QStringLiteral("T"), QStringLiteral("v"), -1), integer);
    QCOMPARE(store.ReadBool(QStringLiteral("T"), QStringLiteral("v"), true), boolean);
    QCOMPARE(store.ReadFloat(QStringLiteral("T"), QStringLiteral("v"), -1.0), real);
    store.WriteBool(QStringLiteral("T"), QStringLiteral("b"), false);
    QCOMPARE(store.ReadString(QStringLiteral("T"), QStringLiteral("b")), QStringLiteral("0"));
    store.WriteDate(QStringLiteral("T"), QStringLiteral("d"), 45000.25);
    QCOMPARE(store.ReadDate(QStringLiteral("T"), QStringLiteral("d"), 0.0), 45000.25);
}

QTEST_APPLESS_MAIN(TestMemorySettingsStore)
#include "tst_memorysettingsstore.moc"
