#include "core/audio/id3v1tag.h"
#include "core/base/legacytext.h"
#include "core/base/windows1252.h"

#include "mp3builder.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray Audio = mp3::Frame().repeated(3);

} // namespace

class TestId3v1Tag : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }
    void cleanup() { SetLegacyTagEncoding(DefaultLegacyTagEncoding()); }

    void readsFields_data();
    void readsFields();
    void genre_data();
    void genre();
    void noTag_data();
    void noTag();
    void writeRoundTrip();
    void writeReplacesOldTag();
    void writeAppendsToShortFile();
    void trackNumbers_data();
    void trackNumbers();
    void textIsWindows1252();
    void legacyCodePages_data();
    void legacyCodePages();
    void longTextsAreCut();
    void multiByteTextIsCutBetweenCharacters();
    void removeTag();
    void failuresLeaveFileAsItWas();

private:
    QString path(const QString &name = QStringLiteral("t.mp3")) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestId3v1Tag::readsFields_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<int>("track");

    QTest::newRow("v1.1 track 7") << mp3::Id3v1{"Song", {}, {}, {}, "abc", 7, 0}.bytes() << "Song" << "abc" << 7;
    QTest::newRow("v1.1 track 65") << mp3::Id3v1{"Song", {}, {}, {}, "abc", 65, 0}.bytes() << "Song" << "abc"
                                   << 65;
    QTest::newRow("v1.0 full comment")
        << mp3::Id3v1{"Song", {}, {}, {}, "123456789012345678901234567   ", -1, 0}.bytes() << "Song"
        << "123456789012345678901234567" << 0;
    QTest::newRow("v1.0 30 characters")
        << mp3::Id3v1{"Song", {}, {}, {}, "123456789012345678901234567890", -1, 0}.bytes() << "Song"
        << "123456789012345678901234567890" << 0;
    QTest::newRow("text ends at first 0 byte")
        << mp3::Id3v1{QByteArray("Short\0eftover of a longer one", 30), {}, {}, {}, {}, -1, 0}.bytes() << "Short"
        << "" << 0;
    QTest::newRow("blanks and controls trimmed")
        << mp3::Id3v1{"  \t Padded title    ", {}, {}, {}, "\x01note\x1f", -1, 0}.bytes() << "Padded title"
        << "note" << 0;
    QTest::newRow("space padded v1.0") << mp3::Id3v1{QByteArray(30, ' '), {}, {}, {}, QByteArray(30, ' '), -1, 0}
                                              .bytes()
                                       << "" << "" << 0;
}

void TestId3v1Tag::readsFields()
{
    QFETCH(QByteArray, tag);
    QFETCH(QString, title);
    QFETCH(QString, comment);
    QFETCH(int, track);
    QVERIFY(testsupport::writeFile(path(), Audio + tag));
    TID3v1Tag v1;
    QVERIFY(v1.ReadFromFile(path()));
    QVERIFY(v1.Exists);
    QVERIFY(v1.Available());
    QCOMPARE(v1.TagSize, 128);
    QCOMPARE(v1.Title, title);
    QCOMPARE(v1.Comment, comment);
    QCOMPARE(v1.Track, track);
}

void TestId3v1Tag::genre_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("blues is a genre") << 0 << 0 << "Blues";
    QTest::newRow("rock") << 17 << 17 << "Rock";
    QTest::newRow("last") << 147 << 147 << "SynthPop";
    QTest::newRow("148 unknown") << 148 << 12 << "Other";
    QTest::newRow("255 unknown") << 255 << 12 << "Other";
}

void TestId3v1Tag::genre()
{
    QFETCH(int, byte);
    QFETCH(int, index);
    QFETCH(QString, name);
    QVERIFY(testsupport::writeFile(path(), Audio + mp3::Id3v1{"x", {}, {}, {}, {}, -1, byte}.bytes()));
    TID3v1Tag v1;
    QVERIFY(v1.ReadFromFile(path()));
    QCOMPARE(v1.GenreIndex, index);
    QCOMPARE(v1.GetGenre(), name);

    // Written back, the genre keeps its byte (unknown ones become Other).
    QVERIFY(v1.WriteToFile(path()));
    QCOMPARE(int(uchar(testsupport::readFile(path()).back())), index);

    TID3v1Tag set;
    set.SetGenre(name.toUpper());
    QCOMPARE(set.GenreIndex, index);
    set.SetGenre(QStringLiteral("Not a genre"));
    QCOMPARE(set.GenreIndex, 12);
    set.GenreIndex = -1;
    QCOMPARE(set.GetGenre(), QString());
}

