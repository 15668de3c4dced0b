#include "core/files/filematch.h"

#include <QtTest>

class TestFileMatch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scores_data()
    {
        QTest::addColumn<QString>("trackPath");
        QTest::addColumn<qint64>("trackSize");
        QTest::addColumn<QString>("foundPath");
        QTest::addColumn<qint64>("foundSize");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("score");

        const QString track = QStringLiteral("/music/Lanterns/Song.mp3");
        const int exact = int(TMatchingType::Exact);
        const int fuzzy = int(TMatchingType::Fuzzy);
        QTest::newRow("exact: same name, same size") << track << qint64(1000000)
                                                     << QStringLiteral("/new/place/Song.mp3") << qint64(1000000) << exact << 100;
        QTest::newRow("exact: same name, 0.005 % larger") << track << qint64(1000000)
                                                          << QStringLiteral("/new/Song.mp3") << qint64(1000050) << exact << 75;
        QTest::newRow("exact: other name, same size") << track << qint64(1000000)
                                                      << QStringLiteral("/new/Other.mp3") << qint64(1000000) << exact << 50;
        QTest::newRow("exact: same name, 0.01 % larger") << track << qint64(1000000)
                                                         << QStringLiteral("/new/Song.mp3") << qint64(1000100) << exact << 50;
        QTest::newRow("exact: same name, 0.01 % smaller") << track << qint64(1000000)
                                                          << QStringLiteral("/new/Song.mp3") << qint64(999900) << exact << 50;
        QTest::newRow("exact: one millionth costs nothing") << track << qint64(1000000)
                                                            << QStringLiteral("/new/Song.mp3") << qint64(1000001) << exact << 100;
        QTest::newRow("exact: 1.5 points round to even") << track << qint64(1000000)
                                                         << QStringLiteral("/new/Song.mp3") << qint64(1000003) << exact << 98;
        QTest::newRow("exact: name case counts") << track << qint64(1000000)
                                                 << QStringLiteral("/new/song.mp3") << qint64(1000000) << exact << 50;
        QTest::newRow("exact: track without size") << track << qint64(0)
                                                   << QStringLiteral("/new/Song.mp3") << qint64(1000000) << exact << 50;
        QTest::newRow("exact: 5 GB file against a small track") << track << qint64(1000)
                                                                << QStringLiteral("/new/Song.mp3") << qint64(5'000'000'000) << exact << 50;
        QTest::newRow("fuzzy: same name, same size") << track << qint64(1000000)
                                                     << QStringLiteral("/elsewhere/Song.mp3") << qint64(1000000) << fuzzy << 100;
        QTest::newRow("fuzzy: distance 10, same size") << track << qint64(1000000)
                                                       << QStringLiteral("/music/Lanterns/Song.mp30123456789") << qint64(1000000)
                                                       << fuzzy << 80;
        QTest::newRow("fuzzy: sizes 0.01 % apart") << track << qint64(1000000)
                                                   << QStringLiteral("/elsewhere/Song.mp3") << qint64(1000100) << fuzzy << 0;
        QTest::newRow("fuzzy: track without size") << track << qint64(0)
                                                   << QStringLiteral("/elsewhere/Song.mp3") << qint64(0) << fuzzy << 0;
        QTest::newRow("fuzzy: far apart paths") << track << qint64(1000000)
                                                << QStringLiteral("/") + QString(80, QLatin1Char('z')) + QStringLiteral(".mp3")
                                                << qint64(1000000) << fuzzy << 0;
    }

    void scores()
    {
        QFETCH(QString, trackPath);
        QFETCH(qint64, trackSize);
        QFETCH(QString, foundPath);
        QFETCH(qint64, foundSize);
        QFETCH(int, type);
        QFETCH(int, score);
        QCOMPARE(MatchScore(trackPath, trackSize, {foundPath, foundSize}, TMatchingType(type)), score);
    }

    // Paths of 256 characters or more are compared like any others: the
    // score stays within 0..100 and still tells near from far.
    void longPathsNeverScoreAbove100()
    {
        const QString folder = QStringLiteral("/music/") + QString(300, QLatin1Char('a'));
        const QString track = folder + QStringLiteral("/Song.mp3");
        const TFoundFile near{folder + QStringLiteral("/Song!mp3"), 4000};
        const TFoundFile far{QStringLiteral("/x/") + QString(400, QLatin1Char('b')), 4000};
        QCOMPARE(MatchNameScore(track, near.Path, TMatchingType::Fuzzy), 49);
        QCOMPARE(MatchScore(track, 4000, near, TMatchingType::Fuzzy), 98);
        QCOMPARE(MatchNameScore(track, far.Path, TMatchingType::Fuzzy), 0);
        QCOMPARE(MatchScore(track, 4000, far, TMatchingType::Fuzzy), 0);
        QCOMPARE(MatchScore(track, 4000, {track, 4000}, TMatchingType::Fuzzy), 100);
    }
};

QTEST_APPLESS_MAIN(TestFileMatch)
#include "tst_filematch.moc"
