#include "core/audio/filenameinfo.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <vector>

class TestFilenameInfo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
    void bestFormatPicksFirstHighest();
    void bestFormatWithoutWinnerKeepsLastTried();
    void bestFormatOnEmptyListChangesNothing();
    void lockedKeepsFormatAndScore();
    void clearKeepsFormatAndSwitches();
    void displayText_data();
    void displayText();
    void buildFileName_data();
    void buildFileName();
    void longNamesAreShortened_data();
    void longNamesAreShortened();
    void editDistance_data();
    void editDistance();
    void editDistanceAgreesWithTheFullMatrix();
};

void TestFilenameInfo::parse_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("album");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("track");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("genre");

    const QString glass = QStringLiteral("/Music/Glass Kite - Tides.mp3");
    QTest::newRow("artist - title") << glass << "%ar - %t" << 10 << "Glass Kite" << "" << "Tides" << 0 << ""
                                    << "";
    QTest::newRow("folder artist") << glass << "%ar\\%t" << 2 << "Music" << "" << "Glass Kite - Tides" << 0
                                   << "" << "";
    QTest::newRow("index is no number") << glass << "%al\\%ix - %t" << -15 << "" << "Music" << "Tides" << 0
                                        << "" << "";
    QTest::newRow("index and title") << "/x/07 - Intro.mp3" << "%ix - %t" << 12 << "" << "" << "Intro" << 7
                                     << "" << "";
    QTest::newRow("separator missing") << "/x/Intro.mp3" << "%ix - %t" << -20 << "" << "" << "" << 0 << ""
                                       << "";
    QTest::newRow("format with extension") << glass << "%ar - %t.mp3" << 10 << "Glass Kite" << "" << "Tides"
                                           << 0 << "" << "";
    QTest::newRow("upper-case extension in format is literal")
        << "/Music/Glass Kite - Tides.MP3.mp3" << "%ar - %t.MP3" << 10 << "Glass Kite" << "" << "Tides" << 0
        << "" << "";
    QTest::newRow("separators ignore case") << "/m/ZEPHYR - RAIN.MP3" << "%ar - %t" << 10 << "ZEPHYR" << ""
                                            << "RAIN" << 0 << "" << "";
    QTest::newRow("file in the root folder")
        << "/Song.mp3" << "%ar\\%al\\%t" << 3 << "" << "" << "Song" << 0 << "" << "";
    QTest::newRow("all placeholders")
        << "/Rock/Ann/1999/Best Of/03 - Hello (live).mp3" << "%g\\%ar\\%y\\%al\\%ix - %t (%ig)" << 63 << "Ann"
        << "Best Of" << "Hello" << 3 << "1999" << "Rock";
    QTest::newRow("values are trimmed") << "/m/  Ann  -\tSong .mp3" << "%ar-%t" << 6 << "Ann" << "" << "Song"
                                        << 0 << "" << "";
    QTest::newRow("repeated code is literal")
        << "/m/Ann - Song - %t.mp3" << "%ar - %t - %t" << 10 << "Ann" << "" << "Song" << 0 << "" << "";
    QTest::newRow("value needs one character") << "/m/ - Song.mp3" << "%ar - %t" << 0 << "- Song.mp3" << "" << ""
                                               << 0 << "" << "";
    QTest::newRow("leftover placeholders stay empty")
        << "/m/Ann.mp3" << "%ar - %al - %t" << 0 << "Ann.mp3" << "" << "" << 0 << "" << "";
    QTest::newRow("non-ASCII letters") << "/m/Ölga - Über.mp3" << "%ar - %t" << 10 << "Ölga" << "" << "Über"
                                       << 0 << "" << "";
}

void TestFilenameInfo::parse()
{
    QFETCH(QString, path);
    QFETCH(QString, format);
    QFETCH(int, score);
    QFETCH(QString, artist);
    QFETCH(QString, album);
    QFETCH(QString, title);
    QFETCH(int, track);
    QFETCH(QString, year);
    QFETCH(QString, genre);
    TFilenameInfo info;
    QCOMPARE(info.ParseWithFormat(path, format), score);
    QCOMPARE(info.Score, score);
    QCOMPARE(info.ParseFormat, format);
    QVERIFY(info.Parsed);
    QCOMPARE(info.Artist, artist);
    QCOMPARE(info.Album, album);
    QCOMPARE(info.Title, title);
    QCOMPARE(info.Track, track);
    QCOMPARE(info.Year, year);
    QCOMPARE(info.Genre, genre);
}