void TestId3v1Tag::noTag_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("3 bytes") << QByteArray("TAG");
    QTest::newRow("only a tag, 128 bytes") << mp3::Id3v1{"x", {}, {}, {}, {}, -1, 1}.bytes();
    QTest::newRow("lower-case marker") << Audio + "tag" + QByteArray(125, 'a');
    QTest::newRow("no tag") << Audio;
    QTest::newRow("text") << QByteArray("not an mp3\n").repeated(40);
}

void TestId3v1Tag::noTag()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(testsupport::writeFile(path(), bytes));
    TID3v1Tag v1;
    v1.Title = QStringLiteral("stale");
    v1.Enabled = false;
    QVERIFY(!v1.ReadFromFile(path()));
    QVERIFY(!v1.Exists);
    QCOMPARE(v1.Title, QString());
    QCOMPARE(v1.TagSize, 0);
    QVERIFY(!v1.Enabled);   // reading never touches the switch

    QVERIFY(!v1.ReadFromFile(path(QStringLiteral("missing.mp3"))));
}

void TestId3v1Tag::writeRoundTrip()
{
    QVERIFY(testsupport::writeFile(path(), Audio));
    TID3v1Tag v1;
    v1.Title = QStringLiteral("Title");
    v1.Artist = QStringLiteral("Artist");
    v1.Album = QStringLiteral("Album");
    v1.Year = QStringLiteral("1999");
    v1.Comment = QStringLiteral("Comment");
    v1.Track = 12;
    v1.GenreIndex = 0;
    QVERIFY(v1.WriteToFile(path()));
    QVERIFY(v1.Exists);

    const QByteArray bytes = testsupport::readFile(path());
    QCOMPARE(bytes.size(), Audio.size() + 128);
    QCOMPARE(bytes.left(Audio.size()), Audio);
    QCOMPARE(bytes.mid(Audio.size()),
             (mp3::Id3v1{"Title", "Artist", "Album", "1999", "Comment", 12, 0}.bytes()));

    TID3v1Tag back;
    QVERIFY(back.ReadFromFile(path()));
    QCOMPARE(back.Title, v1.Title);
    QCOMPARE(back.Artist, v1.Artist);
    QCOMPARE(back.Album, v1.Album);
    QCOMPARE(back.Year, v1.Year);
    QCOMPARE(back.Comment, v1.Comment);
    QCOMPARE(back.Track, 12);
    QCOMPARE(back.GetGenre(), QStringLiteral("Blues"));
}

void TestId3v1Tag::writeReplacesOldTag()
{
    QVERIFY(testsupport::writeFile(path(), Audio + mp3::Id3v1{"Old", "Who", {}, {}, {}, 3, 5}.bytes()));
    TID3v1Tag v1;
    QVERIFY(v1.ReadFromFile(path()));
    v1.Title = QStringLiteral("New");
    QVERIFY(v1.WriteToFile(path()));
    const QByteArray bytes = testsupport::readFile(path());
    QCOMPARE(bytes.size(), Audio.size() + 128);
    QCOMPARE(bytes.mid(Audio.size()), (mp3::Id3v1{"New", "Who", {}, {}, {}, 3, 5}.bytes()));
}

void TestId3v1Tag::writeAppendsToShortFile()
{
    // 128 bytes that look like a tag are no tag (nothing before them):
    // writing appends rather than overwrite them.
    const QByteArray lone = mp3::Id3v1{"lone", {}, {}, {}, {}, -1, 1}.bytes();
    QVERIFY(testsupport::writeFile(path(), lone));
    TID3v1Tag v1;
    v1.Title = QStringLiteral("t");
    QVERIFY(v1.WriteToFile(path()));
    const QByteArray bytes = testsupport::readFile(path());
    QCOMPARE(bytes.size(), 256);
    QCOMPARE(bytes.left(128), lone);
}

