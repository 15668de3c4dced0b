#include "testsupport.h"

#include "core/settings/biginifile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

class TestBigIniFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void missingFileStartsEmpty()
    {
        {
            TBigIniFile ini(path("missing.ini"));
            QVERIFY(ini.ReadSections().isEmpty());
            QCOMPARE(ini.ReadString("a", "b", "default"), QStringLiteral("default"));
        }
        QVERIFY(!QFile::exists(path("missing.ini")));  // nothing changed, nothing written
    }

    void readingRules()
    {
        const QString file = path("rules.ini");
        QVERIFY(writeFile(file, "orphan=dropped\r\n"
                                "[playlist]\r\n"
                                "\r\n"
                                "File1=/music/a=b.mp3\r\n"
                                "no equals sign\n"
                                "\x1A\n"
                                "[ Spaced ]\r"
                                "Key = value \r\n"));
        TBigIniFile ini(file);
        QCOMPARE(ini.ReadSections(), (QStringList{"playlist", " Spaced "}));
        QCOMPARE(ini.ReadSection("PLAYLIST"), QStringList{"File1"});  // keys only, no "="-less lines
        QCOMPARE(ini.ReadString("Playlist", "file1", ""), QStringLiteral("/music/a=b.mp3"));
        QCOMPARE(ini.ReadString(" spaced ", "Key ", ""), QStringLiteral(" value "));
        QCOMPARE(ini.ReadString(" spaced ", "Key", "none"), QStringLiteral("none"));
        QCOMPARE(ini.ReadString("", "orphan", "none"), QStringLiteral("none"));
        QVERIFY(!ini.Modified());
    }

    void longLinesAreKeptWhole()
    {
        const QString file = path("long.pls");
        const QString longPath = "/home/anna/" + QString(600, QLatin1Char('x')) + ".mp3";
        {
            TBigIniFile ini(file);
            ini.WriteString("playlist", "File1", longPath);
        }
        TBigIniFile ini(file);
        QCOMPARE(ini.ReadString("playlist", "File1", ""), longPath);
    }

    // A header spelled twice (ignoring case) keeps only its first occurrence;
    // the file is rewritten without the second.
    void duplicateSectionsKeepTheFirst()
    {
        const QString file = path("dup.ini");
        QVERIFY(writeFile(file, "[Playlist]\r\nFile1=a\r\n[Other]\r\nX=1\r\n[PLAYLIST]\r\nFile1=b\r\nFile2=c\r\n"));
        {
            TBigIniFile ini(file);
            QCOMPARE(ini.ReadSections(), (QStringList{"Playlist", "Other"}));
            QCOMPARE(ini.ReadString("playlist", "File1", ""), QStringLiteral("a"));
            QCOMPARE(ini.ReadString("playlist", "File2", "none"), QStringLiteral("none"));
            QVERIFY(ini.Modified());
        }
        QCOMPARE(readFile(file), QByteArray("[Playlist]\r\nFile1=a\r\n\r\n[Other]\r\nX=1\r\n\r\n"));
    }

    void unchangedWriteLeavesFileUntouched()
    {
        const QString file = path("unchanged.ini");
        const QByteArray bytes = "[Main]\nName=Value\nnote without equals\n";
        QVERIFY(writeFile(file, bytes));
        {
            TBigIniFile ini(file);
            ini.WriteString("main", "name", "Value");
            ini.WriteInteger("MAIN", "Name", 0);
            ini.WriteString("main", "name", "Value");  // back to what is stored: still a change
        }
        QCOMPARE(readFile(file), QByteArray("[Main]\r\nName=Value\r\nnote without equals\r\n\r\n"));
        QVERIFY(writeFile(file, bytes));
        {
            TBigIniFile ini(file);
            ini.WriteString("MAIN", "NAME", "Value");
            ini.WriteBool("x", "", false);  // empty section, key and value: writes only when modified
            QVERIFY(!ini.Modified());
        }
        QCOMPARE(readFile(file), bytes);
    }

    void writingAppendsAndReplacesInPlace()
    {
        const QString file = path("write.ini");
        QVERIFY(writeFile(file, "[A]\nOne=1\nTwo=2\n[B]\nX=y\n"));
        {
            TBigIniFile ini(file);
            ini.WriteString("a", "ONE", "uno");        // replaced in place, first spelling kept
            ini.WriteString("a", "Three", "3");        // appended to its section
            ini.WriteString("C", "New", "");           // new section at the end
            ini.WriteString("Empty", "k", "v");
            ini.DeleteKey("empty", "K");               // a section without lines is not written
        }
        QCOMPARE(readFile(file), QByteArray("[A]\r\nOne=uno\r\nTwo=2\r\nThree=3\r\n\r\n"
                                            "[B]\r\nX=y\r\n\r\n"
                                            "[C]\r\nNew=\r\n\r\n"));
    }

    // Lookups go through an index of folded names: it must follow every
    // edit and still find the first of duplicated keys and sections.
    void lookupsFollowEdits()
    {
        const QString file = path("index.ini");
        QVERIFY(writeFile(file, "[Ä]\nKey=first\nkey=second\nÉté=1\n[B]\nx=1\n[C]\ny=2\n"));
        TBigIniFile ini(file);
        QCOMPARE(ini.ReadString("ä", "KEY", ""), QStringLiteral("first"));
        QCOMPARE(ini.ReadString("Ä", "ÉTÉ", ""), QStringLiteral("1"));
        ini.DeleteKey("ä", "key");                   // removes both spellings
        QVERIFY(!ini.ValueExists("Ä", "Key"));
        QCOMPARE(ini.ReadString("Ä", "été", ""), QStringLiteral("1"));
        ini.WriteString("Ä", "KEY", "again");
        QCOMPARE(ini.ReadSection("ä"), (QStringList{"Été", "KEY"}));
        ini.EraseSection("b");
        QCOMPARE(ini.ReadString("c", "Y", ""), QStringLiteral("2"));
        ini.WriteString("b", "x", "new");            // the erased section comes back at the end
        QCOMPARE(ini.ReadSections(), (QStringList{"Ä", "C", "b"}));
        QCOMPARE(ini.ReadString("B", "X", ""), QStringLiteral("new"));
    }

    void emptyKeyErasesOrWrites()
    {
        const QString file = path("erase.ini");
        QVERIFY(writeFile(file, "[A]\nk=v\n[B]\nk=v\n"));
        TBigIniFile ini(file);
        ini.WriteString("a", "", "");
        QCOMPARE(ini.ReadSections(), QStringList{"B"});
        ini.WriteString("", "", "");
        QVERIFY(!ini.Modified());
        QCOMPARE(readFile(file), QByteArray("[B]\r\nk=v\r\n\r\n"));
    }

    void typedValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("integer");
        QTest::addColumn<bool>("boolean");
        QTest::newRow("decimal") << "42" << 42 << true;
        QTest::newRow("negative") << "-7" << -7 << true;
        QTest::newRow("hex") << "0x1F" << 31 << true;
        QTest::newRow("hex upper X") << "0X10" << 16 << true;
        QTest::newRow("zero") << "0" << 0 << false;
        QTest::newRow("no number") << "twelve" << -1 << true;   // default
        QTest::newRow("empty") << "" << -1 << true;
        QTest::newRow("too large") << "99999999999" << -1 << true;
    }
    void typedValues()
    {
        QFETCH(QString, text);
        QFETCH(int, integer);
        QFETCH(bool, boolean);
        TBigIniFile ini(QString{});
        ini.WriteString("S", "v", text);
        QCOMPARE(ini.ReadInteger("S", "v", -1), integer);
        QCOMPARE(ini.ReadBool("S", "v", true), boolean);
        ini.WriteBool("S", "b", false);
        QCOMPARE(ini.ReadString("S", "b", ""), QStringLiteral("0"));
        ini.WriteInteger("S", "i", -12);
        QCOMPARE(ini.ReadString("S", "i", ""), QStringLiteral("-12"));
    }

    void readingOptions()
    {
        const QString file = path("options.ini");
        QVERIFY(writeFile(file, "[S]\n;comment\nbare\nkey \t=\t 'quoted' \t\n"));
        TBigIniFile::TReadOptions options;
        options.DropCommentLines = true;
        options.DropLinesWithoutEquals = true;
        options.TrimAroundEquals = true;
        options.StripQuotes = true;
        options.TrimTrailing = true;
        TBigIniFile ini(file, options);
        QCOMPARE(ini.ReadSection("S"), QStringList{"key"});
        QCOMPARE(ini.ReadString("S", "key", ""), QStringLiteral("quoted"));
    }

    void encodingIsKept()
    {
        const QString latin = path("latin1.pls");
        QVERIFY(writeFile(latin, "[playlist]\r\nTitle1=Bj\xF6rk\r\n"));
        {
            TBigIniFile ini(latin);
            QCOMPARE(ini.ReadString("playlist", "Title1", ""), QStringLiteral("Björk"));
            ini.WriteString("playlist", "Title2", QStringLiteral("Sigur Rós"));
        }
        QCOMPARE(readFile(latin), QByteArray("[playlist]\r\nTitle1=Bj\xF6rk\r\nTitle2=Sigur R\xF3s\r\n\r\n"));

        const QString utf8 = path("utf8.pls");
        QVERIFY(writeFile(utf8, "\xEF\xBB\xBF[playlist]\nTitle1=Bj\xC3\xB6rk\n"));
        TBigIniFile ini(utf8);
        QCOMPARE(ini.ReadSections(), QStringList{"playlist"});
        QCOMPARE(ini.ReadString("playlist", "Title1", ""), QStringLiteral("Björk"));
    }

    void failedWriteKeepsChangesPending()
    {
        TBigIniFile ini(path("no/such/folder/x.ini"));
        ini.WriteString("S", "k", "v");
        QVERIFY(!ini.UpdateFile());
        QVERIFY(ini.Modified());
        QVERIFY(!ini.ErrorString().isEmpty());
        QDir(m_dir.path()).mkpath("no/such/folder");
        QVERIFY(ini.UpdateFile());
        QVERIFY(!ini.Modified());
        QVERIFY(ini.ErrorString().isEmpty());
    }

    void unreadableFileIsNeverOverwritten()
    {
        const QString folder = path("folder.ini");
        QVERIFY(QDir(m_dir.path()).mkdir("folder.ini"));
        {
            TBigIniFile ini(folder);
            QVERIFY(ini.ReadFailed());
            ini.WriteString("S", "k", "v");
            QVERIFY(!ini.UpdateFile());
        }
        QVERIFY(QFileInfo(folder).isDir());

        if (geteuid() == 0)
            QSKIP("root reads every file");
        const QString file = path("locked.ini");
        QVERIFY(writeFile(file, "[S]\nprecious=1\n"));
        QVERIFY(QFile::setPermissions(file, QFileDevice::Permissions()));
        {
            TBigIniFile ini(file);
            QVERIFY(ini.ReadFailed());
            ini.WriteString("S", "other", "2");
            QVERIFY(!ini.UpdateFile());
        }
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(readFile(file), QByteArray("[S]\nprecious=1\n"));
    }
};

QTEST_APPLESS_MAIN(TestBigIniFile)
#include "tst_biginifile.moc"