void TestFilenameInfo::bestFormatPicksFirstHighest()
{
    const QString path = QStringLiteral("/Music/Glass Kite - Tides.mp3");
    TFilenameInfo info;
    info.ParseBestFormat(path, {QStringLiteral("%ar\\%t"), QStringLiteral("%ar - %t"),
                                QStringLiteral("%al\\%ix - %t")});
    QCOMPARE(info.ParseFormat, QStringLiteral("%ar - %t"));
    QCOMPARE(info.Score, 10);
    QCOMPARE(info.Artist, QStringLiteral("Glass Kite"));

    // "%t - %ar" scores as "%ar - %t" does here: the earlier one wins.
    info.ParseBestFormat(path, {QStringLiteral("%t - %ar"), QStringLiteral("%ar - %t")});
    QCOMPARE(info.ParseFormat, QStringLiteral("%t - %ar"));
    QCOMPARE(info.Title, QStringLiteral("Glass Kite"));
}

void TestFilenameInfo::bestFormatWithoutWinnerKeepsLastTried()
{
    TFilenameInfo info;
    info.ParseBestFormat(QStringLiteral("/x/Intro.mp3"),
                         {QStringLiteral("%ix - %t"), QStringLiteral("%ix_%ar")});
    QCOMPARE(info.ParseFormat, QStringLiteral("%ix_%ar"));
    QCOMPARE(info.Score, -20);
    QVERIFY(info.Parsed);
}

void TestFilenameInfo::bestFormatOnEmptyListChangesNothing()
{
    TFilenameInfo info;
    info.Artist = QStringLiteral("kept");
    info.ParseBestFormat(QStringLiteral("/a/b.mp3"), {});
    QCOMPARE(info.Artist, QStringLiteral("kept"));
    QVERIFY(!info.Parsed);
}

void TestFilenameInfo::lockedKeepsFormatAndScore()
{
    const QString path = QStringLiteral("/Music/Glass Kite - Tides.mp3");
    TFilenameInfo info;
    info.ParseWithFormat(path, QStringLiteral("%ar\\%t"));
    info.Lock();
    info.ParseBestFormat(path, {QStringLiteral("%ar - %t")});
    QCOMPARE(info.ParseFormat, QStringLiteral("%ar\\%t"));
    QCOMPARE(info.Artist, QStringLiteral("Music"));

    // Values follow the format given; format and score stay.
    QCOMPARE(info.ParseWithFormat(path, QStringLiteral("%ar - %t")), 2);
    QCOMPARE(info.Artist, QStringLiteral("Glass Kite"));
    QCOMPARE(info.ParseFormat, QStringLiteral("%ar\\%t"));

    info.Unlock();
    QCOMPARE(info.ParseWithFormat(path, QStringLiteral("%ar - %t")), 10);
}

void TestFilenameInfo::clearKeepsFormatAndSwitches()
{
    TFilenameInfo info;
    info.Enabled = true;
    info.RenameFormat = QStringLiteral("%t");
    info.ParseWithFormat(QStringLiteral("/x/07 - Intro.mp3"), QStringLiteral("%ix - %t"));
    info.Lock();
    info.Clear();
    QVERIFY(!info.Parsed);
    QCOMPARE(info.Track, 0);
    QVERIFY(info.Title.isEmpty());
    QCOMPARE(info.Score, 12);
    QCOMPARE(info.ParseFormat, QStringLiteral("%ix - %t"));
    QVERIFY(info.Locked && info.Enabled);
    QCOMPARE(info.RenameFormat, QStringLiteral("%t"));
    QVERIFY(!info.Available());
}

void TestFilenameInfo::displayText_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("display");
    QTest::newRow("simple") << "%ar - %t" << "Artist - Title";
    QTest::newRow("all, any case") << "%AL\\%Ar\\%ix %T %y %g %ig %ar"
                                   << "Album\\Artist\\Track Index Title Year Genre [Ignore] Artist";
    QTest::newRow("no placeholders") << "100% plain" << "100% plain";
}

void TestFilenameInfo::displayText()
{
    QFETCH(QString, format);
    QFETCH(QString, display);
    QCOMPARE(FormatDisplayText(format), display);
}

void TestFilenameInfo::buildFileName_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("album");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("track");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("genre");
    QTest::addColumn<QString>("name");

    QTest::newRow("missing track, unsafe characters")
        << "%ix - %ar - %t" << "" << "AC/DC" << "T.N.T." << 0 << "" << "" << "[Track Index] - AC_DC - T.N.T..mp3";
    QTest::newRow("all values") << "%ar - %al (%y) %ix %t [%g]" << "Alb" << "Art" << "Tit" << 5 << "1999" << "Pop"
                                << "Art - Alb (1999) 05 Tit [Pop].mp3";
    QTest::newRow("all missing") << "%al %ar %t %y %g" << "" << "" << "" << 0 << "" << ""
                                 << "[Album] [Artist] [Title] [Year] [Genre].mp3";
    QTest::newRow("codes ignore case") << "%AR - %T" << "" << "a" << "b" << 0 << "" << "" << "a - b.mp3";
    QTest::newRow("ignore code stays") << "%ig %t" << "" << "" << "x" << 0 << "" << "" << "%ig x.mp3";
    QTest::newRow("three-digit track") << "%ix" << "" << "" << "" << 123 << "" << "" << "123.mp3";
    QTest::newRow("value holding a code is not filled in again")
        << "%al - %t" << "100%true" << "" << "Song %ar" << 0 << "" << "" << "100%true - Song %ar.mp3";
    QTest::newRow("value holding the genre code")
        << "%ar%g" << "" << "%g" << "" << 0 << "" << "Pop" << "%gPop.mp3";
}