void TestId3v1Tag::trackNumbers_data()
{
    QTest::addColumn<int>("track");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<int>("readTrack");
    QTest::addColumn<QString>("readComment");
    const QString comment30 = QStringLiteral("123456789012345678901234567890");
    QTest::newRow("none: 30-byte comment") << 0 << comment30 << 0 << comment30;
    QTest::newRow("1: 28-byte comment") << 1 << comment30 << 1 << comment30.left(28);
    QTest::newRow("255") << 255 << QStringLiteral("c") << 255 << QStringLiteral("c");
    QTest::newRow("300 does not fit: left out") << 300 << comment30 << 0 << comment30;
    QTest::newRow("negative") << -4 << QStringLiteral("c") << 0 << QStringLiteral("c");
}

void TestId3v1Tag::trackNumbers()
{
    QFETCH(int, track);
    QFETCH(QString, comment);
    QFETCH(int, readTrack);
    QFETCH(QString, readComment);
    QVERIFY(testsupport::writeFile(path(), Audio));
    TID3v1Tag v1;
    v1.Track = track;
    v1.Comment = comment;
    QVERIFY(v1.WriteToFile(path()));
    TID3v1Tag back;
    QVERIFY(back.ReadFromFile(path()));
    QCOMPARE(back.Track, readTrack);
    QCOMPARE(back.Comment, readComment);
}

void TestId3v1Tag::textIsWindows1252()
{
    // Bytes 0x80..0x9F are printable in Windows-1252 (euro sign, curly
    // quotes); Latin-1 letters keep their code.
    QVERIFY(testsupport::writeFile(
        path(), Audio + mp3::Id3v1{"\x80 \x93" "Caf\xe9\x94", "Bj\xf6rk", {}, {}, {}, -1, 0}.bytes()));
    TID3v1Tag v1;
    QVERIFY(v1.ReadFromFile(path()));
    QCOMPARE(v1.Title, QStringLiteral("€ “Café”"));
    QCOMPARE(v1.Artist, QStringLiteral("Björk"));

    // The en dash is in the code page, the rest not: no "?" in its place,
    // the album is left out (and said so), the other fields are written.
    v1.Album = QStringLiteral("日本 – ok 😀");
    v1.Comment = QStringLiteral("– ok?");
    QCOMPARE(v1.UnwritableFields(), QStringList{"album"});
    QVERIFY(v1.WriteToFile(path()));
    const QByteArray tag = testsupport::readFile(path()).right(128);
    QCOMPARE(tag.mid(3, 9), QByteArray("\x80 \x93" "Caf\xe9\x94\0\0", 9));
    QCOMPARE(tag.mid(63, 30), QByteArray(30, '\0'));
    QCOMPARE(tag.mid(97, 6), QByteArray("\x96 ok?\0", 6));

    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        QCOMPARE(encodeWindows1252(decodeWindows1252(byte)), byte);
    }
}

// Tags written in Japan, Russia, China, Korea or Greece read as their text
// in that code page, and are written in it.
void TestId3v1Tag::legacyCodePages_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("Shift_JIS") << "Shift_JIS" << QByteArray("\x93\xfa\x96{\x8c\xea\x82\xcc\x89\xcc")
                               << QStringLiteral("日本語の歌");
    QTest::newRow("windows-1251") << "windows-1251" << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2")
                                  << QStringLiteral("Привет");
    QTest::newRow("GBK") << "GBK" << QByteArray("\xd6\xd0\xce\xc4\xb8\xe8\xc7\xfa") << QStringLiteral("中文歌曲");
    QTest::newRow("EUC-KR") << "EUC-KR" << QByteArray("\xc7\xd1\xb1\xb9\xbe\xee") << QStringLiteral("한국어");
    QTest::newRow("ISO-8859-7") << "ISO-8859-7" << QByteArray("\xc5\xeb\xeb\xdc\xe4\xe1")
                                << QStringLiteral("Ελλάδα");
}

