#include "core/files/desktopplaces.h"
#include "core/settings/drives.h"
#include "fakemounttable.h"

#include <QTemporaryDir>
#include <QtTest>

class TestDesktopPlaces : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void places();
    void homeWithoutOwnFolders();
    void pathWithin_data();
    void pathWithin();
};

void TestDesktopPlaces::places()
{
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkpath(QStringLiteral("Music")));
    TFakeMountTable mounts;
    mounts.add(QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4"));
    mounts.add(QStringLiteral("/home"), QStringLiteral("/dev/sda2"), QStringLiteral("ext4"));
    mounts.add(QStringLiteral("/media/anna/STICK"), QStringLiteral("/dev/sdb1"), QStringLiteral("vfat"),
               QStringLiteral("STICK"), true);
    mounts.add(QStringLiteral("/mnt/share"), QStringLiteral("//server/music"), QStringLiteral("cifs"));
    mounts.add(QStringLiteral("/media/cdrom"), QStringLiteral("/dev/sr0"), QStringLiteral("iso9660"),
               QStringLiteral("JAZZ3"));
    mounts.add(QStringLiteral("/run/user/1000"), QStringLiteral("tmpfs"), QStringLiteral("tmpfs"));
    TStandardFolders folders;
    folders.Home = home.path();
    folders.Music = home.filePath(QStringLiteral("Music"));
    folders.Desktop = home.filePath(QStringLiteral("Desktop"));   // does not exist
    const QList<TDesktopPlace> places = DesktopPlaces(folders, mounts);
    QStringList names;
    QStringList paths;
    QList<int> kinds;
    for (const TDesktopPlace &place : places) {
        names << place.Name;
        paths << place.Path;
        kinds << place.DriveKind;
    }
    QCOMPARE(names, (QStringList{"Home", "Music", "File System", "STICK", "server/music", "JAZZ3"}));
    QCOMPARE(paths, (QStringList{QDir::cleanPath(home.path()), QDir::cleanPath(home.filePath("Music")), "/",
                                 "/media/anna/STICK", "/mnt/share", "/media/cdrom"}));
    QCOMPARE(kinds, (QList<int>{dkFixed, dkFixed, dkFixed, dkRemovable, dkNetwork, dkCDRom}));
}

void TestDesktopPlaces::homeWithoutOwnFolders()
{
    // Without user directories the system names home for both.
    QTemporaryDir home;
    TStandardFolders folders;
    folders.Home = home.path() + QLatin1Char('/');
    folders.Music = home.path();
    folders.Desktop = home.path();
    const QList<TDesktopPlace> places = DesktopPlaces(folders, TFakeMountTable());
    QCOMPARE(places.size(), 2);
    QCOMPARE(places.at(0).Path, QDir::cleanPath(home.path()));
    QCOMPARE(places.at(1).Path, QStringLiteral("/"));
}

void TestDesktopPlaces::pathWithin_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("within");
    QTest::newRow("same") << "/music" << "/music" << true;
    QTest::newRow("below") << "/music/a/b" << "/music" << true;
    QTest::newRow("longer name") << "/music2/a" << "/music" << false;
    QTest::newRow("trailing slash") << "/music/a" << "/music/" << true;
    QTest::newRow("dot dot") << "/music/../music2" << "/music" << false;
    QTest::newRow("root holds all") << "/music" << "/" << true;
    QTest::newRow("above") << "/music" << "/music/a" << false;
    QTest::newRow("empty") << "" << "/music" << false;
}

void TestDesktopPlaces::pathWithin()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(bool, within);
    QCOMPARE(IsPathWithin(path, folder), within);
}

QTEST_GUILESS_MAIN(TestDesktopPlaces)
#include "tst_desktopplaces.moc"