void TestFilenameInfo::buildFileName()
{
    QFETCH(QString, format);
    QFETCH(QString, album);
    QFETCH(QString, artist);
    QFETCH(QString, title);
    QFETCH(int, track);
    QFETCH(QString, year);
    QFETCH(QString, genre);
    QFETCH(QString, name);
    QCOMPARE(BuildFileName(format, album, artist, title, track, year, genre), name);
}

void TestFilenameInfo::longNamesAreShortened_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expectedStem");
    QTest::newRow("ASCII") << QString(300, QLatin1Char('a')) << QString(251, QLatin1Char('a'));
    // "é" is two bytes: 125 of them fill 250 bytes; the 126th would not fit.
    QTest::newRow("two-byte letters") << QString(200, QChar(0xE9)) << QString(125, QChar(0xE9));
    // A letter with a combining accent (1 + 2 bytes) is never split.
    QTest::newRow("combining accents") << QStringLiteral("e\u0301").repeated(100)
                                       << QStringLiteral("e\u0301").repeated(83);
    // A character outside the BMP is a surrogate pair of four UTF-8 bytes.
    QTest::newRow("surrogate pairs") << QStringLiteral("\U0001F3B5").repeated(100)
                                     << QStringLiteral("\U0001F3B5").repeated(62);
    QTest::newRow("short enough") << QStringLiteral("Song") << QStringLiteral("Song");
}

void TestFilenameInfo::longNamesAreShortened()
{
    QFETCH(QString, title);
    const QString name = BuildFileName(QStringLiteral("%t"), {}, {}, title, 0, {}, {});
    QVERIFY(name.endsWith(QLatin1String(".mp3")));
    QVERIFY(name.toUtf8().size() <= MaxFileNameBytes);
    QFETCH(QString, expectedStem);
    QCOMPARE(name.chopped(4), expectedStem);
}

void TestFilenameInfo::editDistance_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("distance");
    QTest::newRow("kitten") << "kitten" << "sitting" << 3;
    QTest::newRow("empty") << "" << "abc" << 3;
    QTest::newRow("empty other way") << "abcd" << "" << 4;
    QTest::newRow("case counts") << "Abc" << "abc" << 1;
    QTest::newRow("equal") << "same" << "same" << 0;
    QTest::newRow("long strings") << QString(300, QLatin1Char('x')) << QString(290, QLatin1Char('x')) + "yy" << 10;
    QTest::newRow("long and different") << QString(400, QLatin1Char('a')) << QString(400, QLatin1Char('b')) << 400;
}

void TestFilenameInfo::editDistance()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, distance);
    QCOMPARE(EditDistance(a, b), distance);
}

namespace {

// The textbook distance matrix, row by row.
int matrixDistance(const QString &a, const QString &b)
{
    std::vector<int> previous(size_t(b.size()) + 1);
    for (size_t j = 0; j < previous.size(); ++j)
        previous[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        std::vector<int> current(previous.size());
        current[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j)
            current[size_t(j)] = std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1,
                                           previous[size_t(j - 1)] + (a.at(i - 1) == b.at(j - 1) ? 0 : 1)});
        previous = current;
    }
    return previous.back();
}

// Mostly alike texts from a small alphabet (with characters past Latin-1),
// around the 64-character word boundaries of the bit-vector rows.
QString randomText(QRandomGenerator &random, const QString &base)
{
    static const QString alphabet = QStringLiteral("ab/ -.\u00e9\u20ac\U0001F3B5");
    QString text = base;
    const int edits = random.bounded(0, 12);
    for (int e = 0; e < edits; ++e) {
        const qsizetype at = random.bounded(int(text.size()) + 1);
        const QChar c = alphabet.at(random.bounded(int(alphabet.size())));
        switch (random.bounded(3)) {
        case 0: text.insert(at, c); break;
        case 1: if (at < text.size()) text.remove(at, 1); break;
        default: if (at < text.size()) text[at] = c; break;
        }
    }
    return text;
}

} // namespace

void TestFilenameInfo::editDistanceAgreesWithTheFullMatrix()
{
    QRandomGenerator random(29);
    for (int round = 0; round < 400; ++round) {
        QString base;
        const int length = random.bounded(0, 200);
        for (int i = 0; i < length; ++i)
            base += QChar(char16_t(u'a' + random.bounded(4)));
        const QString a = randomText(random, base);
        const QString b = round % 5 == 0 ? randomText(random, QString()) + base : randomText(random, base);
        QCOMPARE(EditDistance(a, b), matrixDistance(a, b));
    }
}

QTEST_APPLESS_MAIN(TestFilenameInfo)
#include "tst_filenameinfo.moc"