void TestId3v1Tag::legacyCodePages()
{
    QFETCH(QString, encoding);
    QFETCH(QByteArray, title);
    QFETCH(QString, text);
    QVERIFY(testsupport::writeFile(path(), Audio + mp3::Id3v1{title, "ABC", {}, {}, {}, 3, 0}.bytes()));
    QVERIFY(SetLegacyTagEncoding(encoding));
    TID3v1Tag v1;
    QVERIFY(v1.ReadFromFile(path()));
    QCOMPARE(v1.Title, text);
    QCOMPARE(v1.Artist, QStringLiteral("ABC"));

    v1.Album = text;
    QVERIFY(v1.UnwritableFields().isEmpty());
    QVERIFY(v1.WriteToFile(path()));
    const QByteArray tag = testsupport::readFile(path()).right(128);
    QCOMPARE(tag.mid(3, title.size()), title);
    QCOMPARE(tag.mid(63, title.size()), title);
}

void TestId3v1Tag::multiByteTextIsCutBetweenCharacters()
{
    QVERIFY(SetLegacyTagEncoding(QStringLiteral("Shift_JIS")));
    TID3v1Tag v1;
    v1.Title = QStringLiteral("a") + QStringLiteral("歌").repeated(20);  // 41 bytes
    v1.Year = QStringLiteral("二〇〇一");
    const QByteArray tag = v1.toBytes();
    // 1 + 14 × 2 bytes: the fifteenth character would be cut in half.
    QCOMPARE(tag.mid(3, 30), QByteArray("a") + QByteArray("\x89\xcc").repeated(14) + QByteArray(1, '\0'));
    QCOMPARE(tag.mid(93, 4), QByteArray("\x93\xf1\x81\x5a"));
}

void TestId3v1Tag::longTextsAreCut()
{
    QVERIFY(testsupport::writeFile(path(), Audio));
    TID3v1Tag v1;
    v1.Title = QStringLiteral("é").repeated(40);
    v1.Year = QStringLiteral("199x and more");
    QVERIFY(v1.WriteToFile(path()));
    TID3v1Tag back;
    QVERIFY(back.ReadFromFile(path()));
    QCOMPARE(back.Title, QStringLiteral("é").repeated(30));
    QCOMPARE(back.Year, QStringLiteral("199x"));
    QCOMPARE(testsupport::readFile(path()).size(), Audio.size() + 128);
}

void TestId3v1Tag::removeTag()
{
    QVERIFY(testsupport::writeFile(path(), Audio + mp3::Id3v1{"x", {}, {}, {}, {}, 1, 1}.bytes()));
    TID3v1Tag v1;
    QVERIFY(v1.ReadFromFile(path()));
    v1.Enabled = false;
    QVERIFY(v1.WriteToFile(path()));
    QVERIFY(!v1.Exists);
    QCOMPARE(v1.Title, QString());
    QVERIFY(!v1.Enabled);
    QCOMPARE(testsupport::readFile(path()), Audio);

    // Nothing to remove: the file stays as it is.
    QVERIFY(v1.WriteToFile(path()));
    QCOMPARE(testsupport::readFile(path()), Audio);
}

void TestId3v1Tag::failuresLeaveFileAsItWas()
{
    TID3v1Tag v1;
    v1.Title = QStringLiteral("x");
    // A missing file is not created.
    QVERIFY(!v1.WriteToFile(path(QStringLiteral("missing.mp3"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("missing.mp3"))));
    QVERIFY(!v1.Exists);
    QVERIFY(!v1.WriteToFile(m_dir.path()));   // a folder
    QVERIFY(!v1.Exists);

    const QByteArray original = Audio + mp3::Id3v1{"keep", {}, {}, {}, {}, 1, 1}.bytes();
    QVERIFY(testsupport::writeFile(path(), original));
    QFile::setPermissions(path(), QFile::ReadOwner);
    if (QFile(path()).open(QIODevice::ReadWrite))
        QSKIP("running with rights that ignore read-only files");
    QVERIFY(!v1.WriteToFile(path()));
    v1.Enabled = false;
    QVERIFY(!v1.WriteToFile(path()));
    QCOMPARE(v1.Title, QStringLiteral("x"));   // fields kept on failure
    QCOMPARE(testsupport::readFile(path()), original);
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
}

QTEST_APPLESS_MAIN(TestId3v1Tag)
#include "tst_id3v1tag.moc"
