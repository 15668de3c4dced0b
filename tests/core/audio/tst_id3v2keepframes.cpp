// Writing an ID3v2 tag never loses what the reader did not understand, and
// never leaves behind a frame that other readers would show instead of the
// value written: frames after one the walk cannot pass, a second comment in
// another language, a compressed comment, the day of an old year.

#include "core/audio/id3v2tag.h"

#include "id3v2builder.h"
#include "scratchfolder.h"
#include "testsupport.h"

#include <QTest>

using testsupport::readFile;

namespace {

const QByteArray Audio = fakeAudio(3000);
const QByteArray Picture = bytes("\x00image/png\x00\x03\x00") + fakeAudio(200, 7);

QByteArray commentData(const QByteArray &language, const QByteArray &text)
{
    return QByteArray(1, '\0') + language + QByteArray(1, '\0') + text;
}

int countOf(const StoredTagView &view, const QByteArray &id)
{
    return int(view.ids().count(id));
}

} // namespace

class tst_ID3v2KeepFrames : public QObject {
    Q_OBJECT

    ScratchFolder m_dir;

private Q_SLOTS:
    // A frame the walk cannot pass, then a picture: both are written back
    // byte for byte after the frames, whether the new values fit in place
    // or the file is rewritten.
    void framesAfterABadFrameAreKept_data()
    {
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<QString>("title");
        const QByteArray body = bytes("\x00" "abcd");
        const QByteArray size = Id3v2Builder::bigEndian(quint32(body.size()));
        const QByteArray flags(2, '\0');
        const QString shortTitle = QStringLiteral("new");
        const QString longTitle(2000, u'n');
        for (const QString &title : {shortTitle, longTitle}) {
            const char *how = title == shortTitle ? "in place" : "rewrite";
            QTest::newRow(qPrintable(QStringLiteral("lower-case id, %1").arg(QLatin1String(how))))
                << QByteArray("tit2" + size + flags + body) << title;
            QTest::newRow(qPrintable(QStringLiteral("id with a blank, %1").arg(QLatin1String(how))))
                << QByteArray("TXX " + size + flags + body) << title;
            QTest::newRow(qPrintable(QStringLiteral("v2.2 id, %1").arg(QLatin1String(how))))
                << QByteArray("TT2" + Id3v2Builder::bigEndian(quint32(body.size())).mid(1) + body) << title;
            QTest::newRow(qPrintable(QStringLiteral("size beyond the tag, %1").arg(QLatin1String(how))))
                << QByteArray("TALB" + Id3v2Builder::bigEndian(1000000) + flags + body) << title;
        }
    }
    void framesAfterABadFrameAreKept()
    {
        QFETCH(QByteArray, bad);
        QFETCH(QString, title);
        const QByteArray picture = QByteArray("APIC") + Id3v2Builder::bigEndian(quint32(Picture.size()))
            + QByteArray(2, '\0') + Picture;
        const QByteArray tag = Id3v2Builder(3).text("TPE1", QStringLiteral("Artist")).raw(bad + picture)
                                   .padding(300).build();
        const QString path = m_dir.newFile(tag + Audio);
        TID3v2Tag t;
        QVERIFY(t.ReadFromFile(path));
        QCOMPARE(t.Artist, QStringLiteral("Artist"));
        t.Title = title;
        QVERIFY2(t.WriteToFile(path), qPrintable(t.errorString()));

        const QByteArray written = readFile(path);
        QVERIFY(written.endsWith(Audio));
        const qsizetype kept = written.indexOf(bad + picture);
        QVERIFY2(kept > 0, "the frames after the bad one were dropped");
        TID3v2Tag reread;
        QVERIFY(reread.ReadFromFile(path));
        QCOMPARE(reread.Title, title);
        QCOMPARE(reread.Artist, QStringLiteral("Artist"));
        QVERIFY(written.indexOf("TIT2") < kept);  // the new frame comes before what was kept

        // Writing again keeps them once, not twice.
        reread.Album = QStringLiteral("Album");
        QVERIFY(reread.WriteToFile(path));
        const QByteArray again = readFile(path);
        QCOMPARE(again.count(bad + picture), 1);
    }

    // A v2.2 tag becomes v2.3 when written: its unreadable v2.2 bytes could
    // not go along, so the write is refused and the file stays as it is.
    void unreadableV22TagIsNotWritten()
    {
        const QByteArray tag = Id3v2Builder(2).text("TT2", QStringLiteral("Old"))
                                   .raw(bytes("tt2\x00\x00\x03\x00ab") + QByteArray("PIC") + bytes("\x00\x00\x05") + "12345")
                                   .build();
        const QString path = m_dir.newFile(tag + Audio);
        TID3v2Tag t;
        QVERIFY(t.ReadFromFile(path));
        t.Title = QStringLiteral("New");
        QVERIFY(!t.WriteToFile(path));
        QVERIFY(t.errorString().contains(QLatin1String("cannot be read")));
        QCOMPARE(readFile(path), tag + Audio);
    }

