#include "fakesettingsstore.h"
#include "core/settings/formplacement.h"

#include <QtTest>

class TestFormPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recordRoundTripsThroughTheStore();
    void recordLayoutIsLittleEndianEleven();
    void damagedRecordsAreRejected_data();
    void damagedRecordsAreRejected();
    void usableRecords_data();
    void usableRecords();
    void centerOnOwner_data();
    void centerOnOwner();
    void centerOnScreenTruncates();
};

void TestFormPlacement::recordRoundTripsThroughTheStore()
{
    FakeSettingsStore store;
    TPlacementRecord r;
    r.ShowCmd = TPlacementRecord::ShowMaximized;
    r.SetNormalRect(QRect(-20, 30, 640, 480));
    placement::Write(store, QStringLiteral("fmMain"), r);
    QVERIFY(store.ValueExists(QStringLiteral("windowplacement"), QStringLiteral("FMMAIN")));
    const auto back = placement::Read(store, QStringLiteral("fmMain"));
    QVERIFY(back.has_value());
    QCOMPARE(*back, r);
    QCOMPARE(back->NormalRect(), QRect(-20, 30, 640, 480));
    QVERIFY(!placement::Read(store, QStringLiteral("fmOther")).has_value());
}

void TestFormPlacement::recordLayoutIsLittleEndianEleven()
{
    TPlacementRecord r;
    r.Left = 1;
    r.Top = 2;
    r.Right = 0x01020304;
    r.Bottom = -1;
    const QByteArray b = r.ToBytes();
    QCOMPARE(b.size(), 44);
    QCOMPARE(b.left(4), QByteArray::fromHex("2c000000"));
    QCOMPARE(b.mid(28, 4), QByteArray::fromHex("01000000"));
    QCOMPARE(b.mid(36, 4), QByteArray::fromHex("04030201"));
    QCOMPARE(b.mid(40, 4), QByteArray::fromHex("ffffffff"));
}

void TestFormPlacement::damagedRecordsAreRejected_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty") << QString();
    QTest::newRow("short") << QStringLiteral("2c000000");
    QTest::newRow("not hex") << QStringLiteral("garbage");
    QString wrongLength = QString::fromLatin1(TPlacementRecord().ToBytes().toHex());
    wrongLength.replace(0, 2, QStringLiteral("2b"));
    QTest::newRow("length field") << wrongLength;
}

void TestFormPlacement::damagedRecordsAreRejected()
{
    QFETCH(QString, stored);
    FakeSettingsStore store;
    store.WriteString(QStringLiteral("WindowPlacement"), QStringLiteral("fmMain"), stored);
    QVERIFY(!placement::Read(store, QStringLiteral("fmMain")).has_value());
}

void TestFormPlacement::usableRecords_data()
{
    QTest::addColumn<QRect>("normal");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<bool>("usable");
    // Two monitors side by side: 0..1919 and 1920..3199.
    QTest::newRow("inside first") << QRect(100, 100, 800, 600) << false << true;
    QTest::newRow("spanning both") << QRect(1500, 100, 800, 600) << false << true;
    QTest::newRow("detached third monitor") << QRect(3400, 100, 800, 600) << false << false;
    QTest::newRow("maximized off screen") << QRect(3400, 100, 800, 600) << true << true;
    QTest::newRow("right edge touches end") << QRect(2400, 100, 800, 600) << false << false;
    QTest::newRow("right edge just inside") << QRect(2399, 100, 800, 600) << false << true;
    QTest::newRow("bottom below second") << QRect(2000, 500, 400, 600) << false << false;
    QTest::newRow("negative left") << QRect(-10, 0, 100, 100) << false << false;
}

void TestFormPlacement::usableRecords()
{
    QFETCH(QRect, normal);
    QFETCH(bool, maximized);
    QFETCH(bool, usable);
    const QList<QRect> monitors{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    TPlacementRecord r;
    r.SetNormalRect(normal);
    r.ShowCmd = maximized ? TPlacementRecord::ShowMaximized : TPlacementRecord::ShowNormal;
    QCOMPARE(placement::IsUsable(r, monitors), usable);
}

void TestFormPlacement::centerOnOwner_data()
{
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("centred") << QRect(100, 100, 800, 600) << QSize(400, 300) << QPoint(300, 250);
    QTest::newRow("owner at left edge") << QRect(0, 0, 200, 200) << QSize(400, 300) << QPoint(0, 0);
    QTest::newRow("owner off the left") << QRect(-300, 10, 200, 600) << QSize(400, 300) << QPoint(0, 160);
    QTest::newRow("owner at right edge") << QRect(1200, 700, 200, 200) << QSize(400, 300) << QPoint(880, 500);
    QTest::newRow("odd difference truncates") << QRect(0, 0, 401, 301) << QSize(100, 100) << QPoint(150, 100);
    QTest::newRow("window larger than screen") << QRect(0, 0, 100, 100) << QSize(2000, 1000) << QPoint(0, 0);
}

void TestFormPlacement::centerOnOwner()
{
    QFETCH(QRect, owner);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    QCOMPARE(placement::CenterOnOwner(owner, window, QRect(0, 0, 1280, 800)), expected);
}

void TestFormPlacement::centerOnScreenTruncates()
{
    QCOMPARE(placement::CenterOnScreen(QSize(401, 301), QRect(0, 0, 1280, 800)), QPoint(439, 249));
    QCOMPARE(placement::CenterOnScreen(QSize(400, 300), QRect(1920, 0, 1280, 1024)), QPoint(2360, 362));
}

QTEST_APPLESS_MAIN(TestFormPlacement)
#include "tst_formplacement.moc"
