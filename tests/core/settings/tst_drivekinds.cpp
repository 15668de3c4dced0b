#include "fakemounttable.h"

#include "core/settings/drives.h"

#include <QtTest>

// Drive kinds and volume names come from the mount holding a path; the mount
// table here is a fixed one so the results do not depend on the machine.
class TestDriveKinds : public QObject {
    Q_OBJECT
private:
    TFakeMountTable m_mounts;

private Q_SLOTS:
    void initTestCase()
    {
        m_mounts.add("/", "/dev/nvme0n1p2", "ext4");
        m_mounts.add("/home", "/dev/nvme0n1p3", "ext4", "home");
        m_mounts.add("/tmp", "tmpfs", "tmpfs");
        m_mounts.add("/mnt/usb", "/dev/sdb1", "vfat", "STICK", true);
        m_mounts.add("/media/anna/OLDDISK", "/dev/sdc1", "ntfs");
        m_mounts.add("/run/media/bob/x", "/dev/sdd1", "exfat");
        m_mounts.add("/mnt/nas", "//nas/music", "cifs");
        m_mounts.add("/mnt/export", "fileserver:/export/mp3/", "nfs4");
        m_mounts.add("/mnt/remote", "anna@host:/srv/music", "fuse.sshfs");
        m_mounts.add("/media/anna/AUDIO_CD", "/dev/sr0", "iso9660", "AUDIO_CD");
        m_mounts.add("/media/anna/dvd", "/dev/sr1", "udf");
    }

    void driveKind_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        QTest::newRow("UNC path") << "\\\\server\\share\\a.mp3" << int(dkNetwork);
        QTest::newRow("one character") << "c" << int(dkUnknown);
        QTest::newRow("empty") << "" << int(dkUnknown);
        QTest::newRow("relative") << "music/a.mp3" << int(dkUnknown);
        QTest::newRow("drive letter of another system") << "d:\\Music\\a.mp3" << int(dkNoRootFolder);
        QTest::newRow("root file system") << "/srv/music/a.mp3" << int(dkFixed);
        QTest::newRow("root itself") << "/" << int(dkFixed);
        QTest::newRow("longest mount wins") << "/home/anna/a.mp3" << int(dkFixed);
        QTest::newRow("tmpfs") << "/tmp/a.mp3" << int(dkRamDisk);
        QTest::newRow("removable flag") << "/mnt/usb/a.mp3" << int(dkRemovable);
        QTest::newRow("under /media") << "/media/anna/OLDDISK/a.mp3" << int(dkRemovable);
        QTest::newRow("under /run/media") << "/run/media/bob/x/a.mp3" << int(dkRemovable);
        QTest::newRow("cifs") << "/mnt/nas/a.mp3" << int(dkNetwork);
        QTest::newRow("nfs4") << "/mnt/export/a.mp3" << int(dkNetwork);
        QTest::newRow("sshfs") << "/mnt/remote/a.mp3" << int(dkNetwork);
        QTest::newRow("iso9660 under /media") << "/media/anna/AUDIO_CD/01.mp3" << int(dkCDRom);
        QTest::newRow("udf") << "/media/anna/dvd" << int(dkCDRom);
        QTest::newRow("prefix is not a mount") << "/mnt/usbother/a.mp3" << int(dkFixed);
    }
    void driveKind()
    {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(GetDriveKind(path, m_mounts), kind);
    }

    void notMounted()
    {
        TFakeMountTable onlyMedia;
        onlyMedia.add("/media/cd", "/dev/sr0", "iso9660");
        QCOMPARE(GetDriveKind("/home/a.mp3", onlyMedia), int(dkNoRootFolder));
        QCOMPARE(GetVolumeName("/home/a.mp3", onlyMedia), QString());
    }

    void volumeName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("UNC without fourth backslash") << "\\\\server\\share" << "server\\share";
        QTest::newRow("UNC with folders") << "\\\\server\\share\\dir\\a.mp3" << "server\\share";
        QTest::newRow("UNC server only") << "\\\\server" << "server";
        QTest::newRow("one character") << "x" << "";
        QTest::newRow("drive letter") << "d:\\a.mp3" << "";
        QTest::newRow("label") << "/mnt/usb/a.mp3" << "STICK";
        QTest::newRow("cifs share") << "/mnt/nas/x/a.mp3" << "nas/music";
        QTest::newRow("nfs export") << "/mnt/export/a.mp3" << "fileserver/export/mp3";
        QTest::newRow("sshfs") << "/mnt/remote/a.mp3" << "anna@host/srv/music";
        QTest::newRow("mount point name") << "/media/anna/OLDDISK/a.mp3" << "OLDDISK";
        QTest::newRow("root without label") << "/srv/a.mp3" << "";
    }
    void volumeName()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(GetVolumeName(path, m_mounts), name);
    }

    void firstCDDrive()
    {
        QCOMPARE(FindFirstCDDrive(m_mounts), QStringLiteral("/media/anna/AUDIO_CD"));
        TFakeMountTable noDisc;
        noDisc.add("/", "/dev/sda1", "ext4");
        QCOMPARE(FindFirstCDDrive(noDisc), QString());
    }

    // The live table must at least know the root file system.
    void systemTableFindsRoot()
    {
        const std::optional<TMountInfo> root = SystemMountTable().MountOf(QStringLiteral("/"));
        QVERIFY(root.has_value());
        QCOMPARE(root->RootPath, QStringLiteral("/"));
        QVERIFY(!SystemMountTable().MountOf(QStringLiteral("/no/such/folder/here")).has_value());
        QCOMPARE(GetDriveKind(QStringLiteral("/no/such/folder/here")), int(dkNoRootFolder));
    }
};

QTEST_APPLESS_MAIN(TestDriveKinds)
#include "tst_drivekinds.moc"
