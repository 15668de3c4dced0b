// Inputs the fuzz targets (fuzz/) once failed on, kept here so the normal
// suite holds the fixes: each table row is one such input, reduced, with
// the sound outcome it must now have.
#include "scratchfolder.h"
#include "testsupport.h"

#include "files/playlistformats.h"

#include <QtTest>

using testsupport::readFile;

class TestFuzzRegressions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void plsEntries_data();
    void plsEntries();

private:
    ScratchFolder m_scratch;
};

void TestFuzzRegressions::plsEntries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("files");

    // A damaged count made the reader build millions of empty entries.
    QTest::newRow("count far beyond the entries")
        << QByteArray("[playlist]\nNumberOfEntries=99999999\nFile1=a.mp3\n") << QStringList{"a.mp3"};
    QTest::newRow("largest count") << QByteArray("[playlist]\nNumberOfEntries=2147483647\n") << QStringList{};
    // Entries up to the last one with any key stay, empty ones included.
    QTest::newRow("gap and title only")
        << QByteArray("[playlist]\nNumberOfEntries=9\nFile1=a.mp3\ntitle3=Three\n")
        << QStringList{"a.mp3", "", ""};
    QTest::newRow("count below the entries")
        << QByteArray("[playlist]\nNumberOfEntries=1\nFile1=a.mp3\nFile2=b.mp3\n") << QStringList{"a.mp3"};
}

void TestFuzzRegressions::plsEntries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, files);
    const QString path = m_scratch.path(QStringLiteral("list.pls"));
    QVERIFY(testsupport::writeFile(path, bytes));
    TPlayListRecords records;
    QString error;
    QVERIFY(readPlsFile(path, records, error));
    QStringList read;
    for (const TPlayListRecord &record : records)
        read.append(record.FileName);
    QCOMPARE(read, files);
    QCOMPARE(readFile(path), bytes);  // reading never rewrites the file
}

QTEST_APPLESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