    // Clearing a field removes every frame a reader would show for it.
    void clearingRemovesEveryFrameShown_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<QByteArray>("id");
        QTest::newRow("comments in two languages")
            << Id3v2Builder(3).frame("COMM", commentData("eng", "first")).frame("COMM", commentData("deu", "german"))
                   .frame("COMM", bytes("\x00" "engMusicMatch_Mood\x00" "calm")).build()
            << QByteArray("COMM");
        QTest::newRow("two titles")
            << Id3v2Builder(3).text("TIT2", QStringLiteral("first")).text("TIT2", QStringLiteral("second")).build()
            << QByteArray("TIT2");
        QTest::newRow("two artist addresses")
            << Id3v2Builder(3).frame("WOAR", "http://a.example/").frame("WOAR", "http://b.example/").build()
            << QByteArray("WOAR");
    }
    void clearingRemovesEveryFrameShown()
    {
        QFETCH(QByteArray, tag);
        QFETCH(QByteArray, id);
        const QString path = m_dir.newFile(tag + Audio);
        TID3v2Tag t;
        QVERIFY(t.ReadFromFile(path));
        t.Comment.clear();
        t.Title.clear();
        t.ArtistURL.clear();
        QVERIFY2(t.WriteToFile(path), qPrintable(t.errorString()));
        TID3v2Tag reread;
        reread.ReadFromFile(path);  // no tag at all is fine: nothing is left to show
        QCOMPARE(reread.Comment, QString());
        QCOMPARE(reread.Title, QString());
        QCOMPARE(reread.ArtistURL, QString());
        const StoredTagView view = viewTag(readFile(path));
        // Only a comment with another description stays.
        QCOMPARE(countOf(view, id), id == "COMM" ? 1 : 0);
        if (id == "COMM")
            QCOMPARE(reread.Mood, QStringLiteral("calm"));
    }

    // A compressed comment is read, and replaced rather than joined by a
    // second one that other readers would not show.
    void compressedCommentIsReplaced_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("v2.3") << 3;
        QTest::newRow("v2.4") << 4;
    }
    void compressedCommentIsReplaced()
    {
        QFETCH(int, version);
        const QByteArray plain = commentData("eng", "old words, old words, old words");
        // qCompress gives the v2.3 layout: the size (big-endian), then zlib.
        const QByteArray zipped = qCompress(plain);
        const QByteArray data = version == 3 ? zipped : Id3v2Builder::syncSafe(quint32(plain.size())) + zipped.mid(4);
        const quint8 flags = version == 3 ? 0x80 : (0x08 | 0x01);
        const QByteArray tag = Id3v2Builder(version).text("TIT2", QStringLiteral("Title")).frame("COMM", data, 0, flags)
                                   .build();
        const QString path = m_dir.newFile(tag + Audio);
        TID3v2Tag t;
        QVERIFY(t.ReadFromFile(path));
        QCOMPARE(t.Comment, QStringLiteral("old words, old words, old words"));
        t.Comment = QStringLiteral("new");
        QVERIFY2(t.WriteToFile(path), qPrintable(t.errorString()));
        const StoredTagView view = viewTag(readFile(path));
        QCOMPARE(countOf(view, "COMM"), 1);
        QCOMPARE(view.find("COMM")->formatFlags, quint8(0));
        TID3v2Tag reread;
        QVERIFY(reread.ReadFromFile(path));
        QCOMPARE(reread.Comment, QStringLiteral("new"));
        QCOMPARE(readFile(path).right(Audio.size()), Audio);
    }

    // Compressed data that lies about its size or does not decompress is
    // no value, and is kept as it is.
    void brokenCompressedFrameIsKept()
    {
        // Reading them says nothing on the terminal.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        const QByteArray plain = commentData("eng", "text");
        QByteArray lying = qCompress(plain);
        lying[3] = char(lying[3] + 1);  // one byte more than it holds
        const QByteArray garbage = QByteArray("\x00\x00\x00\x10", 4) + "xyzxyzxyzxyz";
        const QByteArray tag = Id3v2Builder(3).frame("COMM", lying, 0, 0x80).frame("TPE1", qCompress("\0x"), 0, 0x80)
                                   .frame("TIT3", garbage, 0, 0x80).build();
        const QString path = m_dir.newFile(tag + Audio);
        TID3v2Tag t;
        QVERIFY(t.ReadFromFile(path));
        QCOMPARE(t.Comment, QString());
        t.Title = QStringLiteral("Title");
        QVERIFY(t.WriteToFile(path));
        const StoredTagView view = viewTag(readFile(path));
        QCOMPARE(view.find("COMM")->data, lying);
    }

    // The day and time of a recording date belong to its year.
    void newYearDropsOldDayAndTime()
    {
        const QByteArray tag = Id3v2Builder(3).text("TYER", QStringLiteral("1999")).text("TDAT", QStringLiteral("0503"))
                                   .text("TIME", QStringLiteral("1200")).text("TIT2", QStringLiteral("Title")).build();
        const QString path = m_dir.newFile(tag + Audio);
        TID3v2Tag t;
        QVERIFY(t.ReadFromFile(path));
        t.Title = QStringLiteral("Same year");
        QVERIFY(t.WriteToFile(path));
        QCOMPARE(viewTag(readFile(path)).ids(), (QList<QByteArray>{"TYER", "TDAT", "TIME", "TIT2"}));
        t.Year = QStringLiteral("2001");
        QVERIFY(t.WriteToFile(path));
        QCOMPARE(viewTag(readFile(path)).ids(), (QList<QByteArray>{"TYER", "TIT2"}));
    }
};

QTEST_MAIN(tst_ID3v2KeepFrames)
#include "tst_id3v2keepframes.moc"
