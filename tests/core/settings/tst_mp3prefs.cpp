#include "fakemounttable.h"
#include "testsupport.h"

#include "core/settings/generalhelpers.h"
#include "core/settings/inisettingsstore.h"
#include "core/settings/prefs.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::readFile;
using testsupport::writeFile;

class TestMp3Prefs : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_home;
    TFakeMountTable m_mounts;
    int m_fileNumber = 0;

    QString dataFolder() const { return m_home.filePath("data/Brimlow/Tunebase/Data/"); }
    // A fresh settings file holding the given text.
    QString settingsFile(const QByteArray &content = QByteArray())
    {
        const QString file = m_home.filePath(QStringLiteral("settings%1.ini").arg(++m_fileNumber));
        if (!content.isEmpty())
            writeFile(file, content);
        return file;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        // Keep the defaults away from the real home folder.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath("config")));
        qunsetenv("TUNEBASE_CONFIG");
        m_mounts.add("/", "/dev/sda1", "ext4");
        m_mounts.add("/media/anna/CD", "/dev/sr0", "iso9660", "CD");
    }

    void firstRunDefaults()
    {
        TIniSettingsStore store(settingsFile());
        TMp3Prefs prefs(store, m_mounts);
        QCOMPARE(prefs.DataFolder, dataFolder());
        // Reading the settings creates no folder; the program makes it.
        QVERIFY(!QFileInfo::exists(prefs.DataFolder));
        QCOMPARE(prefs.ImageFolder, dataFolder() + "Images/");
        QCOMPARE(prefs.CurrentDatabase, dataFolder() + "demo.tbx");
        QCOMPARE(prefs.ParseFormats, DefaultParseFormats());
        QCOMPARE(prefs.ParseFormats.size(), 23);
        QCOMPARE(prefs.ParseFormats.first(), QStringLiteral("%al\\%ix - %t"));
        QCOMPARE(prefs.ParseFormats.last(), QStringLiteral("%ar - %al\\%ix %t"));
        QCOMPARE(prefs.RenameFormats.size(), 16);
        QCOMPARE(prefs.RenameFormats.last(), QStringLiteral("%ix_%ar - %t"));
        QCOMPARE(prefs.CurrentRenameFormat, QStringLiteral("%ix - %ar - %t"));
        QCOMPARE(prefs.PlaylistType, 0);
        QCOMPARE(prefs.CurrentPlaylist, QString());
        QCOMPARE(prefs.CurrentPlaylistFolder, dataFolder());
        QCOMPARE(prefs.NrDaysBetweenUpdateChecks, 7);
        QCOMPARE(prefs.LastUpdateCheck, 0.0);
        QCOMPARE(prefs.ScanDrive, QStringLiteral("/media/anna/CD"));
        QVERIFY(prefs.FirstRun && prefs.AutoSelectFolder);
        QVERIFY(prefs.AutoIncrementIndex && prefs.ConfirmItemRemoval && prefs.ConfirmItemCancel
                && prefs.ShowInCollectionIndicator);
        QVERIFY(!prefs.ShowLookupSortNames && !prefs.LookupHintShown);
        QCOMPARE(prefs.ProxySettings.Server, QString());
        QCOMPARE(prefs.ProxySettings.Port, QString());
        QCOMPARE(prefs.GetRegistryKey(), QStringLiteral("\\Software\\Brimlow\\Mp3"));
    }

    void noOpticalDiscNoScanDrive()
    {
        TFakeMountTable noDisc;
        noDisc.add("/", "/dev/sda1", "ext4");
        TIniSettingsStore store(settingsFile("[Scan]\nDrive=\n"));
        QCOMPARE(TMp3Prefs(store, noDisc).ScanDrive, QString());
        store.WriteString("Scan", "Drive", "/mnt/usb");
        QCOMPARE(TMp3Prefs(store, m_mounts).ScanDrive, QStringLiteral("/mnt/usb"));
    }

    void formatCount_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("missing count: defaults") << QByteArray("[ParseFormats]\nFormat0=%t\n")
                                                 << DefaultParseFormats();
        QTest::newRow("count -1: defaults") << QByteArray("[ParseFormats]\nCount=-1\n") << DefaultParseFormats();
        QTest::newRow("count 0: none") << QByteArray("[ParseFormats]\nCount=0\nFormat0=%t\n") << QStringList();
        QTest::newRow("missing values read empty")
            << QByteArray("[ParseFormats]\nCount=3\nFormat0=%ar - %t\nFormat1=%t\n")
            << QStringList{"%ar - %t", "%t", ""};
        QTest::newRow("count is no number: defaults") << QByteArray("[ParseFormats]\nCount=many\n")
                                                      << DefaultParseFormats();
        QTest::newRow("negative count: none") << QByteArray("[ParseFormats]\nCount=-5\n") << QStringList();
    }
    void formatCount()
    {
        QFETCH(QByteArray, section);
        QFETCH(QStringList, expected);
        TIniSettingsStore store(settingsFile(section));
        TMp3Prefs prefs(store, m_mounts);
        QCOMPARE(prefs.ParseFormats, expected);
        QCOMPARE(prefs.RenameFormats, DefaultRenameFormats());
    }

    // A damaged count must not make the program read two billion values.
    void hugeFormatCountIsClamped()
    {
        TIniSettingsStore store(settingsFile("[RenameFormats]\nCount=2147483647\nFormat0=%t\n"));
        TMp3Prefs prefs(store, m_mounts);
        QCOMPARE(prefs.RenameFormats.size(), MaxFilenameFormats);
        QCOMPARE(prefs.RenameFormats.first(), QStringLiteral("%t"));
        QCOMPARE(prefs.CurrentRenameFormat, QStringLiteral("%t"));
    }

    void emptyFormatsAreSkippedWhenSaved()
    {
        // An earlier, longer list left Format2; it must not come back in place
        // of the empty entry.
        TIniSettingsStore store(settingsFile("[RenameFormats]\nCount=3\nFormat0=old\nFormat1=old\nFormat2=old\n"
                                             "Current=%t\n"));
        {
            TMp3Prefs prefs(store, m_mounts);
            prefs.RenameFormats = QStringList{"%ar - %t", "", "%t"};
        }
        QCOMPARE(store.ReadInteger("RenameFormats", "Count", -1), 3);
        QCOMPARE(store.ReadString("RenameFormats", "Format0"), QStringLiteral("%ar - %t"));
        QCOMPARE(store.ReadString("RenameFormats", "Format1"), QStringLiteral("%t"));
        QVERIFY(!store.ValueExists("RenameFormats", "Format2"));
        QCOMPARE(store.ReadString("RenameFormats", "Current"), QStringLiteral("%t"));
        TMp3Prefs again(store, m_mounts);
        QCOMPARE(again.RenameFormats, (QStringList{"%ar - %t", "%t", ""}));
    }

    void foldersGetTheirDelimiter()
    {
        TIniSettingsStore store(settingsFile("[Folders]\nData=/home/anna/Collections\n"
                                             "[Settings]\nImageBaseFolder=/home/anna/Pictures\n"));
        TMp3Prefs prefs(store, m_mounts);
        QCOMPARE(prefs.DataFolder, QStringLiteral("/home/anna/Collections/"));
        QCOMPARE(prefs.ImageFolder, QStringLiteral("/home/anna/Pictures/"));
        QCOMPARE(prefs.CurrentDatabase, QStringLiteral("/home/anna/Collections/demo.tbx"));
        QCOMPARE(prefs.CurrentPlaylistFolder, QStringLiteral("/home/anna/Collections/"));
    }

    void emptyFolderMeansTheDefault()
    {
        TIniSettingsStore store(settingsFile("[Folders]\nData=\n"));
        QCOMPARE(TMp3Prefs(store, m_mounts).DataFolder, dataFolder());
    }

    void proxyDetailsOnlyWithAServer()
    {
        TIniSettingsStore noServer(settingsFile("[Proxy]\nServer=\nPort=3128\nUserID=anna\n"));
        const TMp3Prefs without(noServer, m_mounts);
        QCOMPARE(without.ProxySettings.Port, QString());
        QCOMPARE(without.ProxySettings.UserID, QString());
        TIniSettingsStore withServer(settingsFile("[Proxy]\nServer=proxy.lan\nUserID=anna\n"));
        const TMp3Prefs with(withServer, m_mounts);
        QCOMPARE(with.ProxySettings.Port, QStringLiteral("8080"));
        QCOMPARE(with.ProxySettings.UserID, QStringLiteral("anna"));
    }

    void unknownPlaylistTypeIsM3u()
    {
        TIniSettingsStore store(settingsFile("[PlayLists]\nDefaultType=7\n"));
        QCOMPARE(TMp3Prefs(store, m_mounts).PlaylistType, 0);
    }

    void everySettingSurvivesARestart()
    {
        const QString file = settingsFile();
        {
            TMp3Prefs prefs(file);
            prefs.DataFolder = "/srv/collections/";
            prefs.CurrentDatabase = "/srv/collections/rock.tbx";
            prefs.ImageFolder = "/srv/images/";
            prefs.ShowLookupSortNames = true;
            prefs.AutoIncrementIndex = false;
            prefs.ConfirmItemRemoval = false;
            prefs.ConfirmItemCancel = false;
            prefs.ShowInCollectionIndicator = false;
            prefs.LookupHintShown = true;
            prefs.ProxySettings = TProxySettings{"proxy.lan", "3128", "anna", "p=ss\nword"};
            prefs.LastUpdateCheck = 45000.25;
            prefs.NrDaysBetweenUpdateChecks = -1;
            prefs.ScanDrive = "/media/anna/STICK";
            prefs.ParseFormats = QStringList{"%ar\\%al\\%ix - %t"};
            prefs.RenameFormats = QStringList{"%t", "%ix %t"};
            prefs.CurrentRenameFormat = "%ix %t";
            prefs.PlaylistType = 1;
            prefs.CurrentPlaylist = "/srv/party.pls";
            prefs.CurrentPlaylistFolder = "/srv/";
            prefs.AutoSelectFolder = false;
        }
        QCOMPARE(TIniSettingsStore(file).ReadString("Folders", "App"), GetAppFolder());
        QCOMPARE(TIniSettingsStore(file).ReadString("Version info", "Version"), GetVersionText(true));
        const TMp3Prefs prefs(file);
        QCOMPARE(prefs.DataFolder, QStringLiteral("/srv/collections/"));
        QCOMPARE(prefs.CurrentDatabase, QStringLiteral("/srv/collections/rock.tbx"));
        QCOMPARE(prefs.ImageFolder, QStringLiteral("/srv/images/"));
        QVERIFY(prefs.ShowLookupSortNames && prefs.LookupHintShown);
        QVERIFY(!prefs.AutoIncrementIndex && !prefs.ConfirmItemRemoval && !prefs.ConfirmItemCancel
                && !prefs.ShowInCollectionIndicator);
        QCOMPARE(prefs.ProxySettings.Server, QStringLiteral("proxy.lan"));
        QCOMPARE(prefs.ProxySettings.Port, QStringLiteral("3128"));
        QCOMPARE(prefs.ProxySettings.UserID, QStringLiteral("anna"));
        QCOMPARE(prefs.ProxySettings.Password, QStringLiteral("p=ss\nword"));
        QCOMPARE(prefs.LastUpdateCheck, 45000.25);
        QCOMPARE(prefs.NrDaysBetweenUpdateChecks, -1);
        QCOMPARE(prefs.ScanDrive, QStringLiteral("/media/anna/STICK"));
        QCOMPARE(prefs.ParseFormats, QStringList{"%ar\\%al\\%ix - %t"});
        QCOMPARE(prefs.RenameFormats, (QStringList{"%t", "%ix %t"}));
        QCOMPARE(prefs.CurrentRenameFormat, QStringLiteral("%ix %t"));
        QCOMPARE(prefs.PlaylistType, 1);
        QCOMPARE(prefs.CurrentPlaylist, QStringLiteral("/srv/party.pls"));
        QCOMPARE(prefs.CurrentPlaylistFolder, QStringLiteral("/srv/"));
        QVERIFY(!prefs.AutoSelectFolder);
        QVERIFY(!prefs.FirstRun);  // the first run ends with the first save
    }

    void saveToFileWritesDuringTheRun()
    {
        const QString file = settingsFile();
        TMp3Prefs prefs(file);
        prefs.CurrentPlaylist = "/srv/now.m3u";
        QVERIFY(prefs.SaveToFile());
        QCOMPARE(TIniSettingsStore(file).ReadString("Playlists", "Current Playlist"),
                 QStringLiteral("/srv/now.m3u"));
    }

    // A session that changes nothing does not rewrite the file.
    void unchangedSessionLeavesFileUntouched()
    {
        const QString file = settingsFile();
        { TMp3Prefs prefs(file); }
        const QByteArray bytes = readFile(file);
        QVERIFY(bytes.contains("[PlayLists]\nDefaultType=0\nCurrent Playlist=\n"));
        const QDateTime old = QDateTime::currentDateTime().addDays(-1);
        QFile stamp(file);
        QVERIFY(stamp.open(QIODevice::ReadWrite) && stamp.setFileTime(old, QFileDevice::FileModificationTime));
        stamp.close();
        { TMp3Prefs prefs(file); }
        QCOMPARE(QFileInfo(file).lastModified(), old);
        QCOMPARE(readFile(file), bytes);
    }

    // The model reads its two preferences from the installed settings object,
    // sees later changes once they are saved, and falls back to its defaults
    // when the object is gone.
    void modelReadsInstalledPreferences()
    {
        TIniSettingsStore store(settingsFile("[Settings]\nShowLookupSortNames=1\nAutoIncrementIndex=0\n"));
        {
            TMp3Prefs prefs(store, m_mounts);
            prefs.InstallDataSettings();
            QVERIFY(TDataSettings::Current().ShowLookupSortNames);
            QVERIFY(!TDataSettings::Current().AutoIncrementIndex);
            prefs.AutoIncrementIndex = true;
            prefs.Save();
            QVERIFY(TDataSettings::Current().AutoIncrementIndex);
        }
        QVERIFY(!TDataSettings::Current().ShowLookupSortNames);
        QVERIFY(TDataSettings::Current().AutoIncrementIndex);
    }

    void settingsFileLocation()
    {
        QCOMPARE(DefaultSettingsFileName(), m_home.filePath("config/Brimlow/Tunebase.ini"));
        qputenv("TUNEBASE_CONFIG", "/tmp/elsewhere.ini");
        QCOMPARE(DefaultSettingsFileName(), QStringLiteral("/tmp/elsewhere.ini"));
        qunsetenv("TUNEBASE_CONFIG");
    }
};

QTEST_APPLESS_MAIN(TestMp3Prefs)
#include "tst_mp3prefs.moc"
