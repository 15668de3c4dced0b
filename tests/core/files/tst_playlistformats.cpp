#include "core/base/localpath.h"
#include "core/files/playlistformats.h"

#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

Q_DECLARE_METATYPE(TPlayListRecords)

class TestPlayListFormats : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void formatByExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("format");
        QTest::newRow("m3u") << "/a/list.m3u" << int(TPlayListFormat::M3U);
        QTest::newRow("upper case") << "/a/LIST.M3U" << int(TPlayListFormat::M3U);
        QTest::newRow("m3u8") << "/a/list.m3u8" << int(TPlayListFormat::M3U);
        QTest::newRow("pls") << "/a/list.Pls" << int(TPlayListFormat::PLS);
        QTest::newRow("text") << "/a/list.txt" << int(TPlayListFormat::Unknown);
        QTest::newRow("no extension") << "/a/m3u" << int(TPlayListFormat::Unknown);
    }
    void formatByExtension()
    {
        QFETCH(QString, path);
        QFETCH(int, format);
        QCOMPARE(int(playListFormatOf(path)), format);
    }

    void m3uLayout_data()
    {
        QTest::addColumn<TPlayListRecords>("records");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty") << TPlayListRecords{} << QByteArray("#EXTM3U\r\n");
        QTest::newRow("one entry")
            << TPlayListRecords{{QStringLiteral("/m/x.mp3"), QStringLiteral("A - B"), 245}}
            << QByteArray("#EXTM3U\r\n#EXTINF:245,A - B\r\n/m/x.mp3\r\n");
        QTest::newRow("negative length kept")
            << TPlayListRecords{{QStringLiteral("x.mp3"), QString(), -1}}
            << QByteArray("#EXTM3U\r\n#EXTINF:-1,\r\nx.mp3\r\n");
        QTest::newRow("line breaks in titles become spaces")
            << TPlayListRecords{{QStringLiteral("x.mp3"), QStringLiteral("a\r\nb\nc\rd"), 1}}
            << QByteArray("#EXTM3U\r\n#EXTINF:1,a b c d\r\nx.mp3\r\n");
        QTest::newRow("other line separators in titles become spaces")
            << TPlayListRecords{{QStringLiteral("x.mp3"), QStringLiteral("a\vb\fc\u0085d\u2028e\u2029f\x1cg"), 1}}
            << QByteArray("#EXTM3U\r\n#EXTINF:1,a b c d e f g\r\nx.mp3\r\n");
        QTest::newRow("UTF-8")
            << TPlayListRecords{{QStringLiteral("/m/Björk €.mp3"), QStringLiteral("Björk - Jóga"), 5}}
            << QByteArray("#EXTM3U\r\n#EXTINF:5,Bj\xC3\xB6rk - J\xC3\xB3ga\r\n/m/Bj\xC3\xB6rk \xE2\x82\xAC.mp3\r\n");
    }
    void m3uLayout()
    {
        QFETCH(TPlayListRecords, records);
        QFETCH(QByteArray, expected);
        QCOMPARE(buildM3u(records), expected);
    }

    void m3uParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<TPlayListRecords>("expected");
        QTest::newRow("only the first comma splits")
            << "#EXTM3U\r\n#EXTINF:245,A - B, live\r\nC:\\x.mp3\r\n"
            << TPlayListRecords{{QStringLiteral("C:\\x.mp3"), QStringLiteral("A - B, live"), 245}};
        QTest::newRow("prefix compared upper-cased")
            << "#extinf:12,T\nx.mp3\n" << TPlayListRecords{{QStringLiteral("x.mp3"), QStringLiteral("T"), 12}};
        QTest::newRow("bad length") << "#EXTINF:abc,T\nx.mp3"
                                    << TPlayListRecords{{QStringLiteral("x.mp3"), QStringLiteral("T"), 0}};
        QTest::newRow("no comma") << "#EXTINF:300\nx.mp3\n" << TPlayListRecords{{QStringLiteral("x.mp3"), QString(), 0}};
        QTest::newRow("second info line wins")
            << "#EXTINF:1,first\n#EXTINF:2,second\nx.mp3\ny.mp3\n"
            << TPlayListRecords{{QStringLiteral("x.mp3"), QStringLiteral("second"), 2}, {QStringLiteral("y.mp3"), QString(), 0}};
        QTest::newRow("comment keeps the info pending")
            << "#EXTINF:7,T\n# a comment\nx.mp3\n" << TPlayListRecords{{QStringLiteral("x.mp3"), QStringLiteral("T"), 7}};
        QTest::newRow("blank lines ignored, path not trimmed")
            << "\r\n \tx.mp3 \r\n\r\n" << TPlayListRecords{{QStringLiteral(" \tx.mp3 "), QString(), 0}};
        QTest::newRow("lone CR ends lines") << "#EXTINF:3,T\rx.mp3\ry.mp3"
                                            << TPlayListRecords{{QStringLiteral("x.mp3"), QStringLiteral("T"), 3},
                                                                {QStringLiteral("y.mp3"), QString(), 0}};
        QTest::newRow("trailing info line ignored") << "x.mp3\n#EXTINF:3,T\n"
                                                    << TPlayListRecords{{QStringLiteral("x.mp3"), QString(), 0}};
    }
    void m3uParse()
    {
        QFETCH(QString, text);
        QFETCH(TPlayListRecords, expected);
        QCOMPARE(parseM3u(text), expected);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("UTF-8") << QByteArray("Bj\xC3\xB6rk \xE2\x82\xAC") << QStringLiteral("Björk €");
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBFJ\xC3\xB3ga") << QStringLiteral("Jóga");
        QTest::newRow("Windows-1252") << QByteArray("Bj\xF6rk \x80 \x93q\x94") << QStringLiteral("Björk € “q”");
        QTest::newRow("ASCII") << QByteArray("plain") << QStringLiteral("plain");
    }
    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(decodePlayListText(bytes), expected);
    }

    void m3uFileRoundTripsLongPaths()
    {
        const QString longPath = QStringLiteral("/music/") + QString(600, QLatin1Char('d')) + QStringLiteral("/ü.mp3");
        const TPlayListRecords records{{longPath, QString(400, QLatin1Char('t')), 3725}};
        QString error;
        QVERIFY(writeM3uFile(path(QStringLiteral("long.m3u")), records, error));
        TPlayListRecords back;
        QVERIFY(readM3uFile(path(QStringLiteral("long.m3u")), back, error));
        QCOMPARE(back, records);
    }

    // A playlist kept under two names (a hard link from another folder)
    // gets the new entries under both, with its mode kept.
    void rewriteKeepsHardLinksAndMode_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("old");
        QTest::newRow("M3U") << QStringLiteral("linked.m3u") << QByteArray("#EXTM3U\r\nold.mp3\r\n");
        QTest::newRow("PLS") << QStringLiteral("linked.pls")
                             << QByteArray("[playlist]\r\nFile1=old.mp3\r\nNumberOfEntries=1\r\nVersion=2\r\n");
    }
    void rewriteKeepsHardLinksAndMode()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, old);
        const bool m3u = name.endsWith(QLatin1String(".m3u"));
        const QString list = path(name);
        const QString other = path(QStringLiteral("other-name-") + name);
        QVERIFY(writeFile(list, old));
        QVERIFY(QFile::setPermissions(list, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(::link(QFile::encodeName(list).constData(), QFile::encodeName(other).constData()), 0);
        QString error;
        const TPlayListRecords records{{QStringLiteral("/m/new.mp3"), QStringLiteral("New"), 61}};
        QVERIFY(m3u ? writeM3uFile(list, records, error) : writePlsFile(list, records, error));
        TPlayListRecords back;
        QVERIFY(m3u ? readM3uFile(other, back, error) : readPlsFile(other, back, error));
        QCOMPARE(back, records);
        const QFileDevice::Permissions visible = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                 | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        QCOMPARE(QFile::permissions(list) & visible, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void m3uWindows1252File()
    {
        QVERIFY(writeFile(path(QStringLiteral("old.m3u")), "#EXTM3U\r\n#EXTINF:10,Bj\xF6rk\r\nC:\\M\xFCsik\\a.mp3\r\n"));
        TPlayListRecords records;
        QString error;
        QVERIFY(readM3uFile(path(QStringLiteral("old.m3u")), records, error));
        QCOMPARE(records, (TPlayListRecords{{QStringLiteral("C:\\Müsik\\a.mp3"), QStringLiteral("Björk"), 10}}));
    }

    // A file that is not UTF-8 is read line by line: an absolute path keeps
    // the bytes of the file's name, other lines are UTF-8 where valid.
    void m3uLinesOfMixedEncodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TPlayListRecords>("expected");
        QTest::newRow("name bytes, UTF-8 title")
            << QByteArray("#EXTM3U\r\n#EXTINF:5,Caf\xC3\xA9\r\n/m/caf\xE9.mp3\r\n")
            << TPlayListRecords{{PathFromLocalBytes("/m/caf\xE9.mp3"), QStringLiteral("Café"), 5}};
        QTest::newRow("Windows-1252 title") << QByteArray("#EXTINF:5,Caf\xE9\n/m/a.mp3\n")
                                            << TPlayListRecords{{QStringLiteral("/m/a.mp3"), QStringLiteral("Café"), 5}};
        QTest::newRow("Windows path") << QByteArray("C:\\Bj\xF6rk.mp3\n")
                                      << TPlayListRecords{{QStringLiteral("C:\\Björk.mp3"), QString(), 0}};
        QTest::newRow("file address of the bytes")
            << QByteArray("file:///m/caf%E9.mp3\n\xFF\n")
            << TPlayListRecords{{PathFromLocalBytes("/m/caf\xE9.mp3"), QString(), 0},
                                {QStringLiteral("\u00FF"), QString(), 0}};
        QTest::newRow("byte order mark inside the file kept")
            << QByteArray("/m/caf\xE9.mp3\r\xEF\xBB\xBFx.mp3\n")
            << TPlayListRecords{{PathFromLocalBytes("/m/caf\xE9.mp3"), QString(), 0},
                                {QChar(0xFEFF) + QStringLiteral("x.mp3"), QString(), 0}};
        QTest::newRow("address with a line break stays as written")
            << QByteArray("file:///m/a%0Ab.mp3\n\xFF\n")
            << TPlayListRecords{{QStringLiteral("file:///m/a%0Ab.mp3"), QString(), 0},
                                {QStringLiteral("\u00FF"), QString(), 0}};
    }
    void m3uLinesOfMixedEncodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TPlayListRecords, expected);
        const TPlayListRecords records = parseM3u(decodeM3uText(bytes));
        QCOMPARE(records, expected);
        QCOMPARE(parseM3u(decodeM3uText(buildM3u(records))), records);
    }

    // An older player wrote the name in Windows-1252 where the disk has it
    // in UTF-8: the reading that names the file wins.
    void m3uOldReadingThatNamesAFile()
    {
        QVERIFY(writeFile(path(QStringLiteral("Björk.mp3")), "x"));
        const QByteArray line = QFile::encodeName(m_dir.path()) + "/Bj\xF6rk.mp3";
        const TPlayListRecords records = parseM3u(decodeM3uText(line + "\r\n"));
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().FileName, path(QStringLiteral("Björk.mp3")));
    }

    void missingFilesAreErrors()
    {
        TPlayListRecords records;
        QString error;
        QVERIFY(!readM3uFile(path(QStringLiteral("none.m3u")), records, error));
        QVERIFY(error.contains(QStringLiteral("none.m3u")));
        error.clear();
        QVERIFY(!readPlsFile(path(QStringLiteral("none.pls")), records, error));
        QVERIFY(error.contains(QStringLiteral("none.pls")));
    }

    void writeFailureLeavesNoFile()
    {
        QVERIFY(writeFile(path(QStringLiteral("afile")), "x"));
        QString error;
        const TPlayListRecords records{{QStringLiteral("x.mp3"), QStringLiteral("T"), 1}};
        QVERIFY(!writeM3uFile(path(QStringLiteral("afile/list.m3u")), records, error));
        QVERIFY(error.contains(QStringLiteral("could not be written")));
        error.clear();
        QVERIFY(!writePlsFile(path(QStringLiteral("afile/list.pls")), records, error));
        QVERIFY(!error.isEmpty());
    }

    void plsLayoutOfNewFile()
    {
        const TPlayListRecords records{{QStringLiteral("/m/a.mp3"), QStringLiteral("A - B"), 245},
                                       {QStringLiteral("/m/b.mp3"), QStringLiteral("line\r\nbreak"), -1}};
        QString error;
        QVERIFY(writePlsFile(path(QStringLiteral("new.pls")), records, error));
        QCOMPARE(readFile(path(QStringLiteral("new.pls"))),
                 QByteArray("[playlist]\r\nNumberOfEntries=2\r\nVersion=2\r\n"
                            "File1=/m/a.mp3\r\nTitle1=A - B\r\nLength1=245\r\n"
                            "File2=/m/b.mp3\r\nTitle2=line break\r\nLength2=-1\r\n\r\n"));
    }

    void plsReadsOnlyNumberOfEntries()
    {
        QVERIFY(writeFile(path(QStringLiteral("three.pls")),
                          "[Playlist]\nnumberofentries=2\nFile1=a.mp3\nTitle1=A\nLength1=0x10\n"
                          "File2=b.mp3\nLength2=x\nFile3=c.mp3\n"));
        TPlayListRecords records;
        QString error;
        QVERIFY(readPlsFile(path(QStringLiteral("three.pls")), records, error));
        QCOMPARE(records, (TPlayListRecords{{QStringLiteral("a.mp3"), QStringLiteral("A"), 16},
                                            {QStringLiteral("b.mp3"), QString(), 0}}));
    }

    void plsOverLongerFileKeepsStaleKeys()
    {
        const QString file = path(QStringLiteral("five.pls"));
        TPlayListRecords five;
        for (int i = 1; i <= 5; ++i)
            five.append({QStringLiteral("f%1.mp3").arg(i), QStringLiteral("T%1").arg(i), i});
        QString error;
        QVERIFY(writePlsFile(file, five, error));
        QVERIFY(writePlsFile(file, five.mid(3), error));
        const QByteArray bytes = readFile(file);
        QVERIFY(bytes.contains("NumberOfEntries=2\r\n"));
        QVERIFY(bytes.contains("File1=f4.mp3\r\n"));
        QVERIFY(bytes.contains("File5=f5.mp3\r\n"));
        TPlayListRecords back;
        QVERIFY(readPlsFile(file, back, error));
        QCOMPARE(back, five.mid(3));
    }

    // Saving over an existing PLS file keeps what the program does not own
    // and writes each of its keys once, whatever shape the file had.
    void plsOverExistingFile_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("expected");
        const QString entries = QStringLiteral("Title1=A\r\nLength1=1\r\nFile2=/m/b.mp3\r\nTitle2=B\r\nLength2=2\r\n");
        QTest::newRow("comments before and inside the section")
            << "; made by a player\r\n# another\r\n[playlist]\r\n; my list\r\nFile1=old.mp3\r\n"
               "NumberOfEntries=1\r\n\r\n"
            << "; made by a player\r\n# another\r\n[playlist]\r\n; my list\r\nFile1=/m/a.mp3\r\n"
               "NumberOfEntries=2\r\nVersion=2\r\n" + entries + "\r\n";
        QTest::newRow("a key repeated, in other spellings")
            << "[playlist]\nFile1=old.mp3\nfile1=older.mp3\nFILE1 = oldest.mp3\nVersion=2\n"
            << "[playlist]\r\nFile1=/m/a.mp3\r\nVersion=2\r\nNumberOfEntries=2\r\n" + entries;
        QTest::newRow("a second playlist section keeps what is not ours")
            << "[playlist]\nNumberOfEntries=1\nFile1=a.mp3\n[extra]\nx=1\n[Playlist]\nFile1=b.mp3\nComment=mine\n"
            << "[playlist]\r\nNumberOfEntries=2\r\nFile1=/m/a.mp3\r\nVersion=2\r\n" + entries
                   + "[extra]\r\nx=1\r\n[Playlist]\r\nComment=mine\r\n";
        QTest::newRow("a second playlist section of our keys only goes")
            << "[playlist]\nFile1=a.mp3\n\n[playlist]\nFile1=b.mp3\nNumberOfEntries=1\n\n[other]\nk=v\n"
            << "[playlist]\r\nFile1=/m/a.mp3\r\nNumberOfEntries=2\r\nVersion=2\r\n" + entries
                   + "\r\n[other]\r\nk=v\r\n";
        QTest::newRow("no playlist section")
            << "; only a comment\n[other]\nk=v"
            << "; only a comment\r\n[other]\r\nk=v\r\n\r\n[playlist]\r\nNumberOfEntries=2\r\nVersion=2\r\n"
                   "File1=/m/a.mp3\r\n" + entries + "\r\n";
        QTest::newRow("entries past the count kept, end-of-file mark dropped")
            << "[playlist]\nFile3=c.mp3\nNumberOfEntries=3\n\x1a\n"
            << "[playlist]\r\nFile3=c.mp3\r\nNumberOfEntries=2\r\nVersion=2\r\nFile1=/m/a.mp3\r\n" + entries;
    }
    void plsOverExistingFile()
    {
        QFETCH(QString, existing);
        QFETCH(QString, expected);
        const TPlayListRecords records{{QStringLiteral("/m/a.mp3"), QStringLiteral("A"), 1},
                                       {QStringLiteral("/m/b.mp3"), QStringLiteral("B"), 2}};
        QCOMPARE(buildPls(existing, records), expected);

        const QString file = path(QStringLiteral("existing.pls"));
        QVERIFY(writeFile(file, existing.toUtf8()));
        QString error;
        QVERIFY(writePlsFile(file, records, error));
        QCOMPARE(QString::fromUtf8(readFile(file)), expected);
        TPlayListRecords back;
        QVERIFY(readPlsFile(file, back, error));
        QCOMPARE(back, records);
    }

    void plsKeepsOtherSectionsAndConvertsOldEncoding()
    {
        const QString file = path(QStringLiteral("old.pls"));
        QVERIFY(writeFile(file, "[other]\r\nName=Caf\xE9 \x80\r\n[playlist]\r\nNumberOfEntries=1\r\nFile1=M\xFCsik.mp3\r\n"));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QFile::Permissions permissions = QFile::permissions(file);
        TPlayListRecords records;
        QString error;
        QVERIFY(readPlsFile(file, records, error));
        QCOMPARE(records.value(0).FileName, QStringLiteral("Müsik.mp3"));

        records.append({QStringLiteral("Jóga €.mp3"), QStringLiteral("Björk"), 1});
        QVERIFY(writePlsFile(file, records, error));
        const QString text = QString::fromUtf8(readFile(file));
        QVERIFY(text.contains(QStringLiteral("Name=Café €\r\n")));
        QVERIFY(text.contains(QStringLiteral("File2=Jóga €.mp3\r\n")));
        QCOMPARE(QFile::permissions(file), permissions);
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("old.pls*")}, QDir::Files),
                 QStringList{QStringLiteral("old.pls")});
        TPlayListRecords back;
        QVERIFY(readPlsFile(file, back, error));
        QCOMPARE(back, records);
    }

    void plsLongValuesAreNotCut()
    {
        const TPlayListRecords records{{QString(700, QLatin1Char('p')), QString(300, QLatin1Char('t')), 1}};
        QString error;
        QVERIFY(writePlsFile(path(QStringLiteral("long.pls")), records, error));
        TPlayListRecords back;
        QVERIFY(readPlsFile(path(QStringLiteral("long.pls")), back, error));
        QCOMPARE(back, records);
    }

    void readingNeverRewritesThePls()
    {
        // A duplicate section makes the ini object want to rewrite the file.
        const QByteArray original("[playlist]\nNumberOfEntries=1\nFile1=a.mp3\n[playlist]\nFile1=b.mp3\n");
        QVERIFY(writeFile(path(QStringLiteral("dup.pls")), original));
        TPlayListRecords records;
        QString error;
        QVERIFY(readPlsFile(path(QStringLiteral("dup.pls")), records, error));
        QCOMPARE(records.value(0).FileName, QStringLiteral("a.mp3"));
        QCOMPARE(readFile(path(QStringLiteral("dup.pls"))), original);
    }
};

QTEST_APPLESS_MAIN(TestPlayListFormats)
#include "tst_playlistformats.moc"
