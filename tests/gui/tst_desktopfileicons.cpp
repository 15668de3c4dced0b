#include "gui/files/desktopfileicons.h"
#include "core/files/mp3folder.h"
#include "gui/shell/globaldata.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestDesktopFileIcons : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void foldersShareTheirIcons();
};

void TestDesktopFileIcons::foldersShareTheirIcons()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QDir(dir.path()).mkpath(QStringLiteral("a"));
    QDir(dir.path()).mkpath(QStringLiteral("b"));
    TdmGlobal global;
    const int smallBefore = global.ilSmall.Count();
    TDesktopFileIcons icons(global);

    TMP3Folder a;
    a.SetPath(dir.filePath(QStringLiteral("a")));
    a.SetIcons(icons);
    TMP3Folder b;
    b.SetPath(dir.filePath(QStringLiteral("b")));
    b.SetIcons(icons);

    QVERIFY(a.SmallIcon >= smallBefore);
    QVERIFY(a.LargeIcon >= 0);
    QCOMPARE(b.SmallIcon, a.SmallIcon);
    QCOMPARE(b.SmallOpenIcon, a.SmallOpenIcon);
    QCOMPARE(b.LargeIcon, a.LargeIcon);
    QVERIFY(!global.ilSmall.Icon(a.SmallIcon).isNull());
    QVERIFY(global.ilSmall.Count() <= smallBefore + 2);
}

QTEST_MAIN(TestDesktopFileIcons)
#include "tst_desktopfileicons.moc"
