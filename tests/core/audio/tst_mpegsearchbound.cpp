// The search for the first frame stops after a bound no real file needs:
// a large file of zeros (or of anything but MPEG audio) is given up early
// instead of being read to its end.

#include "core/audio/mpeginfo.h"

#include "mp3builder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_MpegSearchBound : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void frameAfterJunk_data()
    {
        QTest::addColumn<qint64>("junk");
        QTest::addColumn<bool>("found");
        QTest::newRow("a few bytes") << qint64(7) << true;
        QTest::newRow("1 MiB") << qint64(1) * 1024 * 1024 << true;
        QTest::newRow("just inside 32 MiB") << qint64(32) * 1024 * 1024 - 4096 << true;
        QTest::newRow("past 32 MiB") << qint64(33) * 1024 * 1024 << false;
    }
    void frameAfterJunk()
    {
        QFETCH(qint64, junk);
        QFETCH(bool, found);
        const QString path = m_dir.filePath(QStringLiteral("junk.mp3"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        // Zeros by a sparse hole: no disk space, no time to write.
        QVERIFY(file.resize(junk));
        QVERIFY(file.seek(junk));
        const QByteArray frames = mp3::Frame().stream(10);
        QCOMPARE(file.write(frames), frames.size());
        file.close();

        TMpegInfo info;
        info.ReadFromFile(path, junk + frames.size());
        QCOMPARE(info.HeaderPosition, found ? junk : qint64(0));
        QCOMPARE(info.Bitrate, found ? 128 : 0);
    }
};

QTEST_MAIN(tst_MpegSearchBound)
#include "tst_mpegsearchbound.moc"
