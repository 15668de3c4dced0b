#include "testsupport.h"

#include "core/settings/inisettingsstore.h"

#include <QDateTime>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using testsupport::readFile;
using testsupport::writeFile;

static int unixMode(const QString &file)
{
    struct stat info;
    return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

class TestIniSettingsStore : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void namesMatchIgnoringCaseAndKeepFirstSpelling()
    {
        const QString file = path("case.ini");
        {
            TIniSettingsStore store(file);
            store.WriteInteger("PlayLists", "DefaultType", 1);
            store.WriteString("Playlists", "Current Playlist", "/music/x.m3u");
            store.WriteInteger("playlists", "defaulttype", 0);
            QCOMPARE(store.ReadInteger("PLAYLISTS", "DEFAULTTYPE", -1), 0);
            QVERIFY(store.ValueExists("playlists", "CURRENT PLAYLIST"));
        }
        QCOMPARE(readFile(file), QByteArray("[PlayLists]\nDefaultType=0\nCurrent Playlist=/music/x.m3u\n\n"));
    }

    void fileIsPrivateAndReplacedWhole()
    {
        const QString file = path("private/Tunebase.ini");  // folder created on demand
        {
            TIniSettingsStore store(file);
            store.WriteString("Proxy", "Password", "secret");
            QVERIFY(store.Flush());
        }
        QCOMPARE(unixMode(file), 0600);
        // A file other programs left readable becomes private on the next write.
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        {
            TIniSettingsStore store(file);
            store.WriteString("Proxy", "Password", "other");
        }
        QCOMPARE(unixMode(file), 0600);
        QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Tunebase.ini"});  // no temporary file left behind
    }

    void unchangedWritesLeaveFileUntouched()
    {
        const QString file = path("untouched.ini");
        QVERIFY(writeFile(file, "; written by hand\n[Settings]\nAutoIncrementIndex = 1\nConfirmItemRemoval=1\n"));
        const QDateTime old = QDateTime::currentDateTime().addDays(-3);
        QFile stamp(file);
        QVERIFY(stamp.open(QIODevice::ReadWrite) && stamp.setFileTime(old, QFileDevice::FileModificationTime));
        stamp.close();
        {
            TIniSettingsStore store(file);
            store.WriteBool("settings", "confirmitemremoval", true);
            QVERIFY(store.Flush());
        }
        QCOMPARE(QFileInfo(file).lastModified(), old);
        QVERIFY(readFile(file).startsWith("; written by hand"));
    }

    void nestedSections()
    {
        const QString file = path("nested.ini");
        {
            TIniSettingsStore store(file);
            store.WriteInteger("ItemColumnFields", "Count", 2);
            store.WriteInteger("ItemColumnFields\\0", "Field", 3);
            store.WriteInteger("ItemColumnFields\\1", "Field", 9);
            store.WriteInteger("ItemColumnFields\\1\\deeper", "x", 1);
            store.WriteInteger("ItemColumnFieldsOther", "Count", 1);
            store.WriteInteger("Only\\Children", "x", 1);
        }
        QVERIFY(readFile(file).contains("[ItemColumnFields\\0]\nField=3\n"));
        TIniSettingsStore store(file);
        QCOMPARE(store.SubSectionNames("itemcolumnfields"), (QStringList{"0", "1"}));
        QCOMPARE(store.SubSectionNames("ItemColumnFields\\1"), QStringList{"deeper"});
        QVERIFY(store.SectionExists("ONLY"));  // through its sub-section
        QVERIFY(!store.SectionExists("Nothing"));
        store.EraseSection("ItemColumnFields");
        QVERIFY(!store.SectionExists("ItemColumnFields"));
        QVERIFY(!store.SectionExists("ItemColumnFields\\1\\deeper"));
        QVERIFY(store.SectionExists("ItemColumnFieldsOther"));
        store.DeleteValue("Only\\Children", "X");
        QVERIFY(!store.SectionExists("Only"));
    }

    void valueNamesInOrderWithoutDuplicates()
    {
        const QString file = path("names.ini");
        QVERIFY(writeFile(file, "[S]\nB=1\na=2\nb=3\nnot a value\n"));
        TIniSettingsStore store(file);
        QCOMPARE(store.ValueNames("s"), (QStringList{"B", "a"}));
        store.DeleteValue("S", "b");  // removes every line of the name
        QVERIFY(!store.ValueExists("S", "B"));
        QCOMPARE(store.ValueNames("S"), QStringList{"a"});
    }

    void anyTextSurvivesTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("format with backslashes") << "Format0" << "%ar - %al\\%ix - %t";
        QTest::newRow("multi-line") << "Header" << "line one\r\nline two\nthree";
        QTest::newRow("leading quote") << "Q" << "\"quoted\" text";
        QTest::newRow("quotes around") << "Q2" << "\"x\"";
        QTest::newRow("lone quote") << "Q3" << "\"";
        QTest::newRow("tab and NUL") << "T" << QStringLiteral("a\tb") + QChar(0) + QStringLiteral("c");
        QTest::newRow("backslash before quote") << "B" << "\"a\\\"b\\";
        QTest::newRow("blanks kept") << "Blanks" << "  padded  ";
        QTest::newRow("section-like value") << "[Fake" << "Section]";
        QTest::newRow("equals in name") << "a=b" << "c=d";
        QTest::newRow("percent in name") << "100%" << "%41";
        QTest::newRow("line break in name") << "two\nlines" << "v";
        QTest::newRow("unicode") << "Künstler" << "Sigur Rós – Ágætis byrjun";
        QTest::newRow("empty value") << "Empty" << "";
    }
    void anyTextSurvivesTheFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        const QString file = path("text.ini");
        QFile::remove(file);
        {
            TIniSettingsStore store(file);
            store.WriteString("Section", "Before", "1");
            store.WriteString("Section", name, value);
            store.WriteString("Section", "After", "2");
        }
        TIniSettingsStore store(file);
        QCOMPARE(store.ReadString("Section", name, "missing"), value);
        QCOMPARE(store.ValueNames("Section"), (QStringList{"Before", name, "After"}));
        QCOMPARE(store.ReadString("Section", "After"), QStringLiteral("2"));
    }

    void plainValuesStayReadable()
    {
        const QString file = path("readable.ini");
        {
            TIniSettingsStore store(file);
            store.WriteString("ParseFormats", "Format0", "%al\\%ix - %t");
            store.WriteString("Folders", "Data", "/home/anna/My \"Music\"/");
        }
        QCOMPARE(readFile(file), QByteArray("[ParseFormats]\nFormat0=%al\\%ix - %t\n\n"
                                            "[Folders]\nData=/home/anna/My \"Music\"/\n\n"));
    }

    // Numbers are stored in one format whatever the user's locale.
    void numbersIgnoreTheLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString file = path("locale.ini");
        {
            TIniSettingsStore store(file);
            store.WriteDate("Settings", "LastUpdateCheck", 45123.75);
            store.WriteInteger("Settings", "Big", 1234567);
        }
        QVERIFY(readFile(file).contains("LastUpdateCheck=45123.75\n"));
        QVERIFY(readFile(file).contains("Big=1234567\n"));
        TIniSettingsStore store(file);
        QCOMPARE(store.ReadDate("Settings", "LastUpdateCheck", 0), 45123.75);
        QCOMPARE(store.ReadInteger("Settings", "Big", 0), 1234567);
        QLocale::setDefault(saved);
    }

    void wrongTypesGiveTheDefault()
    {
        TIniSettingsStore store(path("types.ini"));
        store.WriteString("S", "n", "seven");
        QCOMPARE(store.ReadInteger("S", "n", 7), 7);
        QCOMPARE(store.ReadBool("S", "n", true), true);
        QCOMPARE(store.ReadDate("S", "n", 1.5), 1.5);
        store.WriteString("S", "b", "2");
        QCOMPARE(store.ReadBool("S", "b", false), true);
    }

    void emptyNamesAreRefused()
    {
        const QString file = path("emptyname.ini");
        QVERIFY(writeFile(file, "[S]\nk=v\n"));
        TIniSettingsStore store(file);
        QTest::ignoreMessage(QtWarningMsg, "Settings value without a name in S ignored");
        store.WriteString("S", "", "");  // must not erase the section
        QCOMPARE(store.ReadString("S", "k"), QStringLiteral("v"));
        QCOMPARE(store.ReadString("S", "", "default"), QStringLiteral("default"));
    }
};

QTEST_APPLESS_MAIN(TestIniSettingsStore)
#include "tst_inisettingsstore.moc"
